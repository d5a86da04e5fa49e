#include "cli/Arguments.h"

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
