#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "data02/league/Rosters.h"
#include "data02/model/Legqry.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_output.h"
#include "data02/reports/Rptqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Scoring.h"
#include "data02/scoring/Scoring_record.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "tests/support/DemoSeason.h"
#include "tests/support/SeasonFixture.h"

// Pages of a small fixed league compared byte for byte with the pages kept in
// tests/data/golden. After a deliberate change of a page, run the tests with
// QFF_UPDATE_GOLDEN=1 to write the new pages there, and review the diff.

namespace qff {
namespace {

namespace fs = std::filesystem;

constexpr int kYear = 2003;
constexpr int kWeeksMerged = 3;
constexpr int kLastWeek = kWeeksMerged - 1;

bool updatingGoldens() {
    const char* update = std::getenv("QFF_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

// Four franchises in two divisions of two, three weeks merged. In the last
// week one game is made a 0 to 0 tie by benching both line-ups, so the
// head-to-head pages show a win and a tie.
class GoldenPages : public test::SeasonFixture {
  protected:
    void SetUp() override {
        start();
        ASSERT_EQ(test::buildDemoSeason(context(), {.year = kYear,
                                                    .weeksMerged = kWeeksMerged,
                                                    .seed = 11,
                                                    .playersPerTeam = 12,
                                                    .divisionsPerLeague = 2,
                                                    .franchisesPerDivision = 2,
                                                    .rosterSize = 8}),
                  "");
        start();
        ASSERT_TRUE(openSeason(context(), kYear).opened);
        league_ = context().leagueQuery().allLeagues().back()->getValue(kLeagueId);
        context().seasonState().set(kCurrentLeague, league_);
        context().preferences().set(kPrefReportBorder, 1);
        scorePassYardsEveryTenYards();
        makeTieInLastWeek();
    }

    void scorePassYardsEveryTenYards() {
        ScoringSystem& scoring = context().scoring();
        ASSERT_EQ(scoring.selectLeague(league_), kOk);
        std::vector<std::int32_t> table(kYardsTableSize);
        for (int yards = 0; yards < kYardsTableSize; ++yards) {
            table[static_cast<std::size_t>(yards)] = yards / 10;
        }
        ASSERT_EQ(scoring.setValue(kPassYardsMode, 2), kOk);
        ASSERT_EQ(scoring.putTable(kPassYardsTable, table), kOk);
        ASSERT_EQ(scoring.save(), kOk);
    }

    void benchEveryone(int franchise, int week) {
        Team* team = context().teamQuery().findOne(kFranchiseId, franchise);
        ASSERT_NE(team, nullptr);
        Owned<PlyrList> active = team->rosterPlayers(1, week);
        ASSERT_TRUE(active) << "franchise " << franchise << " starts nobody in week " << week + 1;
        std::vector<int> ids;
        for (Player* player : *active) {
            ids.push_back(player->id());
        }
        ASSERT_EQ(setActive(context(), franchise, week, ids, false).status, kOk);
    }

    void makeTieInLastWeek() {
        std::vector<FantasyGame> games = context().schedule().games(league_, kLastWeek);
        ASSERT_FALSE(games.empty());
        benchEveryone(games.front().home, kLastWeek);
        benchEveryone(games.front().away, kLastWeek);
    }

    fs::path run(const std::string& name, int first, int last) {
        Owned<RptList> found = ReportQuery(context()).findByName(name);
        EXPECT_TRUE(found && !found->empty()) << name;
        if (!found || found->empty()) {
            return {};
        }
        Report& report = *found->front();
        ReportTarget target;
        target.captions = nodeCaptions(context(), target, report.type());
        ReportRunResult result = runReportPage(context(), &report, target, first, last);
        EXPECT_EQ(result.status, kOk) << name << ": " << result.message;
        return result.page.value_or(fs::path());
    }

    void expectGolden(const fs::path& page, const std::string& goldenName) {
        ASSERT_FALSE(page.empty());
        fs::path golden = fs::path(QFF_GOLDEN_DIR) / goldenName;
        std::string written = test::readText(page);
        if (updatingGoldens()) {
            test::writeText(golden, written);
        }
        ASSERT_TRUE(fs::exists(golden)) << golden << " is missing; run with QFF_UPDATE_GOLDEN=1";
        EXPECT_EQ(written, test::readText(golden)) << "page " << page << " differs from " << golden;
    }

    int league_ = 0;
};

TEST_F(GoldenPages, HeadToHeadOverviewShowsAWinInBoldAndATieInBoldItalics) {
    fs::path page = run("Head to Head Overview", kLastWeek, kLastWeek);
    std::string text = test::readText(page);
    EXPECT_NE(text.find("<B><I>0</I></B>"), std::string::npos);
    expectGolden(page, "head_to_head_overview.htm");
}

TEST_F(GoldenPages, HeadToHeadDetails) {
    expectGolden(run("HTH Details - Active Players", kLastWeek, kLastWeek),
                 "head_to_head_details.htm");
}

TEST_F(GoldenPages, FantasyRosters) {
    expectGolden(run("Fantasy Rosters", kLastWeek, kLastWeek), "fantasy_rosters.htm");
}

TEST_F(GoldenPages, StandingsByRecord) {
    expectGolden(run("Standings - By Record", kLastWeek, kLastWeek), "standings_by_record.htm");
}

TEST_F(GoldenPages, ScoringSystemDescribesYardageInSentences) {
    fs::path page = run("Your Scoring System", kLastWeek, kLastWeek);
    EXPECT_NE(test::readText(page).find("1 point every 10 yards"), std::string::npos);
    expectGolden(page, "scoring_system.htm");
}

TEST_F(GoldenPages, DraftByRound) {
    expectGolden(run("Draft Day Assistant - By Round", 0, kLastWeek), "draft_by_round.htm");
}

TEST_F(GoldenPages, SiteMapListsThePagesByWeek) {
    run("Fantasy Rosters", kLastWeek, kLastWeek);
    run("Standings - By Record", kLastWeek, kLastWeek);
    run("Standings - By Record", 0, kLastWeek);
    ReportRunResult map = writeReportSiteMap(context());
    ASSERT_EQ(map.status, kOk) << map.message;
    expectGolden(*map.page, "site_map.htm");
}

}  // namespace
}  // namespace qff
