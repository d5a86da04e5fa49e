#include "data02/intake/StatsPublish.h"

#include <optional>
#include <system_error>

#include "data02/intake/StatsFetch.h"
#include "data02/intake/StatsWeeks.h"
#include "data02/model/Pro.h"
#include "data02/season/Single.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

namespace fs = std::filesystem;

bool isPresent(const fs::path& file) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(file, ec));
}

}  // namespace

PublishPlan planPublish(Singleton& context) {
    PublishPlan plan;
    plan.seasonYear = context.playerFile().year();
    for (int week = 1; week <= Pro::weeksOf(plan.seasonYear); ++week) {
        fs::path file = localStatisticsPath(context.workdir(), plan.seasonYear, week);
        if (!isPresent(file)) {
            continue;
        }
        if (std::optional<std::string> why = checkWeekStatistics(context, file, week)) {
            plan.leftOut.push_back(*why);
            continue;
        }
        plan.weeks.push_back({week, file, publishedArchiveName(plan.seasonYear, week)});
    }
    plan.rosterUpdateName = rosterUpdateName(plan.seasonYear);
    fs::path roster = resolveNoCase(downloadFolder(context.workdir()) / plan.rosterUpdateName);
    if (isPresent(roster)) {
        if (std::optional<std::string> why = checkRosterUpdate(context, roster)) {
            plan.leftOut.push_back(*why);
        } else {
            plan.rosterUpdate = roster;
        }
    }
    return plan;
}

bool preparePublishFolder(const fs::path& folder, std::string& error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        error = "The folder " + folder.string() + " could not be created.";
        return false;
    }
    return true;
}

bool publishRosterUpdate(const PublishPlan& plan, const fs::path& folder, std::string& error) {
    if (plan.rosterUpdate.empty()) {
        return true;
    }
    StagedWrite staged = StagedWrite::beside(folder / plan.rosterUpdateName, kPartialSuffix);
    std::error_code ec;
    fs::copy_file(plan.rosterUpdate, staged.temporary(), fs::copy_options::overwrite_existing, ec);
    if (ec || !staged.replaceTarget(ec)) {
        staged.discard();
        error = "The roster update could not be copied to " + folder.string() + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace qff
