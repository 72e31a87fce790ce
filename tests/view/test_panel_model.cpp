// The view's model: creation values, stored defaults, setter side effects, reflector
// loading, the repaint lock and SetOrientation.
#include <QClipboard>
#include <QGuiApplication>
#include <QMetaEnum>
#include <QMetaProperty>

#include "panel_probe.h"
#include "view_test_support.h"

using namespace viewtest;

TEST(PanelCreation, PropertiesInDeclaredOrderWithCreationValues) {
    TCrystalEBSPpanel panel;
    struct Expected {
        const char* name;
        QVariant value;
    };
    const Expected expected[] = {
        {"RepaintLocked", false},
        {"ShowCrystal", true},
        {"ShowCrystalAxes", true},
        {"ShowEBSP", false},
        {"ShowHexUnitCell", true},
        {"BackgroundColour", QColor(255, 255, 255)},
        {"ShowAsWireFrame", false},
        {"ShowHiddenLines", false},
        {"MouseRotAllow", true},
        {"MouseRotWireFrame", false},
        {"DoubleClickCycling", true},
        {"Euler1deg", 0.0},
        {"Euler2deg", 0.0},
        {"Euler3deg", 0.0},
        {"ReflectorCount", 0},
        {"kV", 20.0},
        {"KikuchiBandStyle", QVariant::fromValue(kbSolid)},
        {"KikuchiBandGreyMin", 200},
        {"KikuchiBandGreyMax", 30},
        {"LineColour", QColor(0, 0, 0)},
        {"FaceColour", QColor(128, 128, 128)},
        {"MouseRotMaxIndices", QString("666")},
        {"ShowCopyright", false},
    };
    const QMetaObject* meta = panel.metaObject();
    const int first = meta->propertyOffset();
    ASSERT_GE(meta->propertyCount() - first, int(std::size(expected)));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const QMetaProperty property = meta->property(first + int(i));
        EXPECT_STREQ(property.name(), expected[i].name);
        EXPECT_EQ(panel.property(expected[i].name), expected[i].value) << expected[i].name;
    }
    EXPECT_FALSE(meta->property(meta->indexOfProperty("Euler1deg")).isWritable());
    // State: the first five caches stale, the reflector caches not, no image, no set.
    EXPECT_TRUE(viewtest::probe(panel).GeometryStale() &&
                viewtest::probe(panel).ProjectionStale() && viewtest::probe(panel).MatrixStale() &&
                viewtest::probe(panel).SizeStale() && viewtest::probe(panel).ImageStale() &&
                viewtest::probe(panel).HexCell());
    EXPECT_FALSE(viewtest::probe(panel).NormalsStale() || viewtest::probe(panel).BandsStale() ||
                 viewtest::probe(panel).BraggStale() || viewtest::probe(panel).GreyStale() ||
                 viewtest::probe(panel).Dragging() || viewtest::probe(panel).HighlightPlane());
    EXPECT_TRUE(panel.Image().isNull());
    EXPECT_EQ(viewtest::probe(panel).CrystalSet(), nullptr);
    EXPECT_FALSE(panel.OnRotate || panel.OnRotated || panel.OnGetReflector ||
                 panel.OnMouseMoveCrystalDir || panel.OnClick || panel.OnDblClick);
}

TEST(PanelCreation, BandStyleValuesInOrder) {
    const QMetaEnum e = QMetaEnum::fromType<TCrystalEBSPpanel::TKikuchiBandStyle>();
    const char* all[] = {"kbSolid",     "kbSolidBlack", "kbEdge",
                         "kbEdgeBlack", "kbCentre",     "kbCentreBlack"};
    ASSERT_EQ(e.keyCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(e.key(i), all[i]);
        EXPECT_EQ(e.value(i), i);
    }
}

TEST(PanelCreation, StoredDefaultsDifferWhereDeclared) {
    EXPECT_EQ(TCrystalEBSPpanel::StoredDefault("KikuchiBandGreyMin"), QVariant(30));
    EXPECT_EQ(TCrystalEBSPpanel::StoredDefault("KikuchiBandGreyMax"), QVariant(200));
    EXPECT_EQ(TCrystalEBSPpanel::StoredDefault("MouseRotWireFrame"), QVariant(true));
    EXPECT_EQ(TCrystalEBSPpanel::StoredDefault("ReflectorCount"), QVariant(0));
    EXPECT_EQ(TCrystalEBSPpanel::StoredDefault("BackgroundColour"),
              QVariant(QColor(255, 255, 255)));
    // Always recorded: no declared default.
    for (const char* name : {"RepaintLocked", "kV", "KikuchiBandStyle", "LineColour", "FaceColour",
                             "MouseRotMaxIndices", "ShowCopyright", "Euler1deg", "NoSuchThing"})
        EXPECT_FALSE(TCrystalEBSPpanel::StoredDefault(name).isValid()) << name;
}

TEST(PanelCreation, FreshControlPaintsOnlyWhite) {
    TCrystalEBSPpanel panel;
    panel.resize(80, 50);
    panel.SetRepaintLocked(false);
    ASSERT_EQ(panel.Image().size(), QSize(80, 50));
    EXPECT_EQ(countColour(panel, rgb(255, 255, 255)), 80 * 50);
}

// ---- Setter side effects ------------------------------------------------------------------

class PanelSetters : public ::testing::Test {
  protected:
    void SetUp() override {
        cs = cubic();
        panel.resize(120, 120);
        panel.SetRepaintLocked(true);
        panel.SetCrystalSet(cs.get(), false);
        panel.OnGetReflector = feed.handler();
        panel.SetReflectorCount(3);
        panel.SetShowEBSP(true);
        panel.SetRepaintLocked(false);  // one paint clears every flag
        ASSERT_TRUE(allClear());
        panel.SetRepaintLocked(true);
    }
    bool allClear() const {
        return !(viewtest::probe(panel).GeometryStale() ||
                 viewtest::probe(panel).ProjectionStale() || viewtest::probe(panel).MatrixStale() ||
                 viewtest::probe(panel).SizeStale() || viewtest::probe(panel).NormalsStale() ||
                 viewtest::probe(panel).BandsStale() || viewtest::probe(panel).BraggStale() ||
                 viewtest::probe(panel).GreyStale());
    }
    std::unique_ptr<TCrySet> cs;
    ReflectorFeed feed;
    TCrystalEBSPpanel panel;
};

TEST_F(PanelSetters, KvMarksAllFourReflectorCaches) {
    panel.SetkV(30.0);
    EXPECT_TRUE(viewtest::probe(panel).NormalsStale() && viewtest::probe(panel).BraggStale() &&
                viewtest::probe(panel).GreyStale() && viewtest::probe(panel).BandsStale());
    EXPECT_FALSE(viewtest::probe(panel).GeometryStale() ||
                 viewtest::probe(panel).ProjectionStale() || viewtest::probe(panel).MatrixStale());
}

TEST_F(PanelSetters, OrientationMarksMatrixProjectionNormalsBands) {
    panel.SetOrientation(TVec3D{0.1, 0.2, 0.3});
    EXPECT_TRUE(viewtest::probe(panel).MatrixStale() && viewtest::probe(panel).ProjectionStale() &&
                viewtest::probe(panel).NormalsStale() && viewtest::probe(panel).BandsStale());
    EXPECT_FALSE(viewtest::probe(panel).GeometryStale() || viewtest::probe(panel).BraggStale() ||
                 viewtest::probe(panel).GreyStale());
}

TEST_F(PanelSetters, ShowHexUnitCellMarksGeometryAndProjection) {
    panel.SetShowHexUnitCell(false);
    EXPECT_TRUE(viewtest::probe(panel).GeometryStale() && viewtest::probe(panel).ProjectionStale());
    EXPECT_FALSE(viewtest::probe(panel).MatrixStale() || viewtest::probe(panel).NormalsStale() ||
                 viewtest::probe(panel).BandsStale());
}

TEST_F(PanelSetters, SetCrystalSetMarksCellAndDropsReflectors) {
    panel.SetCrystalSet(cs.get(), true);  // the same set, skipped
    EXPECT_EQ(panel.ReflectorCount(), 3);
    EXPECT_TRUE(allClear());
    panel.SetCrystalSet(cs.get(), false);
    EXPECT_EQ(panel.ReflectorCount(), 0);
    EXPECT_TRUE(viewtest::probe(panel).GeometryStale() && viewtest::probe(panel).ProjectionStale());
    EXPECT_FALSE(viewtest::probe(panel).NormalsStale() || viewtest::probe(panel).BandsStale());
}

TEST_F(PanelSetters, FaceColourReshadesAtOnce) {
    panel.SetFaceColour(QColor(20, 30, 40));
    EXPECT_FALSE(viewtest::probe(panel).ProjectionStale());
    // Face 3 is the +c face, turned straight at the viewer at the start orientation.
    EXPECT_EQ(viewtest::probe(panel).Cell().faces[2].colour,
              viewtest::probe(panel).ShadeFace(TVec3D{0, 0, 1}));
    EXPECT_EQ(viewtest::probe(panel).Cell().faces[2].colour,
              ebsp::shadeFace(TVec3D{0, 0, 1}, ebsp::Rgb{20, 30, 40}));
}

TEST_F(PanelSetters, GreyRangeRecomputesGreysAtOnce) {
    feed.list = {{1, 0, 0, 2.0, 50.0}};
    panel.SetReflectorCount(1);  // marks everything stale again
    panel.SetRepaintLocked(false);
    panel.SetRepaintLocked(true);
    panel.SetKikuchiBandGreyMin(0);
    EXPECT_EQ(viewtest::probe(panel).ReflectorRecord(0).colour,
              (ebsp::Rgb{15, 15, 15}));  // 0 + (30 - 0) / 2
    panel.SetKikuchiBandGreyMax(255);
    EXPECT_EQ(viewtest::probe(panel).ReflectorRecord(0).colour, (ebsp::Rgb{127, 127, 127}));
    EXPECT_FALSE(viewtest::probe(panel).GreyStale());
}

TEST_F(PanelSetters, ResizeMarksSizeAndImage) {
    panel.show();
    panel.resize(90, 70);
    EXPECT_TRUE(viewtest::probe(panel).SizeStale() && viewtest::probe(panel).ImageStale());
    panel.SetRepaintLocked(false);
    EXPECT_EQ(panel.Image().size(), QSize(90, 70));
    EXPECT_DOUBLE_EQ(viewtest::probe(panel).Radius(), 35.0);
}

// ---- Reflector loading --------------------------------------------------------------------

TEST(PanelReflectors, FiveHundredRequestedLoadsTwoHundred) {
    auto cs = cubic();
    TCrystalEBSPpanel panel;
    ReflectorFeed feed;
    panel.OnGetReflector = feed.handler();
    panel.SetCrystalSet(cs.get(), false);
    const int before = viewtest::probe(panel).RepaintCount();
    panel.SetReflectorCount(500);
    EXPECT_EQ(panel.ReflectorCount(), 200);
    ASSERT_EQ(feed.asked.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(feed.asked[size_t(i)], i);
    EXPECT_EQ(viewtest::probe(panel).ReflectorRecord(199).h,
              1);  // written straight into the records
    EXPECT_DOUBLE_EQ(viewtest::probe(panel).ReflectorRecord(199).d, 2.0);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), before + 1);
}

TEST(PanelReflectors, NothingBeforeSetCrystalSet) {
    TCrystalEBSPpanel panel;
    ReflectorFeed feed;
    panel.OnGetReflector = feed.handler();
    panel.SetReflectorCount(5);
    EXPECT_EQ(panel.ReflectorCount(), 0);
    EXPECT_TRUE(feed.asked.empty());
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), 0);
}

TEST(PanelReflectors, UnassignedHandlerLeavesZeroWithoutRepaint) {
    auto cs = cubic();
    TCrystalEBSPpanel panel;
    ReflectorFeed feed;
    panel.OnGetReflector = feed.handler();
    panel.SetCrystalSet(cs.get(), false);
    panel.SetReflectorCount(4);
    ASSERT_EQ(panel.ReflectorCount(), 4);
    panel.OnGetReflector = nullptr;
    const int before = viewtest::probe(panel).RepaintCount();
    panel.SetReflectorCount(4);
    EXPECT_EQ(panel.ReflectorCount(), 0);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), before);
    panel.OnGetReflector = feed.handler();
    panel.SetReflectorCount(-3);
    EXPECT_EQ(panel.ReflectorCount(), 0);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), before);
}

TEST(PanelReflectors, LaueGroupZeroIgnoresTheCount) {
    auto cs = cubic();
    cs->LaueGroup = 0;
    TCrystalEBSPpanel panel;
    ReflectorFeed feed;
    panel.OnGetReflector = feed.handler();
    panel.SetCrystalSet(cs.get(), false);
    panel.SetReflectorCount(3);
    EXPECT_EQ(panel.ReflectorCount(), 0);
    EXPECT_TRUE(feed.asked.empty());
}

TEST(PanelReflectors, DesignerModeOnlyStoresWithinTheTable) {
    auto cs = cubic();
    TCrystalEBSPpanel panel;
    ReflectorFeed feed;
    panel.OnGetReflector = feed.handler();
    panel.SetCrystalSet(cs.get(), false);
    viewtest::probe(panel).SetDesignerMode(true);
    panel.SetReflectorCount(7);
    EXPECT_EQ(panel.ReflectorCount(), 7);
    EXPECT_TRUE(feed.asked.empty());
    panel.SetReflectorCount(1000);
    EXPECT_EQ(panel.ReflectorCount(), 200);
}

// ---- Repaint lock -------------------------------------------------------------------------

TEST(PanelRepaintLock, WritingFalseAlwaysRepaints) {
    TCrystalEBSPpanel panel;
    panel.SetRepaintLocked(false);
    panel.SetRepaintLocked(false);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), 2);
    panel.SetRepaintLocked(true);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), 2);
}

TEST(PanelRepaintLock, SettersRepaintOnlyWhenUnlocked) {
    TCrystalEBSPpanel panel;
    panel.SetShowCrystal(true);
    panel.SetkV(25.0);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), 2);
    panel.SetMouseRotMaxIndices("123");  // stores only
    panel.SetMouseRotAllow(false);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), 2);
    panel.SetRepaintLocked(true);
    panel.SetShowCrystal(false);
    panel.SetOrientation(TVec3D{1, 0, 0});
    panel.SetCrystalSet(nullptr, false);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), 2);
}

TEST(PanelRepaintLock, GreysWrittenWhileLockedShowOnUnlock) {
    auto cs = cubic();
    TCrystalEBSPpanel panel;
    panel.resize(200, 200);
    ReflectorFeed feed;
    feed.list = {{1, 1, 0, 2.0, 100.0}};
    panel.OnGetReflector = feed.handler();
    panel.SetShowCrystal(false);
    panel.SetShowEBSP(true);
    panel.SetOrientation(TVec3D{0.0, 0.0, 0.0});
    panel.SetCrystalSet(cs.get(), false);
    panel.SetReflectorCount(1);
    // (1 1 0) at the start orientation stands upright through the centre.
    EXPECT_EQ(pixel(panel, 100, 100), rgb(30, 30, 30));

    panel.SetRepaintLocked(true);
    const int before = viewtest::probe(panel).RepaintCount();
    panel.SetKikuchiBandGreyMin(10);
    panel.SetKikuchiBandGreyMax(90);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), before);
    EXPECT_EQ(pixel(panel, 100, 100), rgb(30, 30, 30));
    panel.SetRepaintLocked(false);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), before + 1);
    EXPECT_EQ(pixel(panel, 100, 100), rgb(90, 90, 90));
}

// ---- Orientation --------------------------------------------------------------------------

TEST(PanelOrientation, DegreeMirrors) {
    TCrystalEBSPpanel panel;
    panel.SetOrientation(TVec3D{kPi, 0.0, 0.0});
    EXPECT_DOUBLE_EQ(panel.Euler1deg(), 180.0);
    panel.SetOrientation(TVec3D{0.25, -1.0, 2.0});
    EXPECT_DOUBLE_EQ(panel.Euler2deg(), -57.29577951308232);
    EXPECT_DOUBLE_EQ(panel.Euler3deg(), 2.0 * 57.29577951308232);
    EXPECT_EQ(panel.property("Euler1deg").toDouble(), panel.Euler1deg());
}

TEST(PanelOrientation, IgnoredDuringADrag) {
    auto cs = cubic();
    TCrystalEBSPpanel panel;
    panel.resize(100, 100);
    panel.SetCrystalSet(cs.get(), false);
    panel.SetOrientation(TVec3D{0.1, 0.2, 0.3});
    press(&panel, QPoint(50, 50));
    ASSERT_TRUE(viewtest::probe(panel).DragLocked());
    const int before = viewtest::probe(panel).RepaintCount();
    panel.SetOrientation(TVec3D{kPi, 0.0, 0.0});
    EXPECT_DOUBLE_EQ(viewtest::probe(panel).EulerAngles().x, 0.1);
    EXPECT_EQ(viewtest::probe(panel).RepaintCount(), before);
    release(&panel, QPoint(50, 50));
    panel.SetOrientation(TVec3D{kPi, 0.0, 0.0});
    EXPECT_DOUBLE_EQ(panel.Euler1deg(), 180.0);
}

TEST(PanelClipboard, CopiesTheImageOnlyOnceItExists) {
    TCrystalEBSPpanel panel;
    panel.resize(30, 20);
    QGuiApplication::clipboard()->clear();
    panel.CopyToClipboard();
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull());
    panel.SetBackgroundColour(QColor(10, 200, 30));
    panel.CopyToClipboard();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(30, 20));
    EXPECT_EQ(copied.pixel(5, 5) & 0xFFFFFFu, rgb(10, 200, 30) & 0xFFFFFFu);
}
