#pragma once

#include <QDialog>
#include <memory>

class Prompter;

namespace qff {
class Singleton;
}

namespace Ui {
class TformEditTeam;
}

// One franchise's name and owner details, from the address book. "Ok" saves
// them through the same checks as the structure editor's grid; "Cancel"
// leaves the franchise as it was.
class TformEditTeam : public QDialog {
    Q_OBJECT

  public:
    TformEditTeam(qff::Singleton& season, int franchise, Prompter& prompter,
                  QWidget* parent = nullptr);
    ~TformEditTeam() override;

  private:
    void btnOkClick();

    std::unique_ptr<Ui::TformEditTeam> ui;
    qff::Singleton& season_;
    Prompter& prompter_;
    int franchise_;
};
