#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rpt_league.h"
#include "data02/reports/Rpt_output.h"
#include "data02/reports/Rptqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Results.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "tests/support/DemoSeason.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempDir;
using test::writeText;

constexpr int kYear = 2003;
constexpr int kSeasonWeeks = 17;
constexpr int kWeeksMerged = 6;

// ------------------------------------------------------------ page parsing

std::string withoutTags(std::string_view markup) {
    std::string text;
    bool inTag = false;
    for (char c : markup) {
        if (c == '<' || c == '>') {
            inTag = c == '<';
        } else if (!inTag && c != '\n') {
            text += c;
        }
    }
    return text;
}

struct Row {
    std::string tag;
    std::vector<std::string> cells;
};

// Every table row of a page: its opening tag and the text of its cells.
std::vector<Row> rowsOf(const std::string& page) {
    std::vector<Row> rows;
    for (std::size_t at = page.find("<TR"); at != std::string::npos; at = page.find("<TR", at)) {
        std::size_t tagEnd = page.find('>', at);
        std::size_t end = page.find("</TR>", tagEnd);
        Row row{page.substr(at, tagEnd - at + 1), {}};
        std::string body = page.substr(tagEnd + 1, end - tagEnd - 1);
        for (std::size_t cell = body.find("<T"); cell != std::string::npos;
             cell = body.find("<T", cell + 1)) {
            std::size_t open = body.find('>', cell);
            bool header = body.compare(cell, 3, "<TH") == 0;
            std::size_t close = body.find(header ? "</TH>" : "</TD>", open);
            row.cells.push_back(withoutTags(body.substr(open + 1, close - open - 1)));
            cell = close;
        }
        rows.push_back(row);
        at = end;
    }
    return rows;
}

int count(const std::string& text, std::string_view part) {
    int found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++found;
    }
    return found;
}

// ------------------------------------------------------------ output names

TEST(ReportFileName, NamesTheWeeksTheRunCovers) {
    struct Case {
        std::string report;
        int first;
        int last;
        std::optional<std::string> object;
        std::string expected;
    };
    const Case cases[] = {
        {"Quarterbacks", 2, 2, {}, "Quarterbacks - Week 3.HTM"},
        {"Quarterbacks", 0, 16, {}, "Quarterbacks - All Weeks.HTM"},
        {"Quarterbacks", 2, 4, {}, "Quarterbacks - Weeks 3 to 5.HTM"},
        {"Quarterbacks", 0, 4, {}, "Quarterbacks - Weeks 1 to 5.HTM"},
        {"Owner Information", 4, 4, {}, "Owner Information - All Weeks.HTM"},
        {"Fantasy Rosters", 2, 4, {}, "Fantasy Rosters - All Weeks.HTM"},
        {"Points Scored: Week #1", 2, 2, {}, "Points Scored  Week #1 - Week 3.HTM"},
        {"Overview - Team", 2, 2, "Raiders", "Raiders - Week 3.HTM"},
        {"Overview - Player", 0, 16, "Joe Smith", "Joe Smith - All Weeks.HTM"},
        {"Overview - NFL", 2, 2, "Chicago Bears", "Chicago Bears - All Weeks.HTM"},
    };
    for (const Case& c : cases) {
        std::optional<std::string_view> object;
        if (c.object) {
            object = *c.object;
        }
        EXPECT_EQ(reportFileName(c.report, c.first, c.last, kSeasonWeeks, object), c.expected)
            << c.report;
    }
}

TEST(ReportPagePath, PutsThePageBelowLeagueAndTreeCaptions) {
    std::vector<std::string> captions{"Player Reports"};
    PagePath path = reportPagePath("Demo League 1", captions, "Quarterbacks", 2, 2, kSeasonWeeks);
    EXPECT_EQ(path.relative(),
              fs::path("Demo League 1") / "Player Reports" / "Quarterbacks - Week 3.HTM");
}

TEST(ReportPagePath, HostileNamesStayInsideTheWorkingDirectory) {
    const fs::path workdir = "/season";
    struct Case {
        std::string league;
        std::vector<std::string> captions;
        std::string report;
    };
    const Case cases[] = {
        {"..", {".."}, ".."},
        {"../../etc", {"a/../../b"}, "../../x"},
        {"a\\..\\..\\b", {"c:\\d"}, "e:f\\..\\g"},
        {"/abs", {"/", "\\"}, "/etc/passwd"},
        {"league:name", {"group*?\"<>|"}, "report:name"},
    };
    for (const Case& c : cases) {
        fs::path relative =
            reportPagePath(c.league, c.captions, c.report, 0, 0, kSeasonWeeks).relative();
        fs::path full = (workdir / relative).lexically_normal();
        auto [end, unused] = std::mismatch(workdir.begin(), workdir.end(), full.begin());
        EXPECT_EQ(end, workdir.end()) << full;
        EXPECT_EQ(std::distance(relative.begin(), relative.end()),
                  static_cast<std::ptrdiff_t>(c.captions.size()) + 2)
            << full;
        std::string text = relative.string();
        for (char bad : std::string(":*?\"<>|\\")) {
            EXPECT_EQ(text.find(bad), std::string::npos) << full;
        }
    }
}

TEST(ReportGroups, CaptionsInTreeOrder) {
    const std::vector<std::string> expected = {
        "Report Site Map", "Franchise Reports", "Franchise Overview", "Player Reports",
        "Player Overview", "NFL Team Overview", "Season Overview",    "Draft Day Assistant",
        "Miscellaneous",   "Report Packs",
    };
    for (int group = 0; group < kReportGroupCount; ++group) {
        EXPECT_EQ(reportGroupCaption(group), expected[group]);
    }
    EXPECT_EQ(reportGroupCaption(10), "");
    EXPECT_EQ(siteMapPath().relative(), fs::path("Report Site Map.htm"));
}

// ---------------------------------------------------------------- site map

TEST(SiteMapName, BringsBackTheColonAndCapitalises) {
    const std::pair<std::string, std::string> cases[] = {
        {"Points Scored  Week #1 - Week 3.HTM", "Points Scored: Week #1 - Week 3.htm"},
        {"QUARTERBACKS - all weeks.htm", "Quarterbacks - All Weeks.htm"},
        {"[qb] best\\x.htm", "[QB] Best\\X.htm"},
        {"a  b  c.htm", "A: B  C.htm"},
    };
    for (const auto& [file, shown] : cases) {
        EXPECT_EQ(siteMapName(file), shown) << file;
    }
}

void touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    writeText(path, "<HTML></HTML>\n");
}

std::vector<std::string> titlesOf(const std::vector<SiteMapGroup>& groups) {
    std::vector<std::string> titles;
    for (const SiteMapGroup& group : groups) {
        titles.push_back(group.title);
    }
    return titles;
}

TEST(SiteMapGroups, FilesPagesByWeekSeasonAndTheRest) {
    TempDir dir;
    const fs::path reports = dir.path() / "Demo League" / "Player Reports";
    touch(reports / "Quarterbacks - Week 3.HTM");
    touch(reports / "Defense - Week 3.HTM");
    touch(reports / "Quarterbacks - Week 17.HTM");
    touch(reports / "Points Scored  Week #1 - All Weeks.HTM");
    touch(reports / "Quarterbacks - Weeks 3 to 5.HTM");
    touch(reports / "Far Away - Week 25.HTM");
    touch(reports / "Half Written - Week 2.HTM.partial");
    touch(reports / "notes.txt");
    touch(dir.path() / "Demo League" / "A&B <x>.htm");
    touch(dir.path() / "support" / "Help - Week 1.htm");
    touch(dir.path() / "Template" / "Home - Week 1.htm");
    touch(dir.path() / "Top Level - Week 1.htm");
    TempDir elsewhere;
    touch(elsewhere.path() / "Outside - Week 1.htm");
    fs::create_directory_symlink(elsewhere.path(), dir.path() / "Linked");
    fs::create_symlink(elsewhere.path() / "Outside - Week 1.htm", reports / "Link - Week 1.htm");

    std::vector<SiteMapGroup> groups = siteMapGroups(dir.path(), ".htm", kSeasonWeeks);

    ASSERT_EQ(titlesOf(groups), (std::vector<std::string>{"Miscelaneous Reports", "Season Totals",
                                                          "Week 3", "Week 17"}));
    ASSERT_EQ(groups[0].pages.size(), 2u);
    EXPECT_EQ(groups[0].pages[0].name, "A&b <x>");
    EXPECT_EQ(groups[0].pages[0].link, "Demo%20League/A%26B%20%3Cx%3E.htm");
    EXPECT_EQ(groups[0].pages[1].name, "Quarterbacks - Weeks 3 To 5");
    ASSERT_EQ(groups[1].pages.size(), 1u);
    EXPECT_EQ(groups[1].pages[0].name, "Points Scored: Week #1");
    ASSERT_EQ(groups[2].pages.size(), 2u);
    EXPECT_EQ(groups[2].pages[0].name, "Defense");
    EXPECT_EQ(groups[2].pages[1].name, "Quarterbacks");
    EXPECT_EQ(groups[2].pages[1].link,
              "Demo%20League/Player%20Reports/Quarterbacks%20-%20Week%203.HTM");
    ASSERT_EQ(groups[3].pages.size(), 1u);
    EXPECT_EQ(groups[3].pages[0].name, "Quarterbacks");
}

TEST(SiteMapGroups, WeeksBeyondTheSeasonAreNotShown) {
    TempDir dir;
    touch(dir.path() / "L" / "Quarterbacks - Week 17.HTM");
    EXPECT_TRUE(siteMapGroups(dir.path(), ".htm", 16).empty());
    EXPECT_EQ(titlesOf(siteMapGroups(dir.path(), ".htm", 17)), std::vector<std::string>{"Week 17"});
}

// ------------------------------------------------------------ demo season

class ReportRunTest : public test::DemoSuite {
  protected:
    static void SetUpTestSuite() {
        buildSuiteDemo({.year = kYear, .weeksMerged = kWeeksMerged, .playersPerTeam = 20});
    }

    void SetUp() override {
        DemoSuite::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        const League* league = context().leagueQuery().allLeagues().back();
        league_ = league->getValue(kLeagueId);
        leagueName_ = league->text(kLeagueName);
        state().set(kCurrentLeague, league_);
        state().set(kViewWeek, 2);
        // Colours on, so rows show which of them carry the body colour.
        context().preferences().set(kPrefReportColour, 1);
        context().preferences().set(kPrefBodyColour, 0x00FF00);
        context().preferences().set(kPrefAlternateRows, 1);
        for (int text : {kPrefHeaderTextColour, kPrefBodyTextColour, kPrefTotalsTextColour}) {
            context().preferences().set(text, 0);
        }
        context().preferences().set(kPrefOnlyPlayersWithPoints, 0);
    }

    SeasonState& state() { return context().seasonState(); }

    Owned<Report> newReport(const std::string& name, int type, std::vector<int> codes) {
        Owned<Report> report = ReportQuery(context()).create();
        report->setValue(kReportType, type);
        report->setText(kReportName, name);
        report->setText(kReportHeader, name + " Header");
        report->setValue(kReportListed, 1);
        for (int code : codes) {
            EXPECT_EQ(report->addColumn(*Report::defaultColumn(type, code)), kOk) << code;
        }
        EXPECT_NE(report->assignNewId(), 0);
        EXPECT_EQ(report->insert(), kOk);
        return report;
    }

    // Every quarterback, best first, with the totals row.
    Owned<Report> quarterbacks(const std::string& name = "Test QBs") {
        Owned<Report> report = newReport(
            name, kPlayerReport, {kPlayerName, kPlayerTeam, kPlayerPosition, kTotalPoints, 89});
        PlayerQueryNode node;
        node.setSelectCode(PlayerQueryNode::kByPosition);
        std::vector<int> groups{kQB};
        node.setValues(groups);
        node.setSortKey(0, kTotalPoints, true);
        report->setPlayerNode(node);
        report->setValue(kReportTotalsRow, 1);
        report->addSection(ReportSection{0, 2, "Player Information"});
        report->addSection(ReportSection{3, 4, "Points"});
        EXPECT_EQ(report->save(), kOk);
        return report;
    }

    std::vector<const Player*> playersAt(int position) {
        std::vector<const Player*> found;
        for (const Player* player : context().mapFactory().players().list()) {
            if (player->storedPosition() == position) {
                found.push_back(player);
            }
        }
        return found;
    }

    ReportRunResult run(Report& report, int first, int last, ReportTarget target = ReportTarget{}) {
        if (target.captions.empty()) {
            target.captions = nodeCaptions(context(), target, report.type());
        }
        return runReportPage(context(), &report, target, first, last);
    }

    std::string pageOf(const ReportRunResult& result) {
        EXPECT_TRUE(result.page);
        return result.page ? readText(*result.page) : std::string();
    }

    static std::vector<int> totalsOf(const std::string& page) {
        for (const Row& row : rowsOf(page)) {
            if (!row.cells.empty() && row.cells[0].starts_with("Totals:")) {
                std::vector<int> numbers;
                for (std::size_t i = 1; i < row.cells.size(); ++i) {
                    numbers.push_back(row.cells[i].empty() ? 0 : std::stoi(row.cells[i]));
                }
                return numbers;
            }
        }
        return {};
    }

    int league_ = 0;
    std::string leagueName_;
};

TEST_F(ReportRunTest, ColumnReportPageHasCaptionRowsAndTotals) {
    Owned<Report> report = quarterbacks();
    ReportRunResult result = run(*report, 2, 2);
    ASSERT_EQ(result.status, kOk) << result.message;
    EXPECT_EQ(*result.page, dir_.path() / leagueName_ / "Player Reports" / "Test QBs - Week 3.HTM");
    std::string page = pageOf(result);
    EXPECT_NE(page.find("Test QBs Header"), std::string::npos);
    EXPECT_NE(page.find("<BIG>Week 3</BIG>"), std::string::npos);

    std::vector<Row> rows = rowsOf(page);
    ASSERT_GE(rows.size(), 4u);
    EXPECT_EQ(rows[0].cells, (std::vector<std::string>{"Player Information", "Points"}));
    EXPECT_EQ(rows[1].cells, (std::vector<std::string>{"Name", "Team", "Pos", "Total", "Pass"}));
    std::vector<Row> body(rows.begin() + 2, rows.end() - 1);
    std::vector<const Player*> qbs = playersAt(kQB);
    ASSERT_EQ(body.size(), qbs.size());
    int points = 0;
    int passPoints = 0;
    for (const Player* qb : qbs) {
        points += qb->getPoints(kTotalPoints, 2);
        passPoints += qb->getPoints(89, 2);
    }
    for (std::size_t i = 0; i < body.size(); ++i) {
        bool coloured = body[i].tag.find("BGCOLOR") != std::string::npos;
        EXPECT_EQ(coloured, i % 2 == 0) << i;
        if (i > 0) {
            EXPECT_GE(std::stoi(body[i - 1].cells[3]), std::stoi(body[i].cells[3]));
        }
    }
    // "Totals:" spans the three text columns, then the two sums.
    EXPECT_NE(page.find("<TD COLSPAN=3 VALIGN=\"top\"><B><BIG>Totals:</BIG></B></TD>"),
              std::string::npos);
    EXPECT_EQ(totalsOf(page), (std::vector<int>{points, passPoints}));
}

TEST_F(ReportRunTest, RangeSumsOnlyItsWeeksAndTheWholeSeasonReadsSeasonValues) {
    Owned<Report> report = quarterbacks();
    int summed = 0;
    for (int week = 2; week <= 4; ++week) {
        summed += totalsOf(pageOf(run(*report, week, week)))[0];
    }
    ReportRunResult range = run(*report, 2, 4);
    ASSERT_EQ(range.status, kOk);
    std::string page = pageOf(range);
    EXPECT_EQ(range.page->filename(), "Test QBs - Weeks 3 to 5.HTM");
    EXPECT_NE(page.find("<BIG>Weeks 3 to 5</BIG>"), std::string::npos);
    EXPECT_EQ(totalsOf(page)[0], summed);

    int season = 0;
    for (const Player* qb : playersAt(kQB)) {
        season += qb->getPoints(kTotalPoints, kAllWeeks);
    }
    ASSERT_NE(season, summed);
    std::string whole = pageOf(run(*report, 0, kSeasonWeeks - 1));
    EXPECT_NE(whole.find("<BIG>Season Totals</BIG>"), std::string::npos);
    EXPECT_EQ(totalsOf(whole)[0], season);
}

TEST_F(ReportRunTest, RangeBestWorstAndAverageWeekComeFromTheRange) {
    // A quarterback whose team plays in weeks 3 to 5, so each week counts for the worst.
    const Player* chosen = nullptr;
    for (const Player* qb : playersAt(kQB)) {
        bool plays = true;
        for (int week = 2; week <= 4; ++week) {
            plays = plays && !context().schedule().teamIsOff(qb->team(), week);
        }
        if (plays && qb->getPoints(kTotalPoints, kAllWeeks) > 0) {
            chosen = qb;
            break;
        }
    }
    ASSERT_NE(chosen, nullptr);
    Owned<Report> report =
        newReport("One QB", kPlayerReport, {kPlayerName, kHighWeek, 103, kAverageWeek});
    PlayerQueryNode node;
    node.setSelectCode(PlayerQueryNode::kById);
    std::vector<int> ids{chosen->id()};
    node.setValues(ids);
    report->setPlayerNode(node);
    ASSERT_EQ(report->save(), kOk);
    std::vector<int> weekly;
    for (int week = 2; week <= 4; ++week) {
        weekly.push_back(chosen->getPoints(kTotalPoints, week));
    }
    int high = std::max(0, *std::max_element(weekly.begin(), weekly.end()));
    int low = *std::min_element(weekly.begin(), weekly.end());
    int average = (weekly[0] + weekly[1] + weekly[2]) / 3;

    std::vector<Row> rows = rowsOf(pageOf(run(*report, 2, 4)));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].cells,
              (std::vector<std::string>{chosen->name(), std::to_string(high), std::to_string(low),
                                        std::to_string(average)}));
}

TEST_F(ReportRunTest, PackContainingItselfWritesItsOtherMembersOnce) {
    Owned<Report> first = quarterbacks("First Member");
    Owned<Report> second = quarterbacks("Second Member");
    Owned<Report> pack = newReport("Pack", kReportPack, {});
    std::vector<int> members{first->id(), pack->id(), 30000, second->id()};
    ASSERT_EQ(pack->setPackMembers(members), kOk);
    ASSERT_EQ(pack->save(), kOk);

    ReportRunResult result = run(*pack, 2, 2);
    EXPECT_EQ(result.status, kReportPackRepeated);
    std::string page = pageOf(result);
    EXPECT_EQ(count(page, "First Member Header"), 1);
    EXPECT_EQ(count(page, "Second Member Header"), 1);
    EXPECT_EQ(result.page->parent_path().filename(), "Report Packs");
}

TEST_F(ReportRunTest, NestedPacksRestoreTheWeeksAndViewWeekForEachMember) {
    Owned<Report> member = quarterbacks("Member");
    Owned<Report> inner = newReport("Inner", kReportPack, {});
    std::vector<int> innerMembers{member->id()};
    inner->setPackMembers(innerMembers);
    inner->save();
    Owned<Report> outer = newReport("Outer", kReportPack, {});
    std::vector<int> outerMembers{inner->id(), member->id(), inner->id()};
    outer->setPackMembers(outerMembers);
    outer->save();

    ReportGenerator generator(context());
    ASSERT_EQ(generator.openPage("Outer", PagePath{{"x"}, "outer.htm"}), kOk);
    EXPECT_EQ(generator.runReport(*outer, 1, 3), kReportPackRepeated);
    EXPECT_EQ(generator.firstWeek(), 1);
    EXPECT_EQ(generator.lastWeek(), 3);
    ASSERT_EQ(generator.closePage(), kOk);
    std::string page = readText(generator.pagePath());
    // The inner pack once, the member directly once; the inner pack again stops.
    EXPECT_EQ(count(page, "Member Header"), 2);
    EXPECT_EQ(count(page, "<BIG>Weeks 2 to 4</BIG>"), 2);
}

TEST_F(ReportRunTest, RosterReportShowsTheFranchisesPlayersAndKeepsItsStoredSelection) {
    const Team* franchise = context().teamQuery().leagueFranchises(league_).front();
    Owned<Report> report = newReport("My Actives", kPlayerReport, {kPlayerId, kPlayerName});
    PlayerQueryNode node;
    node.setSelectCode(kPlayersOfFranchise);
    std::vector<int> values{franchise->id(), 0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15, 16};
    node.setValues(values);
    node.setValue(kRosterPartValue, kActiveOnly);
    report->setPlayerNode(node);
    ASSERT_EQ(report->save(), kOk);
    Owned<PlyrList> active = franchise->rosterPlayers(kActiveOnly, 2);
    ASSERT_TRUE(active && !active->empty());
    std::vector<int> expected;
    for (const Player* player : *active) {
        expected.push_back(player->id());
    }

    std::vector<Row> rows = rowsOf(pageOf(run(*report, 2, 2)));
    std::vector<int> shown;
    for (std::size_t i = 2; i < rows.size(); ++i) {
        shown.push_back(std::stoi(rows[i].cells[0]));
    }
    std::sort(expected.begin(), expected.end());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, expected);
    Owned<RptList> stored = ReportQuery(context()).findById(report->id());
    EXPECT_EQ(stored->front()->playerNode().bytes(), node.bytes());
    EXPECT_EQ(report->playerNode().bytes(), node.bytes());
}

TEST_F(ReportRunTest, OnlyPlayersWithPointsWhenThePreferenceSaysSo) {
    Owned<Report> report = quarterbacks();
    context().preferences().set(kPrefOnlyPlayersWithPoints, 1);
    std::size_t scored = 0;
    for (const Player* qb : playersAt(kQB)) {
        scored += qb->getPoints(kTotalPoints, 2) != 0 ? 1 : 0;
    }
    ASSERT_LT(scored, playersAt(kQB).size());
    EXPECT_EQ(rowsOf(pageOf(run(*report, 2, 2))).size(), 2 + scored + 1);
}

TEST_F(ReportRunTest, FailingRunsPutTheStateBackAndLeaveTheSelectionAsStored) {
    state().set(kViewWeek, 4);
    Owned<Report> gone = newReport("Gone", kPlayerReport, {kPlayerName});
    PlayerQueryNode node;
    node.setSelectCode(kPlayersOfFranchise);
    std::vector<int> values{31999, 0};
    node.setValues(values);
    gone->setPlayerNode(node);
    gone->save();

    ReportRunResult refused = run(*gone, 2, 2);
    EXPECT_EQ(refused.status, kFailed);
    EXPECT_EQ(refused.message, kFranchiseGoneMessage);
    EXPECT_FALSE(refused.page);
    EXPECT_FALSE(fs::exists(dir_.path() / leagueName_));

    // An item no catalogue knows fails the run after the page has started.
    Owned<Report> broken = newReport("Broken", kPlayerReport, {kPlayerName});
    broken->addColumn(ReportColumn{21, 1, "Odd"});
    broken->save();
    ReportRunResult failed = run(*broken, 2, 2);
    EXPECT_EQ(failed.status, kFailed);
    ASSERT_TRUE(failed.page);

    EXPECT_EQ(state().peek(kViewWeek), 4);
    EXPECT_EQ(state().peek(kReportInProgress), 0);
    Owned<RptList> stored = ReportQuery(context()).findById(gone->id());
    EXPECT_EQ(stored->front()->playerNode().bytes(), node.bytes());
}

TEST_F(ReportRunTest, TheGenerationFlagIsSetOnlyWhileTheRunLasts) {
    Owned<Report> report = quarterbacks();
    {
        ScopedStateValue generating(state(), kReportInProgress, 1, 0);
        EXPECT_EQ(state().peek(kReportInProgress), 1);
    }
    EXPECT_EQ(state().peek(kReportInProgress), 0);
    state().set(kReportInProgress, 1);
    ASSERT_EQ(run(*report, 2, 2).status, kOk);
    EXPECT_EQ(state().peek(kReportInProgress), 0);
}

TEST_F(ReportRunTest, RunsRefuseWithTheirMessages) {
    Owned<Report> report = quarterbacks();
    EXPECT_EQ(runReportPage(context(), nullptr, ReportTarget{}, 2, 2).message,
              kReportNotFoundMessage);
    state().set(kCurrentLeague, 31000);
    EXPECT_EQ(run(*report, 2, 2).message, kNoScoringMessage);
    state().set(kCurrentLeague, kDefaultLeagueId);
    Owned<RptList> details = ReportQuery(context()).findByName("HTH Details - Active Players");
    ASSERT_TRUE(details && !details->empty());
    EXPECT_EQ(run(*details->front(), 2, 2).message, kNoScheduleMessage);
    // A draft-day page without picks refuses before any page is made.
    Owned<RptList> draft = ReportQuery(context()).findByName("Draft Day Assistant - By Round");
    ASSERT_TRUE(draft && !draft->empty());
    ReportRunResult refused = run(*draft->front(), 2, 2);
    EXPECT_EQ(refused.message, *draftPagesRefusal(context(), 7));
    EXPECT_FALSE(refused.page);
    EXPECT_FALSE(fs::exists(dir_.path() / kDefaultLeagueName));
}

TEST_F(ReportRunTest, FranchiseReportConvertsOldCodesButNeverSavesTheRunSelection) {
    Owned<Report> report = newReport("Best Weeks", kFranchiseReport, {kFranchiseName});
    report->addColumn(ReportColumn{kHighWeek, 1, "High"});
    TeamQueryNode teams;
    teams.setSelectCode(kAllFranchises);
    teams.setSortKey(0, kFranchiseName, false);
    report->setTeamNode(teams);
    report->save();

    ReportRunResult result = run(*report, 2, 2);
    ASSERT_EQ(result.status, kOk) << result.message;
    Owned<RptList> stored = ReportQuery(context()).findById(report->id());
    EXPECT_EQ(stored->front()->column(1).code, kHighScoringWeek);
    EXPECT_EQ(stored->front()->teamNode().selectCode(), kAllFranchises);

    std::vector<Row> rows = rowsOf(pageOf(result));
    TeamList franchises = context().teamQuery().leagueFranchises(league_);
    ASSERT_EQ(rows.size(), 2 + franchises.size());
    for (std::size_t i = 0; i < franchises.size(); ++i) {
        EXPECT_EQ(rows[2 + i].cells[0], franchises[i]->text(kFranchiseName));
        EXPECT_EQ(rows[2 + i].cells[1],
                  std::to_string(franchises[i]->getValue(kHighScoringWeek, kAllWeeks)));
    }
    EXPECT_EQ(result.page->parent_path().filename(), "Franchise Reports");
}

TEST_F(ReportRunTest, OverviewsCoverTheSeasonAndAreNamedForTheirObject) {
    Owned<RptList> player = ReportQuery(context()).findByName("Overview - Player");
    Owned<RptList> team = ReportQuery(context()).findByName("Overview - Team");
    Owned<RptList> nfl = ReportQuery(context()).findByName("Overview - NFL");
    ASSERT_TRUE(player && team && nfl);
    const Player* qb = playersAt(kQB).front();
    const Team* franchise = context().teamQuery().leagueFranchises(league_).front();
    std::string nflTeam = context().pro().teamName(false, qb->team());

    ReportRunResult players =
        run(*player->front(), 2, 2, ReportTarget{ReportNode::PlayerOverview, {}, 0, qb->id()});
    ASSERT_EQ(players.status, kOk);
    EXPECT_EQ(*players.page, dir_.path() / leagueName_ / "Player Overview" / nflTeam /
                                 (qb->name() + " - Week 3.HTM"));
    std::string page = pageOf(players);
    EXPECT_NE(page.find("High Week"), std::string::npos);
    // Two header rows, one row per week and the totals.
    EXPECT_EQ(rowsOf(page).size(), 2u + 2u + kSeasonWeeks + 1u);

    ReportRunResult franchises =
        run(*team->front(), 2, 2, ReportTarget{ReportNode::FranchiseOverview, {}, franchise->id()});
    ASSERT_EQ(franchises.status, kOk);
    EXPECT_EQ(franchises.page->filename(), franchise->text(kFranchiseName) + " - Week 3.HTM");
    EXPECT_NE(pageOf(franchises).find("Weekly Results and Season Totals"), std::string::npos);

    ReportRunResult teams =
        run(*nfl->front(), 2, 2, ReportTarget{ReportNode::NflOverview, {}, 0, 0, qb->team()});
    ASSERT_EQ(teams.status, kOk);
    EXPECT_EQ(*teams.page,
              dir_.path() / leagueName_ / "NFL Team Overview" / (nflTeam + " - All Weeks.HTM"));
    std::vector<Row> rows = rowsOf(pageOf(teams));
    ASSERT_EQ(rows.size(), 2u + kSeasonWeeks + 1u);
    EXPECT_EQ(rows[2].cells.size(), 12u);
    EXPECT_EQ(rows[2].cells[0], "1");
}

TEST_F(ReportRunTest, AFailedWriteLeavesNoPage) {
    Owned<Report> report = quarterbacks();
    ReportRunResult result;
    {
        test::FileSizeLimit limit(600);
        result = run(*report, 2, 2);
    }
    EXPECT_EQ(result.status, kFailed);
    EXPECT_FALSE(result.page);
    fs::path folder = dir_.path() / leagueName_ / "Player Reports";
    EXPECT_TRUE(!fs::exists(folder) || fs::is_empty(folder));
}

TEST_F(ReportRunTest, SiteMapListsGeneratedPagesThreeGroupsPerRow) {
    EXPECT_NE(readText(*writeReportSiteMap(context()).page).find("No reports have been generated!"),
              std::string::npos);
    Owned<Report> colon = quarterbacks("Points Scored: Week #1");
    ASSERT_EQ(run(*colon, 16, 16).status, kOk);
    ASSERT_EQ(run(*colon, 0, kSeasonWeeks - 1).status, kOk);
    ASSERT_EQ(run(*colon, 2, 2).status, kOk);
    ASSERT_EQ(run(*colon, 2, 3).status, kOk);

    ReportRunResult map = writeReportSiteMap(context());
    ASSERT_EQ(map.status, kOk);
    EXPECT_EQ(*map.page, dir_.path() / "Report Site Map.htm");
    std::string page = readText(*map.page);
    EXPECT_NE(page.find("<TITLE>Site Map of All Generated Reports</TITLE>"), std::string::npos);
    std::vector<Row> rows = rowsOf(page);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cells.size(), 3u);
    EXPECT_EQ(rows[1].cells.size(), 1u);
    EXPECT_EQ(rows[0].cells[0].find("Miscelaneous Reports"), 0u);
    EXPECT_EQ(rows[0].cells[1].find("Season Totals"), 0u);
    EXPECT_EQ(rows[0].cells[2].find("Week 3"), 0u);
    EXPECT_EQ(rows[1].cells[0].find("Week 17"), 0u);
    EXPECT_NE(rows[1].cells[0].find("Points Scored: Week #1"), std::string::npos);
    std::string link =
        "<A HREF=\"" +
        percentEncodePath(leagueName_ + "/Player Reports/Points Scored  Week #1 - Week 17.HTM") +
        "\">";
    EXPECT_NE(page.find(link), std::string::npos);
}

TEST_F(ReportRunTest, TotalsAddUpBeyondAnInt) {
    ReportGenerator generator(context());
    generator.addToTotal(1, 2'000'000'000);
    generator.addToTotal(1, 2'000'000'000);
    generator.addToTotal(2, -2'000'000'000);
    generator.addToTotal(2, -2'000'000'000);
    EXPECT_EQ(generator.total(1), 4'000'000'000);
    EXPECT_EQ(generator.total(2), -4'000'000'000);
    EXPECT_FALSE(generator.total(0));
}

TEST_F(ReportRunTest, HeaderPreviewWritesTheTwoHeaderRowsAlone) {
    Owned<Report> report = quarterbacks();
    ReportGenerator generator(context());
    ASSERT_EQ(generator.openPage("Preview", PagePath{{}, "preview.htm"}), kOk);
    generator.writeHeaderPreview(*report);
    ASSERT_EQ(generator.closePage(), kOk);
    std::vector<Row> rows = rowsOf(readText(generator.pagePath()));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cells, (std::vector<std::string>{"Player Information", "Points"}));
    EXPECT_EQ(rows[1].cells.size(), 5u);
}

TEST_F(ReportRunTest, TreeListsReportsByGroupAndLeavesHeadToHeadOutWithoutSchedule) {
    auto names = [](const std::vector<TreeReport>& reports) {
        std::vector<std::string> found;
        for (const TreeReport& report : reports) {
            found.push_back(report.name);
        }
        return found;
    };
    auto has = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    std::vector<TreeReport> demo = treeReports(context(), league_);
    std::vector<std::string> shown = names(demo);
    EXPECT_TRUE(has(shown, "Standings - By Record"));
    EXPECT_TRUE(has(shown, "Quarterbacks"));
    EXPECT_FALSE(has(shown, "Overview - Player"));
    EXPECT_TRUE(
        std::is_sorted(demo.begin(), demo.end(),
                       [](const TreeReport& a, const TreeReport& b) { return a.group < b.group; }));
    std::vector<std::string> plain = names(treeReports(context(), kDefaultLeagueId));
    EXPECT_FALSE(has(plain, "Standings - By Record"));
    EXPECT_FALSE(has(plain, "Your Schedule"));
    EXPECT_FALSE(has(plain, "Standings - By Points"));
    EXPECT_TRUE(has(plain, "NFL Schedule"));
}

}  // namespace
}  // namespace qff
