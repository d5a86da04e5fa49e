#include <gtest/gtest.h>

#include <fstream>

#include "data02/shell/Desk.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::TempDir;

TEST(Desk, ScreenWidthClasses) {
    const std::pair<int, int> cases[] = {{640, 0},  {800, 1},  {960, 2}, {1024, 3}, {1152, 4},
                                         {1280, 5}, {1600, 6}, {720, 1}, {801, 6}};
    for (auto [width, expected] : cases) {
        EXPECT_EQ(screenWidthClass(width), expected) << width;
    }
}

TEST(Desk, ActivitiesOfOneSeasonsFranchisesGiveWayAfterASwitch) {
    struct Case {
        int section;
        int activity;
        int expected;
    };
    const Case cases[] = {{1, 7, 6},  {1, 10, 6},  {1, 11, 11}, {2, 8, 0}, {2, 14, 0},
                          {2, 16, 0}, {2, 13, 13}, {2, 15, 15}, {0, 1, 1}, {3, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(activityAfterSeasonSwitch(c.section, c.activity), c.expected)
            << c.section << "/" << c.activity;
    }
}

TEST(Desk, AWorkingDirectoryMustBeAWritableFolder) {
    TempDir dir;
    EXPECT_EQ(workdirProblem(dir.path()), "");
    EXPECT_NE(workdirProblem(dir / "missing").find("does not exist"), std::string::npos);
    std::ofstream(dir / "file") << "x";
    EXPECT_NE(workdirProblem(dir / "file").find("is not a directory"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / ".quillmar-write-probe"));
}

}  // namespace
}  // namespace qff
