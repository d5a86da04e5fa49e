#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data02/model/Plyrqry.h"

namespace qff {

class Singleton;
struct MergeReport;

// What a caller does with these classes, for a week the week map offers:
//
//   WeekFetch fetch(season, week, map.remoteName(week));
//   fetch.begin() &&
//       fetch.transferred(ftp.getFile(fetch.remoteName(), fetch.archivePath()), ftp.lastReply()) &&
//       fetch.unpacked(archiver.extractAll(fetch.archivePath(), fetch.unpackFolder(), password));
//
// then merges fetch.statisticsPath() when status() is Success. Nothing in
// "Download" changes before the archive arrived whole, unpacked completely and
// its statistics file proved to belong to the week: until then everything
// lives in a staging folder that the object removes when it goes, so a failed
// or cancelled download leaves the earlier files and the season as they were.

// The statuses of the download dialog's file list.
enum class FetchStatus { Waiting, GettingFile, Extracting, Success, Failure };
// "Waiting", "Getting File", "Extracting", "Success", "Failure"
const char* fetchStatusText(FetchStatus status);

class WeekFetch {
  public:
    // `week` numbered from 1; `remoteName` as the week map gives it.
    WeekFetch(Singleton& context, int week, std::string remoteName);
    ~WeekFetch();
    WeekFetch(const WeekFetch&) = delete;
    WeekFetch& operator=(const WeekFetch&) = delete;

    int week() const { return week_; }
    const std::string& remoteName() const { return remoteName_; }
    FetchStatus status() const { return status_; }
    // Why the week failed, worded for the user; empty otherwise.
    const std::string& message() const { return message_; }

    // Creates "Download" and an empty staging folder (a stale one from an
    // interrupted run goes first); the status becomes GettingFile.
    bool begin();
    // Where the transfer is to write the archive.
    const std::filesystem::path& archivePath() const { return archivePath_; }
    // The transfer's outcome and, when it failed, the server's reply.
    bool transferred(bool ok, std::string_view reply);
    // Where the archive is to be unpacked.
    const std::filesystem::path& unpackFolder() const { return unpackFolder_; }
    // The unpacking's outcome and, when it failed, why. On success checks the
    // statistics file and moves it and the archive into "Download".
    bool unpacked(bool ok, std::string_view reason);
    // The week's statistics file in "Download", once the status is Success.
    const std::filesystem::path& statisticsPath() const { return statisticsPath_; }

  private:
    bool fail(std::string message);
    bool install();

    Singleton& context_;
    int seasonYear_;
    int week_;
    std::string remoteName_;
    std::filesystem::path staging_;
    std::filesystem::path archivePath_;
    std::filesystem::path unpackFolder_;
    std::filesystem::path statisticsPath_;
    FetchStatus status_ = FetchStatus::Waiting;
    std::string message_;
};

// Why a statistics file may not stand for `week` (numbered from 1) of the
// open season: it does not open or holds no records, belongs to another
// season, or holds records of another week. Nullopt when it may.
std::optional<std::string> checkWeekStatistics(Singleton& context,
                                               const std::filesystem::path& file, int week);
// The same for a roster update: of the open season, and roster records only.
std::optional<std::string> checkRosterUpdate(Singleton& context, const std::filesystem::path& file);

inline constexpr std::string_view kRosterNoConnectionMessage =
    "A connection could not be established to the Quillmar web site.";
// "An update has not been published for the <year> NFL rosters." and how to
// report out-of-date or missing players.
std::string rosterNotPublishedMessage(int seasonYear);

// The season's roster update ("Update<season>.ros") on its way into
// "Download", staged like a week's archive:
//
//   RosterFetch fetch(season);
//   fetch.begin() && fetch.transferred(ftp.getFile(fetch.remoteName(), fetch.stagedPath()));
//
// then merges fetch.localPath(). A file the server lacks, a failed transfer
// or a file of another season leaves the earlier local copy in place.
class RosterFetch {
  public:
    explicit RosterFetch(Singleton& context);
    ~RosterFetch();
    RosterFetch(const RosterFetch&) = delete;
    RosterFetch& operator=(const RosterFetch&) = delete;

    const std::string& remoteName() const { return remoteName_; }
    const std::string& message() const { return message_; }

    bool begin();
    const std::filesystem::path& stagedPath() const { return stagedPath_; }
    // On success checks the file and puts it in place; otherwise the message
    // is rosterNotPublishedMessage.
    bool transferred(bool ok);
    const std::filesystem::path& localPath() const { return localPath_; }

  private:
    bool fail(std::string message);

    Singleton& context_;
    int seasonYear_;
    std::string remoteName_;
    std::filesystem::path staging_;
    std::filesystem::path stagedPath_;
    std::filesystem::path localPath_;
    std::string message_;
};

// The players a roster update added that exist after its merge, by position
// and then by name, as the results list shows them.
PlyrList rosterUpdateResults(Singleton& context, const MergeReport& merged);

}  // namespace qff
