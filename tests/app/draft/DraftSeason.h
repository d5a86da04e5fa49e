#pragma once

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/demo/Demo.h"
#include "data02/league/Rosters.h"
#include "data02/league/Structure.h"
#include "data02/model/Team.h"
#include "data02/season/Single.h"

#include <string>
#include <vector>

#include "tests/app/support/AppFixture.h"

namespace qff::apptest {

// An empty season with the demo's players (eight per NFL team) and one
// league of franchises, named "Franchise 01" on, that has not drafted yet.
class DraftSeason {
  public:
    static constexpr int kYear = 2011;

    explicit DraftSeason(int franchises) : folder_(kYear) {
        DemoOptions options;
        options.year = kYear;
        options.playersPerTeam = 8;
        std::string error;
        ok_ = folder_.opened() && addDemoPlayers(season(), demoPlayers(kYear, options), error);
        league_ = createLeague(season(), "Draft League").id;
        for (int number = 1; number <= franchises; ++number) {
            std::string name =
                (number < 10 ? "Franchise 0" : "Franchise ") + std::to_string(number);
            int id = createFranchise(season(), {StructureKind::League, league_}, name).id;
            ok_ = ok_ && id > 0;
            franchises_.push_back(id);
        }
    }

    bool ok() const { return ok_ && league_ > 0; }
    Singleton& season() { return folder_.context(); }
    std::filesystem::path path() const { return folder_.path(); }
    int league() const { return league_; }
    const std::vector<int>& franchises() const { return franchises_; }

    // The franchise's roster ids of week 1.
    std::vector<int> weekOneRoster(int franchise) {
        TeamRosterStruct stored;
        findFranchise(season(), franchise)->getRoster(0, stored);
        std::vector<int> ids;
        for (int place = 0; place < stored.count(); ++place) {
            ids.push_back(stored.id(place));
        }
        return ids;
    }

  private:
    SeasonFolder folder_;
    bool ok_ = false;
    int league_ = 0;
    std::vector<int> franchises_;
};

}  // namespace qff::apptest
