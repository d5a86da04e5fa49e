#include "data02/reports/Rpt_pages.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data02/diag/Status.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rpt_output.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Results.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {

namespace {

enum GamePage {
    kHthActive = 3,
    kHthAll = 4,
    kRotisserieActive = 5,
    kRotisserieAll = 6,
    kFantasyRosters = 10,
    kRosterChangesBasic = 11,
    kRosterChangesComplex = 12,
    kOwnerInformation = 13,
    kHeadToHeadOverview = 22,
    kHeadToHeadSnapshot = 23,
};

enum RosterPart { kWholeRoster = 0, kActivePart = 1, kBenchPart = 2 };

// Export's list kind for a list without bullets.
constexpr int kPlainList = 3;

constexpr std::string_view kShortError = "? ERROR ?";
constexpr std::string_view kLongError = "??? ERROR ???";

// One game slot: the ids as scheduled and the franchises they name, if any.
struct Pairing {
    int homeId = kEmptySide;
    int awayId = kEmptySide;
    const Team* home = nullptr;
    const Team* away = nullptr;

    bool hasFranchise() const { return home != nullptr || away != nullptr; }
};

std::string missingSideText(int id, std::string_view errorText) {
    return id == kByeSide ? "BYE Week" : std::string(errorText);
}

std::string playerText(const Player& player) {
    return player.isUnit() ? player.text(kPlayerName) : player.text(kPlayerComboTeamPos);
}

std::string weekNumberText(int week) {
    return std::to_string(week + 1);
}

// Players of `list` whose id `other` does not hold, in the order of `list`.
PlyrList playersNotIn(const PlyrList& list, const PlyrList& other) {
    PlyrList missing;
    for (Player* player : list) {
        bool found = std::any_of(other.begin(), other.end(),
                                 [&](const Player* p) { return p->id() == player->id(); });
        if (!found) {
            missing.push_back(player);
        }
    }
    return missing;
}

struct RosterChanges {
    PlyrList active;
    PlyrList benched;
    PlyrList added;
    PlyrList dropped;
    PlyrList activated;
    PlyrList newlyBenched;
};

class GamePages {
  public:
    GamePages(ReportGenerator& generator, const Report& report)
        : generator_(generator), context_(generator.context()), report_(report) {}

    int run(int number) {
        switch (number) {
            case kHthActive:
                return headToHeadDetails(false);
            case kHthAll:
                return headToHeadDetails(true);
            case kRotisserieActive:
                return rotisserieDetails(false);
            case kRotisserieAll:
                return rotisserieDetails(true);
            case kFantasyRosters:
                return fantasyRosters();
            case kRosterChangesBasic:
                return rosterChangesBasic();
            case kRosterChangesComplex:
                return rosterChangesComplex();
            case kOwnerInformation:
                return ownerInformation();
            case kHeadToHeadOverview:
                return headToHeadOverview();
            case kHeadToHeadSnapshot:
                return headToHeadSnapshot();
            default:
                return kFailed;
        }
    }

  private:
    Export& out() { return generator_.out(); }
    SeasonState& state() { return context_.seasonState(); }
    int currentLeague() { return state().peek(kCurrentLeague); }
    bool currentLeagueExists() {
        return context_.leagueQuery().findOne(kLeagueId, currentLeague()) != nullptr;
    }
    TeamList leagueFranchises() { return context_.teamQuery().leagueFranchises(currentLeague()); }
    int border() const { return generator_.style().border; }
    bool isLastWeek(int week) const { return week >= generator_.seasonWeeks() - 1; }

    // A one-week run shows its week; a longer one the latest week with
    // statistics, and the page is titled with that week alone.
    int startGameWeek() {
        int week = generator_.firstWeek();
        if (generator_.firstWeek() != generator_.lastWeek()) {
            int withStats = state().weeksWithStats();
            week = withStats > 0 ? withStats - 1 : 0;
        }
        generator_.setWeeks(week, week);
        return week;
    }

    const Team* franchise(int id) {
        if (id == kEmptySide || id == kByeSide) {
            return nullptr;
        }
        return context_.mapFactory().franchises().findFirst(kFranchiseId, id);
    }

    // Reading the week's games makes the league's record current without
    // adding one, so a league without a schedule has an empty week.
    ScheduleFantWeek scheduleWeek(int week) {
        ScheduleFantWeek slots;
        Schedule& schedule = context_.schedule();
        schedule.games(currentLeague(), week);
        if (schedule.currentLeague() == currentLeague()) {
            schedule.getFantasyWeek(week, slots);
        }
        return slots;
    }

    Pairing pairingAt(const ScheduleFantWeek& slots, int slot) {
        Pairing pairing{slots.first[slot], slots.second[slot]};
        pairing.home = franchise(pairing.homeId);
        pairing.away = franchise(pairing.awayId);
        return pairing;
    }

    // Every slot of the week naming a franchise, empty slots between them
    // included.
    std::vector<Pairing> pairingsOf(int week) {
        ScheduleFantWeek slots = scheduleWeek(week);
        std::vector<Pairing> pairings;
        for (int slot = 0; slot < kScheduleSlots; ++slot) {
            Pairing pairing = pairingAt(slots, slot);
            if (pairing.hasFranchise()) {
                pairings.push_back(pairing);
            }
        }
        return pairings;
    }

    PlyrList rosterList(const Team* team, int part, int week) {
        if (team == nullptr) {
            return {};
        }
        Owned<PlyrList> list = team->rosterPlayers(part, week);
        return list ? *list : PlyrList{};
    }

    // Within each position the lowest scorer of the view week comes first.
    PlyrList rosterByPoints(const Team* team, int part, int week) {
        PlyrList list = rosterList(team, part, week);
        context_.playerQuery().sortList(list, kPlayerPosition, kTotalPoints, false);
        return list;
    }

    int points(const Player& player, int week) { return player.getValue(kTotalPoints, week); }

    std::optional<std::int64_t> activePoints(const Team* team, int week) {
        return team ? std::optional<std::int64_t>(team->getTotal(kActivePoints, week))
                    : std::nullopt;
    }

    // ---------------------------------------------------------- head to head

    int headToHeadDetails(bool allPlayers) {
        if (!currentLeagueExists()) {
            return kFailed;
        }
        int week = startGameWeek();
        ScopedStateValue viewWeek(state(), kViewWeek, week);
        generator_.writeTitleBlock(report_);
        out().beginCenter();
        ScheduleFantWeek slots = scheduleWeek(week);
        for (int slot = 0; slot < kScheduleSlots && slots.first[slot] != slots.second[slot];
             ++slot) {
            Pairing pairing = pairingAt(slots, slot);
            if (pairing.hasFranchise()) {
                writeGameDetails(pairing, week, allPlayers);
            }
        }
        if (slots.first[0] == slots.second[0]) {
            out().writeStyled("No schedule available for Week #" + weekNumberText(week), true, true,
                              false, false);
        }
        out().endCenter();
        return kOk;
    }

    void writeGameDetails(const Pairing& pairing, int week, bool allPlayers) {
        std::string_view errorText = allPlayers ? kLongError : kShortError;
        out().beginTable(border(), 60);
        generator_.beginHeaderRow();
        writeSideHeader(pairing.homeId, pairing.home, week, errorText);
        out().headerCell("VS");
        writeSideHeader(pairing.awayId, pairing.away, week, errorText);
        generator_.endHeaderRow();
        if (allPlayers) {
            writeBlockHeader("Active Players", 5);
            writeMatchedPlayers(pairing, kActivePart, week);
            writeBlockHeader("Benched Players", 5);
            writeMatchedPlayers(pairing, kBenchPart, week);
        } else {
            writeMatchedPlayers(pairing, kActivePart, week);
        }
        out().endTable();
        out().paragraph();
        out().paragraph();
    }

    void writeSideHeader(int id, const Team* team, int week, std::string_view errorText) {
        if (team == nullptr) {
            out().headerCell(missingSideText(id, errorText), 2, 1);
            return;
        }
        out().headerCell(team->text(kFranchiseName));
        out().headerCellNumber(team->getTotal(kActivePoints, week));
    }

    void writeBlockHeader(std::string_view name, int span) {
        generator_.beginHeaderRow();
        out().beginHeaderCell(span, 1);
        out().writeStyled(name, false, false, true, false);
        out().endHeaderCell();
        generator_.endHeaderRow();
    }

    void writeMatchedPlayers(const Pairing& pairing, int part, int week) {
        PlyrList home = rosterByPoints(pairing.home, part, week);
        PlyrList away = rosterByPoints(pairing.away, part, week);
        std::size_t rows = std::max(home.size(), away.size());
        for (std::size_t row = 0; row < rows; ++row) {
            generator_.beginBodyRow();
            writePlayerSide(home, row, week);
            out().cell("");
            writePlayerSide(away, row, week);
            generator_.endBodyRow();
        }
    }

    void writePlayerSide(const PlyrList& players, std::size_t row, int week) {
        if (players.empty()) {
            out().cell(row == 0 ? "None." : "", 2, 1);
        } else if (row >= players.size()) {
            out().cell(" ", 2, 1);
        } else {
            out().cell(playerText(*players[row]));
            out().cellNumber(points(*players[row], week));
        }
    }

    // The higher score in bold, the lower plain, a tie in bold italics; a
    // side without an opponent has nothing to compare with and stays plain.
    void writeScore(std::int64_t score, std::optional<std::int64_t> opponent) {
        if (!opponent) {
            out().writeNumber(score, false);
        } else if (score == *opponent) {
            out().writeStyledNumber(score, false, true, true, false);
        } else if (score > *opponent) {
            out().writeStyledNumber(score, false, true, false, false);
        } else {
            out().writeNumber(score, true);
        }
    }

    int headToHeadOverview() {
        if (!currentLeagueExists()) {
            return kFailed;
        }
        int week = startGameWeek();
        ScopedStateValue viewWeek(state(), kViewWeek, week);
        generator_.writeTitleBlock(report_);
        out().beginCenter();
        out().beginTable(border(), 50);
        generator_.beginHeaderRow();
        out().headerCell("Home Team", 2, 1);
        out().headerCell("Away Team", 2, 1);
        generator_.endHeaderRow();
        for (const Pairing& pairing : pairingsOf(week)) {
            writeOverviewGame(pairing, week);
        }
        out().endTable();
        out().paragraph();
        out().paragraph();
        out().paragraph();
        if (!isLastWeek(week)) {
            writeNextWeekList(week + 1);
        }
        out().endCenter();
        return kOk;
    }

    void writeOverviewGame(const Pairing& pairing, int week) {
        std::optional<std::int64_t> homeScore = activePoints(pairing.home, week);
        std::optional<std::int64_t> awayScore = activePoints(pairing.away, week);
        generator_.beginBodyRow();
        if (pairing.home) {
            out().cell(pairing.home->text(kFranchiseName));
            writeScoreCell(*homeScore, awayScore);
        } else {
            out().cell(missingSideText(pairing.homeId, kLongError), 2, 1);
        }
        if (pairing.away) {
            writeScoreCell(*awayScore, homeScore);
            out().cell(pairing.away->text(kFranchiseName));
        } else {
            out().cell(missingSideText(pairing.awayId, kLongError), 2, 1);
        }
        generator_.endBodyRow();
    }

    void writeScoreCell(std::int64_t score, std::optional<std::int64_t> opponent) {
        out().beginCell();
        writeScore(score, opponent);
        out().endCell();
    }

    std::string sideName(int id, const Team* team) {
        return team ? team->text(kFranchiseName) : missingSideText(id, kLongError);
    }

    void writeNextWeekList(int nextWeek) {
        out().paragraph();
        out().writeStyled("Next weeks schedule...", true, true, false, false);
        out().paragraph();
        out().beginTable(0, 30);
        out().beginRow();
        writeBoldCell("Home Team");
        writeBoldCell("Away Team");
        out().endRow();
        for (const Pairing& pairing : pairingsOf(nextWeek)) {
            out().beginRow();
            out().cell(sideName(pairing.homeId, pairing.home));
            out().cell(sideName(pairing.awayId, pairing.away));
            out().endRow();
        }
        out().endTable();
    }

    void writeBoldCell(std::string_view text) {
        out().beginCell();
        out().writeStyled(text, false, true, false, false);
        out().endCell();
    }

    // ------------------------------------------------------------- snapshot

    int headToHeadSnapshot() {
        if (!currentLeagueExists()) {
            return kFailed;
        }
        int week = startGameWeek();
        ScopedStateValue viewWeek(state(), kViewWeek, week);
        out().beginCenter();
        out().beginTable(border());
        writeSmallTitleRow("Week #" + weekNumberText(week) + " Results", 5);
        for (const Pairing& pairing : pairingsOf(week)) {
            writeSnapshotGame(pairing, week);
        }
        out().endTable();
        out().paragraph();
        if (!isLastWeek(week)) {
            writeSnapshotNextWeek(week + 1);
        }
        out().endCenter();
        return kOk;
    }

    void writeSmallTitleRow(std::string_view title, int span) {
        out().beginRow();
        out().beginCell(span, 1);
        out().writeRaw("<center><small>", false);
        out().writeStyled(title, false, true, true, false);
        out().writeRaw("</small></center>", false);
        out().endCell();
        out().endRow();
    }

    void beginSmallCell(int span) {
        out().beginCell(span, 1);
        out().writeRaw("<small>", false);
    }

    void endSmallCell() {
        out().writeRaw("</small>", false);
        out().endCell();
    }

    void writeSmallCell(std::string_view text, int span = 1) {
        beginSmallCell(span);
        out().writeText(text, false);
        endSmallCell();
    }

    void writeSmallScoreCell(std::int64_t score, std::optional<std::int64_t> opponent) {
        beginSmallCell(1);
        writeScore(score, opponent);
        endSmallCell();
    }

    static std::string_view resultMark(std::optional<std::int64_t> home,
                                       std::optional<std::int64_t> away) {
        if (!home || !away) {
            return "";
        }
        if (*home == *away) {
            return " T ";
        }
        return *home > *away ? " < " : " > ";
    }

    void writeSnapshotGame(const Pairing& pairing, int week) {
        std::optional<std::int64_t> homeScore = activePoints(pairing.home, week);
        std::optional<std::int64_t> awayScore = activePoints(pairing.away, week);
        out().beginRow();
        if (pairing.home) {
            writeSmallScoreCell(*homeScore, awayScore);
            writeSmallCell(pairing.home->text(kFranchiseName));
        } else {
            writeSmallCell(missingSideText(pairing.homeId, kLongError), 2);
        }
        writeSmallCell(resultMark(homeScore, awayScore));
        if (pairing.away) {
            writeSmallCell(pairing.away->text(kFranchiseName));
            writeSmallScoreCell(*awayScore, homeScore);
        } else {
            writeSmallCell(missingSideText(pairing.awayId, kLongError), 2);
        }
        out().endRow();
    }

    void writeSnapshotNextWeek(int nextWeek) {
        out().paragraph();
        out().paragraph();
        out().beginTable(border());
        writeSmallTitleRow("Next Week", 3);
        for (const Pairing& pairing : pairingsOf(nextWeek)) {
            out().beginRow();
            writeSmallCell(sideName(pairing.homeId, pairing.home));
            writeSmallCell("- VS -");
            writeSmallCell(sideName(pairing.awayId, pairing.away));
            out().endRow();
        }
        out().endTable();
    }

    // ----------------------------------------------------------- rotisserie

    int rotisserieDetails(bool allPlayers) {
        if (!currentLeagueExists()) {
            return kFailed;
        }
        int week = startGameWeek();
        ScopedStateValue viewWeek(state(), kViewWeek, week);
        generator_.writeTitleBlock(report_);
        out().beginCenter();
        TeamList teams = leagueFranchises();
        for (std::size_t first = 0; first < teams.size(); first += 2) {
            out().beginTable(0, 70);
            out().beginRow();
            for (std::size_t i = first; i < std::min(first + 2, teams.size()); ++i) {
                out().beginCell();
                writeRotisserieTeam(*teams[i], week, allPlayers);
                out().endCell();
            }
            if (first + 1 == teams.size()) {
                out().cell("");
            }
            out().endRow();
            out().endTable();
        }
        out().endCenter();
        return kOk;
    }

    void writeRotisserieTeam(const Team& team, int week, bool allPlayers) {
        out().beginTable(border(), 100);
        generator_.beginHeaderRow();
        out().headerCell(team.text(kFranchiseName));
        out().headerCellNumber(team.getTotal(kActivePoints, week));
        generator_.endHeaderRow();
        if (allPlayers) {
            writeBlockHeader("Active Players", 2);
            writeTeamPlayers(team, kActivePart, week);
            writeBlockHeader("Benched Players", 2);
            writeTeamPlayers(team, kBenchPart, week);
        } else {
            writeTeamPlayers(team, kActivePart, week);
        }
        out().endTable();
    }

    void writeTeamPlayers(const Team& team, int part, int week) {
        PlyrList players = rosterByPoints(&team, part, week);
        if (players.empty()) {
            out().beginRow();
            out().cell("None.", 2, 1);
            out().endRow();
            return;
        }
        for (const Player* player : players) {
            generator_.beginBodyRow();
            out().cell(playerText(*player));
            out().cellNumber(points(*player, week));
            generator_.endBodyRow();
        }
    }

    // -------------------------------------------------------------- rosters

    int fantasyRosters() {
        out().heading(2, 2, "Fantasy Football Rosters");
        out().beginCenter();
        bool mostRecent = generator_.coversSeason();
        int week = mostRecent ? generator_.seasonWeeks() - 1 : generator_.firstWeek();
        out().writeStyled(mostRecent ? "Most Recent" : "For Week " + weekNumberText(week), true,
                          false, false, true);
        out().paragraph();
        out().beginTable(0, 90);
        TeamList teams = leagueFranchises();
        for (std::size_t i = 0; i < teams.size(); ++i) {
            if (i % 2 == 0) {
                out().beginRow();
            }
            out().beginCell();
            writeTeamRoster(*teams[i], week);
            out().endCell();
            if (i % 2 == 1 || i + 1 == teams.size()) {
                out().endRow();
            }
        }
        out().endTable();
        out().endCenter();
        return kOk;
    }

    void writeTeamRoster(const Team& team, int week) {
        PlyrList active = rosterList(&team, kActivePart, week);
        PlyrList benched = rosterList(&team, kBenchPart, week);
        out().beginTable(border(), 100);
        out().beginRow();
        out().headerCell(team.text(kFranchiseName), 6, 1);
        out().endRow();
        generator_.beginHeaderRow();
        out().headerCell("Active", 3, 1);
        out().headerCell("Benched", 3, 1);
        generator_.endHeaderRow();
        std::size_t rows = std::max(active.size(), benched.size());
        for (std::size_t row = 0; row < rows; ++row) {
            generator_.beginBodyRow();
            writeRosterPlace(active, row);
            writeRosterPlace(benched, row);
            generator_.endBodyRow();
        }
        out().endTable();
    }

    void writeRosterPlace(const PlyrList& players, std::size_t row) {
        if (row >= players.size()) {
            out().cell(players.empty() && row == 0 ? "None." : "", 3, 1);
            return;
        }
        const Player& player = *players[row];
        if (player.isUnit()) {
            out().cell(player.text(kPlayerName), 3, 1);
            return;
        }
        out().cell(player.text(kPlayerName));
        out().cell(player.text(kPlayerPosition));
        out().cell(player.text(kPlayerTeam));
    }

    // ------------------------------------------------------- roster changes

    RosterChanges rosterChanges(const Team& team, int week) {
        RosterChanges changes;
        changes.active = rosterList(&team, kActivePart, week);
        changes.benched = rosterList(&team, kBenchPart, week);
        bool first = week == 0;
        PlyrList before = first ? PlyrList{} : rosterList(&team, kWholeRoster, week - 1);
        PlyrList activeBefore = first ? PlyrList{} : rosterList(&team, kActivePart, week - 1);
        PlyrList benchedBefore = first ? PlyrList{} : rosterList(&team, kBenchPart, week - 1);
        PlyrList now = rosterList(&team, kWholeRoster, week);
        changes.added = playersNotIn(now, before);
        changes.dropped = playersNotIn(before, now);
        changes.activated = playersNotIn(changes.active, activeBefore);
        changes.newlyBenched = playersNotIn(changes.benched, benchedBefore);
        return changes;
    }

    void writeRosterChangesHeading(int week) {
        out().beginCenter();
        out().heading(2, 2, report_.text(kReportHeader));
        out().writeStyled("Week " + weekNumberText(week), true, false, false, true);
        out().paragraph();
    }

    int rosterChangesBasic() {
        int week = generator_.lastWeek();
        writeRosterChangesHeading(week);
        out().beginTable(border());
        generator_.beginHeaderRow();
        out().headerCell("");
        out().headerCell("Players", 2, 1);
        out().headerCell("Roster Changes", 4, 1);
        generator_.endHeaderRow();
        generator_.beginHeaderRow();
        for (std::string_view title :
             {"Team Name", "# Active", "# Bench", "Added", "Dropped", "Activated", "Benched"}) {
            out().headerCell(title);
        }
        generator_.endHeaderRow();
        for (const Team* team : leagueFranchises()) {
            RosterChanges changes = rosterChanges(*team, week);
            generator_.beginBodyRow();
            out().cell(team->text(kFranchiseName));
            for (const PlyrList* list :
                 {&changes.active, &changes.benched, &changes.added, &changes.dropped,
                  &changes.activated, &changes.newlyBenched}) {
                out().cellNumber(static_cast<int>(list->size()));
            }
            generator_.endBodyRow();
        }
        out().endTable();
        out().endCenter();
        return kOk;
    }

    int rosterChangesComplex() {
        int week = generator_.lastWeek();
        writeRosterChangesHeading(week);
        for (const Team* team : leagueFranchises()) {
            RosterChanges changes = rosterChanges(*team, week);
            out().beginTable(border(), 60);
            generator_.beginHeaderRow();
            out().headerCell(team->text(kFranchiseName), 2, 1);
            generator_.endHeaderRow();
            generator_.beginBodyRow();
            writeChangeCell("Players Added = ", changes.added);
            writeChangeCell("Players Dropped = ", changes.dropped);
            generator_.endBodyRow();
            generator_.beginBodyRow();
            writeChangeCell("Players Activated = ", changes.activated);
            writeChangeCell("Players Benched = ", changes.newlyBenched);
            generator_.endBodyRow();
            out().endTable();
            out().paragraph();
            out().paragraph();
        }
        out().endCenter();
        return kOk;
    }

    void writeChangeCell(const std::string& label, const PlyrList& players) {
        out().beginCell();
        out().writeStyled(label + std::to_string(players.size()), true, true, true, false);
        out().beginList(kPlainList);
        if (players.empty()) {
            out().listItem(kPlainList, "None.");
        }
        for (const Player* player : players) {
            out().listItem(kPlainList, playerText(*player));
        }
        out().endList(kPlainList);
        out().endCell();
    }

    // ---------------------------------------------------------------- owners

    int ownerInformation() {
        out().heading(2, 2, "Owner Information");
        out().beginCenter();
        out().beginTable(0);
        TeamList teams = leagueFranchises();
        for (std::size_t i = 0; i < teams.size(); ++i) {
            if (i % 4 == 0) {
                out().beginRow();
            }
            writeOwnerCell(*teams[i]);
            if (i % 4 == 3 || i + 1 == teams.size()) {
                out().endRow();
            }
        }
        out().endTable();
        out().endCenter();
        return kOk;
    }

    static std::string cityLine(const Team& team) {
        std::string city = team.text(kOwnerCity);
        if (city.empty()) {
            return {};
        }
        std::string stateCode = team.text(kOwnerState);
        std::string zip = team.text(kOwnerZip);
        return city + ", " + (stateCode.empty() ? "??" : stateCode) + "  " +
               (zip.empty() ? "?????" : zip);
    }

    static std::string labelled(std::string_view label, const std::string& value) {
        return value.empty() ? std::string() : std::string(label) + value;
    }

    void writeOwnerCell(const Team& team) {
        out().beginCell();
        out().writeStyled(team.text(kFranchiseName), false, true, false, false);
        out().lineBreak();
        const std::string lines[] = {
            team.text(kOwnerName),
            team.text(kOwnerAddress),
            cityLine(team),
            labelled("EMail Address: ", team.text(kOwnerEmail)),
            labelled("Home Phone: ", team.text(kOwnerHomePhone)),
            labelled("Work Phone: ", team.text(kOwnerWorkPhone)),
        };
        for (const std::string& line : lines) {
            if (!line.empty()) {
                out().writeText(line, false);
                out().lineBreak();
            }
        }
        out().endCell();
    }

    ReportGenerator& generator_;
    Singleton& context_;
    const Report& report_;
};

}  // namespace

int runGamePage(ReportGenerator& generator, const Report& report, int number) {
    return GamePages(generator, report).run(number);
}

}  // namespace qff
