#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data02/intake/StatsServer.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class StatsServerTest : public ::testing::Test {
  protected:
    fs::path file() const { return dir_ / "StatsServer.cfg"; }

    StatsServerSettings sample() const {
        StatsServerSettings settings;
        settings.host = "stats.example.org";
        settings.port = 2121;
        settings.user = "quill";
        settings.password = "p=ss word#1";
        settings.folder = "/season stats";
        settings.archivePassword = "zip-secret";
        return settings;
    }

    test::TempDir dir_;
};

TEST_F(StatsServerTest, WithoutAFileTheDefaultsHold) {
    StatsServerLoad load = loadStatsServer(dir_.path());
    ASSERT_TRUE(load.ok) << load.error;
    EXPECT_EQ(load.settings, StatsServerSettings{});
    EXPECT_EQ(load.settings.port, 21);
    EXPECT_EQ(load.settings.folder, "/web/Download");
}

TEST_F(StatsServerTest, SavedSettingsComeBackAndOnlyTheOwnerMayReadThem) {
    std::string error;
    ASSERT_TRUE(saveStatsServer(dir_.path(), sample(), error)) << error;
    StatsServerLoad load = loadStatsServer(dir_.path());
    ASSERT_TRUE(load.ok) << load.error;
    EXPECT_EQ(load.settings, sample());
    EXPECT_EQ(fs::status(file()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::exists(dir_ / "StatsServer.cfg.partial"));
}

TEST_F(StatsServerTest, HandWrittenFilesWithCommentsAndWindowsLineEndsLoad) {
    test::writeText(file(), "# ours\r\n\r\nhost=h\r\nport=990\r\nfolder=/\r\n");
    StatsServerLoad load = loadStatsServer(dir_.path());
    ASSERT_TRUE(load.ok) << load.error;
    EXPECT_EQ(load.settings.host, "h");
    EXPECT_EQ(load.settings.port, 990);
    EXPECT_EQ(load.settings.folder, "/");
    EXPECT_THAT(load.settings.password, IsEmpty());
}

TEST_F(StatsServerTest, ADamagedFileIsNamedAndNeverWrittenTo) {
    struct Case {
        const char* text;
        const char* reason;
    };
    for (const Case& c : {
             Case{"host=a\nsomething\n", "line 2 has no \"=\""},
             Case{"port=0\n", "line 1 gives the port \"0\""},
             Case{"port=21x\n", "line 1 gives the port \"21x\""},
             Case{"colour=red\n", "line 1 names no known setting"},
             Case{"host=a\nhost=b\n", "line 2 repeats the setting \"host\""},
             Case{"host=a\x1b[2J\n", "line 1 holds control characters"},
         }) {
        SCOPED_TRACE(c.text);
        test::writeText(file(), c.text);
        StatsServerLoad load = loadStatsServer(dir_.path());
        EXPECT_FALSE(load.ok);
        EXPECT_THAT(load.error,
                    StartsWith("The statistics server settings file StatsServer.cfg is damaged: "));
        EXPECT_THAT(load.error, HasSubstr(c.reason));
        std::string error;
        EXPECT_FALSE(saveStatsServer(dir_.path(), sample(), error));
        EXPECT_EQ(error, load.error);
        EXPECT_EQ(test::readText(file()), c.text);
    }
}

TEST_F(StatsServerTest, SettingsThatCannotBeKeptAreRefused) {
    struct Case {
        StatsServerSettings settings;
        const char* message;
    };
    StatsServerSettings badHost = sample();
    badHost.host = "evil\nhost";
    StatsServerSettings badPassword = sample();
    badPassword.password = "a\rb";
    StatsServerSettings badPort = sample();
    badPort.port = 65536;
    StatsServerSettings noFolder = sample();
    noFolder.folder.clear();
    for (const Case& c : {Case{badHost, "The host cannot hold control characters."},
                          Case{badPassword, "The password cannot hold control characters."},
                          Case{badPort, "The port must be a number from 1 to 65535."},
                          Case{noFolder, "The download folder cannot be empty."}}) {
        std::string error;
        EXPECT_FALSE(saveStatsServer(dir_.path(), c.settings, error));
        EXPECT_EQ(error, c.message);
        EXPECT_FALSE(fs::exists(file()));
    }
}

TEST_F(StatsServerTest, PasswordFilesGiveTheirFirstLine) {
    struct Case {
        const char* text;
        const char* password;
    };
    for (const Case& c : {Case{"secret\n", "secret"}, Case{"secret\r\nsecond line", "secret"},
                          Case{"no line end", "no line end"}, Case{"", ""}, Case{"\n", ""}}) {
        test::writeText(dir_ / "pw", c.text);
        std::string error;
        EXPECT_EQ(readPasswordFile(dir_ / "pw", error), c.password) << error;
    }
    test::writeText(dir_ / "pw", "se\x01cret\n");
    std::string error;
    EXPECT_EQ(readPasswordFile(dir_ / "pw", error), std::nullopt);
    EXPECT_THAT(error, HasSubstr("holds control characters"));
    EXPECT_EQ(readPasswordFile(dir_ / "missing", error), std::nullopt);
    EXPECT_THAT(error, HasSubstr("is missing"));
}

}  // namespace
}  // namespace qff
