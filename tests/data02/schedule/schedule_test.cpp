#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data02/model/Divqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using test::recordFileBytes;
using test::SeasonFixture;
using test::slotBytes;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr int kYear = 2003;  // 17 weeks
constexpr int kWeeks = 17;
constexpr int kLeague = 0;
constexpr int kOtherLeague = 7;
constexpr int kPrefEmptyWeeksAtEnd = 8017;

using Game = std::pair<int, int>;

std::vector<Game> gamesOf(const ScheduleFantWeek& week) {
    std::vector<Game> games;
    for (int s = 0; s < kScheduleSlots && week.first[s] != 0; ++s) {
        games.emplace_back(week.first[s], week.second[s]);
    }
    return games;
}

ScheduleFantWeek weekOf(const std::vector<Game>& games) {
    ScheduleFantWeek week;
    for (std::size_t s = 0; s < games.size(); ++s) {
        week.first[s] = games[s].first;
        week.second[s] = games[s].second;
    }
    return week;
}

std::vector<int> range(int first, int count) {
    std::vector<int> ids(count);
    for (int i = 0; i < count; ++i) {
        ids[i] = first + i;
    }
    return ids;
}

// A created and opened season to which tests add divisions and franchises.
class ScheduleTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
    }

    Schedule& schedule() { return context().schedule(); }

    void addDivision(int id, int league) {
        Owned<Division> division = context().memory().makeRecord<Division>(
            Kind::Division, context().divisionFile(), context());
        division->setValue(kDivisionId, id);
        division->setValue(kDivisionLeague, league);
        division->setText(kDivisionName, "Division " + std::to_string(id));
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().divisions(), division), 0);
    }

    void addFranchises(const std::vector<int>& ids, int league, int division) {
        for (int id : ids) {
            Owned<Team> team =
                context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
            team->setValue(kFranchiseId, id);
            team->setValue(kFranchiseLeague, league);
            team->setValue(kFranchiseDivision, division);
            team->setText(kFranchiseName, "Franchise " + std::to_string(id));
            ASSERT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), 0);
        }
    }

    // A league of one division holding `ids`.
    GenerationResult generateDivision(const std::vector<int>& ids) {
        addDivision(1, kLeague);
        addFranchises(ids, kLeague, 1);
        return schedule().generateLeague(kLeague);
    }

    std::vector<Game> week(int league, int index) {
        EXPECT_EQ(schedule().selectLeague(league), kOk);
        ScheduleFantWeek out;
        EXPECT_EQ(schedule().getFantasyWeek(index, out), kOk);
        return gamesOf(out);
    }

    std::vector<std::uint8_t> fileBytes() {
        return test::readBytes(fileOf(SeasonFile::Sched, kYear));
    }
};

// Every franchise of `ids` plays once a week; an odd group has one bye a week.
void expectOneGameEach(const std::vector<Game>& games, const std::vector<int>& ids) {
    std::multiset<int> seen;
    int byes = 0;
    for (auto [home, away] : games) {
        seen.insert(home);
        if (away == kByeSide) {
            ++byes;
        } else {
            seen.insert(away);
        }
    }
    EXPECT_EQ(seen, std::multiset<int>(ids.begin(), ids.end()));
    EXPECT_EQ(byes, static_cast<int>(ids.size() % 2));
}

// ------------------------------------------------------------- generation

TEST_F(ScheduleTest, FourFranchisesFollowTheSearchGameByGame) {
    GenerationResult result = generateDivision({1, 2, 3, 4});
    ASSERT_TRUE(result.complete());
    // The first round from the pair order, home and away alternating by week;
    // later weeks repeat it every 3 weeks, sides exchanged in odd weeks.
    const std::vector<std::vector<Game>> expected{
        {{1, 2}, {3, 4}}, {{3, 1}, {4, 2}}, {{1, 4}, {2, 3}}, {{2, 1}, {4, 3}}, {{3, 1}, {4, 2}},
        {{4, 1}, {3, 2}}, {{2, 1}, {4, 3}}, {{1, 3}, {2, 4}}, {{4, 1}, {3, 2}}, {{1, 2}, {3, 4}},
    };
    for (std::size_t w = 0; w < expected.size(); ++w) {
        EXPECT_EQ(week(kLeague, static_cast<int>(w)), expected[w]) << "week " << w + 1;
    }
}

TEST_F(ScheduleTest, ThreeFranchisesPlayTheFillerAsByes) {
    ASSERT_TRUE(generateDivision({1, 2, 3}).complete());
    EXPECT_EQ(week(kLeague, 0), (std::vector<Game>{{1, 2}, {3, kByeSide}}));
    EXPECT_EQ(week(kLeague, 1), (std::vector<Game>{{3, 1}, {2, kByeSide}}));
    EXPECT_EQ(week(kLeague, 2), (std::vector<Game>{{1, kByeSide}, {2, 3}}));
}

class ScheduleGroupSizeTest : public ScheduleTest, public ::testing::WithParamInterface<int> {};

TEST_P(ScheduleGroupSizeTest, RoundRobinMeetsEveryPairOnceThenRepeats) {
    std::vector<int> ids = range(101, GetParam());
    ASSERT_TRUE(generateDivision(ids).complete());
    int rounds = static_cast<int>(ids.size() + ids.size() % 2) - 1;
    std::map<Game, int> meetings;
    for (int w = 0; w < kWeeks; ++w) {
        std::vector<Game> games = week(kLeague, w);
        expectOneGameEach(games, ids);
        for (auto [home, away] : games) {
            meetings[std::minmax(home, away)] += w < rounds && away != kByeSide ? 1 : 0;
        }
        if (w < rounds) {
            continue;
        }
        bool exchanged = w % 2 == 1;  // the first group generated since the season opened
        std::vector<Game> repeated;
        for (auto [home, away] : week(kLeague, w - rounds)) {
            repeated.emplace_back(exchanged && away != kByeSide ? Game{away, home}
                                                                : Game{home, away});
        }
        EXPECT_EQ(games, repeated) << "week " << w + 1;
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        for (std::size_t k = i + 1; k < ids.size(); ++k) {
            EXPECT_EQ(meetings[Game(ids[i], ids[k])], 1) << ids[i] << " v " << ids[k];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ScheduleSizes, ScheduleGroupSizeTest, ::testing::Range(1, 17));

TEST_F(ScheduleTest, EmptyWeeksPreferenceLeavesTheLastWeeksEmpty) {
    struct Case {
        int empty;
        int lastPlayed;
    };
    for (Case c : {Case{0, 16}, Case{2, 14}, Case{10, 6}, Case{25, 6}}) {
        context().preferences().set(kPrefEmptyWeeksAtEnd, c.empty);
        if (c.empty == 0) {
            addDivision(1, kLeague);
            addFranchises({1, 2, 3, 4, 5, 6}, kLeague, 1);
        }
        ASSERT_EQ(schedule().generateLeague(kLeague).status, kOk);
        for (int w = 0; w < kWeekSlots; ++w) {
            EXPECT_EQ(week(kLeague, w).size(), w <= c.lastPlayed ? 3U : 0U)
                << "empty " << c.empty << " week " << w + 1;
        }
    }
}

TEST_F(ScheduleTest, DivisionsFollowEachOtherAndNeverMeet) {
    addDivision(1, kLeague);
    addDivision(2, kLeague);
    addFranchises({1, 2, 3, 4}, kLeague, 1);
    addFranchises({11, 12, 13, 14, 15, 16}, kLeague, 2);
    addFranchises({21, 22, 23}, kLeague, kNoDivision);
    GenerationResult result = schedule().generateLeague(kLeague);
    ASSERT_TRUE(result.complete());
    ASSERT_EQ(result.groups.size(), 3U);
    EXPECT_EQ(result.groups[2].division, kNoDivision);
    EXPECT_EQ(result.groups[2].franchises, 3);
    auto groupOf = [](int id) { return id / 10; };
    for (int w = 0; w < kWeeks; ++w) {
        std::vector<Game> games = week(kLeague, w);
        ASSERT_EQ(games.size(), 2U + 3U + 2U) << "week " << w + 1;
        for (std::size_t s = 0; s < games.size(); ++s) {
            int expectedGroup = s < 2 ? 0 : s < 5 ? 1 : 2;
            EXPECT_EQ(groupOf(games[s].first), expectedGroup);
            if (games[s].second != kByeSide) {
                EXPECT_EQ(groupOf(games[s].second), expectedGroup);
            }
        }
    }
}

TEST_F(ScheduleTest, OversizedGroupsAreReportedAndTheRestGenerated) {
    addDivision(1, kLeague);
    addDivision(2, kLeague);
    addFranchises(range(100, 17), kLeague, 1);
    addFranchises({1, 2}, kLeague, 2);
    addFranchises(range(200, 17), kLeague, kNoDivision);
    GenerationResult result = schedule().generateLeague(kLeague);
    EXPECT_EQ(result.status, kOk);
    EXPECT_FALSE(result.complete());
    ASSERT_EQ(result.groups.size(), 3U);
    using Outcome = GroupResult::Outcome;
    EXPECT_EQ(result.groups[0].division, 1);
    EXPECT_EQ(result.groups[0].franchises, 17);
    EXPECT_EQ(result.groups[0].outcome, Outcome::TooLarge);
    EXPECT_EQ(result.groups[1].outcome, Outcome::Done);
    EXPECT_EQ(result.groups[2].division, kNoDivision);
    EXPECT_EQ(result.groups[2].outcome, Outcome::TooLarge);
    EXPECT_EQ(week(kLeague, 0), (std::vector<Game>{{1, 2}}));
}

TEST_F(ScheduleTest, SixteenFranchisesAreTheLargestGroup) {
    std::vector<int> sixteen = range(1, 16);
    std::vector<int> seventeen = range(1, 17);
    addFranchises(seventeen, kLeague, kNoDivision);
    ASSERT_EQ(schedule().selectLeague(kLeague), kOk);
    EXPECT_EQ(schedule().generateGroup(seventeen), GroupResult::Outcome::TooLarge);
    EXPECT_EQ(schedule().generateGroup(sixteen), GroupResult::Outcome::Done);
    EXPECT_EQ(week(kLeague, 0).size(), 8U);
}

TEST_F(ScheduleTest, GroupThatCannotFitLeavesNoPlaceholders) {
    addFranchises({1, 2, 3, 4}, kLeague, kNoDivision);
    ASSERT_EQ(schedule().selectLeague(kLeague), kOk);
    // Week 1 already has every slot but the last taken by 9 against a bye.
    ScheduleFantWeek full;
    std::fill(full.first.begin(), full.first.end() - 1, 9);
    std::fill(full.second.begin(), full.second.end() - 1, kByeSide);
    ASSERT_EQ(schedule().putFantasyWeek(0, full), kOk);
    addFranchises({9}, kOtherLeague, kNoDivision);
    EXPECT_EQ(schedule().generateGroup(std::vector<int>{1, 2, 3, 4}),
              GroupResult::Outcome::Incomplete);
    for (int w = 0; w < kWeeks; ++w) {
        ScheduleFantWeek out;
        ASSERT_EQ(schedule().getFantasyWeek(w, out), kOk);
        EXPECT_TRUE(std::all_of(out.first.begin(), out.first.end(), [](int v) { return v >= 0; }));
        EXPECT_TRUE(
            std::all_of(out.second.begin(), out.second.end(), [](int v) { return v >= 0; }));
    }
}

TEST_F(ScheduleTest, GenerationReplacesTheOldScheduleAndDropsCachedPoints) {
    addDivision(1, kLeague);
    addFranchises({1, 2, 3, 4}, kLeague, 1);
    ASSERT_EQ(schedule().selectLeague(kLeague), kOk);
    ASSERT_EQ(schedule().putFantasyWeek(19, weekOf({{1, 2}})), kOk);
    ASSERT_EQ(schedule().save(), kOk);
    Cache& cache = context().cache();
    for (int id : {1, 2, 3, 4, 99}) {
        cache.store(Cache::Set::Franchise, {kYear, id, 0, kLeague, 2016}, 5);
    }
    ASSERT_TRUE(schedule().generateLeague(kLeague).complete());
    EXPECT_THAT(week(kLeague, 19), IsEmpty());
    for (int id : {1, 2, 3, 4}) {
        EXPECT_FALSE(cache.find(Cache::Set::Franchise, {kYear, id, 0, kLeague, 2016})) << id;
    }
    EXPECT_TRUE(cache.find(Cache::Set::Franchise, {kYear, 99, 0, kLeague, 2016}));
}

// ------------------------------------------------------------- records

TEST_F(ScheduleTest, LeagueRecordsFollowTheNflRecordAtTheirOffsets) {
    addFranchises({5, 6}, kOtherLeague, kNoDivision);
    ASSERT_EQ(schedule().selectLeague(kOtherLeague), kOk);
    ASSERT_EQ(schedule().putFantasyWeek(3, weekOf({{5, 6}, {6, kByeSide}})), kOk);
    ASSERT_EQ(schedule().save(), kOk);
    std::vector<std::uint8_t> file = fileBytes();
    ASSERT_EQ(file.size(), DBFile::kHeaderSize + 2U * kScheduleRecordSize);
    EXPECT_EQ(slotBytes(file, kScheduleRecordSize, 0),
              std::vector<std::uint8_t>(kScheduleRecordSize, 0));
    std::vector<std::uint8_t> record = slotBytes(file, kScheduleRecordSize, 1);
    std::size_t week3 = 4 + 4096 * 3;
    struct Field {
        std::size_t offset;
        int value;
    };
    for (Field f :
         {Field{0, kOtherLeague}, Field{week3, 5}, Field{week3 + 4, 6}, Field{week3 + 8, 0},
          Field{week3 + 2048, 6}, Field{week3 + 2052, kByeSide}, Field{week3 + 2056, 0}}) {
        EXPECT_EQ(getI32(record, f.offset), f.value) << "offset " << f.offset;
    }
    EXPECT_EQ(std::count(record.begin(), record.end(), 0), kScheduleRecordSize - 6);
}

TEST_F(ScheduleTest, NflRecordIsReadAtItsOffsets) {
    std::vector<std::uint8_t> nfl(kScheduleRecordSize, 0);
    auto slot = [&](int week, int i, int day, int d1, int d2, int home, int away) {
        std::size_t base = 4 + 852 * week;
        nfl[base + i] = static_cast<std::uint8_t>(day);
        putI32(nfl, base + 52 + 4 * i, d1);
        putI32(nfl, base + 252 + 4 * i, d2);
        putI32(nfl, base + 452 + 4 * i, home);
        putI32(nfl, base + 652 + 4 * i, away);
    };
    slot(0, 0, 7, 9, 7, 1, 2);
    slot(0, 1, 1, 9, 8, 3, 5);
    slot(0, 2, 1, 9, 8, 6, 7);
    slot(0, 3, 99, 0, 0, 8, 0);
    slot(1, 0, 99, 0, 0, 1, 0);
    slot(4, 1, 99, 0, 0, 2, 0);  // after the week's end marker: not read
    schedule().close();
    test::writeBytes(fileOf(SeasonFile::Sched, kYear),
                     recordFileBytes(kYear, kScheduleRecordSize, {{0, nfl}}));
    ASSERT_EQ(schedule().open(kYear), kOk);

    NflWeek first = schedule().nflWeek(0);
    ASSERT_EQ(first.games().size(), 3U);
    NflGame g = first.games()[1];
    EXPECT_EQ(std::vector<int>({g.day, g.date1, g.date2, g.home, g.away}),
              std::vector<int>({1, 9, 8, 3, 5}));
    EXPECT_THAT(first.offTeams(), ElementsAre(8));
    EXPECT_EQ(schedule().firstMondayGame(0), std::make_pair(3, 5));
    EXPECT_EQ(schedule().firstMondayGame(1), std::make_pair(-1, -1));
    struct Off {
        int team;
        int week;
        bool off;
    };
    // Each week answers for itself: team 1 is off in week 2 and no other.
    for (Off c : {Off{8, 0, true}, Off{1, 1, true}, Off{1, 0, false}, Off{8, 1, false},
                  Off{2, 4, false}, Off{1, 17, false}, Off{1, -1, false}}) {
        EXPECT_EQ(schedule().teamIsOff(c.team, c.week), c.off) << c.team << " in " << c.week;
    }
}

TEST_F(ScheduleTest, MissingFileFailsEveryOperation) {
    schedule().close();
    std::filesystem::remove(fileOf(SeasonFile::Sched, kYear));
    EXPECT_NE(schedule().open(kYear), kOk);
    EXPECT_THAT(schedule().lastError(), ::testing::HasSubstr("does not exist"));
    EXPECT_NE(schedule().selectLeague(kLeague), kOk);
    EXPECT_NE(schedule().reset(-1), kOk);
    EXPECT_NE(schedule().removeFranchise(1), kOk);
    EXPECT_NE(schedule().generateLeague(kLeague).status, kOk);
    EXPECT_FALSE(schedule().hasSchedule(kLeague));
    EXPECT_THAT(schedule().opponents(kLeague, 0, 1), IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(fileOf(SeasonFile::Sched, kYear)));

    SeasonOpenReport report = openSeason(context(), kYear);
    EXPECT_FALSE(report.opened);
    ASSERT_FALSE(report.messages.empty());
    EXPECT_EQ(report.messages.back().text, "Open Failure: Schedule database unavailable.");
}

TEST_F(ScheduleTest, AskingNeverAddsALeagueRecord) {
    EXPECT_FALSE(schedule().hasSchedule(kLeague));
    EXPECT_THAT(schedule().opponents(kLeague, 0, 1), IsEmpty());
    EXPECT_EQ(fileBytes().size(), DBFile::kHeaderSize + 1U * kScheduleRecordSize);
    ASSERT_EQ(schedule().selectLeague(kLeague), kOk);
    EXPECT_FALSE(schedule().hasSchedule(kLeague));
    EXPECT_EQ(fileBytes().size(), DBFile::kHeaderSize + 2U * kScheduleRecordSize);
}

TEST_F(ScheduleTest, WeekIndexOutsideTheRecordIsRefused) {
    ASSERT_EQ(schedule().selectLeague(kLeague), kOk);
    ScheduleFantWeek out;
    for (int w : {-1, 20}) {
        EXPECT_EQ(schedule().getFantasyWeek(w, out), kFailed);
        EXPECT_EQ(schedule().putFantasyWeek(w, out), kFailed);
        EXPECT_EQ(schedule().firstOpponent(w, 1), -1);
    }
}

// ------------------------------------------------------------- editing

TEST_F(ScheduleTest, OpponentsComeInSlotOrderFromEitherSide) {
    addFranchises({1, 2, 3, 4}, kLeague, kNoDivision);
    ASSERT_EQ(schedule().selectLeague(kLeague), kOk);
    ASSERT_EQ(schedule().putFantasyWeek(2, weekOf({{2, 1}, {3, 4}, {1, 3}, {4, kByeSide}})), kOk);
    ASSERT_EQ(schedule().save(), kOk);
    EXPECT_THAT(schedule().opponents(kLeague, 2, 1), ElementsAre(2, 3));
    EXPECT_THAT(schedule().opponents(kLeague, 2, 4), ElementsAre(3, kByeSide));
    EXPECT_THAT(schedule().opponents(kLeague, 1, 1), IsEmpty());
    EXPECT_THAT(schedule().opponents(kOtherLeague, 2, 1), IsEmpty());
    EXPECT_EQ(schedule().firstOpponent(2, 3), 4);
    EXPECT_EQ(schedule().nextOpponent(), 1);
    EXPECT_EQ(schedule().nextOpponent(), -1);
}

TEST_F(ScheduleTest, RemovedFranchiseLeavesByesInEveryLeague) {
    addDivision(1, kLeague);
    addFranchises({1, 2, 3, 4}, kLeague, 1);
    addFranchises({5, 6}, kOtherLeague, kNoDivision);
    ASSERT_TRUE(schedule().generateLeague(kLeague).complete());
    ASSERT_EQ(schedule().selectLeague(kOtherLeague), kOk);
    ASSERT_EQ(schedule().putFantasyWeek(0, weekOf({{5, 6}, {2, 5}})), kOk);
    ASSERT_EQ(schedule().save(), kOk);
    context().cache().store(Cache::Set::Franchise, {kYear, 1, 0, kLeague, 2016}, 5);

    ASSERT_EQ(schedule().removeFranchise(2), kOk);
    EXPECT_EQ(schedule().currentLeague(), kOtherLeague);
    EXPECT_EQ(week(kOtherLeague, 0), (std::vector<Game>{{5, 6}, {5, kByeSide}}));
    EXPECT_EQ(week(kLeague, 0), (std::vector<Game>{{1, kByeSide}, {3, 4}}));
    EXPECT_EQ(week(kLeague, 1), (std::vector<Game>{{3, 1}, {4, kByeSide}}));
    EXPECT_EQ(week(kLeague, 2), (std::vector<Game>{{1, 4}, {3, kByeSide}}));
    EXPECT_FALSE(context().cache().find(Cache::Set::Franchise, {kYear, 1, 0, kLeague, 2016}));
}

TEST_F(ScheduleTest, ResetEmptiesOneLeagueOrAll) {
    addFranchises({1, 2}, kLeague, kNoDivision);
    addFranchises({5, 6}, kOtherLeague, kNoDivision);
    for (int league : {kLeague, kOtherLeague}) {
        ASSERT_EQ(schedule().selectLeague(league), kOk);
        ASSERT_EQ(schedule().generateGroup(
                      std::vector<int>{league == kLeague ? 1 : 5, league == kLeague ? 2 : 6}),
                  GroupResult::Outcome::Done);
        ASSERT_EQ(schedule().save(), kOk);
    }
    ASSERT_EQ(schedule().reset(kLeague), kOk);
    EXPECT_FALSE(schedule().hasSchedule(kLeague));
    EXPECT_TRUE(schedule().hasSchedule(kOtherLeague));
    ASSERT_EQ(schedule().reset(-1), kOk);
    EXPECT_FALSE(schedule().hasSchedule(kOtherLeague));
    EXPECT_THAT(week(kOtherLeague, 0), IsEmpty());
}

std::vector<FantasyGame> fantasyGames(const std::vector<Game>& games) {
    std::vector<FantasyGame> out;
    for (const auto& [home, away] : games) {
        out.push_back({home, away});
    }
    return out;
}

TEST_F(ScheduleTest, StoredWeekIsCleanedUpWrittenAndDropsCachedPoints) {
    addFranchises({1, 2, 3, 4}, kLeague, kNoDivision);
    context().cache().store(Cache::Set::Franchise, {kYear, 3, 0, kLeague, 2016}, 5);
    ASSERT_EQ(schedule().storeWeek(kLeague, 4, fantasyGames({{0, 3}, {1, 2}, {4, 0}})), kOk);
    EXPECT_EQ(week(kLeague, 4), (std::vector<Game>{{3, kByeSide}, {1, 2}, {4, kByeSide}}));
    EXPECT_FALSE(context().cache().find(Cache::Set::Franchise, {kYear, 3, 0, kLeague, 2016}));
    ASSERT_EQ(schedule().clearWeek(kLeague, 4), kOk);
    EXPECT_THAT(week(kLeague, 4), IsEmpty());
}

TEST_F(ScheduleTest, RefusedWeekLeavesTheRecordAsItWas) {
    addFranchises({1, 2, 3}, kLeague, kNoDivision);
    addFranchises({5}, kOtherLeague, kNoDivision);
    ASSERT_EQ(schedule().storeWeek(kLeague, 0, fantasyGames({{1, 2}})), kOk);
    std::vector<std::uint8_t> before = fileBytes();
    struct Case {
        int week;
        std::vector<Game> games;
        std::string message;
    };
    const std::vector<Case> cases{
        {0, {{1, 1}}, "Teams are not allowed to play themselves."},
        {0, {{1, 2}, {3, 1}}, "Franchise \"Franchise 1\" would play more than once in week 1."},
        {0, {{1, 2}, {1, kByeSide}}, "would play more than once"},
        {0, {{3, 5}}, "Franchise \"Franchise 5\" belongs to another league."},
        {0, {{3, 9}}, "No franchise has the id 9."},
        {kWeeks, {{1, 2}}, "Week 18 is outside the season's 17 weeks."},
        {-1, {}, "Week 0 is outside the season's 17 weeks."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(schedule().storeWeek(kLeague, c.week, fantasyGames(c.games)), kFailed);
        EXPECT_THAT(schedule().lastError(), ::testing::HasSubstr(c.message));
        EXPECT_EQ(week(kLeague, 0), (std::vector<Game>{{1, 2}}));
    }
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(ScheduleTest, SeveralGamesAWeekWhenAllowed) {
    addFranchises({1, 2, 3}, kLeague, kNoDivision);
    context().preferences().set(kPrefSeveralGamesAWeek, 1);
    ASSERT_EQ(schedule().storeWeek(kLeague, 0, fantasyGames({{1, 2}, {3, 1}})), kOk);
    EXPECT_EQ(schedule().storeWeek(kLeague, 0, fantasyGames({{2, 2}})), kFailed);
    EXPECT_EQ(week(kLeague, 0), (std::vector<Game>{{1, 2}, {3, 1}}));
}

TEST_F(ScheduleTest, SetGameTakesOverByesAndRefusesASecondGame) {
    addFranchises({1, 2, 3, 4}, kLeague, kNoDivision);
    ASSERT_EQ(schedule().setGame(kLeague, 2, {1, kByeSide}), kOk);
    ASSERT_EQ(schedule().setGame(kLeague, 2, {3, kByeSide}), kOk);
    ASSERT_EQ(schedule().setGame(kLeague, 2, {4, 1}), kOk);
    EXPECT_EQ(week(kLeague, 2), (std::vector<Game>{{3, kByeSide}, {4, 1}}));
    EXPECT_EQ(schedule().setGame(kLeague, 2, {2, 4}), kFailed);
    EXPECT_EQ(week(kLeague, 2), (std::vector<Game>{{3, kByeSide}, {4, 1}}));
}

struct CleanUpCase {
    const char* what;
    std::vector<Game> before;
    std::vector<Game> after;
};

class ScheduleCleanUpTest : public ::testing::TestWithParam<CleanUpCase> {};

TEST_P(ScheduleCleanUpTest, PacksIntoGamesAndByes) {
    // Franchises 1 to 5 exist; 9 does not.
    auto exists = [](int id) { return id >= 1 && id <= 5; };
    ScheduleFantWeek week = weekOf(GetParam().before);
    Schedule::cleanUpWeek(week, exists);
    EXPECT_EQ(gamesOf(week), GetParam().after);
    EXPECT_TRUE(std::all_of(week.second.begin() + GetParam().after.size(), week.second.end(),
                            [](int v) { return v == 0; }));
}

INSTANTIATE_TEST_SUITE_P(
    ScheduleRules, ScheduleCleanUpTest,
    ::testing::Values(
        CleanUpCase{"games stay", {{1, 2}, {3, kByeSide}}, {{1, 2}, {3, kByeSide}}},
        CleanUpCase{"deleted home", {{9, 2}, {3, 4}}, {{2, kByeSide}, {3, 4}}},
        CleanUpCase{"deleted away", {{1, 9}}, {{1, kByeSide}}},
        CleanUpCase{"both deleted", {{9, 9}, {1, 2}}, {{1, 2}}},
        CleanUpCase{"empty away", {{1, 0}}, {{1, kByeSide}}},
        CleanUpCase{"empty home", {{0, 3}, {1, 2}}, {{3, kByeSide}, {1, 2}}},
        CleanUpCase{"bye home", {{kByeSide, 4}}, {{4, kByeSide}}},
        CleanUpCase{"bye against empty", {{kByeSide, 0}, {0, kByeSide}, {1, 2}}, {{1, 2}}},
        CleanUpCase{"placeholders", {{-1, -1}, {-2, 4}, {5, -2}}, {{4, kByeSide}, {5, kByeSide}}},
        CleanUpCase{"gap in the middle", {{1, 2}, {0, 0}, {3, 4}}, {{1, 2}, {3, 4}}}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

}  // namespace
}  // namespace qff
