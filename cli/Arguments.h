#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data02/model/Plyrqry.h"

namespace qff::cli {

// A week as the user names it on the command line: a week of play counted
// from 1, or "all" for the whole season. The data library counts from 0.
struct WeekChoice {
    bool wholeSeason = false;
    int index = 0;
};

std::optional<WeekChoice> parseWeek(std::string_view text);

// The whole text as a decimal integer that fits an int, or nothing.
std::optional<int> parseInteger(std::string_view text);

// A player selection by position (a name, or a code such as 15 for team
// defenses) or else by NFL team; all players when both are empty.
PlayerQueryNode playerSelection(const std::string& position, const std::string& team);

}  // namespace qff::cli
