#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "data02/reports/Report.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Opening.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using test::readBytes;
using test::SeasonFixture;
using test::slotBytes;
using test::writeBytes;

constexpr int kYear = 2003;

const std::vector<std::string> kFullyDefined = {
    "Quarterbacks",       "Running Backs",         "Pass Receivers",        "Place Kickers",
    "Overview - Player",  "Totals by Position",    "Totals by NFL Team",    "Team Quarterbacks",
    "Team Running Backs", "Team Pass Receivers",   "Team Place Kickers",    "Defense",
    "Special Teams",      "Standings - By Record", "Standings - By Points", "Overview - Team",
    "Overview - NFL",
};

// Catalogue numbers a season gets as bare records.
std::vector<int> bareNumbers() {
    std::vector<int> numbers;
    for (int n = 3; n <= 24; ++n) {
        if (n != 20 && n != 21) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

std::vector<std::string> namesOf(const RptList& list) {
    std::vector<std::string> names;
    for (const Owned<Report>& r : list) {
        names.push_back(r->name());
    }
    return names;
}

std::vector<int> idsOf(const RptList& list) {
    std::vector<int> ids;
    for (const Owned<Report>& r : list) {
        ids.push_back(r->id());
    }
    return ids;
}

std::vector<ReportSection> sectionsOf(const Report& report) {
    std::vector<ReportSection> sections;
    for (int i = 0; i < kMaxReportSections; ++i) {
        sections.push_back(report.section(i));
    }
    return sections;
}

std::vector<ReportSection> withFreeEntries(std::vector<ReportSection> used) {
    used.resize(kMaxReportSections);
    return used;
}

class ReportTest : public SeasonFixture {
  protected:
    // Opens the season state and the report file of `year`.
    void openReports(int year = kYear) {
        ASSERT_EQ(context().seasonState().open(year), kOk);
        ASSERT_EQ(openReportFile(context(), year), kOk) << context().reportFile().lastError();
    }

    RptList all() {
        Owned<RptList> list = ReportQuery(context()).allReports();
        EXPECT_TRUE(list);
        return list ? std::move(*list) : RptList{};
    }

    Owned<Report> findOne(const std::string& name) {
        Owned<RptList> list = ReportQuery(context()).findByName(name);
        if (!list || list->size() != 1) {
            ADD_FAILURE() << name << " is not there once";
            return {};
        }
        return std::move(list->front());
    }

    // A user report stored in the open report file.
    int addUserReport(const std::string& name, int type, int playerKind, int teamKind) {
        Owned<Report> report = ReportQuery(context()).create();
        report->setValue(kReportType, type);
        report->setText(kReportName, name);
        PlayerQueryNode players;
        players.setSelectCode(playerKind);
        report->setPlayerNode(players);
        TeamQueryNode teams;
        teams.setSelectCode(teamKind);
        report->setTeamNode(teams);
        int id = report->assignNewId();
        EXPECT_NE(id, 0);
        EXPECT_EQ(report->insert(), kOk);
        return id;
    }

    Report blank() { return Report(context().reportFile(), context()); }

    std::filesystem::path reportPath(int year = kYear) { return fileOf(SeasonFile::Rpt, year); }
};

// ------------------------------------------------------- opening the file

TEST_F(ReportTest, AFreshSeasonGetsTheFullCatalogueWithConsecutiveIds) {
    openReports();
    RptList reports = all();
    ASSERT_EQ(reports.size(), 37u);
    std::vector<int> expectedIds;
    std::vector<std::string> expectedNames = kFullyDefined;
    for (int id = 1; id <= 37; ++id) {
        expectedIds.push_back(id);
    }
    for (int n : bareNumbers()) {
        expectedNames.push_back(Report::builtInName(n));
    }
    EXPECT_EQ(idsOf(reports), expectedIds);
    EXPECT_EQ(namesOf(reports), expectedNames);
    EXPECT_EQ(context().seasonState().peek(kLastReportId), 37);

    for (std::size_t i = kFullyDefined.size(); i < reports.size(); ++i) {
        const Report& bare = *reports[i];
        SCOPED_TRACE(bare.name());
        EXPECT_EQ(bare.type(), Report::builtInType(Report::builtInNumber(bare.name())));
        EXPECT_EQ(bare.text(kReportHeader), bare.name());
        EXPECT_EQ(bare.getValue(kReportEditable), 0);
        EXPECT_EQ(bare.getValue(kReportListed), 1);
        EXPECT_EQ(bare.getValue(kReportDeletable), 0);
        EXPECT_EQ(bare.getValue(kReportTotalsRow), 0);
        EXPECT_EQ(bare.columnCount(), 0);
        EXPECT_EQ(bare.sectionCount(), 0);
    }
}

TEST_F(ReportTest, FullyDefinedReportsCarryTheirColumnsSectionsRowsAndFlags) {
    openReports();
    Owned<Report> rb = findOne("Running Backs");
    ASSERT_TRUE(rb);
    EXPECT_EQ(rb->type(), kPlayerReport);
    EXPECT_EQ(rb->text(kReportHeader), "Statistics for all Running Backs");
    std::vector<int> codes;
    for (int i = 0; i < rb->columnCount(); ++i) {
        codes.push_back(rb->column(i).code);
    }
    EXPECT_EQ(codes, (std::vector<int>{2, 3, 4, 88, 90, 91, 35, 24, 25, 36}));
    EXPECT_EQ(rb->column(0), (ReportColumn{2, 0, "Name"}));
    EXPECT_EQ(rb->column(8), (ReportColumn{25, 1, "Yards"}));
    EXPECT_EQ(
        sectionsOf(*rb),
        withFreeEntries({{0, 2, "Player Information"}, {3, 5, "Points"}, {6, 9, "Rushing Stats"}}));
    PlayerQueryNode rows = rb->playerNode();
    EXPECT_EQ(rows.selectCode(), PlayerQueryNode::kByPosition);
    EXPECT_EQ(rows.values(), (std::vector<int>{kRB}));
    EXPECT_EQ(rows.sortKey(0), 88);
    EXPECT_TRUE(rows.descending(0));
    EXPECT_EQ(rows.sortKey(1), 25);
    EXPECT_EQ(rows.sortKey(2), 0);
    EXPECT_EQ(rb->getValue(kReportDeletable), 1);

    Owned<Report> standings = findOne("Standings - By Points");
    ASSERT_TRUE(standings);
    TeamQueryNode teams = standings->teamNode();
    EXPECT_EQ(teams.selectCode(), kAllFranchises);
    EXPECT_EQ(teams.sortKey(0), 2066);
    EXPECT_EQ(standings->columnCount(), 16);
    EXPECT_EQ(standings->getValue(kReportTotalsRow), 1);

    Owned<Report> overview = findOne("Overview - Player");
    ASSERT_TRUE(overview);
    EXPECT_EQ(overview->column(6), (ReportColumn{105, 1, "Total"}));
    EXPECT_EQ(overview->getValue(kReportListed), 0);
    EXPECT_EQ(overview->playerNode().selectCode(), 0);
    EXPECT_TRUE(overview->playerNode().values().empty());

    Owned<Report> nfl = findOne("Overview - NFL");
    ASSERT_TRUE(nfl);
    EXPECT_EQ(nfl->column(0), (ReportColumn{2014, 1, "Week"}));
    EXPECT_EQ(nfl->getValue(kReportEditable), 0);
}

TEST_F(ReportTest, ALostCatalogueReportIsAddedBackUnlessOnlyCreationMakesIt) {
    openReports();
    for (const char* name : {"NFL Schedule", "Overview - Player"}) {
        Owned<Report> lost = findOne(name);
        ASSERT_TRUE(lost);
        ASSERT_EQ(lost->remove(), kOk);
    }
    context().reportFile().close();
    ASSERT_EQ(openReportFile(context(), kYear), kOk);

    RptList reports = all();
    EXPECT_EQ(reports.size(), 36u);
    Owned<Report> schedule = findOne("NFL Schedule");
    ASSERT_TRUE(schedule);
    EXPECT_EQ(schedule->id(), 38);
    EXPECT_EQ(schedule->type(), kLeagueInformation);
    Owned<RptList> overview = ReportQuery(context()).findByName("Overview - Player");
    ASSERT_TRUE(overview);
    EXPECT_TRUE(overview->empty());
}

TEST_F(ReportTest, NewIdsSkipIdsThatReportsAlreadyHold) {
    ASSERT_EQ(context().seasonState().open(kYear), kOk);
    Report user = blank();
    user.setValue(kReportType, kPlayerReport);
    std::vector<test::SlotRecord> records;
    for (int id : {1, 2, 5}) {
        user.setValue(kReportId, id);
        user.setText(kReportName, "Mine " + std::to_string(id));
        records.push_back({static_cast<int>(records.size()),
                           std::vector<std::uint8_t>(user.bytes().begin(), user.bytes().end())});
    }
    writeBytes(reportPath(), test::recordFileBytes(kYear, kReportRecordSize, records));

    ASSERT_EQ(openReportFile(context(), kYear), kOk);
    std::vector<int> ids = idsOf(all());
    ASSERT_EQ(ids.size(), 23u);
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + 6), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(ids.back(), 23);
    // 3, 4, then 6 on: the thirteenth bare record.
    EXPECT_EQ(findOne("Your Schedule")->id(), 16);
}

TEST_F(ReportTest, CarryingOverDropsReportsBoundToAFranchiseOrDivision) {
    openReports(kYear - 1);
    int perFranchise = addUserReport("My Players", kPlayerReport, kPlayersOfFranchise, 0);
    int perDivision = addUserReport("My Division", kFranchiseReport, 0, kFranchisesOfDivision);
    int everyone = addUserReport("Everyone", kFranchiseReport, 0, kAllFranchises);
    int byTeam = addUserReport("Bills", kPlayerReport, PlayerQueryNode::kByTeam, 0);
    ASSERT_NE(perFranchise, perDivision);
    Owned<Report> rosters = findOne("Fantasy Rosters");
    ASSERT_TRUE(rosters);
    TeamQueryNode division;
    division.setSelectCode(kFranchisesOfDivision);
    rosters->setTeamNode(division);
    ASSERT_EQ(rosters->save(), kOk);
    std::vector<int> builtInIds = idsOf(all());
    builtInIds.resize(37);

    openReports(kYear);
    RptList reports = all();
    std::vector<int> expected = builtInIds;
    expected.insert(expected.end(), {everyone, byTeam});
    EXPECT_EQ(idsOf(reports), expected);
    EXPECT_EQ(reports[37]->name(), "Everyone");
    EXPECT_EQ(findOne("Fantasy Rosters")->teamNode().selectCode(), kFranchisesOfDivision);
}

TEST_F(ReportTest, AReportFileThatCannotBeOpenedIsReportedAndLeftAlone) {
    std::string error;
    ASSERT_TRUE(createSeasonFiles(context(), kYear, error)) << error;
    std::vector<std::uint8_t> damaged =
        test::recordFileBytes(kYear, kReportRecordSize, {{0, std::vector<std::uint8_t>(9396)}});
    damaged.resize(DBFile::kHeaderSize / 2);
    writeBytes(reportPath(), damaged);

    SeasonOpenReport report = openSeason(context(), kYear);
    EXPECT_FALSE(report.opened);
    auto failure = std::find_if(report.messages.begin(), report.messages.end(), [](const auto& m) {
        return m.text == "ERROR - Could not open the report database";
    });
    ASSERT_NE(failure, report.messages.end());
    EXPECT_NE(failure->detail.find("Rpt_03.DB exists but cannot be opened; it was left as it is."),
              std::string::npos)
        << failure->detail;
    EXPECT_EQ(readBytes(reportPath()), damaged);
}

// A user report as this program stores it, as far as reading it goes.
std::vector<std::uint8_t> userReportRecord() {
    std::vector<std::uint8_t> record(kReportRecordSize, 0);
    record[Report::kTypeOffset] = kPlayerReport;
    test::putRaw(record, Report::kNameOffset, "Mine");
    test::putRaw(record, Report::kHeaderOffset, "My Page");
    return record;
}

struct Garbage {
    const char* label;
    void (*spoil)(std::vector<std::uint8_t>& record);
};

class GarbageTest : public ReportTest, public ::testing::WithParamInterface<Garbage> {};

TEST_P(GarbageTest, MakesTheFileDamagedAtEveryOpenAndIsNeverWritten) {
    std::string error;
    ASSERT_TRUE(createSeasonFiles(context(), kYear, error)) << error;
    std::vector<std::uint8_t> garbage = userReportRecord();
    GetParam().spoil(garbage);
    // Not one built-in report is there, so a catalogue fill would show.
    std::vector<std::uint8_t> bytes = test::recordFileBytes(
        kYear, kReportRecordSize, {{0, userReportRecord()}, {1, garbage}, {2, garbage}});
    writeBytes(reportPath(), bytes);
    const std::string notice =
        "Rpt_03.DB holds 2 report definitions that cannot be read. A damaged file is never "
        "written to: run qff repair Rpt_03.DB to keep its readable records in a new file.";

    for (int run = 1; run <= 2; ++run) {
        start();
        SeasonOpenReport report = openSeason(context(), kYear);
        EXPECT_TRUE(report.opened) << run;
        EXPECT_EQ(test::errorTexts(report), std::vector<std::string>{notice}) << run;
        EXPECT_EQ(namesOf(all()), std::vector<std::string>{"Mine"}) << run;
    }
    context_.reset();
    EXPECT_EQ(readBytes(reportPath()), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GarbageTest,
    ::testing::Values(Garbage{"UnknownType",
                              [](auto& r) { r[Report::kTypeOffset] = kReportPack + 1; }},
                      Garbage{"NoType", [](auto& r) { r[Report::kTypeOffset] = 0; }},
                      Garbage{"EmptyName", [](auto& r) { r[Report::kNameOffset] = 0; }},
                      Garbage{"ControlCharacterInName",
                              [](auto& r) { test::putRaw(r, Report::kNameOffset, "Mine\x1b[2J"); }},
                      Garbage{"ControlCharacterInHeading",
                              [](auto& r) { test::putRaw(r, Report::kHeaderOffset, "Page\r"); }},
                      Garbage{"NameFillingItsField",
                              [](auto& r) {
                                  test::putRaw(r, Report::kNameOffset,
                                               std::string(Report::kTextSize, 'A'));
                              }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ReportTest, AFileThatCannotBeSeededIsNotLeftBehind) {
    // Without the season state no report id can be drawn.
    EXPECT_EQ(openReportFile(context(), kYear), kFailed);
    EXPECT_NE(context().reportFile().lastError().find("Cannot create Rpt_03.DB: "),
              std::string::npos)
        << context().reportFile().lastError();
    EXPECT_FALSE(context().reportFile().isOpen());
    EXPECT_FALSE(std::filesystem::exists(reportPath()));
}

TEST_F(ReportTest, ACreatedSeasonOpensWithItsReports) {
    std::string error;
    ASSERT_TRUE(createSeasonFiles(context(), kYear, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(reportPath()));
    SeasonOpenReport report = openSeason(context(), kYear);
    ASSERT_TRUE(report.opened);
    EXPECT_EQ(report.results.reportCount, 37);
}

// ------------------------------------------------------------- the record

TEST_F(ReportTest, FieldsAreStoredAtTheirOffsets) {
    openReports();
    Owned<Report> report = ReportQuery(context()).create();
    report->setValue(kReportId, 0x01020304);
    report->setValue(kReportType, kFranchiseReport);
    report->setText(kReportName, "Name");
    report->setText(kReportHeader, "Header");
    report->setValue(kReportEditable, 7);
    report->setValue(kReportListed, 1);
    report->setValue(kReportDeletable, 0);
    report->setValue(kReportTotalsRow, -1);
    report->addColumn({2003, 0, "Team"});
    report->addColumn({2015, 1, "W-L-T"});
    report->addSection({1, 1, "Record"});
    TeamQueryNode teams;
    teams.setSelectCode(kOneFranchise);
    std::vector<int> franchise{42};
    teams.setValues(franchise);
    report->setTeamNode(teams);
    ASSERT_EQ(report->insert(), kOk);

    std::vector<std::uint8_t> record =
        slotBytes(readBytes(reportPath()), kReportRecordSize, report->slot());
    EXPECT_EQ(getI32(record, 0), 0x01020304);
    EXPECT_EQ(getI32(record, 4), 0);
    EXPECT_EQ(record[8], kFranchiseReport);
    EXPECT_EQ(getText(record, 9, 64), "Name");
    EXPECT_EQ(getText(record, 73, 64), "Header");
    EXPECT_EQ(std::vector<int>(record.begin() + 137, record.begin() + 144),
              (std::vector<int>{1, 1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(getI32(record, 144), 2003);
    EXPECT_EQ(record[148], 0);
    EXPECT_EQ(getText(record, 149, 35), "Team");
    EXPECT_EQ(getI32(record, 184), 2015);
    EXPECT_EQ(record[188], 1);
    EXPECT_EQ(getI32(record, 224), 0);
    EXPECT_EQ(getI32(record, 2704), 0);
    EXPECT_EQ(getI32(record, 2708), 0);
    EXPECT_EQ(getText(record, 2712, 32), "");
    EXPECT_EQ(getI32(record, 2744), 1);
    EXPECT_EQ(getI32(record, 2748), 1);
    EXPECT_EQ(getText(record, 2752, 32), "Record");
    EXPECT_EQ(getI32(record, 2784), -1);
    EXPECT_EQ(getI32(record, 2788), -1);
    EXPECT_EQ(getI32(record, 3104 + 84), -1);
    EXPECT_EQ(record[3104 + 2092], 255);
    EXPECT_EQ(getI16(record, 5200), kOneFranchise);
    EXPECT_EQ(getI32(record, 5200 + 84), 42);
    EXPECT_EQ(getI32(record, 5200 + 88), -1);
    EXPECT_EQ(record[5200 + 4192], 255);
}

TEST_F(ReportTest, ValuesAreReadAndSetByKey) {
    Report report = blank();
    EXPECT_EQ(report.setValue(kReportListed, 5), kOk);
    EXPECT_EQ(report.getValue(kReportListed), 1);
    EXPECT_EQ(report.setValue(kReportTotalsRow, 0), kOk);
    EXPECT_EQ(report.getValue(kReportTotalsRow), 0);
    EXPECT_EQ(report.setValue(kReportType, kReportPack), kOk);
    EXPECT_EQ(report.getValue(kReportType), kReportPack);
    for (int readOnly :
         std::vector<int>{kReportColumnCount, kReportSectionCount, kReportName, 5999, 6011}) {
        EXPECT_EQ(report.setValue(readOnly, 1), kUnknownIdStatus) << readOnly;
    }
    EXPECT_EQ(report.getValue(6011), -1);
    EXPECT_EQ(report.getValue(kReportName), -1);
    EXPECT_EQ(report.text(kReportId), "");
    EXPECT_EQ(report.setText(kReportType, "x"), kUnknownIdStatus);
}

TEST_F(ReportTest, LongTextsAreCutToTheirFields) {
    Report report = blank();
    std::string longText(100, 'x');
    report.setText(kReportName, longText);
    report.setText(kReportHeader, longText);
    report.addColumn({2, 0, longText});
    report.addSection({0, 0, longText});
    EXPECT_EQ(report.text(kReportName), std::string(63, 'x'));
    EXPECT_EQ(report.text(kReportHeader), std::string(63, 'x'));
    EXPECT_EQ(report.column(0).header, std::string(34, 'x'));
    EXPECT_EQ(report.section(0).title, std::string(31, 'x'));
    ConstByteSpan bytes = report.bytes();
    for (int terminator : {9 + 63, 73 + 63, 144 + 5 + 34, 2704 + 8 + 31}) {
        EXPECT_EQ(bytes[terminator], 0) << terminator;
    }
    EXPECT_EQ(bytes[137], 0);
}

TEST_F(ReportTest, PackMembersAreThePlayerSelectionValues) {
    Report pack = blank();
    std::vector<int> members{7, 3, 12};
    ASSERT_EQ(pack.setPackMembers(members), kOk);
    EXPECT_EQ(pack.packMembers(), members);
    std::vector<int> tooMany(kMaxPackMembers + 1, 1);
    EXPECT_EQ(pack.setPackMembers(tooMany), kFailed);
    EXPECT_EQ(pack.packMembers(), members);
}

TEST_F(ReportTest, SavedChangesAreReadBackAndQueriesFindById) {
    openReports();
    Owned<Report> defense = findOne("Defense");
    ASSERT_TRUE(defense);
    int id = defense->id();
    defense->setText(kReportHeader, "Every defense");
    ASSERT_EQ(defense->save(), kOk);
    Owned<RptList> found = ReportQuery(context()).findById(id);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ(found->front()->text(kReportHeader), "Every defense");
    defense->setText(kReportHeader, "unsaved");
    ASSERT_EQ(defense->load(), kOk);
    EXPECT_EQ(defense->text(kReportHeader), "Every defense");
    EXPECT_GE(context().memory().hits(Kind::RptList), 1);
    EXPECT_GE(context().memory().hits(Kind::Report), 37);
}

TEST_F(ReportTest, RecordOperationsFailWithoutAnOpenFile) {
    Report report = blank();
    EXPECT_EQ(report.insert(), kFailed);
    EXPECT_EQ(report.save(), kFailed);
    EXPECT_EQ(report.load(), kFailed);
    EXPECT_EQ(report.remove(), kFailed);
    EXPECT_FALSE(ReportQuery(context()).allReports());
}

// ----------------------------------------------------------------- columns

std::vector<int> columnCodes(const Report& report) {
    std::vector<int> codes;
    for (int i = 0; i < kMaxReportColumns && report.column(i).inUse(); ++i) {
        codes.push_back(report.column(i).code);
    }
    return codes;
}

TEST_F(ReportTest, RemovingColumnZeroMovesTheOthersUpAndKeepsSections) {
    Report report = blank();
    for (int code : {2, 3, 4}) {
        ASSERT_EQ(report.addColumn(*Report::defaultColumn(kPlayerReport, code)), kOk);
    }
    report.addSection({1, 2, "Where"});
    ASSERT_EQ(report.removeColumn(0), kOk);
    EXPECT_EQ(columnCodes(report), (std::vector<int>{3, 4}));
    EXPECT_EQ(report.column(1).header, "Pos");
    EXPECT_EQ(report.column(63), ReportColumn{});
    EXPECT_EQ(report.section(1), (ReportSection{1, 2, "Where"}));
    EXPECT_EQ(report.removeColumn(64), kReportBadEdit);
    EXPECT_EQ(report.removeColumn(-1), kReportBadEdit);
}

TEST_F(ReportTest, ColumnsMoveOnlyBetweenSlotsInUse) {
    struct Case {
        const char* what;
        int (Report::*move)(int);
        int index;
        int status;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {"up", &Report::moveColumnUp, 1, kOk, {3, 2, 4}},
        {"down", &Report::moveColumnDown, 0, kOk, {3, 2, 4}},
        {"down past the end", &Report::moveColumnDown, 2, kOk, {2, 3, 4}},
        {"up from the top", &Report::moveColumnUp, 0, kReportBadEdit, {2, 3, 4}},
        {"down out of range", &Report::moveColumnDown, 64, kReportBadEdit, {2, 3, 4}},
        {"down at the last slot", &Report::moveColumnDown, 63, kOk, {2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Report report = blank();
        for (int code : {2, 3, 4}) {
            report.addColumn(*Report::defaultColumn(kPlayerReport, code));
        }
        EXPECT_EQ((report.*c.move)(c.index), c.status);
        EXPECT_EQ(columnCodes(report), c.codes);
    }
}

TEST_F(ReportTest, AddingColumnsStopsAtSixtyFour) {
    Report report = blank();
    EXPECT_EQ(report.addColumn({}), kReportBadEdit);
    for (int i = 0; i < kMaxReportColumns; ++i) {
        ASSERT_EQ(report.addColumn({88, 1, "Total"}), kOk);
    }
    EXPECT_EQ(report.addColumn({89, 1, "Pass"}), kReportListFull);
    EXPECT_EQ(report.getValue(kReportColumnCount), 64);
    EXPECT_EQ(report.setColumn(64, {89, 1, "Pass"}), kFailed);
    EXPECT_EQ(report.column(64), ReportColumn{});
}

// ---------------------------------------------------------------- sections

TEST_F(ReportTest, SectionsAreNormalisedIntoColumnOrder) {
    Report report = blank();
    ASSERT_EQ(report.addSection({5, 6, "A"}), kOk);
    ASSERT_EQ(report.addSection({1, 2, "B"}), kOk);
    EXPECT_EQ(sectionsOf(report),
              withFreeEntries({{0, 0, ""}, {1, 2, "B"}, {3, 4, ""}, {5, 6, "A"}}));
    EXPECT_EQ(report.getValue(kReportSectionCount), 4);

    ASSERT_EQ(report.removeSection(1), kOk);
    EXPECT_EQ(sectionsOf(report),
              withFreeEntries({{0, 0, ""}, {1, 2, ""}, {3, 4, ""}, {5, 6, "A"}}));
    ASSERT_EQ(report.removeSection(3), kOk);
    EXPECT_EQ(sectionsOf(report), withFreeEntries({{0, 0, ""}, {1, 2, ""}, {3, 4, ""}}));
    EXPECT_EQ(report.removeSection(10), kReportBadEdit);
    EXPECT_EQ(report.addSection({}), kReportBadEdit);
}

TEST_F(ReportTest, SectionsEndAtTheLastColumn) {
    // The added section's title is a plain pointer: GCC 12 at -O2 warns falsely
    // about the strings of a table of aggregates holding std::string.
    struct Case {
        int first;
        int last;
        const char* title;
        std::vector<ReportSection> stored;
    };
    const Case cases[] = {
        {60, 63, "End", {{0, 59, ""}, {60, 63, "End"}}},
        {60, 99, "Past", {{0, 59, ""}, {60, 63, "Past"}}},
        {0, 1000, "All", {{0, 63, "All"}}},
        {70, 80, "Outside", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Report report = blank();
        ASSERT_EQ(report.addSection({c.first, c.last, c.title}), kOk);
        EXPECT_EQ(sectionsOf(report), withFreeEntries(c.stored));
    }
}

TEST_F(ReportTest, ASectionListThatWouldOverflowIsRefusedUnchanged) {
    Report report = blank();
    for (int column : {1, 3, 5, 7, 9}) {
        ASSERT_EQ(report.addSection({column, column, "S"}), kOk);
    }
    ASSERT_EQ(report.sectionCount(), 10);
    auto before = std::vector<std::uint8_t>(report.bytes().begin(), report.bytes().end());
    EXPECT_EQ(report.addSection({11, 11, "S"}), kReportListFull);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), report.bytes().begin()));

    Report gaps = blank();
    for (int column : {1, 3, 5, 7}) {
        ASSERT_EQ(gaps.addSection({column, column, "S"}), kOk);
    }
    ASSERT_EQ(gaps.addSection({8, 9, "S"}), kOk);
    ASSERT_EQ(gaps.sectionCount(), 9);
    before.assign(gaps.bytes().begin(), gaps.bytes().end());
    EXPECT_EQ(gaps.addSection({20, 20, "Far"}), kReportListFull);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), gaps.bytes().begin()));
}

// --------------------------------------------------------------- catalogues

TEST(ReportCatalogueTest, ItemsHaveTheirNamesAndHeaders) {
    struct Case {
        int type;
        int code;
        const char* listName;
        std::optional<std::string> header;
    };
    const Case cases[] = {
        {kPlayerReport, 1, "", "ID"},
        {kPlayerReport, 6, "Combo = [Tm-Pos] Name ", "Team + Pos + Name"},
        {kPlayerReport, 15, "", "TD#3"},
        {kPlayerReport, 58, "", "FG#8"},
        {kPlayerReport, 21, "", std::nullopt},
        {kPlayerReport, 109, "", std::nullopt},
        {kPlayerReport, 95, "Total Points: Season", "Total"},
        {kPlayerReport, 101, "Special Team Points: Season", "Spe"},
        {kPlayerOverview, 126, "Points Scored: Week #17", "Wk17"},
        {kPlayerReport, 2003, "Franchise Name", std::nullopt},
        {kFranchiseReport, 2013, "Combo = City, ST  Zip", ""},
        {kFranchiseReport, 2012, "", std::nullopt},
        {kFranchiseReport, 2098, "", std::nullopt},
        {kFranchiseReport, 2002, "", "LeagueID"},
        {kFranchiseOverview, 2033, "SPE Points: Active Players", "SPE"},
        {kFranchiseReport, 2041, "Season SPE Pts: Active Players", "SPE"},
        {kFranchiseReport, 2050, "Season Total: Bench Players", "Bench"},
        {kFranchiseReport, 2058, "Total Points: All Players", "Total"},
        {kFranchiseReport, 2085, "Bench Rush TD's", "# TDs"},
        {kFranchiseReport, 2097, "Kick FG's: All Players", "# FGs"},
        {kFranchiseReport, 2099, "Points Scored: Week #1", "Wk1"},
        {kFranchiseReport, 88, "Total Points Scored", std::nullopt},
        {kReportPack, 88, "Total Points Scored", std::nullopt},
        {kFranchiseReport, 2116, "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(Report::columnListName(c.code), c.listName);
        EXPECT_EQ(Report::defaultHeader(c.type, c.code), c.header);
    }
    EXPECT_EQ(Report::defaultColumn(kFranchiseReport, 2013), (ReportColumn{2013, 1, ""}));
    EXPECT_EQ(Report::defaultColumn(kFranchiseReport, 2007), (ReportColumn{2007, 0, "City"}));
    EXPECT_EQ(Report::defaultColumn(kPlayerReport, 7), (ReportColumn{7, 0, "Pos + Name"}));
    EXPECT_FALSE(Report::defaultColumn(kPlayerReport, 34));
}

TEST(ReportCatalogueTest, ListNamesLeadToTheItemOfTheReportType) {
    struct Case {
        int type;
        const char* listName;
        int code;
    };
    const Case cases[] = {
        {kPlayerReport, "Week of Play", 8},
        {kFranchiseReport, "Week of Play", 2014},
        {kPlayerOverview, "Pass Yards", 12},
        {kFranchiseOverview, "Pass Yards", 2074},
        {kReportPack, "Week of Play", 8},
        {kReportPack, "Win Loss Record", 2015},
        {kPlayerReport, "Win Loss Record", kNoReportItem},
        {kPlayerReport, "", kNoReportItem},
        {kFranchiseReport, "week of play", kNoReportItem},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.listName);
        EXPECT_EQ(Report::itemCode(c.type, c.listName), c.code);
    }
}

TEST(ReportCatalogueTest, SeasonItemsSpanEveryWeek) {
    for (int code : {95, 101, 2023, 2025, 2034, 2057, 2066, 2073}) {
        EXPECT_TRUE(Report::isWholeSeasonItem(code)) << code;
    }
    for (int code : {88, 104, 110, 2022, 2026, 2090, 2099, 1, 2012}) {
        EXPECT_FALSE(Report::isWholeSeasonItem(code)) << code;
    }
}

TEST(ReportCatalogueTest, CategoriesListTheOfferedItemsInCodeOrder) {
    std::vector<ReportItemCategory> player = Report::itemCategories(kPlayerReport);
    ASSERT_EQ(player.size(), 8u);
    EXPECT_EQ(player[0].name, "Information & Points");
    EXPECT_EQ(player[0].codes.front(), 2);
    EXPECT_EQ(player[0].codes.size(), 7u + 20u);
    EXPECT_EQ(player[1].codes, (std::vector<int>{9, 10, 11, 12, 22, 23}));
    EXPECT_EQ(player[6].name, "Special Teams");
    EXPECT_EQ(player[6].codes, (std::vector<int>{61, 71}));

    std::vector<ReportItemCategory> franchise = Report::itemCategories(kFranchiseReport);
    ASSERT_EQ(franchise.size(), 9u);
    EXPECT_EQ(franchise[0].codes,
              (std::vector<int>{2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010, 2011, 2013, 2014}));
    EXPECT_EQ(franchise[8].codes.size(), 17u);
    EXPECT_TRUE(Report::itemCategories(kReportPack).empty());
}

TEST(ReportCatalogueTest, BuiltInNamesAreKnownExactly) {
    EXPECT_EQ(Report::builtInNumber("Overview - Player"), 0);
    EXPECT_EQ(Report::builtInNumber("Draft Day Assistant - Pick Order"), 24);
    EXPECT_EQ(Report::builtInNumber("nfl schedule"), -1);
    EXPECT_EQ(Report::builtInNumber("Quarterbacks"), -1);
    EXPECT_EQ(Report::builtInType(16), kLeagueInformation);
    EXPECT_EQ(Report::builtInName(25), "");
    for (int n = 0; n < kBuiltInReportCount; ++n) {
        bool seasonWide = n == 2 || n == 10 || n == 13 || n == 14;
        EXPECT_EQ(Report::isSeasonWideReport(Report::builtInName(n)), seasonWide) << n;
    }
}

}  // namespace
}  // namespace qff
