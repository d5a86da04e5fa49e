#pragma once

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/intake/Statentry.h"

#include <QDialog>
#include <QList>
#include <memory>

class Prompter;
class QLineEdit;
class QTreeWidgetItem;

namespace qff {
class Singleton;
}

namespace Ui {
class TformEnterPlayerStats;
}

// One player's week typed in or corrected, bonus points included. What is on
// show is stored when the user moves to another player, week or NFL team, or
// closes the window; a value the data layer refuses keeps the user where he
// was, on the field at fault.
class TformEnterPlayerStats : public QDialog {
    Q_OBJECT

  public:
    TformEnterPlayerStats(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformEnterPlayerStats() override;

  public slots:
    void done(int result) override;

  private:
    void comboNFLTeamChange(int index);
    void comboWeekChange(int index);
    void listPlayersChange(QTreeWidgetItem* current);
    void fillPlayers(int selectId);
    void loadSelected();
    void forgetLoaded();
    void showValues(const qff::StatValues& values);
    void showPages(const qff::StatValues& values);
    bool storeShown();
    void showRefusal(const qff::EntryResult& result);
    void selectLoadedPlayer();
    void storeChoice(int id, int value);
    QLineEdit* fieldOf(int code) const;

    std::unique_ptr<Ui::TformEnterPlayerStats> ui;
    qff::Singleton& season_;
    Prompter& prompter_;
    QList<QLineEdit*> fields_;
    // The player, week and NFL team whose values are on show; player 0 for none.
    int loadedPlayer_ = 0;
    int loadedWeek_ = 0;
    int shownTeamIndex_ = -1;
    QList<int> loadedCodes_;
};
