// Pictures of the views: PNG and SVG files redrawn at any size by the view's own paint
// sequence, checked against the view's image, against geometry computed here, and against
// each other; and the "Save picture..." questions.
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include "export_test_support.h"
#include "panel_probe.h"
#include "picture_writer.h"
#include "save_picture_dialog.h"
#include "view_test_support.h"

using namespace exporttest;
using ebsp::render::BandStyle;
using ebsp::render::Options;
using ebsp::render::ViewKind;

namespace {

Options mapOptions(BandStyle style = BandStyle::Solid) {
    Options o;
    o.style = style;
    return o;
}

std::unique_ptr<PhaseView> ironAt(double phi1, double Phi, double phi2, Options o) {
    auto pv = makePhaseView("Iron bcc", o);
    pv->view->SetOrientation({radians(phi1), radians(Phi), radians(phi2)});
    return pv;
}

}  // namespace

// At the view's own size the saved PNG is the view's image, for every style and both views.
TEST(PicturePng, AtTheViewsSizeIdenticalToTheViewsImage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        ViewKind view;
        BandStyle style;
        int width, height;
    };
    const Case cases[] = {{ViewKind::Map, BandStyle::Solid, 480, 448},
                          {ViewKind::Map, BandStyle::Edge, 480, 448},
                          {ViewKind::Map, BandStyle::Centre, 333, 517},
                          {ViewKind::Cell, BandStyle::Solid, 337, 257}};
    for (const Case& c : cases) {
        Options o = mapOptions(c.style);
        o.view = c.view;
        o.size = {c.width, c.height};
        auto pv = ironAt(30, 45, 10, o);
        const QImage& shown = pv->view->Image();
        ASSERT_EQ(shown.size(), QSize(c.width, c.height));
        const QString file = dir.filePath(QStringLiteral("view.png"));
        QString error;
        ASSERT_TRUE(ebsp::savePicture(*pv->view, file, shown.size(), &error))
            << error.toStdString();
        const QImage saved(file);
        ASSERT_EQ(saved.size(), shown.size());
        EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown)
            << "view " << int(c.view) << " style " << int(c.style);
    }
}

// At twice the size the strongest family's centre lines pass through the traced points of
// their great circles, computed here from the Bunge matrix: the points step by pi/15.5
// about the plane normal from the rim, on the near half.
TEST(PicturePng, AtTwiceTheSizeStrongestCentreLinesWhereGeometryPutsThem) {
    const double e[3] = {radians(30), radians(45), radians(10)};
    auto pv = ironAt(30, 45, 10, mapOptions(BandStyle::Centre));
    const QSize size = pv->view->size() * 2;
    const QImage image = ebsp::renderPictureImage(*pv->view, size);
    ASSERT_EQ(image.size(), size);

    const double cx = size.width() / 2, cy = size.height() / 2;
    const double scale = 0.96 * std::min(cx, cy);
    const viewtest::Rows g = viewtest::bunge(e[0], e[1], e[2]);
    const QRgb strongest = qRgb(80, 80, 80);  // intensity 100 at the window's darkest grey
    int checkedBands = 0, checkedPoints = 0;
    for (const TPhaseReflector& entry : pv->phase.Reflectors) {
        if (entry.Family != 1) continue;
        const TVec3D n = viewtest::unit(
            viewtest::crystalToView(g, TVec3D{double(entry.h), double(entry.k), double(entry.l)}));
        if (std::abs(n.z) > 0.999) continue;
        const TVec3D u0 = viewtest::unit(viewtest::cross({0, 0, 1}, n));
        const TVec3D w = viewtest::cross(n, u0);
        const double step = 3.14159265358979323846 / 15.5;
        // The far half traced, shown at the opposite points: pick the turn that goes there.
        const double sign = -(std::cos(step) * u0.z + std::sin(step) * w.z) > 0 ? 1.0 : -1.0;
        for (int j = 0; j < 16; ++j) {
            const double a = sign * j * step;
            const TVec3D p{-(std::cos(a) * u0.x + std::sin(a) * w.x),
                           -(std::cos(a) * u0.y + std::sin(a) * w.y), 0};
            const int x = int(cx + scale * p.x), y = int(cy - scale * p.y);
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    if (image.rect().contains(x + dx, y + dy))
                        found = (image.pixel(x + dx, y + dy) & 0xFFFFFF) == (strongest & 0xFFFFFF);
            EXPECT_TRUE(found) << "(" << int(entry.h) << int(entry.k) << int(entry.l) << ") point "
                               << j << " at " << x << "," << y;
            ++checkedPoints;
        }
        ++checkedBands;
    }
    EXPECT_GE(checkedBands, 6);  // {110} of a cubic crystal: six planes listed
    EXPECT_EQ(checkedPoints, checkedBands * 16);
}

// The SVG holds one path per drawn band (the fills; lines are polylines) and its text, and
// drawn back at the view's size it matches the PNG.
TEST(PictureSvg, OnePathPerBandAndRendersBackLikeThePng) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto pv = ironAt(30, 45, 10, mapOptions());
    const QSize size = pv->view->size();
    const QString svg = dir.filePath(QStringLiteral("map.svg"));
    const QString png = dir.filePath(QStringLiteral("map.png"));
    ASSERT_TRUE(ebsp::savePicture(*pv->view, svg, size));
    ASSERT_TRUE(ebsp::savePicture(*pv->view, png, size));

    int drawn = 0;
    const auto probe = viewtest::probe(*pv->view);
    for (int i = 0; i < pv->view->ReflectorCount(); ++i)
        if (probe.ReflectorRecord(i).visible != 0) ++drawn;
    ASSERT_GT(drawn, 20);

    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int paths = 0, polylines = 0;
    QStringList texts;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("path")) ++paths;
        if (xml.name() == QLatin1String("polyline")) ++polylines;
        if (xml.name() == QLatin1String("text")) texts << xml.readElementText();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(paths, drawn);
    EXPECT_EQ(polylines, drawn);  // each band's outline
    EXPECT_TRUE(texts.contains(
        QStringLiteral("TCrystalEBSPpanel - crystal and spherical Kikuchi map view")));

    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    QImage back(size, QImage::Format_RGB32);
    back.fill(Qt::white);
    QPainter painter(&back);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    // Qt's SVG renderer always smooths edges: a pixel matches within an eighth of the range.
    EXPECT_GE(matchingShare(back, QImage(png), 32), 0.97);
    // Without the bands (background and text only) most of the picture would differ.
    QImage blank(size, QImage::Format_RGB32);
    blank.fill(pv->view->BackgroundColour());
    EXPECT_LT(matchingShare(blank, QImage(png), 32), 0.75);
}

// Bad names, sizes and places fail with a message and leave no file.
TEST(PictureFiles, RefusalsLeaveNoFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto pv = ironAt(0, 0, 0, mapOptions());
    struct Case {
        QString name;
        QSize size;
        const char* messagePart;
    };
    const Case cases[] = {
        {dir.filePath(QStringLiteral("a.jpg")), {100, 100}, ".png or .svg"},
        {dir.filePath(QStringLiteral("b.png")), {0, 100}, "not allowed"},
        {dir.filePath(QStringLiteral("c.svg")), {8001, 10}, "not allowed"},
        {dir.filePath(QStringLiteral("missing/d.png")), {100, 100}, "cannot be written"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(ebsp::savePicture(*pv->view, c.name, c.size, &error));
        EXPECT_TRUE(error.contains(QLatin1String(c.messagePart))) << error.toStdString();
        EXPECT_FALSE(QFile::exists(c.name));
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    // The largest allowed side is written.
    EXPECT_TRUE(ebsp::savePicture(*pv->view, dir.filePath(QStringLiteral("e.png")), {8000, 4}));
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("e.png"))).size(), QSize(8000, 4));
}

// The questions: the suffix of the chosen filter is added, the size defaults to the view's,
// a typed size is used, a bad one is reported and cancelling writes nothing.
TEST(SavePictureQuestions, SuffixSizeAndRefusals) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto pv = ironAt(30, 45, 10, mapOptions());
    struct Case {
        QString typedName, filter, sizeAnswer;  // sizeAnswer empty: accept the default
        bool sizeCancelled;
        QString expectedFile;
        QSize expectedSize;
        bool expectError;
    };
    const QString png = QStringLiteral("PNG picture (*.png)");
    const QString svg = QStringLiteral("SVG drawing (*.svg)");
    const Case cases[] = {
        {dir.filePath("one"), png, {}, false, dir.filePath("one.png"), {480, 448}, false},
        {dir.filePath("two"), svg, {}, false, dir.filePath("two.svg"), {480, 448}, false},
        {dir.filePath("three.png"),
         svg,
         "960 x 896",
         false,
         dir.filePath("three.png"),
         {960, 896},
         false},
        {dir.filePath("four.png"), png, "0x5", false, {}, {}, true},
        {dir.filePath("five.png"), png, {}, true, {}, {}, false},
        {{}, png, {}, false, {}, {}, false},
    };
    for (const Case& c : cases) {
        QString shownSize;
        int errors = 0;
        ebsp::SavePictureQuestions ask;
        ask.fileName = [&](QWidget*, const QString&, const QString&, const QString& filters,
                           QString* selected) {
            EXPECT_TRUE(filters.contains(png) && filters.contains(svg));
            *selected = c.filter;
            return c.typedName;
        };
        ask.text = [&](QWidget*, const QString&, const QString&, QString& text) {
            shownSize = text;
            if (!c.sizeAnswer.isEmpty()) text = c.sizeAnswer;
            return !c.sizeCancelled;
        };
        ask.error = [&](QWidget*, const QString&, const QString&) { ++errors; };
        const QString written = ebsp::savePictureInteractively(nullptr, *pv->view, ask);
        EXPECT_EQ(written, c.expectedFile);
        EXPECT_EQ(errors, c.expectError ? 1 : 0) << c.typedName.toStdString();
        if (!c.typedName.isEmpty()) EXPECT_EQ(shownSize, QStringLiteral("480 x 448"));
        if (c.expectedFile.isEmpty()) continue;
        if (c.expectedFile.endsWith(QLatin1String(".png")))
            EXPECT_EQ(QImage(written).size(), c.expectedSize);
        else
            EXPECT_EQ(QSvgRenderer(written).viewBox().size(), c.expectedSize);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("four.png")));
    EXPECT_FALSE(QFile::exists(dir.filePath("five.png")));
}
