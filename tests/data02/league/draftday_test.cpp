#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data02/league/Draftday.h"
#include "data02/league/Draftorder.h"
#include "data02/league/Rosters.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/season/Prefs.h"
#include "tests/data02/league/DraftFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/Interrupted.h"

namespace qff {
namespace {

using test::DraftTest;
using test::FileSizeLimit;
using test::kLeague;
using test::kYear;
using test::PickValues;
using test::seeded;

class DraftDayTest : public DraftTest {
  protected:
    League& league() { return *context().leagueQuery().findOne(kLeagueId, kLeague); }

    DraftStatus status() { return draftStatus(context(), league()); }

    void share(bool shared) {
        ASSERT_EQ(context().preferences().set(kPrefDraftSharedPlayers, shared ? 1 : 0), kOk);
    }

    // Every pick of the league in round and pick order.
    std::vector<DraftSlot> slots() {
        std::vector<DraftSlot> all;
        for (int r = 1; r <= draftRounds(league()); ++r) {
            for (const PickValues& p : round(r)) {
                all.push_back({r, p.pick, p.franchise});
            }
        }
        return all;
    }

    // Drafts the player for whoever is on the clock.
    void draftNext(int player) {
        DraftSlot next = status().onTheClock;
        DraftChange change = recordPick(context(), kLeague, next.franchise, next.round, player);
        ASSERT_TRUE(change.ok()) << change.message;
    }
};

// ---- recording a pick ------------------------------------------------------

TEST_F(DraftDayTest, APickIsRefusedWithItsReasonAndNothingStored) {
    addFranchises(2);
    addPlayers({101, 102});
    setRounds(3);
    setRoster(2, {102});
    ASSERT_TRUE(recordPick(context(), kLeague, 1, 1, 101).ok());
    struct Case {
        bool shared;
        int league;
        int franchise;
        int round;
        int player;
        std::string message;
    };
    const Case cases[] = {
        {false, 77, 1, 2, 102, "There is no league with the id 77."},
        {false, kLeague, 9, 2, 102, "League \"Default League\" has no franchise with the id 9."},
        {false, kLeague, 2, 4, 102, "There is no round 4: the league's draft has 3 rounds."},
        {false, kLeague, 2, 0, 102, "There is no round 0: the league's draft has 3 rounds."},
        {false, kLeague, 2, 1, 999, "No player has the id 999."},
        {false, kLeague, 2, 1, 0, "No player has the id 0."},
        {false, kLeague, 2, 1, 101, "Player 101 has already been drafted by Franchise 1."},
        {true, kLeague, 1, 2, 101, "Franchise 1 has already drafted Player 101."},
        {true, kLeague, 2, 2, 102, "Player 102 is already on the roster of Franchise 2."},
        {false, kLeague, 1, 1, 102,
         "Franchise 1 already has a pick in round 1, and teams can only pick once per round."},
    };
    for (const Case& c : cases) {
        share(c.shared);
        DraftChange change = recordPick(context(), c.league, c.franchise, c.round, c.player);
        EXPECT_EQ(change.status, kFailed) << c.message;
        EXPECT_EQ(change.message, c.message);
    }
    reopen();
    EXPECT_EQ(drafts().leaguePicks(kLeague).size(), 1u);
}

TEST_F(DraftDayTest, SeveralPicksPerRoundFillAPlannedPickBeforeAddingOne) {
    addFranchises(2);
    addPlayers({101, 102, 103});
    allowSeveralPicks();
    storePick(1, 0, 1, 1);
    storePick(2, 0, 1, 2);
    storePick(1, 0, 1, 3);
    for (int player : {101, 102, 103}) {
        ASSERT_TRUE(recordPick(context(), kLeague, player == 102 ? 2 : 1, 1, player).ok());
    }
    EXPECT_EQ(round(1), (std::vector<PickValues>{{1, 101, 1, 1}, {2, 102, 1, 2}, {1, 103, 1, 3}}));
}

// ---- one player, one franchise -----------------------------------------------

TEST_F(DraftDayTest, ADraftedPlayerStaysTakenThroughTradesAndReorderingUntilTakenBack) {
    addFranchises(3);
    addPlayers({101, 102, 103});
    setRounds(2);
    ASSERT_EQ(generateDraftOrder(context(), kLeague, SerpentineKind::True, seeded(3)).status, kOk);
    for (int player : {101, 102, 103}) {
        draftNext(player);
    }
    std::vector<int> order = franchiseOrder(1);
    ASSERT_EQ(tradeDraftedPlayers(context(), kLeague, {order[0], 101}, {order[1], 102}).status,
              kOk);
    ASSERT_TRUE(moveDraftPickTo(context(), kLeague, {2, 1}, 3).ok());
    ASSERT_TRUE(undoPick(context(), kLeague, {1, 3}).ok());
    reopen();
    for (int franchise : order) {
        for (int player : {101, 102}) {
            EXPECT_FALSE(recordPick(context(), kLeague, franchise, 2, player).ok())
                << "franchise " << franchise << " player " << player;
        }
    }
    ASSERT_TRUE(recordPick(context(), kLeague, order[1], 2, 103).ok());
    EXPECT_EQ(recordPick(context(), kLeague, order[2], 1, 103).message,
              "Player 103 has already been drafted by Franchise " + std::to_string(order[1]) + ".");
}

TEST_F(DraftDayTest, SharedPlayersAreNeverTradedToAFranchiseThatHasThem) {
    addFranchises(2);
    addPlayers({101, 102});
    allowSeveralPicks();
    share(true);
    ASSERT_TRUE(recordPick(context(), kLeague, 1, 1, 101).ok());
    ASSERT_TRUE(recordPick(context(), kLeague, 2, 1, 101).ok());
    ASSERT_TRUE(recordPick(context(), kLeague, 2, 2, 102).ok());
    TradeResult trade = tradeDraftedPlayers(context(), kLeague, {1, 101}, {2, 102});
    EXPECT_EQ(trade.reason, TradeReason::kAlreadyHeld);
    EXPECT_EQ(trade.message, "Franchise 2 has already drafted Player 101.");
    EXPECT_EQ(round(2), (std::vector<PickValues>{{2, 102, 2, 1}}));
}

// ---- taking a pick back ---------------------------------------------------------

TEST_F(DraftDayTest, UndoEmptiesThePickSoItsFranchiseIsOnTheClockAndItsPlayerOffered) {
    addFranchises(3);
    addPlayers({101, 102, 103});
    storePick(1, 0, 1, 1);
    storePick(2, 0, 1, 2);
    storePick(3, 0, 1, 3);
    for (int player : {101, 102, 103}) {
        draftNext(player);
    }
    ASSERT_TRUE(undoLastPick(context(), kLeague).ok());
    EXPECT_EQ(round(1), (std::vector<PickValues>{{1, 101, 1, 1}, {2, 102, 1, 2}, {3, 0, 1, 3}}));
    ASSERT_TRUE(undoPick(context(), kLeague, {1, 1}).ok());
    reopen();
    EXPECT_EQ(round(1), (std::vector<PickValues>{{2, 102, 1, 1}, {1, 0, 1, 2}, {3, 0, 1, 3}}));
    EXPECT_EQ(status().onTheClock, (DraftSlot{1, 2, 1}));
    EXPECT_TRUE(isOffered(context(), kLeague, 3, 101));
    EXPECT_TRUE(isOffered(context(), kLeague, 1, 103));
}

TEST_F(DraftDayTest, UndoRefusesWhatItCannotTakeBack) {
    addFranchises(1);
    storePick(1, 0, 1, 1);
    struct Case {
        std::function<DraftChange()> undo;
        std::string message;
    };
    const Case cases[] = {
        {[&] { return undoLastPick(context(), kLeague); },
         "No player has been drafted in this league yet."},
        {[&] { return undoLastPick(context(), 77); }, "There is no league with the id 77."},
        {[&] {
             return undoPick(context(), kLeague, {1, 9});
         },
         "Round 1 has no pick 9."},
        {[&] {
             return undoPick(context(), kLeague, {1, 1});
         },
         "Pick 1 of round 1 holds no player to take back."},
    };
    for (const Case& c : cases) {
        DraftChange change = c.undo();
        EXPECT_EQ(change.status, kFailed);
        EXPECT_EQ(change.message, c.message);
    }
}

// ---- the order by hand -------------------------------------------------------

TEST_F(DraftDayTest, AddingToTheOrderKeepsToTheLeagueItsRoundsAndOnePickPerRound) {
    addFranchises(2);
    setRounds(2);
    ASSERT_TRUE(addToDraftOrder(context(), kLeague, 1, 1).ok());
    struct Case {
        bool several;
        int league;
        int franchise;
        int round;
        std::string message;
    };
    const Case cases[] = {
        {false, 77, 1, 1, "There is no league with the id 77."},
        {false, kLeague, 9, 1, "League \"Default League\" has no franchise with the id 9."},
        {false, kLeague, 2, 3, "There is no round 3: the league's draft has 2 rounds."},
        {false, kLeague, 1, 1,
         "Franchise 1 already has a pick in round 1, and teams can only pick once per round."},
        {false, kLeague, 1, 2, ""},
        {true, kLeague, 1, 1, ""},
    };
    for (const Case& c : cases) {
        league().setValue(kLeagueSeveralPicks, c.several ? 1 : 0);
        DraftChange change = addToDraftOrder(context(), c.league, c.franchise, c.round);
        EXPECT_EQ(change.ok(), c.message.empty()) << c.message;
        EXPECT_EQ(change.message, c.message);
    }
    reopen();
    EXPECT_EQ(franchiseOrder(1), (std::vector<int>{1, 1}));
    EXPECT_EQ(franchiseOrder(2), (std::vector<int>{1}));
}

TEST_F(DraftDayTest, PicksMoveAmongPicksOfTheirKindAndAreRemoved) {
    addFranchises(5);
    addPlayers({101, 102});
    for (int franchise = 1; franchise <= 5; ++franchise) {
        storePick(franchise, 0, 1, franchise);
    }
    draftNext(101);
    draftNext(102);
    struct Move {
        PickPlace from;
        int to;
        std::string message;
        std::vector<int> after;
    };
    const Move moves[] = {
        {{1, 3}, 5, "", {1, 2, 4, 5, 3}},
        {{1, 5}, 4, "", {1, 2, 4, 3, 5}},
        {{1, 2}, 1, "", {2, 1, 4, 3, 5}},
        {{1, 3}, 3, "", {2, 1, 4, 3, 5}},
        {{1, 3},
         2,
         "Picks already made stay ahead of the picks still to be made.",
         {2, 1, 4, 3, 5}},
        {{1, 2},
         4,
         "Picks already made stay ahead of the picks still to be made.",
         {2, 1, 4, 3, 5}},
        {{1, 9}, 1, "Round 1 has no pick 9.", {2, 1, 4, 3, 5}},
        {{1, 4}, 6, "Round 1 has 5 picks; there is no place 6 in it.", {2, 1, 4, 3, 5}},
    };
    for (const Move& m : moves) {
        DraftChange change = moveDraftPickTo(context(), kLeague, m.from, m.to);
        EXPECT_EQ(change.message, m.message) << m.from.pick << " to " << m.to;
        EXPECT_EQ(franchiseOrder(1), m.after) << m.from.pick << " to " << m.to;
    }
    const int oneMissing[] = {1, 6};
    EXPECT_EQ(removeFromDraftOrder(context(), kLeague, 1, oneMissing).message,
              "Round 1 has no pick 6.");
    const int two[] = {1, 3};
    ASSERT_TRUE(removeFromDraftOrder(context(), kLeague, 1, two).ok());
    EXPECT_EQ(removeFromDraftOrder(context(), kLeague, {1, 4}).message, "Round 1 has no pick 4.");
    reopen();
    EXPECT_EQ(round(1), (std::vector<PickValues>{{1, 101, 1, 1}, {3, 0, 1, 2}, {5, 0, 1, 3}}));
    EXPECT_TRUE(isOffered(context(), kLeague, 3, 102));
}

// ---- settings -------------------------------------------------------------

TEST_F(DraftDayTest, DraftSettingsAreCheckedThenStoredWithThePicksTheyGiveUp) {
    addFranchises(2);
    addPlayers({101});
    setRounds(4);
    allowSeveralPicks();
    storePick(2, 0, 2, 1);
    storePick(2, 0, 2, 2);
    storePick(1, 101, 3, 1);
    storePick(1, 0, 4, 1);
    struct Case {
        DraftSettings settings;
        std::string message;
    };
    const Case refused[] = {
        {{0, {}}, "A draft has from 1 to 32 rounds, not 0."},
        {{33, {}}, "A draft has from 1 to 32 rounds, not 33."},
        {{2, {}},
         "Round 3 already holds drafted players, so the draft cannot have fewer than 3 "
         "rounds."},
        {{3, true},
         "Franchise 2 has 2 picks in round 2; remove all but one before teams can only pick once "
         "per round."},
    };
    for (const Case& c : refused) {
        DraftChange change = saveDraftSettings(context(), kLeague, c.settings);
        EXPECT_EQ(change.status, kBadValue);
        EXPECT_EQ(change.message, c.message);
    }
    EXPECT_EQ(saveDraftSettings(context(), 77, {3, {}}).message,
              "There is no league with the id 77.");
    ASSERT_TRUE(saveDraftSettings(context(), kLeague, {3, false}).ok());
    reopen();
    EXPECT_EQ(draftRounds(league()), 3);
    EXPECT_FALSE(oncePerRound(league()));
    EXPECT_TRUE(round(4).empty());
    EXPECT_EQ(drafts().leaguePicks(kLeague).size(), 3u);
    ASSERT_TRUE(removeFromDraftOrder(context(), kLeague, {2, 2}).ok());
    ASSERT_TRUE(saveDraftSettings(context(), kLeague, {{}, true}).ok());
    FileSizeLimit noWrites(0);
    EXPECT_TRUE(saveDraftSettings(context(), kLeague, {3, true}).ok());
}

// ---- all or nothing -----------------------------------------------------------

struct WrittenChange {
    const char* name;
    std::function<DraftChange(Singleton&)> run;
    std::string failure;
};

const WrittenChange kWrittenChanges[] = {
    {"pick", [](Singleton& c) { return recordPick(c, kLeague, 2, 1, 102); },
     "The pick could not be stored"},
    {"undo",
     [](Singleton& c) {
         return undoPick(c, kLeague, {1, 1});
     },
     "The pick could not be taken back"},
    {"add", [](Singleton& c) { return addToDraftOrder(c, kLeague, 2, 2); },
     "The draft order could not be stored"},
    {"remove",
     [](Singleton& c) {
         return removeFromDraftOrder(c, kLeague, {1, 1});
     },
     "The draft order could not be stored"},
    {"move",
     [](Singleton& c) {
         return moveDraftPickTo(c, kLeague, {1, 2}, 3);
     },
     "The draft order could not be stored"},
    {"settings",
     [](Singleton& c) {
         return saveDraftSettings(c, kLeague, {1, false});
     },
     "The draft settings could not be stored"},
};

TEST_F(DraftDayTest, AChangeThatCannotBeWrittenLeavesFilesAndPicksAsTheyWere) {
    addFranchises(3);
    addPlayers({101, 102});
    storePick(1, 101, 1, 1);
    storePick(2, 0, 1, 2);
    storePick(3, 0, 1, 3);
    std::vector<PickValues> before = round(1);
    for (const WrittenChange& change : kWrittenChanges) {
        test::FileImages files = test::filesIn(dir_.path());
        DraftChange result;
        {
            FileSizeLimit noWrites(0);
            result = change.run(context());
        }
        EXPECT_NE(result.status, kOk) << change.name;
        EXPECT_THAT(result.message, ::testing::StartsWith(change.failure)) << change.name;
        EXPECT_THAT(test::changedFiles(files, test::filesIn(dir_.path())), ::testing::IsEmpty())
            << change.name;
        EXPECT_EQ(round(1), before) << change.name;
    }
}

// A pick that adds a record makes the draft file grow; the program is killed
// there, after the journal has kept the file.
TEST_F(DraftDayTest, AKilledPickOrOrderChangeIsTakenBackOnTheNextStart) {
    addFranchises(3);
    addPlayers({101, 102});
    storePick(1, 101, 1, 1);
    rlim_t fullFile = test::readBytes(fileOf(SeasonFile::Draft, kYear)).size();
    const std::function<DraftChange()> growing[] = {
        [&] { return recordPick(context(), kLeague, 2, 1, 102); },
        [&] { return addToDraftOrder(context(), kLeague, 3, 1); },
    };
    for (const auto& change : growing) {
        test::FileImages files = test::filesIn(dir_.path());
        test::runKilled([&] {
            test::exitAtFileSize(fullFile);
            change();
        });
        start();
        EXPECT_THAT(test::changedFiles(files, test::filesIn(dir_.path())), ::testing::IsEmpty());
        reopen();
        EXPECT_EQ(round(1), (std::vector<PickValues>{{1, 101, 1, 1}}));
    }
}

// ---- where the draft stands -------------------------------------------------

TEST_F(DraftDayTest, StatusNamesThePickOnTheClockAndTheNextThree) {
    addFranchises(3);
    addPlayers({101, 102, 103, 104, 105, 106});
    setRounds(2);
    struct Case {
        const char* name;
        std::function<void()> before;
        DraftSlot onTheClock;
        std::vector<DraftSlot> next;
        int made;
        bool finished;
    };
    const Case cases[] = {
        {"no pick yet", [] {}, {1, 1, 0}, {}, 0, false},
        {"picks without an order",
         [&] {
             for (int f = 1; f <= 3; ++f) {
                 recordPick(context(), kLeague, f, 1, 100 + f);
             }
             recordPick(context(), kLeague, 2, 2, 104);
         },
         {2, 2, 0},
         {},
         4,
         false},
        {"planned picks for the franchises still to pick",
         [&] {
             storePick(1, 0, 2, 2);
             storePick(3, 0, 2, 3);
         },
         {2, 2, 1},
         {{2, 3, 3}},
         4,
         false},
        {"every pick made",
         [&] {
             recordPick(context(), kLeague, 1, 2, 105);
             recordPick(context(), kLeague, 3, 2, 106);
         },
         {},
         {},
         6,
         true},
    };
    for (const Case& c : cases) {
        c.before();
        DraftStatus now = status();
        EXPECT_EQ(now.onTheClock, c.onTheClock) << c.name;
        EXPECT_EQ(now.next, c.next) << c.name;
        EXPECT_EQ(now.made, c.made) << c.name;
        EXPECT_EQ(now.finished, c.finished) << c.name;
        EXPECT_EQ(now.franchises, 3) << c.name;
    }
}

class DraftResumeTest : public DraftDayTest, public ::testing::WithParamInterface<int> {};

TEST_P(DraftResumeTest, ADraftStoppedAfterAPickGoesOnWhereItStopped) {
    const int made = GetParam();
    addFranchises(4);
    setRounds(3);
    for (int id = 1; id <= 12; ++id) {
        addPlayers({id});
    }
    ASSERT_EQ(generateDraftOrder(context(), kLeague, SerpentineKind::True, seeded(11)).status, kOk);
    std::vector<DraftSlot> order = slots();
    ASSERT_EQ(order.size(), 12u);
    for (int i = 0; i < made; ++i) {
        ASSERT_EQ(status().onTheClock, order[i]) << "pick " << i + 1;
        draftNext(i + 1);
    }
    start();
    reopen();
    DraftStatus resumed = status();
    EXPECT_EQ(resumed.made, made);
    EXPECT_EQ(resumed.finished, made == 12);
    if (made == 12) {
        return;
    }
    EXPECT_EQ(resumed.onTheClock, order[made]);
    std::vector<DraftSlot> next(order.begin() + made + 1, order.begin() + std::min(made + 4, 12));
    EXPECT_EQ(resumed.next, next);
}

INSTANTIATE_TEST_SUITE_P(AfterPick, DraftResumeTest, ::testing::Values(0, 1, 3, 4, 5, 8, 11, 12));

}  // namespace
}  // namespace qff
