#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

constexpr int kYear = 2003;
constexpr int kFranchise = 1;

// The demonstration season with its first two weeks merged and counted.
class CliResults : public CliRun {
  protected:
    void SetUp() override {
        RunResult demo = qff({"demo", "--year", std::to_string(kYear), "--weeks", "2"});
        ASSERT_EQ(demo.status, 0) << demo.err;
    }

    // Bonuses stored straight in the franchise record, as a damaged or
    // hand-made file may hold them; qff itself refuses such values.
    void storeBonuses(const std::vector<int>& weekly) {
        std::string error;
        std::unique_ptr<Singleton> season = Singleton::create(SeasonEnv{dir_.path()}, error);
        ASSERT_TRUE(season) << error;
        ASSERT_EQ(season->preferences().load(), kOk);
        ASSERT_TRUE(openSeason(*season, kYear).opened);
        Team* team = season->mapFactory().franchises().findFirst(kFranchiseId, kFranchise);
        ASSERT_NE(team, nullptr);
        for (std::size_t week = 0; week < weekly.size(); ++week) {
            ASSERT_EQ(team->setBonus(static_cast<int>(week), weekly[week]), kOk);
        }
        ASSERT_EQ(team->save(), kOk);
    }

    nlohmann::json standingOf(int franchise) {
        for (const auto& row : qffJson({"standings", "--league", "1"})) {
            if (row["franchise"] == franchise) {
                return row;
            }
        }
        ADD_FAILURE() << "no standing for franchise " << franchise;
        return {};
    }
};

TEST_F(CliResults, BonusOutsideWhatAWeekCanScoreIsRefusedAndNotStored) {
    nlohmann::json before = standingOf(kFranchise);
    const char* refused[] = {"10001", "-10001", "2000000000"};
    for (const char* value : refused) {
        RunResult run = qff({"bonus", std::to_string(kFranchise), value, "--week", "1"});
        EXPECT_EQ(run.status, 1) << value;
        EXPECT_EQ(run.err, "qff: A bonus lies between -10000 and 10000 points.\n") << value;
        EXPECT_EQ(run.out, "") << value;
    }
    EXPECT_EQ(standingOf(kFranchise), before);

    nlohmann::json set = qffJson({"bonus", std::to_string(kFranchise), "-10000", "--week", "1"});
    EXPECT_EQ(set["bonus"], -10000);
    EXPECT_EQ(standingOf(kFranchise)["points_for"], before["points_for"].get<int>() - 10000);
}

TEST_F(CliResults, SeasonTotalsBeyondAnIntAreShownInFull) {
    storeBonuses({2'000'000'000, 2'000'000'000});
    std::int64_t pointsFor = standingOf(kFranchise)["points_for"].get<std::int64_t>();
    EXPECT_GT(pointsFor, 4'000'000'000);
    RunResult plain = qff({"standings", "--league", "1"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find(" " + std::to_string(pointsFor) + " "), std::string::npos)
        << plain.out;
    EXPECT_EQ(plain.out.find(" -"), std::string::npos) << "no total wrapped round:\n" << plain.out;
}

}  // namespace
}  // namespace qff::test
