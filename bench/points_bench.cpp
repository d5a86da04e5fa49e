// Points of every player for every week of an 18-week demo season scaled to
// 2,048 players and 32 franchises: computed from nothing, and again from the
// points memo, beside the time to read the season's files.
#include <benchmark/benchmark.h>

#include "BenchReport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "Demo.h"
#include "Mapfact.h"
#include "Player.h"
#include "Prefs.h"
#include "Season.h"
#include "Single.h"

namespace {

using namespace qff;

constexpr int kYear = 1994;  // an 18-week season
constexpr int kWeeks = 18;

class DemoSeason {
  public:
    DemoSeason() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qff-points-bench-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        std::ofstream(dir_ / "CurYear.bin") << kYear + 1 << '\n';
        DemoOptions options;
        options.year = kYear;
        options.weeksMerged = kWeeks;
        options.playersPerTeam = (2048 - 28 * 7) / 28;
        options.leagues = 2;
        options.divisionsPerLeague = 4;
        options.franchisesPerDivision = 4;
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_}, error);
        context_->preferences().load();
        DemoReport report;
        if (!createDemoSeason(*context_, options, report, error)) {
            std::fprintf(stderr, "demo season: %s\n", error.c_str());
            std::exit(1);
        }
    }
    ~DemoSeason() {
        context_.reset();
        std::filesystem::remove_all(dir_);
    }

    Singleton& context() { return *context_; }

    std::size_t readAllBytes() const {
        std::size_t total = 0;
        std::vector<char> buffer(1 << 20);
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
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
    std::filesystem::path dir_;
    std::unique_ptr<Singleton> context_;
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
