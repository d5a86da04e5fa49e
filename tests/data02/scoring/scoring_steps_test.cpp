#include "data02/scoring/Scoring_steps.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data02/scoring/Point_sum.h"
#include "data02/scoring/Scoring_record.h"
#include "data02/scoring/Scoring_tables.h"

namespace qff {
namespace {

// Every point value and every table is edited on exactly one step, so no rule
// of the scoring system is out of the wizard's reach or edited twice.
TEST(ScoringSteps, EveryValueAndTableHasExactlyOneStep) {
    std::map<int, int> stepsOf;
    for (const ScoringStep& step : scoringSteps()) {
        for (const CoreLine& line : step.lines) {
            ++stepsOf[line.first];
            if (line.second != 0) {
                ++stepsOf[line.second];
            }
        }
        if (step.tableCode != 0) {
            ++stepsOf[step.tableCode];
            EXPECT_EQ(tablePage(step.tableCode) == TablePage::Touchdown,
                      step.page == StepPage::Touchdown)
                << step.title;
        }
    }
    for (int code = kFirstScoreItem; code <= kLastScoreItem; ++code) {
        bool edited = isPointValue(code) || tablePage(code).has_value();
        EXPECT_EQ(stepsOf[code], edited ? 1 : 0) << code;
    }
}

TEST(ScoringSteps, TitlesAndPagesFollowTheWizard) {
    ASSERT_EQ(scoringSteps().size(), static_cast<std::size_t>(kAreaStep + 1));
    EXPECT_EQ(scoringStep(kIntroductionStep).title, "Setup Your Scoring System");
    EXPECT_EQ(scoringStep(14).title, "Defense - Points Allowed");
    EXPECT_EQ(scoringStep(14).tableCode, kPointsAllowedTable);
    EXPECT_EQ(scoringStep(kConclusionStep).page, StepPage::Conclusion);
    EXPECT_EQ(scoringStep(kAreaStep).page, StepPage::Areas);
}

struct Move {
    enum Kind { Next, NextToAreas, Back } kind;
    int area = 0;
};

std::vector<int> walk(const std::vector<Move>& moves) {
    ScoringStepPath path;
    std::vector<int> visited;
    for (const Move& move : moves) {
        if (move.kind == Move::Back) {
            path.back();
        } else {
            path.next(move.kind == Move::NextToAreas, move.area);
        }
        visited.push_back(path.current());
    }
    return visited;
}

TEST(ScoringStepPath, NextBackAndTheAreaChooser) {
    using M = Move;
    struct Case {
        const char* name;
        std::vector<Move> moves;
        std::vector<int> visited;
    };
    const Case cases[] = {
        {"steps in order", {{M::Next}, {M::Next}, {M::Back}, {M::Back}}, {1, 2, 1, 0}},
        {"back at the start stays", {{M::Back}}, {0}},
        {"area box only counts on the introduction", {{M::Next}, {M::NextToAreas}}, {1, 2}},
        {"chooser leads to the area and back to itself",
         {{M::NextToAreas}, {M::Next, 13}, {M::Next}, {M::Back}, {M::Back}, {M::Back}},
         {20, 14, 15, 14, 20, 0}},
        {"an area beyond the list is the last one", {{M::NextToAreas}, {M::Next, 40}}, {20, 18}},
        {"no area chosen is the first", {{M::NextToAreas}, {M::Next, -1}}, {20, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(walk(c.moves), c.visited) << c.name;
    }
}

TEST(ScoringStepPath, TheConclusionIsTheEnd) {
    ScoringStepPath path;
    for (int step = 0; step < kConclusionStep; ++step) {
        EXPECT_TRUE(path.canGoNext());
        path.next(false, 0);
    }
    EXPECT_EQ(path.current(), kConclusionStep);
    EXPECT_FALSE(path.canGoNext());
    path.next(false, 0);
    EXPECT_EQ(path.current(), kConclusionStep);
    path.back();
    EXPECT_EQ(path.current(), kConclusionStep - 1);
}

TEST(ReadWholeNumber, LeadingDigitsWithAnOptionalMinus) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"", 0},
        {"12", 12},
        {"-3", -3},
        {"7 points", 7},
        {"abc", 0},
        {"+4", 0},
        {" 5", 0},
        {"--5", 0},
        {"2.5", 2},
        {"5-", 5},
        {"1a2", 1},
        {"-", 0},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readWholeNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace qff
