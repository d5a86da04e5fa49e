#include "data02/scoring/Results.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Scoring.h"
#include "data02/scoring/Week_figures.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"
#include "data02/storage/Weeks.h"

namespace qff {
namespace {

constexpr int kPartCodes = 8;
constexpr std::array<int, kPartCodes> kRosterStatistics = {
    kPassYards,      kPassTdCount,     kRushYards, kRushTdCount,
    kReceivingYards, kReceivedTdCount, 50,         kKickedFgCount};

// Roster parts as Team::rosterPlayers filters them.
enum RosterPart { kWholeRoster = 0, kActivePart = 1, kBenchPart = 2 };

// Point and statistic codes come in blocks of eight, one per roster part in
// this order (the weekly points blocks each followed by their season block).
int partOfBlock(int block) {
    constexpr std::array<int, 3> kParts = {kActivePart, kBenchPart, kWholeRoster};
    return kParts[block];
}

bool inRange(int code, int first, int count) {
    return code >= first && code < first + count;
}

bool isSeasonSum(int code) {
    return code == kOpponentPointsSeason || inRange(code, kActiveSeason, kPartCodes) ||
           inRange(code, kBenchSeason, kPartCodes) || inRange(code, kAllSeason, kPartCodes);
}

// The weekly code a season sum adds up.
int weeklyCodeOf(int seasonCode) {
    return seasonCode == kOpponentPointsSeason ? kOpponentPoints : seasonCode - kPartCodes;
}

bool isWeeklyPoints(int code) {
    return code == kOpponentPoints || inRange(code, kActivePoints, kPartCodes) ||
           inRange(code, kBenchPoints, kPartCodes) || inRange(code, kAllPoints, kPartCodes);
}

bool isBestWorstAverage(int code) {
    return code >= kHighScoringWeek && code <= kAverageScoringWeek;
}

int seasonKey(Singleton& context) {
    return context.preferences().get(kPrefOpenSeason);
}

int leagueOf(const Team& team) {
    return team.getValue(kFranchiseLeague, kAllWeeks);
}

Cache::Key keyOf(Singleton& context, const Team& team, int week, int code) {
    return Cache::Key{seasonKey(context), team.id(), week, leagueOf(team), code};
}

bool weekCounted(Singleton& context, int week) {
    return context.seasonState().weekHasStats(week) != 0;
}

bool byeIsWin(Singleton& context) {
    return context.preferences().get(kPrefByeIsWin) != 0;
}

}  // namespace

std::string HeadToHead::text() const {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%d-%d-%d", won, lost, tied);
    return buffer;
}

FranchiseResults::FranchiseResults(Singleton& context, const OpponentSource& schedule)
    : context_(context), schedule_(schedule) {}

bool FranchiseResults::isResultCode(int code) {
    return code >= kWeekOfPlay && code <= kLastWeekScore && code != kFranchiseBonus &&
           code != kFirstWeekScore - 1;
}

bool FranchiseResults::isPointsCode(int code) {
    return isBestWorstAverage(code) || (code >= kOpponentPoints && code < kActiveStatistics) ||
           (code >= kFirstWeekScore && code <= kLastWeekScore);
}

const Team* FranchiseResults::franchise(int id) const {
    return context_.mapFactory().franchises().findFirst(kFranchiseId, id);
}

int FranchiseResults::lastCountedWeek() const {
    return context_.seasonState().weeksWithStats();
}

// Season totals run at least to the last counted week, further when the
// view week lies beyond it.
int FranchiseResults::seasonSumEnd() const {
    int last = lastCountedWeek() - 1;
    int view = context_.seasonState().peek(kViewWeek);
    return view == kAllWeeks || view < last ? last : view;
}

std::int64_t FranchiseResults::value(const Team& team, int code, int week) const {
    if (!isResultCode(code) || (!isWeekSlot(week) && week != kAllWeeks)) {
        return 0;
    }
    if (code >= kActivePoints && week != kAllWeeks && week >= context_.pro().weeks()) {
        return 0;
    }
    switch (code) {
        case kWeekOfPlay:
            return week == kAllWeeks ? lastCountedWeek() : week + 1;
        case kWinLossRecord:
            return headToHead(team, week).record();
        case kGamesWon:
            return headToHead(team, week).won;
        case kGamesLost:
            return headToHead(team, week).lost;
        case kGamesTied:
            return headToHead(team, week).tied;
        case kBonusSeason:
            return team.seasonBonus();
        default:
            break;
    }
    if (isBestWorstAverage(code)) {
        // They do not depend on the week asked, so they are kept once.
        return remembered(team, code, kAllWeeks);
    }
    if (isSeasonSum(code)) {
        return seasonValue(team, code);
    }
    if (code >= kFirstWeekScore) {
        return weekValue(team, kActivePoints, code - kFirstWeekScore);
    }
    return week == kAllWeeks ? sumThrough(team, code, lastCountedWeek() - 1)
                             : weekValue(team, code, week);
}

std::int64_t FranchiseResults::weekValue(const Team& team, int code, int week) const {
    if (!isWeekSlot(week) || week >= context_.pro().weeks()) {
        return 0;
    }
    if (isWeeklyPoints(code)) {
        return remembered(team, code, week);
    }
    int offset = code - kActiveStatistics;
    return partStatistic(team, partOfBlock(offset / kPartCodes),
                         kRosterStatistics[offset % kPartCodes], week);
}

std::int64_t FranchiseResults::seasonValue(const Team& team, int code) const {
    return sumThrough(team, weeklyCodeOf(code), seasonSumEnd());
}

std::int64_t FranchiseResults::sumThrough(const Team& team, int code, int last) const {
    std::int64_t sum = 0;
    for (int week = 0; week <= last; ++week) {
        sum += weekValue(team, code, week);
    }
    return sum;
}

std::int64_t FranchiseResults::remembered(const Team& team, int code, int week) const {
    Cache::Key key = keyOf(context_, team, week, code);
    if (std::optional<std::int64_t> known = context_.cache().find(Cache::Set::Franchise, key)) {
        return *known;
    }
    std::int64_t value = computePoints(team, code, week);
    context_.cache().store(Cache::Set::Franchise, key, value);
    return value;
}

std::int64_t FranchiseResults::computePoints(const Team& team, int code, int week) const {
    if (isBestWorstAverage(code)) {
        return scoringWeek(team, code);
    }
    if (code == kOpponentPoints) {
        return opponentPoints(team, week);
    }
    // Player points follow the scoring system of the franchise's league.
    context_.scoring().selectLeague(leagueOf(team));
    int offset = code - kActivePoints;
    return partPoints(team, partOfBlock(offset / (2 * kPartCodes)), offset % kPartCodes - 1, week);
}

namespace {

// Filter as Team::rosterPlayers takes it: 0 all, 1 active, 2 bench.
template <class Visit>
void forEachPlayer(Singleton& context, const Team& team, int filter, int week, Visit visit) {
    TeamRosterStruct roster;
    team.getRoster(week, roster);
    // Straight to the index: a lookup per rostered player must not allocate.
    const auto* byId = context.mapFactory().players().intIndex(kPlayerId);
    for (int place = 0; byId != nullptr && place < roster.count(); ++place) {
        bool wanted = filter == 0 || (filter == 1) == roster.active(place);
        int id = roster.id(place);
        auto found = id > 0 && wanted ? byId->lower_bound(id) : byId->end();
        if (found != byId->end() && found->first == id) {
            visit(*found->second);
        }
    }
}

}  // namespace

std::int64_t FranchiseResults::partPoints(const Team& team, int part, int position,
                                          int week) const {
    int players = 0;
    std::int64_t sum = 0;
    forEachPlayer(context_, team, part, week, [&](const Player& player) {
        ++players;
        if (position < 0 || player.getValue(kPlayerPosition, week) % 10 == position) {
            sum += playerPoints(context_, player, kTotalPoints, week);
        }
    });
    if (players == 0) {
        return 0;
    }
    bool withBonus = position < 0 && part != kBenchPart;
    return withBonus ? sum + team.getValue(kFranchiseBonus, week) : sum;
}

std::int64_t FranchiseResults::partStatistic(const Team& team, int part, int statistic,
                                             int week) const {
    std::int64_t sum = 0;
    forEachPlayer(context_, team, part, week,
                  [&](const Player& player) { sum += player.getValue(statistic, week); });
    return sum;
}

std::int64_t FranchiseResults::opponentPoints(const Team& team, int week) const {
    std::int64_t sum = 0;
    for (int opponent : schedule_.opponents(leagueOf(team), week, team.id())) {
        if (opponent <= 0) {
            break;
        }
        // A bye or an id without a franchise scores nothing; later games still count.
        const Team* other = opponent == kByeId ? nullptr : franchise(opponent);
        if (other != nullptr) {
            sum += weekValue(*other, kActivePoints, week);
        }
    }
    return sum;
}

std::int64_t FranchiseResults::scoringWeek(const Team& team, int code) const {
    int weeks = lastCountedWeek();
    WeekFigures figures;
    for (int week = 0; week < weeks; ++week) {
        figures.add(weekValue(team, kActivePoints, week));
    }
    return figures.seasonValue(static_cast<WeekFigure>(code - kHighScoringWeek), weeks);
}

HeadToHead FranchiseResults::headToHead(const Team& team, int week) const {
    HeadToHead games;
    if (!isWeekSlot(week) && week != kAllWeeks) {
        return games;
    }
    int last = week == kAllWeeks ? lastCountedWeek() - 1 : week;
    for (int m = 0; m <= last; ++m) {
        for (int opponent : schedule_.opponents(leagueOf(team), m, team.id())) {
            if (opponent <= 0) {
                break;
            }
            addGame(games, team, opponent, m);
        }
    }
    return games;
}

void FranchiseResults::addGame(HeadToHead& games, const Team& team, int opponent, int week) const {
    std::int64_t theirs = kByeScore;
    if (opponent == kByeId) {
        if (!byeIsWin(context_)) {
            return;
        }
    } else {
        // An id without a franchise is no game: it must not hand out a win.
        const Team* other = franchise(opponent);
        if (other == nullptr) {
            return;
        }
        theirs = weekValue(*other, kActivePoints, week);
    }
    std::int64_t own = weekValue(team, kActivePoints, week);
    if (theirs < own) {
        ++games.won;
    } else if (own < theirs) {
        ++games.lost;
    } else if (weekCounted(context_, week)) {
        ++games.tied;
    }
}

std::string FranchiseResults::recordText(const Team& team) const {
    if (!schedule_.hasSchedule(leagueOf(team))) {
        return "NA";
    }
    return headToHead(team, context_.seasonState().peek(kViewWeek)).text();
}

int playerPoints(Singleton& context, const Player& player, int code, int week) {
    PlayerWeekView view{player.id(), player.getValue(kPlayerPosition, week), player.team(),
                        player.stats().blocks};
    return context.scoring().playerPoints(view, code, week);
}

std::int64_t franchiseResult(Singleton& context, const Team& team, int code, int week) {
    ScheduleOpponents schedule(context.schedule());
    return FranchiseResults(context, schedule).value(team, code, week);
}

std::string franchiseRecordText(Singleton& context, const Team& team) {
    ScheduleOpponents schedule(context.schedule());
    return FranchiseResults(context, schedule).recordText(team);
}

// ------------------------------------------------------------ invalidation

namespace {

// What the franchise's opponents of the week scored against it.
void dropOpponentsPointsAgainst(Singleton& context, const OpponentSource& schedule,
                                const Team& team, int week) {
    RecordCache<Team>& franchises = context.mapFactory().franchises();
    for (int opponent : schedule.opponents(leagueOf(team), week, team.id())) {
        const Team* other = opponent > 0 && opponent != kByeId
                                ? franchises.findFirst(kFranchiseId, opponent)
                                : nullptr;
        if (other != nullptr) {
            context.cache().drop(Cache::Set::Franchise,
                                 keyOf(context, *other, week, kOpponentPoints));
        }
    }
}

const Team* cachedFranchise(Singleton& context, int id) {
    return context.mapFactory().franchises().findFirst(kFranchiseId, id);
}

}  // namespace

void dropBonusResults(Singleton& context, const OpponentSource& schedule, int franchiseId,
                      int week) {
    int season = seasonKey(context);
    context.cache().dropWeek(Cache::Set::Franchise, season, franchiseId, week);
    context.cache().dropWeek(Cache::Set::Franchise, season, franchiseId, kAllWeeks);
    if (const Team* team = cachedFranchise(context, franchiseId)) {
        dropOpponentsPointsAgainst(context, schedule, *team, week);
    }
}

void dropRosterResults(Singleton& context, const OpponentSource& schedule, int franchiseId,
                       int week) {
    // The forward copy may reach any later week; the franchise's own entries all go.
    context.cache().dropObject(Cache::Set::Franchise, seasonKey(context), franchiseId);
    const Team* team = cachedFranchise(context, franchiseId);
    for (int changed = std::max(week, 0); team != nullptr && changed < kWeekSlots; ++changed) {
        dropOpponentsPointsAgainst(context, schedule, *team, changed);
    }
}

void dropRosterResults(Singleton& context, int franchiseId, int week) {
    ScheduleOpponents schedule(context.schedule());
    dropRosterResults(context, schedule, franchiseId, week);
}

void dropScheduleResults(Singleton& context, int league) {
    int season = seasonKey(context);
    for (const Team* team : context.teamQuery().leagueFranchises(league)) {
        context.cache().dropObject(Cache::Set::Franchise, season, team->id());
    }
}

void dropAllFranchiseResults(Singleton& context) {
    context.cache().dropAll(Cache::Set::Franchise, seasonKey(context));
}

void dropAllPoints(Singleton& context) {
    context.scoring().dropAllPlayerPoints();
    dropAllFranchiseResults(context);
}

void dropResultsForPreference(Singleton& context, int preference) {
    if (preference == kPrefMergeWrTe) {
        dropAllPoints(context);
    }
}

}  // namespace qff
