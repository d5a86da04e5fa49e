#include "app/schedule/Schedule.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Legqry.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QHeaderView>
#include <QListWidgetItem>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>

#include "app/schedule/GenerateSchedule.h"
#include "app/shell/Options.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_Schedule.h"

namespace {

constexpr const char* kByeText = " < BYE >";
constexpr int kOptionsScheduleTab = 10;
constexpr int kOfferDelayMs = 250;

int entryOf(const QListWidgetItem* item) {
    return item ? item->data(Qt::UserRole).toInt() : qff::kEmptySide;
}

}  // namespace

TformSchedule::TformSchedule(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent),
      ui(new Ui::TformSchedule),
      dragDrop_(new HdlDragDrop(this)) {
    ui->setupUi(this);
    ui->gridSchedule->setRowCount(qff::kScheduleSlots);
    ui->gridSchedule->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    dragDrop_->reset();
    dragDrop_->registerPair(ui->lstFranchises, HdlDragDrop::Kind::ListBox, ui->gridSchedule,
                            HdlDragDrop::Kind::Grid);
    dragDrop_->registerPair(ui->gridSchedule, HdlDragDrop::Kind::Grid, ui->gridSchedule,
                            HdlDragDrop::Kind::Grid);
    dragDrop_->registerPair(ui->gridSchedule, HdlDragDrop::Kind::Grid, ui->lstFranchises,
                            HdlDragDrop::Kind::ListBox);
    fillLeagues();
    fillCombo(ComboKind::Weeks, *ui->comboWeek, season);
    connectControls();
    refresh();
}

TformSchedule::~TformSchedule() = default;

void TformSchedule::connectControls() {
    connect(ui->lstLeagues, &QListWidget::currentRowChanged, this, &TformSchedule::leagueChosen);
    connect(ui->comboWeek, &QComboBox::currentIndexChanged, this, &TformSchedule::refresh);
    connect(ui->btnAdd, &QPushButton::clicked, this, &TformSchedule::addClick);
    connect(ui->lstFranchises, &QListWidget::itemDoubleClicked, this, &TformSchedule::addClick);
    connect(ui->btnRemove, &QPushButton::clicked, this, &TformSchedule::removeClick);
    connect(ui->btnMoveUp, &QPushButton::clicked, this, [this] { moveClick(-1); });
    connect(ui->btnMoveDown, &QPushButton::clicked, this, [this] { moveClick(1); });
    connect(ui->btnClearWeek, &QPushButton::clicked, this, &TformSchedule::clearOneWeek);
    connect(ui->btnClearAll, &QPushButton::clicked, this, &TformSchedule::resetSchedule);
    connect(ui->btnGenerate, &QPushButton::clicked, this, &TformSchedule::generateSchedule);
    connect(ui->btnOptions, &QPushButton::clicked, this, &TformSchedule::openOptions);
    connect(dragDrop_, &HdlDragDrop::dropped, this, &TformSchedule::gridDropped);
}

void TformSchedule::reload() {
    int chosenWeek = ui->comboWeek->currentIndex();
    fillLeagues();
    {
        QSignalBlocker quiet(ui->comboWeek);
        fillCombo(ComboKind::Weeks, *ui->comboWeek, season());
        ui->comboWeek->setCurrentIndex(std::min(chosenWeek, ui->comboWeek->count() - 1));
    }
    refresh();
}

void TformSchedule::showEvent(QShowEvent* event) {
    SeasonForm::showEvent(event);
    if (!offered_ && prompter().watched()) {
        offered_ = true;
        QTimer::singleShot(kOfferDelayMs, this, &TformSchedule::offerGeneration);
    }
}

void TformSchedule::fillLeagues() {
    QSignalBlocker quiet(ui->lstLeagues);
    ui->lstLeagues->clear();
    int current = season().seasonState().peek(qff::kCurrentLeague);
    for (const qff::League* league : season().leagueQuery().allLeagues()) {
        int id = league->getValue(qff::kLeagueId);
        auto* item = new QListWidgetItem(qText(league->text(qff::kLeagueName)), ui->lstLeagues);
        item->setData(Qt::UserRole, id);
        if (id == current) {
            ui->lstLeagues->setCurrentItem(item);
        }
    }
    if (ui->lstLeagues->currentRow() < 0 && ui->lstLeagues->count() > 0) {
        ui->lstLeagues->setCurrentRow(0);
    }
}

void TformSchedule::leagueChosen() {
    if (league() >= 0) {
        season().seasonState().set(qff::kCurrentLeague, league());
    }
    refresh();
}

int TformSchedule::league() const {
    const QListWidgetItem* item = ui->lstLeagues->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

int TformSchedule::week() const {
    return ui->comboWeek->currentIndex() < 0 ? -1 : ui->comboWeek->currentData().toInt();
}

std::vector<int> TformSchedule::leagueFranchises() const {
    std::vector<int> ids;
    for (const qff::Team* team : season().teamQuery().leagueFranchises(league())) {
        ids.push_back(team->id());
    }
    return ids;
}

QString TformSchedule::nameOf(int side) const {
    if (side == qff::kByeSide) {
        return kByeText;
    }
    const qff::Team* team = season().teamQuery().findOne(qff::kFranchiseId, side);
    return team ? qText(team->text(qff::kFranchiseName)) : QString();
}

void TformSchedule::refresh() {
    const QListWidgetItem* chosen = ui->lstLeagues->currentItem();
    ui->groupGames->setTitle(chosen ? chosen->text() : "Please Select a League");
    rows_ = chosen ? qff::WeekRows::ofLeague(season().schedule().games(league(), week()),
                                             leagueFranchises())
                   : qff::WeekRows();
    showRows();
    showAvailable();
}

void TformSchedule::showRows() {
    ui->gridSchedule->clearContents();
    for (int row = 0; row < qff::kScheduleSlots; ++row) {
        for (int column : {qff::WeekRows::kHome, qff::WeekRows::kAway}) {
            int side = rows_.at({row, column});
            if (side != qff::kEmptySide) {
                ui->gridSchedule->setItem(row, column, new QTableWidgetItem(nameOf(side)));
            }
        }
    }
}

void TformSchedule::showAvailable() {
    ui->lstFranchises->clear();
    if (league() < 0) {
        return;
    }
    bool several = season().preferences().get(qff::kPrefSeveralGamesAWeek) != 0;
    for (int id : rows_.available(leagueFranchises(), several)) {
        auto* item = new QListWidgetItem(nameOf(id), ui->lstFranchises);
        item->setData(Qt::UserRole, id);
    }
    auto* bye = new QListWidgetItem(kByeText, ui->lstFranchises);
    bye->setData(Qt::UserRole, qff::kByeSide);
}

void TformSchedule::store(const qff::WeekRows& rows) {
    storeDone(season().schedule().storeWeek(league(), week(), rows.games()));
}

// A refused or failed change is told and the grid shows the week as stored.
void TformSchedule::storeDone(int status) {
    if (status != qff::kOk) {
        prompter().tell(this, Prompter::Icon::Information, qText(season().schedule().lastError()));
    }
    refresh();
    if (status == qff::kOk) {
        emit seasonChanged();
    }
}

void TformSchedule::addClick() {
    const QListWidgetItem* item = ui->lstFranchises->currentItem();
    qff::WeekRows rows = rows_;
    if (league() >= 0 && item != nullptr && rows.add(entryOf(item))) {
        store(rows);
    }
}

void TformSchedule::removeClick() {
    int row = ui->gridSchedule->currentRow();
    int column = std::max(ui->gridSchedule->currentColumn(), 0);
    if (rows_.at({row, qff::WeekRows::kHome}) == qff::kEmptySide) {
        return;
    }
    qff::WeekRows rows = rows_;
    rows.clearRow(row);
    store(rows);
    if (row > 0 && rows_.at({row, qff::WeekRows::kHome}) == qff::kEmptySide) {
        ui->gridSchedule->setCurrentCell(row - 1, column);
    }
}

void TformSchedule::moveClick(int step) {
    int row = ui->gridSchedule->currentRow();
    int column = std::max(ui->gridSchedule->currentColumn(), 0);
    int target = row + step;
    if (rows_.at({row, qff::WeekRows::kHome}) == qff::kEmptySide ||
        rows_.at({target, qff::WeekRows::kHome}) == qff::kEmptySide) {
        return;
    }
    qff::WeekRows rows = rows_;
    rows.swapRows(row, target);
    store(rows);
    ui->gridSchedule->setCurrentCell(target, column);
}

void TformSchedule::gridDropped(const HdlDragDrop::DropInfo& info) {
    qff::WeekRows rows = rows_;
    qff::WeekCell from{info.sourceRow, info.sourceColumn};
    qff::WeekCell to{info.targetRow, info.targetColumn};
    if (info.source == ui->lstFranchises) {
        rows.put(to, entryOf(ui->lstFranchises->item(info.sourceIndex)));
    } else if (info.target == ui->gridSchedule) {
        rows.swapCells(from, to);
    } else {
        rows.put(from, qff::kEmptySide);
    }
    store(rows);
}

void TformSchedule::clearOneWeek() {
    if (league() >= 0 && prompter().ask(this, "Are you sure you want to clear this week?")) {
        storeDone(season().schedule().clearWeek(league(), week()));
    }
}

void TformSchedule::resetSchedule() {
    if (league() >= 0 &&
        prompter().ask(
            this, "Are you sure you want to reset the head to head schedule for this league?")) {
        storeDone(season().schedule().reset(league()));
    }
}

void TformSchedule::generateSchedule() {
    TformGenerateSchedule dialog(season(), prompter(), this);
    dialog.exec();
    refresh();
    if (dialog.generated()) {
        emit seasonChanged();
    }
}

void TformSchedule::offerGeneration() {
    if (league() >= 0 && leagueFranchises().size() > 1 &&
        !season().schedule().hasSchedule(league()) &&
        prompter().askTitled(this, "Quillmar Notification",
                             "It has been determined that you have not created a schedule for "
                             "the current league.\n\nWould you like one generated for you?")) {
        generateSchedule();
    }
}

void TformSchedule::openOptions() {
    TformOptions options(season(), kOptionsScheduleTab, prompter(), this);
    options.exec();
    reload();
}
