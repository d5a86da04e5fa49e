// Which of a season's 2,048 players a franchise may still draft, in a season
// of 2 leagues of 16 franchises with full 32-player rosters. Target: under
// 2 ms per filter of every player.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "data02/demo/Demo.h"
#include "data02/league/Rosters.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/storage/Db_file.h"

namespace {

using namespace qff;

constexpr int kYear = 2003;

class RosteredSeason {
  public:
    RosteredSeason() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qff-rosters-bench-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        std::ofstream(dir_ / "CurYear.bin") << kYear << '\n';
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_}, error);
        context_->preferences().load();
        createSeasonFiles(*context_, kYear, error);
        openSeason(*context_, kYear);
        DemoOptions options;
        options.year = kYear;
        options.playersPerTeam = (DBFile::kSlots - 32 * 7) / 32;
        options.leagues = 2;
        options.divisionsPerLeague = 4;
        options.franchisesPerDivision = 4;
        addDemoPlayers(*context_, demoPlayers(kYear, options), error);
        DemoRandom random(options.seed);
        addDemoLeagues(*context_, options, random, error);
        fillRosters();
    }
    ~RosteredSeason() {
        context_.reset();
        std::filesystem::remove_all(dir_);
    }

    Singleton& context() { return *context_; }

  private:
    // Every franchise of a league gets 32 players no other franchise of the
    // league holds, so the filter has the most rosters to look through.
    void fillRosters() {
        const PlyrList& players = context_->mapFactory().players().list();
        std::size_t next = 0;
        for (Team* team : context_->teamQuery().allFranchises()) {
            TeamRosterStruct roster;
            for (int place = 0; place < kRosterPlaces; ++place) {
                addToRoster(roster, players[next++ % players.size()]->id());
            }
            team->saveRoster(roster, 0);
        }
    }

    std::filesystem::path dir_;
    std::unique_ptr<Singleton> context_;
};

RosteredSeason& season() {
    static RosteredSeason instance;
    return instance;
}

void BM_FilterDraftableOfAllPlayers(benchmark::State& state) {
    Singleton& context = season().context();
    const PlyrList& all = context.mapFactory().players().list();
    int franchise = context.teamQuery().allFranchises().front()->id();
    for (auto _ : state) {
        PlyrList candidates = all;
        filterDraftable(context, franchise, 0, candidates);
        benchmark::DoNotOptimize(candidates.size());
    }
    state.counters["players"] = static_cast<double>(all.size());
}
BENCHMARK(BM_FilterDraftableOfAllPlayers)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
