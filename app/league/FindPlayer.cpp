#include "app/league/FindPlayer.h"

#include "data02/league/Listhelp.h"
#include "data02/model/Player.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QHeaderView>
#include <array>

#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "ui_FindPlayer.h"

namespace {

// Name, short NFL team and the hidden id.
constexpr std::array<int, 3> kPlayerColumns{qff::kPlayerName, qff::kPlayerTeam, qff::kPlayerId};

}  // namespace

TformFindPlayer::TformFindPlayer(qff::Singleton& season, Prompter& prompter, int* chosenPlayer,
                                 QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::TformFindPlayer>()),
      season_(season),
      prompter_(prompter),
      chosenPlayer_(chosenPlayer) {
    ui->setupUi(this);
    ui->listPlayers->setColumnHidden(2, true);
    ui->listPlayers->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    if (chosenPlayer_ != nullptr) {
        *chosenPlayer_ = -1;
    } else {
        ui->btnCancel->hide();
        ui->btnOk->setText(tr("&Close"));
    }
    fillCombo(ComboKind::Positions, *ui->comboPosition, season_);
    fillCombo(ComboKind::NflTeams, *ui->comboNFLTeam, season_);
    connect(ui->btnPopulateList, &QPushButton::clicked, this,
            &TformFindPlayer::btnPopulateListClick);
    connect(ui->btnOk, &QPushButton::clicked, this, &TformFindPlayer::btnOkClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->comboNFLTeam, &QComboBox::activated, this, &TformFindPlayer::comboNFLTeamChange);
    connect(ui->listPlayers, &QTreeWidget::itemDoubleClicked, this,
            &TformFindPlayer::listPlayersDblClick);
}

TformFindPlayer::TformFindPlayer(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : TformFindPlayer(season, prompter, nullptr, parent) {}

TformFindPlayer::~TformFindPlayer() = default;

void TformFindPlayer::btnPopulateListClick() {
    qff::Owned<qff::PlyrList> players;
    if (ui->radioPosition->isChecked()) {
        players = qff::findPlayers(season_, qff::PlayerSearch::ByPosition,
                                   ui->comboPosition->currentData().toInt());
    } else if (ui->radioNFL->isChecked()) {
        players = qff::findPlayers(season_, qff::PlayerSearch::ByNflTeam,
                                   ui->comboNFLTeam->currentData().toInt());
    } else {
        players = qff::findPlayers(season_, qff::PlayerSearch::ByName);
    }
    fillPlayerList(players ? *players : qff::PlyrList{}, kPlayerColumns, 0, *ui->listPlayers);
}

void TformFindPlayer::btnOkClick() {
    if (chosenPlayer_ == nullptr) {
        accept();
        return;
    }
    QTreeWidgetItem* row = ui->listPlayers->currentItem();
    if (row == nullptr || !row->isSelected()) {
        prompter_.tell(this, Prompter::Icon::Information,
                       tr("Please select a player then press OK. To cancel this operation press "
                          "the Cancel button."));
        return;
    }
    *chosenPlayer_ = playerIdOf(row);
    accept();
}

void TformFindPlayer::comboNFLTeamChange(int index) {
    QVariant team = ui->comboNFLTeam->itemData(index);
    if (team.isValid()) {
        season_.seasonState().set(qff::kCurrentNflTeam, team.toInt());
    }
}

void TformFindPlayer::listPlayersDblClick(QTreeWidgetItem* row) {
    if (chosenPlayer_ != nullptr && row != nullptr) {
        btnOkClick();
    }
}
