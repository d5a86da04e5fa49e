#include "data02/storage/Db_file.h"
#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

using CliRepair = CliRun;

constexpr const char* kNotice =
    "Plyr_03.DB is cut short: 214 of its 224 records are missing. A damaged file is never "
    "written to: run qff repair Plyr_03.DB to keep its readable records in a new file.";

TEST_F(CliRepair, ACutPlayerFileIsShownAtEveryRunUntilItsRepairIsPutInPlace) {
    ASSERT_EQ(qff({"season", "new", "--year", "2003"}).status, 0);
    std::vector<std::uint8_t> cut = readBytes(dir_ / "Plyr_03.DB");
    cut.resize(DBFile::kHeaderSize + 10 * kPlayerRecordSize + 500);
    writeBytes(dir_ / "Plyr_03.DB", cut);

    RunResult opened = qff({"open", "--year", "2003"});
    RunResult listed = qff({"players", "--position", "15"});
    RunResult repaired = qff({"repair", "Plyr_03.DB"});

    EXPECT_EQ(opened.status, 0) << opened.err;
    EXPECT_NE(opened.out.find(std::string("! ") + kNotice + "\n"), std::string::npos) << opened.out;
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.err.find(std::string("qff: warning: ") + kNotice + "\n"), std::string::npos)
        << listed.err;
    ASSERT_EQ(repaired.status, 0) << repaired.err;
    EXPECT_EQ(repaired.out,
              "Plyr_03.DB is cut short: 214 of its 224 records are missing.\n"
              "Kept 10 records; dropped slots 10-223.\n"
              "The repaired file is Plyr_03.repaired.DB; Plyr_03.DB was left as it is. Move "
              "Plyr_03.repaired.DB in place of Plyr_03.DB to use it, or run qff repair --replace "
              "Plyr_03.DB.\n");
    EXPECT_EQ(readBytes(dir_ / "Plyr_03.DB"), cut);

    RunResult again = qff({"repair", "Plyr_03.DB", "--replace"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("Plyr_03.repaired.DB already exists"), std::string::npos) << again.err;
    std::filesystem::remove(dir_ / "Plyr_03.repaired.DB");
    nlohmann::json replaced = qffJson({"repair", "Plyr_03.DB", "--replace"});
    EXPECT_EQ(replaced["kept"], 10);
    EXPECT_EQ(replaced["dropped_slots"].size(), 214u);
    EXPECT_EQ(replaced["replaced"], true);
    EXPECT_EQ(readBytes(dir_ / "Plyr_03.DB.damaged"), cut);

    RunResult sound = qff({"open", "--year", "2003"});
    EXPECT_EQ(sound.status, 0) << sound.err;
    EXPECT_EQ(sound.out.find("! "), std::string::npos) << sound.out;
    EXPECT_NE(sound.out.find("players       10\n"), std::string::npos) << sound.out;
}

TEST_F(CliRepair, GarbageInTheReportFileIsLeftOutAndTheLostBuiltInsComeBack) {
    ASSERT_EQ(qff({"season", "new", "--year", "2003"}).status, 0);
    ASSERT_EQ(qff({"open", "--year", "2003"}).status, 0);
    std::vector<std::uint8_t> spoilt = readBytes(dir_ / "Rpt_03.DB");
    // Two of the bare catalogue reports, which every open adds back.
    for (int slot : {30, 31}) {
        spoilt[DBFile::kHeaderSize + slot * kReportRecordSize + 8] = 0;
    }
    writeBytes(dir_ / "Rpt_03.DB", spoilt);

    RunResult opened = qff({"open", "--year", "2003"});
    RunResult repaired = qff({"repair", "Rpt_03.DB", "--replace"});
    nlohmann::json reopened = qffJson({"open", "--year", "2003"});

    EXPECT_EQ(opened.status, 0) << opened.err;
    EXPECT_NE(opened.out.find("! Rpt_03.DB holds 2 report definitions that cannot be read. A "
                              "damaged file is never written to: run qff repair Rpt_03.DB"),
              std::string::npos)
        << opened.out;
    ASSERT_EQ(repaired.status, 0) << repaired.err;
    EXPECT_EQ(repaired.out,
              "Rpt_03.DB holds 2 report definitions that cannot be read.\n"
              "Kept 35 records; dropped slots 30-31.\n"
              "Rpt_03.DB now holds the repaired file; the damaged one was kept as "
              "Rpt_03.DB.damaged.\n");
    EXPECT_EQ(readBytes(dir_ / "Rpt_03.DB.damaged"), spoilt);
    EXPECT_EQ(reopened.dump().find("cannot be read"), std::string::npos) << reopened.dump();
    EXPECT_EQ(reopened["counts"]["reports"], 37) << reopened.dump();
}

TEST_F(CliRepair, ASoundFileIsNotRepaired) {
    ASSERT_EQ(qff({"season", "new", "--year", "2003"}).status, 0);

    RunResult run = qff({"repair", "Div_03.DB"});

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Div_03.DB is not damaged"), std::string::npos) << run.err;
    EXPECT_FALSE(exists("Div_03.repaired.DB"));
}

}  // namespace
}  // namespace qff::test
