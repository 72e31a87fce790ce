// main of every benchmark: refuses to run without the setup data.  Built once more with
// BENCH_WITH_QT for the benchmarks that draw (offscreen, with a QApplication).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench_setup.h"

#ifdef BENCH_WITH_QT
#include <QApplication>
#endif

int main(int argc, char** argv) {
    bench::useBuildTreeSetupData();
    const std::string program = std::filesystem::path(argv[0]).filename().string();
    if (!bench::setupDataReadable(program.c_str())) return 2;
#ifdef BENCH_WITH_QT
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
