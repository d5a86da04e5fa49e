#include "data02/scoring/Scoring_rules.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "data02/scoring/Point_sum.h"
#include "data02/scoring/Scoring_record.h"
#include "data02/season/State.h"
#include "data02/storage/Statblock.h"

namespace qff {
namespace {

constexpr int kDefenseTdCount = 87;

// Rules that pay a fixed amount per unit of the statistic.
struct PerUnitRule {
    int rule;
    int item;
};

// Yardage rules: a table by yards plus a bonus from a threshold on.
struct YardsRule {
    int rule;
    int table;
    int bonusAt;
    int bonus;
};

struct LengthRule {
    int rule;
    int table;
};

struct CountRule {
    int rule;
    int bonusAt;
    int bonus;
};

constexpr PerUnitRule kPerUnitRules[] = {
    {9, kPerPassThrown},
    {10, kPerPassCompleted},
    {11, kPerInterceptionThrown},
    {23, kPerPassConversion},
    {24, kPerRush},
    {36, kPerRushConversion},
    {37, kPerCatch},
    {49, kPerCatchConversion},
    {50, kPerExtraPoint},
};

constexpr YardsRule kYardsRules[] = {
    {kPassYards, kPassYardsTable, kPassYardsBonusAt, kPassYardsBonus},
    {25, kRushYardsTable, kRushYardsBonusAt, kRushYardsBonus},
    {38, kCatchYardsTable, kCatchYardsBonusAt, kCatchYardsBonus},
    {61, kReturnYardsTable, kReturnYardsBonusAt, kReturnYardsBonus},
};

constexpr LengthRule kLengthRules[] = {
    {kPassTdRule, kPassTdTable},     {kRushTdRule, kRushTdTable},
    {kCatchTdRule, kCatchTdTable},   {kFieldGoalRule, kFieldGoalTable},
    {kReturnTdRule, kReturnTdTable},
};

constexpr CountRule kCountRules[] = {
    {22, kPassTdBonusAt, kPassTdBonus},     {35, kRushTdBonusAt, kRushTdBonus},
    {48, kCatchTdBonusAt, kCatchTdBonus},   {60, kFieldGoalBonusAt, kFieldGoalBonus},
    {71, kReturnTdBonusAt, kReturnTdBonus},
};

constexpr int kCountCodes[] = {22, 35, 48, 60, 71, kDefenseTdCount};

constexpr PerUnitRule kDefensePerUnitRules[] = {
    {72, kPerDefenseInterception},
    {73, kPerFumbleRecovered},
    {74, kPerSack},
    {75, kPerSafety},
};

constexpr int kYardsAllowedCode = 76;
constexpr int kPointsAllowedCode = 77;

// A statistic's area: the plain statistics it adds up and its slot group.
struct Area {
    int code;
    std::array<int, 7> statistics;  // unused places hold 0
    int firstSlot;
};

constexpr Area kAreas[] = {
    {89, {12, 9, 10, 11, 23, 22}, 13},
    {90, {25, 24, 36, 35}, 26},
    {91, {38, 37, 49, 48}, 39},
    {92, {50, 60}, 51},
    {93, {72, 73, 74, 75, 76, 87, 77}, 78},
    {94, {61, 71}, 62},
};
// Looked up by code - 89.
static_assert(kAreas[0].code == kPassPointsCode && kAreas[5].code == kSpecialTeamPointsCode);

template <class Rule, std::size_t N>
const Rule* findRule(const Rule (&rules)[N], int rule) {
    auto it = std::find_if(std::begin(rules), std::end(rules),
                           [rule](const Rule& r) { return r.rule == rule; });
    return it == std::end(rules) ? nullptr : &*it;
}

// B(threshold, points, v) of the individual rules: a threshold of 0 means no bonus.
int countBonus(int threshold, int points, int value) {
    return points > 0 && threshold > 0 && value >= threshold ? points : 0;
}

// The team units' bonuses apply from any threshold, 0 included.
int teamBonus(int threshold, int points, int value) {
    return points > 0 && value >= threshold ? points : 0;
}

// P(threshold, stored, v): penalties are stored negative.
int penalty(int threshold, int stored, int value) {
    return stored < 0 && value >= threshold ? stored : 0;
}

bool isQuarterback(int position) {
    return position == 0 || position == 10;
}

bool isWideReceiver(int position) {
    return position == 2 || position == 12;
}

// The extra points per TD that three positions earn in another role.
int roleBonus(ConstByteSpan record, int rule, int value, int position) {
    if (rule == 22 && !isQuarterback(position)) {
        return value * scoreItem(record, kNonQbPassTd);
    }
    if (rule == 35 && isWideReceiver(position)) {
        return value * scoreItem(record, kReceiverRushTd);
    }
    if (rule == 48 && isQuarterback(position)) {
        return value * scoreItem(record, kQbCatchTd);
    }
    return 0;
}

int generalPoints(ConstByteSpan record, int rule, int value, int position) {
    if (const PerUnitRule* r = findRule(kPerUnitRules, rule)) {
        return value * scoreItem(record, r->item);
    }
    if (const YardsRule* r = findRule(kYardsRules, rule)) {
        return tableLookup(record, r->table, value) +
               countBonus(scoreItem(record, r->bonusAt), scoreItem(record, r->bonus), value);
    }
    if (const LengthRule* r = findRule(kLengthRules, rule)) {
        return tableLookup(record, r->table, value);
    }
    if (const CountRule* r = findRule(kCountRules, rule)) {
        return countBonus(scoreItem(record, r->bonusAt), scoreItem(record, r->bonus), value) +
               roleBonus(record, rule, value, position);
    }
    return 0;
}

int allowedPoints(ConstByteSpan record, int rule, int value) {
    if (rule == kYardsAllowedCode) {
        return tableLookup(record, kYardsAllowedTable, value) +
               penalty(scoreItem(record, kYardsAllowedPenaltyAt),
                       scoreItem(record, kYardsAllowedPenalty), value);
    }
    int shutout = value == 0 ? scoreItem(record, kShutoutBonus) : 0;
    return tableLookup(record, kPointsAllowedTable, value) + shutout +
           penalty(scoreItem(record, kPointsAllowedPenaltyAt),
                   scoreItem(record, kPointsAllowedPenalty), value);
}

int defensePoints(ConstByteSpan record, int rule, int value) {
    if (const PerUnitRule* r = findRule(kDefensePerUnitRules, rule)) {
        return value * scoreItem(record, r->item);
    }
    if (rule == kYardsAllowedCode || rule == kPointsAllowedCode) {
        return allowedPoints(record, rule, value);
    }
    if (rule == kDefenseTdRule) {
        return tableLookup(record, kDefenseTdTable, value);
    }
    if (rule == kDefenseTdCount) {
        return teamBonus(scoreItem(record, kDefenseTdBonusAt), scoreItem(record, kDefenseTdBonus),
                         value);
    }
    return 0;
}

int specialTeamsPoints(ConstByteSpan record, int rule, int value) {
    switch (rule) {
        case 61:
            return tableLookup(record, kReturnYardsTable, value) +
                   teamBonus(scoreItem(record, kReturnYardsBonusAt),
                             scoreItem(record, kReturnYardsBonus), value);
        case kReturnTdRule:
            return tableLookup(record, kReturnTdTable, value);
        case 71:
            return teamBonus(scoreItem(record, kReturnTdBonusAt), scoreItem(record, kReturnTdBonus),
                             value);
        default:
            return 0;
    }
}

bool isCountCode(int code) {
    return std::find(std::begin(kCountCodes), std::end(kCountCodes), code) != std::end(kCountCodes);
}

int statisticItemPoints(ConstByteSpan record, ConstByteSpan block, int position, int code) {
    return statisticPoints(record, ruleOf(code), rawValue(block, position, code), position);
}

int areaPoints(ConstByteSpan record, ConstByteSpan block, int position, const Area& area) {
    std::int64_t points = 0;
    for (int code : area.statistics) {
        if (code != 0) {
            points += statisticItemPoints(record, block, position, code);
        }
    }
    // Every slot is scored, empty ones too: entry 0 of a length table is 0.
    for (int slot = 0; slot < kSlotsPerGroup; ++slot) {
        points += statisticItemPoints(record, block, position, area.firstSlot + slot);
    }
    return saturatedInt(points);
}

ConstByteSpan weekBlock(const PlayerWeekView& player, int week) {
    std::size_t at = static_cast<std::size_t>(week) * kStatBlockSize;
    if (at + kStatBlockSize > player.blocks.size()) {
        return {};
    }
    return player.blocks.subspan(at, kStatBlockSize);
}

// The points of a code up to 94 in one week, 0 when the week does not count.
int countedWeekPoints(ConstByteSpan record, const PlayerWeekView& player, int code, int week,
                      const SeasonFacts& facts) {
    ConstByteSpan block = weekBlock(player, week);
    if (block.empty() || !weekCounts(facts, player.team, week)) {
        return 0;
    }
    return weekItemPoints(record, block, player.position, code);
}

int seasonWeeks(const SeasonFacts& facts) {
    return std::clamp(facts.weeks, 0, kWeekSlots);
}

bool hasStats(const SeasonFacts& facts, int week) {
    return facts.weekHasStats && facts.weekHasStats(week);
}

int seasonSum(ConstByteSpan record, const PlayerWeekView& player, int code,
              const SeasonFacts& facts) {
    std::int64_t sum = 0;
    for (int week = 0; week < seasonWeeks(facts); ++week) {
        sum += countedWeekPoints(record, player, code, week, facts);
    }
    return saturatedInt(sum);
}

// Asked week by week: a team may be off in more than one week of a season.
bool isOffWeek(const SeasonFacts& facts, int team, int week) {
    return facts.nfl.teamIsOff && facts.nfl.teamIsOff(team, week);
}

int seasonWeekFigure(ConstByteSpan record, const PlayerWeekView& player, WeekFigure which,
                     const SeasonFacts& facts) {
    WeekFigures figures;
    for (int week = 0; week < seasonWeeks(facts); ++week) {
        bool counted = hasStats(facts, week);
        figures.add(countedWeekPoints(record, player, kTotalPoints, week, facts), counted,
                    !isOffWeek(facts, player.team, week));
    }
    return saturatedInt(figures.seasonValue(which, seasonWeeks(facts)));
}

int seasonItemValue(ConstByteSpan record, const PlayerWeekView& player, int code,
                    const SeasonFacts& facts) {
    if (code >= kFirstSeasonPoints && code <= kLastSeasonPoints) {
        return seasonSum(record, player, code - kFirstSeasonPoints + kTotalPoints, facts);
    }
    if (code >= kHighWeek && code <= kAverageWeek) {
        return seasonWeekFigure(record, player, static_cast<WeekFigure>(code - kHighWeek), facts);
    }
    return countedWeekPoints(record, player, kTotalPoints, code - kFirstWeekPoints, facts);
}

}  // namespace

int statisticPoints(ConstByteSpan record, int rule, int value, int position) {
    if (position == kDefenseUnit) {
        return defensePoints(record, rule, value);
    }
    if (position == kSpecialTeamsUnit) {
        return specialTeamsPoints(record, rule, value);
    }
    return generalPoints(record, rule, value, position);
}

int ruleOf(int statisticCode) {
    int group = slotGroupOf(statisticCode);
    // Each length rule directly follows its group's eight slots (13..20 -> 21).
    return group < 0 ? statisticCode : group + kSlotsPerGroup;
}

int rawValue(ConstByteSpan block, int position, int code) {
    return isCountCode(code) ? blockCount(block, position, code)
                             : blockValue(block, position, code);
}

int weekItemPoints(ConstByteSpan record, ConstByteSpan block, int position, int code) {
    if (code == kTotalPoints) {
        std::int64_t points = rawValue(block, position, kPlayerBonus);
        for (const Area& area : kAreas) {
            points += areaPoints(record, block, position, area);
        }
        return saturatedInt(points);
    }
    if (code >= kPassPointsCode && code <= kSpecialTeamPointsCode) {
        return areaPoints(record, block, position, kAreas[code - kPassPointsCode]);
    }
    return code <= kLastStatisticCode ? statisticItemPoints(record, block, position, code) : 0;
}

bool weekCounts(const SeasonFacts& facts, int team, int week) {
    if (week < 0 || week >= seasonWeeks(facts) || !hasStats(facts, week)) {
        return false;
    }
    // Net passing can be negative in a game that was played: only 0 means no game.
    return facts.nfl.teamPassYards && facts.nfl.teamPassYards(team, week) != 0;
}

bool isSeasonItem(int code) {
    return (code >= kFirstSeasonPoints && code <= kAverageWeek) ||
           (code >= kFirstWeekPoints && code <= kLastWeekPoints);
}

int playerItemValue(ConstByteSpan record, const PlayerWeekView& player, int code, int week,
                    const SeasonFacts& facts) {
    if (isSeasonItem(code)) {
        return seasonItemValue(record, player, code, facts);
    }
    if (code > kSpecialTeamPointsCode) {
        return 0;
    }
    if (week == kAllWeeks) {
        return seasonSum(record, player, code, facts);
    }
    return countedWeekPoints(record, player, code, week, facts);
}

}  // namespace qff
