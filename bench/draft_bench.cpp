#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "bench/support/ScaledDemo.h"
#include "data02/demo/Demo.h"
#include "data02/league/Draftday.h"
#include "data02/league/Draftorder.h"
#include "data02/league/Draftpool.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Rpt_board.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

constexpr int kYear = 2023;
constexpr int kLeague = 0;
constexpr int kFranchises = 32;
constexpr int kRounds = 32;

// A league of 32 franchises whose draft runs 32 rounds, and a player for
// every pick.
class DraftSeason {
  public:
    DraftSeason() : dir_(std::filesystem::temp_directory_path() / "qff-draft-bench") {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_}, error);
        if (!context_ || context_->preferences().load() != kOk ||
            !createSeasonFiles(*context_, kYear, error) || !openSeason(*context_, kYear).opened) {
            std::abort();
        }
        League* league = context_->leagueQuery().findOne(kLeagueId, kLeague);
        league->setValue(kLeagueDraftRounds, kRounds);
        league->save();
        for (int id = 1; id <= kFranchises; ++id) {
            addFranchise(id);
        }
        for (int id = 1; id <= kFranchises * kRounds; ++id) {
            addPlayer(id);
        }
    }
    ~DraftSeason() {
        context_.reset();
        std::filesystem::remove_all(dir_);
    }

    Singleton& context() { return *context_; }

  private:
    void addFranchise(int id) {
        Owned<Team> team =
            context_->memory().makeRecord<Team>(Kind::Team, context_->teamFile(), *context_);
        team->setValue(kFranchiseId, id);
        team->setValue(kFranchiseLeague, kLeague);
        team->setText(kFranchiseName, "Franchise " + std::to_string(id));
        context_->mapFactory().add(context_->mapFactory().franchises(), team);
    }

    void addPlayer(int id) {
        Owned<Player> player =
            context_->memory().makeRecord<Player>(Kind::Player, context_->playerFile(), *context_);
        player->clear();
        player->setValue(kPlayerId, id, 0);
        player->setValue(kPlayerPosition, kQB, 0);
        player->setText(kPlayerName, "Player " + std::to_string(id));
        context_->mapFactory().add(context_->mapFactory().players(), player);
    }

    std::filesystem::path dir_;
    std::unique_ptr<Singleton> context_;
};

// The whole draft night: the order, every pick made in turn after checking
// the player is still available, and the rosters written when it closes.
bool runDraft(Singleton& context, std::mt19937& engine) {
    DraftOrderResult order =
        generateDraftOrder(context, kLeague, SerpentineKind::True, [&engine] { return engine(); });
    int player = 1;
    for (int round = 1; round <= kRounds && order.status == kOk; ++round) {
        DraftList picks = context.draftQuery().roundPicks(kLeague, round);
        DraftQuery::sortByField(picks, kDraftPick, false);
        for (const TrackDraft* pick : picks) {
            int franchise = pick->getValue(kDraftFranchise);
            if (!isOffered(context, kLeague, franchise, player) ||
                assignPlayer(context, kLeague, franchise, round, player++) != kOk) {
                return false;
            }
        }
    }
    return order.status == kOk && closeDraft(context, planDraftClose(context, kLeague)) == kOk;
}

void BM_DraftNight(benchmark::State& state) {
    DraftSeason season;
    std::mt19937 engine(2023);
    for (auto _ : state) {
        if (!runDraft(season.context(), engine)) {
            state.SkipWithError("the draft failed");
            break;
        }
    }
}
BENCHMARK(BM_DraftNight)->Unit(benchmark::kMillisecond);

// The assistant's player page refills its list after every pick and filter
// change; with about 2,048 players it has to stay well under 30 ms.
class DraftedLeague {
  public:
    DraftedLeague() : season_("draft-pool") {
        for (const League* league : season_.context().leagueQuery().allLeagues()) {
            int id = league->getValue(kLeagueId);
            if (league_ < 0 && season_.context().draftQuery().hasPicks(id)) {
                league_ = id;
                franchise_ = season_.context().teamQuery().leagueFranchises(id).front()->id();
            }
        }
    }

    Singleton& context() { return season_.context(); }
    int league() const { return league_; }
    int franchise() const { return franchise_; }

  private:
    bench::ScaledDemoSeason season_;
    int league_ = -1;
    int franchise_ = 0;
};

DraftedLeague& draftedLeague() {
    static DraftedLeague instance;
    return instance;
}

void BM_AvailablePlayersRefill(benchmark::State& state) {
    DraftedLeague& drafted = draftedLeague();
    std::size_t listed = 0;
    for (auto _ : state) {
        PlyrList players = availablePlayers(drafted.context(), drafted.league(),
                                            drafted.franchise(), allDraftFilters());
        listed = players.size();
        benchmark::DoNotOptimize(players.data());
    }
    state.counters["players"] =
        static_cast<double>(drafted.context().mapFactory().players().size());
    state.counters["listed"] = static_cast<double>(listed);
}
BENCHMARK(BM_AvailablePlayersRefill)->Unit(benchmark::kMillisecond);

// The same refill right after a pick, as the assistant does it: the pick is
// recorded (and taken back afterwards) outside the timing.
void BM_AvailablePlayersAfterPick(benchmark::State& state) {
    DraftedLeague& drafted = draftedLeague();
    Singleton& context = drafted.context();
    const League* league = context.leagueQuery().findOne(kLeagueId, drafted.league());
    int round = draftRounds(*league) + 1;
    DraftSettings settings;
    settings.rounds = round;
    if (!saveDraftSettings(context, drafted.league(), settings).ok()) {
        state.SkipWithError("no room for another round");
        return;
    }
    PlyrList players =
        availablePlayers(context, drafted.league(), drafted.franchise(), allDraftFilters());
    for (auto _ : state) {
        state.PauseTiming();
        bool picked = !players.empty() && recordPick(context, drafted.league(), drafted.franchise(),
                                                     round, players.front()->id())
                                              .ok();
        state.ResumeTiming();
        players =
            availablePlayers(context, drafted.league(), drafted.franchise(), allDraftFilters());
        state.PauseTiming();
        bool undone = undoLastPick(context, drafted.league()).ok();
        state.ResumeTiming();
        if (!picked || !undone) {
            state.SkipWithError("the pick could not be made and taken back");
            break;
        }
    }
    state.counters["players"] = static_cast<double>(context.mapFactory().players().size());
    state.counters["listed"] = static_cast<double>(players.size());
}
BENCHMARK(BM_AvailablePlayersAfterPick)->Unit(benchmark::kMillisecond);

// The demonstration season as it comes: one league of 12 franchises that
// has drafted 16 rounds.
class DemoDraftSeason {
  public:
    DemoDraftSeason() : dir_(std::filesystem::temp_directory_path() / "qff-board-bench") {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::string error;
        DemoReport report;
        context_ = Singleton::create(SeasonEnv{dir_}, error);
        if (!context_ || context_->preferences().load() != kOk ||
            !createDemoSeason(*context_, DemoOptions{}, report, error)) {
            std::abort();
        }
        for (const League* league : context_->leagueQuery().allLeagues()) {
            if (context_->draftQuery().hasPicks(league->getValue(kLeagueId))) {
                league_ = league->getValue(kLeagueId);
            }
        }
    }
    ~DemoDraftSeason() {
        context_.reset();
        std::filesystem::remove_all(dir_);
    }

    Singleton& context() { return *context_; }
    int league() const { return league_; }

  private:
    std::filesystem::path dir_;
    std::unique_ptr<Singleton> context_;
    int league_ = -1;
};

// The draft board is made afresh after every pick of the night.
void BM_DraftBoardPage(benchmark::State& state) {
    DemoDraftSeason season;
    std::size_t bytes = 0;
    for (auto _ : state) {
        DraftBoardPage board = draftBoardPage(season.context(), season.league());
        bytes = board.html.size();
        benchmark::DoNotOptimize(board.html.data());
    }
    state.counters["picks"] =
        static_cast<double>(season.context().draftQuery().leaguePicks(season.league()).size());
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DraftBoardPage)->Unit(benchmark::kMillisecond);

// A typed letter against the whole list, the last name matching none.
void BM_QuickSearchMiss(benchmark::State& state) {
    DraftedLeague& drafted = draftedLeague();
    PlyrList players = availablePlayers(drafted.context(), drafted.league(), drafted.franchise(),
                                        allDraftFilters());
    for (auto _ : state) {
        benchmark::DoNotOptimize(quickSearchRow(players, "zzq"));
    }
}
BENCHMARK(BM_QuickSearchMiss)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qff

BENCHMARK_MAIN();
