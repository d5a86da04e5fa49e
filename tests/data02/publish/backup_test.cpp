#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data02/model/Mapfact.h"
#include "data02/publish/Backup.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Journal.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::recordFileBytes;
using test::SeasonFixture;
using test::TempDir;
using test::writeBytes;
using test::writeText;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Writes `text` to `relative` under `root`, creating the folders on the way.
void place(const fs::path& root, const std::string& relative, const std::string& text = "x") {
    fs::create_directories((root / relative).parent_path());
    writeText(root / relative, text);
}

std::vector<std::string> namesOf(const std::vector<fs::path>& paths) {
    std::vector<std::string> names;
    for (const fs::path& path : paths) {
        names.push_back(path.generic_string());
    }
    return names;
}

std::vector<std::string> entriesOf(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct NameCase {
    int year, month, day;
    const char* name;
};

TEST(BackupName, MonthDayAndTwoDigitYear) {
    const NameCase cases[] = {
        {2004, 7, 2, "7_2_04.zip"},
        {2010, 1, 5, "1_5_10.zip"},
        {1999, 12, 31, "12_31_99.zip"},
        {2000, 10, 1, "10_1_00.zip"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(defaultBackupName(c.year, c.month, c.day), c.name);
    }
}

struct ListCase {
    const char* what;
    std::vector<std::string> present;
    int season;
    bool onlyThisSeason;
    bool includeReports;
    std::vector<std::string> expected;
};

TEST(BackupFileList, TakesTheSeasonOrEveryDataFileAndTheReports) {
    const ListCase cases[] = {
        {"only files of an earlier season",
         {"Plyr_03.DB", "State_03.DB", "Prefs.db"},
         2004,
         true,
         false,
         {}},
        {"this season's files in any case",
         {"Plyr_04.DB", "state_04.db", "Team_03.DB", "Prefs.db", "notes04.txt"},
         2004,
         true,
         false,
         {"Plyr_04.DB", "state_04.db"}},
        {"every data file",
         {"Plyr_04.DB", "Team_03.DB", "Prefs.db", "sticky.db", "WK1.PTS", "notes.txt"},
         2004,
         false,
         false,
         {"Plyr_04.DB", "Prefs.db", "Team_03.DB", "sticky.db"}},
        {"reports except help pages, templates and set-aside files",
         {"Prefs.db", "index.htm", "Reports/week1.htm", "Reports/Old/standings.HTML",
          "Reports/Support/kept.htm", "Reports/data.txt", "support/help.htm", "Template/page.htm",
          "Backup/Replaced 1/Reports/week1.htm"},
         2004,
         false,
         true,
         {"Prefs.db", "Reports/Old/standings.HTML", "Reports/Support/kept.htm", "Reports/week1.htm",
          "index.htm"}},
    };
    for (const ListCase& c : cases) {
        TempDir dir;
        for (const std::string& file : c.present) {
            place(dir.path(), file);
        }
        EXPECT_THAT(
            namesOf(backupFileList(dir.path(), c.season, c.onlyThisSeason, c.includeReports)),
            ElementsAreArray(c.expected))
            << c.what;
    }
}

TEST(BackupFileList, FollowsNoLinkOutOfTheWorkingDirectory) {
    TempDir dir;
    TempDir outside;
    place(outside.path(), "secret.htm");
    place(outside.path(), "secret_04.db");
    place(dir.path(), "State_04.DB");
    place(dir.path(), "Reports/real.htm");
    fs::create_directory_symlink(outside.path(), dir / "Linked");
    fs::create_symlink(outside / "secret.htm", dir / "Reports/outside.htm");
    fs::create_symlink(outside / "secret_04.db", dir / "Score_04.DB");
    fs::create_symlink(dir / "Reports/real.htm", dir / "Reports/inside.htm");
    EXPECT_THAT(namesOf(backupFileList(dir.path(), 2004, true, true)),
                ElementsAreArray({"Reports/inside.htm", "Reports/real.htm", "State_04.DB"}));
}

TEST_F(SeasonFixture, BackupDirectoryComesFromThePreference) {
    EXPECT_EQ(backupDirectory(context()), dir_ / "Backup");
    std::tm local{};
    localtime_r(&test::kMid2011, &local);
    EXPECT_EQ(defaultBackupArchive(context(), test::kMid2011),
              dir_ / "Backup" / defaultBackupName(2011, local.tm_mon + 1, local.tm_mday));
    context().preferences().setText(kPrefBackupDirectory, "/srv/archives");
    EXPECT_EQ(backupDirectory(context()), fs::path("/srv/archives"));
    context().preferences().setText(kPrefBackupDirectory, "Saved");
    EXPECT_EQ(backupDirectory(context()), dir_ / "Saved");
}

// Records what a backup hands over; fails where told to.
class FakeSink : public BackupSink {
  public:
    bool add(const fs::path& file, std::string_view nameInArchive, std::string& error) override {
        if (static_cast<int>(added.size()) == failAddAt) {
            error = "the disk is full";
            return false;
        }
        EXPECT_TRUE(fs::exists(file)) << file;
        added.emplace_back(nameInArchive);
        return true;
    }
    bool commit(const fs::path& into, std::string& error) override {
        committedTo = into;
        std::string text;
        for (const std::string& name : added) {
            text += name + "\n";
        }
        writeText(into, failCommit ? text.substr(0, 3) : text);
        if (failCommit) {
            error = "the disk is full";
        }
        return !failCommit;
    }
    void abandon() override { abandoned = true; }

    int failAddAt = -1;
    bool failCommit = false;
    std::vector<std::string> added;
    fs::path committedTo;
    bool abandoned = false;
};

class BackupRunTest : public SeasonFixture {
  protected:
    static constexpr int kYear = 2011;

    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
        place(dir_.path(), "Reports/week1.htm");
    }

    SeasonEnv env() const {
        return SeasonEnv{dir_.path(), [] { return test::kMid2011; }};
    }

    BackupOptions options() const { return {archive_, true, true}; }

    void expectSeasonOpen() {
        ASSERT_TRUE(context_);
        EXPECT_TRUE(context_->playerFile().isOpen());
        EXPECT_TRUE(context_->schedule().isOpen());
        EXPECT_GT(context_->mapFactory().players().size(), 0u);
        EXPECT_EQ(context_->preferences().get(kPrefOpenSeason), kYear);
    }

    fs::path archive_ = dir_ / "Backup" / "6_15_11.zip";
    FakeSink sink_;
};

TEST_F(BackupRunTest, ClosesTheSeasonAddsEveryFileAndOpensTheSeasonAgain) {
    context().preferences().setText(kPrefSmtpServer, "mail.example.org");
    BackupRun run(context_, env(), options(), sink_);
    ASSERT_FALSE(run.done());
    EXPECT_THAT(namesOf(run.files()), ::testing::Contains("Plyr_11.DB"));
    EXPECT_THAT(namesOf(run.files()), ::testing::Contains("Reports/week1.htm"));
    EXPECT_THAT(namesOf(run.files()), ::testing::Not(::testing::Contains("Prefs.db")));
    EXPECT_EQ(run.nextFile(), run.files().front());
    EXPECT_TRUE(run.seasonOpen());
    run.runStep();
    EXPECT_FALSE(context_) << "no data file may be open while the files are read";
    EXPECT_FALSE(run.seasonOpen());
    EXPECT_EQ(run.filesAdded(), 1);
    run.runToEnd();
    EXPECT_TRUE(run.seasonOpen());
    EXPECT_EQ(run.status(), BackupRun::Status::Succeeded) << run.error();
    EXPECT_THAT(sink_.added, ElementsAreArray(namesOf(run.files())));
    EXPECT_NE(sink_.committedTo, archive_);
    EXPECT_EQ(sink_.committedTo.parent_path(), archive_.parent_path());
    std::string listed;
    for (const std::string& name : namesOf(run.files())) {
        listed += name + "\n";
    }
    EXPECT_EQ(readText(archive_), listed);
    EXPECT_THAT(entriesOf(archive_.parent_path()), ElementsAreArray({"6_15_11.zip"}));
    EXPECT_THAT(run.reopenError(), IsEmpty());
    expectSeasonOpen();
    EXPECT_STREQ(context_->preferences().getText(kPrefSmtpServer), "mail.example.org")
        << "closing the season writes the settings";
}

struct Interruption {
    const char* what;
    int failAddAt;
    bool failCommit;
    bool cancelAfterFirstStep;
    BackupRun::Status status;
    const char* reason;
};

TEST_F(BackupRunTest, AnUnfinishedBackupKeepsTheEarlierArchiveAndReopensTheSeason) {
    const Interruption cases[] = {
        {"a file cannot be added", 1, false, false, BackupRun::Status::Failed,
         "Cannot add Draft_11.DB to the backup: the disk is full"},
        {"the archive cannot be written", -1, true, false, BackupRun::Status::Failed,
         "the disk is full"},
        {"cancelled after the first file", -1, false, true, BackupRun::Status::Cancelled, ""},
    };
    for (const Interruption& c : cases) {
        place(dir_.path(), "Backup/6_15_11.zip", "earlier backup");
        FakeSink sink;
        sink.failAddAt = c.failAddAt;
        sink.failCommit = c.failCommit;
        BackupRun run(context_, env(), options(), sink);
        run.runStep();
        if (c.cancelAfterFirstStep) {
            run.cancel();
        }
        run.runToEnd();
        EXPECT_EQ(run.status(), c.status) << c.what;
        EXPECT_THAT(run.error(), ::testing::HasSubstr(c.reason)) << c.what;
        EXPECT_EQ(run.error().empty(), *c.reason == '\0') << c.what;
        EXPECT_TRUE(sink.abandoned) << c.what;
        EXPECT_EQ(readText(archive_), "earlier backup") << c.what;
        EXPECT_THAT(entriesOf(archive_.parent_path()), ElementsAreArray({"6_15_11.zip"})) << c.what;
        expectSeasonOpen();
    }
}

TEST_F(BackupRunTest, NothingToBackUpIsAnErrorAndLeavesTheSeasonOpen) {
    start("2012");
    ASSERT_TRUE(openSeason(context(), kYear).opened);
    Singleton* before = context_.get();
    BackupRun run(context_, env(), {archive_, true, false}, sink_);
    EXPECT_TRUE(run.done());
    EXPECT_EQ(run.status(), BackupRun::Status::Failed);
    EXPECT_EQ(run.error(), "There are no files of the 2012 season to back up.");
    EXPECT_EQ(context_.get(), before);
    EXPECT_TRUE(sink_.committedTo.empty());
    EXPECT_FALSE(fs::exists(archive_));
    expectSeasonOpen();
}

TEST_F(BackupRunTest, RefusesAnArchiveNameThatCannotBeWritten) {
    const std::vector<std::uint8_t> players = test::readBytes(dir_ / "Plyr_11.DB");
    const std::pair<fs::path, std::string> cases[] = {
        {fs::path(), "Please enter a name for the backup file."},
        {dir_ / "Plyr_11.DB", "The backup cannot be written over Plyr_11.DB, which it backs up."},
    };
    for (const auto& [archive, message] : cases) {
        BackupRun run(context_, env(), {archive, true, true}, sink_);
        EXPECT_TRUE(run.done());
        EXPECT_EQ(run.error(), message);
        expectSeasonOpen();
    }
    EXPECT_EQ(test::readBytes(dir_ / "Plyr_11.DB"), players);
}

using Entries = std::vector<std::pair<std::string, std::string>>;

// An archive held in memory: names and contents, a name possibly twice.
class FakeArchive : public ArchiveSource {
  public:
    explicit FakeArchive(Entries entries) : entries_(std::move(entries)) {}

    bool list(std::vector<std::string>& names, std::string&) override {
        for (const auto& [name, text] : entries_) {
            names.push_back(name);
        }
        return true;
    }
    bool extractAll(const fs::path& into, std::string& error) override {
        for (const auto& [name, text] : entries_) {
            if (failUnpacking) {
                error = "wrong password";
                return false;
            }
            if (!name.ends_with('/')) {
                place(into, name, text);
            }
        }
        return true;
    }

    bool failUnpacking = false;

  private:
    Entries entries_;
};

// A record file whose first `used` slots hold records.
std::string recordFileOf(int year, int recordSize, int used = 0) {
    std::vector<test::SlotRecord> records;
    for (int slot = 0; slot < used; ++slot) {
        records.push_back({slot, std::vector<std::uint8_t>(recordSize, 'a' + slot)});
    }
    std::vector<std::uint8_t> bytes = recordFileBytes(year, recordSize, records);
    return std::string(bytes.begin(), bytes.end());
}

std::string playerFileOf(int year) {
    return recordFileOf(year, kPlayerRecordSize);
}

class RestoreTest : public ::testing::Test {
  protected:
    RestoreTest() {
        place(dir_.path(), "plyr_11.db", playerFileOf(2011));
        place(dir_.path(), "Prefs.db", "current settings");
        place(dir_.path(), "Reports/week1.htm", "current week 1");
    }

    // Every file and folder below the working directory, files with their
    // content.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> tree;
        for (const auto& entry : fs::recursive_directory_iterator(dir_.path())) {
            std::string name = entry.path().lexically_relative(dir_.path()).generic_string();
            tree[name] = entry.is_directory() ? "<folder>" : readText(entry.path());
        }
        return tree;
    }

    // Restores `archive`; nullopt with the reason when the plan or the
    // restore refuses it.
    std::optional<RestoreResult> restore(FakeArchive& archive, std::string& error,
                                         const RestoreProgress& progress = {}) {
        std::optional<RestorePlan> plan = restorePlan(dir_.path(), archive, error);
        if (!plan) {
            return std::nullopt;
        }
        return restoreBackup(dir_.path(), *plan, archive, error, progress);
    }

    Entries backup_ = {
        {"Plyr_11.DB", recordFileOf(2011, kPlayerRecordSize, 2)},
        {"Team_11.DB", recordFileOf(2011, kTeamRecordSize, 1)},
        {"Prefs.db", recordFileOf(2011, kPrefsRecordSize, 1)},
        {"Reports/", ""},
        {"Reports/week1.htm", "saved week 1"},
        {"Reports/week2.htm", "saved week 2"},
    };
    TempDir dir_;
};

TEST_F(RestoreTest, RefusesEntriesThatLeadOutOfTheWorkingDirectory) {
    const char* unsafe[] = {"../evil.htm", "Reports/../../evil.htm", "/etc/evil.htm", "C:/evil.htm",
                            "Reports\\evil.htm"};
    for (const char* name : unsafe) {
        FakeArchive archive({{"Plyr_11.DB", "players"}, {name, "evil"}});
        std::string error;
        EXPECT_FALSE(restorePlan(dir_.path(), archive, error)) << name;
        EXPECT_NE(error.find("is refused"), std::string::npos) << error;
    }
}

TEST_F(RestoreTest, RefusesAnArchiveWithoutSeasonDataFiles) {
    FakeArchive archive({{"Prefs.db", "settings"},
                         {"Reports/week1.htm", "week 1"},
                         {"Reports/Plyr_11.DB", "not in the working directory"}});
    std::string error;
    EXPECT_FALSE(restorePlan(dir_.path(), archive, error));
    EXPECT_NE(error.find("holds no season data files"), std::string::npos) << error;
}

TEST_F(RestoreTest, MovesTheReplacedFilesAsideAndPutsTheBackupInPlace) {
    FakeArchive archive(backup_);
    std::string error;
    std::optional<RestorePlan> plan = restorePlan(dir_.path(), archive, error);
    ASSERT_TRUE(plan) << error;
    EXPECT_THAT(namesOf(plan->files),
                ElementsAreArray({"Plyr_11.DB", "Prefs.db", "Reports/week1.htm",
                                  "Reports/week2.htm", "Team_11.DB"}));
    EXPECT_THAT(namesOf(plan->replaced),
                ElementsAreArray({"plyr_11.db", "Prefs.db", "Reports/week1.htm"}));
    EXPECT_THAT(namesOf(plan->replacedSeasonFiles), ElementsAreArray({"plyr_11.db"}));
    EXPECT_THAT(plan->replacedSeasons, ElementsAreArray({2011}));

    std::vector<std::string> moved;
    std::optional<RestoreResult> result =
        restoreBackup(dir_.path(), *plan, archive, error,
                      [&](const fs::path& file) { moved.push_back(file.generic_string()); });
    ASSERT_TRUE(result) << error;
    for (const auto& [name, text] : backup_) {
        if (!name.ends_with('/')) {
            EXPECT_EQ(readText(dir_ / name), text) << name;
        }
    }
    EXPECT_EQ(moved.size(), plan->replaced.size() + plan->files.size());
    EXPECT_FALSE(fs::exists(dir_ / "plyr_11.db"));
    EXPECT_FALSE(fs::exists(dir_ / std::string(kJournalName)));
    EXPECT_EQ(result->setAsideDirectory, dir_ / "Backup" / "Replaced 1");
    EXPECT_EQ(readText(result->setAsideDirectory / "plyr_11.db"), playerFileOf(2011));
    EXPECT_EQ(readText(result->setAsideDirectory / "Prefs.db"), "current settings");
    EXPECT_EQ(readText(result->setAsideDirectory / "Reports/week1.htm"), "current week 1");
    EXPECT_THAT(entriesOf(dir_ / "Backup"), ElementsAreArray({"Replaced 1"}));

    result = restore(archive, error);
    ASSERT_TRUE(result) << error;
    EXPECT_EQ(result->setAsideDirectory, dir_ / "Backup" / "Replaced 2");
    EXPECT_EQ(readText(dir_ / "Backup" / "Replaced 1" / "Prefs.db"), "current settings");
}

TEST(RestoreQuestion, NamesWhatIsReplacedAndWhereItGoes) {
    RestorePlan nothingReplaced;
    nothingReplaced.files = {"Plyr_11.DB"};
    RestorePlan twoSeasons;
    twoSeasons.files = {"Plyr_10.DB", "Plyr_11.DB", "Prefs.db"};
    twoSeasons.replaced = {"Plyr_10.DB", "Plyr_11.DB"};
    twoSeasons.replacedSeasonFiles = twoSeasons.replaced;
    twoSeasons.replacedSeasons = {2010, 2011};
    RestorePlan unknownSeason;
    unknownSeason.files = {"Plyr_11.DB", "Prefs.db"};
    unknownSeason.replaced = {"Prefs.db"};
    const std::pair<const RestorePlan*, const char*> cases[] = {
        {&nothingReplaced,
         "The backup holds 1 file. Restoring it replaces no current file.\n\n"
         "Do you want to restore the backup?"},
        {&twoSeasons,
         "The backup holds 3 files. Restoring it replaces 2 files of the working folder, among "
         "them the data files of the 2010, 2011 seasons; they are moved aside into a new folder "
         "\"Backup/Replaced <n>\" of the working folder.\n\nDo you want to restore the backup?"},
        {&unknownSeason,
         "The backup holds 2 files. Restoring it replaces 1 file of the working folder; it is "
         "moved aside into a new folder \"Backup/Replaced <n>\" of the working folder.\n\n"
         "Do you want to restore the backup?"},
    };
    for (const auto& [plan, question] : cases) {
        EXPECT_EQ(restoreQuestion(*plan), question);
    }
    twoSeasons.replacedSeasons = {2011};
    EXPECT_EQ(replacedSeasonsText(twoSeasons), "the 2011 season");
    EXPECT_EQ(replacedSeasonsText(unknownSeason), "a season");
}

TEST_F(RestoreTest, AFailedRestoreLeavesEveryFileAsItWas) {
    FakeArchive unreadable(backup_);
    unreadable.failUnpacking = true;
    Entries blocked = backup_;
    // A file where the archive needs a folder stops the restore half way.
    place(dir_.path(), "Zone", "a file");
    blocked.emplace_back("Zone/week3.htm", "saved week 3");
    FakeArchive halfWay(blocked);
    const std::map<std::string, std::string> before = snapshot();
    for (FakeArchive* archive : {&unreadable, &halfWay}) {
        std::string error;
        EXPECT_FALSE(restore(*archive, error));
        EXPECT_THAT(error, ::testing::HasSubstr("Cannot"));
        EXPECT_EQ(snapshot(), before) << error;
    }
}

struct Malformed {
    const char* what;
    Entries entries;
    const char* message;
};

std::string cut(std::string text, std::size_t size) {
    text.resize(size);
    return text;
}

TEST_F(RestoreTest, RefusesDamagedAndDoubledEntriesAndTouchesNothing) {
    const std::string players = recordFileOf(2011, kPlayerRecordSize, 3);
    const Malformed cases[] = {
        {"a header of another kind of file",
         {{"Plyr_11.DB", recordFileOf(2011, kTeamRecordSize, 1)}},
         "The backup holds a damaged Plyr_11.DB: Plyr_11.DB has a damaged header (it gives "
         "records of 3,136 bytes where 1,314 are expected)"},
        {"a 30-byte file",
         {{"Plyr_11.DB", players}, {"Team_11.DB", std::string(30, 'x')}},
         "The backup holds a damaged Team_11.DB: "},
        {"records cut off",
         {{"Plyr_11.DB", cut(players, players.size() - 10)}},
         "The backup holds a damaged Plyr_11.DB: "},
        {"a settings file cut in its header",
         {{"Plyr_11.DB", players}, {"prefs.db", cut(players, 100)}},
         "The backup holds a damaged prefs.db: "},
        {"an entry twice",
         {{"Plyr_11.DB", players}, {"Plyr_11.DB", players}},
         "The backup holds Plyr_11.DB twice. Nothing was restored."},
        {"an entry twice in two cases",
         {{"Plyr_11.DB", players}, {"plyr_11.db", players}},
         "The backup holds Plyr_11.DB twice (also as plyr_11.db). Nothing was restored."},
        {"a report twice in two cases",
         {{"Plyr_11.DB", players}, {"Reports/Week1.htm", "a"}, {"./reports/week1.HTM", "b"}},
         "The backup holds Reports/Week1.htm twice (also as reports/week1.HTM). Nothing was "
         "restored."},
    };
    place(dir_.path(), "Backup/6_1_11.zip", "an earlier backup");
    const std::map<std::string, std::string> before = snapshot();
    for (const Malformed& c : cases) {
        FakeArchive archive(c.entries);
        std::string error;
        EXPECT_FALSE(restore(archive, error)) << c.what;
        EXPECT_THAT(error, ::testing::StartsWith(c.message)) << c.what;
        EXPECT_THAT(error, ::testing::EndsWith(". Nothing was restored.")) << c.what;
        EXPECT_EQ(snapshot(), before) << c.what;
    }
}

// The user's files in a backup folder, and what killed backups and restores
// left beside them.
const char* const kKeptInBackupFolder[] = {"6_1_11.zip",
                                           ".hidden",
                                           "notes.partial",
                                           "Replaced 1/Prefs.db",
                                           "Restoring 1/Plyr_11.DB",
                                           "qff-backup-6_2_11.zip.partial"};
const char* const kLeftInBackupFolder[] = {
    ".qff-backup-6_2_11.zip.partial 1", "..qff-backup-6_2_11.zip.partial 1.part-0a1b2c3d4e5f",
    "..qff-backup-6_2_11.zip.partial 1.part-0a1b2c3d4e5f.Xy12Zq", ".qff-restoring 2/Plyr_11.DB",
    ".qff-restoring 3/Reports/week1.htm"};

void placeLeftovers(const fs::path& backupFolder) {
    for (const char* name : kKeptInBackupFolder) {
        place(backupFolder, name);
    }
    for (const char* name : kLeftInBackupFolder) {
        place(backupFolder, name);
    }
}

std::vector<std::string> keptEntriesWith(const std::string& added) {
    std::vector<std::string> names = {added};
    for (const char* name : kKeptInBackupFolder) {
        std::string top = fs::path(name).begin()->string();
        if (std::find(names.begin(), names.end(), top) == names.end()) {
            names.push_back(top);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(RestoreTest, StartsByRemovingWhatKilledRunsLeftInTheBackupFolder) {
    placeLeftovers(dir_ / "Backup");
    FakeArchive archive(backup_);
    std::string error;
    ASSERT_TRUE(restore(archive, error)) << error;
    EXPECT_THAT(entriesOf(dir_ / "Backup"), ElementsAreArray(keptEntriesWith("Replaced 2")));
}

TEST_F(BackupRunTest, StartsByRemovingWhatKilledRunsLeftInTheBackupFolder) {
    placeLeftovers(dir_ / "Backup");
    BackupRun run(context_, env(), options(), sink_);
    run.runToEnd();
    ASSERT_EQ(run.status(), BackupRun::Status::Succeeded) << run.error();
    EXPECT_THAT(entriesOf(dir_ / "Backup"), ElementsAreArray(keptEntriesWith("6_15_11.zip")));
}

TEST_F(RestoreTest, AKilledRestoreIsTakenBackWhenTheWorkingDirectoryIsOpenedNext) {
    place(dir_.path(), "Backup/6_1_11.zip", "an earlier backup");
    const std::map<std::string, std::string> before = snapshot();
    const int moves = 3 + 5;
    for (int killAfter : {1, 3, 4, moves - 1}) {
        pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            int moved = 0;
            FakeArchive archive(backup_);
            std::string error;
            restore(archive, error, [&](const fs::path&) {
                if (++moved == killAfter) {
                    _exit(3);
                }
            });
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 3) << "the restore ended before move " << killAfter;

        Recovery recovery;
        std::string error;
        ASSERT_TRUE(recoverInterruptedWork(dir_.path(), recovery, error)) << error;
        EXPECT_TRUE(recovery.undone);
        EXPECT_EQ(recovery.operation, "restore");
        std::map<std::string, std::string> after = snapshot();
        std::erase_if(after, [](const auto& entry) {
            return entry.first.starts_with("Backup/.qff-restoring 1");
        });
        EXPECT_EQ(after, before) << "killed after move " << killAfter;
        removeBackupLeftovers(dir_ / "Backup");
        EXPECT_EQ(snapshot(), before) << "killed after move " << killAfter;
    }
}

TEST_F(RestoreTest, RefusesToWriteThroughALinkedFolder) {
    TempDir outside;
    fs::remove_all(dir_ / "Reports");
    fs::create_directory_symlink(outside.path(), dir_ / "Reports");
    FakeArchive archive(backup_);
    std::string error;
    EXPECT_FALSE(restorePlan(dir_.path(), archive, error));
    EXPECT_THAT(error, ::testing::HasSubstr("symbolic link"));
    EXPECT_THAT(entriesOf(outside.path()), IsEmpty());
}

}  // namespace
}  // namespace qff
