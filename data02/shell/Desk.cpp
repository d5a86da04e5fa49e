#include "data02/shell/Desk.h"

#include <fstream>
#include <system_error>

#include "data02/model/Divqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Player.h"
#include "data02/model/Teamqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/shell/Activities.h"

namespace qff {
namespace {

// Permissions alone do not say whether this process may write there (owner,
// read-only mounts), so the folder is tried.
bool canWriteIn(const std::filesystem::path& dir) {
    std::filesystem::path probe = dir / ".quillmar-write-probe";
    bool written = static_cast<bool>(std::ofstream(probe));
    std::error_code ec;
    std::filesystem::remove(probe, ec);
    return written;
}

}  // namespace

std::string workdirProblem(const std::filesystem::path& workdir) {
    std::error_code ec;
    if (!std::filesystem::exists(workdir, ec)) {
        return "The working directory " + workdir.string() + " does not exist.";
    }
    if (!std::filesystem::is_directory(workdir, ec)) {
        return "The working directory " + workdir.string() + " is not a directory.";
    }
    if (!canWriteIn(workdir)) {
        return "The working directory " + workdir.string() + " cannot be written to.";
    }
    return {};
}

int screenWidthClass(int desktopWidth) {
    switch (desktopWidth) {
        case 640:
            return 0;
        case 800:
            return 1;
        case 960:
            return 2;
        case 1024:
            return 3;
        case 1152:
            return 4;
        case 1280:
            return 5;
        default:
            return desktopWidth > 800 ? 6 : 1;
    }
}

int storeWeekChoice(SeasonState& state, int week, int seasonWeeks) {
    if (week == kAllWeeks) {
        state.set(kViewWeek, kAllWeeks);
        return kAllWeeks;
    }
    if (week < 0 || week >= seasonWeeks) {
        week = 0;
    }
    state.set(kCurrentWeek, week);
    state.set(kViewWeek, week);
    return week;
}

int activityAfterSeasonSwitch(int section, int activity) {
    const Activity* entry = findActivity(section, activity);
    return entry != nullptr && entry->needsFranchise
               ? kOutlookSections[static_cast<std::size_t>(section)].afterSeasonSwitch
               : activity;
}

LeagueCounts countLeagueRecords(Singleton& context) {
    return {static_cast<int>(context.teamQuery().allFranchises().size()),
            static_cast<int>(context.divisionQuery().allDivisions().size()),
            static_cast<int>(context.leagueQuery().allLeagues().size())};
}

bool resetHeadToHeadSchedules(Singleton& context, std::string& error) {
    constexpr int kEveryLeague = -1;
    if (context.schedule().reset(kEveryLeague) != kOk) {
        error = context.schedule().lastError();
        return false;
    }
    return true;
}

WindowPlacement storedPlacement(const Preferences& preferences) {
    return {preferences.get(kPrefMaximised) != 0, preferences.get(kPrefWindowTop),
            preferences.get(kPrefWindowLeft),     preferences.get(kPrefWindowHeight),
            preferences.get(kPrefWindowWidth),    preferences.get(kPrefOutlookWidth)};
}

void storePlacement(Preferences& preferences, const WindowPlacement& placement) {
    preferences.set(kPrefMaximised, placement.maximised ? 1 : 0);
    if (!placement.maximised) {
        preferences.set(kPrefWindowTop, placement.top);
        preferences.set(kPrefWindowLeft, placement.left);
        preferences.set(kPrefWindowHeight, placement.height);
        preferences.set(kPrefWindowWidth, placement.width);
    }
    preferences.set(kPrefOutlookWidth, placement.outlookWidth);
}

}  // namespace qff
