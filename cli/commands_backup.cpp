#include <unistd.h>

#include <ctime>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/CommandTable.h"
#include "data02/diag/Status.h"
#include "data02/publish/Backup.h"
#include "data02/season/Prefs.h"
#include "data02/storage/Files.h"
#include "qff/backupzip/zip_backup.h"

namespace qff::cli {
namespace {

namespace fs = std::filesystem;

using backupzip::ZipArchiveSource;
using backupzip::ZipBackupSink;

bool workdirExists(Session& session) {
    std::error_code ec;
    if (fs::is_directory(session.options.workdir, ec)) {
        return true;
    }
    session.output.fail("the working directory " + session.options.workdir.string() +
                        " does not exist");
    return false;
}

std::string shown(const fs::path& path) {
    std::error_code ec;
    return fs::absolute(path, ec).lexically_normal().string();
}

std::string joined(const std::vector<fs::path>& paths) {
    std::string text;
    for (const fs::path& path : paths) {
        text += (text.empty() ? "" : ", ") + path.generic_string();
    }
    return text;
}

nlohmann::json namesDocument(const std::vector<fs::path>& paths) {
    nlohmann::json names = nlohmann::json::array();
    for (const fs::path& path : paths) {
        names.push_back(path.generic_string());
    }
    return names;
}

// A progress line only makes sense where someone watches it.
void runShowingProgress(BackupRun& run, Output& output) {
    bool watched = isatty(STDERR_FILENO) != 0;
    while (!run.done()) {
        if (watched) {
            fs::path next = run.nextFile();
            output.progress((next.empty() ? "Writing the archive" : "Adding " + next.string()) +
                            "  " + std::to_string(run.filesAdded()) + '/' +
                            std::to_string(run.files().size()));
        }
        run.runStep();
    }
    if (watched) {
        output.endProgress();
    }
}

struct BackupRequest {
    bool seasonOnly = false;
    bool reports = false;
    std::string to;
};

int backupCommand(const BackupRequest& request, Session& session) {
    if (!workdirExists(session)) {
        return kExitFailure;
    }
    MemoryReportRemover remover(session.options);
    SeasonEnv env;
    env.workdir = session.options.workdir;
    std::string error;
    std::unique_ptr<Singleton> context = Singleton::create(env, error);
    if (!context) {
        return session.output.fail(error);
    }
    // Without the settings the archive could go unencrypted against the user's wish.
    Preferences& preferences = context->preferences();
    if (preferences.load() != kOk) {
        return session.output.fail(preferences.lastError());
    }
    std::error_code ec;
    fs::path archive = request.to.empty() ? defaultBackupArchive(*context, std::time(nullptr))
                                          : fs::absolute(request.to, ec);
    ZipBackupSink sink(env.workdir, preferences.getText(kPrefBackupPassword));
    BackupRun run(context, env, {archive, request.seasonOnly, request.reports}, sink);
    runShowingProgress(run, session.output);
    if (!run.reopenError().empty()) {
        session.output.warn(run.reopenError());
    }
    if (run.status() != BackupRun::Status::Succeeded) {
        return session.output.fail(run.error());
    }
    std::string written = shown(run.archive());
    nlohmann::json document = {{"archive", written}, {"files", namesDocument(run.files())}};
    return session.output.emit(document, [&](std::ostream& out) { out << written << '\n'; });
}

// The archive is read with the backup password of the settings, when there
// are settings to take it from.
std::string backupPassword(Session& session) {
    std::error_code ec;
    if (!fs::exists(resolveNoCase(session.options.workdir / "Prefs.db"), ec)) {
        return {};
    }
    std::unique_ptr<Context> context = Context::open(session);
    if (!context) {
        return {};
    }
    Preferences& preferences = context->season().preferences();
    if (preferences.load() != kOk) {
        session.output.warn(preferences.lastError() + " The archive is read without a password.");
        return {};
    }
    return preferences.getText(kPrefBackupPassword);
}

std::string refusal(const RestorePlan& plan) {
    return "the archive would replace the current files of " + replacedSeasonsText(plan) + " (" +
           joined(plan.replacedSeasonFiles) +
           "); with --force they are moved aside into a new folder \"Backup/Replaced <n>\" of "
           "the working directory and the archive is restored";
}

void printRestore(std::ostream& out, const fs::path& archive, const RestoreResult& result) {
    out << "Restored " << result.restored.size() << " files from " << archive.string() << ":\n";
    for (const fs::path& file : result.restored) {
        out << "  " << file.generic_string() << '\n';
    }
    if (!result.setAside.empty()) {
        out << "Moved " << result.setAside.size() << " current files aside into "
            << shown(result.setAsideDirectory) << ".\n";
    }
}

struct RestoreRequest {
    std::string archive;
    bool force = false;
};

int restoreCommand(const RestoreRequest& request, Session& session) {
    if (!workdirExists(session)) {
        return kExitFailure;
    }
    std::error_code ec;
    fs::path archive = fs::absolute(request.archive, ec);
    if (!fs::is_regular_file(archive, ec)) {
        return session.output.fail("there is no archive " + request.archive);
    }
    const fs::path& workdir = session.options.workdir;
    ZipArchiveSource source(archive, backupPassword(session));
    std::string error;
    std::optional<RestorePlan> plan = restorePlan(workdir, source, error);
    if (!plan) {
        return session.output.fail(error);
    }
    if (!plan->replacedSeasonFiles.empty() && !request.force) {
        return session.output.fail(refusal(*plan));
    }
    std::optional<RestoreResult> result = restoreBackup(workdir, *plan, source, error);
    if (!result) {
        return session.output.fail(error);
    }
    nlohmann::json document = {
        {"archive", archive.string()},
        {"restored", namesDocument(result->restored)},
        {"moved_aside", namesDocument(result->setAside)},
        {"moved_to", result->setAside.empty() ? nlohmann::json()
                                              : nlohmann::json(shown(result->setAsideDirectory))}};
    return session.output.emit(document,
                               [&](std::ostream& out) { printRestore(out, archive, *result); });
}

}  // namespace

void addBackupCommands(CLI::App& app, CommandTable& table) {
    auto backup = std::make_shared<BackupRequest>();
    CLI::App* backupCommandLine = app.add_subcommand(
        "backup", "Back up the data files into a ZIP archive, encrypted with the backup password");
    backupCommandLine->add_flag("--season-only", backup->seasonOnly,
                                "Only the files of the calendar season");
    backupCommandLine->add_flag("--reports", backup->reports, "Also the reports viewed so far");
    backupCommandLine->add_option(
        "--to", backup->to, "Archive to write (default: today's name in the backup directory)");
    table.add(backupCommandLine,
              [backup](Session& session) { return backupCommand(*backup, session); });

    auto restore = std::make_shared<RestoreRequest>();
    CLI::App* restoreCommandLine = app.add_subcommand(
        "restore", "Put the files of a backup archive back in the working directory");
    restoreCommandLine->add_option("archive", restore->archive, "Backup archive")->required();
    restoreCommandLine->add_flag("--force", restore->force,
                                 "Replace the current season files, moving them aside");
    table.add(restoreCommandLine,
              [restore](Session& session) { return restoreCommand(*restore, session); });
}

}  // namespace qff::cli
