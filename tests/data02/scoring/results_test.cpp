#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Point_sum.h"
#include "data02/scoring/Results.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Files.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::TempDir;

constexpr int kYear = 2003;
constexpr int kLeague = 0;
// 2011-06-15 12:00 UTC: the calendar season is 2011, so rosters copy forward freely.
constexpr std::time_t kMid2011 = 1308139200;
enum Franchise { kA = 1, kB = 2, kC = 3, kD = 4 };

// A head-to-head schedule held in memory, read the way the real one is.
class FakeSchedule : public OpponentSource {
  public:
    void add(int week, int home, int away, int league = kLeague) {
        weeks_[{league, week}].push_back(Game{home, away});
    }
    void clear() { weeks_.clear(); }

    std::vector<int> opponents(int league, int week, int franchise) const override {
        std::vector<int> found;
        for (const Game& game : games(league, week)) {
            if (game.home == franchise) {
                found.push_back(game.away);
            } else if (game.away == franchise) {
                found.push_back(game.home);
            }
        }
        return found;
    }
    std::vector<Game> games(int league, int week) const override {
        auto it = weeks_.find({league, week});
        return it == weeks_.end() ? std::vector<Game>{} : it->second;
    }
    bool hasSchedule(int league) const override {
        for (const auto& [key, games] : weeks_) {
            if (key.first == league && !games.empty()) {
                return true;
            }
        }
        return false;
    }

  private:
    std::map<std::pair<int, int>, std::vector<Game>> weeks_;
};

// Points one player earns in a week, given as the player's bonus statistic
// so that every figure below can be added up by hand.
struct Earned {
    int week;
    int points;
};

class ResultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_.path(), [] { return kMid2011; }}, error);
        ASSERT_TRUE(context_) << error;
        ASSERT_EQ(context_->preferences().load(), 0);
        ASSERT_TRUE(createSeasonFiles(*context_, kYear, error)) << error;
        ASSERT_TRUE(openSeason(*context_, kYear).opened);
        team_ = context_->pro().validTeams().front();
        markTeamPlayed({0, 1, 2});
    }

    Singleton& context() { return *context_; }

    // The NFL side: the team's QB unit passed, so its players' weeks count
    // whenever the week itself is flagged.
    void markTeamPlayed(const std::vector<int>& weeks) {
        Player* unit =
            context().mapFactory().players().findFirst(kPlayerId, Pro::unitId(team_, kQB));
        ASSERT_NE(unit, nullptr);
        for (int week : weeks) {
            ASSERT_EQ(unit->setValue(kPassYards, 150, week), kOk);
        }
        ASSERT_EQ(unit->save(), kOk);
    }

    Player* addPlayer(int id, int position, const std::vector<Earned>& earned) {
        Owned<Player> player =
            context().memory().makeRecord<Player>(Kind::Player, context().playerFile(), context());
        player->clear();
        player->setValue(kPlayerId, id, 0);
        player->setValue(kPlayerTeam, team_, 0);
        player->setValue(kPlayerPosition, position, 0);
        player->setText(kPlayerName, "Player " + std::to_string(id));
        for (const Earned& e : earned) {
            EXPECT_EQ(player->setValue(kPlayerBonus, e.points, e.week), kOk);
        }
        Player* raw = player.get();
        EXPECT_EQ(context().mapFactory().add(context().mapFactory().players(), player), kOk);
        return raw;
    }

    // Active players first, then bench players, the same roster every week.
    Team* addFranchise(int id, const std::vector<int>& active, const std::vector<int>& bench = {},
                       int league = kLeague) {
        Owned<Team> team =
            context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
        team->setValue(kFranchiseId, id);
        team->setValue(kFranchiseLeague, league);
        team->setValue(kFranchiseDivision, kNoDivision);
        team->setText(kFranchiseName, std::string("Franchise ") + char('A' + id - 1));
        TeamRosterStruct roster;
        for (int player : active) {
            addToRoster(roster, player);
            roster.setFlag(roster.count() - 1, 1);
        }
        for (int player : bench) {
            addToRoster(roster, player);
        }
        for (int week = 0; week < kWeekSlots; ++week) {
            team->setRoster(week, roster);
        }
        Team* raw = team.get();
        EXPECT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), kOk);
        return raw;
    }

    Team* franchise(int id) {
        return context().mapFactory().franchises().findFirst(kFranchiseId, id);
    }

    void flagWeeks(const std::vector<int>& weeks) {
        for (int week : weeks) {
            context().seasonState().setWeekHasStats(week, 1);
        }
    }

    std::int64_t value(int id, int code, int week) {
        return FranchiseResults(context(), schedule_).value(*franchise(id), code, week);
    }

    std::optional<std::int64_t> cached(int id, int code, int week) {
        return context().cache().find(
            Cache::Set::Franchise,
            Cache::Key{kYear, id, week, franchise(id)->getValue(kFranchiseLeague, kAllWeeks),
                       code});
    }

    TempDir dir_;
    std::unique_ptr<Singleton> context_;
    FakeSchedule schedule_;
    int team_ = 0;
};

// Four franchises over three weeks; weeks 1 and 2 (indexes 0, 1) are
// flagged, week 3 is not. Each franchise: active QB and RB, a bench WR.
class LeagueTest : public ResultsTest {
  protected:
    void SetUp() override {
        ResultsTest::SetUp();
        struct Side {
            int id;
            Earned qb[3];
            Earned rb[2];
        };
        const Side sides[] = {
            {kA, {{0, 60}, {1, 40}, {2, 20}}, {{0, 45}, {1, 40}}},
            {kB, {{0, 50}, {1, 30}, {2, 20}}, {{0, 45}, {1, 40}}},
            {kC, {{0, 50}, {1, 45}, {2, 20}}, {{0, 50}, {1, 45}}},
            {kD, {{0, 50}, {1, 30}, {2, 20}}, {{0, 50}, {1, 30}}},
        };
        for (const Side& side : sides) {
            int base = 100 * side.id;
            addPlayer(base + 1, kQB, {side.qb[0], side.qb[1], side.qb[2]});
            addPlayer(base + 2, kRB, {side.rb[0], side.rb[1]});
            addPlayer(base + 3, kWR, {{0, 7}, {1, 3}});
            addFranchise(side.id, {base + 1, base + 2}, {base + 3});
        }
        ASSERT_EQ(franchise(kA)->setBonus(0, 5), kOk);
        ASSERT_EQ(franchise(kA)->setBonus(2, 5), kOk);
        flagWeeks({0, 1});
        schedule_.add(0, kA, kB);
        schedule_.add(0, kC, kD);
        schedule_.add(1, kA, kC);
        schedule_.add(1, kB, kD);
        schedule_.add(2, kA, kD);
        schedule_.add(2, kB, kC);
    }

    std::vector<StandingRow> table(int week) {
        return standings(context(), schedule_, kLeague, week);
    }
};

struct ExpectedRow {
    int franchise, won, lost, tied, record;
    const char* text;
    int pointsFor, pointsAgainst, best, worst, average;
};

void expectRows(const std::vector<StandingRow>& rows, const std::vector<ExpectedRow>& expected) {
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const StandingRow& r = rows[i];
        const ExpectedRow& e = expected[i];
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(r.franchise, e.franchise);
        EXPECT_EQ((std::vector<int>{r.won, r.lost, r.tied, r.record}),
                  (std::vector<int>{e.won, e.lost, e.tied, e.record}));
        EXPECT_EQ(r.recordText, e.text);
        EXPECT_EQ(
            (std::vector<std::int64_t>{r.pointsFor, r.pointsAgainst, r.bestWeek, r.worstWeek,
                                       r.averageWeek}),
            (std::vector<std::int64_t>{e.pointsFor, e.pointsAgainst, e.best, e.worst, e.average}));
    }
}

TEST_F(LeagueTest, SeasonStandingsCountThroughTheLastCountedWeek) {
    // Week 1: A 110-95 B, C 100-100 D (flagged tie). Week 2: C 90-80 A, B 70-60 D.
    expectRows(table(kAllWeeks), {
                                     {kC, 1, 0, 1, 150, "1-0-1", 190, 180, 100, 90, 95},
                                     {kA, 1, 1, 0, 0, "1-1-0", 190, 185, 110, 80, 95},
                                     {kB, 1, 1, 0, 0, "1-1-0", 165, 170, 95, 70, 82},
                                     {kD, 0, 1, 1, -50, "0-1-1", 160, 170, 100, 60, 80},
                                 });
}

TEST_F(LeagueTest, UnflaggedWeekCountsABonusOnlyWinButNotATie) {
    // Week 3 is not flagged: players score 0, A's bonus of 5 beats D, B-C 0-0 is no tie.
    expectRows(table(2), {
                             {kC, 1, 0, 1, 150, "1-0-1", 0, 0, 100, 90, 95},
                             {kA, 2, 1, 0, 100, "2-1-0", 5, 0, 110, 80, 95},
                             {kB, 1, 1, 0, 0, "1-1-0", 0, 0, 95, 70, 82},
                             {kD, 0, 2, 1, -150, "0-2-1", 0, 5, 100, 60, 80},
                         });
}

TEST_F(LeagueTest, PointCodesSplitTheRosterAndOnlyActiveAndAllCarryTheBonus) {
    struct Case {
        int code;
        int week;
        int expected;
    };
    const Case cases[] = {
        {kActivePoints, 0, 110},
        {kActivePoints + 1, 0, 60},
        {kActivePoints + 2, 0, 45},
        {kActivePoints + 3, 0, 0},
        {kBenchPoints, 0, 7},
        {kBenchPoints + 3, 0, 7},
        {kAllPoints, 0, 117},
        {kAllPoints + 3, 0, 7},
        {kActivePoints, 2, 5},
        {kBenchPoints, 2, 0},
        {kAllPoints, 2, 5},
        {kActivePoints, kAllWeeks, 190},
        {kBenchPoints, kAllWeeks, 10},
        {kFirstWeekScore, 7, 110},
        {kFirstWeekScore + 1, 0, 80},
        {kOpponentPoints, 0, 95},
        {kOpponentPoints, kAllWeeks, 185},
        {kBonusSeason, 0, 5},
        {kWeekOfPlay, 4, 5},
        {kGamesWon, 2, 2},
        {kWinLossRecord, 2, 100},
        {kActivePoints, 19, 0},
        {kActivePoints, 20, 0},
        {kGamesWon, -1, 0},
        {2098, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(value(kA, c.code, c.week), c.expected) << c.code << " week " << c.week;
    }
}

TEST_F(LeagueTest, RosterStatisticsSumRawValuesOfThePart) {
    ASSERT_EQ(
        context().mapFactory().players().findFirst(kPlayerId, 101)->setValue(kPassYards, 250, 0),
        kOk);
    ASSERT_EQ(context()
                  .mapFactory()
                  .players()
                  .findFirst(kPlayerId, 103)
                  ->setValue(kReceivingYards, 40, 0),
              kOk);
    EXPECT_EQ(value(kA, kActiveStatistics, 0), 250);
    EXPECT_EQ(value(kA, kBenchStatistics + 4, 0), 40);
    EXPECT_EQ(value(kA, kAllStatistics + 4, 0), 40);
    EXPECT_EQ(value(kA, kActiveStatistics + 4, 0), 0);
}

TEST_F(LeagueTest, TeamAnswersComputedCodesAndTheRecordText) {
    Team* a = franchise(kA);
    EXPECT_EQ(a->getValue(kActivePoints, 0), 110);
    EXPECT_EQ(a->getValue(kGamesWon, kAllWeeks), 0) << "the season's own schedule is empty";
    EXPECT_EQ(a->getPoints(kAllPoints, 0), 117);
    EXPECT_EQ(a->getPoints(kGamesWon, 0), 0) << "not a points code";
    EXPECT_EQ(a->text(kWinLossRecord), "NA");
}

// Two bonuses of 2,000,000,000 once summed to -294,967,296.
TEST(SaturatedIntTest, SumsBeyondAnIntStopAtItsLimitInsteadOfWrapping) {
    EXPECT_EQ(saturatedInt(2000000000LL + 2000000000LL), 2147483647);
    EXPECT_EQ(saturatedInt(-2000000000LL - 2000000000LL), -2147483647 - 1);
    EXPECT_EQ(saturatedInt(-294967296LL), -294967296);
}

TEST(HeadToHeadTest, RecordNumberAndText) {
    const struct {
        HeadToHead games;
        int record;
        const char* text;
    } cases[] = {{{7, 3, 1}, 450, "7-3-1"}, {{0, 2, 1}, -150, "0-2-1"}, {{0, 0, 0}, 0, "0-0-0"}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.games.record(), c.record);
        EXPECT_EQ(c.games.text(), c.text);
    }
}

TEST_F(LeagueTest, RecordTextFollowsTheViewWeekAndIsNaWithoutSchedule) {
    FranchiseResults engine(context(), schedule_);
    ASSERT_EQ(context().seasonState().set(kViewWeek, 0), kOk);
    EXPECT_EQ(engine.recordText(*franchise(kA)), "1-0-0");
    ASSERT_EQ(context().seasonState().set(kViewWeek, kAllWeeks), kOk);
    EXPECT_EQ(engine.recordText(*franchise(kA)), "1-1-0");
    FakeSchedule none;
    EXPECT_EQ(FranchiseResults(context(), none).recordText(*franchise(kA)), "NA");
}

TEST_F(ResultsTest, GamesAgainstUnknownIdsAreSkippedAndEveryGameOfAWeekCounts) {
    addPlayer(101, kQB, {{0, 50}});
    addPlayer(201, kQB, {{0, 40}});
    addPlayer(301, kQB, {{0, 30}});
    addFranchise(kA, {101});
    addFranchise(kB, {201});
    addFranchise(kC, {301});
    flagWeeks({0});
    schedule_.add(0, kA, 99);
    schedule_.add(0, kA, kB);
    schedule_.add(0, kC, kA);
    schedule_.add(0, 98, kC);
    HeadToHead a = FranchiseResults(context(), schedule_).headToHead(*franchise(kA), 0);
    EXPECT_EQ((std::vector<int>{a.won, a.lost, a.tied}), (std::vector<int>{2, 0, 0}));
    EXPECT_EQ(value(kC, kGamesLost, 0), 1);
    EXPECT_EQ(value(kC, kGamesWon, 0), 0);
    EXPECT_EQ(value(kA, kOpponentPoints, 0), 70);
    std::vector<GameResult> games = results(context(), schedule_, kLeague, 0);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0].home, kA);
    EXPECT_EQ(games[0].away, kB);
    EXPECT_EQ(games[1].outcome, GameResult::Outcome::AwayWon);
}

TEST_F(ResultsTest, ByeCountsAsAWinOnlyWithThePreference) {
    addPlayer(101, kQB, {{0, 10}, {1, 10}});
    addFranchise(kA, {101});
    flagWeeks({0, 1});
    schedule_.add(0, kA, kByeId);
    schedule_.add(1, kA, kByeId);
    schedule_.add(2, kA, kByeId);
    for (int on : {0, 1}) {
        ASSERT_EQ(context().preferences().set(kPrefByeIsWin, on), kOk);
        EXPECT_EQ(value(kA, kGamesWon, kAllWeeks), on ? 2 : 0) << on;
        EXPECT_EQ(value(kA, kGamesLost, kAllWeeks), 0) << on;
        EXPECT_EQ(value(kA, kOpponentPoints, 0), 0) << on;
    }
    std::vector<GameResult> games = results(context(), schedule_, kLeague, 0);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].outcome, GameResult::Outcome::Bye);
    EXPECT_EQ(games[0].homeScore, 10);
}

TEST_F(ResultsTest, FranchiseWithoutActivePlayersScoresNothingNotEvenItsBonus) {
    addPlayer(101, kQB, {{0, 30}});
    Team* a = addFranchise(kA, {}, {101});
    ASSERT_EQ(a->setBonus(0, 12), kOk);
    flagWeeks({0});
    EXPECT_EQ(value(kA, kActivePoints, 0), 0);
    EXPECT_EQ(value(kA, kBenchPoints, 0), 30);
    EXPECT_EQ(value(kA, kAllPoints, 0), 42);
}

// Bonuses as a damaged or hand-made file may hold them: their sums pass an int.
TEST_F(ResultsTest, LargeBonusesAddUpWithoutWrapping) {
    constexpr std::int64_t kBig = 2'000'000'000;
    constexpr int kMost = std::numeric_limits<int>::max();
    addPlayer(101, kQB, {{0, 10}});
    addPlayer(201, kQB, {});
    Team* a = addFranchise(kA, {101});
    addFranchise(kB, {201});
    ASSERT_EQ(a->setBonus(0, kMost), kOk);
    ASSERT_EQ(a->setBonus(1, kBig), kOk);
    schedule_.add(0, kA, kB);
    schedule_.add(1, kA, kB);
    flagWeeks({0, 1});
    const std::int64_t kFirstWeek = std::int64_t{kMost} + 10;
    const struct {
        int franchise;
        int code;
        int week;
        std::int64_t expected;
    } cases[] = {
        {kA, kActivePoints, 0, kFirstWeek},
        {kA, kActivePoints, kAllWeeks, kFirstWeek + kBig},
        {kA, kActiveSeason, 0, kFirstWeek + kBig},
        {kA, kAllPoints, kAllWeeks, kFirstWeek + kBig},
        {kA, kBonusSeason, kAllWeeks, kMost + kBig},
        {kA, kHighScoringWeek, kAllWeeks, kFirstWeek},
        {kA, kAverageScoringWeek, kAllWeeks, (kFirstWeek + kBig) / 2},
        {kB, kOpponentPoints, kAllWeeks, kFirstWeek + kBig},
        {kB, kOpponentPointsSeason, 1, kFirstWeek + kBig},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(value(c.franchise, c.code, c.week), c.expected) << c.code << " week " << c.week;
    }
    // Only an int fits the record interface: there the sum stops at the int's end.
    EXPECT_EQ(a->getValue(kActivePoints, kAllWeeks), kMost);
    EXPECT_EQ(a->getValue(kFranchiseBonus, kAllWeeks), kMost);
    EXPECT_EQ(a->getTotal(kFranchiseBonus, kAllWeeks), kMost + kBig);
    std::vector<StandingRow> rows = standings(context(), schedule_, kLeague, kAllWeeks);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].pointsFor, kFirstWeek + kBig);
    EXPECT_EQ(rows[1].pointsAgainst, kFirstWeek + kBig);
    EXPECT_EQ(rows[0].won, 2);
}

TEST_F(ResultsTest, SeasonSumsRunToTheLastCountedWeekOrTheLaterViewWeek) {
    addPlayer(101, kQB, {});
    Team* a = addFranchise(kA, {101});
    for (int week = 0; week < kWeekSlots; ++week) {
        ASSERT_EQ(a->setBonus(week, 1), kOk);
    }
    flagWeeks({0, 9});
    const struct {
        int view;
        int weeks;
    } cases[] = {{3, 10}, {12, 13}, {9, 10}, {kAllWeeks, 10}};
    for (const auto& c : cases) {
        ASSERT_EQ(context().seasonState().set(kViewWeek, c.view), kOk);
        EXPECT_EQ(value(kA, kActiveSeason, 0), c.weeks) << c.view;
        EXPECT_EQ(value(kA, kAllSeason, kAllWeeks), c.weeks) << c.view;
        EXPECT_EQ(value(kA, kActivePoints, kAllWeeks), 10) << c.view;
    }
}

TEST_F(ResultsTest, LowWeekTakesUnplayedWeeksBetweenCountedOnes) {
    addPlayer(101, kQB, {{0, 30}, {2, 12}});
    addFranchise(kA, {101});
    flagWeeks({0, 2});
    EXPECT_EQ(value(kA, kHighScoringWeek, 5), 30);
    EXPECT_EQ(value(kA, kLowScoringWeek, 5), 0);
    EXPECT_EQ(value(kA, kAverageScoringWeek, kAllWeeks), 14);
}

// ------------------------------------------------------------ invalidation

TEST_F(LeagueTest, BonusChangeDropsTheFranchiseWeekAndItsOpponentsPointsAgainst) {
    EXPECT_EQ(value(kB, kOpponentPoints, 0), 110);
    EXPECT_EQ(value(kB, kGamesWon, 0), 0);
    EXPECT_EQ(value(kC, kActivePoints, 0), 100);
    EXPECT_EQ(value(kA, kHighScoringWeek, 0), 110);
    ASSERT_EQ(setFranchiseBonus(context(), schedule_, kA, 0, -20), kOk);
    EXPECT_FALSE(cached(kA, kActivePoints, 0));
    EXPECT_FALSE(cached(kA, kHighScoringWeek, kAllWeeks));
    EXPECT_FALSE(cached(kB, kOpponentPoints, 0));
    EXPECT_TRUE(cached(kB, kActivePoints, 0)) << "B's own points did not change";
    EXPECT_TRUE(cached(kC, kActivePoints, 0));
    // 60 + 45 - 20 = 85 < 95: the win turns into a loss; bench unchanged.
    EXPECT_EQ(value(kB, kOpponentPoints, 0), 85);
    EXPECT_EQ(value(kB, kGamesWon, 0), 1);
    EXPECT_EQ(value(kA, kBenchPoints, 0), 7);
    EXPECT_EQ(value(kA, kHighScoringWeek, 0), 85);
    EXPECT_EQ(std::string(context().sticky().getText(kStickyBonusFranchise)), "Franchise A");
}

TEST_F(LeagueTest, BonusIsRefusedForBadWeeksUnknownFranchisesAndValuesNoWeekScores) {
    EXPECT_EQ(setFranchiseBonus(context(), schedule_, kA, 20, 3), kBadWeek);
    EXPECT_EQ(setFranchiseBonus(context(), schedule_, 77, 0, 3), kFailed);
    EXPECT_EQ(setFranchiseBonus(context(), schedule_, kA, 0, kMaxBonusPoints + 1), kBadValue);
    EXPECT_EQ(setFranchiseBonus(context(), schedule_, kA, 0, -2000000000), kBadValue);
    EXPECT_EQ(franchise(kA)->getValue(kFranchiseBonus, 0), 5);
    EXPECT_EQ(setFranchiseBonus(context(), schedule_, kA, 0, -kMaxBonusPoints), kOk);
}

TEST_F(LeagueTest, BonusStaysWithinWhatAWeekCanScore) {
    const struct {
        int value;
        int status;
    } cases[] = {
        {kMaxBonusPoints, kOk},
        {-kMaxBonusPoints, kOk},
        {0, kOk},
        {kMaxBonusPoints + 1, kBadValue},
        {-kMaxBonusPoints - 1, kBadValue},
        {2'000'000'000, kBadValue},
        {std::numeric_limits<int>::min(), kBadValue},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(setFranchiseBonus(context(), schedule_, kA, 1, 7), kOk);
        EXPECT_EQ(setFranchiseBonus(context(), schedule_, kA, 1, c.value), c.status) << c.value;
        EXPECT_EQ(franchise(kA)->getValue(kFranchiseBonus, 1), c.status == kOk ? c.value : 7)
            << c.value;
    }
    EXPECT_EQ(bonusRangeMessage(), "A bonus lies between -10000 and 10000 points.");
}

TEST(BonusTextTest, LeadingDigitsWithAnOptionalMinusAndNothingElseCount) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"", 0},
        {"-", 0},
        {"17", 17},
        {"-3", -3},
        {"5-3", 5},
        {"--3", 0},
        {"x12", 0},
        {"007", 7},
        {"10000", 10000},
        {"10001", 10001},
        {"-99999999999", -10001},
        {"4294967296", kMaxBonusPoints + 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readBonusText(c.text), c.value) << c.text;
    }
}

TEST_F(LeagueTest, RefusedBonusesSayWhy) {
    const struct {
        int franchise;
        int week;
        int value;
        int status;
        const char* message;
    } cases[] = {
        {kA, 20, 3, kBadWeek, "Bonus points are kept for weeks 1 to 20."},
        {77, 0, 3, kFailed, "No franchise has the id 77."},
        {kA, 0, -kMaxBonusPoints - 1, kBadValue, "A bonus lies between -10000 and 10000 points."},
    };
    for (const auto& c : cases) {
        BonusResult result =
            storeFranchiseBonus(context(), schedule_, c.franchise, c.week, c.value);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_EQ(result.message, c.message);
    }
}

TEST_F(LeagueTest, AFailedBonusSaveIsReportedAndLeavesMemoryAsTheFileIs) {
    std::filesystem::path file = dir_.path() / *seasonFileName(SeasonFile::Team, kYear);
    auto before = test::readBytes(file);
    std::int64_t points = value(kA, kActivePoints, 0);
    BonusResult result;
    {
        test::FileSizeLimit limit(DBFile::kHeaderSize);
        result = storeFranchiseBonus(context(), schedule_, kA, 0, -40);
    }
    EXPECT_EQ(result.status, kFailed);
    EXPECT_EQ(result.message.rfind("The bonus points of Franchise A could not be saved: ", 0), 0u)
        << result.message;
    EXPECT_EQ(franchise(kA)->getValue(kFranchiseBonus, 0), 5);
    EXPECT_EQ(value(kA, kActivePoints, 0), points);
    EXPECT_EQ(test::readBytes(file), before);
}

TEST_F(LeagueTest, RosterSaveDropsLaterWeeksAndOpponentsPointsAgainst) {
    EXPECT_EQ(value(kA, kActivePoints, 1), 80);
    EXPECT_EQ(value(kC, kOpponentPoints, 1), 80);
    EXPECT_EQ(value(kC, kActivePoints, 1), 90);
    TeamRosterStruct roster;
    franchise(kA)->getRoster(1, roster);
    roster.setFlag(1, 0);  // the RB goes to the bench from week 2 on
    ASSERT_EQ(franchise(kA)->saveRoster(roster, 1), kOk);
    EXPECT_TRUE(cached(kC, kActivePoints, 1)) << "the opponent's own points stay";
    EXPECT_EQ(value(kA, kActivePoints, 1), 40);
    EXPECT_EQ(value(kA, kBenchPoints, 1), 43);
    // The real schedule is empty, so the fake's opponent is dropped through the explicit call.
    dropRosterResults(context(), schedule_, kA, 1);
    EXPECT_EQ(value(kC, kOpponentPoints, 1), 40);
}

TEST_F(LeagueTest, ScheduleStructureAndPreferenceChangesDropTheirEntries) {
    EXPECT_EQ(value(kA, kOpponentPoints, 0), 95);
    schedule_.clear();
    schedule_.add(0, kA, kC);
    dropScheduleResults(context(), kLeague);
    EXPECT_EQ(value(kA, kOpponentPoints, 0), 100);

    EXPECT_EQ(value(kA, kActivePoints + 3, 0), 0);
    ASSERT_GT(context().cache().size(Cache::Set::Franchise), 0u);
    dropAllFranchiseResults(context());
    EXPECT_EQ(context().cache().size(Cache::Set::Franchise), 0u);

    addPlayer(105, kTE, {{0, 9}});
    TeamRosterStruct roster;
    franchise(kA)->getRoster(0, roster);
    addToRoster(roster, 105);
    roster.setFlag(roster.count() - 1, 1);
    franchise(kA)->setRoster(0, roster);
    EXPECT_EQ(value(kA, kActivePoints + 4, 0), 9);
    EXPECT_EQ(value(kA, kActivePoints + 3, 0), 0);
    ASSERT_EQ(context().preferences().set(kPrefMergeWrTe, 1), kOk);
    dropResultsForPreference(context(), kPrefMergeWrTe);
    EXPECT_EQ(value(kA, kActivePoints + 4, 0), 0);
    EXPECT_EQ(value(kA, kActivePoints + 3, 0), 9);
}

TEST_F(LeagueTest, ClosingAWeekCountsItAndKeepsTheFlag) {
    EXPECT_EQ(value(kA, kActivePoints, 2), 5);
    EXPECT_EQ(value(kB, kGamesTied, 2), 0);
    EXPECT_EQ(closeWeek(context(), 2), kOk);
    EXPECT_EQ(value(kA, kActivePoints, 2), 25);
    EXPECT_EQ(value(kD, kActivePoints, 2), 20);
    EXPECT_EQ(value(kB, kGamesTied, 2), 1);
    EXPECT_EQ(closeWeek(context(), 17), kBadWeek);
    ASSERT_EQ(context().seasonState().open(kYear), kOk);
    EXPECT_EQ(context().seasonState().weekHasStats(2), 1);
}

TEST_F(ResultsTest, AWeekHasNflStatisticsWhenSomeQuarterbackUnitPassed) {
    EXPECT_TRUE(weekHasNflStatistics(context(), 2));
    EXPECT_FALSE(weekHasNflStatistics(context(), 3));
}

TEST_F(LeagueTest, AFailedCloseLeavesTheWeekUncounted) {
    int status = kOk;
    {
        test::FileSizeLimit limit(DBFile::kHeaderSize);
        status = closeWeek(context(), 2);
    }
    EXPECT_EQ(status, kFailed);
    EXPECT_NE(context().seasonState().lastError().find("Cannot write the season state"),
              std::string::npos);
    EXPECT_EQ(context().seasonState().weekHasStats(2), 0);
    EXPECT_EQ(value(kA, kActivePoints, 2), 5);
    ASSERT_EQ(context().seasonState().open(kYear), kOk);
    EXPECT_EQ(context().seasonState().weekHasStats(2), 0);
}

// ------------------------------------------------------- the real schedule

TEST_F(LeagueTest, StandingsAndBonusThroughTheSeasonSchedule) {
    Schedule& real = context().schedule();
    ASSERT_EQ(real.selectLeague(kLeague), kOk);
    ScheduleFantWeek week;
    week.first[0] = kA;
    week.second[0] = kB;
    week.first[1] = kC;
    week.second[1] = kByeId;
    ASSERT_EQ(real.putFantasyWeek(0, week), kOk);
    ASSERT_EQ(real.save(), kOk);

    std::vector<StandingRow> rows = standings(context(), kLeague, 0);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].franchise, kA);
    EXPECT_EQ(rows[0].recordText, "1-0-0");
    EXPECT_EQ(franchise(kA)->text(kWinLossRecord), "1-0-0");
    std::vector<GameResult> games = results(context(), kLeague, 0);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[1].outcome, GameResult::Outcome::Bye);

    EXPECT_EQ(franchise(kB)->getPoints(kOpponentPoints, 0), 110);
    ASSERT_EQ(setFranchiseBonus(context(), kA, 0, -20), kOk);
    EXPECT_EQ(franchise(kB)->getPoints(kOpponentPoints, 0), 85);
    EXPECT_EQ(franchise(kB)->getValue(kGamesWon, 0), 1);
}

}  // namespace
}  // namespace qff
