// One drag frame of the views at 1000 x 1000 pixels: SetOrientation, rebuilding the stale
// caches and painting into the off-screen image.  Run from the build tree.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "CrystalEBSPpanel.h"
#include "lattixSetup.h"

namespace {

struct Plane {
    int8_t h, k, l;
    double d, intensity;
};

// The 199 lowest-index distinct planes of a cubic cell (one of each +-pair), strongest
// (largest spacing) first, as the main window supplies them.
std::vector<Plane> cubicPlanes(const TCrySet& cs) {
    std::vector<Plane> planes;
    for (int h = -4; h <= 4; ++h)
        for (int k = -4; k <= 4; ++k)
            for (int l = -4; l <= 4; ++l) {
                if (h < 0 || (h == 0 && k < 0) || (h == 0 && k == 0 && l <= 0)) continue;
                const double d = LatticeSpacing(&cs, h, k, l);
                planes.push_back({int8_t(h), int8_t(k), int8_t(l), d, 0.0});
            }
    std::stable_sort(planes.begin(), planes.end(),
                     [](const Plane& a, const Plane& b) { return a.d > b.d; });
    planes.resize(199);
    for (size_t i = 0; i < planes.size(); ++i)
        planes[i].intensity = 100.0 - 0.4 * double(i);
    return planes;
}

struct Fixture {
    TCrySet cs{};
    std::vector<Plane> planes;
    TCrystalEBSPpanel panel;
    explicit Fixture(bool cell, bool map, TKikuchiBandStyle style) {
        InitCrySet2(&cs, "Iron", "bench", 2.8665f, 2.8665f, 2.8665f, 90, 90, 90, 11, 229);
        planes = cubicPlanes(cs);
        panel.resize(1000, 1000);
        panel.SetRepaintLocked(true);
        panel.SetShowCrystal(cell);
        panel.SetShowEBSP(map);
        panel.SetKikuchiBandStyle(style);
        panel.OnGetReflector = [this](QObject*, int i, int8_t& h, int8_t& k, int8_t& l, double& d,
                                      double& intensity) {
            const Plane& p = planes[size_t(i)];
            h = p.h, k = p.k, l = p.l, d = p.d, intensity = p.intensity;
        };
        panel.SetCrystalSet(&cs, false);
        panel.SetReflectorCount(int(planes.size()));
        panel.SetRepaintLocked(false);
    }
};

void dragFrames(benchmark::State& state, bool cell, bool map, TKikuchiBandStyle style) {
    Fixture fixture(cell, map, style);
    if (fixture.panel.ReflectorCount() != 199) {
        state.SkipWithError("reflectors not loaded (setup data missing?)");
        return;
    }
    double angle = 0.0;
    for (auto _ : state) {
        angle += 0.01;
        fixture.panel.SetOrientation(TVec3D{0.3 + angle, 0.6 + 0.5 * angle, 0.2});
        benchmark::DoNotOptimize(fixture.panel.Image().constBits());
    }
    state.counters["reflectors"] = fixture.panel.ReflectorCount();
}

void BM_MapDragFrameSolid(benchmark::State& state) {
    dragFrames(state, false, true, kbSolid);
}
void BM_MapDragFrameEdge(benchmark::State& state) {
    dragFrames(state, false, true, kbEdge);
}
void BM_MapDragFrameCentre(benchmark::State& state) {
    dragFrames(state, false, true, kbCentre);
}
void BM_CellDragFrame(benchmark::State& state) {
    dragFrames(state, true, false, kbSolid);
}
void BM_CellAndMapDragFrame(benchmark::State& state) {
    dragFrames(state, true, true, kbSolid);
}

}  // namespace

BENCHMARK(BM_MapDragFrameSolid)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_MapDragFrameEdge)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_MapDragFrameCentre)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CellDragFrame)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CellAndMapDragFrame)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
