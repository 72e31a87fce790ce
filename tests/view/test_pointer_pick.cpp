// The pointer read-out on the map: the report protocol, band and zone picking against
// geometry computed here, plane and zone texts, and the highlights and labels.
#include <algorithm>

#include "panel_probe.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

double degrees(double radians) {
    return radians * 180.0 / kPi;
}
// Crystal-frame copy of a view-frame vector: g times w.
TVec3D viewToCrystal(const Rows& g, const TVec3D& w) {
    return {g.m[0][0] * w.x + g.m[0][1] * w.y + g.m[0][2] * w.z,
            g.m[1][0] * w.x + g.m[1][1] * w.y + g.m[1][2] * w.z,
            g.m[2][0] * w.x + g.m[2][1] * w.y + g.m[2][2] * w.z};
}

struct Report {
    TVec3D dir;
    int planeNo;
    QString plane, zone;
    bool received[4];  // the switches as the handler found them
};

// A map view with a recording OnMouseMoveCrystalDir handler that sets the switches to
// `answer`.
struct PickView {
    std::unique_ptr<TCrySet> cs;
    ReflectorFeed feed;
    TCrystalEBSPpanel panel;
    std::vector<Report> reports;
    bool answer[4] = {false, false, false, false};
    PickView(std::vector<Feed> list, TVec3D euler, std::unique_ptr<TCrySet> set = cubic(4.0f)) {
        cs = std::move(set);
        feed.list = std::move(list);
        panel.resize(200, 200);
        panel.SetRepaintLocked(true);
        panel.SetShowCrystal(false);
        panel.SetShowEBSP(true);
        panel.OnGetReflector = feed.handler();
        panel.OnMouseMoveCrystalDir = [this](QObject* sender, const TVec3D& dir, int planeNo,
                                             const QString& plane, const QString& zone, bool& hp,
                                             bool& hz, bool& lp, bool& lz) {
            EXPECT_EQ(sender, &panel);
            reports.push_back({dir, planeNo, plane, zone, {hp, hz, lp, lz}});
            hp = answer[0];
            hz = answer[1];
            lp = answer[2];
            lz = answer[3];
        };
        panel.SetCrystalSet(cs.get(), false);
        panel.SetOrientation(euler);
        panel.SetReflectorCount(int(feed.list.size()));
        panel.SetRepaintLocked(false);
    }
    void moveTo(int x, int y) { move(&panel, QPoint(x, y), Qt::NoButton); }
    void setAnswer(bool hp, bool hz, bool lp, bool lz) {
        answer[0] = hp;
        answer[1] = hz;
        answer[2] = lp;
        answer[3] = lz;
    }
};

// Picking without a widget: the reflectors' normals and widths at 20 kV, as the view
// computes them, and the Qt-free pick functions.
struct PlainPick {
    std::unique_ptr<TCrySet> cs;
    std::vector<ebsp::Reflector> reflectors;
    bool hexCell = false;
    ebsp::PointerPick pick;
    explicit PlainPick(const std::vector<Feed>& list, std::unique_ptr<TCrySet> set = cubic(4.0f))
        : cs(std::move(set)) {
        hexCell = ebsp::decideHexCell(*cs, true);
        for (const Feed& f : list) {
            ebsp::Reflector r;
            r.h = int8_t(f.h), r.k = int8_t(f.k), r.l = int8_t(f.l);
            r.d = f.d, r.intensity = f.intensity;
            reflectors.push_back(r);
        }
        ebsp::updateNormals(reflectors.data(), int(reflectors.size()), *cs);
        ebsp::updateBandWidths(reflectors.data(), int(reflectors.size()), 20.0);
    }
    bool pickZone(const TVec3D& v, std::string_view limits) {
        return ebsp::pickZone(pick, cs.get(), hexCell, v, limits);
    }
    bool pickPlane(const TVec3D& v) {
        return ebsp::pickPlane(pick, reflectors.data(), int(reflectors.size()), hexCell, v);
    }
};

// Pixel of a view-frame point on the sphere drawn with radius 0.96 R (200 x 200 view).
QPoint spherePixel(const TVec3D& p) {
    return QPoint(int(100 + 96 * p.x), int(100 - 96 * p.y));
}

}  // namespace

// ---- The report protocol -------------------------------------------------------------------

TEST(PointerPickEvents, EveryMoveOffTheDiscThenOnlyChanges) {
    // (1 0 0) at the start orientation: a vertical band through the centre, 20 px wide.
    PickView view({{1, 0, 0, 0.2, 100}}, TVec3D{0, 0, 0});
    TCrystalEBSPpanel& panel = view.panel;
    const int paints = viewtest::probe(panel).RepaintCount();
    for (QPoint p : {QPoint(2, 2), QPoint(3, 2), QPoint(2, 3)})
        view.moveTo(p.x(), p.y());
    ASSERT_EQ(view.reports.size(), 3u);
    for (const Report& r : view.reports) {
        EXPECT_TRUE(r.plane.isEmpty() && r.zone.isEmpty());
        EXPECT_EQ(r.planeNo, -1);
        EXPECT_NEAR(r.dir.z, 0.0, 1e-12);  // the rim point towards the pointer
        EXPECT_NEAR(dot(r.dir, r.dir), 1.0, 1e-12);
        EXPECT_LT(r.dir.x, 0.0);
        EXPECT_GT(r.dir.y, 0.0);
    }
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(),
              paints + 3);  // each report is followed by a repaint

    view.moveTo(100, 100);  // on the band, looking along [001]
    ASSERT_EQ(view.reports.size(), 4u);
    EXPECT_EQ(view.reports[3].zone, "[001]");
    EXPECT_EQ(view.reports[3].plane, "(100)");
    EXPECT_EQ(view.reports[3].planeNo, 1);
    EXPECT_NEAR(view.reports[3].dir.z, 1.0, 1e-12);
    view.moveTo(101, 100);
    view.moveTo(100, 102);  // same zone, same band: nothing to report
    EXPECT_EQ(view.reports.size(), 4u);
    EXPECT_EQ(viewtest::probe(panel).LastReportedZoneText(), "[001]");

    view.moveTo(140, 100);  // off the band
    ASSERT_EQ(view.reports.size(), 5u);
    EXPECT_EQ(view.reports[4].planeNo, -1);
    EXPECT_TRUE(view.reports[4].plane.isEmpty());

    // Locked: the pick follows the pointer but nobody is told and nothing repaints.
    panel.SetRepaintLocked(true);
    const int lockedPaints = viewtest::probe(panel).RepaintCount();
    view.moveTo(100, 100);
    EXPECT_EQ(view.reports.size(), 5u);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), lockedPaints);
    EXPECT_EQ(viewtest::probe(panel).PickedPlane(), 1);
    EXPECT_EQ(viewtest::probe(panel).ZoneText(), "[001]");
    panel.SetRepaintLocked(false);
    view.moveTo(101, 100);  // unchanged since the locked move: still nothing
    EXPECT_EQ(view.reports.size(), 5u);

    // A new crystal set forgets the plane, keeps the zone text.
    panel.SetCrystalSet(view.cs.get(), false);
    EXPECT_EQ(viewtest::probe(panel).PickedPlane(), -1);
    EXPECT_TRUE(viewtest::probe(panel).PlaneText().isEmpty());
    EXPECT_EQ(viewtest::probe(panel).ZoneText(), "[001]");
    EXPECT_EQ(viewtest::probe(panel).LastReportedZoneText(), "??");
}

TEST(PointerPickEvents, SwitchesAreTheHandlersUntilItChangesThem) {
    PickView view({{1, 0, 0, 0.2, 100}}, TVec3D{0, 0, 0});
    view.setAnswer(true, false, true, false);
    view.moveTo(2, 2);
    view.setAnswer(false, true, false, true);
    view.moveTo(100, 100);
    ASSERT_EQ(view.reports.size(), 2u);
    const bool first[4] = {false, false, false, false}, second[4] = {true, false, true, false};
    EXPECT_TRUE(std::equal(first, first + 4, view.reports[0].received));
    EXPECT_TRUE(std::equal(second, second + 4, view.reports[1].received));
    TCrystalEBSPpanel& panel = view.panel;
    EXPECT_TRUE(!viewtest::probe(panel).HighlightPlane() &&
                viewtest::probe(panel).HighlightZone() && !viewtest::probe(panel).LabelPlane() &&
                viewtest::probe(panel).LabelZone());
    panel.SetCrystalSet(view.cs.get(), false);  // the control never resets them itself
    panel.SetOrientation(TVec3D{0.1, 0.2, 0.3});
    EXPECT_TRUE(viewtest::probe(panel).HighlightZone() && viewtest::probe(panel).LabelZone());
}

TEST(PointerPickEvents, OnlyOnTheMapWithoutDrag) {
    PickView view({{1, 0, 0, 0.2, 100}}, TVec3D{0, 0, 0});
    TCrystalEBSPpanel& panel = view.panel;
    int baseMoves = 0;
    panel.OnMouseMove = [&](QObject*, Qt::KeyboardModifiers, int, int) { ++baseMoves; };
    panel.SetShowEBSP(false);
    view.moveTo(2, 2);
    EXPECT_EQ(baseMoves, 1);
    panel.SetShowEBSP(true);
    press(&panel, QPoint(100, 100));
    view.moveTo(120, 110);  // a drag turns the crystal and picks nothing
    release(&panel, QPoint(120, 110));
    EXPECT_TRUE(view.reports.empty());
    EXPECT_EQ(viewtest::probe(panel).PickedPlane(), -1);
    panel.SetCrystalSet(nullptr, false);
    view.moveTo(3, 3);
    EXPECT_EQ(baseMoves, 2);
    EXPECT_TRUE(view.reports.empty());
}

// ---- Bands under the pointer ----------------------------------------------------------------

TEST(PointerPickPlane, CentreLineOfAStrongBandBeatsAWeakerWiderBand) {
    // A wide weak vertical band (1 0 0) and a strong horizontal one (0 1 0); the pointer
    // lies on the strong band's centre line and 10 px inside the weak band.
    PickView view({{1, 0, 0, 0.1, 20}, {0, 1, 0, 0.5, 100}}, TVec3D{0, 0, 0});
    view.moveTo(110, 100);
    EXPECT_EQ(viewtest::probe(view.panel).PickedPlane(), 2);
    EXPECT_EQ(viewtest::probe(view.panel).PlaneText(), "(010)");
    // Below intensity 15 a band is never picked, however close the pointer.
    PickView faint({{1, 0, 0, 0.1, 20}, {0, 1, 0, 0.5, 14.9}}, TVec3D{0, 0, 0});
    faint.moveTo(110, 100);
    EXPECT_EQ(viewtest::probe(faint.panel).PickedPlane(), 1);
    PickView none({{1, 0, 0, 0.1, 14}, {0, 1, 0, 0.5, -100}}, TVec3D{0, 0, 0});
    none.moveTo(100, 100);
    EXPECT_EQ(viewtest::probe(none.panel).PickedPlane(), -1);
    ASSERT_EQ(none.reports.size(), 1u);
    EXPECT_EQ(none.reports[0].zone, "[001]");  // the zone is reported all the same
}

TEST(PointerPickPlane, EqualBandsCloserWinsExactTieKeepsTheEarlier) {
    for (bool swapped : {false, true}) {
        std::vector<Feed> list{{1, 1, 0, 0.2, 50}, {1, -1, 0, 0.2, 50}};
        if (swapped) std::swap(list[0], list[1]);
        PickView view(list, TVec3D{0, 0, 0});
        view.moveTo(103, 110);  // nearer the circle x + y = 0 of (1 1 0)
        EXPECT_EQ(viewtest::probe(view.panel).PlaneText(), "(110)") << swapped;
        view.moveTo(97, 110);
        EXPECT_EQ(viewtest::probe(view.panel).PlaneText(), "(1-10)") << swapped;
    }
    // The same plane twice with opposite normals: an exact tie, the earlier one wins.
    for (bool swapped : {false, true}) {
        std::vector<Feed> list{{1, 1, 0, 0.2, 50}, {-1, -1, 0, 0.3, 50}};
        if (swapped) std::swap(list[0], list[1]);
        PickView view(list, TVec3D{0.2, 0.3, 0.4});
        view.moveTo(90, 120);
        EXPECT_EQ(viewtest::probe(view.panel).PickedPlane(), 1) << swapped;
        EXPECT_EQ(viewtest::probe(view.panel).PlaneText(), swapped ? "(-1-10)" : "(110)");
    }
}

TEST(PointerPickPlane, SweepAgreesWithBandGeometryComputedHere) {
    const TVec3D euler{0.5, 0.8, 0.3};
    const std::vector<Feed> list{{1, 1, 1, 0.25, 100}, {2, 0, 0, 0.2, 60}, {2, 2, 0, 0.15, 40},
                                 {1, -1, 1, 0.25, 40}, {3, 1, 1, 0.1, 10}, {0, 2, 0, 0.2, 15},
                                 {1, 3, 1, 0.3, 15}};
    PickView view(list, euler);
    const Rows g = bunge(euler.x, euler.y, euler.z);
    const double lambda = wavelength(20.0);
    int picked = 0, empty = 0;
    for (int y = 6; y < 200; y += 4)
        for (int x = 5; x < 200; x += 4) {
            const double dx = x - 100.0, dy = y - 100.0, q = (dx * dx + dy * dy) / (96.0 * 96.0);
            if (q > 0.98) continue;
            const TVec3D v = viewToCrystal(g, {dx / 96.0, -dy / 96.0, std::sqrt(1.0 - q)});
            int best = -1;
            double bestScore = 999.0;
            bool nearTie = false;
            for (size_t i = 0; i < list.size(); ++i) {
                const Feed& f = list[i];
                const double c = std::fabs(dot(unit({double(f.h), double(f.k), double(f.l)}), v));
                const double theta = lambda / (2.0 * f.d), score = c / (f.intensity + 1.0);
                nearTie |= std::fabs(c - theta) < 1e-9;
                if (f.intensity < 15 || c > theta) continue;
                nearTie |= std::fabs(score - bestScore) < 1e-12;
                if (score < bestScore) {
                    bestScore = score;
                    best = int(i) + 1;
                }
            }
            if (nearTie) continue;
            view.moveTo(x, y);
            ASSERT_EQ(viewtest::probe(view.panel).PickedPlane(), best) << x << "," << y;
            (best > 0 ? picked : empty)++;
            if (best > 0) {
                const Feed& f = list[size_t(best) - 1];
                EXPECT_EQ(viewtest::probe(view.panel).PlaneText(),
                          QString("(%1%2%3)").arg(f.h).arg(f.k).arg(f.l));
            }
        }
    EXPECT_GT(picked, 200);  // the sweep reaches both outcomes often
    EXPECT_GT(empty, 200);
}

TEST(PointerPickPlane, LabelAnchorOnTheCircleAtTheFarthestSampleWithin45Degrees) {
    PlainPick plain({{1, 1, 0, 0.2, 50}});
    const TVec3D n = unit({1, 1, 0});
    const TVec3D v = unit({1, -1, 0.7});  // on the plane's circle
    EXPECT_TRUE(plain.pickPlane(v));
    const TVec3D a = plain.pick.planeLabelAnchor;
    EXPECT_NEAR(dot(a, n), 0.0, 1e-12);
    EXPECT_NEAR(dot(a, a), 1.0, 1e-12);
    // Samples 10 degrees apart: the farthest one inside arccos 0.7 lies 35.6 to 45.6 away.
    const double angle = degrees(std::acos(dot(a, v)));
    EXPECT_GT(angle, degrees(std::acos(0.7)) - 10.0);
    EXPECT_LT(angle, degrees(std::acos(0.7)));
    EXPECT_FALSE(plain.pickPlane(v));  // same plane again: no change
}

TEST(PointerPickPlane, TextsThreeFourIndicesAndPeriods) {
    struct Case {
        int n;
        const char* text;
    };
    for (const Case& c :
         {Case{0, "0"}, Case{3, "3"}, Case{-1, "-1"}, Case{9, "9"}, Case{-9, "-9"}, Case{10, ".10"},
          Case{-12, ".-12"}, Case{127, ".127"}, Case{-128, ".-128"}})
        EXPECT_EQ(ebsp::indexText(c.n), c.text) << c.n;

    auto pickedText = [](PlainPick& plain, int index0) {
        // A direction on the reflector's circle: normal crossed with anything else.
        const TVec3D n = plain.reflectors[size_t(index0)].normal;
        const TVec3D other = std::fabs(n.z) < 0.9 ? TVec3D{0, 0, 1} : TVec3D{1, 0, 0};
        TVec3D v;
        Cross(&n, &other, &v, 1);
        plain.pickPlane(v);
        return plain.pick.planeText;
    };
    PlainPick cubicPick({{1, 10, 2, 0.2, 50}});
    EXPECT_EQ(pickedText(cubicPick, 0), "(1.102)");
    PlainPick periods({{10, 0, -12, 0.2, 50}});
    EXPECT_EQ(pickedText(periods, 0), "(.100.-12)");

    PlainPick hex({{1, 0, 2, 0.2, 50}}, makeCrySet(3.21f, 3.21f, 5.21f, 90, 90, 120, 9));
    ASSERT_TRUE(hex.hexCell);
    EXPECT_EQ(pickedText(hex, 0), "(10-12)");
    hex.hexCell = ebsp::decideHexCell(*hex.cs, false);  // three indices: same plane, new text
    ASSERT_FALSE(hex.hexCell);
    const TVec3D n = hex.reflectors[0].normal;
    TVec3D w;
    const TVec3D z{0, 0, 1};
    Cross(&n, &z, &w, 1);
    EXPECT_TRUE(hex.pickPlane(w));
    EXPECT_EQ(hex.pick.planeText, "(102)");
}

// ---- Zones near the pointer -----------------------------------------------------------------

TEST(PointerPickZone, WithinThreeDegreesOnly) {
    PlainPick plain({{1, 0, 0, 0.2, 100}});
    const ebsp::PointerPick& pick = plain.pick;
    auto tilted = [](double deg) {
        const double r = deg * kPi / 180.0;
        return TVec3D{std::sin(r), 0.0, std::cos(r)};
    };
    EXPECT_TRUE(plain.pickZone(tilted(2.5), "666"));
    EXPECT_EQ(pick.zoneText, "[001]");
    EXPECT_NEAR(pick.zoneDeviationDeg, 2.5, 1e-9);
    EXPECT_FALSE(plain.pickZone(tilted(2.9), "666"));  // same zone: no change
    // 3.5 degrees from [001]: found, but too far to be named.
    EXPECT_TRUE(plain.pickZone(tilted(3.5), "666"));
    EXPECT_TRUE(pick.zoneText.empty());
    EXPECT_NEAR(pick.zoneDeviationDeg, 3.5, 1e-9);
    EXPECT_NEAR(pick.zoneDirection.z, 1.0, 1e-12);
    EXPECT_FALSE(plain.pickZone(tilted(3.6), "666"));

    // The four-index form of a hexagonal crystal, read back to the same direction.
    PlainPick hex({{1, 0, 2, 0.2, 50}}, makeCrySet(3.21f, 3.21f, 5.21f, 90, 90, 120, 9));
    const TVec3D a = unit(hex.cs->Direct.col[0]);
    EXPECT_TRUE(hex.pickZone(a, "666"));
    EXPECT_EQ(hex.pick.zoneText, "[2-1-10]");
    EXPECT_NEAR(dot(hex.pick.zoneDirection, a), 1.0, 1e-12);
}

TEST(PointerPickZone, NoUsableZoneIsAChangeWithAnEmptyText) {
    PlainPick plain({{1, 0, 0, 0.2, 100}});
    const ebsp::PointerPick& pick = plain.pick;
    const TVec3D v110 = unit({1, 1, 0});
    // Zero limits leave zero indices; a zero direction matches nothing.
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(plain.pickZone(v110, "000"));
        EXPECT_TRUE(pick.zoneText.empty());
    }
    EXPECT_TRUE(plain.pickZone(TVec3D{0, 0, 0}, "666"));
    EXPECT_TRUE(pick.zoneText.empty());
    // Limits of two digits give texts such as .10.10.1 that do not read back.
    const TVec3D v = unit({10, 10, 1});
    EXPECT_TRUE(plain.pickZone(v, "11 11 11"));
    EXPECT_TRUE(plain.pickZone(v, "11 11 11"));
    EXPECT_TRUE(pick.zoneText.empty());
    // Every move over the disc reports then, though nothing else changes.
    PickView view({{1, 0, 0, 0.2, 100}}, TVec3D{0, 0, 0});
    view.panel.SetMouseRotMaxIndices("000");
    for (int i = 0; i < 3; ++i)
        view.moveTo(100, 100 + i);
    ASSERT_EQ(view.reports.size(), 3u);
    EXPECT_TRUE(view.reports[2].zone.isEmpty());
    EXPECT_EQ(view.reports[2].plane, "(100)");
    // Limit texts are cut to 20 characters: the tail that would spoil this one is gone.
    const std::string limits = "111" + std::string(17, ' ') + "junk";
    EXPECT_TRUE(plain.pickZone(v110, limits));
    EXPECT_EQ(pick.zoneText, "[110]");
    // Without a usable crystal set there is nothing to search.
    TCrySet blank{};
    EXPECT_FALSE(ebsp::pickZone(plain.pick, &blank, false, v110, "666"));
    EXPECT_TRUE(pick.zoneText.empty());
    EXPECT_FALSE(ebsp::pickZone(plain.pick, nullptr, false, v110, "666"));
}

// ---- Highlights and labels ------------------------------------------------------------------

class PointerPickDrawing : public ::testing::Test {
  protected:
    const QRgb red = rgb(255, 0, 0), blue = rgb(0, 0, 255);
    // The (1 0 0) band at the start orientation: its edges are the vertical lines
    // x = 100 -+ 96 sin(theta).
    const double edgeOffset = 96.0 * std::sin(wavelength(20.0) / 0.4);
    bool nearEdge(int x) const {
        return std::fabs(x - (100 - edgeOffset)) <= 1.5 || std::fabs(x - (100 + edgeOffset)) <= 1.5;
    }
    std::vector<QPoint> pixelsOf(const TCrystalEBSPpanel& panel, QRgb colour) const {
        std::vector<QPoint> found;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (pixel(panel, x, y) == colour) found.push_back(QPoint(x, y));
        return found;
    }
};

TEST_F(PointerPickDrawing, PlaneHighlightRedOnTheBandEdgesLabelOnlyWithIt) {
    PickView view({{1, 0, 0, 0.2, 100}}, TVec3D{0, 0, 0});
    TCrystalEBSPpanel& panel = view.panel;
    view.setAnswer(false, false, true, false);  // a plane label without the highlight
    view.moveTo(100, 130);
    ASSERT_EQ(viewtest::probe(panel).PickedPlane(), 1);
    EXPECT_TRUE(pixelsOf(panel, red).empty());

    view.setAnswer(true, false, false, false);
    view.moveTo(2, 2);
    view.moveTo(100, 130);
    const std::vector<QPoint> edges = pixelsOf(panel, red);
    EXPECT_GT(edges.size(), 200u);  // two lines most of the disc high
    for (const QPoint& p : edges)
        ASSERT_TRUE(nearEdge(p.x())) << p.x() << "," << p.y();
    EXPECT_TRUE(colourNear(panel, int(100 - edgeOffset), 100, red, 1));
    EXPECT_TRUE(colourNear(panel, int(100 + edgeOffset), 60, red, 1));
    panel.SetKikuchiBandStyle(kbCentre);  // the centre line instead
    for (const QPoint& p : pixelsOf(panel, red))
        ASSERT_LE(std::abs(p.x() - 100), 1);
    EXPECT_TRUE(colourNear(panel, 100, 150, red, 1));
    panel.SetKikuchiBandStyle(kbSolid);

    view.setAnswer(true, false, true, false);
    view.moveTo(2, 2);
    view.moveTo(100, 130);
    // The label, off the edges, centred on the anchor's place (or its opposite point).
    TVec3D a = crystalToView(bunge(0, 0, 0), viewtest::probe(panel).PlaneLabelAnchor());
    if (a.z < 0) a = TVec3D{-a.x, -a.y, -a.z};
    const QPoint at = spherePixel(a);
    int labelPixels = 0;
    for (const QPoint& p : pixelsOf(panel, red)) {
        if (nearEdge(p.x())) continue;
        ++labelPixels;
        EXPECT_LE(std::abs(p.y() - at.y()), 16) << p.y() << " " << at.y();
        EXPECT_LE(std::abs(p.x() - at.x()), 60) << p.x() << " " << at.x();
    }
    EXPECT_GT(labelPixels, 20);  // at least the box outline
    EXPECT_TRUE(colourNear(panel, at.x(), at.y(), rgb(255, 255, 255), 3));  // the box inside
    EXPECT_TRUE(pixelsOf(panel, blue).empty());
}

TEST_F(PointerPickDrawing, ZoneCircleBlueAtTheZonesProjectedPoint) {
    const TVec3D euler{0.3, 0.4, 0.2};
    PickView view({{1, 0, 0, 0.2, 100}}, euler);
    TCrystalEBSPpanel& panel = view.panel;
    const QPoint zone = spherePixel(crystalToView(bunge(euler.x, euler.y, euler.z), {0, 0, 1}));
    view.setAnswer(false, true, false, false);
    view.moveTo(zone.x(), zone.y());
    ASSERT_EQ(viewtest::probe(panel).ZoneText(), "[001]");
    panel.Repaint();
    const std::vector<QPoint> circle = pixelsOf(panel, blue);
    ASSERT_FALSE(circle.empty());
    for (const QPoint& p : circle) {
        EXPECT_LE(std::abs(p.x() - zone.x()), 4);
        EXPECT_LE(std::abs(p.y() - zone.y()), 4);
    }
    for (QPoint d : {QPoint(3, 0), QPoint(-3, 0), QPoint(0, 3), QPoint(0, -3)})
        EXPECT_TRUE(colourNear(panel, zone.x() + d.x(), zone.y() + d.y(), blue, 1));

    view.setAnswer(false, true, false, true);  // the label replaces the circle
    view.moveTo(2, 2);
    view.moveTo(zone.x(), zone.y());
    const std::vector<QPoint> label = pixelsOf(panel, blue);
    EXPECT_GT(label.size(), 20u);
    for (const QPoint& p : label)
        EXPECT_LE(std::abs(p.y() - zone.y()), 16);
    EXPECT_TRUE(pixelsOf(panel, red).empty());

    panel.OnMouseMoveCrystalDir = nullptr;  // nobody listening: no zone mark
    panel.Repaint();
    EXPECT_TRUE(pixelsOf(panel, blue).empty());
}
