#include "data02/intake/StatsFetch.h"

#include <algorithm>
#include <system_error>

#include "data02/intake/StatsWeeks.h"
#include "data02/intake/Statsmerge.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/season/Single.h"
#include "data02/storage/Files.h"
#include "data02/storage/Ptsfile.h"

namespace qff {
namespace {

namespace fs = std::filesystem;

// What every record of a file must carry in its week field.
std::optional<std::string> checkRecords(Singleton& context, const fs::path& file, int weekField,
                                        const std::string& wrongWeek) {
    std::string name = file.filename().string();
    int season = context.playerFile().year();
    PtsFile pts(context.memory(), context.strBuf());
    if (pts.open(file) != 0) {
        return "The statistics file " + name + " is damaged: " + pts.lastError();
    }
    if (pts.fileYear() != season) {
        return otherSeasonMessage(pts.fileYear(), season);
    }
    if (!pts.hasRecord()) {
        return "The statistics file " + name + " holds no records.";
    }
    for (; pts.hasRecord(); pts.next()) {
        if (pts.value(kPlayerWeek) != weekField) {
            return wrongWeek;
        }
    }
    return std::nullopt;
}

bool createDownloadFolder(const fs::path& workdir, std::string& error) {
    std::error_code ec;
    fs::create_directories(downloadFolder(workdir), ec);
    if (ec) {
        error = "The folder " + downloadFolder(workdir).string() +
                " could not be created: " + ec.message();
        return false;
    }
    return true;
}

bool moveInto(const fs::path& from, const fs::path& to, std::string& error) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec) {
        error = to.filename().string() + " could not be put in place: " + ec.message();
        return false;
    }
    return true;
}

void removeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

bool byPositionThenName(const Player* a, const Player* b) {
    if (a->storedPosition() != b->storedPosition()) {
        return a->storedPosition() < b->storedPosition();
    }
    return a->name() < b->name();
}

}  // namespace

const char* fetchStatusText(FetchStatus status) {
    switch (status) {
        case FetchStatus::Waiting:
            return "Waiting";
        case FetchStatus::GettingFile:
            return "Getting File";
        case FetchStatus::Extracting:
            return "Extracting";
        case FetchStatus::Success:
            return "Success";
        case FetchStatus::Failure:
            return "Failure";
    }
    return "";
}

std::optional<std::string> checkWeekStatistics(Singleton& context, const fs::path& file, int week) {
    return checkRecords(context, file, week - 1,
                        "The statistics file " + file.filename().string() +
                            " holds statistics of another week than week " + std::to_string(week) +
                            ".");
}

std::optional<std::string> checkRosterUpdate(Singleton& context, const fs::path& file) {
    return checkRecords(
        context, file, kRosterWeek,
        "The roster update " + file.filename().string() + " holds weekly statistics, not rosters.");
}

WeekFetch::WeekFetch(Singleton& context, int week, std::string remoteName)
    : context_(context),
      seasonYear_(context.playerFile().year()),
      week_(week),
      remoteName_(std::move(remoteName)) {
    std::string stem = weekStatisticsName(seasonYear_, week_);
    stem = stem.substr(0, stem.rfind('.'));
    staging_ = downloadFolder(context.workdir()) / (stem + std::string(kPartialSuffix));
    archivePath_ = staging_ / weekArchiveName(seasonYear_, week_);
    unpackFolder_ = staging_ / "unpacked";
}

WeekFetch::~WeekFetch() {
    removeQuietly(staging_);
}

bool WeekFetch::fail(std::string message) {
    status_ = FetchStatus::Failure;
    message_ = std::move(message);
    removeQuietly(staging_);
    return false;
}

bool WeekFetch::begin() {
    std::string error;
    if (!isSafeRemoteName(remoteName_)) {
        return fail(notAvailableMessage(week_));
    }
    if (!createDownloadFolder(context_.workdir(), error)) {
        return fail(error);
    }
    removeQuietly(staging_);
    std::error_code ec;
    fs::create_directories(unpackFolder_, ec);
    if (ec) {
        return fail("The folder " + unpackFolder_.string() +
                    " could not be created: " + ec.message());
    }
    status_ = FetchStatus::GettingFile;
    return true;
}

bool WeekFetch::transferred(bool ok, std::string_view reply) {
    if (!ok) {
        return fail("The statistics of week " + std::to_string(week_) +
                    " could not be downloaded: " + std::string(reply));
    }
    status_ = FetchStatus::Extracting;
    return true;
}

bool WeekFetch::unpacked(bool ok, std::string_view reason) {
    if (!ok) {
        return fail("The statistics archive " + remoteName_ +
                    " could not be unpacked: " + std::string(reason));
    }
    return install();
}

// The archive goes in first: should the statistics file then fail to move,
// the week still has its earlier statistics file beside a newer archive.
bool WeekFetch::install() {
    std::string wanted = weekStatisticsName(seasonYear_, week_);
    fs::path unpackedFile = resolveNoCase(unpackFolder_ / wanted);
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(unpackedFile, ec))) {
        return fail("The statistics archive " + remoteName_ + " holds no statistics file " +
                    wanted + ".");
    }
    if (std::optional<std::string> why = checkWeekStatistics(context_, unpackedFile, week_)) {
        return fail(*why);
    }
    fs::path target = localStatisticsPath(context_.workdir(), seasonYear_, week_);
    std::string error;
    if (!moveInto(archivePath_, localArchivePath(context_.workdir(), seasonYear_, week_), error) ||
        !moveInto(unpackedFile, target, error)) {
        return fail("The statistics of week " + std::to_string(week_) +
                    " were not saved: " + error);
    }
    statisticsPath_ = target;
    status_ = FetchStatus::Success;
    removeQuietly(staging_);
    return true;
}

std::string rosterNotPublishedMessage(int seasonYear) {
    return "An update has not been published for the " + std::to_string(seasonYear) +
           " NFL rosters.\n\n"
           "If you find player information that is out of date, please tell the person who "
           "runs your statistics server.\n\n"
           "If a player is missing from your database, please report his name, NFL team and "
           "position to the same person.";
}

RosterFetch::RosterFetch(Singleton& context)
    : context_(context),
      seasonYear_(context.playerFile().year()),
      remoteName_(rosterUpdateName(seasonYear_)) {
    fs::path folder = downloadFolder(context.workdir());
    localPath_ = resolveNoCase(folder / remoteName_);
    staging_ = folder / (fs::path(remoteName_).stem().string() + std::string(kPartialSuffix));
    stagedPath_ = staging_ / remoteName_;
}

RosterFetch::~RosterFetch() {
    removeQuietly(staging_);
}

bool RosterFetch::fail(std::string message) {
    message_ = std::move(message);
    removeQuietly(staging_);
    return false;
}

bool RosterFetch::begin() {
    std::string error;
    if (remoteName_.empty() || !createDownloadFolder(context_.workdir(), error)) {
        return fail(error.empty() ? rosterNotPublishedMessage(seasonYear_) : error);
    }
    removeQuietly(staging_);
    std::error_code ec;
    fs::create_directories(staging_, ec);
    if (ec) {
        return fail("The folder " + staging_.string() + " could not be created: " + ec.message());
    }
    return true;
}

bool RosterFetch::transferred(bool ok) {
    if (!ok) {
        return fail(rosterNotPublishedMessage(seasonYear_));
    }
    if (std::optional<std::string> why = checkRosterUpdate(context_, stagedPath_)) {
        return fail(*why);
    }
    std::string error;
    if (!moveInto(stagedPath_, localPath_, error)) {
        return fail("The roster update was not saved: " + error);
    }
    removeQuietly(staging_);
    return true;
}

PlyrList rosterUpdateResults(Singleton& context, const MergeReport& merged) {
    PlyrList players;
    for (int id : merged.newPlayerIds) {
        Player* player = context.mapFactory().players().findFirst(kPlayerId, id);
        if (player != nullptr) {
            players.push_back(player);
        }
    }
    std::stable_sort(players.begin(), players.end(), byPositionThenName);
    return players;
}

}  // namespace qff
