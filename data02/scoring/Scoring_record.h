#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "data02/storage/Bytes.h"
#include "data02/storage/Db_file.h"

namespace qff {

// Scoring item codes: every scalar, mode byte and table of a league's scoring
// record. The editor and the reports reach the record only through these.
enum ScoreItem {
    kPassTdMode = 5000,
    kPassTdTable = 5001,
    kPassYardsMode = 5002,
    kPassYardsTable = 5003,
    kPerPassThrown = 5004,
    kPerPassCompleted = 5005,
    kPerInterceptionThrown = 5006,
    kPerPassConversion = 5007,
    kPassTdBonusAt = 5008,
    kPassTdBonus = 5009,
    kPassYardsBonusAt = 5010,
    kPassYardsBonus = 5011,
    kNonQbPassTd = 5012,
    kRushTdMode = 5013,
    kRushTdTable = 5014,
    kRushYardsMode = 5015,
    kRushYardsTable = 5016,
    kPerRush = 5017,
    kPerRushConversion = 5018,
    kRushTdBonusAt = 5019,
    kRushTdBonus = 5020,
    kRushYardsBonusAt = 5021,
    kRushYardsBonus = 5022,
    kReceiverRushTd = 5023,
    kCatchTdMode = 5024,
    kCatchTdTable = 5025,
    kCatchYardsMode = 5026,
    kCatchYardsTable = 5027,
    kPerCatch = 5028,
    kPerCatchConversion = 5029,
    kCatchTdBonusAt = 5030,
    kCatchTdBonus = 5031,
    kCatchYardsBonusAt = 5032,
    kCatchYardsBonus = 5033,
    kQbCatchTd = 5034,
    kFieldGoalMode = 5035,
    kFieldGoalTable = 5036,
    kPerExtraPoint = 5037,
    kFieldGoalBonusAt = 5038,
    kFieldGoalBonus = 5039,
    kReturnTdMode = 5040,
    kReturnTdTable = 5041,
    kReturnYardsMode = 5042,
    kReturnYardsTable = 5043,
    kReturnTdBonusAt = 5044,
    kReturnTdBonus = 5045,
    kReturnYardsBonusAt = 5046,
    kReturnYardsBonus = 5047,
    kYardsAllowedMode = 5048,
    kYardsAllowedTable = 5049,
    kPointsAllowedMode = 5050,
    kPointsAllowedTable = 5051,
    kDefenseTdMode = 5052,
    kDefenseTdTable = 5053,
    kPerDefenseInterception = 5054,
    kPerFumbleRecovered = 5055,
    kPerSack = 5056,
    kPerSafety = 5057,
    kShutoutBonus = 5058,
    kDefenseTdBonusAt = 5059,
    kDefenseTdBonus = 5060,
    kSafetyBonusAt = 5061,
    kSafetyBonus = 5062,
    kPointsAllowedPenaltyAt = 5063,
    kPointsAllowedPenalty = 5064,
    kYardsAllowedPenaltyAt = 5065,
    kYardsAllowedPenalty = 5066,
    kScoreReserved1 = 5067,
    kScoreReserved3 = 5069,
    kScoreLeagueId = 5070,
};

inline constexpr int kFirstScoreItem = kPassTdMode;
inline constexpr int kLastScoreItem = kScoreLeagueId;

// Length tables are indexed by a score's length in yards, yardage tables by a
// week's yards (or, for points allowed, points).
inline constexpr int kLengthTableSize = 101;
inline constexpr int kYardsTableSize = 750;

enum class ScoreFieldKind { Word, Mode, LengthTable, YardsTable, Reserved };

struct ScoreField {
    int offset;
    ScoreFieldKind kind;
};

inline constexpr int kScoreLeagueIdOffset = 9030;
inline constexpr int kScoreReservedTailOffset = 9032;
inline constexpr int kScoreReservedTailSize = 504;
static_assert(kScoreReservedTailOffset + kScoreReservedTailSize == kScoreRecordSize);

// Where an item lives; nothing for a code outside 5000..5070.
std::optional<ScoreField> scoreField(int code);
int tableSize(ScoreFieldKind kind);

// Table entry L(table, v): below 0 reads entry 0, past the end the last entry.
int tableLookup(ConstByteSpan record, int tableCode, int value);

// The item accessors behind getValue/setValue/getTable/putTable, over a
// record image of kScoreRecordSize bytes.
int scoreItem(ConstByteSpan record, int code);
int setScoreItem(ByteSpan record, int code, int value);
int readScoreTable(ConstByteSpan record, int code, std::span<std::int32_t> buffer);
int writeScoreTable(ByteSpan record, int code, std::span<const std::int32_t> buffer);

// Clears the whole record and fills in the defaults of a new league.
void fillDefaultScoring(ByteSpan record, int leagueId);

// What the table accessors answer besides 0 and kUnknownIdStatus.
inline constexpr int kNoTableBuffer = 2;
inline constexpr int kWrongTableCount = 3;
// What scoreItem answers for a code that is not a scalar or mode byte.
inline constexpr int kUnknownScoreItem = -1;

}  // namespace qff
