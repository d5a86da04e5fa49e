#include <unistd.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandTable.h"
#include "data02/intake/Statsmerge.h"
#include "data02/reports/Format.h"

namespace qff::cli {
namespace {

const char* typeName(MergeMessage::Type type) {
    switch (type) {
        case MergeMessage::Type::Information:
            return "information";
        case MergeMessage::Type::Warning:
            return "warning";
        case MergeMessage::Type::Error:
            return "error";
    }
    return "";
}

nlohmann::json skippedDocument(const std::vector<MergeSkip>& skipped) {
    nlohmann::json list = nlohmann::json::array();
    for (const MergeSkip& record : skipped) {
        list.push_back({{"slot", record.slot},
                        {"id", record.id},
                        {"name", record.name},
                        {"reason", skipReasonText(record.reason)}});
    }
    return list;
}

nlohmann::json messagesDocument(const std::vector<MergeMessage>& messages) {
    nlohmann::json list = nlohmann::json::array();
    for (const MergeMessage& message : messages) {
        list.push_back({{"type", typeName(message.type)}, {"text", message.text}});
    }
    return list;
}

// Weeks are shown counted from 1, as everywhere on the command line.
nlohmann::json reportDocument(const MergeReport& report) {
    nlohmann::json weeks = nlohmann::json::array();
    for (int week : report.weeksMerged) {
        weeks.push_back(week + 1);
    }
    return {{"file", report.file.string()},
            {"season", report.season},
            {"file_season", report.fileYear},
            {"refused", report.refused},
            {"week", report.week ? nlohmann::json(*report.week + 1) : nlohmann::json()},
            {"weeks_merged", weeks},
            {"roster_update", report.rosterRecordsSeen},
            {"records", report.records},
            {"players_updated", report.playersUpdated},
            {"new_players", report.newPlayers},
            {"new_player_ids", report.newPlayerIds},
            {"skipped", report.skipped},
            {"skipped_records", skippedDocument(report.skippedRecords)},
            {"messages", messagesDocument(report.messages)},
            {"failures", report.failures},
            {"undone", report.undone}};
}

void printReport(std::ostream& out, const MergeReport& report) {
    for (const MergeMessage& message : report.messages) {
        out << (message.type == MergeMessage::Type::Information ? "" : "! ") << message.text
            << '\n';
    }
    if (!report.opened || report.refused || report.undone) {
        return;
    }
    out << "Merged " << report.file.filename().string() << " into the " << report.season
        << " season.\n";
    if (report.week) {
        out << "Week " << *report.week + 1 << " is now the current week.\n";
    }
    out << "  " << cell("records", 17) << report.records << '\n'
        << "  " << cell("players updated", 17) << report.playersUpdated << '\n'
        << "  " << cell("new players", 17) << report.newPlayers << '\n'
        << "  " << cell("skipped", 17) << report.skipped << '\n';
    for (const MergeSkip& record : report.skippedRecords) {
        out << "  skipped slot " << record.slot << " (id " << record.id << ", " << record.name
            << "): " << skipReasonText(record.reason) << '\n';
    }
}

void showProgress(const StatsMerge& merge, Output& output) {
    output.progress(merge.status() + "  " + std::to_string(merge.progress()) + '/' +
                    std::to_string(merge.total()));
}

int mergeCommand(const std::filesystem::path& file, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    StatsMerge merge(context->season(), file);
    // A progress line only makes sense where someone watches it.
    bool watched = isatty(STDERR_FILENO) != 0;
    while (merge.step()) {
        if (watched) {
            showProgress(merge, session.output);
        }
    }
    const MergeReport& report = merge.finish();
    if (watched) {
        session.output.endProgress();
    }
    session.output.emit(reportDocument(report),
                        [&](std::ostream& out) { printReport(out, report); });
    if (report.refused) {
        return session.output.fail("the file belongs to the " + std::to_string(report.fileYear) +
                                   " season, not to the open " + std::to_string(report.season) +
                                   " season");
    }
    for (std::size_t i = 0; i + 1 < report.failures.size(); ++i) {
        session.output.warn(report.failures[i]);
    }
    return report.failures.empty() ? kExitOk : session.output.fail(report.failures.back());
}

}  // namespace

void addMergeCommands(CLI::App& app, CommandTable& table) {
    auto file = std::make_shared<std::filesystem::path>();
    CLI::App* merge = app.add_subcommand(
        "merge", "Merge a weekly statistics file (.pts) or roster update (.ros) into the season");
    merge->add_option("file", *file, "The statistics or roster-update file")->required();
    table.add(merge, [file](Session& session) { return mergeCommand(*file, session); });
}

}  // namespace qff::cli
