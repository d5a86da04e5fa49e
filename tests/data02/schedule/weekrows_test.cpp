#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "data02/schedule/WeekRows.h"

namespace qff {
namespace {

using Games = std::vector<FantasyGame>;

TEST(WeekRows, AddTakesTheFirstFreeOrByeCellNotBesideItself) {
    struct Case {
        const char* what;
        Games before;
        int entry;
        std::optional<WeekCell> cell;
    };
    const std::vector<Case> cases{
        {"empty week", {}, 1, WeekCell{0, WeekRows::kHome}},
        {"away of a lone home", {{1, 0}}, 2, WeekCell{0, WeekRows::kAway}},
        {"a bye gives way", {{1, kByeSide}}, 2, WeekCell{0, WeekRows::kAway}},
        {"never beside itself", {{1, 0}}, 1, WeekCell{1, WeekRows::kHome}},
        {"bye entry beside a bye", {{3, 4}, {5, kByeSide}}, kByeSide, WeekCell{1, WeekRows::kAway}},
    };
    for (const Case& c : cases) {
        WeekRows rows(c.before);
        EXPECT_EQ(rows.placeFor(c.entry), c.cell) << c.what;
    }
}

TEST(WeekRows, BuildsGamesByAddingRemovingAndMoving) {
    WeekRows rows;
    for (int entry : {1, 2, 3, kByeSide}) {
        ASSERT_TRUE(rows.add(entry));
    }
    EXPECT_EQ(rows.games(), (Games{{1, 2}, {3, kByeSide}}));
    ASSERT_TRUE(rows.add(4));
    ASSERT_TRUE(rows.add(5));
    EXPECT_EQ(rows.games(), (Games{{1, 2}, {3, 4}, {5, 0}}));
    ASSERT_TRUE(rows.swapRows(2, 1));
    EXPECT_EQ(rows.games(), (Games{{1, 2}, {5, 0}, {3, 4}}));
    ASSERT_TRUE(rows.clearRow(0));
    EXPECT_EQ(rows.games(), (Games{{5, 0}, {3, 4}}));
    EXPECT_FALSE(rows.swapRows(0, kScheduleSlots));
    EXPECT_FALSE(rows.clearRow(-1));
}

TEST(WeekRows, DropsExchangeCellsAndReturnWhatWasDisplaced) {
    WeekRows rows(Games{{1, 2}, {3, 4}});
    rows.swapCells({0, WeekRows::kAway}, {1, WeekRows::kHome});
    EXPECT_EQ(rows.games(), (Games{{1, 3}, {2, 4}}));
    EXPECT_EQ(rows.put({1, WeekRows::kAway}, 5), 4);
    EXPECT_EQ(rows.put({0, WeekRows::kHome}, kEmptySide), 1);
    EXPECT_EQ(rows.games(), (Games{{0, 3}, {2, 5}}));
    EXPECT_EQ(rows.put({0, 2}, 7), kEmptySide);
}

TEST(WeekRows, AvailableFranchisesKeepLeagueOrder) {
    WeekRows rows(Games{{4, 2}, {3, kByeSide}});
    const std::vector<int> league{5, 4, 3, 2, 1};
    EXPECT_EQ(rows.available(league, false), (std::vector<int>{5, 1}));
    EXPECT_EQ(rows.available(league, true), league);
}

TEST(WeekRows, LeagueShowsOnlyItsOwnGames) {
    const std::vector<int> league{1, 2, 3};
    WeekRows rows = WeekRows::ofLeague(Games{{7, 1}, {1, 2}, {3, 8}, {2, kByeSide}}, league);
    EXPECT_EQ(rows.games(), (Games{{1, 2}, {3, 0}, {2, kByeSide}}));
}

}  // namespace
}  // namespace qff
