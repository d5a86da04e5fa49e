#pragma once

#include <optional>
#include <span>
#include <vector>

#include "data02/schedule/Schedule.h"

namespace qff {

// A cell of the schedule editor's week: column 0 is the home side, 1 the away side.
struct WeekCell {
    int row = 0;
    int column = 0;
    bool operator==(const WeekCell&) const = default;
};

// One week of a league laid out as the schedule editor shows it: a row per
// game slot whose two cells hold a franchise id, kByeSide or kEmptySide.
// Edits only move entries between cells; Schedule::storeWeek checks and packs
// the result, so a refused edit never reaches the record.
class WeekRows {
  public:
    static constexpr int kHome = 0;
    static constexpr int kAway = 1;

    explicit WeekRows(const std::vector<FantasyGame>& games = {});
    // The games of a league's week that the editor shows: those whose home
    // side is one of its franchises, with an away side from outside the
    // league left empty.
    static WeekRows ofLeague(const std::vector<FantasyGame>& games, std::span<const int> league);

    bool contains(WeekCell cell) const;
    // kEmptySide for a cell outside the week.
    int at(WeekCell cell) const;
    // The first cell, from the top and home before away, that is empty or a
    // bye and whose row partner is not the entry itself.
    std::optional<WeekCell> placeFor(int entry) const;
    bool add(int entry);
    bool clearRow(int row);
    bool swapRows(int first, int second);
    // Puts the entry in the cell and returns what the cell held.
    int put(WeekCell cell, int entry);
    void swapCells(WeekCell first, WeekCell second);
    // The rows that hold anything, in row order.
    std::vector<FantasyGame> games() const;
    // The franchises of the league still to be placed: every one of them
    // when several games a week are allowed, else those on no row.
    std::vector<int> available(std::span<const int> league, bool severalGames) const;

  private:
    static int& side(FantasyGame& game, int column);
    static int side(const FantasyGame& game, int column);

    std::vector<FantasyGame> rows_;
};

}  // namespace qff
