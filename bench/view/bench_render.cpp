// Batch pictures of the Kikuchi map at 1000 x 1000 pixels, 100 orientations a batch, as
// "ebsp-tool render --euler-list" makes them: PNG files, SVG files, and the drawing alone
// (no encoding, no file) beside them.  Reports maps per second.  Run from the build tree.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "CrystalEBSPpanel.h"
#include "phase_catalogue.h"
#include "picture_writer.h"
#include "render_command.h"

namespace {

constexpr int kBatch = 100;

std::string eulerList() {
    std::string list;
    for (int i = 0; i < kBatch; ++i)
        list += std::to_string(3.6 * i) + "," + std::to_string(i % 90) + "," +
                std::to_string(7 * i % 360) + "\n";
    return list;
}

void batch(benchmark::State& state, const char* suffix) {
    QTemporaryDir dir;
    const std::string list = dir.filePath(QStringLiteral("list.txt")).toStdString();
    std::ofstream(list) << eulerList();
    const std::string out = dir.filePath(QStringLiteral("map_{n}.")).toStdString() + suffix;
    for (auto _ : state) {
        std::ostringstream sink, err;
        const int status = ebsp::runRenderCommand(
            {"--phase", "Iron bcc", "--size", "1000x1000", "--euler-list", list, "--out", out},
            sink, err);
        if (status != 0) {
            state.SkipWithError(("render failed (setup data missing?): " + err.str()).c_str());
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_BatchPng(benchmark::State& state) {
    batch(state, "png");
}
void BM_BatchSvg(benchmark::State& state) {
    batch(state, "svg");
}

// The same 100 maps drawn into images only: what encoding and writing add above.
void BM_BatchDrawOnly(benchmark::State& state) {
    TPhaseRecord phase;
    BuildPhase(3, phase);  // Iron bcc
    TCrySet crySet{};
    InitCrySet2(&crySet, "name", "ref", phase.A, phase.B, phase.C, phase.Alpha, phase.Beta,
                phase.Gamma, LaueIndexOfCode(phase.SpaceGroupCode), phase.SpaceGroupCode);
    if (GetInitIoStatus() != 0) {
        state.SkipWithError("setup data missing: run from the build tree");
        return;
    }
    ebsp::render::Options options;
    options.size = {1000, 1000};
    TCrystalEBSPpanel view;
    ebsp::configureRenderView(view, options, phase, crySet);
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) {
            view.SetOrientation({0.0628 * i, 0.01745 * (i % 90), 0.1222 * (7 * i % 360)});
            benchmark::DoNotOptimize(ebsp::renderPictureImage(view, {1000, 1000}));
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

}  // namespace

BENCHMARK(BM_BatchPng)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_BatchSvg)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_BatchDrawOnly)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
