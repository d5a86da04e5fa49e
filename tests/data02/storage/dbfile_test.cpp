#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <array>
#include <filesystem>
#include <numeric>
#include <utility>

#include "data02/storage/Db_file.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::FileSizeLimit;

using test::readBytes;
using test::TempDir;
using test::writeBytes;

constexpr int kSize = 8;
using Record = std::array<std::uint8_t, kSize>;

std::vector<std::uint8_t> standardHeader(int year, int recordSize,
                                         std::initializer_list<int> usedSlots) {
    std::vector<std::uint8_t> bytes(DBFile::kHeaderSize, 0);
    putI32(bytes, 80, year);
    putI32(bytes, 84, recordSize);
    for (int slot : usedSlots) {
        bytes[88 + slot] = 1;
    }
    return bytes;
}

void appendRecord(std::vector<std::uint8_t>& bytes, std::uint8_t fill) {
    bytes.insert(bytes.end(), kSize, fill);
}

// Variant layout: 92-byte header, then one leading byte and a record per slot.
std::vector<std::uint8_t> variantFile(int lengthField, int count, int inUse, int first,
                                      int records) {
    std::vector<std::uint8_t> bytes(DBFile::kVariantHeaderSize, 0);
    putI16(bytes, 80, lengthField);
    putI16(bytes, 82, 2003);
    putI16(bytes, 84, count);
    putI16(bytes, 86, inUse);
    putI16(bytes, 88, first);
    for (int r = 0; r < records; ++r) {
        bytes.push_back(0xEE);
        bytes.insert(bytes.end(), kSize, static_cast<std::uint8_t>(r + 1));
    }
    return bytes;
}

class DBFileTest : public ::testing::Test {
  protected:
    std::filesystem::path path(const std::string& name) { return dir_ / name; }

    TempDir dir_;
    MyMemory memory_{dir_ / "mem_log.txt"};
    Record record_{};
    DBFile file_{memory_};
};

TEST(SeasonFileNameTest, NamesFollowTheSeasonNumber) {
    struct Case {
        SeasonFile file;
        int year;
        const char* name;
    };
    for (const Case& c :
         {Case{SeasonFile::Plyr, 2003, "Plyr_03.DB"}, Case{SeasonFile::Plyr, 1999, "Plyr_99.DB"},
          Case{SeasonFile::Team, 2010, "Team_10.DB"}, Case{SeasonFile::State, 2000, "State_00.DB"},
          Case{SeasonFile::Sched, 1905, "Sched_05.DB"},
          Case{SeasonFile::Score, 2024, "Score_24.DB"}}) {
        EXPECT_EQ(seasonFileName(c.file, c.year).value_or("none"), c.name);
    }
    EXPECT_FALSE(seasonFileName(SeasonFile::Leg, 1899));
}

TEST(SeasonFileNameTest, RecordSizesOfTheSeasonFiles) {
    const int sizes[] = {1314, 3136, 82, 2700, 308, 9396, 82180, 9536, 420};
    int i = 0;
    for (SeasonFile file : kAllSeasonFiles) {
        EXPECT_EQ(seasonFileRecordSize(file), sizes[i++]) << seasonFilePrefix(file);
    }
}

TEST(SeasonFileNameTest, StatisticsLayoutIsChosenByExtensionInAnyCase) {
    for (const char* name : {"WK1.PTS", "3_wk1.pts", "Update3.Ros", "x.pTs"}) {
        EXPECT_TRUE(isStatisticsFileName(name)) << name;
    }
    for (const char* name : {"Plyr_03.DB", "pts", "x.ptsx", "Prefs.db"}) {
        EXPECT_FALSE(isStatisticsFileName(name)) << name;
    }
}

TEST(SeasonFileNameTest, RecordSizeFollowsTheKindOfFileTheNameNames) {
    struct Case {
        const char* name;
        std::optional<int> size;
    };
    for (const Case& c :
         {Case{"Plyr_03.DB", 1314}, Case{"plyr_24.db", 1314}, Case{"Sched_99.DB", 82180},
          Case{"State_05.db", 420}, Case{"PREFS.DB", 2756}, Case{"sticky.db", 264},
          Case{"3_WK1.PTS", 91}, Case{"Update3.ros", 91}, Case{"Plyr_.DB", std::nullopt},
          Case{"Plyr_3x.DB", std::nullopt}, Case{"Player_03.DB", std::nullopt},
          Case{"notes.txt", std::nullopt}}) {
        EXPECT_EQ(recordSizeForFileName(c.name), c.size) << c.name;
    }
}

TEST_F(DBFileTest, CreatedFileHasAnEmptyStandardHeader) {
    ASSERT_EQ(file_.createFile(path("Div_03.DB"), 2003, 82), 0);
    EXPECT_FALSE(file_.isOpen());
    EXPECT_EQ(file_.currentSlot(), -1);
    EXPECT_EQ(readBytes(path("Div_03.DB")), standardHeader(2003, 82, {}));
}

TEST_F(DBFileTest, FirstAddedRecordLandsAtSlotZero) {
    ASSERT_EQ(file_.createFile(path("t.DB"), 2003, kSize), 0);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    record_.fill(0x5A);
    ASSERT_EQ(file_.addRecord(), 0);
    EXPECT_EQ(file_.currentSlot(), 0);
    auto expected = standardHeader(2003, kSize, {0});
    appendRecord(expected, 0x5A);
    EXPECT_EQ(readBytes(path("t.DB")), expected);
}

TEST_F(DBFileTest, OpeningReadsTheLowestUsedSlot) {
    auto bytes = standardHeader(2003, kSize, {2, 3});
    for (std::uint8_t fill : {0x10, 0x11, 0x12, 0x13}) {
        appendRecord(bytes, fill);
    }
    writeBytes(path("t.DB"), bytes);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    EXPECT_EQ(file_.currentSlot(), 2);
    EXPECT_EQ(record_[0], 0x12);
    EXPECT_EQ(file_.fileYear(), 2003);
    EXPECT_EQ(file_.recordSize(), kSize);
    EXPECT_EQ(file_.slotCount(), 4);
    EXPECT_EQ(file_.usedCount(), 2);
    ASSERT_EQ(file_.readNext(), 0);
    EXPECT_EQ(file_.currentSlot(), 3);
    EXPECT_EQ(record_[7], 0x13);
    EXPECT_NE(file_.readNext(), 0);
}

TEST_F(DBFileTest, EmptyFileOpensAndLeavesTheRecordAlone) {
    writeBytes(path("t.DB"), standardHeader(2003, kSize, {}));
    record_.fill(7);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    EXPECT_EQ(record_[0], 7);
    EXPECT_FALSE(file_.hasRecords());
    EXPECT_NE(file_.readFirst(), 0);
}

TEST_F(DBFileTest, WriteTouchesOnlyItsOwnSlot) {
    auto bytes = standardHeader(2003, kSize, {0, 1, 2});
    for (std::uint8_t fill : {1, 2, 3}) {
        appendRecord(bytes, fill);
    }
    writeBytes(path("t.DB"), bytes);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    ASSERT_EQ(file_.gotoSlot(1), 0);
    record_.fill(0xAB);
    ASSERT_EQ(file_.writeCurrent(), 0);
    std::fill(bytes.begin() + 2136 + kSize, bytes.begin() + 2136 + 2 * kSize, 0xAB);
    EXPECT_EQ(readBytes(path("t.DB")), bytes);
}

TEST_F(DBFileTest, DeletedSlotIsReusedByTheNextAdd) {
    ASSERT_EQ(file_.createFile(path("t.DB"), 2003, kSize), 0);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    for (int i = 0; i < 10; ++i) {
        record_.fill(static_cast<std::uint8_t>(i));
        ASSERT_EQ(file_.addRecord(), 0);
    }
    ASSERT_EQ(file_.gotoSlot(5), 0);
    ASSERT_EQ(file_.deleteCurrent(), 0);
    EXPECT_EQ(file_.currentSlot(), 6);
    EXPECT_FALSE(file_.isSlotUsed(5));
    ASSERT_EQ(file_.addRecord(), 0);
    EXPECT_EQ(file_.currentSlot(), 5);
    EXPECT_EQ(file_.usedCount(), 10);
}

TEST_F(DBFileTest, DeletingTheOnlyRecordLeavesNoRecords) {
    ASSERT_EQ(file_.createFile(path("t.DB"), 2003, kSize), 0);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    ASSERT_EQ(file_.addRecord(), 0);
    ASSERT_EQ(file_.deleteCurrent(), 0);
    EXPECT_FALSE(file_.hasRecords());
    EXPECT_NE(file_.readFirst(), 0);
    EXPECT_NE(file_.deleteCurrent(), 0);
}

TEST_F(DBFileTest, DeleteMovesToTheNearestUsedSlotBelowWhenNoneIsAbove) {
    writeBytes(path("t.DB"), [] {
        auto b = standardHeader(2003, kSize, {1, 4});
        for (int i = 0; i < 5; ++i) {
            appendRecord(b, static_cast<std::uint8_t>(i));
        }
        return b;
    }());
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    ASSERT_EQ(file_.gotoSlot(4), 0);
    ASSERT_EQ(file_.deleteCurrent(), 0);
    EXPECT_EQ(file_.currentSlot(), 1);
}

TEST_F(DBFileTest, FullFileRefusesAnAddAndStaysUnchanged) {
    std::vector<int> slots(DBFile::kSlots);
    auto bytes = standardHeader(2003, kSize, {});
    std::fill(bytes.begin() + 88, bytes.end(), 1);
    for (int i = 0; i < DBFile::kSlots; ++i) {
        appendRecord(bytes, 0x22);
    }
    writeBytes(path("t.DB"), bytes);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    EXPECT_EQ(file_.addRecord(), 1);
    EXPECT_EQ(readBytes(path("t.DB")), bytes);
    ASSERT_EQ(file_.gotoSlot(2047), 0);
    EXPECT_EQ(file_.readNext(), 1);
}

TEST_F(DBFileTest, ReadingASlotPastTheEndFailsAndZeroesTheRecord) {
    auto bytes = standardHeader(2003, kSize, {0, 5});
    appendRecord(bytes, 0x31);
    writeBytes(path("t.DB"), bytes);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    EXPECT_EQ(record_[0], 0x31);
    EXPECT_EQ(file_.readNext(), 1);
    EXPECT_EQ(record_, Record{});
    EXPECT_NE(file_.lastError().find("truncated"), std::string::npos);
}

TEST_F(DBFileTest, NamesAreFoundWithoutRegardToCase) {
    ASSERT_EQ(file_.createFile(path("plyr_24.db"), 2024, kSize), 0);
    ASSERT_EQ(file_.openFile(path("Plyr_24.DB"), record_), 0);
    ASSERT_EQ(file_.addRecord(), 0);
    file_.closeFile();
    ASSERT_EQ(file_.createFile(path("Plyr_24.DB"), 2024, kSize), 0);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"mem_log.txt", "plyr_24.db"}));
}

TEST_F(DBFileTest, CloseZeroesTheBoundRecord) {
    auto bytes = standardHeader(2003, kSize, {0});
    appendRecord(bytes, 0x31);
    writeBytes(path("t.DB"), bytes);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    file_.closeFile();
    EXPECT_EQ(record_, Record{});
    EXPECT_FALSE(file_.isOpen());
}

TEST_F(DBFileTest, VariantIterationStartsAtTheFirstSlotAndEndsWithTheFile) {
    writeBytes(path("WK1.PTS"), variantFile(kSize + 1, 5, 5, 2, 5));
    ASSERT_EQ(file_.openFile(path("WK1.PTS"), record_), 0);
    EXPECT_TRUE(file_.isVariant());
    EXPECT_EQ(file_.fileYear(), 2003);
    EXPECT_EQ(file_.slotCount(), 5);
    std::vector<int> seen{record_[0]};
    while (file_.readNext() == 0) {
        seen.push_back(record_[0]);
    }
    EXPECT_EQ(seen, (std::vector<int>{3, 4, 5}));
    EXPECT_TRUE(file_.isSlotUsed(1000));
    EXPECT_EQ(file_.usedSlots(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(file_.writeCurrent(), 1);
    EXPECT_EQ(file_.addRecord(), 1);
    EXPECT_EQ(file_.deleteCurrent(), 1);
}

TEST_F(DBFileTest, EmptyVariantFileOpensAndHasNothingToRead) {
    writeBytes(path("x.ros"), variantFile(kSize + 1, 0, 0, 0, 0));
    ASSERT_EQ(file_.openFile(path("x.ros"), record_), 0);
    EXPECT_NE(file_.readFirst(), 0);
}

struct BadFile {
    const char* label;
    const char* name;
    std::vector<std::uint8_t> bytes;
};

class BadFileTest : public DBFileTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadFileTest, FailsWithAReasonAndLeavesTheFileAsItWas) {
    const BadFile& bad = GetParam();
    writeBytes(path(bad.name), bad.bytes);
    record_.fill(9);
    EXPECT_EQ(file_.openFile(path(bad.name), record_), 1);
    EXPECT_FALSE(file_.isOpen());
    EXPECT_FALSE(file_.lastError().empty());
    EXPECT_EQ(readBytes(path(bad.name)), bad.bytes);
}

std::vector<std::uint8_t> truncate(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadFileTest,
    ::testing::Values(
        BadFile{"truncated header", "t.DB", truncate(standardHeader(2003, kSize, {0}), 2000)},
        BadFile{"truncated variant header", "w.pts", truncate(variantFile(9, 1, 1, 0, 1), 50)},
        BadFile{"variant with wrong record length", "w.pts", variantFile(92, 1, 1, 0, 1)},
        BadFile{"variant with negative count", "w.pts", variantFile(9, -1, 1, 0, 1)},
        BadFile{"variant with negative in-use count", "w.pts", variantFile(9, 1, -4, 0, 1)},
        BadFile{"variant first slot out of range", "w.pts", variantFile(9, 1, 1, 4000, 1)},
        BadFile{"variant first record missing", "w.pts", variantFile(9, 3, 3, 2, 1)},
        BadFile{"variant with more records than its header", "w.pts", variantFile(9, 1, 1, 0, 2)},
        BadFile{"variant with more in use than it holds", "w.pts", variantFile(9, 1, 2, 0, 1)},
        BadFile{"variant past the slot count", "w.pts",
                variantFile(9, DBFile::kSlots + 1, 1, 0, DBFile::kSlots + 1)}),
    [](const auto& info) {
        std::string name = info.param.label;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

// A record file whose header gives `headerRecordSize` and marks `usedSlots`,
// followed by `bodyBytes` bytes of records that each hold their slot + 1.
std::vector<std::uint8_t> recordFile(int headerRecordSize, const std::vector<int>& usedSlots,
                                     std::size_t bodyBytes) {
    std::vector<std::uint8_t> bytes(DBFile::kHeaderSize, 0);
    putI32(bytes, 80, 2003);
    putI32(bytes, 84, headerRecordSize);
    for (int slot : usedSlots) {
        bytes[88 + slot] = 1;
    }
    for (std::size_t at = 0; at < bodyBytes; ++at) {
        bytes.push_back(static_cast<std::uint8_t>(at / kSize + 1));
    }
    return bytes;
}

std::vector<int> slotsUpTo(int count) {
    std::vector<int> slots(static_cast<std::size_t>(count));
    std::iota(slots.begin(), slots.end(), 0);
    return slots;
}

struct DamagedFile {
    const char* label;
    std::vector<std::uint8_t> bytes;
    std::string damage;
    std::vector<int> readable;
    bool opens = true;
};

class DamagedFileTest : public DBFileTest, public ::testing::WithParamInterface<DamagedFile> {
  protected:
    std::vector<int> readableSlots() {
        std::vector<int> slots;
        for (int slot : file_.usedSlots()) {
            if (file_.gotoSlot(slot) == 0 && file_.readCurrent() == 0) {
                EXPECT_EQ(record_[0], slot + 1) << "slot " << slot;
                slots.push_back(slot);
            }
        }
        return slots;
    }
};

TEST_P(DamagedFileTest, IsReportedAndNoWriteReachesIt) {
    const DamagedFile& damaged = GetParam();
    writeBytes(path("t.DB"), damaged.bytes);
    if (damaged.opens) {
        ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0) << file_.lastError();
        EXPECT_EQ(file_.damage(), damaged.damage);
        EXPECT_EQ(readableSlots(), damaged.readable);
        ASSERT_EQ(file_.gotoSlot(file_.usedSlots().front()), 0);
    } else {
        EXPECT_EQ(file_.openFile(path("t.DB"), record_), 1);
        EXPECT_EQ(file_.lastError(), damaged.damage);
    }
    record_.fill(0x66);
    const std::pair<const char*, int (DBFile::*)()> writes[] = {
        {"update", &DBFile::writeCurrent},
        {"add", &DBFile::addRecord},
        {"delete", &DBFile::deleteCurrent},
    };
    for (const auto& [what, write] : writes) {
        EXPECT_EQ((file_.*write)(), 1) << what;
        if (damaged.opens) {
            EXPECT_EQ(file_.lastError(),
                      damaged.damage +
                          ". A damaged file is never written to: run qff repair t.DB to keep its "
                          "readable records in a new file.")
                << what;
        }
    }
    EXPECT_EQ(readBytes(path("t.DB")), damaged.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedFileTest,
    ::testing::Values(
        DamagedFile{"cut in the middle of a record",
                    recordFile(kSize, {0, 1, 2}, 2 * kSize + 4),
                    "t.DB is cut short: 1 of its 3 records is missing",
                    {0, 1}},
        DamagedFile{"cut before a used slot",
                    recordFile(kSize, {0, 5}, kSize),
                    "t.DB is cut short: 1 of its 2 records is missing",
                    {0}},
        DamagedFile{"cut before its only record",
                    recordFile(kSize, {3}, 0),
                    "t.DB is cut short: its only record is missing",
                    {}},
        DamagedFile{"cut to 187 of 2000 records", recordFile(kSize, slotsUpTo(2000), 187 * kSize),
                    "t.DB is cut short: 1,813 of its 2,000 records are missing", slotsUpTo(187)},
        DamagedFile{"wrong record size",
                    recordFile(kSize + 1, {0, 1}, 2 * kSize),
                    "t.DB has a damaged header (it gives records of 9 bytes where 8 are expected)",
                    {0, 1}},
        DamagedFile{"wrong record size and cut",
                    recordFile(-8, {0, 1}, kSize),
                    "t.DB has a damaged header (it gives records of -8 bytes where 8 are "
                    "expected) and is cut short: 1 of its 2 records is missing",
                    {0}},
        DamagedFile{"zero length", {}, "t.DB is empty: it holds no records", {}, false}),
    [](const auto& info) {
        std::string name = info.param.label;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

// Here a record whose first byte is odd is garbage.
bool startsEven(ConstByteSpan record) {
    return record[0] % 2 == 0;
}
constexpr RecordCheck kStartsEven{"test record", "test records", &startsEven};

TEST_F(DBFileTest, RecordsFailingTheirCheckCannotBeReadAndMakeTheFileDamaged) {
    // Slots 0 to 3 hold 1 to 4; slot 4 lies past the end.
    std::vector<std::uint8_t> bytes = recordFile(kSize, {0, 1, 2, 3, 4}, 4 * kSize);
    writeBytes(path("t.DB"), bytes);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0) << file_.lastError();

    file_.checkRecords(kStartsEven);

    EXPECT_EQ(file_.damage(),
              "t.DB is cut short: 1 of its 5 records is missing and holds 2 test records that "
              "cannot be read");
    EXPECT_EQ(file_.lostSlots(), (std::vector<int>{0, 2, 4}));
    ASSERT_EQ(file_.gotoSlot(3), 0);
    ASSERT_EQ(file_.readCurrent(), 0);
    EXPECT_EQ(record_[0], 4);
    ASSERT_EQ(file_.gotoSlot(2), 0);
    EXPECT_EQ(file_.readCurrent(), 1);
    EXPECT_EQ(file_.lastError(), "t.DB is damaged: the record in slot 2 cannot be read");
    EXPECT_EQ(record_, Record{});
    record_.fill(0x66);
    EXPECT_EQ(file_.addRecord(), 1);
    EXPECT_EQ(file_.lastError(), file_.damageNotice());
    EXPECT_EQ(readBytes(path("t.DB")), bytes);
}

TEST_F(DBFileTest, RecordsPassingTheirCheckLeaveTheFileSound) {
    writeBytes(path("t.DB"), recordFile(kSize, {1, 3}, 4 * kSize));
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0) << file_.lastError();

    file_.checkRecords(kStartsEven);

    EXPECT_EQ(file_.damage(), "");
    EXPECT_EQ(file_.lostSlots(), std::vector<int>{});
    EXPECT_EQ(file_.currentSlot(), 1);
    EXPECT_EQ(record_[0], 2);
}

TEST_F(DBFileTest, APartRecordPastTheLastUsedSlotIsNoDamage) {
    // What an add cut short leaves: its record began, its slot was never marked.
    writeBytes(path("t.DB"), recordFile(kSize, {0}, kSize + 3));
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    EXPECT_EQ(file_.damage(), "");
    record_.fill(0x44);
    ASSERT_EQ(file_.addRecord(), 0);
    EXPECT_EQ(file_.currentSlot(), 1);
    EXPECT_EQ(readBytes(path("t.DB")).size(), DBFile::kHeaderSize + 2u * kSize);
}

TEST_F(DBFileTest, AnEmptyFileCountsAsMissingAndAnythingElseAsThere) {
    EXPECT_FALSE(recordFileExists(path("t.DB")));
    writeBytes(path("t.DB"), {});
    EXPECT_FALSE(recordFileExists(path("t.DB")));
    writeBytes(path("t.DB"), {0});
    EXPECT_TRUE(recordFileExists(path("t.DB")));
    std::filesystem::create_directory(path("d.DB"));
    EXPECT_TRUE(recordFileExists(path("d.DB")));
}

TEST_F(DBFileTest, ACreationCutShortLeavesNothingUnderTheName) {
    writeBytes(path("t.DB"), {});
    {
        FileSizeLimit limit(100);
        EXPECT_EQ(file_.createFile(path("t.DB"), 2003, kSize), 1);
    }
    EXPECT_EQ(readBytes(path("t.DB")), std::vector<std::uint8_t>{});
    EXPECT_FALSE(std::filesystem::exists(path("t.DB.partial")));
    ASSERT_EQ(file_.createFile(path("t.DB"), 2003, kSize), 0);
    EXPECT_EQ(readBytes(path("t.DB")), standardHeader(2003, kSize, {}));
    EXPECT_FALSE(std::filesystem::exists(path("t.DB.partial")));
}

TEST_F(DBFileTest, AFolderInPlaceOfTheFileIsNotOpened) {
    std::filesystem::create_directory(path("t.DB"));
    EXPECT_EQ(file_.openFile(path("t.DB"), record_), 1);
    EXPECT_EQ(file_.openFile(path("missing.DB"), record_), 1);
}

TEST_F(DBFileTest, AnAddThatCannotGrowTheFileFailsAndLeavesItUnchanged) {
    ASSERT_EQ(file_.createFile(path("t.DB"), 2003, kSize), 0);
    ASSERT_EQ(file_.openFile(path("t.DB"), record_), 0);
    auto before = readBytes(path("t.DB"));
    {
        FileSizeLimit limit(before.size());
        record_.fill(1);
        EXPECT_EQ(file_.addRecord(), 1);
    }
    EXPECT_FALSE(file_.hasRecords());
    EXPECT_EQ(readBytes(path("t.DB")), before);
    record_.fill(2);
    ASSERT_EQ(file_.addRecord(), 0);
    EXPECT_EQ(file_.currentSlot(), 0);
}

}  // namespace
}  // namespace qff
