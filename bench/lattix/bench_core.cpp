// Speed of the hot foundation exports: the spin cycle converts and multiplies
// orientation matrices many times a second, and data files parse index texts.
#include <benchmark/benchmark.h>

#include "lattixLib.h"

namespace {

void BM_Euler2Matrix(benchmark::State& state) {
    TVec3D e{0.3, 0.5, 1.2};
    TMat3D g;
    for (auto _ : state) {
        Euler2Matrix(&e, &g);
        benchmark::DoNotOptimize(g);
        e.x += 1e-6;
    }
}
BENCHMARK(BM_Euler2Matrix);

void BM_Matrix2Euler(benchmark::State& state) {
    const TVec3D e{0.3, 0.5, 1.2};
    TMat3D g;
    Euler2Matrix(&e, &g);
    TVec3D out;
    for (auto _ : state) {
        Matrix2Euler(&g, &out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Matrix2Euler);

void BM_SpinStep(benchmark::State& state) {
    const TVec3D turn{0.013, 0.0, 0.021};
    TMat3D g, step, next;
    const TVec3D start{0.1, 0.2, 0.3};
    Euler2Matrix(&start, &g);
    Euler2Matrix(&turn, &step);
    TVec3D e;
    for (auto _ : state) {
        MatMul3x3(&step, &g, &next);
        g = next;
        Matrix2Euler(&g, &e);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_SpinStep);

void BM_ValidateIndices(benchmark::State& state) {
    const char* texts[] = {"1-10", "  111  ", "10 -2 3", "2-1-10", "a11"};
    TIndices out;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ValidateIndices(1, texts[i++ % 5], &out));
    }
}
BENCHMARK(BM_ValidateIndices);

void BM_InverseMatrix(benchmark::State& state) {
    const TVec3D e{0.3, 0.5, 1.2};
    TMat3D g, inv;
    Euler2Matrix(&e, &g);
    for (auto _ : state) {
        benchmark::DoNotOptimize(InverseMatrix(&g, &inv));
        benchmark::DoNotOptimize(inv);
    }
}
BENCHMARK(BM_InverseMatrix);

}  // namespace
