#pragma once

#include <iosfwd>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/CommandTable.h"

namespace qff {
class Singleton;
class TrackDraft;
}  // namespace qff

namespace qff::cli {

// A pick as every draft command shows it: round, pick, franchise and player.
nlohmann::json pickRow(Singleton& season, const TrackDraft& pick);
void printPick(std::ostream& out, const nlohmann::json& row);

// "draft undo", "draft status" and the hand edits of the order below "draft
// order" (add, move, remove).
void addDraftDayCommands(CLI::App& draft, CLI::App& order, CommandTable& table);

}  // namespace qff::cli
