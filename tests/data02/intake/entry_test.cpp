#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data02/intake/Statentry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/scoring/Results.h"
#include "data02/season/Opening.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Db_file.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using ::testing::ElementsAre;

constexpr int kYear = 2003;
constexpr int kWeek = 2;
constexpr int kAtlanta = 0;
constexpr int kBuffalo = 1;
constexpr int kQbUnit = 10010;
constexpr int kWrUnit = 10012;
constexpr int kDefenseUnit = 10015;
constexpr int kSpecialUnit = 10016;

constexpr int kPasser = 100;
constexpr int kReceiver = 200;
constexpr int kOtherReceiver = 201;
constexpr int kVisitor = 300;

// A 2003 season with its team units and, in week 3, two Atlanta receivers
// whose receiving the Atlanta WR unit sums.
class EntryTest : public test::SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
        test::addPlayer(context(), kPasser, kAtlanta, kQB, "Joe Passer");
        test::addPlayer(context(), kReceiver, kAtlanta, kWR, "Wide One");
        test::addPlayer(context(), kOtherReceiver, kAtlanta, kWR, "Wide Two");
        test::addPlayer(context(), kVisitor, kBuffalo, kWR, "Bills Receiver");
        enter(kReceiver, {{37, 4}, {38, 50}, {39, 12}});
        enter(kOtherReceiver, {{37, 2}, {38, 20}, {39, 5}});
    }

    void reopen() { ASSERT_TRUE(openSeason(context(), kYear).opened); }

    void enter(int id, const StatValues& values) {
        EntryResult result = enterPlayerWeek(context(), id, kWeek, values);
        ASSERT_TRUE(result.ok()) << result.message;
    }

    Player* player(int id) { return context().mapFactory().players().findFirst(kPlayerId, id); }
    int value(int id, int code) { return player(id)->getValue(code, kWeek); }
    std::vector<int> slots(int id, int firstCode) {
        std::vector<int> lengths;
        for (int code = firstCode; code < firstCode + 8; ++code) {
            lengths.push_back(value(id, code));
        }
        return lengths;
    }
    std::vector<std::uint8_t> playerFile() {
        return test::readBytes(fileOf(SeasonFile::Plyr, kYear));
    }
};

TEST_F(EntryTest, ChangingAReceiversWeekMovesHisUnitsTotalsWithIt) {
    ASSERT_EQ(value(kWrUnit, 38), 70);
    ASSERT_THAT(slots(kWrUnit, 39), ElementsAre(12, 5, 0, 0, 0, 0, 0, 0));

    enter(kReceiver, {{38, 80}, {39, 40}});
    reopen();

    EXPECT_EQ(value(kReceiver, 38), 80);
    EXPECT_EQ(value(kReceiver, 39), 40);
    EXPECT_EQ(value(kWrUnit, 38), 100);
    EXPECT_EQ(value(kWrUnit, 37), 6);
    EXPECT_THAT(slots(kWrUnit, 39), ElementsAre(5, 40, 0, 0, 0, 0, 0, 0));
}

TEST_F(EntryTest, LengthsArePackedFromTheFirstSlotAndARemovedOneLeavesTheUnit) {
    enter(kReceiver, {{40, 33}, {42, 7}});
    EXPECT_THAT(slots(kReceiver, 39), ElementsAre(12, 33, 7, 0, 0, 0, 0, 0));
    enter(kReceiver, {{39, 0}});
    EXPECT_THAT(slots(kReceiver, 39), ElementsAre(33, 7, 0, 0, 0, 0, 0, 0));
    EXPECT_THAT(slots(kWrUnit, 39), ElementsAre(5, 33, 7, 0, 0, 0, 0, 0));
    EXPECT_EQ(value(kReceiver, kReceivedTdCount), 2);
}

TEST_F(EntryTest, TeamDefenseAndSpecialTeamsKeepTheirOwnFieldsAndNoOtherUnitMoves) {
    enter(kDefenseUnit, {{72, 2}, {76, 310}, {77, 17}, {78, 45}, {kPlayerBonus, 3}});
    enter(kSpecialUnit, {{61, 140}, {62, 90}});
    reopen();

    EXPECT_EQ(value(kDefenseUnit, 72), 2);
    EXPECT_EQ(value(kDefenseUnit, 76), 310);
    EXPECT_EQ(value(kDefenseUnit, 77), 17);
    EXPECT_EQ(value(kDefenseUnit, 78), 45);
    EXPECT_EQ(value(kDefenseUnit, kPlayerBonus), 3);
    EXPECT_EQ(value(kSpecialUnit, 61), 140);
    EXPECT_EQ(value(kSpecialUnit, kSpecialTdCount), 1);
    EXPECT_EQ(value(kWrUnit, 38), 70);
}

TEST_F(EntryTest, BonusPointsStayWithThePlayer) {
    enter(kReceiver, {{kPlayerBonus, -4}});
    EXPECT_EQ(value(kReceiver, kPlayerBonus), -4);
    EXPECT_EQ(value(kWrUnit, kPlayerBonus), 0);
}

TEST_F(EntryTest, BonusPointsCountOnlyInAWeekThatCounts) {
    // Atlanta played once its QB unit has passing yards in the week.
    enter(kPasser, {{12, 250}});
    ASSERT_EQ(value(kQbUnit, 12), 250);
    int before = player(kReceiver)->getPoints(kTotalPoints, kWeek);
    enter(kReceiver, {{kPlayerBonus, 7}});
    EXPECT_EQ(player(kReceiver)->getPoints(kTotalPoints, kWeek), before);

    ASSERT_EQ(closeWeek(context(), kWeek), kOk);
    int counted = player(kReceiver)->getPoints(kTotalPoints, kWeek);
    enter(kReceiver, {{kPlayerBonus, 10}});
    EXPECT_EQ(player(kReceiver)->getPoints(kTotalPoints, kWeek), counted + 3);
}

TEST_F(EntryTest, EnteringTheWeekAsItIsWritesNothing) {
    StatValues stored;
    ASSERT_TRUE(readPlayerWeek(context(), kReceiver, kWeek, stored).ok());
    auto before = playerFile();
    {
        test::FileSizeLimit noWrites(0);
        EXPECT_TRUE(enterPlayerWeek(context(), kReceiver, kWeek, stored).ok());
    }
    EXPECT_EQ(playerFile(), before);
    EXPECT_EQ(value(kWrUnit, 38), 70);
}

struct Refusal {
    const char* name;
    int id;
    int week;
    StatValues values;
    int status;
    int code;
    const char* message;
};

const Refusal kRefusals[] = {
    {"a defensive code for a receiver",
     kReceiver,
     kWeek,
     {{38, 60}, {72, 1}},
     kBadValue,
     72,
     "Code 72 is not among the statistics entered for [Atl-WR] Wide One."},
    {"a negative count",
     kReceiver,
     kWeek,
     {{37, -1}},
     kBadValue,
     37,
     "Catches must lie between 0 and 127."},
    {"a count past its byte",
     kReceiver,
     kWeek,
     {{37, 128}},
     kBadValue,
     37,
     "Catches must lie between 0 and 127."},
    {"a length past its byte",
     kReceiver,
     kWeek,
     {{40, 130}},
     kBadValue,
     40,
     "Receiving touchdown 2 must lie between 0 and 127 yards (0 for none)."},
    {"yards past their word",
     kReceiver,
     kWeek,
     {{38, 40000}},
     kBadValue,
     38,
     "Receiving yards must lie between -32768 and 32767."},
    {"a bonus past its byte",
     kReceiver,
     kWeek,
     {{kPlayerBonus, 200}},
     kBadValue,
     kPlayerBonus,
     "Bonus points must lie between -128 and 127."},
    {"a unit sum past its word",
     kReceiver,
     kWeek,
     {{38, 32760}},
     kBadValue,
     38,
     "Atlanta Falcons WR would hold 32780 receiving yards in week 3, beyond what its record "
     "keeps; nothing was stored."},
    {"a unit sum past its byte",
     kReceiver,
     kWeek,
     {{37, 127}},
     kBadValue,
     37,
     "Atlanta Falcons WR would hold 129 catches in week 3, beyond what its record keeps; "
     "nothing was stored."},
    {"a ninth length for the unit",
     kReceiver,
     kWeek,
     {{40, 1}, {41, 2}, {42, 3}, {43, 4}, {44, 5}, {45, 6}, {46, 7}},
     kBadValue,
     39,
     "Atlanta Falcons WR has room for 7 more receiving touchdowns in week 3, not 8; nothing was "
     "stored."},
    {"a team unit that sums its players",
     kWrUnit,
     kWeek,
     {{38, 10}},
     kBadValue,
     0,
     "Atlanta Falcons WR is a team unit that carries the sums of its players; enter the "
     "statistics of the players instead."},
    {"a week past the season",
     kReceiver,
     17,
     {{38, 10}},
     kBadWeek,
     0,
     "Statistics are entered for weeks 1 to 17 of the season."},
    {"an unknown player", 4242, kWeek, {{38, 10}}, kFailed, 0, "No player has the id 4242."},
};

TEST_F(EntryTest, RefusedEntriesSayWhyAndChangeNothing) {
    for (const Refusal& r : kRefusals) {
        SCOPED_TRACE(r.name);
        auto before = playerFile();
        EntryResult result = enterPlayerWeek(context(), r.id, r.week, r.values);
        EXPECT_EQ(result.status, r.status);
        EXPECT_EQ(result.code, r.code);
        EXPECT_EQ(result.message, r.message);
        EXPECT_EQ(playerFile(), before);
        EXPECT_EQ(value(kReceiver, 38), 50);
        EXPECT_EQ(value(kReceiver, 37), 4);
        EXPECT_THAT(slots(kReceiver, 39), ElementsAre(12, 0, 0, 0, 0, 0, 0, 0));
        EXPECT_EQ(value(kWrUnit, 38), 70);
        EXPECT_EQ(value(kWrUnit, 37), 6);
        EXPECT_THAT(slots(kWrUnit, 39), ElementsAre(12, 5, 0, 0, 0, 0, 0, 0));
    }
}

TEST_F(EntryTest, AFailedWriteLeavesFileAndPlayersAsTheyWere) {
    auto before = playerFile();
    EntryResult result;
    {
        test::FileSizeLimit limit(DBFile::kHeaderSize);
        result = enterPlayerWeek(context(), kReceiver, kWeek, {{38, 80}, {39, 40}});
    }
    EXPECT_EQ(result.status, kFailed);
    EXPECT_THAT(result.message,
                ::testing::StartsWith("The statistics of [Atl-WR] Wide One could not be saved"));
    EXPECT_THAT(result.message, ::testing::EndsWith(". Nothing was changed."));
    EXPECT_EQ(playerFile(), before);
    EXPECT_EQ(value(kReceiver, 38), 50);
    EXPECT_EQ(value(kWrUnit, 38), 70);
    EXPECT_THAT(slots(kWrUnit, 39), ElementsAre(12, 5, 0, 0, 0, 0, 0, 0));
}

TEST_F(EntryTest, ReadingAWeekGivesEveryFieldOfThePosition) {
    StatValues values;
    ASSERT_TRUE(readPlayerWeek(context(), kReceiver, kWeek, values).ok());
    EXPECT_EQ(values.size(), 54u);
    EXPECT_EQ(values.at(38), 50);
    EXPECT_EQ(values.at(39), 12);
    ASSERT_TRUE(readPlayerWeek(context(), kDefenseUnit, kWeek, values).ok());
    EXPECT_EQ(values.size(), 15u);
    ASSERT_TRUE(readPlayerWeek(context(), kSpecialUnit, kWeek, values).ok());
    EXPECT_EQ(values.size(), 10u);
    EXPECT_EQ(readPlayerWeek(context(), kQbUnit, kWeek, values).status, kBadValue);
    EXPECT_TRUE(values.empty());
}

TEST_F(EntryTest, ATeamListsItsPlayersAndItsDefenseAndSpecialTeamsByPosition) {
    std::vector<int> ids;
    for (const Player* listed : entryPlayers(context(), kAtlanta)) {
        ids.push_back(listed->id());
    }
    EXPECT_THAT(ids, ElementsAre(kPasser, kReceiver, kOtherReceiver, kDefenseUnit, kSpecialUnit));
}

TEST_F(EntryTest, TheTeamAndPlayerShownLastAreRemembered) {
    EXPECT_EQ(rememberedEntryChoice(context()).nflTeam, -1);
    ASSERT_TRUE(rememberEntryChoice(context(), {kBuffalo, kVisitor}).ok());
    start();
    reopen();
    EntryChoice choice = rememberedEntryChoice(context());
    EXPECT_EQ(choice.nflTeam, kBuffalo);
    EXPECT_EQ(choice.playerId, kVisitor);
}

}  // namespace
}  // namespace qff
