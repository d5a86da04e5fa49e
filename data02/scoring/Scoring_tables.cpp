#include "data02/scoring/Scoring_tables.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "data02/diag/Status.h"
#include "data02/scoring/Scoring.h"

namespace qff {
namespace {

constexpr int kFirstEntry = 1;

struct EveryDefaults {
    int points;
    int yards;
};

EveryDefaults everyDefaults(int tableCode) {
    if (tableCode == kPointsAllowedTable) {
        return {-1, 10};
    }
    return tablePage(tableCode) == TablePage::Touchdown ? EveryDefaults{2, 10}
                                                        : EveryDefaults{2, 75};
}

std::int32_t clampedProduct(std::int64_t points, std::int64_t steps) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(points * steps, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

void fill(ScoreTable& table, int from, int to, std::int32_t points) {
    std::fill(table.entries.begin() + from, table.entries.begin() + to + 1, points);
}

// A length of d scores N for each started step of M yards.
void fillTouchdownSteps(ScoreTable& table, int points, int yards) {
    for (int length = kFirstEntry; length <= table.last(); ++length) {
        table.entries[length] = clampedProduct(points, (length + yards - 1) / yards);
    }
}

// A week's y yards score N for each completed step of M yards.
void fillYardSteps(ScoreTable& table, int points, int yards) {
    for (int value = kFirstEntry; value <= table.last(); ++value) {
        table.entries[value] = clampedProduct(points, value / yards);
    }
}

TableChange applyEvery(ScoreTable& table, int points, int yards) {
    if (yards <= 0) {
        return {"The number of yards must be greater than zero."};
    }
    if (tablePage(table.code) == TablePage::Touchdown) {
        fillTouchdownSteps(table, points, yards);
    } else {
        fillYardSteps(table, points, yards);
    }
    table.mode = kTableEvery;
    return {};
}

TableChange applyEach(ScoreTable& table, int points) {
    if (tablePage(table.code) != TablePage::Touchdown) {
        return {"Points for each score are given on touchdown and field goal tables only."};
    }
    fill(table, kFirstEntry, table.last(), points);
    table.mode = kTableEach;
    return {};
}

TableChange rangeProblem(const ScoreTable& table, int from, int to) {
    if (from <= 0) {
        return {"The FROM distance must be greater than zero."};
    }
    if (to < from) {
        return {"The FROM distance must be less than the TO distance."};
    }
    if (to > table.last()) {
        return {"The TO distance cannot exceed " + std::to_string(table.last()) + "."};
    }
    return {};
}

int firstDifferentEntry(const ScoreTable& table) {
    for (int entry = kFirstEntry + 1; entry <= table.last(); ++entry) {
        if (table.entries[entry] != table.entries[kFirstEntry]) {
            return entry;
        }
    }
    return 0;
}

// Touchdown steps show as the run of the first step; yard steps start at
// the first entry past the unscored first yards.
void readEvery(const ScoreTable& table, TableChoice& choice) {
    int differs = firstDifferentEntry(table);
    if (tablePage(table.code) == TablePage::Touchdown) {
        choice.everyPoints = table.entries[kFirstEntry];
        choice.everyYards = (differs == 0 ? table.last() + 1 : differs) - kFirstEntry;
    } else if (differs != 0) {
        choice.everyPoints = table.entries[differs] - table.entries[kFirstEntry];
        choice.everyYards = differs;
    }
}

std::string missingTableMessage(int tableCode) {
    std::optional<TablePage> page = tablePage(tableCode);
    if (!page) {
        return std::to_string(tableCode) + " is not a scoring table.";
    }
    return *page == TablePage::Touchdown ? "CRITICAL - No TD array is available."
                                         : "CRITICAL - No yards array is available.";
}

struct LineWords {
    int table;
    const char* opening;
};

constexpr LineWords kLineWords[] = {
    {kPassTdTable, "Passing a TD from"},    {kRushTdTable, "Rushing a TD from"},
    {kCatchTdTable, "Receiving a TD from"}, {kFieldGoalTable, "Kicking a FG from"},
    {kDefenseTdTable, "Scoring a TD from"}, {kReturnTdTable, "Scoring a TD from"},
    {kPassYardsTable, "Passing from"},      {kRushYardsTable, "Rushing from"},
    {kCatchYardsTable, "Receiving from"},   {kPointsAllowedTable, "Allowing from"},
    {kYardsAllowedTable, "Allowing from"},  {kReturnYardsTable, "Returning from"},
};

std::string lineOpening(int tableCode) {
    for (const LineWords& words : kLineWords) {
        if (words.table == tableCode) {
            return words.opening;
        }
    }
    return {};
}

std::string rangeLine(const ScoreTable& table, const TableRun& run, const std::string& unit) {
    return lineOpening(table.code) + " " + std::to_string(run.from) + " to " +
           std::to_string(run.to) + " " + unit + " is worth " + std::to_string(run.points) +
           " points";
}

// The open end of a yards table: the run counts from its first value, so
// "above" names the value before it.
std::string openEndLine(const TableRun& run, const std::string& unit) {
    return "Anything above " + std::to_string(run.from - 1) + " " + unit + " is worth " +
           std::to_string(run.points) + " points";
}

bool isTableKind(ScoreFieldKind kind) {
    return kind == ScoreFieldKind::LengthTable || kind == ScoreFieldKind::YardsTable;
}

bool isScalarKind(ScoreFieldKind kind) {
    return kind == ScoreFieldKind::Word || kind == ScoreFieldKind::Mode;
}

// Every item but the league id, which keys the record it is copied into.
void copyItems(ConstByteSpan from, ScoringSystem& into) {
    std::vector<std::int32_t> entries(kYardsTableSize);
    for (int code = kFirstScoreItem; code < kScoreLeagueId; ++code) {
        std::optional<ScoreField> field = scoreField(code);
        if (!field) {
            continue;
        }
        if (isScalarKind(field->kind)) {
            into.setValue(code, scoreItem(from, code));
        } else if (isTableKind(field->kind)) {
            std::span<std::int32_t> table(entries.data(), tableSize(field->kind));
            readScoreTable(from, code, table);
            into.putTable(code, table);
        }
    }
}

}  // namespace

std::optional<TablePage> tablePage(int tableCode) {
    std::optional<ScoreField> field = scoreField(tableCode);
    if (!field || !isTableKind(field->kind)) {
        return std::nullopt;
    }
    bool byYards = field->kind == ScoreFieldKind::YardsTable || tableCode == kPointsAllowedTable;
    return byYards ? TablePage::Yards : TablePage::Touchdown;
}

// Each mode byte sits just before its table, in codes as in the record.
int tableModeCode(int tableCode) {
    return tableCode - 1;
}

TableChange applyChoice(ScoreTable& table, const TableChoice& choice) {
    switch (choice.mode) {
        case kTableNotScored:
            deleteAllRanges(table);
            return {};
        case kTableEach:
            return applyEach(table, choice.each);
        case kTableEvery:
            return applyEvery(table, choice.everyPoints, choice.everyYards);
        case kTableRanges:
            table.mode = kTableRanges;
            return {};
        default:
            return {"Unknown table mode " + std::to_string(choice.mode) + "."};
    }
}

TableChange addRange(ScoreTable& table, int from, int to, int points) {
    if (TableChange problem = rangeProblem(table, from, to); !problem.ok()) {
        return problem;
    }
    fill(table, from, to, points);
    table.mode = kTableRanges;
    return {};
}

TableChange deleteRange(ScoreTable& table, int from, int to) {
    if (TableChange problem = rangeProblem(table, from, to); !problem.ok()) {
        return problem;
    }
    std::int32_t neighbour = 0;
    if (from > kFirstEntry) {
        neighbour = table.entries[from - 1];
    } else if (to < table.last()) {
        neighbour = table.entries[to + 1];
    }
    fill(table, from, to, neighbour);
    bool wholeTable = from == kFirstEntry && to == table.last();
    table.mode = wholeTable ? kTableNotScored : kTableRanges;
    return {};
}

void deleteAllRanges(ScoreTable& table) {
    fill(table, kFirstEntry, table.last(), 0);
    table.mode = kTableNotScored;
}

TableChoice choiceOf(const ScoreTable& table) {
    EveryDefaults defaults = everyDefaults(table.code);
    TableChoice choice{table.mode, table.entries[kFirstEntry], defaults.points, defaults.yards};
    if (table.mode == kTableEvery) {
        readEvery(table, choice);
    }
    return choice;
}

std::vector<TableRun> tableRuns(const ScoreTable& table) {
    std::vector<TableRun> runs;
    for (int entry = kFirstEntry; entry <= table.last(); ++entry) {
        if (runs.empty() || runs.back().points != table.entries[entry]) {
            runs.push_back({entry, entry, table.entries[entry]});
        } else {
            runs.back().to = entry;
        }
    }
    return runs;
}

std::vector<std::string> rangeLines(const ScoreTable& table) {
    std::string unit = table.code == kPointsAllowedTable ? "points" : "yards";
    std::vector<TableRun> runs = tableRuns(table);
    std::vector<std::string> lines;
    for (std::size_t index = 0; index < runs.size(); ++index) {
        bool openEnd = index + 1 == runs.size() && tablePage(table.code) == TablePage::Yards;
        lines.push_back(openEnd ? openEndLine(runs[index], unit)
                                : rangeLine(table, runs[index], unit));
    }
    return lines;
}

std::optional<TableRun> rangeOfLine(std::string_view line) {
    std::vector<int> numbers;
    for (std::size_t at = 0; at < line.size() && numbers.size() < 3; ++at) {
        if (!std::isdigit(static_cast<unsigned char>(line[at]))) {
            continue;
        }
        // A minus sign belongs to a number only where it starts a word.
        bool negative = at > 0 && line[at - 1] == '-' && (at == 1 || line[at - 2] == ' ');
        long long number = 0;
        for (; at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])); ++at) {
            number = std::min<long long>(number * 10 + (line[at] - '0'),
                                         std::numeric_limits<int>::max());
        }
        numbers.push_back(static_cast<int>(negative ? -number : number));
    }
    if (numbers.size() < 3) {
        return std::nullopt;
    }
    return TableRun{numbers[0], numbers[1], numbers[2]};
}

std::optional<ScoreTable> readTable(const ScoringSystem& scoring, int tableCode,
                                    std::string& message) {
    std::optional<ScoreField> field = scoreField(tableCode);
    ScoreTable table{tableCode, kTableNotScored, {}};
    if (field && isTableKind(field->kind)) {
        table.entries.resize(tableSize(field->kind));
    }
    if (!field || scoring.getTable(tableCode, table.entries) != kOk) {
        message = missingTableMessage(tableCode);
        return std::nullopt;
    }
    table.mode = scoring.getValue(tableModeCode(tableCode));
    return table;
}

TableChange storeTable(ScoringSystem& scoring, const ScoreTable& table) {
    if (scoring.putTable(table.code, table.entries) != kOk) {
        return {missingTableMessage(table.code)};
    }
    scoring.setValue(tableModeCode(table.code), table.mode);
    return {};
}

bool isPointValue(int code) {
    std::optional<ScoreField> field = scoreField(code);
    return field && field->kind == ScoreFieldKind::Word && code != kScoreLeagueId;
}

bool isStoredNegated(int code) {
    return code == kPerInterceptionThrown || code == kPointsAllowedPenalty ||
           code == kYardsAllowedPenalty;
}

int shownValue(const ScoringSystem& scoring, int code) {
    int stored = scoring.getValue(code);
    return isStoredNegated(code) ? -stored : stored;
}

TableChange setShownValue(ScoringSystem& scoring, int code, int value) {
    if (!isPointValue(code)) {
        return {std::to_string(code) + " is not a point value of the scoring system."};
    }
    std::int64_t stored = isStoredNegated(code) ? -std::int64_t{value} : value;
    scoring.setValue(
        code, static_cast<int>(std::clamp<std::int64_t>(stored, std::numeric_limits<int>::min(),
                                                        std::numeric_limits<int>::max())));
    return {};
}

TableChange copyScoring(ScoringSystem& scoring, int fromLeague, int toLeague) {
    if (scoring.selectLeague(fromLeague) != kOk) {
        return {scoring.lastError()};
    }
    std::vector<std::uint8_t> source(scoring.record().begin(), scoring.record().end());
    if (scoring.selectLeague(toLeague) != kOk) {
        return {scoring.lastError()};
    }
    copyItems(source, scoring);
    if (scoring.save() != kOk) {
        return {scoring.lastError()};
    }
    return {};
}

}  // namespace qff
