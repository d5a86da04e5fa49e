#pragma once

#include <functional>
#include <map>

#include <CLI/CLI.hpp>

#include "cli/Context.h"

namespace qff::cli {

using Action = std::function<int(Session&)>;

// Ties each command to what it does, so the program runs the most specific
// command given ("prefs set" rather than "prefs").
class CommandTable {
  public:
    void add(const CLI::App* command, Action action);
    int run(const CLI::App& app, Session& session) const;

  private:
    std::map<const CLI::App*, Action> actions_;
};

// Each command file registers its commands here.
void addDumpCommand(CLI::App& app, CommandTable& table);
void addRepairCommand(CLI::App& app, CommandTable& table);
void addSettingsCommands(CLI::App& app, CommandTable& table);
void addSeasonCommands(CLI::App& app, CommandTable& table);
void addModelCommands(CLI::App& app, CommandTable& table);
void addResultsCommands(CLI::App& app, CommandTable& table);
void addScoringCommands(CLI::App& app, CommandTable& table);
void addScheduleCommands(CLI::App& app, CommandTable& table);
void addMergeCommands(CLI::App& app, CommandTable& table);
// The "stats" group, which the statistics server's commands extend.
CLI::App* addStatsCommands(CLI::App& app, CommandTable& table);
void addDraftCommands(CLI::App& app, CommandTable& table);
// Extends "roster", so it is registered after the model commands.
void addRosterCommands(CLI::App& app, CommandTable& table);
void addLeagueStructureCommands(CLI::App& app, CommandTable& table);
// Only built with the platform layer (QFF_HAS_ARCHIVES).
void addBackupCommands(CLI::App& app, CommandTable& table);
void addStatsServerCommands(CLI::App& app, CommandTable& table);
void addStatsDownloadCommands(CLI::App& app, CLI::App* stats, CommandTable& table);
// Mail to the owners through the platform's SMTP client (QFF_HAS_ARCHIVES).
void addMailCommands(CLI::App& app, CommandTable& table);
void addSiteCommands(CLI::App& app, CommandTable& table);
void addReportCommands(CLI::App& app, CommandTable& table);
// The definition commands under "report": list, export, import, delete.
void addReportDefinitionCommands(CLI::App& report, CommandTable& table);

}  // namespace qff::cli
