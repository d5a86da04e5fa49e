#include "data02/publish/Backup.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "qff/backupzip/zip_backup.h"

#include "app/publish/DoBackup.h"

#include <QDir>
#include <QShowEvent>

#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_DoBackup.h"

namespace {

constexpr int kStepMilliseconds = 250;

QString shownPath(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(qText(path.string()));
}

}  // namespace

TformDoBackup::TformDoBackup(std::unique_ptr<qff::Singleton>& context, qff::SeasonEnv env,
                             qff::BackupOptions options, Prompter& prompter, QWidget* parent)
    : QDialog(parent), ui(new Ui::TformDoBackup), prompter_(prompter) {
    ui->setupUi(this);
    std::filesystem::path workdir = env.workdir;
    sink_ = std::make_unique<qff::backupzip::ZipBackupSink>(
        workdir, context->preferences().getText(qff::kPrefBackupPassword));
    run_ = std::make_unique<qff::BackupRun>(context, std::move(env), std::move(options), *sink_);
    ui->lblArchive->setText(shownPath(run_->archive()));
    ui->progressBackup->setMaximum(static_cast<int>(run_->files().size()));
    ui->progressBackup->setValue(0);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TformDoBackup::reject);
    timer_.setInterval(kStepMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &TformDoBackup::runStep);
}

TformDoBackup::~TformDoBackup() = default;

void TformDoBackup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !finished_) {
        timer_.start();
    }
}

// The step's own events may deliver the next tick; that tick waits.
void TformDoBackup::runStep() {
    if (busy_ || finished_) {
        return;
    }
    busy_ = true;
    showProgress();
    run_->runStep();
    ui->progressBackup->setValue(run_->filesAdded());
    busy_ = false;
    emit stepDone();
    if (run_->done()) {
        finish();
    }
}

void TformDoBackup::showProgress() {
    std::filesystem::path next = run_->nextFile();
    ui->lblFile->setText(next.empty() ? QString("Writing the backup file") : shownPath(next));
}

// Cancel, Escape and the close box all end the run; the season opens again
// before the dialog goes.
void TformDoBackup::reject() {
    if (busy_) {
        return;
    }
    run_->cancel();
    finish();
}

void TformDoBackup::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    timer_.stop();
    if (run_->status() == qff::BackupRun::Status::Failed) {
        prompter_.tell(this, Prompter::Icon::Error, qText(run_->error()));
    }
    if (!run_->reopenError().empty()) {
        prompter_.tell(this, Prompter::Icon::Warning, qText(run_->reopenError()));
    }
    if (run_->status() == qff::BackupRun::Status::Succeeded) {
        QDialog::accept();
    } else {
        QDialog::reject();
    }
}
