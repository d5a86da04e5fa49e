#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "data02/league/Listhelp.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

TEST(SafeFileName, ReplacesWhatAFileNameCannotHold) {
    struct Case {
        std::string text;
        bool colonToo;
        std::string expected;
    };
    const Case cases[] = {
        {"a:b/c", false, "a:b_c"},
        {"a:b/c", true, "a_b_c"},
        {"Week 1 *Top* <QB>?", false, "Week 1 _Top_ _QB__"},
        {"\"quoted\"|piped", true, "_quoted__piped"},
        {"Standings.htm", true, "Standings.htm"},
        {"back\\slash", false, "back_slash"},
        {"../../etc/passwd", false, "______etc_passwd"},
        {"..\\up", false, "___up"},
        {"a..b", false, "a__b"},
        {"a...b", false, "a__.b"},
        {"..", false, "__"},
        {".", false, "_"},
        {"", false, "_"},
        {".hidden", false, ".hidden"},
        {"two\nlines\r", false, "two_lines_"},
        {"\x1b[2Jwiped\x7f", true, "_[2Jwiped_"},
        {std::string("nul\0led", 7), false, "nul_led"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(safeFileName(c.text, c.colonToo), c.expected) << c.text;
    }
}

TEST(ControlCharacters, AreTheBytesBelowBlankAndDelete) {
    const std::pair<std::string, bool> cases[] = {
        {"plain name", false},        {"tab\there", true},    {"line\n", true},
        {"\x1b[31mred", true},        {"bell\a", true},       {"del\x7f", true},
        {"Müller \xe9t\xe9", false},  {"~!@#$%^&*()", false}, {"", false},
        {std::string(1, '\0'), true},
    };
    for (const auto& [text, holds] : cases) {
        EXPECT_EQ(holdsControlCharacter(text), holds) << text;
    }
    EXPECT_EQ(controlCharacterMessage("\"Team Name\""),
              "\"Team Name\" cannot hold control characters.");
}

TEST(SafeFileName, NoSeparatorOrParentStepSurvives) {
    const std::string texts[] = {"a/../b", "....", "x\\..\\..\\y", "/..//../", ". . /. ."};
    for (const std::string& text : texts) {
        std::string name = safeFileName(text, false);
        EXPECT_EQ(name.find('/'), std::string::npos) << text;
        EXPECT_EQ(name.find('\\'), std::string::npos) << text;
        EXPECT_EQ(name.find(".."), std::string::npos) << text;
    }
}

// A created season (with its NFL team units) and a handful of players of two teams.
class FindPlayersTest : public test::SeasonFixture {
  protected:
    static constexpr int kYear = 2003;
    static constexpr int kTeam = 5;
    static constexpr int kOtherTeam = 7;

    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
        addPlayer(1, kTeam, kWR, "Moss");
        addPlayer(2, kTeam, kTE, "Gates");
        addPlayer(3, kOtherTeam, kWR, "Moss");
        addPlayer(4, kTeam, kDEF, "Lewis");
        addPlayer(5, kOtherTeam, kQB, "Moss");
    }

    void addPlayer(int id, int team, int position, std::string_view name) {
        ASSERT_NE(test::addPlayer(context(), id, team, position, name), nullptr);
    }

    std::vector<int> found(PlayerSearch search, int value) {
        Owned<PlyrList> players = findPlayers(context(), search, value);
        std::vector<int> ids;
        for (const Player* player : players ? *players : PlyrList{}) {
            ids.push_back(player->id());
        }
        return ids;
    }
};

TEST_F(FindPlayersTest, SelectsAndSortsAsTheFinderLists) {
    struct Case {
        PlayerSearch search;
        int value;
        bool merged;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {PlayerSearch::ByPosition, kWR, false, {1, 3}},
        {PlayerSearch::ByPosition, kWR, true, {2, 1, 3}},
        // The Defense position lists players, never the teams' defense units.
        {PlayerSearch::ByPosition, kDEF, false, {4}},
        {PlayerSearch::ByNflTeam, kTeam, false, {2, 4, 1}},
        {PlayerSearch::ByNflTeam, 40, false, {}},
    };
    for (const Case& c : cases) {
        context().preferences().set(kPrefMergeWrTe, c.merged ? 1 : 0);
        EXPECT_EQ(found(c.search, c.value), c.ids)
            << static_cast<int>(c.search) << " " << c.value << " merged " << c.merged;
    }
}

TEST_F(FindPlayersTest, ByNameListsEveryoneWithTheHigherPositionFirst) {
    std::vector<int> all = found(PlayerSearch::ByName, 0);
    ASSERT_GT(all.size(), 5u);
    std::vector<int> players;
    for (int id : all) {
        if (id < Pro::kFirstUnitId) {
            players.push_back(id);
        }
    }
    // The two receivers named Moss tie; the quarterback comes after them.
    ASSERT_EQ(players.size(), 5u);
    std::sort(players.begin() + 2, players.begin() + 4);
    EXPECT_EQ(players, (std::vector<int>{2, 4, 1, 3, 5}));
}

}  // namespace
}  // namespace qff
