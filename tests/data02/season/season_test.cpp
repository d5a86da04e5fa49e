#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "tests/support/Interrupted.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using test::readBytes;
using test::recordFileBytes;
using test::SeasonFixture;
using test::slotBytes;
using test::writeBytes;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Type = SeasonMessage::Type;

constexpr int kYear = 2003;
constexpr int kUnitsOf2003 = 32 * 7;
constexpr int kUnitsOf1995 = 30 * 7;

std::size_t blockAt(int week, int offset) {
    return static_cast<std::size_t>(Player::kBlocksOffset + kStatBlockSize * week + offset);
}

struct Expected {
    Type type;
    std::string text;  // empty: any text
};

void expectMessages(const SeasonOpenReport& report, const std::vector<Expected>& expected) {
    ASSERT_EQ(report.messages.size(), expected.size()) << [&] {
        std::string all;
        for (const SeasonMessage& m : report.messages) {
            all += m.text + "\n";
        }
        return all;
    }();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(report.messages[i].type, expected[i].type)
            << i << ": " << report.messages[i].text;
        if (!expected[i].text.empty()) {
            EXPECT_EQ(report.messages[i].text, expected[i].text) << i;
        }
    }
}

struct LoadStep {
    SeasonFile kind;
    const char* status;
    const char* error;
    const char* failure;  // what stops the open, or nothing
};

const LoadStep kLoadSteps[] = {
    {SeasonFile::Plyr, "Loading Player Database...", "ERROR - Could not open the player database",
     "Open Failure: Player database unavailable."},
    {SeasonFile::Team, "Loading Team Database...", "ERROR - Could not open the franchise database",
     "Open Failure: Franchise database unavailable."},
    {SeasonFile::Div, "Loading Division Database...",
     "ERROR - Could not open the division database",
     "Open Failure: Division database unavailable."},
    {SeasonFile::Leg, "Loading League Database...", "ERROR - Could not open the league database",
     nullptr},
    {SeasonFile::Draft, "Loading Draft Day Database...",
     "ERROR - Could not open the draft day database", nullptr},
    {SeasonFile::Rpt, "Loading Report Database...", "ERROR - Could not open the report database",
     "Open Failure: Report database unavailable."},
};

// What opening shows when `damaged` cannot be opened (nothing damaged: Score).
std::vector<Expected> loadingMessages(SeasonFile damaged) {
    std::vector<Expected> out;
    const char* failure = nullptr;
    for (const LoadStep& step : kLoadSteps) {
        out.push_back({Type::Status, step.status});
        if (step.kind == damaged) {
            out.push_back({Type::Error, step.error});
            failure = step.failure;
        }
    }
    if (damaged == SeasonFile::Plyr) {
        out.push_back({Type::Error, ""});  // the week flags were not derived
    }
    if (failure != nullptr) {
        out.push_back({Type::Error, failure});
    }
    return out;
}

class SeasonTest : public SeasonFixture {
  protected:
    void create(int year) {
        std::string error;
        ASSERT_TRUE(createSeasonFiles(context(), year, error)) << error;
    }

    // A player of the open season by id.
    Player* unit(int id) { return context().playerQuery().findOne(1, id); }
};

// ------------------------------------------------------------- creation

TEST_F(SeasonTest, CreatedSeasonHoldsOneUnitPerTeamAndPositionAndEmptyFiles) {
    create(kYear);
    struct FileCase {
        SeasonFile kind;
        int recordSize;
        int records;
    };
    for (const FileCase& f :
         {FileCase{SeasonFile::Plyr, 1314, kUnitsOf2003}, FileCase{SeasonFile::Team, 3136, 0},
          FileCase{SeasonFile::Div, 82, 0}, FileCase{SeasonFile::Leg, 2700, 1},
          FileCase{SeasonFile::Draft, 308, 0}, FileCase{SeasonFile::Sched, 82180, 1},
          FileCase{SeasonFile::State, 420, 1}}) {
        std::vector<std::uint8_t> file = readBytes(fileOf(f.kind, kYear));
        SCOPED_TRACE(fileOf(f.kind, kYear).filename().string());
        ASSERT_GE(file.size(), std::size_t(DBFile::kHeaderSize));
        EXPECT_EQ(getI32(file, DBFile::kYearOffset), kYear);
        EXPECT_EQ(getI32(file, DBFile::kRecordSizeOffset), f.recordSize);
        EXPECT_EQ(std::count(file.begin() + DBFile::kSlotMapOffset,
                             file.begin() + DBFile::kHeaderSize, 1),
                  f.records);
        EXPECT_EQ(file.size(), std::size_t(DBFile::kHeaderSize + f.records * f.recordSize));
    }

    std::vector<std::uint8_t> players = readBytes(fileOf(SeasonFile::Plyr, kYear));
    std::set<int> expected;
    Pro table(context().strBuf());
    table.setSeason(kYear);
    for (int team : table.validTeams()) {
        for (int position = kQB; position <= kSPE; ++position) {
            expected.insert(Pro::unitId(team, position));
        }
    }
    ASSERT_EQ(expected.size(), std::size_t(kUnitsOf2003));
    std::set<int> ids;
    for (int slot = 0; slot < kUnitsOf2003; ++slot) {
        std::vector<std::uint8_t> r = slotBytes(players, kPlayerRecordSize, slot);
        int id = getI16(r, 32);
        int team = getI8(r, 30);
        int position = getI8(r, 31);
        ids.insert(id);
        EXPECT_EQ(id, Pro::unitId(team, position)) << slot;
        EXPECT_TRUE(table.isValid(team)) << slot;
        EXPECT_GE(position, kQB + kUnitOffset) << slot;
        EXPECT_LE(position, kSPE + kUnitOffset) << slot;
        EXPECT_NE(r[0], 0) << "a unit has a name, slot " << slot;
        EXPECT_TRUE(std::all_of(r.begin() + Player::kBlocksOffset, r.end(), [](std::uint8_t b) {
            return b == 0;
        })) << slot;
    }
    EXPECT_EQ(ids, expected);
    EXPECT_FALSE(std::filesystem::exists(fileOf(SeasonFile::Score, kYear)));
    EXPECT_EQ(availableSeasons(context()), std::vector<int>{kYear});
}

TEST_F(SeasonTest, CreationIsRefusedWhenThePlayerFileExists) {
    for (const char* name : {"Plyr_03.DB", "plyr_03.db"}) {
        for (const char* previous : {"Plyr_03.DB", "plyr_03.db"}) {
            std::filesystem::remove(dir_ / previous);
        }
        test::writeText(dir_ / name, "not a season");
        std::string error;
        EXPECT_FALSE(createSeasonFiles(context(), kYear, error)) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_EQ(test::readText(dir_ / name), "not a season");
        for (SeasonFile kind : kAllSeasonFiles) {
            if (kind != SeasonFile::Plyr) {
                EXPECT_FALSE(std::filesystem::exists(fileOf(kind, kYear)))
                    << name << " " << seasonFilePrefix(kind);
            }
        }
    }
}

TEST_F(SeasonTest, AFailedCreationTakesBackTheFilesItMade) {
    std::filesystem::create_directory(fileOf(SeasonFile::Sched, kYear));
    std::string error;
    EXPECT_FALSE(createSeasonFiles(context(), kYear, error));
    EXPECT_FALSE(error.empty());
    for (SeasonFile kind : {SeasonFile::Plyr, SeasonFile::Team, SeasonFile::Div, SeasonFile::Leg,
                            SeasonFile::Draft, SeasonFile::Rpt, SeasonFile::State}) {
        EXPECT_FALSE(std::filesystem::exists(fileOf(kind, kYear))) << seasonFilePrefix(kind);
    }
    EXPECT_TRUE(std::filesystem::is_directory(fileOf(SeasonFile::Sched, kYear)));
}

TEST_F(SeasonTest, ACreationKilledPartWayIsRemovedAtTheNextStart) {
    test::FileImages before = test::filesIn(dir_.path());
    constexpr rlim_t kHalfThePlayerFile = 150000;

    test::runKilled([&] {
        test::exitAtFileSize(kHalfThePlayerFile);
        std::string error;
        createSeasonFiles(context(), kYear, error);
    });
    ASSERT_THAT(test::changedFiles(before, test::filesIn(dir_.path())),
                ::testing::Contains(fileOf(SeasonFile::Plyr, kYear).filename().string()));
    start();

    EXPECT_THAT(test::changedFiles(before, test::filesIn(dir_.path())), ::testing::IsEmpty());
    EXPECT_TRUE(availableSeasons(context()).empty());
    create(kYear);
}

// -------------------------------------------------------------- opening

TEST_F(SeasonTest, ACreatedSeasonOpensWithEveryLoadingStep) {
    create(kYear);
    SeasonOpenReport report = openSeason(context(), kYear);
    EXPECT_TRUE(report.opened);
    expectMessages(report, loadingMessages(SeasonFile::Score));
    const LoadingResults& r = report.results;
    EXPECT_TRUE(r.players && r.franchises && r.divisions && r.leagues && r.reports);
    EXPECT_EQ(r.playerCount, kUnitsOf2003);
    EXPECT_EQ(r.franchiseCount, 0);
    EXPECT_EQ(r.divisionCount, 0);
    EXPECT_EQ(r.leagueCount, 1);
    // The first open creates the report file with the built-in reports.
    EXPECT_EQ(r.reportCount, 37);
    EXPECT_EQ(context().preferences().get(kPrefOpenSeason), kYear);
    EXPECT_EQ(context().pro().seasonYear(), kYear);
    EXPECT_EQ(context().mapFactory().players().size(), std::size_t(kUnitsOf2003));
    EXPECT_TRUE(context().playerFile().isOpen());
}

TEST_F(SeasonTest, AMissingScheduleStopsTheOpenBeforeLoading) {
    create(kYear);
    int before = context().preferences().get(kPrefOpenSeason);
    ASSERT_NE(before, kYear);
    std::filesystem::remove(fileOf(SeasonFile::Sched, kYear));
    SeasonOpenReport report = openSeason(context(), kYear);
    EXPECT_FALSE(report.opened);
    expectMessages(report, {{Type::Error, "Open Failure: Schedule database unavailable."}});
    EXPECT_FALSE(context().playerFile().isOpen());
    EXPECT_EQ(context().mapFactory().players().size(), 0u);
    EXPECT_EQ(context().preferences().get(kPrefOpenSeason), before);
    EXPECT_FALSE(std::filesystem::exists(fileOf(SeasonFile::Sched, kYear)));
}

TEST_F(SeasonTest, AMissingLeagueFileIsCreatedAndTheSeasonOpens) {
    create(kYear);
    std::filesystem::remove(fileOf(SeasonFile::Leg, kYear));
    SeasonOpenReport report = openSeason(context(), kYear);
    EXPECT_TRUE(report.opened);
    expectMessages(report, loadingMessages(SeasonFile::Score));
    EXPECT_EQ(report.results.leagueCount, 1);
    LeagueList leagues = context().leagueQuery().allLeagues();
    ASSERT_EQ(leagues.size(), 1u);
    EXPECT_EQ(leagues[0]->text(kLeagueName), "Default League");
    EXPECT_TRUE(std::filesystem::exists(fileOf(SeasonFile::Leg, kYear)));
}

enum class Damage { RecordSize, Truncated };

struct DamageCase {
    SeasonFile kind;
    Damage damage;
    bool opens;
};

class DamagedSeasonTest : public SeasonTest, public ::testing::WithParamInterface<DamageCase> {};

// A wrong record size is damage the file is still read through; a file cut
// inside its header cannot be read at all.
TEST_P(DamagedSeasonTest, IsReportedAndTheFileIsLeftAsItWas) {
    create(kYear);
    // The first open adds the report file.
    ASSERT_TRUE(openSeason(context(), kYear).opened);
    start();
    SeasonFile kind = GetParam().kind;
    std::filesystem::path path = fileOf(kind, kYear);
    std::vector<std::uint8_t> bytes = readBytes(path);
    if (GetParam().damage == Damage::RecordSize) {
        putI32(bytes, DBFile::kRecordSizeOffset, getI32(bytes, DBFile::kRecordSizeOffset) + 1);
    } else {
        bytes.resize(1000);
    }
    writeBytes(path, bytes);

    SeasonOpenReport report = openSeason(context(), kYear);
    std::string repair = "run qff repair " + path.filename().string();
    if (kind == SeasonFile::Sched) {
        expectMessages(report, {{Type::Error, "Open Failure: Schedule database unavailable."}});
        EXPECT_THAT(report.messages[0].detail, HasSubstr(repair));
    } else if (GetParam().damage == Damage::Truncated && kind == SeasonFile::Plyr) {
        expectMessages(report, {{Type::Error, "Open Failure: Player database unavailable."}});
    } else if (GetParam().damage == Damage::RecordSize) {
        std::vector<Expected> expected = loadingMessages(SeasonFile::Score);
        const LoadStep* step = std::find_if(std::begin(kLoadSteps), std::end(kLoadSteps),
                                            [&](const LoadStep& s) { return s.kind == kind; });
        auto status = std::find_if(expected.begin(), expected.end(),
                                   [&](const Expected& e) { return e.text == step->status; });
        std::size_t notice = static_cast<std::size_t>(status - expected.begin()) + 1;
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(notice), {Type::Error, ""});
        expectMessages(report, expected);
        ASSERT_GT(report.messages.size(), notice);
        EXPECT_THAT(report.messages[notice].text, HasSubstr(repair));
    } else {
        expectMessages(report, loadingMessages(kind));
    }
    EXPECT_EQ(report.opened, GetParam().opens);
    EXPECT_EQ(readBytes(path), bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedSeasonTest,
                         ::testing::Values(DamageCase{SeasonFile::Plyr, Damage::RecordSize, true},
                                           DamageCase{SeasonFile::Plyr, Damage::Truncated, false},
                                           DamageCase{SeasonFile::Team, Damage::RecordSize, true},
                                           DamageCase{SeasonFile::Team, Damage::Truncated, false},
                                           DamageCase{SeasonFile::Div, Damage::RecordSize, true},
                                           DamageCase{SeasonFile::Div, Damage::Truncated, false},
                                           DamageCase{SeasonFile::Leg, Damage::RecordSize, true},
                                           DamageCase{SeasonFile::Leg, Damage::Truncated, true},
                                           DamageCase{SeasonFile::Draft, Damage::RecordSize, true},
                                           DamageCase{SeasonFile::Rpt, Damage::RecordSize, true},
                                           DamageCase{SeasonFile::Rpt, Damage::Truncated, false},
                                           DamageCase{SeasonFile::Sched, Damage::RecordSize,
                                                      false}),
                         [](const auto& info) {
                             return std::string(seasonFilePrefix(info.param.kind)) +
                                    (info.param.damage == Damage::RecordSize ? "RecordSize"
                                                                             : "Truncated");
                         });

TEST_F(SeasonTest, ACutPlayerFileIsReportedAtEveryOpenAndNeverWritten) {
    create(kYear);
    std::filesystem::path path = fileOf(SeasonFile::Plyr, kYear);
    std::vector<std::uint8_t> bytes = readBytes(path);
    bytes.resize(DBFile::kHeaderSize + 10 * kPlayerRecordSize + 500);
    writeBytes(path, bytes);
    const std::string notice =
        "Plyr_03.DB is cut short: 214 of its 224 records are missing. A damaged file is never "
        "written to: run qff repair Plyr_03.DB to keep its readable records in a new file.";
    for (int run = 1; run <= 2; ++run) {
        start();
        SeasonOpenReport report = openSeason(context(), kYear);
        EXPECT_TRUE(report.opened) << run;
        EXPECT_EQ(report.results.playerCount, 10) << run;
        EXPECT_THAT(test::errorTexts(report), ElementsAre(notice)) << run;
        Player added(context().playerFile(), context());
        added.clear();
        added.setValue(kPlayerId, 777, 0);
        EXPECT_NE(added.insert(), kOk) << run;
        EXPECT_NE(unit(10010)->save(), kOk) << run;
        EXPECT_EQ(context().playerFile().db().lastError(), notice) << run;
    }
    context_.reset();
    EXPECT_EQ(readBytes(path), bytes);
}

// The allocator's report is written at every teardown wherever it runs, and
// is no file of the season's.
std::set<std::string> folderNames(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename() != "mem_log.txt") {
            names.insert(entry.path().filename().string());
        }
    }
    return names;
}

struct UnopenablePlayers {
    const char* what;
    std::vector<std::uint8_t> bytes;  // none at all: the file is missing
    bool missing;
};

class FailedOpenTest : public SeasonTest,
                       public ::testing::WithParamInterface<UnopenablePlayers> {};

TEST_P(FailedOpenTest, CreatesNoFile) {
    if (!GetParam().missing) {
        writeBytes(fileOf(SeasonFile::Plyr, kYear), GetParam().bytes);
    }
    std::set<std::string> before = folderNames(dir_.path());
    SeasonOpenReport report = openSeason(context(), kYear);
    EXPECT_FALSE(report.opened);
    expectMessages(report, {{Type::Error, "Open Failure: Player database unavailable."}});
    context_.reset();
    EXPECT_EQ(folderNames(dir_.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    PlayerFiles, FailedOpenTest,
    ::testing::Values(UnopenablePlayers{"Missing", {}, true},
                      UnopenablePlayers{"ZeroLength", {}, false},
                      UnopenablePlayers{"CutInsideItsHeader",
                                        std::vector<std::uint8_t>(DBFile::kHeaderSize - 1, 0),
                                        false}),
    [](const auto& info) { return std::string(info.param.what); });

struct PreferenceCase {
    const char* what;
    int openedFirst;  // 0: nothing opened before in this context
};

class PreferenceRestoreTest : public SeasonTest,
                              public ::testing::WithParamInterface<PreferenceCase> {};

TEST_P(PreferenceRestoreTest, AFailedOpenRestoresTheOpenSeasonPreference) {
    create(kYear);
    create(1995);
    std::vector<std::uint8_t> bytes = readBytes(fileOf(SeasonFile::Plyr, kYear));
    bytes.resize(1000);
    writeBytes(fileOf(SeasonFile::Plyr, kYear), bytes);
    context().preferences().set(kPrefOpenSeason, 2001);
    if (GetParam().openedFirst != 0) {
        ASSERT_TRUE(openSeason(context(), GetParam().openedFirst).opened);
    }
    int before = context().preferences().get(kPrefOpenSeason);
    SeasonOpenReport report = openSeason(context(), kYear);
    EXPECT_FALSE(report.opened);
    EXPECT_EQ(context().preferences().get(kPrefOpenSeason), before);
}

INSTANTIATE_TEST_SUITE_P(Opens, PreferenceRestoreTest,
                         ::testing::Values(PreferenceCase{"AfterAnotherSeason", 1995},
                                           PreferenceCase{"FirstOpenOfTheContext", 0}),
                         [](const auto& info) { return std::string(info.param.what); });

// ----------------------------------------------------------- validation

TEST_F(SeasonTest, WeekFlagsComeFromThePassYardsOfQuarterbackUnits) {
    create(kYear);
    ASSERT_TRUE(openSeason(context(), kYear).opened);
    // QB units: team 0 in week 1, team 1 (a loss of yards) in week 3.
    ASSERT_TRUE(unit(10010) && unit(10020));
    unit(10010)->setValue(kPassYards, 250, 0);
    unit(10020)->setValue(kPassYards, -3, 2);
    // Other players and units have statistics in weeks 2 and 4 only.
    unit(10011)->setValue(kRushYards, 80, 1);
    unit(10015)->setValue(76, 300, 1);
    unit(10010)->setValue(kRushYards, 40, 3);
    for (int id : {10010, 10020, 10011, 10015}) {
        ASSERT_EQ(unit(id)->save(), 0) << id;
    }
    Owned<Player> qb =
        context().memory().makeRecord<Player>(Kind::Player, context().playerFile(), context());
    qb->clear();
    qb->setValue(kPlayerId, 12, 0);
    qb->setValue(kPlayerTeam, 0, 0);
    qb->setValue(kPlayerPosition, kQB, 0);
    qb->setValue(kPassYards, 199, 1);
    qb->setValue(kPassYards, 199, 3);
    ASSERT_EQ(context().mapFactory().add(context().mapFactory().players(), qb), 0);
    // Flags left from before, also beyond the season's 17 weeks.
    for (int week : {1, 3, 16, 17, 18, 19}) {
        ASSERT_EQ(context().seasonState().setWeekHasStats(week, 1), 0);
    }

    ASSERT_TRUE(openSeason(context(), kYear).opened);
    std::vector<int> flags;
    for (int week = 0; week < 20; ++week) {
        flags.push_back(context().seasonState().weekHasStats(week));
    }
    EXPECT_EQ(flags,
              (std::vector<int>{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1}));
    // The flags reached the state file.
    start();
    ASSERT_EQ(context().seasonState().open(kYear), 0);
    EXPECT_EQ(context().seasonState().weekHasStats(0), 1);
    EXPECT_EQ(context().seasonState().weekHasStats(1), 0);
    EXPECT_EQ(context().seasonState().weekHasStats(2), 1);
}

TEST_F(SeasonTest, WithoutQuarterbackUnitsEveryWeekOfTheSeasonIsUnflagged) {
    create(kYear);
    std::vector<std::uint8_t> qb(kPlayerRecordSize, 0);
    test::putRaw(qb, 0, "Solo Passer");
    qb[31] = kQB;
    putI16(qb, 32, 7);
    putI16(qb, blockAt(0, 4), 300);
    writeBytes(fileOf(SeasonFile::Plyr, kYear),
               recordFileBytes(kYear, kPlayerRecordSize, {{0, qb}}));
    ASSERT_EQ(context().seasonState().open(kYear), 0);
    for (int week = 0; week < 20; ++week) {
        ASSERT_EQ(context().seasonState().setWeekHasStats(week, 1), 0);
    }
    SeasonOpenReport report = openSeason(context(), kYear);
    ASSERT_TRUE(report.opened);
    EXPECT_EQ(report.results.playerCount, 1);
    for (int week = 0; week < 20; ++week) {
        EXPECT_EQ(context().seasonState().weekHasStats(week), week < 17 ? 0 : 1) << week;
    }
}

TEST_F(SeasonTest, WeeksBeyondTheSeasonAreResetOnOpen) {
    create(kYear);
    struct Case {
        int current;
        int view;
        int currentAfter;
        int viewAfter;
    };
    for (const Case& c : {Case{17, 256, 0, 256}, Case{16, 16, 16, 16}, Case{40, 17, 0, 0},
                          Case{3, 18, 3, 0}, Case{0, 0, 0, 0}}) {
        ASSERT_EQ(context().seasonState().open(kYear), 0);
        ASSERT_EQ(context().seasonState().set(kCurrentWeek, c.current), 0);
        ASSERT_EQ(context().seasonState().set(kViewWeek, c.view), 0);
        ASSERT_TRUE(openSeason(context(), kYear).opened);
        EXPECT_EQ(context().seasonState().peek(kCurrentWeek), c.currentAfter) << c.current;
        EXPECT_EQ(context().seasonState().peek(kViewWeek), c.viewAfter) << c.view;
    }
}

TEST_F(SeasonTest, OpeningAnotherSeasonReloadsEverything) {
    create(kYear);
    create(1995);
    ASSERT_TRUE(openSeason(context(), kYear).opened);
    Owned<Team> team =
        context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
    team->setValue(kFranchiseId, 1);
    team->setValue(kFranchiseLeague, 0);
    team->setText(kFranchiseName, "Owls");
    ASSERT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), 0);
    ASSERT_EQ(context().seasonState().set(kCurrentWeek, 5), 0);

    SeasonOpenReport other = openSeason(context(), 1995);
    ASSERT_TRUE(other.opened);
    EXPECT_EQ(other.previousSeason, kYear);
    EXPECT_EQ(other.results.playerCount, kUnitsOf1995);
    EXPECT_EQ(other.results.franchiseCount, 0);
    EXPECT_EQ(context().mapFactory().players().size(), std::size_t(kUnitsOf1995));
    EXPECT_EQ(context().teamQuery().findOne(kFranchiseName, "Owls"), nullptr);
    EXPECT_EQ(context().playerQuery().findOne(1, Pro::unitId(36, kQB)), nullptr);  // 2002 on
    EXPECT_NE(context().playerQuery().findOne(1, Pro::unitId(29, kQB)), nullptr);  // 1995 on
    EXPECT_EQ(context().pro().seasonYear(), 1995);
    EXPECT_EQ(context().playerFile().year(), 1995);
    EXPECT_EQ(context().teamFile().year(), 1995);
    EXPECT_EQ(context().leagueFile().year(), 1995);
    EXPECT_EQ(context().seasonState().peek(kCurrentWeek), 0);
    EXPECT_EQ(context().preferences().get(kPrefOpenSeason), 1995);

    SeasonOpenReport back = openSeason(context(), kYear);
    ASSERT_TRUE(back.opened);
    EXPECT_EQ(back.previousSeason, 1995);
    EXPECT_EQ(back.results.playerCount, kUnitsOf2003);
    EXPECT_EQ(back.results.franchiseCount, 1);
    EXPECT_NE(context().teamQuery().findOne(kFranchiseName, "Owls"), nullptr);
    EXPECT_EQ(context().seasonState().peek(kCurrentWeek), 5);
}

}  // namespace
}  // namespace qff

namespace qff::test {
namespace {

TEST_F(SeasonTest, RosterPlayersTheDatabaseLacksAreReportedNotFollowed) {
    create(kYear);
    ASSERT_TRUE(openSeason(context(), kYear).opened);
    Owned<Team> team =
        context().memory().makeRecord<Team>(Kind::Team, context().teamFile(), context());
    team->setValue(kFranchiseId, 1);
    team->setValue(kFranchiseLeague, 0);
    team->setText(kFranchiseName, "Ghost Town");
    TeamRosterStruct roster;
    addToRoster(roster, Pro::unitId(0, kQB));
    addToRoster(roster, 4242);
    team->setRoster(3, roster);
    ASSERT_EQ(context().mapFactory().add(context().mapFactory().franchises(), team), 0);

    SeasonOpenReport report = openSeason(context(), kYear);
    ASSERT_TRUE(report.opened);
    const SeasonMessage& last = report.messages.back();
    EXPECT_EQ(last.type, SeasonMessage::Type::Error);
    EXPECT_NE(last.text.find("Ghost Town"), std::string::npos);
    EXPECT_EQ(last.detail, "player ids 4242");
    Team* loaded = context().teamQuery().findOne(kFranchiseId, 1);
    Owned<PlyrList> players = loaded->rosterPlayers(0, 3);
    ASSERT_TRUE(players);
    EXPECT_EQ(players->size(), 1u);
}

}  // namespace
}  // namespace qff::test
