// Pictures of a view written to files: PNG through QImage, SVG through QSvgGenerator.
// Both draw with the view's own paint sequence (TCrystalEBSPpanel::drawPicture) at the
// chosen size, so a picture is the view redrawn, never a scaled copy of the screen.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;
class TCrystalEBSPpanel;
class TDetectorPanel;

namespace ebsp {

// Largest picture side accepted, in pixels.
inline constexpr int kMaxPictureSide = 8000;

enum class PictureFormat { Png, Svg };

// The format a file name asks for by its suffix (case-insensitive); false for others.
bool pictureFormatOf(const QString& fileName, PictureFormat& format);

// True for sizes of 1 to kMaxPictureSide pixels a side.
bool pictureSizeAllowed(QSize size);

// The view drawn at size into a 32-bit image (null for a size not allowed).
QImage renderPictureImage(TCrystalEBSPpanel& view, QSize size);

// Writes the view at size to fileName in the format its suffix names; the file appears
// whole or not at all.  False with a message in error (when given) on a bad size or
// suffix, or when the file cannot be written.
bool savePicture(TCrystalEBSPpanel& view, const QString& fileName, QSize size,
                 QString* error = nullptr);

// Any view's paint sequence: draws the whole picture at size onto the painter.
using PictureDrawer = std::function<void(QPainter& painter, QSize size)>;

// The same for any view drawn by draw on the background colour.
QImage renderPictureImage(const PictureDrawer& draw, QColor background, QSize size);
bool savePicture(const PictureDrawer& draw, QColor background, const QString& fileName, QSize size,
                 QString* error = nullptr);

// The same for the detector view (TDetectorPanel::drawPicture): the detector fitted into
// size with its aspect ratio.
QImage renderPictureImage(const TDetectorPanel& view, QSize size);
bool savePicture(const TDetectorPanel& view, const QString& fileName, QSize size,
                 QString* error = nullptr);

}  // namespace ebsp
