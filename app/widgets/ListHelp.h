#pragma once

// How the dialogs show the league data: combo boxes of weeks, leagues,
// divisions, NFL teams, franchises and positions, player lists and the league
// tree. Every list comes from the data layer's queries; the widgets keep ids,
// never record pointers, so a reload of the caches cannot leave them dangling.

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Structure.h"

#include <QComboBox>
#include <QIcon>
#include <QList>
#include <QTreeWidget>
#include <optional>
#include <span>
#include <vector>

namespace qff {
class Singleton;
class Player;
using PlyrList = std::vector<Player*>;
}  // namespace qff

enum class ComboKind {
    Weeks = 1,
    Leagues = 2,
    Divisions = 3,
    NflTeams = 4,
    Franchises = 5,
    Positions = 6
};

// Clears and fills the combo as the table of kinds says, selects the entry, returns the count.
// Each entry carries its id in Qt::UserRole (week index 0.., league id, division id, NFL team
// index, franchise id, position code).
int fillCombo(ComboKind kind, QComboBox& combo, qff::Singleton& season);

// The icon of a position code (0..6; unit codes 10..16 show as 0..6); empty for other codes.
QIcon positionIcon(int position);

// One row per player in list order (QTreeWidget used as a multi-column list view); column 0
// shows the first code's text with the iconBase + position icon when iconBase >= 0 (the icons
// of the positions start at 0); the player id is in column 0's Qt::UserRole.
int fillPlayerList(const qff::PlyrList& players, std::span<const int> columns, int iconBase,
                   QTreeWidget& view);
int playerIdOf(const QTreeWidgetItem* row);             // 0 for none
QList<int> selectedPlayerIds(const QTreeWidget& view);  // in row order

// Rebuilds the league tree (leagues > divisions > franchises, division-less franchises under
// their league), expanded, selecting `select`, else the object selected before, else the
// season state's franchise, else the first franchise, else the first league.
void fillLeagueTree(QTreeWidget& tree, qff::Singleton& season,
                    std::optional<qff::StructureNode> select = std::nullopt);
std::optional<qff::StructureNode> structureNodeOf(const QTreeWidgetItem* item);
