// Speed of one drag frame of the detector view: 199 nickel bands at 640 x 480 built as centre
// lines, sampled hyperbolic edges and band regions, at the drawing tolerance and at a coarse
// one, beside the centre lines alone and the zone-axis markers.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "detector_geometry.h"

namespace {

// The 199 shortest fcc reflections of nickel (one of each +-(hkl) pair), strongest first.
std::vector<ebsp::DetectorBandInput> nickelBands() {
    struct Hkl {
        int h, k, l;
    };
    std::vector<Hkl> all;
    for (int h = -8; h <= 8; ++h)
        for (int k = -8; k <= 8; ++k)
            for (int l = -8; l <= 8; ++l) {
                const bool mixed = (h & 1) != (k & 1) || (k & 1) != (l & 1);
                if (mixed || (h == 0 && k == 0 && l == 0)) continue;
                // One sign of each pair: the first non-zero index positive.
                const int first = h != 0 ? h : (k != 0 ? k : l);
                if (first > 0) all.push_back({h, k, l});
            }
    std::stable_sort(all.begin(), all.end(), [](const Hkl& a, const Hkl& b) {
        return a.h * a.h + a.k * a.k + a.l * a.l < b.h * b.h + b.k * b.k + b.l * b.l;
    });
    all.resize(199);
    const double lambda = 0.0858851;  // angstrom at 20 kV
    std::vector<ebsp::DetectorBandInput> bands;
    for (const Hkl& r : all) {
        const double d = 3.52 / std::sqrt(double(r.h * r.h + r.k * r.k + r.l * r.l));
        bands.push_back(
            {TVec3D{double(r.h), double(r.k), double(r.l)}, std::asin(lambda / (2 * d)), 0x808080});
    }
    return bands;
}

TDetector screen() {
    TDetector d{};
    d.Width = 640;
    d.Height = 480;
    d.Binning = 1;
    d.PixelSize = 50;
    d.SampleTilt = 70;
    d.PCx = 0.5;
    d.PCy = 0.3;
    d.PCz = 0.6;
    return d;
}

// A slowly turning orientation, as during a drag.
TMat3D orientation(int step) {
    const TVec3D e{0.3 + 0.001 * step, 0.5, 1.2 - 0.002 * step};
    TMat3D g;
    Euler2Matrix(&e, &g);
    return g;
}

void runBands(benchmark::State& state, double tolerance) {
    const auto bands = nickelBands();
    const TDetector d = screen();
    int step = 0;
    std::size_t points = 0;
    for (auto _ : state) {
        const ebsp::DetectorProjection view(d, orientation(step++));
        const auto shapes = view.bands(bands, tolerance);
        for (const auto& s : shapes)
            for (const auto& e : s.edges)
                for (const auto& piece : e)
                    points += piece.size();
        benchmark::DoNotOptimize(shapes.data());
    }
    state.counters["edge points/frame"] =
        benchmark::Counter(double(points) / double(state.iterations()));
}

void BM_DetectorFrame199Bands(benchmark::State& state) {
    runBands(state, 0.25);
}
BENCHMARK(BM_DetectorFrame199Bands)->Unit(benchmark::kMillisecond);

void BM_DetectorFrame199BandsCoarse(benchmark::State& state) {
    runBands(state, 1.0);
}
BENCHMARK(BM_DetectorFrame199BandsCoarse)->Unit(benchmark::kMillisecond);

void BM_DetectorCentreLines199(benchmark::State& state) {
    const auto bands = nickelBands();
    const TDetector d = screen();
    int step = 0;
    for (auto _ : state) {
        const TMat3D g = orientation(step++);
        double line[3];
        for (const auto& b : bands)
            benchmark::DoNotOptimize(DetectorBandLine(&d, &g, &b.normal, line));
    }
}
BENCHMARK(BM_DetectorCentreLines199)->Unit(benchmark::kMicrosecond);

void BM_DetectorZoneMarkers199(benchmark::State& state) {
    const auto bands = nickelBands();  // the normals double as directions [uvw] of a cube
    const TDetector d = screen();
    int step = 0;
    for (auto _ : state) {
        const ebsp::DetectorProjection view(d, orientation(step++));
        for (const auto& b : bands)
            benchmark::DoNotOptimize(view.zoneAxis(b.normal));
    }
}
BENCHMARK(BM_DetectorZoneMarkers199)->Unit(benchmark::kMicrosecond);

}  // namespace
