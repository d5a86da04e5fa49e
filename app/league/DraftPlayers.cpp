#include "app/league/DraftPlayers.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Rosters.h"
#include "data02/league/Structure.h"
#include "data02/model/Mapfact.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/shell/Desk.h"

#include <algorithm>
#include <array>

#include "app/league/FindPlayer.h"
#include "app/league/RosterLists.h"
#include "app/shell/Options.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "ui_DraftPlayers.h"

namespace {

constexpr std::array<int, 3> kRosterColumns{qff::kPlayerName, qff::kPlayerTeam, qff::kPlayerId};
constexpr std::array<int, 2> kAvailableColumns{qff::kPlayerName, qff::kPlayerId};
// The id comes last in both lists, kept but not shown.
constexpr int kRosterIdColumn = kRosterColumns.size() - 1;
constexpr int kAvailableIdColumn = kAvailableColumns.size() - 1;
// The options dialog's page of roster limits and shared players.
constexpr int kFranchiseOptionsPage = 7;

}  // namespace

TformDraftPlayers::TformDraftPlayers(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent),
      ui_(std::make_unique<Ui::TformDraftPlayers>()),
      dragDrop_(this) {
    ui_->setupUi(this);
    ui_->listDraftTo->setColumnHidden(kRosterIdColumn, true);
    ui_->listDraftFrom->setColumnHidden(kAvailableIdColumn, true);
    stretchNameColumn(*ui_->listDraftTo);
    stretchNameColumn(*ui_->listDraftFrom);
    using Kind = HdlDragDrop::Kind;
    dragDrop_.registerPair(ui_->listDraftTo, Kind::ListView, ui_->listDraftFrom, Kind::ListView);
    dragDrop_.registerPair(ui_->listDraftFrom, Kind::ListView, ui_->listDraftTo, Kind::ListView);
    // The tree takes roster rows without acting on them, so a player let go
    // over the wrong franchise stays where he was.
    dragDrop_.registerPair(ui_->listDraftTo, Kind::ListView, ui_->treeLeague, Kind::TreeView);
    connectControls();
    formShow();
}

TformDraftPlayers::~TformDraftPlayers() = default;

void TformDraftPlayers::connectControls() {
    connect(ui_->treeLeague, &QTreeWidget::currentItemChanged, this, [this] {
        if (!filling_) {
            treeLeagueChange();
        }
    });
    connect(ui_->comboWeek, &QComboBox::activated, this, &TformDraftPlayers::comboWeekChange);
    connect(ui_->comboNFLTeams, &QComboBox::activated, this,
            &TformDraftPlayers::comboNFLTeamsChange);
    connect(ui_->btnAddPlayers, &QPushButton::clicked, this,
            &TformDraftPlayers::btnAddPlayersClick);
    connect(ui_->btnRemovePlayers, &QPushButton::clicked, this,
            &TformDraftPlayers::btnRemovePlayersClick);
    connect(ui_->btnFindPlayer, &QPushButton::clicked, this,
            &TformDraftPlayers::btnFindPlayerClick);
    connect(ui_->btnDraftOptions, &QPushButton::clicked, this,
            &TformDraftPlayers::btnDraftOptionsClick);
    connect(ui_->listDraftFrom, &QTreeWidget::itemDoubleClicked, this,
            &TformDraftPlayers::btnAddPlayersClick);
    connect(ui_->listDraftTo, &QTreeWidget::itemDoubleClicked, this,
            &TformDraftPlayers::btnRemovePlayersClick);
    connect(&dragDrop_, &HdlDragDrop::dropped, this, &TformDraftPlayers::listsDragDrop);
}

void TformDraftPlayers::reload() {
    formShow();
}

void TformDraftPlayers::formShow() {
    filling_ = true;
    fillCombo(ComboKind::NflTeams, *ui_->comboNFLTeams, season());
    fillCombo(ComboKind::Weeks, *ui_->comboWeek, season());
    fillLeagueTree(*ui_->treeLeague, season());
    filling_ = false;
    ui_->treeLeague->setFocus();
    treeLeagueChange();
}

int TformDraftPlayers::franchiseId() const {
    return selectedFranchise(*ui_->treeLeague);
}

int TformDraftPlayers::week() const {
    return std::max(ui_->comboWeek->currentData().toInt(), 0);
}

int TformDraftPlayers::nflTeam() const {
    return ui_->comboNFLTeams->currentData().toInt();
}

void TformDraftPlayers::treeLeagueChange() {
    std::optional<qff::StructureNode> node = structureNodeOf(ui_->treeLeague->currentItem());
    if (node) {
        qff::selectStructureNode(season(), *node);
    }
    const qff::Team* franchise = qff::findFranchise(season(), franchiseId());
    ui_->labelRosterTitle->setText(
        franchise
            ? tr("Roster for %1").arg(QString::fromStdString(franchise->text(qff::kFranchiseName)))
            : tr("Please Select a Franchise"));
    refreshBoth();
}

void TformDraftPlayers::comboWeekChange() {
    qff::storeWeekChoice(season().seasonState(), week(), ui_->comboWeek->count());
    refreshBoth();
}

void TformDraftPlayers::comboNFLTeamsChange() {
    season().seasonState().set(qff::kCurrentNflTeam, nflTeam());
    refreshDraftPlayers(PlayerList::Available);
}

void TformDraftPlayers::refreshBoth() {
    refreshDraftPlayers(PlayerList::Roster);
    refreshDraftPlayers(PlayerList::Available);
}

void TformDraftPlayers::refreshDraftPlayers(PlayerList which) {
    if (which == PlayerList::Roster) {
        showRoster(season(), franchiseId(), week(), RosterPart::All, kRosterColumns,
                   *ui_->listDraftTo);
    } else {
        qff::PlyrList candidates = qff::draftCandidates(season(), franchiseId(), week(), nflTeam());
        fillPlayerList(candidates, kAvailableColumns, 0, *ui_->listDraftFrom);
    }
    updateButtons();
}

void TformDraftPlayers::updateButtons() {
    bool franchise = franchiseId() != 0;
    int rostered = ui_->listDraftTo->topLevelItemCount();
    ui_->btnAddPlayers->setEnabled(franchise && rostered < qff::kRosterPlaces &&
                                   ui_->listDraftFrom->topLevelItemCount() > 0);
    ui_->btnRemovePlayers->setEnabled(franchise && rostered > 0);
}

void TformDraftPlayers::btnAddPlayersClick() {
    std::vector<int> players = chosenPlayers(*ui_->listDraftFrom);
    if (!ui_->btnAddPlayers->isEnabled() || franchiseId() == 0 || players.empty()) {
        return;
    }
    showChange(qff::addPlayers(season(), franchiseId(), week(), players));
}

void TformDraftPlayers::btnRemovePlayersClick() {
    std::vector<int> players = chosenPlayers(*ui_->listDraftTo);
    if (!ui_->btnRemovePlayers->isEnabled() || franchiseId() == 0 || players.empty()) {
        return;
    }
    showChange(qff::dropPlayers(season(), franchiseId(), week(), players));
}

void TformDraftPlayers::showChange(const qff::RosterChange& change) {
    int rosterRow = firstSelectedRow(*ui_->listDraftTo);
    int availableRow = firstSelectedRow(*ui_->listDraftFrom);
    refreshBoth();
    selectRow(*ui_->listDraftTo, rosterRow);
    selectRow(*ui_->listDraftFrom, availableRow);
    tellRefusals(prompter(), this, change);
    if (!change.changed.empty()) {
        emit seasonChanged();
    }
}

void TformDraftPlayers::listsDragDrop(const HdlDragDrop::DropInfo& info) {
    auto* source = qobject_cast<QTreeWidget*>(info.source);
    if (source == nullptr || info.target == ui_->treeLeague) {
        return;
    }
    keepDraggedSelected(*source, info.sourceItem);
    if (info.source == ui_->listDraftFrom && info.target == ui_->listDraftTo) {
        btnAddPlayersClick();
    } else if (info.source == ui_->listDraftTo && info.target == ui_->listDraftFrom) {
        btnRemovePlayersClick();
    }
}

void TformDraftPlayers::btnFindPlayerClick() {
    int chosen = -1;
    TformFindPlayer finder(season(), prompter(), &chosen, this);
    if (finder.exec() != QDialog::Accepted || chosen <= 0) {
        return;
    }
    const qff::Player* player = season().mapFactory().players().findFirst(qff::kPlayerId, chosen);
    int index = player ? ui_->comboNFLTeams->findData(player->team()) : -1;
    if (index < 0) {
        return;
    }
    ui_->comboNFLTeams->setCurrentIndex(index);
    comboNFLTeamsChange();
    selectPlayer(chosen);
}

void TformDraftPlayers::selectPlayer(int playerId) {
    QTreeWidget& list = *ui_->listDraftFrom;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (playerIdOf(list.topLevelItem(row)) == playerId) {
            selectRow(list, row);
            list.setFocus();
            return;
        }
    }
}

void TformDraftPlayers::btnDraftOptionsClick() {
    TformOptions options(season(), kFranchiseOptionsPage, prompter(), this);
    options.exec();
    refreshBoth();
}
