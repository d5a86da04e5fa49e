#include "Arguments.h"

#include <charconv>

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

}  // namespace qff::cli
