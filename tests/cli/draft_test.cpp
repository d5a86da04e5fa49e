#include <string>
#include <vector>

#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

// The demonstration season's league 1 with a fresh draft order of two rounds
// for its twelve franchises, no player drafted yet.
class CliDraft : public CliRun {
  protected:
    void SetUp() override {
        RunResult demo = qff({"demo", "--year", "2003"});
        ASSERT_EQ(demo.status, 0) << demo.err;
        RunResult order = qff({"draft", "order", "--league", "1", "--yes", "--seed", "7"});
        ASSERT_EQ(order.status, 0) << order.err;
        nlohmann::json league = qffJson({"league", "set", "1", "--rounds", "2"});
        ASSERT_EQ(league["rounds"], 2);
        order_ = qffJson({"draft", "show", "--league", "1"});
        ASSERT_EQ(order_.size(), 24u);
    }

    nlohmann::json status() const { return qffJson({"draft", "status", "--league", "1"}); }

    // Drafts the player for whoever is on the clock, each pick a run of its own.
    void pickNext(int player) const {
        nlohmann::json clock = status()["on_the_clock"];
        RunResult pick = qff(
            {"draft", "pick", "--league", "1", "--round", std::to_string(clock["round"].get<int>()),
             "--franchise", std::to_string(clock["franchise"].get<int>()), std::to_string(player)});
        ASSERT_EQ(pick.status, 0) << pick.err;
    }

    std::string franchiseOf(int slot) const {
        return std::to_string(order_[slot]["franchise"].get<int>());
    }

    nlohmann::json order_;
};

TEST_F(CliDraft, AScriptedDraftStoppedAfterFivePicksGoesOnAtTheSixth) {
    for (int player = 1; player <= 5; ++player) {
        pickNext(player);
    }
    nlohmann::json now = status();
    EXPECT_EQ(now["picks_made"], 5);
    EXPECT_EQ(now["picks_planned"], 19);
    EXPECT_EQ(now["finished"], false);
    EXPECT_EQ(now["on_the_clock"]["round"], 1);
    EXPECT_EQ(now["on_the_clock"]["pick"], 6);
    EXPECT_EQ(now["on_the_clock"]["franchise"], order_[5]["franchise"]);
    ASSERT_EQ(now["next"].size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(now["next"][k]["franchise"], order_[6 + k]["franchise"]) << k;
        EXPECT_EQ(now["next"][k]["pick"], 7 + k) << k;
    }
    RunResult text = qff({"draft", "status", "--league", "1"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.rfind("On the clock  Round 1   Pick 6   " +
                                 order_[5]["franchise_name"].get<std::string>() + "\n",
                             0),
              0u)
        << text.out;
}

TEST_F(CliDraft, UndoTakesBackTheLastOrANamedPick) {
    for (int player = 1; player <= 3; ++player) {
        pickNext(player);
    }
    nlohmann::json last = qffJson({"draft", "undo", "--league", "1"});
    EXPECT_EQ(last["player"], 3);
    EXPECT_EQ(last["pick"], 3);
    EXPECT_EQ(status()["on_the_clock"]["franchise"], order_[2]["franchise"]);
    nlohmann::json named = qffJson({"draft", "undo", "--league", "1", "1.1"});
    EXPECT_EQ(named["player"], 1);
    nlohmann::json clock = status()["on_the_clock"];
    EXPECT_EQ(clock["franchise"], order_[0]["franchise"]);
    EXPECT_EQ(clock["pick"], 2);
    pickNext(1);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"--league", "1", "1.9"}, 1, "qff: Pick 9 of round 1 holds no player to take back.\n"},
        {{"--league", "1", "1.30"}, 1, "qff: Round 1 has no pick 30.\n"},
        {{"--league", "1", "3"}, 2, ""},
        {{"--league", "9"}, 1, "qff: no league has the id 9\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"draft", "undo"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        RunResult refused = qff(args);
        EXPECT_EQ(refused.status, c.status) << c.args.back();
        if (!c.err.empty()) {
            EXPECT_EQ(refused.err, c.err);
        }
    }
    EXPECT_EQ(status()["picks_made"], 2);
}

TEST_F(CliDraft, TheOrderIsChangedByHandWithinTheLeaguesDraftSettings) {
    std::string first = franchiseOf(0);
    std::string name = order_[0]["franchise_name"].get<std::string>();
    RunResult once =
        qff({"draft", "order", "add", "--league", "1", "--round", "1", "--franchise", first});
    EXPECT_EQ(once.status, 1);
    EXPECT_EQ(once.err, "qff: " + name +
                            " already has a pick in round 1, and teams can only pick once per "
                            "round.\n");
    EXPECT_EQ(qffJson({"league", "set", "1", "--once-per-round", "off"})["once_per_round"], false);
    nlohmann::json added =
        qffJson({"draft", "order", "add", "--league", "1", "--round", "1", "--franchise", first});
    ASSERT_EQ(added["picks"].size(), 13u);
    EXPECT_EQ(added["picks"][12]["franchise"], order_[0]["franchise"]);
    nlohmann::json moved =
        qffJson({"draft", "order", "move", "--league", "1", "1.13", "--to", "1"});
    EXPECT_EQ(moved["picks"][0]["franchise"], order_[0]["franchise"]);
    nlohmann::json down = qffJson({"draft", "order", "move", "--league", "1", "1.2", "--down"});
    EXPECT_EQ(down["picks"][1]["franchise"], order_[1]["franchise"]);
    EXPECT_EQ(down["picks"][2]["franchise"], order_[0]["franchise"]);
    RunResult refusedOn = qff({"league", "set", "1", "--once-per-round", "on"});
    EXPECT_EQ(refusedOn.status, 1);
    EXPECT_EQ(refusedOn.err, "qff: " + name +
                                 " has 2 picks in round 1; remove all but one before teams can "
                                 "only pick once per round.\n");
    EXPECT_EQ(qffJson({"draft", "order", "remove", "--league", "1", "1.1"})["picks"].size(), 12u);
    nlohmann::json saved =
        qffJson({"league", "set", "1", "--once-per-round", "on", "--name", "Renamed"});
    EXPECT_EQ(saved["once_per_round"], true);
    EXPECT_EQ(saved["name"], "Renamed");
    RunResult tooMany = qff({"league", "set", "1", "--rounds", "40"});
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_EQ(tooMany.err, "qff: A draft has from 1 to 32 rounds, not 40.\n");
    EXPECT_EQ(qff({"league", "set", "1", "--once-per-round", "maybe"}).status, 2);
    EXPECT_EQ(qff({"draft", "order", "move", "--league", "1", "1.2"}).status, 2);
    EXPECT_EQ(qff({"draft", "order", "--seed", "3"}).status, 2);
}

}  // namespace
}  // namespace qff::test
