#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "data02/storage/Statblock.h"

namespace qff {
namespace {

using Block = std::array<std::uint8_t, kStatBlockSize>;
using Slots = std::array<std::uint8_t, kSlotsPerGroup>;

Block blockWith(std::initializer_list<std::pair<int, std::uint8_t>> bytes) {
    Block block{};
    for (auto [at, byte] : bytes) {
        block[at] = byte;
    }
    return block;
}

// Byte values at the offsets where each layout keeps its fields, so the same
// image reads differently for players, the defense unit and special teams.
const Block kSample = blockWith(
    {{0, 30},    {1, 20},    {2, 1},   {3, 200}, {4, 0xFD}, {5, 0xFF}, {6, 45},  {7, 12}, {14, 5},
     {16, 0x2C}, {17, 0x01}, {18, 7},  {19, 2},  {20, 3},   {21, 1},   {22, 17}, {26, 3}, {28, 80},
     {30, 22},   {38, 2},    {39, 47}, {40, 33}, {47, 4},   {48, 16},  {50, 88}, {57, 9}});

struct Field {
    int position;
    int code;
    int offset;
    int size;
    int value;
};

TEST(StatBlockTest, FieldsSitAtTheirOffsetsForEachLayout) {
    for (const Field& f :
         {Field{0, 9, 0, 1, 30},    Field{0, 10, 1, 1, 20},   Field{0, 23, 2, 1, 1},
          Field{0, 11, 3, 1, -56},  Field{0, 12, 4, 2, -3},   Field{0, 13, 6, 1, 45},
          Field{0, 14, 7, 1, 12},   Field{0, 20, 13, 1, 0},   Field{2, 24, 14, 1, 5},
          Field{12, 36, 15, 1, 0},  Field{1, 25, 16, 2, 300}, Field{1, 26, 18, 1, 7},
          Field{1, 27, 19, 1, 2},   Field{1, 33, 25, 1, 0},   Field{2, 37, 26, 1, 3},
          Field{13, 49, 27, 1, 0},  Field{2, 38, 28, 2, 80},  Field{3, 39, 30, 1, 22},
          Field{4, 50, 38, 1, 2},   Field{4, 51, 39, 1, 47},  Field{14, 52, 40, 1, 33},
          Field{10, 5, 47, 1, 4},   Field{6, 61, 48, 2, 16},  Field{6, 62, 50, 1, 88},
          Field{5, 69, 57, 1, 9},   Field{15, 76, 4, 2, -3},  Field{15, 78, 6, 1, 45},
          Field{15, 79, 7, 1, 12},  Field{15, 85, 13, 1, 0},  Field{15, 72, 18, 1, 7},
          Field{15, 73, 19, 1, 2},  Field{15, 74, 20, 1, 3},  Field{15, 75, 21, 1, 1},
          Field{15, 77, 22, 1, 17}, Field{15, 5, 47, 1, 4},   Field{16, 61, 4, 2, -3},
          Field{16, 62, 6, 1, 45},  Field{16, 69, 13, 1, 0},  Field{16, 5, 47, 1, 4}}) {
        SCOPED_TRACE(testing::Message() << "position " << f.position << " code " << f.code);
        EXPECT_EQ(blockField(f.position, f.code), (BlockField{f.offset, f.size}));
        EXPECT_EQ(blockValue(kSample, f.position, f.code), f.value);
    }
}

TEST(StatBlockTest, CodesWithoutAFieldReadZeroAndRefuseToBeSet) {
    for (auto [position, code] : std::initializer_list<std::pair<int, int>>{
             {15, 12}, {15, 9}, {15, 61}, {15, 62}, {15, 51}, {16, 12}, {16, 76}, {16, 72},
             {16, 78}, {0, 76}, {0, 72},  {0, 77},  {14, 78}, {5, 85},  {0, 22},  {0, 87},
             {0, 0},   {0, 8},  {0, 59},  {0, 70},  {0, 88},  {0, -1}}) {
        SCOPED_TRACE(testing::Message() << "position " << position << " code " << code);
        EXPECT_FALSE(blockField(position, code));
        EXPECT_EQ(blockValue(kSample, position, code), 0);
        Block block = kSample;
        EXPECT_EQ(setBlockValue(block, position, code, 5), kNoBlockField);
        EXPECT_EQ(block, kSample);
    }
}

TEST(StatBlockTest, EveryOtherPositionSharesThePlayerLayoutAndTheTailStaysFree) {
    for (int position : {1, 5, 6, 10, 14, 17, 19}) {
        for (int code = -1; code < 100; ++code) {
            SCOPED_TRACE(testing::Message() << "position " << position << " code " << code);
            EXPECT_EQ(blockField(position, code), blockField(0, code));
        }
    }
    for (int position : {0, 15, 16}) {
        for (int code = -1; code < 100; ++code) {
            std::optional<BlockField> field = blockField(position, code);
            bool defenseCode = code >= 72 && code <= 87;
            EXPECT_TRUE(!defenseCode || position == 15 || !field) << code;
            EXPECT_TRUE(!field || field->offset + field->size <= 58) << code;
        }
    }
}

struct Store {
    int position;
    int code;
    int value;
    int read;
    std::vector<std::pair<int, std::uint8_t>> bytes;
};

TEST(StatBlockTest, SetWritesLittleEndianAndKeepsTheLowByteOfByteFields) {
    for (const Store& s :
         {Store{0, 9, 300, 44, {{0, 44}}}, Store{0, 11, -5, -5, {{3, 0xFB}}},
          Store{0, 38, 0x1234, 0x1234, {{28, 0x34}, {29, 0x12}}},
          Store{1, 25, -1234, -1234, {{16, 0x2E}, {17, 0xFB}}},
          Store{15, 76, 512, 512, {{4, 0x00}, {5, 0x02}}}, Store{15, 77, 200, -56, {{22, 200}}},
          Store{16, 61, -2, -2, {{4, 0xFE}, {5, 0xFF}}}, Store{0, 58, 51, 51, {{46, 51}}}}) {
        SCOPED_TRACE(testing::Message() << "position " << s.position << " code " << s.code);
        Block block = kSample;
        EXPECT_EQ(setBlockValue(block, s.position, s.code, s.value), 0);
        EXPECT_EQ(blockValue(block, s.position, s.code), s.read);
        Block expected = kSample;
        for (auto [at, byte] : s.bytes) {
            expected[at] = byte;
        }
        EXPECT_EQ(block, expected);
    }
}

TEST(StatBlockTest, SlotCodesBelongToTheirGroups) {
    for (auto [code, group] : std::initializer_list<std::pair<int, int>>{
             {13, 13}, {20, 13}, {26, 26}, {33, 26}, {39, 39}, {46, 39}, {51, 51}, {58, 51},
             {62, 62}, {69, 62}, {78, 78}, {85, 78}, {12, -1}, {21, -1}, {22, -1}, {34, -1},
             {50, -1}, {59, -1}, {70, -1}, {77, -1}, {86, -1}, {0, -1},  {-13, -1}}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(slotGroupOf(code), group);
        EXPECT_EQ(isSlotCode(code), group >= 0);
    }
}

struct Count {
    int position;
    int code;
    int count;
};

TEST(StatBlockTest, CountCodesCountTheFilledSlotsOfTheirGroup) {
    for (const Count& c :
         {Count{0, 22, 2}, Count{0, 35, 5}, Count{0, 48, 1}, Count{4, 60, 2}, Count{6, 71, 2},
          Count{0, 87, 0}, Count{10, 35, 5}, Count{15, 87, 2}, Count{15, 22, 0}, Count{15, 35, 0},
          Count{15, 48, 0}, Count{15, 60, 0}, Count{15, 71, 0}, Count{16, 71, 2}, Count{16, 87, 0},
          Count{16, 22, 0}, Count{16, 60, 0}, Count{0, 13, 0}, Count{0, 12, 0}}) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << " code " << c.code);
        EXPECT_EQ(blockCount(kSample, c.position, c.code), c.count);
    }
    EXPECT_EQ(countFilledSlots(kSample, 0, 26), 5);
    EXPECT_EQ(countFilledSlots(kSample, 15, 78), 2);
    EXPECT_EQ(countFilledSlots(kSample, 15, 13), 0);
    EXPECT_EQ(countFilledSlots(kSample, 0, 12), 0);
}

Slots slotsAt(const Block& block, int offset) {
    Slots slots{};
    std::copy_n(block.begin() + offset, kSlotsPerGroup, slots.begin());
    return slots;
}

Block blockWithSlots(int offset, const Slots& slots) {
    Block block{};
    std::copy(slots.begin(), slots.end(), block.begin() + offset);
    return block;
}

struct SlotChange {
    int position;
    int code;
    int offset;
    Slots before;
    int value;
    bool changed;
    Slots after;
};

TEST(StatBlockTest, AddingFillsTheFirstEmptySlotOfTheGroup) {
    for (const SlotChange& s :
         {SlotChange{0, 26, 18, {}, 15, true, {15}}, SlotChange{0, 30, 18, {15}, 7, true, {15, 7}},
          SlotChange{4, 51, 39, {20, 0, 35}, 48, true, {20, 48, 35}},
          SlotChange{15, 78, 6, {3}, 200, true, {3, 200}},
          SlotChange{16, 62, 6, {}, 99, true, {99}},
          SlotChange{0, 62, 50, {1, 2}, 0, false, {1, 2}},
          SlotChange{0, 13, 6, {1, 2, 3, 4, 5, 6, 7, 8}, 9, false, {1, 2, 3, 4, 5, 6, 7, 8}},
          SlotChange{15, 13, 6, {}, 5, false, {}}, SlotChange{16, 78, 6, {}, 5, false, {}},
          SlotChange{0, 12, 4, {}, 5, false, {}}}) {
        SCOPED_TRACE(testing::Message() << "position " << s.position << " code " << s.code);
        Block block = blockWithSlots(s.offset, s.before);
        EXPECT_EQ(addToSlotGroup(block, s.position, s.code, s.value), s.changed);
        EXPECT_EQ(block, blockWithSlots(s.offset, s.after));
    }
}

TEST(StatBlockTest, RemovingClearsTheFirstEqualSlotAndMovesTheRestDown) {
    for (const SlotChange& s :
         {SlotChange{0, 51, 39, {20, 35, 20, 48}, 20, true, {35, 20, 48}},
          SlotChange{0, 58, 39, {35, 20, 48}, 48, true, {35, 20}},
          SlotChange{0, 39, 30, {1, 2, 3, 4, 5, 6, 7, 8}, 1, true, {2, 3, 4, 5, 6, 7, 8}},
          SlotChange{0, 39, 30, {1, 2, 3, 4, 5, 6, 7, 8}, 8, true, {1, 2, 3, 4, 5, 6, 7}},
          SlotChange{15, 80, 6, {9, 200, 12}, 200, true, {9, 12}},
          SlotChange{16, 62, 6, {40, 50}, 40, true, {50}},
          SlotChange{0, 51, 39, {35, 20}, 99, false, {35, 20}},
          SlotChange{15, 13, 6, {5}, 5, false, {5}}}) {
        SCOPED_TRACE(testing::Message() << "position " << s.position << " code " << s.code);
        Block block = blockWithSlots(s.offset, s.before);
        EXPECT_EQ(removeFromSlotGroup(block, s.position, s.code, s.value), s.changed);
        EXPECT_EQ(slotsAt(block, s.offset), s.after);
        EXPECT_EQ(block, blockWithSlots(s.offset, s.after));
    }
}

TEST(StatBlockTest, AddedSlotsShowInTheCountAndLeaveOtherGroupsAlone) {
    Block block = kSample;
    ASSERT_TRUE(addToSlotGroup(block, 0, 39, 64));
    EXPECT_EQ(blockCount(block, 0, 48), 2);
    EXPECT_EQ(blockValue(block, 0, 40), 64);
    ASSERT_TRUE(removeFromSlotGroup(block, 0, 39, 22));
    EXPECT_EQ(blockValue(block, 0, 39), 64);
    EXPECT_EQ(blockCount(block, 0, 48), 1);
    EXPECT_EQ(blockCount(block, 0, 35), 5);
    EXPECT_EQ(blockValue(block, 0, 38), 80);
    EXPECT_EQ(blockValue(block, 0, 50), 2);
}

}  // namespace
}  // namespace qff
