#include <cstdint>
#include <string>
#include <vector>

#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

// The team QB unit of the first NFL team: it throws passes every week it plays.
constexpr const char* kQbUnit = "10010";
constexpr const char* kPassesThrown = "9";
constexpr const char* kPerPassThrown = "5004";

// The demonstration season with its first two weeks merged and counted.
class CliScoring : public CliRun {
  protected:
    void SetUp() override {
        RunResult demo = qff({"demo", "--year", "2003", "--weeks", "2"});
        ASSERT_EQ(demo.status, 0) << demo.err;
    }

    std::int64_t passPoints() {
        return qffJson({"points", kQbUnit, "--league", "1", "--week", "1", "--code", "89"})
            .get<std::int64_t>();
    }

    std::int64_t leaguePoints() {
        std::int64_t sum = 0;
        for (const auto& row : qffJson({"standings", "--league", "1"})) {
            sum += row["points_for"].get<std::int64_t>();
        }
        return sum;
    }

    nlohmann::json table(const std::string& code) {
        nlohmann::json document = qffJson({"scoring", "show", "--league", "1"});
        for (const auto& shown : document["tables"]) {
            if (shown["code"] == std::stoi(code)) {
                return shown;
            }
        }
        ADD_FAILURE() << "no table " << code;
        return {};
    }
};

TEST_F(CliScoring, PointsAndStandingsFollowARuleAndItsReturn) {
    std::int64_t points = passPoints();
    std::int64_t standings = leaguePoints();
    int passes = qffJson({"player", kQbUnit, "--week", "1"})[kPassesThrown].get<int>();
    ASSERT_GT(passes, 0);

    ASSERT_EQ(qff({"scoring", "set", "--league", "1", kPerPassThrown, "10"}).status, 0);
    EXPECT_EQ(passPoints(), points + 10 * passes);
    EXPECT_GT(leaguePoints(), standings);

    ASSERT_EQ(qff({"scoring", "set", "--league", "1", kPerPassThrown, "0"}).status, 0);
    EXPECT_EQ(passPoints(), points);
    EXPECT_EQ(leaguePoints(), standings);
}

TEST_F(CliScoring, TablesShowAsRunsAndChangeByChoiceAndRange) {
    RunResult shown = qff({"scoring", "show", "--league", "1"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("5001  mode 3  1\u20139: 3, 10\u201319: 4, 20\u201339: 6, "
                             "40\u201359: 8, 60\u2013100: 10\n"),
              std::string::npos)
        << shown.out;

    ASSERT_EQ(qff({"scoring", "table", "--league", "1", "5003", "--every", "1", "25"}).status, 0);
    nlohmann::json yards = table("5003");
    EXPECT_EQ(yards["mode"], 2);
    EXPECT_EQ(yards["runs"][1], (nlohmann::json{{"from", 25}, {"to", 49}, {"points", 1}}));

    ASSERT_EQ(qff({"scoring", "range", "delete", "--league", "1", "5001", "10", "19"}).status, 0);
    EXPECT_EQ(table("5001")["runs"][0], (nlohmann::json{{"from", 1}, {"to", 19}, {"points", 3}}));
}

TEST_F(CliScoring, WhatATableCannotHoldIsRefusedAndChangesNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"range", "add", "--league", "1", "5001", "60", "101", "10"},
         "The TO distance cannot exceed 100."},
        {{"range", "add", "--league", "1", "5001", "20", "10", "1"},
         "The FROM distance must be less than the TO distance."},
        {{"range", "add", "--league", "1", "5001", "1", "9"},
         "A from, to, and point value is required."},
        {{"table", "--league", "1", "5003", "--each", "1"},
         "Points for each score are given on touchdown and field goal tables only."},
        {{"set", "--league", "1", "5070", "3"}, "5070 is not a point value of the scoring system."},
    };
    nlohmann::json before = qffJson({"scoring", "show", "--league", "1"});
    for (const Case& c : cases) {
        std::vector<std::string> args{"scoring"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        RunResult run = qff(args);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_EQ(run.err, "qff: " + c.message + "\n");
    }
    EXPECT_EQ(qffJson({"scoring", "show", "--league", "1"}), before);
}

TEST_F(CliScoring, PenaltiesAreGivenAsTheAmountToSubtract) {
    ASSERT_EQ(qff({"scoring", "set", "--league", "1", "5006", "3"}).status, 0);
    nlohmann::json document = qffJson({"scoring", "show", "--league", "1"});
    nlohmann::json shown;
    for (const auto& value : document["values"]) {
        if (value["code"] == 5006) {
            shown = value;
        }
    }
    EXPECT_EQ(shown, (nlohmann::json{{"code", 5006}, {"value", 3}, {"subtracted", true}}));
}

TEST_F(CliScoring, ACopyGivesTheOtherLeagueEveryRule) {
    ASSERT_EQ(qff({"scoring", "table", "--league", "1", "5003", "--every", "1", "25"}).status, 0);
    ASSERT_EQ(qff({"scoring", "set", "--league", "1", "5056", "4"}).status, 0);
    ASSERT_EQ(qff({"scoring", "copy", "--from", "1", "--to", "0"}).status, 0);
    nlohmann::json copied = qffJson({"scoring", "show", "--league", "0"});
    nlohmann::json source = qffJson({"scoring", "show", "--league", "1"});
    EXPECT_EQ(copied["league"], 0);
    EXPECT_EQ(copied["values"], source["values"]);
    EXPECT_EQ(copied["tables"], source["tables"]);
}

}  // namespace
}  // namespace qff::test
