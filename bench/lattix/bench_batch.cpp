// Misorientation of many pairs side by side: one AxisAngleMat call per pair, the array export on
// the calling thread, and on every hardware thread.  Pairs per second on random orientations.
// (The numpy figure for the same pairs comes from bench_batch_numpy.py.)
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "lattixBatch.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::int64_t kPairs = 1 << 16;  // 9 MB of matrices: beyond L2, inside L3

struct Data {
    std::vector<TMat3D> a, b;
    std::vector<TQuat> qa, qb;
    std::vector<double> angle;
    std::vector<TVec3D> axis;
};

const Data& data() {
    static const Data d = [] {
        Data out;
        std::mt19937_64 rng(2024);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        std::vector<TVec3D> e(2 * kPairs);
        for (auto& t : e)
            t = TVec3D{2 * kPi * u(rng), std::acos(2 * u(rng) - 1), 2 * kPi * u(rng)};
        out.a.resize(kPairs);
        out.b.resize(kPairs);
        out.qa.resize(kPairs);
        out.qb.resize(kPairs);
        BatchEuler2Matrix(e.data(), out.a.data(), kPairs);
        BatchEuler2Matrix(e.data() + kPairs, out.b.data(), kPairs);
        BatchEuler2Quat(e.data(), out.qa.data(), kPairs);
        BatchEuler2Quat(e.data() + kPairs, out.qb.data(), kPairs);
        out.angle.resize(kPairs);
        out.axis.resize(kPairs);
        return out;
    }();
    return d;
}

// Refuses to run without the setup data (the operators come from SYMGEN).
bool initSet(benchmark::State& state, TCrySet& cs, int laue) {
    const bool hex = laue >= 6 && laue <= 9;
    InitCrySet2(&cs, "bench", "ref", hex ? 3 : 4, hex ? 3 : 4, hex ? 5 : 4, 90, 90,
                hex ? 120 : 90, laue, 240 + laue);
    if (GetInitIoStatus() != 0) {
        state.SkipWithError("setup data (SYMGEN, APU) missing: set XDG_CONFIG_DIRS");
        return false;
    }
    return true;
}

void BM_PerCallAxisAngleMat(benchmark::State& state) {
    static TCrySet cs;
    if (!initSet(state, cs, static_cast<int>(state.range(0)))) return;
    const Data& d = data();
    std::int64_t i = 0;
    for (auto _ : state) {
        TVec3D axis;
        double angle;
        AxisAngleMat(&cs, &d.a[i], &d.b[i], &axis, &angle);
        benchmark::DoNotOptimize(angle);
        i = (i + 1) & (kPairs - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

// range(0): Laue group, range(1): threads (0 = all), range(2): 1 with axes.
void BM_BatchMisorientation(benchmark::State& state) {
    static TCrySet cs;
    if (!initSet(state, cs, static_cast<int>(state.range(0)))) return;
    Data& d = const_cast<Data&>(data());
    TVec3D* axis = state.range(2) != 0 ? d.axis.data() : nullptr;
    for (auto _ : state) {
        BatchMisorientation(&cs, d.a.data(), d.b.data(), kPairs, d.angle.data(), axis,
                            static_cast<int32_t>(state.range(1)));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPairs);
}

void BM_BatchMisorientationQuat(benchmark::State& state) {
    static TCrySet cs;
    if (!initSet(state, cs, static_cast<int>(state.range(0)))) return;
    Data& d = const_cast<Data&>(data());
    for (auto _ : state) {
        BatchMisorientationQuat(&cs, d.qa.data(), d.qb.data(), kPairs, d.angle.data(), nullptr,
                                static_cast<int32_t>(state.range(1)));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPairs);
}

// A 256 x 256 map: right and down neighbour of every pixel (two pairs each).
void BM_BatchGridMisorientation(benchmark::State& state) {
    static TCrySet cs;
    if (!initSet(state, cs, static_cast<int>(state.range(0)))) return;
    const Data& d = data();
    std::vector<double> right(kPairs), down(kPairs);
    for (auto _ : state) {
        BatchGridMisorientation(&cs, d.a.data(), 256, 256, right.data(), down.data(),
                                static_cast<int32_t>(state.range(1)));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 2 * kPairs);
}

BENCHMARK(BM_PerCallAxisAngleMat)->ArgName("laue")->Arg(11)->Arg(9)->Arg(5);
BENCHMARK(BM_BatchMisorientation)
    ->ArgNames({"laue", "threads", "axes"})
    ->Args({11, 1, 0})
    ->Args({11, 0, 0})
    ->Args({11, 1, 1})
    ->Args({11, 0, 1})
    ->Args({9, 1, 0})
    ->Args({9, 0, 0})
    ->Args({9, 1, 1})
    ->Args({9, 0, 1})
    ->Args({5, 1, 0})
    ->Args({5, 0, 0})
    ->UseRealTime();
BENCHMARK(BM_BatchMisorientationQuat)
    ->ArgNames({"laue", "threads"})
    ->Args({11, 1})
    ->Args({11, 0})
    ->UseRealTime();
BENCHMARK(BM_BatchGridMisorientation)
    ->ArgNames({"laue", "threads"})
    ->Args({11, 1})
    ->Args({11, 0})
    ->UseRealTime();

}  // namespace
