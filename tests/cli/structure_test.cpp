#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

::testing::AssertionResult mentions(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << '"' << text << "\" does not mention \"" << part << '"';
}

// The demonstration season: league 1 with divisions 1 and 2 of six
// franchises each and a head-to-head schedule.
class StructureCli : public CliRun {
  protected:
    void SetUp() override {
        RunResult demo = qff({"demo", "--year", "2003"});
        ASSERT_EQ(demo.status, 0) << demo.err;
    }

    std::vector<int> franchiseIds(const std::string& key, int value) const {
        std::vector<int> ids;
        for (const auto& franchise : qffJson({"franchises"})) {
            if (franchise[key] == value) {
                ids.push_back(franchise["id"].get<int>());
            }
        }
        return ids;
    }

    // Games of the league's schedule in which the franchise plays, and its byes.
    std::pair<int, int> gamesAndByes(int league, int franchise) const {
        int games = 0;
        int byes = 0;
        for (const auto& game : qffJson({"schedule", "show", "--league", std::to_string(league)})) {
            bool home = game["home"]["id"] == franchise;
            games += home || game["away"]["id"] == franchise ? 1 : 0;
            byes += home && game["away"]["id"] == 32767 ? 1 : 0;
        }
        return {games, byes};
    }
};

TEST_F(StructureCli, CreatesWithGivenOrDefaultNamesAndRefusesClashes) {
    nlohmann::json league = qffJson({"league", "add"});
    EXPECT_EQ(league["id"], 2);
    EXPECT_EQ(league["name"], "League 2");
    nlohmann::json division =
        qffJson({"division", "add", "--league", "2", "North Side", "--short", "NS"});
    EXPECT_EQ(division["league"], 2);
    EXPECT_EQ(division["short_name"], "NS");
    nlohmann::json franchise = qffJson({"franchise", "add", "--division",
                                        std::to_string(division["id"].get<int>()), "Night Owls"});
    EXPECT_EQ(franchise["league"], 2);
    EXPECT_EQ(franchise["division"], division["id"]);
    nlohmann::json loose = qffJson({"franchise", "add", "--league", "2"});
    EXPECT_TRUE(loose["division"].is_null());
    EXPECT_EQ(loose["name"], "Franchise " + std::to_string(loose["id"].get<int>()));

    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"league", "add", "League 2"}, "A league with that name already exists."},
        {{"franchise", "add", "--league", "1", "Night Owls"},
         "A franchise with that name already exists."},
        {{"division", "add", "--league", "1", "Bad:Name"}, "cannot hold the character ':'"},
        {{"division", "add", "--league", "9", "Lost"}, "no league has the id 9"},
        {{"league", "rename", "0", "Mine"}, "The name of the Default League cannot be changed."},
        {{"franchise", "rename", "2", ""}, "One or more required fields were left blank."},
        {{"franchise", "rename", "2", "Herons\n"}, "\"Team Name\" cannot hold control characters."},
        {{"league", "add", "Lea\x1b[2Jgue"}, "\"League Name\" cannot hold control characters."},
        {{"league", "add", "scratch"},
         "\"scratch\" is the name of one of the program's own folders; choose another league "
         "name."},
        {{"league", "rename", "1", "Template"}, "\"Template\" is the name of one of the program's"},
    };
    for (const Case& c : cases) {
        RunResult run = qff(c.args);
        EXPECT_EQ(run.status, 1) << c.args[0];
        EXPECT_TRUE(mentions(run.err, c.message));
    }
}

TEST_F(StructureCli, RenamesThroughTheSameChecks) {
    EXPECT_EQ(qffJson({"franchise", "rename", "2", "Harbor Herons"})["name"], "Harbor Herons");
    nlohmann::json division = qffJson({"division", "rename", "1", "Coast", "--short", "CO"});
    EXPECT_EQ(division["name"], "Coast");
    EXPECT_EQ(division["short_name"], "CO");
    RunResult clash = qff({"division", "rename", "2", "Coast"});
    EXPECT_EQ(clash.status, 1);
    EXPECT_TRUE(mentions(clash.err, "A division with that name already exists."));
}

TEST_F(StructureCli, SetsOwnerDetailsAndShowsThemInTheListing) {
    nlohmann::json saved =
        qffJson({"franchise", "set", "2", "--owner", "Pat Quinn", "--address", "12 Elm Street",
                 "--city", "Salem", "--state", "OR", "--zip", "97301", "--email", "pat@example.com",
                 "--home-phone", "555-0100", "--work-phone", "555-0199"});
    EXPECT_EQ(saved["owner"], "Pat Quinn");
    nlohmann::json listed;
    for (const auto& franchise : qffJson({"franchises"})) {
        if (franchise["id"] == 2) {
            listed = franchise;
        }
    }
    const std::pair<const char*, const char*> expected[] = {
        {"owner", "Pat Quinn"},     {"address", "12 Elm Street"},
        {"city", "Salem"},          {"state", "OR"},
        {"zip", "97301"},           {"email", "pat@example.com"},
        {"home_phone", "555-0100"}, {"work_phone", "555-0199"},
    };
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(listed[key], value) << key;
    }
    // A field left out keeps its value; an empty one is cleared.
    nlohmann::json cleared = qffJson({"franchise", "set", "2", "--work-phone", ""});
    EXPECT_EQ(cleared["work_phone"], "");
    EXPECT_EQ(cleared["city"], "Salem");
    // --phone is the home phone's shorter name.
    EXPECT_EQ(qffJson({"franchise", "set", "2", "--phone", "555-0142"})["home_phone"], "555-0142");
}

TEST_F(StructureCli, SetsTheCommissionersDetailsOfALeague) {
    nlohmann::json saved = qffJson({"league", "set", "0", "--your-name", "Lee Park", "--your-phone",
                                    "555-0123", "--your-email", "lee@example.com"});
    EXPECT_EQ(saved["your_name"], "Lee Park");
    nlohmann::json leagues = qffJson({"leagues"});
    ASSERT_FALSE(leagues.empty());
    EXPECT_EQ(leagues[0]["id"], 0);
    EXPECT_EQ(leagues[0]["your_phone"], "555-0123");
    EXPECT_EQ(leagues[0]["your_email"], "lee@example.com");
    EXPECT_EQ(qffJson({"league", "set", "1", "--name", "Renamed"})["name"], "Renamed");
}

TEST_F(StructureCli, SetRefusesWhatTheSetupWindowRefusesAndStoresNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"franchise", "set", "2", "--city", "Salem", "--email", "a@b.c\r\nBcc: x@y.z"},
         "\"EMail Address\" cannot hold control characters."},
        {{"franchise", "set", "2", "--city", "Salem", "--home-phone", "555\n0100"},
         "\"Home Phone\" cannot hold control characters."},
        {{"league", "set", "1", "--your-phone", "555\r\n"},
         "\"Your Phone\" cannot hold control characters."},
        {{"franchise", "set", "2", "--city", "Salem", "--state", "ORE"},
         "\"State\" holds at most 2 characters."},
        {{"franchise", "set", "2", "--city", "Salem", "--address", "1 Main: Apt 2"},
         "cannot hold the character ':'"},
        {{"franchise", "set", "2", "--city", "Salem", "--name", ""},
         "One or more required fields were left blank."},
        {{"league", "set", "0", "--name", "Mine"},
         "The name of the Default League cannot be changed."},
        {{"franchise", "set", "999", "--city", "Salem"}, "no franchise has the id 999"},
    };
    for (const Case& c : cases) {
        RunResult run = qff(c.args);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_TRUE(mentions(run.err, c.message));
    }
    RunResult nothing = qff({"franchise", "set", "2"});
    EXPECT_EQ(nothing.status, 2);
    for (const auto& franchise : qffJson({"franchises"})) {
        EXPECT_EQ(franchise["city"], "Springfield") << franchise["id"];
    }
}

TEST_F(StructureCli, DeletingADivisionAsksFirstThenLeavesTheOtherDivisionItsFranchises) {
    std::vector<int> east = franchiseIds("division", 1);
    std::vector<int> west = franchiseIds("division", 2);
    ASSERT_EQ(east.size(), 6u);
    RunResult refused = qff({"division", "delete", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(mentions(refused.err,
                         "deleting division \"East 1 Division\" destroys 6 "
                         "franchises"));
    EXPECT_TRUE(mentions(refused.err, "add --yes"));
    EXPECT_EQ(franchiseIds("division", 1).size(), 6u);

    nlohmann::json deleted = qffJson({"division", "delete", "1", "--yes"});
    EXPECT_EQ(deleted["franchises"].size(), 6u);
    EXPECT_TRUE(franchiseIds("division", 1).empty());
    EXPECT_EQ(franchiseIds("division", 2), west);
    for (int id : east) {
        EXPECT_EQ(gamesAndByes(1, id).first, 0);
    }
    EXPECT_EQ(qffJson({"divisions"}).size(), 1u);
}

TEST_F(StructureCli, MovingAFranchiseToAnotherLeagueNeedsYes) {
    qffJson({"league", "add", "Second"});
    int hawks = 2;
    ASSERT_GT(gamesAndByes(1, hawks).first, 0);
    RunResult refused = qff({"franchise", "move", "2", "--to-league", "2"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(mentions(refused.err, "from league 1 to league 2"));
    EXPECT_EQ(franchiseIds("league", 2).size(), 0u);

    nlohmann::json moved = qffJson({"franchise", "move", "2", "--to-league", "2", "--yes"});
    EXPECT_EQ(moved["league"], 2);
    EXPECT_TRUE(moved["division"].is_null());
    EXPECT_GT(moved["games_removed"], 0);
    EXPECT_EQ(gamesAndByes(1, hawks).first, 0);
    // Within a league nothing is lost, so no confirmation is needed.
    EXPECT_EQ(qffJson({"franchise", "move", "4", "--to", "2"})["division"], 2);
    EXPECT_EQ(qffJson({"division", "move", "2", "--to", "2", "--yes"})["league"], 2);
    EXPECT_EQ(franchiseIds("league", 2).size(), 8u);
}

TEST_F(StructureCli, TheDefaultLeagueCannotBeDeleted) {
    RunResult refused = qff({"league", "delete", "0", "--yes"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(mentions(refused.err, "The Default League cannot be deleted."));
    nlohmann::json deleted = qffJson({"league", "delete", "1", "--yes"});
    EXPECT_EQ(deleted["divisions"].size(), 2u);
    EXPECT_EQ(deleted["franchises"].size(), 12u);
    EXPECT_TRUE(qffJson({"franchises"}).empty());
    EXPECT_EQ(qffJson({"leagues"}).size(), 1u);
}

}  // namespace
}  // namespace qff::test
