#include "data02/storage/Statblock.h"

#include <array>
#include <cstdint>
#include <span>

namespace qff {
namespace {

// Consecutive codes stored side by side: one field, or a whole slot group.
struct Run {
    int firstCode;
    int offset;
    int size;
    int count;
};

constexpr Run kPlayerLayout[] = {
    {9, 0, 1, 1},   {10, 1, 1, 1},  {23, 2, 1, 1},  {11, 3, 1, 1},  {12, 4, 2, 1},
    {13, 6, 1, 8},  {24, 14, 1, 1}, {36, 15, 1, 1}, {25, 16, 2, 1}, {26, 18, 1, 8},
    {37, 26, 1, 1}, {49, 27, 1, 1}, {38, 28, 2, 1}, {39, 30, 1, 8}, {50, 38, 1, 1},
    {51, 39, 1, 8}, {5, 47, 1, 1},  {61, 48, 2, 1}, {62, 50, 1, 8},
};

constexpr Run kDefenseLayout[] = {
    {76, 4, 2, 1},  {78, 6, 1, 8},  {72, 18, 1, 1}, {73, 19, 1, 1},
    {74, 20, 1, 1}, {75, 21, 1, 1}, {77, 22, 1, 1}, {5, 47, 1, 1},
};

constexpr Run kSpecialTeamsLayout[] = {
    {61, 4, 2, 1},
    {62, 6, 1, 8},
    {5, 47, 1, 1},
};

// The last bytes of every block are kept zero.
constexpr int kUsedBytes = 58;

constexpr bool fitsInBlock(std::span<const Run> layout) {
    for (const Run& run : layout) {
        if (run.offset + run.size * run.count > kUsedBytes) {
            return false;
        }
    }
    return true;
}
static_assert(fitsInBlock(kPlayerLayout) && fitsInBlock(kDefenseLayout) &&
              fitsInBlock(kSpecialTeamsLayout));

constexpr int kSlotGroups[] = {13, 26, 39, 51, 62, 78};

struct CountCode {
    int code;
    int group;
};

constexpr CountCode kCountCodes[] = {{22, 13}, {35, 26}, {48, 39}, {60, 51}, {71, 62}, {87, 78}};

// Every code's field in one layout, indexed by code, so a lookup in the hot
// scoring path is one array access instead of a walk over the runs.
constexpr int kCodes = 128;

struct FieldTable {
    std::array<std::int8_t, kCodes> offset{};
    std::array<std::int8_t, kCodes> size{};
};

constexpr FieldTable tableOf(std::span<const Run> layout) {
    FieldTable table;
    for (const Run& run : layout) {
        for (int i = 0; i < run.count; ++i) {
            table.offset[run.firstCode + i] = static_cast<std::int8_t>(run.offset + i * run.size);
            table.size[run.firstCode + i] = static_cast<std::int8_t>(run.size);
        }
    }
    return table;
}

constexpr FieldTable kPlayerFields = tableOf(kPlayerLayout);
constexpr FieldTable kDefenseFields = tableOf(kDefenseLayout);
constexpr FieldTable kSpecialTeamsFields = tableOf(kSpecialTeamsLayout);

const FieldTable& fieldsOf(int position) {
    if (position == kDefenseUnit) {
        return kDefenseFields;
    }
    if (position == kSpecialTeamsUnit) {
        return kSpecialTeamsFields;
    }
    return kPlayerFields;
}

// The offset of the first slot of the group holding `code` in a block of `position`.
std::optional<int> groupOffset(int position, int code) {
    int group = slotGroupOf(code);
    if (group < 0) {
        return std::nullopt;
    }
    std::optional<BlockField> field = blockField(position, group);
    if (!field) {
        return std::nullopt;
    }
    return field->offset;
}

}  // namespace

std::optional<BlockField> blockField(int position, int code) {
    if (code < 0 || code >= kCodes) {
        return std::nullopt;
    }
    const FieldTable& fields = fieldsOf(position);
    if (fields.size[code] == 0) {
        return std::nullopt;
    }
    return BlockField{fields.offset[code], fields.size[code]};
}

int blockValue(ConstByteSpan block, int position, int code) {
    std::optional<BlockField> field = blockField(position, code);
    if (!field) {
        return 0;
    }
    return field->size == 1 ? getI8(block, field->offset) : getI16(block, field->offset);
}

int setBlockValue(ByteSpan block, int position, int code, int value) {
    std::optional<BlockField> field = blockField(position, code);
    if (!field) {
        return kNoBlockField;
    }
    if (field->size == 1) {
        putU8(block, field->offset, static_cast<std::uint8_t>(value));
    } else {
        putI16(block, field->offset, value);
    }
    return 0;
}

bool isSlotCode(int code) {
    return slotGroupOf(code) >= 0;
}

int slotGroupOf(int code) {
    static constexpr auto kGroupOf = [] {
        std::array<std::int8_t, kCodes> groups{};
        groups.fill(-1);
        for (int group : kSlotGroups) {
            for (int i = 0; i < kSlotsPerGroup; ++i) {
                groups[group + i] = static_cast<std::int8_t>(group);
            }
        }
        return groups;
    }();
    return code >= 0 && code < kCodes ? kGroupOf[code] : -1;
}

int countFilledSlots(ConstByteSpan block, int position, int slotCode) {
    std::optional<int> offset = groupOffset(position, slotCode);
    if (!offset) {
        return 0;
    }
    int filled = 0;
    for (int slot = 0; slot < kSlotsPerGroup; ++slot) {
        filled += getU8(block, *offset + slot) != 0 ? 1 : 0;
    }
    return filled;
}

int blockCount(ConstByteSpan block, int position, int countCode) {
    for (const CountCode& count : kCountCodes) {
        if (count.code == countCode) {
            return countFilledSlots(block, position, count.group);
        }
    }
    return 0;
}

bool addToSlotGroup(ByteSpan block, int position, int slotCode, int value) {
    std::optional<int> offset = groupOffset(position, slotCode);
    auto byte = static_cast<std::uint8_t>(value);
    if (!offset || byte == 0) {
        return false;
    }
    for (int slot = *offset; slot < *offset + kSlotsPerGroup; ++slot) {
        if (getU8(block, slot) == 0) {
            putU8(block, slot, byte);
            return true;
        }
    }
    return false;
}

bool removeFromSlotGroup(ByteSpan block, int position, int slotCode, int value) {
    std::optional<int> offset = groupOffset(position, slotCode);
    if (!offset) {
        return false;
    }
    int last = *offset + kSlotsPerGroup - 1;
    auto byte = static_cast<std::uint8_t>(value);
    int slot = *offset;
    while (slot <= last && getU8(block, slot) != byte) {
        ++slot;
    }
    if (slot > last) {
        return false;
    }
    for (; slot < last; ++slot) {
        putU8(block, slot, getU8(block, slot + 1));
    }
    putU8(block, last, 0);
    return true;
}

}  // namespace qff
