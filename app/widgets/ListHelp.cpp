#include "app/widgets/ListHelp.h"
#include "app/widgets/QtText.h"

#include "data02/model/Divqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <algorithm>
#include <array>
#include <utility>

namespace {

struct ComboEntry {
    QString text;
    int id;
};

struct ComboContent {
    std::vector<ComboEntry> entries;
    // The id of the entry to select; none selects by the previous index.
    std::optional<int> wanted;
};

ComboContent weekEntries(qff::Singleton& season) {
    ComboContent content;
    for (int week = 0; week < season.pro().weeks(); ++week) {
        content.entries.push_back({QString::number(week + 1), week});
    }
    content.wanted = season.seasonState().peek(qff::kCurrentWeek);
    return content;
}

ComboContent leagueEntries(qff::Singleton& season) {
    ComboContent content;
    for (const qff::League* league : season.leagueQuery().allLeagues()) {
        content.entries.push_back(
            {qText(league->text(qff::kLeagueName)), league->getValue(qff::kLeagueId)});
    }
    content.wanted = season.seasonState().peek(qff::kCurrentLeague);
    return content;
}

ComboContent divisionEntries(qff::Singleton& season) {
    ComboContent content;
    for (const qff::Division* division : season.divisionQuery().allDivisions()) {
        content.entries.push_back(
            {qText(division->text(qff::kDivisionName)), division->getValue(qff::kDivisionId)});
    }
    return content;
}

ComboContent nflTeamEntries(qff::Singleton& season) {
    ComboContent content;
    qff::Pro& pro = season.pro();
    for (int team : pro.validTeams()) {
        content.entries.push_back({QString::fromUtf8(pro.teamName(false, team)), team});
    }
    std::stable_sort(content.entries.begin(), content.entries.end(),
                     [](const ComboEntry& a, const ComboEntry& b) { return a.text < b.text; });
    content.wanted = season.seasonState().peek(qff::kCurrentNflTeam);
    return content;
}

ComboContent franchiseEntries(qff::Singleton& season) {
    ComboContent content;
    for (const qff::Team* franchise : season.teamQuery().allFranchises()) {
        content.entries.push_back({qText(franchise->text(qff::kFranchiseName)), franchise->id()});
    }
    return content;
}

ComboContent positionEntries(qff::Singleton& season) {
    ComboContent content;
    for (int position = qff::kQB; position <= qff::kSPE; ++position) {
        content.entries.push_back(
            {QString::fromUtf8(season.pro().positionName(false, position)), position});
    }
    return content;
}

ComboContent comboContent(ComboKind kind, qff::Singleton& season) {
    switch (kind) {
        case ComboKind::Weeks:
            return weekEntries(season);
        case ComboKind::Leagues:
            return leagueEntries(season);
        case ComboKind::Divisions:
            return divisionEntries(season);
        case ComboKind::NflTeams:
            return nflTeamEntries(season);
        case ComboKind::Franchises:
            return franchiseEntries(season);
        case ComboKind::Positions:
            return positionEntries(season);
    }
    return {};
}

int indexToSelect(const QComboBox& combo, std::optional<int> wanted, int previous) {
    int found = wanted ? combo.findData(*wanted) : -1;
    if (found >= 0) {
        return found;
    }
    return previous >= 0 && previous < combo.count() ? previous : 0;
}

// The drop-down of a short list still opens tall enough to read at a glance.
int visibleRows(int entries) {
    return entries < 10 ? 20 : entries;
}

constexpr int kIconSize = 32;

QColor positionColour(int position) {
    static constexpr std::array<QRgb, 7> kColours = {0x1f5fa8, 0x2e8b3d, 0xc06010, 0x8a3fa0,
                                                     0x9a7b00, 0xa82828, 0x2a8a8a};
    return QColor::fromRgb(kColours[static_cast<std::size_t>(position)]);
}

QIcon paintPositionIcon(int position) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(positionColour(position));
    painter.drawRoundedRect(QRectF(1, 1, kIconSize - 2, kIconSize - 2), 6, 6);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(position == qff::kDEF || position == qff::kSPE ? 11 : 14);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter,
                     QString::fromUtf8(qff::Pro::positionLabel(true, position)));
    return QIcon(pixmap);
}

QString playerColumnText(const qff::Player& player, int code) {
    switch (qff::playerValueKind(code)) {
        case qff::ValueKind::Text:
        case qff::ValueKind::Identity:
            return QString::fromStdString(player.text(code));
        case qff::ValueKind::Points:
            return QString::number(player.getPoints(code, qff::kAllWeeks));
        case qff::ValueKind::Statistic:
            break;
    }
    return QString::number(player.getValue(code, qff::kAllWeeks));
}

// Item data of the league tree's nodes.
enum TreeRole { KindRole = Qt::UserRole, IdRole };

QTreeWidgetItem* addTreeNode(QTreeWidgetItem* parent, qff::StructureKind kind, int id,
                             const std::string& caption, QStyle::StandardPixmap image) {
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, QString::fromStdString(caption));
    item->setData(0, KindRole, static_cast<int>(kind));
    item->setData(0, IdRole, id);
    item->setIcon(0, QApplication::style()->standardIcon(image));
    return item;
}

void addFranchises(QTreeWidgetItem* parent, const qff::TeamList& franchises, int division) {
    for (const qff::Team* franchise : franchises) {
        if (franchise->getValue(qff::kFranchiseDivision, qff::kAllWeeks) == division) {
            addTreeNode(parent, qff::StructureKind::Franchise, franchise->id(),
                        franchise->text(qff::kFranchiseName), QStyle::SP_FileIcon);
        }
    }
}

void addLeague(QTreeWidget& tree, qff::Singleton& season, const qff::League& league) {
    int leagueId = league.getValue(qff::kLeagueId);
    QTreeWidgetItem* root =
        addTreeNode(tree.invisibleRootItem(), qff::StructureKind::League, leagueId,
                    league.text(qff::kLeagueName), QStyle::SP_DirHomeIcon);
    qff::TeamList franchises = season.teamQuery().leagueFranchises(leagueId);
    for (const qff::Division* division : season.divisionQuery().leagueDivisions(leagueId)) {
        int divisionId = division->getValue(qff::kDivisionId);
        QTreeWidgetItem* node = addTreeNode(root, qff::StructureKind::Division, divisionId,
                                            division->text(qff::kDivisionName), QStyle::SP_DirIcon);
        addFranchises(node, franchises, divisionId);
    }
    addFranchises(root, franchises, qff::kNoDivision);
}

bool sameNode(const std::optional<qff::StructureNode>& node, const QTreeWidgetItem* item) {
    std::optional<qff::StructureNode> other = structureNodeOf(item);
    return node && other && node->kind == other->kind && node->id == other->id;
}

std::vector<QTreeWidgetItem*> allItems(const QTreeWidget& tree) {
    std::vector<QTreeWidgetItem*> items;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it != nullptr; ++it) {
        items.push_back(*it);
    }
    return items;
}

QTreeWidgetItem* nodeToSelect(const QTreeWidget& tree,
                              const std::optional<qff::StructureNode>& wanted, int stateFranchise) {
    std::vector<QTreeWidgetItem*> items = allItems(tree);
    auto first = [&](auto matches) {
        auto found = std::find_if(items.begin(), items.end(), matches);
        return found != items.end() ? *found : nullptr;
    };
    auto isFranchise = [](const QTreeWidgetItem* item) {
        return structureNodeOf(item)->kind == qff::StructureKind::Franchise;
    };
    if (QTreeWidgetItem* item = first([&](auto* it) { return sameNode(wanted, it); })) {
        return item;
    }
    qff::StructureNode franchise{qff::StructureKind::Franchise, stateFranchise};
    if (QTreeWidgetItem* item = first([&](auto* it) { return sameNode(franchise, it); })) {
        return item;
    }
    if (QTreeWidgetItem* item = first(isFranchise)) {
        return item;
    }
    return tree.topLevelItem(0);
}

}  // namespace

int fillCombo(ComboKind kind, QComboBox& combo, qff::Singleton& season) {
    int previous = combo.currentIndex();
    ComboContent content = comboContent(kind, season);
    QSignalBlocker quiet(combo);
    combo.clear();
    for (const ComboEntry& entry : content.entries) {
        combo.addItem(entry.text, entry.id);
    }
    combo.setMaxVisibleItems(visibleRows(combo.count()));
    combo.setCurrentIndex(combo.count() > 0 ? indexToSelect(combo, content.wanted, previous) : -1);
    return combo.count();
}

QIcon positionIcon(int position) {
    if (position >= qff::kUnitOffset) {
        position -= qff::kUnitOffset;
    }
    if (position < qff::kQB || position > qff::kSPE) {
        return {};
    }
    static std::array<QIcon, qff::kSPE + 1> icons;
    QIcon& icon = icons[static_cast<std::size_t>(position)];
    if (icon.isNull()) {
        icon = paintPositionIcon(position);
    }
    return icon;
}

int fillPlayerList(const qff::PlyrList& players, std::span<const int> columns, int iconBase,
                   QTreeWidget& view) {
    view.clear();
    QList<QTreeWidgetItem*> rows;
    for (const qff::Player* player : players) {
        auto* row = new QTreeWidgetItem;
        for (std::size_t column = 0; column < columns.size(); ++column) {
            row->setText(static_cast<int>(column), playerColumnText(*player, columns[column]));
        }
        row->setData(0, Qt::UserRole, player->id());
        if (iconBase >= 0) {
            row->setIcon(0, positionIcon(iconBase + player->storedPosition() % qff::kUnitOffset));
        }
        rows.append(row);
    }
    view.addTopLevelItems(rows);
    return static_cast<int>(rows.size());
}

int playerIdOf(const QTreeWidgetItem* row) {
    return row != nullptr ? row->data(0, Qt::UserRole).toInt() : 0;
}

QList<int> selectedPlayerIds(const QTreeWidget& view) {
    QList<int> ids;
    for (int i = 0; i < view.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = view.topLevelItem(i);
        if (row->isSelected()) {
            ids.append(playerIdOf(row));
        }
    }
    return ids;
}

void fillLeagueTree(QTreeWidget& tree, qff::Singleton& season,
                    std::optional<qff::StructureNode> select) {
    std::optional<qff::StructureNode> wanted =
        select ? select : structureNodeOf(tree.currentItem());
    QSignalBlocker quiet(tree);
    tree.clear();
    for (const qff::League* league : season.leagueQuery().allLeagues()) {
        addLeague(tree, season, *league);
    }
    tree.expandAll();
    quiet.unblock();
    int stateFranchise = season.seasonState().peek(qff::kCurrentFranchise);
    if (QTreeWidgetItem* item = nodeToSelect(tree, wanted, stateFranchise)) {
        tree.setCurrentItem(item);
    }
}

std::optional<qff::StructureNode> structureNodeOf(const QTreeWidgetItem* item) {
    if (item == nullptr || !item->data(0, KindRole).isValid()) {
        return std::nullopt;
    }
    return qff::StructureNode{static_cast<qff::StructureKind>(item->data(0, KindRole).toInt()),
                              item->data(0, IdRole).toInt()};
}
