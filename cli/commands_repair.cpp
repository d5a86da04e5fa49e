#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/CommandTable.h"
#include "data02/season/Record_check.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Repair.h"

namespace qff::cli {
namespace {

struct RepairRequest {
    std::string file;
    bool replace = false;
};

std::string recordsText(int count) {
    return std::to_string(count) + (count == 1 ? " record" : " records");
}

nlohmann::json repairDocument(const RepairReport& report) {
    nlohmann::json document = {
        {"file", report.damaged.string()},      {"damage", report.damage},
        {"repaired", report.repaired.string()}, {"kept", report.kept},
        {"dropped_slots", report.droppedSlots}, {"replaced", !report.setAside.empty()}};
    if (!report.setAside.empty()) {
        document["set_aside"] = report.setAside.string();
    }
    return document;
}

void printRepair(std::ostream& out, const RepairReport& report) {
    std::string damaged = report.damaged.filename().string();
    std::string repaired = report.repaired.filename().string();
    out << report.damage << ".\n";
    out << "Kept " << recordsText(report.kept) << "; dropped slots "
        << slotRangesText(report.droppedSlots) << ".\n";
    if (report.setAside.empty()) {
        out << "The repaired file is " << repaired << "; " << damaged << " was left as it is. Move "
            << repaired << " in place of " << damaged << " to use it, or run qff repair --replace "
            << damaged << ".\n";
    } else {
        out << damaged << " now holds the repaired file; the damaged one was kept as "
            << report.setAside.filename().string() << ".\n";
    }
}

// Works without the season context, which would load and save the settings
// files: one of them may be the file being repaired.
int runRepair(const RepairRequest& request, Session& session) {
    auto memory = FileMemory::open(session);
    if (!memory) {
        return kExitFailure;
    }
    std::string error;
    std::filesystem::path path = session.options.fileArgument(request.file);
    std::optional<RepairReport> report = repairRecordFile(
        memory->memory(), path, error, recordCheckForFileName(path.filename().string()));
    if (!report) {
        return session.output.fail(error);
    }
    if (request.replace && !replaceWithRepaired(*report, error)) {
        return session.output.fail(error + "; the readable records are in " +
                                   report->repaired.filename().string());
    }
    return session.output.emit(repairDocument(*report),
                               [&](std::ostream& out) { printRepair(out, *report); });
}

}  // namespace

void addRepairCommand(CLI::App& app, CommandTable& table) {
    auto request = std::make_shared<RepairRequest>();
    CLI::App* repair = app.add_subcommand(
        "repair", "Copy the readable records of a damaged record file into a new file beside it");
    repair->add_option("file", request->file, "Record file, relative to --workdir unless absolute")
        ->required();
    repair->add_flag("--replace", request->replace,
                     "Put the repaired file in place, keeping the damaged one as FILE.damaged");
    table.add(repair, [request](Session& session) { return runRepair(*request, session); });
}

}  // namespace qff::cli
