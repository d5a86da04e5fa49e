#include "cli/App.h"

#include <exception>
#include <ostream>

#include "cli/CommandTable.h"

namespace qff::cli {
namespace {

void addGlobalOptions(CLI::App& app, GlobalOptions& options) {
    app.add_option("--workdir", options.workdir, "Folder holding the season's data files")
        ->capture_default_str();
    app.add_flag("--json", options.json, "Print one JSON document instead of text");
    app.add_flag("--keep-logs", options.keepLogs, "Keep mem_log.txt, the memory report");
}

// Help is a successful answer; every other parse problem is a usage error.
int reportParseError(const CLI::App& app, const CLI::ParseError& error, std::ostream& out,
                     std::ostream& err) {
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
        return app.exit(error, out, err);
    }
    return Output(false, out, err).usage(error.what());
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Quillmar Fantasy Football: inspect and adjust a season's data files", "qff"};
    // Global options are accepted after the command name too.
    app.fallthrough();
    app.require_subcommand(0, 1);
    GlobalOptions options;
    addGlobalOptions(app, options);
    CommandTable table;
    addDumpCommand(app, table);
    addRepairCommand(app, table);
    addSettingsCommands(app, table);
    addSeasonCommands(app, table);
    addModelCommands(app, table);
    addRosterCommands(app, table);
    addScheduleCommands(app, table);
    addMergeCommands(app, table);
    CLI::App* stats = addStatsCommands(app, table);
    addResultsCommands(app, table);
    addScoringCommands(app, table);
    addDraftCommands(app, table);
    addLeagueStructureCommands(app, table);
#ifdef QFF_HAS_ARCHIVES
    addBackupCommands(app, table);
    addStatsServerCommands(app, table);
    addStatsDownloadCommands(app, stats, table);
    addMailCommands(app, table);
#endif
    addSiteCommands(app, table);
    addReportCommands(app, table);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return reportParseError(app, error, out, err);
    }
    Session session{options, Output(options.json, out, err)};
    // Whatever escapes a command still ends with one line and a failure status.
    try {
        return table.run(app, session);
    } catch (const std::exception& error) {
        return session.output.fail(error.what());
    }
}

}  // namespace qff::cli
