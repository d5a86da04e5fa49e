#pragma once

#include "data02/publish/Backup.h"

#include <memory>

#include "app/widgets/SeasonForm.h"

namespace Ui {
class TformBackupData;
}

// The backup activity in the main window's host panel: the archive's name,
// whether only the calendar season's files go in, whether the reports viewed
// so far go too. The window runs the backup itself, because the backup
// closes and reopens the season the window holds.
class TformBackupData : public SeasonForm {
    Q_OBJECT

  public:
    TformBackupData(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformBackupData() override;

    // Shows the default archive name and the preferences afresh.
    void FormCreate();

  signals:
    void backupRequested(const qff::BackupOptions& options);

  private:
    void btnBackupDirClick();
    void btnOptionsClick();
    void btnBackupClick();

    std::unique_ptr<Ui::TformBackupData> ui;
};
