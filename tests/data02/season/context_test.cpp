#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::readText;
using test::TempDir;
using test::writeText;
using ::testing::HasSubstr;

// 2011-06-15 12:00 UTC: any local time zone still places it in 2011.
constexpr std::time_t kMid2011 = 1308139200;

SeasonEnv envAt(const TempDir& dir) {
    return SeasonEnv{dir.path(), [] { return kMid2011; }};
}

TEST(CalendarYearTest, TakesCurYearBinWhenItHoldsARecentYear) {
    struct Case {
        const char* content;
        int year;
    };
    for (const Case& c : {Case{"2003\n", 2003}, Case{"2003\r\n", 2003}, Case{"2024", 2024},
                          Case{"2002\nsecond line", 2002}, Case{"1999\n", 2011},
                          Case{"2001\n", 2011}, Case{"", 2011}, Case{"season\n", 2011},
                          Case{"99999999999999999999\n", 2011}, Case{"\n2005\n", 2011}}) {
        TempDir dir;
        writeText(dir / "CurYear.bin", c.content);
        EXPECT_EQ(calendarSeasonYear(envAt(dir)), c.year) << c.content;
    }
    TempDir empty;
    EXPECT_EQ(calendarSeasonYear(envAt(empty)), 2011);
}

TEST(CalendarYearTest, PassesOverACurYearBinThatIsNoSmallRegularFile) {
    TempDir fifo;
    ASSERT_EQ(mkfifo((fifo / "CurYear.bin").c_str(), 0600), 0);
    TempDir huge;
    writeText(huge / "CurYear.bin", "2005");
    std::filesystem::resize_file(huge / "CurYear.bin", std::uintmax_t{1} << 30);
    TempDir folder;
    std::filesystem::create_directory(folder / "CurYear.bin");

    for (const TempDir* dir : {&fifo, &huge, &folder}) {
        EXPECT_EQ(calendarSeasonYear(envAt(*dir)), 2011) << dir->path();
    }
}

TEST(ContextTest, CleanRunLeavesNothingUnreleased) {
    TempDir dir;
    {
        std::string error;
        auto context = Singleton::create(envAt(dir), error);
        ASSERT_TRUE(context) << error;
        EXPECT_EQ(context->calendarYear(), 2011);
        EXPECT_EQ(context->memory().hits(Kind::StrBuf), 1);
        EXPECT_EQ(context->memory().hits(Kind::StickyStruct), 32);
        ASSERT_EQ(context->preferences().load(), 0);
        ASSERT_EQ(context->seasonState().open(2010), 0);
    }
    std::string report = readText(dir / "mem_log.txt");
    EXPECT_THAT(report, HasSubstr("StrBuf              | 1\n"));
    EXPECT_THAT(report, HasSubstr("PrefStruct          | 1\n"));
    EXPECT_THAT(report, HasSubstr(" NONE: All allocated memory was properly cleaned up!!!\n"));
    EXPECT_FALSE(std::filesystem::exists(dir / "prof_log.txt"));
}

TEST(ContextTest, TeardownSavesPreferencesAndRememberedSettings) {
    TempDir dir;
    {
        std::string error;
        auto context = Singleton::create(envAt(dir), error);
        ASSERT_EQ(context->preferences().load(), 0);
        context->preferences().set(8010, 50);
        context->sticky().setInt(10009, 77);
    }
    std::string error;
    auto context = Singleton::create(envAt(dir), error);
    ASSERT_EQ(context->preferences().load(), 0);
    EXPECT_EQ(context->preferences().get(8010), 50);
    EXPECT_EQ(context->sticky().getInt(10009), 77);
}

TEST(ContextTest, ANewContextHasNewMembersAndTheSameCalendarYear) {
    TempDir dir;
    writeText(dir / "CurYear.bin", "2004\n");
    std::string error;
    auto first = Singleton::create(envAt(dir), error);
    ASSERT_TRUE(first);
    first.reset();
    auto second = Singleton::create(envAt(dir), error);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->calendarYear(), 2004);
    EXPECT_EQ(second->memory().hits(Kind::Preferences), 1);
}

TEST(ContextTest, ProfilerWritesItsReportOnlyWhenSwitchedOn) {
    TempDir dir;
    {
        SeasonEnv env = envAt(dir);
        env.profiling = true;
        std::string error;
        auto context = Singleton::create(env, error);
        ASSERT_TRUE(context->profile());
        context->profile()->hit("openSeason");
    }
    EXPECT_THAT(readText(dir / "prof_log.txt"), HasSubstr("openSeason"));
}

TEST(ContextTest, SeasonStateOpensAnotherSeasonOnTheSameObject) {
    TempDir dir;
    std::string error;
    auto context = Singleton::create(envAt(dir), error);
    SeasonState& state = context->seasonState();
    ASSERT_EQ(state.open(2003), 0);
    ASSERT_EQ(state.set(kCurrentWeek, 4), 0);
    ASSERT_EQ(state.open(2004), 0);
    EXPECT_EQ(state.get(kCurrentWeek), 0);
    ASSERT_EQ(state.open(2003), 0);
    EXPECT_EQ(state.get(kCurrentWeek), 4);
}

}  // namespace
}  // namespace qff
