#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_board.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rpt_league.h"
#include "data02/reports/Rpt_pages.h"
#include "data02/reports/Rptqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Recfile.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using test::readText;
using test::SeasonFixture;

constexpr int kYear = 2003;
constexpr int kLeague = kDefaultLeagueId;
constexpr const char* kMarkedUpName = "<b>Bold & Co</b>";
constexpr const char* kEscapedName = "&lt;b&gt;Bold &amp; Co&lt;/b&gt;";

using Rows = std::vector<std::vector<std::string>>;

std::string bodyOf(const std::string& html) {
    std::size_t start = html.find("<BODY>\n");
    std::size_t end = html.find("</BODY>");
    if (start == std::string::npos || end == std::string::npos) {
        return {};
    }
    start += std::strlen("<BODY>\n");
    return html.substr(start, end - start);
}

std::string withoutTags(const std::string& text) {
    std::string plain;
    bool inTag = false;
    for (char c : text) {
        if (c == '<' || c == '>') {
            inTag = c == '<';
        } else if (!inTag && c != '\n') {
            plain += c;
        }
    }
    return plain;
}

// The rows of the table holding `marker`, each as its cells' texts.
Rows tableWith(const std::string& html, const std::string& marker) {
    std::size_t at = html.find(marker);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no " << marker;
        return {};
    }
    std::size_t start = html.rfind("<TABLE", at);
    std::size_t end = html.find("</TABLE>", at);
    Rows rows;
    for (std::size_t row = html.find("<TR", start); row < end; row = html.find("<TR", row + 1)) {
        std::size_t rowEnd = html.find("</TR>", row);
        std::vector<std::string> cells;
        for (std::size_t cell = html.find("<T", row + 1); cell < rowEnd;
             cell = html.find("<T", cell + 1)) {
            std::size_t open = html.find('>', cell);
            std::size_t close = html.find("</T", open);
            cells.push_back(withoutTags(html.substr(open + 1, close - open - 1)));
        }
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::string> captionsOf(const std::string& html) {
    std::vector<std::string> captions;
    const std::string open = "<CAPTION><B>";
    for (std::size_t at = html.find(open); at != std::string::npos; at = html.find(open, at + 1)) {
        std::size_t start = at + open.size();
        captions.push_back(html.substr(start, html.find("</B>", start) - start));
    }
    return captions;
}

// The layout tables of a page: their rows and cells, with "T" for each
// table placed in a cell.
std::string layoutShape(const std::string& html) {
    std::string shape;
    int depth = 0;
    for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        auto is = [&](const char* tag) { return html.compare(at, std::strlen(tag), tag) == 0; };
        if (is("<TABLE")) {
            ++depth;
            shape += depth == 1 ? "[ " : depth == 2 ? "T " : "";
        } else if (is("</TABLE>")) {
            shape += depth == 1 ? "] " : "";
            --depth;
        } else if (depth == 1) {
            for (auto [tag, token] : {std::pair{"<TR", "TR "}, std::pair{"</TR>", "/TR "},
                                      std::pair{"<TD", "TD "}, std::pair{"</TD>", "/TD "}}) {
                if (is(tag)) {
                    shape += token;
                }
            }
        }
    }
    return shape;
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

struct PageRun {
    int status;
    std::string body;
    bool operator==(const PageRun&) const = default;
};

class LeaguePageTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
        Preferences& preferences = context().preferences();
        preferences.set(kPrefReportBorder, 1);
        preferences.set(kPrefReportColour, 0);
        preferences.set(kPrefAlternateRows, 0);
        teams_ = context().pro().validTeams();
    }

    PageRun run(int number, int first = 0, int last = 0) {
        ReportGenerator generator(context());
        EXPECT_EQ(generator.openPage("Page", PagePath{{"pages"}, "page.htm"}), kOk);
        generator.setWeeks(first, last);
        Owned<RptList> found = ReportQuery(context()).findByName(Report::builtInName(number));
        EXPECT_TRUE(found && found->size() == 1) << number;
        int status = runLeaguePage(generator, *found->front(), number);
        EXPECT_EQ(generator.closePage(), kOk);
        return {status, bodyOf(readText(generator.pagePath()))};
    }

    Team* addFranchise(int id, const std::string& name, const std::vector<int>& roster = {}) {
        Owned<Team> team =
            context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
        team->setValue(kFranchiseId, id);
        team->setValue(kFranchiseLeague, kLeague);
        team->setValue(kFranchiseDivision, kNoDivision);
        team->setText(kFranchiseName, name);
        TeamRosterStruct players;
        for (int player : roster) {
            addToRoster(players, player);
        }
        for (int week = 0; week < kWeekSlots; ++week) {
            team->setRoster(week, players);
        }
        Team* raw = team.get();
        EXPECT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), kOk);
        return raw;
    }

    // Bonus points in week 1 make the player's season total.
    void addPlayer(int id, const std::string& name, int team, int position, int points) {
        Owned<Player> player =
            context().memory().makeRecord<Player>(Kind::Player, context().playerFile(), context());
        player->clear();
        player->setValue(kPlayerId, id, 0);
        player->setValue(kPlayerTeam, team, 0);
        player->setValue(kPlayerPosition, position, 0);
        player->setText(kPlayerName, name);
        ASSERT_EQ(player->setValue(kPlayerBonus, points, 0), kOk);
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().players(), player), kOk);
    }

    Player& unit(int team, int position) {
        return *context().mapFactory().players().findFirst(kPlayerId, Pro::unitId(team, position));
    }

    // Week 1 has statistics and the team played in it, so its points count.
    void playWeekOne(int team) {
        ASSERT_EQ(context().seasonState().setWeekHasStats(0, 1), kOk);
        ASSERT_EQ(unit(team, kQB).setValue(kPassYards, 150, 0), kOk);
    }

    void storePick(int franchise, int player, int round, int pick) {
        Owned<TrackDraft> record = context().draftQuery().create();
        record->setValue(kDraftLeague, kLeague);
        record->setValue(kDraftFranchise, franchise);
        record->setValue(kDraftPlayer, player);
        record->setValue(kDraftRound, round);
        record->setValue(kDraftPick, pick);
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().drafts(), record), kOk);
    }

    std::string teamName(int team, bool shortName) {
        return context().pro().teamName(shortName, team);
    }

    std::vector<int> teams_;
};

TEST_F(LeaguePageTest, NumbersOutsideTheLeaguePagesFail) {
    for (int number : {-1, 0, 3, 10, 13, 22, 23, 25}) {
        ReportGenerator generator(context());
        Report report(context().reportFile(), context());
        EXPECT_EQ(runLeaguePage(generator, report, number), kFailed) << number;
    }
}

// ------------------------------------------------------------ scoring system

struct ScoringCase {
    const char* name;
    std::function<void(ScoringSystem&)> change;
    std::vector<std::string> expected;
};

std::vector<std::int32_t> everyTable(int size, int points, int units) {
    std::vector<std::int32_t> table(static_cast<std::size_t>(size), 0);
    for (int i = 1; i < size; ++i) {
        table[static_cast<std::size_t>(i)] = points * ((i + units - 1) / units);
    }
    return table;
}

// Yardage scores N points for every M yards reached: N * floor(y / M).
std::vector<std::int32_t> yardsEveryTable(int points, int units) {
    std::vector<std::int32_t> table(static_cast<std::size_t>(kYardsTableSize), 0);
    for (int i = 0; i < kYardsTableSize; ++i) {
        table[static_cast<std::size_t>(i)] = points * (i / units);
    }
    return table;
}

std::vector<std::int32_t> rangeTable(int size, int splitAt, int below, int from) {
    std::vector<std::int32_t> table(static_cast<std::size_t>(size), 0);
    for (int i = 1; i < size; ++i) {
        table[static_cast<std::size_t>(i)] = i < splitAt ? below : from;
    }
    return table;
}

std::string items(const std::vector<std::string>& sentences) {
    std::string markup;
    for (const std::string& sentence : sentences) {
        markup += "<LI> " + sentence + "<BR>\n";
    }
    return markup;
}

TEST_F(LeaguePageTest, ScoringTablesAndRulesReadAsSentences) {
    auto table = [](int modeCode, int mode, int tableCode, std::vector<std::int32_t> entries) {
        return [=](ScoringSystem& s) {
            ASSERT_EQ(s.setValue(modeCode, mode), kOk);
            ASSERT_EQ(s.putTable(tableCode, entries), kOk);
        };
    };
    auto values = [](std::vector<std::pair<int, int>> pairs) {
        return [=](ScoringSystem& s) {
            for (auto [code, value] : pairs) {
                ASSERT_EQ(s.setValue(code, value), kOk);
            }
        };
    };
    const ScoringCase cases[] = {
        {"yards every 10",
         table(kPassYardsMode, 2, kPassYardsTable, yardsEveryTable(1, 10)),
         {"<I>Passing Yards</I>\n<UL PLAIN>" + items({"1 point every 10 yards"}) + "</UL>"}},
        {"yards every 25",
         table(kRushYardsMode, 2, kRushYardsTable, yardsEveryTable(2, 25)),
         {"<I>Rushing Yards</I>\n<UL PLAIN>" + items({"2 points every 25 yards"}) + "</UL>"}},
        {"touchdown ranges",
         table(kPassTdMode, 3, kPassTdTable, rangeTable(kLengthTableSize, 10, 3, 1)),
         {"<I>Passing a TD</I>\n<UL PLAIN>" +
          items({"1 to 9 yards = 3 points", "10 to 100 yards = 1 point"}) + "</UL>"}},
        {"yardage ranges",
         table(kCatchYardsMode, 3, kCatchYardsTable, rangeTable(kYardsTableSize, 100, 0, 1)),
         {items({"1 to 99 yards = 0 pts", "100 to 749 yards = 1 pt"})}},
        {"one value",
         table(kFieldGoalMode, 1, kFieldGoalTable, rangeTable(101, 1, 0, 3)),
         {"<I>Kicking a FG</I>\n<UL PLAIN>" + items({"3 points each FG"})}},
        {"one point",
         table(kDefenseTdMode, 1, kDefenseTdTable, rangeTable(101, 1, 0, 1)),
         {"<I>Defensive TD</I>\n<UL PLAIN>" + items({"1 point for each TD"})}},
        {"points allowed",
         table(kPointsAllowedMode, 2, kPointsAllowedTable, everyTable(kLengthTableSize, 1, 7)),
         {items({"1 point every 7 points allowed"})}},
        {"defaults",
         values({}),
         {"<I>Passing Performance</I>\n<UL PLAIN>" +
              items({"Subtract 1 pt for each interception", "Score 2 pts for each conv"}) + "</UL>",
          "<I>Other Ways to Score</I>\n<UL PLAIN>" + items({"5 pts when a non-QB passes a TD"}),
          "<I>Kicking Performance</I>\n<UL PLAIN>" + items({"1 point for each PAT"}) + "</UL>",
          "<I>Speciall Team TD</I>\n<UL PLAIN>" + items({"6 points each TD"}),
          "<I>Defensive Performance</I>\n<UL PLAIN>" +
              items({"1 point for each interception", "1 point for each recovered fumble",
                     "1 point for each QB sack", "2 pts for each safety",
                     "5 pts for a defensive shutout"}),
          "<I>Defensive Points Allowed</I>\n<UL PLAIN>" +
              items({"Not included in scoring system."}),
          "<I>Defensive Yards Allowed</I>\n<UL PLAIN>" + items({"Not included in scoring system."}),
          "<I>Bonus points that are manually</I>\n<BR>\n"}},
        {"rules and bonuses",
         values({{kPerPassThrown, 2},
                 {kPerInterceptionThrown, -2},
                 {kPassTdBonus, 4},
                 {kPassTdBonusAt, 3},
                 {kPerCatch, 1},
                 {kFieldGoalBonus, 3},
                 {kFieldGoalBonusAt, 4},
                 {kPerExtraPoint, 2}}),
         {items({"Score 2 pts for each pass thrown", "Subtract 2 pts for each interception"}),
          items({"4 pts for passing 3 or more TD's", "5 pts when a non-QB passes a TD"}),
          items({"Score 1 pt for each ball caught"}),
          items({"2 pts for each PAT", "3 pts for kicking 4 or more FG's"})}},
        {"no special teams",
         values({{kReturnTdMode, 0}, {kReturnYardsMode, 0}}),
         {"<TD VALIGN=\"top\"><UL PLAIN>" + items({"None."}) + "</UL>\n</TD>"}},
    };
    for (const ScoringCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScoringSystem& scoring = context().scoring();
        ASSERT_EQ(scoring.resetToDefaults(kLeague), kOk);
        c.change(scoring);
        ASSERT_EQ(scoring.save(), kOk);
        PageRun page = run(kScoringSystemPage);
        ASSERT_EQ(page.status, kOk);
        for (const std::string& part : c.expected) {
            EXPECT_NE(page.body.find(part), std::string::npos) << part << "\n" << page.body;
        }
    }
}

TEST_F(LeaguePageTest, TheScoringHeadingNamesTheLeagueAsText) {
    League* league = context().leagueQuery().findOne(kLeagueId, kLeague);
    ASSERT_EQ(league->setText(kLeagueName, kMarkedUpName), kOk);
    PageRun page = run(kScoringSystemPage);
    EXPECT_EQ(page.status, kOk);
    EXPECT_EQ(page.body.rfind("<CENTER>\n<H2>Fantasy Football Scoring System\n<BR>\nfor " +
                                  std::string(kEscapedName) + "\n</H2>\n<P>\n<TABLE>",
                              0),
              0u)
        << page.body;
    EXPECT_EQ(page.body.find("<b>"), std::string::npos);

    ASSERT_EQ(context().seasonState().set(kCurrentLeague, 77), kOk);
    page = run(kScoringSystemPage);
    EXPECT_EQ(page.body,
              "<CENTER>\n<H2>Fantasy Football Scoring System\n<BR>\nfor ??? League not found "
              "???\n</H2>\n<P>\n</CENTER>\n");
}

// ---------------------------------------------------------------- schedules

class SchedulePageTest : public LeaguePageTest {
  protected:
    void SetUp() override {
        LeaguePageTest::SetUp();
        addFranchise(1, kMarkedUpName);
        addFranchise(2, "Raiders");
        addFranchise(3, "Packers");
    }

    void putWeek(int week, const std::vector<std::pair<int, int>>& games) {
        Schedule& schedule = context().schedule();
        ASSERT_EQ(schedule.selectLeague(kLeague), kOk);
        ScheduleFantWeek stored;
        for (std::size_t slot = 0; slot < games.size(); ++slot) {
            stored.first[slot] = games[slot].first;
            stored.second[slot] = games[slot].second;
        }
        ASSERT_EQ(schedule.putFantasyWeek(week, stored), kOk);
        ASSERT_EQ(schedule.save(), kOk);
    }

    void writeNflWeeks(const std::vector<NflWeek>& weeks) {
        context().schedule().close();
        ScheduleFile file(context().memory(), SeasonFile::Sched, context().workdir());
        ASSERT_EQ(file.open(kYear), kOk);
        for (std::size_t w = 0; w < weeks.size(); ++w) {
            weeks[w].write(file.record().subspan(Schedule::kNflWeeksOffset + NflWeek::kSize * w,
                                                 NflWeek::kSize));
        }
        ASSERT_EQ(file.db().writeCurrent(), kOk);
        file.close();
        ASSERT_EQ(context().schedule().open(kYear), kOk);
    }
};

TEST_F(SchedulePageTest, ARangeOfWeeksPlacesTheWeekTablesTwoPerRow) {
    putWeek(0, {{1, 2}, {3, kByeSide}, {9, 1}, {2, 8}, {0, 0}, {2, 3}});
    putWeek(1, {{2, 1}});
    putWeek(2, {{3, 1}});
    PageRun page = run(kYourSchedulePage, 0, 2);
    ASSERT_EQ(page.status, kOk);
    EXPECT_EQ(page.body.rfind("<H2 align=center>2003 Fantasy Football Schedule</H2>\n<CENTER>\n"
                              "<TABLE WIDTH=\"90%\">",
                              0),
              0u);
    EXPECT_EQ(layoutShape(page.body), "[ TR TD T /TD TD T /TD /TR TR TD T /TD /TR ] ");
    EXPECT_EQ(count(page.body, "<TABLE WIDTH=\"100%\" BORDER=1>"), 3);
    EXPECT_EQ(tableWith(page.body, "Week #1"), (Rows{{"Week #1"},
                                                     {"Home", "Away"},
                                                     {kEscapedName, "Raiders"},
                                                     {"Packers", "BYE"},
                                                     {"? Team not found ?", kEscapedName},
                                                     {"Raiders", "??? Team not found ???"}}));
    EXPECT_EQ(tableWith(page.body, "Week #3"),
              (Rows{{"Week #3"}, {"Home", "Away"}, {"Packers", kEscapedName}}));
}

TEST_F(SchedulePageTest, OneWeekIsHalfWideAndAnEmptyWeekSaysSo) {
    putWeek(0, {{1, 2}});
    PageRun page = run(kYourSchedulePage, 0, 0);
    EXPECT_EQ(page.status, kOk);
    EXPECT_EQ(count(page.body, "<TABLE"), 1);
    EXPECT_NE(page.body.find("<CENTER>\n<TABLE WIDTH=\"50%\" BORDER=1><TR><TH COLSPAN=2"),
              std::string::npos);

    page = run(kYourSchedulePage, 3, 3);
    EXPECT_EQ(page.status, kOk);
    EXPECT_EQ(page.body,
              "<H2 align=center>2003 Fantasy Football Schedule</H2>\n<CENTER>\n"
              "<BIG>No schedule available for Week #4</BIG>\n</CENTER>\n");
}

TEST_F(SchedulePageTest, NoFranchisesOrNoScheduleFails) {
    EXPECT_EQ(run(kYourSchedulePage, 0, 2).status, kFailed);
    putWeek(0, {{1, 2}});
    ASSERT_EQ(context().seasonState().set(kCurrentLeague, 77), kOk);
    EXPECT_EQ(run(kYourSchedulePage, 0, 2).status, kFailed);
}

TEST_F(SchedulePageTest, TheNflScheduleListsGamesThenTheOffTeams) {
    NflWeek first;
    first.gameSlots[0] = {7, 9, 12, teams_[0], teams_[1]};
    first.gameSlots[1] = {1, 9, 13, teams_[2], teams_[3]};
    first.gameSlots[2] = {99, 0, 0, teams_[4], 0};
    first.gameSlots[3] = {99, 0, 0, teams_[5], 0};
    NflWeek second;
    second.gameSlots[0] = {4, 9, 19, teams_[1], teams_[0]};
    writeNflWeeks({first, second});

    PageRun page = run(kNflSchedulePage, 0, 2);
    ASSERT_EQ(page.status, kOk);
    EXPECT_EQ(page.body.rfind("<H2 align=center>NFL 2003 Season Schedule</H2>\n<CENTER>\n", 0), 0u);
    // Week 3 has no games: its cell stays empty, beside the empty cell of an odd last week.
    EXPECT_EQ(layoutShape(page.body), "[ TR TD T /TD TD T /TD /TR ] [ TR TD /TD TD /TD /TR ] ");
    std::string off = teamName(teams_[4], false) + ", " + teamName(teams_[5], false);
    EXPECT_EQ(tableWith(page.body, "Week #1"),
              (Rows{{"Week #1"},
                    {"Day", "Date", "Home", "Away"},
                    {"SUN", "9-12", teamName(teams_[0], false), teamName(teams_[1], false)},
                    {"MON", "9-13", teamName(teams_[2], false), teamName(teams_[3], false)},
                    {"Off:", off}}));
    EXPECT_NE(page.body.find("<TD ROWSPAN=2 VALIGN=\"top\"><B>Off:</B></TD><TD COLSPAN=3 "
                             "ROWSPAN=2 VALIGN=\"top\">"),
              std::string::npos);
    EXPECT_EQ(tableWith(page.body, "Week #2").size(), 3u);

    page = run(kNflSchedulePage, 1, 1);
    EXPECT_NE(page.body.find("<TABLE WIDTH=\"50%\" BORDER=1>"), std::string::npos);
    EXPECT_EQ(page.body.find("Off:"), std::string::npos);
}

// ---------------------------------------------------------------- draft day

class DraftPageTest : public LeaguePageTest {
  protected:
    void SetUp() override {
        LeaguePageTest::SetUp();
        League* league = context().leagueQuery().findOne(kLeagueId, kLeague);
        ASSERT_EQ(league->setValue(kLeagueDraftRounds, 2), kOk);
        team_ = teams_[0];
        addPlayer(101, "Quinn <QB>", team_, kQB, 0);
        addPlayer(102, "Rob Runner", team_, kRB, 0);
        addPlayer(103, "Will Wide", team_, kWR, 0);
        addPlayer(104, "Kurt Kicker", team_, kPK, 0);
        addPlayer(105, "Ron Back", team_, kRB, 0);
        addFranchise(1, kMarkedUpName);
        addFranchise(2, "Raiders");
        addFranchise(3, "Packers");
    }

    void storeDraft() {
        storePick(2, 102, 1, 2);
        storePick(1, 101, 1, 1);
        storePick(3, 0, 1, 3);  // planned, never used
        storePick(1, 103, 2, 1);
        storePick(9, 105, 2, 2);  // its franchise is gone
        storePick(2, 104, 0, 1);
        storePick(1, Pro::unitId(team_, kDEF), 5, 1);  // beyond the league's two rounds
    }

    std::string shortTeam() { return teamName(team_, true); }

    int team_ = 0;
};

TEST_F(DraftPageTest, ByRoundShowsEveryRoundThatHoldsAPick) {
    storeDraft();
    PageRun page = run(kDraftByRoundPage);
    ASSERT_EQ(page.status, kOk);
    EXPECT_EQ(page.body.rfind("<H2 align=center>Draft Day Results: By Round</H2>\n<CENTER>\n", 0),
              0u);
    EXPECT_EQ(captionsOf(page.body),
              (std::vector<std::string>{"Round 0", "Round 1", "Round 2", "Round 5"}));
    EXPECT_EQ(layoutShape(page.body), "[ TR TD T /TD TD T /TD /TR TR TD T /TD TD T /TD /TR ] ");
    EXPECT_EQ(count(page.body, "</TABLE>\n<P>\n"), 4);
    EXPECT_EQ(tableWith(page.body, "Round 1"),
              (Rows{{"Pick", "Franchise", "Player Name", "Pos", "Team"},
                    {"1", kEscapedName, "Quinn &lt;QB&gt;", "QB", shortTeam()},
                    {"2", "Raiders", "Rob Runner", "RB", shortTeam()}}));
    EXPECT_EQ(tableWith(page.body, "Round 2").back(),
              (std::vector<std::string>{"2", "", "Ron Back", "RB", shortTeam()}));
    EXPECT_EQ(tableWith(page.body, "Round 5").back()[3], "DEF");
}

TEST_F(DraftPageTest, ByFranchiseKeepsAFranchiseWhosePicksAreUnused) {
    storeDraft();
    PageRun page = run(kDraftByFranchisePage);
    ASSERT_EQ(page.status, kOk);
    EXPECT_EQ(captionsOf(page.body),
              (std::vector<std::string>{kEscapedName, "Packers", "Raiders"}));
    EXPECT_EQ(tableWith(page.body, "<B>" + std::string(kEscapedName)),
              (Rows{{"Rnd", "Pick", "Player Name", "Pos", "Team"},
                    {"1", "1", "Quinn &lt;QB&gt;", "QB", shortTeam()},
                    {"2", "1", "Will Wide", "WR", shortTeam()},
                    {"5", "1", unit(team_, kDEF).name(), "DEF", shortTeam()}}));
    EXPECT_EQ(tableWith(page.body, "<B>Packers"),
              (Rows{{"Rnd", "Pick", "Player Name", "Pos", "Team"}}));
    EXPECT_EQ(tableWith(page.body, "<B>Raiders").size(), 3u);
}

TEST_F(DraftPageTest, ByPositionGroupsPlayersWithTheirTeamUnits) {
    storeDraft();
    PageRun page = run(kDraftByPositionPage);
    ASSERT_EQ(page.status, kOk);
    EXPECT_EQ(captionsOf(page.body),
              (std::vector<std::string>{"Quarter Back", "Running Back", "Wide Receiver",
                                        "Place Kicker", "Defense"}));
    EXPECT_EQ(tableWith(page.body, "<B>Running Back"),
              (Rows{{"Rnd", "Pick", "Franchise", "Player Name", "Team"},
                    {"1", "2", "Raiders", "Rob Runner", shortTeam()},
                    {"2", "2", "Unknown", "Ron Back", shortTeam()}}));
}

TEST_F(DraftPageTest, PickOrderShowsEveryPickFourGroupsPerRow) {
    storeDraft();
    PageRun page = run(kDraftPickOrderPage);
    ASSERT_EQ(page.status, kOk);
    EXPECT_EQ(page.body.rfind("<H2 align=center>Draft Day: Pick Order</H2>", 0), 0u);
    EXPECT_EQ(layoutShape(page.body), "[ TR TD T /TD TD T /TD TD T /TD TD T /TD /TR ] ");
    EXPECT_EQ(
        tableWith(page.body, "Round 1"),
        (Rows{{"Pick", "Franchise"}, {"1", kEscapedName}, {"2", "Raiders"}, {"3", "Packers"}}));
    EXPECT_EQ(tableWith(page.body, "Round 2").back(), (std::vector<std::string>{"2", "Unknown"}));
}

TEST_F(DraftPageTest, WithoutThePicksItNeedsAPageRefusesAndWritesNothing) {
    for (int number :
         {kDraftByRoundPage, kDraftByFranchisePage, kDraftByPositionPage, kDraftPickOrderPage}) {
        EXPECT_EQ(draftPagesRefusal(context(), number),
                  "This report can't be created until you establish rosters by using the Draft "
                  "Day Assistant on the current league.");
        EXPECT_EQ(run(number), (PageRun{kFailed, ""})) << number;
    }
    storePick(3, 0, 1, 1);
    for (int number : {kDraftByRoundPage, kDraftByFranchisePage, kDraftByPositionPage}) {
        EXPECT_EQ(run(number), (PageRun{kFailed, ""})) << number;
    }
    EXPECT_EQ(draftPagesRefusal(context(), kDraftPickOrderPage), std::nullopt);
    EXPECT_EQ(run(kDraftPickOrderPage).status, kOk);
    EXPECT_EQ(draftPagesRefusal(context(), kNflSchedulePage), std::nullopt);
}

// Every file below a folder with its size and time of last change.
std::map<std::filesystem::path, std::pair<std::uintmax_t, std::filesystem::file_time_type>>
filesBelow(const std::filesystem::path& folder) {
    std::map<std::filesystem::path, std::pair<std::uintmax_t, std::filesystem::file_time_type>>
        files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path()] = {entry.file_size(), entry.last_write_time()};
        }
    }
    return files;
}

TEST_F(DraftPageTest, BoardIsTheByRoundPageOfItsLeagueMadeInMemory) {
    storeDraft();
    std::string byRound = run(kDraftByRoundPage).body;
    ASSERT_EQ(context().seasonState().set(kCurrentLeague, kLeague + 7), kOk);
    auto before = filesBelow(dir_.path());

    DraftBoardPage board = draftBoardPage(context(), kLeague);
    EXPECT_EQ(board.title, "Draft Board - " + std::string(kDefaultLeagueName));
    EXPECT_EQ(board.html.rfind("<HTML>\n<HEAD>\n<TITLE>Draft Day Assistant - By Round</TITLE>", 0),
              0u);
    EXPECT_EQ(bodyOf(board.html), byRound);
    EXPECT_EQ(board.latestRound, "Round 5");
    EXPECT_EQ(filesBelow(dir_.path()), before);
    EXPECT_EQ(context().seasonState().peek(kCurrentLeague), kLeague + 7);
}

struct StoredPick {
    int franchise;
    int player;
    int round;
    int pick;
};

struct BoardCase {
    const char* name;
    std::vector<StoredPick> picks;
    int league;
    std::string title;
    std::string note;
    std::string latestRound;
};

TEST_F(DraftPageTest, BoardNotesWhatItCannotShowAndKeepsTheLatestRound) {
    const std::string league = "Draft Board - " + std::string(kDefaultLeagueName);
    const std::vector<BoardCase> cases{
        {"no picks", {}, kLeague, league, kDraftBoardWaiting, ""},
        {"only a planned pick", {{3, 0, 1, 1}}, kLeague, league, kDraftBoardWaiting, ""},
        {"a planned pick after the latest",
         {{1, 101, 1, 1}, {2, 102, 2, 1}, {3, 0, 3, 1}},
         kLeague,
         league,
         "",
         "Round 2"},
        {"no such league",
         {{1, 101, 1, 1}},
         kLeague + 31000,
         "Draft Board - ??? League not found ???",
         "??? League not found ???",
         ""},
    };
    for (const BoardCase& c : cases) {
        for (TrackDraft* pick : context().draftQuery().leaguePicks(kLeague)) {
            ASSERT_EQ(context().draftQuery().remove(*pick), kOk);
        }
        for (const StoredPick& pick : c.picks) {
            storePick(pick.franchise, pick.player, pick.round, pick.pick);
        }
        DraftBoardPage board = draftBoardPage(context(), c.league);
        EXPECT_EQ(board.title, c.title) << c.name;
        EXPECT_EQ(board.latestRound, c.latestRound) << c.name;
        if (!c.note.empty()) {
            EXPECT_EQ(withoutTags(bodyOf(board.html)), c.note) << c.name;
        }
    }
}

// ------------------------------------------------------------- top players

class TopPageTest : public LeaguePageTest {
  protected:
    void SetUp() override {
        LeaguePageTest::SetUp();
        context().preferences().set(kPrefTopPlayers, 5);
        team_ = teams_[0];
        playWeekOne(team_);
        for (int i = 1; i <= 7; ++i) {
            addPlayer(100 + i, "QB " + std::to_string(i), team_, kQB, 10 * i);
        }
        addPlayer(201, "RB <1>", team_, kRB, 5);
        addPlayer(202, "RB 2", team_, kRB, 25);
        addPlayer(203, "RB 3", team_, kRB, 15);
        ASSERT_EQ(unit(team_, kDEF).setValue(kPlayerBonus, 9, 0), kOk);
        addFranchise(1, "Raiders", {107, 101, 203});
    }

    Rows ranks(const std::string& body, const std::string& group) {
        Rows rows = tableWith(body, ">" + group + "</TH>");
        if (!rows.empty()) {
            rows.erase(rows.begin());
        }
        return rows;
    }

    std::string shortTeam() { return teamName(team_, true); }

    int team_ = 0;
};

TEST_F(TopPageTest, TopNflPlayersShowsAtMostThePreferredNumberPerGroup) {
    PageRun page = run(kTopNflPlayersPage);
    ASSERT_EQ(page.status, kOk);
    EXPECT_NE(page.body.find("<BIG>Top Players in the NFL</BIG>\n<P>\n"), std::string::npos);
    EXPECT_EQ(ranks(page.body, "Quarter Back"), (Rows{{"1", "QB 7", shortTeam(), "70"},
                                                      {"2", "QB 6", shortTeam(), "60"},
                                                      {"3", "QB 5", shortTeam(), "50"},
                                                      {"4", "QB 4", shortTeam(), "40"},
                                                      {"5", "QB 3", shortTeam(), "30"}}));
    EXPECT_EQ(ranks(page.body, "Running Back"), (Rows{{"1", "RB 2", shortTeam(), "25"},
                                                      {"2", "RB 3", shortTeam(), "15"},
                                                      {"3", "RB &lt;1&gt;", shortTeam(), "5"}}));
    Rows defenses = ranks(page.body, "Team Defense");
    ASSERT_EQ(defenses.size(), 5u);
    // Its bonus and the shutout bonus of a defense that allowed no points.
    EXPECT_EQ(defenses[0], (std::vector<std::string>{"1", unit(team_, kDEF).name(), "14"}));
    EXPECT_EQ(ranks(page.body, "Team Special Teams").size(), 5u);
    // QB, RB, then the two team groups: rows of three, each its own layout table.
    EXPECT_EQ(layoutShape(page.body), "[ TR TD T /TD TD T /TD TD T /TD /TR ] [ TR TD T /TD /TR ] ");
}

TEST_F(TopPageTest, FranchiseAndUndraftedPlayersSplitOnTheLastWeeksRosters) {
    PageRun drafted = run(kTopFranchisePlayersPage);
    ASSERT_EQ(drafted.status, kOk);
    EXPECT_NE(drafted.body.find("<BIG>Top Players That Have Been Drafted</BIG>"),
              std::string::npos);
    EXPECT_EQ(ranks(drafted.body, "Quarter Back"),
              (Rows{{"1", "QB 7", shortTeam(), "70"}, {"2", "QB 1", shortTeam(), "10"}}));
    EXPECT_EQ(ranks(drafted.body, "Running Back"), (Rows{{"1", "RB 3", shortTeam(), "15"}}));
    EXPECT_EQ(captionsOf(drafted.body).size(), 0u);
    EXPECT_EQ(count(drafted.body, "COLSPAN=4"), 2);

    PageRun undrafted = run(kTopUndraftedPlayersPage);
    ASSERT_EQ(undrafted.status, kOk);
    EXPECT_NE(undrafted.body.find("<BIG>Top Undrafted Players</BIG>"), std::string::npos);
    Rows quarterbacks = ranks(undrafted.body, "Quarter Back");
    ASSERT_EQ(quarterbacks.size(), 5u);
    EXPECT_EQ(quarterbacks[0][1], "QB 6");
    EXPECT_EQ(quarterbacks[4][1], "QB 2");
    EXPECT_EQ(ranks(undrafted.body, "Running Back").size(), 2u);
    EXPECT_EQ(ranks(undrafted.body, "Team Quarter Back").size(), 5u);
}

// ------------------------------------------------------------------ totals

TEST_F(TopPageTest, TotalsByNflTeamStartWithTheFewestPoints) {
    int worst = teams_[3];
    playWeekOne(worst);
    ASSERT_EQ(unit(worst, kSPE).setValue(kPlayerBonus, -9, 0), kOk);
    PageRun page = run(kTotalsByNflTeamPage);
    ASSERT_EQ(page.status, kOk);
    EXPECT_EQ(page.body.rfind("<CENTER>\n<H2 align=center>Season Totals By NFL Team</H2>\n<P>\n"
                              "<TABLE BORDER=1>",
                              0),
              0u);
    Rows rows = tableWith(page.body, "<TABLE BORDER=1>");
    ASSERT_EQ(rows.size(), 2 + teams_.size() + 1);
    EXPECT_EQ(rows[1][0], "NFL Team");
    EXPECT_EQ(rows[2][0], teamName(worst, false));
    EXPECT_EQ(rows[2][1], "-4");
    // The team's units only, none of its individual players' points: 9 bonus
    // points and the shutout bonus of 5 for each team that played.
    EXPECT_EQ(rows[rows.size() - 2][0], teamName(team_, false));
    EXPECT_EQ(rows[rows.size() - 2][1], "14");
    EXPECT_EQ(rows.back()[0], "Totals:");
    EXPECT_EQ(rows.back()[1], "10");
}

TEST_F(TopPageTest, TotalsByPositionSumTheIndividualPlayers) {
    PageRun page = run(kTotalsByPositionPage);
    ASSERT_EQ(page.status, kOk);
    Rows rows = tableWith(page.body, "<TABLE BORDER=1>");
    ASSERT_EQ(rows.size(), 2u + 5u + 1u);
    EXPECT_EQ(rows[2][0], "Quarter Back");
    EXPECT_EQ(rows[2][1], "280");
    EXPECT_EQ(rows[3][0], "Running Back");
    EXPECT_EQ(rows[3][1], "45");
    EXPECT_EQ(rows[6][0], "Place Kicker");
    EXPECT_EQ(rows.back()[0], "Totals:");
    EXPECT_EQ(rows.back()[1], "325");
}

TEST_F(TopPageTest, ATotalsPageWithoutItsDefinitionOrPointsColumnWritesNothing) {
    Owned<RptList> found = ReportQuery(context()).findByName("Totals by NFL Team");
    ASSERT_TRUE(found && found->size() == 1);
    Report& definition = *found->front();
    ASSERT_EQ(definition.column(1).code, kTotalPoints);
    ASSERT_EQ(definition.removeColumn(1), kOk);
    ASSERT_EQ(definition.save(), kOk);
    EXPECT_EQ(run(kTotalsByNflTeamPage), (PageRun{kFailed, ""}));

    Owned<RptList> byPosition = ReportQuery(context()).findByName("Totals by Position");
    ASSERT_TRUE(byPosition && byPosition->size() == 1);
    ASSERT_EQ(byPosition->front()->remove(), kOk);
    ReportGenerator generator(context());
    Report bare(context().reportFile(), context());
    EXPECT_EQ(runLeaguePage(generator, bare, kTotalsByPositionPage), kFailed);
}

}  // namespace
}  // namespace qff
