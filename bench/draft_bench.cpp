#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "data02/league/Draftorder.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

constexpr int kYear = 2023;
constexpr int kLeague = 0;
constexpr int kFranchises = 32;
constexpr int kRounds = 32;

// A league of 32 franchises whose draft runs 32 rounds.
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

}  // namespace
}  // namespace qff

BENCHMARK_MAIN();
