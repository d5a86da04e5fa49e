#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data02/league/Draftpool.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/season/Prefs.h"
#include "tests/data02/league/DraftFixture.h"

namespace qff {
namespace {

using test::addPlayer;
using test::DraftTest;
using test::kLeague;

class DraftPoolTest : public DraftTest {
  protected:
    std::vector<int> available(int franchise, DraftFilterSet filters = allDraftFilters()) {
        std::vector<int> ids;
        for (const Player* player : availablePlayers(context(), kLeague, franchise, filters)) {
            ids.push_back(player->id());
        }
        return ids;
    }
};

TEST_F(DraftPoolTest, EachFilterLetsThroughItsOwnPositionAndNoneTheRest) {
    // The season holds the NFL team units; one individual player is added per
    // position, DEF and SPE ones having no filter.
    for (int position = kQB; position <= kSPE; ++position) {
        addPlayer(context(), 100 + position, 0, position, "Pos " + std::to_string(position));
    }
    std::map<int, std::size_t> held;
    for (const Player* player : context().mapFactory().players().list()) {
        ++held[player->storedPosition()];
    }
    struct Case {
        DraftFilter filter;
        const char* caption;
        int position;
    };
    const Case cases[] = {
        {kFilterQB, "QB", 0},
        {kFilterRB, "RB", 1},
        {kFilterWR, "WR", 2},
        {kFilterTE, "TE", 3},
        {kFilterPK, "PK", 4},
        {kFilterTeamQB, "Team QB", 10},
        {kFilterTeamRB, "Team RB", 11},
        {kFilterTeamWR, "Team WR", 12},
        {kFilterTeamTE, "Team TE", 13},
        {kFilterTeamPK, "Team PK", 14},
        {kFilterTeamDEF, "Team DEF", 15},
        {kFilterTeamSPE, "TeamSPE", 16},
    };
    ASSERT_EQ(std::size(cases), std::size_t(kDraftFilterCount));
    // Tight ends keep their own box when the preferences count them as wide receivers.
    ASSERT_EQ(context().preferences().set(kPrefMergeWrTe, 1), kOk);
    for (const Case& c : cases) {
        EXPECT_STREQ(draftFilters()[c.filter].caption, c.caption);
        PlyrList listed = availablePlayers(context(), kLeague, 1, DraftFilterSet().set(c.filter));
        EXPECT_EQ(listed.size(), held[c.position]) << c.caption;
        EXPECT_TRUE(std::all_of(listed.begin(), listed.end(), [&c](const Player* p) {
            return p->storedPosition() == c.position;
        })) << c.caption;
    }
    std::vector<int> everyone = available(1);
    EXPECT_EQ(everyone.size(), context().mapFactory().players().size() - held[kDEF] - held[kSPE]);
    for (int position = kQB; position <= kSPE; ++position) {
        EXPECT_EQ(std::count(everyone.begin(), everyone.end(), 100 + position), position < kDEF)
            << position;
    }
    EXPECT_TRUE(available(1, DraftFilterSet()).empty());
}

TEST_F(DraftPoolTest, DraftedPlayersLeaveTheListByThePreferenceAndItIsSortedByName) {
    addFranchises(2);
    addPlayer(context(), 1, 0, kQB, "smith, al");
    addPlayer(context(), 2, 0, kQB, "Smith, Bo");
    addPlayer(context(), 3, 0, kQB, "Adams, Cy");
    addPlayer(context(), 4, 0, kQB, "Smith, Bo");
    addPlayer(context(), 5, 0, kQB, "Baker, Di");
    storePick(1, 3, 1, 1);
    setRoster(2, {5});
    struct Case {
        bool shared;
        int franchise;
        std::vector<int> listed;
    };
    const Case cases[] = {
        {false, 1, {5, 2, 4, 1}},
        {false, 2, {5, 2, 4, 1}},
        {true, 1, {5, 2, 4, 1}},
        {true, 2, {3, 2, 4, 1}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(context().preferences().set(kPrefDraftSharedPlayers, c.shared ? 1 : 0), kOk);
        EXPECT_EQ(available(c.franchise, DraftFilterSet().set(kFilterQB)), c.listed)
            << "shared " << c.shared << " franchise " << c.franchise;
    }
}

TEST_F(DraftPoolTest, QuickSearchMatchesTheNamesBeginningInAnyMixOfCase) {
    const char* names[] = {"Adams, Al",  "MacDonald, Ian", "Mcbride, Sue", "O'Neil, Pat",
                           "SMITH, TOM", "Smithers, Joe",  "smith, al"};
    int id = 0;
    for (const char* name : names) {
        addPlayer(context(), ++id, 0, kRB, name);
    }
    PlyrList players = availablePlayers(context(), kLeague, 1, DraftFilterSet().set(kFilterRB));
    ASSERT_EQ(players.size(), std::size(names));
    ASSERT_EQ(players[4]->name(), "SMITH, TOM");
    struct Case {
        const char* text;
        int row;
    };
    const Case cases[] = {
        {"s", 4},        {"S", 4},  {"sMi", 4},         {"smithe", 5},       {"SMITH, A", 6},
        {"smith, t", 4}, {"mc", 2}, {"MAC", 1},         {"o'n", 3},          {"adams, al", 0},
        {"", 0},         {"x", -1}, {"adams, al ", -1}, {"smithersjoe", -1}, {" s", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quickSearchRow(players, c.text), c.row) << '"' << c.text << '"';
    }
    EXPECT_EQ(quickSearchRow({}, "s"), -1);
}

TEST(QuickSearchKeyTest, LettersSpaceAndCommaSearchAFewKeysPassAndTheRestAreRefused) {
    struct Case {
        char key;
        QuickKey does;
    };
    const Case cases[] = {
        {'a', QuickKey::Search},    {'Z', QuickKey::Search},    {' ', QuickKey::Search},
        {',', QuickKey::Search},    {'\b', QuickKey::PassOn},   {'%', QuickKey::PassOn},
        {'\'', QuickKey::PassOn},   {'\t', QuickKey::PassOn},   {'1', QuickKey::Refuse},
        {'-', QuickKey::Refuse},    {'.', QuickKey::Refuse},    {'\n', QuickKey::Refuse},
        {'\x7f', QuickKey::Refuse}, {'\xe9', QuickKey::Refuse}, {'\0', QuickKey::Refuse},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quickSearchKey(c.key), c.does) << static_cast<int>(c.key);
    }
}

}  // namespace
}  // namespace qff
