// Per-orientation speed of the analysis exports: Euler reduction, symmetry sets, small indices,
// misorientation, texture components, Schmid and f factors.  Calls per second on random input.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "lattixLib.h"
#include "lattixSetup.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kSamples = 4096;  // a power of two, cycled through

void initSet(TCrySet& cs, int laue) {
    const bool hex = laue >= 6 && laue <= 9;
    InitCrySet2(&cs, "bench", "ref", hex ? 3 : 4, hex ? 3 : 4, hex ? 5 : 4, 90, 90, hex ? 120 : 90,
                laue, 240 + laue);
}

const std::vector<TVec3D>& randomEulers() {
    static const std::vector<TVec3D> eulers = [] {
        std::mt19937_64 rng(2024);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        std::vector<TVec3D> v(kSamples);
        for (auto& e : v)
            e = TVec3D{2 * kPi * u(rng), std::acos(2 * u(rng) - 1), 2 * kPi * u(rng)};
        return v;
    }();
    return eulers;
}

const std::vector<TMat3D>& randomMatrices() {
    static const std::vector<TMat3D> mats = [] {
        std::vector<TMat3D> v(kSamples);
        for (std::size_t i = 0; i < kSamples; ++i)
            Euler2Matrix(&randomEulers()[i], &v[i]);
        return v;
    }();
    return mats;
}

const std::vector<TVec3D>& randomDirections() {
    static const std::vector<TVec3D> dirs = [] {
        std::mt19937_64 rng(7);
        std::normal_distribution<double> n(0.0, 1.0);
        std::vector<TVec3D> v(kSamples);
        for (auto& d : v) {
            d = TVec3D{n(rng), n(rng), n(rng)};
            UnityVector(&d);
        }
        return v;
    }();
    return dirs;
}

void BM_NormalizeEuler(benchmark::State& state) {
    auto cs = std::make_unique<TCrySet>();
    initSet(*cs, static_cast<int>(state.range(0)));
    const auto& eulers = randomEulers();
    std::size_t i = 0;
    for (auto _ : state) {
        TVec3D e = eulers[i++ & (kSamples - 1)];
        NormalizeEuler(cs.get(), &e);
        benchmark::DoNotOptimize(e);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NormalizeEuler)->Arg(9)->Arg(11);

void BM_SymSetDir(benchmark::State& state) {
    auto cs = std::make_unique<TCrySet>();
    initSet(*cs, 11);
    const auto& dirs = randomDirections();
    TVec3D out[96];
    std::size_t i = 0;
    for (auto _ : state) {
        uint8_t anti = 0;
        benchmark::DoNotOptimize(SymSetDir(cs.get(), 1, &dirs[i++ & (kSamples - 1)], &anti, out));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SymSetDir);

void BM_Axis2Indices(benchmark::State& state) {
    auto cs = std::make_unique<TCrySet>();
    initSet(*cs, static_cast<int>(state.range(0)));
    const auto& dirs = randomDirections();
    char text[32];
    double angle = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        Axis2Indices(cs.get(), &dirs[i++ & (kSamples - 1)], 1, "666", text, &angle);
        benchmark::DoNotOptimize(angle);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Axis2Indices)->Arg(11)->Arg(9);

void BM_AxisAngleMat(benchmark::State& state) {
    auto cs = std::make_unique<TCrySet>();
    initSet(*cs, static_cast<int>(state.range(0)));
    const auto& mats = randomMatrices();
    std::size_t i = 0;
    for (auto _ : state) {
        TVec3D axis;
        double angle;
        benchmark::DoNotOptimize(AxisAngleMat(cs.get(), &mats[i & (kSamples - 1)],
                                              &mats[(i + 1) & (kSamples - 1)], &axis, &angle));
        benchmark::DoNotOptimize(angle);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AxisAngleMat)->Arg(11)->Arg(9);

void BM_AxisAngleMatAll(benchmark::State& state) {
    auto cs = std::make_unique<TCrySet>();
    initSet(*cs, 11);
    const auto& mats = randomMatrices();
    TVec3D axes[96];
    double angles[96];
    std::size_t i = 0;
    for (auto _ : state) {
        int32_t count = 0;
        AxisAngleMatAll(cs.get(), &mats[i & (kSamples - 1)], &mats[(i + 1) & (kSamples - 1)],
                        &count, axes, angles);
        benchmark::DoNotOptimize(angles[0]);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AxisAngleMatAll);

void BM_TexCompComplete(benchmark::State& state) {
    auto tc = std::make_unique<TTexCompSet>();
    std::memset(tc.get(), 0, sizeof(TTexCompSet));
    initSet(tc->CrySet, 11);
    tc->InSpecimenFrame = 1;
    tc->CompEuler = TVec3D{0, kPi / 4, 0};
    tc->Tolerance = 0.26;
    TexCompEulerInit(tc.get());
    const auto& eulers = randomEulers();
    std::size_t i = 0;
    for (auto _ : state) {
        double dev;
        benchmark::DoNotOptimize(TexCompComplete(tc.get(), &eulers[i++ & (kSamples - 1)], &dev));
        benchmark::DoNotOptimize(dev);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TexCompComplete);

void BM_SchmidFactor(benchmark::State& state) {
    auto ss = std::make_unique<TSchmidSet>();
    std::memset(ss.get(), 0, sizeof(TSchmidSet));
    initSet(ss->CrySet, 11);
    std::strcpy(ss->SlipPlaneText, "111");
    std::strcpy(ss->SlipDirText, "1-10");
    ss->LoadAngle2 = kPi / 2;
    SchmidFactorInit(ss.get());
    const auto& eulers = randomEulers();
    TSchmidTrace trace{};
    trace.WantTrace = 1;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SchmidFactor(ss.get(), &eulers[i++ & (kSamples - 1)], &trace));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SchmidFactor);

void BM_fFactor(benchmark::State& state) {
    auto ff = std::make_unique<TFFactorSet>();
    std::memset(ff.get(), 0, sizeof(TFFactorSet));
    initSet(ff->CrySet, 11);
    std::strcpy(ff->FDirText, "111");
    fFactorInit(ff.get());
    const auto& eulers = randomEulers();
    std::size_t i = 0;
    for (auto _ : state) {
        TVec3D f;
        fFactor(ff.get(), &eulers[i++ & (kSamples - 1)], &f);
        benchmark::DoNotOptimize(f);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_fFactor);

}  // namespace

// Without the setup data every crystal set holds the identity alone and the
// figures would be those of another, much cheaper computation: refuse to run.
