#include "cli/StatsNet.h"

#include <filesystem>
#include <ostream>

#include "cli/Context.h"

namespace qff::cli {

namespace fs = std::filesystem;

std::optional<StatsServerSettings> statsServerSettings(Session& session) {
    StatsServerLoad load = loadStatsServer(session.options.workdir);
    if (!load.ok) {
        session.output.fail(load.error + " Correct or remove it.");
        return std::nullopt;
    }
    return load.settings;
}

nlohmann::json publishedDocument(const statsnet::PublishOutcome& outcome) {
    return {{"folder", fs::absolute(outcome.folder).lexically_normal().string()},
            {"archives", outcome.archives},
            {"roster_update", outcome.rosterUpdate.empty() ? nlohmann::json()
                                                           : nlohmann::json(outcome.rosterUpdate)},
            {"encrypted", outcome.encrypted},
            {"left_out", outcome.leftOut}};
}

void printPublished(std::ostream& out, const statsnet::PublishOutcome& outcome) {
    out << "Published " << outcome.archives.size() << " weekly statistics archives"
        << (outcome.encrypted ? " (encrypted with the archive password)" : "")
        << (outcome.rosterUpdate.empty() ? "" : " and " + outcome.rosterUpdate) << " to "
        << fs::absolute(outcome.folder).lexically_normal().string() << ".\n";
    for (const std::string& name : outcome.archives) {
        out << "  " << name << '\n';
    }
}

}  // namespace qff::cli
