#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "data02/model/Player.h"
#include "data02/scoring/Week_figures.h"
#include "data02/storage/Bytes.h"
#include "data02/storage/Weeks.h"

namespace qff {

// Codes only scoring gives a meaning to; the player record's own codes
// (week and season totals, high / low / average week) are in Player.h.
enum ScoreCode {
    kPassTdRule = 21,
    kRushTdRule = 34,
    kCatchTdRule = 47,
    kFieldGoalRule = 59,
    kReturnTdRule = 70,
    kDefenseTdRule = 86,
    kLastStatisticCode = 87,
    kPassPointsCode = 89,
    kSpecialTeamPointsCode = 94,
};

// One player as the scoring sees it: the position as the player record reads
// it (after the WR/TE merge), its NFL team and its 20 weekly blocks.
struct PlayerWeekView {
    int id = 0;
    int position = -1;
    int team = -1;
    std::span<const std::uint8_t> blocks;  // kWeekSlots blocks of kStatBlockSize bytes
};

// What only the NFL side knows about a team's weeks. A missing function
// answers 0 / false.
struct NflWeeks {
    // "Pass Yards" (code 12) of the team's QB unit, id 10000 + 10 x team + 10.
    std::function<int(int team, int week)> teamPassYards;
    // Whether the NFL schedule lists the team as off in that week.
    std::function<bool(int team, int week)> teamIsOff;
};

// What decides whether a week counts, beyond the player's own statistics.
struct SeasonFacts {
    int weeks = 0;  // weeks the season plays
    std::function<bool(int week)> weekHasStats;
    NflWeeks nfl;
};

// Points for one raw value under one rule (a statistic code, or a TD/FG
// length rule 21, 34, 47, 59, 70, 86) for a position.
int statisticPoints(ConstByteSpan record, int rule, int value, int position);

// The rule that scores a statistic: a length slot is scored by its group's
// length rule, every other statistic by its own code.
int ruleOf(int statisticCode);

// A statistic's raw value in one weekly block, counts included.
int rawValue(ConstByteSpan block, int position, int code);

// Ungated points of one week for codes up to 94.
int weekItemPoints(ConstByteSpan record, ConstByteSpan block, int position, int code);

// The week gate: the week has statistics, lies within the season and the
// player's NFL team played in it.
bool weekCounts(const SeasonFacts& facts, int team, int week);

// The value of a points code (88 to 104, 110 to 126) or the points of a
// single statistic (up to 87) for one player; 0 for any other code.
int playerItemValue(ConstByteSpan record, const PlayerWeekView& player, int code, int week,
                    const SeasonFacts& facts);

// Codes whose value does not depend on the week passed with them.
bool isSeasonItem(int code);

}  // namespace qff
