// PNG and SVG pictures of a view.
#include "picture_writer.h"

#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <functional>

#include "CrystalEBSPpanel.h"
#include "DetectorPanel.h"

namespace ebsp {
namespace {

bool fail(QString* error, const QString& message) {
    if (error != nullptr) *error = message;
    return false;
}

QString sizeText(QSize size) {
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

bool writeSvg(const PictureDrawer& draw, QSaveFile& file, QSize size) {
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QStringLiteral("Crystal view"));
    // The resolution of the images the view paints: its 8-point texts then take as many
    // pixels in the drawing as on the screen.
    generator.setResolution(QImage(1, 1, QImage::Format_RGB32).logicalDpiX());
    QPainter painter;
    if (!painter.begin(&generator)) return false;
    draw(painter, size);
    return painter.end();
}

}  // namespace

bool pictureFormatOf(const QString& fileName, PictureFormat& format) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png")) {
        format = PictureFormat::Png;
        return true;
    }
    if (suffix == QLatin1String("svg")) {
        format = PictureFormat::Svg;
        return true;
    }
    return false;
}

bool pictureSizeAllowed(QSize size) {
    return size.width() >= 1 && size.height() >= 1 && size.width() <= kMaxPictureSide &&
           size.height() <= kMaxPictureSide;
}

namespace {
PictureDrawer drawerOf(TCrystalEBSPpanel& view) {
    return [&view](QPainter& painter, QSize size) { view.drawPicture(painter, size); };
}
}  // namespace

QImage renderPictureImage(TCrystalEBSPpanel& view, QSize size) {
    return renderPictureImage(drawerOf(view), view.BackgroundColour(), size);
}

bool savePicture(TCrystalEBSPpanel& view, const QString& fileName, QSize size, QString* error) {
    return savePicture(drawerOf(view), view.BackgroundColour(), fileName, size, error);
}

QImage renderPictureImage(const PictureDrawer& draw, QColor background, QSize size) {
    if (!pictureSizeAllowed(size)) return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return image;  // out of memory
    image.fill(background);
    QPainter painter(&image);
    draw(painter, size);
    painter.end();
    return image;
}

bool savePicture(const PictureDrawer& draw, QColor background, const QString& fileName, QSize size,
                 QString* error) {
    PictureFormat format = PictureFormat::Png;
    if (!pictureFormatOf(fileName, format))
        return fail(error,
                    QStringLiteral("%1: the file name must end in .png or .svg").arg(fileName));
    if (!pictureSizeAllowed(size))
        return fail(error, QStringLiteral("picture size %1 is not allowed (1 to %2 pixels a side)")
                               .arg(sizeText(size))
                               .arg(kMaxPictureSide));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error,
                    QStringLiteral("%1: cannot be written (%2)").arg(fileName, file.errorString()));
    bool drawn = false;
    if (format == PictureFormat::Png) {
        const QImage image = renderPictureImage(draw, background, size);
        if (image.isNull()) {
            file.cancelWriting();
            return fail(error, QStringLiteral("no memory for a picture of %1").arg(sizeText(size)));
        }
        drawn = image.save(&file, "PNG");
    } else {
        drawn = writeSvg(draw, file, size);
    }
    if (!drawn) {
        file.cancelWriting();
        return fail(error,
                    QStringLiteral("%1: writing failed (%2)").arg(fileName, file.errorString()));
    }
    if (!file.commit())
        return fail(error,
                    QStringLiteral("%1: cannot be written (%2)").arg(fileName, file.errorString()));
    return true;
}

namespace {
PictureDrawer detectorDrawing(const TDetectorPanel& view) {
    return [&view](QPainter& painter, QSize size) { view.drawPicture(painter, size); };
}
}  // namespace

// drawPicture paints every pixel of the picture itself (outside the detector too).
QImage renderPictureImage(const TDetectorPanel& view, QSize size) {
    return renderPictureImage(detectorDrawing(view), Qt::white, size);
}

bool savePicture(const TDetectorPanel& view, const QString& fileName, QSize size, QString* error) {
    return savePicture(detectorDrawing(view), Qt::white, fileName, size, error);
}

}  // namespace ebsp
