#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data02/model/Player.h"
#include "data02/storage/Bytes.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Ptsfile.h"
#include "data02/storage/Record.h"
#include "tests/cli/CliRun.h"
#include "tests/support/Interrupted.h"

namespace qff::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::vector<PtsRecord> weekRecords(int count) {
    std::vector<PtsRecord> records;
    for (int i = 0; i < count; ++i) {
        records.push_back({"Player " + std::to_string(i), 0, kQB, 100 + i, 2, {{kPassYards, 10}}});
    }
    return records;
}

// Where a statistics file's header keeps its record count.
constexpr std::size_t kRecordCountOffset = 84;

void writeWeek(const fs::path& path, int count) {
    std::string error;
    ASSERT_EQ(writePtsFile(path, 2004, weekRecords(count), error), 0) << error;
}

// A statistics file of `count` records whose header claims `claimed`.
void writeWeekClaiming(const fs::path& path, int count, int claimed) {
    writeWeek(path, count);
    std::vector<std::uint8_t> bytes = readBytes(path);
    putI16(bytes, kRecordCountOffset, claimed);
    writeBytes(path, bytes);
}

// One malformed file in an otherwise sound 2004 season, the command that
// meets it, and what that command must say.
struct MalformedCase {
    const char* what;
    std::function<void(const fs::path& dir)> damage;
    std::vector<std::string> command;
    const char* message;
};

class CliMalformed : public CliRun {
  protected:
    void SetUp() override {
        RunResult created = qff({"season", "new", "--year", "2004"});
        ASSERT_EQ(created.status, 0) << created.err;
        ASSERT_EQ(qff({"open", "--year", "2004"}).status, 0);
    }
};

// Every malformed file is refused with its message, and nothing in the
// working folder changes: not the season's files, not the file refused.
TEST_F(CliMalformed, EachMalformedFileIsRefusedWithItsMessageAndNothingChanges) {
    const MalformedCase cases[] = {
        {"a player file cut short",
         [](const fs::path& dir) {
             writeWeek(dir / "4_WK1.pts", 2);
             std::vector<std::uint8_t> cut = readBytes(dir / "Plyr_04.DB");
             cut.resize(DBFile::kHeaderSize + 10 * kPlayerRecordSize + 500);
             writeBytes(dir / "Plyr_04.DB", cut);
         },
         {"merge", "4_WK1.pts"},
         "Plyr_04.DB is cut short"},
        {"a statistics file shorter than its header promises",
         [](const fs::path& dir) {
             writeWeek(dir / "4_WK1.pts", 3);
             fs::resize_file(dir / "4_WK1.pts", fs::file_size(dir / "4_WK1.pts") - 10);
         },
         {"merge", "4_WK1.pts"},
         "header promises 3"},
        {"a statistics file longer than its header promises",
         [](const fs::path& dir) {
             writeWeek(dir / "4_WK1.pts", 3);
             std::vector<std::uint8_t> longer = readBytes(dir / "4_WK1.pts");
             longer.resize(longer.size() + 200, 0);
             writeBytes(dir / "4_WK1.pts", longer);
         },
         {"merge", "4_WK1.pts"},
         "header promises 3"},
        {"a statistics file whose header promises 32767 records",
         [](const fs::path& dir) { writeWeekClaiming(dir / "4_WK1.pts", 3, 32767); },
         {"merge", "4_WK1.pts"},
         "holds 3 records where its header promises 32767"},
        {"a statistics file whose header promises none",
         [](const fs::path& dir) { writeWeekClaiming(dir / "4_WK1.pts", 3, 0); },
         {"merge", "4_WK1.pts"},
         "4_WK1.pts has a damaged header"},
    };
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(dir_ / "4_WK1.pts");
        std::vector<std::uint8_t> players = readBytes(dir_ / "Plyr_04.DB");
        c.damage(dir_.path());
        const FileImages before = filesIn(dir_.path());

        std::vector<std::string> command = c.command;
        command.back() = (dir_ / command.back()).string();
        RunResult run = qff(command);

        EXPECT_NE(run.status, 0);
        EXPECT_THAT(run.out + run.err, HasSubstr(c.message));
        EXPECT_THAT(changedFiles(before, filesIn(dir_.path())), ::testing::IsEmpty());
        writeBytes(dir_ / "Plyr_04.DB", players);
    }
}

}  // namespace
}  // namespace qff::test
