#include "data02/shell/Support.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <system_error>

#include "data02/league/Listhelp.h"

namespace qff {
namespace {

constexpr int kNo = kNoOutlookPair;

// A topic that opens an activity's page: the page comes from the activity.
constexpr HelpPage activityTopic(std::string_view topic, int section, int activity) {
    return {topic, section, activity, findActivity(section, activity)->helpPage};
}

constexpr std::array<HelpPage, 23> kHelpPages = {{
    activityTopic("About this product", 0, 0),
    activityTopic("Check out some features", 0, 1),
    activityTopic("What about the Internet?", 0, 3),
    activityTopic("Submit an issue", 0, 4),
    activityTopic("Using the help system", 0, 5),
    {"How to run a league", kNo, kNo, "4League.htm"},
    {"A letter to team owners", kNo, kNo, "4Owner.htm"},
    activityTopic("", 1, 0),
    activityTopic("How do I establish Franchises?", 1, 6),
    activityTopic("Using the Draft Day Assistant", 1, 7),
    activityTopic("How do I establish rosters?", 1, 8),
    activityTopic("How do I setup a schedule?", 1, 10),
    activityTopic("What about my scoring system?", 1, 11),
    activityTopic("", 2, 0),
    activityTopic("Manipulating rosters", 2, 9),
    activityTopic("All about NFL statistics", 2, 13),
    activityTopic("Backing up your data", 2, 15),
    {"All about Quillmar reports", kNo, kNo, "NeedHelp.htm"},
    {"Creating custom reports", kNo, kNo, "ReportAssistant.htm"},
    {"Editing established reports", kNo, kNo, "ReportAssistant.htm"},
    activityTopic("Viewing reports", kReportSection, 0),
    activityTopic("EMailing reports to owners", 2, 14),
    {"Using reports on your Web site", kNo, kNo, "NeedHelp.htm"},
}};

bool equalsNoCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

template <class Matches>
std::string firstPageWhere(Matches matches) {
    auto found = std::ranges::find_if(kHelpPages, matches);
    return std::string(found == kHelpPages.end() ? kNeedHelpPage : found->file);
}

bool isFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::span<const HelpPage> helpPages() {
    return kHelpPages;
}

std::string helpPageFor(int section, int activity) {
    const Activity* entry = findActivity(section, activity);
    return std::string(entry == nullptr ? kNeedHelpPage : entry->helpPage);
}

std::string helpPageForTopic(std::string_view name) {
    if (name.empty()) {
        return kNeedHelpPage;
    }
    return firstPageWhere([&](const HelpPage& page) { return equalsNoCase(page.topic, name); });
}

std::filesystem::path supportFilePath(const std::filesystem::path& workdir,
                                      const std::filesystem::path& programDir,
                                      std::string_view file) {
    std::filesystem::path inWorkdir = workdir / kSupportFolder / file;
    std::filesystem::path besideProgram = programDir / kSupportFolder / file;
    return !isFile(inWorkdir) && isFile(besideProgram) ? besideProgram : inWorkdir;
}

std::filesystem::path cleanedPagePath(const std::filesystem::path& page, bool colonToo) {
    return page.parent_path() / safeFileName(page.filename().string(), colonToo);
}

}  // namespace qff
