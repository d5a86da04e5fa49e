#include <set>
#include <string>

#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

using CliSeason = CliRun;

TEST_F(CliSeason, NewSeasonOpensWithTheLoadingSequence) {
    RunResult created = qff({"season", "new", "--year", "2003"});
    ASSERT_EQ(created.status, 0) << created.err;
    RunResult opened = qff({"open", "--year", "2003"});
    ASSERT_EQ(opened.status, 0) << opened.err;
    EXPECT_EQ(opened.out.substr(0, opened.out.find("Season 2003 is open.")),
              "Loading Player Database...\n"
              "Loading Team Database...\n"
              "Loading Division Database...\n"
              "Loading League Database...\n"
              "Loading Draft Day Database...\n"
              "Loading Report Database...\n");
    nlohmann::json document = qffJson({"open"});
    EXPECT_EQ(document["year"], 2003);
    EXPECT_EQ(document["counts"]["players"], 32 * 7);
    EXPECT_EQ(document["counts"]["leagues"], 1);
    EXPECT_FALSE(exists("mem_log.txt"));
}

TEST_F(CliSeason, AnExistingSeasonIsNotCreatedAgain) {
    ASSERT_EQ(qff({"season", "new", "--year", "2003"}).status, 0);
    RunResult again = qff({"season", "new", "--year", "2003"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already exists"), std::string::npos);
}

TEST_F(CliSeason, AMissingScheduleStopsTheOpenAndKeepsTheOpenSeason) {
    ASSERT_EQ(qff({"season", "new", "--year", "2003"}).status, 0);
    ASSERT_EQ(qff({"season", "new", "--year", "2002"}).status, 0);
    ASSERT_EQ(qff({"prefs", "set", "8000", "2003"}).status, 0);
    std::filesystem::remove(dir_ / "Sched_02.DB");
    RunResult failed = qff({"open", "--year", "2002"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.out.find("Open Failure: Schedule database unavailable."), std::string::npos);
    EXPECT_EQ(failed.out.find("Loading Player Database..."), std::string::npos);
    EXPECT_EQ(qffJson({"prefs"})["8000"], 2003);
}

TEST_F(CliSeason, AnOpenWithoutAPlayerFileLeavesTheFolderAsItWas) {
    auto names = [this] {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            found.insert(entry.path().filename().string());
        }
        return found;
    };
    for (bool zeroLength : {false, true}) {
        if (zeroLength) {
            writeBytes(dir_ / "Plyr_03.DB", {});
        }
        std::set<std::string> before = names();
        RunResult failed = qff({"open", "--year", "2003"});
        EXPECT_EQ(failed.status, 1);
        EXPECT_NE(failed.out.find("Open Failure: Player database unavailable."), std::string::npos)
            << failed.out;
        EXPECT_EQ(names(), before);
    }
}

TEST_F(CliSeason, ListsTeamsPlayersAndTheLeagueStructure) {
    ASSERT_EQ(qff({"season", "new", "--year", "1996"}).status, 0);
    nlohmann::json teams = qffJson({"teams", "1996"});
    EXPECT_EQ(teams["teams"].size(), 30u);
    EXPECT_EQ(teams["teams"][8]["index"], 9);
    EXPECT_EQ(teams["teams"][8]["name"], "Houston Oilers");
    ASSERT_EQ(qff({"prefs", "set", "8000", "1996"}).status, 0);
    nlohmann::json leagues = qffJson({"leagues"});
    ASSERT_EQ(leagues.size(), 1u);
    EXPECT_EQ(leagues[0]["id"], 0);
    EXPECT_EQ(leagues[0]["name"], "Default League");
    nlohmann::json defenses = qffJson({"players", "--position", "15"});
    EXPECT_EQ(defenses.size(), 30u);
    nlohmann::json unit = qffJson({"player", "10010"});
    EXPECT_EQ(unit["1"], 10010);
    EXPECT_EQ(unit["4"], 10);
    EXPECT_EQ(qff({"player", "42"}).status, 1);
    EXPECT_EQ(qff({"roster", "1", "--week", "1"}).status, 1);
    EXPECT_EQ(qff({"roster", "1", "--week", "0"}).status, 2);
}

}  // namespace
}  // namespace qff::test
