#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qff {

class Singleton;
struct MergeReport;

// The rules of the statistics week list: which week the statistics server
// offers under which name, which weeks are downloaded and merged, and which
// weeks a download choice fetches. Weeks are numbered from 1 here, as the
// file names and the list show them; the season state's flags take the
// index (week - 1).

// Shown in the "File Name" column of a week the server does not offer.
inline constexpr std::string_view kNoRemoteFile = "NO FTP";

inline constexpr std::string_view kNoConnectionMessage =
    "A connection could not be established to the Quillmar web site.\n\n"
    "Information about available NFL statistics will not be surfaced.";
inline constexpr std::string_view kNoDownloadFolderMessage =
    "Failed to locate the Quillmar download directory.";
inline constexpr std::string_view kMondayMissingMessage =
    "You have merged NFL Statistics that did not include\n"
    "stats from Monday Night Football.\n\n"
    "Complete NFL statistics, including Monday's game,\n"
    "is posted each Tuesday morning by 9 a.m. PST.";
inline constexpr std::string_view kViewReportsQuestion = "Would you like to view reports now?";
inline constexpr std::string_view kFullyMergedLegend = "= Stats have been fully merged";
inline constexpr std::string_view kMondayMissingLegend =
    "= Stats for Monday's game are not available";
// "Download all unmerged weeks" finds nothing to fetch.
inline constexpr std::string_view kAllMergedMessage =
    "Every week the server offers is merged already.";
// Before any server is named, there is nothing to connect to.
inline constexpr std::string_view kNoStatsServerMessage =
    "No statistics server has been set up yet.";

// "NFL Statistics are not available for Week #<week>."
std::string notAvailableMessage(int week);
// The server's folder was found but could not be listed.
std::string listingFailedMessage(std::string_view reply);

// Names of the season's files, with the season number of the file names
// (2004 gives 4, 1999 gives 99); empty for a year before 1900.
std::string weekStatisticsName(int seasonYear, int week);    // "4_WK12.pts"
std::string weekArchiveName(int seasonYear, int week);       // "4_WK12.zip", as kept locally
std::string publishedArchiveName(int seasonYear, int week);  // "4_wk12.zip", as served
std::string rosterUpdateName(int seasonYear);                // "Update4.ros"

// "Download" below the working directory, where fetched files are kept.
std::filesystem::path downloadFolder(const std::filesystem::path& workdir);
// The week's local statistics file and archive, as they exist in any case
// of their names, else as they would be written.
std::filesystem::path localStatisticsPath(const std::filesystem::path& workdir, int seasonYear,
                                          int week);
std::filesystem::path localArchivePath(const std::filesystem::path& workdir, int seasonYear,
                                       int week);

// A name a server listed may only ever become a file name inside a folder
// of ours: not empty, no "/" or "\", no "..", no control characters.
bool isSafeRemoteName(std::string_view name);

// The week a listed name offers for the season: "<season>_wk<week>.zip" in
// any case, the week within the season. Nullopt for anything else, names of
// other seasons (season 14 is not season 4) and unsafe names among them.
std::optional<int> listedWeek(std::string_view name, int seasonYear);

// Which remote archive the server offers for each week of the season.
class WeekMap {
  public:
    // When a week is listed under several names, the first in byte order
    // is taken, so the choice does not depend on the server's order.
    WeekMap(int seasonYear, std::span<const std::string> listing);

    int seasonYear() const { return seasonYear_; }
    int weeks() const { return static_cast<int>(names_.size()); }
    bool available(int week) const { return !remoteName(week).empty(); }
    // Empty for a week the server does not offer or the season lacks.
    const std::string& remoteName(int week) const;

  private:
    int seasonYear_;
    std::vector<std::string> names_;
};

enum class MergeState { NotMerged, MondayMissing, FullyMerged };

// NotMerged while the week is not flagged as having statistics; otherwise
// FullyMerged when a team of the week's first Monday game shows pass yards
// in its QB unit, else MondayMissing (also when the week has no Monday game).
MergeState mergeState(Singleton& context, int week);
// "not merged", "Monday missing", "fully merged"
const char* mergeStateText(MergeState state);

// Unknown when the server could not be asked.
enum class Availability { Unknown, Yes, No };
// "N/A", "Yes", "No"
const char* availabilityText(Availability availability);

// One row of the week list.
struct WeekRow {
    int week = 0;
    Availability available = Availability::Unknown;
    // The week's local statistics file or archive exists.
    bool downloaded = false;
    MergeState merged = MergeState::NotMerged;
    // Empty when the server does not offer the week.
    std::string remoteName;
};

// What the "File Name" column shows: the remote name or kNoRemoteFile.
std::string fileNameText(const WeekRow& row);

// A row for every week of the open season; without a map (no connection)
// every week's availability is Unknown.
std::vector<WeekRow> weekRows(Singleton& context, const WeekMap* map);

enum class DownloadChoice { Week, Unmerged, All };

struct DownloadQueue {
    std::vector<int> weeks;
    // Set when the one week asked for is not offered; nothing is queued then.
    std::string message;
};

// Week: that week when the server offers it; Unmerged: every offered week
// not fully merged, Monday-missing weeks among them; All: every offered week.
DownloadQueue queueDownloads(std::span<const WeekRow> rows, DownloadChoice choice, int week = 0);

// After a merge: the week it made current becomes the viewed week unless the
// whole season is viewed. Returns that week's new state, so the caller knows
// whether to show kMondayMissingMessage once it has merged everything;
// nullopt when the merge brought no week (a roster update, a refused file).
std::optional<MergeState> noteMergedWeek(Singleton& context, const MergeReport& merged);

}  // namespace qff
