#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data02/scoring/Scoring.h"
#include "data02/scoring/Scoring_tables.h"
#include "data02/season/Single.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

ScoreTable defaultTable(int code) {
    std::vector<std::uint8_t> image(kScoreRecordSize);
    fillDefaultScoring(image, 0);
    ScoreTable table{code, scoreItem(image, tableModeCode(code)), {}};
    table.entries.resize(tableSize(scoreField(code)->kind));
    EXPECT_EQ(readScoreTable(image, code, table.entries), kOk);
    return table;
}

TableChoice every(int points, int yards) {
    return {kTableEvery, 0, points, yards};
}

struct Probe {
    int entry;
    int points;
};

struct OperationCase {
    const char* name;
    int table;
    std::function<TableChange(ScoreTable&)> operation;
    std::string refusal;
    int mode;
    std::vector<Probe> probes;
};

const std::vector<OperationCase>& operationCases() {
    static const std::vector<OperationCase> cases = {
        {"2 points every 15 yards of a passing TD",
         kPassTdTable,
         [](ScoreTable& t) { return applyChoice(t, every(2, 15)); },
         "",
         kTableEvery,
         {{0, 0}, {1, 2}, {15, 2}, {16, 4}, {100, 14}}},
        {"1 point every 25 passing yards",
         kPassYardsTable,
         [](ScoreTable& t) { return applyChoice(t, every(1, 25)); },
         "",
         kTableEvery,
         {{24, 0}, {25, 1}, {49, 1}, {50, 2}, {749, 29}}},
        {"6 points for each receiving TD",
         kCatchTdTable,
         [](ScoreTable& t) {
             return applyChoice(t, {kTableEach, 6, 0, 0});
         },
         "",
         kTableEach,
         {{0, 0}, {1, 6}, {100, 6}}},
        {"no points for field goals",
         kFieldGoalTable,
         [](ScoreTable& t) { return applyChoice(t, {}); },
         "",
         kTableNotScored,
         {{1, 0}, {50, 0}, {100, 0}}},
        {"deleting 10-19 takes the value before it",
         kPassTdTable,
         [](ScoreTable& t) { return deleteRange(t, 10, 19); },
         "",
         kTableRanges,
         {{9, 3}, {10, 3}, {19, 3}, {20, 6}}},
        {"deleting 1-9 takes the value after it",
         kPassTdTable,
         [](ScoreTable& t) { return deleteRange(t, 1, 9); },
         "",
         kTableRanges,
         {{1, 4}, {9, 4}, {10, 4}}},
        {"a range added and deleted over the whole table leaves it unscored",
         kRushYardsTable,
         [](ScoreTable& t) {
             addRange(t, 1, 749, 0);
             return deleteRange(t, 1, 749);
         },
         "",
         kTableNotScored,
         {{1, 0}, {749, 0}}},
        {"a range of one entry",
         kRushTdTable,
         [](ScoreTable& t) { return addRange(t, 5, 5, -2); },
         "",
         kTableRanges,
         {{4, 7}, {5, -2}, {6, 7}}},
        {"a TO of 101 on a TD table",
         kPassTdTable,
         [](ScoreTable& t) { return addRange(t, 60, 101, 10); },
         "The TO distance cannot exceed 100.",
         kTableRanges,
         {}},
        {"a TO of 101 on the points allowed table",
         kPointsAllowedTable,
         [](ScoreTable& t) { return addRange(t, 1, 101, 1); },
         "The TO distance cannot exceed 100.",
         kTableNotScored,
         {}},
        {"a TO of 750 on a yards table",
         kReturnYardsTable,
         [](ScoreTable& t) { return addRange(t, 1, 750, 1); },
         "The TO distance cannot exceed 749.",
         kTableNotScored,
         {}},
        {"a FROM of 0",
         kPassTdTable,
         [](ScoreTable& t) { return addRange(t, 0, 9, 1); },
         "The FROM distance must be greater than zero.",
         kTableRanges,
         {}},
        {"a negative FROM",
         kPassTdTable,
         [](ScoreTable& t) { return deleteRange(t, -3, 9); },
         "The FROM distance must be greater than zero.",
         kTableRanges,
         {}},
        {"FROM above TO",
         kPassTdTable,
         [](ScoreTable& t) { return addRange(t, 20, 10, 1); },
         "The FROM distance must be less than the TO distance.",
         kTableRanges,
         {}},
        {"steps of no yards",
         kPassYardsTable,
         [](ScoreTable& t) { return applyChoice(t, every(1, 0)); },
         "The number of yards must be greater than zero.",
         kTableNotScored,
         {}},
        {"points for each yard value",
         kPassYardsTable,
         [](ScoreTable& t) {
             return applyChoice(t, {kTableEach, 1, 0, 0});
         },
         "Points for each score are given on touchdown and field goal tables only.",
         kTableNotScored,
         {}},
    };
    return cases;
}

TEST(ScoreTableTest, OperationsFillTheTableOrRefuseAndLeaveItAsItWas) {
    for (const OperationCase& c : operationCases()) {
        SCOPED_TRACE(c.name);
        ScoreTable table = defaultTable(c.table);
        ScoreTable before = table;
        TableChange change = c.operation(table);
        EXPECT_EQ(change.message, c.refusal);
        EXPECT_EQ(table.mode, c.mode);
        if (!c.refusal.empty()) {
            EXPECT_EQ(table.entries, before.entries);
        }
        for (const Probe& probe : c.probes) {
            EXPECT_EQ(table.entries[probe.entry], probe.points) << "entry " << probe.entry;
        }
    }
}

TEST(ScoreTableTest, ATableReadsBackAsTheChoiceThatBuiltIt) {
    struct Case {
        int table;
        TableChoice applied;
        TableChoice read;
    };
    const Case cases[] = {
        {kPassTdTable, every(2, 15), {kTableEvery, 2, 2, 15}},
        {kPassTdTable, every(3, 100), {kTableEvery, 3, 3, 100}},
        {kPassYardsTable, every(1, 25), {kTableEvery, 0, 1, 25}},
        {kRushTdTable, {kTableEach, 6, 0, 0}, {kTableEach, 6, 2, 10}},
        {kCatchYardsTable, {}, {kTableNotScored, 0, 2, 75}},
        {kPointsAllowedTable, {kTableRanges, 0, 0, 0}, {kTableRanges, 0, -1, 10}},
    };
    for (const Case& c : cases) {
        ScoreTable table = defaultTable(c.table);
        ASSERT_TRUE(applyChoice(table, c.applied).ok());
        TableChoice read = choiceOf(table);
        EXPECT_EQ(read.mode, c.read.mode) << c.table;
        EXPECT_EQ(read.each, c.read.each) << c.table;
        EXPECT_EQ(read.everyPoints, c.read.everyPoints) << c.table;
        EXPECT_EQ(read.everyYards, c.read.everyYards) << c.table;
    }
}

TEST(ScoreTableTest, RunsOfEqualEntriesFromTheFirstLengthToTheLast) {
    std::vector<TableRun> runs = tableRuns(defaultTable(kPassTdTable));
    std::vector<std::vector<int>> shown;
    for (const TableRun& run : runs) {
        shown.push_back({run.from, run.to, run.points});
    }
    EXPECT_EQ(shown, (std::vector<std::vector<int>>{
                         {1, 9, 3}, {10, 19, 4}, {20, 39, 6}, {40, 59, 8}, {60, 100, 10}}));
    std::vector<TableRun> yards = tableRuns(defaultTable(kPassYardsTable));
    ASSERT_EQ(yards.size(), 1u);
    EXPECT_EQ(yards[0].to, 749);
}

TEST(ScoreTableTest, RangeLinesNameTheRunsAndReadBack) {
    std::vector<std::string> touchdown = rangeLines(defaultTable(kPassTdTable));
    ASSERT_EQ(touchdown.size(), 5u);
    EXPECT_EQ(touchdown[0], "Passing a TD from 1 to 9 yards is worth 3 points");
    EXPECT_EQ(touchdown[4], "Passing a TD from 60 to 100 yards is worth 10 points");

    ScoreTable allowed = defaultTable(kPointsAllowedTable);
    ASSERT_TRUE(addRange(allowed, 1, 20, -2).ok());
    EXPECT_EQ(rangeLines(allowed),
              (std::vector<std::string>{"Allowing from 1 to 20 points is worth -2 points",
                                        "Anything above 20 points is worth 0 points"}));

    std::optional<TableRun> run = rangeOfLine("Allowing from 1 to 20 points is worth -2 points");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->from, 1);
    EXPECT_EQ(run->to, 20);
    EXPECT_EQ(run->points, -2);
    EXPECT_FALSE(rangeOfLine("Anything above 20 points is worth 0 points"));
}

class ScoringChangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_.path()}, error);
        ASSERT_TRUE(context_) << error;
        ASSERT_EQ(context_->scoring().openSeason(2004), kOk);
        ASSERT_EQ(context_->scoring().selectLeague(1), kOk);
    }

    ScoringSystem& scoring() { return context_->scoring(); }

    test::TempDir dir_;
    std::unique_ptr<Singleton> context_;
};

TEST_F(ScoringChangeTest, PenaltiesAreTypedAsAmountsAndStoredNegative) {
    const int negated[] = {kPerInterceptionThrown, kPointsAllowedPenalty, kYardsAllowedPenalty};
    for (int code : negated) {
        ASSERT_TRUE(setShownValue(scoring(), code, 3).ok()) << code;
        EXPECT_EQ(scoring().getValue(code), -3) << code;
        EXPECT_EQ(shownValue(scoring(), code), 3) << code;
    }
    ASSERT_TRUE(setShownValue(scoring(), kPerPassCompleted, 3).ok());
    EXPECT_EQ(scoring().getValue(kPerPassCompleted), 3);
}

TEST_F(ScoringChangeTest, OnlyPointValuesAreSetByValue) {
    const int refused[] = {kPassTdMode, kPassTdTable, kScoreLeagueId, kScoreReserved1, 4999};
    for (int code : refused) {
        TableChange change = setShownValue(scoring(), code, 7);
        EXPECT_EQ(change.message,
                  std::to_string(code) + " is not a point value of the scoring system.");
    }
    EXPECT_EQ(scoring().league(), 1);
}

TEST_F(ScoringChangeTest, AStoredTableReadsBackWithItsMode) {
    std::string message;
    std::optional<ScoreTable> table = readTable(scoring(), kFieldGoalTable, message);
    ASSERT_TRUE(table) << message;
    ASSERT_TRUE(addRange(*table, 51, 100, 20).ok());
    ASSERT_TRUE(storeTable(scoring(), *table).ok());
    std::optional<ScoreTable> back = readTable(scoring(), kFieldGoalTable, message);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->mode, kTableRanges);
    EXPECT_EQ(back->entries[60], 20);
    EXPECT_FALSE(readTable(scoring(), kPerSack, message));
    EXPECT_EQ(message, "5056 is not a scoring table.");
}

TEST_F(ScoringChangeTest, ACopyTakesEveryRuleButKeepsItsLeague) {
    ASSERT_TRUE(setShownValue(scoring(), kPerSack, 4).ok());
    ScoreTable table = defaultTable(kPassYardsTable);
    ASSERT_TRUE(applyChoice(table, every(1, 25)).ok());
    ASSERT_TRUE(storeTable(scoring(), table).ok());
    ASSERT_TRUE(copyScoring(scoring(), 1, 2).ok());
    ASSERT_EQ(scoring().selectLeague(2), kOk);
    EXPECT_EQ(scoring().league(), 2);
    EXPECT_EQ(scoring().getValue(kPerSack), 4);
    EXPECT_EQ(scoring().getValue(kPassYardsMode), kTableEvery);
    std::string message;
    EXPECT_EQ(readTable(scoring(), kPassYardsTable, message)->entries[749], 29);
}

}  // namespace
}  // namespace qff
