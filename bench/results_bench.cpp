#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/scoring/Results.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {
namespace {

constexpr int kYear = 2023;
constexpr int kFranchises = 32;
constexpr int kRosterSize = 16;
constexpr int kActive = 9;

// A round robin by the circle method: every franchise plays once a week.
class RoundRobin : public OpponentSource {
  public:
    explicit RoundRobin(int weeks) {
        for (int week = 0; week < weeks; ++week) {
            std::vector<Game> games;
            for (int i = 0; i < kFranchises / 2; ++i) {
                games.push_back(Game{seat(week, i), seat(week, kFranchises - 1 - i)});
            }
            weeks_.push_back(games);
        }
    }
    std::vector<int> opponents(int, int week, int franchise) const override {
        std::vector<int> found;
        for (const Game& game : games(0, week)) {
            if (game.home == franchise || game.away == franchise) {
                found.push_back(game.home == franchise ? game.away : game.home);
            }
        }
        return found;
    }
    std::vector<Game> games(int, int week) const override {
        return week < static_cast<int>(weeks_.size()) ? weeks_[week] : std::vector<Game>{};
    }
    bool hasSchedule(int) const override { return true; }

  private:
    static int seat(int week, int i) { return i == 0 ? 1 : 2 + (i - 1 + week) % (kFranchises - 1); }
    std::vector<std::vector<Game>> weeks_;
};

// A season of 32 franchises with 16 players each, every week played.
class Season {
  public:
    Season() : dir_(std::filesystem::temp_directory_path() / "qff-results-bench") {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_}, error);
        if (!context_ || context_->preferences().load() != kOk ||
            !createSeasonFiles(*context_, kYear, error) || !openSeason(*context_, kYear).opened) {
            std::abort();
        }
        int weeks = context_->pro().weeks();
        markWeeksPlayed(weeks);
        for (int id = 1; id <= kFranchises; ++id) {
            addFranchise(id, weeks);
        }
        schedule_ = std::make_unique<RoundRobin>(weeks);
    }
    ~Season() {
        context_.reset();
        std::filesystem::remove_all(dir_);
    }

    Singleton& context() { return *context_; }
    const OpponentSource& schedule() const { return *schedule_; }

  private:
    void markWeeksPlayed(int weeks) {
        for (int team : context_->pro().validTeams()) {
            Player* unit =
                context_->mapFactory().players().findFirst(kPlayerId, Pro::unitId(team, kQB));
            for (int week = 0; week < weeks && unit != nullptr; ++week) {
                unit->setValue(kPassYards, 200, week);
            }
        }
        for (int week = 0; week < weeks; ++week) {
            context_->seasonState().setWeekHasStats(week, 1);
        }
    }

    void addFranchise(int id, int weeks) {
        TeamRosterStruct roster;
        std::vector<int> teams = context_->pro().validTeams();
        for (int place = 0; place < kRosterSize; ++place) {
            int playerId = id * 100 + place;
            Owned<Player> player = context_->memory().makeRecord<Player>(
                Kind::Player, context_->playerFile(), *context_);
            player->clear();
            player->setValue(kPlayerId, playerId, 0);
            player->setValue(kPlayerTeam, teams[playerId % teams.size()], 0);
            player->setValue(kPlayerPosition, place % 7, 0);
            for (int week = 0; week < weeks; ++week) {
                player->setValue(kPlayerBonus, (playerId * 7 + week * 13) % 40, week);
            }
            context_->mapFactory().add(context_->mapFactory().players(), player);
            addToRoster(roster, playerId);
            roster.setFlag(place, place < kActive ? 1 : 0);
        }
        Owned<Team> team =
            context_->memory().makeRecord<Team>(Kind::Team, context_->teamFile(), *context_);
        team->setValue(kFranchiseId, id);
        team->setValue(kFranchiseLeague, 0);
        team->setText(kFranchiseName, "Franchise " + std::to_string(id));
        for (int week = 0; week < kWeekSlots; ++week) {
            team->setRoster(week, roster);
        }
        context_->mapFactory().add(context_->mapFactory().franchises(), team);
    }

    std::filesystem::path dir_;
    std::unique_ptr<Singleton> context_;
    std::unique_ptr<RoundRobin> schedule_;
};

Season& season() {
    static Season instance;
    return instance;
}

// Nothing remembered: every player and franchise point is computed.
void BM_StandingsCold(benchmark::State& state) {
    Season& s = season();
    for (auto _ : state) {
        s.context().cache().clear();
        benchmark::DoNotOptimize(standings(s.context(), s.schedule(), 0, kAllWeeks));
    }
}
BENCHMARK(BM_StandingsCold)->Unit(benchmark::kMillisecond);

// Every point remembered, as after the first report of a session.
void BM_StandingsWarm(benchmark::State& state) {
    Season& s = season();
    standings(s.context(), s.schedule(), 0, kAllWeeks);
    for (auto _ : state) {
        benchmark::DoNotOptimize(standings(s.context(), s.schedule(), 0, kAllWeeks));
    }
}
BENCHMARK(BM_StandingsWarm)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qff

BENCHMARK_MAIN();
