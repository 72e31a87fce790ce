// The pattern fit: a full refinement of a 640 x 480 and of a 60 x 60 (8 x 8 binned) synthetic
// pattern from 2 degrees (and 0.02 PC) away, and the band image beside a per-pixel renderer.
#include <benchmark/benchmark.h>

#include <cmath>

#include "fit_refine.h"
#include "synthetic_pattern.h"

namespace {

using namespace ebsp::fit;

struct Scene {
    bool ok = false;
    PhaseModel model;
    TDetector detector{};
    TMat3D truth{};
    GreyImage pattern;
};

const Scene& scene(int width, int height, int binning) {
    static Scene scenes[2];
    Scene& s = scenes[width > 100 ? 0 : 1];
    if (s.ok) return s;
    std::string error;
    if (!buildPhaseModel(findPhase("Aluminium"), 20.0, 65, s.model, error)) return s;
    s.detector = TDetector{width, height, binning, 50.0, 70.0, 0, 0, 0, 0.52, 0.31, 0.62};
    s.truth = testing::eulerDeg(31.0, 47.0, 12.0);
    testing::Degradation how;
    how.oversample = binning;
    s.pattern = testing::makeSyntheticPattern(s.detector, s.truth, s.model.bands, how);
    s.ok = true;
    return s;
}

void refine(benchmark::State& state, int width, int height, int binning, bool pc) {
    const Scene& s = scene(width, height, binning);
    if (!s.ok) {
        state.SkipWithError("the setup data (SYMGEN, APU) are missing");
        return;
    }
    const double k = 2.0 * 3.14159265358979323846 / 180.0;
    const TMat3D start = turnInDetectorFrame(s.truth, s.detector, {0.6 * k, -0.64 * k, 0.48 * k});
    TDetector startDetector = s.detector;
    if (pc) {
        startDetector.PCx += 0.02;
        startDetector.PCy -= 0.02;
        startDetector.PCz += 0.02;
    }
    RefineOptions options;
    options.refinePc = pc;
    options.edgeSoftnessPx = binning > 1 ? 0.4 : 2.3;
    int evaluations = 0;
    for (auto _ : state) {
        const RefineResult r =
            refineFit(s.pattern, {}, startDetector, start, s.model.bands, options);
        evaluations = r.evaluations;
        benchmark::DoNotOptimize(r.fomAfter);
    }
    state.counters["evaluations"] = evaluations;
}

void BM_Refine640x480(benchmark::State& state) {
    refine(state, 640, 480, 1, false);
}
void BM_Refine640x480WithPc(benchmark::State& state) {
    refine(state, 640, 480, 1, true);
}
void BM_Refine60x60(benchmark::State& state) {
    refine(state, 60, 60, 8, false);
}
void BM_Refine60x60WithPc(benchmark::State& state) {
    refine(state, 60, 60, 8, true);
}

// One simulated 640 x 480 pattern: the row-interval renderer ...
void BM_Render640x480(benchmark::State& state) {
    const Scene& s = scene(640, 480, 1);
    if (!s.ok) {
        state.SkipWithError("the setup data (SYMGEN, APU) are missing");
        return;
    }
    GreyImage image;
    for (auto _ : state) {
        renderPattern(s.detector, s.truth, s.model.bands, image);
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

// ... beside the plain alternative: every band tested at every pixel.
void BM_Render640x480PerPixel(benchmark::State& state) {
    const Scene& s = scene(640, 480, 1);
    if (!s.ok) {
        state.SkipWithError("the setup data (SYMGEN, APU) are missing");
        return;
    }
    const TDetector& d = s.detector;
    TMat3D m, gt, toG;
    DetectorSampleMatrix(&d, &m);
    Transpose(&s.truth, &gt);
    MatMul3x3(&m, &gt, &toG);
    std::vector<TVec3D> normals;
    for (const SimBand& b : s.model.bands) {
        TVec3D n;
        MatMul3x1(&toG, &b.normal, &n);
        normals.push_back(n);
    }
    GreyImage image(d.Width, d.Height);
    const double dd = d.PCz * d.Height, soft = 0.7 / dd;
    for (auto _ : state) {
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const double vx = x + 0.5 - d.PCx * d.Width, vy = d.PCy * d.Height - y - 0.5;
                const double inv = 1.0 / std::sqrt(vx * vx + vy * vy + dd * dd);
                float sum = 0.0f;
                for (std::size_t i = 0; i < normals.size(); ++i) {
                    const TVec3D& n = normals[i];
                    const double dot = std::fabs(n.x * vx + n.y * vy + n.z * dd) * inv;
                    const double sn = std::sin(s.model.bands[i].halfWidth);
                    double t = (sn + soft - dot) / (2.0 * soft);
                    if (t <= 0.0) continue;
                    t = t > 1.0 ? 1.0 : t;
                    sum += s.model.bands[i].weight * static_cast<float>(t * t * (3.0 - 2.0 * t));
                }
                image.at(x, y) = sum;
            }
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

BENCHMARK(BM_Refine640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refine640x480WithPc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refine60x60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refine60x60WithPc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render640x480PerPixel)->Unit(benchmark::kMillisecond);

}  // namespace
