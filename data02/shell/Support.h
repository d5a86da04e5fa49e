#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "data02/shell/Activities.h"

namespace qff {

// The page shown wherever no page of its own was written yet.
inline constexpr const char* kNeedHelpPage = "NeedHelp.htm";

// The folder, below the working directory and beside the program, that
// holds the help pages and the texts of the activity pages.
inline constexpr const char* kSupportFolder = "Support";

// One help page: the topic that names it (empty when none does), the
// outlook pair it belongs to, and its file in the support folder.
struct HelpPage {
    std::string_view topic;
    int section;
    int activity;
    std::string_view file;
};

// Every help page, in the order a lookup tries them.
std::span<const HelpPage> helpPages();

// The page of the pair's activity; NeedHelp.htm for a pair the outlook does
// not have, the "no pair" value among them.
std::string helpPageFor(int section, int activity);

// The file of the first page whose topic equals `name` without regard to
// case; NeedHelp.htm for an unknown or empty name.
std::string helpPageForTopic(std::string_view name);

// `file` in the working directory's support folder when it is there, else
// in the program's own support folder; the working directory's path when
// neither has it, so the caller can say which page is missing.
std::filesystem::path supportFilePath(const std::filesystem::path& workdir,
                                      const std::filesystem::path& programDir,
                                      std::string_view file);

// The page with its file name made fit to be a file name (a ':' too when
// asked); the folders are kept as they are, since they name real places.
std::filesystem::path cleanedPagePath(const std::filesystem::path& page, bool colonToo);

}  // namespace qff
