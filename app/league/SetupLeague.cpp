#include "app/league/SetupLeague.h"

#include "data02/model/Legqry.h"
#include "data02/model/Team.h"
#include "data02/season/Single.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTreeWidgetItemIterator>

#include "app/league/PropertyGrid.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "ui_SetupLeague.h"

using qff::StructureKind;
using qff::StructureNode;

namespace {

const char* gridTitle(StructureKind kind) {
    switch (kind) {
        case StructureKind::League:
            return "League Information";
        case StructureKind::Division:
            return "Division Information";
        default:
            return "Franchise Information";
    }
}

bool isDefaultLeague(StructureNode node) {
    return node.kind == StructureKind::League && node.id == qff::kDefaultLeagueId;
}

// The Default League's name row takes no typing.
int lockedCode(StructureNode node) {
    return isDefaultLeague(node) ? qff::kLeagueName : 0;
}

QString deleteQuestion(StructureKind kind, const QString& name) {
    QString consequence = kind == StructureKind::Franchise
                              ? "Answering YES will result in the destruction of the franchise."
                              : "Answering YES will result in the destruction of all associated "
                                "franchises.";
    return QString("Are you sure you want to delete %1?\n\n%2").arg(name, consequence);
}

QString countOf(long long count, const QString& noun) {
    return QString("%1 %2%3").arg(count).arg(noun, count == 1 ? "" : "s");
}

// Why a drop cannot be carried out, or null when it can.
const char* dropRefusal(StructureNode object, StructureNode target) {
    if (target.kind == StructureKind::Franchise) {
        return "??? Dropping on to a franchise ???";
    }
    if (target.kind == StructureKind::Division && object.kind != StructureKind::Franchise) {
        return "??? Dragging from a division/league ???";
    }
    if (object.kind == StructureKind::League) {
        return "??? Dragging from a league ???";
    }
    return nullptr;
}

bool within(const QWidget* control, const QWidget* widget) {
    return widget != nullptr && (widget == control || control->isAncestorOf(widget));
}

}  // namespace

TformSetupLeague::TformSetupLeague(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent),
      ui(new Ui::TformSetupLeague),
      dragDrop_(new HdlDragDrop(this)) {
    ui->setupUi(this);
    propertygrid::setUp(*ui->gridProperties);
    ui->treeLeague->addActions(
        {ui->menuNewLeague, ui->menuNewDivision, ui->menuNewFranchise, ui->menuDelete});
    dragDrop_->reset();
    dragDrop_->registerPair(ui->treeLeague, HdlDragDrop::Kind::TreeView, ui->treeLeague,
                            HdlDragDrop::Kind::TreeView);
    connectControls();
    fillLeagueTree();
}

// Destroying the window moves the focus, which must not reach a half-destroyed form.
TformSetupLeague::~TformSetupLeague() {
    disconnect(qApp, &QApplication::focusChanged, this, &TformSetupLeague::gridPropertiesExit);
}

void TformSetupLeague::connectControls() {
    connect(ui->treeLeague, &QTreeWidget::currentItemChanged, this, [this] { treeLeagueChange(); });
    struct Creator {
        QAbstractButton* button;
        QAction* menu;
        StructureKind kind;
    };
    const Creator creators[] = {
        {ui->btnNewLeague, ui->menuNewLeague, StructureKind::League},
        {ui->btnNewDivision, ui->menuNewDivision, StructureKind::Division},
        {ui->btnNewFranchise, ui->menuNewFranchise, StructureKind::Franchise},
    };
    for (const Creator& creator : creators) {
        StructureKind kind = creator.kind;
        connect(creator.button, &QAbstractButton::clicked, this,
                [this, kind] { btnNewClick(kind); });
        connect(creator.menu, &QAction::triggered, this, [this, kind] { btnNewClick(kind); });
    }
    connect(ui->btnDelete, &QPushButton::clicked, this, &TformSetupLeague::btnDeleteClick);
    connect(ui->menuDelete, &QAction::triggered, this, &TformSetupLeague::btnDeleteClick);
    connect(ui->btnSaveProperties, &QPushButton::clicked, this,
            &TformSetupLeague::btnSavePropertiesClick);
    connect(ui->btnRestoreProperties, &QPushButton::clicked, this,
            &TformSetupLeague::btnRestorePropertiesClick);
    connect(dragDrop_, &HdlDragDrop::dropped, this, &TformSetupLeague::treeLeagueDropped);
    connect(qApp, &QApplication::focusChanged, this, &TformSetupLeague::gridPropertiesExit);
}

void TformSetupLeague::reload() {
    savePropereties(Telling::Quiet);
    fillLeagueTree(structureNodeOf(ui->treeLeague->currentItem()));
}

void TformSetupLeague::showEvent(QShowEvent* event) {
    SeasonForm::showEvent(event);
    ui->treeLeague->setFocus();
}

void TformSetupLeague::closeEvent(QCloseEvent* event) {
    savePropereties(Telling::Quiet);
    SeasonForm::closeEvent(event);
}

void TformSetupLeague::fillLeagueTree(std::optional<StructureNode> select) {
    busy_ = true;
    ::fillLeagueTree(*ui->treeLeague, season(), select);
    busy_ = false;
    showSelected();
}

void TformSetupLeague::showSelected() {
    std::optional<StructureNode> node = structureNodeOf(ui->treeLeague->currentItem());
    initializePropertyGrid(node);
    if (node) {
        qff::selectNode(season(), *node);
    }
    bool deletable = node && !isDefaultLeague(*node);
    ui->btnDelete->setEnabled(deletable);
    ui->menuDelete->setEnabled(deletable);
}

void TformSetupLeague::initializePropertyGrid(std::optional<StructureNode> node) {
    shown_ = node;
    loaded_ = node ? qff::loadProperties(season(), *node) : std::vector<qff::FieldText>();
    if (loaded_.empty()) {
        shown_.reset();
        ui->labelProperties->clear();
        ui->gridProperties->setRowCount(0);
        return;
    }
    ui->labelProperties->setText(gridTitle(node->kind));
    propertygrid::show(*ui->gridProperties, node->kind, loaded_, lockedCode(*node));
}

void TformSetupLeague::treeLeagueChange() {
    if (busy_) {
        return;
    }
    savePropereties(Telling::Messages);
    showSelected();
}

// Leaving the grid for another control of the window saves what was typed.
void TformSetupLeague::gridPropertiesExit(QWidget* old, QWidget* now) {
    if (!busy_ && within(ui->gridProperties, old) && now != nullptr &&
        !within(ui->gridProperties, now)) {
        savePropereties(Telling::Messages);
    }
}

void TformSetupLeague::savePropereties(Telling telling) {
    if (!shown_ || busy_) {
        return;
    }
    // The message boxes take the focus from the grid; that is no leaving.
    busy_ = true;
    StructureNode node = *shown_;
    qff::GridSave grid =
        qff::savePropertyGrid(season(), node, propertygrid::cells(*ui->gridProperties));
    bool changed = !grid.stored.empty() && grid.stored != loaded_;
    if (!grid.stored.empty()) {
        propertygrid::show(*ui->gridProperties, node.kind, grid.stored, lockedCode(node));
        renameNode(node, propertygrid::cellText(*ui->gridProperties, qff::nameRow(node.kind).code));
        loaded_ = grid.stored;
    }
    if (telling == Telling::Messages) {
        propertygrid::tellOutcome(prompter(), this, grid);
    }
    busy_ = false;
    if (changed) {
        emit seasonChanged();
    }
}

void TformSetupLeague::renameNode(StructureNode node, const QString& name) {
    if (QTreeWidgetItem* item = itemOf(node)) {
        item->setText(0, name);
    }
}

QTreeWidgetItem* TformSetupLeague::itemOf(StructureNode node) const {
    for (QTreeWidgetItemIterator it(ui->treeLeague); *it != nullptr; ++it) {
        std::optional<StructureNode> candidate = structureNodeOf(*it);
        if (candidate && candidate->kind == node.kind && candidate->id == node.id) {
            return *it;
        }
    }
    return nullptr;
}

// A new division goes to the league above the selection, a new franchise to
// the nearest division at or above it, else to that league.
StructureNode TformSetupLeague::locateParentNode(StructureKind kind) const {
    for (QTreeWidgetItem* item = ui->treeLeague->currentItem(); item != nullptr;
         item = item->parent()) {
        std::optional<StructureNode> node = structureNodeOf(item);
        if (node && (node->kind == StructureKind::League ||
                     (kind == StructureKind::Franchise && node->kind == StructureKind::Division))) {
            return *node;
        }
    }
    return {StructureKind::League, qff::kDefaultLeagueId};
}

void TformSetupLeague::btnNewClick(StructureKind kind) {
    savePropereties(Telling::Messages);
    qff::StructureResult result;
    if (kind == StructureKind::League) {
        result = qff::createLeague(season());
    } else if (kind == StructureKind::Division) {
        result = qff::createDivision(season(), locateParentNode(kind).id);
    } else {
        result = qff::createFranchise(season(), locateParentNode(kind));
    }
    if (!result.ok()) {
        tellFailure(result);
        return;
    }
    structureChanged(StructureNode{kind, result.id});
}

void TformSetupLeague::btnDeleteClick() {
    QTreeWidgetItem* item = ui->treeLeague->currentItem();
    std::optional<StructureNode> node = structureNodeOf(item);
    if (!node) {
        return;
    }
    savePropereties(Telling::Messages);
    if (!prompter().ask(this, deleteQuestion(node->kind, item->text(0)))) {
        return;
    }
    std::unique_ptr<qff::DraftPicks> picks = qff::seasonDraftPicks(season());
    busy_ = true;
    qff::StructureResult result = qff::remove(season(), *picks, *node);
    busy_ = false;
    if (!result.ok()) {
        tellFailure(result);
    }
    shown_.reset();
    structureChanged(std::nullopt);
}

void TformSetupLeague::btnSavePropertiesClick() {
    savePropereties(Telling::Messages);
}

void TformSetupLeague::btnRestorePropertiesClick() {
    initializePropertyGrid(shown_);
}

void TformSetupLeague::treeLeagueDropped(const HdlDragDrop::DropInfo& info) {
    if (info.source != ui->treeLeague || info.target != ui->treeLeague ||
        info.sourceItem == nullptr || info.targetItem == nullptr ||
        info.sourceItem == info.targetItem) {
        return;
    }
    std::optional<StructureNode> object = structureNodeOf(info.sourceItem);
    std::optional<StructureNode> target = structureNodeOf(info.targetItem);
    if (!object || !target) {
        return;
    }
    if (const char* refusal = dropRefusal(*object, *target)) {
        prompter().tell(this, Prompter::Icon::Error, refusal);
        return;
    }
    QString name = info.sourceItem->text(0);
    savePropereties(Telling::Messages);
    std::unique_ptr<qff::DraftPicks> picks = qff::seasonDraftPicks(season());
    qff::MovePlan plan = qff::planMove(season(), *picks, *object, *target);
    if (!plan.check.ok()) {
        tellFailure(plan.check);
        return;
    }
    if (plan.needsConfirmation() && !moveConfirmed(plan, name)) {
        return;
    }
    qff::StructureResult result = qff::move(season(), *picks, *object, *target);
    if (!result.ok()) {
        tellFailure(result);
    }
    structureChanged(*object);
}

// A franchise leaving its league loses its games there, so the move waits for a Yes.
bool TformSetupLeague::moveConfirmed(const qff::MovePlan& plan, const QString& name) {
    auto leagueName = [this](int id) {
        const qff::League* league = season().leagueQuery().findOne(qff::kLeagueId, id);
        return league != nullptr ? QString::fromStdString(league->text(qff::kLeagueName))
                                 : QString::number(id);
    };
    QString question =
        QString(
            "Moving %1 to league \"%2\" takes %3 out of the schedule of league \"%4\" (%5 "
            "become byes for their opponents) and carries %6 along.\n\nDo you want to move it?")
            .arg(name, leagueName(plan.toLeague),
                 countOf(static_cast<long long>(plan.franchises.size()), "franchise"),
                 leagueName(plan.fromLeague), countOf(plan.games, "game"),
                 countOf(plan.picks, "draft pick"));
    return prompter().ask(this, question);
}

void TformSetupLeague::tellFailure(const qff::StructureResult& result) {
    Prompter::Icon icon = result.error == qff::StructureError::NotCached
                              ? Prompter::Icon::Information
                              : Prompter::Icon::Error;
    prompter().tell(this, icon, QString::fromStdString(result.message));
}

// The refilled tree shows what the caches now hold; the window recounts the franchises.
void TformSetupLeague::structureChanged(std::optional<StructureNode> select) {
    fillLeagueTree(select);
    emit seasonChanged();
}
