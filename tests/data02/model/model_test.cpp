#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data02/model/Divqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using test::putRaw;
using test::readBytes;
using test::recordFileBytes;
using test::SeasonFixture;
using test::slotBytes;
using test::writeBytes;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::EndsWith;
using ::testing::StartsWith;

constexpr int kYear = 2003;

std::size_t blockAt(int week, int offset) {
    return static_cast<std::size_t>(Player::kBlocksOffset + kStatBlockSize * week + offset);
}

std::vector<std::uint8_t> playerRecord(std::string_view name, int team, int position, int id) {
    std::vector<std::uint8_t> r(kPlayerRecordSize, 0);
    putRaw(r, 0, name);
    r[30] = static_cast<std::uint8_t>(team);
    r[31] = static_cast<std::uint8_t>(position);
    putI16(r, 32, id);
    return r;
}

// Every weekly roster of a franchise record cleared: ids -1, flags 0.
void clearRosters(std::vector<std::uint8_t>& r) {
    for (int week = 0; week < 20; ++week) {
        for (int place = 0; place < 32; ++place) {
            putI16(r, Team::kRostersOffset + 96 * week + 2 * place, -1);
        }
    }
}

class ModelTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        openSeasonPieces();
    }

    void openSeasonPieces() {
        context().pro().setSeason(kYear);
        ASSERT_EQ(context().seasonState().open(kYear), 0);
        context().preferences().set(kPrefOpenSeason, kYear);
    }

    Owned<Player> makePlayer(int id, int team, int position, std::string_view name) {
        return test::makePlayer(context(), id, team, position, name);
    }

    // A franchise added to the cache (and the franchise file) of the season.
    Team* addTeam(int id, std::string_view name) {
        Owned<Team> team =
            context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
        team->setValue(kFranchiseId, id);
        team->setValue(kFranchiseLeague, 0);
        team->setText(kFranchiseName, name);
        Team* raw = team.get();
        EXPECT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), 0);
        return raw;
    }
};

// ---------------------------------------------------------------- players

TEST_F(ModelTest, PlayerFieldsAreReadFromTheirOffsetsAndSavedBackUnchanged) {
    std::vector<std::uint8_t> wr = playerRecord("Hand Built", 5, kWR, 1234);
    putI16(wr, blockAt(0, 28), 300);
    wr[blockAt(0, 30)] = 12;
    wr[blockAt(0, 31)] = 45;
    wr[blockAt(19, 26)] = 7;
    wr[blockAt(3, 47)] = 2;
    putI16(wr, blockAt(7, 16), -9);
    std::vector<std::uint8_t> def = playerRecord("Dal DEF", -1, kDEF + kUnitOffset, 10065);
    putI16(def, blockAt(0, 4), -20);
    def[blockAt(0, 6)] = 35;
    def[blockAt(0, 18)] = 2;
    def[blockAt(0, 22)] = 27;
    std::vector<std::uint8_t> image =
        recordFileBytes(kYear, kPlayerRecordSize, {{0, wr}, {3, def}});
    writeBytes(fileOf(SeasonFile::Plyr, kYear), image);

    ASSERT_EQ(context().mapFactory().reloadPlayers(kYear), 0);
    ASSERT_EQ(context().mapFactory().players().size(), 2u);
    Player* player = context().playerQuery().findOne(1, 1234);
    Player* unit = context().playerQuery().findOne(1, 10065);
    ASSERT_TRUE(player && unit);
    EXPECT_EQ(player->slot(), 0);
    EXPECT_EQ(unit->slot(), 3);
    EXPECT_EQ(player->text(kPlayerName), "Hand Built");
    struct Case {
        Player* who;
        int code;
        int week;
        int value;
    };
    for (const Case& c :
         {Case{player, 1, 0, 1234}, Case{player, 3, 0, 5},     Case{player, 4, 0, 2},
          Case{player, 38, 0, 300}, Case{player, 39, 0, 12},   Case{player, 40, 0, 45},
          Case{player, 48, 0, 2},   Case{player, 37, 19, 7},   Case{player, 5, 3, 2},
          Case{player, 25, 7, -9},  Case{player, 25, 256, -9}, Case{player, 38, 256, 300},
          Case{unit, 1, 0, 10065},  Case{unit, 3, 0, -1},      Case{unit, 4, 0, 15},
          Case{unit, 76, 0, -20},   Case{unit, 78, 0, 35},     Case{unit, 72, 0, 2},
          Case{unit, 77, 0, 27},    Case{unit, 87, 0, 1}}) {
        EXPECT_EQ(c.who->getValue(c.code, c.week), c.value)
            << "id " << c.who->id() << " code " << c.code << " week " << c.week;
    }

    ASSERT_EQ(player->save(), 0);
    ASSERT_EQ(unit->save(), 0);
    EXPECT_EQ(readBytes(fileOf(SeasonFile::Plyr, kYear)), image);
}

TEST_F(ModelTest, PlayerValuesAreWrittenAtTheirRecordOffsets) {
    std::vector<std::uint8_t> wr = playerRecord("Hand Built Longer Name", 5, kWR, 1234);
    std::vector<std::uint8_t> image = recordFileBytes(kYear, kPlayerRecordSize, {{0, wr}});
    writeBytes(fileOf(SeasonFile::Plyr, kYear), image);
    ASSERT_EQ(context().mapFactory().reloadPlayers(kYear), 0);
    Player* player = context().playerQuery().findOne(1, 1234);
    ASSERT_TRUE(player);

    struct Case {
        int code;
        int week;
        int value;
        int offset;
        int size;
    };
    const Case cases[] = {
        {kPlayerId, 0, 4321, 32, 2},
        {kPlayerTeam, 0, 31, 30, 1},
        {kPlayerPosition, 0, kTE, 31, 1},
        {9, 0, 33, int(blockAt(0, 0)), 1},
        {12, 1, 345, int(blockAt(1, 4)), 2},
        {13, 2, 44, int(blockAt(2, 6)), 1},
        {38, 19, -1000, int(blockAt(19, 28)), 2},
        {50, 4, 3, int(blockAt(4, 38)), 1},
        {51, 4, 52, int(blockAt(4, 39)), 1},
        {5, 5, 4, int(blockAt(5, 47)), 1},
        {61, 10, 99, int(blockAt(10, 48)), 2},
        {62, 10, 80, int(blockAt(10, 50)), 1},
    };
    std::vector<std::uint8_t> expected = wr;
    for (const Case& c : cases) {
        ASSERT_EQ(player->setValue(c.code, c.value, c.week), 0) << c.code;
        if (c.size == 2) {
            putI16(expected, c.offset, c.value);
        } else {
            expected[c.offset] = static_cast<std::uint8_t>(c.value);
        }
    }
    ASSERT_EQ(player->setText(kPlayerName, "Renamed"), 0);
    std::fill(expected.begin(), expected.begin() + 30, 0);
    putRaw(expected, 0, "Renamed");

    ASSERT_EQ(player->save(), 0);
    std::vector<std::uint8_t> stored =
        slotBytes(readBytes(fileOf(SeasonFile::Plyr, kYear)), kPlayerRecordSize, 0);
    for (const Case& c : cases) {
        std::vector<std::uint8_t> want(expected.begin() + c.offset,
                                       expected.begin() + c.offset + c.size);
        std::vector<std::uint8_t> got(stored.begin() + c.offset,
                                      stored.begin() + c.offset + c.size);
        EXPECT_EQ(got, want) << "code " << c.code << " at " << c.offset;
    }
    EXPECT_EQ(stored, expected);
}

TEST_F(ModelTest, PlayerStatisticsAndDerivedCodes) {
    Owned<Player> wr = makePlayer(1234, 5, kWR, "Pat Example");
    // Week 0: fields of every group; some land on the bytes a DEF unit
    // would read as its own statistics.
    for (auto [code, value] : std::initializer_list<std::pair<int, int>>{
             {9, 3},   {10, 2},  {23, 1},  {11, 1},  {12, 45}, {13, 20}, {15, 7},
             {24, 4},  {36, 2},  {25, -5}, {26, 3},  {27, 9},  {30, 1},  {37, 6},
             {49, 3},  {38, 88}, {39, 12}, {40, 45}, {41, 60}, {50, 1},  {51, 30},
             {52, 44}, {5, 2},   {61, 40}, {62, 95}}) {
        ASSERT_EQ(wr->setValue(code, value, 0), 0) << code;
    }
    ASSERT_EQ(wr->setValue(12, 100, 7), 0);
    ASSERT_EQ(wr->setValue(13, 5, 7), 0);
    ASSERT_EQ(wr->setValue(38, 12, 19), 0);

    struct Case {
        int code;
        int week;
        int value;
    };
    for (const Case& c :
         {Case{13, 0, 20}, Case{14, 0, 0}, Case{15, 0, 7},
          // counts of non-zero slots, a gap included
          Case{22, 0, 2}, Case{35, 0, 3}, Case{48, 0, 3}, Case{60, 0, 2}, Case{71, 0, 1},
          Case{87, 0, 0},
          // combined codes
          Case{105, 0, 128}, Case{106, 0, 9}, Case{107, 0, 6},
          // never stored, defensive and beyond the table
          Case{21, 0, 0}, Case{34, 0, 0}, Case{47, 0, 0}, Case{59, 0, 0}, Case{70, 0, 0},
          Case{86, 0, 0}, Case{72, 0, 0}, Case{73, 0, 0}, Case{76, 0, 0}, Case{77, 0, 0},
          Case{78, 0, 0}, Case{110, 0, 0}, Case{126, 0, 0}, Case{127, 0, 0},
          // week of play and weeks outside the season
          Case{8, 0, 1}, Case{8, 19, 20}, Case{12, 20, 0}, Case{12, -1, 0}, Case{22, 20, 0},
          // all weeks
          Case{12, 256, 145}, Case{22, 256, 3}, Case{38, 256, 100}, Case{105, 256, 240},
          Case{106, 256, 10}, Case{5, 256, 2}, Case{1, 256, 1234}}) {
        EXPECT_EQ(wr->getValue(c.code, c.week), c.value) << "code " << c.code << " week " << c.week;
    }
}

TEST_F(ModelTest, DefenseAndSpecialTeamUnitsReadOnlyTheirOwnCodes) {
    Owned<Player> def = makePlayer(10065, 5, kDEF + kUnitOffset, "Dal DEF");
    for (auto [code, value] : std::initializer_list<std::pair<int, int>>{
             {76, 250}, {78, 10}, {79, 55}, {72, 2}, {73, 1}, {74, 4}, {75, 1}, {77, 21}, {5, 3}}) {
        ASSERT_EQ(def->setValue(code, value, 0), 0) << code;
    }
    Owned<Player> spe = makePlayer(10066, 5, kSPE + kUnitOffset, "Dal SPE");
    for (auto [code, value] :
         std::initializer_list<std::pair<int, int>>{{61, 120}, {62, 95}, {63, 60}, {5, 1}}) {
        ASSERT_EQ(spe->setValue(code, value, 0), 0) << code;
    }
    Owned<Player> qbUnit = makePlayer(10060, 5, kQB + kUnitOffset, "Dal QB");
    ASSERT_EQ(qbUnit->setValue(12, 300, 0), 0);
    ASSERT_EQ(qbUnit->setValue(13, 5, 0), 0);
    ASSERT_EQ(qbUnit->setValue(26, 2, 0), 0);

    struct Case {
        Player* who;
        int code;
        int value;
    };
    Player* d = def.get();
    Player* s = spe.get();
    Player* q = qbUnit.get();
    for (const Case& c :
         {Case{d, 76, 250}, Case{d, 78, 10}, Case{d, 79, 55}, Case{d, 80, 0}, Case{d, 87, 2},
          Case{d, 106, 2}, Case{d, 72, 2}, Case{d, 73, 1}, Case{d, 74, 4}, Case{d, 75, 1},
          Case{d, 77, 21}, Case{d, 5, 3},
          // the same bytes seen through codes of other layouts
          Case{d, 12, 0}, Case{d, 13, 0}, Case{d, 22, 0}, Case{d, 26, 0}, Case{d, 35, 0},
          Case{d, 61, 0}, Case{d, 71, 0}, Case{d, 105, 0}, Case{d, 107, 0}, Case{d, 9, 0},
          Case{s, 61, 120}, Case{s, 62, 95}, Case{s, 63, 60}, Case{s, 71, 2}, Case{s, 106, 2},
          Case{s, 5, 1}, Case{s, 12, 0}, Case{s, 13, 0}, Case{s, 22, 0}, Case{s, 76, 0},
          Case{s, 78, 0}, Case{s, 87, 0}, Case{s, 105, 0}, Case{s, 60, 0}, Case{q, 12, 300},
          Case{q, 22, 1}, Case{q, 35, 1}, Case{q, 106, 2}, Case{q, 105, 300}, Case{q, 76, 0},
          Case{q, 87, 0}}) {
        EXPECT_EQ(c.who->getValue(c.code, 0), c.value)
            << "position " << c.who->storedPosition() << " code " << c.code;
    }
    EXPECT_EQ(def->getValue(106, 256), 2);
    EXPECT_EQ(spe->getValue(106, 256), 2);
}

TEST_F(ModelTest, PlayerSetValueResults) {
    Owned<Player> wr = makePlayer(1234, 5, kWR, "Pat Example");
    Owned<Player> def = makePlayer(10065, 5, kDEF + kUnitOffset, "Dal DEF");
    struct Case {
        Player* who;
        int code;
        int week;
        int result;
    };
    Player* w = wr.get();
    Player* d = def.get();
    for (const Case& c :
         {Case{w, 12, 0, 0}, Case{w, 12, 19, 0}, Case{w, 12, 20, 2}, Case{w, 12, -1, 2},
          Case{w, 12, 256, 2}, Case{w, 72, 0, 101}, Case{w, 76, 0, 101}, Case{w, 22, 0, 101},
          Case{w, 105, 0, 101}, Case{w, 2, 0, 101}, Case{w, 21, 0, 101}, Case{d, 12, 0, 101},
          Case{d, 13, 0, 101}, Case{d, 76, 0, 0}, Case{d, 61, 0, 101}, Case{w, 999, 20, 2}}) {
        EXPECT_EQ(c.who->setValue(c.code, 1, c.week), c.result)
            << "position " << c.who->storedPosition() << " code " << c.code << " week " << c.week;
    }
    // Identity codes ignore the week.
    EXPECT_EQ(wr->setValue(kPlayerTeam, 7, 99), 0);
    EXPECT_EQ(wr->getValue(kPlayerTeam, 0), 7);
    EXPECT_EQ(wr->setValue(kPlayerId, 4321, -5), 0);
    EXPECT_EQ(wr->getValue(kPlayerId, 0), 4321);
    // Byte fields keep the low 8 bits and read back signed.
    EXPECT_EQ(wr->setValue(9, 300, 1), 0);
    EXPECT_EQ(wr->getValue(9, 1), 44);
    EXPECT_EQ(wr->setValue(11, 255, 1), 0);
    EXPECT_EQ(wr->getValue(11, 1), -1);
}

TEST_F(ModelTest, PlayerTextsAndTheWideReceiverTightEndMerge) {
    struct Case {
        int position;
        bool merge;
        int read;
        const char* shortName;
    };
    for (const Case& c :
         {Case{kTE, false, kTE, "TE"}, Case{kTE, true, kWR, "WR"}, Case{kWR, true, kWR, "WR"},
          Case{kRB, true, kRB, "RB"}, Case{kTE + kUnitOffset, true, kWR + kUnitOffset, "WR"},
          Case{kTE + kUnitOffset, false, kTE + kUnitOffset, "TE"},
          Case{kSPE + kUnitOffset, true, kSPE + kUnitOffset, "SPE"}}) {
        context().preferences().set(kPrefMergeWrTe, c.merge ? 1 : 0);
        Owned<Player> p = makePlayer(77, 5, c.position, "Pat Example");
        SCOPED_TRACE("position " + std::to_string(c.position) + " merge " +
                     std::to_string(c.merge));
        EXPECT_EQ(p->getValue(kPlayerPosition, 0), c.read);
        EXPECT_EQ(p->storedPosition(), c.position);
        EXPECT_STREQ(p->getText(kPlayerPosition), c.shortName);
        EXPECT_EQ(p->text(kPlayerComboTeamPos),
                  std::string("[Dal-") + c.shortName + "] Pat Example");
        EXPECT_EQ(p->text(kPlayerComboPos), std::string("[") + c.shortName + "] Pat Example");
    }
    context().preferences().set(kPrefMergeWrTe, 0);
    Owned<Player> p = makePlayer(77, 5, kTE, "Pat Example");
    EXPECT_STREQ(p->getText(kPlayerName), "Pat Example");
    EXPECT_STREQ(p->getText(kPlayerTeam), "Dal");
    for (int code : {1, 5, 8, 12, 105}) {
        EXPECT_STREQ(p->getText(code), "") << code;
    }
    ASSERT_EQ(p->setValue(kPlayerTeam, -1, 0), 0);
    EXPECT_EQ(p->text(kPlayerComboTeamPos), "[-TE] Pat Example");
}

TEST_F(ModelTest, PlayerSetTextParsesTeamsAndPositions) {
    Owned<Player> p = makePlayer(77, 5, kTE, "Pat Example");
    struct Case {
        int code;
        const char* text;
        int result;
        int value;  // read back through getValue, or -2 to skip
    };
    for (const Case& c :
         {Case{kPlayerTeam, "Dal", 0, 5}, Case{kPlayerTeam, "Dallas Cowboys", 0, 5},
          Case{kPlayerTeam, "dalc", 0, 5}, Case{kPlayerTeam, "Nowhere", 0, -1},
          Case{kPlayerPosition, "TE", 0, kTE}, Case{kPlayerPosition, "Tight End", 0, kTE},
          Case{kPlayerPosition, "", 0, 7}, Case{kPlayerPosition, "xx", 0, -1},
          Case{kPlayerId, "12", 100, -2}, Case{kPlayerBonus, "1", 100, -2},
          Case{kPlayerComboPos, "x", 100, -2}}) {
        EXPECT_EQ(p->setText(c.code, c.text), c.result) << c.code << " " << c.text;
        if (c.value != -2) {
            EXPECT_EQ(p->getValue(c.code, 0), c.value) << c.code << " " << c.text;
        }
    }
    EXPECT_EQ(p->setText(kPlayerName, std::string(35, 'x')), 0);
    EXPECT_EQ(p->text(kPlayerName), std::string(29, 'x'));
    EXPECT_EQ(p->setText(kPlayerName, ""), 0);
    EXPECT_EQ(p->text(kPlayerName), "");
}

// ------------------------------------------------------------- franchises

struct TextField {
    int code;
    int offset;
    int size;
    const char* text;
};

constexpr TextField kFranchiseTexts[] = {
    {kFranchiseName, 0, 41, "Gridiron Owls"},
    {kOwnerName, 41, 31, "Pat Owner"},
    {kOwnerAddress, 72, 41, "1 Main Street"},
    {kOwnerCity, 113, 21, "Springfield"},
    {kOwnerState, 134, 3, "OR"},
    {kOwnerZip, 137, 6, "97401"},
    {kOwnerHomePhone, 143, 21, "555-0100"},
    {kOwnerWorkPhone, 164, 21, "555-0199"},
    {kOwnerEmail, 2192, 128, "pat@example.org"},
};

TEST_F(ModelTest, FranchiseFieldsAreReadFromTheirOffsetsAndSavedBackUnchanged) {
    std::vector<std::uint8_t> r(kTeamRecordSize, 0);
    for (const TextField& f : kFranchiseTexts) {
        putRaw(r, f.offset, f.text);
    }
    putI16(r, 186, 7);
    putI16(r, 188, kNoDivision);
    putI16(r, 190, 3);
    clearRosters(r);
    putI16(r, 192, 101);
    putI16(r, 194, 102);
    r[192 + 64] = 1;
    putI16(r, 192 + 96 * 19, 103);
    r[192 + 96 * 19 + 64] = 5;
    putI32(r, 2112, -4);
    putI32(r, 2112 + 4 * 2, 10);
    putI32(r, 2112 + 4 * 19, 100000);
    std::vector<std::uint8_t> image = recordFileBytes(kYear, kTeamRecordSize, {{1, r}});
    writeBytes(fileOf(SeasonFile::Team, kYear), image);

    ASSERT_EQ(context().mapFactory().reloadFranchises(kYear), 0);
    Team* team = context().teamQuery().findOne(kFranchiseId, 7);
    ASSERT_TRUE(team);
    EXPECT_EQ(team->slot(), 1);
    for (const TextField& f : kFranchiseTexts) {
        EXPECT_EQ(team->text(f.code), f.text) << f.code;
    }
    EXPECT_EQ(team->text(kOwnerCityLine), "Springfield, OR  97401");
    EXPECT_EQ(team->getValue(kFranchiseDivision, 0), kNoDivision);
    EXPECT_EQ(team->getValue(kFranchiseLeague, 5), 3);
    EXPECT_EQ(team->getValue(kFranchiseBonus, 0), -4);
    EXPECT_EQ(team->getValue(kFranchiseBonus, 19), 100000);
    EXPECT_EQ(team->getValue(kFranchiseBonus, 20), 0);
    TeamRosterStruct roster;
    team->getRoster(0, roster);
    EXPECT_EQ(roster.count(), 2);
    EXPECT_EQ(roster.id(0), 101);
    EXPECT_EQ(roster.id(1), 102);
    EXPECT_TRUE(roster.active(0));
    EXPECT_FALSE(roster.active(1));
    team->getRoster(19, roster);
    EXPECT_EQ(roster.count(), 1);
    EXPECT_EQ(roster.flag(0), 5);
    EXPECT_TRUE(team->isOnRoster(0, 102));
    EXPECT_FALSE(team->isOnRoster(1, 102));
    EXPECT_TRUE(team->isOnRoster(19, 103));

    ASSERT_EQ(team->save(), 0);
    EXPECT_EQ(readBytes(fileOf(SeasonFile::Team, kYear)), image);
}

TEST_F(ModelTest, FranchiseBonusOfTheSeasonSumsTheWeeksUpToTheLastFlaggedOne) {
    ASSERT_EQ(context().mapFactory().reloadFranchises(kYear), 0);
    Team* team = addTeam(1, "Owls");
    for (int week = 0; week < 20; ++week) {
        ASSERT_EQ(team->setBonus(week, week + 1), 0);
    }
    EXPECT_EQ(team->setBonus(20, 5), kBadWeek);
    EXPECT_EQ(team->setBonus(-1, 5), kBadWeek);
    struct Case {
        std::vector<int> flagged;
        int sum;
    };
    for (const Case& c :
         {Case{{}, 0}, Case{{0}, 1}, Case{{2}, 1 + 2 + 3}, Case{{0, 4}, 15}, Case{{19}, 210}}) {
        for (int week = 0; week < 20; ++week) {
            context().seasonState().setWeekHasStats(week, 0);
        }
        for (int week : c.flagged) {
            context().seasonState().setWeekHasStats(week, 1);
        }
        EXPECT_EQ(team->getValue(kFranchiseBonus, 256), c.sum) << c.flagged.size();
    }
}

TEST_F(ModelTest, FranchiseSettersAcceptOnlyTheirCodes) {
    ASSERT_EQ(context().mapFactory().reloadFranchises(kYear), 0);
    Team* team = addTeam(1, "Owls");
    for (int code : {1999, 2003, 2004, 2013, 2022, 2116}) {
        EXPECT_EQ(team->setValue(code, 5), kUnknownIdStatus) << code;
    }
    for (int code : {2000, 2001, 2002, 2004, 2013, 2014, 2022}) {
        EXPECT_EQ(team->setText(code, "x"), kUnknownIdStatus) << code;
    }
    EXPECT_EQ(team->setText(kOwnerCity, "Springfield"), 0);
    EXPECT_EQ(team->setText(kOwnerCity, ""), 0);
    EXPECT_EQ(team->text(kOwnerCity), "");
    EXPECT_EQ(team->getValue(kFranchiseName, 0), 0);
    EXPECT_EQ(team->getValue(1999, 0), 0);
}

// ---------------------------------------------------- divisions, leagues

TEST_F(ModelTest, DivisionFieldsAreReadFromTheirOffsetsAndSavedBackUnchanged) {
    std::vector<std::uint8_t> r(kDivisionRecordSize, 0);
    putI16(r, 0, 4);
    putI16(r, 2, 2);
    putRaw(r, 4, "Northern Division");
    putRaw(r, 44, "NOR");
    for (int i = 0; i < 16; ++i) {
        putI16(r, 50 + 2 * i, i * 3 - 1);
    }
    std::vector<std::uint8_t> image = recordFileBytes(kYear, kDivisionRecordSize, {{0, r}});
    writeBytes(fileOf(SeasonFile::Div, kYear), image);

    ASSERT_EQ(context().mapFactory().reloadDivisions(kYear), 0);
    Division* division = context().divisionQuery().findOne(kDivisionId, 4);
    ASSERT_TRUE(division);
    EXPECT_EQ(division->getValue(kDivisionLeague), 2);
    EXPECT_EQ(division->text(kDivisionName), "Northern Division");
    EXPECT_EQ(division->text(kDivisionShortName), "NOR");
    EXPECT_EQ(division->getValue(kDivisionName), 0);
    EXPECT_STREQ(division->getText(kDivisionId), "");
    EXPECT_EQ(division->setValue(kDivisionName, 1), kUnknownIdStatus);
    EXPECT_EQ(division->setText(kDivisionId, "x"), kUnknownIdStatus);
    ASSERT_EQ(division->save(), 0);
    EXPECT_EQ(readBytes(fileOf(SeasonFile::Div, kYear)), image);

    ASSERT_EQ(division->setText(kDivisionName, ""), 0);
    ASSERT_EQ(division->save(), 0);
    std::vector<std::uint8_t> cleared = r;
    std::fill(cleared.begin() + 4, cleared.begin() + 44, 0);
    EXPECT_EQ(slotBytes(readBytes(fileOf(SeasonFile::Div, kYear)), kDivisionRecordSize, 0),
              cleared);
}

struct LeagueField {
    int code;
    int offset;
    int size;  // 0 for a text field of `textSize`
    int value;
    int textSize;
    const char* text;
};

constexpr LeagueField kLeagueFields[] = {
    {kLeagueId, 0, 2, 9, 0, nullptr},
    {kLeagueName, 2, 0, 0, 64, "Sunday League"},
    {kLeagueCommissioner, 66, 0, 0, 33, "Chris Commish"},
    {kLeaguePhone, 99, 0, 0, 20, "555-0142"},
    {kLeagueEmail, 119, 0, 0, 129, "chris@example.org"},
    {kLeagueHomePage, 248, 0, 0, 257, "home.html"},
    {kLeagueOwnerPage, 505, 0, 0, 257, "owners.html"},
    {kLeagueFlag, 762, 1, 1, 0, nullptr},
    {kLeagueFtpPassiveOff, 764, 2, 1, 0, nullptr},
    {kLeagueFtpPort, 766, 2, 2121, 0, nullptr},
    {kLeagueFtpUser, 768, 0, 0, 33, "ftpuser"},
    {kLeagueFtpPassword, 801, 0, 0, 33, "secret"},
    {kLeagueFtpLocation, 834, 0, 0, 257, "ftp.example.net/league"},
    {kLeagueFtpCgi, 1091, 0, 0, 257, "ftp.example.net/cgi"},
    {kLeagueFirewallType, 1348, 2, 2, 0, nullptr},
    {kLeagueFirewallPort, 1350, 2, 8080, 0, nullptr},
    {kLeagueFirewallHost, 1352, 0, 0, 257, "proxy.example.net"},
    {kLeagueFirewallUser, 1609, 0, 0, 33, "fwuser"},
    {kLeagueFirewallPassword, 1642, 0, 0, 33, "fwpass"},
    {kLeagueSeveralPicks, 1675, 1, 1, 0, nullptr},
    {kLeagueDraftRounds, 1676, 1, 20, 0, nullptr},
};

TEST_F(ModelTest, LeagueFieldsAreReadFromTheirOffsetsAndSavedBackUnchanged) {
    std::vector<std::uint8_t> r(kLeagueRecordSize, 0);
    for (const LeagueField& f : kLeagueFields) {
        if (f.text != nullptr) {
            putRaw(r, f.offset, f.text);
        } else if (f.size == 2) {
            putI16(r, f.offset, f.value);
        } else {
            r[f.offset] = static_cast<std::uint8_t>(f.value);
        }
    }
    std::vector<std::uint8_t> image = recordFileBytes(kYear, kLeagueRecordSize, {{0, r}});
    writeBytes(fileOf(SeasonFile::Leg, kYear), image);

    ASSERT_EQ(context().mapFactory().reloadLeagues(kYear), 0);
    ASSERT_EQ(context().mapFactory().leagues().size(), 1u);
    League* league = context().leagueQuery().findOne(kLeagueId, 9);
    ASSERT_TRUE(league);
    for (const LeagueField& f : kLeagueFields) {
        if (f.text != nullptr) {
            EXPECT_EQ(league->text(f.code), f.text) << f.code;
            EXPECT_EQ(league->getValue(f.code), 0) << f.code;
        } else {
            EXPECT_EQ(league->getValue(f.code), f.value) << f.code;
            EXPECT_STREQ(league->getText(f.code), "") << f.code;
        }
    }
    ASSERT_EQ(league->save(), 0);
    EXPECT_EQ(readBytes(fileOf(SeasonFile::Leg, kYear)), image);
}

TEST_F(ModelTest, MissingLeagueFileIsCreatedWithTheDefaultLeague) {
    ASSERT_FALSE(std::filesystem::exists(fileOf(SeasonFile::Leg, kYear)));
    ASSERT_EQ(context().mapFactory().reloadLeagues(kYear), 0);

    LeagueList all = context().leagueQuery().allLeagues();
    ASSERT_EQ(all.size(), 1u);
    const League* league = all.front();
    EXPECT_EQ(league->getValue(kLeagueId), 0);
    EXPECT_EQ(league->text(kLeagueName), "Default League");
    EXPECT_EQ(league->getValue(kLeagueFtpPort), 21);
    EXPECT_EQ(league->getValue(kLeagueFirewallPort), 1080);
    EXPECT_EQ(league->getValue(kLeagueDraftRounds), 16);
    for (int code : {kLeagueFlag, kLeagueSeveralPicks, kLeagueFtpPassiveOff, kLeagueFirewallType}) {
        EXPECT_EQ(league->getValue(code), 0) << code;
    }
    EXPECT_EQ(league->text(kLeagueCommissioner), "Enter Your Name Here");
    EXPECT_FALSE(league->text(kLeagueEmail).empty());
    EXPECT_THAT(league->text(kLeagueFtpLocation), StartsWith("ftp."));
    EXPECT_THAT(league->text(kLeagueFtpLocation), EndsWith("/NameOfLeague"));
    EXPECT_THAT(league->text(kLeagueFtpCgi), StartsWith("ftp."));
    EXPECT_THAT(league->text(kLeagueFtpCgi), EndsWith("/cgi-bin"));

    std::vector<std::uint8_t> file = readBytes(fileOf(SeasonFile::Leg, kYear));
    ASSERT_EQ(file.size(), std::size_t(DBFile::kHeaderSize + kLeagueRecordSize));
    EXPECT_EQ(getI32(file, DBFile::kYearOffset), kYear);
    EXPECT_EQ(getI32(file, DBFile::kRecordSizeOffset), kLeagueRecordSize);
    EXPECT_EQ(
        std::count(file.begin() + DBFile::kSlotMapOffset, file.begin() + DBFile::kHeaderSize, 1),
        1);
    std::vector<std::uint8_t> record = slotBytes(file, kLeagueRecordSize, 0);
    EXPECT_EQ(record[763], 0);
    EXPECT_TRUE(std::all_of(record.begin() + 1677, record.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(getI16(record, 766), 21);
    EXPECT_EQ(getI16(record, 1350), 1080);
    EXPECT_EQ(record[1676], 16);
}

TEST_F(ModelTest, LeagueSettersNormaliseFlagsAndDraftRounds) {
    ASSERT_EQ(context().mapFactory().reloadLeagues(kYear), 0);
    League* league = context().leagueQuery().findOne(kLeagueId, 0);
    ASSERT_TRUE(league);
    struct Case {
        int code;
        int value;
        int stored;
    };
    for (const Case& c : {Case{kLeagueDraftRounds, 0, 1}, Case{kLeagueDraftRounds, 40, 1},
                          Case{kLeagueDraftRounds, 33, 1}, Case{kLeagueDraftRounds, -3, 1},
                          Case{kLeagueDraftRounds, 1, 1}, Case{kLeagueDraftRounds, 32, 32},
                          Case{kLeagueDraftRounds, 17, 17}, Case{kLeagueFlag, 5, 1},
                          Case{kLeagueFlag, -1, 1}, Case{kLeagueFlag, 0, 0},
                          Case{kLeagueSeveralPicks, 200, 1}, Case{kLeagueSeveralPicks, 0, 0},
                          Case{kLeagueFtpPort, 990, 990}, Case{kLeagueFirewallPort, 3128, 3128},
                          Case{kLeagueFtpPassiveOff, 1, 1}, Case{kLeagueFirewallType, 3, 3}}) {
        EXPECT_EQ(league->setValue(c.code, c.value), 0) << c.code << " " << c.value;
        EXPECT_EQ(league->getValue(c.code), c.stored) << c.code << " " << c.value;
    }
    for (int code : {11999, int(kLeagueName), int(kLeagueFtpUser), 12021}) {
        EXPECT_EQ(league->setValue(code, 1), kUnknownIdStatus) << code;
    }
    for (int code : {11999, int(kLeagueId), int(kLeagueDraftRounds), 12021}) {
        EXPECT_EQ(league->setText(code, "x"), kUnknownIdStatus) << code;
    }
    EXPECT_EQ(league->setText(kLeaguePhone, ""), 0);
    EXPECT_EQ(league->text(kLeaguePhone), "");
}

TEST_F(ModelTest, TextsWithoutTheirZeroAreReadUpToTheFieldSize) {
    std::vector<std::uint8_t> player = playerRecord(std::string(30, 'P'), 5, kWR, 1);
    writeBytes(fileOf(SeasonFile::Plyr, kYear),
               recordFileBytes(kYear, kPlayerRecordSize, {{0, player}}));
    std::vector<std::uint8_t> team(kTeamRecordSize, 0);
    clearRosters(team);
    putRaw(team, 0, std::string(41, 'N'));
    putRaw(team, 41, "Owner");
    putRaw(team, 134, "ORX");
    putRaw(team, 137, "97401");
    putI16(team, 186, 1);
    writeBytes(fileOf(SeasonFile::Team, kYear),
               recordFileBytes(kYear, kTeamRecordSize, {{0, team}}));
    std::vector<std::uint8_t> division(kDivisionRecordSize, 0xFF);
    putI16(division, 0, 1);
    putRaw(division, 4, std::string(40, 'D'));
    putRaw(division, 44, std::string(6, 'S'));
    writeBytes(fileOf(SeasonFile::Div, kYear),
               recordFileBytes(kYear, kDivisionRecordSize, {{0, division}}));
    std::vector<std::uint8_t> league(kLeagueRecordSize, 0);
    putRaw(league, 2, std::string(64, 'L'));
    putRaw(league, 66, "Commish");
    writeBytes(fileOf(SeasonFile::Leg, kYear),
               recordFileBytes(kYear, kLeagueRecordSize, {{0, league}}));

    MapFactory& caches = context().mapFactory();
    ASSERT_EQ(caches.reloadPlayers(kYear), 0);
    ASSERT_EQ(caches.reloadFranchises(kYear), 0);
    ASSERT_EQ(caches.reloadDivisions(kYear), 0);
    ASSERT_EQ(caches.reloadLeagues(kYear), 0);
    const Player* p = caches.players().list().at(0);
    EXPECT_EQ(p->text(kPlayerName), std::string(30, 'P'));
    EXPECT_EQ(p->getValue(kPlayerTeam, 0), 5);
    const Team* t = caches.franchises().list().at(0);
    EXPECT_EQ(t->text(kFranchiseName), std::string(41, 'N'));
    EXPECT_EQ(t->text(kOwnerState), "ORX");
    EXPECT_EQ(t->text(kOwnerZip), "97401");
    const Division* d = caches.divisions().list().at(0);
    EXPECT_EQ(d->text(kDivisionName), std::string(40, 'D'));
    EXPECT_EQ(d->text(kDivisionShortName), std::string(6, 'S'));
    const League* l = caches.leagues().list().at(0);
    EXPECT_EQ(l->text(kLeagueName), std::string(64, 'L'));
    EXPECT_EQ(l->text(kLeagueCommissioner), "Commish");

    // What is written back is always a terminated text.
    ASSERT_EQ(caches.players().list().at(0)->save(), 0);
    std::vector<std::uint8_t> saved =
        slotBytes(readBytes(fileOf(SeasonFile::Plyr, kYear)), kPlayerRecordSize, 0);
    EXPECT_EQ(saved[29], 0);
    EXPECT_EQ(saved[30], 5);
}

// ---------------------------------------------------------------- rosters

TeamRosterStruct rosterOf(std::initializer_list<std::pair<int, int>> entries) {
    TeamRosterStruct roster;
    int place = 0;
    for (auto [id, flag] : entries) {
        roster.setId(place, id);
        roster.setFlag(place, flag);
        ++place;
    }
    return roster;
}

TEST(RosterTest, AFullRosterRefusesAThirtyThirdPlayer) {
    TeamRosterStruct roster;
    for (int id = 1; id <= 32; ++id) {
        ASSERT_TRUE(addToRoster(roster, id)) << id;
    }
    EXPECT_EQ(roster.count(), 32);
    TeamRosterStruct before = roster;
    EXPECT_FALSE(addToRoster(roster, 33));
    EXPECT_EQ(roster.bytes, before.bytes);
}

TEST(RosterTest, RemovingTheFifthOfTenKeepsTheOthersPackedWithTheirFlags) {
    TeamRosterStruct roster = rosterOf(
        {{11, 1}, {12, 0}, {13, 2}, {14, 0}, {15, 1}, {16, 3}, {17, 0}, {18, 1}, {19, 0}, {20, 7}});
    ASSERT_TRUE(removeFromRoster(roster, 15));
    EXPECT_EQ(roster.count(), 9);
    const int ids[] = {11, 12, 13, 14, 16, 17, 18, 19, 20};
    const int flags[] = {1, 0, 2, 0, 3, 0, 1, 0, 7};
    for (int place = 0; place < 9; ++place) {
        EXPECT_EQ(roster.id(place), ids[place]) << place;
        EXPECT_EQ(roster.flag(place), flags[place]) << place;
    }
    for (int place = 9; place < 32; ++place) {
        EXPECT_EQ(roster.id(place), -1) << place;
        EXPECT_EQ(roster.flag(place), 0) << place;
    }
}

TEST(RosterTest, RemovingFromAFullRosterFreesTheLastPlace) {
    TeamRosterStruct roster;
    for (int id = 1; id <= 32; ++id) {
        addToRoster(roster, id);
        roster.setFlag(id - 1, id % 2);
    }
    ASSERT_TRUE(removeFromRoster(roster, 1));
    EXPECT_EQ(roster.count(), 31);
    EXPECT_EQ(roster.id(0), 2);
    EXPECT_EQ(roster.flag(0), 0);
    EXPECT_EQ(roster.id(30), 32);
    EXPECT_EQ(roster.flag(30), 0);
    EXPECT_EQ(roster.id(31), -1);
    EXPECT_TRUE(addToRoster(roster, 99));
}

TEST(RosterTest, AbsentPlayersAndEmptyRostersAreLeftAlone) {
    TeamRosterStruct roster = rosterOf({{11, 1}, {12, 0}});
    TeamRosterStruct before = roster;
    EXPECT_FALSE(removeFromRoster(roster, 13));
    EXPECT_EQ(roster.bytes, before.bytes);
    TeamRosterStruct empty;
    TeamRosterStruct emptyBefore = empty;
    EXPECT_FALSE(removeFromRoster(empty, 11));
    EXPECT_EQ(empty.bytes, emptyBefore.bytes);
}

TEST(RosterTest, ANewPlayerStartsOnTheBench) {
    TeamRosterStruct roster = rosterOf({{11, 1}, {12, 1}});
    roster.setFlag(2, 9);  // a stale flag behind the last entry
    ASSERT_TRUE(addToRoster(roster, 13));
    EXPECT_EQ(roster.count(), 3);
    EXPECT_EQ(roster.id(2), 13);
    EXPECT_EQ(roster.flag(2), 0);
    EXPECT_FALSE(roster.active(2));
    EXPECT_TRUE(roster.active(0));
}

TEST_F(ModelTest, SetRosterPacksTheGivenEntries) {
    ASSERT_EQ(context().mapFactory().reloadFranchises(kYear), 0);
    Team* team = addTeam(1, "Owls");
    TeamRosterStruct gappy;
    gappy.setId(2, 21);
    gappy.setFlag(2, 1);
    gappy.setId(5, 22);
    gappy.setId(31, 23);
    gappy.setFlag(31, 4);
    team->setRoster(6, gappy);
    TeamRosterStruct stored;
    team->getRoster(6, stored);
    EXPECT_EQ(stored.bytes, rosterOf({{21, 1}, {22, 0}, {23, 4}}).bytes);
    // Weeks outside the season are ignored.
    team->setRoster(20, gappy);
    TeamRosterStruct untouched = rosterOf({{1, 1}});
    team->getRoster(20, untouched);
    EXPECT_EQ(untouched.bytes, rosterOf({{1, 1}}).bytes);
}

struct ForwardCopyCase {
    const char* curYear;
    bool flaggedWeeksKeepTheirRoster;
};

class ForwardCopyTest : public ModelTest, public ::testing::WithParamInterface<ForwardCopyCase> {};

TEST_P(ForwardCopyTest, LaterWeeksTakeTheSavedRoster) {
    start(GetParam().curYear);
    openSeasonPieces();
    ASSERT_EQ(context().mapFactory().reloadFranchises(kYear), 0);
    Team* team = addTeam(1, "Owls");
    addTeam(2, "Hawks");
    TeamRosterStruct before = rosterOf({{101, 1}, {102, 0}});
    for (int week = 0; week < 20; ++week) {
        team->setRoster(week, before);
    }
    for (int week : {2, 5, 7}) {
        ASSERT_EQ(context().seasonState().setWeekHasStats(week, 1), 0);
    }
    Cache& cache = context().cache();
    for (int week : {0, 3, 9, 256}) {
        cache.store(Cache::Set::Franchise, {kYear, 1, week, 0, 2024}, 10 + week);
        cache.store(Cache::Set::Franchise, {kYear, 2, week, 0, 2024}, 20 + week);
    }

    TeamRosterStruct after = rosterOf({{201, 1}, {202, 1}, {203, 0}});
    ASSERT_EQ(team->saveRoster(after, 3), 0);

    auto expectWeeks = [&](const Team* t) {
        for (int week = 0; week < 20; ++week) {
            bool keeps =
                week < 3 || (GetParam().flaggedWeeksKeepTheirRoster && (week == 5 || week == 7));
            TeamRosterStruct roster;
            t->getRoster(week, roster);
            EXPECT_EQ(roster.bytes, (keeps ? before : after).bytes) << "week " << week;
        }
    };
    expectWeeks(team);
    // Every entry of the franchise is dropped, the other franchise's stay.
    for (int week : {0, 3, 9, 256}) {
        EXPECT_FALSE(cache.find(Cache::Set::Franchise, {kYear, 1, week, 0, 2024})) << week;
        EXPECT_EQ(cache.find(Cache::Set::Franchise, {kYear, 2, week, 0, 2024}), 20 + week) << week;
    }
    // The changed rosters reached the file.
    ASSERT_EQ(context().mapFactory().reloadFranchises(kYear), 0);
    Team* reloaded = context().teamQuery().findOne(kFranchiseId, 1);
    ASSERT_TRUE(reloaded);
    expectWeeks(reloaded);
}

INSTANTIATE_TEST_SUITE_P(Seasons, ForwardCopyTest,
                         ::testing::Values(ForwardCopyCase{"2003\n", true},
                                           ForwardCopyCase{"2011\n", false},
                                           ForwardCopyCase{"2002\n", false}),
                         [](const auto& info) {
                             return std::string("Calendar") +
                                    std::string(info.param.curYear).substr(0, 4);
                         });

}  // namespace
}  // namespace qff
