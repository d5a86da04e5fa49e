// Points of every player for every week of an 18-week demo season scaled to
// 2,048 players and 32 franchises: computed from nothing, and again from the
// points memo, beside the time to read the season's files.
#include <benchmark/benchmark.h>

#include "bench/support/BenchReport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bench/support/ScaledDemo.h"
#include "data02/demo/Demo.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

namespace {

using namespace qff;

constexpr int kWeeks = bench::kScaledWeeks;

class DemoSeason {
  public:
    DemoSeason() : season_("points-bench") {}

    Singleton& context() { return season_.context(); }

    std::size_t readAllBytes() const {
        std::size_t total = 0;
        std::vector<char> buffer(1 << 20);
        for (const auto& entry : std::filesystem::directory_iterator(season_.dir())) {
            if (!entry.is_regular_file()) {
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
                   in.gcount() > 0) {
                total += static_cast<std::size_t>(in.gcount());
            }
        }
        return total;
    }

  private:
    bench::ScaledDemoSeason season_;
};

DemoSeason& season() {
    static DemoSeason instance;
    return instance;
}

long long everyPlayerEveryWeek(Singleton& context) {
    long long total = 0;
    for (const Player* player : context.mapFactory().players().list()) {
        for (int week = 0; week < kWeeks; ++week) {
            for (int code = kTotalPoints; code <= kAverageWeek; ++code) {
                total += player->getPoints(code, week);
            }
        }
    }
    return total;
}

void BM_ReadSeasonBytes(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(season().readAllBytes());
    }
}
BENCHMARK(BM_ReadSeasonBytes)->Unit(benchmark::kMillisecond);

void BM_PointsCold(benchmark::State& state) {
    Singleton& context = season().context();
    for (auto _ : state) {
        context.cache().clear();
        benchmark::DoNotOptimize(everyPlayerEveryWeek(context));
    }
}
BENCHMARK(BM_PointsCold)->Unit(benchmark::kMillisecond);

void BM_PointsWarm(benchmark::State& state) {
    Singleton& context = season().context();
    everyPlayerEveryWeek(context);
    for (auto _ : state) {
        benchmark::DoNotOptimize(everyPlayerEveryWeek(context));
    }
}
BENCHMARK(BM_PointsWarm)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return qff::bench::runWithRatio(
        argc, argv, "BM_PointsCold", "BM_PointsWarm",
        "cold / warm ratio (target: cold under 50 ms, warm 10x faster)");
}
