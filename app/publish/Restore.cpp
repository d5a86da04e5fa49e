#include "data02/publish/Backup.h"
#include "qff/backupzip/zip_backup.h"

#include "app/publish/Restore.h"

#include <QDir>
#include <QFileDialog>
#include <optional>

#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"

namespace {

constexpr const char* kArchiveFilter = "ZIP File  (*.zip);;All Files  (*.*)";

std::filesystem::path chooseArchive(const std::filesystem::path& startFolder, QWidget* parent) {
    QFileDialog dialog(parent, "Select Backup File to Restore", qText(startFolder.string()),
                       kArchiveFilter);
    dialog.setObjectName("dlgRestoreFile");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front().toStdString();
}

QString restoredText(const std::filesystem::path& archive, const qff::RestoreResult& result) {
    QString text = QString("%1 files were restored from %2.")
                       .arg(result.restored.size())
                       .arg(QDir::toNativeSeparators(qText(archive.string())));
    if (!result.setAside.empty()) {
        text += QString(" The %1 files they replaced were moved into %2.")
                    .arg(result.setAside.size())
                    .arg(QDir::toNativeSeparators(qText(result.setAsideDirectory.string())));
    }
    return text;
}

}  // namespace

bool restoreFromBackup(const std::filesystem::path& workdir,
                       const std::filesystem::path& startFolder, const std::string& password,
                       Prompter& prompter, QWidget* parent, const RestoreSeasonHooks& hooks) {
    std::filesystem::path archive = chooseArchive(startFolder, parent);
    if (archive.empty()) {
        return false;
    }
    qff::backupzip::ZipArchiveSource source(archive, password);
    std::string error;
    std::optional<qff::RestorePlan> plan = qff::restorePlan(workdir, source, error);
    if (!plan) {
        prompter.tell(parent, Prompter::Icon::Error, qText(error));
        return false;
    }
    if (!prompter.ask(parent, qText(qff::restoreQuestion(*plan)))) {
        return false;
    }
    hooks.closeSeason();
    std::optional<qff::RestoreResult> result = qff::restoreBackup(workdir, *plan, source, error);
    hooks.reopenSeason();
    if (!result) {
        prompter.tell(parent, Prompter::Icon::Error, qText(error));
        return false;
    }
    prompter.tell(parent, Prompter::Icon::Information, restoredText(archive, *result));
    return true;
}
