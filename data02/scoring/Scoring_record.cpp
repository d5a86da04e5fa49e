#include "data02/scoring/Scoring_record.h"

#include <algorithm>
#include <array>
#include <limits>

#include "data02/diag/Status.h"

namespace qff {
namespace {

using K = ScoreFieldKind;

// Indexed by code - 5000; the offsets are the stored format.
struct Entry {
    int code;
    ScoreField field;
};

constexpr std::array<Entry, kLastScoreItem - kFirstScoreItem + 1> kLayout{{
    {5000, {8, K::Mode}},
    {5001, {10, K::LengthTable}},
    {5002, {212, K::Mode}},
    {5003, {214, K::YardsTable}},
    {5004, {0, K::Word}},
    {5005, {2, K::Word}},
    {5006, {4, K::Word}},
    {5007, {6, K::Word}},
    {5008, {1714, K::Word}},
    {5009, {1716, K::Word}},
    {5010, {1718, K::Word}},
    {5011, {1720, K::Word}},
    {5012, {1722, K::Word}},
    {5013, {1728, K::Mode}},
    {5014, {1730, K::LengthTable}},
    {5015, {1932, K::Mode}},
    {5016, {1934, K::YardsTable}},
    {5017, {1724, K::Word}},
    {5018, {1726, K::Word}},
    {5019, {3434, K::Word}},
    {5020, {3436, K::Word}},
    {5021, {3438, K::Word}},
    {5022, {3440, K::Word}},
    {5023, {3442, K::Word}},
    {5024, {3448, K::Mode}},
    {5025, {3450, K::LengthTable}},
    {5026, {3652, K::Mode}},
    {5027, {3654, K::YardsTable}},
    {5028, {3444, K::Word}},
    {5029, {3446, K::Word}},
    {5030, {5154, K::Word}},
    {5031, {5156, K::Word}},
    {5032, {5158, K::Word}},
    {5033, {5160, K::Word}},
    {5034, {5162, K::Word}},
    {5035, {5166, K::Mode}},
    {5036, {5168, K::LengthTable}},
    {5037, {5164, K::Word}},
    {5038, {5370, K::Word}},
    {5039, {5372, K::Word}},
    {5040, {5374, K::Mode}},
    {5041, {5376, K::LengthTable}},
    {5042, {5578, K::Mode}},
    {5043, {5580, K::YardsTable}},
    {5044, {7080, K::Word}},
    {5045, {7082, K::Word}},
    {5046, {7084, K::Word}},
    {5047, {7086, K::Word}},
    {5048, {7096, K::Mode}},
    {5049, {7098, K::YardsTable}},
    {5050, {8598, K::Mode}},
    {5051, {8600, K::LengthTable}},
    {5052, {8802, K::Mode}},
    {5053, {8804, K::LengthTable}},
    {5054, {7088, K::Word}},
    {5055, {7090, K::Word}},
    {5056, {7092, K::Word}},
    {5057, {7094, K::Word}},
    {5058, {9006, K::Word}},
    {5059, {9008, K::Word}},
    {5060, {9010, K::Word}},
    {5061, {9012, K::Word}},
    {5062, {9014, K::Word}},
    {5063, {9016, K::Word}},
    {5064, {9018, K::Word}},
    {5065, {9020, K::Word}},
    {5066, {9022, K::Word}},
    {5067, {9024, K::Reserved}},
    {5068, {9026, K::Reserved}},
    {5069, {9028, K::Reserved}},
    {5070, {kScoreLeagueIdOffset, K::Word}},
}};

constexpr bool inCodeOrder() {
    for (std::size_t i = 0; i < kLayout.size(); ++i) {
        if (kLayout[i].code != kFirstScoreItem + static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(inCodeOrder());

constexpr int fieldEnd(const ScoreField& field) {
    switch (field.kind) {
        case K::Mode:
            return field.offset + 1;
        case K::LengthTable:
            return field.offset + 2 * kLengthTableSize;
        case K::YardsTable:
            return field.offset + 2 * kYardsTableSize;
        default:
            return field.offset + 2;
    }
}

// No two items overlap and every item ends before the reserved tail.
constexpr bool layoutIsSound() {
    for (const Entry& ea : kLayout) {
        const ScoreField& a = ea.field;
        if (fieldEnd(a) > kScoreReservedTailOffset) {
            return false;
        }
        for (const Entry& eb : kLayout) {
            const ScoreField& b = eb.field;
            if (&ea != &eb && a.offset < fieldEnd(b) && b.offset < fieldEnd(a)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(layoutIsSound());

// A value kept in an i16 field is clamped rather than wrapped, so an oversized
// entry keeps its sign instead of turning a reward into a penalty.
std::int32_t toWord(std::int32_t value) {
    return std::clamp<std::int32_t>(value, std::numeric_limits<std::int16_t>::min(),
                                    std::numeric_limits<std::int16_t>::max());
}

bool isScalar(K kind) {
    return kind == K::Word || kind == K::Mode;
}

bool isTable(K kind) {
    return kind == K::LengthTable || kind == K::YardsTable;
}

// Why a table copy cannot go ahead, checked before anything is copied.
int tableStatus(const std::optional<ScoreField>& field, const void* buffer, std::size_t count) {
    if (buffer == nullptr) {
        return kNoTableBuffer;
    }
    if (!field || !isTable(field->kind)) {
        return kUnknownIdStatus;
    }
    if (static_cast<int>(count) != tableSize(field->kind)) {
        return kWrongTableCount;
    }
    return kOk;
}

void fillRange(ByteSpan record, int tableCode, int from, int to, int points) {
    int offset = kLayout[tableCode - kFirstScoreItem].field.offset;
    for (int entry = from; entry <= to; ++entry) {
        putI16(record, offset + 2 * entry, points);
    }
}

struct Range {
    int from;
    int to;
    int points;
};

struct RangeTable {
    int code;
    std::array<Range, 5> ranges;
};

constexpr RangeTable kDefaultRanges[] = {
    {kPassTdTable, {{{1, 9, 3}, {10, 19, 4}, {20, 39, 6}, {40, 59, 8}, {60, 100, 10}}}},
    {kRushTdTable, {{{1, 2, 5}, {3, 9, 7}, {10, 19, 9}, {20, 29, 12}, {30, 100, 15}}}},
    {kCatchTdTable, {{{1, 9, 5}, {10, 19, 7}, {20, 39, 9}, {40, 59, 12}, {60, 100, 15}}}},
    {kFieldGoalTable, {{{1, 28, 2}, {29, 37, 3}, {38, 44, 5}, {45, 50, 8}, {51, 100, 13}}}},
};

struct Default {
    int code;
    int value;
};

constexpr Default kDefaultItems[] = {
    {kPerInterceptionThrown, -1},
    {kPerPassConversion, 2},
    {kPassTdMode, 3},
    {kNonQbPassTd, 5},
    {kPerRushConversion, 2},
    {kRushTdMode, 3},
    {kReceiverRushTd, 5},
    {kPerCatchConversion, 2},
    {kCatchTdMode, 3},
    {kQbCatchTd, 5},
    {kPerExtraPoint, 1},
    {kFieldGoalMode, 3},
    {kReturnTdMode, 1},
    {kPerDefenseInterception, 1},
    {kPerFumbleRecovered, 1},
    {kPerSack, 1},
    {kPerSafety, 2},
    {kDefenseTdMode, 1},
    {kShutoutBonus, 5},
};

constexpr int kDefaultTdPoints = 6;

}  // namespace

std::optional<ScoreField> scoreField(int code) {
    if (code < kFirstScoreItem || code > kLastScoreItem) {
        return std::nullopt;
    }
    return kLayout[code - kFirstScoreItem].field;
}

int tableSize(ScoreFieldKind kind) {
    return kind == K::YardsTable ? kYardsTableSize : kLengthTableSize;
}

int tableLookup(ConstByteSpan record, int tableCode, int value) {
    const ScoreField& field = kLayout[tableCode - kFirstScoreItem].field;
    int entry = std::clamp(value, 0, tableSize(field.kind) - 1);
    return getI16(record, field.offset + 2 * entry);
}

int scoreItem(ConstByteSpan record, int code) {
    std::optional<ScoreField> field = scoreField(code);
    if (!field || !isScalar(field->kind)) {
        return kUnknownScoreItem;
    }
    return field->kind == K::Mode ? getU8(record, field->offset) : getI16(record, field->offset);
}

int setScoreItem(ByteSpan record, int code, int value) {
    std::optional<ScoreField> field = scoreField(code);
    if (!field || !isScalar(field->kind)) {
        return kUnknownIdStatus;
    }
    if (field->kind == K::Mode) {
        putU8(record, field->offset, static_cast<std::uint8_t>(value));
    } else {
        putI16(record, field->offset, toWord(value));
    }
    return kOk;
}

int readScoreTable(ConstByteSpan record, int code, std::span<std::int32_t> buffer) {
    std::optional<ScoreField> field = scoreField(code);
    if (int status = tableStatus(field, buffer.data(), buffer.size()); status != kOk) {
        return status;
    }
    for (std::size_t entry = 0; entry < buffer.size(); ++entry) {
        buffer[entry] = getI16(record, field->offset + 2 * entry);
    }
    return kOk;
}

int writeScoreTable(ByteSpan record, int code, std::span<const std::int32_t> buffer) {
    std::optional<ScoreField> field = scoreField(code);
    if (int status = tableStatus(field, buffer.data(), buffer.size()); status != kOk) {
        return status;
    }
    for (std::size_t entry = 0; entry < buffer.size(); ++entry) {
        putI16(record, field->offset + 2 * entry, toWord(buffer[entry]));
    }
    return kOk;
}

void fillDefaultScoring(ByteSpan record, int leagueId) {
    std::fill(record.begin(), record.end(), std::uint8_t{0});
    setScoreItem(record, kScoreLeagueId, leagueId);
    for (const Default& item : kDefaultItems) {
        setScoreItem(record, item.code, item.value);
    }
    for (const RangeTable& table : kDefaultRanges) {
        for (const Range& range : table.ranges) {
            fillRange(record, table.code, range.from, range.to, range.points);
        }
    }
    // Entry 0 stands for an empty slot and stays 0 in every length table.
    fillRange(record, kReturnTdTable, 1, kLengthTableSize - 1, kDefaultTdPoints);
    fillRange(record, kDefenseTdTable, 1, kLengthTableSize - 1, kDefaultTdPoints);
}

}  // namespace qff
