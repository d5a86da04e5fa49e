// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Rosters.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include "app/league/TradePlayers.h"

#include "app/league/TradeLists.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "ui_TradePlayers.h"

namespace {

constexpr int kIdColumn = 2;

void removeFranchise(QComboBox& combo, int franchise) {
    QSignalBlocker quiet(combo);
    int index = combo.findData(franchise);
    if (index >= 0) {
        combo.removeItem(index);
    }
}

}  // namespace

using namespace trade;

TformTradePlayers::TformTradePlayers(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      season_(season),
      prompter_(prompter),
      league_(season.seasonState().peek(qff::kCurrentLeague)),
      ui(new Ui::TformTradePlayers) {
    ui->setupUi(this);
    connect(ui->comboOne, &QComboBox::activated, this,
            [this] { fillFranchises(*ui->comboOne, *ui->comboTwo); });
    connect(ui->comboTwo, &QComboBox::activated, this,
            [this] { fillFranchises(*ui->comboTwo, *ui->comboOne); });
    for (QTreeWidget* list : {ui->listOne, ui->listTwo}) {
        list->hideColumn(kIdColumn);
        fitNameColumn(*list);
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
    selectId(changed, chosen);
    removeFranchise(other, selectedId(changed));
    selectId(other, partner);
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
    if (list.topLevelItemCount() > 0) {
        list.setCurrentItem(list.topLevelItem(0));
    }
    updateTradeButton();
}

void TformTradePlayers::updateTradeButton() {
    ui->btnTrade->setEnabled(selectedPlayer(*ui->listOne) != 0 &&
                             selectedPlayer(*ui->listTwo) != 0);
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
