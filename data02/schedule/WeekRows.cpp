#include "data02/schedule/WeekRows.h"

#include <algorithm>
#include <utility>

namespace qff {

WeekRows::WeekRows(const std::vector<FantasyGame>& games) : rows_(kScheduleSlots) {
    std::copy_n(games.begin(), std::min<std::size_t>(games.size(), rows_.size()), rows_.begin());
}

WeekRows WeekRows::ofLeague(const std::vector<FantasyGame>& games, std::span<const int> league) {
    auto inLeague = [league](int side) { return std::ranges::find(league, side) != league.end(); };
    std::vector<FantasyGame> shown;
    for (const FantasyGame& game : games) {
        if (inLeague(game.home)) {
            shown.push_back(
                {game.home, game.away == kByeSide || inLeague(game.away) ? game.away : kEmptySide});
        }
    }
    return WeekRows(shown);
}

int& WeekRows::side(FantasyGame& game, int column) {
    return column == kHome ? game.home : game.away;
}

int WeekRows::side(const FantasyGame& game, int column) {
    return column == kHome ? game.home : game.away;
}

bool WeekRows::contains(WeekCell cell) const {
    return cell.row >= 0 && cell.row < static_cast<int>(rows_.size()) &&
           (cell.column == kHome || cell.column == kAway);
}

int WeekRows::at(WeekCell cell) const {
    return contains(cell) ? side(rows_[cell.row], cell.column) : kEmptySide;
}

std::optional<WeekCell> WeekRows::placeFor(int entry) const {
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        for (int column : {kHome, kAway}) {
            int held = side(rows_[row], column);
            int partner = side(rows_[row], 1 - column);
            if ((held == kEmptySide || held == kByeSide) && partner != entry) {
                return WeekCell{row, column};
            }
        }
    }
    return std::nullopt;
}

bool WeekRows::add(int entry) {
    std::optional<WeekCell> cell = placeFor(entry);
    if (cell) {
        put(*cell, entry);
    }
    return cell.has_value();
}

bool WeekRows::clearRow(int row) {
    if (!contains({row, kHome})) {
        return false;
    }
    rows_[row] = {};
    return true;
}

bool WeekRows::swapRows(int first, int second) {
    if (!contains({first, kHome}) || !contains({second, kHome})) {
        return false;
    }
    std::swap(rows_[first], rows_[second]);
    return true;
}

int WeekRows::put(WeekCell cell, int entry) {
    if (!contains(cell)) {
        return kEmptySide;
    }
    return std::exchange(side(rows_[cell.row], cell.column), entry);
}

void WeekRows::swapCells(WeekCell first, WeekCell second) {
    if (contains(first) && contains(second)) {
        put(first, put(second, at(first)));
    }
}

std::vector<FantasyGame> WeekRows::games() const {
    std::vector<FantasyGame> games;
    std::copy_if(
        rows_.begin(), rows_.end(), std::back_inserter(games),
        [](const FantasyGame& game) { return game.home != kEmptySide || game.away != kEmptySide; });
    return games;
}

std::vector<int> WeekRows::available(std::span<const int> league, bool severalGames) const {
    std::vector<int> free;
    for (int franchise : league) {
        bool placed = std::any_of(rows_.begin(), rows_.end(), [franchise](const FantasyGame& g) {
            return g.home == franchise || g.away == franchise;
        });
        if (severalGames || !placed) {
            free.push_back(franchise);
        }
    }
    return free;
}

}  // namespace qff
