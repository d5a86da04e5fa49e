#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/scoring/Cache.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using test::readText;
using test::SeasonFixture;
using ::testing::HasSubstr;

constexpr int kYear = 2003;

std::vector<int> idsOf(const PlyrList& list) {
    std::vector<int> ids;
    for (const Player* p : list) {
        ids.push_back(p->id());
    }
    return ids;
}

std::vector<int> idsOf(const TeamList& list) {
    std::vector<int> ids;
    for (const Team* t : list) {
        ids.push_back(t->id());
    }
    return ids;
}

// A season made by createSeasonFiles and opened: NFL team units in the
// player file, empty franchise and division files, the Default League.
class CacheTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        openCreatedSeason();
    }

    void openCreatedSeason() {
        std::string error;
        ASSERT_TRUE(createSeasonFiles(context(), kYear, error)) << error;
        SeasonOpenReport report = openSeason(context(), kYear);
        ASSERT_TRUE(report.opened);
    }

    Player* addPlayer(int id, int team, int position, std::string_view name) {
        return test::addPlayer(context(), id, team, position, name);
    }

    Owned<Team> makeTeam(int id, std::string_view name) {
        Owned<Team> team =
            context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
        team->setValue(kFranchiseId, id);
        team->setValue(kFranchiseLeague, 0);
        team->setText(kFranchiseName, name);
        return team;
    }

    Team* addTeam(int id, std::string_view name) {
        Owned<Team> team = makeTeam(id, name);
        Team* raw = team.get();
        EXPECT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), 0);
        return raw;
    }

    MapFactory& caches() { return context().mapFactory(); }
};

TEST_F(CacheTest, FranchisesWithTheSameNameAreAllIndexedAndTheFirstLoadedIsFound) {
    Team* other = addTeam(1, "Other");
    Team* a = addTeam(2, "Same");
    addTeam(3, "Same");
    ASSERT_EQ(caches().remove(caches().franchises(), other), 0);
    Team* c = addTeam(4, "Same");
    EXPECT_EQ(c->slot(), 0);  // the slot the removed franchise left

    // Added: the one added first wins, later ones follow.
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseName, "Same"), a);
    EXPECT_EQ(idsOf(caches().franchises().selectByText(kFranchiseName, "Same")),
              (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(idsOf(context().teamQuery().allFranchises()), (std::vector<int>{2, 3, 4}));

    // Loaded: slot order decides.
    ASSERT_EQ(context().teamQuery().reload(kYear), 0);
    Team* first = context().teamQuery().findOne(kFranchiseName, "Same");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->id(), 4);
    EXPECT_EQ(idsOf(caches().franchises().selectByText(kFranchiseName, "Same")),
              (std::vector<int>{4, 2, 3}));
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseName, "Other"), nullptr);
}

TEST_F(CacheTest, ARenamedAndSavedPlayerIsFoundUnderItsNewKeysOnly) {
    Player* player = addPlayer(1234, 5, kWR, "Old Name");
    std::size_t players = caches().players().size();
    ASSERT_EQ(context().playerQuery().findOne(2, "Old Name"), player);

    ASSERT_EQ(player->setText(kPlayerName, "New Name"), 0);
    ASSERT_EQ(player->setValue(kPlayerTeam, 7, 0), 0);
    // Not saved yet: the indexes still hold the stored keys.
    EXPECT_EQ(context().playerQuery().findOne(2, "Old Name"), player);
    ASSERT_EQ(player->save(), 0);

    EXPECT_EQ(context().playerQuery().findOne(2, "Old Name"), nullptr);
    EXPECT_EQ(context().playerQuery().findOne(2, "New Name"), player);
    std::vector<int> team7{7};
    std::vector<int> team5{5};
    EXPECT_THAT(caches().players().selectByValues(kPlayerTeam, team7), ::testing::Contains(player));
    EXPECT_THAT(caches().players().selectByValues(kPlayerTeam, team5),
                ::testing::Not(::testing::Contains(player)));
    std::vector<int> id{1234};
    EXPECT_EQ(caches().players().selectByValues(kPlayerId, id).size(), 1u);
    EXPECT_EQ(caches().players().size(), players);
    EXPECT_EQ(caches().players().textIndex(kPlayerName)->size(), players);

    // And the file holds the new name.
    ASSERT_EQ(context().playerQuery().reload(kYear), 0);
    Player* reloaded = context().playerQuery().findOne(2, "New Name");
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(reloaded->id(), 1234);
    EXPECT_EQ(reloaded->getValue(kPlayerTeam, 0), 7);
}

TEST_F(CacheTest, ARenamedAndSavedFranchiseIsFoundUnderItsNewNameOnly) {
    Team* team = addTeam(1, "Owls");
    ASSERT_EQ(team->setText(kFranchiseName, "Hawks"), 0);
    ASSERT_EQ(team->setText(kOwnerName, "Pat"), 0);
    ASSERT_EQ(team->save(), 0);
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseName, "Owls"), nullptr);
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseName, "Hawks"), team);
    EXPECT_EQ(context().teamQuery().findOne(kOwnerName, "Pat"), team);
    EXPECT_EQ(context().teamQuery().findOne(kOwnerName, ""), nullptr);
}

TEST_F(CacheTest, RemovingACachedFranchiseForgetsItAndDeletesItsRecord) {
    Team* keep = addTeam(1, "Keep");
    Team* gone = addTeam(2, "Gone");
    int slot = gone->slot();
    ASSERT_TRUE(context().teamFile().db().isSlotUsed(slot));
    EXPECT_EQ(caches().remove(caches().franchises(), gone), 0);
    EXPECT_FALSE(context().teamFile().db().isSlotUsed(slot));
    EXPECT_EQ(idsOf(caches().franchises().list()), (std::vector<int>{1}));
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseId, 2), nullptr);
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseName, "Gone"), nullptr);
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseId, 1), keep);
    ASSERT_EQ(context().teamQuery().reload(kYear), 0);
    EXPECT_EQ(idsOf(caches().franchises().list()), (std::vector<int>{1}));
}

TEST_F(CacheTest, RemovingAFranchiseNotInTheCacheStillDeletesItsRecord) {
    addTeam(1, "Cached");
    Owned<Team> stray = makeTeam(50, "Stray");
    ASSERT_EQ(stray->insert(), 0);
    int slot = stray->slot();
    ASSERT_TRUE(context().teamFile().db().isSlotUsed(slot));

    EXPECT_EQ(caches().remove(caches().franchises(), stray.get()), kNotCached);
    EXPECT_FALSE(context().teamFile().db().isSlotUsed(slot));
    EXPECT_EQ(idsOf(caches().franchises().list()), (std::vector<int>{1}));
    ASSERT_EQ(context().teamQuery().reload(kYear), 0);
    EXPECT_EQ(idsOf(caches().franchises().list()), (std::vector<int>{1}));
}

TEST_F(CacheTest, RemovingAFranchiseDropsItsPointsCacheEntries) {
    Team* gone = addTeam(1, "Gone");
    addTeam(2, "Stays");
    Cache& cache = context().cache();
    for (int week : {0, 5, 256}) {
        cache.store(Cache::Set::Franchise, {kYear, 1, week, 0, 2024}, 7);
        cache.store(Cache::Set::Franchise, {kYear, 2, week, 0, 2024}, 8);
    }
    ASSERT_EQ(caches().remove(caches().franchises(), gone), 0);
    for (int week : {0, 5, 256}) {
        EXPECT_FALSE(cache.find(Cache::Set::Franchise, {kYear, 1, week, 0, 2024})) << week;
        EXPECT_EQ(cache.find(Cache::Set::Franchise, {kYear, 2, week, 0, 2024}), 8) << week;
    }
}

TEST_F(CacheTest, SavingARecordTheCacheDoesNotHoldLeavesTheIndexesAlone) {
    addTeam(1, "Cached");
    Owned<Team> stray = makeTeam(50, "Stray");
    ASSERT_EQ(stray->insert(), 0);
    ASSERT_EQ(stray->setText(kFranchiseName, "Ghost"), 0);
    ASSERT_EQ(stray->save(), 0);
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseName, "Ghost"), nullptr);
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseId, 50), nullptr);
    EXPECT_EQ(context().teamQuery().allFranchises().size(), 1u);
}

TEST_F(CacheTest, AnEmptyFranchiseFileGivesEmptyContainers) {
    ASSERT_EQ(context().teamQuery().reload(kYear), 0);
    EXPECT_TRUE(caches().franchises().list().empty());
    EXPECT_TRUE(context().teamQuery().allFranchises().empty());
    EXPECT_TRUE(context().teamQuery().leagueFranchises(0).empty());
    EXPECT_FALSE(context().teamQuery().run());
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseId, 1), nullptr);
    ASSERT_TRUE(caches().franchises().textIndex(kFranchiseName));
    EXPECT_TRUE(caches().franchises().textIndex(kFranchiseName)->empty());
    EXPECT_EQ(caches().franchises().intIndex(kFranchiseName), nullptr);

    // A missing file is created empty, with the season in its header.
    std::filesystem::remove(fileOf(SeasonFile::Team, kYear));
    ASSERT_EQ(context().teamQuery().reload(kYear), 0);
    EXPECT_TRUE(caches().franchises().list().empty());
    std::vector<std::uint8_t> file = test::readBytes(fileOf(SeasonFile::Team, kYear));
    ASSERT_EQ(file.size(), std::size_t(DBFile::kHeaderSize));
    EXPECT_EQ(getI32(file, DBFile::kYearOffset), kYear);
    EXPECT_EQ(getI32(file, DBFile::kRecordSizeOffset), kTeamRecordSize);
}

TEST_F(CacheTest, APositionQueryForReceiversReturnsTightEndsWhenMerged) {
    addPlayer(1, 5, kWR, "Wes One");
    addPlayer(2, 5, kTE, "Ty End");
    addPlayer(3, 7, kWR, "Wes Two");
    addPlayer(4, 7, kRB, "Rob Back");
    struct Case {
        bool merge;
        const char* text;
        std::vector<int> ids;
        std::vector<int> values;
    };
    for (const Case& c : {Case{true, "WR", {1, 2, 3}, {2, 3}}, Case{false, "WR", {1, 3}, {2}},
                          Case{false, "TE", {2}, {3}}, Case{true, "TE", {}, {3}},
                          Case{true, "Running Back", {4}, {1}}}) {
        SCOPED_TRACE(std::string(c.text) + (c.merge ? " merged" : ""));
        context().preferences().set(kPrefMergeWrTe, c.merge ? 1 : 0);
        ASSERT_EQ(context().playerQuery().reload(kYear), 0);
        PlayerQueryNode node;
        node.setSelectCode(PlayerQueryNode::kByPosition);
        node.setText(c.text);
        ASSERT_EQ(context().playerQuery().addNode(node), 0);
        Owned<PlyrList> found = context().playerQuery().run();
        EXPECT_EQ(found ? idsOf(*found) : std::vector<int>{}, c.ids);
        // The node now holds the resolved codes instead of the text.
        const PlayerQueryNode* ran = context().playerQuery().node(0);
        ASSERT_TRUE(ran);
        EXPECT_EQ(ran->text(), "");
        EXPECT_EQ(ran->values(), c.values);
    }
    context().preferences().set(kPrefMergeWrTe, 1);
    ASSERT_EQ(context().playerQuery().reload(kYear), 0);
    Player* te = context().playerQuery().findOne(1, 2);
    ASSERT_TRUE(te);
    EXPECT_EQ(te->getValue(kPlayerPosition, 0), kWR);
}

class SortTest : public CacheTest {
  protected:
    void SetUp() override {
        CacheTest::SetUp();
        // Pass yards of the view week (1) and, reversed, of week 0.
        struct Row {
            int id;
            int position;
            const char* name;
            int yards;
        };
        for (const Row& r : {Row{1, kWR, "bob", 5}, Row{2, kRB, "Bob", 3}, Row{3, kWR, "alice", 5},
                             Row{4, kRB, "carl", 3}, Row{5, kWR, "Ann", 9}}) {
            Player* p = addPlayer(r.id, 5, r.position, r.name);
            p->setValue(kPassYards, r.yards, 1);
            p->setValue(kPassYards, 10 - r.yards, 0);
            list_.push_back(p);
        }
        ASSERT_EQ(context().seasonState().set(kViewWeek, 1), 0);
    }

    PlyrList sorted(std::initializer_list<std::pair<int, int>> steps, bool descending) {
        PlyrList list = list_;
        for (auto [previous, key] : steps) {
            context().playerQuery().sortList(list, previous, key, descending);
        }
        return list;
    }

    PlyrList list_;
};

TEST_F(SortTest, SortStepsOrderWithinRunsAndDescendingIsTheExactReverse) {
    struct Case {
        const char* what;
        std::initializer_list<std::pair<int, int>> steps;
        bool descending;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {"yards of the view week, ties stable", {{0, kPassYards}}, false, {2, 4, 1, 3, 5}},
        {"yards descending reverses ties too", {{0, kPassYards}}, true, {5, 3, 1, 4, 2}},
        {"position, ties stable", {{0, kPlayerPosition}}, false, {2, 4, 1, 3, 5}},
        {"position descending", {{0, kPlayerPosition}}, true, {5, 3, 1, 4, 2}},
        {"names byte-wise within position runs",
         {{0, kPlayerPosition}, {kPlayerPosition, kPlayerName}},
         false,
         {2, 4, 5, 3, 1}},
        {"names byte-wise, whole list", {{0, kPlayerName}}, false, {5, 2, 3, 1, 4}},
        {"runs of a list that is not grouped stay in place",
         {{kPlayerPosition, kPlayerName}},
         false,
         {1, 2, 3, 4, 5}},
        {"one run when every previous key is equal",
         {{kPlayerTeam, kPlayerName}},
         false,
         {5, 2, 3, 1, 4}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(idsOf(sorted(c.steps, c.descending)), c.ids) << c.what;
    }
    // Descending names inside position runs that are grouped.
    PlyrList grouped = sorted({{0, kPlayerPosition}}, false);
    context().playerQuery().sortList(grouped, kPlayerPosition, kPlayerName, true);
    EXPECT_EQ(idsOf(grouped), (std::vector<int>{4, 2, 1, 3, 5}));
}

TEST_F(SortTest, RunAppliesTheNodeSortKeysInOrder) {
    PlayerQueryNode node;
    node.setSelectCode(PlayerQueryNode::kByPosition);
    std::vector<int> positions{kRB, kWR};
    node.setValues(positions);
    node.setSortKey(0, kPlayerPosition, false);
    node.setSortKey(1, kPassYards, true);
    ASSERT_EQ(context().playerQuery().addNode(node), 0);
    Owned<PlyrList> list = context().playerQuery().run();
    ASSERT_TRUE(list);
    EXPECT_EQ(idsOf(*list), (std::vector<int>{4, 2, 5, 3, 1}));
}

TEST_F(CacheTest, AnEleventhQueryNodeIsRefused) {
    PlayerQueryNode playerNode;
    TeamQueryNode teamNode;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(context().playerQuery().addNode(playerNode), 0) << i;
        EXPECT_EQ(context().teamQuery().addNode(teamNode), 0) << i;
    }
    EXPECT_EQ(context().playerQuery().addNode(playerNode), 1);
    EXPECT_EQ(context().teamQuery().addNode(teamNode), 1);
    EXPECT_NE(context().playerQuery().node(9), nullptr);
    EXPECT_EQ(context().playerQuery().node(10), nullptr);
    context().playerQuery().clear();
    context().teamQuery().clear();
    EXPECT_EQ(context().playerQuery().addNode(playerNode), 0);
    EXPECT_EQ(context().teamQuery().addNode(teamNode), 0);
}

TEST_F(CacheTest, RosterPlayersAreFilteredAndOrderedByPositionThenName) {
    addPlayer(1, 5, kWR, "Zed");
    addPlayer(2, 5, kQB, "Quinn");
    addPlayer(3, 5, kWR, "Abe");
    addPlayer(4, 5, kRB, "Ray");
    Team* team = addTeam(1, "Owls");
    TeamRosterStruct roster;
    const std::pair<int, int> entries[] = {{1, 1}, {0, 1}, {2, 0}, {3, 1}, {4, 0}, {9999, 1}};
    int place = 0;
    for (auto [id, flag] : entries) {
        roster.setId(place, id);
        roster.setFlag(place++, flag);
    }
    team->setRoster(4, roster);
    struct Case {
        int filter;
        int week;
        std::vector<int> ids;
    };
    for (const Case& c : {Case{0, 4, {2, 4, 3, 1}}, Case{1, 4, {3, 1}}, Case{2, 4, {2, 4}},
                          Case{0, 3, {}}, Case{0, 20, {}}, Case{0, -1, {}}}) {
        Owned<PlyrList> list = team->rosterPlayers(c.filter, c.week);
        EXPECT_EQ(list ? idsOf(*list) : std::vector<int>{}, c.ids)
            << "filter " << c.filter << " week " << c.week;
        if (c.ids.empty()) {
            EXPECT_FALSE(list) << "an empty result is no list";
        }
    }
}

TEST_F(CacheTest, ListsFromQueriesAreTrackedAndACleanRunLeavesNothing) {
    addTeam(1, "Owls");
    MyMemory& memory = context().memory();
    std::size_t live = memory.liveBlocks();
    int playerLists = memory.hits(Kind::PlyrList);
    int teamLists = memory.hits(Kind::TeamList);
    {
        Owned<PlyrList> players = context().playerQuery().run();
        ASSERT_TRUE(players);
        EXPECT_EQ(players.kind(), Kind::PlyrList);
        EXPECT_EQ(players->size(), 224u);
        Owned<TeamList> teams = context().teamQuery().run();
        ASSERT_TRUE(teams);
        EXPECT_EQ(teams.kind(), Kind::TeamList);
        EXPECT_EQ(memory.liveBlocks(), live + 2);
        EXPECT_EQ(memory.hits(Kind::PlyrList), playerLists + 1);
        EXPECT_EQ(memory.hits(Kind::TeamList), teamLists + 1);
    }
    EXPECT_EQ(memory.liveBlocks(), live);
    int finalPlayerLists = memory.hits(Kind::PlyrList);

    context_.reset();
    std::string report = readText(dir_ / "mem_log.txt");
    EXPECT_THAT(report, HasSubstr(kindLabel(Kind::PlyrList) + " | " +
                                  std::to_string(finalPlayerLists) + "\n"));
    EXPECT_THAT(report, HasSubstr(" NONE: All allocated memory was properly cleaned up!!!\n"));
    EXPECT_THAT(report, ::testing::Not(HasSubstr("ERROR")));
}

}  // namespace
}  // namespace qff
