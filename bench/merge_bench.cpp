// Merging one week's statistics file of 2,048 records into a season of 2,048
// players, beside the cost of simply reading the same file's bytes. The
// target for the whole merge, cache reload included, is under 30 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench/support/FullSeason.h"
#include "data02/intake/Statsmerge.h"

namespace {

using namespace qff;
using bench::FullSeason;

FullSeason& season() {
    static FullSeason shared;
    return shared;
}

void BM_ReadWeekFileBytes(benchmark::State& state) {
    const auto& path = season().weekFile();
    std::vector<char> bytes(std::filesystem::file_size(path));
    for (auto _ : state) {
        std::FILE* in = std::fopen(path.c_str(), "rb");
        std::size_t got = std::fread(bytes.data(), 1, bytes.size(), in);
        std::fclose(in);
        benchmark::DoNotOptimize(got);
    }
}
BENCHMARK(BM_ReadWeekFileBytes)->Unit(benchmark::kMillisecond);

void BM_MergeWeek(benchmark::State& state) {
    FullSeason& full = season();
    int records = 0;
    for (auto _ : state) {
        MergeReport report = StatsMerge(full.context(), full.weekFile()).run();
        records = report.records;
        if (!report.succeeded()) {
            state.SkipWithError("the merge failed");
        }
    }
    state.counters["records"] = records;
}
BENCHMARK(BM_MergeWeek)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
