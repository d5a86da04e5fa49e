#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "data02/league/Rosters.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/State.h"
#include "data02/storage/Db_file.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using test::FileSizeLimit;

constexpr int kYear = 2003;
constexpr int kOtherLeague = 1;
enum Franchise { kA = 1, kB = 2, kC = 3 };
// Players of the fixture: three QBs, an RB, a TE and a WR.
enum Id { kQb1 = 101, kQb2 = 102, kQb3 = 103, kRb = 201, kTe = 301, kWr = 302 };

using Ids = std::vector<int>;

TeamRosterStruct rosterOf(const Ids& ids, const Ids& active = {}) {
    TeamRosterStruct roster;
    for (int id : ids) {
        addToRoster(roster, id);
        if (std::find(active.begin(), active.end(), id) != active.end()) {
            roster.setFlag(roster.count() - 1, 1);
        }
    }
    return roster;
}

// The season of the calendar year, so roster saves leave flagged weeks alone.
class RostersTest : public test::SeasonFixture {
  protected:
    void SetUp() override {
        start("2003\n");
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
        team_ = context().pro().validTeams().front();
        for (auto [id, position] :
             {std::pair{kQb1, kQB}, {kQb2, kQB}, {kQb3, kQB}, {kRb, kRB}, {kTe, kTE}, {kWr, kWR}}) {
            addPlayer(id, position);
        }
        addFranchise(kA, 0, "Franchise A");
        addFranchise(kB, 0, "Franchise B");
        addFranchise(kC, kOtherLeague, "Franchise C");
    }

    void addPlayer(int id, int position) {
        Owned<Player> player =
            context().memory().makeRecord<Player>(Kind::Player, context().playerFile(), context());
        player->clear();
        player->setValue(kPlayerId, id, 0);
        player->setValue(kPlayerTeam, team_, 0);
        player->setValue(kPlayerPosition, position, 0);
        player->setText(kPlayerName, "Player " + std::to_string(id));
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().players(), player), kOk);
    }

    void addFranchise(int id, int league, const std::string& name) {
        Owned<Team> team =
            context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
        team->setValue(kFranchiseId, id);
        team->setValue(kFranchiseLeague, league);
        team->setValue(kFranchiseDivision, kNoDivision);
        team->setText(kFranchiseName, name);
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), kOk);
    }

    Team& franchise(int id) { return *findFranchise(context(), id); }

    // The same roster in every week, stored.
    void setRoster(int id, const TeamRosterStruct& roster) {
        for (int week = 0; week < 20; ++week) {
            franchise(id).setRoster(week, roster);
        }
        ASSERT_EQ(franchise(id).save(), kOk);
    }

    Ids ids(int id, int week) {
        TeamRosterStruct roster;
        franchise(id).getRoster(week, roster);
        Ids found;
        for (int place = 0; place < roster.count(); ++place) {
            found.push_back(roster.id(place));
        }
        return found;
    }

    Ids active(int id, int week) {
        TeamRosterStruct roster;
        franchise(id).getRoster(week, roster);
        Ids found;
        for (int place = 0; place < roster.count(); ++place) {
            if (roster.active(place)) {
                found.push_back(roster.id(place));
            }
        }
        return found;
    }

    // What the franchise file holds, read back through a fresh cache.
    void reloadFromFile() { ASSERT_EQ(context().mapFactory().reloadFranchises(kYear), kOk); }

    void flagWeeks(const Ids& weeks) {
        for (int week : weeks) {
            ASSERT_EQ(context().seasonState().setWeekHasStats(week, 1), kOk);
        }
    }

    void setPref(int id, int value) { ASSERT_EQ(context().preferences().set(id, value), kOk); }
    void setLimit(int position, int value) { setPref(kPrefRosterLimitQB + position, value); }

    Player& player(int id) { return *context().mapFactory().players().findFirst(kPlayerId, id); }

    int qbUnit() const { return Pro::unitId(team_, kQB); }

    static Ids refusedIds(const RosterChange& change) {
        Ids found;
        for (const RosterRefusal& r : change.refused) {
            found.push_back(r.player);
        }
        return found;
    }

    static std::vector<RosterReason> reasons(const RosterChange& change) {
        std::vector<RosterReason> found;
        for (const RosterRefusal& r : change.refused) {
            found.push_back(r.reason);
        }
        return found;
    }

    int team_ = 0;
};

// ------------------------------------------------------------ who may be drafted

struct DraftCase {
    const char* name;
    int qbLimit;
    int wrLimit;
    bool shared;
    bool merged;
    Ids rosterA;
    Ids rosterB;
    Ids rosterC;
    int candidate;
    RosterReason expected;
};

TEST_F(RostersTest, WhoMayBeDraftedFollowsLimitsRostersAndSharing) {
    const DraftCase cases[] = {
        {"QB at its maximum",
         2,
         4,
         false,
         false,
         {kQb1, kQb2},
         {},
         {},
         kQb3,
         RosterReason::kPositionFull},
        {"99 lifts the maximum",
         99,
         4,
         false,
         false,
         {kQb1, kQb2},
         {},
         {},
         kQb3,
         RosterReason::kNone},
        {"a QB unit counts as a QB",
         2,
         4,
         false,
         false,
         {kQb1, 0},
         {},
         {},
         kQb3,
         RosterReason::kPositionFull},
        {"a maximum of 0 takes no one",
         0,
         4,
         false,
         false,
         {},
         {},
         {},
         kQb1,
         RosterReason::kPositionFull},
        {"below the maximum", 2, 4, false, false, {kQb1}, {}, {}, kQb2, RosterReason::kNone},
        {"already on this roster",
         99,
         4,
         false,
         false,
         {kRb},
         {},
         {},
         kRb,
         RosterReason::kOnRoster},
        {"on another roster of the league",
         2,
         4,
         false,
         false,
         {},
         {kRb},
         {},
         kRb,
         RosterReason::kHeldElsewhere},
        {"sharing allowed by 8018", 2, 4, true, false, {}, {kRb}, {}, kRb, RosterReason::kNone},
        {"on a roster of another league",
         2,
         4,
         false,
         false,
         {},
         {},
         {kRb},
         kRb,
         RosterReason::kNone},
        {"a TE counts as WR when merged",
         2,
         1,
         false,
         true,
         {kTe},
         {},
         {},
         kWr,
         RosterReason::kPositionFull},
        {"a TE is its own position unmerged",
         2,
         1,
         false,
         false,
         {kTe},
         {},
         {},
         kWr,
         RosterReason::kNone},
    };
    for (const DraftCase& c : cases) {
        SCOPED_TRACE(c.name);
        setLimit(kQB, c.qbLimit);
        setLimit(kWR, c.wrLimit);
        setPref(kPrefDraftSharedPlayers, c.shared ? 1 : 0);
        setPref(kPrefMergeWrTe, c.merged ? 1 : 0);
        Ids a = c.rosterA;
        std::replace(a.begin(), a.end(), 0, qbUnit());
        setRoster(kA, rosterOf(a));
        setRoster(kB, rosterOf(c.rosterB));
        setRoster(kC, rosterOf(c.rosterC));
        DraftRules rules(context(), franchise(kA), 3);
        EXPECT_EQ(rules.check(player(c.candidate)), c.expected);
        EXPECT_EQ(rules.explain(player(c.candidate), c.expected).empty(),
                  c.expected == RosterReason::kNone);
        PlyrList candidates{&player(c.candidate)};
        ASSERT_EQ(filterDraftable(context(), kA, 3, candidates), kOk);
        EXPECT_EQ(candidates.size(), c.expected == RosterReason::kNone ? 1u : 0u);
    }
}

TEST_F(RostersTest, TheFilterKeepsTheCandidatesOrderAndLooksAtTheGivenWeekOnly) {
    setLimit(kQB, 2);
    franchise(kA).setRoster(4, rosterOf({kQb1, kQb2}));
    franchise(kB).setRoster(4, rosterOf({kWr}));
    PlyrList candidates{&player(kWr), &player(kTe), &player(kQb3), &player(kRb)};
    PlyrList week4 = candidates;
    ASSERT_EQ(filterDraftable(context(), kA, 4, week4), kOk);
    EXPECT_EQ(week4, (PlyrList{&player(kTe), &player(kRb)}));
    ASSERT_EQ(filterDraftable(context(), kA, 3, candidates), kOk);
    EXPECT_EQ(candidates.size(), 4u);
}

TEST_F(RostersTest, TheFilterRefusesAnUnknownFranchiseAndAWeekOutsideTheRosters) {
    PlyrList candidates{&player(kRb)};
    EXPECT_EQ(filterDraftable(context(), 99, 0, candidates), kFailed);
    EXPECT_EQ(filterDraftable(context(), kA, 20, candidates), kBadWeek);
    EXPECT_EQ(filterDraftable(context(), kA, -1, candidates), kBadWeek);
    EXPECT_EQ(candidates.size(), 1u);
}

TEST_F(RostersTest, CandidatesAreTheTeamsPlayersByPositionThenNameThatTheFranchiseMayDraft) {
    franchise(kA).setRoster(3, rosterOf({kQb1}));
    franchise(kB).setRoster(3, rosterOf({kWr}));
    auto idsOf = [](const PlyrList& players) {
        Ids found;
        for (const Player* p : players) {
            found.push_back(p->id());
        }
        return found;
    };
    // The team's units follow its players, QB unit to special teams.
    auto withUnits = [](Ids ids, int team) {
        for (int position = kQB; position <= kSPE; ++position) {
            ids.push_back(Pro::unitId(team, position));
        }
        return ids;
    };
    Ids everyone = withUnits({kQb1, kQb2, kQb3, kRb, kWr, kTe}, team_);
    EXPECT_EQ(idsOf(draftCandidates(context(), 0, 3, team_)), everyone);
    EXPECT_EQ(idsOf(draftCandidates(context(), kA, 3, team_)),
              withUnits({kQb2, kQb3, kRb, kTe}, team_));
    EXPECT_EQ(idsOf(draftCandidates(context(), kA, 4, team_)), everyone);
    int otherTeam = context().pro().validTeams().back();
    EXPECT_EQ(idsOf(draftCandidates(context(), kA, 3, otherTeam)), withUnits({}, otherTeam));
}

// ------------------------------------------------------------ adding and dropping

struct AddCase {
    const char* name;
    Ids before;
    Ids added;
    Ids changed;
    std::vector<RosterReason> refused;
};

TEST_F(RostersTest, AddingSeveralPlayersChecksEachAgainstTheRosterAsItGrows) {
    setLimit(kQB, 2);
    setRoster(kB, rosterOf({kWr}));
    const AddCase cases[] = {
        {"the third QB of one add is refused",
         {kQb1},
         {kQb2, kQb3, kRb},
         {kQb2, kRb},
         {RosterReason::kPositionFull}},
        {"a player named twice goes on once", {}, {kRb, kRb}, {kRb}, {RosterReason::kOnRoster}},
        {"an unknown player", {}, {9999, kTe}, {kTe}, {RosterReason::kUnknownPlayer}},
        {"a player of another franchise", {}, {kWr}, {}, {RosterReason::kHeldElsewhere}},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.name);
        setRoster(kA, rosterOf(c.before));
        RosterChange change = addPlayers(context(), kA, 2, c.added);
        EXPECT_EQ(change.status, kOk);
        EXPECT_EQ(change.changed, c.changed);
        EXPECT_EQ(reasons(change), c.refused);
        Ids expected = c.before;
        expected.insert(expected.end(), c.changed.begin(), c.changed.end());
        EXPECT_EQ(ids(kA, 2), expected);
        EXPECT_TRUE(active(kA, 2).empty()) << "added players start on the bench";
    }
}

struct FullCase {
    int before;
    int adding;
    int added;
};

TEST_F(RostersTest, AddingStopsAtThirtyTwoPlayersAndNamesEveryPlayerLeftOut) {
    for (int position = kQB; position <= kSPE; ++position) {
        setLimit(position, kRosterUnrestricted);
    }
    for (int id = 1001; id <= 1040; ++id) {
        addPlayer(id, kRB);
    }
    const FullCase cases[] = {{30, 5, 2}, {31, 1, 1}, {32, 1, 0}, {0, 5, 5}, {28, 8, 4}};
    for (const FullCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.before) + " + " + std::to_string(c.adding));
        Ids before;
        for (int i = 0; i < c.before; ++i) {
            before.push_back(1001 + i);
        }
        Ids adding;
        for (int i = 0; i < c.adding; ++i) {
            adding.push_back(1001 + c.before + i);
        }
        setRoster(kA, rosterOf(before));
        RosterChange change = addPlayers(context(), kA, 0, adding);
        EXPECT_EQ(change.status, kOk);
        EXPECT_EQ(change.changed, Ids(adding.begin(), adding.begin() + c.added));
        EXPECT_EQ(refusedIds(change), Ids(adding.begin() + c.added, adding.end()));
        for (const RosterRefusal& r : change.refused) {
            EXPECT_EQ(r.reason, RosterReason::kRosterFull);
            EXPECT_NE(r.message.find("The maximum of 32 players"), std::string::npos);
        }
        EXPECT_EQ(static_cast<int>(ids(kA, 0).size()), c.before + c.added);
    }
}

TEST_F(RostersTest, AnAddIsCopiedToLaterWeeksExceptFlaggedOnesAndStored) {
    setRoster(kA, rosterOf({kQb1}));
    flagWeeks({5, 7});
    RosterChange change = addPlayers(context(), kA, 3, Ids{kRb});
    ASSERT_EQ(change.status, kOk);
    reloadFromFile();
    for (int week = 0; week < 20; ++week) {
        SCOPED_TRACE(week);
        bool changes = week >= 3 && week != 5 && week != 7;
        EXPECT_EQ(ids(kA, week), changes ? Ids({kQb1, kRb}) : Ids({kQb1}));
    }
}

TEST_F(RostersTest, DroppingKeepsTheOrderAndFlagsAndNamesPlayersNotOnTheRoster) {
    setRoster(kA, rosterOf({kQb1, kRb, kTe, kWr}, {kTe}));
    RosterChange change = dropPlayers(context(), kA, 0, Ids{kRb, kQb3, -1});
    EXPECT_EQ(change.status, kOk);
    EXPECT_EQ(change.changed, Ids{kRb});
    EXPECT_EQ(refusedIds(change), (Ids{kQb3, -1}));
    EXPECT_EQ(reasons(change), std::vector<RosterReason>(2, RosterReason::kNotOnRoster));
    EXPECT_EQ(change.refused[0].message, "Player 103 is not on the roster of Franchise A.");
    reloadFromFile();
    EXPECT_EQ(ids(kA, 19), (Ids{kQb1, kTe, kWr}));
    EXPECT_EQ(active(kA, 19), Ids{kTe});
}

TEST_F(RostersTest, AFranchiseIsFoundByIdEvenWhenAnotherHasTheSameName) {
    addFranchise(4, 0, "Franchise A");
    setRoster(kA, rosterOf({}));
    RosterChange change = addPlayers(context(), 4, 0, Ids{kRb});
    ASSERT_EQ(change.status, kOk);
    EXPECT_EQ(ids(4, 0), Ids{kRb});
    EXPECT_TRUE(ids(kA, 0).empty());
    RosterChange unknown = addPlayers(context(), 77, 0, Ids{kRb});
    EXPECT_EQ(unknown.status, kFailed);
    EXPECT_EQ(unknown.error, "No franchise has the id 77.");
    EXPECT_EQ(addPlayers(context(), kA, 20, Ids{kRb}).status, kBadWeek);
}

TEST_F(RostersTest, AFailedSaveIsReportedAndLeavesMemoryAsTheFileIs) {
    setRoster(kA, rosterOf({kQb1}));
    auto before = test::readBytes(fileOf(SeasonFile::Team, kYear));
    RosterChange change;
    {
        FileSizeLimit limit(DBFile::kHeaderSize);
        change = addPlayers(context(), kA, 0, Ids{kRb});
    }
    EXPECT_EQ(change.status, kFailed);
    EXPECT_NE(change.error.find("The roster of Franchise A could not be saved"), std::string::npos);
    EXPECT_TRUE(change.changed.empty());
    EXPECT_EQ(ids(kA, 0), Ids{kQb1});
    EXPECT_EQ(ids(kA, 19), Ids{kQb1});
    EXPECT_EQ(test::readBytes(fileOf(SeasonFile::Team, kYear)), before);
}

// ------------------------------------------------------------ activation

struct ActivationCase {
    const char* name;
    Ids startActive;
    Ids players;
    bool activate;
    Ids changed;
    std::vector<RosterReason> refused;
    Ids endActive;
};

TEST_F(RostersTest, ActivationChangesOnlyTheFlagsOfTheNamedPlayers) {
    const ActivationCase cases[] = {
        {"three at once", {}, {kQb1, kRb, kWr}, true, {kQb1, kRb, kWr}, {}, {kQb1, kRb, kWr}},
        {"benching one", {kQb1, kRb}, {kRb}, false, {kRb}, {}, {kQb1}},
        {"already active",
         {kQb1},
         {kQb1, kRb},
         true,
         {kRb},
         {RosterReason::kAlreadyActive},
         {kQb1, kRb}},
        {"already benched", {}, {kQb1}, false, {}, {RosterReason::kAlreadyBenched}, {}},
        {"not rostered", {}, {kQb3}, true, {}, {RosterReason::kNotOnRoster}, {}},
    };
    for (const ActivationCase& c : cases) {
        SCOPED_TRACE(c.name);
        setRoster(kA, rosterOf({kQb1, kRb, kTe, kWr}, c.startActive));
        RosterChange change = setActive(context(), kA, 1, c.players, c.activate);
        EXPECT_EQ(change.status, kOk);
        EXPECT_EQ(change.changed, c.changed);
        EXPECT_EQ(reasons(change), c.refused);
        EXPECT_EQ(ids(kA, 1), (Ids{kQb1, kRb, kTe, kWr}));
        EXPECT_EQ(active(kA, 1), c.endActive);
    }
}

TEST_F(RostersTest, ActivationCarriesToLaterUnflaggedWeeksOnly) {
    setRoster(kA, rosterOf({kQb1, kRb}));
    flagWeeks({6});
    ASSERT_EQ(setActive(context(), kA, 4, Ids{kRb}, true).status, kOk);
    reloadFromFile();
    for (int week = 0; week < 20; ++week) {
        SCOPED_TRACE(week);
        EXPECT_EQ(active(kA, week), week >= 4 && week != 6 ? Ids{kRb} : Ids{});
    }
}

// ------------------------------------------------------------ in-season trades

struct TradeCase {
    const char* name;
    int week;
    TradeSide one;
    TradeSide two;
    TradeReason expected;
};

TEST_F(RostersTest, ATradeOutsideTheRulesIsRefusedAndChangesNothing) {
    setLimit(kQB, 2);
    setRoster(kA, rosterOf({kQb1, kQb2, kRb}));
    setRoster(kB, rosterOf({kQb3, kTe}));
    setRoster(kC, rosterOf({kWr}));
    addFranchise(4, 0, "Franchise D");
    setRoster(4, rosterOf({kTe}));
    const TradeCase cases[] = {
        {"a week outside the rosters", 20, {kA, kRb}, {kB, kTe}, TradeReason::kBadWeek},
        {"an unknown franchise", 0, {kA, kRb}, {9, kTe}, TradeReason::kUnknownFranchise},
        {"with itself", 0, {kA, kRb}, {kA, kQb1}, TradeReason::kSameFranchise},
        {"across leagues", 0, {kA, kRb}, {kC, kWr}, TradeReason::kOtherLeague},
        {"a player the giver lacks", 0, {kA, kWr}, {kB, kTe}, TradeReason::kNotOnRoster},
        {"a third QB for A", 0, {kA, kRb}, {kB, kQb3}, TradeReason::kPositionFull},
        {"a player D holds too", 0, {kA, kRb}, {kB, kTe}, TradeReason::kHeldElsewhere},
    };
    for (const TradeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TradeResult result = tradePlayers(context(), c.week, c.one, c.two);
        EXPECT_EQ(result.reason, c.expected);
        EXPECT_EQ(result.status, c.expected == TradeReason::kBadWeek ? kBadWeek : kFailed);
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(ids(kA, 0), (Ids{kQb1, kQb2, kRb}));
        EXPECT_EQ(ids(kB, 0), (Ids{kQb3, kTe}));
    }
}

TEST_F(RostersTest, ATradeRefusesAPlayerTheReceiverHoldsAlready) {
    setPref(kPrefDraftSharedPlayers, 1);
    setRoster(kA, rosterOf({kQb1, kRb}));
    setRoster(kB, rosterOf({kRb, kTe}));
    TradeResult result = tradePlayers(context(), 0, {kA, kRb}, {kB, kTe});
    EXPECT_EQ(result.reason, TradeReason::kAlreadyHeld);
}

TEST_F(RostersTest, ASameForSamePositionTradeFitsAtTheMaximum) {
    setLimit(kQB, 2);
    setRoster(kA, rosterOf({kQb1, kQb2}));
    setRoster(kB, rosterOf({kQb3}));
    EXPECT_EQ(tradePlayers(context(), 0, {kA, kQb1}, {kB, kQb3}).reason, TradeReason::kNone);
}

TEST_F(RostersTest, ATradeExchangesThePlayersFromTheWeekOnAndStoresBothRosters) {
    setRoster(kA, rosterOf({kQb1, kRb, kTe}, {kRb}));
    setRoster(kB, rosterOf({kQb2, kWr}, {kWr}));
    flagWeeks({8});
    TradeResult result = tradePlayers(context(), 6, {kA, kRb}, {kB, kWr});
    ASSERT_EQ(result.status, kOk) << result.message;
    EXPECT_EQ(result.message,
              "[ Player 201 ] was traded to Franchise B\n[ Player 302 ] was traded to Franchise A");
    reloadFromFile();
    for (int week = 0; week < 20; ++week) {
        SCOPED_TRACE(week);
        bool traded = week >= 6 && week != 8;
        EXPECT_EQ(ids(kA, week), traded ? Ids({kQb1, kTe, kWr}) : Ids({kQb1, kRb, kTe}));
        EXPECT_EQ(ids(kB, week), traded ? Ids({kQb2, kRb}) : Ids({kQb2, kWr}));
        EXPECT_EQ(active(kA, week), traded ? Ids{} : Ids{kRb});
    }
}

struct FailedTradeCase {
    const char* name;
    // The franchise whose slot is the first the file may not be written at.
    int blocked;
    const char* says;
};

TEST_F(RostersTest, ATradeWhoseSaveFailsLeavesBothRostersAsTheyWere) {
    setRoster(kA, rosterOf({kQb1, kRb}));
    setRoster(kB, rosterOf({kQb2, kWr}));
    ASSERT_LT(franchise(kA).slot(), franchise(kB).slot());
    const FailedTradeCase cases[] = {
        {"the second save", kB, "Nothing was traded."},
        {"the first save", kA, "Nothing was traded."},
    };
    for (const FailedTradeCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto before = test::readBytes(fileOf(SeasonFile::Team, kYear));
        rlim_t blockedAt = DBFile::kHeaderSize + franchise(c.blocked).slot() * kTeamRecordSize;
        TradeResult result;
        {
            FileSizeLimit limit(blockedAt);
            result = tradePlayers(context(), 2, {kA, kRb}, {kB, kWr});
        }
        EXPECT_EQ(result.status, kFailed);
        EXPECT_EQ(result.reason, TradeReason::kSaveFailed);
        EXPECT_NE(result.message.find(c.says), std::string::npos) << result.message;
        EXPECT_EQ(test::readBytes(fileOf(SeasonFile::Team, kYear)), before);
        EXPECT_EQ(ids(kA, 2), (Ids{kQb1, kRb}));
        EXPECT_EQ(ids(kB, 19), (Ids{kQb2, kWr}));
    }
}

// ------------------------------------------------------------ draft-day trades

class DraftTradeTest : public RostersTest {
  protected:
    TrackDraft* storePick(int franchise, int player, int round) {
        Owned<TrackDraft> record = context().draftQuery().create();
        record->setValue(kDraftLeague, 0);
        record->setValue(kDraftFranchise, franchise);
        record->setValue(kDraftPlayer, player);
        record->setValue(kDraftRound, round);
        record->setValue(kDraftPick, franchise);
        TrackDraft* raw = record.get();
        EXPECT_EQ(context().mapFactory().add(context().mapFactory().drafts(), record), kOk);
        return raw;
    }

    // The players of the franchise's picks, round by round, as the file holds them.
    Ids picked(int franchise) {
        EXPECT_EQ(context().draftQuery().reload(kYear), kOk);
        DraftList picks = context().draftQuery().franchisePicks(0, franchise);
        DraftQuery::sortByField(picks, kDraftRound, false);
        Ids players;
        for (const TrackDraft* pick : picks) {
            players.push_back(pick->getValue(kDraftPlayer));
        }
        return players;
    }

    static Ids idsOf(const PlyrList& players) {
        Ids found;
        for (const Player* p : players) {
            found.push_back(p->id());
        }
        return found;
    }
};

TEST_F(DraftTradeTest, DraftedPlayersComeByPositionLeavingPlannedAndUnknownPicksOut) {
    storePick(kA, kWr, 1);
    storePick(kA, kQb2, 2);
    storePick(kA, 0, 3);
    storePick(kA, 999, 4);
    storePick(kA, kRb, 5);
    storePick(kB, kQb1, 1);
    EXPECT_EQ(idsOf(draftedPlayers(context(), 0, kA)), (Ids{kQb2, kRb, kWr}));
    EXPECT_TRUE(draftedPlayers(context(), kOtherLeague, kA).empty());
}

TEST_F(DraftTradeTest, ATradeSwapsThePlayersAndEachFranchiseKeepsItsRound) {
    storePick(kA, kQb1, 1);
    storePick(kA, kRb, 2);
    storePick(kB, kTe, 1);
    storePick(kB, kWr, 2);
    TradeResult result = tradeDraftedPlayers(context(), 0, {kA, kRb}, {kB, kTe});
    ASSERT_EQ(result.status, kOk) << result.message;
    EXPECT_EQ(result.message,
              "[ Player 201 ] was traded to Franchise B\n\n[ Player 301 ] was traded to "
              "Franchise A");
    EXPECT_EQ(picked(kA), (Ids{kQb1, kTe}));
    EXPECT_EQ(picked(kB), (Ids{kRb, kWr}));
}

TEST_F(DraftTradeTest, ATradeTheDraftDoesNotAllowChangesNoPick) {
    storePick(kA, kQb1, 1);
    storePick(kB, kTe, 1);
    storePick(kC, kWr, 1);
    const TradeCase cases[] = {
        {"with itself", 0, {kA, kQb1}, {kA, kQb1}, TradeReason::kSameFranchise},
        {"an unknown franchise", 0, {kA, kQb1}, {9, kTe}, TradeReason::kUnknownFranchise},
        {"a franchise of another league", 0, {kA, kQb1}, {kC, kWr}, TradeReason::kUnknownFranchise},
        {"a player the franchise did not draft", 0, {kA, kTe}, {kB, kTe}, TradeReason::kNotDrafted},
        {"no player", 0, {kA, kQb1}, {kB, 0}, TradeReason::kNotDrafted},
    };
    for (const TradeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TradeResult result = tradeDraftedPlayers(context(), 0, c.one, c.two);
        EXPECT_EQ(result.reason, c.expected);
        EXPECT_EQ(result.status, kFailed);
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(picked(kA), (Ids{kQb1}));
        EXPECT_EQ(picked(kB), (Ids{kTe}));
    }
}

TEST_F(DraftTradeTest, ATradeWhoseSaveFailsLeavesBothPicksAsTheyWere) {
    storePick(kA, kQb1, 1);
    TrackDraft* second = storePick(kB, kTe, 1);
    TradeResult result;
    {
        FileSizeLimit limit(DBFile::kHeaderSize + second->slot() * kDraftRecordSize);
        result = tradeDraftedPlayers(context(), 0, {kA, kQb1}, {kB, kTe});
    }
    EXPECT_EQ(result.reason, TradeReason::kSaveFailed);
    EXPECT_NE(result.message.find("Nothing was traded."), std::string::npos) << result.message;
    EXPECT_EQ(picked(kA), (Ids{kQb1}));
    EXPECT_EQ(picked(kB), (Ids{kTe}));
}

}  // namespace
}  // namespace qff
