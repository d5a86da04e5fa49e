#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

const std::vector<std::string> kLog = {">>> Starting generation of Home Page Template",
                                       "<<< Finished generation of Home Page Template", " "};

// The demonstration season, whose league 1 names no template.
class SiteCli : public CliRun {
  protected:
    void SetUp() override {
        RunResult demo = qff({"demo", "--year", "2003"});
        ASSERT_EQ(demo.status, 0) << demo.err;
    }

    std::string page() const { return readText(dir_ / "Scratch" / "index.htm"); }
    std::string pagePath() const { return (dir_ / "Scratch" / "index.htm").string(); }
};

TEST_F(SiteCli, BuildsFromTheBuiltInTemplateByDefault) {
    RunResult run = qff({"site", "--league", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, pagePath() + "\n");
    std::string html = page();
    EXPECT_EQ(html.find("<HTML>"), 0u);
    EXPECT_NE(html.find("</HTML>"), std::string::npos);
    EXPECT_EQ(html.find("NAME_OF_YOUR_LEAGUE"), std::string::npos);
}

TEST_F(SiteCli, KeepsTheGivenTemplateForLaterRuns) {
    std::string source = (dir_ / "home.htm").string();
    writeText(source, "Welcome NAME_OF_YOUR_LEAGUE!\nOwners: LINKS_FOR_OWNERS\nend\n");
    nlohmann::json document = qffJson({"site", "--league", "1", "--template", source});
    EXPECT_EQ(document["page"], pagePath());
    EXPECT_EQ(document["log"], nlohmann::json({kLog[0], "    Source = " + source,
                                               "    Dest = " + pagePath(), kLog[1], kLog[2]}));
    EXPECT_EQ(page(), "Welcome !\nOwners: end\n");

    writeText(source, "second [link= x ] run\n");
    RunResult again = qff({"site", "--league", "1"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(page(), "second  run\n");
}

TEST_F(SiteCli, ReportsWhatStoppedTheGeneration) {
    struct Case {
        std::vector<std::string> args;
        std::string error;
        std::string logLine;
    };
    std::string missing = (dir_ / "missing.htm").string();
    const Case cases[] = {
        {{"site", "--league", "9"},
         "qff: ERROR - League not found\n",
         "    ERROR - League not found"},
        {{"site", "--league", "1", "--template", missing},
         "qff: ERROR - Could not open source file\n",
         "    ERROR - Could not open source file"},
    };
    for (const Case& c : cases) {
        RunResult run = qff(c.args);
        EXPECT_EQ(run.status, 1) << c.error;
        EXPECT_EQ(run.err, c.error);
        EXPECT_EQ(run.out, "");
        std::vector<std::string> jsonArgs = c.args;
        jsonArgs.insert(jsonArgs.begin(), "--json");
        RunResult json = qff(jsonArgs);
        EXPECT_EQ(json.status, 1);
        nlohmann::json document = nlohmann::json::parse(json.out);
        EXPECT_TRUE(document["page"].is_null());
        EXPECT_EQ(document["log"][2], c.logLine);
    }
    EXPECT_FALSE(exists("Scratch/index.htm"));
}

TEST_F(SiteCli, AFifoAsTemplateIsRefusedAtOnceAndNotKept) {
    std::string fifo = (dir_ / "fifo.htm").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    RunResult run = qff({"site", "--league", "1", "--template", fifo});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "qff: " + fifo + " is not a regular file.\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(exists("Scratch/index.htm"));

    RunResult builtIn = qff({"site", "--league", "1"});
    ASSERT_EQ(builtIn.status, 0) << builtIn.err;
    EXPECT_EQ(page().find("<HTML>"), 0u) << "the league still names no template";
}

}  // namespace
}  // namespace qff::test
