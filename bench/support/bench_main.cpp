// main of the benchmarks without a window: refuses to run without the setup data.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench_setup.h"

int main(int argc, char** argv) {
    bench::useBuildTreeSetupData();
    const std::string program = std::filesystem::path(argv[0]).filename().string();
    if (!bench::setupDataReadable(program.c_str())) return 2;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
