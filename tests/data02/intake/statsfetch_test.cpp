#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data02/intake/StatsFetch.h"
#include "data02/intake/StatsPublish.h"
#include "data02/intake/Statsmerge.h"
#include "tests/data02/intake/StatsSeason.h"

namespace qff {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The transfer and the unpacking are stood in for by writing the files they
// would leave; what is checked is what reaches "Download".
class StatsFetchTest : public test::StatsSeason {
  protected:
    void SetUp() override {
        test::StatsSeason::SetUp();
        writeStatistics(download("4_WK3.pts"), kYear, 2);
        test::writeText(download("4_WK3.zip"), "earlier archive");
        earlierStatistics_ = test::readBytes(download("4_WK3.pts"));
    }

    // Runs a fetch of week 3 through to its end; `unpack` writes what the
    // archive held.
    std::unique_ptr<WeekFetch> fetchWeek3(bool transferOk, bool unpackOk,
                                          const std::function<void(const fs::path&)>& unpack) {
        auto fetch = std::make_unique<WeekFetch>(context(), 3, "4_wk3.zip");
        EXPECT_EQ(fetch->status(), FetchStatus::Waiting);
        EXPECT_TRUE(fetch->begin());
        EXPECT_EQ(fetch->status(), FetchStatus::GettingFile);
        test::writeText(fetch->archivePath(), "new archive");
        if (fetch->transferred(transferOk, "550 No such file.")) {
            EXPECT_EQ(fetch->status(), FetchStatus::Extracting);
            unpack(fetch->unpackFolder());
            fetch->unpacked(unpackOk, "Wrong password provided");
        }
        return fetch;
    }

    void expectEarlierFilesKept() {
        EXPECT_EQ(test::readBytes(download("4_WK3.pts")), earlierStatistics_);
        EXPECT_EQ(test::readText(download("4_WK3.zip")), "earlier archive");
        EXPECT_THAT(test::filesBelow(dir_ / "Download"), ElementsAre("4_WK3.pts", "4_WK3.zip"));
    }

    std::vector<std::uint8_t> earlierStatistics_;
};

TEST_F(StatsFetchTest, ACompleteWeekReplacesTheEarlierFiles) {
    auto fetch = fetchWeek3(true, true, [this](const fs::path& folder) {
        writeStatistics(folder / "4_wk3.PTS", kYear, 2);
        test::writeText(folder / "readme.txt", "not ours");
    });
    EXPECT_EQ(fetch->status(), FetchStatus::Success) << fetch->message();
    EXPECT_THAT(fetch->message(), IsEmpty());
    EXPECT_EQ(fetch->statisticsPath(), download("4_WK3.pts"));
    EXPECT_EQ(test::readText(download("4_WK3.zip")), "new archive");
    EXPECT_THAT(test::filesBelow(dir_ / "Download"), ElementsAre("4_WK3.pts", "4_WK3.zip"));
}

TEST_F(StatsFetchTest, AFailedWeekLeavesTheEarlierFilesAndSaysWhy) {
    struct Case {
        const char* what;
        bool transferOk;
        bool unpackOk;
        std::function<void(StatsFetchTest&, const fs::path&)> unpack;
        std::string message;
    };
    auto nothing = [](StatsFetchTest&, const fs::path&) {};
    const std::vector<Case> cases{
        {"transfer", false, true, nothing,
         "The statistics of week 3 could not be downloaded: 550 No such file."},
        {"unpacking", true, false, nothing,
         "The statistics archive 4_wk3.zip could not be unpacked: Wrong password provided"},
        {"no statistics file", true, true, nothing,
         "The statistics archive 4_wk3.zip holds no statistics file 4_WK3.pts."},
        {"other season", true, true,
         [](StatsFetchTest& t, const fs::path& f) { t.writeStatistics(f / "4_WK3.pts", 2003, 2); },
         "Merging stats from 2003 into the 2004 season is not allowed."},
        {"other week", true, true,
         [](StatsFetchTest& t, const fs::path& f) { t.writeStatistics(f / "4_WK3.pts", kYear, 3); },
         "The statistics file 4_WK3.pts holds statistics of another week than week 3."},
        {"roster update", true, true,
         [](StatsFetchTest& t, const fs::path& f) {
             t.writeStatistics(f / "4_WK3.pts", kYear, kRosterWeek);
         },
         "The statistics file 4_WK3.pts holds statistics of another week than week 3."},
        {"damaged", true, true,
         [](StatsFetchTest&, const fs::path& f) { test::writeText(f / "4_WK3.pts", "garbage"); },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto fetch = fetchWeek3(c.transferOk, c.unpackOk,
                                [&](const fs::path& folder) { c.unpack(*this, folder); });
        EXPECT_EQ(fetch->status(), FetchStatus::Failure);
        if (c.message.empty()) {
            EXPECT_THAT(fetch->message(),
                        ::testing::StartsWith("The statistics file 4_WK3.pts is damaged: "));
        } else {
            EXPECT_EQ(fetch->message(), c.message);
        }
        expectEarlierFilesKept();
    }
}

TEST_F(StatsFetchTest, AnAbandonedWeekLeavesNothingBehind) {
    {
        WeekFetch fetch(context(), 3, "4_wk3.zip");
        ASSERT_TRUE(fetch.begin());
        test::writeText(fetch.archivePath(), "half an archive");
    }
    expectEarlierFilesKept();
}

TEST_F(StatsFetchTest, AnUnsafeRemoteNameIsNeverFetched) {
    WeekFetch fetch(context(), 3, "../4_wk3.zip");
    EXPECT_FALSE(fetch.begin());
    EXPECT_EQ(fetch.message(), "NFL Statistics are not available for Week #3.");
    expectEarlierFilesKept();
}

TEST_F(StatsFetchTest, StatusTexts) {
    EXPECT_STREQ(fetchStatusText(FetchStatus::Waiting), "Waiting");
    EXPECT_STREQ(fetchStatusText(FetchStatus::GettingFile), "Getting File");
    EXPECT_STREQ(fetchStatusText(FetchStatus::Extracting), "Extracting");
    EXPECT_STREQ(fetchStatusText(FetchStatus::Success), "Success");
    EXPECT_STREQ(fetchStatusText(FetchStatus::Failure), "Failure");
}

class RosterFetchTest : public test::StatsSeason {};

TEST_F(RosterFetchTest, TheUpdateArrivesOnlyWhenItIsOfTheSeason) {
    writeStatistics(download("Update4.ros"), kYear, kRosterWeek);
    std::vector<std::uint8_t> earlier = test::readBytes(download("Update4.ros"));
    struct Case {
        bool transferOk;
        int year;
        int weekField;
        std::string message;
    };
    for (const Case& c :
         {Case{false, kYear, kRosterWeek,
               "An update has not been published for the 2004 NFL rosters.\n\n"
               "If you find player information that is out of date, please tell the person who "
               "runs your statistics server.\n\n"
               "If a player is missing from your database, please report his name, NFL team and "
               "position to the same person."},
          Case{true, 2003, kRosterWeek,
               "Merging stats from 2003 into the 2004 season is not allowed."},
          Case{true, kYear, 4,
               "The roster update Update4.ros holds weekly statistics, not rosters."}}) {
        SCOPED_TRACE(c.message);
        RosterFetch fetch(context());
        EXPECT_EQ(fetch.remoteName(), "Update4.ros");
        ASSERT_TRUE(fetch.begin());
        writeStatistics(fetch.stagedPath(), c.year, c.weekField);
        EXPECT_FALSE(fetch.transferred(c.transferOk));
        EXPECT_EQ(fetch.message(), c.message);
        EXPECT_EQ(test::readBytes(download("Update4.ros")), earlier);
        EXPECT_FALSE(fs::exists(fetch.stagedPath()));
    }
    RosterFetch fetch(context());
    ASSERT_TRUE(fetch.begin());
    writeStatistics(fetch.stagedPath(), kYear, kRosterWeek);
    test::writeText(download("Update4.ros"), "older");
    ASSERT_TRUE(fetch.transferred(true)) << fetch.message();
    EXPECT_EQ(fetch.localPath(), download("Update4.ros"));
    EXPECT_EQ(test::readBytes(download("Update4.ros")), earlier);
}

TEST_F(RosterFetchTest, ResultsListAddedPlayersByPositionThenName) {
    test::addPlayer(context(), 501, home(), kWR, "Young, Al");
    test::addPlayer(context(), 502, home(), kQB, "Zorn, Bo");
    test::addPlayer(context(), 503, away(), kQB, "Able, Cy");
    MergeReport merged;
    merged.newPlayerIds = {501, 502, 999, 503};
    std::vector<int> ids;
    for (const Player* player : rosterUpdateResults(context(), merged)) {
        ids.push_back(player->id());
    }
    EXPECT_THAT(ids, ElementsAre(503, 502, 501));
}

class StatsPublishTest : public test::StatsSeason {};

TEST_F(StatsPublishTest, OnlyFilesTheDownloadAcceptsArePublished) {
    writeStatistics(download("4_WK1.pts"), kYear, 0);
    writeStatistics(download("4_wk2.PTS"), kYear, 1);
    writeStatistics(download("4_WK3.pts"), 2003, 2);
    writeStatistics(download("4_WK4.pts"), kYear, 7);
    writeStatistics(download("Update4.ros"), kYear, kRosterWeek);
    PublishPlan plan = planPublish(context());
    ASSERT_EQ(plan.weeks.size(), 2u);
    EXPECT_EQ(plan.weeks[0].week, 1);
    EXPECT_EQ(plan.weeks[0].archiveName, "4_wk1.zip");
    EXPECT_EQ(plan.weeks[1].statistics, download("4_wk2.PTS"));
    EXPECT_EQ(plan.weeks[1].archiveName, "4_wk2.zip");
    EXPECT_THAT(plan.leftOut,
                ElementsAre("Merging stats from 2003 into the 2004 season is not allowed.",
                            "The statistics file 4_WK4.pts holds statistics of another week than "
                            "week 4."));
    EXPECT_EQ(plan.rosterUpdate, download("Update4.ros"));

    std::string error;
    fs::path site = dir_ / "site" / "web";
    ASSERT_TRUE(preparePublishFolder(site, error)) << error;
    ASSERT_TRUE(publishRosterUpdate(plan, site, error)) << error;
    EXPECT_EQ(test::readBytes(site / "Update4.ros"), test::readBytes(download("Update4.ros")));
    EXPECT_THAT(test::filesBelow(site), ElementsAre("Update4.ros"));
}

}  // namespace
}  // namespace qff
