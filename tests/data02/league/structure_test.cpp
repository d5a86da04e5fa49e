#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data02/league/Structure.h"
#include "data02/model/Divqry.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Opening.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using test::SeasonFixture;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

constexpr int kYear = 2003;

constexpr StructureNode leagueNode(int id) {
    return {StructureKind::League, id};
}
constexpr StructureNode divisionNode(int id) {
    return {StructureKind::Division, id};
}
constexpr StructureNode franchiseNode(int id) {
    return {StructureKind::Franchise, id};
}

// Picks kept as (league, franchise) pairs, as the draft cache keys them.
class FakeDraftPicks : public DraftPicks {
  public:
    struct Pick {
        int league;
        int franchise;
        bool operator==(const Pick&) const = default;
    };

    int franchisePickCount(int league, int franchise) const override {
        return static_cast<int>(std::count(picks.begin(), picks.end(), Pick{league, franchise}));
    }
    int leaguePickCount(int league) const override {
        return static_cast<int>(
            std::count_if(picks.begin(), picks.end(), [&](Pick p) { return p.league == league; }));
    }
    int deleteFranchisePicks(int league, int franchise) override {
        std::erase(picks, Pick{league, franchise});
        return kOk;
    }
    int deleteLeaguePicks(int league) override {
        std::erase_if(picks, [&](Pick p) { return p.league == league; });
        return kOk;
    }
    int moveFranchisePicks(int franchise, int fromLeague, int toLeague) override {
        for (Pick& pick : picks) {
            if (pick == Pick{fromLeague, franchise}) {
                pick.league = toLeague;
            }
        }
        return kOk;
    }

    std::vector<Pick> picks;
};

// A created and opened season to which tests add their league structure.
class StructureTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
    }

    static int idOf(const StructureResult& result) {
        EXPECT_TRUE(result.ok()) << result.message;
        return result.id;
    }

    int league(const std::string& name) { return idOf(createLeague(context(), name)); }
    int division(int league, const std::string& name, const std::string& shortName) {
        return idOf(createDivision(context(), league, name, shortName));
    }
    int franchise(StructureNode parent, const std::string& name) {
        return idOf(createFranchise(context(), parent, name));
    }
    std::vector<int> franchisesIn(int divisionId, const std::vector<std::string>& names) {
        std::vector<int> ids;
        for (const std::string& name : names) {
            ids.push_back(franchise(divisionNode(divisionId), name));
        }
        return ids;
    }

    Team* team(int id) { return context().mapFactory().franchises().findFirst(kFranchiseId, id); }
    Division* divisionRecord(int id) {
        return context().mapFactory().divisions().findFirst(kDivisionId, id);
    }
    League* leagueRecord(int id) {
        return context().mapFactory().leagues().findFirst(kLeagueId, id);
    }

    // Every (home, away) of the league's schedule, over all weeks.
    std::vector<FantasyGame> allGames(int leagueId) {
        std::vector<FantasyGame> games;
        for (int w = 0; w < kWeekSlots; ++w) {
            for (const FantasyGame& game : context().schedule().games(leagueId, w)) {
                games.push_back(game);
            }
        }
        return games;
    }
    int gamesOf(int leagueId, int franchiseId) {
        std::vector<FantasyGame> games = allGames(leagueId);
        return static_cast<int>(std::count_if(games.begin(), games.end(), [&](FantasyGame g) {
            return g.home == franchiseId || g.away == franchiseId;
        }));
    }
    int byesOf(int leagueId, int franchiseId) {
        std::vector<FantasyGame> games = allGames(leagueId);
        return static_cast<int>(std::count_if(games.begin(), games.end(), [&](FantasyGame g) {
            return g.home == franchiseId && g.away == kByeSide;
        }));
    }

    FakeDraftPicks picks_;
};

// ------------------------------------------------------------- field rules

TEST(StructureRows, TheGridsRowsCarryTheirLimits) {
    struct Case {
        StructureKind kind;
        int code;
        const char* label;
        int max;
        bool required;
    };
    const Case cases[] = {
        {StructureKind::League, kLeagueName, "League Name", 63, true},
        {StructureKind::League, kLeagueEmail, "Your EMail", 128, false},
        {StructureKind::Division, kDivisionName, "Long Name", 39, true},
        {StructureKind::Division, kDivisionShortName, "Short Name", 4, true},
        {StructureKind::Franchise, kFranchiseName, "Team Name", 39, true},
        {StructureKind::Franchise, kOwnerState, "State", 2, false},
        {StructureKind::Franchise, kOwnerEmail, "EMail Address", 127, false},
    };
    EXPECT_EQ(propertyRows(StructureKind::League).size(), 4u);
    EXPECT_EQ(propertyRows(StructureKind::Division).size(), 2u);
    EXPECT_EQ(propertyRows(StructureKind::Franchise).size(), 9u);
    for (const Case& c : cases) {
        auto rows = propertyRows(c.kind);
        auto row = std::find_if(rows.begin(), rows.end(),
                                [&](const PropertyRow& r) { return r.code == c.code; });
        ASSERT_NE(row, rows.end()) << c.label;
        EXPECT_STREQ(row->label, c.label);
        EXPECT_EQ(row->maxLength, c.max) << c.label;
        EXPECT_EQ(row->required, c.required) << c.label;
    }
}

TEST(StructureRows, CheckFieldRefusesBlankLongAndForbiddenTexts) {
    const PropertyRow required{"Team Name", kFranchiseName, 5, true};
    const PropertyRow optional{"City", kOwnerCity, 5, false};
    const PropertyRow leagueName = nameRow(StructureKind::League);
    struct Case {
        const PropertyRow& row;
        std::string text;
        StructureError expected;
    };
    const Case cases[] = {
        {required, "", StructureError::BlankRequired},
        {optional, "", StructureError::None},
        {required, "12345", StructureError::None},
        {required, "123456", StructureError::TooLong},
        {optional, "a:b", StructureError::RefusedCharacter},
        {required, "a\\b", StructureError::RefusedCharacter},
        {required, "x|y", StructureError::RefusedCharacter},
        {required, "\"q\"", StructureError::RefusedCharacter},
        {optional, "a*?", StructureError::RefusedCharacter},
        {optional, "<>", StructureError::RefusedCharacter},
        {optional, "a/b", StructureError::RefusedCharacter},
        {optional, "a-b.", StructureError::None},
        {required, "a\nb", StructureError::ControlCharacter},
        {required, "\x1b[2J", StructureError::ControlCharacter},
        {optional, "tab\t", StructureError::ControlCharacter},
        {optional, "\r", StructureError::ControlCharacter},
        {optional, "del\x7f", StructureError::ControlCharacter},
        {optional, std::string(1, '\0'), StructureError::ControlCharacter},
        {required, "\xe9t\xe9", StructureError::None},
        {leagueName, "Scratch", StructureError::ProgramFolderName},
        {leagueName, "scratch", StructureError::ProgramFolderName},
        {leagueName, "BACKUP", StructureError::ProgramFolderName},
        {leagueName, "Download", StructureError::ProgramFolderName},
        {leagueName, "support", StructureError::ProgramFolderName},
        {leagueName, "Template", StructureError::ProgramFolderName},
        {leagueName, "Scratch League", StructureError::None},
        {leagueName, "Templates", StructureError::None},
        // Only a league's name becomes a folder of its own.
        {nameRow(StructureKind::Franchise), "Backup", StructureError::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checkField(c.row, c.text).error, c.expected) << '"' << c.text << '"';
    }
}

TEST(StructureRows, RefusalsSayWhatIsWrong) {
    const PropertyRow owner{"Owner Name", kOwnerName, 29, false};
    EXPECT_EQ(checkField(owner, "Pat\x1b[31m").message,
              "\"Owner Name\" cannot hold control characters.");
    EXPECT_EQ(checkField(nameRow(StructureKind::League), "sCrAtCh").message,
              "\"sCrAtCh\" is the name of one of the program's own folders; choose another league "
              "name.");
}

// ------------------------------------------------------------- names

TEST_F(StructureTest, NamesAreUniquePerKindAcrossTheSeasonAndCaseSensitive) {
    int north = league("North");
    int south = league("South");
    int east = division(north, "East", "E");
    division(north, "West", "W");
    int hawks = franchise(divisionNode(east), "Hawks");
    franchise(leagueNode(south), "Owls");
    struct Case {
        StructureNode node;
        std::string name;
        StructureError expected;
    };
    const Case cases[] = {
        {leagueNode(north), "South", StructureError::DuplicateName},
        {leagueNode(north), "south", StructureError::None},
        {divisionNode(east), "West", StructureError::DuplicateName},
        // Franchises of another league still share the name space.
        {franchiseNode(hawks), "Owls", StructureError::DuplicateName},
        {franchiseNode(hawks), "OWLS", StructureError::None},
        // Another kind's name is no clash.
        {franchiseNode(hawks), "East", StructureError::None},
        {franchiseNode(hawks), "Hawks: II", StructureError::RefusedCharacter},
        {franchiseNode(hawks), "Hawks\n", StructureError::ControlCharacter},
        {leagueNode(north), "Support", StructureError::ProgramFolderName},
        {franchiseNode(hawks), "", StructureError::BlankRequired},
        {franchiseNode(hawks), std::string(40, 'x'), StructureError::TooLong},
        {franchiseNode(999), "Nobody", StructureError::NotFound},
    };
    for (const Case& c : cases) {
        StructureResult result = rename(context(), c.node, c.name);
        EXPECT_EQ(result.error, c.expected) << c.name << ": " << result.message;
    }
    EXPECT_EQ(team(hawks)->text(kFranchiseName), "East");
    EXPECT_EQ(leagueRecord(north)->text(kLeagueName), "south");
}

TEST_F(StructureTest, RefusedRenameKeepsTheOldNameAndSaysWhichKindClashed) {
    int north = league("North");
    int hawks = franchise(leagueNode(north), "Hawks");
    franchise(leagueNode(kDefaultLeagueId), "Owls");
    StructureResult result = rename(context(), franchiseNode(hawks), "Owls");
    EXPECT_EQ(result.message,
              "A franchise with that name already exists. The original name has been restored.");
    EXPECT_EQ(team(hawks)->text(kFranchiseName), "Hawks");
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseName, "Hawks"), team(hawks));
}

TEST_F(StructureTest, DivisionShortNamesAreUniqueAmongShortNames) {
    int north = league("North");
    int east = division(north, "East", "E");
    int west = division(north, "West", "W");
    FieldText shortName{kDivisionShortName, "E"};
    EXPECT_EQ(saveProperties(context(), divisionNode(west), std::span(&shortName, 1)).error,
              StructureError::DuplicateName);
    shortName.text = "East";  // a long name, but no short one
    EXPECT_TRUE(saveProperties(context(), divisionNode(west), std::span(&shortName, 1)).ok());
    EXPECT_EQ(createDivision(context(), north, "Central", "W").error, StructureError::None);
    EXPECT_EQ(createDivision(context(), north, "Other", "E").error, StructureError::DuplicateName);
    EXPECT_EQ(divisionRecord(east)->text(kDivisionShortName), "E");
}

TEST_F(StructureTest, TheDefaultLeagueKeepsItsNameAndItsRecord) {
    const std::vector<FieldText> contact{{kLeagueCommissioner, "Pat"}, {kLeaguePhone, "555"}};
    EXPECT_TRUE(saveProperties(context(), leagueNode(kDefaultLeagueId), contact).ok());
    EXPECT_EQ(leagueRecord(kDefaultLeagueId)->text(kLeagueCommissioner), "Pat");

    EXPECT_EQ(rename(context(), leagueNode(kDefaultLeagueId), "Main League").error,
              StructureError::DefaultLeagueName);
    EXPECT_TRUE(rename(context(), leagueNode(kDefaultLeagueId), kDefaultLeagueName).ok());
    EXPECT_EQ(createLeague(context(), kDefaultLeagueName).error, StructureError::DuplicateName);

    int hawks = franchise(leagueNode(kDefaultLeagueId), "Hawks");
    StructureResult deleted = remove(context(), picks_, leagueNode(kDefaultLeagueId));
    EXPECT_EQ(deleted.error, StructureError::DefaultLeagueDelete);
    EXPECT_EQ(deleted.message, "The Default League cannot be deleted.");
    EXPECT_EQ(leagueRecord(kDefaultLeagueId)->text(kLeagueName), kDefaultLeagueName);
    EXPECT_NE(team(hawks), nullptr);
}

// The franchise details path checks exactly what the structure editor does.
TEST_F(StructureTest, FranchiseDetailsFollowTheEditorsRulesAndStoreNothingWhenRefused) {
    int hawks = franchise(leagueNode(kDefaultLeagueId), "Hawks");
    franchise(leagueNode(kDefaultLeagueId), "Owls");
    struct Case {
        std::vector<FieldText> fields;
        StructureError expected;
    };
    const Case cases[] = {
        {{{kOwnerCity, "Salem"}, {kOwnerAddress, "1 Main St: Apt 2"}},
         StructureError::RefusedCharacter},
        {{{kOwnerCity, "Salem"}, {kFranchiseName, "Owls"}}, StructureError::DuplicateName},
        {{{kOwnerCity, "Salem"}, {kOwnerState, "ORE"}}, StructureError::TooLong},
        {{{kOwnerCity, "Salem"}, {kFranchiseName, ""}}, StructureError::BlankRequired},
        {{{kOwnerCity, "Salem"}, {kFranchiseBonus, "3"}}, StructureError::UnknownField},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(saveProperties(context(), franchiseNode(hawks), c.fields).error, c.expected);
        EXPECT_EQ(team(hawks)->text(kOwnerCity), "");
    }
    const std::vector<FieldText> good{{kOwnerCity, "Salem"}, {kOwnerState, "OR"}};
    EXPECT_TRUE(saveProperties(context(), franchiseNode(hawks), good).ok());
    const std::vector<FieldText> clear{{kOwnerCity, ""}};
    EXPECT_TRUE(saveProperties(context(), franchiseNode(hawks), clear).ok());
    EXPECT_EQ(team(hawks)->text(kOwnerCity), "");
    EXPECT_EQ(team(hawks)->text(kOwnerState), "OR");
}

// Addresses and phone numbers go into the headers of the mail to owners, where
// a line break would start a header of the typist's choosing.
TEST_F(StructureTest, MailAddressesAndPhonesRefuseLineBreaks) {
    int hawks = franchise(leagueNode(kDefaultLeagueId), "Hawks");
    const std::string injected = "a@b.c\r\nBcc: x@y.z";
    struct Case {
        StructureNode node;
        int code;
    };
    const Case cases[] = {
        {franchiseNode(hawks), kOwnerEmail},          {franchiseNode(hawks), kOwnerHomePhone},
        {franchiseNode(hawks), kOwnerWorkPhone},      {leagueNode(kDefaultLeagueId), kLeagueEmail},
        {leagueNode(kDefaultLeagueId), kLeaguePhone},
    };
    for (const Case& c : cases) {
        for (const std::string& text : {injected, std::string("555\n1234"), std::string("\r")}) {
            const FieldText field{c.code, text};
            StructureResult result = saveProperties(context(), c.node, std::span(&field, 1));
            EXPECT_EQ(result.error, StructureError::ControlCharacter) << c.code;
            EXPECT_THAT(result.message, ::testing::EndsWith("cannot hold control characters."));
        }
    }
    EXPECT_EQ(team(hawks)->text(kOwnerEmail), "");
    EXPECT_EQ(team(hawks)->text(kOwnerHomePhone), "");
    EXPECT_EQ(leagueRecord(kDefaultLeagueId)->text(kLeaguePhone), "");
}

// The grids save what passes and show what the record holds afterwards.
TEST_F(StructureTest, SavingAGridKeepsRefusedAndBlankCellsAndStoresTheRest) {
    int hawks = franchise(leagueNode(kDefaultLeagueId), "Hawks");
    franchise(leagueNode(kDefaultLeagueId), "Owls");
    const std::vector<FieldText> cells{{kFranchiseName, "Owls"},
                                       {kOwnerName, "Pat"},
                                       {kOwnerCity, "Salem\r\n"},
                                       {kOwnerState, "OR"}};
    GridSave grid = savePropertyGrid(context(), franchiseNode(hawks), cells);
    EXPECT_TRUE(grid.saved.ok()) << grid.saved.message;
    ASSERT_EQ(grid.refusals.size(), 2u);
    EXPECT_EQ(grid.refusals[0].message,
              "A franchise with that name already exists. The original name has been restored.");
    EXPECT_EQ(grid.refusals[0].code, kFranchiseName);
    EXPECT_EQ(grid.refusals[1].code, kOwnerCity);
    ASSERT_EQ(grid.stored.size(), propertyRows(StructureKind::Franchise).size());
    EXPECT_EQ(grid.stored[0].text, "Hawks");
    EXPECT_EQ(grid.stored[1].text, "Pat");
    EXPECT_EQ(team(hawks)->text(kOwnerState), "OR");
    EXPECT_EQ(team(hawks)->text(kOwnerCity), "");

    const std::vector<FieldText> blank{{kFranchiseName, ""}, {kOwnerName, ""}};
    grid = savePropertyGrid(context(), franchiseNode(hawks), blank);
    ASSERT_EQ(grid.refusals.size(), 1u);
    EXPECT_EQ(grid.refusals[0].error, StructureError::BlankRequired);
    EXPECT_EQ(grid.stored[0].text, "Hawks");
    EXPECT_EQ(team(hawks)->text(kOwnerName), "");
}

TEST_F(StructureTest, SavingAnUnchangedGridWritesNothing) {
    int hawks = franchise(leagueNode(kDefaultLeagueId), "Hawks");
    std::vector<FieldText> cells = loadProperties(context(), franchiseNode(hawks));
    ASSERT_EQ(cells.size(), 9u);
    // Without its file the franchise could not be saved, so any write would show.
    context().teamFile().close();
    GridSave grid = savePropertyGrid(context(), franchiseNode(hawks), cells);
    EXPECT_TRUE(grid.saved.ok());
    EXPECT_TRUE(grid.refusals.empty());
    cells[1].text = "Pat";
    grid = savePropertyGrid(context(), franchiseNode(hawks), cells);
    EXPECT_EQ(grid.saved.error, StructureError::SaveFailed);
    EXPECT_EQ(team(hawks)->text(kOwnerName), "");
    EXPECT_EQ(savePropertyGrid(context(), franchiseNode(999), cells).saved.error,
              StructureError::NotFound);
}

// ------------------------------------------------------------- creation

TEST_F(StructureTest, DefaultNamesFollowTheIdAndSkipNamesInUse) {
    int first = league("League 2");  // id 1 holds the name id 2 would take
    franchise(leagueNode(first), "Franchise 1");
    division(first, "Division 1", "D2");
    StructureResult newLeague = createLeague(context());
    StructureResult newFranchise = createFranchise(context(), leagueNode(first));
    StructureResult newDivision = createDivision(context(), first);
    struct Case {
        std::string actual;
        std::string expected;
    };
    const Case cases[] = {
        {leagueRecord(idOf(newLeague))->text(kLeagueName), "League 3"},
        {team(idOf(newFranchise))->text(kFranchiseName), "Franchise 2"},
        {divisionRecord(idOf(newDivision))->text(kDivisionName), "Division 2"},
        {divisionRecord(idOf(newDivision))->text(kDivisionShortName), "D3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.actual, c.expected);
    }
    // Renaming the first league "League 4" makes the next default skip it too.
    ASSERT_TRUE(rename(context(), leagueNode(first), "League 4").ok());
    EXPECT_EQ(leagueRecord(idOf(createLeague(context())))->text(kLeagueName), "League 5");
}

TEST_F(StructureTest, NewIdsSkipIdsThatRecordsAlreadyHold) {
    // Records created otherwise (an import) hold ids 1 and 3.
    for (int id : {1, 3}) {
        Owned<Team> record =
            context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
        record->setValue(kFranchiseId, id);
        record->setValue(kFranchiseLeague, kDefaultLeagueId);
        record->setText(kFranchiseName, "Imported " + std::to_string(id));
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().franchises(), record), kOk);
    }
    std::vector<int> ids;
    for (int i = 0; i < 3; ++i) {
        ids.push_back(idOf(createFranchise(context(), leagueNode(kDefaultLeagueId))));
    }
    EXPECT_THAT(ids, ElementsAre(2, 4, 5));
    EXPECT_EQ(context().seasonState().peek(kLastFranchiseId), 5);
    EXPECT_EQ(idOf(createLeague(context())), 1);
    EXPECT_EQ(idOf(createLeague(context())), 2);
}

TEST_F(StructureTest, CreationPlacesTheObjectAndSelectsIt) {
    int north = league("North");
    int east = division(north, "East", "E");
    struct Case {
        StructureNode parent;
        int league;
        int division;
    };
    const Case cases[] = {
        {leagueNode(north), north, kNoDivision},
        {divisionNode(east), north, east},
    };
    for (const Case& c : cases) {
        int id = franchise(c.parent, "Team " + std::to_string(c.division));
        EXPECT_EQ(team(id)->getValue(kFranchiseLeague, kAllWeeks), c.league);
        EXPECT_EQ(team(id)->getValue(kFranchiseDivision, kAllWeeks), c.division);
        EXPECT_EQ(context().seasonState().peek(kCurrentFranchise), id);
        EXPECT_EQ(context().seasonState().peek(kCurrentDivision), c.division);
        EXPECT_EQ(context().seasonState().peek(kCurrentLeague), c.league);
    }
    EXPECT_EQ(createFranchise(context(), divisionNode(99)).error, StructureError::ParentNotFound);
    EXPECT_EQ(createFranchise(context(), franchiseNode(1)).error, StructureError::WrongTarget);
    EXPECT_EQ(createDivision(context(), 99).error, StructureError::ParentNotFound);
    EXPECT_EQ(createLeague(context(), "Bad/Name").error, StructureError::RefusedCharacter);
    EXPECT_EQ(createLeague(context(), "Bad\nName").error, StructureError::ControlCharacter);
    EXPECT_EQ(createLeague(context(), "Scratch").error, StructureError::ProgramFolderName);
    EXPECT_EQ(createDivision(context(), north, "East\x1b").error, StructureError::ControlCharacter);
    EXPECT_EQ(createFranchise(context(), leagueNode(north), "Hawks\r").error,
              StructureError::ControlCharacter);
    // A refused name draws no id.
    EXPECT_EQ(context().seasonState().peek(kLastLeagueId), north);
}

TEST_F(StructureTest, SelectingANodeStoresItAndTheObjectsAboveIt) {
    int north = league("North");
    int south = league("South");
    int east = division(north, "East", "E");
    int hawks = franchise(divisionNode(east), "Hawks");
    int loners = franchise(leagueNode(south), "Loners");
    struct Case {
        StructureNode node;
        int league;
        int division;
        int franchise;
    };
    const Case cases[] = {
        {franchiseNode(hawks), north, east, hawks},
        {leagueNode(south), south, east, hawks},
        {divisionNode(east), north, east, hawks},
        {franchiseNode(loners), south, kNoDivision, loners},
    };
    SeasonState& state = context().seasonState();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node.id);
        EXPECT_TRUE(selectStructureNode(context(), c.node));
        EXPECT_EQ(state.peek(kCurrentLeague), c.league);
        EXPECT_EQ(state.peek(kCurrentDivision), c.division);
        EXPECT_EQ(state.peek(kCurrentFranchise), c.franchise);
    }
    for (StructureNode missing : {leagueNode(99), divisionNode(99), franchiseNode(99)}) {
        EXPECT_FALSE(selectStructureNode(context(), missing));
    }
    EXPECT_EQ(state.peek(kCurrentLeague), south);
    EXPECT_EQ(state.peek(kCurrentFranchise), loners);
}

// ------------------------------------------------------------- deleting

// Two divisions of two franchises each with a round robin across the league.
class CascadeTest : public StructureTest {
  protected:
    void SetUp() override {
        StructureTest::SetUp();
        north_ = league("North");
        east_ = division(north_, "East", "E");
        west_ = division(north_, "West", "W");
        eastTeams_ = franchisesIn(east_, {"Hawks", "Owls"});
        westTeams_ = franchisesIn(west_, {"Bears", "Lions"});
        free_ = franchise(leagueNode(north_), "Drifters");
        // One round robin over the whole league, so east meets west.
        Schedule& schedule = context().schedule();
        ASSERT_EQ(schedule.selectLeague(north_), kOk);
        ASSERT_EQ(schedule.reset(north_), kOk);
        std::vector<int> all{eastTeams_[0], eastTeams_[1], westTeams_[0], westTeams_[1]};
        ASSERT_EQ(schedule.generateGroup(all), GroupResult::Outcome::Done);
        ASSERT_EQ(schedule.save(), kOk);
        for (int id : {eastTeams_[0], eastTeams_[1], westTeams_[0], westTeams_[1], free_}) {
            picks_.picks.push_back({north_, id});
            picks_.picks.push_back({north_, id});
        }
        ASSERT_GT(gamesOf(north_, eastTeams_[0]), 0);
        ASSERT_EQ(byesOf(north_, westTeams_[0]), 0);
    }

    int north_ = 0, east_ = 0, west_ = 0, free_ = 0;
    std::vector<int> eastTeams_, westTeams_;
};

TEST_F(CascadeTest, DeletingADivisionTakesItsFranchisesPicksAndGamesOnly) {
    int westGames = gamesOf(north_, westTeams_[0]);
    DeletePlan plan = planDelete(context(), picks_, divisionNode(east_));
    ASSERT_TRUE(plan.check.ok());
    EXPECT_EQ(plan.name, "East");
    EXPECT_THAT(plan.franchises, UnorderedElementsAre(eastTeams_[0], eastTeams_[1]));
    EXPECT_EQ(plan.picks, 4);

    ASSERT_TRUE(remove(context(), picks_, divisionNode(east_)).ok());
    EXPECT_EQ(divisionRecord(east_), nullptr);
    for (int id : eastTeams_) {
        EXPECT_EQ(team(id), nullptr);
        EXPECT_EQ(gamesOf(north_, id), 0);
        EXPECT_EQ(picks_.franchisePickCount(north_, id), 0);
    }
    // The west keeps its division, franchises, picks and every game slot,
    // those against the east now byes.
    EXPECT_NE(divisionRecord(west_), nullptr);
    for (int id : westTeams_) {
        ASSERT_NE(team(id), nullptr);
        EXPECT_EQ(team(id)->getValue(kFranchiseDivision, kAllWeeks), west_);
        EXPECT_EQ(picks_.franchisePickCount(north_, id), 2);
        EXPECT_EQ(gamesOf(north_, id), westGames);
        EXPECT_GT(byesOf(north_, id), 0);
    }
    EXPECT_NE(team(free_), nullptr);
}

TEST_F(CascadeTest, DeletingALeagueTakesEverythingInIt) {
    int other = league("South");
    int owls = franchise(leagueNode(other), "Other Owls");
    picks_.picks.push_back({other, owls});
    DeletePlan plan = planDelete(context(), picks_, leagueNode(north_));
    EXPECT_THAT(plan.divisions, UnorderedElementsAre(east_, west_));
    EXPECT_EQ(plan.franchises.size(), 5u);
    EXPECT_EQ(plan.picks, 10);
    EXPECT_GT(plan.games, 0);

    ASSERT_TRUE(remove(context(), picks_, leagueNode(north_)).ok());
    EXPECT_EQ(leagueRecord(north_), nullptr);
    EXPECT_THAT(context().divisionQuery().allDivisions(), IsEmpty());
    EXPECT_THAT(allGames(north_), IsEmpty());
    EXPECT_THAT(picks_.picks, ElementsAre(FakeDraftPicks::Pick{other, owls}));
    EXPECT_NE(team(owls), nullptr);
}

TEST_F(CascadeTest, AFranchiseThatCannotBeDeletedKeepsItsGamesAndPicks) {
    int hawks = eastTeams_[0];
    int games = gamesOf(north_, hawks);
    context().teamFile().close();
    StructureResult result = remove(context(), picks_, franchiseNode(hawks));
    EXPECT_EQ(result.error, StructureError::DeleteFailed);
    EXPECT_EQ(result.message, "CRITICAL - Failed to delete team [ rslt = 1 ]");
    EXPECT_EQ(gamesOf(north_, hawks), games);
    EXPECT_EQ(picks_.franchisePickCount(north_, hawks), 2);
}

TEST_F(CascadeTest, DeletingAFranchiseGivesItsOpponentsByes) {
    int hawks = eastTeams_[0];
    DeletePlan plan = planDelete(context(), picks_, franchiseNode(hawks));
    EXPECT_EQ(plan.games, gamesOf(north_, hawks));
    EXPECT_EQ(plan.picks, 2);
    ASSERT_TRUE(remove(context(), picks_, franchiseNode(hawks)).ok());
    EXPECT_EQ(gamesOf(north_, hawks), 0);
    EXPECT_GT(byesOf(north_, eastTeams_[1]), 0);
    EXPECT_EQ(picks_.leaguePickCount(north_), 8);
    EXPECT_EQ(remove(context(), picks_, franchiseNode(hawks)).error, StructureError::NotFound);
}

// ------------------------------------------------------------- moving

TEST_F(CascadeTest, MovingAFranchiseToAnotherLeagueIsReportedThenCarriedOut) {
    int south = league("South");
    int hawks = eastTeams_[0];
    int games = gamesOf(north_, hawks);
    MovePlan plan = planMove(context(), picks_, franchiseNode(hawks), leagueNode(south));
    ASSERT_TRUE(plan.check.ok());
    EXPECT_TRUE(plan.needsConfirmation());
    EXPECT_EQ(plan.fromLeague, north_);
    EXPECT_EQ(plan.toLeague, south);
    EXPECT_EQ(plan.games, games);
    EXPECT_EQ(plan.picks, 2);
    // Planning changed nothing.
    EXPECT_EQ(team(hawks)->getValue(kFranchiseLeague, kAllWeeks), north_);

    ASSERT_TRUE(move(context(), picks_, franchiseNode(hawks), leagueNode(south)).ok());
    EXPECT_EQ(team(hawks)->getValue(kFranchiseLeague, kAllWeeks), south);
    EXPECT_EQ(team(hawks)->getValue(kFranchiseDivision, kAllWeeks), kNoDivision);
    EXPECT_EQ(gamesOf(north_, hawks), 0);
    EXPECT_GT(byesOf(north_, eastTeams_[1]), 0);
    EXPECT_EQ(picks_.franchisePickCount(south, hawks), 2);
    EXPECT_EQ(picks_.franchisePickCount(north_, hawks), 0);
}

TEST_F(CascadeTest, MovesWithinTheLeagueKeepGamesAndPicks) {
    int hawks = eastTeams_[0];
    int games = gamesOf(north_, hawks);
    struct Case {
        StructureNode object;
        StructureNode target;
        int franchise;
        int division;
    };
    const Case cases[] = {
        {franchiseNode(hawks), divisionNode(west_), hawks, west_},
        {franchiseNode(hawks), leagueNode(north_), hawks, kNoDivision},
        {franchiseNode(free_), divisionNode(east_), free_, east_},
    };
    for (const Case& c : cases) {
        MovePlan plan = planMove(context(), picks_, c.object, c.target);
        EXPECT_FALSE(plan.needsConfirmation());
        ASSERT_TRUE(move(context(), picks_, c.object, c.target).ok());
        EXPECT_EQ(team(c.franchise)->getValue(kFranchiseDivision, kAllWeeks), c.division);
        EXPECT_EQ(team(c.franchise)->getValue(kFranchiseLeague, kAllWeeks), north_);
    }
    EXPECT_EQ(gamesOf(north_, hawks), games);
    EXPECT_EQ(picks_.leaguePickCount(north_), 10);
}

TEST_F(CascadeTest, MovingADivisionTakesItsFranchisesToTheNewLeague) {
    int south = league("South");
    MovePlan plan = planMove(context(), picks_, divisionNode(west_), leagueNode(south));
    EXPECT_TRUE(plan.needsConfirmation());
    EXPECT_THAT(plan.franchises, UnorderedElementsAre(westTeams_[0], westTeams_[1]));
    EXPECT_EQ(plan.picks, 4);
    ASSERT_TRUE(move(context(), picks_, divisionNode(west_), leagueNode(south)).ok());
    EXPECT_EQ(divisionRecord(west_)->getValue(kDivisionLeague), south);
    for (int id : westTeams_) {
        EXPECT_EQ(team(id)->getValue(kFranchiseLeague, kAllWeeks), south);
        EXPECT_EQ(team(id)->getValue(kFranchiseDivision, kAllWeeks), west_);
        EXPECT_EQ(gamesOf(north_, id), 0);
        EXPECT_EQ(picks_.franchisePickCount(south, id), 2);
    }
    EXPECT_GT(gamesOf(north_, eastTeams_[0]), 0);
}

TEST_F(CascadeTest, MovesOntoTheWrongKindOfParentAreRefused) {
    struct Case {
        StructureNode object;
        StructureNode target;
        StructureError expected;
    };
    const Case cases[] = {
        {leagueNode(north_), leagueNode(kDefaultLeagueId), StructureError::WrongTarget},
        {divisionNode(east_), divisionNode(west_), StructureError::WrongTarget},
        {franchiseNode(free_), franchiseNode(eastTeams_[0]), StructureError::WrongTarget},
        {franchiseNode(free_), divisionNode(99), StructureError::ParentNotFound},
        {divisionNode(east_), leagueNode(99), StructureError::ParentNotFound},
        {franchiseNode(99), leagueNode(north_), StructureError::NotFound},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(move(context(), picks_, c.object, c.target).error, c.expected);
    }
    EXPECT_EQ(team(free_)->getValue(kFranchiseDivision, kAllWeeks), kNoDivision);
}

// The cascade through the season's own draft cache.
TEST_F(CascadeTest, TheSeasonsDraftPicksFollowMovesAndDeletions) {
    int south = league("South");
    int owls = franchise(leagueNode(south), "South Owls");
    int player = 100;
    for (int id : {101, 102, 103, 104, 500}) {
        test::addPlayer(context(), id, 0, kQB, "Player " + std::to_string(id));
    }
    for (int id : {eastTeams_[0], eastTeams_[1], westTeams_[0], westTeams_[1]}) {
        ASSERT_EQ(assignPlayer(context(), north_, id, 1, ++player), kOk);
    }
    ASSERT_EQ(assignPlayer(context(), south, owls, 1, 500), kOk);
    DraftQuery& query = context().draftQuery();
    std::unique_ptr<DraftPicks> picks = seasonDraftPicks(context());
    EXPECT_EQ(planMove(context(), *picks, franchiseNode(eastTeams_[0]), leagueNode(south)).picks,
              1);

    ASSERT_TRUE(move(context(), *picks, franchiseNode(eastTeams_[0]), leagueNode(south)).ok());
    // The moved pick joins the end of the new league's round; the old round closes up.
    auto numbers = [&](int leagueId) {
        std::vector<std::pair<int, int>> result;
        for (const TrackDraft* pick : query.roundPicks(leagueId, 1)) {
            result.emplace_back(pick->getValue(kDraftFranchise), pick->getValue(kDraftPick));
        }
        std::sort(result.begin(), result.end(), [](auto a, auto b) { return a.second < b.second; });
        return result;
    };
    using P = std::pair<int, int>;
    EXPECT_THAT(numbers(south), ElementsAre(P{owls, 1}, P{eastTeams_[0], 2}));
    EXPECT_THAT(numbers(north_),
                ElementsAre(P{eastTeams_[1], 1}, P{westTeams_[0], 2}, P{westTeams_[1], 3}));

    ASSERT_TRUE(remove(context(), *picks, divisionNode(west_)).ok());
    EXPECT_THAT(numbers(north_), ElementsAre(P{eastTeams_[1], 1}));
    ASSERT_TRUE(remove(context(), *picks, leagueNode(south)).ok());
    EXPECT_THAT(query.leaguePicks(south), IsEmpty());
    EXPECT_EQ(query.leaguePicks(north_).size(), 1u);
}

}  // namespace
}  // namespace qff
