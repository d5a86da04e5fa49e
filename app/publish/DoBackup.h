#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

#include "data02/publish/Backup.h"
#include "data02/season/Single.h"

namespace qff::backupzip {
class ZipBackupSink;
}

namespace Ui {
class TformDoBackup;
}

class Prompter;

// "Performing Backup": adds the files one per tick of a timer, so the window
// shows each and Cancel is heard between them. The season is closed before
// the first file and opened again in a new context at the end, whether the
// backup succeeds, fails or is cancelled; the caller's context pointer is
// replaced on the way.
class TformDoBackup : public QDialog {
    Q_OBJECT

  public:
    TformDoBackup(std::unique_ptr<qff::Singleton>& context, qff::SeasonEnv env,
                  qff::BackupOptions options, Prompter& prompter, QWidget* parent = nullptr);
    ~TformDoBackup() override;

    const qff::BackupRun& run() const { return *run_; }
    // Whether a season is open in the context once the dialog has closed.
    bool seasonOpen() const { return run_->seasonOpen(); }

  signals:
    // After every step, the last one included.
    void stepDone();

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void runStep();
    void showProgress();
    void finish();

    std::unique_ptr<Ui::TformDoBackup> ui;
    Prompter& prompter_;
    std::unique_ptr<qff::backupzip::ZipBackupSink> sink_;
    std::unique_ptr<qff::BackupRun> run_;
    QTimer timer_;
    bool busy_ = false;
    bool finished_ = false;
};
