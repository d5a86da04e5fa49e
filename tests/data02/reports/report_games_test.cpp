#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data02/diag/Status.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rpt_pages.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::readText;
using test::TempDir;

constexpr int kYear = 2003;
constexpr int kLeague = 0;
constexpr int kSeasonEnd = 16;
constexpr std::time_t kMid2011 = 1308139200;

enum Page {
    kHthActive = 3,
    kHthAll = 4,
    kRotisserieActive = 5,
    kRotisserieAll = 6,
    kRosters = 10,
    kChangesBasic = 11,
    kChangesComplex = 12,
    kOwners = 13,
    kOverview = 22,
    kSnapshot = 23,
};
enum Franchise { kA = 1, kB = 2, kC = 3, kD = 4 };

// Points a player earns in a week, given as its bonus statistic so every
// figure below adds up by hand.
struct Earned {
    int week;
    int points;
};

// Counts the non-overlapping occurrences of `what`.
int countOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// The rows of a page in order, each from "<TR" to its end tag.
std::vector<std::string> rowsOf(const std::string& page) {
    std::vector<std::string> rows;
    for (auto at = page.find("<TR"); at != std::string::npos; at = page.find("<TR", at + 1)) {
        rows.push_back(page.substr(at, page.find("</TR>", at) - at));
    }
    return rows;
}

// Four franchises of the Default League, each with active QB, RB and WR and
// a benched TE, the same roster every week; weeks 1 to 5 are flagged.
class GamePagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_.path(), [] { return kMid2011; }}, error);
        ASSERT_TRUE(context_) << error;
        ASSERT_EQ(context_->preferences().load(), 0);
        // Without colour the markup under test stays free of font tags.
        ASSERT_EQ(context_->preferences().set(kPrefReportColour, 0), kOk);
        ASSERT_TRUE(createSeasonFiles(*context_, kYear, error)) << error;
        ASSERT_TRUE(openSeason(*context_, kYear).opened);
        ASSERT_EQ(state().set(kCurrentLeague, kLeague), kOk);
        team_ = context_->pro().validTeams().front();
        markTeamPlayed();
        const char* names[] = {"Alpha", "Bravo", "Charlie", "Delta"};
        for (int id = kA; id <= kD; ++id) {
            int base = 100 * id;
            addPlayer(base + 1, kQB, "Quinn " + std::to_string(id), {{0, 10 * id}});
            addPlayer(base + 2, kRB, "Reed " + std::to_string(id), {{0, id}});
            addPlayer(base + 3, kWR, "Webb " + std::to_string(id), {});
            addPlayer(base + 4, kTE, "Tate " + std::to_string(id), {{0, 2}});
            addFranchise(id, names[id - 1], {base + 1, base + 2, base + 3}, {base + 4});
        }
        for (int week = 0; week < 5; ++week) {
            ASSERT_EQ(state().setWeekHasStats(week, 1), kOk);
        }
        ASSERT_EQ(context_->schedule().selectLeague(kLeague), kOk);
        report_ = std::make_unique<Report>(context_->reportFile(), *context_);
        report_->setText(kReportHeader, "Page Header");
    }

    Singleton& context() { return *context_; }
    SeasonState& state() { return context_->seasonState(); }

    // The QB unit passed every week, so the team's players count in flagged weeks.
    void markTeamPlayed() {
        Player* unit =
            context().mapFactory().players().findFirst(kPlayerId, Pro::unitId(team_, kQB));
        ASSERT_NE(unit, nullptr);
        for (int week = 0; week <= kSeasonEnd; ++week) {
            ASSERT_EQ(unit->setValue(kPassYards, 150, week), kOk);
        }
        ASSERT_EQ(unit->save(), kOk);
    }

    void addPlayer(int id, int position, const std::string& name,
                   const std::vector<Earned>& earned) {
        Owned<Player> player =
            context().memory().makeRecord<Player>(Kind::Player, context().playerFile(), context());
        player->clear();
        player->setValue(kPlayerId, id, 0);
        player->setValue(kPlayerTeam, team_, 0);
        player->setValue(kPlayerPosition, position, 0);
        player->setText(kPlayerName, name);
        for (const Earned& e : earned) {
            ASSERT_EQ(player->setValue(kPlayerBonus, e.points, e.week), kOk);
        }
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().players(), player), kOk);
    }

    void earn(int player, const std::vector<Earned>& earned) {
        Player* found = context().mapFactory().players().findFirst(kPlayerId, player);
        ASSERT_NE(found, nullptr);
        for (const Earned& e : earned) {
            ASSERT_EQ(found->setValue(kPlayerBonus, e.points, e.week), kOk);
        }
    }

    static TeamRosterStruct rosterOf(const std::vector<int>& active,
                                     const std::vector<int>& bench) {
        TeamRosterStruct roster;
        for (int player : active) {
            addToRoster(roster, player);
            roster.setFlag(roster.count() - 1, 1);
        }
        for (int player : bench) {
            addToRoster(roster, player);
        }
        return roster;
    }

    void addFranchise(int id, const std::string& name, const std::vector<int>& active,
                      const std::vector<int>& bench) {
        Owned<Team> team =
            context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
        team->setValue(kFranchiseId, id);
        team->setValue(kFranchiseLeague, kLeague);
        team->setValue(kFranchiseDivision, kNoDivision);
        team->setText(kFranchiseName, name);
        TeamRosterStruct roster = rosterOf(active, bench);
        for (int week = 0; week < kWeekSlots; ++week) {
            team->setRoster(week, roster);
        }
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), kOk);
    }

    Team& franchise(int id) {
        return *context().mapFactory().franchises().findFirst(kFranchiseId, id);
    }

    // The roster of one week only; the other weeks keep theirs.
    void setRoster(int id, int week, const std::vector<int>& active,
                   const std::vector<int>& bench) {
        franchise(id).setRoster(week, rosterOf(active, bench));
    }

    void schedule(int week, const std::vector<std::pair<int, int>>& games) {
        ScheduleFantWeek slots;
        for (std::size_t slot = 0; slot < games.size(); ++slot) {
            slots.first[slot] = games[slot].first;
            slots.second[slot] = games[slot].second;
        }
        ASSERT_EQ(context().schedule().putFantasyWeek(week, slots), kOk);
    }

    int run(int number, int first, int last) {
        ReportGenerator generator(context());
        EXPECT_EQ(generator.openPage("Title", PagePath{{"League"}, "Page.HTM"}), kOk);
        generator.setWeeks(first, last);
        int result = runGamePage(generator, *report_, number);
        ranWeeks_ = {generator.firstWeek(), generator.lastWeek()};
        EXPECT_EQ(generator.closePage(), kOk);
        page_ = readText(generator.pagePath());
        return result;
    }

    const std::string& generate(int number, int first, int last) {
        EXPECT_EQ(run(number, first, last), kOk) << "page " << number;
        return page_;
    }

    TempDir dir_;
    std::unique_ptr<Singleton> context_;
    std::unique_ptr<Report> report_;
    int team_ = 0;
    std::string page_;
    std::pair<int, int> ranWeeks_;
};

// ------------------------------------------------------------- game week

TEST_F(GamePagesTest, AMultiWeekRunShowsTheLastWeekWithStatisticsAndIsTitledWithIt) {
    schedule(0, {{kA, kC}, {kB, kD}});
    schedule(4, {{kA, kB}, {kC, kD}});
    earn(101, {{4, 77}});
    ASSERT_EQ(state().set(kViewWeek, 2), kOk);
    const struct {
        int page;
        const char* caption;
    } cases[] = {
        {kHthActive, "<BIG>Week 5</BIG>"},        {kHthAll, "<BIG>Week 5</BIG>"},
        {kRotisserieActive, "<BIG>Week 5</BIG>"}, {kRotisserieAll, "<BIG>Week 5</BIG>"},
        {kOverview, "<BIG>Week 5</BIG>"},         {kSnapshot, "<I>Week #5 Results</I>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        const std::string& page = generate(c.page, 0, kSeasonEnd);
        EXPECT_NE(page.find(c.caption), std::string::npos);
        EXPECT_NE(page.find("77"), std::string::npos) << "week 5's points";
        EXPECT_EQ(ranWeeks_, std::make_pair(4, 4));
        EXPECT_EQ(state().peek(kViewWeek), 2) << "the user's week is put back";
    }
}

TEST_F(GamePagesTest, WithoutFlaggedWeeksAMultiWeekRunShowsTheFirstWeek) {
    for (int week = 0; week < 5; ++week) {
        ASSERT_EQ(state().setWeekHasStats(week, 0), kOk);
    }
    schedule(0, {{kA, kB}});
    const std::string& page = generate(kHthActive, 2, 6);
    EXPECT_NE(page.find("<BIG>Week 1</BIG>"), std::string::npos);
    EXPECT_NE(page.find("Alpha"), std::string::npos);
}

// -------------------------------------------------------------- schedules

TEST_F(GamePagesTest, AnEmptyFirstSlotMeansNoScheduleOnDetailsAndNoGamesOnTheOverview) {
    for (int page : {kHthActive, kHthAll}) {
        SCOPED_TRACE(page);
        EXPECT_NE(generate(page, 6, 6).find("<B>No schedule available for Week #7</B>\n"),
                  std::string::npos);
        EXPECT_EQ(page_.find("<TABLE"), std::string::npos);
    }
    const std::string& overview = generate(kOverview, 6, 6);
    EXPECT_EQ(overview.find("Alpha"), std::string::npos);
    EXPECT_EQ(rowsOf(overview).size(), 2u) << "the header row and the next week's title row";
}

TEST_F(GamePagesTest, DetailsStopAtTheFirstEmptySlotWhileTheOverviewShowsEverySlot) {
    schedule(0, {{kA, kB}, {0, 0}, {kC, kD}});
    EXPECT_EQ(generate(kHthActive, 0, 0).find("Charlie"), std::string::npos);
    EXPECT_NE(generate(kOverview, 0, 0).find("Charlie"), std::string::npos);
}

TEST_F(GamePagesTest, MissingSidesShowAByeOrThePagesErrorText) {
    schedule(0, {{kA, kByeSide}, {99, kB}});
    const struct {
        int page;
        const char* error;
    } cases[] = {
        {kHthActive, ">? ERROR ?<"},
        {kHthAll,
         ">??? ERROR ???"
         "<"},
        {kOverview,
         ">??? ERROR ???"
         "<"},
        {kSnapshot,
         "<small>??? ERROR ???"
         "</small>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        const std::string& page = generate(c.page, 0, 0);
        EXPECT_NE(page.find("COLSPAN=2 VALIGN=\"top\">" +
                            std::string(c.page == kSnapshot ? "<small>BYE Week" : "BYE Week")),
                  std::string::npos);
        EXPECT_NE(page.find(c.error), std::string::npos);
    }
}

TEST_F(GamePagesTest, TheNextWeeksScheduleFollowsUnlessTheWeekIsTheSeasonsLast) {
    schedule(0, {{kA, kB}});
    schedule(1, {{kC, kD}});
    schedule(kSeasonEnd, {{kA, kB}});
    const struct {
        int page;
        int week;
        const char* marker;
        bool shown;
    } cases[] = {
        {kOverview, 0, "<B>Next weeks schedule...</B>\n", true},
        {kOverview, kSeasonEnd, "Next weeks schedule...", false},
        {kSnapshot, 0, "<I>Next Week</I>", true},
        {kSnapshot, kSeasonEnd, "Next Week", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.page) + " week " + std::to_string(c.week));
        const std::string& page = generate(c.page, c.week, c.week);
        EXPECT_EQ(page.find(c.marker) != std::string::npos, c.shown);
        EXPECT_EQ(page.find("Charlie") != std::string::npos, c.shown);
    }
    EXPECT_NE(generate(kSnapshot, 0, 0)
                  .find("<small>Charlie</small></TD><TD VALIGN=\"top\">"
                        "<small>- VS -</small></TD>"),
              std::string::npos);
}

// ----------------------------------------------------------------- scores

TEST_F(GamePagesTest, TiesAreBoldItalicAndTheHigherScoreBoldOnOverviewAndSnapshot) {
    // Week 1 as set up: A 10+1, B 20+2, C 30+3, D 40+4. A and B tie at 87.
    earn(101, {{0, 86}});
    earn(201, {{0, 85}});
    schedule(0, {{kA, kB}, {kD, kC}});
    const std::string& overview = generate(kOverview, 0, 0);
    EXPECT_EQ(countOf(overview, "<TD VALIGN=\"top\"><B><I>87</I></B></TD>"), 2);
    EXPECT_NE(overview.find("<TD VALIGN=\"top\"><B>44</B></TD>"), std::string::npos);
    EXPECT_NE(overview.find("<TD VALIGN=\"top\">33\n</TD>"), std::string::npos);

    const std::string& snapshot = generate(kSnapshot, 0, 0);
    EXPECT_EQ(countOf(snapshot, "<small><B><I>87</I></B></small>"), 2);
    EXPECT_NE(snapshot.find("<small> T </small>"), std::string::npos);
    EXPECT_NE(snapshot.find("<small><B>44</B></small></TD><TD VALIGN=\"top\"><small>Delta</small>"
                            "</TD><TD VALIGN=\"top\"><small> &lt; </small>"),
              std::string::npos);
    EXPECT_NE(snapshot.find("<small>33\n</small>"), std::string::npos);
    EXPECT_NE(snapshot.find("<center><small><B><I>Week #1 Results</I></B></small></center>"),
              std::string::npos);
}

// ---------------------------------------------------------------- details

TEST_F(GamePagesTest, AShorterHomeListLeavesASingleBlankAcrossItsTwoCells) {
    addPlayer(501, kPK, "Kim", {});
    addPlayer(502, kPK, "Kay", {});
    setRoster(kB, 0, {201, 202, 203, 501, 502}, {204});
    schedule(0, {{kA, kB}});
    std::vector<std::string> rows = rowsOf(generate(kHthActive, 0, 0));
    ASSERT_EQ(rows.size(), 6u) << "the header row and five player rows";
    for (int row : {1, 2, 3}) {
        EXPECT_EQ(rows[row].find("COLSPAN"), std::string::npos) << row;
    }
    for (int row : {4, 5}) {
        EXPECT_EQ(rows[row].find("<TD COLSPAN=2 VALIGN=\"top\"> </TD><TD VALIGN=\"top\"></TD>"),
                  rows[row].find(">") + 1)
            << row;
    }
}

TEST_F(GamePagesTest, ASideWithoutPlayersSaysNoneOnceThenLeavesItsCellsEmpty) {
    setRoster(kA, 0, {}, {});
    schedule(0, {{kA, kB}});
    std::vector<std::string> rows = rowsOf(generate(kHthActive, 0, 0));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_NE(rows[1].find("<TD COLSPAN=2 VALIGN=\"top\">None.</TD>"), std::string::npos);
    EXPECT_NE(rows[2].find("<TD COLSPAN=2 VALIGN=\"top\"></TD>"), std::string::npos);
}

TEST_F(GamePagesTest, DetailsShowActivePointsAndPlayersLowestScorerFirstWithinAPosition) {
    addPlayer(105, kQB, "Abel", {{0, 50}});
    setRoster(kA, 0, {101, 105, 102}, {104});
    schedule(0, {{kA, kB}});
    const std::string& page = generate(kHthAll, 0, 0);
    auto quinn = page.find("Quinn 1");
    auto abel = page.find("Abel");
    auto reed = page.find("Reed 1");
    ASSERT_NE(abel, std::string::npos);
    EXPECT_LT(quinn, abel) << "10 points before 50, although Abel sorts first by name";
    EXPECT_LT(abel, reed);
    EXPECT_NE(page.find("<TH VALIGN=\"top\">Alpha</TH><TH VALIGN=\"top\">61</TH>"),
              std::string::npos);
    EXPECT_NE(page.find("<TH COLSPAN=5 VALIGN=\"top\"><I>Active Players</I></TH>"),
              std::string::npos);
    EXPECT_LT(page.find("Benched Players"), page.find("Tate 1"));
    EXPECT_NE(page.find("] Quinn 1</TD><TD VALIGN=\"top\">10</TD>"), std::string::npos);
}

// ------------------------------------------------------------- rotisserie

TEST_F(GamePagesTest, RotisseriePlacesFranchisesTwoPerRowWithAnEmptyCellBesideAnOddLast) {
    addFranchise(5, "Echo", {}, {});
    const std::string& page = generate(kRotisserieAll, 0, 0);
    EXPECT_EQ(countOf(page, "<TABLE WIDTH=\"70%\">"), 3);
    EXPECT_NE(page.find("Echo"), std::string::npos);
    auto echo = page.find("Echo");
    EXPECT_EQ(countOf(page.substr(echo), "<TR><TD COLSPAN=2 VALIGN=\"top\">None.</TD></TR>"), 2);
    EXPECT_NE(page.find("</TABLE>\n</TD><TD VALIGN=\"top\"></TD></TR>", echo), std::string::npos);
    EXPECT_NE(page.find("<TH VALIGN=\"top\">Bravo</TH><TH VALIGN=\"top\">22</TH>"),
              std::string::npos);
}

TEST_F(GamePagesTest, BodyRowsAlternateAcrossAllTablesOfAPage) {
    Preferences& preferences = context().preferences();
    ASSERT_EQ(preferences.set(kPrefReportColour, 1), kOk);
    ASSERT_EQ(preferences.set(kPrefAlternateRows, 1), kOk);
    ASSERT_EQ(preferences.set(kPrefHeaderColour, 0x0000FF), kOk);
    ASSERT_EQ(preferences.set(kPrefBodyColour, 0x00FF00), kOk);
    std::vector<std::string> bodyRows;
    for (const std::string& row : rowsOf(generate(kRotisserieActive, 0, 0))) {
        if (row.find("<TD") != std::string::npos && row.find("<TABLE") == std::string::npos) {
            bodyRows.push_back(row.substr(0, row.find(">") + 1));
        }
    }
    ASSERT_EQ(bodyRows.size(), 12u) << "three active players in each of four tables";
    for (std::size_t row = 0; row < bodyRows.size(); ++row) {
        EXPECT_EQ(bodyRows[row], row % 2 == 0 ? "<TR BGCOLOR=\"#00FF00\">" : "<TR>") << row;
    }
    EXPECT_EQ(countOf(page_, "<TR BGCOLOR=\"#FF0000\">"), 4) << "one header row per franchise";
}

TEST_F(GamePagesTest, RotisserieActiveListsOnlyTheActivePlayers) {
    const std::string& page = generate(kRotisserieActive, 0, 0);
    EXPECT_NE(page.find("Quinn 1"), std::string::npos);
    EXPECT_EQ(page.find("Tate 1"), std::string::npos);
    EXPECT_EQ(page.find("Benched Players"), std::string::npos);
}

// ---------------------------------------------------------------- rosters

TEST_F(GamePagesTest, FantasyRostersCaptionTheirWeekAndPairActiveWithBenched) {
    const struct {
        int first;
        int last;
        const char* caption;
    } cases[] = {{0, kSeasonEnd, "<BIG>Most Recent</BIG>\n"}, {2, 4, "<BIG>For Week 3</BIG>\n"}};
    setRoster(kA, 2, {101, Pro::unitId(team_, kDEF)}, {});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        const std::string& page = generate(kRosters, c.first, c.last);
        EXPECT_NE(page.find("<H2 align=center>Fantasy Football Rosters</H2>"), std::string::npos)
            << page.substr(0, 300);
        EXPECT_NE(page.find(c.caption), std::string::npos);
    }
    std::vector<std::string> rows = rowsOf(page_);
    EXPECT_EQ(countOf(page_, "<TH COLSPAN=6 VALIGN=\"top\">Alpha</TH>"), 1);
    auto alpha = page_.find("Alpha");
    std::string roster = page_.substr(alpha, page_.find("</TABLE>", alpha) - alpha);
    EXPECT_NE(roster.find("<TD VALIGN=\"top\">Quinn 1</TD><TD VALIGN=\"top\">QB</TD>"),
              std::string::npos);
    EXPECT_NE(roster.find("<TD COLSPAN=3 VALIGN=\"top\">None.</TD>"), std::string::npos);
    EXPECT_EQ(countOf(roster, "<TD COLSPAN=3 VALIGN=\"top\">"), 3) << "unit, None. and one empty";
}

// --------------------------------------------------------- roster changes

TEST_F(GamePagesTest, InWeekOneEveryRosteredPlayerIsAddedAndNobodyDropped) {
    const std::string& basic = generate(kChangesBasic, 0, 0);
    EXPECT_NE(basic.find("<BIG>Week 1</BIG>"), std::string::npos);
    EXPECT_NE(basic.find(">Alpha</TD><TD VALIGN=\"top\">3</TD><TD VALIGN=\"top\">1</TD>"
                         "<TD VALIGN=\"top\">4</TD><TD VALIGN=\"top\">0</TD>"
                         "<TD VALIGN=\"top\">3</TD><TD VALIGN=\"top\">1</TD>"),
              std::string::npos);
    const std::string& complex = generate(kChangesComplex, 0, 0);
    EXPECT_EQ(countOf(complex, "<B><I>Players Added = 4</I></B>\n"), 4);
    EXPECT_EQ(countOf(complex, "<B><I>Players Dropped = 0</I></B>\n<UL PLAIN><LI> None.<BR>"), 4);
}

TEST_F(GamePagesTest, AReleasedRosterShowsEveryPlayerOfThePreviousWeekAsDropped) {
    setRoster(kA, 2, {}, {});
    setRoster(kB, 2, {201, 202}, {203, 204});
    const std::string& basic = generate(kChangesBasic, 0, 2);
    EXPECT_NE(basic.find("<BIG>Week 3</BIG>"), std::string::npos);
    EXPECT_NE(basic.find(">Alpha</TD><TD VALIGN=\"top\">0</TD><TD VALIGN=\"top\">0</TD>"
                         "<TD VALIGN=\"top\">0</TD><TD VALIGN=\"top\">4</TD>"),
              std::string::npos);
    EXPECT_NE(basic.find(">Bravo</TD><TD VALIGN=\"top\">2</TD><TD VALIGN=\"top\">2</TD>"
                         "<TD VALIGN=\"top\">0</TD><TD VALIGN=\"top\">0</TD>"
                         "<TD VALIGN=\"top\">0</TD><TD VALIGN=\"top\">1</TD>"),
              std::string::npos);
    const std::string& complex = generate(kChangesComplex, 0, 2);
    auto alpha = complex.find("Alpha");
    std::string block = complex.substr(alpha, complex.find("</TABLE>", alpha) - alpha);
    EXPECT_NE(block.find("Players Dropped = 4"), std::string::npos);
    for (const char* name : {"Quinn 1", "Reed 1", "Webb 1", "Tate 1"}) {
        EXPECT_NE(block.find(std::string("] ") + name + "<BR>"), std::string::npos) << name;
    }
}

// ----------------------------------------------------------------- owners

TEST_F(GamePagesTest, OwnerInformationPrintsOnlyFilledLinesAndMarksMissingStateOrZip) {
    const struct {
        const char* city;
        const char* state;
        const char* zip;
        const char* line;
    } cases[] = {
        {"", "OH", "44101", nullptr},
        {"Akron", "OH", "",
         "Akron, OH  ?????"
         "<BR>"},
        {"Akron", "", "44301", "Akron, ??  44301<BR>"},
        {"Akron", "OH", "44301", "Akron, OH  44301<BR>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.city) + "/" + c.state + "/" + c.zip);
        Team& a = franchise(kA);
        a.setText(kOwnerCity, c.city);
        a.setText(kOwnerState, c.state);
        a.setText(kOwnerZip, c.zip);
        a.setText(kOwnerEmail, "pat@example.com");
        a.setText(kOwnerWorkPhone, "555-0100");
        const std::string& page = generate(kOwners, 4, 4);
        auto cell = page.find("<B>Alpha</B><BR>");
        ASSERT_NE(cell, std::string::npos);
        std::string text = page.substr(cell, page.find("</TD>", cell) - cell);
        if (c.line) {
            EXPECT_NE(text.find(c.line), std::string::npos) << text;
        } else {
            EXPECT_EQ(text.find(", "), std::string::npos) << text;
        }
        EXPECT_NE(text.find("EMail Address: pat@example.com<BR>"), std::string::npos);
        EXPECT_NE(text.find("Work Phone: 555-0100<BR>"), std::string::npos);
        EXPECT_EQ(text.find("Home Phone"), std::string::npos);
    }
    EXPECT_NE(page_.find("<H2 align=center>Owner Information</H2>"), std::string::npos);
    EXPECT_EQ(countOf(page_, "<TR>"), 1) << "four franchises share one row";
}

// ------------------------------------------------------ names and results

TEST_F(GamePagesTest, FranchiseNamesAreShownAsTextOnEveryPage) {
    franchise(kD).setText(kFranchiseName, "<script>");
    schedule(0, {{kA, kD}});
    schedule(1, {{kD, kA}});
    for (int page : {kHthActive, kHthAll, kRotisserieActive, kRotisserieAll, kRosters,
                     kChangesBasic, kChangesComplex, kOwners, kOverview, kSnapshot}) {
        SCOPED_TRACE(page);
        const std::string& text = generate(page, 0, 0);
        EXPECT_NE(text.find("&lt;script&gt;"), std::string::npos);
        EXPECT_EQ(text.find("<script>"), std::string::npos);
    }
}

TEST_F(GamePagesTest, GamePagesFailWithoutTheCurrentLeagueAndLeaveTheViewWeek) {
    ASSERT_EQ(state().set(kCurrentLeague, 77), kOk);
    ASSERT_EQ(state().set(kViewWeek, 3), kOk);
    for (int page :
         {kHthActive, kHthAll, kRotisserieActive, kRotisserieAll, kOverview, kSnapshot}) {
        EXPECT_EQ(run(page, 0, 0), kFailed) << page;
        EXPECT_EQ(state().peek(kViewWeek), 3);
    }
}

TEST_F(GamePagesTest, NumbersOfOtherPagesFail) {
    for (int number : {-1, 0, 2, 7, 9, 14, 21, 24, 25}) {
        EXPECT_EQ(run(number, 0, 0), kFailed) << number;
    }
}

}  // namespace
}  // namespace qff
