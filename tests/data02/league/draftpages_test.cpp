#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data02/league/Draftpages.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/season/Prefs.h"
#include "tests/data02/league/DraftFixture.h"

namespace qff {
namespace {

using test::addPlayer;
using test::DraftTest;
using test::kLeague;

using Groups = std::array<int, kDraftPositionGroups>;

// Three franchises; QBs 101 and 102, RB 201 and the first NFL team's QB unit.
class DraftPagesTest : public DraftTest {
  protected:
    void SetUp() override {
        DraftTest::SetUp();
        addFranchises(3);
        addPlayers({101, 102});
        addPlayer(context(), 201, 0, kRB, "Runner, Ray");
        setRounds(3);
    }

    static int qbUnit() { return Pro::unitId(0, kQB); }
};

TEST_F(DraftPagesTest, FranchiseRowsListTheRoundInPickOrderThenTheOthersWithTheirCounts) {
    storePick(3, 0, 1, 2);
    storePick(2, 101, 1, 1);
    storePick(2, qbUnit(), 2, 1);
    storePick(1, 201, 2, 2);

    std::vector<DraftFranchiseRow> rows = draftFranchiseRows(context(), kLeague, 1);

    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].franchise, 2);
    EXPECT_EQ(rows[0].name, "Franchise 2");
    EXPECT_EQ(rows[0].pick, 1);
    EXPECT_EQ(rows[0].drafted, 2);
    EXPECT_EQ(rows[0].byGroup, (Groups{2, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(rows[0].draftedThisRound);
    EXPECT_EQ(rows[1].franchise, 3);
    EXPECT_EQ(rows[1].pick, 2);
    EXPECT_EQ(rows[1].drafted, 0);
    EXPECT_FALSE(rows[1].draftedThisRound);
    // Without a pick in the round, but with what it drafted in another.
    EXPECT_EQ(rows[2].franchise, 1);
    EXPECT_EQ(rows[2].pick, 0);
    EXPECT_EQ(rows[2].drafted, 1);
    EXPECT_EQ(rows[2].byGroup, (Groups{0, 1, 0, 0, 0, 0, 0}));
}

TEST_F(DraftPagesTest, DraftedInRoundNamesThePicksThatHoldAPlayer) {
    storePick(1, 0, 1, 1);
    storePick(3, 201, 1, 2);
    ASSERT_EQ(drafts().renumberRound(kLeague, 1), kOk);

    std::vector<DraftedPickRow> rows = draftedInRound(context(), kLeague, 1);

    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].pick, 1);
    EXPECT_EQ(rows[0].franchise, 3);
    EXPECT_EQ(rows[0].franchiseName, "Franchise 3");
    EXPECT_EQ(rows[0].player, 201);
    EXPECT_EQ(rows[0].playerName, "Runner, Ray");
    EXPECT_FALSE(rows[0].nflTeam.empty());
}

TEST_F(DraftPagesTest, AFranchisesPicksOfARoundAndTheirPlayersByPositionThenName) {
    allowSeveralPicks();
    addPlayer(context(), 103, 0, kQB, "Adams, Al");
    storePick(1, 201, 1, 1);
    storePick(2, 101, 1, 2);
    storePick(1, 102, 1, 3);
    storePick(1, 0, 1, 4);
    storePick(1, 103, 1, 5);
    storePick(1, qbUnit(), 2, 1);

    std::vector<int> numbers;
    for (const TrackDraft* pick : franchiseRoundPicks(context(), kLeague, 1, 1)) {
        numbers.push_back(pick->getValue(kDraftPick));
    }
    std::vector<int> players;
    for (const Player* player : franchiseRoundPlayers(context(), kLeague, 1, 1)) {
        players.push_back(player->id());
    }

    EXPECT_EQ(numbers, (std::vector<int>{1, 3, 5, 4}));
    EXPECT_EQ(players, (std::vector<int>{103, 102, 201}));
}

TEST_F(DraftPagesTest, SummaryCountsByFranchiseEveryRoundAndThePositionsDrafted) {
    storePick(1, 101, 1, 1);
    storePick(2, 0, 1, 2);
    storePick(1, qbUnit(), 2, 1);
    storePick(3, 102, 3, 1);
    storePick(2, 201, 3, 2);

    DraftSummary summary = draftSummary(context(), kLeague);

    EXPECT_EQ(
        summary.byFranchise,
        (std::vector<DraftCount>{{"Franchise 1", 2}, {"Franchise 2", 1}, {"Franchise 3", 1}}));
    EXPECT_EQ(summary.byRound,
              (std::vector<DraftCount>{{"Round 1", 1}, {"Round 2", 1}, {"Round 3", 2}}));
    EXPECT_EQ(summary.byPosition, (std::vector<DraftCount>{{"QB", 2}, {"RB", 1}, {"Team QB", 1}}));
}

TEST(DraftTypedValuesTest, RoundsAndMinutesAreHeldToTheirRanges) {
    struct Case {
        const char* text;
        int rounds;
        int minutes;
    } cases[] = {{"", 1, 1},     {"0", 1, 1},    {"7", 7, 7},
                 {"32", 32, 32}, {"40", 32, 40}, {"99", 32, 99}};
    for (const Case& c : cases) {
        EXPECT_EQ(typedDraftRounds(c.text), c.rounds) << '"' << c.text << '"';
        EXPECT_EQ(typedPickMinutes(c.text), c.minutes) << '"' << c.text << '"';
    }
}

TEST_F(DraftPagesTest, TimerSettingsAreStoredInThePreferencesAndASoundNameIsChecked) {
    EXPECT_EQ(readDraftTimerSettings(context()),
              (DraftTimerSettings{true, 10, "Sounds\\Jeopardy.wav", "Sounds\\BigBoom.au"}));
    DraftTimerSettings changed{false, 2, "", "Sounds\\Gong.wav"};
    std::string error;
    ASSERT_TRUE(storeDraftTimerSettings(context(), changed, error)) << error;
    ASSERT_EQ(context().preferences().load(), kOk);
    EXPECT_EQ(readDraftTimerSettings(context()), changed);

    EXPECT_FALSE(storeDraftTimerSettings(context(), {true, 5, "bad\tname", ""}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readDraftTimerSettings(context()), changed);
}

TEST_F(DraftPagesTest, ClosingNamesTheRostersItReplacesAndThePlayersLeftOff) {
    setRounds(kMaxDraftRounds);
    setRoster(1, {101});
    storePick(1, 102, 1, 1);
    for (int id = 300; id < 300 + kMaxDraftRounds + 2; ++id) {
        addPlayer(context(), id, 0, kWR, "Wide " + std::to_string(id));
        storePick(2, id, id - 299, 2);
    }

    DraftClosePlan plan = planDraftClose(context(), kLeague);

    EXPECT_EQ(replacedRostersText(context(), plan), "Franchise 1 (1)");
    EXPECT_EQ(overflowNotes(context(), plan),
              std::vector<std::string>{"Franchise 2 drafted 2 players beyond the 32 roster "
                                       "places; they are left off the roster."});
}

}  // namespace
}  // namespace qff
