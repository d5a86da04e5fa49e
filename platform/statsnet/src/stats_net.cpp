#include "qff/statsnet/stats_net.h"

#include "data02/intake/StatsPublish.h"
#include "qff/platform/zip_archiver.h"

namespace qff::statsnet {

namespace fs = std::filesystem;

platform::FtpSettings ftpSettings(const StatsServerSettings& settings) {
    platform::FtpSettings ftp;
    ftp.host = settings.host;
    ftp.port = settings.port;
    ftp.user = settings.user;
    ftp.password = settings.password;
    return ftp;
}

std::string enterDownloadFolder(platform::FtpClient& ftp, const StatsServerSettings& settings,
                                std::string_view noConnection) {
    if (settings.host.empty()) {
        return std::string(kNoStatsServerMessage);
    }
    if (!ftp.connect(ftpSettings(settings))) {
        return std::string(noConnection);
    }
    if (!ftp.changeDir(settings.folder)) {
        return std::string(kNoDownloadFolderMessage);
    }
    return {};
}

std::optional<WeekMap> listWeeks(platform::FtpClient& ftp, int seasonYear, std::string& message) {
    std::vector<std::string> names;
    bool listed = ftp.list(".", [&names](const platform::FtpItem& item) {
        if (!item.isDirectory) {
            names.push_back(item.name);
        }
    });
    if (!listed) {
        message = listingFailedMessage(ftp.lastReply());
        return std::nullopt;
    }
    return WeekMap(seasonYear, names);
}

bool transferWeek(platform::FtpClient& ftp, WeekFetch& fetch) {
    if (!fetch.begin()) {
        return false;
    }
    bool transferred = ftp.getFile(fetch.remoteName(), fetch.archivePath());
    return fetch.transferred(transferred, ftp.lastReply());
}

bool unpackWeek(platform::Archiver& archiver, WeekFetch& fetch, std::string_view archivePassword) {
    platform::ArchiveResult unpacked =
        archiver.extractAll(fetch.archivePath(), fetch.unpackFolder(), archivePassword);
    return fetch.unpacked(unpacked.ok, unpacked.message);
}

bool fetchWeek(platform::FtpClient& ftp, platform::Archiver& archiver, WeekFetch& fetch,
               std::string_view archivePassword) {
    return transferWeek(ftp, fetch) && unpackWeek(archiver, fetch, archivePassword);
}

bool fetchRosterUpdate(platform::FtpClient& ftp, RosterFetch& fetch) {
    return fetch.begin() && fetch.transferred(ftp.getFile(fetch.remoteName(), fetch.stagedPath()));
}

PublishOutcome publishStatistics(Singleton& season, const fs::path& folder,
                                 const std::string& archivePassword) {
    PublishOutcome outcome;
    outcome.folder = folder;
    outcome.encrypted = !archivePassword.empty();
    PublishPlan plan = planPublish(season);
    outcome.leftOut = plan.leftOut;
    if (!preparePublishFolder(folder, outcome.error)) {
        return outcome;
    }
    platform::ZipArchiver archiver;
    for (const PublishedWeek& week : plan.weeks) {
        std::vector<fs::path> names{week.statistics.filename()};
        platform::ArchiveResult packed = archiver.packTree(
            folder / week.archiveName, week.statistics.parent_path(), names, archivePassword);
        if (!packed.ok) {
            outcome.error = week.archiveName + " could not be written: " + packed.message;
            return outcome;
        }
        outcome.archives.push_back(week.archiveName);
    }
    if (!publishRosterUpdate(plan, folder, outcome.error)) {
        return outcome;
    }
    if (!plan.rosterUpdate.empty()) {
        outcome.rosterUpdate = plan.rosterUpdateName;
    }
    outcome.ok = true;
    return outcome;
}

}  // namespace qff::statsnet
