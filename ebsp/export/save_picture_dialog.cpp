// The questions and the action of "Save picture...".
#include "save_picture_dialog.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>

#include "CrystalEBSPpanel.h"
#include "picture_writer.h"
#include "render_args.h"

namespace ebsp {
namespace {

const QString kPngFilter = QStringLiteral("PNG picture (*.png)");
const QString kSvgFilter = QStringLiteral("SVG drawing (*.svg)");
const QString kCaption = QStringLiteral("Save picture");

}  // namespace

SavePictureQuestions qtSavePictureQuestions() {
    SavePictureQuestions ask;
    ask.fileName = [](QWidget* parent, const QString& caption, const QString& suggested,
                      const QString& filters, QString* selectedFilter) {
        return QFileDialog::getSaveFileName(parent, caption, suggested, filters, selectedFilter);
    };
    ask.text = [](QWidget* parent, const QString& caption, const QString& prompt, QString& text) {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &ok);
        if (ok) text = answer;
        return ok;
    };
    ask.error = [](QWidget* parent, const QString& caption, const QString& message) {
        QMessageBox::critical(parent, caption, message);
    };
    return ask;
}

QString savePictureInteractively(QWidget* parent, TCrystalEBSPpanel& view,
                                 const SavePictureQuestions& ask) {
    return savePictureInteractively(
        parent, view.size(),
        [&view](QPainter& painter, QSize size) { view.drawPicture(painter, size); },
        view.BackgroundColour(), ask);
}

QString savePictureInteractively(QWidget* parent, QSize viewSize, const PictureDrawer& draw,
                                 QColor background, const SavePictureQuestions& ask) {
    if (!ask.fileName) return {};
    QString filter = kPngFilter;
    QString fileName =
        ask.fileName(parent, kCaption, QDir::home().filePath(QStringLiteral("picture.png")),
                     kPngFilter + QStringLiteral(";;") + kSvgFilter, &filter);
    if (fileName.isEmpty()) return {};
    PictureFormat format = PictureFormat::Png;
    if (!pictureFormatOf(fileName, format))
        fileName += filter == kSvgFilter ? QStringLiteral(".svg") : QStringLiteral(".png");

    QString sizeText = QStringLiteral("%1 x %2").arg(viewSize.width()).arg(viewSize.height());
    if (ask.text && !ask.text(parent, kCaption,
                              QStringLiteral("Picture size in pixels, width x height "
                                             "(up to %1 each)")
                                  .arg(kMaxPictureSide),
                              sizeText))
        return {};
    render::PictureSize size;
    QString message;
    if (!render::parsePictureSize(sizeText.toStdString(), size, kMaxPictureSide)) {
        message = QStringLiteral(
                      "\"%1\" is not a picture size: give width x height, 1 to %2 "
                      "pixels each")
                      .arg(sizeText)
                      .arg(kMaxPictureSide);
    } else if (savePicture(draw, background, fileName, QSize(size.width, size.height), &message)) {
        return fileName;
    }
    if (ask.error) ask.error(parent, kCaption, message);
    return {};
}

QAction* addSavePictureItem(QMenu* menu, TCrystalEBSPpanel& view, const QString& hint) {
    QAction* action = menu->addAction(QStringLiteral("Save picture..."));
    action->setStatusTip(hint);
    action->setShortcut(QKeySequence::Save);
    action->setShortcutContext(Qt::WidgetShortcut);
    view.addAction(action);
    if (view.focusPolicy() == Qt::NoFocus) view.setFocusPolicy(Qt::ClickFocus);
    return action;
}

}  // namespace ebsp
