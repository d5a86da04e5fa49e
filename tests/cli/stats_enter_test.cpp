#include <string>
#include <vector>

#include "data02/model/Player.h"
#include "data02/storage/Ptsfile.h"
#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

// A 2004 season whose week 3 holds two Atlanta receivers, merged from a file,
// and a Buffalo receiver who shares a name with one of them.
class CliStats : public CliRun {
  protected:
    void SetUp() override {
        ASSERT_EQ(qff({"season", "new", "--year", "2004"}).status, 0);
        ASSERT_EQ(qff({"open", "--year", "2004"}).status, 0);
        std::vector<PtsRecord> records = {
            {"Wide One", 0, kWR, 200, 2, {{37, 4}, {kReceivingYards, 50}, {39, 12}}},
            {"Wide Two", 0, kWR, 201, 2, {{37, 2}, {kReceivingYards, 20}, {39, 5}}},
            {"Wide Two", 1, kWR, 301, 2, {{kReceivingYards, 9}}},
        };
        std::string error;
        ASSERT_EQ(writePtsFile(dir_ / "4_WK3.pts", 2004, records, error), 0) << error;
        ASSERT_EQ(qff({"merge", (dir_ / "4_WK3.pts").string()}).status, 0);
    }

    std::vector<std::uint8_t> playerFile() const { return readBytes(dir_ / "Plyr_04.DB"); }
};

TEST_F(CliStats, EntersAReceiversWeekAndHisUnitFollows) {
    nlohmann::json entered =
        qffJson({"stats", "enter", "200", "--week", "3", "38=80", "39=40", "5=-2"});

    EXPECT_EQ(entered["id"], 200);
    EXPECT_EQ(entered["week"], 3);
    EXPECT_EQ(entered["values"]["38"], 80);
    EXPECT_EQ(entered["values"]["39"], 40);
    EXPECT_EQ(entered["values"]["5"], -2);
    EXPECT_EQ(entered["unit"]["id"], 10012);
    EXPECT_EQ(entered["unit"]["values"]["38"], 100);
    EXPECT_EQ(entered["unit"]["values"]["39"], 5);
    EXPECT_EQ(entered["unit"]["values"]["40"], 40);
    nlohmann::json unit = qffJson({"player", "10012", "--week", "3"});
    EXPECT_EQ(unit["38"], 100);
    EXPECT_EQ(unit["37"], 6);
    EXPECT_EQ(unit["5"], 0);
}

TEST_F(CliStats, NamesThePlayerByAnUnsharedNameAndPrintsWhatIsStored) {
    RunResult run = qff({"stats", "enter", "Wide One", "--week", "3", "38=51"});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Week 3 of [Atl-WR] Wide One (id 200) is stored:\n"
              "  37   Catches                         4\n"
              "  38   Receiving yards                 51\n"
              "  39   Receiving touchdown 1           12\n"
              "Atlanta Falcons WR (id 10012) now holds:\n"
              "  37   Catches                         6\n"
              "  38   Receiving yards                 71\n"
              "  39   Receiving touchdown 1           12\n"
              "  40   Receiving touchdown 2           5\n");
}

struct Refused {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* err;
};

TEST_F(CliStats, RefusesWhatItCannotStoreAndLeavesThePlayerFileAlone) {
    const Refused cases[] = {
        {"a shared name",
         {"Wide Two", "--week", "3", "38=1"},
         1,
         "qff: 2 players are named Wide Two (ids 201, 301); give the id of one\n"},
        {"an unknown id", {"999", "--week", "3", "38=1"}, 1, "qff: no player has the id 999\n"},
        {"a value out of range",
         {"200", "--week", "3", "37=300"},
         1,
         "qff: Catches must lie between 0 and 127.\n"},
        {"a code of the defense",
         {"200", "--week", "3", "76=300"},
         1,
         "qff: Code 76 is not among the statistics entered for [Atl-WR] Wide One.\n"},
        {"a summing unit",
         {"10012", "--week", "3", "38=1"},
         1,
         "qff: Atlanta Falcons WR is a team unit that carries the sums of its players; enter the "
         "statistics of the players instead.\n"},
        {"a week past the season",
         {"200", "--week", "18", "38=1"},
         1,
         "qff: Statistics are entered for weeks 1 to 17 of the season.\n"},
        {"a pair without a value",
         {"200", "--week", "3", "38"},
         2,
         "qff: a value is given as CODE=VALUE with whole numbers, not \"38\" (see qff --help)\n"},
        {"a code given twice",
         {"200", "--week", "3", "38=1", "38=2"},
         2,
         "qff: code 38 is given twice (see qff --help)\n"},
    };
    std::vector<std::uint8_t> before = playerFile();
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"stats", "enter"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        RunResult run = qff(args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(playerFile(), before);
    }
}

}  // namespace
}  // namespace qff::test
