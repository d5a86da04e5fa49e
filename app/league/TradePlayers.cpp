// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Rosters.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include "app/league/TradePlayers.h"

#include <algorithm>
#include <array>

#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "ui_TradePlayers.h"

namespace {

constexpr std::array<int, 3> kPlayerColumns = {qff::kPlayerName, qff::kPlayerTeam, qff::kPlayerId};
constexpr int kIdColumn = 2;

int selectedId(const QComboBox& combo) {
    return combo.currentIndex() < 0 ? 0 : combo.currentData().toInt();
}

int selectedPlayer(const QTreeWidget& list) {
    QList<int> ids = selectedPlayerIds(list);
    return ids.isEmpty() ? 0 : ids.front();
}

// The franchise's entry, else the first.
void selectFranchise(QComboBox& combo, int franchise) {
    QSignalBlocker quiet(combo);
    combo.setCurrentIndex(std::max(combo.findData(franchise), combo.count() > 0 ? 0 : -1));
}

void removeFranchise(QComboBox& combo, int franchise) {
    QSignalBlocker quiet(combo);
    int index = combo.findData(franchise);
    if (index >= 0) {
        combo.removeItem(index);
    }
}

}  // namespace

TformTradePlayers::TformTradePlayers(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      season_(season),
      prompter_(prompter),
      league_(season.seasonState().peek(qff::kCurrentLeague)),
      ui(new Ui::TformTradePlayers) {
    ui->setupUi(this);
    ui->listOne->hideColumn(kIdColumn);
    ui->listTwo->hideColumn(kIdColumn);
    connect(ui->comboOne, &QComboBox::activated, this,
            [this] { fillFranchises(*ui->comboOne, *ui->comboTwo); });
    connect(ui->comboTwo, &QComboBox::activated, this,
            [this] { fillFranchises(*ui->comboTwo, *ui->comboOne); });
    for (QTreeWidget* list : {ui->listOne, ui->listTwo}) {
        connect(list, &QTreeWidget::itemSelectionChanged, this,
                &TformTradePlayers::updateTradeButton);
    }
    connect(ui->btnTrade, &QPushButton::clicked, this, &TformTradePlayers::btnTradeClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TformTradePlayers::reject);
    fillFranchises(*ui->comboOne, *ui->comboTwo);
}

TformTradePlayers::~TformTradePlayers() = default;

// A trade is stored the moment it is made: closing after one is no cancel.
void TformTradePlayers::reject() {
    if (traded_) {
        accept();
    } else {
        QDialog::reject();
    }
}

// Neither combo ever offers the franchise the other one shows; the combo the
// user changed keeps its choice.
void TformTradePlayers::fillFranchises(QComboBox& changed, QComboBox& other) {
    int chosen = selectedId(changed);
    int partner = selectedId(other);
    fillLeagueFranchises(changed);
    fillLeagueFranchises(other);
    selectFranchise(changed, chosen);
    removeFranchise(other, selectedId(changed));
    selectFranchise(other, partner);
    removeFranchise(changed, selectedId(other));
    refreshLists();
}

void TformTradePlayers::fillLeagueFranchises(QComboBox& combo) {
    fillCombo(ComboKind::Franchises, combo, season_);
    QSignalBlocker quiet(combo);
    for (int index = combo.count() - 1; index >= 0; --index) {
        const qff::Team* franchise = qff::findFranchise(season_, combo.itemData(index).toInt());
        if (franchise == nullptr ||
            franchise->getValue(qff::kFranchiseLeague, qff::kAllWeeks) != league_) {
            combo.removeItem(index);
        }
    }
}

void TformTradePlayers::refreshLists() {
    refreshList(*ui->comboOne, *ui->listOne);
    refreshList(*ui->comboTwo, *ui->listTwo);
}

void TformTradePlayers::refreshList(const QComboBox& franchise, QTreeWidget& list) {
    int franchiseId = selectedId(franchise);
    qff::PlyrList players =
        franchiseId == 0 ? qff::PlyrList{} : qff::draftedPlayers(season_, league_, franchiseId);
    fillPlayerList(players, kPlayerColumns, 0, list);
    list.resizeColumnToContents(0);
    if (list.topLevelItemCount() > 0) {
        list.setCurrentItem(list.topLevelItem(0));
    }
    updateTradeButton();
}

void TformTradePlayers::updateTradeButton() {
    ui->btnTrade->setEnabled(selectedPlayer(*ui->listOne) != 0 &&
                             selectedPlayer(*ui->listTwo) != 0);
}

void TformTradePlayers::selectPlayer(QTreeWidget& list, int player) {
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (playerIdOf(list.topLevelItem(row)) == player) {
            list.setCurrentItem(list.topLevelItem(row));
            list.scrollToItem(list.topLevelItem(row));
        }
    }
}

void TformTradePlayers::btnTradeClick() {
    qff::TradeSide one{selectedId(*ui->comboOne), selectedPlayer(*ui->listOne)};
    qff::TradeSide two{selectedId(*ui->comboTwo), selectedPlayer(*ui->listTwo)};
    if (one.player == 0 || two.player == 0) {
        ui->btnTrade->setEnabled(false);
        return;
    }
    qff::TradeResult result = qff::tradeDraftedPlayers(season_, league_, one, two);
    refreshLists();
    QString message = QString::fromStdString(result.message);
    if (result.status != qff::kOk) {
        prompter_.tell(this, Prompter::Icon::Error, message);
        return;
    }
    traded_ = true;
    ui->btnCancel->setText("&Close");
    selectPlayer(*ui->listOne, two.player);
    selectPlayer(*ui->listTwo, one.player);
    prompter_.tellTitled(this, "Trade Results", Prompter::Icon::Information, message);
}
