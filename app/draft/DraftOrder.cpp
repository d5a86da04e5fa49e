#include "app/draft/DraftOrder.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Draftday.h"
#include "data02/league/Draftorder.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QSignalBlocker>
#include <algorithm>

#include "app/draft/AboutDraftOrder.h"
#include "app/draft/GenerateDraftOrderOptions.h"
#include "app/league/RosterLists.h"
#include "app/widgets/Prompter.h"
#include "ui_DraftOrder.h"

namespace {

constexpr int kPickColumn = 0;
constexpr int kFranchiseColumn = 1;
constexpr int kPlayerColumn = 2;

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

// Whom a pick already made holds, so the commissioner sees what removing it
// gives up and why a move stops at it.
QString draftedName(qff::Singleton& season, const qff::TrackDraft& pick) {
    if (!pick.isDrafted()) {
        return {};
    }
    int id = pick.getValue(qff::kDraftPlayer);
    const qff::Player* player = season.mapFactory().players().findFirst(qff::kPlayerId, id);
    return player != nullptr ? qText(player->text(qff::kPlayerName)) : QString::number(id);
}

int pickOf(const QTreeWidgetItem* row) {
    return row != nullptr ? row->data(kPickColumn, Qt::UserRole).toInt() : 0;
}

int franchiseOf(const QListWidgetItem* item) {
    return item->data(Qt::UserRole).toInt();
}

std::vector<int> selectedFranchises(const QListWidget& list) {
    std::vector<int> franchises;
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->isSelected()) {
            franchises.push_back(franchiseOf(list.item(row)));
        }
    }
    return franchises;
}

}  // namespace

TformDraftOrder::TformDraftOrder(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      season_(season),
      prompter_(prompter),
      league_(season.seasonState().peek(qff::kCurrentLeague)),
      dragDrop_(this),
      ui(std::make_unique<Ui::TformDraftOrder>()) {
    ui->setupUi(this);
    using Kind = HdlDragDrop::Kind;
    dragDrop_.registerPair(ui->listAvailable, Kind::ListBox, ui->listDraftOrder, Kind::ListView);
    dragDrop_.registerPair(ui->listDraftOrder, Kind::ListView, ui->listAvailable, Kind::ListBox);
    connectControls();
    fillRounds();
    showOncePerRound();
    refreshLists();
}

TformDraftOrder::~TformDraftOrder() = default;

void TformDraftOrder::connectControls() {
    connect(ui->comboRound, &QComboBox::activated, this, [this] { refreshLists(); });
    connect(ui->btnAddToOrder, &QPushButton::clicked, this, &TformDraftOrder::btnAddToOrderClick);
    connect(ui->btnRemoveFromOrder, &QPushButton::clicked, this,
            &TformDraftOrder::btnRemoveFromOrderClick);
    connect(ui->btnMoveUp, &QPushButton::clicked, this, [this] { moveClick(true); });
    connect(ui->btnMoveDown, &QPushButton::clicked, this, [this] { moveClick(false); });
    connect(ui->btnGenerate, &QPushButton::clicked, this, &TformDraftOrder::btnGenerateClick);
    connect(ui->btnAbout, &QPushButton::clicked, this, &TformDraftOrder::btnAboutClick);
    connect(ui->checkOncePerRound, &QCheckBox::clicked, this,
            &TformDraftOrder::checkOncePerRoundClick);
    connect(ui->btnFinished, &QPushButton::clicked, this, &TformDraftOrder::accept);
    connect(ui->listAvailable, &QListWidget::itemDoubleClicked, this,
            &TformDraftOrder::availableDoubleClick);
    connect(ui->listDraftOrder, &QTreeWidget::itemDoubleClicked, this,
            &TformDraftOrder::orderDoubleClick);
    connect(ui->listAvailable, &QListWidget::itemSelectionChanged, this,
            &TformDraftOrder::updateButtons);
    connect(ui->listDraftOrder, &QTreeWidget::itemSelectionChanged, this,
            &TformDraftOrder::updateButtons);
    // A check mark is a change of the row.
    connect(ui->listDraftOrder, &QTreeWidget::itemChanged, this, &TformDraftOrder::updateButtons);
    connect(&dragDrop_, &HdlDragDrop::dropped, this, &TformDraftOrder::listsDragDrop);
}

void TformDraftOrder::fillRounds() {
    const qff::League* league = season_.leagueQuery().findOne(qff::kLeagueId, league_);
    int rounds = league != nullptr ? qff::draftRounds(*league) : 0;
    QSignalBlocker quiet(ui->comboRound);
    ui->comboRound->clear();
    for (int round = 1; round <= rounds; ++round) {
        ui->comboRound->addItem(QString::number(round), round);
    }
    ui->comboRound->setCurrentIndex(0);
}

// The box shows what the league holds, whatever was clicked.
void TformDraftOrder::showOncePerRound() {
    const qff::League* league = season_.leagueQuery().findOne(qff::kLeagueId, league_);
    QSignalBlocker quiet(ui->checkOncePerRound);
    ui->checkOncePerRound->setChecked(league != nullptr && qff::oncePerRound(*league));
}

int TformDraftOrder::round() const {
    return ui->comboRound->currentData().toInt();
}

void TformDraftOrder::refreshLists() {
    fillOrder();
    fillAvailable();
    updateButtons();
}

void TformDraftOrder::fillOrder() {
    QTreeWidget& list = *ui->listDraftOrder;
    QSignalBlocker quiet(list);
    int selected = firstSelectedRow(list);
    list.clear();
    for (const qff::TrackDraft* pick : season_.draftQuery().roundInOrder(league_, round())) {
        int number = pick->getValue(qff::kDraftPick);
        auto* row = new QTreeWidgetItem(&list);
        row->setText(kPickColumn, QString::number(number));
        row->setData(kPickColumn, Qt::UserRole, number);
        row->setTextAlignment(kPickColumn, Qt::AlignRight | Qt::AlignVCenter);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(kPickColumn, Qt::Unchecked);
        row->setText(kFranchiseColumn,
                     qText(qff::franchiseNameOf(season_, pick->getValue(qff::kDraftFranchise))));
        row->setText(kPlayerColumn, draftedName(season_, *pick));
    }
    list.resizeColumnToContents(kPickColumn);
    list.resizeColumnToContents(kFranchiseColumn);
    selectRow(list, selected);
}

// With one pick per round, a franchise that has its pick is not offered again.
void TformDraftOrder::fillAvailable() {
    QListWidget& list = *ui->listAvailable;
    int current = list.currentRow();
    list.clear();
    bool oncePerRound = ui->checkOncePerRound->isChecked();
    for (const qff::Team* franchise : season_.teamQuery().leagueFranchises(league_)) {
        if (oncePerRound && season_.draftQuery().pickOf(league_, franchise->id(), round())) {
            continue;
        }
        auto* item = new QListWidgetItem(qText(franchise->text(qff::kFranchiseName)), &list);
        item->setData(Qt::UserRole, franchise->id());
    }
    if (current >= 0 && list.count() > 0) {
        list.setCurrentRow(std::min(current, list.count() - 1));
    }
}

void TformDraftOrder::updateButtons() {
    const QTreeWidget& order = *ui->listDraftOrder;
    int selected = firstSelectedRow(order);
    ui->btnAddToOrder->setEnabled(!ui->listAvailable->selectedItems().isEmpty());
    ui->btnRemoveFromOrder->setEnabled(!picksToRemove().empty());
    ui->btnMoveUp->setEnabled(selected > 0);
    ui->btnMoveDown->setEnabled(selected >= 0 && selected + 1 < order.topLevelItemCount());
}

void TformDraftOrder::btnAddToOrderClick() {
    addFranchises(selectedFranchises(*ui->listAvailable));
}

void TformDraftOrder::btnRemoveFromOrderClick() {
    removePicks(picksToRemove());
}

void TformDraftOrder::availableDoubleClick(QListWidgetItem* item) {
    addFranchises({franchiseOf(item)});
}

void TformDraftOrder::orderDoubleClick(QTreeWidgetItem* item) {
    removePicks({pickOf(item)});
}

// A drag takes the selection along when it starts on a selected entry,
// else only the entry it starts on.
void TformDraftOrder::listsDragDrop(const HdlDragDrop::DropInfo& info) {
    if (info.source == ui->listAvailable && info.target == ui->listDraftOrder) {
        QListWidgetItem* dragged = ui->listAvailable->item(info.sourceIndex);
        if (dragged == nullptr) {
            return;
        }
        addFranchises(dragged->isSelected() ? selectedFranchises(*ui->listAvailable)
                                            : std::vector<int>{franchiseOf(dragged)});
    } else if (info.source == ui->listDraftOrder && info.target == ui->listAvailable &&
               info.sourceItem != nullptr) {
        removePicks({pickOf(info.sourceItem)});
    }
}

// Each franchise's pick is stored on its own; the first refusal stops the
// rest. The pick added last is selected, ready to be moved.
void TformDraftOrder::addFranchises(const std::vector<int>& franchises) {
    bool added = false;
    for (int franchise : franchises) {
        if (!stored(qff::addToDraftOrder(season_, league_, franchise, round()))) {
            break;
        }
        added = true;
    }
    refreshLists();
    if (added) {
        selectRow(*ui->listDraftOrder, ui->listDraftOrder->topLevelItemCount() - 1);
    }
}

void TformDraftOrder::removePicks(const std::vector<int>& picks) {
    if (picks.empty()) {
        return;
    }
    stored(qff::removeFromDraftOrder(season_, league_, round(), picks));
    refreshLists();
}

std::vector<int> TformDraftOrder::picksToRemove() const {
    const QTreeWidget& list = *ui->listDraftOrder;
    std::vector<int> picks;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list.topLevelItem(row);
        if (item->checkState(kPickColumn) == Qt::Checked) {
            picks.push_back(pickOf(item));
        }
    }
    if (picks.empty() && list.currentItem() != nullptr && list.currentItem()->isSelected()) {
        picks.push_back(pickOf(list.currentItem()));
    }
    return picks;
}

// The moved franchise stays selected, so it can be moved on.
void TformDraftOrder::moveClick(bool up) {
    QTreeWidget& list = *ui->listDraftOrder;
    int row = firstSelectedRow(list);
    if (row < 0) {
        return;
    }
    QString franchise = list.topLevelItem(row)->text(kFranchiseColumn);
    stored(qff::moveDraftPick(season_, league_, round(), pickOf(list.topLevelItem(row)), up));
    refreshLists();
    int target = up ? row - 1 : row + 1;
    const QTreeWidgetItem* there = list.topLevelItem(target);
    if (there != nullptr && there->text(kFranchiseColumn) == franchise) {
        selectRow(list, target);
    }
}

void TformDraftOrder::btnGenerateClick() {
    TformGenerateDraftOrderOptions options(season_, prompter_, this);
    options.exec();
    refreshLists();
}

void TformDraftOrder::btnAboutClick() {
    TformAboutDraftOrder about(this);
    about.exec();
}

void TformDraftOrder::checkOncePerRoundClick(bool checked) {
    qff::DraftSettings settings;
    settings.oncePerRound = checked;
    stored(qff::saveDraftSettings(season_, league_, settings));
    showOncePerRound();
    refreshLists();
}

bool TformDraftOrder::stored(const qff::DraftChange& change) {
    if (change.ok()) {
        return true;
    }
    prompter_.tell(this, Prompter::Icon::Warning, qText(change.message));
    return false;
}
