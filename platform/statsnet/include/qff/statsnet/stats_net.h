#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data02/intake/StatsFetch.h"
#include "data02/intake/StatsServer.h"
#include "data02/intake/StatsWeeks.h"
#include "qff/platform/archiver.h"
#include "qff/platform/ftp_client.h"

namespace qff {
class Singleton;
}

namespace qff::statsnet {

// The statistics server's side of a download: the FTP session and the
// archiver driven through the data layer's fetch objects, which hold every
// rule and message. Nothing here talks to the user.

platform::FtpSettings ftpSettings(const StatsServerSettings& settings);

// Connects and enters the download folder. Empty on success, else the
// message to show: kNoStatsServerMessage, `noConnection`, or
// kNoDownloadFolderMessage.
std::string enterDownloadFolder(platform::FtpClient& ftp, const StatsServerSettings& settings,
                                std::string_view noConnection);

// The weeks the download folder offers for the season; nullopt with
// `message` set when it cannot be listed.
std::optional<WeekMap> listWeeks(platform::FtpClient& ftp, int seasonYear, std::string& message);

// The two halves of fetchWeek, for a window that shows each: the archive
// arrives in the fetch's staging folder; then it is unpacked and the week
// put in place.
bool transferWeek(platform::FtpClient& ftp, WeekFetch& fetch);
bool unpackWeek(platform::Archiver& archiver, WeekFetch& fetch, std::string_view archivePassword);

// Fetches, unpacks and puts one week in place; the fetch's status and
// message tell how it went.
bool fetchWeek(platform::FtpClient& ftp, platform::Archiver& archiver, WeekFetch& fetch,
               std::string_view archivePassword);

bool fetchRosterUpdate(platform::FtpClient& ftp, RosterFetch& fetch);

// What publishing the open season's statistics did.
struct PublishOutcome {
    bool ok = false;
    std::string error;
    std::filesystem::path folder;
    std::vector<std::string> archives;
    std::string rosterUpdate;
    bool encrypted = false;
    std::vector<std::string> leftOut;
};

// Writes the weekly archives and the roster update into `folder`, the
// archives encrypted with `archivePassword` when it is not empty.
PublishOutcome publishStatistics(Singleton& season, const std::filesystem::path& folder,
                                 const std::string& archivePassword);

}  // namespace qff::statsnet
