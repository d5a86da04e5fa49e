#include "data02/storage/Bytes.h"
#include "data02/storage/Db_file.h"
#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

using CliDump = CliRun;

// A statistics file: a short header, then records that each start with one
// byte of their own.
std::vector<std::uint8_t> statisticsFile(int year, int records) {
    constexpr int kStoredLength = kStatsRecordSize + 1;
    std::vector<std::uint8_t> bytes(DBFile::kVariantHeaderSize + records * kStoredLength, 0);
    putI16(bytes, 80, kStoredLength);
    putI16(bytes, 82, year);
    putI16(bytes, 84, records);
    putI16(bytes, 86, records);
    putI16(bytes, 88, 0);
    bytes[DBFile::kVariantHeaderSize + kStoredLength + 1] = 'Q';
    return bytes;
}

std::vector<std::uint8_t> emptyStandardFile(int year, int recordSize) {
    std::vector<std::uint8_t> bytes(DBFile::kHeaderSize, 0);
    putI32(bytes, DBFile::kYearOffset, year);
    putI32(bytes, DBFile::kRecordSizeOffset, recordSize);
    return bytes;
}

TEST_F(CliDump, ReportsHeaderAndUsedSlots) {
    ASSERT_EQ(qff({"prefs"}).status, 0);

    nlohmann::json dump = qffJson({"dump", "Prefs.db"});

    EXPECT_EQ(dump["layout"], "standard");
    EXPECT_EQ(dump["seasonYear"], 2004);
    EXPECT_EQ(dump["recordSize"], kPrefsRecordSize);
    EXPECT_EQ(dump["slotCount"], 1);
    EXPECT_EQ(dump["usedCount"], 1);
    EXPECT_EQ(dump["usedSlots"], nlohmann::json::array({0}));
    std::string plain = qff({"dump", "PREFS.DB"}).out;
    EXPECT_NE(plain.find("record size  2756\n"), std::string::npos) << plain;
    EXPECT_NE(plain.find("used slots   0\n"), std::string::npos) << plain;
    EXPECT_FALSE(exists("mem_log.txt"));
}

TEST_F(CliDump, ShowsOneRecordInHex) {
    ASSERT_EQ(qff({"prefs"}).status, 0);

    RunResult plain = qff({"dump", "Prefs.db", "--slot", "0"});
    nlohmann::json dump = qffJson({"dump", (dir_ / "Prefs.db").string(), "--slot", "0"});

    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find("00000000  d3 07 00 00 01 00 00 00  00 00 00 00 00 00 00 00  |"),
              std::string::npos)
        << plain.out;
    EXPECT_EQ(dump["record"]["slot"], 0);
    std::string hex = dump["record"]["bytes"];
    EXPECT_EQ(hex.size(), 2u * kPrefsRecordSize);
    EXPECT_EQ(hex.substr(0, 10), "d307000001");
}

TEST_F(CliDump, ReadsTheStatisticsLayout) {
    writeBytes(dir_ / "week01.PTS", statisticsFile(2004, 2));

    nlohmann::json dump = qffJson({"dump", "week01.PTS"});
    RunResult record = qff({"dump", "week01.PTS", "--slot", "1"});

    EXPECT_EQ(dump["layout"], "statistics");
    EXPECT_EQ(dump["seasonYear"], 2004);
    EXPECT_EQ(dump["recordSize"], kStatsRecordSize);
    EXPECT_EQ(dump["usedSlots"], nlohmann::json({0, 1}));
    ASSERT_EQ(record.status, 0) << record.err;
    EXPECT_NE(record.out.find("00000000  51 00"), std::string::npos) << record.out;
    EXPECT_NE(record.out.find("|Q...."), std::string::npos) << record.out;
}

TEST_F(CliDump, UnreadableFilesFailAndStayUntouched) {
    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes;
        std::string said;
    };
    const Case cases[] = {
        {"Prefs.db", std::vector<std::uint8_t>(100, 0xA5), "truncated"},
        {"plyr_03.db", std::vector<std::uint8_t>(100, 0xA5), "truncated"},
        {"notes.txt", std::vector<std::uint8_t>(100, 0xA5), "not a data file"},
    };
    for (const Case& c : cases) {
        writeBytes(dir_ / c.name, c.bytes);

        RunResult run = qff({"dump", c.name});

        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_EQ(readBytes(dir_ / c.name), c.bytes) << c.name;
    }
}

TEST_F(CliDump, ShowsTheDamageOfADamagedFileAndLeavesItUntouched) {
    std::vector<std::uint8_t> bytes = emptyStandardFile(2004, kPlayerRecordSize);
    writeBytes(dir_ / "Team_04.DB", bytes);

    nlohmann::json dump = qffJson({"dump", "Team_04.DB"});
    RunResult plain = qff({"dump", "Team_04.DB"});

    EXPECT_EQ(dump["recordSize"], kPlayerRecordSize);
    EXPECT_EQ(dump["damage"],
              "Team_04.DB has a damaged header (it gives records of 1,314 bytes where 3,136 are "
              "expected)");
    EXPECT_NE(plain.out.find("damage       Team_04.DB has a damaged header"), std::string::npos)
        << plain.out;
    EXPECT_EQ(readBytes(dir_ / "Team_04.DB"), bytes);
}

TEST_F(CliDump, MissingFileOrSlotFails) {
    ASSERT_EQ(qff({"prefs"}).status, 0);
    struct Case {
        std::vector<std::string> args;
        std::string said;
    };
    const Case cases[] = {
        {{"dump", "Draft_03.DB"}, "does not exist"},
        {{"dump", "Prefs.db", "--slot", "1"}, "slot 1"},
        {{"dump", "Prefs.db", "--slot", "4000"}, "slot 4000"},
    };
    for (const Case& c : cases) {
        RunResult run = qff(c.args);

        EXPECT_EQ(run.status, 1) << c.said;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    }
}

TEST_F(CliDump, LeavesTheSeasonSettingsAlone) {
    writeBytes(dir_ / "Plyr_03.DB", emptyStandardFile(2003, kPlayerRecordSize));

    RunResult run = qff({"dump", "Plyr_03.DB"});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("used slots   none\n"), std::string::npos) << run.out;
    EXPECT_FALSE(exists("sticky.db"));
    EXPECT_FALSE(exists("Prefs.db"));
}

}  // namespace
}  // namespace qff::test
