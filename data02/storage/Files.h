#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace qff {

// Data files are named in one case and found in any case, so a season copied
// from a case-insensitive file system keeps working. Returns the existing file
// whose name matches without regard to case, or the path as given when none does.
std::filesystem::path resolveNoCase(const std::filesystem::path& path);

bool equalsNoCase(std::string_view a, std::string_view b);

// The folders the program keeps in the working directory for itself. A
// league's report pages go to a folder named after the league, so a league
// of one of these names, in any case, would mix its pages with them.
inline constexpr std::array<std::string_view, 5> kProgramFolders{"Scratch", "Backup", "Download",
                                                                 "Support", "Template"};
bool isProgramFolder(std::string_view name);
bool endsWithNoCase(std::string_view text, std::string_view suffix);

// The two-digit season number of per-season files: year - 2000 from 2000 on,
// year - 1900 before; nullopt below 1900.
std::optional<int> seasonNumber(int year);

// What a path names, for a file that is only read. A FIFO would block its
// reader for good and a device such as /dev/zero never ends, so only a
// regular file of a bounded size is ever read.
enum class ReadableFile { Missing, Regular, NotRegular, TooLarge };
ReadableFile checkReadableFile(const std::filesystem::path& path, std::uintmax_t maxBytes);
// The whole file when it is a regular file of at most `maxBytes`; nothing
// otherwise, also when it grew beyond them since it was checked.
std::optional<std::string> readRegularFile(const std::filesystem::path& path,
                                           std::uintmax_t maxBytes);

// Ends the temporary name of a file still being written, so readers that
// list a folder can pass it over.
inline constexpr std::string_view kPartialSuffix = ".partial";

// A file written under a temporary sibling name and renamed over its real
// name only once complete, so a reader never finds half of it there and a
// failed write never costs the earlier file.
class StagedWrite {
  public:
    StagedWrite(std::filesystem::path target, std::filesystem::path temporary);
    // The temporary is the target's name followed by `suffix`.
    static StagedWrite beside(const std::filesystem::path& target, std::string_view suffix);

    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& temporary() const { return temporary_; }

    // Renames the temporary over the target; when that fails the temporary
    // is removed and `error` says why.
    bool replaceTarget(std::error_code& error);
    void discard();

  private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
};

}  // namespace qff
