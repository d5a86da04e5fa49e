#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qff::platform {

struct ArchiveResult {
    bool ok = false;
    std::string message;
};

// Backups, mailed exports and statistics downloads all go through this interface, so the
// season code can be tested with a substitute and never learns which library does the work.
// An empty password means the archive is not encrypted.
class Archiver {
  public:
    virtual ~Archiver() = default;

    // Stores each file under its name relative to root, so the tree can be restored as it was.
    virtual ArchiveResult packTree(const std::filesystem::path& archive,
                                   const std::filesystem::path& root,
                                   const std::vector<std::filesystem::path>& relativeNames,
                                   std::string_view password) = 0;

    // Stores each file under its bare file name, as a mail recipient expects to see it; a name
    // already taken (in any case) gets a number before its extension.
    virtual ArchiveResult packFlat(const std::filesystem::path& archive,
                                   const std::vector<std::filesystem::path>& files,
                                   std::string_view password) = 0;

    // Replaces existing files of the same name; stops at, and reports, the first failure.
    virtual ArchiveResult extractAll(const std::filesystem::path& archive,
                                     const std::filesystem::path& targetDir,
                                     std::string_view password) = 0;
};

}  // namespace qff::platform
