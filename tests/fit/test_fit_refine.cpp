// Refinement on synthetic patterns of known orientation and PC, degraded as camera patterns are.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "fit_refine.h"
#include "synthetic_pattern.h"

namespace ebsp::fit {
namespace {

using testing::eulerDeg;
using testing::misorientationDeg;

const PhaseModel& aluminium() {
    static const PhaseModel model = [] {
        PhaseModel m;
        std::string error;
        EXPECT_TRUE(buildPhaseModel(findPhase("Aluminium"), 20.0, 65, m, error)) << error;
        return m;
    }();
    return model;
}

TDetector detector(int width, int height, int binning) {
    TDetector d{};
    d.Width = width;
    d.Height = height;
    d.Binning = binning;
    d.PixelSize = 50.0;
    d.SampleTilt = 70.0;
    d.PCx = 0.52;
    d.PCy = 0.31;
    d.PCz = 0.62;
    return d;
}

struct Case {
    const char* name;
    int width, height, oversample;
    bool refinePc;
    double toleranceDeg;  // misorientation allowed at the end
};

const Case kCases[] = {{"640x480", 640, 480, 1, false, 0.1},
                       {"640x480 with PC", 640, 480, 1, true, 0.1},
                       {"60x60 binned", 60, 60, 8, false, 0.1},
                       {"60x60 binned with PC", 60, 60, 8, true, 0.1}};

struct Synthetic {
    TDetector truthDetector;
    TMat3D truth;
    GreyImage pattern;
    RefineOptions options;
};

Synthetic makeSetup(const Case& c) {
    Synthetic s;
    s.truthDetector = detector(c.width, c.height, c.oversample);
    s.truth = eulerDeg(31.0, 47.0, 12.0);
    testing::Degradation how;
    how.oversample = c.oversample;
    s.pattern = testing::makeSyntheticPattern(s.truthDetector, s.truth, aluminium().bands, how);
    s.options.refinePc = c.refinePc;
    // The camera blur (sigma 1 camera pixel) as the simulation's edge: sqrt(5) sigma in pattern
    // pixels; binned 8 x 8 it is an eighth of a pixel beside the pixels' own averaging, which
    // the fit's finer rendering of small images supplies.
    s.options.edgeSoftnessPx = c.oversample > 1 ? 0.4 : 2.3;
    return s;
}

TMat3D turnedBy(const Synthetic& s, double degrees) {
    const double k = degrees * 3.14159265358979323846 / 180.0;
    return turnInDetectorFrame(s.truth, s.truthDetector, {0.6 * k, -0.64 * k, 0.48 * k});
}

TEST(FitRefine, FromTwoDegreesAndTwoHundredthsOfPcReturnsToTheTruth) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Synthetic s = makeSetup(c);
        const TMat3D start = turnedBy(s, 2.0);
        ASSERT_NEAR(misorientationDeg(start, s.truth), 2.0, 1e-9);
        TDetector startDetector = s.truthDetector;
        if (c.refinePc) {
            startDetector.PCx += 0.02;
            startDetector.PCy -= 0.02;
            startDetector.PCz += 0.02;
        }
        const RefineResult r =
            refineFit(s.pattern, {}, startDetector, start, aluminium().bands, s.options);
        ASSERT_TRUE(r.valid);
        EXPECT_TRUE(r.improved);
        EXPECT_GT(r.fomAfter, r.fomBefore);
        EXPECT_LT(misorientationDeg(r.g, s.truth), c.toleranceDeg);
        EXPECT_NEAR(r.detector.PCx, s.truthDetector.PCx, 0.002);
        EXPECT_NEAR(r.detector.PCy, s.truthDetector.PCy, 0.002);
        EXPECT_NEAR(r.detector.PCz, s.truthDetector.PCz, 0.002);
        // The Euler angles describe the same orientation.
        TMat3D fromEuler;
        Euler2Matrix(&r.euler, &fromEuler);
        EXPECT_LT(misorientationDeg(fromEuler, r.g), 1e-4);
        // The reported figure of merit is the one the pattern gives at the result.
        EXPECT_NEAR(figureOfMerit(s.pattern, {}, r.detector, r.g, aluminium().bands, s.options),
                    r.fomAfter, 1e-9);
    }
}

TEST(FitRefine, FromEightDegreesDoesNotEndWorse) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Synthetic s = makeSetup(c);
        const TMat3D start = turnedBy(s, 8.0);
        const RefineResult r =
            refineFit(s.pattern, {}, s.truthDetector, start, aluminium().bands, s.options);
        ASSERT_TRUE(r.valid);
        EXPECT_GE(r.fomAfter, r.fomBefore);
        if (!r.improved) {
            EXPECT_LT(misorientationDeg(r.g, start), 1e-4);
        }
    }
}

TEST(FitRefine, IsDeterministicAndCancellable) {
    const Synthetic s = makeSetup(kCases[2]);
    const TMat3D start = turnedBy(s, 2.0);
    const RefineResult a =
        refineFit(s.pattern, {}, s.truthDetector, start, aluminium().bands, s.options);
    const RefineResult b =
        refineFit(s.pattern, {}, s.truthDetector, start, aluminium().bands, s.options);
    EXPECT_EQ(a.evaluations, b.evaluations);
    EXPECT_EQ(a.fomAfter, b.fomAfter);
    EXPECT_LT(misorientationDeg(a.g, b.g), 1e-4);

    // Cancelled after 20 evaluations: stops early, reports it, never ends below the start.
    std::atomic<bool> cancel{false};
    int calls = 0;
    const RefineResult c = refineFit(
        s.pattern, {}, s.truthDetector, start, aluminium().bands, s.options,
        [&](const RefineProgress& p) {
            ++calls;
            EXPECT_GE(p.level, 0);
            EXPECT_LT(p.level, p.levelCount);
            if (p.evaluations >= 20) cancel = true;
        },
        &cancel);
    EXPECT_TRUE(c.cancelled);
    EXPECT_LT(c.evaluations, 30);
    EXPECT_GE(c.fomAfter, c.fomBefore);
    EXPECT_EQ(calls, c.evaluations);
}

TEST(FitRefine, RefusesMismatchedInput) {
    const Synthetic s = makeSetup(kCases[2]);
    TDetector wrongSize = s.truthDetector;
    wrongSize.Width = 61;
    TDetector noDistance = s.truthDetector;
    noDistance.PCz = 0.0;
    TMat3D notRotation = s.truth;
    notRotation.col[0].x *= 2.0;
    const PixelMask shortMask(10, 1);
    EXPECT_FALSE(refineFit(s.pattern, {}, wrongSize, s.truth, aluminium().bands).valid);
    EXPECT_FALSE(refineFit(s.pattern, {}, noDistance, s.truth, aluminium().bands).valid);
    EXPECT_FALSE(refineFit(s.pattern, {}, s.truthDetector, notRotation, aluminium().bands).valid);
    EXPECT_FALSE(
        refineFit(s.pattern, shortMask, s.truthDetector, s.truth, aluminium().bands).valid);
}

}  // namespace
}  // namespace ebsp::fit

namespace ebsp::fit {
namespace {

// A round screen in a square image: the black corners are masked out and the fit still finds
// the truth; they would otherwise enter the background step and the correlation.
TEST(FitRefine, MaskedRoundScreen) {
    Synthetic s = makeSetup(kCases[2]);
    for (int y = 0; y < s.pattern.height; ++y)
        for (int x = 0; x < s.pattern.width; ++x) {
            const double dx = x + 0.5 - 30.0, dy = y + 0.5 - 30.0;
            if (dx * dx + dy * dy > 29.0 * 29.0) s.pattern.at(x, y) = 0.0f;
        }
    const PixelMask mask = brighterThan(s.pattern, 0.0f);
    const RefineResult r =
        refineFit(s.pattern, mask, s.truthDetector, turnedBy(s, 2.0), aluminium().bands, s.options);
    ASSERT_TRUE(r.valid);
    EXPECT_LT(misorientationDeg(r.g, s.truth), 0.1);
}

}  // namespace
}  // namespace ebsp::fit
