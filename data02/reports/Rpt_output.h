#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data02/diag/Status.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_gen.h"

namespace qff {

class SeasonState;
class Singleton;

// ---- the report tree's groups

inline constexpr int kReportGroupCount = 10;
// Group 0 is the site map; every other group is named by the report type it
// shows, and the three overview groups hold the objects of their overview.
enum ReportGroup {
    kSiteMapGroup = 0,
    kFranchiseOverviewGroup = kFranchiseOverview,
    kPlayerOverviewGroup = kPlayerOverview,
    kNflOverviewGroup = kNflOverview,
};

// One group of the report tree, in the order the tree shows them.
struct ReportTreeGroup {
    int group;
    std::string_view caption;
    // Lists the league's reports of its type rather than overview objects.
    bool listsReports;
};

inline constexpr std::array<ReportTreeGroup, kReportGroupCount> kReportTreeGroups = {{
    {kSiteMapGroup, "Report Site Map", false},
    {kFranchiseReport, "Franchise Reports", true},
    {kFranchiseOverviewGroup, "Franchise Overview", false},
    {kPlayerReport, "Player Reports", true},
    {kPlayerOverviewGroup, "Player Overview", false},
    {kNflOverviewGroup, "NFL Team Overview", false},
    {kPlayerSummary, "Season Overview", true},
    {kDraftDayReport, "Draft Day Assistant", true},
    {kLeagueInformation, "Miscellaneous", true},
    {kReportPack, "Report Packs", true},
}};

// Empty outside 0 to 9.
std::string reportGroupCaption(int group);

// Head-to-head reports the tree leaves out while the league has no schedule.
bool needsHeadToHeadSchedule(std::string_view reportName);

// A report node of the tree: the report and the group it is listed under.
struct TreeReport {
    int id = 0;
    std::string name;
    int group = 0;
};

// The report nodes the tree shows for the current league, group by group
// and in report-id order within a group: listed reports of groups 1, 3 and
// 6 to 9, franchise reports only when the league has franchises, and the
// head-to-head reports only when it has a schedule.
std::vector<TreeReport> treeReports(Singleton& context, int league);

// ---- output names

// The page's file name: the report name with its week part (" - All Weeks",
// " - Week 3" or " - Weeks 3 to 5"; the season-wide reports always " - All
// Weeks") and ".HTM", each ':' a blank. An overview page takes the name of
// its object in place of the report name.
std::string reportFileName(std::string_view reportName, int first, int last, int seasonWeeks,
                           std::optional<std::string_view> overviewObject = std::nullopt);

// Below the working directory: the league's folder, one folder per caption
// of the node's ancestors from the root down, then the file name; each part
// cleaned so that no name leads elsewhere.
PagePath reportPagePath(std::string_view leagueName, std::span<const std::string> groupCaptions,
                        std::string_view reportName, int first, int last, int seasonWeeks,
                        std::optional<std::string_view> overviewObject = std::nullopt);

// ---- site map

inline constexpr const char* kSiteMapTitle = "Site Map of All Generated Reports";
inline constexpr const char* kSiteMapExtension = ".htm";

struct SiteMapEntry {
    std::string name;
    // Relative to the working directory, percent-encoded.
    std::string link;
};

struct SiteMapGroup {
    std::string title;
    std::vector<SiteMapEntry> pages;
};

// "Report Site Map.htm" in the working directory.
PagePath siteMapPath();

// The page name a site map shows for a file name: lower case with the first
// double blank (a ':' of the report name) back as ": ", then capitalised.
std::string siteMapName(std::string_view fileName);

// Pages found in the folders below the working directory (not "support" or
// "template", nor through symbolic links), grouped for the site map in its
// order: "Miscelaneous Reports", "Season Totals", then "Week 1" to the last
// week of the season; groups without pages are left out.
std::vector<SiteMapGroup> siteMapGroups(const std::filesystem::path& workdir,
                                        std::string_view extension, int seasonWeeks);

// ---- running a page

// Sets a season state value for a while and puts the previous value back,
// or `afterwards` when given, however the scope ends.
class ScopedStateValue {
  public:
    ScopedStateValue(SeasonState& state, int id, int value,
                     std::optional<int> afterwards = std::nullopt);
    // Only puts back what the scope may change.
    ScopedStateValue(SeasonState& state, int id);
    ~ScopedStateValue();
    ScopedStateValue(const ScopedStateValue&) = delete;
    ScopedStateValue& operator=(const ScopedStateValue&) = delete;

  private:
    SeasonState& state_;
    int id_;
    int previous_;
};

enum class ReportNode { Report, FranchiseOverview, PlayerOverview, NflOverview };

// What the user chose: a report node, or the object of an overview node.
struct ReportTarget {
    ReportNode node = ReportNode::Report;
    // Captions of the node's ancestors in the report tree, from the root down.
    std::vector<std::string> captions;
    int franchise = 0;
    int player = 0;
    int nflTeam = -1;
};

// The captions above a report node of `type`, or above an overview
// object; a player's node sits in its NFL team's folder.
std::vector<std::string> nodeCaptions(Singleton& context, const ReportTarget& target,
                                      int reportType);

struct ReportRunResult {
    int status = kFailed;
    // The page, once put in place.
    std::optional<std::filesystem::path> page;
    // What to tell the user; empty when the run has nothing to say.
    std::string message;
};

// Runs one report (or overview) into its page for the current league:
// checks the league's scoring and schedule, writes the page and puts it in
// place. The report's stored selection is never changed, and the season
// state's view week and generation flag are as before whatever happens.
ReportRunResult runReportPage(Singleton& context, Report* report, const ReportTarget& target,
                              int first, int last);

// Writes the site map of every generated page.
ReportRunResult writeReportSiteMap(Singleton& context);

}  // namespace qff
