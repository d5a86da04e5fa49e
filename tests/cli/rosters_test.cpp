#include <algorithm>
#include <string>
#include <vector>

#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

// The demonstration season: one league of twelve franchises with sixteen
// players each, every week of the season the same roster.
class CliRosters : public CliRun {
  protected:
    void SetUp() override {
        RunResult demo = qff({"demo", "--year", "2003"});
        ASSERT_EQ(demo.status, 0) << demo.err;
    }

    nlohmann::json roster(int franchise, int week) {
        return qffJson({"roster", std::to_string(franchise), "--week", std::to_string(week)});
    }

    std::vector<int> ids(const nlohmann::json& rows) {
        std::vector<int> found;
        for (const auto& row : rows) {
            found.push_back(row["id"].get<int>());
        }
        return found;
    }

    // The first player of a position on a roster, and whether it is active.
    nlohmann::json firstOf(int franchise, int week, const std::string& position, bool active) {
        for (const auto& row : roster(franchise, week)) {
            if (row["position"] == position && row["active"] == active) {
                return row;
            }
        }
        ADD_FAILURE() << "no " << position << " on franchise " << franchise;
        return {{"id", 0}};
    }

    static bool holds(const std::vector<int>& list, int id) {
        return std::find(list.begin(), list.end(), id) != list.end();
    }
};

TEST_F(CliRosters, RosterAddAndDropChangeTheWeekAndLaterWeeksAndShowStillWorks) {
    nlohmann::json offered = qffJson({"draftable", "1", "--week", "4", "--position", "RB"});
    ASSERT_FALSE(offered.empty());
    std::string id = std::to_string(offered[0]["id"].get<int>());
    nlohmann::json added = qffJson({"roster", "add", "1", id, "--week", "4"});
    EXPECT_EQ(ids(added["changed"]), std::vector<int>{std::stoi(id)});
    EXPECT_TRUE(added["refused"].empty());
    EXPECT_TRUE(holds(ids(roster(1, 4)), std::stoi(id)));
    EXPECT_TRUE(holds(ids(roster(1, 17)), std::stoi(id)));
    EXPECT_FALSE(holds(ids(roster(1, 3)), std::stoi(id)));
    ASSERT_EQ(qff({"roster", "drop", "1", id, "--week", "4"}).status, 0);
    EXPECT_FALSE(holds(ids(roster(1, 17)), std::stoi(id)));
    RunResult shown = qff({"roster", "1", "--week", "4"});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out.rfind("Ridgeway Rams, week 4\n", 0), 0u) << shown.out;
}

TEST_F(CliRosters, DraftableLeavesOutEveryRosteredPlayerOfTheLeague) {
    std::vector<int> offered = ids(qffJson({"draftable", "1", "--week", "1"}));
    ASSERT_FALSE(offered.empty());
    for (int franchise = 1; franchise <= 12; ++franchise) {
        for (int id : ids(roster(franchise, 1))) {
            EXPECT_FALSE(holds(offered, id)) << id << " of franchise " << franchise;
        }
    }
    // Two QBs on each roster meet the default maximum of two.
    EXPECT_TRUE(qffJson({"draftable", "1", "--week", "1", "--position", "QB"}).empty());
}

TEST_F(CliRosters, ActivateAndBenchChangeFlagsFromTheWeekOn) {
    std::string bench = std::to_string(firstOf(1, 8, "RB", false)["id"].get<int>());
    std::string active = std::to_string(firstOf(1, 8, "QB", true)["id"].get<int>());
    ASSERT_EQ(qff({"activate", "1", bench, "--week", "8"}).status, 0);
    ASSERT_EQ(qff({"bench", "1", active, "--week", "8"}).status, 0);
    for (auto [week, changed] : {std::pair{7, false}, {8, true}, {12, true}}) {
        SCOPED_TRACE(week);
        for (const auto& row : roster(1, week)) {
            if (std::to_string(row["id"].get<int>()) == bench) {
                EXPECT_EQ(row["active"], changed);
            }
            if (std::to_string(row["id"].get<int>()) == active) {
                EXPECT_EQ(row["active"], !changed);
            }
        }
    }
}

struct RefusedCase {
    std::vector<std::string> args;
    const char* reason;
    const char* says;
};

TEST_F(CliRosters, PlayersLeftOutAreWarnedAboutAndFailTheCommand) {
    std::string other = std::to_string(firstOf(2, 1, "RB", false)["id"].get<int>());
    std::string own = std::to_string(firstOf(1, 1, "QB", true)["id"].get<int>());
    const RefusedCase cases[] = {
        {{"roster", "add", "1", other}, "held_elsewhere", "in the same league."},
        {{"roster", "drop", "1", other}, "not_on_roster", "is not on the roster of Ridgeway Rams."},
        {{"activate", "1", own}, "already_active", "is already active."},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.reason);
        std::vector<std::string> args{"--json"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"--week", "1"});
        RunResult run = qff(args);
        EXPECT_EQ(run.status, 1);
        nlohmann::json document = nlohmann::json::parse(run.out);
        ASSERT_EQ(document["refused"].size(), 1u);
        EXPECT_EQ(document["refused"][0]["reason"], c.reason);
        EXPECT_EQ(run.err.rfind("qff: warning: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

TEST_F(CliRosters, SwapExchangesTwoPlayersOrSaysWhyNot) {
    int mine = firstOf(1, 5, "RB", true)["id"].get<int>();
    int theirs = firstOf(2, 5, "RB", true)["id"].get<int>();
    nlohmann::json traded =
        qffJson({"swap", "--week", "5", "1", std::to_string(mine), "2", std::to_string(theirs)});
    EXPECT_EQ(traded["week"], 5);
    EXPECT_TRUE(holds(ids(roster(1, 5)), theirs));
    EXPECT_TRUE(holds(ids(roster(2, 9)), mine));
    EXPECT_TRUE(holds(ids(roster(1, 4)), mine));
    RunResult refused =
        qff({"swap", "--week", "5", "1", std::to_string(theirs), "1", std::to_string(mine)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "qff: A franchise cannot trade with itself.\n");
}

TEST_F(CliRosters, RosterCommandsNeedOneWeekAndAFranchise) {
    EXPECT_EQ(qff({"roster", "--week", "1"}).status, 2);
    EXPECT_EQ(qff({"roster", "1", "--week", "all"}).status, 2);
    EXPECT_EQ(qff({"activate", "1", "951", "--week", "all"}).status, 2);
    EXPECT_EQ(qff({"roster", "add", "1", "--week", "2"}).status, 2);
    RunResult unknown = qff({"bench", "99", "951", "--week", "2"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "qff: No franchise has the id 99.\n");
}

TEST_F(CliRosters, TradeSwapsTheDraftedPlayersOfTwoPicksOrSaysWhyNot) {
    auto pickOf = [](const nlohmann::json& picks, int franchise, int round) {
        for (const auto& pick : picks) {
            if (pick["franchise"] == franchise && pick["round"] == round) {
                return pick;
            }
        }
        return nlohmann::json{{"player", 0}};
    };
    nlohmann::json before = qffJson({"draft", "show", "--league", "1"});
    int mine = pickOf(before, 1, 3)["player"].get<int>();
    int theirs = pickOf(before, 2, 5)["player"].get<int>();
    std::string one = "1:" + std::to_string(mine);
    std::string two = "2:" + std::to_string(theirs);
    RunResult traded = qff({"trade", "--league", "1", one, two});
    ASSERT_EQ(traded.status, 0) << traded.err;
    EXPECT_NE(traded.out.find(" ] was traded to "), std::string::npos) << traded.out;
    nlohmann::json after = qffJson({"draft", "show", "--league", "1"});
    nlohmann::json tradable = qffJson({"draft", "players", "--league", "1", "--franchise", "1"});
    ASSERT_EQ(tradable.size(), 16u);
    EXPECT_EQ(tradable[0]["position"], "QB");
    EXPECT_TRUE(std::any_of(tradable.begin(), tradable.end(),
                            [&](const auto& row) { return row["id"] == theirs; }));
    EXPECT_EQ(pickOf(after, 1, 3)["player"], theirs);
    EXPECT_EQ(pickOf(after, 2, 5)["player"], mine);
    std::string own = "1:" + std::to_string(pickOf(after, 1, 1)["player"].get<int>());
    RunResult refused = qff({"trade", "--league", "1", own, "1:" + std::to_string(theirs)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "qff: A franchise cannot trade with itself.\n");
}

}  // namespace
TEST_F(CliRosters, DemoRostersComeFromItsClosedDraftWithTheFirstTenPicksStarting) {
    nlohmann::json picks = qffJson({"draft", "show", "--league", "1"});
    ASSERT_EQ(picks.size(), 192u);
    for (int franchise = 1; franchise <= 12; ++franchise) {
        std::vector<nlohmann::json> own;
        for (const auto& pick : picks) {
            if (pick["franchise"] == franchise) {
                own.push_back(pick);
            }
        }
        std::sort(own.begin(), own.end(),
                  [](const auto& a, const auto& b) { return a["round"] < b["round"]; });
        nlohmann::json rows = roster(franchise, 1);
        ASSERT_EQ(rows.size(), own.size()) << "franchise " << franchise;
        for (std::size_t i = 0; i < own.size(); ++i) {
            auto row = std::find_if(rows.begin(), rows.end(),
                                    [&](const auto& r) { return r["id"] == own[i]["player"]; });
            ASSERT_NE(row, rows.end()) << "pick of round " << own[i]["round"] << " not rostered";
            EXPECT_EQ((*row)["active"], i < 10) << "round " << own[i]["round"];
        }
    }
}

}  // namespace qff::test
