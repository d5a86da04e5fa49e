#include <gtest/gtest.h>

#include "cli/Arguments.h"

namespace qff::cli {
namespace {

TEST(CliArguments, WeeksCountFromOneOrNameTheWholeSeason) {
    struct Case {
        const char* text;
        bool valid;
        bool wholeSeason;
        int index;
    };
    const Case cases[] = {
        {"1", true, false, 0},  {"17", true, false, 16},  {"all", true, true, 0},
        {"0", false, false, 0}, {"-2", false, false, 0},  {"3x", false, false, 0},
        {"", false, false, 0},  {"ALL", false, false, 0},
    };
    for (const Case& c : cases) {
        std::optional<WeekChoice> week = parseWeek(c.text);
        ASSERT_EQ(week.has_value(), c.valid) << c.text;
        if (week) {
            EXPECT_EQ(week->wholeSeason, c.wholeSeason) << c.text;
            EXPECT_EQ(week->index, c.index) << c.text;
        }
    }
}

TEST(CliArguments, IntegersMustBeWholeAndFit) {
    EXPECT_EQ(parseInteger("15"), 15);
    EXPECT_EQ(parseInteger("-5"), -5);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    for (const char* text : {"2147483648", " 1", "1 ", "+1", "0x10", "1.5", ""}) {
        EXPECT_FALSE(parseInteger(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace qff::cli
