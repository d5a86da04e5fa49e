#pragma once

#include <memory>

#include "app/widgets/SeasonForm.h"

namespace Ui {
class TformSwapPlayers;
}

class QComboBox;
class QTreeWidget;

// The in-season trade: one player of one franchise for one player of another,
// from the chosen week on. The data layer decides whether the trade fits the
// league's roster rules and stores both rosters or neither.
class TformSwapPlayers : public SeasonForm {
    Q_OBJECT

  public:
    TformSwapPlayers(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformSwapPlayers() override;

    void reload() override;

  private slots:
    void comboLeagueChange();
    void comboWeekChange();
    void btnTradePlayersClick();

  private:
    void chooseLeagueFranchises(int league);
    void refreshRosters();
    void refreshRoster(const QComboBox& team, QTreeWidget& list);
    void refreshRoster(const QComboBox& team, QTreeWidget& list, int select);
    void updateTradeButton();
    int week() const;

    std::unique_ptr<Ui::TformSwapPlayers> ui;
};
