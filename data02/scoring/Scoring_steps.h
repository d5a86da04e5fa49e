#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace qff {

// What the scoring wizard shows on a step.
enum class StepPage { Introduction, Core, Touchdown, Yards, Conclusion, Areas };

// One sentence of a core page: "Score" X "points for passing" Y "or more
// TD's.". `second` is 0 for a sentence with one value.
struct CoreLine {
    std::string_view lead;
    int first;
    std::string_view middle;
    int second;
    std::string_view tail;
};

// The texts of a table page's choices and of its range list.
struct TableWords {
    std::string_view none;
    std::string_view each;
    std::string_view every;
};

struct ScoringStep {
    std::string_view title;
    StepPage page;
    int tableCode;
    std::span<const CoreLine> lines;
    TableWords words;
};

inline constexpr int kIntroductionStep = 0;
inline constexpr int kConclusionStep = 19;
inline constexpr int kAreaStep = 20;
// The areas a commissioner may jump to are the steps between these two.
inline constexpr int kFirstAreaStep = 1;
inline constexpr int kLastAreaStep = 18;

std::span<const ScoringStep> scoringSteps();
const ScoringStep& scoringStep(int step);

// The wizard's way through its steps, with the history "Back" returns along.
class ScoringStepPath {
  public:
    int current() const { return current_; }
    bool canGoBack() const { return !history_.empty(); }
    bool canGoNext() const { return current_ != kConclusionStep; }

    // From the introduction to the area chooser when `toAreas`; from the
    // chooser to the step of the chosen area (0 for the first), whose way
    // back leads to the chooser again.
    void next(bool toAreas, int area);
    void back();

  private:
    int current_ = kIntroductionStep;
    std::vector<int> history_;
};

}  // namespace qff
