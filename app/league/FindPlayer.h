#pragma once

#include <QDialog>
#include <memory>

namespace qff {
class Singleton;
}

namespace Ui {
class TformFindPlayer;
}

class Prompter;
class QTreeWidgetItem;

// Finds an NFL player by position, by NFL team or among all players by name.
// Given a place for the result, OK stores the chosen player's id there (-1
// until one is chosen) and insists on a choice; without one the window only
// shows players, and its single button closes it.
//
//     int chosen;
//     TformFindPlayer finder(season, prompter, &chosen, parent);
//     if (finder.exec() == QDialog::Accepted) ...
class TformFindPlayer : public QDialog {
    Q_OBJECT

  public:
    TformFindPlayer(qff::Singleton& season, Prompter& prompter, int* chosenPlayer,
                    QWidget* parent = nullptr);
    TformFindPlayer(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformFindPlayer() override;

  private slots:
    void btnPopulateListClick();
    void btnOkClick();
    void comboNFLTeamChange(int index);
    void listPlayersDblClick(QTreeWidgetItem* row);

  private:
    std::unique_ptr<Ui::TformFindPlayer> ui;
    qff::Singleton& season_;
    Prompter& prompter_;
    int* chosenPlayer_;
};
