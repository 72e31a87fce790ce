// Pattern-centre conventions of the detector exports against published and recomputed
// conversions (kikuchipy tests and issues, EMsoft issues), round trips, and every failure
// status with its promise that nothing is written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "lattixDetector.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TDetector detector(int rows, int columns, int binning = 1, double pixelSize = 1.0) {
    TDetector d{};
    d.Width = columns;
    d.Height = rows;
    d.Binning = binning;
    d.PixelSize = pixelSize;
    d.SampleTilt = 70.0;
    d.PCx = 0.5;
    d.PCy = 0.5;
    d.PCz = 0.5;
    return d;
}

struct Triple {
    double v[3];
};

// One worked conversion: the input in one convention and the PC in all five.  Where no
// pixel size is given the EMsoft L is a multiple of it, so 1 um makes L that multiple.
struct ConversionCase {
    const char* name;
    int rows, columns, binning;
    double pixelSize;
    int input;
    Triple bruker, edax, width, emsoft4, emsoft5;
};

const Triple& expected(const ConversionCase& c, int convention) {
    switch (convention) {
        case lxPcEdax:
            return c.edax;
        case lxPcWidth:
            return c.width;
        case lxPcEmsoft4:
            return c.emsoft4;
        case lxPcEmsoft5:
            return c.emsoft5;
        default:
            return c.bruker;
    }
}

const std::vector<ConversionCase> kConversions = {
    {"C1",
     60,
     60,
     8,
     59.2,
     lxPcEmsoft4,
     {{0.50726, 0.26208, 0.55488809122}},
     {{0.50726, 0.73792, 0.554888}},
     {{0.50726, 0.73792, 0.554888}},
     {{3.4848, 114.2016, 15767.7}},
     {{-3.4848, 114.2016, 15767.7}}},
    {"C2",
     60,
     60,
     8,
     59.2,
     lxPcEmsoft5,
     {{0.50726, 0.26208, 0.55488809122}},
     {{0.50726, 0.73792, 0.554888}},
     {{0.50726, 0.73792, 0.554888}},
     {{3.4848, 114.2016, 15767.7}},
     {{-3.4848, 114.2016, 15767.7}}},
    {"C3",
     61,
     61,
     8,
     59.2,
     lxPcEmsoft5,
     {{0.52178688525, 0.20180594262, 0.68948341272}},
     {{0.521787, 0.798194, 0.689483}},
     {{0.521787, 0.798194, 0.689483}},
     {{10.632, 145.5187, 19918.9}},
     {{-10.632, 145.5187, 19918.9}}},
    {"C4",
     61,
     61,
     8,
     59.2,
     lxPcEmsoft5,
     {{0.478213, 0.201806, 0.689483}},
     {{0.478213, 0.798194, 0.689483}},
     {{0.478213, 0.798194, 0.689483}},
     {{-10.632, 145.5187, 19918.9}},
     {{10.632, 145.5187, 19918.9}}},
    {"C5 portrait",
     80,
     60,
     6,
     50,
     lxPcEmsoft5,
     {{0.501528, 0.527083, 0.669800}},
     {{0.501528, 0.472917, 0.893067}},
     {{0.501528, 0.630556, 0.893067}},
     {{0.55, -13, 16075.2}},
     {{-0.55, -13, 16075.2}}},
    {"C6 portrait",
     80,
     60,
     6,
     50,
     lxPcEmsoft4,
     {{0.501528, 0.527083, 0.669800}},
     {{0.501528, 0.472917, 0.893067}},
     {{0.501528, 0.630556, 0.893067}},
     {{0.55, -13, 16075.2}},
     {{-0.55, -13, 16075.2}}},
    {"C7",
     480,
     640,
     1,
     50,
     lxPcEmsoft5,
     {{0.5, 0.5, 0.625}},
     {{0.5, 0.5, 0.625}},
     {{0.5, 0.375, 0.46875}},
     {{0, 0, 15000}},
     {{0, 0, 15000}}},
    {"C8 emsoft",
     60,
     60,
     8,
     59.2,
     lxPcEmsoft5,
     {{0.49274, 0.26208, 0.554888}},
     {{0.49274, 0.73792, 0.554888}},
     {{0.49274, 0.73792, 0.554888}},
     {{-3.4848, 114.2016, 15767.7}},
     {{3.4848, 114.2016, 15767.7}}},
    {"C9",
     60,
     80,
     1,
     1,
     lxPcEdax,
     {{0.35, 0, 0.65}},
     {{0.35, 1, 0.65}},
     {{0.35, 0.75, 0.4875}},
     {{-12, 30, 39}},
     {{12, 30, 39}}},
    {"C10",
     60,
     80,
     1,
     1,
     lxPcEdax,
     {{0.1, 0.8, 0.3}},
     {{0.1, 0.2, 0.3}},
     {{0.1, 0.15, 0.225}},
     {{-32, -18, 18}},
     {{32, -18, 18}}},
    {"C11",
     60,
     80,
     1,
     1,
     lxPcEdax,
     {{0.6, 0.4, 0.6}},
     {{0.6, 0.6, 0.6}},
     {{0.6, 0.45, 0.45}},
     {{8, 6, 36}},
     {{-8, 6, 36}}},
    {"C12",
     60,
     60,
     1,
     1,
     lxPcWidth,
     {{0.25, 1, 0.75}},
     {{0.25, 0, 0.75}},
     {{0.25, 0, 0.75}},
     {{-15, -30, 45}},
     {{15, -30, 45}}},
    {"C13",
     60,
     80,
     1,
     1,
     lxPcWidth,
     {{0.25, 1, 1}},
     {{0.25, 0, 1}},
     {{0.25, 0, 0.75}},
     {{-20, -30, 60}},
     {{20, -30, 60}}},
    {"C14",
     60,
     80,
     8,
     59.2,
     lxPcBruker,
     {{0.4, 0.2, 0.6}},
     {{0.4, 0.8, 0.6}},
     {{0.4, 0.6, 0.45}},
     {{-64, 144, 17049.6}},
     {{64, 144, 17049.6}}},
    {"C15",
     60,
     60,
     8,
     70,
     lxPcBruker,
     {{0.4221, 0.2179, 0.4954}},
     {{0.4221, 0.7821, 0.4954}},
     {{0.4221, 0.7821, 0.4954}},
     {{-37.392, 135.408, 16645.44}},
     {{37.392, 135.408, 16645.44}}},
    {"C16",
     120,
     160,
     4,
     59.2,
     lxPcWidth,
     {{0.48935618, 0.17524102, 0.65863005}},
     {{0.489356, 0.824759, 0.658630}},
     {{0.48935617839432832, 0.61856923343313686, 0.49397253582464035}},
     {{-6.812046, 155.884309, 18715.631437}},
     {{6.812046, 155.884309, 18715.631437}}},
    {"C17",
     120,
     160,
     1,
     236.8,
     lxPcWidth,
     {{0.48935618, 0.17524102, 0.65863005}},
     {{0.489356, 0.824759, 0.658630}},
     {{0.48935617839432832, 0.61856923343313686, 0.49397253582464035}},
     {{-1.703011, 38.971077, 18715.631437}},
     {{1.703011, 38.971077, 18715.631437}}},
    {"C18",
     360,
     480,
     1,
     50,
     lxPcBruker,
     {{0.51, 0.61856923343313686, 0.49397253582464035}},
     {{0.51, 0.381431, 0.493973}},
     {{0.51, 0.286073, 0.370479}},
     {{4.8, -42.684924, 8891.505645}},
     {{-4.8, -42.684924, 8891.505645}}},
    {"C19",
     256,
     311,
     1,
     75.88,
     lxPcWidth,
     {{0.52, 0.330621, 0.800582}},
     {{0.52, 0.669379, 0.800582}},
     {{0.520, 0.551, 0.659}},
     {{6.22, 43.361, 15551.53012}},
     {{-6.22, 43.361, 15551.53012}}},
    {"C20 portrait",
     640,
     480,
     1,
     25,
     lxPcBruker,
     {{0.45, 0.55, 0.7}},
     {{0.45, 0.45, 0.933333}},
     {{0.45, 0.6, 0.933333}},
     {{-24, -32, 11200}},
     {{24, -32, 11200}}},
    {"C21",
     480,
     640,
     2,
     30,
     lxPcBruker,
     {{0.51, 0.31, 0.62}},
     {{0.51, 0.69, 0.62}},
     {{0.51, 0.5175, 0.465}},
     {{12.8, 182.4, 17856}},
     {{-12.8, 182.4, 17856}}},
};

// The tables print six decimals.
constexpr double kTol = 1.5e-6;

TEST(DetectorConventions, EveryWorkedConversionInBothDirections) {
    for (const ConversionCase& c : kConversions) {
        SCOPED_TRACE(c.name);
        TDetector d = detector(c.rows, c.columns, c.binning, c.pixelSize);
        ASSERT_EQ(DetectorSetPatternCentre(&d, c.input, expected(c, c.input).v), 0);
        EXPECT_NEAR(d.PCx, c.bruker.v[0], kTol);
        EXPECT_NEAR(d.PCy, c.bruker.v[1], kTol);
        EXPECT_NEAR(d.PCz, c.bruker.v[2], kTol);
        for (int conv = lxPcBruker; conv <= lxPcEmsoft5; ++conv) {
            SCOPED_TRACE(conv);
            double pc[3];
            ASSERT_EQ(DetectorGetPatternCentre(&d, conv, pc), 0);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(pc[i], expected(c, conv).v[i], kTol) << i;
            // Each convention's own numbers set the same PC (the reverse direction).
            TDetector e = detector(c.rows, c.columns, c.binning, c.pixelSize);
            ASSERT_EQ(DetectorSetPatternCentre(&e, conv, expected(c, conv).v), 0);
            EXPECT_NEAR(e.PCx, d.PCx, kTol);
            EXPECT_NEAR(e.PCy, d.PCy, kTol);
            EXPECT_NEAR(e.PCz, d.PCz, kTol);
        }
    }
}

TEST(DetectorConventions, RoundTripsThroughEveryConventionAreExact) {
    for (const ConversionCase& c : kConversions) {
        SCOPED_TRACE(c.name);
        TDetector d = detector(c.rows, c.columns, c.binning, c.pixelSize);
        ASSERT_EQ(DetectorSetPatternCentre(&d, c.input, expected(c, c.input).v), 0);
        for (int conv = lxPcBruker; conv <= lxPcEmsoft5; ++conv) {
            double pc[3];
            ASSERT_EQ(DetectorGetPatternCentre(&d, conv, pc), 0);
            TDetector e = d;
            ASSERT_EQ(DetectorSetPatternCentre(&e, conv, pc), 0);
            EXPECT_NEAR(e.PCx, d.PCx, 1e-14) << conv;
            EXPECT_NEAR(e.PCy, d.PCy, 1e-14) << conv;
            EXPECT_NEAR(e.PCz, d.PCz, 1e-14 * d.PCz) << conv;
        }
    }
}

// Pitfalls reported by users of other programs, each as the number that exposes it.
TEST(DetectorConventions, PitfallChecks) {
    double pc[3];
    // W normalises z* (and y*) by the width: 480 x 640 Bruker PCz 0.625 is W z* 0.46875.
    TDetector d = detector(480, 640);
    d.PCz = 0.625;
    ASSERT_EQ(DetectorGetPatternCentre(&d, lxPcWidth, pc), 0);
    EXPECT_DOUBLE_EQ(pc[2], 0.46875);
    // A W y* of 0 on a 60 x 80 detector is PCy 1, not 0.75.
    d = detector(60, 80);
    const double w[3] = {0.25, 0.0, 0.75};
    ASSERT_EQ(DetectorSetPatternCentre(&d, lxPcWidth, w), 0);
    EXPECT_DOUBLE_EQ(d.PCy, 1.0);
    EXPECT_DOUBLE_EQ(d.PCz, 1.0);
    // EDAX y* is a fraction of the height: Bruker (0.4, 0.2, 0.6) on 60 x 80 is
    // (0.4, 0.8, 0.6), not the width form (0.4, 0.6, 0.45).
    d = detector(60, 80);
    d.PCx = 0.4;
    d.PCy = 0.2;
    d.PCz = 0.6;
    ASSERT_EQ(DetectorGetPatternCentre(&d, lxPcEdax, pc), 0);
    EXPECT_DOUBLE_EQ(pc[1], 0.8);
    EXPECT_DOUBLE_EQ(pc[2], 0.6);
    // EMsoft 5: xpc = +30 on 120 x 120 puts the PC at x* = 25 %; v4 at 75 %.
    d = detector(120, 120);
    const double emsoft[3] = {30.0, 0.0, 60.0};
    ASSERT_EQ(DetectorSetPatternCentre(&d, lxPcEmsoft5, emsoft), 0);
    EXPECT_DOUBLE_EQ(d.PCx, 0.25);
    ASSERT_EQ(DetectorSetPatternCentre(&d, lxPcEmsoft4, emsoft), 0);
    EXPECT_DOUBLE_EQ(d.PCx, 0.75);
    // EMsoft xpc, ypc count unbinned pixels: the same W PC on a 120 x 160 pattern binned 4
    // gives four times the xpc and ypc of the unbinned reading, and the same L.
    TDetector binned = detector(120, 160, 4, 59.2);
    TDetector plain = detector(120, 160, 1, 236.8);
    const double wpc[3] = {0.48935617839432832, 0.61856923343313686, 0.49397253582464035};
    ASSERT_EQ(DetectorSetPatternCentre(&binned, lxPcWidth, wpc), 0);
    ASSERT_EQ(DetectorSetPatternCentre(&plain, lxPcWidth, wpc), 0);
    double a[3], b[3];
    ASSERT_EQ(DetectorGetPatternCentre(&binned, lxPcEmsoft5, a), 0);
    ASSERT_EQ(DetectorGetPatternCentre(&plain, lxPcEmsoft5, b), 0);
    EXPECT_NEAR(a[0], 4.0 * b[0], 1e-12);
    EXPECT_NEAR(a[1], 4.0 * b[1], 1e-12);
    EXPECT_NEAR(a[2], b[2], 1e-9);
    // EDAX and W agree exactly on a square detector.
    d = detector(61, 61);
    d.PCy = 0.3;
    ASSERT_EQ(DetectorGetPatternCentre(&d, lxPcEdax, a), 0);
    ASSERT_EQ(DetectorGetPatternCentre(&d, lxPcWidth, b), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_DOUBLE_EQ(a[i], b[i]);
}

// ---- failure statuses ------------------------------------------------------------------

// A valid P1-like detector with a usable PC and an identity orientation.
struct Args {
    TDetector d = [] {
        TDetector r = detector(480, 640, 1, 50.0);
        r.PCy = 0.3;
        r.PCz = 0.6;
        return r;
    }();
    TMat3D g{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    TVec3D v{0, 0, 1};
};

// Every export's status for a detector, against sentinel outputs that must stay as they
// were whenever the status is a failure.
struct Outcome {
    int32_t set, get, matrix, project, direction, band;
};

Outcome callAll(const Args& a, int convention = lxPcBruker, bool* untouched = nullptr) {
    Outcome o{};
    const double sentinel = -12345.0;
    bool same = true;
    TDetector d = a.d;
    double pc[3] = {0.5, 0.3, 0.6};
    o.set = DetectorSetPatternCentre(&d, convention, pc);
    if (o.set < 0) same = same && std::memcmp(&d, &a.d, sizeof d) == 0;
    double out[3] = {sentinel, sentinel, sentinel};
    o.get = DetectorGetPatternCentre(&a.d, convention, out);
    if (o.get < 0) same = same && out[0] == sentinel && out[1] == sentinel && out[2] == sentinel;
    TMat3D m;
    std::memset(&m, 0x5a, sizeof m);
    const TMat3D before = m;
    o.matrix = DetectorSampleMatrix(&a.d, &m);
    if (o.matrix < 0) same = same && std::memcmp(&m, &before, sizeof m) == 0;
    double x = sentinel, y = sentinel;
    o.project = DetectorProject(&a.d, &a.g, &a.v, &x, &y);
    if (o.project < 0 || o.project == 2) same = same && x == sentinel && y == sentinel;
    TVec3D r{sentinel, sentinel, sentinel};
    o.direction = DetectorDirection(&a.d, &a.g, 100.0, 100.0, &r);
    if (o.direction < 0) same = same && r.x == sentinel && r.y == sentinel && r.z == sentinel;
    double line[3] = {sentinel, sentinel, sentinel};
    o.band = DetectorBandLine(&a.d, &a.g, &a.v, line);
    if (o.band < 0 || o.band == 2)
        same = same && line[0] == sentinel && line[1] == sentinel && line[2] == sentinel;
    if (untouched) *untouched = same;
    return o;
}

TEST(DetectorStatuses, DetectorFieldsOutOfRange) {
    struct Case {
        const char* name;
        void (*spoil)(TDetector&);
        bool setStillWorks;  // the PC fields are not read by DetectorSetPatternCentre
    };
    const Case cases[] = {
        {"width 0", [](TDetector& d) { d.Width = 0; }, false},
        {"height -1", [](TDetector& d) { d.Height = -1; }, false},
        {"binning 0", [](TDetector& d) { d.Binning = 0; }, false},
        {"pixel size NaN", [](TDetector& d) { d.PixelSize = kNaN; }, false},
        {"sample tilt inf", [](TDetector& d) { d.SampleTilt = kInf; }, false},
        {"tilt NaN", [](TDetector& d) { d.Tilt = kNaN; }, false},
        {"azimuthal NaN", [](TDetector& d) { d.Azimuthal = kNaN; }, false},
        {"twist -inf", [](TDetector& d) { d.Twist = -kInf; }, false},
        {"PCx NaN", [](TDetector& d) { d.PCx = kNaN; }, true},
        {"PCy inf", [](TDetector& d) { d.PCy = kInf; }, true},
        {"PCz 0", [](TDetector& d) { d.PCz = 0.0; }, true},
        {"PCz negative", [](TDetector& d) { d.PCz = -0.6; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Args a;
        c.spoil(a.d);
        bool untouched = false;
        const Outcome o = callAll(a, lxPcBruker, &untouched);
        EXPECT_EQ(o.set, c.setStillWorks ? 0 : lxDetBadField);
        EXPECT_EQ(o.get, lxDetBadField);
        EXPECT_EQ(o.matrix, lxDetBadField);
        EXPECT_EQ(o.project, lxDetBadField);
        EXPECT_EQ(o.direction, lxDetBadField);
        EXPECT_EQ(o.band, lxDetBadField);
        EXPECT_TRUE(untouched);
    }
}

TEST(DetectorStatuses, PixelSizeMattersOnlyToEmsoft) {
    Args a;
    a.d.PixelSize = 0.0;
    for (int conv : {lxPcBruker, lxPcEdax, lxPcWidth}) {
        const Outcome o = callAll(a, conv);
        EXPECT_EQ(o.set, 0) << conv;
        EXPECT_EQ(o.get, 0) << conv;
    }
    for (int conv : {lxPcEmsoft4, lxPcEmsoft5}) {
        bool untouched = false;
        const Outcome o = callAll(a, conv, &untouched);
        EXPECT_EQ(o.set, lxDetBadField) << conv;
        EXPECT_EQ(o.get, lxDetBadField) << conv;
        EXPECT_TRUE(untouched);
    }
    const Outcome o = callAll(a);
    EXPECT_EQ(o.matrix, 0);
    EXPECT_EQ(o.project, 0);
}

TEST(DetectorStatuses, UnknownConvention) {
    for (int conv : {-1, 5, 1000}) {
        Args a;
        bool untouched = false;
        const Outcome o = callAll(a, conv, &untouched);
        EXPECT_EQ(o.set, lxDetBadConvention) << conv;
        EXPECT_EQ(o.get, lxDetBadConvention) << conv;
        EXPECT_TRUE(untouched);
        // The convention is checked before the detector.
        a.d.Width = 0;
        EXPECT_EQ(callAll(a, conv).get, lxDetBadConvention);
    }
}

TEST(DetectorStatuses, NullPointersComeFirst) {
    Args a;
    a.d.Width = 0;  // would be a field error
    double pc[3] = {0.5, 0.5, 0.5}, x, y, line[3];
    TMat3D m;
    TVec3D r;
    EXPECT_EQ(DetectorSetPatternCentre(nullptr, 7, pc), lxDetNullPointer);
    EXPECT_EQ(DetectorSetPatternCentre(&a.d, 7, nullptr), lxDetNullPointer);
    EXPECT_EQ(DetectorGetPatternCentre(nullptr, 0, pc), lxDetNullPointer);
    EXPECT_EQ(DetectorGetPatternCentre(&a.d, 0, nullptr), lxDetNullPointer);
    EXPECT_EQ(DetectorSampleMatrix(nullptr, &m), lxDetNullPointer);
    EXPECT_EQ(DetectorSampleMatrix(&a.d, nullptr), lxDetNullPointer);
    EXPECT_EQ(DetectorProject(nullptr, &a.g, &a.v, &x, &y), lxDetNullPointer);
    EXPECT_EQ(DetectorProject(&a.d, nullptr, &a.v, &x, &y), lxDetNullPointer);
    EXPECT_EQ(DetectorProject(&a.d, &a.g, nullptr, &x, &y), lxDetNullPointer);
    EXPECT_EQ(DetectorProject(&a.d, &a.g, &a.v, nullptr, &y), lxDetNullPointer);
    EXPECT_EQ(DetectorProject(&a.d, &a.g, &a.v, &x, nullptr), lxDetNullPointer);
    EXPECT_EQ(DetectorDirection(nullptr, &a.g, 1, 1, &r), lxDetNullPointer);
    EXPECT_EQ(DetectorDirection(&a.d, nullptr, 1, 1, &r), lxDetNullPointer);
    EXPECT_EQ(DetectorDirection(&a.d, &a.g, 1, 1, nullptr), lxDetNullPointer);
    EXPECT_EQ(DetectorBandLine(nullptr, &a.g, &a.v, line), lxDetNullPointer);
    EXPECT_EQ(DetectorBandLine(&a.d, nullptr, &a.v, line), lxDetNullPointer);
    EXPECT_EQ(DetectorBandLine(&a.d, &a.g, nullptr, line), lxDetNullPointer);
    EXPECT_EQ(DetectorBandLine(&a.d, &a.g, &a.v, nullptr), lxDetNullPointer);
}

TEST(DetectorStatuses, BadArguments) {
    Args a;
    const TDetector original = a.d;
    // Pattern centres that are not finite or convert to no positive distance.
    const struct {
        int convention;
        Triple pc;
    } badCentres[] = {
        {lxPcBruker, {{kNaN, 0.3, 0.6}}}, {lxPcBruker, {{0.5, 0.3, 0.0}}},
        {lxPcEdax, {{0.5, 0.3, -0.1}}},   {lxPcWidth, {{0.5, kInf, 0.6}}},
        {lxPcEmsoft4, {{0, 0, -15000}}},  {lxPcEmsoft5, {{0, 0, 0}}},
    };
    for (const auto& c : badCentres) {
        EXPECT_EQ(DetectorSetPatternCentre(&a.d, c.convention, c.pc.v), lxDetBadArgument);
        EXPECT_EQ(std::memcmp(&a.d, &original, sizeof original), 0);
    }
    // A zero or non-finite direction or normal, a non-finite matrix or pixel position.
    const double sentinel = 7.0;
    double x = sentinel, y = sentinel, line[3] = {sentinel, sentinel, sentinel};
    TVec3D r{sentinel, sentinel, sentinel};
    const TVec3D zero{0, 0, 0}, nan{kNaN, 0, 1};
    EXPECT_EQ(DetectorProject(&a.d, &a.g, &zero, &x, &y), lxDetBadArgument);
    EXPECT_EQ(DetectorProject(&a.d, &a.g, &nan, &x, &y), lxDetBadArgument);
    EXPECT_EQ(DetectorBandLine(&a.d, &a.g, &zero, line), lxDetBadArgument);
    EXPECT_EQ(DetectorBandLine(&a.d, &a.g, &nan, line), lxDetBadArgument);
    EXPECT_EQ(DetectorDirection(&a.d, &a.g, kNaN, 1.0, &r), lxDetBadArgument);
    EXPECT_EQ(DetectorDirection(&a.d, &a.g, 1.0, kInf, &r), lxDetBadArgument);
    TMat3D badG = a.g;
    badG.col[1].z = kInf;
    EXPECT_EQ(DetectorProject(&a.d, &badG, &a.v, &x, &y), lxDetBadArgument);
    EXPECT_EQ(DetectorBandLine(&a.d, &badG, &a.v, line), lxDetBadArgument);
    EXPECT_EQ(DetectorDirection(&a.d, &badG, 1.0, 1.0, &r), lxDetBadArgument);
    const TMat3D singular{};
    EXPECT_EQ(DetectorDirection(&a.d, &singular, 1.0, 1.0, &r), lxDetBadArgument);
    EXPECT_EQ(x, sentinel);
    EXPECT_EQ(y, sentinel);
    EXPECT_EQ(line[0], sentinel);
    EXPECT_EQ(r.x, sentinel);
}

}  // namespace
