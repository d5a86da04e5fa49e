#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "data02/storage/Ptsfile.h"
#include "qff/platform/zip_archiver.h"
#include "tests/cli/CliRun.h"
#include "tests/platform/test_support.h"

namespace qff {
namespace {

namespace fs = std::filesystem;
using platform::testing::RefusingPort;
using platform::testing::serverPort;
using platform::testing::serverStateDir;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// Must match the account in ftp_server.py.
constexpr const char* kFtpUser = "quill";
constexpr const char* kFtpPassword = "ftp-secret-42";
constexpr int kDemoLeague = 1;

// A 2004 demonstration season with weeks 1 and 2 merged and the statistics
// files of all 17 weeks in Download, built once and copied for every test.
const fs::path& demoSeason() {
    static test::TempDir season;
    static test::TempDir io;
    static bool built = [] {
        test::writeText(season / "CurYear.bin", "2004\n");
        test::RunResult run = test::runProgram(
            {"--workdir", season.path().string(), "demo", "--year", "2004", "--weeks", "2"}, io);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.status == 0;
    }();
    EXPECT_TRUE(built);
    return season.path();
}

// Every file below a folder with its bytes, to show that nothing changed.
std::map<std::string, std::string> contentsBelow(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(folder).generic_string()] =
                test::readText(entry.path());
        }
    }
    return files;
}

class StatsCliTest : public test::CliRun {
  protected:
    void SetUp() override {
        fs::copy(demoSeason(), dir_.path(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }

    std::string secretFile(const std::string& name, const std::string& secret) const {
        test::writeText(io_ / name, secret + "\n");
        return (io_ / name).string();
    }

    void setArchivePassword(const std::string& password) {
        test::RunResult run = qff({"stats-server", "set", "--archive-password-file",
                                   secretFile("archive-password", password)});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    void publishTo(const fs::path& folder) {
        test::RunResult run = qff({"stats", "publish", folder.string()});
        ASSERT_EQ(run.status, 0) << run.err;
    }
};

TEST_F(StatsCliTest, SettingsShowWhetherPasswordsAreSetButNeverThePasswords) {
    nlohmann::json shown = qffJson({"stats-server", "show"});
    EXPECT_EQ(shown["host"], "");
    EXPECT_EQ(shown["port"], 21);
    EXPECT_EQ(shown["folder"], "/web/Download");
    EXPECT_EQ(shown["password_set"], false);

    test::RunResult set =
        qff({"stats-server", "set", "--host", "stats.example.org", "--port", "2121", "--user",
             "quill", "--folder", "/weekly", "--password-file", secretFile("pw", "login-secret"),
             "--archive-password-file", secretFile("apw", "archive-secret")});
    ASSERT_EQ(set.status, 0) << set.err;
    test::RunResult show = qff({"stats-server", "show"});
    for (const test::RunResult& run : {set, show}) {
        EXPECT_THAT(run.out, HasSubstr("stats.example.org"));
        EXPECT_THAT(run.out, Not(HasSubstr("login-secret")));
        EXPECT_THAT(run.out, Not(HasSubstr("archive-secret")));
    }
    shown = qffJson({"stats-server", "show"});
    EXPECT_EQ(shown["port"], 2121);
    EXPECT_EQ(shown["folder"], "/weekly");
    EXPECT_EQ(shown["password_set"], true);
    EXPECT_EQ(shown["archive_password_set"], true);
    struct stat info {};
    ASSERT_EQ(stat((dir_ / "StatsServer.cfg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600);
}

TEST_F(StatsCliTest, PasswordsAreNeverTakenFromTheCommandLine) {
    EXPECT_EQ(qff({"stats-server", "set", "--password", "secret"}).status, 2);
    EXPECT_EQ(qff({"stats-server", "set"}).status, 2);
    EXPECT_FALSE(exists("StatsServer.cfg"));
}

TEST_F(StatsCliTest, ADamagedSettingsFileIsNamedAndLeftAlone) {
    test::writeText(dir_ / "StatsServer.cfg", "host=a\nport\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"stats-server", "show"}, {"stats-server", "set", "--host", "b"}, {"stats", "list"}}) {
        test::RunResult run = qff(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err,
                  "qff: The statistics server settings file StatsServer.cfg is damaged: line 2 "
                  "has no \"=\". Correct or remove it.\n");
    }
    EXPECT_EQ(test::readText(dir_ / "StatsServer.cfg"), "host=a\nport\n");
}

TEST_F(StatsCliTest, PublishingWritesOneEncryptedArchivePerWeekAndTheRosterUpdate) {
    setArchivePassword("zip-secret");
    publishTo(io_ / "site");
    std::vector<std::string> expected{"Update4.ros"};
    for (int week = 1; week <= 17; ++week) {
        expected.push_back("4_wk" + std::to_string(week) + ".zip");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(platform::testing::filesBelow(io_ / "site"), expected);

    platform::ZipArchiver archiver;
    std::vector<std::string> names;
    ASSERT_TRUE(archiver.listNames(io_ / "site" / "4_wk3.zip", names).ok);
    EXPECT_THAT(names, ElementsAre("4_WK3.pts"));
    EXPECT_FALSE(archiver.extractAll(io_ / "site" / "4_wk3.zip", io_ / "open", "").ok);
    ASSERT_TRUE(archiver.extractAll(io_ / "site" / "4_wk3.zip", io_ / "open", "zip-secret").ok);
    EXPECT_EQ(test::readText(io_ / "open" / "4_WK3.pts"),
              test::readText(dir_ / "Download" / "4_WK3.pts"));
    EXPECT_EQ(test::readText(io_ / "site" / "Update4.ros"),
              test::readText(dir_ / "Download" / "Update4.ros"));
}

// Each test serves its own folder of the shared loopback server, named after
// the test, and points the season at it.
class StatsNetTest : public StatsCliTest {
  protected:
    void SetUp() override {
        StatsCliTest::SetUp();
        served_ = serverStateDir("ftp") / "root" /
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(served_);
        publishTo(served_);
        pointAtServer(serverPort("ftp"), kFtpPassword);
    }

    void TearDown() override { fs::remove_all(served_); }

    void pointAtServer(int port, const std::string& password) {
        test::RunResult run =
            qff({"stats-server", "set", "--host", "127.0.0.1", "--port", std::to_string(port),
                 "--user", kFtpUser, "--password-file", secretFile("login", password), "--folder",
                 "/" + served_.filename().string()});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    void withdraw(int firstWeek, int lastWeek) {
        for (int week = firstWeek; week <= lastWeek; ++week) {
            fs::remove(served_ / ("4_wk" + std::to_string(week) + ".zip"));
        }
    }

    fs::path served_;
};

TEST_F(StatsNetTest, TheListShowsWhatTheServerOffersAndWhatIsHere) {
    withdraw(17, 17);
    fs::copy_file(served_ / "4_wk3.zip", served_ / "14_wk3.zip");
    withdraw(5, 5);
    fs::create_directory(served_ / "4_wk5.zip");
    fs::remove(dir_ / "Download" / "4_WK16.pts");
    nlohmann::json weeks = qffJson({"stats", "list"})["weeks"];
    ASSERT_EQ(weeks.size(), 17u);
    EXPECT_EQ(weeks[0], nlohmann::json({{"week", 1},
                                        {"available", true},
                                        {"downloaded", true},
                                        {"merged", "fully merged"},
                                        {"file_name", "4_wk1.zip"}}));
    EXPECT_EQ(weeks[2]["merged"], "not merged");
    EXPECT_EQ(weeks[4]["available"], false);
    EXPECT_EQ(weeks[15]["downloaded"], false);
    EXPECT_EQ(weeks[16]["available"], false);
    EXPECT_EQ(weeks[16]["file_name"], "NO FTP");
}

TEST_F(StatsNetTest, DownloadingMergesTheUnmergedWeeksAsMergingTheirFilesWould) {
    withdraw(6, 17);
    test::TempDir fromDisk;
    fs::copy(dir_.path(), fromDisk.path(), fs::copy_options::recursive);
    for (int week = 3; week <= 5; ++week) {
        fs::remove(dir_ / "Download" / ("4_WK" + std::to_string(week) + ".pts"));
        std::string file =
            (fromDisk / "Download" / ("4_WK" + std::to_string(week) + ".pts")).string();
        test::RunResult merged =
            test::runProgram({"--workdir", fromDisk.path().string(), "merge", file}, io_);
        ASSERT_EQ(merged.status, 0) << merged.err;
    }

    nlohmann::json download = qffJson({"stats", "download", "--unmerged", "--merge"});
    std::vector<int> merged;
    for (const auto& week : download["weeks"]) {
        EXPECT_EQ(week["status"], "Success") << week["message"];
        EXPECT_EQ(week["merged"], true);
        merged.push_back(week["week"]);
    }
    EXPECT_THAT(merged, ElementsAre(3, 4, 5));
    EXPECT_EQ(download["monday_missing"], false);

    std::vector<std::string> standings{
        "--json", "standings", "--league", std::to_string(kDemoLeague), "--week", "all"};
    test::RunResult fromServer = qff(standings);
    standings.insert(standings.begin(), {"--workdir", fromDisk.path().string()});
    EXPECT_EQ(fromServer.out, test::runProgram(standings, io_).out);
    EXPECT_EQ(test::readText(dir_ / "Plyr_04.DB"), test::readText(fromDisk / "Plyr_04.DB"));
    EXPECT_EQ(test::readText(dir_ / "Download" / "4_WK4.pts"),
              test::readText(fromDisk / "Download" / "4_WK4.pts"));
    EXPECT_THAT(qffJson({"stats", "download", "--unmerged"})["weeks"], ::testing::IsEmpty());
}

TEST_F(StatsNetTest, AFailedDownloadSaysWhyAndChangesNothing) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::vector<std::string> command;
        std::string message;
    };
    RefusingPort down;
    const std::string noConnection =
        "A connection could not be established to the Quillmar web site.";
    const std::vector<Case> cases{
        {"missing week",
         [this] { withdraw(9, 9); },
         {"stats", "download", "--week", "9", "--merge"},
         "NFL Statistics are not available for Week #9."},
        {"wrong archive password",
         [this] {
             setArchivePassword("right");
             publishTo(served_);
             setArchivePassword("not-it");
         },
         {"stats", "download", "--week", "3", "--merge"},
         "The statistics archive 4_wk3.zip could not be unpacked: "},
        {"damaged archive",
         [this] { test::writeText(served_ / "4_wk3.zip", "PK\3\4 cut short"); },
         {"stats", "download", "--week", "3", "--merge"},
         "The statistics archive 4_wk3.zip could not be unpacked: "},
        {"login refused",
         [this] { pointAtServer(serverPort("ftp"), "wrong"); },
         {"stats", "download", "--merge", "--rosters"},
         noConnection + " Information about available NFL statistics will not be surfaced. (530 "},
        {"server down",
         [this, &down] { pointAtServer(down.port(), kFtpPassword); },
         {"stats", "download", "--merge"},
         noConnection + " Information about available NFL statistics will not be surfaced."},
        {"no download folder",
         [this] {
             ASSERT_EQ(qff({"stats-server", "set", "--folder", "/gone"}).status, 0);
         },
         {"stats", "download", "--merge"},
         "Failed to locate the Quillmar download directory."},
        {"roster update not published",
         [this] { fs::remove(served_ / "Update4.ros"); },
         {"rosters", "update"},
         "An update has not been published for the 2004 NFL rosters. "},
        {"roster update login refused",
         [this] { pointAtServer(serverPort("ftp"), "wrong"); },
         {"rosters", "update"},
         noConnection + " (530 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        std::map<std::string, std::string> before = contentsBelow(dir_.path());
        test::RunResult run = qff(c.command);
        EXPECT_EQ(run.status, 1);
        EXPECT_THAT(run.err, StartsWith("qff: " + c.message));
        EXPECT_EQ(contentsBelow(dir_.path()), before);
        setArchivePassword("");
        pointAtServer(serverPort("ftp"), kFtpPassword);
        fs::remove_all(served_);
        publishTo(served_);
    }
}

TEST_F(StatsNetTest, AStatisticsFileOfAnotherSeasonIsRefused) {
    std::vector<PtsRecord> records{{"Other Season", 0, 0, 77, 2, {{12, 250}}}};
    std::string error;
    fs::create_directories(io_ / "other");
    ASSERT_EQ(writePtsFile(io_ / "other" / "4_WK3.pts", 2003, records, error), 0) << error;
    platform::ZipArchiver archiver;
    std::vector<fs::path> names{"4_WK3.pts"};
    ASSERT_TRUE(archiver.packTree(served_ / "4_wk3.zip", io_ / "other", names, "").ok);
    std::map<std::string, std::string> before = contentsBelow(dir_.path());
    test::RunResult run = qff({"stats", "download", "--week", "3", "--merge"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "qff: Merging stats from 2003 into the 2004 season is not allowed.\n");
    EXPECT_EQ(contentsBelow(dir_.path()), before);
}

TEST_F(StatsNetTest, TheRosterUpdateAddsThePlayersASeasonLacks) {
    test::TempDir fresh;
    test::writeText(fresh / "CurYear.bin", "2004\n");
    fs::copy_file(dir_ / "StatsServer.cfg", fresh / "StatsServer.cfg");
    // A season of team units only, made the season qff opens.
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"season", "new", "--year", "2004"}, {"open", "--year", "2004"}}) {
        std::vector<std::string> args{"--workdir", fresh.path().string()};
        args.insert(args.end(), command.begin(), command.end());
        ASSERT_EQ(test::runProgram(args, io_).status, 0) << command[0];
    }
    test::RunResult run =
        test::runProgram({"--workdir", fresh.path().string(), "--json", "rosters", "update"}, io_);
    ASSERT_EQ(run.status, 0) << run.err;
    nlohmann::json update = nlohmann::json::parse(run.out);
    nlohmann::json added = update["players_added"];
    ASSERT_FALSE(added.empty());
    EXPECT_EQ(update["messages"][0],
              std::to_string(added.size()) + " new players were added to your database.");
    EXPECT_EQ(added[0]["position"], "QB");
    EXPECT_LE(added[0]["name"].get<std::string>(), added[1]["name"].get<std::string>());

    nlohmann::json again = qffJson({"rosters", "update"});
    EXPECT_EQ(again["messages"][0], "No new players were added to your database.");
    EXPECT_TRUE(again["players_added"].empty());
}

}  // namespace
}  // namespace qff
