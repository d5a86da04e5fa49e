#include "app/league/Activate.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Rosters.h"
#include "data02/league/Structure.h"
#include "data02/season/Single.h"
#include "data02/shell/Desk.h"

#include <QResizeEvent>
#include <algorithm>
#include <array>

#include "app/league/RosterLists.h"
#include "app/widgets/ListHelp.h"
#include "ui_Activate.h"

namespace {

constexpr std::array<int, 6> kLineupColumns{qff::kPlayerName, qff::kPlayerTeam, qff::kTotalPoints,
                                            qff::kTotalTds,   qff::kTotalYards, qff::kPlayerId};
constexpr int kFirstFigureColumn = 2;
constexpr int kIdColumn = 5;
// Below this width the lists keep to names and NFL teams, which then stay
// readable without scrolling sideways.
constexpr int kFiguresMinimumWidth = 520;

}  // namespace

TformActivate::TformActivate(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent),
      ui_(std::make_unique<Ui::TformActivate>()),
      dragDrop_(this) {
    ui_->setupUi(this);
    for (QTreeWidget* list : {ui_->listActive, ui_->listBench}) {
        list->setColumnHidden(kIdColumn, true);
        stretchNameColumn(*list);
    }
    using Kind = HdlDragDrop::Kind;
    dragDrop_.registerPair(ui_->listActive, Kind::ListView, ui_->listBench, Kind::ListView);
    dragDrop_.registerPair(ui_->listBench, Kind::ListView, ui_->listActive, Kind::ListView);
    connectControls();
    formShow();
}

TformActivate::~TformActivate() = default;

void TformActivate::connectControls() {
    connect(ui_->treeLeague, &QTreeWidget::currentItemChanged, this, [this] {
        if (!filling_) {
            treeLeagueChange();
        }
    });
    connect(ui_->comboWeek, &QComboBox::activated, this, &TformActivate::comboWeekChange);
    connect(ui_->btnActivatePlayers, &QPushButton::clicked, this,
            &TformActivate::btnActivatePlayersClick);
    connect(ui_->btnBenchPlayers, &QPushButton::clicked, this,
            &TformActivate::btnBenchPlayersClick);
    connect(ui_->listBench, &QTreeWidget::itemDoubleClicked, this,
            &TformActivate::btnActivatePlayersClick);
    connect(ui_->listActive, &QTreeWidget::itemDoubleClicked, this,
            &TformActivate::btnBenchPlayersClick);
    connect(&dragDrop_, &HdlDragDrop::dropped, this, &TformActivate::listsDragDrop);
}

void TformActivate::reload() {
    formShow();
}

void TformActivate::formShow() {
    filling_ = true;
    fillCombo(ComboKind::Weeks, *ui_->comboWeek, season());
    fillLeagueTree(*ui_->treeLeague, season());
    filling_ = false;
    ui_->treeLeague->setFocus();
    treeLeagueChange();
}

int TformActivate::franchiseId() const {
    return selectedFranchise(*ui_->treeLeague);
}

int TformActivate::week() const {
    return std::max(ui_->comboWeek->currentData().toInt(), 0);
}

void TformActivate::treeLeagueChange() {
    if (std::optional<qff::StructureNode> node = structureNodeOf(ui_->treeLeague->currentItem())) {
        qff::selectStructureNode(season(), *node);
    }
    refreshRosters(Lineup::Active);
    refreshRosters(Lineup::Bench);
}

void TformActivate::comboWeekChange() {
    qff::storeWeekChoice(season().seasonState(), week(), ui_->comboWeek->count());
    treeLeagueChange();
}

void TformActivate::refreshRosters(Lineup which) {
    bool active = which == Lineup::Active;
    QTreeWidget& list = active ? *ui_->listActive : *ui_->listBench;
    showRoster(season(), franchiseId(), week(), active ? RosterPart::Active : RosterPart::Bench,
               kLineupColumns, list);
    alignFigures(list, kFirstFigureColumn, kIdColumn - 1);
    QPushButton& button = active ? *ui_->btnBenchPlayers : *ui_->btnActivatePlayers;
    button.setEnabled(list.topLevelItemCount() > 0);
}

void TformActivate::btnActivatePlayersClick() {
    changePlayerStatus(true);
}

void TformActivate::btnBenchPlayersClick() {
    changePlayerStatus(false);
}

void TformActivate::changePlayerStatus(bool activate) {
    QTreeWidget& source = activate ? *ui_->listBench : *ui_->listActive;
    std::vector<int> players = chosenPlayers(source);
    if (franchiseId() == 0 || players.empty()) {
        return;
    }
    qff::RosterChange change = qff::setActive(season(), franchiseId(), week(), players, activate);
    int row = firstSelectedRow(source);
    refreshRosters(Lineup::Active);
    refreshRosters(Lineup::Bench);
    selectRow(source, row);
    tellRefusals(prompter(), this, change);
    if (!change.changed.empty()) {
        emit seasonChanged();
    }
}

void TformActivate::listsDragDrop(const HdlDragDrop::DropInfo& info) {
    auto* source = qobject_cast<QTreeWidget*>(info.source);
    if (source == nullptr) {
        return;
    }
    keepDraggedSelected(*source, info.sourceItem);
    changePlayerStatus(source == ui_->listBench);
}

void TformActivate::resizeEvent(QResizeEvent* event) {
    SeasonForm::resizeEvent(event);
    showFiguresIfRoomy();
}

void TformActivate::showFiguresIfRoomy() {
    bool roomy = width() >= kFiguresMinimumWidth;
    for (QTreeWidget* list : {ui_->listActive, ui_->listBench}) {
        for (int column = kFirstFigureColumn; column < kIdColumn; ++column) {
            list->setColumnHidden(column, !roomy);
        }
    }
}
