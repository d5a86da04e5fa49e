#include "data02/reports/Rpt_league.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data02/diag/Status.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rpt_pages.h"
#include "data02/reports/Rptqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {

std::string pageText(const char* pattern, int a, int b, int c) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

std::string draftRoundCaption(int round) {
    return pageText("Round %d", round);
}

namespace {

constexpr int kNoBorder = 0;
constexpr int kNoWidth = 0;
constexpr int kFullWidth = 100;
constexpr int kHalfWidth = 50;

constexpr const char* kDraftRefusal =
    "This report can't be created until you establish rosters by using the Draft Day Assistant "
    "on the current league.";

int currentLeague(Singleton& context) {
    return context.seasonState().peek(kCurrentLeague);
}

int seasonYear(Singleton& context) {
    return context.preferences().get(kPrefOpenSeason);
}

// Items side by side, a new row after every `perRow` of them; the last row
// is ended after the last item, with empty cells beside it when `pad`.
template <class Item, class Write>
void writeInRows(Export& out, std::span<const Item> items, int perRow, bool pad, Write write) {
    std::size_t across = static_cast<std::size_t>(perRow);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i % across == 0) {
            out.beginRow();
        }
        out.beginCell();
        write(items[i]);
        out.endCell();
        bool rowFull = i % across == across - 1;
        if (!rowFull && i + 1 == items.size()) {
            for (std::size_t empty = i % across + 1; pad && empty < across; ++empty) {
                out.cell("");
            }
        }
        if (rowFull || i + 1 == items.size()) {
            out.endRow();
        }
    }
}

// As writeInRows, every row in a layout table of its own.
template <class Item, class Write>
void writeInRowTables(Export& out, std::span<const Item> items, int perRow, int width, bool pad,
                      Write write) {
    std::size_t across = static_cast<std::size_t>(perRow);
    for (std::size_t first = 0; first < items.size(); first += across) {
        out.beginTable(kNoBorder, width);
        writeInRows(out, items.subspan(first, std::min(across, items.size() - first)), perRow, pad,
                    write);
        out.endTable();
    }
}

void writeHeaderRow(ReportGenerator& generator, std::span<const char* const> titles) {
    generator.beginHeaderRow();
    for (const char* title : titles) {
        generator.out().headerCell(title);
    }
    generator.endHeaderRow();
}

// The run's weeks that a schedule can hold.
std::vector<int> scheduleWeeks(const ReportGenerator& generator) {
    std::vector<int> weeks;
    for (int week = std::max(generator.firstWeek(), 0);
         week <= std::min(generator.lastWeek(), kWeekSlots - 1); ++week) {
        weeks.push_back(week);
    }
    return weeks;
}

// ---------------------------------------------------------------- schedules

std::string nameAmong(const TeamList& franchises, int id, const char* missing) {
    for (const Team* franchise : franchises) {
        if (franchise->id() == id) {
            return franchise->text(kFranchiseName);
        }
    }
    return missing;
}

void writeFantasyWeek(ReportGenerator& generator, const TeamList& franchises,
                      const ScheduleFantWeek& games, int week, int width) {
    Export& out = generator.out();
    if (games.first[0] == games.second[0]) {
        out.writeStyled(pageText("No schedule available for Week #%d", week + 1), true, false,
                        false, true);
        return;
    }
    out.beginTable(generator.style().border, width);
    out.beginRow();
    out.headerCell(pageText("Week #%d", week + 1), 2, 1);
    out.endRow();
    constexpr const char* kHeaders[] = {"Home", "Away"};
    writeHeaderRow(generator, kHeaders);
    for (int slot = 0; slot < kScheduleSlots && games.first[slot] != games.second[slot]; ++slot) {
        int away = games.second[slot];
        generator.beginBodyRow();
        out.cell(nameAmong(franchises, games.first[slot], "? Team not found ?"));
        out.cell(away == kByeSide ? std::string("BYE")
                                  : nameAmong(franchises, away, "??? Team not found ???"));
        generator.endBodyRow();
    }
    out.endTable();
}

int runYourSchedule(ReportGenerator& generator) {
    Singleton& context = generator.context();
    Schedule& schedule = context.schedule();
    int league = currentLeague(context);
    TeamList franchises = context.teamQuery().leagueFranchises(league);
    if (franchises.empty() || !schedule.hasSchedule(league) ||
        schedule.selectLeague(league) != kOk) {
        return kFailed;
    }
    Owned<ScheduleFantWeek> games = context.memory().make<ScheduleFantWeek>(Kind::ScheduleFantWeek);
    if (!games) {
        return kFailed;
    }
    auto writeWeek = [&](int week, int width) {
        if (schedule.getFantasyWeek(week, *games) != kOk) {
            *games = ScheduleFantWeek{};
        }
        writeFantasyWeek(generator, franchises, *games, week, width);
    };
    Export& out = generator.out();
    out.heading(2, 2, pageText("%d Fantasy Football Schedule", seasonYear(context)));
    out.beginCenter();
    std::vector<int> weeks = scheduleWeeks(generator);
    if (weeks.size() == 1) {
        writeWeek(weeks.front(), kHalfWidth);
    } else {
        out.beginTable(kNoBorder, 90);
        writeInRows(out, std::span<const int>(weeks), 2, false,
                    [&](int week) { writeWeek(week, kFullWidth); });
        out.endTable();
    }
    out.endCenter();
    return kOk;
}

std::string dayName(int day) {
    constexpr const char* kDays[] = {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"};
    return day >= 1 && day <= 7 ? kDays[day - 1] : "";
}

std::string offTeamNames(const Pro& pro, const std::vector<int>& teams) {
    std::string names;
    for (int team : teams) {
        names += (names.empty() ? "" : ", ") + std::string(pro.teamName(false, team));
    }
    return names;
}

void writeNflWeek(ReportGenerator& generator, int week, int width) {
    const Pro& pro = generator.context().pro();
    NflWeek nfl = generator.context().schedule().nflWeek(week);
    std::vector<NflGame> games = nfl.games();
    if (games.empty()) {
        return;
    }
    Export& out = generator.out();
    out.beginTable(generator.style().border, width);
    out.beginRow();
    out.headerCell(pageText("Week #%d", week + 1), 4, 1);
    out.endRow();
    constexpr const char* kHeaders[] = {"Day", "Date", "Home", "Away"};
    writeHeaderRow(generator, kHeaders);
    for (const NflGame& game : games) {
        generator.beginBodyRow();
        out.cell(dayName(game.day));
        out.cell(pageText("%d-%d", game.date1, game.date2));
        out.cell(pro.teamName(false, game.home));
        out.cell(pro.teamName(false, game.away));
        generator.endBodyRow();
    }
    std::vector<int> off = nfl.offTeams();
    if (!off.empty()) {
        generator.beginBodyRow();
        out.beginCell(1, 2);
        out.writeStyled("Off:", false, true, false, false);
        out.endCell();
        out.cell(offTeamNames(pro, off), 3, 2);
        generator.endBodyRow();
    }
    out.endTable();
}

int runNflSchedule(ReportGenerator& generator) {
    Singleton& context = generator.context();
    if (!context.schedule().isOpen()) {
        return kFailed;
    }
    Export& out = generator.out();
    out.heading(2, 2, pageText("NFL %d Season Schedule", seasonYear(context)));
    out.beginCenter();
    std::vector<int> weeks = scheduleWeeks(generator);
    if (weeks.size() == 1) {
        writeNflWeek(generator, weeks.front(), kHalfWidth);
    } else {
        writeInRowTables(out, std::span<const int>(weeks), 2, kNoWidth, true,
                         [&](int week) { writeNflWeek(generator, week, kFullWidth); });
    }
    out.endCenter();
    return kOk;
}

// ---------------------------------------------------------------- draft day

bool isDraftPage(int number) {
    return number == kDraftByRoundPage || number == kDraftByFranchisePage ||
           number == kDraftByPositionPage || number == kDraftPickOrderPage;
}

DraftList drafted(DraftList picks) {
    std::erase_if(picks, [](const TrackDraft* pick) { return !pick->isDrafted(); });
    return picks;
}

DraftList sortedBy(DraftList picks, int code) {
    DraftQuery::sortByField(picks, code, false);
    return picks;
}

struct DraftGroup {
    std::string caption;
    DraftList picks;
};

// One group per round that holds a pick, in round order: a pick numbered
// outside the league's rounds is still shown.
std::vector<DraftGroup> draftGroupsByRound(const DraftList& picks) {
    std::set<int> rounds;
    for (const TrackDraft* pick : picks) {
        rounds.insert(pick->getValue(kDraftRound));
    }
    std::vector<DraftGroup> groups;
    for (int round : rounds) {
        DraftList inRound = picks;
        std::erase_if(inRound, [round](const TrackDraft* pick) {
            return pick->getValue(kDraftRound) != round;
        });
        groups.push_back({draftRoundCaption(round), sortedBy(inRound, kDraftPick)});
    }
    return groups;
}

std::vector<DraftGroup> draftGroupsByFranchise(Singleton& context, int league,
                                               const DraftList& picks) {
    std::vector<DraftGroup> groups;
    for (const Team* franchise : context.teamQuery().leagueFranchises(league)) {
        DraftList own = picks;
        std::erase_if(own, [franchise](const TrackDraft* pick) {
            return pick->getValue(kDraftFranchise) != franchise->id();
        });
        if (!own.empty()) {
            groups.push_back(
                {franchise->text(kFranchiseName), sortedBy(drafted(own), kDraftRound)});
        }
    }
    return groups;
}

const Player* playerOf(Singleton& context, const TrackDraft& pick) {
    int id = pick.getValue(kDraftPlayer);
    return id > 0 ? context.mapFactory().players().findFirst(kPlayerId, id) : nullptr;
}

std::vector<DraftGroup> draftGroupsByPosition(Singleton& context, const DraftList& picks) {
    std::vector<DraftGroup> groups;
    for (int position = kQB; position <= kSPE; ++position) {
        DraftList own = drafted(picks);
        std::erase_if(own, [&](const TrackDraft* pick) {
            const Player* player = playerOf(context, *pick);
            int at = player != nullptr ? player->getValue(kPlayerPosition, 0) : -1;
            return at != position && at != position + kUnitOffset;
        });
        if (!own.empty()) {
            groups.push_back(
                {context.pro().positionName(false, position), sortedBy(own, kDraftRound)});
        }
    }
    return groups;
}

struct DraftPage {
    const char* title;
    int perRow;
    std::vector<const char*> headers;
    std::vector<DraftGroup> groups;
    std::function<void(const TrackDraft&)> writeCells;
    bool paragraphAfterGroup = false;
};

void writeDraftPage(ReportGenerator& generator, const DraftPage& page) {
    Export& out = generator.out();
    out.heading(2, 2, page.title);
    out.beginCenter();
    out.beginTable(kNoBorder);
    writeInRows(out, std::span<const DraftGroup>(page.groups), page.perRow, false,
                [&](const DraftGroup& group) {
                    out.beginTable(generator.style().border, kFullWidth, group.caption);
                    writeHeaderRow(generator, page.headers);
                    for (const TrackDraft* pick : group.picks) {
                        generator.beginBodyRow();
                        page.writeCells(*pick);
                        generator.endBodyRow();
                    }
                    out.endTable();
                    if (page.paragraphAfterGroup) {
                        out.paragraph();
                    }
                });
    out.endTable();
    out.endCenter();
}

// The cells a pick's row is made of.
class DraftCells {
  public:
    DraftCells(Singleton& context, Export& out) : context_(context), out_(out) {}

    void number(const TrackDraft& pick, int code) const { out_.cellNumber(pick.getValue(code)); }
    void franchise(const TrackDraft& pick, const char* missing) const {
        const Team* team =
            context_.teamQuery().findOne(kFranchiseId, pick.getValue(kDraftFranchise));
        out_.cell(team != nullptr ? team->text(kFranchiseName) : std::string(missing));
    }
    void player(const TrackDraft& pick, int code) const {
        const Player* player = playerOf(context_, pick);
        out_.cell(player != nullptr ? player->text(code) : std::string());
    }

  private:
    Singleton& context_;
    Export& out_;
};

DraftPage draftPage(Singleton& context, Export& out, int number, int league) {
    DraftList picks = context.draftQuery().leaguePicks(league);
    DraftCells cells(context, out);
    switch (number) {
        case kDraftByRoundPage:
            return {"Draft Day Results: By Round",
                    2,
                    {"Pick", "Franchise", "Player Name", "Pos", "Team"},
                    draftGroupsByRound(drafted(picks)),
                    [cells](const TrackDraft& pick) {
                        cells.number(pick, kDraftPick);
                        cells.franchise(pick, "");
                        cells.player(pick, kPlayerName);
                        cells.player(pick, kPlayerPosition);
                        cells.player(pick, kPlayerTeam);
                    },
                    true};
        case kDraftByFranchisePage:
            return {"Draft Day Results: By Franchise",
                    2,
                    {"Rnd", "Pick", "Player Name", "Pos", "Team"},
                    draftGroupsByFranchise(context, league, picks),
                    [cells](const TrackDraft& pick) {
                        cells.number(pick, kDraftRound);
                        cells.number(pick, kDraftPick);
                        cells.player(pick, kPlayerName);
                        cells.player(pick, kPlayerPosition);
                        cells.player(pick, kPlayerTeam);
                    }};
        case kDraftByPositionPage:
            return {"Draft Day Results: By Position",
                    2,
                    {"Rnd", "Pick", "Franchise", "Player Name", "Team"},
                    draftGroupsByPosition(context, picks),
                    [cells](const TrackDraft& pick) {
                        cells.number(pick, kDraftRound);
                        cells.number(pick, kDraftPick);
                        cells.franchise(pick, "Unknown");
                        cells.player(pick, kPlayerName);
                        cells.player(pick, kPlayerTeam);
                    }};
        default:
            return {"Draft Day: Pick Order",
                    4,
                    {"Pick", "Franchise"},
                    draftGroupsByRound(picks),
                    [cells](const TrackDraft& pick) {
                        cells.number(pick, kDraftPick);
                        cells.franchise(pick, "Unknown");
                    }};
    }
}

// -------------------------------------------------------------- top players

struct PlayerGroup {
    int position;
    PlyrList players;
};

PlyrList selectedPlayers(Singleton& context, const PlayerQueryNode& node) {
    PlayerQuery query(context);
    if (query.addNode(node) != kOk) {
        return {};
    }
    Owned<PlyrList> found = query.run();
    return found ? *found : PlyrList{};
}

std::vector<PlayerGroup> groupsOfEachPosition(Singleton& context) {
    constexpr int kPositions[] = {kQB, kRB, kWR, kTE, kPK, kDEF + kUnitOffset, kSPE + kUnitOffset};
    std::vector<PlayerGroup> groups;
    for (int position : kPositions) {
        PlayerQueryNode node;
        node.setSelectCode(PlayerQueryNode::kByPosition);
        node.setValues(std::vector<int>{position});
        node.setSortKey(0, kFirstSeasonPoints, true);
        PlyrList players = selectedPlayers(context, node);
        if (!players.empty()) {
            groups.push_back({position, std::move(players)});
        }
    }
    return groups;
}

// The players on the league's rosters at the season's last week.
std::set<const Player*> rosteredPlayers(Singleton& context, int lastWeek) {
    std::set<const Player*> players;
    for (const Team* franchise : context.teamQuery().leagueFranchises(currentLeague(context))) {
        if (Owned<PlyrList> roster = franchise->rosterPlayers(0, lastWeek)) {
            players.insert(roster->begin(), roster->end());
        }
    }
    return players;
}

// By position, best season first; one group per position.
std::vector<PlayerGroup> playerGroupsByPosition(Singleton& context, PlyrList players) {
    context.playerQuery().sortList(players, 0, kPlayerPosition, false);
    context.playerQuery().sortList(players, kPlayerPosition, kFirstSeasonPoints, true);
    std::vector<PlayerGroup> groups;
    for (Player* player : players) {
        int position = player->getValue(kPlayerPosition, 0);
        if (groups.empty() || groups.back().position != position) {
            groups.push_back({position, {}});
        }
        groups.back().players.push_back(player);
    }
    return groups;
}

std::vector<PlayerGroup> playersOnRosters(Singleton& context, int lastWeek, bool rostered) {
    std::set<const Player*> onRosters = rosteredPlayers(context, lastWeek);
    PlyrList players = context.mapFactory().players().list();
    std::erase_if(players,
                  [&](const Player* player) { return onRosters.contains(player) != rostered; });
    return playerGroupsByPosition(context, std::move(players));
}

std::string groupName(const Pro& pro, int position) {
    std::string name = pro.positionName(false, position);
    return position >= Pro::kUnitPositionBase ? "Team " + name : name;
}

void writePlayerGroup(ReportGenerator& generator, const PlayerGroup& group, int ranks) {
    Export& out = generator.out();
    out.beginTable(generator.style().border, kFullWidth);
    generator.beginHeaderRow();
    out.headerCell(groupName(generator.context().pro(), group.position), 4, 1);
    generator.endHeaderRow();
    int shown = std::min(ranks, static_cast<int>(group.players.size()));
    for (int rank = 1; rank <= shown; ++rank) {
        const Player& player = *group.players[static_cast<std::size_t>(rank - 1)];
        generator.beginBodyRow();
        out.cellNumber(rank);
        out.cell(player.text(kPlayerName));
        if (!player.isUnit()) {
            out.cell(player.text(kPlayerTeam));
        }
        out.cellNumber(player.getPoints(kFirstSeasonPoints, kAllWeeks));
        generator.endBodyRow();
    }
    out.endTable();
}

int runTopPlayersPage(ReportGenerator& generator, const Report& report, int number) {
    Singleton& context = generator.context();
    int lastWeek = generator.seasonWeeks() - 1;
    std::vector<PlayerGroup> groups;
    const char* subtitle = "Top Players in the NFL";
    if (number == kTopNflPlayersPage) {
        groups = groupsOfEachPosition(context);
    } else if (number == kTopFranchisePlayersPage) {
        subtitle = "Top Players That Have Been Drafted";
        groups = playersOnRosters(context, lastWeek, true);
    } else {
        subtitle = "Top Undrafted Players";
        groups = playersOnRosters(context, lastWeek, false);
    }
    int ranks = context.preferences().get(kPrefTopPlayers);
    Export& out = generator.out();
    out.beginCenter();
    out.heading(2, 2, report.text(kReportHeader));
    out.writeStyled(subtitle, true, false, false, true);
    out.paragraph();
    writeInRowTables(out, std::span<const PlayerGroup>(groups), 3, 90, false,
                     [&](const PlayerGroup& group) { writePlayerGroup(generator, group, ranks); });
    out.endCenter();
    return kOk;
}

// ------------------------------------------------------------------- totals

struct TotalsRow {
    std::string label;
    // Per column of the definition; column 0 is the label's.
    std::vector<std::int64_t> sums;
};

int seasonValue(const Player& player, int code) {
    switch (playerValueKind(code)) {
        case ValueKind::Text:
            return 0;
        case ValueKind::Points:
            return player.getPoints(code, kAllWeeks);
        default:
            return player.getValue(code, kAllWeeks);
    }
}

TotalsRow totalsRow(std::string label, const PlyrList& players, const Report& definition) {
    TotalsRow row{std::move(label), std::vector<std::int64_t>(definition.columnCount(), 0)};
    for (int column = 1; column < definition.columnCount(); ++column) {
        for (const Player* player : players) {
            row.sums[column] += seasonValue(*player, definition.column(column).code);
        }
    }
    return row;
}

std::vector<TotalsRow> rowsByPosition(Singleton& context, const Report& definition) {
    std::vector<TotalsRow> rows;
    for (int position = kQB; position <= kPK; ++position) {
        int values[] = {position};
        PlyrList players = context.mapFactory().players().selectByValues(kPlayerPosition, values);
        rows.push_back(totalsRow(context.pro().positionName(false, position), players, definition));
    }
    return rows;
}

std::vector<TotalsRow> rowsByNflTeam(Singleton& context, const Report& definition,
                                     int pointsColumn) {
    const RecordCache<Player>& cache = context.mapFactory().players();
    std::vector<TotalsRow> rows;
    for (int team : context.pro().validTeams()) {
        int values[] = {team};
        if (cache.selectByValues(kPlayerTeam, values).empty()) {
            continue;
        }
        PlyrList units;
        for (int position = kQB + kUnitOffset; position <= kSPE + kUnitOffset; ++position) {
            if (Player* unit = cache.findFirst(kPlayerId, Pro::unitId(team, position))) {
                units.push_back(unit);
            }
        }
        rows.push_back(totalsRow(context.pro().teamName(false, team), units, definition));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [pointsColumn](const TotalsRow& a, const TotalsRow& b) {
                         return a.sums[pointsColumn] < b.sums[pointsColumn];
                     });
    return rows;
}

int columnOf(const Report& definition, int code) {
    for (int column = 1; column < definition.columnCount(); ++column) {
        if (definition.column(column).code == code) {
            return column;
        }
    }
    return -1;
}

void writeTotals(ReportGenerator& generator, const Report& definition, const char* title,
                 const std::vector<TotalsRow>& rows) {
    Export& out = generator.out();
    out.beginCenter();
    out.heading(2, 2, title);
    out.paragraph();
    out.beginTable(generator.style().border);
    generator.writeHeaderRows(definition);
    bool totals = definition.getValue(kReportTotalsRow) != 0;
    generator.clearTotals();
    for (const TotalsRow& row : rows) {
        generator.beginBodyRow();
        out.cell(row.label);
        for (std::size_t column = 1; column < row.sums.size(); ++column) {
            out.cellNumber(row.sums[column]);
            if (totals) {
                generator.addToTotal(static_cast<int>(column), row.sums[column]);
            }
        }
        generator.endBodyRow();
    }
    if (totals) {
        generator.writeTotalsRow(definition.columnCount());
    }
    out.endTable();
    out.endCenter();
}

int runTotalsPage(ReportGenerator& generator, int number) {
    Singleton& context = generator.context();
    bool byPosition = number == kTotalsByPositionPage;
    Owned<RptList> found =
        ReportQuery(context).findByName(byPosition ? "Totals by Position" : "Totals by NFL Team");
    if (!found || found->empty()) {
        return kFailed;
    }
    const Report& definition = *found->front();
    if (byPosition) {
        writeTotals(generator, definition, "Season Totals By Position",
                    rowsByPosition(context, definition));
        return kOk;
    }
    int pointsColumn = columnOf(definition, kTotalPoints);
    if (pointsColumn < 0) {
        return kFailed;
    }
    writeTotals(generator, definition, "Season Totals By NFL Team",
                rowsByNflTeam(context, definition, pointsColumn));
    return kOk;
}

}  // namespace

std::optional<std::string> draftPagesRefusal(Singleton& context, int number) {
    return draftPagesRefusal(context, number, currentLeague(context));
}

std::optional<std::string> draftPagesRefusal(Singleton& context, int number, int league) {
    if (!isDraftPage(number)) {
        return std::nullopt;
    }
    DraftList picks = context.draftQuery().leaguePicks(league);
    bool enough = number == kDraftPickOrderPage ? !picks.empty() : !drafted(picks).empty();
    if (enough) {
        return std::nullopt;
    }
    return kDraftRefusal;
}

int runDraftPage(ReportGenerator& generator, int number, int league) {
    if (draftPagesRefusal(generator.context(), number, league)) {
        return kFailed;
    }
    writeDraftPage(generator, draftPage(generator.context(), generator.out(), number, league));
    return kOk;
}

int runLeaguePage(ReportGenerator& generator, const Report& report, int number) {
    switch (number) {
        case kDraftByRoundPage:
        case kDraftByFranchisePage:
        case kDraftByPositionPage:
        case kDraftPickOrderPage:
            return runDraftPage(generator, number, currentLeague(generator.context()));
        case kScoringSystemPage:
            return runScoringSystemPage(generator);
        case kYourSchedulePage:
            return runYourSchedule(generator);
        case kNflSchedulePage:
            return runNflSchedule(generator);
        case kTopNflPlayersPage:
        case kTopFranchisePlayersPage:
        case kTopUndraftedPlayersPage:
            return runTopPlayersPage(generator, report, number);
        case kTotalsByPositionPage:
        case kTotalsByNflTeamPage:
            return runTotalsPage(generator, number);
        default:
            return kFailed;
    }
}

}  // namespace qff
