// Spherical Kikuchi map: greys, half-widths, band outlines and the drawn map checked
// against geometry computed here.
#include <cstring>

#include "panel_probe.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

struct MapView {
    std::unique_ptr<TCrySet> cs = cubic(4.0f);
    ReflectorFeed feed;
    TCrystalEBSPpanel panel;
    MapView(std::vector<Feed> list, TVec3D euler, int size = 400) {
        feed.list = std::move(list);
        panel.resize(size, size);
        panel.SetRepaintLocked(true);
        panel.SetShowCrystal(false);
        panel.SetShowEBSP(true);
        panel.OnGetReflector = feed.handler();
        panel.SetCrystalSet(cs.get(), false);
        panel.SetOrientation(euler);
        panel.SetReflectorCount(int(feed.list.size()));
        panel.SetRepaintLocked(false);
    }
};

}  // namespace

TEST(BandGreys, LinearFromMinAtZeroToMaxAtHundred) {
    struct Case {
        int greyMin, greyMax;
        double intensity;
        ebsp::Rgb colour;
    };
    const Case cases[] = {{200, 30, 100, {30, 30, 30}},    {200, 30, 50, {115, 115, 115}},
                          {200, 30, 0, {200, 200, 200}},   {200, 30, -5, {255, 0, 0}},
                          {0, 255, 150, {255, 255, 255}},  {0, 255, 25, {63, 63, 63}},
                          {30, 200, 100, {200, 200, 200}}, {200, 30, 150, {0, 0, 0}},
                          {10, 10, 70, {10, 10, 10}}};
    for (const Case& c : cases) {
        ebsp::Reflector r;
        r.intensity = c.intensity;
        ebsp::updateBandGreys(&r, 1, c.greyMin, c.greyMax);
        EXPECT_EQ(r.colour, c.colour) << c.greyMin << " " << c.greyMax << " " << c.intensity;
    }
}

TEST(BandGreys, RedBandsAndTheBlackStyles) {
    // (1 0 0) at the start orientation: a vertical band through the centre, wide enough
    // (d = 0.2) for its edges to stand 20 pixels either side of the centre line.
    MapView view({{1, 0, 0, 0.2, -5}}, TVec3D{0, 0, 0}, 200);
    TCrystalEBSPpanel& panel = view.panel;
    panel.SetLineColour(QColor(10, 20, 30));
    panel.SetFaceColour(QColor(40, 50, 60));
    const double offset = 96.0 * std::sin(wavelength(20) / 0.4);
    const int left = int(100 - offset), right = int(100 + offset);
    ASSERT_NEAR(offset, 20.5, 0.5);
    struct Case {
        TKikuchiBandStyle style;
        QRgb colour;
    };
    const Case cases[] = {{kbSolid, rgb(255, 0, 0)},  {kbSolidBlack, rgb(40, 50, 60)},
                          {kbEdge, rgb(255, 0, 0)},   {kbEdgeBlack, rgb(10, 20, 30)},
                          {kbCentre, rgb(255, 0, 0)}, {kbCentreBlack, rgb(10, 20, 30)}};
    for (const Case& c : cases) {
        panel.SetKikuchiBandStyle(c.style);
        const bool edges = c.style == kbEdge || c.style == kbEdgeBlack;
        const bool solid = c.style == kbSolid || c.style == kbSolidBlack;
        EXPECT_EQ(colourNear(panel, 100, 100, c.colour, 1), !edges) << c.style;
        EXPECT_EQ(colourNear(panel, left, 100, c.colour, 1), !(c.style >= kbCentre)) << c.style;
        EXPECT_EQ(colourNear(panel, right, 100, c.colour, 1), !(c.style >= kbCentre)) << c.style;
        EXPECT_EQ(pixel(panel, 90, 100) == c.colour, solid) << c.style;
        if (edges) {
            EXPECT_EQ(pixel(panel, 100, 100), rgb(255, 255, 255));
        }
        EXPECT_EQ(pixel(panel, 60, 100), rgb(255, 255, 255));
    }
}

TEST(BandWidths, ProportionalToWavelengthOverSpacing) {
    MapView view({{1, 1, 1, 2.0, 100}, {2, 0, 0, 1.0, 50}, {2, 2, 0, 0.5, 40}},
                 TVec3D{0.2, 0.3, 0.4}, 100);
    TCrystalEBSPpanel& panel = view.panel;
    for (double kv : {20.0, 10.0, 30.0, 200.0}) {
        panel.SetkV(kv);
        const double w0 = viewtest::probe(panel).ReflectorRecord(0).halfWidth;
        EXPECT_NEAR(w0, wavelength(kv) / 4.0, 1e-9 * w0) << kv;
        EXPECT_DOUBLE_EQ(viewtest::probe(panel).ReflectorRecord(1).halfWidth,
                         2.0 * w0);  // half the spacing
        EXPECT_DOUBLE_EQ(viewtest::probe(panel).ReflectorRecord(2).halfWidth, 4.0 * w0);
        EXPECT_DOUBLE_EQ(w0, deBroglie(kv) / 4.0);
    }
    panel.SetkV(30.0);
    const double at30 = viewtest::probe(panel).ReflectorRecord(0).halfWidth;
    panel.SetkV(40.0);
    EXPECT_LT(viewtest::probe(panel).ReflectorRecord(0).halfWidth, at30);
}

TEST(BandWidths, SpacingsThatAreNotPositiveGiveNoBand) {
    MapView view({{1, 1, 1, 0.0, 100}, {1, 0, 0, -2.0, 100}, {0, 1, 0, 2.0, 100}},
                 TVec3D{0.2, 0.3, 0.4}, 100);
    EXPECT_EQ(viewtest::probe(view.panel).ReflectorRecord(0).halfWidth, 0.0);
    EXPECT_EQ(viewtest::probe(view.panel).ReflectorRecord(0).visible, 0);
    EXPECT_EQ(viewtest::probe(view.panel).ReflectorRecord(1).visible, 0);
    EXPECT_EQ(viewtest::probe(view.panel).ReflectorRecord(2).visible, ebsp::kBandVisible);
}

TEST(BandOutlines, AlongTheViewAxisNoOutlineOtherwiseTraced) {
    MapView view({{0, 0, 1, 4.0, 100}, {1, 0, 0, 4.0, 100}}, TVec3D{0, 0, 0}, 200);
    TCrystalEBSPpanel& panel = view.panel;
    EXPECT_EQ(viewtest::probe(panel).ReflectorRecord(0).visible, 0);  // its circle is the rim
    EXPECT_EQ(viewtest::probe(panel).ReflectorRecord(1).visible, ebsp::kBandVisible);
    panel.SetOrientation(TVec3D{0, 0.3, 0});
    EXPECT_EQ(viewtest::probe(panel).ReflectorRecord(0).visible, ebsp::kBandVisible);
    const ebsp::Reflector& r = viewtest::probe(panel).ReflectorRecord(0);
    for (int j = 0; j < 16; ++j) {
        EXPECT_EQ(r.outline[j], r.edge1[j]);
        EXPECT_EQ(r.outline[31 - j], r.edge2[j]);
    }
    // The trace starts on the rim: its first centre point is 0.96 R from the centre.
    const double dx = r.centre[0].x - 100.0, dy = r.centre[0].y - 100.0;
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 96.0, 1.5);
}

TEST(BandOutlines, StyleChangeRebuildsNothing) {
    MapView view({{1, 1, 1, 2.0, 100}, {2, 0, 0, 2.0, 50}}, TVec3D{0.2, 0.3, 0.4}, 120);
    TCrystalEBSPpanel& panel = view.panel;
    ebsp::Reflector before;
    std::memcpy(static_cast<void*>(&before), &viewtest::probe(panel).ReflectorRecord(0),
                sizeof before);
    panel.SetRepaintLocked(true);
    panel.SetKikuchiBandStyle(kbCentre);
    EXPECT_FALSE(viewtest::probe(panel).BandsStale() || viewtest::probe(panel).NormalsStale() ||
                 viewtest::probe(panel).BraggStale() || viewtest::probe(panel).GreyStale());
    panel.SetRepaintLocked(false);
    EXPECT_EQ(std::memcmp(static_cast<const void*>(&before),
                          &viewtest::probe(panel).ReflectorRecord(0), sizeof before),
              0);
}

TEST(BandOutlines, NoReflectorsOnlyBackground) {
    MapView view({}, TVec3D{0.2, 0.3, 0.4}, 100);
    view.panel.SetReflectorCount(0);
    EXPECT_EQ(countColour(view.panel, rgb(255, 255, 255)), 100 * 100);
}

// ---- The drawn map against independent geometry ---------------------------------------------

class MapRendering : public ::testing::Test {
  protected:
    static constexpr int kSize = 400;
    const TVec3D euler{0.5, 0.8, 0.3};
    const std::vector<Feed> list{
        {1, 1, 1, 2.3094, 100}, {2, 0, 0, 2.0, 60}, {2, 2, 0, 1.4142, 40}, {1, -1, 1, 2.3094, 40}};
    const QRgb greys[4] = {rgb(30, 30, 30), rgb(98, 98, 98), rgb(132, 132, 132),
                           rgb(132, 132, 132)};
    std::vector<TVec3D> viewNormals() const {
        const Rows g = bunge(euler.x, euler.y, euler.z);
        std::vector<TVec3D> normals;
        for (const Feed& f : list)  // cubic: the plane normal is along (h, k, l)
            normals.push_back(
                crystalToView(g, unit(TVec3D{double(f.h), double(f.k), double(f.l)})));
        return normals;
    }
    static QPoint spherePixel(const TVec3D& p) {
        const double c = kSize / 2, r = 0.96 * kSize / 2;
        return QPoint(int(c + r * p.x), int(c - r * p.y));
    }
};

TEST_F(MapRendering, CentreLinesOnTheGreatCirclesAndBackgroundElsewhere) {
    MapView view(list, euler, kSize);
    view.panel.SetKikuchiBandStyle(kbCentre);
    const std::vector<TVec3D> normals = viewNormals();
    int checked = 0;
    for (size_t i = 0; i < normals.size(); ++i) {
        const TVec3D& n = normals[i];
        const TVec3D u1 = unit(cross(TVec3D{0, 0, 1}, n));
        TVec3D u2 = cross(n, u1);
        if (u2.z < 0) u2 = TVec3D{-u2.x, -u2.y, -u2.z};
        for (double phi = 0.05; phi < kPi; phi += 0.02) {
            const TVec3D p{std::cos(phi) * u1.x + std::sin(phi) * u2.x,
                           std::cos(phi) * u1.y + std::sin(phi) * u2.y,
                           std::cos(phi) * u1.z + std::sin(phi) * u2.z};
            if (p.z < 0.2) continue;
            bool crossed = false;  // another line passes here
            for (size_t j = 0; j < normals.size(); ++j)
                crossed |= j != i && std::fabs(dot(p, normals[j])) < 0.03;
            if (crossed) continue;
            const QPoint px = spherePixel(p);
            EXPECT_TRUE(colourNear(view.panel, px.x(), px.y(), greys[i], 2))
                << "band " << i << " at " << px.x() << "," << px.y();
            ++checked;
        }
    }
    EXPECT_GT(checked, 200);

    int background = 0;
    for (int y = 10; y < kSize; y += 7)
        for (int x = 10; x < kSize; x += 7) {
            const double dx = x - kSize / 2, dy = y - kSize / 2, r = 0.96 * kSize / 2;
            const double q = (dx * dx + dy * dy) / (r * r);
            if (q > 0.6) continue;
            const TVec3D p{dx / r, -dy / r, std::sqrt(1 - q)};
            bool nearBand = false;
            for (const TVec3D& n : normals)
                nearBand |= std::fabs(dot(p, n)) < 0.03;
            if (nearBand) continue;
            EXPECT_EQ(pixel(view.panel, x, y), rgb(255, 255, 255)) << x << "," << y;
            ++background;
        }
    EXPECT_GT(background, 500);
}

TEST_F(MapRendering, SolidBandsWithReflectorOneOnTop) {
    MapView view(list, euler, kSize);
    view.panel.SetkV(5.0);  // wider bands
    const std::vector<TVec3D> normals = viewNormals();
    std::vector<double> widths;
    for (int i = 0; i < 4; ++i)
        widths.push_back(viewtest::probe(view.panel).ReflectorRecord(i).halfWidth);
    auto inside = [&](const TVec3D& p, size_t i) {
        return std::fabs(dot(p, normals[i])) < std::sin(widths[i]);
    };

    // Where bands overlap the earliest in the table shows.
    int overlaps = 0;
    for (size_t i = 0; i < 4; ++i)
        for (size_t j = i + 1; j < 4; ++j) {
            TVec3D p = unit(cross(normals[i], normals[j]));
            if (p.z < 0) p = TVec3D{-p.x, -p.y, -p.z};
            if (p.z < 0.3) continue;
            bool earlier = false;
            for (size_t k = 0; k < i; ++k)
                earlier |= std::fabs(dot(p, normals[k])) < std::sin(widths[k]) + 0.02;
            if (earlier) continue;
            const QPoint px = spherePixel(p);
            EXPECT_EQ(pixel(view.panel, px.x(), px.y()), greys[i]) << i << " over " << j;
            ++overlaps;
        }
    EXPECT_GE(overlaps, 2);

    // Inside a single band: its grey; the pixel well inside the band's half-width.
    int inner = 0;
    for (size_t i = 0; i < 4; ++i) {
        const TVec3D u1 = unit(cross(TVec3D{0, 0, 1}, normals[i]));
        TVec3D u2 = cross(normals[i], u1);
        if (u2.z < 0) u2 = TVec3D{-u2.x, -u2.y, -u2.z};
        for (double phi = 0.3; phi < kPi - 0.3; phi += 0.1) {
            const TVec3D p{std::cos(phi) * u1.x + std::sin(phi) * u2.x,
                           std::cos(phi) * u1.y + std::sin(phi) * u2.y,
                           std::cos(phi) * u1.z + std::sin(phi) * u2.z};
            if (p.z < 0.3) continue;
            bool other = false;
            for (size_t j = 0; j < 4; ++j)
                other |= j != i && std::fabs(dot(p, normals[j])) < std::sin(widths[j]) + 0.03;
            if (other) continue;
            ASSERT_TRUE(inside(p, i));
            const QPoint px = spherePixel(p);
            EXPECT_EQ(pixel(view.panel, px.x(), px.y()), greys[i]) << i;
            ++inner;
        }
    }
    EXPECT_GT(inner, 20);
}
