#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data02/model/Plyrqry.h"
#include "data02/storage/Weeks.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace qff::cli {

// A week as the user names it on the command line: a week of play counted
// from 1, or "all" for the whole season. The data library counts from 0.
struct WeekChoice {
    bool wholeSeason = false;
    int index = 0;
};

std::optional<WeekChoice> parseWeek(std::string_view text);

enum class WholeSeason { Allowed, Refused };
enum class WeekNeeded { Required, Optional };

// Adds --week to a command, checked while parsing so that every command
// refuses a week it cannot use with the same message. `note` ends the help
// text, such as what an absent week means.
CLI::Option* addWeekOption(CLI::App* command, std::string& text, WholeSeason wholeSeason,
                           WeekNeeded needed, std::string_view note = {});

// The data library's week of a checked --week: kAllWeeks for "all", and
// `whenAbsent` when the option was not given.
int weekIndexOf(std::string_view text, int whenAbsent = kAllWeeks);

// The whole text as a decimal integer that fits an int, or nothing.
std::optional<int> parseInteger(std::string_view text);

// A player selection by position (a name, or a code such as 15 for team
// defenses) or else by NFL team; all players when both are empty.
PlayerQueryNode playerSelection(const std::string& position, const std::string& team);

}  // namespace qff::cli
