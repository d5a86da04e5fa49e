#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "data02/model/Pro.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Statblock.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

using Image = std::vector<std::uint8_t>;

struct Setting {
    int code;
    int value;
};

// Entries from..to of a table get `points`.
struct Fill {
    int table;
    int from;
    int to;
    int points;
};

Image defaultImage(int league = 0) {
    Image image(kScoreRecordSize);
    fillDefaultScoring(image, league);
    return image;
}

void fillTable(Image& image, const Fill& fill) {
    int size = tableSize(scoreField(fill.table)->kind);
    std::vector<std::int32_t> table(size);
    ASSERT_EQ(readScoreTable(image, fill.table, table), kOk);
    std::fill(table.begin() + fill.from, table.begin() + fill.to + 1, fill.points);
    ASSERT_EQ(writeScoreTable(image, fill.table, table), kOk);
}

Image imageWith(const std::vector<Setting>& settings, const std::vector<Fill>& fills = {}) {
    Image image = defaultImage();
    for (const Setting& s : settings) {
        EXPECT_EQ(setScoreItem(image, s.code, s.value), kOk) << s.code;
    }
    for (const Fill& f : fills) {
        fillTable(image, f);
    }
    return image;
}

// Twenty weekly blocks of one player, filled code by code.
class Weeks {
  public:
    Weeks& set(int week, int position, int code, int value) {
        EXPECT_EQ(setBlockValue(block(week), position, code, value), 0) << code;
        return *this;
    }
    ByteSpan block(int week) {
        return ByteSpan(bytes_).subspan(week * kStatBlockSize, kStatBlockSize);
    }
    PlayerWeekView view(int id, int position, int team) const {
        return PlayerWeekView{id, position, team, bytes_};
    }

  private:
    Image bytes_ = Image(kWeekSlots * kStatBlockSize);
};

// A season whose weeks, flags, team passing and byes a test sets freely.
struct FakeSeason {
    int weeks = 17;
    std::set<int> flagged;
    std::map<std::pair<int, int>, int> passYards;  // (team, week) -> QB unit yards
    std::set<std::pair<int, int>> off;             // (team, week)

    NflWeeks nfl() const {
        return NflWeeks{[this](int team, int week) {
                            auto it = passYards.find({team, week});
                            return it == passYards.end() ? 0 : it->second;
                        },
                        [this](int team, int week) {
                            return off.count({team, week}) > 0;
                        }};
    }
    SeasonFacts facts() const {
        return SeasonFacts{weeks, [this](int week) { return flagged.count(week) > 0; }, nfl()};
    }
    void play(int team, int week, int yards) {
        flagged.insert(week);
        passYards[{team, week}] = yards;
    }
};

// --- Record layout and item access -------------------------------------------------

TEST(ScoreRecordTest, DefaultsSitAtTheirOffsets) {
    struct Case {
        int offset;
        int width;
        int value;
    };
    Image image = defaultImage(321);
    for (const Case& c : {
             Case{0, 2, 0},
             Case{4, 2, -1},
             Case{6, 2, 2},
             Case{8, 1, 3},
             Case{10, 2, 0},
             Case{10 + 2 * 9, 2, 3},
             Case{10 + 2 * 10, 2, 4},
             Case{10 + 2 * 100, 2, 10},
             Case{212, 1, 0},
             Case{214 + 2 * 749, 2, 0},
             Case{1722, 2, 5},
             Case{1726, 2, 2},
             Case{1728, 1, 3},
             Case{1730 + 2 * 2, 2, 5},
             Case{1730 + 2 * 3, 2, 7},
             Case{3442, 2, 5},
             Case{3446, 2, 2},
             Case{3448, 1, 3},
             Case{3450 + 2 * 60, 2, 15},
             Case{5162, 2, 5},
             Case{5164, 2, 1},
             Case{5166, 1, 3},
             Case{5168 + 2 * 28, 2, 2},
             Case{5168 + 2 * 29, 2, 3},
             Case{5168 + 2 * 51, 2, 13},
             Case{5374, 1, 1},
             Case{5376, 2, 0},
             Case{5376 + 2, 2, 6},
             Case{5376 + 200, 2, 6},
             Case{7088, 2, 1},
             Case{7090, 2, 1},
             Case{7092, 2, 1},
             Case{7094, 2, 2},
             Case{7096, 1, 0},
             Case{8598, 1, 0},
             Case{8600, 2, 0},
             Case{8802, 1, 1},
             Case{8804, 2, 0},
             Case{8804 + 2, 2, 6},
             Case{8804 + 200, 2, 6},
             Case{9006, 2, 5},
             Case{9024, 2, 0},
             Case{9030, 2, 321},
             Case{9534, 2, 0},
         }) {
        int stored = c.width == 1 ? getU8(image, c.offset) : getI16(image, c.offset);
        EXPECT_EQ(stored, c.value) << "offset " << c.offset;
    }
}

TEST(ScoreRecordTest, DefaultRangeTablesScoreByLength) {
    struct Case {
        int table;
        std::vector<std::pair<int, int>> lengthPoints;
    };
    Image image = defaultImage();
    for (const Case& c : {
             Case{kPassTdTable,
                  {{0, 0},
                   {1, 3},
                   {9, 3},
                   {10, 4},
                   {19, 4},
                   {20, 6},
                   {39, 6},
                   {40, 8},
                   {59, 8},
                   {60, 10},
                   {100, 10}}},
             Case{kRushTdTable, {{1, 5}, {2, 5}, {3, 7}, {9, 7}, {10, 9}, {20, 12}, {30, 15}}},
             Case{kCatchTdTable, {{1, 5}, {10, 7}, {20, 9}, {40, 12}, {60, 15}, {100, 15}}},
             Case{kFieldGoalTable, {{0, 0}, {28, 2}, {29, 3}, {37, 3}, {38, 5}, {45, 8}, {51, 13}}},
             Case{kReturnTdTable, {{0, 0}, {1, 6}, {100, 6}}},
             Case{kDefenseTdTable, {{0, 0}, {1, 6}, {100, 6}}},
         }) {
        for (auto [length, points] : c.lengthPoints) {
            EXPECT_EQ(tableLookup(image, c.table, length), points)
                << c.table << " length " << length;
        }
    }
}

TEST(ScoreRecordTest, ScalarItemsReadAndWriteByCode) {
    struct Case {
        int code;
        int set;
        int setStatus;
        int read;
    };
    Image image = defaultImage();
    for (const Case& c : {
             Case{kPerPassThrown, 3, kOk, 3},
             Case{kPerInterceptionThrown, -4, kOk, -4},
             Case{kPassTdMode, 0x102, kOk, 2},  // a mode keeps its low byte
             Case{kYardsAllowedMode, 255, kOk, 255},
             Case{kShutoutBonus, 40000, kOk, 32767},  // clamped, not wrapped
             Case{kYardsAllowedPenalty, -40000, kOk, -32768},
             Case{kScoreLeagueId, 12, kOk, 12},
             Case{kPassTdTable, 1, kUnknownIdStatus, -1},  // tables go through getTable
             Case{kYardsAllowedTable, 1, kUnknownIdStatus, -1},
             Case{5067, 1, kUnknownIdStatus, -1},
             Case{kScoreReserved3, 1, kUnknownIdStatus, -1},
             Case{4999, 1, kUnknownIdStatus, -1},
             Case{5071, 1, kUnknownIdStatus, -1},
         }) {
        EXPECT_EQ(setScoreItem(image, c.code, c.set), c.setStatus) << c.code;
        EXPECT_EQ(scoreItem(image, c.code), c.read) << c.code;
    }
    EXPECT_EQ(getI16(image, 9024), 0);
}

TEST(ScoreRecordTest, TablesCopyWholeOrNotAtAll) {
    struct Case {
        int code;
        std::size_t count;
        bool buffer;
        int status;
    };
    for (const Case& c : {
             Case{kPassTdTable, 101, true, kOk},
             Case{kPointsAllowedTable, 101, true, kOk},
             Case{kPassYardsTable, 750, true, kOk},
             Case{kReturnYardsTable, 750, true, kOk},
             Case{kPassTdTable, 750, true, kWrongTableCount},
             Case{kYardsAllowedTable, 101, true, kWrongTableCount},
             Case{kPassTdTable, 101, false, kNoTableBuffer},
             Case{kPerPassThrown, 101, true, kUnknownIdStatus},
             Case{5071, 101, true, kUnknownIdStatus},
         }) {
        Image image = defaultImage();
        const Image before = image;
        std::vector<std::int32_t> values(c.count, -7);
        std::span<std::int32_t> buffer =
            c.buffer ? std::span<std::int32_t>(values) : std::span<std::int32_t>();
        EXPECT_EQ(writeScoreTable(image, c.code, buffer), c.status) << c.code;
        std::vector<std::int32_t> back(c.count, 99);
        std::span<std::int32_t> into = c.buffer ? std::span<std::int32_t>(back) : buffer;
        EXPECT_EQ(readScoreTable(image, c.code, into), c.status) << c.code;
        if (c.status == kOk) {
            EXPECT_EQ(back, values) << c.code;
        } else {
            EXPECT_EQ(image, before) << c.code;
            EXPECT_TRUE(!c.buffer || back == std::vector<std::int32_t>(c.count, 99)) << c.code;
        }
    }
}

// --- One statistic -------------------------------------------------------------

struct RuleCase {
    const char* name;
    int rule;
    int value;
    int position;
    std::vector<Setting> settings;
    std::vector<Fill> fills;
    int points;
};

void expectRules(const std::vector<RuleCase>& cases) {
    for (const RuleCase& c : cases) {
        Image image = imageWith(c.settings, c.fills);
        EXPECT_EQ(statisticPoints(image, c.rule, c.value, c.position), c.points) << c.name;
    }
}

TEST(StatisticPointsTest, CountedStatisticsPayPerUnit) {
    expectRules({
        {"passes thrown", 9, 30, 0, {{kPerPassThrown, 1}}, {}, 30},
        {"completions", 10, 20, 10, {{kPerPassCompleted, 2}}, {}, 40},
        {"interceptions thrown", 11, 2, 0, {}, {}, -2},
        {"passed conversions", 23, 2, 0, {}, {}, 4},
        {"carries", 24, 15, 1, {{kPerRush, 1}}, {}, 15},
        {"rushed conversion", 36, 1, 1, {}, {}, 2},
        {"catches", 37, 6, 2, {{kPerCatch, 1}}, {}, 6},
        {"caught conversion", 49, 1, 3, {}, {}, 2},
        {"extra points", 50, 3, 4, {}, {}, 3},
        {"individual DEF uses the general rules", 9, 4, 5, {{kPerPassThrown, 1}}, {}, 4},
        {"individual SPE uses the general rules", 50, 2, 6, {}, {}, 2},
        {"bonus points earn nothing by rule", kPlayerBonus, 9, 0, {}, {}, 0},
        {"defensive statistic on a QB", 72, 3, 0, {}, {}, 0},
    });
}

TEST(StatisticPointsTest, YardageReadsTheTableAndAddsTheBonus) {
    const Fill perTwentyFive[] = {{kPassYardsTable, 25, 49, 1}, {kPassYardsTable, 50, 749, 2}};
    std::vector<Fill> passing(std::begin(perTwentyFive), std::end(perTwentyFive));
    expectRules({
        {"mode 0 passing yards", 12, 250, 0, {}, {}, 0},
        {"below the first step", 12, 24, 0, {}, passing, 0},
        {"table entry", 12, 25, 0, {}, passing, 1},
        {"past the end reads entry 749", 12, 800, 0, {}, {{kPassYardsTable, 749, 749, 9}}, 9},
        {"negative yards read entry 0", 25, -5, 1, {}, {{kRushYardsTable, 0, 0, 2}}, 2},
        {"bonus at its threshold",
         12,
         300,
         0,
         {{kPassYardsBonusAt, 300}, {kPassYardsBonus, 3}},
         passing,
         5},
        {"bonus below its threshold",
         12,
         299,
         0,
         {{kPassYardsBonusAt, 300}, {kPassYardsBonus, 3}},
         passing,
         2},
        {"bonus with threshold 0 never applies", 12, 250, 0, {{kPassYardsBonus, 3}}, {}, 0},
        {"negative bonus never applies",
         38,
         200,
         2,
         {{kCatchYardsBonusAt, 100}, {kCatchYardsBonus, -3}},
         {},
         0},
        {"rushing bonus", 25, 100, 1, {{kRushYardsBonusAt, 100}, {kRushYardsBonus, 2}}, {}, 2},
        {"receiving table", 38, 120, 2, {}, {{kCatchYardsTable, 100, 749, 4}}, 4},
        {"individual return yards, threshold 0", 61, 50, 6, {{kReturnYardsBonus, 2}}, {}, 0},
    });
}

TEST(StatisticPointsTest, TouchdownAndFieldGoalLengths) {
    expectRules({
        {"pass TD of 12", kPassTdRule, 12, 0, {}, {}, 4},
        {"pass TD of 45", kPassTdRule, 45, 0, {}, {}, 8},
        {"empty slot", kPassTdRule, 0, 0, {}, {}, 0},
        {"101-yard TD reads entry 100", kPassTdRule, 101, 0, {}, {}, 10},
        {"negative length reads entry 0", kRushTdRule, -3, 1, {}, {}, 0},
        {"rush TD of 2", kRushTdRule, 2, 1, {}, {}, 5},
        {"rush TD of 3", kRushTdRule, 3, 1, {}, {}, 7},
        {"catch TD of 60", kCatchTdRule, 60, 2, {}, {}, 15},
        {"field goal of 28", kFieldGoalRule, 28, 4, {}, {}, 2},
        {"field goal of 29", kFieldGoalRule, 29, 4, {}, {}, 3},
        {"field goal of 51", kFieldGoalRule, 51, 4, {}, {}, 13},
        {"101-yard return TD", kReturnTdRule, 101, 6, {}, {}, 6},
        {"defensive TD rule is not a general rule", kDefenseTdRule, 40, 5, {}, {}, 0},
    });
}

TEST(StatisticPointsTest, TouchdownCountsAndRoleBonuses) {
    const std::vector<Setting> passBonus = {{kPassTdBonusAt, 3}, {kPassTdBonus, 4}};
    expectRules({
        {"QB passing TDs earn no role bonus", 22, 2, 0, {}, {}, 0},
        {"team QB passing TDs earn no role bonus", 22, 2, 10, {}, {}, 0},
        {"RB passing TDs", 22, 2, 1, {}, {}, 10},
        {"team WR passing TD", 22, 1, 12, {}, {}, 5},
        {"WR rushing TDs", 35, 2, 2, {}, {}, 10},
        {"team WR rushing TDs", 35, 2, 12, {}, {}, 10},
        {"TE rushing TDs", 35, 2, 3, {}, {}, 0},
        {"RB rushing TDs", 35, 2, 1, {}, {}, 0},
        {"QB catching a TD", 48, 1, 0, {}, {}, 5},
        {"team QB catching a TD", 48, 1, 10, {}, {}, 5},
        {"RB catching a TD", 48, 1, 1, {}, {}, 0},
        {"count bonus at threshold", 22, 3, 0, passBonus, {}, 4},
        {"count bonus below threshold", 22, 2, 0, passBonus, {}, 0},
        {"count bonus threshold 0, no TD", 22, 0, 0, {{kPassTdBonus, 4}}, {}, 0},
        {"count bonus threshold 0, five TDs", 22, 5, 0, {{kPassTdBonus, 4}}, {}, 0},
        {"field-goal count bonus", 60, 2, 4, {{kFieldGoalBonusAt, 2}, {kFieldGoalBonus, 3}}, {}, 3},
        {"rush count bonus plus WR bonus",
         35,
         2,
         2,
         {{kRushTdBonusAt, 2}, {kRushTdBonus, 1}},
         {},
         11},
        {"individual return TD count, threshold 0", 71, 0, 6, {{kReturnTdBonus, 4}}, {}, 0},
    });
}

TEST(StatisticPointsTest, TeamDefenseRules) {
    const std::vector<Setting> pointsPenalty = {{kPointsAllowedPenaltyAt, 21},
                                                {kPointsAllowedPenalty, -3}};
    const std::vector<Setting> yardsPenalty = {{kYardsAllowedPenaltyAt, 300},
                                               {kYardsAllowedPenalty, -2}};
    const std::vector<Setting> tdBonus = {{kDefenseTdBonusAt, 2}, {kDefenseTdBonus, 2}};
    expectRules({
        {"interceptions", 72, 2, 15, {}, {}, 2},
        {"recovered fumbles", 73, 1, 15, {}, {}, 1},
        {"sacks", 74, 3, 15, {}, {}, 3},
        {"safeties", 75, 1, 15, {}, {}, 2},
        {"800 yards allowed read entry 749",
         76,
         800,
         15,
         {},
         {{kYardsAllowedTable, 749, 749, -5}},
         -5},
        {"yards penalty at threshold", 76, 300, 15, yardsPenalty, {}, -2},
        {"yards penalty below threshold", 76, 299, 15, yardsPenalty, {}, 0},
        {"shutout", 77, 0, 15, {}, {}, 5},
        {"shutout adds to entry 0", 77, 0, 15, {}, {{kPointsAllowedTable, 0, 0, 10}}, 15},
        {"points penalty at threshold", 77, 21, 15, pointsPenalty, {}, -3},
        {"points penalty below threshold", 77, 20, 15, pointsPenalty, {}, 0},
        {"150 points allowed read entry 100",
         77,
         150,
         15,
         {},
         {{kPointsAllowedTable, 100, 100, -4}},
         -4},
        {"defensive TD of 30", kDefenseTdRule, 30, 15, {}, {}, 6},
        {"empty defensive TD slot", kDefenseTdRule, 0, 15, {}, {}, 0},
        {"TD-count bonus threshold 0 applies without TD", 87, 0, 15, {{kDefenseTdBonus, 2}}, {}, 2},
        {"TD-count bonus below threshold", 87, 1, 15, tdBonus, {}, 0},
        {"TD-count bonus at threshold", 87, 2, 15, tdBonus, {}, 2},
        {"passing yards are not a defensive rule",
         12,
         300,
         15,
         {},
         {{kPassYardsTable, 0, 749, 3}},
         0},
        {"counted statistics are not defensive rules", 9, 3, 15, {{kPerPassThrown, 1}}, {}, 0},
        {"safety-count bonus takes no part",
         75,
         3,
         15,
         {{kSafetyBonusAt, 1}, {kSafetyBonus, 9}},
         {},
         6},
    });
}

TEST(StatisticPointsTest, TeamSpecialTeamsRules) {
    expectRules({
        {"yards bonus with threshold 0 applies", 61, 50, 16, {{kReturnYardsBonus, 2}}, {}, 2},
        {"yards bonus below threshold",
         61,
         99,
         16,
         {{kReturnYardsBonusAt, 100}, {kReturnYardsBonus, 2}},
         {},
         0},
        {"yards table plus bonus",
         61,
         100,
         16,
         {{kReturnYardsBonusAt, 100}, {kReturnYardsBonus, 2}},
         {{kReturnYardsTable, 100, 749, 1}},
         3},
        {"return TD", kReturnTdRule, 45, 16, {}, {}, 6},
        {"TD-count bonus with threshold 0 applies", 71, 0, 16, {{kReturnTdBonus, 3}}, {}, 3},
        {"TD-count bonus below threshold",
         71,
         1,
         16,
         {{kReturnTdBonusAt, 2}, {kReturnTdBonus, 3}},
         {},
         0},
        {"defensive rules do not apply", 72, 2, 16, {}, {}, 0},
        {"general rules do not apply", 9, 2, 16, {{kPerPassThrown, 1}}, {}, 0},
    });
}

// --- Weekly areas and totals ---------------------------------------------------------

TEST(WeekPointsTest, AreaTotalsOfOneWeek) {
    struct Case {
        const char* name;
        int position;
        std::vector<Setting> stats;  // code, raw value in week 0
        int code;
        int points;
    };
    const std::vector<Setting> qb = {{12, 250}, {13, 12}, {14, 45}, {11, 1}, {23, 2}};
    const std::vector<Setting> rb = {{25, 80}, {24, 12}, {26, 1}, {27, 35},         {36, 1},
                                     {13, 20}, {37, 2},  {39, 9}, {kPlayerBonus, 3}};
    const std::vector<Setting> pk = {{50, 3}, {51, 25}, {52, 38}, {53, 52}};
    const std::vector<Setting> def = {{72, 2},   {73, 1}, {74, 3}, {75, 1},
                                      {76, 300}, {77, 0}, {78, 40}};
    const std::vector<Setting> spe = {{61, 120}, {62, 101}, {kPlayerBonus, -2}};
    for (const Case& c : {
             Case{"QB pass points", 0, qb, 89, 15},
             Case{"RB pass points with the non-QB bonus", 1, rb, 89, 11},
             Case{"RB rush points", 1, rb, 90, 22},
             Case{"RB receive points", 1, rb, 91, 5},
             Case{"RB total adds the bonus", 1, rb, kTotalPoints, 41},
             Case{"kick points", 4, pk, 92, 23},
             Case{"defensive points", 15, def, 93, 19},
             Case{"defense scores no passing", 15, def, 89, 0},
             Case{"defense total", 15, def, kTotalPoints, 19},
             Case{"special team points", 16, spe, 94, 6},
             Case{"special teams total with negative bonus", 16, spe, kTotalPoints, 4},
             Case{"QB scores no defense", 0, qb, 93, 0},
             Case{"single slot scored by its length rule", 0, qb, 14, 8},
             Case{"single count", 1, rb, 22, 5},
             Case{"single pass yards", 0, qb, 12, 0},
             Case{"no points code above 94", 0, qb, 105, 0},
         }) {
        Weeks weeks;
        for (const Setting& s : c.stats) {
            weeks.set(0, c.position, s.code, s.value);
        }
        EXPECT_EQ(weekItemPoints(defaultImage(), weeks.block(0), c.position, c.code), c.points)
            << c.name;
    }
}

TEST(WeekPointsTest, ATeamDefenseTdCountBonusWithThresholdZeroCountsEveryWeek) {
    Image image = imageWith({{kDefenseTdBonus, 2}});
    Weeks weeks;
    EXPECT_EQ(weekItemPoints(image, weeks.block(0), 15, 93), 2 + 5);  // bonus + shutout
}

// --- The week gate -------------------------------------------------------------------

TEST(WeekGateTest, AWeekCountsOnlyWhenFlaggedInSeasonAndTheTeamPlayed) {
    struct Case {
        const char* name;
        int week;
        bool flagged;
        int teamPassYards;
        int weeksInSeason;
        int points;
    };
    constexpr int kTeam = 3;
    for (const Case& c : {
             Case{"played", 4, true, 210, 17, 13},
             Case{"negative net passing is a game", 4, true, -7, 17, 13},
             Case{"week without flag", 4, false, 210, 17, 0},
             Case{"team QB without pass yards", 4, true, 0, 17, 0},
             Case{"last week of the season", 16, true, 210, 17, 13},
             Case{"week past the season", 17, true, 210, 17, 0},
             Case{"18-week season", 17, true, 210, 18, 13},
             Case{"week below 0", -1, true, 210, 17, 0},
             Case{"week 20", 20, true, 210, 17, 0},
         }) {
        FakeSeason season;
        season.weeks = c.weeksInSeason;
        if (c.flagged) {
            season.flagged.insert(c.week);
        }
        season.passYards[{kTeam, c.week}] = c.teamPassYards;
        Weeks weeks;
        if (c.week >= 0 && c.week < kWeekSlots) {
            weeks.set(c.week, 1, 24, 1).set(c.week, 1, kPlayerBonus, 4).set(c.week, 1, 26, 5);
        }
        PlayerWeekView rb = weeks.view(42, 1, kTeam);
        Image image = imageWith({{kPerRush, 2}});
        EXPECT_EQ(playerItemValue(image, rb, kTotalPoints, c.week, season.facts()), c.points)
            << c.name;
        EXPECT_EQ(playerItemValue(image, rb, 24, c.week, season.facts()), c.points == 0 ? 0 : 2)
            << c.name;
    }
}

TEST(WeekGateTest, TheGateAsksAboutThePlayersOwnTeam) {
    FakeSeason season;
    season.play(7, 0, 150);
    season.flagged.insert(1);
    season.passYards[{8, 1}] = 150;
    Weeks weeks;
    weeks.set(0, 4, 50, 2).set(1, 4, 50, 2);
    PlayerWeekView kicker = weeks.view(5, 4, 7);
    EXPECT_EQ(playerItemValue(defaultImage(), kicker, 92, 0, season.facts()), 2);
    EXPECT_EQ(playerItemValue(defaultImage(), kicker, 92, 1, season.facts()), 0);
}

// --- Season codes -------------------------------------------------------------------

class SeasonCodesTest : public ::testing::Test {
  protected:
    static constexpr int kTeam = 9;

    // Weekly totals come from the bonus byte alone, so each week's total is
    // exactly what the test writes.
    void total(int week, int points) { weeks_.set(week, 1, kPlayerBonus, points); }
    int value(int code, int week) {
        return playerItemValue(image_, weeks_.view(77, 1, kTeam), code, week, season_.facts());
    }

    Image image_ = defaultImage();
    Weeks weeks_;
    FakeSeason season_;
};

TEST_F(SeasonCodesTest, SumsBestWorstAndAverageOverTheCountedWeeks) {
    // Weeks 2 and 4 are byes (flagged, team off, no passing); week 6 has no
    // flag; week 17 lies past the season.
    const int totals[] = {10, 3, 50, 4, 7, 6, 20};
    for (int week = 0; week < 7; ++week) {
        total(week, totals[week]);
    }
    for (int week : {0, 1, 3, 5}) {
        season_.play(kTeam, week, 180);
    }
    for (int bye : {2, 4}) {
        season_.flagged.insert(bye);
        season_.off.insert({kTeam, bye});
    }
    season_.passYards[{kTeam, 6}] = 180;
    total(17, 30);
    season_.play(kTeam, 17, 180);
    struct Case {
        int code;
        int week;
        int value;
    };
    for (const Case& c : {
             Case{kFirstSeasonPoints, 0, 23},
             Case{kFirstSeasonPoints, 11, 23},  // the week is ignored
             Case{kFirstSeasonPoints, kAllWeeks, 23},
             Case{kTotalPoints, kAllWeeks, 23},
             Case{kHighWeek, kAllWeeks, 10},
             Case{kLowWeek, kAllWeeks, 3},  // both byes skipped
             Case{kAverageWeek, kAllWeeks, 23 / 6},
             Case{kFirstWeekPoints, 0, 10},
             Case{kFirstWeekPoints + 2, 0, 0},
             Case{kFirstWeekPoints + 3, 11, 4},
             Case{kFirstWeekPoints + 6, 0, 0},
             Case{kLastWeekPoints, 0, 0},
             Case{106, kAllWeeks, 0},
         }) {
        EXPECT_EQ(value(c.code, c.week), c.value) << c.code << " week " << c.week;
    }
}

TEST_F(SeasonCodesTest, SeasonSumsOfEachArea) {
    weeks_.set(0, 1, 26, 1).set(3, 1, 26, 35).set(3, 1, 39, 9).set(5, 1, 26, 2);
    season_.play(kTeam, 0, 100);
    season_.play(kTeam, 3, 100);
    struct Case {
        int code;
        int value;
    };
    for (const Case& c : {Case{90, 5 + 15}, Case{91, 5}, Case{kFirstSeasonPoints + 2, 20},
                          Case{kFirstSeasonPoints + 3, 5}, Case{kFirstSeasonPoints + 1, 0},
                          Case{kLastSeasonPoints, 0}}) {
        int week = c.code <= kSpecialTeamPointsCode ? kAllWeeks : 0;
        EXPECT_EQ(value(c.code, week), c.value) << c.code;
    }
}

TEST_F(SeasonCodesTest, AverageTruncatesTowardZeroAndHighNeverGoesNegative) {
    total(0, -3);
    total(1, -4);
    season_.play(kTeam, 0, 90);
    season_.play(kTeam, 1, 90);
    EXPECT_EQ(value(kAverageWeek, 0), -3);
    EXPECT_EQ(value(kHighWeek, 0), 0);
    EXPECT_EQ(value(kLowWeek, 0), -4);
}

TEST_F(SeasonCodesTest, SeasonsWithoutQualifyingWeeks) {
    struct Case {
        const char* name;
        int weeksInSeason;
        bool flagWeekZero;
        bool offInWeekZero;
        int high;
        int low;
        int average;
    };
    for (const Case& c : {
             Case{"no flagged week", 17, false, false, 0, kNoLowWeek, 0},
             Case{"only a bye week", 17, true, true, 0, kNoLowWeek, 0},
             Case{"a season of no weeks", 0, true, false, 0, 0, 0},
         }) {
        season_ = FakeSeason{};
        season_.weeks = c.weeksInSeason;
        total(0, 8);
        if (c.flagWeekZero) {
            season_.flagged.insert(0);
        }
        if (c.offInWeekZero) {
            season_.off.insert({kTeam, 0});
        }
        EXPECT_EQ(value(kHighWeek, 0), c.high) << c.name;
        EXPECT_EQ(value(kLowWeek, 0), c.low) << c.name;
        EXPECT_EQ(value(kAverageWeek, 0), c.average) << c.name;
    }
}

// --- The scoring file and the points cache ------------------------------------------

// 2011-06-15 12:00 UTC.
constexpr std::time_t kMid2011 = 1308139200;
constexpr int kFileHeader = 2136;

class ScoringSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_.path(), [] { return kMid2011; }}, error);
        ASSERT_TRUE(context_) << error;
        scoring_ = std::make_unique<ScoringSystem>(*context_);
    }

    std::filesystem::path scoreFile(const char* name) const { return dir_ / name; }

    TempDir dir_;
    std::unique_ptr<Singleton> context_;
    std::unique_ptr<ScoringSystem> scoring_;
};

TEST_F(ScoringSystemTest, AMissingFileIsCreatedWithTheDefaultRecordOfLeagueZero) {
    ASSERT_EQ(scoring_->openSeason(2004), kOk) << scoring_->lastError();
    Image bytes = readBytes(scoreFile("Score_04.DB"));
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(kFileHeader + kScoreRecordSize));
    EXPECT_EQ(getI32(bytes, 80), 2004);
    EXPECT_EQ(getI32(bytes, 84), kScoreRecordSize);
    EXPECT_EQ(getU8(bytes, 88), 1);
    Image record(bytes.begin() + kFileHeader, bytes.end());
    EXPECT_EQ(record, defaultImage(0));
    EXPECT_EQ(scoring_->league(), 0);
    EXPECT_EQ(scoring_->getValue(kShutoutBonus), 5);
}

TEST_F(ScoringSystemTest, ANewSeasonStartsFromThePreviousSeasonsFirstRecord) {
    ASSERT_EQ(scoring_->openSeason(2009), kOk);
    ASSERT_EQ(scoring_->setValue(kPerPassThrown, 9), kOk);
    ASSERT_EQ(scoring_->setValue(kScoreLeagueId, 7), kOk);
    ASSERT_EQ(scoring_->save(), kOk);
    ASSERT_EQ(scoring_->selectLeague(8), kOk);  // a second record, not copied
    ASSERT_EQ(scoring_->openSeason(2010), kOk);
    EXPECT_EQ(scoring_->league(), 7);
    EXPECT_EQ(scoring_->getValue(kPerPassThrown), 9);
    EXPECT_EQ(readBytes(scoreFile("Score_10.DB")).size(),
              static_cast<std::size_t>(kFileHeader + kScoreRecordSize));
}

TEST_F(ScoringSystemTest, AFileThatCannotBeReadIsReportedAndLeftAlone) {
    Image wrongSize(kFileHeader, 0);
    putI32(wrongSize, 80, 2004);
    putI32(wrongSize, 84, 100);
    for (const Image& damaged : {Image{1, 2, 3}, wrongSize}) {
        writeBytes(scoreFile("Score_04.DB"), damaged);
        EXPECT_NE(scoring_->openSeason(2004), kOk);
        EXPECT_FALSE(scoring_->lastError().empty());
        EXPECT_EQ(readBytes(scoreFile("Score_04.DB")), damaged);
        EXPECT_NE(scoring_->selectLeague(0), kOk);
    }
}

TEST_F(ScoringSystemTest, CreateSeasonNeverReplacesAFile) {
    writeBytes(scoreFile("Score_05.DB"), Image{9, 9});
    EXPECT_NE(scoring_->createSeason(2005), kOk);
    EXPECT_EQ(readBytes(scoreFile("Score_05.DB")), (Image{9, 9}));
    EXPECT_EQ(scoring_->createSeason(2006), kOk) << scoring_->lastError();
    EXPECT_EQ(readBytes(scoreFile("Score_06.DB")).size(),
              static_cast<std::size_t>(kFileHeader + kScoreRecordSize));
}

TEST_F(ScoringSystemTest, SelectingALeagueWithoutRecordAddsItsDefaults) {
    ASSERT_EQ(scoring_->openSeason(2004), kOk);
    ASSERT_EQ(scoring_->selectLeague(5), kOk);
    EXPECT_EQ(scoring_->league(), 5);
    Image bytes = readBytes(scoreFile("Score_04.DB"));
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(kFileHeader + 2 * kScoreRecordSize));
    EXPECT_EQ(Image(bytes.begin() + kFileHeader + kScoreRecordSize, bytes.end()), defaultImage(5));

    ASSERT_EQ(scoring_->selectLeague(5), kOk);
    ASSERT_EQ(scoring_->selectLeague(0), kOk);
    ASSERT_EQ(scoring_->selectLeague(5), kOk);
    EXPECT_EQ(readBytes(scoreFile("Score_04.DB")), bytes);
}

TEST_F(ScoringSystemTest, SelectingTheCurrentLeagueDoesNotReadTheFile) {
    ASSERT_EQ(scoring_->openSeason(2004), kOk);
    ASSERT_EQ(scoring_->setValue(kPerSack, 4), kOk);
    ASSERT_EQ(scoring_->selectLeague(0), kOk);
    EXPECT_EQ(scoring_->getValue(kPerSack), 4);
}

TEST_F(ScoringSystemTest, ChangesReachTheFileOnlyBySave) {
    ASSERT_EQ(scoring_->openSeason(2004), kOk);
    ASSERT_EQ(scoring_->selectLeague(5), kOk);
    ASSERT_EQ(scoring_->setValue(kPerCatch, 2), kOk);
    ASSERT_EQ(scoring_->selectLeague(0), kOk);
    ASSERT_EQ(scoring_->selectLeague(5), kOk);
    EXPECT_EQ(scoring_->getValue(kPerCatch), 0);

    std::vector<std::int32_t> table(kLengthTableSize, 1);
    ASSERT_EQ(scoring_->putTable(kPassTdTable, table), kOk);
    ASSERT_EQ(scoring_->setValue(kPerCatch, 2), kOk);
    ASSERT_EQ(scoring_->save(), kOk);
    ASSERT_EQ(scoring_->openSeason(2004), kOk);
    ASSERT_EQ(scoring_->selectLeague(5), kOk);
    EXPECT_EQ(scoring_->getValue(kPerCatch), 2);
    std::vector<std::int32_t> back(kLengthTableSize);
    ASSERT_EQ(scoring_->getTable(kPassTdTable, back), kOk);
    EXPECT_EQ(back, table);
}

TEST_F(ScoringSystemTest, ResettingALeagueKeepsOneRecordPerLeague) {
    ASSERT_EQ(scoring_->openSeason(2004), kOk);
    ASSERT_EQ(scoring_->selectLeague(5), kOk);
    ASSERT_EQ(scoring_->setValue(kPerRush, 3), kOk);
    ASSERT_EQ(scoring_->save(), kOk);
    ASSERT_EQ(scoring_->selectLeague(0), kOk);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(scoring_->resetToDefaults(5), kOk);
        EXPECT_EQ(scoring_->league(), 5);
        EXPECT_EQ(scoring_->getValue(kPerRush), 0);
    }
    ASSERT_EQ(scoring_->resetToDefaults(6), kOk);
    EXPECT_EQ(readBytes(scoreFile("Score_04.DB")).size(),
              static_cast<std::size_t>(kFileHeader + 3 * kScoreRecordSize));
    ASSERT_EQ(scoring_->selectLeague(5), kOk);
    EXPECT_EQ(scoring_->getValue(kPerRush), 0);
}

TEST_F(ScoringSystemTest, NothingIsSelectedWithoutAnOpenFile) {
    EXPECT_NE(scoring_->selectLeague(0), kOk);
    EXPECT_NE(scoring_->resetToDefaults(0), kOk);
    EXPECT_NE(scoring_->save(), kOk);
    EXPECT_EQ(scoring_->league(), -1);
}

class ScoringCacheTest : public ScoringSystemTest {
  protected:
    static constexpr int kTeam = 4;
    static constexpr int kKickerId = 812;

    void SetUp() override {
        ScoringSystemTest::SetUp();
        ASSERT_EQ(context_->seasonState().open(2004), kOk);
        context_->seasonState().setWeekHasStats(0, 1);
        context_->seasonState().setWeekHasStats(1, 1);
        ASSERT_EQ(scoring_->openSeason(2004), kOk);
        scoring_->setNflWeeks(NflWeeks{[](int, int) { return 200; }, {}});
        kicker_.set(0, 4, 50, 2).set(1, 4, 50, 1);
    }

    int kickerPoints(int code, int week) {
        return scoring_->playerPoints(kicker_.view(kKickerId, 4, kTeam), code, week);
    }
    std::optional<int> cached(int id, int week, int code) {
        return context_->cache().find(Cache::Set::Player,
                                      Cache::Key{2004, id, week, scoring_->league(), code});
    }

    Weeks kicker_;
};

TEST_F(ScoringCacheTest, PointsAreRememberedPerLeague) {
    ASSERT_EQ(scoring_->selectLeague(2), kOk);
    ASSERT_EQ(scoring_->setValue(kPerExtraPoint, 3), kOk);
    ASSERT_EQ(scoring_->save(), kOk);
    ASSERT_EQ(scoring_->selectLeague(1), kOk);
    EXPECT_EQ(kickerPoints(kTotalPoints, 0), 2);
    EXPECT_EQ(cached(kKickerId, 0, kTotalPoints), 2);
    ASSERT_EQ(scoring_->selectLeague(2), kOk);
    EXPECT_EQ(kickerPoints(kTotalPoints, 0), 6);

    kicker_.set(0, 4, 50, 5);
    EXPECT_EQ(kickerPoints(kTotalPoints, 0), 6);  // remembered
    ASSERT_EQ(scoring_->selectLeague(1), kOk);
    EXPECT_EQ(kickerPoints(kTotalPoints, 0), 2);
    // One week's total per league, each remembered with the six areas it adds
    // up, and once for both leagues whether the kicker's team played that week.
    EXPECT_EQ(context_->cache().size(Cache::Set::Player), 2u * 7u + 1u);
}

TEST_F(ScoringCacheTest, SeasonValuesAreKeptUnderTheSeasonWeekAndDroppedWithAnyWeek) {
    EXPECT_EQ(kickerPoints(kFirstSeasonPoints, 7), 3);
    EXPECT_EQ(cached(kKickerId, kAllWeeks, kFirstSeasonPoints), 3);
    EXPECT_EQ(cached(kKickerId, 7, kFirstSeasonPoints), std::nullopt);
    EXPECT_EQ(kickerPoints(kTotalPoints, kAllWeeks), 3);
    EXPECT_EQ(kickerPoints(kTotalPoints, 1), 1);

    kicker_.set(1, 4, 50, 4);
    scoring_->dropPlayerWeek(kKickerId, 1);
    EXPECT_EQ(kickerPoints(kFirstSeasonPoints, 0), 6);
    EXPECT_EQ(kickerPoints(kTotalPoints, kAllWeeks), 6);
    EXPECT_EQ(kickerPoints(kTotalPoints, 1), 4);
    EXPECT_EQ(kickerPoints(kFirstWeekPoints + 1, 0), 4);
}

TEST_F(ScoringCacheTest, DroppingOneWeekKeepsTheOtherWeeksAndPlayers) {
    EXPECT_EQ(kickerPoints(kTotalPoints, 0), 2);
    EXPECT_EQ(kickerPoints(kTotalPoints, 1), 1);
    context_->cache().store(Cache::Set::Player, Cache::Key{2004, 900, 1, 0, kTotalPoints}, 8);
    scoring_->dropPlayerWeek(kKickerId, 1);
    EXPECT_EQ(cached(kKickerId, 1, kTotalPoints), std::nullopt);
    EXPECT_EQ(cached(kKickerId, 0, kTotalPoints), 2);
    EXPECT_EQ(cached(900, 1, kTotalPoints), 8);
}

TEST_F(ScoringCacheTest, ATeamQbUnitsWeekDecidesForItsWholeTeam) {
    EXPECT_EQ(kickerPoints(kTotalPoints, 0), 2);
    scoring_->dropPlayerWeek(Pro::unitId(kTeam, 0), 0);
    EXPECT_EQ(cached(kKickerId, 0, kTotalPoints), std::nullopt);

    EXPECT_EQ(kickerPoints(kTotalPoints, 0), 2);
    scoring_->dropPlayerWeek(Pro::unitId(kTeam, 4), 0);  // a kicker unit decides nothing
    EXPECT_EQ(cached(kKickerId, 0, kTotalPoints), 2);
    scoring_->dropAllPlayerPoints();
    EXPECT_EQ(context_->cache().size(Cache::Set::Player), 0u);
}

TEST_F(ScoringCacheTest, ChangingTheScoringDropsPlayerAndFranchisePoints) {
    struct Case {
        const char* name;
        std::function<int(ScoringSystem&)> change;
    };
    std::vector<std::int32_t> table(kYardsTableSize, 1);
    for (const Case& c : {
             Case{"setValue", [](ScoringSystem& s) { return s.setValue(kPerExtraPoint, 2); }},
             Case{"putTable",
                  [&table](ScoringSystem& s) { return s.putTable(kPassYardsTable, table); }},
             Case{"resetToDefaults", [](ScoringSystem& s) { return s.resetToDefaults(0); }},
         }) {
        kickerPoints(kTotalPoints, 0);
        ASSERT_GT(context_->cache().size(Cache::Set::Player), 0u) << c.name;
        context_->cache().store(Cache::Set::Franchise, Cache::Key{2004, 1, 0, 0, 2026}, 50);
        ASSERT_EQ(c.change(*scoring_), kOk) << c.name;
        EXPECT_EQ(context_->cache().size(Cache::Set::Player), 0u) << c.name;
        EXPECT_EQ(context_->cache().size(Cache::Set::Franchise), 0u) << c.name;
    }
    EXPECT_EQ(kickerPoints(kTotalPoints, 0), 2);
}

TEST_F(ScoringCacheTest, TheGateReadsTheSeasonStateFlags) {
    context_->seasonState().setWeekHasStats(1, 0);
    EXPECT_EQ(scoring_->playerItemValue(kicker_.view(kKickerId, 4, kTeam), kTotalPoints, 1), 0);
    EXPECT_EQ(scoring_->playerItemValue(kicker_.view(kKickerId, 4, kTeam), kTotalPoints, 0), 2);
    EXPECT_EQ(scoring_->statisticPoints(kFieldGoalRule, 45, 4), 8);
}

}  // namespace
}  // namespace qff
