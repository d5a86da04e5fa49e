#include <filesystem>
#include <vector>

#include "data02/model/Player.h"
#include "data02/storage/Ptsfile.h"
#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

// A 2004 season (the calendar year of every CLI test folder) ready to merge into.
class CliMerge : public CliRun {
  protected:
    void SetUp() override {
        RunResult created = qff({"season", "new", "--year", "2004"});
        ASSERT_EQ(created.status, 0) << created.err;
        ASSERT_EQ(qff({"open", "--year", "2004"}).status, 0);
    }

    std::string writeWeek(const std::string& name, int year) {
        std::vector<PtsRecord> records = {
            {"Joe Passer", 0, kQB, 100, 2, {{kPassYards, 310}, {13, 25}}},
            {"Empty Id", 0, kWR, 0, 2, {{kReceivingYards, 5}}},
        };
        std::string error;
        EXPECT_EQ(writePtsFile(dir_ / name, year, records, error), 0) << error;
        return (dir_ / name).string();
    }
};

TEST_F(CliMerge, MergesAWeekAndReportsWhatItDid) {
    nlohmann::json report = qffJson({"merge", writeWeek("4_WK3.pts", 2004)});

    EXPECT_EQ(report["week"], 3);
    EXPECT_EQ(report["records"], 2);
    EXPECT_EQ(report["new_player_ids"], nlohmann::json::array({100}));
    EXPECT_EQ(report["skipped"], 1);
    EXPECT_EQ(report["skipped_records"][0]["slot"], 1);
    nlohmann::json player = qffJson({"player", "100", "--week", "3"});
    EXPECT_EQ(player["12"], 310);
    EXPECT_EQ(qffJson({"player", "10010", "--week", "3"})["13"], 25);
}

TEST_F(CliMerge, RefusesAnotherSeasonsFile) {
    RunResult run = qff({"merge", writeWeek("3_WK3.pts", 2003)});

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Merging stats from 2003 into the 2004 season is not allowed."),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.err, "qff: the file belongs to the 2003 season, not to the open 2004 season\n");
    EXPECT_TRUE(run.err.find('\r') == std::string::npos);
}

// A cut file must not pass for a week that merged.
TEST_F(CliMerge, RefusesAFileShorterThanItsHeaderPromises) {
    std::filesystem::path week = writeWeek("4_WK3.pts", 2004);
    std::filesystem::resize_file(week, std::filesystem::file_size(week) - 10);

    RunResult run = qff({"merge", week.string()});

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("header promises 2"), std::string::npos) << run.err;
    EXPECT_EQ(qffJson({"state"})["values"]["9007"], 0);
}

}  // namespace
}  // namespace qff::test
