#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "data02/storage/Journal.h"
#include "tests/support/Interrupted.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::runKilled;
using test::TempDir;
using test::writeText;

class JournalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeText(dir_ / "Plyr_05.DB", "players before");
        writeText(dir_ / "State_05.DB", "state before");
        fs::create_directory(dir_ / "Backup");
    }

    // Every file below the working directory with its content.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(dir_.path())) {
            if (entry.is_regular_file()) {
                files[fs::relative(entry.path(), dir_.path()).string()] = readText(entry.path());
            }
        }
        return files;
    }

    // Protects two files, changes both, creates a third and moves one aside.
    void work(UndoJournal& journal) {
        std::string error;
        ASSERT_TRUE(journal.begin(error)) << error;
        ASSERT_TRUE(journal.protect("Plyr_05.DB", error)) << error;
        writeText(dir_ / "Plyr_05.DB", "players after");
        ASSERT_TRUE(journal.protect(dir_ / "Sched_05.DB", error)) << error;
        writeText(dir_ / "Sched_05.DB", "new schedule");
        ASSERT_TRUE(journal.moveAside("State_05.DB", "Backup/State_05.DB", error)) << error;
        ASSERT_TRUE(journal.willCreate("State_05.DB", error)) << error;
        writeText(dir_ / "State_05.DB", "state after");
    }

    TempDir dir_;
};

TEST_F(JournalTest, RollingBackRestoresEveryFileAndRemovesWhatWasCreated) {
    std::map<std::string, std::string> before = snapshot();
    UndoJournal journal(dir_.path(), "merge");
    work(journal);
    std::string error;

    ASSERT_TRUE(journal.rollBack(error)) << error;

    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(journal.active());
}

TEST_F(JournalTest, CommittingKeepsTheNewStateAndLeavesNoJournalOrCopies) {
    UndoJournal journal(dir_.path(), "restore");
    work(journal);
    std::string error;

    ASSERT_TRUE(journal.commit(error)) << error;

    std::map<std::string, std::string> after = snapshot();
    EXPECT_EQ(after, (std::map<std::string, std::string>{
                         {"Backup/State_05.DB", "state before"},
                         {"Plyr_05.DB", "players after"},
                         {"Sched_05.DB", "new schedule"},
                         {"State_05.DB", "state after"},
                     }));
}

TEST_F(JournalTest, WorkThatWasNeitherCommittedNorRolledBackIsUndoneByTheDestructor) {
    std::map<std::string, std::string> before = snapshot();
    {
        UndoJournal journal(dir_.path(), "draft pick");
        work(journal);
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(JournalTest, AKilledRunIsUndoneAtTheNextStartAndNamed) {
    std::map<std::string, std::string> before = snapshot();
    runKilled([this] {
        UndoJournal journal(dir_.path(), "merge");
        work(journal);
        _exit(0);
    });
    ASSERT_TRUE(fs::exists(dir_ / std::string(kJournalName)));
    Recovery recovery;
    std::string error;

    ASSERT_TRUE(recoverInterruptedWork(dir_.path(), recovery, error)) << error;

    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(recovery.undone);
    EXPECT_EQ(recovery.operation, "merge");
}

TEST_F(JournalTest, AKillAfterTheJournalWentKeepsTheNewStateAndDropsTheCopies) {
    runKilled([this] {
        UndoJournal journal(dir_.path(), "merge");
        work(journal);
        fs::remove(dir_ / std::string(kJournalName));
        _exit(0);
    });
    Recovery recovery;
    std::string error;

    ASSERT_TRUE(recoverInterruptedWork(dir_.path(), recovery, error)) << error;

    EXPECT_FALSE(recovery.undone);
    EXPECT_EQ(snapshot().count("Plyr_05.DB.qff-undo"), 0u);
    EXPECT_EQ(readText(dir_ / "Plyr_05.DB"), "players after");
}

// Each entry reaches the journal before its change begins, so a journal cut
// anywhere undoes exactly the changes that may have happened.
TEST_F(JournalTest, AJournalCutShortUndoesWhatItRecordsAndNothingElse) {
    runKilled([this] {
        UndoJournal journal(dir_.path(), "merge");
        std::string error;
        journal.begin(error);
        journal.protect("Plyr_05.DB", error);
        writeText(dir_ / "Plyr_05.DB", "players after");
        journal.protect("State_05.DB", error);
        _exit(0);
    });
    fs::path journalPath = dir_ / std::string(kJournalName);
    std::string text = readText(journalPath);
    writeText(journalPath, text.substr(0, text.size() - 3));
    writeText(dir_ / "State_05.DB", "state changed by later work");
    Recovery recovery;
    std::string error;

    ASSERT_TRUE(recoverInterruptedWork(dir_.path(), recovery, error)) << error;

    EXPECT_EQ(readText(dir_ / "Plyr_05.DB"), "players before");
    EXPECT_EQ(readText(dir_ / "State_05.DB"), "state changed by later work");
    EXPECT_FALSE(fs::exists(journalPath));
    EXPECT_FALSE(fs::exists(dir_ / "State_05.DB.qff-undo"));
}

TEST_F(JournalTest, ANewPieceOfWorkWaitsUntilTheLeftBehindJournalIsPlayedBack) {
    writeText(dir_ / std::string(kJournalName), "QFFJ1 5:merge\n");
    UndoJournal journal(dir_.path(), "draft pick");
    std::string error;

    EXPECT_FALSE(journal.begin(error));
    EXPECT_THAT(error, ::testing::HasSubstr("has not been undone yet"));
    EXPECT_FALSE(journal.active());
}

TEST_F(JournalTest, AJournalWithoutItsFirstLineHadRecordedNothingAndLeftoversGo) {
    writeText(dir_ / std::string(kJournalName), "QFFJ");
    writeText(dir_ / "Plyr_05.DB.qff-undo", "stray copy");
    writeText(dir_ / "Team_05.DB.partial", "a file a kill caught before its rename");
    Recovery recovery;
    std::string error;

    ASSERT_TRUE(recoverInterruptedWork(dir_.path(), recovery, error)) << error;

    EXPECT_FALSE(recovery.undone);
    EXPECT_EQ(snapshot(), (std::map<std::string, std::string>{
                              {"Plyr_05.DB", "players before"},
                              {"State_05.DB", "state before"},
                          }));
}

}  // namespace
}  // namespace qff
