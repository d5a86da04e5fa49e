#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace qff {

// Data files are named in one case and found in any case, so a season copied
// from a case-insensitive file system keeps working. Returns the existing file
// whose name matches without regard to case, or the path as given when none does.
std::filesystem::path resolveNoCase(const std::filesystem::path& path);

bool equalsNoCase(std::string_view a, std::string_view b);
bool endsWithNoCase(std::string_view text, std::string_view suffix);

// The two-digit season number of per-season files: year - 2000 from 2000 on,
// year - 1900 before; nullopt below 1900.
std::optional<int> seasonNumber(int year);

}  // namespace qff
