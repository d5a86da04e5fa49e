#include "cli/Arguments.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <vector>

namespace qff::cli {

std::optional<int> parseInteger(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<WeekChoice> parseWeek(std::string_view text) {
    if (text == "all") {
        return WeekChoice{.wholeSeason = true};
    }
    std::optional<int> week = parseInteger(text);
    if (!week || *week < 1) {
        return std::nullopt;
    }
    return WeekChoice{.index = *week - 1};
}

CLI::Option* addWeekOption(CLI::App* command, std::string& text, WholeSeason wholeSeason,
                           WeekNeeded needed, std::string_view note) {
    bool allowAll = wholeSeason == WholeSeason::Allowed;
    std::string accepted = allowAll ? "a number from 1 or \"all\"" : "a number from 1";
    std::string help = allowAll ? "Week of play counted from 1, or \"all\" for the whole season"
                                : "Week of play counted from 1";
    if (!note.empty()) {
        help += " (" + std::string(note) + ")";
    }
    CLI::Option* option = command->add_option("--week", text, help);
    option->check([allowAll, accepted](const std::string& given) {
        std::optional<WeekChoice> week = parseWeek(given);
        return week && (allowAll || !week->wholeSeason)
                   ? std::string()
                   : "not a week of play: " + given + "; a week is " + accepted;
    });
    if (needed == WeekNeeded::Required) {
        option->required();
    }
    return option;
}

int weekIndexOf(std::string_view text, int whenAbsent) {
    if (text.empty()) {
        return whenAbsent;
    }
    WeekChoice week = *parseWeek(text);
    return week.wholeSeason ? kAllWeeks : week.index;
}

PlayerQueryNode playerSelection(const std::string& position, const std::string& team) {
    PlayerQueryNode node;
    if (!position.empty()) {
        node.setSelectCode(PlayerQueryNode::kByPosition);
        // A number names a position code directly, so team units (10 to 16) can be asked for.
        if (std::optional<int> code = parseInteger(position)) {
            std::vector<int> codes{*code};
            node.setValues(codes);
        } else {
            node.setText(position);
        }
    } else if (!team.empty()) {
        node.setSelectCode(PlayerQueryNode::kByTeam);
        node.setText(team);
    }
    return node;
}

}  // namespace qff::cli
