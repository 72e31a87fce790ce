// View size, the sphere inverse and the mouse: drags, clicks, double-click cycling.
#include "panel_probe.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

// Rotation matrices of two orientations agree (Euler triples need not).
void expectSameOrientation(const TVec3D& a, const TVec3D& b, double tolerance = 1e-9) {
    const Rows ga = bunge(a.x, a.y, a.z), gb = bunge(b.x, b.y, b.z);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(ga.m[i][j], gb.m[i][j], tolerance);
}

struct EventCounts {
    int rotate = 0, rotated = 0, click = 0, dblClick = 0, down = 0, moveBase = 0, up = 0;
    void attach(TCrystalEBSPpanel& panel) {
        panel.OnRotate = [this](QObject*) { ++rotate; };
        panel.OnRotated = [this](QObject*) { ++rotated; };
        panel.OnClick = [this](QObject*) { ++click; };
        panel.OnDblClick = [this](QObject*) { ++dblClick; };
        panel.OnMouseDown = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            ++down;
        };
        panel.OnMouseMove = [this](QObject*, Qt::KeyboardModifiers, int, int) { ++moveBase; };
        panel.OnMouseUp = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            ++up;
        };
    }
};

class PanelMouse : public ::testing::Test {
  protected:
    void SetUp() override {
        cs = cubic();
        panel.resize(200, 200);
        panel.SetCrystalSet(cs.get(), false);
        panel.SetOrientation(start);
        counts.attach(panel);
    }
    std::unique_ptr<TCrySet> cs;
    TCrystalEBSPpanel panel;
    EventCounts counts;
    TVec3D start{0.4, 0.7, 1.1};
};

}  // namespace

TEST(PanelViewSize, CentreAndRadius) {
    struct Case {
        int w, h;
        double cx, cy, R;
    };
    for (const Case& c :
         {Case{100, 60, 50, 30, 30}, Case{200, 100, 100, 50, 50}, Case{201, 101, 100, 50, 50},
          Case{60, 100, 30, 50, 30}, Case{7, 7, 3, 3, 3}}) {
        TCrystalEBSPpanel panel;
        panel.resize(c.w, c.h);
        viewtest::probe(panel).UpdateViewSize();
        EXPECT_DOUBLE_EQ(viewtest::probe(panel).CentreX(), c.cx) << c.w << "x" << c.h;
        EXPECT_DOUBLE_EQ(viewtest::probe(panel).CentreY(), c.cy);
        EXPECT_DOUBLE_EQ(viewtest::probe(panel).Radius(), c.R);
        EXPECT_FALSE(viewtest::probe(panel).SizeStale());
        EXPECT_TRUE(viewtest::probe(panel).ImageStale() && viewtest::probe(panel).BandsStale() &&
                    viewtest::probe(panel).NormalsStale());
    }
}

TEST(PanelViewSize, PaintingPicksUpTheSize) {
    TCrystalEBSPpanel panel;
    panel.resize(100, 60);
    panel.SetShowCrystal(true);  // repaints: the cell step brings the size up to date
    EXPECT_DOUBLE_EQ(viewtest::probe(panel).CentreX(), 50.0);
    EXPECT_DOUBLE_EQ(viewtest::probe(panel).CentreY(), 30.0);
    EXPECT_DOUBLE_EQ(viewtest::probe(panel).Radius(), 30.0);
}

TEST(PanelScreenToSphere, CentreRimAndInterior) {
    TCrystalEBSPpanel panel;
    panel.resize(200, 100);
    viewtest::probe(panel).UpdateViewSize();
    bool inside = false;
    TVec3D v = viewtest::probe(panel).ScreenToSphere(100, 50, inside);
    EXPECT_TRUE(inside);
    EXPECT_DOUBLE_EQ(v.x, 0.0);
    EXPECT_DOUBLE_EQ(v.y, 0.0);
    EXPECT_DOUBLE_EQ(v.z, 1.0);

    v = viewtest::probe(panel).ScreenToSphere(150, 50,
                                              inside);  // cx + R lies beyond the 0.96 R disc
    EXPECT_FALSE(inside);
    EXPECT_NEAR(v.x, 1.0, 1e-15);
    EXPECT_NEAR(v.y, 0.0, 1e-15);
    EXPECT_NEAR(v.z, 0.0, 1e-15);

    v = viewtest::probe(panel).ScreenToSphere(100, 0,
                                              inside);  // straight up, outside: rim point (0, 1, 0)
    EXPECT_FALSE(inside);
    EXPECT_NEAR(v.y, 1.0, 1e-15);

    // Inside: the orthographic inverse in closed form.
    const double dx = 17.0, dy = -21.0, r = 0.96 * 50.0;
    v = viewtest::probe(panel).ScreenToSphere(100 + dx, 50 + dy, inside);
    EXPECT_TRUE(inside);
    EXPECT_NEAR(v.x, dx / r, 1e-12);
    EXPECT_NEAR(v.y, -dy / r, 1e-12);
    EXPECT_NEAR(v.z, std::sqrt(1.0 - (dx * dx + dy * dy) / (r * r)), 1e-12);

    // On the drawn rim itself (q == 1) the point still counts as inside.
    v = viewtest::probe(panel).ScreenToSphere(100 + 48.0, 50, inside);
    EXPECT_TRUE(inside);
    EXPECT_NEAR(v.x, 1.0, 1e-12);
}

TEST_F(PanelMouse, DragFiresRotatePerMoveAndRotatedOnce) {
    press(&panel, QPoint(100, 100));
    EXPECT_TRUE(viewtest::probe(panel).Dragging());
    move(&panel, QPoint(120, 100));
    move(&panel, QPoint(140, 110));
    move(&panel, QPoint(150, 130));
    EXPECT_EQ(counts.rotate, 3);
    EXPECT_EQ(counts.rotated, 0);
    const TVec3D dragged = viewtest::probe(panel).EulerAngles();
    release(&panel, QPoint(150, 130));
    EXPECT_EQ(counts.rotate, 3);
    EXPECT_EQ(counts.rotated, 1);
    EXPECT_FALSE(viewtest::probe(panel).Dragging() || viewtest::probe(panel).DragLocked());
    expectSameOrientation(viewtest::probe(panel).EulerAngles(), dragged);
    EXPECT_EQ(counts.down + counts.up + counts.moveBase, 0);
}

TEST_F(PanelMouse, DragTurnsThePointUnderThePointerAlong) {
    // The crystal direction under the press point ends under the release point.
    press(&panel, QPoint(100, 100));
    move(&panel, QPoint(130, 80));
    release(&panel, QPoint(130, 80));
    const TVec3D e = viewtest::probe(panel).EulerAngles();
    const Rows g0 = bunge(start.x, start.y, start.z), g1 = bunge(e.x, e.y, e.z);
    bool inside = false;
    const TVec3D s = viewtest::probe(panel).ScreenToSphere(100, 100, inside);
    const TVec3D c = viewtest::probe(panel).ScreenToSphere(130, 80, inside);
    // Crystal direction under s at the start: g0 . s; its view position now: g1^T (g0 s).
    const TVec3D crystal{g0.m[0][0] * s.x + g0.m[0][1] * s.y + g0.m[0][2] * s.z,
                         g0.m[1][0] * s.x + g0.m[1][1] * s.y + g0.m[1][2] * s.z,
                         g0.m[2][0] * s.x + g0.m[2][1] * s.y + g0.m[2][2] * s.z};
    const TVec3D now = crystalToView(g1, crystal);
    EXPECT_NEAR(now.x, c.x, 1e-9);
    EXPECT_NEAR(now.y, c.y, 1e-9);
    EXPECT_NEAR(now.z, c.z, 1e-9);
}

TEST_F(PanelMouse, DraggingBackRestoresThePressOrientation) {
    for (QPoint startPoint : {QPoint(100, 100), QPoint(60, 140), QPoint(10, 100)}) {
        const TVec3D before = viewtest::probe(panel).EulerAngles();
        press(&panel, startPoint);
        move(&panel, QPoint(170, 40));
        move(&panel, QPoint(190, 180));  // outside the disc: a rim point
        move(&panel, startPoint);
        expectSameOrientation(viewtest::probe(panel).EulerAngles(), before);
        release(&panel, startPoint);
        expectSameOrientation(viewtest::probe(panel).EulerAngles(), before);
    }
}

TEST_F(PanelMouse, AcrossTheCentreTurnsByTheAngleBetweenThePoints) {
    // Near rim to near rim through the centre: no degrees-per-pixel factor, the turn is
    // the full angle between the two sphere points (about 163 degrees here).
    press(&panel, QPoint(5, 100));
    move(&panel, QPoint(100, 100));
    move(&panel, QPoint(195, 100));
    release(&panel, QPoint(195, 100));
    bool inside = false;
    const TVec3D s = viewtest::probe(panel).ScreenToSphere(5, 100, inside);
    const TVec3D c = viewtest::probe(panel).ScreenToSphere(195, 100, inside);
    const double k = s.x * c.x + s.y * c.y + s.z * c.z;
    ASSERT_LT(k, -0.9);
    // The turn is about the y axis, so the view axis goes to (., ., cos t) = k.
    const TVec3D e = viewtest::probe(panel).EulerAngles();
    const Rows g0 = bunge(start.x, start.y, start.z), g1 = bunge(e.x, e.y, e.z);
    const TVec3D crystalZ{g0.m[0][2], g0.m[1][2], g0.m[2][2]};  // g0 . (0, 0, 1)
    EXPECT_NEAR(crystalToView(g1, crystalZ).z, k, 1e-9);
}

TEST_F(PanelMouse, PressAndReleaseWithoutMoving) {
    press(&panel, QPoint(80, 90));
    release(&panel, QPoint(80, 90));
    EXPECT_EQ(counts.rotate, 0);
    EXPECT_EQ(counts.rotated, 1);
    EXPECT_EQ(counts.click, 1);
    expectSameOrientation(viewtest::probe(panel).EulerAngles(), start, 0.0 + 1e-12);
}

TEST_F(PanelMouse, ClickAlsoAfterADragButNotOutside) {
    press(&panel, QPoint(80, 90));
    move(&panel, QPoint(120, 60));
    release(&panel, QPoint(120, 60));
    EXPECT_EQ(counts.click, 1);
    press(&panel, QPoint(80, 90));
    move(&panel, QPoint(260, 60));
    release(&panel, QPoint(260, 60));  // released beyond the control
    EXPECT_EQ(counts.click, 1);
    EXPECT_EQ(counts.rotated, 2);
}

TEST_F(PanelMouse, RightButtonAndMouseRotAllowFalseUseTheBaseEvents) {
    press(&panel, QPoint(80, 90), Qt::RightButton);
    EXPECT_FALSE(viewtest::probe(panel).Dragging());
    release(&panel, QPoint(80, 90), Qt::RightButton);
    EXPECT_EQ(counts.down, 1);
    EXPECT_EQ(counts.up, 1);
    EXPECT_EQ(counts.click, 0);

    panel.SetMouseRotAllow(false);
    press(&panel, QPoint(80, 90));
    move(&panel, QPoint(140, 40));
    release(&panel, QPoint(140, 40));
    EXPECT_EQ(counts.down, 2);
    EXPECT_EQ(counts.moveBase, 1);
    EXPECT_EQ(counts.up, 2);
    EXPECT_EQ(counts.rotate + counts.rotated, 0);
    EXPECT_EQ(counts.click, 1);
    expectSameOrientation(viewtest::probe(panel).EulerAngles(), start, 1e-15);
}

TEST_F(PanelMouse, OwnerOrientationDuringADragLeavesTheDraggedViewAlone) {
    // The owner passes every OnRotate on to all views, the dragged one included.
    panel.OnRotate = [this](QObject*) { panel.SetOrientation(TVec3D{0, 0, 0}); };
    press(&panel, QPoint(100, 100));
    move(&panel, QPoint(130, 100));
    const TVec3D dragged = viewtest::probe(panel).EulerAngles();
    EXPECT_GT(std::fabs(dragged.x - 0.0) + std::fabs(dragged.y) + std::fabs(dragged.z), 0.1);
    release(&panel, QPoint(130, 100));
    expectSameOrientation(viewtest::probe(panel).EulerAngles(), dragged);
}

TEST_F(PanelMouse, WireFrameOnlyWhileDragging) {
    panel.SetMouseRotWireFrame(true);
    panel.SetOrientation(TVec3D{0.3, 0.5, 0.2});
    const QRgb inside = pixel(panel, 100, 100);
    EXPECT_NE(inside, rgb(255, 255, 255));  // a shaded face
    press(&panel, QPoint(100, 100));
    move(&panel, QPoint(101, 100));
    EXPECT_EQ(countColour(panel, toRgb(viewtest::probe(panel).Cell().faces[0].colour)) +
                  countColour(panel, toRgb(viewtest::probe(panel).Cell().faces[2].colour)),
              0);
    release(&panel, QPoint(101, 100));
    EXPECT_NE(pixel(panel, 100, 100), rgb(255, 255, 255));
}

TEST_F(PanelMouse, DisabledAndZeroSizedControlsIgnoreTheMouse) {
    panel.setEnabled(false);
    press(&panel, QPoint(100, 100));
    move(&panel, QPoint(150, 100));
    release(&panel, QPoint(150, 100));
    EXPECT_FALSE(viewtest::probe(panel).Dragging());
    EXPECT_EQ(counts.rotate + counts.rotated + counts.click + counts.down + counts.up, 0);
    expectSameOrientation(viewtest::probe(panel).EulerAngles(), start, 1e-15);

    panel.setEnabled(true);
    panel.resize(0, 120);
    press(&panel, QPoint(0, 10));
    move(&panel, QPoint(0, 50));
    release(&panel, QPoint(0, 50));
    doubleClick(&panel, QPoint(0, 10));
    EXPECT_FALSE(viewtest::probe(panel).Dragging());
    EXPECT_EQ(counts.rotate + counts.rotated + counts.click + counts.down + counts.up, 0);
    EXPECT_TRUE(panel.ShowCrystal());
}

// ---- Double click -------------------------------------------------------------------------

TEST_F(PanelMouse, DoubleClickCyclesThroughTheFourModes) {
    ReflectorFeed feed;
    panel.OnGetReflector = feed.handler();
    panel.SetReflectorCount(3);
    ASSERT_TRUE(panel.ShowCrystal());
    ASSERT_FALSE(panel.ShowEBSP());
    struct Step {
        bool crystal, ebsp;
        TKikuchiBandStyle style;
    };
    const Step steps[] = {{false, true, kbSolid},
                          {true, true, kbEdge},
                          {true, true, kbCentre},
                          {true, false, kbCentre},
                          {false, true, kbSolid}};
    for (const Step& step : steps) {
        doubleClick(&panel, QPoint(100, 100));
        EXPECT_EQ(panel.ShowCrystal(), step.crystal);
        EXPECT_EQ(panel.ShowEBSP(), step.ebsp);
        EXPECT_EQ(panel.KikuchiBandStyle(), step.style);
    }
    EXPECT_EQ(counts.dblClick, 0);
}

TEST_F(PanelMouse, DoubleClickWithoutReflectorsOrInBlackStylesChangesNothing) {
    doubleClick(&panel, QPoint(100, 100));  // cell only, no reflectors
    EXPECT_TRUE(panel.ShowCrystal());
    EXPECT_FALSE(panel.ShowEBSP());

    ReflectorFeed feed;
    panel.OnGetReflector = feed.handler();
    panel.SetReflectorCount(2);
    panel.SetShowEBSP(true);
    panel.SetKikuchiBandStyle(kbEdgeBlack);  // mode 0
    doubleClick(&panel, QPoint(100, 100));
    EXPECT_TRUE(panel.ShowCrystal() && panel.ShowEBSP());
    EXPECT_EQ(panel.KikuchiBandStyle(), kbEdgeBlack);
}

TEST_F(PanelMouse, DoubleClickWithoutCyclingFiresOnDblClick) {
    panel.SetDoubleClickCycling(false);
    ReflectorFeed feed;
    panel.OnGetReflector = feed.handler();
    panel.SetReflectorCount(3);
    doubleClick(&panel, QPoint(100, 100));
    EXPECT_EQ(counts.dblClick, 1);
    EXPECT_TRUE(panel.ShowCrystal());
    EXPECT_FALSE(panel.ShowEBSP());
}
