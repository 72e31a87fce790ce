// "Save picture...": the command every view's context menu carries, with its questions
// (file and size) behind hooks so that tests and the main window can answer them.
#pragma once

#include <functional>

#include <QColor>
#include <QSize>
#include <QString>

#include "picture_writer.h"

class QAction;
class QMenu;
class QWidget;
class TCrystalEBSPpanel;

namespace ebsp {

struct SavePictureQuestions {
    // The file to write (empty: cancelled); filters lists PNG then SVG.
    std::function<QString(QWidget* parent, const QString& caption, const QString& suggested,
                          const QString& filters, QString* selectedFilter)>
        fileName;
    // Modal text input; false when cancelled.
    std::function<bool(QWidget* parent, const QString& caption, const QString& prompt,
                       QString& text)>
        text;
    std::function<void(QWidget* parent, const QString& caption, const QString& message)> error;
};

// Qt's file dialog, input dialog and message box.
SavePictureQuestions qtSavePictureQuestions();

// Asks for a file (PNG or SVG; the filter's suffix is added when none is typed) and a size
// (the view's by default, up to 8000 pixels a side), then writes the view redrawn at that
// size.  The file written, or empty when cancelled or failed (the failure is shown).
QString savePictureInteractively(QWidget* parent, TCrystalEBSPpanel& view,
                                 const SavePictureQuestions& ask);

// The same for any view: viewSize is the size offered, draw its paint sequence.
QString savePictureInteractively(QWidget* parent, QSize viewSize, const PictureDrawer& draw,
                                 QColor background, const SavePictureQuestions& ask);

// Appends "Save picture..." to menu and gives view the same action as Ctrl+S while the
// view has the focus (the view takes the focus when clicked).
QAction* addSavePictureItem(QMenu* menu, TCrystalEBSPpanel& view, const QString& hint);

}  // namespace ebsp
