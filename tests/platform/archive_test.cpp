#include <sys/stat.h>
#include <zip.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "qff/platform/zip_archiver.h"
#include "tests/platform/test_support.h"

namespace qff::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::filesBelow;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::readFile;
using testing::runProgram;
using testing::sampleBytes;
using testing::TempDir;
using testing::writeFile;

const std::vector<fs::path> kTreeNames = {"league.db", "teams/roster.csv", "teams/2024/week 1.txt",
                                          "empty.dat"};

class ArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(source_ / "league.db", sampleBytes(150'000, 1));
        writeFile(source_ / "teams/roster.csv", "id,name\n1,Ravens of Quillmar\n");
        writeFile(source_ / "teams/2024/week 1.txt", sampleBytes(5'000, 2));
        writeFile(source_ / "empty.dat", "");
    }

    void expectSameTree(const fs::path& extracted) const {
        EXPECT_EQ(filesBelow(extracted), filesBelow(source_));
        for (const fs::path& name : kTreeNames) {
            EXPECT_EQ(readFile(extracted / name), readFile(source_ / name)) << name;
        }
    }

    TempDir work_;
    fs::path source_ = work_ / "source";
    fs::path archive_ = work_ / "backup.zip";
    fs::path target_ = work_ / "target";
    ZipArchiver archiver_;
};

TEST_F(ArchiveTest, TreeRoundTripsWithAndWithoutPassword) {
    for (const std::string password : {"", "Ravens-2024"}) {
        SCOPED_TRACE("password '" + password + "'");
        const ArchiveResult packed = archiver_.packTree(archive_, source_, kTreeNames, password);
        ASSERT_TRUE(packed.ok) << packed.message;
        const ArchiveResult extracted = archiver_.extractAll(archive_, target_, password);
        ASSERT_TRUE(extracted.ok) << extracted.message;
        expectSameTree(target_);
        fs::remove_all(target_);
    }
}

TEST_F(ArchiveTest, FlatPackStoresBareNames) {
    const ArchiveResult packed = archiver_.packFlat(
        archive_, {source_ / "league.db", source_ / "teams/2024/week 1.txt"}, "");
    ASSERT_TRUE(packed.ok) << packed.message;

    ASSERT_TRUE(archiver_.extractAll(archive_, target_, "").ok);
    EXPECT_THAT(filesBelow(target_), ElementsAre("league.db", "week 1.txt"));
    EXPECT_EQ(readFile(target_ / "week 1.txt"), readFile(source_ / "teams/2024/week 1.txt"));
}

TEST_F(ArchiveTest, FlatPackNumbersNamesTakenAlready) {
    writeFile(source_ / "a/Week 1.htm", "first");
    writeFile(source_ / "b/week 1.HTM", "second");
    writeFile(source_ / "c/Week 1.htm", "third");
    ASSERT_TRUE(
        archiver_
            .packFlat(
                archive_,
                {source_ / "a/Week 1.htm", source_ / "b/week 1.HTM", source_ / "c/Week 1.htm"}, "")
            .ok);

    std::vector<std::string> names;
    ASSERT_TRUE(archiver_.listNames(archive_, names).ok);
    EXPECT_THAT(names, ElementsAre("Week 1.htm", "week 1 (2).HTM", "Week 1 (3).htm"));
    ASSERT_TRUE(archiver_.extractAll(archive_, target_, "").ok);
    EXPECT_EQ(readFile(target_ / "Week 1 (3).htm"), "third");
}

TEST_F(ArchiveTest, ExtractionOverwritesExistingFiles) {
    ASSERT_TRUE(archiver_.packTree(archive_, source_, kTreeNames, "").ok);
    writeFile(target_ / "teams/roster.csv", "stale roster that is much longer than the new one");

    ASSERT_TRUE(archiver_.extractAll(archive_, target_, "").ok);
    expectSameTree(target_);
}

TEST_F(ArchiveTest, WrongOrMissingPasswordFailsWithoutWritingFiles) {
    ASSERT_TRUE(archiver_.packTree(archive_, source_, kTreeNames, "Ravens-2024").ok);
    for (const std::string password : {"Falcons-2024", ""}) {
        SCOPED_TRACE("password '" + password + "'");
        const ArchiveResult extracted = archiver_.extractAll(archive_, target_, password);
        EXPECT_FALSE(extracted.ok);
        EXPECT_THAT(extracted.message, HasSubstr("password"));
        fs::create_directories(target_);
        EXPECT_THAT(filesBelow(target_), IsEmpty());
    }
}

TEST_F(ArchiveTest, FailedPackLeavesEarlierArchiveUntouched) {
    ASSERT_TRUE(archiver_.packTree(archive_, source_, kTreeNames, "").ok);
    const std::string before = readFile(archive_);
    const std::vector<fs::path> withMissing = {"league.db", "no-such-file.csv"};
    const std::vector<fs::path> leavingRoot = {"league.db", "../outside.txt"};

    for (const auto& names : {withMissing, leavingRoot}) {
        const ArchiveResult packed = archiver_.packTree(archive_, source_, names, "");
        EXPECT_FALSE(packed.ok);
        EXPECT_THAT(packed.message, HasSubstr(names[1].string()));
        EXPECT_EQ(readFile(archive_), before);
    }
    EXPECT_THAT(filesBelow(work_.path()),
                ElementsAre("backup.zip", "source/empty.dat", "source/league.db",
                            "source/teams/2024/week 1.txt", "source/teams/roster.csv"));
}

TEST_F(ArchiveTest, ExtractsTraditionallyEncryptedArchiveFromZipProgram) {
    const fs::path log = work_ / "zip.log";
    ASSERT_EQ(runProgram({"zip", "-q", "-P", "old-secret", archive_.string(), "league.db",
                          "teams/roster.csv", "teams/2024/week 1.txt", "empty.dat"},
                         source_, log),
              0)
        << readFile(log);

    const ArchiveResult extracted = archiver_.extractAll(archive_, target_, "old-secret");
    ASSERT_TRUE(extracted.ok) << extracted.message;
    expectSameTree(target_);
}

TEST_F(ArchiveTest, UnzipListsAndExtractsOurArchive) {
    ASSERT_TRUE(archiver_.packTree(archive_, source_, kTreeNames, "").ok);
    const fs::path log = work_ / "unzip.log";

    ASSERT_EQ(runProgram({"unzip", "-l", archive_.string()}, work_.path(), log), 0);
    for (const fs::path& name : kTreeNames) {
        EXPECT_THAT(readFile(log), HasSubstr(name.generic_string()));
    }
    ASSERT_EQ(
        runProgram({"unzip", "-q", archive_.string(), "-d", target_.string()}, work_.path(), log),
        0)
        << readFile(log);
    expectSameTree(target_);
}

TEST_F(ArchiveTest, SevenZipReadsOurAesArchive) {
    ASSERT_TRUE(archiver_.packTree(archive_, source_, kTreeNames, "Ravens-2024").ok);
    const fs::path log = work_ / "7z.log";

    ASSERT_EQ(
        runProgram({"7z", "l", "-slt", "-pRavens-2024", archive_.string()}, work_.path(), log), 0);
    EXPECT_THAT(readFile(log), HasSubstr("AES-256"));
    ASSERT_EQ(
        runProgram({"7z", "x", "-y", "-pRavens-2024", "-o" + target_.string(), archive_.string()},
                   work_.path(), log),
        0)
        << readFile(log);
    expectSameTree(target_);
}

// Hostile archives are built with libzip directly, since our own packer refuses such names.
struct HostileEntry {
    std::string name;
    mode_t unixMode;
};

void writeRawArchive(const fs::path& path, const std::vector<HostileEntry>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    static const char kContent[] = "owned";
    for (const HostileEntry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, kContent, sizeof kContent - 1, 0);
        const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, 0);
        ASSERT_GE(index, 0) << zip_strerror(archive);
        zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0,
                                         ZIP_OPSYS_UNIX, entry.unixMode << 16);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

TEST_F(ArchiveTest, RefusesEntriesThatLeaveTheTargetOrAreNotFiles) {
    const std::vector<HostileEntry> cases = {
        {"../evil.txt", S_IFREG | 0644},       {"fine/../../evil.txt", S_IFREG | 0644},
        {"/tmp/qff-evil.txt", S_IFREG | 0644}, {"..\\evil.txt", S_IFREG | 0644},
        {"link-to-passwd", S_IFLNK | 0777},    {"fifo", S_IFIFO | 0644},
    };
    const fs::path target = work_ / "nest/target";
    for (const HostileEntry& hostile : cases) {
        SCOPED_TRACE(hostile.name);
        writeRawArchive(archive_, {{"harmless.txt", S_IFREG | 0644}, hostile});
        fs::create_directories(target);

        const ArchiveResult extracted = archiver_.extractAll(archive_, target, "");
        EXPECT_FALSE(extracted.ok);
        EXPECT_THAT(extracted.message, HasSubstr("refused entry '" + hostile.name + "'"));
        EXPECT_THAT(filesBelow(work_ / "nest"), IsEmpty());
    }
}

TEST_F(ArchiveTest, DirectoryEntriesAreCreated) {
    writeRawArchive(archive_, {{"stats/", S_IFDIR | 0755}, {"stats/week.csv", S_IFREG | 0644}});

    const ArchiveResult extracted = archiver_.extractAll(archive_, target_, "");
    ASSERT_TRUE(extracted.ok) << extracted.message;
    EXPECT_TRUE(fs::is_directory(target_ / "stats"));
    EXPECT_EQ(readFile(target_ / "stats/week.csv"), "owned");
}

// Bytes past the value's four are zeros, so a run of zero fields is one call.
void appendLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += i < 4 ? static_cast<char>((value >> (8 * i)) & 0xff) : '\0';
    }
}

// libzip writes no name twice, so this archive is put together by hand: every
// entry stored and empty, whose checksum is zero.
void writeArchiveOfEmptyEntries(const fs::path& archive, const std::vector<std::string>& names) {
    std::string local;
    std::string central;
    for (const std::string& name : names) {
        const auto offset = static_cast<std::uint32_t>(local.size());
        const auto nameSize = static_cast<std::uint32_t>(name.size());
        appendLittleEndian(local, 0x04034b50, 4);
        appendLittleEndian(local, 20, 2);
        appendLittleEndian(local, 0, 20);
        appendLittleEndian(local, nameSize, 2);
        appendLittleEndian(local, 0, 2);
        local += name;
        appendLittleEndian(central, 0x02014b50, 4);
        appendLittleEndian(central, 20, 2);
        appendLittleEndian(central, 20, 2);
        appendLittleEndian(central, 0, 20);
        appendLittleEndian(central, nameSize, 2);
        appendLittleEndian(central, 0, 12);
        appendLittleEndian(central, offset, 4);
        central += name;
    }
    std::string end;
    appendLittleEndian(end, 0x06054b50, 4);
    appendLittleEndian(end, 0, 4);
    appendLittleEndian(end, static_cast<std::uint32_t>(names.size()), 2);
    appendLittleEndian(end, static_cast<std::uint32_t>(names.size()), 2);
    appendLittleEndian(end, static_cast<std::uint32_t>(central.size()), 4);
    appendLittleEndian(end, static_cast<std::uint32_t>(local.size()), 4);
    appendLittleEndian(end, 0, 2);
    writeFile(archive, local + central + end);
}

TEST_F(ArchiveTest, ListsEveryNameAsStoredAlsoWhenItIsThereTwice) {
    writeArchiveOfEmptyEntries(archive_, {"Plyr_04.DB", "Reports/", "Plyr_04.DB", "plyr_04.db"});
    std::vector<std::string> names;

    const ArchiveResult listed = archiver_.listNames(archive_, names);

    ASSERT_TRUE(listed.ok) << listed.message;
    EXPECT_THAT(names, ElementsAre("Plyr_04.DB", "Reports/", "Plyr_04.DB", "plyr_04.db"));
}

TEST_F(ArchiveTest, MissingArchiveIsReported) {
    const ArchiveResult extracted = archiver_.extractAll(work_ / "absent.zip", target_, "");
    EXPECT_FALSE(extracted.ok);
    EXPECT_THAT(extracted.message, HasSubstr("absent.zip"));
}

}  // namespace
}  // namespace qff::platform
