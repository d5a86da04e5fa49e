#include "data02/scoring/Scoring_steps.h"

#include <algorithm>
#include <array>

#include "data02/scoring/Scoring_record.h"

namespace qff {
namespace {

constexpr CoreLine kPassingLines[] = {
    {"Score", kPerPassThrown, "points for each pass thrown.", 0, ""},
    {"Score", kPerPassCompleted, "points for each pass completed.", 0, ""},
    {"Subtract", kPerInterceptionThrown, "points for each interception thrown.", 0, ""},
    {"Score", kPerPassConversion, "points for each 2 point conversion thrown.", 0, ""},
    {"Score", kPassTdBonus, "points for passing", kPassTdBonusAt, "or more TD's."},
    {"Score", kPassYardsBonus, "points for passing", kPassYardsBonusAt, "or more yards."},
    {"Score", kNonQbPassTd, "points each time a non-QB passes a TD.", 0, ""},
};

constexpr CoreLine kRushingLines[] = {
    {"Score", kPerRush, "points for each ball carried.", 0, ""},
    {"Score", kPerRushConversion, "points for each 2 point conversion rushed.", 0, ""},
    {"Score", kRushTdBonus, "points for rushing", kRushTdBonusAt, "or more TD's."},
    {"Score", kRushYardsBonus, "points for rushing", kRushYardsBonusAt, "or more yards."},
    {"Score", kReceiverRushTd, "points each time a receiver rushes a TD.", 0, ""},
};

constexpr CoreLine kReceivingLines[] = {
    {"Score", kPerCatch, "points for each ball caught.", 0, ""},
    {"Score", kPerCatchConversion, "points for each 2 point conversion caught.", 0, ""},
    {"Score", kCatchTdBonus, "points for receiving", kCatchTdBonusAt, "or more TD's."},
    {"Score", kCatchYardsBonus, "points for receiving", kCatchYardsBonusAt, "or more yards."},
    {"Score", kQbCatchTd, "points each time a QB catches a TD.", 0, ""},
};

constexpr CoreLine kKickingLines[] = {
    {"Score", kPerExtraPoint, "points for extra point kicked.", 0, ""},
    {"Score", kFieldGoalBonus, "points for kicking", kFieldGoalBonusAt, "or more FG's."},
};

constexpr CoreLine kDefenseLines[] = {
    {"Score", kPerDefenseInterception, "points for each interception.", 0, ""},
    {"Score", kPerFumbleRecovered, "points for each recovered fumble.", 0, ""},
    {"Score", kPerSack, "points for each quarterback sack.", 0, ""},
    {"Score", kPerSafety, "points for each safety.", 0, ""},
    {"Score", kShutoutBonus, "points for a defensive shutout (no points allowed).", 0, ""},
    {"Score", kDefenseTdBonus, "points for scoring", kDefenseTdBonusAt, "or more defensive TD's."},
    {"Score", kSafetyBonus, "points for scoring", kSafetyBonusAt, "or more safeties."},
    {"Subtract", kPointsAllowedPenalty, "points for allowing more than", kPointsAllowedPenaltyAt,
     "points."},
    {"Subtract", kYardsAllowedPenalty, "points for allowing more than", kYardsAllowedPenaltyAt,
     "yards."},
};

constexpr CoreLine kSpecialTeamLines[] = {
    {"Score", kReturnTdBonus, "points for returning", kReturnTdBonusAt, "or more TD's."},
    {"Score", kReturnYardsBonus, "points for returning", kReturnYardsBonusAt, "or more yards."},
};

constexpr ScoringStep core(std::string_view title, std::span<const CoreLine> lines) {
    return {title, StepPage::Core, 0, lines, {}};
}

constexpr ScoringStep touchdowns(std::string_view title, int tableCode, TableWords words) {
    return {title, StepPage::Touchdown, tableCode, {}, words};
}

constexpr ScoringStep yards(std::string_view title, int tableCode, TableWords words) {
    return {title, StepPage::Yards, tableCode, {}, words};
}

constexpr ScoringStep text(std::string_view title, StepPage page) {
    return {title, page, 0, {}, {}};
}

const std::array<ScoringStep, kAreaStep + 1> kSteps = {
    text("Setup Your Scoring System", StepPage::Introduction),
    core("Passing - Core Information", kPassingLines),
    touchdowns("Passing - Touchdown", kPassTdTable,
               {"My league does not award points for passing a TD.", "points for each TD passed.",
                "yards of a passed TD."}),
    yards("Passing - Total Yards", kPassYardsTable,
          {"My league does not award points for yards passed.", "", "yards passed."}),
    core("Rushing - Core Information", kRushingLines),
    touchdowns("Rushing - Touchdown", kRushTdTable,
               {"My league does not award points for rushing a TD.", "points for each TD rushed.",
                "yards of a rushed TD."}),
    yards("Rushing - Total Yards", kRushYardsTable,
          {"My league does not award points for yards rushed.", "", "yards rushed."}),
    core("Receiving - Core Information", kReceivingLines),
    touchdowns("Receiving - Touchdown", kCatchTdTable,
               {"My league does not award points for catching a TD.", "points for each TD caught.",
                "yards of a caught TD."}),
    yards("Receiving - Total Yards", kCatchYardsTable,
          {"My league does not award points for yards caught.", "", "yards caught."}),
    core("Kicking - Core Information", kKickingLines),
    touchdowns("Kicking - Field Goal", kFieldGoalTable,
               {"My league does not award points for kicking a FG.", "points for each FG kicked.",
                "yards of a kicked FG."}),
    core("Defense - Core Information", kDefenseLines),
    touchdowns("Defense - Touchdown", kDefenseTdTable,
               {"My league does not award points for scoring a defensive TD.",
                "points for each defensive TD.", "yards of a defensive TD."}),
    yards("Defense - Points Allowed", kPointsAllowedTable,
          {"My league does not award points for points allowed.", "", "points allowed."}),
    yards("Defense - Yards Allowed", kYardsAllowedTable,
          {"My league does not award points for yards allowed.", "", "yards allowed."}),
    core("Special Teams - Core Info.", kSpecialTeamLines),
    touchdowns("Special Teams - Touchdown", kReturnTdTable,
               {"My league does not award points for scoring a special team TD.",
                "points for each special team TD.", "yards of a special team TD."}),
    yards("Special Teams - Yards", kReturnYardsTable,
          {"My league does not award points for special team yards.", "", "special team yards."}),
    text("Conclusion", StepPage::Conclusion),
    text("Scoring System Areas", StepPage::Areas),
};

}  // namespace

std::span<const ScoringStep> scoringSteps() {
    return kSteps;
}

const ScoringStep& scoringStep(int step) {
    return kSteps.at(static_cast<std::size_t>(step));
}

void ScoringStepPath::next(bool toAreas, int area) {
    history_.push_back(current_);
    if (current_ == kIntroductionStep && toAreas) {
        current_ = kAreaStep;
    } else if (current_ == kAreaStep) {
        current_ = kFirstAreaStep + std::clamp(area, 0, kLastAreaStep - kFirstAreaStep);
    } else if (current_ < kConclusionStep) {
        ++current_;
    } else {
        history_.pop_back();
    }
}

void ScoringStepPath::back() {
    if (!history_.empty()) {
        current_ = history_.back();
        history_.pop_back();
    }
}

}  // namespace qff
