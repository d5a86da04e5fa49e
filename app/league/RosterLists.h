#pragma once

// What the roster forms share: showing one part of a franchise's roster of a
// week, reading and restoring the rows chosen in a player list, and telling
// what a roster change refused.

#include <span>
#include <vector>

class Prompter;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace qff {
class Singleton;
struct RosterChange;
}  // namespace qff

// The parts of a roster as Team::rosterPlayers takes them.
enum class RosterPart { All = 0, Active = 1, Bench = 2 };

// The player's name takes the room the other columns leave.
void stretchNameColumn(QTreeWidget& list);
// Right-aligns the figures of the columns from `first` to `last`.
void alignFigures(QTreeWidget& list, int first, int last);

// The franchise of the tree's current node; 0 when the node is no franchise.
int selectedFranchise(const QTreeWidget& tree);

// Fills the list with the franchise's players of the part and week, by
// position then name; empties it when there is no such franchise.
void showRoster(qff::Singleton& season, int franchiseId, int week, RosterPart part,
                std::span<const int> columns, QTreeWidget& list);

// The ids of the selected rows, in list order.
std::vector<int> chosenPlayers(const QTreeWidget& list);

// A drag moves the entry it started on even when the press did not select it.
void keepDraggedSelected(QTreeWidget& list, QTreeWidgetItem* dragged);

// The first selected row, -1 for none.
int firstSelectedRow(const QTreeWidget& list);
// Selects and shows one row, the last when the list has fewer; nothing for -1.
void selectRow(QTreeWidget& list, int row);

// Every player the change left out, with the data layer's words, or why
// nothing could be stored; nothing when all went through.
void tellRefusals(Prompter& prompter, QWidget* parent, const qff::RosterChange& change);
