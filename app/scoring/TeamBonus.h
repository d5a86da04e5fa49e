#pragma once

#include <QDialog>
#include <memory>

class Prompter;

namespace qff {
class Singleton;
}

namespace Ui {
class TformTeamBonus;
}

// Bonus points of one franchise and week at a time, for a league whose
// scoring system cannot express a rule. Every value is stored as soon as the
// user moves on to another franchise, week or league, presses Enter, leaves
// the field or closes the dialog.
class TformTeamBonus : public QDialog {
    Q_OBJECT

  public:
    TformTeamBonus(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformTeamBonus() override;

  public slots:
    void done(int result) override;

  private:
    void comboLeagueChange(int index);
    void comboFranchiseChange(int index);
    void comboWeekChange(int index);
    void fillFranchises();
    void showBonus();
    void storeBonus();
    void storeChoice(int id, int value);

    std::unique_ptr<Ui::TformTeamBonus> ui;
    qff::Singleton& season_;
    Prompter& prompter_;
    // The franchise and week whose bonus the field shows; franchise 0 for none.
    int shownFranchise_ = 0;
    int shownWeek_ = 0;
};
