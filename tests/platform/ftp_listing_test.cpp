#include <gtest/gtest.h>

#include "qff/platform/ftp_listing.h"

namespace qff::platform {
namespace {

using namespace std::chrono;

TEST(FtpListingTest, NamesThatCouldLeaveALocalDirectoryAreRefused) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"roster.csv", "roster.csv"},
        {"week 1..3.txt", "week 1..3.txt"},
        {"stats/2024/week.csv", "week.csv"},
        {"/pub/roster.csv", "roster.csv"},
        {"../x", std::nullopt},
        {"a/../x", std::nullopt},
        {"..", std::nullopt},
        {".", std::nullopt},
        {"", std::nullopt},
        {"dir/", std::nullopt},
        {"..\\x", std::nullopt},
        {"a\\b", std::nullopt},
        {"bad\nname", std::nullopt},
        {"bad\rname", std::nullopt},
        {std::string("nul\0name", 8), std::nullopt},
    };
    for (const auto& [raw, expected] : cases) {
        EXPECT_EQ(safeListingName(raw), expected) << raw;
    }
}

TEST(FtpListingTest, MachineReadableLines) {
    const auto file = parseMlsdLine("type=file;size=1234;modify=20240305130405;perm=r; week 1.csv");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->name, "week 1.csv");
    EXPECT_EQ(file->size, 1234u);
    EXPECT_FALSE(file->isDirectory);
    EXPECT_EQ(file->modified, sys_days{2024y / March / 5} + 13h + 4min + 5s);

    const auto dir = parseMlsdLine("Type=dir;Modify=20231231235959.123; archive");
    ASSERT_TRUE(dir);
    EXPECT_TRUE(dir->isDirectory);
    EXPECT_EQ(dir->modified, sys_days{2023y / December / 31} + 23h + 59min + 59s);

    for (const char* skipped : {"type=cdir; .", "type=pdir; ..", "type=file;size=3; ../x",
                                "no-facts-or-blank", "type=file;size=3; bad\\name"}) {
        EXPECT_FALSE(parseMlsdLine(skipped)) << skipped;
    }
}

TEST(FtpListingTest, ClassicListLines) {
    struct Case {
        const char* line;
        const char* name;
        std::uint64_t size;
        bool isDirectory;
    };
    const std::vector<Case> cases = {
        {"-rw-r--r--   1 owner group   1234 Jan 01 12:00 week 1.csv", "week 1.csv", 1234, false},
        {"drwxr-xr-x   2 owner group   4096 Mar  5  2023 archive", "archive", 4096, true},
        {"lrwxrwxrwx   1 owner group     10 Mar  5  2023 latest -> week 1.csv", "latest", 10,
         false},
        {"03-05-24  01:04PM                 2048 roster.csv", "roster.csv", 2048, false},
        {"03-05-24  01:04PM       <DIR>          old seasons", "old seasons", 0, true},
    };
    for (const Case& c : cases) {
        const auto item = parseListLine(c.line);
        ASSERT_TRUE(item) << c.line;
        EXPECT_EQ(item->name, c.name);
        EXPECT_EQ(item->size, c.size);
        EXPECT_EQ(item->isDirectory, c.isDirectory);
        EXPECT_FALSE(item->modified);
    }
    for (const char* skipped :
         {"total 12", "", "-rw-r--r--   1 owner group 5 Jan 01 12:00 ../x", "garbage"}) {
        EXPECT_FALSE(parseListLine(skipped)) << skipped;
    }
}

}  // namespace
}  // namespace qff::platform
