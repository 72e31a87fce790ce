// Refinement on synthetic patterns of known orientation and PC.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <chrono>
#include <cstdio>

#include "fit_refine.h"
#include "synthetic_pattern.h"

namespace ebsp::fit {
namespace {

using testing::eulerDeg;
using testing::misorientationDeg;

PhaseModel aluminium() {
    PhaseModel model;
    std::string error;
    EXPECT_TRUE(buildPhaseModel(findPhase("Aluminium"), 20.0, 65, model, error)) << error;
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
    double startDeg;
    double pcOffset;
    bool refinePc;
};

TEST(FitRefine, Experiment) {
    const PhaseModel model = aluminium();
    const TMat3D truth = eulerDeg(31.0, 47.0, 12.0);
    for (const Case& c : {Case{"640x480", 640, 480, 1, 2.0, 0.02, true},
                          Case{"60x60", 60, 60, 8, 2.0, 0.02, true},
                          Case{"640x480 o", 640, 480, 1, 2.0, 0.0, false},
                          Case{"60x60 o", 60, 60, 8, 2.0, 0.0, false}}) {
        TDetector d = detector(c.width, c.height, c.oversample);
        testing::Degradation how;
        how.oversample = c.oversample;
        if (getenv("NOISEFREE")) how.counts = 1e9;
        if (getenv("NOLOBE")) how.lobe = 0;
        const GreyImage pattern = testing::makeSyntheticPattern(d, truth, model.bands, how);
        const TMat3D start =
            turnInDetectorFrame(truth, d, {0.0349 * 0.6, -0.0349 * 0.64, 0.0349 * 0.48});
        TDetector startDet = d;
        startDet.PCx += c.pcOffset;
        startDet.PCy -= c.pcOffset;
        startDet.PCz += c.pcOffset;
        RefineOptions o;
        o.refinePc = c.refinePc;
        if (getenv("BGS")) o.backgroundSigma = atof(getenv("BGS"));
        if (getenv("SUB")) o.background = BackgroundMode::Subtract;
        o.edgeSoftnessPx = c.oversample > 1 ? 0.8 : 2.3;
        auto t0 = std::chrono::steady_clock::now();
        int perLevel[8] = {0};
        const RefineResult r = refineFit(pattern, {}, startDet, start, model.bands, o,
            [&](const RefineProgress& p) { perLevel[p.level]++; });
        for (int l = 0; l < 8; ++l) std::printf("%d ", perLevel[l]);
        std::printf("time %.3f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        std::printf("truth fom %.4f\n", figureOfMerit(pattern, {}, d, truth, model.bands, o));
        std::printf("%s: start %.3f deg, end %.4f deg; PC %.5f %.5f %.5f; fom %.4f -> %.4f, %d evals\n",
                    c.name, misorientationDeg(start, truth), misorientationDeg(r.g, truth),
                    r.detector.PCx - d.PCx, r.detector.PCy - d.PCy, r.detector.PCz - d.PCz,
                    r.fomBefore, r.fomAfter, r.evaluations);
    }
}

}  // namespace
}  // namespace ebsp::fit
namespace ebsp::fit {
TEST(FitRefine, Scan) {
    PhaseModel model;
    std::string error;
    buildPhaseModel(findPhase("Aluminium"), 20.0, 65, model, error);
    const TMat3D truth = testing::eulerDeg(31.0, 47.0, 12.0);
    TDetector d{60, 60, 8, 50.0, 70.0, 0, 0, 0, 0.52, 0.31, 0.62};
    for (int variant = 0; variant < 4; ++variant) {
        testing::Degradation how;
        how.oversample = 8;
        if (variant == 1) { how.counts = 1e9; }
        if (variant == 2) { how.counts = 1e9; how.lobe = 0; how.seed = 7; }
        if (variant == 3) { how.counts = 1e9; how.lobe = 0; how.contrast=0.05; }
        const GreyImage pattern = testing::makeSyntheticPattern(d, truth, model.bands, how);
        for (int axis = 0; axis < 3; ++axis) {
            std::printf("v%d axis %d:", variant, axis);
            for (int k = -6; k <= 6; ++k) {
                TVec3D w{0, 0, 0};
                (&w.x)[axis] = k * 0.25 * 3.14159 / 180;
                std::printf(" %.4f", figureOfMerit(pattern, {}, d, turnInDetectorFrame(truth, d, w), model.bands, RefineOptions{}));
            }
            std::printf("\n");
        }
    }
}
}
