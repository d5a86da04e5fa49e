// From process start to the main window shown with a season of about 2,048
// players open: quillmar is started offscreen with --quit-after-show, which
// exits as soon as that window is up (status 1 when the season did not open).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "bench/support/ScaledDemo.h"
#include "qff/platform/process.h"

namespace {

using namespace qff;

bench::ScaledDemoSeason& season() {
    static bench::ScaledDemoSeason instance("startup-bench");
    return instance;
}

void BM_StartToMainWindowWithSeasonOpen(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string workdir = season().dir().string();
    platform::ProcessRunner runner;
    for (auto _ : state) {
        platform::ProcessResult result =
            runner.run(QFF_QUILLMAR_PATH, {"--workdir", workdir, "--quit-after-show"});
        if (result.exitCode != 0) {
            state.SkipWithError(
                ("quillmar exited with " + std::to_string(result.exitCode) + " " + result.message)
                    .c_str());
            break;
        }
    }
}
BENCHMARK(BM_StartToMainWindowWithSeasonOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
