#pragma once

#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data02/league/Draftorder.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Opening.h"
#include "data02/season/Single.h"
#include "tests/support/SeasonFixture.h"

namespace qff::test {

constexpr int kYear = 2003;
constexpr int kLeague = 0;
constexpr int kEmptyLeague = 5;

inline DraftRandom seeded(std::uint32_t seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return static_cast<std::uint32_t>((*engine)()); };
}

struct PickValues {
    int franchise;
    int player;
    int round;
    int pick;
    bool operator==(const PickValues&) const = default;
};

// A season of 2003 whose Default League (0) drafts; franchises, players and
// picks are added by each test.
class DraftTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
    }

    void reopen() { ASSERT_TRUE(openSeason(context(), kYear).opened); }

    DraftQuery& drafts() { return context().draftQuery(); }

    void setRounds(int rounds) {
        League* league = context().leagueQuery().findOne(kLeagueId, kLeague);
        league->setValue(kLeagueDraftRounds, rounds);
        ASSERT_EQ(league->save(), kOk);
    }

    void allowSeveralPicks() {
        League* league = context().leagueQuery().findOne(kLeagueId, kLeague);
        league->setValue(kLeagueSeveralPicks, 1);
        ASSERT_EQ(league->save(), kOk);
    }

    // Quarterbacks of the first NFL team, named after their ids.
    void addPlayers(std::initializer_list<int> ids) {
        for (int id : ids) {
            addPlayer(context(), id, 0, kQB, "Player " + std::to_string(id));
        }
    }

    void addEmptyLeague() {
        Owned<League> league =
            context().memory().makeRecord<League>(Kind::League, context().leagueFile(), context());
        league->setValue(kLeagueId, kEmptyLeague);
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().leagues(), league), kOk);
    }

    void addFranchises(int count, int league = kLeague) {
        for (int id = 1; id <= count; ++id) {
            Owned<Team> team =
                context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
            team->setValue(kFranchiseId, id);
            team->setValue(kFranchiseLeague, league);
            team->setText(kFranchiseName, "Franchise " + std::to_string(id));
            ASSERT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), kOk);
        }
    }

    // Stored as given, without renumbering its round.
    TrackDraft* storePick(int franchise, int player, int round, int pick) {
        Owned<TrackDraft> record = drafts().create();
        record->setValue(kDraftLeague, kLeague);
        record->setValue(kDraftFranchise, franchise);
        record->setValue(kDraftPlayer, player);
        record->setValue(kDraftRound, round);
        record->setValue(kDraftPick, pick);
        TrackDraft* raw = record.get();
        EXPECT_EQ(context().mapFactory().add(context().mapFactory().drafts(), record), kOk);
        return raw;
    }

    // The round's picks in pick order.
    std::vector<PickValues> round(int number, int league = kLeague) {
        DraftList picks = drafts().roundPicks(league, number);
        DraftQuery::sortByField(picks, kDraftPick, false);
        std::vector<PickValues> values;
        for (const TrackDraft* p : picks) {
            values.push_back({p->getValue(kDraftFranchise), p->getValue(kDraftPlayer),
                              p->getValue(kDraftRound), p->getValue(kDraftPick)});
        }
        return values;
    }

    std::vector<int> franchiseOrder(int number) {
        std::vector<int> order;
        for (const PickValues& p : round(number)) {
            order.push_back(p.franchise);
        }
        return order;
    }

    Team& team(int id) { return *context().teamQuery().findOne(kFranchiseId, id); }

    std::vector<int> rosterIds(int franchise, int week) {
        TeamRosterStruct roster;
        team(franchise).getRoster(week, roster);
        std::vector<int> ids;
        for (int place = 0; place < roster.count(); ++place) {
            ids.push_back(roster.id(place));
        }
        return ids;
    }

    void setRoster(int franchise, const std::vector<int>& ids) {
        TeamRosterStruct roster;
        for (int id : ids) {
            addToRoster(roster, id);
        }
        ASSERT_EQ(team(franchise).saveRoster(roster, 0), kOk);
    }
};

}  // namespace qff::test
