#pragma once

#include <cstddef>
#include <optional>

#include "data02/storage/Bytes.h"

namespace qff {

// A player's or team unit's statistics for one week. Every function taking a
// block expects at least kStatBlockSize bytes.
inline constexpr std::size_t kStatBlockSize = 64;

// The position codes whose blocks have a layout of their own.
inline constexpr int kDefenseUnit = 15;
inline constexpr int kSpecialTeamsUnit = 16;

// Slots hold one yardage each (0 = empty) and come in groups of this many.
inline constexpr int kSlotsPerGroup = 8;

// What setBlockValue returns for a code the position does not store.
inline constexpr int kNoBlockField = 101;

struct BlockField {
    int offset;
    int size;  // 1 or 2 bytes
    bool operator==(const BlockField&) const = default;
};

// Where a raw statistic code lives in a block of `position`; nothing when
// that position does not keep it.
std::optional<BlockField> blockField(int position, int code);

// Byte fields read as signed 8-bit, word fields as signed 16-bit; 0 without a field.
int blockValue(ConstByteSpan block, int position, int code);
// 0, or kNoBlockField; a byte field keeps the low 8 bits of `value`.
int setBlockValue(ByteSpan block, int position, int code, int value);

bool isSlotCode(int code);
// The first code of the slot group holding `code`, or -1 for a code outside every group.
int slotGroupOf(int code);
// The non-empty slots of the group holding `slotCode`, normally its first
// code; 0 when the position lacks that group.
int countFilledSlots(ConstByteSpan block, int position, int slotCode);
// The value of a count code (22, 35, 48, 60, 71, 87): the non-empty slots of
// its group; 0 for other codes or when the position lacks the group.
int blockCount(ConstByteSpan block, int position, int countCode);

// Puts `value` in the first empty slot of the group of `slotCode`. False,
// changing nothing, for 0, a full group or a position without the group.
bool addToSlotGroup(ByteSpan block, int position, int slotCode, int value);
// Clears the first slot of the group equal to `value` (compared on the low
// 8 bits) and moves the later slots down one place. False when none matches.
bool removeFromSlotGroup(ByteSpan block, int position, int slotCode, int value);

}  // namespace qff
