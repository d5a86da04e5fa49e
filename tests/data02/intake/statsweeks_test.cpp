#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "data02/intake/StatsWeeks.h"
#include "data02/intake/Statsmerge.h"
#include "data02/season/State.h"
#include "data02/storage/Weeks.h"
#include "tests/data02/intake/StatsSeason.h"

namespace qff {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(StatsNamesTest, SeasonNumberWithoutLeadingZero) {
    struct Case {
        int year;
        int week;
        const char* statistics;
        const char* archive;
        const char* published;
        const char* roster;
    };
    for (const Case& c :
         {Case{2004, 12, "4_WK12.pts", "4_WK12.zip", "4_wk12.zip", "Update4.ros"},
          Case{2003, 1, "3_WK1.pts", "3_WK1.zip", "3_wk1.zip", "Update3.ros"},
          Case{1999, 3, "99_WK3.pts", "99_WK3.zip", "99_wk3.zip", "Update99.ros"},
          Case{2014, 7, "14_WK7.pts", "14_WK7.zip", "14_wk7.zip", "Update14.ros"}}) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(weekStatisticsName(c.year, c.week), c.statistics);
        EXPECT_EQ(weekArchiveName(c.year, c.week), c.archive);
        EXPECT_EQ(publishedArchiveName(c.year, c.week), c.published);
        EXPECT_EQ(rosterUpdateName(c.year), c.roster);
    }
    EXPECT_EQ(rosterUpdateName(1800), "");
}

TEST(StatsNamesTest, ListedNamesGiveTheirWeekOnlyForTheSeason) {
    struct Case {
        const char* name;
        int year;
        std::optional<int> week;
    };
    const std::vector<Case> cases{
        {"4_wk12.zip", 2004, 12},
        {"4_WK12.ZIP", 2004, 12},
        {"4_wk1.zip", 2004, 1},
        {"4_wk17.zip", 2004, 17},
        {"4_wk012.zip", 2004, std::nullopt},
        {"4_wk18.zip", 2004, std::nullopt},
        {"4_wk0.zip", 2004, std::nullopt},
        {"4_wk.zip", 2004, std::nullopt},
        {"4_wk1x.zip", 2004, std::nullopt},
        {"4_wk12.pts", 2004, std::nullopt},
        {"4_wk12.zip.partial", 2004, std::nullopt},
        {"3_wk12.zip", 2004, std::nullopt},
        {"14_wk12.zip", 2004, std::nullopt},
        {"4_wk12.zip", 2014, std::nullopt},
        {"x4_wk12.zip", 2004, std::nullopt},
        {"Update4.ros", 2004, std::nullopt},
        {"99_wk3.zip", 1999, 3},
        {"../4_wk12.zip", 2004, std::nullopt},
        {"4_wk12..zip", 2004, std::nullopt},
        {"4_wk12\n.zip", 2004, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(listedWeek(c.name, c.year), c.week);
    }
}

TEST(StatsNamesTest, RemoteNamesThatCouldLeaveTheFolderAreUnsafe) {
    for (const char* unsafe : {"", ".", "..", "a/b.zip", "/4_wk1.zip", "a\\b.zip", "..zip",
                               "4_wk1.zip\r", "4_wk\x1b[2J1.zip", "del\x7f.zip"}) {
        SCOPED_TRACE(unsafe);
        EXPECT_FALSE(isSafeRemoteName(unsafe));
    }
    for (const char* safe : {"4_wk1.zip", "4_WK12.ZIP", "statistics week 3.zip", ".hidden"}) {
        EXPECT_TRUE(isSafeRemoteName(safe)) << safe;
    }
}

TEST(StatsWeekMapTest, OffersEachWeekOfTheSeasonUnderOneName) {
    const std::vector<std::string> listing{"4_wk12.zip", "4_wk3.zip",  "3_wk5.zip",  "4_wk4.pts",
                                           "4_WK3.zip",  "4_wk25.zip", "a/4_wk6.zip"};
    WeekMap map(2004, listing);
    EXPECT_EQ(map.weeks(), 17);
    EXPECT_EQ(map.remoteName(12), "4_wk12.zip");
    // Upper case comes first in byte order.
    EXPECT_EQ(map.remoteName(3), "4_WK3.zip");
    for (int week : {1, 4, 5, 6, 17, 0, 18, 25}) {
        EXPECT_FALSE(map.available(week)) << week;
        EXPECT_EQ(map.remoteName(week), "") << week;
    }
}

std::vector<WeekRow> sampleRows() {
    return {{1, Availability::Yes, true, MergeState::FullyMerged, "4_wk1.zip"},
            {2, Availability::Yes, true, MergeState::MondayMissing, "4_wk2.zip"},
            {3, Availability::Yes, false, MergeState::NotMerged, "4_wk3.zip"},
            {4, Availability::No, false, MergeState::NotMerged, ""},
            {5, Availability::Unknown, false, MergeState::NotMerged, ""}};
}

TEST(StatsQueueTest, ChoicesQueueOfferedWeeks) {
    std::vector<WeekRow> rows = sampleRows();
    EXPECT_THAT(queueDownloads(rows, DownloadChoice::Unmerged).weeks, ElementsAre(2, 3));
    EXPECT_THAT(queueDownloads(rows, DownloadChoice::All).weeks, ElementsAre(1, 2, 3));
    EXPECT_THAT(queueDownloads(rows, DownloadChoice::Week, 1).weeks, ElementsAre(1));
    EXPECT_THAT(queueDownloads(rows, DownloadChoice::Week, 1).message, IsEmpty());
}

TEST(StatsQueueTest, AWeekNotOfferedQueuesNothingAndSaysSo) {
    std::vector<WeekRow> rows = sampleRows();
    for (int week : {4, 5, 0, 30}) {
        DownloadQueue queue = queueDownloads(rows, DownloadChoice::Week, week);
        EXPECT_THAT(queue.weeks, IsEmpty());
        EXPECT_EQ(queue.message,
                  "NFL Statistics are not available for Week #" + std::to_string(week) + ".");
    }
}

TEST(StatsQueueTest, RowTexts) {
    std::vector<WeekRow> rows = sampleRows();
    EXPECT_EQ(fileNameText(rows[0]), "4_wk1.zip");
    EXPECT_EQ(fileNameText(rows[3]), "NO FTP");
    EXPECT_STREQ(availabilityText(rows[3].available), "No");
    EXPECT_STREQ(availabilityText(rows[4].available), "N/A");
}

class StatsRowsTest : public test::StatsSeason {};

TEST_F(StatsRowsTest, MergeStateFollowsTheFlagAndTheMondayGame) {
    EXPECT_EQ(mergeState(context(), 1), MergeState::NotMerged);
    ASSERT_EQ(context().seasonState().setWeekHasStats(0, 1), 0);
    // Neither Monday team shows pass yards: Monday's game is missing.
    EXPECT_EQ(mergeState(context(), 1), MergeState::MondayMissing);
    setQuarterbackYards(away(), 1, 210);
    EXPECT_EQ(mergeState(context(), 1), MergeState::FullyMerged);
}

TEST_F(StatsRowsTest, AWeekWithoutMondayGameIsNeverFullyMerged) {
    setQuarterbackYards(home(), 2, 180);
    setQuarterbackYards(away(), 2, 230);
    EXPECT_EQ(mergeState(context(), 2), MergeState::NotMerged);
    ASSERT_EQ(context().seasonState().setWeekHasStats(1, 1), 0);
    EXPECT_EQ(mergeState(context(), 2), MergeState::MondayMissing);
}

TEST_F(StatsRowsTest, MondayMissingWeeksAreQueuedAgainAsUnmerged) {
    ASSERT_EQ(context().seasonState().setWeekHasStats(0, 1), 0);
    ASSERT_EQ(context().seasonState().setWeekHasStats(2, 1), 0);
    setQuarterbackYards(home(), 3, 200);
    std::vector<std::string> listing{"4_wk1.zip", "4_wk3.zip", "4_wk5.zip"};
    WeekMap map(kYear, listing);
    std::vector<WeekRow> rows = weekRows(context(), &map);
    EXPECT_THAT(queueDownloads(rows, DownloadChoice::Unmerged).weeks, ElementsAre(1, 3, 5));
}

TEST_F(StatsRowsTest, RowsShowEveryWeekOfTheSeason) {
    std::filesystem::create_directories(dir_ / "Download");
    test::writeText(download("4_wk3.PTS"), "x");
    test::writeText(download("4_WK5.zip"), "x");
    std::vector<std::string> listing{"4_wk3.zip", "3_wk4.zip"};
    WeekMap map(kYear, listing);
    std::vector<WeekRow> rows = weekRows(context(), &map);
    ASSERT_EQ(rows.size(), 17u);
    EXPECT_EQ(rows[2].week, 3);
    EXPECT_EQ(rows[2].available, Availability::Yes);
    EXPECT_EQ(rows[2].remoteName, "4_wk3.zip");
    EXPECT_TRUE(rows[2].downloaded);
    EXPECT_EQ(rows[3].available, Availability::No);
    EXPECT_FALSE(rows[3].downloaded);
    EXPECT_TRUE(rows[4].downloaded);
    for (const WeekRow& row : weekRows(context(), nullptr)) {
        EXPECT_EQ(row.available, Availability::Unknown);
        EXPECT_EQ(row.merged, MergeState::NotMerged);
    }
}

TEST_F(StatsRowsTest, AMergedWeekBecomesTheViewedWeekUnlessTheSeasonIsViewed) {
    MergeReport merged;
    merged.opened = true;
    merged.week = 0;
    ASSERT_EQ(context().seasonState().setWeekHasStats(0, 1), 0);
    ASSERT_EQ(context().seasonState().set(kViewWeek, 5), 0);
    EXPECT_EQ(noteMergedWeek(context(), merged), MergeState::MondayMissing);
    EXPECT_EQ(context().seasonState().peek(kViewWeek), 0);

    ASSERT_EQ(context().seasonState().set(kViewWeek, kAllWeeks), 0);
    EXPECT_EQ(noteMergedWeek(context(), merged), MergeState::MondayMissing);
    EXPECT_EQ(context().seasonState().peek(kViewWeek), kAllWeeks);

    merged.week.reset();
    EXPECT_EQ(noteMergedWeek(context(), merged), std::nullopt);
}

}  // namespace
}  // namespace qff
