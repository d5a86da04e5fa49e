#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "data02/storage/Db_file.h"
#include "data02/storage/Repair.h"
#include "tests/support/SeasonFixture.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::readBytes;
using test::recordFileBytes;
using test::slotBytes;
using test::SlotRecord;
using test::TempDir;
using test::writeBytes;
using ::testing::HasSubstr;

constexpr int kSize = kDivisionRecordSize;

std::vector<SlotRecord> recordsIn(const std::vector<int>& slots) {
    std::vector<SlotRecord> records;
    for (int slot : slots) {
        records.push_back(
            {slot, std::vector<std::uint8_t>(kSize, static_cast<std::uint8_t>(slot + 1))});
    }
    return records;
}

class RepairTest : public ::testing::Test {
  protected:
    std::filesystem::path path(const std::string& name) const { return dir_ / name; }

    std::set<std::string> folderNames() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    TempDir dir_;
    MyMemory memory_{dir_ / "mem_log.txt"};
};

struct RepairCase {
    const char* label;
    std::vector<std::uint8_t> bytes;
    std::string damage;
    std::vector<int> kept;
    std::vector<int> dropped;
};

std::vector<std::uint8_t> cutTo(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

std::vector<std::uint8_t> withHeaderRecordSize(std::vector<std::uint8_t> bytes, int size) {
    putI32(bytes, DBFile::kRecordSizeOffset, size);
    return bytes;
}

class RepairCaseTest : public RepairTest, public ::testing::WithParamInterface<RepairCase> {};

TEST_P(RepairCaseTest, KeepsEveryReadableRecordInItsSlotAndLeavesTheDamagedFileAlone) {
    const RepairCase& c = GetParam();
    writeBytes(path("Div_03.DB"), c.bytes);
    std::string error;

    std::optional<RepairReport> report = repairRecordFile(memory_, path("Div_03.DB"), error);

    ASSERT_TRUE(report) << error;
    EXPECT_EQ(report->repaired, path("Div_03.repaired.DB"));
    EXPECT_EQ(report->damage, c.damage);
    EXPECT_EQ(report->kept, static_cast<int>(c.kept.size()));
    EXPECT_EQ(report->droppedSlots, c.dropped);
    EXPECT_EQ(readBytes(path("Div_03.DB")), c.bytes);
    std::vector<std::uint8_t> record(kSize);
    DBFile repaired(memory_);
    ASSERT_EQ(repaired.openFile(report->repaired, record), 0) << repaired.lastError();
    EXPECT_EQ(repaired.damage(), "");
    EXPECT_EQ(repaired.recordSize(), kSize);
    EXPECT_EQ(repaired.fileYear(), 2003);
    EXPECT_EQ(repaired.usedSlots(), c.kept);
    for (int slot : c.kept) {
        ASSERT_EQ(repaired.gotoSlot(slot), 0);
        ASSERT_EQ(repaired.readCurrent(), 0);
        EXPECT_EQ(record, slotBytes(c.bytes, kSize, slot)) << "slot " << slot;
    }
    EXPECT_FALSE(std::filesystem::exists(path("Div_03.repaired.DB.partial")));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RepairCaseTest,
    ::testing::Values(
        RepairCase{"CutInsideARecord",
                   cutTo(recordFileBytes(2003, kSize, recordsIn({0, 2, 5})),
                         DBFile::kHeaderSize + 3 * kSize + 10),
                   "Div_03.DB is cut short: 1 of its 3 records is missing",
                   {0, 2},
                   {5}},
        RepairCase{"CutBeforeEveryRecord",
                   cutTo(recordFileBytes(2003, kSize, recordsIn({1, 2})), DBFile::kHeaderSize),
                   "Div_03.DB is cut short: all 2 of its records are missing",
                   {},
                   {1, 2}},
        RepairCase{"WrongRecordSize",
                   withHeaderRecordSize(recordFileBytes(2003, kSize, recordsIn({0, 1})), 83),
                   "Div_03.DB has a damaged header (it gives records of 83 bytes where 82 are "
                   "expected)",
                   {0, 1},
                   {}}),
    [](const auto& info) { return std::string(info.param.label); });

struct Refusal {
    const char* label;
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::string said;
};

class RefusalTest : public RepairTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, SaysWhyAndWritesNothing) {
    const Refusal& r = GetParam();
    writeBytes(path(r.name), r.bytes);
    std::set<std::string> before = folderNames();
    std::string error;

    EXPECT_FALSE(repairRecordFile(memory_, path(r.name), error));

    EXPECT_THAT(error, HasSubstr(r.said));
    EXPECT_EQ(folderNames(), before);
    EXPECT_EQ(readBytes(path(r.name)), r.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusalTest,
    ::testing::Values(
        Refusal{"SoundFile", "Div_03.DB", recordFileBytes(2003, kSize, recordsIn({0, 4})),
                "Div_03.DB is not damaged"},
        Refusal{"EmptyFile", "Div_03.DB", {}, "cannot repair Div_03.DB: Div_03.DB is empty"},
        Refusal{"HeaderCut", "Div_03.DB", std::vector<std::uint8_t>(100, 1),
                "its header is incomplete"},
        Refusal{"StatisticsFile", "week1.pts", std::vector<std::uint8_t>(100, 1),
                "not a record file"},
        Refusal{"UnknownFile", "notes.txt", std::vector<std::uint8_t>(100, 1),
                "not a record file"}),
    [](const auto& info) { return std::string(info.param.label); });

// Here a division record filled with 0xEE is garbage.
bool notFilledWithEE(ConstByteSpan record) {
    return record[0] != 0xEE;
}
constexpr RecordCheck kNoEE{"division", "divisions", &notFilledWithEE};

TEST_F(RepairTest, RecordsFailingTheCheckAreLeftOutAndTheirSlotsBlanked) {
    std::vector<SlotRecord> records = recordsIn({0, 1, 2, 3});
    records[1].bytes.assign(kSize, 0xEE);
    records[3].bytes.assign(kSize, 0xEE);
    std::vector<std::uint8_t> bytes = recordFileBytes(2003, kSize, records);
    writeBytes(path("Div_03.DB"), bytes);
    std::string error;

    std::optional<RepairReport> report = repairRecordFile(memory_, path("Div_03.DB"), error, kNoEE);

    ASSERT_TRUE(report) << error;
    EXPECT_EQ(report->damage, "Div_03.DB holds 2 divisions that cannot be read");
    EXPECT_EQ(report->kept, 2);
    EXPECT_EQ(report->droppedSlots, (std::vector<int>{1, 3}));
    EXPECT_EQ(readBytes(path("Div_03.DB")), bytes);
    std::vector<std::uint8_t> repaired = readBytes(report->repaired);
    for (int slot : {0, 2}) {
        EXPECT_EQ(slotBytes(repaired, kSize, slot), records[slot].bytes) << "slot " << slot;
    }
    for (int slot : {1, 3}) {
        EXPECT_EQ(slotBytes(repaired, kSize, slot), std::vector<std::uint8_t>(kSize)) << slot;
    }
    std::vector<std::uint8_t> record(kSize);
    DBFile file(memory_);
    ASSERT_EQ(file.openFile(report->repaired, record), 0) << file.lastError();
    file.checkRecords(kNoEE);
    EXPECT_EQ(file.damage(), "");
    EXPECT_EQ(file.usedSlots(), (std::vector<int>{0, 2}));
}

std::vector<std::uint8_t> cutDivisions() {
    return cutTo(recordFileBytes(2003, kSize, recordsIn({0, 3})), DBFile::kHeaderSize + kSize);
}

TEST_F(RepairTest, AnEarlierRepairIsNeverOverwritten) {
    writeBytes(path("Div_03.DB"), cutDivisions());
    writeBytes(path("Div_03.repaired.DB"), {1, 2, 3});
    std::string error;

    EXPECT_FALSE(repairRecordFile(memory_, path("div_03.db"), error));

    EXPECT_THAT(error, HasSubstr("Div_03.repaired.DB already exists"));
    EXPECT_EQ(readBytes(path("Div_03.repaired.DB")), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(readBytes(path("Div_03.DB")), cutDivisions());
}

TEST_F(RepairTest, ReplacingPutsTheRepairedFileInPlaceAndKeepsTheDamagedOne) {
    writeBytes(path("Div_03.DB"), cutDivisions());
    std::string error;
    std::optional<RepairReport> report = repairRecordFile(memory_, path("Div_03.DB"), error);
    ASSERT_TRUE(report) << error;
    std::vector<std::uint8_t> repaired = readBytes(report->repaired);

    ASSERT_TRUE(replaceWithRepaired(*report, error)) << error;

    EXPECT_EQ(report->setAside, path("Div_03.DB.damaged"));
    EXPECT_EQ(readBytes(path("Div_03.DB.damaged")), cutDivisions());
    EXPECT_EQ(readBytes(path("Div_03.DB")), repaired);
    EXPECT_FALSE(std::filesystem::exists(report->repaired));
}

TEST_F(RepairTest, ReplacingIsRefusedWhileTheSetAsideNameIsTaken) {
    writeBytes(path("Div_03.DB"), cutDivisions());
    writeBytes(path("Div_03.DB.damaged"), {7});
    std::string error;
    std::optional<RepairReport> report = repairRecordFile(memory_, path("Div_03.DB"), error);
    ASSERT_TRUE(report) << error;
    std::vector<std::uint8_t> repaired = readBytes(report->repaired);

    EXPECT_FALSE(replaceWithRepaired(*report, error));

    EXPECT_THAT(error, HasSubstr("Div_03.DB.damaged already exists"));
    EXPECT_EQ(readBytes(path("Div_03.DB")), cutDivisions());
    EXPECT_EQ(readBytes(path("Div_03.DB.damaged")), std::vector<std::uint8_t>{7});
    EXPECT_EQ(readBytes(report->repaired), repaired);
    EXPECT_TRUE(report->setAside.empty());
}

}  // namespace
}  // namespace qff
