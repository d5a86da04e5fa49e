#include "data02/publish/Backup.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

#include "app/publish/BackupData.h"

#include <QDir>
#include <QFileDialog>
#include <ctime>
#include <system_error>

#include "app/shell/Options.h"
#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_BackupData.h"

namespace {

constexpr int kOptionsBackupPage = 15;
constexpr const char* kArchiveFilter = "ZIP File  (*.zip);;All Files  (*.*)";

}  // namespace

TformBackupData::TformBackupData(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent), ui(new Ui::TformBackupData) {
    ui->setupUi(this);
    connect(ui->btnBackupDir, &QToolButton::clicked, this, &TformBackupData::btnBackupDirClick);
    connect(ui->btnOptions, &QPushButton::clicked, this, &TformBackupData::btnOptionsClick);
    connect(ui->btnBackup, &QPushButton::clicked, this, &TformBackupData::btnBackupClick);
    FormCreate();
}

TformBackupData::~TformBackupData() = default;

void TformBackupData::FormCreate() {
    qff::Preferences& preferences = season().preferences();
    ui->editBackupFile->setText(
        qText(qff::defaultBackupArchive(season(), std::time(nullptr)).string()));
    ui->chkSeasonOnly->setText(
        QString("Only backup data associated to the %1 season").arg(season().calendarYear()));
    ui->chkSeasonOnly->setChecked(true);
    ui->editPassword->setText(qText(preferences.getText(qff::kPrefBackupPassword)));
    ui->chkIncludeReports->setChecked(preferences.get(qff::kPrefBackupViewedReports) != 0);
}

void TformBackupData::btnBackupDirClick() {
    std::error_code ec;
    std::filesystem::create_directory(season().pathOf("Backup"), ec);
    std::filesystem::create_directories(qff::backupDirectory(season()), ec);
    QString chosen = QFileDialog::getSaveFileName(this, "Select Backup File",
                                                  ui->editBackupFile->text(), kArchiveFilter);
    if (chosen.isEmpty()) {
        return;
    }
    if (QFileInfo(chosen).suffix().isEmpty()) {
        chosen += ".zip";
    }
    ui->editBackupFile->setText(QDir::toNativeSeparators(chosen));
}

void TformBackupData::btnOptionsClick() {
    TformOptions options(season(), kOptionsBackupPage, prompter(), this);
    if (options.exec() == QDialog::Accepted) {
        FormCreate();
    }
}

void TformBackupData::btnBackupClick() {
    QString archive = ui->editBackupFile->text().trimmed();
    if (archive.isEmpty()) {
        prompter().tell(this, Prompter::Icon::Information,
                        "Please enter a name for the backup file.");
        return;
    }
    // A bare name goes into the working folder, never wherever the program was started.
    std::filesystem::path path = season().workdir() / archive.toStdString();
    emit backupRequested(
        {path, ui->chkSeasonOnly->isChecked(), ui->chkIncludeReports->isChecked()});
}
