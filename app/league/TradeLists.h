#pragma once

// What both trade windows do with their franchise choosers and player lists:
// each side is one franchise and the one player it gives.

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Player.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>
#include <array>

#include "app/widgets/ListHelp.h"

namespace trade {

inline constexpr std::array<int, 3> kPlayerColumns = {qff::kPlayerName, qff::kPlayerTeam,
                                                      qff::kPlayerId};

// Long names give way to the other columns rather than push them out of a
// narrow list.
inline void fitNameColumn(QTreeWidget& list) {
    QHeaderView* header = list.header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

inline int selectedId(const QComboBox& combo) {
    return combo.currentIndex() < 0 ? 0 : combo.currentData().toInt();
}

// The id of the entry, else of the first one; quietly, as filling a
// chooser is no choice of the user's.
inline void selectId(QComboBox& combo, int id) {
    QSignalBlocker quiet(combo);
    combo.setCurrentIndex(std::max(combo.findData(id), combo.count() > 0 ? 0 : -1));
}

// The player a side gives; 0 when none is selected.
inline int selectedPlayer(const QTreeWidget& list) {
    QList<int> ids = selectedPlayerIds(list);
    return ids.isEmpty() ? 0 : ids.front();
}

inline void selectPlayer(QTreeWidget& list, int player) {
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (playerIdOf(list.topLevelItem(row)) == player) {
            list.setCurrentItem(list.topLevelItem(row));
            list.scrollToItem(list.topLevelItem(row));
        }
    }
}

}  // namespace trade
