#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data02/intake/Statsmerge.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/scoring/Cache.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Ptsfile.h"
#include "data02/storage/Statblock.h"
#include "tests/support/Interrupted.h"
#include "tests/support/SeasonFixture.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
using ::testing::ElementsAre;

constexpr int kYear = 2003;
constexpr std::time_t kMid2003 = 1055678400;

// File position codes, as the statistics files write them.
enum FileCode { kFileQB = 0, kFileRB = 1, kFileWR = 2, kFileDEF = 10, kFileSPE = 11, kFileTE = 12 };

constexpr int kAtlanta = 0;
constexpr int kBuffalo = 1;
constexpr int kAtlantaQbUnit = 10010;
constexpr int kAtlantaRbUnit = 10011;
constexpr int kAtlantaWrUnit = 10012;
constexpr int kAtlantaTeUnit = 10013;
constexpr int kAtlantaDefense = 10015;
constexpr int kBuffaloRbUnit = 10021;
constexpr int kBuffaloSpecialTeams = 10026;

// One 91-byte record of a statistics file, built byte by byte.
struct RawRecord {
    std::array<std::uint8_t, kStatsRecordSize> bytes{};

    RawRecord(std::string_view name, int team, int fileCode, int id, int week) {
        std::copy(name.begin(), name.end(), bytes.begin());
        bytes[30] = static_cast<std::uint8_t>(team);
        bytes[31] = static_cast<std::uint8_t>(fileCode);
        bytes[32] = static_cast<std::uint8_t>(id & 0xFF);
        bytes[33] = static_cast<std::uint8_t>((id >> 8) & 0xFF);
        bytes[34] = static_cast<std::uint8_t>(week);
    }
    RawRecord& byte(int offset, int value) {
        bytes[offset] = static_cast<std::uint8_t>(value);
        return *this;
    }
    RawRecord& word(int offset, int value) {
        bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
        return *this;
    }
};

// The statistics layout: a 92-byte header, then a leading byte and a record per slot.
std::vector<std::uint8_t> statsFile(int year, const std::vector<RawRecord>& records,
                                    int lengthField = 92) {
    std::vector<std::uint8_t> file(92, 0);
    auto put16 = [&](int at, int value) {
        file[at] = static_cast<std::uint8_t>(value & 0xFF);
        file[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    };
    put16(80, lengthField);
    put16(82, year);
    put16(84, static_cast<int>(records.size()));
    put16(86, static_cast<int>(records.size()));
    put16(88, 0);
    for (const RawRecord& record : records) {
        file.push_back(0);
        file.insert(file.end(), record.bytes.begin(), record.bytes.end());
    }
    return file;
}

// A created and opened 2003 season: the NFL team units and nothing else.
class MergeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_.path(), [] { return kMid2003; }}, error);
        ASSERT_TRUE(context_) << error;
        ASSERT_EQ(context_->preferences().load(), 0);
        ASSERT_TRUE(createSeasonFiles(*context_, kYear, error)) << error;
        beforeOpening();
        ASSERT_TRUE(openSeason(*context_, kYear).opened);
    }

    virtual void beforeOpening() {}

    Singleton& context() { return *context_; }

    Player* player(int id) { return context().mapFactory().players().findFirst(kPlayerId, id); }
    int value(int id, int code, int week) {
        Player* p = player(id);
        return p ? p->getValue(code, week) : -9999;
    }

    Player* addPlayer(int id, int team, int position, std::string_view name) {
        return test::addPlayer(context(), id, team, position, name);
    }

    std::filesystem::path write(const std::string& name, int year,
                                const std::vector<RawRecord>& records) {
        std::filesystem::path path = dir_ / name;
        writeBytes(path, statsFile(year, records));
        return path;
    }

    MergeReport merge(const std::filesystem::path& path) {
        return StatsMerge(context(), path).run();
    }

    std::filesystem::path playerFilePath() {
        return dir_ / *seasonFileName(SeasonFile::Plyr, kYear);
    }
    std::filesystem::path stateFilePath() {
        return dir_ / *seasonFileName(SeasonFile::State, kYear);
    }

    TempDir dir_;
    std::unique_ptr<Singleton> context_;
};

// Week 3 (index 2) of Atlanta and Buffalo: four known receivers and passers,
// a new running back, Atlanta's defense and Buffalo's special teams.
std::vector<RawRecord> weekThree() {
    return {
        RawRecord("Joe Passer", kAtlanta, kFileQB, 100, 2)
            .byte(35, 20)
            .byte(36, 30)
            .word(39, 310)
            .byte(41, 25)
            .byte(42, 40)
            .word(51, 12),
        RawRecord("Wide One", kAtlanta, kFileWR, 200, 2).byte(61, 7).word(63, 120).byte(65, 25),
        RawRecord("Tight End", kAtlanta, kFileTE, 300, 2).word(63, 45).byte(65, 12),
        RawRecord("Wide Two", kAtlanta, kFileWR, 201, 2).word(63, 80).byte(65, 60),
        RawRecord("Falcons Defense", kAtlanta, kFileDEF, 0, 2)
            .word(39, 250)
            .byte(41, 35)
            .byte(53, 2)
            .byte(57, 17),
        RawRecord("Bills Special", kBuffalo, kFileSPE, 0, 2).word(39, 300).byte(41, 90),
        RawRecord("Rookie Back", kBuffalo, kFileRB, 400, 2).byte(49, 15).word(51, 75),
    };
}

struct Expected {
    int id;
    int code;
    int value;
};

class WeeklyMergeTest : public MergeTest {
  protected:
    void SetUp() override {
        MergeTest::SetUp();
        addPlayer(100, kAtlanta, kQB, "Joe Passer");
        addPlayer(200, kAtlanta, kWR, "Wide One");
        addPlayer(300, kAtlanta, kTE, "Tight End");
        addPlayer(201, kAtlanta, kWR, "Wide Two");
    }

    void expectValues(const std::vector<Expected>& cases, int week) {
        for (const Expected& c : cases) {
            EXPECT_EQ(value(c.id, c.code, week), c.value) << "id " << c.id << " code " << c.code;
        }
    }
};

const std::vector<Expected> kWeekThreeValues = {
    {100, 9, 20},
    {100, 10, 30},
    {100, 12, 310},
    {100, 13, 25},
    {100, 14, 40},
    {100, 15, 0},
    {100, kPassTdCount, 2},
    {100, 25, 12},
    {200, 37, 7},
    {200, 38, 120},
    {200, 39, 25},
    {300, 38, 45},
    {300, 39, 12},
    {201, 38, 80},
    {400, 24, 15},
    {400, 25, 75},
    {kAtlantaQbUnit, 9, 20},
    {kAtlantaQbUnit, 12, 310},
    {kAtlantaQbUnit, 13, 25},
    {kAtlantaQbUnit, 14, 40},
    {kAtlantaQbUnit, 25, 12},
    {kAtlantaRbUnit, 25, 0},
    {kAtlantaWrUnit, 37, 7},
    {kAtlantaWrUnit, 38, 200},
    {kAtlantaWrUnit, 39, 25},
    {kAtlantaWrUnit, 40, 60},
    {kAtlantaWrUnit, kReceivedTdCount, 2},
    {kAtlantaTeUnit, 38, 45},
    {kAtlantaTeUnit, 39, 12},
    {kAtlantaDefense, 76, 250},
    {kAtlantaDefense, 78, 35},
    {kAtlantaDefense, 72, 2},
    {kAtlantaDefense, 77, 17},
    {kAtlantaDefense, 12, 0},
    {kBuffaloSpecialTeams, 61, 300},
    {kBuffaloSpecialTeams, 62, 90},
    {kBuffaloRbUnit, 25, 75},
};

TEST_F(WeeklyMergeTest, StoresEveryValueAndRebuildsTheTeamUnits) {
    MergeReport report = merge(write("3_WK3.pts", kYear, weekThree()));

    EXPECT_TRUE(report.succeeded());
    EXPECT_EQ(report.records, 7);
    EXPECT_EQ(report.playersUpdated, 6);
    EXPECT_EQ(report.newPlayers, 1);
    EXPECT_THAT(report.newPlayerIds, ElementsAre(400));
    EXPECT_EQ(report.skipped, 0);
    EXPECT_EQ(report.week, 2);
    EXPECT_TRUE(report.messages.empty());
    expectValues(kWeekThreeValues, 2);
    EXPECT_EQ(player(400)->name(), "Rookie Back");
    EXPECT_EQ(player(400)->team(), kBuffalo);
    EXPECT_EQ(player(400)->storedPosition(), kRB);
    EXPECT_EQ(context().seasonState().weekHasStats(2), 1);
    EXPECT_EQ(context().seasonState().peek(kCurrentWeek), 2);
}

TEST_F(WeeklyMergeTest, TheMergedDataIsOnDiskAndNothingIsLeftToUndo) {
    merge(write("3_WK3.pts", kYear, weekThree()));
    ASSERT_EQ(context().mapFactory().reloadPlayers(kYear), 0);
    expectValues(kWeekThreeValues, 2);
    for (const auto& [name, bytes] : test::filesIn(dir_.path())) {
        EXPECT_FALSE(name == kJournalName || name.ends_with(kUndoCopySuffix)) << name;
    }
}

// Three records in, the units of week 3 are cleared and three players carry
// the new week: the state a kill part way used to leave.
constexpr int kRecordsBeforeTheEnd = 3;

TEST_F(WeeklyMergeTest, AMergeKilledPartWayIsUndoneBeforeTheSeasonOpensAgain) {
    std::filesystem::path file = write("3_WK3.pts", kYear, weekThree());
    test::FileImages before = test::filesIn(dir_.path());

    test::runKilled([&] {
        StatsMerge merge(context(), file);
        merge.step(kRecordsBeforeTheEnd);
        _exit(0);
    });
    ASSERT_THAT(test::changedFiles(before, test::filesIn(dir_.path())),
                ::testing::Contains("Plyr_03.DB"));
    context_.reset();
    std::string error;
    context_ = Singleton::create(SeasonEnv{dir_.path(), [] { return kMid2003; }}, error);
    ASSERT_TRUE(context_) << error;

    EXPECT_THAT(test::changedFiles(before, test::filesIn(dir_.path())), ::testing::IsEmpty());
    ASSERT_EQ(context().preferences().load(), 0);
    SeasonOpenReport opened = openSeason(context(), kYear);
    ASSERT_TRUE(opened.opened);
    ASSERT_FALSE(opened.messages.empty());
    EXPECT_EQ(opened.messages[0].text,
              "An interrupted merge was undone: the files are as they were before it.");
}

struct BrokenMerge {
    const char* name;
    // Finishes or abandons a merge that has written part of the week.
    std::function<void(Singleton&, std::unique_ptr<StatsMerge>&)> end;
};

const BrokenMerge kBrokenMerges[] = {
    {"a write fails",
     [](Singleton& context, std::unique_ptr<StatsMerge>& merge) {
         context.playerFile().close();
         MergeReport report = merge->run();
         EXPECT_TRUE(report.undone);
         EXPECT_FALSE(report.succeeded());
         EXPECT_FALSE(report.week);
         EXPECT_THAT(report.failures, ::testing::Contains(::testing::StartsWith("Could not save")));
         EXPECT_EQ(report.messages.back().text,
                   "The merge was undone: the season's files are as they were before it.");
     }},
    {"the merge is abandoned",
     [](Singleton&, std::unique_ptr<StatsMerge>& merge) { merge.reset(); }},
};

TEST_F(WeeklyMergeTest, AMergeThatDoesNotFinishLeavesTheFilesAndTheOpenSeasonAsTheyWere) {
    std::filesystem::path file = write("3_WK3.pts", kYear, weekThree());
    context().seasonState().set(kCurrentWeek, 5);
    for (const BrokenMerge& broken : kBrokenMerges) {
        test::FileImages before = test::filesIn(dir_.path());
        auto merge = std::make_unique<StatsMerge>(context(), file);
        merge->step(kRecordsBeforeTheEnd);

        broken.end(context(), merge);

        EXPECT_THAT(test::changedFiles(before, test::filesIn(dir_.path())), ::testing::IsEmpty())
            << broken.name;
        EXPECT_EQ(value(100, kPassYards, 2), 0) << broken.name;
        EXPECT_EQ(player(400), nullptr) << broken.name;
        EXPECT_EQ(context().seasonState().weekHasStats(2), 0) << broken.name;
        EXPECT_EQ(context().seasonState().peek(kCurrentWeek), 5) << broken.name;
    }
    // The season goes on from the restored files.
    EXPECT_TRUE(merge(file).succeeded());
    ASSERT_EQ(context().mapFactory().reloadPlayers(kYear), 0);
    expectValues(kWeekThreeValues, 2);
}

TEST_F(WeeklyMergeTest, MergingAgainGivesTheSameWeekAndKeepsTheBonusPoints) {
    std::filesystem::path file = write("3_WK3.pts", kYear, weekThree());
    merge(file);
    for (auto [id, bonus] : {std::pair{100, 5}, {kAtlantaWrUnit, -3}, {kAtlantaDefense, 4}}) {
        ASSERT_EQ(player(id)->setValue(kPlayerBonus, bonus, 2), 0);
        ASSERT_EQ(player(id)->save(), 0);
    }

    MergeReport again = merge(file);

    EXPECT_TRUE(again.succeeded());
    EXPECT_EQ(again.newPlayers, 0);
    EXPECT_EQ(again.playersUpdated, 7);
    expectValues(kWeekThreeValues, 2);
    EXPECT_EQ(value(100, kPlayerBonus, 2), 5);
    EXPECT_EQ(value(kAtlantaWrUnit, kPlayerBonus, 2), -3);
    EXPECT_EQ(value(kAtlantaDefense, kPlayerBonus, 2), 4);
}

TEST_F(WeeklyMergeTest, PlayersOutsideTheFileKeepTheirWeekAndOtherWeeksStay) {
    Player* idle = addPlayer(500, kAtlanta, kRB, "Idle Back");
    idle->setValue(kRushYards, 33, 2);
    idle->save();
    player(100)->setValue(kPassYards, 99, 1);
    player(100)->save();

    merge(write("3_WK3.pts", kYear, weekThree()));

    EXPECT_EQ(value(500, kRushYards, 2), 33);
    EXPECT_EQ(value(kAtlantaRbUnit, kRushYards, 2), 0);
    EXPECT_EQ(value(100, kPassYards, 1), 99);
    EXPECT_EQ(value(100, kPassYards, 2), 310);
}

TEST_F(WeeklyMergeTest, ASecondRecordOfAPlayerReplacesHisShareOfTheUnit) {
    std::vector<RawRecord> records = weekThree();
    records.push_back(RawRecord("Wide One", kAtlanta, kFileWR, 200, 2).word(63, 10).byte(65, 5));

    merge(write("3_WK3.pts", kYear, records));

    EXPECT_EQ(value(200, kReceivingYards, 2), 10);
    EXPECT_EQ(value(kAtlantaWrUnit, kReceivingYards, 2), 90);
    EXPECT_EQ(value(kAtlantaWrUnit, 39, 2), 60);
    EXPECT_EQ(value(kAtlantaWrUnit, 40, 2), 5);
}

TEST_F(WeeklyMergeTest, WeeksThatComeBackLaterKeepTheirUnitTotals) {
    std::vector<RawRecord> records = {
        RawRecord("Wide One", kAtlanta, kFileWR, 200, 2).word(63, 120),
        RawRecord("Wide One", kAtlanta, kFileWR, 200, 4).word(63, 50),
        RawRecord("Wide Two", kAtlanta, kFileWR, 201, 2).word(63, 80),
    };

    MergeReport report = merge(write("mixed.pts", kYear, records));

    EXPECT_EQ(value(kAtlantaWrUnit, kReceivingYards, 2), 200);
    EXPECT_EQ(value(kAtlantaWrUnit, kReceivingYards, 4), 50);
    EXPECT_THAT(report.weeksMerged, ElementsAre(2, 4));
    EXPECT_EQ(report.week, 4);
    EXPECT_EQ(context().seasonState().peek(kCurrentWeek), 4);
}

TEST_F(WeeklyMergeTest, ThePointsCacheIsDropped) {
    Cache& cache = context().cache();
    cache.store(Cache::Set::Player, {kYear, 100, 2, 0, 88}, 17);
    cache.store(Cache::Set::Franchise, {kYear, 1, 2, 0, 2000}, 40);

    merge(write("3_WK3.pts", kYear, weekThree()));

    EXPECT_EQ(cache.size(Cache::Set::Player), 0u);
    EXPECT_EQ(cache.size(Cache::Set::Franchise), 0u);
}

TEST_F(WeeklyMergeTest, StepsReportProgressAndStatus) {
    StatsMerge merge(context(), write("3_WK3.pts", kYear, weekThree()));
    EXPECT_EQ(merge.total(), 7);
    EXPECT_EQ(merge.status(), "Preparing for the merge...");
    std::vector<int> progress;
    std::vector<std::string> names;
    while (merge.step(3)) {
        progress.push_back(merge.progress());
        names.push_back(merge.playerName());
    }
    progress.push_back(merge.progress());
    names.push_back(merge.playerName());
    EXPECT_THAT(progress, ElementsAre(3, 6, 7));
    EXPECT_THAT(names, ElementsAre("Tight End", "Bills Special", "Rookie Back"));
    EXPECT_EQ(merge.status(), "Merging Statistics for Week 3");
    EXPECT_FALSE(merge.step());
    const MergeReport& report = merge.finish();
    EXPECT_EQ(merge.status(), "Saving Team Players");
    EXPECT_EQ(&merge.finish(), &report);
    EXPECT_EQ(report.records, 7);
}

TEST_F(MergeTest, AFileOfAnotherSeasonIsRefusedBeforeAnythingIsWritten) {
    context().seasonState().set(kCurrentWeek, 5);
    std::vector<std::uint8_t> players = readBytes(playerFilePath());
    std::vector<std::uint8_t> state = readBytes(stateFilePath());

    MergeReport report = merge(write("4_WK3.pts", 2004, weekThree()));

    EXPECT_TRUE(report.refused);
    EXPECT_FALSE(report.succeeded());
    EXPECT_EQ(report.records, 0);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].text,
              "Merging stats from 2004 into the 2003 season is not allowed.");
    EXPECT_EQ(report.messages[0].type, MergeMessage::Type::Error);
    EXPECT_EQ(readBytes(playerFilePath()), players);
    EXPECT_EQ(readBytes(stateFilePath()), state);
}

TEST_F(MergeTest, AFileThatCannotBeOpenedLeavesTheSeasonAlone) {
    context().seasonState().set(kCurrentWeek, 5);
    std::vector<std::uint8_t> players = readBytes(playerFilePath());
    writeBytes(dir_ / "short.pts", statsFile(kYear, weekThree(), 91));
    writeBytes(dir_ / "named.dat", statsFile(kYear, weekThree()));

    for (const char* name : {"missing.pts", "short.pts", "named.dat"}) {
        MergeReport report = merge(dir_ / name);

        EXPECT_FALSE(report.opened) << name;
        EXPECT_FALSE(report.succeeded()) << name;
        ASSERT_EQ(report.messages.size(), 1u) << name;
        EXPECT_THAT(report.messages[0].text,
                    ::testing::StartsWith("The statistics file " + std::string(name) +
                                          " could not be opened"));
        EXPECT_EQ(context().seasonState().peek(kCurrentWeek), 5) << name;
    }
    EXPECT_EQ(readBytes(playerFilePath()), players);
}

// Opening a FIFO would wait for a writer for good; the merge returns at once.
TEST_F(MergeTest, OnlyARegularFileIsMerged) {
    context().seasonState().set(kCurrentWeek, 5);
    std::vector<std::uint8_t> players = readBytes(playerFilePath());
    ASSERT_EQ(mkfifo((dir_ / "fifo.pts").c_str(), 0600), 0);
    std::filesystem::create_directory(dir_ / "folder.pts");

    for (const char* name : {"fifo.pts", "FIFO.PTS", "folder.pts"}) {
        MergeReport report = merge(dir_ / name);

        EXPECT_FALSE(report.opened) << name;
        ASSERT_EQ(report.messages.size(), 1u) << name;
        EXPECT_EQ(report.messages[0].text,
                  "The statistics file " + std::string(name) + " is not a regular file.");
        EXPECT_EQ(context().seasonState().peek(kCurrentWeek), 5) << name;
    }
    EXPECT_EQ(readBytes(playerFilePath()), players);
}

// A header is only believed when the file holds exactly the records it
// promises, and no more than a statistics file can hold.
TEST_F(MergeTest, AFileWhoseHeaderDoesNotMatchItsRecordsIsRefusedBeforeAnythingIsWritten) {
    context().seasonState().set(kCurrentWeek, 5);
    std::vector<std::uint8_t> players = readBytes(playerFilePath());
    std::vector<std::uint8_t> state = readBytes(stateFilePath());
    auto withCount = [](std::vector<std::uint8_t> file, int count) {
        file[84] = static_cast<std::uint8_t>(count & 0xFF);
        file[85] = static_cast<std::uint8_t>(count >> 8);
        return file;
    };
    std::vector<std::uint8_t> cut = statsFile(kYear, weekThree());
    cut.resize(cut.size() - 40);
    const std::vector<RawRecord> crowd(DBFile::kSlots + 1, weekThree().front());
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* says;
    };
    const Case cases[] = {
        {"promises_more.pts", withCount(statsFile(kYear, weekThree()), 32767), "header promises"},
        {"promises_fewer.pts", withCount(statsFile(kYear, weekThree()), 1), "damaged header"},
        {"cut.pts", cut, "header promises"},
        {"crowded.pts", statsFile(kYear, crowd), "2048 at most"},
        {"empty.pts", statsFile(kYear, {}), "holds no records"},
    };
    for (const Case& c : cases) {
        writeBytes(dir_ / c.name, c.bytes);
        MergeReport report = merge(dir_ / c.name);

        EXPECT_FALSE(report.succeeded()) << c.name;
        EXPECT_EQ(report.records, 0) << c.name;
        ASSERT_EQ(report.messages.size(), 1u) << c.name;
        EXPECT_THAT(report.messages[0].text, ::testing::HasSubstr(c.says)) << c.name;
        EXPECT_EQ(readBytes(dir_ / c.name), c.bytes) << c.name;
    }
    EXPECT_EQ(readBytes(playerFilePath()), players);
    EXPECT_EQ(readBytes(stateFilePath()), state);
}

struct SkipCase {
    const char* what;
    RawRecord record;
    MergeSkip::Reason reason;
};

TEST_F(MergeTest, RecordsThatCannotBeMergedAreSkippedAndReported) {
    const std::vector<SkipCase> cases = {
        {"week past the season", RawRecord("Late", kAtlanta, kFileWR, 600, 17).word(63, 5),
         MergeSkip::Reason::Week},
        {"negative week", RawRecord("Early", kAtlanta, kFileWR, 601, 255).word(63, 5),
         MergeSkip::Reason::Week},
        {"empty id", RawRecord("Nobody", kAtlanta, kFileWR, 0, 2).word(63, 5),
         MergeSkip::Reason::Id},
        {"negative id", RawRecord("Minus", kAtlanta, kFileWR, -4, 2).word(63, 5),
         MergeSkip::Reason::Id},
        {"unit id", RawRecord("Posing Unit", kAtlanta, kFileWR, kAtlantaWrUnit, 2).word(63, 5),
         MergeSkip::Reason::Id},
        {"rebuilt unit", RawRecord("QB Unit", kAtlanta, 6, 602, 2).word(39, 5),
         MergeSkip::Reason::Position},
        {"unknown position", RawRecord("Odd", kAtlanta, 14, 603, 2).word(39, 5),
         MergeSkip::Reason::Position},
        {"team outside the table", RawRecord("Lost", 200, kFileDEF, 0, 2).word(39, 5),
         MergeSkip::Reason::Team},
    };
    std::vector<RawRecord> records;
    for (const SkipCase& c : cases) {
        records.push_back(c.record);
    }
    records.push_back(RawRecord("Good", kAtlanta, kFileWR, 604, 2).word(63, 5));

    MergeReport report = merge(write("bad.pts", kYear, records));

    ASSERT_EQ(report.skippedRecords.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(report.skippedRecords[i].reason, cases[i].reason) << cases[i].what;
        EXPECT_EQ(report.skippedRecords[i].slot, static_cast<int>(i)) << cases[i].what;
    }
    EXPECT_EQ(report.skipped, static_cast<int>(cases.size()));
    EXPECT_THAT(report.newPlayerIds, ElementsAre(604));
    EXPECT_EQ(value(kAtlantaWrUnit, kReceivingYards, 2), 5);
    EXPECT_EQ(context().mapFactory().players().size(), 224u + 1u);
    EXPECT_THAT(report.messages, ::testing::Contains(::testing::Field(
                                     &MergeMessage::text,
                                     "2 records were skipped: the week lies outside the season.")));
}

class NoUnitsMergeTest : public MergeTest {
  protected:
    void beforeOpening() override {
        DBFile empty(context().memory());
        ASSERT_EQ(empty.createFile(playerFilePath(), kYear, kPlayerRecordSize), 0);
    }
};

TEST_F(NoUnitsMergeTest, ASeasonWithoutTeamUnitsStillStartsTheWeek) {
    ASSERT_EQ(context().mapFactory().players().size(), 0u);

    MergeReport report = merge(write("3_WK3.pts", kYear, weekThree()));

    EXPECT_TRUE(report.succeeded());
    EXPECT_EQ(report.week, 2);
    EXPECT_EQ(context().seasonState().weekHasStats(2), 1);
    EXPECT_EQ(context().seasonState().peek(kCurrentWeek), 2);
    EXPECT_EQ(value(100, kPassYards, 2), 310);
    EXPECT_EQ(value(kAtlantaDefense, 76, 2), 250);
    EXPECT_EQ(player(kAtlantaQbUnit), nullptr);
}

TEST_F(MergeTest, PlayersThatDoNotFitAreReported) {
    int free = DBFile::kSlots - context().playerFile().db().usedCount();
    for (int i = 0; i < free - 1; ++i) {
        addPlayer(1000 + i, kAtlanta, kRB, "Filler");
    }
    std::vector<RawRecord> records = {
        RawRecord("Fits", kAtlanta, kFileRB, 700, 2).word(51, 10),
        RawRecord("No Room", kAtlanta, kFileRB, 701, 2).word(51, 20),
        RawRecord("No Room Either", kAtlanta, kFileRB, 702, 2).word(51, 30),
    };

    MergeReport report = merge(write("3_WK3.pts", kYear, records));

    EXPECT_THAT(report.newPlayerIds, ElementsAre(700));
    ASSERT_EQ(report.skippedRecords.size(), 2u);
    EXPECT_EQ(report.skippedRecords[0].id, 701);
    EXPECT_EQ(report.skippedRecords[1].name, "No Room Either");
    EXPECT_EQ(report.skippedRecords[1].reason, MergeSkip::Reason::DatabaseFull);
    EXPECT_THAT(report.failures,
                ElementsAre("2 players could not be added because the player database is full."));
    EXPECT_EQ(value(kAtlantaRbUnit, kRushYards, 2), 10);
}

class RosterMergeTest : public MergeTest {
  protected:
    void SetUp() override {
        MergeTest::SetUp();
        Player* mover = addPlayer(200, kAtlanta, kWR, "Wide One");
        mover->setValue(kReceivingYards, 120, 2);
        mover->save();
        context().seasonState().set(kCurrentWeek, 6);
    }
};

TEST_F(RosterMergeTest, AddsUnknownPlayersAndRefreshesKnownOnes) {
    MergeReport report =
        merge(write("Update3.ros", kYear,
                    {RawRecord("Wide One Jr", kBuffalo, kFileTE, 200, 99).word(63, 999),
                     RawRecord("New Kicker", kBuffalo, 3, 800, 99).byte(74, 3)}));

    EXPECT_TRUE(report.succeeded());
    EXPECT_TRUE(report.rosterRecordsSeen);
    EXPECT_EQ(report.playersUpdated, 1);
    EXPECT_THAT(report.newPlayerIds, ElementsAre(800));
    EXPECT_FALSE(report.week);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].text, "1 new players were added to your database.");
    Player* mover = player(200);
    EXPECT_EQ(mover->name(), "Wide One Jr");
    EXPECT_EQ(mover->team(), kBuffalo);
    EXPECT_EQ(mover->storedPosition(), kTE);
    EXPECT_EQ(mover->getValue(kReceivingYards, 2), 120);
    EXPECT_EQ(player(800)->storedPosition(), kPK);
    EXPECT_EQ(player(800)->getValue(kReceivingYards, kAllWeeks), 0);
    EXPECT_EQ(context().seasonState().peek(kCurrentWeek), 6);
    EXPECT_EQ(context().seasonState().weeksWithStats(), 0);
}

TEST_F(RosterMergeTest, OnlyKnownPlayersMeansNoNewPlayers) {
    MergeReport report =
        merge(write("Update3.ros", kYear, {RawRecord("Wide One", kAtlanta, kFileWR, 200, 99)}));

    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].text, "No new players were added to your database.");
    EXPECT_EQ(report.messages[0].type, MergeMessage::Type::Information);
}

// --- the statistics file reader and writer ---

class PtsFileTest : public ::testing::Test {
  protected:
    std::filesystem::path write(const std::vector<RawRecord>& records, int year = kYear) {
        std::filesystem::path path = dir_ / "file.pts";
        writeBytes(path, statsFile(year, records));
        return path;
    }

    TempDir dir_;
    MyMemory memory_{dir_ / "mem_log.txt"};
    StrBuf strBuf_{memory_};
    PtsFile file_{memory_, strBuf_};
    std::string error_;
};

TEST_F(PtsFileTest, FilePositionCodesAreTranslated) {
    const int expected[] = {0, 1, 2, 4, 5, 6, 10, 11, 12, 14, 15, 16, 3, 13, -1};
    for (int code = 0; code < static_cast<int>(std::size(expected)); ++code) {
        ASSERT_EQ(file_.open(write({RawRecord("P", kAtlanta, code, 1, 0)})), 0);
        EXPECT_EQ(file_.value(kPlayerPosition), expected[code]) << "file code " << code;
        EXPECT_EQ(PtsFile::positionOf(code), expected[code]);
        if (expected[code] >= 0) {
            EXPECT_EQ(PtsFile::fileCodeOf(expected[code]), code);
        }
    }
    EXPECT_EQ(PtsFile::positionOf(255), -1);
    EXPECT_EQ(PtsFile::fileCodeOf(7), -1);
}

struct FieldCase {
    int fileCode;
    int offset;
    int size;
    int raw;
    int field;
    int expected;
};

TEST_F(PtsFileTest, FieldsFollowTheLayoutOfTheirPosition) {
    const FieldCase cases[] = {
        {kFileDEF, 39, 2, 250, 76, 250}, {kFileDEF, 39, 2, 250, 12, 0},
        {kFileDEF, 57, 1, 200, 77, -56}, {kFileDEF, 53, 1, 4, 72, 4},
        {kFileDEF, 48, 1, 21, 85, 21},   {kFileDEF, 53, 1, 4, 26, 0},
        {kFileSPE, 39, 2, 412, 61, 412}, {kFileSPE, 41, 1, 88, 62, 88},
        {kFileSPE, 53, 1, 9, 72, 0},     {kFileQB, 39, 2, -20, 12, -20},
        {kFileQB, 82, 1, 30, 61, 30},    {kFileQB, 37, 1, 2, 23, 2},
        {kFileWR, 81, 1, 200, 58, -56},  {kFileWR, 90, 1, 47, 69, 47},
        {kFileWR, 39, 2, 250, 76, 0},    {kFileRB, 50, 1, 1, 36, 1},
    };
    for (const FieldCase& c : cases) {
        RawRecord record("P", kAtlanta, c.fileCode, 77, 3);
        c.size == 1 ? record.byte(c.offset, c.raw) : record.word(c.offset, c.raw);
        ASSERT_EQ(file_.open(write({record})), 0);
        EXPECT_EQ(file_.value(c.field), c.expected)
            << "file code " << c.fileCode << " field " << c.field;
    }
}

TEST_F(PtsFileTest, IdentityFields) {
    ASSERT_EQ(file_.open(write({RawRecord("Sam Ample", 3, kFileWR, 4321, 6),
                                RawRecord("Ignored Id", 3, kFileDEF, 555, 99),
                                RawRecord("Ignored Too", 3, kFileSPE, 556, 99)})),
              0);
    EXPECT_EQ(file_.value(kPlayerId), 4321);
    EXPECT_EQ(file_.value(kPlayerTeam), 3);
    EXPECT_EQ(file_.value(kPlayerWeek), 6);
    EXPECT_STREQ(file_.text(kPlayerName), "Sam Ample");
    EXPECT_STREQ(file_.text(kPlayerTeam), "Cin");
    EXPECT_STREQ(file_.text(kPlayerPosition), "WR");
    EXPECT_STREQ(file_.text(9), "");
    ASSERT_EQ(file_.next(), 0);
    EXPECT_EQ(file_.value(kPlayerId), 10045);
    EXPECT_EQ(file_.value(kPlayerWeek), 99);
    ASSERT_EQ(file_.next(), 0);
    EXPECT_EQ(file_.value(kPlayerId), 10046);
}

TEST_F(PtsFileTest, IteratesInFileOrderToTheEnd) {
    std::vector<std::uint8_t> bytes =
        statsFile(kYear, {RawRecord("A", 0, 0, 1, 0), RawRecord("B", 0, 0, 2, 0)});
    writeBytes(dir_ / "two.PTS", bytes);

    ASSERT_EQ(file_.open(dir_ / "two.PTS"), 0);
    EXPECT_EQ(file_.fileYear(), kYear);
    EXPECT_EQ(file_.recordCount(), 2);
    std::vector<int> ids;
    for (int status = 0; status == 0; status = file_.next()) {
        ids.push_back(file_.value(kPlayerId));
        EXPECT_EQ(file_.currentSlot(), static_cast<int>(ids.size()) - 1);
    }
    EXPECT_THAT(ids, ElementsAre(1, 2));
    EXPECT_FALSE(file_.hasRecord());
    ASSERT_EQ(file_.first(), 0);
    EXPECT_EQ(file_.value(kPlayerId), 1);
}

TEST_F(PtsFileTest, AnEmptyFileOpensWithoutRecords) {
    ASSERT_EQ(file_.open(write({})), 0);
    EXPECT_FALSE(file_.hasRecord());
    EXPECT_EQ(file_.recordCount(), 0);
    EXPECT_NE(file_.first(), 0);
}

TEST_F(PtsFileTest, TheWriterRoundTrips) {
    std::vector<PtsRecord> records = {
        {"Joe Passer", 5, kQB, 123, 4, {{12, 312}, {13, 44}, {20, 9}, {23, 1}, {61, 12}}},
        {"Tight End", 6, kTE, 124, 4, {{38, 57}, {39, 18}}},
        {"Defense", 7, kDefenseUnit, 0, 4, {{76, 301}, {77, 24}, {72, 3}, {85, 40}}},
        {"Special", 8, kSpecialTeamsUnit, 0, 4, {{61, 280}, {69, 95}}},
        {"Rostered", 9, kPK, 125, kRosterWeek, {}},
    };
    ASSERT_EQ(writePtsFile(dir_ / "out.pts", 2005, records, error_), 0) << error_;

    ASSERT_EQ(file_.open(dir_ / "out.pts"), 0);
    EXPECT_EQ(file_.fileYear(), 2005);
    for (const PtsRecord& r : records) {
        ASSERT_TRUE(file_.hasRecord()) << r.name;
        EXPECT_STREQ(file_.text(kPlayerName), r.name.c_str());
        EXPECT_EQ(file_.value(kPlayerTeam), r.team);
        EXPECT_EQ(file_.value(kPlayerPosition), r.position);
        EXPECT_EQ(file_.value(kPlayerWeek), r.week);
        if (r.position < kUnitOffset) {
            EXPECT_EQ(file_.value(kPlayerId), r.id);
        }
        for (auto [code, value] : r.values) {
            EXPECT_EQ(file_.value(code), value) << r.name << " code " << code;
        }
        file_.next();
    }
    EXPECT_FALSE(file_.hasRecord());
}

TEST_F(PtsFileTest, TheWriterRefusesWhatTheFileCannotHold) {
    std::vector<PtsRecord> tooMany(DBFile::kSlots + 1);
    const std::vector<std::vector<PtsRecord>> refused = {
        {{"Nowhere", 0, 7, 1, 0, {}}},
        {{"Passer", 0, kQB, 1, 0, {{72, 3}}}},
        {{"Defense", 0, kDefenseUnit, 0, 0, {{12, 3}}}},
        tooMany,
    };
    for (const auto& records : refused) {
        EXPECT_NE(writePtsFile(dir_ / "bad.pts", kYear, records, error_), 0);
        EXPECT_FALSE(error_.empty());
        EXPECT_FALSE(std::filesystem::exists(dir_ / "bad.pts"));
    }
}

}  // namespace
}  // namespace qff
