#pragma once

// TformAttachReports: the report pages generated this season, below the
// working folder, to pick from for a mail. "OK" or a double-click ends the
// choice; the caller adds the chosen pages to its attachments.

#include <QDialog>
#include <filesystem>
#include <memory>
#include <vector>

namespace Ui {
class TformAttachReports;
}

class QListWidgetItem;

class TformAttachReports : public QDialog {
    Q_OBJECT

  public:
    explicit TformAttachReports(std::filesystem::path workdir, QWidget* parent = nullptr);
    ~TformAttachReports() override;

    // The selected pages, relative to the working folder, in list order.
    std::vector<std::filesystem::path> chosenReports() const;

  private:
    std::unique_ptr<Ui::TformAttachReports> ui;
};
