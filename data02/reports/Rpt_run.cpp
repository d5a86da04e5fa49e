#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "data02/diag/Status.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Reccache.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rpt_league.h"
#include "data02/reports/Rpt_output.h"
#include "data02/reports/Rpt_pages.h"
#include "data02/reports/Rptqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Results.h"
#include "data02/scoring/Week_figures.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Bytes.h"

namespace qff {
namespace {

constexpr int kMaxNestedPacks = 32;
constexpr int kUnorderedList = 1;
constexpr int kDiscBullet = 0;
constexpr int kSiteMapColumns = 3;
constexpr int kGroupsEntry = 1;
constexpr int kBothKindsEntry = 8;

// The weeks one row's values cover, 0-based and inclusive.
struct WeekSpan {
    int first;
    int last;
};

// How a column's value is read for a span of weeks.
enum class ItemRead {
    Unknown,
    Text,
    // The franchise's win-loss-tie text up to the span's last week.
    Record,
    WeekNumber,
    // Games won, lost or tied up to the span's last week, at most the last closed one.
    Games,
    // The same whatever the weeks: identities and the points of one named week.
    Fixed,
    WholeSeason,
    Summed,
    HighLowAverage,
};

ItemRead playerItemRead(int code) {
    if (!Report::defaultHeader(kPlayerReport, code)) {
        return ItemRead::Unknown;
    }
    ValueKind kind = playerValueKind(code);
    if (kind == ValueKind::Text || kind == ValueKind::Identity) {
        return ItemRead::Text;
    }
    if (code == kPlayerWeek) {
        return ItemRead::WeekNumber;
    }
    if (code == kPlayerId || (code >= kFirstWeekPoints && code <= kLastWeekPoints)) {
        return ItemRead::Fixed;
    }
    if (code >= kHighWeek && code <= kAverageWeek) {
        return ItemRead::HighLowAverage;
    }
    return Report::isWholeSeasonItem(code) ? ItemRead::WholeSeason : ItemRead::Summed;
}

ItemRead franchiseItemRead(int code) {
    if (!Report::defaultHeader(kFranchiseReport, code)) {
        return ItemRead::Unknown;
    }
    if (Team::isTextCode(code)) {
        return ItemRead::Text;
    }
    if (code == kWinLossRecord) {
        return ItemRead::Record;
    }
    if (code == kWeekOfPlay) {
        return ItemRead::WeekNumber;
    }
    if (code >= kGamesWon && code <= kGamesTied) {
        return ItemRead::Games;
    }
    if (code >= kHighScoringWeek && code <= kAverageScoringWeek) {
        return ItemRead::HighLowAverage;
    }
    if (code <= kFranchiseLeague || code >= kFirstWeekScore) {
        return ItemRead::Fixed;
    }
    return Report::isWholeSeasonItem(code) ? ItemRead::WholeSeason : ItemRead::Summed;
}

// Week numbers and the games counts are not quantities to add up.
bool countsInTotals(int code) {
    return code != kPlayerWeek && code != kWeekOfPlay && (code < kGamesWon || code > kGamesTied);
}

int playerNumber(const Player& player, int code, int week) {
    return playerValueKind(code) == ValueKind::Points ? player.getPoints(code, week)
                                                      : player.getValue(code, week);
}

// The best, worst and average week of a span, built as the season figures
// are: the best over every week, the others over the weeks that count.
struct Cell {
    std::optional<std::string> text;
    std::int64_t number = 0;
};

// A value to order rows by: a text, or else a number.
struct SortValue {
    std::optional<std::string> text;
    std::int64_t number = 0;

    bool operator<(const SortValue& other) const {
        return text ? *text < other.text.value_or("") : number < other.number;
    }
    bool operator==(const SortValue& other) const = default;
};

// Reads item values for a span of weeks. One week reads that week's value
// and the whole season the season value (week 256), both as the records
// give them. Any other range is built from that range's weeks alone:
// quantities are the sums of their weekly values, and the best, worst and
// average week are taken over those weeks; items that span the season
// stay season values.
class RowValues {
  public:
    RowValues(Singleton& context, int seasonWeeks)
        : context_(context),
          schedule_(context.schedule()),
          results_(context, schedule_),
          seasonWeeks_(seasonWeeks) {}

    Cell player(const Player& player, int code, ItemRead read, WeekSpan span) const {
        if (read == ItemRead::Text) {
            return {player.text(code), 0};
        }
        if (read == ItemRead::HighLowAverage && isPartial(span)) {
            return {std::nullopt,
                    playerScoringWeek(player, static_cast<WeekFigure>(code - kHighWeek), span)};
        }
        return {std::nullopt,
                number(read, span, [&](int week) { return playerNumber(player, code, week); })};
    }

    Cell franchise(const Team& team, int code, ItemRead read, WeekSpan span) const {
        switch (read) {
            case ItemRead::Text:
                return {team.text(code), 0};
            case ItemRead::Record:
                return {recordText(team, span.last), 0};
            case ItemRead::Games:
                return {std::nullopt, team.getValue(code, std::min(span.last, lastClosedWeek()))};
            case ItemRead::HighLowAverage:
                if (isPartial(span)) {
                    return {std::nullopt,
                            franchiseScoringWeek(
                                team, static_cast<WeekFigure>(code - kHighScoringWeek), span)};
                }
                break;
            default:
                break;
        }
        return {std::nullopt,
                number(read, span, [&](int week) { return team.getTotal(code, week); })};
    }

    // Sorting follows the queries: texts by text, team and position by
    // their codes, the record by its rank, everything else by its value.
    SortValue playerSortValue(const Player& player, int code, WeekSpan span) const {
        if (playerValueKind(code) == ValueKind::Identity) {
            return {std::nullopt, player.getValue(code, kAllWeeks)};
        }
        ItemRead read = playerItemRead(code);
        if (read == ItemRead::Unknown) {
            return {};
        }
        Cell cell = this->player(player, code, read, span);
        return {cell.text, cell.number};
    }

    SortValue franchiseSortValue(const Team& team, int code, WeekSpan span) const {
        if (code == kWinLossRecord) {
            return {std::nullopt, team.getValue(code, span.last)};
        }
        ItemRead read = Team::isTextCode(code) ? ItemRead::Text : franchiseItemRead(code);
        if (read == ItemRead::Unknown) {
            return {};
        }
        Cell cell = franchise(team, code, read, span);
        return {cell.text, cell.number};
    }

  private:
    bool isSeason(WeekSpan span) const { return span.first == 0 && span.last == seasonWeeks_ - 1; }
    bool isPartial(WeekSpan span) const { return span.first != span.last && !isSeason(span); }
    int weeksWithStats() const { return context_.seasonState().weeksWithStats(); }
    int lastClosedWeek() const { return weeksWithStats() - 1; }

    // The week the values of a span reach: a whole-season run reaches the
    // last week with statistics, as the franchise record's week does.
    int weekNumber(WeekSpan span) const {
        if (span.first == span.last) {
            return span.first + 1;
        }
        return isSeason(span) ? weeksWithStats() : span.last + 1;
    }

    template <class Number>
    std::int64_t number(ItemRead read, WeekSpan span, Number valueAt) const {
        switch (read) {
            case ItemRead::WeekNumber:
                return weekNumber(span);
            case ItemRead::Fixed:
                return valueAt(span.first);
            case ItemRead::WholeSeason:
                return valueAt(kAllWeeks);
            default:
                break;
        }
        if (span.first == span.last) {
            return valueAt(span.first);
        }
        if (isSeason(span)) {
            return valueAt(kAllWeeks);
        }
        std::int64_t sum = 0;
        for (int week = span.first; week <= span.last; ++week) {
            sum += valueAt(week);
        }
        return sum;
    }

    // As the season figures: low and average only over weeks with
    // statistics, and the low never from the NFL team's week off.
    // A span may hold no week that can be the low week; it shows 0 there.
    std::int64_t playerScoringWeek(const Player& player, WeekFigure which, WeekSpan span) const {
        WeekFigures weeks;
        for (int week = span.first; week <= span.last; ++week) {
            bool counted = context_.seasonState().weekHasStats(week) != 0;
            bool offWeek = context_.schedule().teamIsOff(player.team(), week);
            weeks.add(player.getPoints(kTotalPoints, week), counted, !offWeek);
        }
        return weeks.value(which, 0);
    }

    // As the season figures: over the span's weeks up to the last closed one.
    std::int64_t franchiseScoringWeek(const Team& team, WeekFigure which, WeekSpan span) const {
        WeekFigures weeks;
        for (int week = span.first; week <= std::min(span.last, lastClosedWeek()); ++week) {
            weeks.add(team.getTotal(kActivePoints, week), true, true);
        }
        return weeks.value(which, 0);
    }

    std::string recordText(const Team& team, int week) const {
        if (!schedule_.hasSchedule(team.getValue(kFranchiseLeague, kAllWeeks))) {
            return "NA";
        }
        return results_.headToHead(team, week).text();
    }

    Singleton& context_;
    ScheduleOpponents schedule_;
    FranchiseResults results_;
    int seasonWeeks_;
};

// Sort levels of a stored selection: item code and descending flag.
using SortLevels = std::vector<std::pair<int, bool>>;

template <class Node>
SortLevels sortLevelsOf(const Node& node, int lowest, int highest) {
    SortLevels levels;
    for (int k = 0; k < Node::kSortKeys; ++k) {
        int key = node.sortKey(k);
        if (key < lowest || key > highest) {
            break;
        }
        levels.emplace_back(key, node.descending(k));
    }
    return levels;
}

template <class Node>
Node withoutSorting(Node node) {
    for (int k = 0; k < Node::kSortKeys; ++k) {
        node.setSortKey(k, 0, false);
    }
    return node;
}

// Orders rows as the queries do (each level within runs of equal values of
// the level before), but by the values of the run's own weeks, each read
// once.
template <class T, class ValueOf>
void sortRows(std::vector<T*>& rows, const SortLevels& levels, ValueOf valueOf) {
    std::unordered_map<const T*, SortValue> previous;
    for (const auto& [key, descending] : levels) {
        std::unordered_map<const T*, SortValue> current;
        for (const T* row : rows) {
            current.emplace(row, valueOf(*row, key));
        }
        bool firstLevel = previous.empty();
        sortWithinRuns(
            rows, [&](const T* a, const T* b) { return current.at(a) < current.at(b); },
            [&](const T* a, const T* b) { return firstLevel || previous.at(a) == previous.at(b); },
            descending);
        previous = std::move(current);
    }
}

// Which players a roster or NFL-team selection keeps, as its stored groups
// say: a long group list means both kinds, else the first group decides.
bool keepsPlayer(const PlayerQueryNode& node, const Player& player) {
    if (node.value(kBothKindsEntry) >= 0) {
        return true;
    }
    bool unitsOnly = node.value(kGroupsEntry) > 9;
    return player.isUnit() == unitsOnly;
}

int rosterPartOf(const PlayerQueryNode& node) {
    int part = node.value(kRosterPartValue);
    return part == kActiveOnly || part == kBenchOnly ? part : kActiveAndBench;
}

const Team* selectedFranchise(Singleton& context, const PlayerQueryNode& node) {
    return context.mapFactory().franchises().findFirst(kFranchiseId, node.value(0));
}

PlyrList listOf(Owned<PlyrList> list) {
    return list ? std::move(*list) : PlyrList{};
}

PlyrList runPlayerQuery(Singleton& context, const PlayerQueryNode& node) {
    PlayerQuery query(context);
    query.addNode(withoutSorting(node));
    return listOf(query.run());
}

// The rows of one run, chosen from a report's stored selection without
// changing it: the roster and NFL-team kinds become explicit lists of ids
// for the run only.
class RowSelection {
  public:
    RowSelection(Singleton& context, const RowValues& values, WeekSpan span, int seasonWeeks)
        : context_(context), values_(values), span_(span), seasonWeeks_(seasonWeeks) {}

    // Nothing when the roster's franchise is gone.
    std::optional<PlyrList> players(const Report& report) {
        PlayerQueryNode node = report.playerNode();
        std::optional<PlyrList> rows;
        switch (node.selectCode()) {
            case kPlayersOfFranchise:
                rows = rosterPlayers(node);
                break;
            case kPlayersOfNflTeamByGroup:
                rows = nflTeamPlayers(node);
                break;
            default:
                rows = runPlayerQuery(context_, node);
                break;
        }
        if (!rows) {
            return std::nullopt;
        }
        if (context_.preferences().get(kPrefOnlyPlayersWithPoints) != 0) {
            std::erase_if(*rows, [&](const Player* player) {
                return values_.player(*player, kTotalPoints, ItemRead::Summed, span_).number == 0;
            });
        }
        sortRows(*rows, sortLevelsOf(node, 1, 128), [&](const Player& player, int key) {
            return values_.playerSortValue(player, key, span_);
        });
        return rows;
    }

    TeamList franchises(const Report& report) {
        TeamQueryNode node = report.teamNode();
        int league = context_.seasonState().peek(kCurrentLeague);
        TeamList rows;
        if (node.selectCode() == kAllFranchises) {
            rows = context_.teamQuery().leagueFranchises(league);
        } else {
            TeamQuery query(context_);
            query.addNode(withoutSorting(node));
            Owned<TeamList> found = query.run();
            rows = found ? std::move(*found) : TeamList{};
            std::erase_if(rows, [league](const Team* team) {
                return team->getValue(kFranchiseLeague, kAllWeeks) != league;
            });
        }
        sortRows(rows, sortLevelsOf(node, kFranchiseId, kLastWeekScore),
                 [&](const Team& team, int key) {
                     return values_.franchiseSortValue(team, key, span_);
                 });
        return rows;
    }

  private:
    // The roster of the season state's current week; 256 stands for the
    // season's last week.
    std::optional<PlyrList> rosterPlayers(const PlayerQueryNode& node) {
        const Team* team = selectedFranchise(context_, node);
        if (team == nullptr) {
            return std::nullopt;
        }
        int week = context_.seasonState().peek(kViewWeek);
        if (week == kAllWeeks) {
            week = seasonWeeks_ - 1;
        }
        return byIds(node, listOf(team->rosterPlayers(rosterPartOf(node), week)));
    }

    PlyrList nflTeamPlayers(const PlayerQueryNode& node) {
        PlayerQueryNode team;
        team.setSelectCode(PlayerQueryNode::kByTeam);
        std::vector<int> teamIndex{node.value(0)};
        team.setValues(teamIndex);
        return byIds(node, runPlayerQuery(context_, team));
    }

    PlyrList byIds(const PlayerQueryNode& node, const PlyrList& players) {
        std::vector<int> ids;
        for (const Player* player : players) {
            if (keepsPlayer(node, *player) &&
                ids.size() < static_cast<std::size_t>(PlayerQueryNode::kMaxValues)) {
                ids.push_back(player->id());
            }
        }
        if (ids.empty()) {
            return {};
        }
        PlayerQueryNode explicitIds;
        explicitIds.setSelectCode(PlayerQueryNode::kById);
        explicitIds.setValues(ids);
        return runPlayerQuery(context_, explicitIds);
    }

    Singleton& context_;
    const RowValues& values_;
    WeekSpan span_;
    int seasonWeeks_;
};

// Writes the data rows of a column layout and collects its totals.
class ColumnRows {
  public:
    ColumnRows(ReportGenerator& generator, const Report& report, const RowValues& values)
        : generator_(generator), values_(values), totals_(report.getValue(kReportTotalsRow) != 0) {
        bool playerItems = Report::usesPlayerItems(report.type());
        for (int i = 0; i < report.columnCount(); ++i) {
            int code = report.column(i).code;
            columns_.push_back(
                {code, playerItems ? playerItemRead(code) : franchiseItemRead(code)});
        }
    }

    // False when an item cannot be read; its row ends there.
    bool write(const Player& player, WeekSpan span) {
        return writeCells(
            [&](int code, ItemRead read) { return values_.player(player, code, read, span); });
    }
    bool write(const Team& team, WeekSpan span) {
        return writeCells(
            [&](int code, ItemRead read) { return values_.franchise(team, code, read, span); });
    }

    void writeTotals() {
        if (totals_) {
            generator_.writeTotalsRow(static_cast<int>(columns_.size()));
        }
    }

  private:
    struct Column {
        int code;
        ItemRead read;
    };

    template <class CellOf>
    bool writeCells(CellOf cellOf) {
        generator_.beginBodyRow();
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const Column& column = columns_[i];
            if (column.read == ItemRead::Unknown) {
                generator_.endBodyRow();
                return false;
            }
            Cell cell = cellOf(column.code, column.read);
            if (cell.text) {
                generator_.out().cell(*cell.text);
                continue;
            }
            generator_.out().cellNumber(cell.number);
            if (totals_ && countsInTotals(column.code)) {
                generator_.addToTotal(static_cast<int>(i), cell.number);
            }
        }
        generator_.endBodyRow();
        return true;
    }

    ReportGenerator& generator_;
    const RowValues& values_;
    bool totals_;
    std::vector<Column> columns_;
};

template <class T>
int writeRowsOf(ColumnRows& rows, const std::vector<T*>& objects, WeekSpan span) {
    for (const T* object : objects) {
        if (!rows.write(*object, span)) {
            return kFailed;
        }
    }
    return kOk;
}

template <class T>
int writeWeeklyRows(ColumnRows& rows, const T& object, int weeks) {
    for (int week = 0; week < weeks; ++week) {
        if (!rows.write(object, WeekSpan{week, week})) {
            return kFailed;
        }
    }
    return kOk;
}

// Franchise reports once showed the best, worst and average week through
// the player codes; they read the franchise codes now.
void convertOldFranchiseCodes(Report& report) {
    bool changed = false;
    for (int i = 0; i < report.columnCount(); ++i) {
        ReportColumn column = report.column(i);
        if (column.code >= kHighWeek && column.code <= kAverageWeek) {
            column.code += static_cast<int>(kHighScoringWeek) - kHighWeek;
            report.setColumn(i, column);
            changed = true;
        }
    }
    if (changed) {
        report.save();
    }
}

bool needsSchedule(const Report& report) {
    int number = Report::builtInNumber(report.name());
    return number == 3 || number == 4 || number == 15;
}

// A pack came round again wins over a failed member, so a pack that
// contains itself always says so.
int combinedResult(int result, int member) {
    if (result == kReportPackRepeated || member == kReportPackRepeated) {
        return kReportPackRepeated;
    }
    return result == kOk ? member : result;
}

}  // namespace

void ReportGenerator::startReport() {
    readStyle();
    clearTotals();
    resetRowColours();
}

bool ReportGenerator::readyToRun(const Report& report) {
    message_.clear();
    int league = context_.seasonState().peek(kCurrentLeague);
    if (needsSchedule(report) && !context_.schedule().hasSchedule(league)) {
        message_ = kNoScheduleMessage;
        return false;
    }
    if (std::optional<std::string> refusal =
            draftPagesRefusal(context_, Report::builtInNumber(report.name()))) {
        message_ = *refusal;
        return false;
    }
    PlayerQueryNode node = report.playerNode();
    if (report.type() == kPlayerReport && node.selectCode() == kPlayersOfFranchise &&
        selectedFranchise(context_, node) == nullptr) {
        message_ = kFranchiseGoneMessage;
        return false;
    }
    return true;
}

int ReportGenerator::runReport(Report& report, int first, int last) {
    if (packDepth_ == 0) {
        expandedPacks_.clear();
    }
    setWeeks(first, last);
    startReport();
    if (report.type() == kReportPack) {
        return runPack(report, first, last);
    }
    int number = Report::builtInNumber(report.name());
    if (number >= 3) {
        return runBuiltInPage(*this, report, number);
    }
    if (number >= 0) {
        return kFailed;
    }
    return runColumnReport(report);
}

int ReportGenerator::runPack(const Report& pack, int first, int last) {
    bool seen =
        std::find(expandedPacks_.begin(), expandedPacks_.end(), pack.id()) != expandedPacks_.end();
    if (seen || expandedPacks_.size() >= kMaxNestedPacks) {
        return kReportPackRepeated;
    }
    expandedPacks_.push_back(pack.id());
    SeasonState& state = context_.seasonState();
    int viewWeek = state.peek(kViewWeek);
    int result = kOk;
    ++packDepth_;
    for (int id : pack.packMembers()) {
        if (id <= 0) {
            break;
        }
        Owned<RptList> found = ReportQuery(context_).findById(id);
        if (!found || found->empty()) {
            continue;
        }
        if (state.peek(kViewWeek) != viewWeek) {
            state.set(kViewWeek, viewWeek);
        }
        result = combinedResult(result, runReport(*found->front(), first, last));
    }
    --packDepth_;
    return result;
}

int ReportGenerator::runColumnReport(Report& report) {
    int type = report.type();
    if (type != kFranchiseReport && type != kPlayerReport) {
        return kFailed;
    }
    if (type == kFranchiseReport) {
        convertOldFranchiseCodes(report);
    }
    WeekSpan span{firstWeek_, lastWeek_};
    RowValues values(context_, seasonWeeks());
    RowSelection selection(context_, values, span, seasonWeeks());
    std::optional<PlyrList> players;
    TeamList franchises;
    if (type == kPlayerReport) {
        players = selection.players(report);
        if (!players) {
            message_ = kFranchiseGoneMessage;
            return kFailed;
        }
    } else {
        franchises = selection.franchises(report);
    }
    writeTitleBlock(report);
    out().beginCenter();
    out().beginTable(style_.border);
    writeHeaderRows(report);
    ColumnRows rows(*this, report, values);
    int result = players ? writeRowsOf(rows, *players, span) : writeRowsOf(rows, franchises, span);
    rows.writeTotals();
    out().endTable();
    out().endCenter();
    return result;
}

int ReportGenerator::runPlayerOverview(const Report& report, const Player& player) {
    setWeeks(0, seasonWeeks() - 1);
    startReport();
    const Pro& pro = context_.pro();
    out().beginCenter();
    out().heading(2, 2, player.name());
    std::string team = pro.teamName(false, player.team());
    std::string position = pro.positionName(false, player.getValue(kPlayerPosition, kAllWeeks));
    out().writeStyled(team + " " + position, true, false, false, true);
    out().paragraph();
    out().beginTable(0);
    out().beginRow();
    for (const char* caption : {"High Week", "Low Week", "Avg Week"}) {
        out().headerCell(caption);
    }
    out().endRow();
    out().beginRow();
    for (int code : std::array<int, 3>{kHighWeek, kLowWeek, kAverageWeek}) {
        out().cellNumber(player.getPoints(code, kAllWeeks));
    }
    out().endRow();
    out().endTable();
    out().paragraph();
    out().beginTable(style_.border);
    writeHeaderRows(report);
    RowValues values(context_, seasonWeeks());
    ColumnRows rows(*this, report, values);
    int result = writeWeeklyRows(rows, player, seasonWeeks());
    rows.writeTotals();
    out().endTable();
    out().endCenter();
    return result;
}

int ReportGenerator::runFranchiseOverview(Report& report, const Team& franchise) {
    setWeeks(0, seasonWeeks() - 1);
    startReport();
    convertOldFranchiseCodes(report);
    out().beginCenter();
    out().heading(2, 2, franchise.text(kFranchiseName));
    out().writeStyled("Weekly Results and Season Totals", true, false, false, true);
    out().paragraph();
    out().beginTable(0);
    out().beginRow();
    for (const char* caption : {"High Week", "-", "Low Week", "-", "Avg Week"}) {
        out().headerCell(caption);
    }
    out().endRow();
    out().beginRow();
    out().cellNumber(franchise.getTotal(kHighScoringWeek, kAllWeeks));
    out().cell(" ");
    out().cellNumber(franchise.getTotal(kLowScoringWeek, kAllWeeks));
    out().cell(" ");
    out().cellNumber(franchise.getTotal(kAverageScoringWeek, kAllWeeks));
    out().endRow();
    out().endTable();
    out().paragraph();
    out().paragraph();
    out().beginTable(style_.border);
    writeHeaderRows(report);
    RowValues values(context_, seasonWeeks());
    ColumnRows rows(*this, report, values);
    int result = writeWeeklyRows(rows, franchise, seasonWeeks());
    rows.writeTotals();
    out().endTable();
    out().endCenter();
    return result;
}

int ReportGenerator::runNflOverview(const Report& report, int nflTeam) {
    setWeeks(0, seasonWeeks() - 1);
    startReport();
    // The seven units in position order; a missing one keeps its column empty.
    std::array<const Player*, 7> units{};
    int found = 0;
    for (int position = kQB; position <= kSPE; ++position) {
        units[position] = context_.mapFactory().players().findFirst(
            kPlayerId, Pro::unitId(nflTeam, position + kUnitOffset));
        found += units[position] != nullptr ? 1 : 0;
    }
    if (found < 6) {
        return kFailed;
    }
    out().beginCenter();
    out().heading(2, 2, context_.pro().teamName(false, nflTeam));
    out().writeStyled("Weekly Results and Season Totals", true, false, false, true);
    out().paragraph();
    out().beginTable(style_.border);
    writeHeaderRows(report);
    bool totals = report.getValue(kReportTotalsRow) != 0;
    constexpr std::array<int, 3> kYards{kPassYards, kRushYards, kReceivingYards};
    for (int week = 0; week < seasonWeeks(); ++week) {
        std::vector<std::optional<std::int64_t>> cells;
        std::int64_t points = 0;
        for (const Player* unit : units) {
            cells.push_back(unit ? std::optional<std::int64_t>(unit->getPoints(kTotalPoints, week))
                                 : std::nullopt);
            points += cells.back().value_or(0);
        }
        cells.insert(cells.begin(), points);
        for (int code : kYards) {
            std::int64_t sum = 0;
            for (const Player* unit : units) {
                sum += unit ? unit->getValue(code, week) : 0;
            }
            cells.push_back(sum);
        }
        beginBodyRow();
        out().cellNumber(week + 1);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (!cells[i]) {
                out().cell("");
                continue;
            }
            out().cellNumber(*cells[i]);
            if (totals) {
                addToTotal(static_cast<int>(i) + 1, *cells[i]);
            }
        }
        endBodyRow();
    }
    if (totals) {
        writeTotalsRow(report.columnCount());
    }
    out().endTable();
    out().endCenter();
    return kOk;
}

void ReportGenerator::writeHeaderPreview(const Report& report) {
    out().beginCenter();
    out().beginTable(style_.border);
    writeHeaderRows(report);
    out().endTable();
    out().endCenter();
}

void ReportGenerator::writeSiteMap(std::string_view extension) {
    std::vector<SiteMapGroup> groups = siteMapGroups(context_.workdir(), extension, seasonWeeks());
    out().heading(2, 2, "Report Site Map");
    out().paragraph();
    out().writeText(
        "This is a listing of all reports you have generated this season.  Note that a report "
        "link will take you to a previously generated report.  To regenerate a report you "
        "should select it from the tree on the left then hit the Enter key.",
        true);
    out().paragraph();
    out().beginCenter();
    if (groups.empty()) {
        out().writeStyled("No reports have been generated!", false, true, true, false);
        out().endCenter();
        return;
    }
    out().beginTable(0);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (i % kSiteMapColumns == 0) {
            out().beginRow();
        }
        out().beginCell();
        out().writeStyled(groups[i].title, true, true, false, false);
        out().beginUnorderedList(kUnorderedList, kDiscBullet);
        for (const SiteMapEntry& page : groups[i].pages) {
            out().writeRaw("<LI> ", false);
            out().beginLink(page.link);
            out().writeText(page.name, true);
            out().endLink();
        }
        out().endList(kUnorderedList);
        out().endCell();
        if (i % kSiteMapColumns == kSiteMapColumns - 1 || i + 1 == groups.size()) {
            out().endRow();
        }
    }
    out().endTable();
    out().endCenter();
}

}  // namespace qff
