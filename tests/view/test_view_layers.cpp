// The view's layers used without the widget: the projection's round trip, the overlay's
// switch table, and the painters on a device that is not the widget's image (as a saved
// picture would use them).
#include <QPixmap>

#include "view_constants.h"
#include "view_painters.h"
#include "view_test_support.h"

using namespace viewtest;

TEST(OrthographicProjection, PixelOfTheDirectionUnderAPixelIsThatPixel) {
    for (const QSize size : {QSize(200, 200), QSize(331, 297), QSize(640, 480)}) {
        const auto projection = ebsp::OrthographicProjection::forSize(size.width(), size.height());
        const double r = ebsp::kSphereRadiusFactor * projection.R;
        for (int y = 0; y < size.height(); y += 7)
            for (int x = 0; x < size.width(); x += 7) {
                const double dx = x - projection.cx, dy = y - projection.cy;
                if (dx * dx + dy * dy > 0.95 * r * r) continue;  // clear of the rim
                bool inside = false;
                const TVec3D v = projection.sphereDirection(x + 0.5, y + 0.5, inside);
                ASSERT_TRUE(inside);
                EXPECT_NEAR(dot(v, v), 1.0, 1e-12);
                EXPECT_GE(v.z, 0.0);  // the near half faces the viewer
                const ebsp::IntPoint p = projection.spherePixel(v);
                EXPECT_EQ(p.x, x) << size.width() << " " << x << "," << y;
                EXPECT_EQ(p.y, y) << size.width() << " " << x << "," << y;
            }
    }
    const ebsp::OrthographicProjection none;
    bool inside = true;
    const TVec3D v = none.sphereDirection(3, 4, inside);
    EXPECT_FALSE(inside);
    EXPECT_EQ(v.z, 1.0);
}

TEST(PickOverlay, SwitchesDecideWhatIsDrawn) {
    ebsp::Reflector band;
    band.visible = ebsp::kBandVisible;
    ebsp::Reflector hidden;  // no outline: no red lines, the label still applies
    const ebsp::Reflector bands[2] = {band, hidden};
    const auto projection = ebsp::OrthographicProjection::forSize(200, 200);
    TMat3D identity{};
    identity.col[0].x = identity.col[1].y = identity.col[2].z = 1.0;

    struct Case {
        int plane;
        bool hp, hz, lp, lz, reports;
        bool lines, planeLabel, zoneMark, zoneLabel;
    };
    const Case cases[] = {
        {1, false, false, false, false, true, false, false, false, false},
        {1, true, false, false, false, true, true, false, false, false},
        {1, false, false, true, false, true, false, false, false, false},  // label needs highlight
        {1, true, false, true, false, true, true, true, false, false},
        {2, true, false, true, false, true, false, true, false, false},
        {3, true, false, true, false, true, false, false, false, false},  // beyond the count
        {-1, true, true, true, true, true, false, false, false, true},
        {-1, false, true, false, false, true, false, false, true, false},
        {-1, false, true, false, true, true, false, false, false, true},  // the label replaces it
        {-1, false, true, false, true, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        ebsp::PointerPick pick;
        pick.pickedPlane = c.plane;
        pick.zoneText = "[001]";
        pick.zoneDirection = TVec3D{0, 0, 1};
        pick.planeLabelAnchor = TVec3D{0, -1, 0};
        const ebsp::PickOverlay o = ebsp::pickOverlay(pick, bands, 2, {c.hp, c.hz, c.lp, c.lz},
                                                      c.reports, identity, projection);
        const int line = int(&c - cases);
        EXPECT_EQ(o.planeLines != nullptr, c.lines) << line;
        EXPECT_EQ(o.planeLabel, c.planeLabel) << line;
        EXPECT_EQ(o.zoneMark, c.zoneMark) << line;
        EXPECT_EQ(o.zoneLabel, c.zoneLabel) << line;
        if (c.zoneMark || c.zoneLabel) {
            EXPECT_EQ(o.zoneAt, (ebsp::IntPoint{100, 100})) << line;
        }
        // (0, -1, 0) lies on the rim below the centre: 96 pixels down.
        if (c.planeLabel) {
            EXPECT_EQ(o.planeLabelAt, (ebsp::IntPoint{100, 196})) << line;
        }
    }
}

TEST(ViewPainters, BandsOnAnotherDeviceDrawTheSameLines) {
    // The widget's image takes the direct one-pixel lines; a pixmap goes through the
    // painter.  Both must show the same bands, up to the odd pixel of rounding.
    auto cs = cubic(4.0f);
    std::vector<ebsp::Reflector> bands(3);
    const int hkl[3][3] = {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}};
    for (int i = 0; i < 3; ++i) {
        bands[i].h = int8_t(hkl[i][0]), bands[i].k = int8_t(hkl[i][1]);
        bands[i].l = int8_t(hkl[i][2]), bands[i].d = 1.0, bands[i].intensity = 100;
    }
    ebsp::updateNormals(bands.data(), 3, *cs);
    ebsp::updateBandWidths(bands.data(), 3, 20.0);
    ebsp::updateBandGreys(bands.data(), 3, 200, 30);
    const auto projection = ebsp::OrthographicProjection::forSize(300, 300);
    const Rows g = bunge(0.3, 0.5, 0.2);
    TMat3D inverse{};
    for (int c = 0; c < 3; ++c) {
        const TVec3D e{double(c == 0), double(c == 1), double(c == 2)};
        inverse.col[c] = crystalToView(g, e);
    }
    ebsp::buildBands(bands.data(), 3, inverse, projection);

    for (ebsp::BandShape shape :
         {ebsp::BandShape::Solid, ebsp::BandShape::Edges, ebsp::BandShape::Centre}) {
        QImage direct(300, 300, QImage::Format_RGB32);
        direct.fill(Qt::white);
        QPixmap other(300, 300);
        other.fill(Qt::white);
        ebsp::BandLook look;
        look.shape = shape;
        {
            QPainter painter(&direct);
            ebsp::paintBands(painter, bands.data(), 3, look);
        }
        {
            QPainter painter(&other);
            ebsp::paintBands(painter, bands.data(), 3, look);
        }
        const QImage through = other.toImage().convertToFormat(QImage::Format_RGB32);
        // Every pixel either picture draws lies within a pixel of one the other draws
        // (the two line rasterisers may round a step differently).
        auto ink = [](const QImage& image, int x, int y) {
            return x >= 0 && y >= 0 && x < 300 && y < 300 &&
                   (image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
        };
        auto near = [&](const QImage& image, int x, int y) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (ink(image, x + dx, y + dy)) return true;
            return false;
        };
        int drawnDirect = 0, drawnThrough = 0, strays = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x) {
                drawnDirect += ink(direct, x, y);
                drawnThrough += ink(through, x, y);
                strays += (ink(direct, x, y) && !near(through, x, y)) ||
                          (ink(through, x, y) && !near(direct, x, y));
            }
        EXPECT_GT(drawnDirect, 300) << int(shape);
        EXPECT_NEAR(drawnThrough, drawnDirect, drawnDirect / 10) << int(shape);
        EXPECT_EQ(strays, 0) << int(shape);
    }
}
