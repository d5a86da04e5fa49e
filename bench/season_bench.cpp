// Opening a synthetic season of 2,048 player records, 32 franchises, 8
// divisions and 2 leagues, and querying its players, each beside the cost of
// reading the same files' bytes.
#include <benchmark/benchmark.h>

#include "bench/support/BenchReport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "data02/demo/Demo.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/storage/Db_file.h"

namespace {

using namespace qff;

constexpr int kYear = 2003;

class SyntheticSeason {
  public:
    SyntheticSeason() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qff-season-bench-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        std::ofstream(dir_ / "CurYear.bin") << kYear << '\n';
        auto context = open();
        std::string error;
        createSeasonFiles(*context, kYear, error);
        openSeason(*context, kYear);
        DemoOptions options;
        options.year = kYear;
        options.playersPerTeam = (DBFile::kSlots - 32 * 7) / 32;
        options.leagues = 2;
        options.divisionsPerLeague = 4;
        options.franchisesPerDivision = 4;
        addDemoPlayers(*context, demoPlayers(kYear, options), error);
        DemoRandom random(options.seed);
        addDemoLeagues(*context, options, random, error);
        giveStatistics(*context, random);
    }
    ~SyntheticSeason() { std::filesystem::remove_all(dir_); }

    std::unique_ptr<Singleton> open() const {
        std::string error;
        return Singleton::create(SeasonEnv{dir_}, error);
    }

    std::size_t readAllBytes() const {
        std::size_t total = 0;
        std::vector<char> buffer(1 << 20);
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
            std::ifstream in(entry.path(), std::ios::binary);
            while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
                   in.gcount() > 0) {
                total += static_cast<std::size_t>(in.gcount());
            }
        }
        return total;
    }

  private:
    static void giveStatistics(Singleton& context, DemoRandom& random) {
        for (Player* player : context.mapFactory().players().list()) {
            for (int week = 0; week < 17; ++week) {
                player->setValue(kPassYards, random.between(-20, 350), week);
                player->setValue(kRushYards, random.between(-10, 150), week);
            }
            player->save();
        }
    }

    std::filesystem::path dir_;
};

SyntheticSeason& season() {
    static SyntheticSeason instance;
    return instance;
}

void BM_ReadSeasonBytes(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(season().readAllBytes());
    }
}
BENCHMARK(BM_ReadSeasonBytes)->Unit(benchmark::kMillisecond);

// Creating the context and tearing it down are start-up and exit, not the
// opening, so only the opening itself is timed.
void BM_OpenSeason(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto context = season().open();
        context->preferences().load();
        state.ResumeTiming();
        SeasonOpenReport report = openSeason(*context, kYear);
        state.PauseTiming();
        if (!report.opened || report.results.playerCount != DBFile::kSlots) {
            state.SkipWithError("the synthetic season did not open whole");
        }
        context.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenSeason)->Unit(benchmark::kMillisecond);

void BM_PlayerQuerySortedByStatistic(benchmark::State& state) {
    auto context = season().open();
    context->preferences().load();
    openSeason(*context, kYear);
    PlayerQueryNode node;
    node.setSortKey(0, kPassYards, true);
    for (auto _ : state) {
        PlayerQuery& query = context->playerQuery();
        query.clear();
        query.addNode(node);
        Owned<PlyrList> players = query.run();
        benchmark::DoNotOptimize(players->size());
    }
}
BENCHMARK(BM_PlayerQuerySortedByStatistic)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return qff::bench::runWithRatio(argc, argv, "BM_OpenSeason", "BM_ReadSeasonBytes",
                                    "open / raw read ratio (target <= 5, open under 50 ms)");
}
