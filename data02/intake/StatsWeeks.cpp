#include "data02/intake/StatsWeeks.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "data02/intake/Statsmerge.h"
#include "data02/league/Listhelp.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Files.h"
#include "data02/storage/Weeks.h"

namespace qff {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kArchiveExtension = ".zip";
// No season has a week of more digits; longer runs are not week numbers.
constexpr std::size_t kMaxWeekDigits = 2;

std::string seasonPrefix(int seasonYear) {
    std::optional<int> number = seasonNumber(seasonYear);
    return number ? std::to_string(*number) : std::string();
}

std::string weekName(int seasonYear, int week, std::string_view marker,
                     std::string_view extension) {
    std::string prefix = seasonPrefix(seasonYear);
    if (prefix.empty()) {
        return {};
    }
    return prefix + "_" + std::string(marker) + std::to_string(week) + std::string(extension);
}

std::string lowered(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool pathExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

int teamPassYards(Singleton& context, int team, int weekIndex) {
    const Player* unit =
        context.mapFactory().players().findFirst(kPlayerId, Pro::unitId(team, kQB));
    return unit != nullptr ? unit->getValue(kPassYards, weekIndex) : 0;
}

bool teamPlayed(Singleton& context, int team, int weekIndex) {
    return team >= 0 && teamPassYards(context, team, weekIndex) > 0;
}

}  // namespace

std::string notAvailableMessage(int week) {
    return "NFL Statistics are not available for Week #" + std::to_string(week) + ".";
}

std::string listingFailedMessage(std::string_view reply) {
    return "The statistics server's download directory could not be listed: " + std::string(reply);
}

std::string weekStatisticsName(int seasonYear, int week) {
    return weekName(seasonYear, week, "WK", ".pts");
}

std::string weekArchiveName(int seasonYear, int week) {
    return weekName(seasonYear, week, "WK", kArchiveExtension);
}

std::string publishedArchiveName(int seasonYear, int week) {
    return weekName(seasonYear, week, "wk", kArchiveExtension);
}

std::string rosterUpdateName(int seasonYear) {
    std::string prefix = seasonPrefix(seasonYear);
    return prefix.empty() ? std::string() : "Update" + prefix + ".ros";
}

fs::path downloadFolder(const fs::path& workdir) {
    return resolveNoCase(workdir / "Download");
}

fs::path localStatisticsPath(const fs::path& workdir, int seasonYear, int week) {
    return resolveNoCase(downloadFolder(workdir) / weekStatisticsName(seasonYear, week));
}

fs::path localArchivePath(const fs::path& workdir, int seasonYear, int week) {
    return resolveNoCase(downloadFolder(workdir) / weekArchiveName(seasonYear, week));
}

bool isSafeRemoteName(std::string_view name) {
    return !name.empty() && name != "." && name.find_first_of("/\\") == std::string_view::npos &&
           name.find("..") == std::string_view::npos && !holdsControlCharacter(name);
}

std::optional<int> listedWeek(std::string_view name, int seasonYear) {
    std::string prefix = seasonPrefix(seasonYear);
    if (prefix.empty() || !isSafeRemoteName(name)) {
        return std::nullopt;
    }
    std::string lower = lowered(name);
    prefix += "_wk";
    if (!lower.starts_with(prefix) || !lower.ends_with(kArchiveExtension)) {
        return std::nullopt;
    }
    std::string_view digits(lower);
    digits = digits.substr(prefix.size(), lower.size() - prefix.size() - kArchiveExtension.size());
    if (digits.empty() || digits.size() > kMaxWeekDigits ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int week = std::stoi(std::string(digits));
    if (week < 1 || week > Pro::weeksOf(seasonYear)) {
        return std::nullopt;
    }
    return week;
}

WeekMap::WeekMap(int seasonYear, std::span<const std::string> listing)
    : seasonYear_(seasonYear), names_(static_cast<std::size_t>(Pro::weeksOf(seasonYear))) {
    for (const std::string& name : listing) {
        std::optional<int> week = listedWeek(name, seasonYear);
        if (!week) {
            continue;
        }
        std::string& taken = names_[static_cast<std::size_t>(*week - 1)];
        if (taken.empty() || name < taken) {
            taken = name;
        }
    }
}

const std::string& WeekMap::remoteName(int week) const {
    static const std::string none;
    return week >= 1 && week <= weeks() ? names_[static_cast<std::size_t>(week - 1)] : none;
}

MergeState mergeState(Singleton& context, int week) {
    int index = week - 1;
    if (!isWeekSlot(index) || context.seasonState().weekHasStats(index) == 0) {
        return MergeState::NotMerged;
    }
    auto [home, away] = context.schedule().firstMondayGame(index);
    return teamPlayed(context, home, index) || teamPlayed(context, away, index)
               ? MergeState::FullyMerged
               : MergeState::MondayMissing;
}

const char* mergeStateText(MergeState state) {
    switch (state) {
        case MergeState::NotMerged:
            return "not merged";
        case MergeState::MondayMissing:
            return "Monday missing";
        case MergeState::FullyMerged:
            return "fully merged";
    }
    return "";
}

const char* availabilityText(Availability availability) {
    switch (availability) {
        case Availability::Unknown:
            return "N/A";
        case Availability::Yes:
            return "Yes";
        case Availability::No:
            return "No";
    }
    return "";
}

std::string fileNameText(const WeekRow& row) {
    return row.remoteName.empty() ? std::string(kNoRemoteFile) : row.remoteName;
}

std::vector<WeekRow> weekRows(Singleton& context, const WeekMap* map) {
    int year = context.playerFile().year();
    std::vector<WeekRow> rows;
    for (int week = 1; week <= Pro::weeksOf(year); ++week) {
        WeekRow row;
        row.week = week;
        if (map != nullptr) {
            row.remoteName = map->remoteName(week);
            row.available = row.remoteName.empty() ? Availability::No : Availability::Yes;
        }
        row.downloaded = pathExists(localStatisticsPath(context.workdir(), year, week)) ||
                         pathExists(localArchivePath(context.workdir(), year, week));
        row.merged = mergeState(context, week);
        rows.push_back(std::move(row));
    }
    return rows;
}

DownloadQueue queueDownloads(std::span<const WeekRow> rows, DownloadChoice choice, int week) {
    DownloadQueue queue;
    if (choice == DownloadChoice::Week) {
        auto row = std::find_if(rows.begin(), rows.end(),
                                [week](const WeekRow& r) { return r.week == week; });
        if (row == rows.end() || row->available != Availability::Yes) {
            queue.message = notAvailableMessage(week);
        } else {
            queue.weeks.push_back(week);
        }
        return queue;
    }
    for (const WeekRow& row : rows) {
        bool wanted = choice == DownloadChoice::All || row.merged != MergeState::FullyMerged;
        if (row.available == Availability::Yes && wanted) {
            queue.weeks.push_back(row.week);
        }
    }
    return queue;
}

std::optional<MergeState> noteMergedWeek(Singleton& context, const MergeReport& merged) {
    if (!merged.week || !merged.succeeded()) {
        return std::nullopt;
    }
    SeasonState& state = context.seasonState();
    if (state.peek(kViewWeek) != kAllWeeks) {
        state.set(kViewWeek, *merged.week);
    }
    return mergeState(context, *merged.week + 1);
}

}  // namespace qff
