#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

constexpr int kBye = 32767;

// The demonstration season: league 1 with twelve franchises and a generated
// head-to-head schedule.
class ScheduleCli : public CliRun {
  protected:
    void SetUp() override {
        RunResult demo = qff({"demo", "--year", "2003"});
        ASSERT_EQ(demo.status, 0) << demo.err;
        for (const auto& franchise : qffJson({"franchises"})) {
            if (franchise["league"] == 1) {
                ids_.push_back(franchise["id"].get<int>());
            }
        }
        ASSERT_GE(ids_.size(), 4U);
    }

    std::vector<std::pair<int, int>> week(int week) const {
        std::vector<std::pair<int, int>> games;
        for (const auto& game :
             qffJson({"schedule", "show", "--league", "1", "--week", std::to_string(week)})) {
            games.emplace_back(game["home"]["id"].get<int>(), game["away"]["id"].get<int>());
        }
        return games;
    }

    std::string id(int index) const { return std::to_string(ids_[index]); }

    std::vector<int> ids_;
};

TEST_F(ScheduleCli, BuildsAWeekGameByGame) {
    ASSERT_EQ(qff({"schedule", "clear", "--league", "1", "--week", "3", "--yes"}).status, 0);
    EXPECT_TRUE(week(3).empty());
    qffJson({"schedule", "set", "--league", "1", "--week", "3", id(0), "bye"});
    nlohmann::json games =
        qffJson({"schedule", "set", "--league", "1", "--week", "3", id(1), id(0)});
    ASSERT_EQ(games.size(), 1U);
    EXPECT_EQ(games[0]["week"], 3);
    EXPECT_EQ(week(3), (std::vector<std::pair<int, int>>{{ids_[1], ids_[0]}}));
    qffJson({"schedule", "set", "--league", "1", "--week", "3", id(2), "bye"});
    EXPECT_EQ(week(3), (std::vector<std::pair<int, int>>{{ids_[1], ids_[0]}, {ids_[2], kBye}}));
}

TEST_F(ScheduleCli, RefusesWhatWouldBreakAWeekAndLeavesItAlone) {
    std::vector<std::pair<int, int>> before = week(1);
    ASSERT_FALSE(before.empty());
    int playing = before[0].first;
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"--week", "1", id(0), id(0)}, "Teams are not allowed to play themselves."},
        {{"--week", "1", std::to_string(playing), "bye"}, "would play more than once in week 1"},
        {{"--week", "30", id(0), id(1)}, "Week 30 is outside the season's 17 weeks."},
        {{"--week", "1", id(0), "nobody"}, "franchise id or \"bye\""},
        {{"--week", "1", "999", id(0)}, "No franchise has the id 999."},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"schedule", "set", "--league", "1"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        RunResult run = qff(args);
        EXPECT_NE(run.status, 0) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(week(1), before);
}

TEST_F(ScheduleCli, ClearsOneWeekOrAllOnlyWhenConfirmed) {
    RunResult unconfirmed = qff({"schedule", "clear", "--league", "1", "--all"});
    EXPECT_NE(unconfirmed.status, 0);
    EXPECT_NE(unconfirmed.err.find("add --yes"), std::string::npos) << unconfirmed.err;
    EXPECT_NE(qff({"schedule", "clear", "--league", "1", "--yes"}).status, 0);
    EXPECT_NE(qff({"schedule", "clear", "--league", "1", "--week", "2", "--all", "--yes"}).status,
              0);
    EXPECT_FALSE(week(2).empty());

    nlohmann::json one = qffJson({"schedule", "clear", "--league", "1", "--week", "2", "--yes"});
    EXPECT_EQ(one["cleared"], 2);
    EXPECT_TRUE(week(2).empty());
    EXPECT_FALSE(week(3).empty());
    nlohmann::json all = qffJson({"schedule", "clear", "--league", "1", "--all", "--yes"});
    EXPECT_EQ(all["cleared"], "all");
    EXPECT_TRUE(qffJson({"schedule", "show", "--league", "1"}).empty());
}

}  // namespace
}  // namespace qff::test
