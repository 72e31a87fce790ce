// One drag frame of the detector view at 640 x 480 with 199 reflectors, beside the map's
// frame (1000 x 1000 and 640 x 480) in the same run: turning the crystal, projecting every
// band and painting the picture.  Run from the build tree.
#include <algorithm>
#include <filesystem>
#include <vector>

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include "CrystalEBSPpanel.h"
#include "DetectorPanel.h"

namespace {

struct Plane {
    int8_t h, k, l;
    double d, intensity;
};

// The 199 lowest-index distinct planes of a cubic cell, strongest (largest spacing) first.
std::vector<Plane> cubicPlanes(const TCrySet& cs) {
    std::vector<Plane> planes;
    for (int h = -4; h <= 4; ++h)
        for (int k = -4; k <= 4; ++k)
            for (int l = -4; l <= 4; ++l) {
                if (h < 0 || (h == 0 && k < 0) || (h == 0 && k == 0 && l <= 0)) continue;
                planes.push_back(
                    {int8_t(h), int8_t(k), int8_t(l), LatticeSpacing(&cs, h, k, l), 0.0});
            }
    std::stable_sort(planes.begin(), planes.end(),
                     [](const Plane& a, const Plane& b) { return a.d > b.d; });
    planes.resize(199);
    for (size_t i = 0; i < planes.size(); ++i)
        planes[i].intensity = 100.0 - 0.4 * double(i);
    return planes;
}

struct Setup {
    TCrySet cs{};
    std::vector<Plane> planes;
    Setup() {
        InitCrySet2(&cs, "Iron", "bench", 2.8665f, 2.8665f, 2.8665f, 90, 90, 90, 11, 229);
        if (GetInitIoStatus() == 0) planes = cubicPlanes(cs);
    }
};

void detectorFrames(benchmark::State& state, ebsp::BandShape shape) {
    Setup setup;
    TDetectorPanel panel;
    panel.resize(640, 480);
    panel.OnGetReflector = [&](int i, int8_t& h, int8_t& k, int8_t& l, double& d, double& in) {
        const Plane& p = setup.planes[size_t(i)];
        h = p.h, k = p.k, l = p.l, d = p.d, in = p.intensity;
    };
    panel.SetCrystalSet(&setup.cs);
    panel.SetBandGreys(220, 80);
    panel.SetReflectorCount(int(setup.planes.size()));
    ebsp::BandLook look;
    look.shape = shape;
    panel.SetBandLook(look);
    if (panel.ReflectorCount() != 199) {
        state.SkipWithError("reflectors not loaded (setup data missing?)");
        return;
    }
    double angle = 0.0;
    for (auto _ : state) {
        angle += 0.01;
        panel.SetOrientation(TVec3D{0.3 + angle, 0.6 + 0.5 * angle, 0.2});
        benchmark::DoNotOptimize(panel.Image().constBits());
    }
    state.counters["reflectors"] = panel.ReflectorCount();
}

void mapFrames(benchmark::State& state, int size) {
    Setup setup;
    TCrystalEBSPpanel panel;
    panel.resize(size, size == 1000 ? 1000 : 480);
    panel.SetRepaintLocked(true);
    panel.SetShowCrystal(false);
    panel.SetShowEBSP(true);
    panel.SetKikuchiBandStyle(kbSolid);
    panel.OnGetReflector = [&](QObject*, int i, int8_t& h, int8_t& k, int8_t& l, double& d,
                               double& in) {
        const Plane& p = setup.planes[size_t(i)];
        h = p.h, k = p.k, l = p.l, d = p.d, in = p.intensity;
    };
    panel.SetCrystalSet(&setup.cs, false);
    panel.SetReflectorCount(int(setup.planes.size()));
    panel.SetRepaintLocked(false);
    if (panel.ReflectorCount() != 199) {
        state.SkipWithError("reflectors not loaded (setup data missing?)");
        return;
    }
    double angle = 0.0;
    for (auto _ : state) {
        angle += 0.01;
        panel.SetOrientation(TVec3D{0.3 + angle, 0.6 + 0.5 * angle, 0.2});
        benchmark::DoNotOptimize(panel.Image().constBits());
    }
}

void BM_DetectorDragFrameSolid(benchmark::State& s) {
    detectorFrames(s, ebsp::BandShape::Solid);
}
void BM_DetectorDragFrameEdges(benchmark::State& s) {
    detectorFrames(s, ebsp::BandShape::Edges);
}
void BM_DetectorDragFrameCentre(benchmark::State& s) {
    detectorFrames(s, ebsp::BandShape::Centre);
}
void BM_MapDragFrameSolid1000(benchmark::State& s) {
    mapFrames(s, 1000);
}
void BM_MapDragFrameSolid640x480(benchmark::State& s) {
    mapFrames(s, 640);
}

}  // namespace

#define DETECTOR_BENCH(name) \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true)
DETECTOR_BENCH(BM_DetectorDragFrameSolid);
DETECTOR_BENCH(BM_DetectorDragFrameEdges);
DETECTOR_BENCH(BM_DetectorDragFrameCentre);
DETECTOR_BENCH(BM_MapDragFrameSolid1000);
DETECTOR_BENCH(BM_MapDragFrameSolid640x480);
