#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data02/diag/Status.h"

namespace qff {

class Player;
class Schedule;
class Singleton;
class Team;

// Franchise codes computed from rosters, bonuses, player points and the
// head-to-head schedule; nothing of them is stored.
enum ResultCode {
    kWeekOfPlay = 2014,
    kWinLossRecord = 2015,
    kGamesWon = 2016,
    kGamesLost = 2017,
    kGamesTied = 2018,
    kHighScoringWeek = 2019,
    kLowScoringWeek = 2020,
    kAverageScoringWeek = 2021,
    kBonusSeason = 2023,
    kOpponentPoints = 2024,
    kOpponentPointsSeason = 2025,
    kActivePoints = 2026,
    kActiveSeason = 2034,
    kBenchPoints = 2042,
    kBenchSeason = 2050,
    kAllPoints = 2058,
    kAllSeason = 2066,
    kActiveStatistics = 2074,
    kBenchStatistics = 2082,
    kAllStatistics = 2090,
    kFirstWeekScore = 2099,
    kLastWeekScore = 2116,
};

inline constexpr int kByeId = 32767;
// What a bye scores when preference 8015 lets it count as a game.
inline constexpr int kByeScore = -9999;

// One head-to-head game; the first franchise is the home side.
struct Game {
    int home = 0;
    int away = 0;
};

// Who a franchise meets, as results read a league's head-to-head schedule.
class OpponentSource {
  public:
    virtual ~OpponentSource() = default;
    // Opponents in schedule order; kByeId for a bye.
    virtual std::vector<int> opponents(int league, int week, int franchise) const = 0;
    // The week's games in schedule order.
    virtual std::vector<Game> games(int league, int week) const = 0;
    virtual bool hasSchedule(int league) const = 0;
};

// The season's own head-to-head schedule; reading it never adds a record.
class ScheduleOpponents : public OpponentSource {
  public:
    explicit ScheduleOpponents(Schedule& schedule) : schedule_(schedule) {}
    std::vector<int> opponents(int league, int week, int franchise) const override;
    std::vector<Game> games(int league, int week) const override;
    bool hasSchedule(int league) const override;

  private:
    Schedule& schedule_;
};

struct HeadToHead {
    int won = 0;
    int lost = 0;
    int tied = 0;
    int record() const { return (won - lost) * 100 + tied * 50; }
    std::string text() const;
};

// Computes franchise codes 2014..2116, remembering point codes in the
// franchise side of the points cache under the franchise's league. Points
// are sums and come in 64 bits.
class FranchiseResults {
  public:
    FranchiseResults(Singleton& context, const OpponentSource& schedule);

    static bool isResultCode(int code);
    static bool isPointsCode(int code);

    // Week index 0..19 or 256 for the season; 0 for other weeks and codes.
    std::int64_t value(const Team& team, int code, int week) const;
    // "won-lost-tied" through the view week, or "NA" without a schedule.
    std::string recordText(const Team& team) const;
    // Games from week 0 through `week` (256: through the last counted week).
    HeadToHead headToHead(const Team& team, int week) const;

  private:
    std::int64_t weekValue(const Team& team, int code, int week) const;
    std::int64_t seasonValue(const Team& team, int code) const;
    std::int64_t remembered(const Team& team, int code, int week) const;
    std::int64_t computePoints(const Team& team, int code, int week) const;
    // Part: 0 whole roster, 1 active, 2 bench; position -1 for every position.
    std::int64_t partPoints(const Team& team, int part, int position, int week) const;
    std::int64_t partStatistic(const Team& team, int part, int statistic, int week) const;
    std::int64_t opponentPoints(const Team& team, int week) const;
    std::int64_t scoringWeek(const Team& team, int code) const;
    std::int64_t sumThrough(const Team& team, int code, int last) const;
    int lastCountedWeek() const;
    int seasonSumEnd() const;
    void addGame(HeadToHead& games, const Team& team, int opponent, int week) const;
    const Team* franchise(int id) const;

    Singleton& context_;
    const OpponentSource& schedule_;
};

// A player's points code (88..104, 110..126) through the scoring system, for
// the league whose scoring record is selected; memoised like every player point.
int playerPoints(Singleton& context, const Player& player, int code, int week);

// Team's way in: the results of the open season's own schedule.
std::int64_t franchiseResult(Singleton& context, const Team& team, int code, int week);
std::string franchiseRecordText(Singleton& context, const Team& team);

// Every change that can alter a remembered result drops exactly what it
// touched. Franchises are named by id.
void dropBonusResults(Singleton& context, const OpponentSource& schedule, int franchiseId,
                      int week);
// A roster saved for `week` and carried forward to later weeks.
void dropRosterResults(Singleton& context, const OpponentSource& schedule, int franchiseId,
                       int week);
void dropRosterResults(Singleton& context, int franchiseId, int week);
void dropScheduleResults(Singleton& context, int league);
void dropAllFranchiseResults(Singleton& context);
// Every point value the season remembers, players' and franchises' alike.
void dropAllPoints(Singleton& context);
// Preference 8026 changes every position breakdown, and player points with it.
void dropResultsForPreference(Singleton& context, int preference);

// One franchise's line in the standings of a league.
struct StandingRow {
    int franchise = 0;
    std::string name;
    int won = 0;
    int lost = 0;
    int tied = 0;
    int record = 0;
    std::string recordText;
    std::int64_t pointsFor = 0;
    std::int64_t pointsAgainst = 0;
    std::int64_t bestWeek = 0;
    std::int64_t worstWeek = 0;
    std::int64_t averageWeek = 0;
};

// One game of a week: away is kByeId for a bye.
struct GameResult {
    enum class Outcome { HomeWon, AwayWon, Tied, NotCounted, Bye };
    int home = 0;
    int away = 0;
    std::int64_t homeScore = 0;
    std::int64_t awayScore = 0;
    Outcome outcome = Outcome::NotCounted;
};

const char* outcomeName(GameResult::Outcome outcome);

// Standings through `week` (256: the season), by record, then points of the week.
std::vector<StandingRow> standings(Singleton& context, const OpponentSource& schedule, int league,
                                   int week);
std::vector<StandingRow> standings(Singleton& context, int league, int week);
std::vector<GameResult> results(Singleton& context, const OpponentSource& schedule, int league,
                                int week);
std::vector<GameResult> results(Singleton& context, int league, int week);

// Flags the week as counted, writes the flag and drops what it changes.
int closeWeek(Singleton& context, int week);
// Whether some NFL team's QB unit passed in the week: what opening the season
// counts a week by, so a week closed without it is open again after the next open.
bool weekHasNflStatistics(Singleton& context, int week);

// A week's bonus stays within what a week can score, so no bonus can push
// the sums of a season far beyond any real total.
inline constexpr int kMaxBonusPoints = 10000;
bool isBonusInRange(int value);
// Why a bonus outside -kMaxBonusPoints..kMaxBonusPoints is refused.
std::string bonusRangeMessage();

// What storing a bonus, or remembering the bonus dialog's franchise, came to;
// the message says why it failed, in words for the user.
struct BonusResult {
    int status = kOk;
    std::string message;
    bool ok() const { return status == kOk; }
};

// A bonus as typed: leading digits with an optional minus sign; anything
// else, the empty text included, reads 0. A number past the bonus range reads
// as just past it, so it is refused instead of wrapping into the range.
int readBonusText(std::string_view text);

// Stores a franchise's bonus for a week and remembers the franchise for the
// bonus dialog. kBadWeek for a week outside 0..19, kBadValue for a bonus
// outside the range above, kFailed without such a franchise or when the
// record cannot be written; then memory keeps what the file holds.
BonusResult storeFranchiseBonus(Singleton& context, const OpponentSource& schedule, int franchiseId,
                                int week, int value);
BonusResult storeFranchiseBonus(Singleton& context, int franchiseId, int week, int value);
int setFranchiseBonus(Singleton& context, const OpponentSource& schedule, int franchiseId, int week,
                      int value);
int setFranchiseBonus(Singleton& context, int franchiseId, int week, int value);
// Remembers the franchise for the next bonus dialog (setting 10006) and
// saves the remembered settings.
BonusResult rememberBonusFranchise(Singleton& context, int franchiseId);

}  // namespace qff
