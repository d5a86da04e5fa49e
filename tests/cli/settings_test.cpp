#include <algorithm>

#include "data02/season/State.h"
#include "data02/storage/Bytes.h"
#include "data02/storage/Db_file.h"
#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

using CliPrefs = CliRun;
using CliState = CliRun;
using CliSticky = CliRun;
using CliOptions = CliRun;

constexpr std::size_t kRecordStart = DBFile::kHeaderSize;

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(CliPrefs, CreatesPrefsFileWithDefaultsAndRemovesMemoryReport) {
    RunResult run = qff({"prefs"});

    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::uint8_t> bytes = readBytes(dir_ / "Prefs.db");
    ASSERT_EQ(bytes.size(), kRecordStart + kPrefsRecordSize);
    EXPECT_EQ(getI32(bytes, kRecordStart), 2003);
    EXPECT_NE(run.out.find("8000  open season"), std::string::npos) << run.out;
    EXPECT_EQ(lineCount(run.out), 42u);
    EXPECT_FALSE(exists("mem_log.txt"));

    nlohmann::json prefs = qffJson({"prefs"});
    EXPECT_EQ(prefs["8000"], 2003);
    EXPECT_TRUE(prefs["8039"].is_string());
    EXPECT_EQ(prefs.size(), 42u);
}

TEST_F(CliPrefs, StoredValuesAreSavedAndListed) {
    struct Case {
        std::string id;
        std::string value;
        nlohmann::json expected;
        std::string plainLine;
    };
    const Case cases[] = {
        {"8038", "15", 15, "8038  draft timer minutes   15\n"},
        {"8036", "-5", -5, "8036  automatic backup      -5\n"},
        {"8031", "smtp.example.org", "smtp.example.org",
         "8031  mail server           \"smtp.example.org\"\n"},
        {"8032", "", "", "8032  mail login            \"\"\n"},
    };
    for (const Case& c : cases) {
        RunResult set = qff({"prefs", "set", c.id, c.value});
        ASSERT_EQ(set.status, 0) << c.id << ": " << set.err;
        EXPECT_EQ(set.out, c.plainLine);
    }
    nlohmann::json prefs = qffJson({"prefs"});
    std::string listing = qff({"prefs"}).out;
    for (const Case& c : cases) {
        EXPECT_EQ(prefs[c.id], c.expected) << c.id;
        EXPECT_NE(listing.find(c.plainLine), std::string::npos) << c.plainLine;
    }
}

TEST_F(CliPrefs, MistakesFailWithOneLineAndChangeNothing) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string said;
    };
    const Case cases[] = {
        {{"prefs", "set", "8100", "1"}, 1, "no preference 8100"},
        {{"prefs", "set", "7999", "1"}, 1, "no preference 7999"},
        {{"prefs", "set", "8038", "many"}, 2, "\"many\""},
        {{"prefs", "set", "8008", "bg\x1b[2J.jpg"},
         1,
         "preference 8008 cannot hold control characters."},
        {{"prefs", "set", "8033", "/backups\n"}, 1, "preference 8033 cannot hold"},
        {{"prefs", "set", "8038", "99999999999"}, 2, "\"99999999999\""},
        {{"prefs", "set", "eight", "1"}, 2, "\"eight\""},
        {{"prefs", "set", "8038"}, 2, "value"},
        {{"prefs", "bogus"}, 2, "bogus"},
        {{"--nope", "prefs"}, 2, "--nope"},
        {{}, 2, "no command"},
    };
    for (const Case& c : cases) {
        RunResult run = qff(c.args);
        EXPECT_EQ(run.status, c.status) << c.said;
        EXPECT_EQ(run.out, "") << c.said;
        EXPECT_EQ(lineCount(run.err), 1u) << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_FALSE(exists("Prefs.db")) << c.said;
    }
}

TEST_F(CliPrefs, DamagedPrefsFileIsReportedAndKept) {
    std::vector<std::uint8_t> damaged(100, 0x5A);
    writeBytes(dir_ / "Prefs.db", damaged);

    RunResult run = qff({"prefs"});

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("truncated"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(dir_ / "Prefs.db"), damaged);
}

TEST_F(CliState, ListsOpenSeasonStateAndWeeksWithStatistics) {
    ASSERT_EQ(qff({"state"}).status, 0);
    ASSERT_TRUE(exists("State_03.DB"));
    std::vector<std::uint8_t> bytes = readBytes(dir_ / "State_03.DB");
    putI32(bytes, kRecordStart + 24, 5);
    putU8(bytes, kRecordStart + SeasonState::kWeekFlagsOffset + 2, 1);
    putU8(bytes, kRecordStart + SeasonState::kWeekFlagsOffset + 3, 1);
    writeBytes(dir_ / "State_03.DB", bytes);

    nlohmann::json state = qffJson({"state"});

    EXPECT_EQ(state["season"], 2003);
    EXPECT_EQ(state["values"].size(), 13u);
    EXPECT_FALSE(state["values"].contains("9013"));
    EXPECT_EQ(state["values"]["9007"], 5);
    EXPECT_EQ(state["statisticsWeeks"], nlohmann::json({3, 4}));
    EXPECT_NE(qff({"state"}).out.find("weeks with statistics: 3 4\n"), std::string::npos);
}

TEST_F(CliState, CountersAreShownWithoutHandingOutIdentifiers) {
    ASSERT_EQ(qff({"state", "--year", "2005"}).status, 0);
    std::vector<std::uint8_t> bytes = readBytes(dir_ / "State_05.DB");
    const int lastFranchiseIdOffset = 32;
    putI32(bytes, kRecordStart + lastFranchiseIdOffset, 7);
    writeBytes(dir_ / "State_05.DB", bytes);

    for (int run = 0; run < 2; ++run) {
        nlohmann::json state = qffJson({"state", "--year", "2005"});
        EXPECT_EQ(state["season"], 2005);
        EXPECT_EQ(state["values"]["9009"], 7);
    }
    EXPECT_EQ(readBytes(dir_ / "State_05.DB"), bytes);
    EXPECT_FALSE(exists("Prefs.db"));
}

TEST_F(CliSticky, ListsRememberedSettings) {
    nlohmann::json sticky = qffJson({"sticky"});

    EXPECT_EQ(sticky.size(), 12u);
    EXPECT_EQ(sticky["10003"], 1);
    EXPECT_EQ(sticky["10006"], "");
    EXPECT_EQ(sticky["10009"], 0);
    RunResult plain = qff({"sticky"});
    EXPECT_EQ(lineCount(plain.out), 12u);
    EXPECT_NE(plain.out.find("10006  bonus franchise"), std::string::npos) << plain.out;
}

TEST_F(CliOptions, GlobalOptionsWorkOnEitherSideOfTheCommand) {
    RunResult run = qff({"sticky", "--json", "--keep-logs"});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out).size(), 12u);
    EXPECT_TRUE(exists("mem_log.txt"));
}

TEST_F(CliOptions, MissingWorkingDirectoryFails) {
    RunResult run = runProgram({"--workdir", (dir_ / "absent").string(), "prefs"}, io_);

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("absent"), std::string::npos) << run.err;
    EXPECT_FALSE(exists("absent"));
}

}  // namespace
}  // namespace qff::test
