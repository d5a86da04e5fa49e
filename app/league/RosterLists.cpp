#include "app/league/RosterLists.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Rosters.h"
#include "data02/model/Team.h"

#include <QHeaderView>
#include <QStringList>
#include <QTreeWidget>

#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"

void stretchNameColumn(QTreeWidget& list) {
    QHeaderView* header = list.header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

void alignFigures(QTreeWidget& list, int first, int last) {
    constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
    for (int column = first; column <= last; ++column) {
        list.headerItem()->setTextAlignment(column, kRight);
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            list.topLevelItem(row)->setTextAlignment(column, kRight);
        }
    }
}

int selectedFranchise(const QTreeWidget& tree) {
    std::optional<qff::StructureNode> node = structureNodeOf(tree.currentItem());
    return node && node->kind == qff::StructureKind::Franchise ? node->id : 0;
}

void showRoster(qff::Singleton& season, int franchiseId, int week, RosterPart part,
                std::span<const int> columns, QTreeWidget& list) {
    const qff::Team* franchise = qff::findFranchise(season, franchiseId);
    qff::Owned<qff::PlyrList> players;
    if (franchise != nullptr) {
        players = franchise->rosterPlayers(static_cast<int>(part), week);
    }
    fillPlayerList(players ? *players : qff::PlyrList{}, columns, 0, list);
}

std::vector<int> chosenPlayers(const QTreeWidget& list) {
    QList<int> ids = selectedPlayerIds(list);
    return {ids.begin(), ids.end()};
}

void keepDraggedSelected(QTreeWidget& list, QTreeWidgetItem* dragged) {
    if (dragged != nullptr && !dragged->isSelected()) {
        list.clearSelection();
        dragged->setSelected(true);
    }
}

int firstSelectedRow(const QTreeWidget& list) {
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (list.topLevelItem(row)->isSelected()) {
            return row;
        }
    }
    return -1;
}

void selectRow(QTreeWidget& list, int row) {
    int count = list.topLevelItemCount();
    if (row < 0 || count == 0) {
        return;
    }
    QTreeWidgetItem* item = list.topLevelItem(std::min(row, count - 1));
    list.setCurrentItem(item);
    list.scrollToItem(item);
}

void tellRefusals(Prompter& prompter, QWidget* parent, const qff::RosterChange& change) {
    QStringList lines;
    if (change.status != qff::kOk) {
        lines.append(QString::fromStdString(change.error));
    }
    for (const qff::RosterRefusal& refusal : change.refused) {
        lines.append(QString::fromStdString(refusal.message));
    }
    if (!lines.isEmpty()) {
        prompter.tell(parent, Prompter::Icon::Information, lines.join('\n'));
    }
}
