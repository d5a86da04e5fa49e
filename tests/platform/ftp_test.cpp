#include <curl/curl.h>

#include <map>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "qff/platform/curl_ftp_client.h"
#include "tests/platform/test_support.h"

namespace qff::platform {
namespace {

namespace fs = std::filesystem;
using testing::filesBelow;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::readFile;
using testing::sampleBytes;
using testing::serverPort;
using testing::serverStateDir;
using ::testing::StartsWith;
using testing::TempDir;
using testing::writeFile;

// Must match the account in ftp_server.py.
constexpr const char* kUser = "quill";
constexpr const char* kPassword = "ftp-secret-42";

FtpSettings serverSettings() {
    FtpSettings settings;
    settings.host = "127.0.0.1";
    settings.port = serverPort("ftp");
    settings.user = kUser;
    settings.password = kPassword;
    settings.connectTimeoutSeconds = 10;
    settings.idleTimeoutSeconds = 10;
    return settings;
}

std::map<std::string, FtpItem> listAll(FtpClient& client, const std::string& path) {
    std::map<std::string, FtpItem> items;
    EXPECT_TRUE(client.list(path, [&](const FtpItem& item) { items[item.name] = item; }))
        << client.lastReply();
    return items;
}

// Each test works in its own directory of the shared server, named after the test, so tests
// may run in parallel and in any order.
class FtpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        testDir_ = std::string("/") + info->name();
        served_ = serverStateDir("ftp") / "root" / info->name();
        fs::remove_all(served_);
        fs::create_directories(served_);
        ASSERT_TRUE(client_.connect(serverSettings())) << client_.lastReply();
    }

    void TearDown() override {
        client_.disconnect();
        fs::remove_all(served_);
    }

    std::string testDir_;
    fs::path served_;
    TempDir local_;
    CurlFtpClient client_;
};

TEST_F(FtpTest, DownloadIsByteIdenticalInPassiveAndActiveMode) {
    const std::string content = sampleBytes(700'000, 7);
    writeFile(served_ / "week 7 stats.bin", content);
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        FtpSettings settings = serverSettings();
        settings.passive = passive;
        ASSERT_TRUE(client_.connect(settings)) << client_.lastReply();
        ASSERT_TRUE(client_.changeDir(testDir_)) << client_.lastReply();
        const fs::path local = local_ / (passive ? "passive.bin" : "active.bin");

        ASSERT_TRUE(client_.getFile("week 7 stats.bin", local)) << client_.lastReply();
        EXPECT_EQ(readFile(local), content);
        EXPECT_EQ(client_.lastResult(), 0);
        EXPECT_EQ(client_.lastMethod(), "getFile");
        EXPECT_THAT(client_.lastReply(), StartsWith("226"));
    }
}

TEST_F(FtpTest, ListingReportsEveryEntry) {
    writeFile(served_ / "roster.csv", "12345");
    writeFile(served_ / "logo.png", sampleBytes(1000, 3));
    fs::create_directories(served_ / "archive");

    const std::map<std::string, FtpItem> items = listAll(client_, testDir_);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items.at("roster.csv").size, 5u);
    EXPECT_FALSE(items.at("roster.csv").isDirectory);
    EXPECT_EQ(items.at("logo.png").size, 1000u);
    EXPECT_TRUE(items.at("archive").isDirectory);
    for (const auto& [name, item] : items) {
        EXPECT_TRUE(item.modified.has_value()) << name;
    }
}

TEST_F(FtpTest, CreateThenDeleteDirectory) {
    ASSERT_TRUE(client_.changeDir(testDir_));

    ASSERT_TRUE(client_.createDir("season 2025")) << client_.lastReply();
    EXPECT_THAT(client_.lastReply(), StartsWith("257"));
    EXPECT_TRUE(fs::is_directory(served_ / "season 2025"));
    EXPECT_TRUE(listAll(client_, ".").at("season 2025").isDirectory);

    ASSERT_TRUE(client_.deleteDir(testDir_ + "/season 2025")) << client_.lastReply();
    EXPECT_THAT(client_.lastReply(), StartsWith("250"));
    EXPECT_FALSE(fs::exists(served_ / "season 2025"));
}

TEST_F(FtpTest, MissingPathsGiveTheServersRefusal) {
    const fs::path local = local_ / "missing.bin";
    struct Case {
        const char* method;
        std::function<bool()> call;
    };
    const std::vector<Case> cases = {
        {"changeDir", [&] { return client_.changeDir(testDir_ + "/no-such-dir"); }},
        {"list", [&] { return client_.list(testDir_ + "/no-such-dir", [](const FtpItem&) {}); }},
        {"getFile", [&] { return client_.getFile(testDir_ + "/no-such-file", local); }},
        {"deleteDir", [&] { return client_.deleteDir(testDir_ + "/no-such-dir"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        EXPECT_FALSE(c.call());
        EXPECT_NE(client_.lastResult(), 0);
        EXPECT_THAT(client_.lastReply(), StartsWith("550"));
        EXPECT_EQ(client_.lastMethod(), c.method);
        EXPECT_TRUE(client_.isConnected());
    }
    EXPECT_EQ(client_.currentDir(), "/");
    EXPECT_THAT(filesBelow(local_.path()), IsEmpty());
}

TEST_F(FtpTest, CurrentDirFollowsChangeDir) {
    fs::create_directories(served_ / "stats/2024");
    EXPECT_EQ(client_.currentDir(), "/");

    const std::vector<std::pair<std::string, std::string>> steps = {
        {testDir_ + "/stats", testDir_ + "/stats"},
        {"2024", testDir_ + "/stats/2024"},
        {"../..", testDir_},
        {"/", "/"},
    };
    for (const auto& [path, expected] : steps) {
        ASSERT_TRUE(client_.changeDir(path)) << path << ": " << client_.lastReply();
        EXPECT_EQ(client_.currentDir(), expected);
        EXPECT_EQ(client_.lastMethod(), "currentDir");
    }
}

TEST_F(FtpTest, PathsWithLineBreaksNeverReachTheServer) {
    writeFile(served_ / "keep.txt", "x");
    for (const std::string tail : {"\r\nDELE keep.txt", "\nRMD x", "\rx"}) {
        EXPECT_FALSE(client_.createDir(testDir_ + "/made" + tail));
        EXPECT_EQ(client_.lastResult(), CURLE_URL_MALFORMAT);
        EXPECT_THAT(client_.lastReply(), HasSubstr("line break"));
    }
    EXPECT_THAT(filesBelow(served_), ::testing::ElementsAre("keep.txt"));
}

TEST_F(FtpTest, WrongPasswordFailsWithoutRevealingIt) {
    FtpSettings settings = serverSettings();
    settings.password = "not-the-password";

    EXPECT_FALSE(client_.connect(settings));
    EXPECT_FALSE(client_.isConnected());
    EXPECT_EQ(client_.lastResult(), CURLE_LOGIN_DENIED);
    EXPECT_THAT(client_.lastReply(), StartsWith("530"));
    EXPECT_THAT(client_.lastReply(), Not(HasSubstr(settings.password)));
}

TEST_F(FtpTest, DisconnectEndsTheSession) {
    client_.disconnect();

    EXPECT_FALSE(client_.isConnected());
    EXPECT_EQ(client_.lastMethod(), "disconnect");
    EXPECT_EQ(client_.lastReply(), "disconnected");
    EXPECT_FALSE(client_.changeDir("/"));
    EXPECT_EQ(client_.lastReply(), "not connected");
}

}  // namespace
}  // namespace qff::platform
