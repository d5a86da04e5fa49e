#pragma once

// TformReportDelete: the reports the commissioner may delete, by name with
// their type mark and id. OK asks before the chosen report goes, since its
// definition cannot be brought back; report packs that listed it drop it.

#include <QDialog>
#include <memory>

namespace Ui {
class TformReportDelete;
}

namespace qff {
class Singleton;
}

class Prompter;
class QListWidgetItem;

class TformReportDelete : public QDialog {
    Q_OBJECT

  public:
    TformReportDelete(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformReportDelete() override;

    // The deleted report's type, so the caller refreshes its tree group; 0
    // while nothing was deleted.
    int deletedType() const { return deletedType_; }

  private:
    void fillList();
    void updateOk();
    void okClick();
    void reportDoubleClick(QListWidgetItem* item);

    qff::Singleton& season_;
    Prompter& prompter_;
    int deletedType_ = 0;
    std::unique_ptr<Ui::TformReportDelete> ui;
};
