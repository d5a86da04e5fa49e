#include <algorithm>

#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Point_sum.h"
#include "data02/scoring/Results.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"

namespace qff {
namespace {

bool isWeekOrSeason(int week) {
    return isWeekSlot(week) || week == kAllWeeks;
}

StandingRow standingOf(const FranchiseResults& engine, const Team& team, int week, bool scheduled) {
    HeadToHead games = engine.headToHead(team, week);
    StandingRow row;
    row.franchise = team.id();
    row.name = team.text(kFranchiseName);
    row.won = games.won;
    row.lost = games.lost;
    row.tied = games.tied;
    row.record = games.record();
    row.recordText = scheduled ? games.text() : "NA";
    row.pointsFor = engine.value(team, kActivePoints, week);
    row.pointsAgainst = engine.value(team, kOpponentPoints, week);
    row.bestWeek = engine.value(team, kHighScoringWeek, week);
    row.worstWeek = engine.value(team, kLowScoringWeek, week);
    row.averageWeek = engine.value(team, kAverageScoringWeek, week);
    return row;
}

bool ranksBefore(const StandingRow& a, const StandingRow& b) {
    if (a.record != b.record) {
        return a.record > b.record;
    }
    if (a.pointsFor != b.pointsFor) {
        return a.pointsFor > b.pointsFor;
    }
    return a.name != b.name ? a.name < b.name : a.franchise < b.franchise;
}

GameResult::Outcome outcomeOf(std::int64_t home, std::int64_t away, bool counted) {
    if (home > away) {
        return GameResult::Outcome::HomeWon;
    }
    if (away > home) {
        return GameResult::Outcome::AwayWon;
    }
    return counted ? GameResult::Outcome::Tied : GameResult::Outcome::NotCounted;
}

}  // namespace

std::vector<int> ScheduleOpponents::opponents(int league, int week, int franchise) const {
    return schedule_.opponents(league, week, franchise);
}

std::vector<Game> ScheduleOpponents::games(int league, int week) const {
    ScheduleFantWeek stored;
    // Selecting a league without a record would add one; reading must not.
    if (!schedule_.hasSchedule(league) || schedule_.selectLeague(league) != kOk ||
        schedule_.getFantasyWeek(week, stored) != kOk) {
        return {};
    }
    std::vector<Game> games;
    for (int slot = 0; slot < kScheduleSlots && stored.first[slot] > 0; ++slot) {
        games.push_back(Game{stored.first[slot], stored.second[slot]});
    }
    return games;
}

bool ScheduleOpponents::hasSchedule(int league) const {
    return schedule_.hasSchedule(league);
}

const char* outcomeName(GameResult::Outcome outcome) {
    switch (outcome) {
        case GameResult::Outcome::HomeWon:
            return "home";
        case GameResult::Outcome::AwayWon:
            return "away";
        case GameResult::Outcome::Tied:
            return "tie";
        case GameResult::Outcome::Bye:
            return "bye";
        default:
            return "not counted";
    }
}

std::vector<StandingRow> standings(Singleton& context, const OpponentSource& schedule, int league,
                                   int week) {
    if (!isWeekOrSeason(week)) {
        return {};
    }
    FranchiseResults engine(context, schedule);
    bool scheduled = schedule.hasSchedule(league);
    std::vector<StandingRow> rows;
    for (const Team* team : context.teamQuery().leagueFranchises(league)) {
        rows.push_back(standingOf(engine, *team, week, scheduled));
    }
    std::sort(rows.begin(), rows.end(), ranksBefore);
    return rows;
}

std::vector<GameResult> results(Singleton& context, const OpponentSource& schedule, int league,
                                int week) {
    if (!isWeekSlot(week)) {
        return {};
    }
    FranchiseResults engine(context, schedule);
    RecordCache<Team>& franchises = context.mapFactory().franchises();
    bool counted = context.seasonState().weekHasStats(week) != 0;
    std::vector<GameResult> games;
    for (const Game& game : schedule.games(league, week)) {
        const Team* home = franchises.findFirst(kFranchiseId, game.home);
        const Team* away =
            game.away == kByeId ? nullptr : franchises.findFirst(kFranchiseId, game.away);
        // A side that names no franchise is no game.
        if (home == nullptr || (away == nullptr && game.away != kByeId)) {
            continue;
        }
        GameResult result{game.home, game.away, engine.value(*home, kActivePoints, week), 0,
                          GameResult::Outcome::Bye};
        if (away != nullptr) {
            result.awayScore = engine.value(*away, kActivePoints, week);
            result.outcome = outcomeOf(result.homeScore, result.awayScore, counted);
        }
        games.push_back(result);
    }
    return games;
}

std::vector<StandingRow> standings(Singleton& context, int league, int week) {
    ScheduleOpponents schedule(context.schedule());
    return standings(context, schedule, league, week);
}

std::vector<GameResult> results(Singleton& context, int league, int week) {
    ScheduleOpponents schedule(context.schedule());
    return results(context, schedule, league, week);
}

int closeWeek(Singleton& context, int week) {
    if (week < 0 || week >= context.pro().weeks() || week >= kWeekSlots) {
        return kBadWeek;
    }
    SeasonState& state = context.seasonState();
    int previous = state.weekHasStats(week);
    state.setWeekHasStats(week, 1);
    // Storing any value writes the whole record, the week flags with it, so
    // a closed week is not lost when the program ends before another write.
    int status = state.set(kCurrentWeek, state.peek(kCurrentWeek));
    if (status != kOk) {
        // The week counts only once the file says so.
        state.setWeekHasStats(week, previous);
        return status;
    }
    // Points of the week were 0 while it did not count, for players and franchises alike.
    dropAllPoints(context);
    return status;
}

bool weekHasNflStatistics(Singleton& context, int week) {
    for (const Player* player : context.mapFactory().players().list()) {
        if (player->storedPosition() == kQB + kUnitOffset &&
            player->getValue(kPassYards, week) != 0) {
            return true;
        }
    }
    return false;
}

bool isBonusInRange(int value) {
    return value >= -kMaxBonusPoints && value <= kMaxBonusPoints;
}

std::string bonusRangeMessage() {
    return "A bonus lies between " + std::to_string(-kMaxBonusPoints) + " and " +
           std::to_string(kMaxBonusPoints) + " points.";
}

int readBonusText(std::string_view text) {
    return std::clamp(readWholeNumber(text), -(kMaxBonusPoints + 1), kMaxBonusPoints + 1);
}

BonusResult storeFranchiseBonus(Singleton& context, const OpponentSource& schedule, int franchiseId,
                                int week, int value) {
    if (!isWeekSlot(week)) {
        return {kBadWeek,
                "Bonus points are kept for weeks 1 to " + std::to_string(kWeekSlots) + "."};
    }
    if (!isBonusInRange(value)) {
        return {kBadValue, bonusRangeMessage()};
    }
    Team* team = context.mapFactory().franchises().findFirst(kFranchiseId, franchiseId);
    if (team == nullptr) {
        return {kFailed, "No franchise has the id " + std::to_string(franchiseId) + "."};
    }
    int previous = team->getValue(kFranchiseBonus, week);
    team->setBonus(week, value);
    if (int status = team->save(); status != kOk) {
        // Memory keeps what the file holds, so no result reads an unsaved bonus.
        team->setBonus(week, previous);
        return {status, "The bonus points of " + team->text(kFranchiseName) +
                            " could not be saved: " + context.teamFile().db().lastError()};
    }
    dropBonusResults(context, schedule, franchiseId, week);
    return rememberBonusFranchise(context, franchiseId);
}

BonusResult storeFranchiseBonus(Singleton& context, int franchiseId, int week, int value) {
    ScheduleOpponents schedule(context.schedule());
    return storeFranchiseBonus(context, schedule, franchiseId, week, value);
}

int setFranchiseBonus(Singleton& context, const OpponentSource& schedule, int franchiseId, int week,
                      int value) {
    return storeFranchiseBonus(context, schedule, franchiseId, week, value).status;
}

int setFranchiseBonus(Singleton& context, int franchiseId, int week, int value) {
    return storeFranchiseBonus(context, franchiseId, week, value).status;
}

BonusResult rememberBonusFranchise(Singleton& context, int franchiseId) {
    const Team* team = context.mapFactory().franchises().findFirst(kFranchiseId, franchiseId);
    if (team == nullptr) {
        return {kFailed, "No franchise has the id " + std::to_string(franchiseId) + "."};
    }
    Sticky& sticky = context.sticky();
    sticky.setText(kStickyBonusFranchise, team->text(kFranchiseName));
    if (int status = sticky.save(); status != kOk) {
        return {status,
                "The franchise for bonus points could not be remembered: " + sticky.lastError()};
    }
    return {};
}

}  // namespace qff
