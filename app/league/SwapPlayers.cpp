// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Rosters.h"
#include "data02/model/Pro.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/shell/Desk.h"

#include "app/league/SwapPlayers.h"

#include <algorithm>

#include "app/league/TradeLists.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "ui_SwapPlayers.h"

using namespace trade;

TformSwapPlayers::TformSwapPlayers(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent), ui(new Ui::TformSwapPlayers) {
    ui->setupUi(this);
    connect(ui->comboLeague, &QComboBox::activated, this, &TformSwapPlayers::comboLeagueChange);
    connect(ui->comboWeek, &QComboBox::activated, this, &TformSwapPlayers::comboWeekChange);
    connect(ui->comboTeam1, &QComboBox::activated, this,
            [this] { refreshRoster(*ui->comboTeam1, *ui->listTeam1); });
    connect(ui->comboTeam2, &QComboBox::activated, this,
            [this] { refreshRoster(*ui->comboTeam2, *ui->listTeam2); });
    for (QTreeWidget* list : {ui->listTeam1, ui->listTeam2}) {
        fitNameColumn(*list);
        connect(list, &QTreeWidget::itemSelectionChanged, this,
                &TformSwapPlayers::updateTradeButton);
    }
    connect(ui->btnTradePlayers, &QPushButton::clicked, this,
            &TformSwapPlayers::btnTradePlayersClick);
    reload();
}

TformSwapPlayers::~TformSwapPlayers() = default;

void TformSwapPlayers::reload() {
    fillCombo(ComboKind::Weeks, *ui->comboWeek, season());
    fillCombo(ComboKind::Leagues, *ui->comboLeague, season());
    int team1 = selectedId(*ui->comboTeam1);
    int team2 = selectedId(*ui->comboTeam2);
    fillCombo(ComboKind::Franchises, *ui->comboTeam1, season());
    fillCombo(ComboKind::Franchises, *ui->comboTeam2, season());
    if (team1 == 0 && team2 == 0) {
        chooseLeagueFranchises(selectedId(*ui->comboLeague));
    } else {
        selectId(*ui->comboTeam1, team1);
        selectId(*ui->comboTeam2, team2);
    }
    refreshRosters();
}

// A league's trade is between two of its own franchises, so choosing the
// league offers its first two; a league without any leaves the first two of
// the season.
void TformSwapPlayers::chooseLeagueFranchises(int league) {
    qff::TeamList franchises = season().teamQuery().leagueFranchises(league);
    if (franchises.empty()) {
        ui->comboTeam2->setCurrentIndex(std::min(1, ui->comboTeam2->count() - 1));
        return;
    }
    selectId(*ui->comboTeam1, franchises.front()->id());
    selectId(*ui->comboTeam2, franchises[franchises.size() > 1 ? 1 : 0]->id());
}

void TformSwapPlayers::comboLeagueChange() {
    int league = selectedId(*ui->comboLeague);
    season().seasonState().set(qff::kCurrentLeague, league);
    chooseLeagueFranchises(league);
    refreshRosters();
}

void TformSwapPlayers::comboWeekChange() {
    qff::storeWeekChoice(season().seasonState(), ui->comboWeek->currentIndex(),
                         season().pro().weeks());
    refreshRosters();
}

int TformSwapPlayers::week() const {
    return std::max(ui->comboWeek->currentIndex(), 0);
}

void TformSwapPlayers::refreshRosters() {
    refreshRoster(*ui->comboTeam1, *ui->listTeam1);
    refreshRoster(*ui->comboTeam2, *ui->listTeam2);
}

void TformSwapPlayers::refreshRoster(const QComboBox& team, QTreeWidget& list) {
    refreshRoster(team, list, selectedPlayer(list));
}

void TformSwapPlayers::refreshRoster(const QComboBox& team, QTreeWidget& list, int select) {
    const qff::Team* franchise = qff::findFranchise(season(), selectedId(team));
    if (franchise == nullptr) {
        list.clear();
    } else {
        qff::Owned<qff::PlyrList> players = franchise->rosterPlayers(0, week());
        fillPlayerList(players ? *players : qff::PlyrList{}, kPlayerColumns, 0, list);
    }
    selectPlayer(list, select);
    updateTradeButton();
}

void TformSwapPlayers::updateTradeButton() {
    ui->btnTradePlayers->setEnabled(selectedPlayer(*ui->listTeam1) != 0 &&
                                    selectedPlayer(*ui->listTeam2) != 0);
}

void TformSwapPlayers::btnTradePlayersClick() {
    qff::TradeSide one{selectedId(*ui->comboTeam1), selectedPlayer(*ui->listTeam1)};
    qff::TradeSide two{selectedId(*ui->comboTeam2), selectedPlayer(*ui->listTeam2)};
    if (one.player == 0 || two.player == 0) {
        updateTradeButton();
        return;
    }
    qff::TradeResult result = qff::tradePlayers(season(), week(), one, two);
    QString message = QString::fromStdString(result.message);
    if (result.status != qff::kOk) {
        prompter().tell(this,
                        result.reason == qff::TradeReason::kSaveFailed
                            ? Prompter::Icon::Error
                            : Prompter::Icon::Information,
                        message);
        refreshRosters();
        return;
    }
    // Each side shows the player it received.
    refreshRoster(*ui->comboTeam1, *ui->listTeam1, two.player);
    refreshRoster(*ui->comboTeam2, *ui->listTeam2, one.player);
    emit seasonChanged();
    prompter().tellTitled(this, "Trade Results", Prompter::Icon::Information, message);
}
