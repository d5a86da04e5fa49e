#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

namespace fs = std::filesystem;

// The demonstration season: "Demo League 1" (id 1) with twelve franchises
// and the first six weeks merged.
class CliReports : public CliRun {
  protected:
    void SetUp() override {
        RunResult demo = qff({"demo", "--year", "2003"});
        ASSERT_EQ(demo.status, 0) << demo.err;
    }

    fs::path playerReports() const { return dir_.path() / "Demo League 1" / "Player Reports"; }

    nlohmann::json state() { return qffJson({"state"})["values"]; }
};

TEST_F(CliReports, ReportPrintsThePageOfItsWeeksAndPutsTheLeagueBack) {
    nlohmann::json before = state();
    RunResult week = qff({"report", "--league", "1", "Quarterbacks", "--week", "3"});
    ASSERT_EQ(week.status, 0) << week.err;
    fs::path page = playerReports() / "Quarterbacks - Week 3.HTM";
    EXPECT_EQ(week.out, page.string() + "\n");
    EXPECT_TRUE(fs::exists(page));

    nlohmann::json range = qffJson({"report", "--league", "1", "Quarterbacks", "--weeks", "2-4"});
    EXPECT_EQ(range["page"], (playerReports() / "Quarterbacks - Weeks 2 to 4.HTM").string());
    EXPECT_EQ(range["first_week"], 2);
    EXPECT_EQ(range["last_week"], 4);

    // By id, and the last week with statistics when no week is given.
    nlohmann::json byId =
        qffJson({"report", "--league", "1", std::to_string(range["id"].get<int>())});
    EXPECT_EQ(byId["page"], (playerReports() / "Quarterbacks - Week 6.HTM").string());
    nlohmann::json season = qffJson({"report", "--league", "1", "Quarterbacks", "--season"});
    EXPECT_EQ(season["page"], (playerReports() / "Quarterbacks - All Weeks.HTM").string());
    EXPECT_EQ(state(), before);
}

TEST_F(CliReports, OverviewsNeedTheirObject) {
    RunResult missing = qff({"report", "--league", "1", "Overview - Team"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("needs --franchise"), std::string::npos);
    nlohmann::json team =
        qffJson({"report", "--league", "1", "Overview - Team", "--franchise", "1"});
    EXPECT_NE(team["page"].get<std::string>().find("/Franchise Overview/"), std::string::npos);
    nlohmann::json nfl =
        qffJson({"report", "--league", "1", "Overview - NFL", "--nfl-team", "3", "--week", "2"});
    EXPECT_NE(nfl["page"].get<std::string>().find("/NFL Team Overview/"), std::string::npos);
    EXPECT_NE(nfl["page"].get<std::string>().find(" - All Weeks.HTM"), std::string::npos);
}

TEST_F(CliReports, BadRequestsFailWithOneLine) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"report", "--league", "1", "No Such Report"}, 1, "no report is named"},
        {{"report", "--league", "9", "Quarterbacks"}, 1, "no league has the id 9"},
        {{"report", "--league", "1", "Quarterbacks", "--weeks", "5-3"}, 1, "the season has weeks"},
        {{"report", "--league", "1", "Quarterbacks", "--week", "18"}, 1, "the season has weeks"},
        {{"report", "--league", "1", "Quarterbacks", "--week", "3", "--season"}, 2, "excludes"},
        {{"report", "--league", "1", "Overview - Player", "--player", "99999"},
         2,
         "no player has the id 99999"},
    };
    for (const Case& c : cases) {
        RunResult run = qff(c.args);
        EXPECT_EQ(run.status, c.status) << c.args.back();
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

TEST_F(CliReports, ReportsRunsEveryListedReportThenTheSiteMap) {
    nlohmann::json done = qffJson({"reports", "--league", "1", "--week", "2"});
    EXPECT_EQ(done["week"], 2);
    EXPECT_TRUE(done["failed"].empty()) << done["failed"];
    std::vector<std::string> pages;
    for (const auto& entry : done["pages"]) {
        pages.push_back(entry["page"]);
        EXPECT_TRUE(fs::exists(pages.back())) << pages.back();
    }
    for (const auto& entry : done["skipped"]) {
        EXPECT_FALSE(entry["message"].get<std::string>().empty()) << entry["report"];
    }
    auto has = [&](const fs::path& page) {
        return std::find(pages.begin(), pages.end(), page.string()) != pages.end();
    };
    EXPECT_TRUE(has(playerReports() / "Quarterbacks - Week 2.HTM"));
    EXPECT_TRUE(
        has(dir_.path() / "Demo League 1" / "Miscellaneous" / "Owner Information - All Weeks.HTM"));
    // Overviews are objects of the tree, not reports of a group.
    EXPECT_FALSE(has(playerReports() / "Overview - Player - Week 2.HTM"));
    fs::path siteMap = dir_.path() / "Report Site Map.htm";
    EXPECT_EQ(done["site_map"], siteMap.string());
    EXPECT_NE(readText(siteMap).find("Quarterbacks%20-%20Week%202.HTM"), std::string::npos);

    // Plain output: one path per line, the site map last.
    RunResult plain = qff({"reports", "--league", "1"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find((playerReports() / "Quarterbacks - Week 6.HTM").string() + "\n"),
              std::string::npos);
    EXPECT_TRUE(plain.out.ends_with(siteMap.string() + "\n"));
}

TEST_F(CliReports, TheDefaultLeagueWithoutScheduleLeavesHeadToHeadReportsOut) {
    nlohmann::json done = qffJson({"reports", "--league", "0", "--week", "1"});
    EXPECT_FALSE(done["pages"].empty());
    for (const auto& entry : done["pages"]) {
        std::string page = entry["page"];
        EXPECT_EQ(page.find("Your Schedule"), std::string::npos);
        EXPECT_EQ(page.find("Franchise Reports"), std::string::npos);
    }
}

}  // namespace
}  // namespace qff::test
