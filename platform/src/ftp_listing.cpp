#include "qff/platform/ftp_listing.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace qff::platform {

namespace {

bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

std::string lowercase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// MLSD times are UTC, "YYYYMMDDHHMMSS" with optional fractional seconds.
std::optional<std::chrono::sys_seconds> parseModifyFact(std::string_view text) {
    using namespace std::chrono;
    if (text.size() < 14) {
        return std::nullopt;
    }
    const auto year = parseNumber<int>(text.substr(0, 4));
    const auto monthDayTime = parseNumber<unsigned>(text.substr(4, 4));
    const auto hour = parseNumber<int>(text.substr(8, 2));
    const auto minute = parseNumber<int>(text.substr(10, 2));
    const auto second = parseNumber<int>(text.substr(12, 2));
    if (!year || !monthDayTime || !hour || !minute || !second) {
        return std::nullopt;
    }
    const year_month_day date{std::chrono::year{*year}, month{*monthDayTime / 100},
                              day{*monthDayTime % 100}};
    if (!date.ok() || *hour > 23 || *minute > 59 || *second > 60) {
        return std::nullopt;
    }
    return sys_days{date} + hours{*hour} + minutes{*minute} + seconds{*second};
}

// Splits off the first `count` blank-separated fields; the rest of the line, which may hold
// blanks itself, becomes the last element.
std::optional<std::vector<std::string_view>> splitFields(std::string_view line, std::size_t count) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
            ++pos;
        }
    };
    for (std::size_t i = 0; i < count; ++i) {
        skipBlanks();
        const std::size_t end = line.find_first_of(" \t", pos);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        parts.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    skipBlanks();
    if (pos >= line.size()) {
        return std::nullopt;
    }
    parts.push_back(line.substr(pos));
    return parts;
}

std::optional<FtpItem> makeItem(std::string_view rawName, std::optional<std::uint64_t> size,
                                bool isDirectory) {
    std::optional<std::string> name = safeListingName(rawName);
    if (!name || (!size && !isDirectory)) {
        return std::nullopt;
    }
    return FtpItem{*name, size.value_or(0), isDirectory, std::nullopt};
}

// "-rw-r--r--   1 owner group   1234 Jan 01 12:00 name"
std::optional<FtpItem> parseUnixLine(std::string_view line) {
    const auto fields = splitFields(line, 8);
    if (!fields || (*fields)[0].size() < 10) {
        return std::nullopt;
    }
    const char type = (*fields)[0][0];
    std::string_view name = (*fields)[8];
    if (type == 'l') {
        name = name.substr(0, name.find(" -> "));
    }
    return makeItem(name, parseNumber<std::uint64_t>((*fields)[4]), type == 'd');
}

// "01-01-23  12:00PM       <DIR>          name"
std::optional<FtpItem> parseDosLine(std::string_view line) {
    const auto fields = splitFields(line, 3);
    if (!fields) {
        return std::nullopt;
    }
    const bool isDirectory = (*fields)[2] == "<DIR>";
    return makeItem((*fields)[3], parseNumber<std::uint64_t>((*fields)[2]), isDirectory);
}

}  // namespace

std::optional<std::string> safeListingName(std::string_view raw) {
    if (std::any_of(raw.begin(), raw.end(), isControl) ||
        raw.find('\\') != std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = raw.find('/', start);
        if (raw.substr(start, slash - start) == "..") {
            return std::nullopt;
        }
        if (slash == std::string_view::npos) {
            break;
        }
        start = slash + 1;
    }
    const std::string_view base = raw.substr(start);
    if (base.empty() || base == ".") {
        return std::nullopt;
    }
    return std::string(base);
}

std::optional<FtpItem> parseMlsdLine(std::string_view line) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) {
        return std::nullopt;
    }
    FtpItem item;
    std::string_view facts = line.substr(0, blank);
    while (!facts.empty()) {
        const std::size_t semicolon = facts.find(';');
        const std::string_view fact = facts.substr(0, semicolon);
        facts =
            semicolon == std::string_view::npos ? std::string_view{} : facts.substr(semicolon + 1);
        const std::size_t equals = fact.find('=');
        const std::string key = lowercase(fact.substr(0, equals));
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view{} : fact.substr(equals + 1);
        if (key == "type") {
            const std::string type = lowercase(value);
            if (type == "cdir" || type == "pdir") {
                return std::nullopt;
            }
            item.isDirectory = type == "dir";
        } else if (key == "size") {
            item.size = parseNumber<std::uint64_t>(value).value_or(0);
        } else if (key == "modify") {
            item.modified = parseModifyFact(value);
        }
    }
    std::optional<std::string> name = safeListingName(line.substr(blank + 1));
    if (!name) {
        return std::nullopt;
    }
    item.name = std::move(*name);
    return item;
}

std::optional<FtpItem> parseListLine(std::string_view line) {
    if (line.empty() || line.starts_with("total ")) {
        return std::nullopt;
    }
    if (std::isdigit(static_cast<unsigned char>(line.front()))) {
        return parseDosLine(line);
    }
    return parseUnixLine(line);
}

}  // namespace qff::platform
