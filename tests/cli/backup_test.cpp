#include <gmock/gmock.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "data02/storage/Db_file.h"
#include "qff/platform/zip_archiver.h"
#include "tests/cli/CliRun.h"
#include "tests/support/SeasonFixture.h"

namespace qff::test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

using CliBackup = CliRun;

void place(const fs::path& root, const std::string& relative, const std::string& text) {
    fs::create_directories((root / relative).parent_path());
    writeText(root / relative, text);
}

std::map<std::string, std::vector<std::uint8_t>> contentsOf(const fs::path& root,
                                                            const nlohmann::json& names) {
    std::map<std::string, std::vector<std::uint8_t>> contents;
    for (const auto& name : names) {
        contents[name.get<std::string>()] = readBytes(root / name.get<std::string>());
    }
    return contents;
}

TEST_F(CliBackup, RestoreBringsBackEveryFileOfTheBackup) {
    ASSERT_EQ(qff({"season", "new", "--year", "2004"}).status, 0);
    ASSERT_EQ(qff({"prefs", "set", "8000", "2004"}).status, 0);
    ASSERT_EQ(qff({"prefs", "set", "8034", "s3cret"}).status, 0);
    ASSERT_EQ(qff({"open"}).status, 0);
    place(dir_.path(), "Reports/week1.htm", "<p>week 1</p>");
    place(dir_.path(), "Support/help.htm", "<p>help</p>");
    place(dir_.path(), "Template/page.htm", "<p>template</p>");
    TempDir archives;
    const std::string archive = (archives / "season.zip").string();

    nlohmann::json backup = qffJson({"backup", "--reports", "--to", archive});
    EXPECT_EQ(backup["archive"], archive);
    const nlohmann::json& files = backup["files"];
    EXPECT_THAT(files, Contains("Plyr_04.DB"));
    EXPECT_THAT(files, Contains("Prefs.db"));
    EXPECT_THAT(files, Contains("Reports/week1.htm"));
    EXPECT_THAT(files, Not(Contains("Support/help.htm")));
    EXPECT_THAT(files, Not(Contains("Template/page.htm")));
    const auto original = contentsOf(dir_.path(), files);

    std::vector<std::uint8_t> damaged = original.at("Plyr_04.DB");
    damaged.resize(damaged.size() / 2);
    writeBytes(dir_ / "Plyr_04.DB", damaged);
    fs::remove(dir_ / "Team_04.DB");
    writeText(dir_ / "Reports/week1.htm", "<p>changed</p>");

    RunResult refused = qff({"restore", archive});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("the 2004 season"));
    EXPECT_THAT(refused.err, HasSubstr("moved aside"));
    EXPECT_EQ(readBytes(dir_ / "Plyr_04.DB"), damaged);

    nlohmann::json restored = qffJson({"restore", archive, "--force"});
    EXPECT_EQ(restored["restored"], files);
    EXPECT_EQ(contentsOf(dir_.path(), files), original);
    EXPECT_THAT(restored["moved_aside"], Contains("Plyr_04.DB"));
    EXPECT_THAT(restored["moved_aside"], Not(Contains("Team_04.DB")));
    fs::path aside = restored["moved_to"].get<std::string>();
    EXPECT_EQ(aside, dir_ / "Backup" / "Replaced 1");
    EXPECT_EQ(readBytes(aside / "Plyr_04.DB"), damaged);
    EXPECT_EQ(readText(aside / "Reports/week1.htm"), "<p>changed</p>");
    EXPECT_EQ(qff({"open"}).status, 0);
}

TEST_F(CliBackup, RestoreRefusesAnArchiveWithoutSeasonFiles) {
    place(dir_.path(), "Reports/week1.htm", "<p>week 1</p>");
    TempDir archives;
    const fs::path archive = archives / "reports.zip";
    platform::ZipArchiver zip;
    ASSERT_TRUE(zip.packTree(archive, dir_.path(), {"Reports/week1.htm"}, "").ok);
    writeText(dir_ / "Reports/week1.htm", "<p>current</p>");

    RunResult refused = qff({"restore", archive.string(), "--force"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("holds no season data files"));
    EXPECT_EQ(readText(dir_ / "Reports/week1.htm"), "<p>current</p>");
    EXPECT_FALSE(exists("Backup"));
}

// Every file below `root` with its bytes, and every folder.
std::map<std::string, std::vector<std::uint8_t>> treeOf(const fs::path& root) {
    std::map<std::string, std::vector<std::uint8_t>> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string name = entry.path().lexically_relative(root).generic_string();
        tree[name] = entry.is_directory() ? std::vector<std::uint8_t>() : readBytes(entry.path());
    }
    return tree;
}

struct BadArchive {
    std::map<std::string, std::vector<std::uint8_t>> files;
    const char* message;
};

TEST_F(CliBackup, RestoreRefusesDamagedOrDoubledFilesAndChangesNothing) {
    const std::vector<std::uint8_t> players = recordFileBytes(2004, kPlayerRecordSize, {});
    writeBytes(dir_ / "Plyr_04.DB", players);
    place(dir_.path(), "Reports/week1.htm", "<p>current</p>");
    // A report record of type 0 whose name is an escape sequence.
    std::vector<std::uint8_t> garbage(kReportRecordSize, 0);
    garbage[9] = 0x1B;
    garbage[10] = '[';
    const std::vector<std::uint8_t> garbageReports =
        recordFileBytes(2004, kReportRecordSize, {{0, garbage}});
    const BadArchive cases[] = {
        {{{"Plyr_04.DB", std::vector<std::uint8_t>(30, 1)}},
         "The backup holds a damaged Plyr_04.DB: "},
        {{{"Plyr_04.DB", players}, {"plyr_04.db", players}},
         "The backup holds Plyr_04.DB twice (also as plyr_04.db). Nothing was restored."},
        {{{"Plyr_04.DB", players}, {"Rpt_04.DB", garbageReports}},
         "The backup holds a damaged Rpt_04.DB: "},
    };
    const auto before = treeOf(dir_.path());
    for (const BadArchive& c : cases) {
        TempDir source;
        std::vector<fs::path> names;
        for (const auto& [name, bytes] : c.files) {
            writeBytes(source / name, bytes);
            names.push_back(name);
        }
        TempDir archives;
        const fs::path archive = archives / "bad.zip";
        ASSERT_TRUE(platform::ZipArchiver().packTree(archive, source.path(), names, "").ok);

        RunResult refused = qff({"restore", archive.string(), "--force"});
        EXPECT_EQ(refused.status, 1);
        EXPECT_THAT(refused.err, HasSubstr(c.message));
        EXPECT_THAT(refused.err, HasSubstr("Nothing was restored."));
        EXPECT_EQ(treeOf(dir_.path()), before) << c.message;
    }
}

}  // namespace
}  // namespace qff::test
