#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qff {

class ScoringSystem;

// How a table was built; the mode byte beside each table records it.
enum TableMode {
    kTableNotScored = 0,
    kTableEach = 1,
    kTableEvery = 2,
    kTableRanges = 3,
};

// Touchdown tables are indexed by a score's length; yards tables by a week's
// yards, or points allowed, and score N for every M of them counted down.
enum class TablePage { Touchdown, Yards };

std::optional<TablePage> tablePage(int tableCode);
int tableModeCode(int tableCode);

// One way of filling a table with the numbers it needs: `each` for every
// length, `everyPoints` for every `everyYards`.
struct TableChoice {
    int mode = kTableNotScored;
    int each = 0;
    int everyPoints = 0;
    int everyYards = 0;
};

// A table with its mode, as it is edited before going back to the record.
// Entry 0 stands for an empty slot and no operation changes it.
struct ScoreTable {
    int code = 0;
    int mode = kTableNotScored;
    std::vector<std::int32_t> entries;

    int last() const { return static_cast<int>(entries.size()) - 1; }
};

// A run of equal entries, from and to included.
struct TableRun {
    int from = 0;
    int to = 0;
    int points = 0;
};

// Empty when the change was made; otherwise why it was refused, with
// nothing changed.
struct TableChange {
    std::string message;
    bool ok() const { return message.empty(); }
};

inline constexpr std::string_view kRangeNeedsValues = "A from, to, and point value is required.";

TableChange applyChoice(ScoreTable& table, const TableChoice& choice);
TableChange addRange(ScoreTable& table, int from, int to, int points);
// The range takes the value of its neighbour: the entry after it when it
// starts at 1, else the entry before it.
TableChange deleteRange(ScoreTable& table, int from, int to);
void deleteAllRanges(ScoreTable& table);

// The mode and the numbers that rebuild the table, defaults where the mode
// does not give them.
TableChoice choiceOf(const ScoreTable& table);
std::vector<TableRun> tableRuns(const ScoreTable& table);

// The editor's range list: one line per run, such as "Passing a TD from 1 to
// 9 yards is worth 3 points"; a yards table ends in "Anything above ...".
std::vector<std::string> rangeLines(const ScoreTable& table);
// A line's from, to and points: its first three numbers, signs kept.
std::optional<TableRun> rangeOfLine(std::string_view line);
inline constexpr std::string_view kRangeLineUnreadable = "CRITICAL - Failed to parse range string.";

// Between the table and the current record of the scoring system; the
// record changes in memory until the system saves it.
std::optional<ScoreTable> readTable(const ScoringSystem& scoring, int tableCode,
                                    std::string& message);
TableChange storeTable(ScoringSystem& scoring, const ScoreTable& table);

// Point values that are not table modes, the league id or reserved words.
bool isPointValue(int code);
// Penalties are stored negative but typed and shown as amounts to subtract.
bool isStoredNegated(int code);
int shownValue(const ScoringSystem& scoring, int code);
TableChange setShownValue(ScoringSystem& scoring, int code, int value);

// Gives `toLeague` every value and table of `fromLeague` and saves it.
TableChange copyScoring(ScoringSystem& scoring, int fromLeague, int toLeague);

}  // namespace qff
