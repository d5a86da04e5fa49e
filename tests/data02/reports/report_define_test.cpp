#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data02/model/Mapfact.h"
#include "data02/reports/Rpt_define.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Opening.h"
#include "data02/season/Single.h"
#include "tests/support/DemoSeason.h"
#include "tests/support/ReportDefinitions.h"

namespace qff {
namespace {

constexpr int kYear = 2003;

class ReportDefineTest : public test::DemoSuite {
  protected:
    static void SetUpTestSuite() {
        buildSuiteDemo({.year = kYear,
                        .weeksMerged = 1,
                        .playersPerTeam = 4,
                        .divisionsPerLeague = 1,
                        .franchisesPerDivision = 2});
    }

    const RecordCache<Report>& cache() { return context().mapFactory().reports(); }
    ReportQuery& query() { return context().reportQuery(); }
    std::vector<std::uint8_t> reportFileBytes() {
        return test::readBytes(fileOf(SeasonFile::Rpt, kYear));
    }

    // Kickers ranked by points, the extra points shown.
    static ReportDefinition kickers(const std::string& name = "My Kickers") {
        ReportDefinition d;
        d.type = kPlayerReport;
        d.name = name;
        d.header = "Kickers by points";
        for (int code : {static_cast<int>(kPlayerName), 88, 50}) {
            d.columns.push_back(*Report::defaultColumn(kPlayerReport, code));
        }
        d.sections = {{0, 0, "Kicker"}, {1, 2, "Points"}};
        d.sorts = {{88, true}};
        d.rows = {PlayerQueryNode::kByPosition, {4}, kActiveAndBench};
        return d;
    }

    int add(const ReportDefinition& d) {
        ReportChange change = addReport(context(), d);
        EXPECT_TRUE(change.ok()) << change.problem->field << ": " << change.problem->message;
        return change.id;
    }
};

std::vector<int> idsOf(const RptList& list) {
    std::vector<int> ids;
    for (const Owned<Report>& r : list) {
        ids.push_back(r->id());
    }
    return ids;
}

// ------------------------------------------------------------------ cache

TEST_F(ReportDefineTest, TheCacheHoldsEveryReportOfTheFileAndQueriesNeedNoFile) {
    EXPECT_EQ(cache().size(), static_cast<std::size_t>(context().reportFile().db().usedCount()));
    Owned<RptList> before = query().allReports();
    ASSERT_TRUE(before);
    context().reportFile().close();
    Owned<RptList> all = query().allReports();
    ASSERT_TRUE(all);
    std::vector<int> ids = idsOf(*all);
    EXPECT_EQ(ids, idsOf(*before));
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    Owned<RptList> byName = query().findByName("Place Kickers");
    ASSERT_TRUE(byName && byName->size() == 1u);
    Owned<RptList> byId = query().findById(byName->front()->id());
    ASSERT_TRUE(byId && byId->size() == 1u);
    EXPECT_EQ(byId->front()->name(), "Place Kickers");
}

TEST_F(ReportDefineTest, SavesInsertsAndDeletionsKeepTheCacheInStep) {
    Owned<RptList> found = query().findByName("Defense");
    ASSERT_TRUE(found && found->size() == 1u);
    Report& defense = *found->front();
    defense.setText(kReportName, "Defenses");
    ASSERT_EQ(defense.save(), kOk);
    EXPECT_EQ(query().cached("Defense"), nullptr);
    ASSERT_NE(query().cached("Defenses"), nullptr);
    EXPECT_EQ(query().cached("Defenses")->id(), defense.id());

    Report copy(context().reportFile(), context());
    copy.takeDefinition(defense);
    copy.setText(kReportName, "Second Defense");
    ASSERT_NE(copy.assignNewId(), 0);
    ASSERT_EQ(copy.insert(), kOk);
    EXPECT_NE(query().cached(copy.id()), nullptr);

    ASSERT_EQ(defense.remove(), kOk);
    EXPECT_EQ(query().cached(defense.id()), nullptr);
    EXPECT_EQ(cache().size(), static_cast<std::size_t>(context().reportFile().db().usedCount()));
}

TEST_F(ReportDefineTest, TheCacheIsReleasedWithTheSeason) {
    context().mapFactory().releaseAll();
    EXPECT_FALSE(cache().isReady());
    EXPECT_FALSE(query().allReports());
    ASSERT_EQ(query().reload(kYear), kOk);
    EXPECT_NE(query().cached("Quarterbacks"), nullptr);
}

// ------------------------------------------------------------------ rules

struct BadDefinition {
    const char* label;
    std::function<void(ReportDefinition&)> change;
    const char* field;
    const char* message;
};

std::vector<ReportColumn> columns(int count) {
    return std::vector<ReportColumn>(count, *Report::defaultColumn(kPlayerReport, 88));
}

TEST_F(ReportDefineTest, EachBrokenRuleIsRefusedNamingItsField) {
    const BadDefinition cases[] = {
        {"no name", [](auto& d) { d.name.clear(); }, "name", kReportNameMissingMessage},
        {"long name", [](auto& d) { d.name.assign(64, 'K'); }, "name", "at most 63"},
        {"slash", [](auto& d) { d.name = "Kick/ers"; }, "name", "An illegal report name"},
        {"dots", [](auto& d) { d.name = ".."; }, "name", "An illegal report name"},
        {"control", [](auto& d) { d.name = "Kick\x1b"; }, "name", "An illegal report name"},
        {"used", [](auto& d) { d.name = "Quarterbacks"; }, "name", kReportNameUsedMessage},
        {"case", [](auto& d) { d.name = "quarterBACKS"; }, "name", kReportNameUsedMessage},
        {"catalogue", [](auto& d) { d.name = "Overview - NFL"; }, "name", kReportNameUsedMessage},
        {"no header", [](auto& d) { d.header.clear(); }, "header", kReportNameMissingMessage},
        {"long header", [](auto& d) { d.header.assign(64, 'H'); }, "header", "at most 63"},
        {"type", [](auto& d) { d.type = kPlayerOverview; }, "type", "player (3)"},
        {"65 columns", [](auto& d) { d.columns = columns(65); }, "columns", kTooManyColumnsMessage},
        {"unassigned item", [](auto& d) { d.columns[1].code = 21; }, "columns[1].item", "No data"},
        {"hidden item", [](auto& d) { d.columns[1].code = 13; }, "columns[1].item", "No data"},
        {"franchise item", [](auto& d) { d.columns[2].code = 2003; }, "columns[2].item", "player"},
        {"column header", [](auto& d) { d.columns[0].header.assign(35, 'c'); }, "columns[0].header",
         "at most 34"},
        {"overlap", [](auto& d) { d.sections[1].first = 0; }, "sections[1]", "overlapping"},
        {"past columns", [](auto& d) { d.sections[1].last = 3; }, "sections[1]", "span columns"},
        {"title", [](auto& d) { d.sections[0].title.assign(32, 't'); }, "sections[0].title",
         "at most 31"},
        {"11 sections",
         [](auto& d) {
             d.columns = columns(11);
             d.sections.clear();
             for (int i = 0; i < 11; ++i) {
                 d.sections.push_back({i, i, "S"});
             }
         },
         "sections", kTooManySectionsMessage},
        {"gaps make 11",
         [](auto& d) {
             d.columns = columns(12);
             d.sections.clear();
             for (int i = 1; i < 12; i += 2) {
                 d.sections.push_back({i, i, "S"});
             }
         },
         "sections", kTooManySectionsMessage},
        {"5 sorts",
         [](auto& d) {
             d.sorts.assign(5, {88, true});
         },
         "sort", "at most 4"},
        {"sort not shown",
         [](auto& d) {
             d.sorts = {{92, true}};
         },
         "sort[0].item", "columns"},
        {"row kind", [](auto& d) { d.rows.kind = 5; }, "rows.kind", "player selection 5"},
        {"group",
         [](auto& d) {
             d.rows.values = {4, 7};
         },
         "rows.values[1]", "group"},
        {"franchise",
         [](auto& d) {
             d.rows = {kPlayersOfFranchise, {9999, 4}, kActiveAndBench};
         },
         "rows.values[0]", "franchise"},
        {"division",
         [](auto& d) {
             d.type = kFranchiseReport;
             d.columns = {*Report::defaultColumn(kFranchiseReport, kFranchiseName)};
             d.sections.clear();
             d.sorts.clear();
             d.rows = {kFranchisesOfDivision, {9999}, kActiveAndBench};
         },
         "rows.values[0]", "No division of the season has the id 9999."},
        {"all franchises",
         [](auto& d) {
             d.type = kFranchiseReport;
             d.columns = {*Report::defaultColumn(kFranchiseReport, kFranchiseName)};
             d.sections.clear();
             d.sorts.clear();
             d.rows = {kAllFranchises, {1}, kActiveAndBench};
         },
         "rows.values", "All franchises take no values."},
        {"roster part",
         [&](auto& d) {
             int franchise = context().mapFactory().franchises().list().front()->id();
             d.rows = {kPlayersOfFranchise, {franchise, 4}, 3};
         },
         "rows.roster_part", "roster part"},
    };
    EXPECT_FALSE(checkReportDefinition(context(), kickers(), 0));
    for (const BadDefinition& c : cases) {
        ReportDefinition d = kickers();
        c.change(d);
        ReportCheck problem = checkReportDefinition(context(), d, 0);
        ASSERT_TRUE(problem) << c.label;
        EXPECT_EQ(problem->field, c.field) << c.label;
        EXPECT_NE(problem->message.find(c.message), std::string::npos)
            << c.label << ": " << problem->message;
    }
}

TEST_F(ReportDefineTest, TheLimitsThemselvesAreAccepted) {
    ReportDefinition d = kickers(std::string(63, 'N'));
    d.header.assign(63, 'H');
    d.columns = columns(kMaxReportColumns);
    d.columns[0].header.assign(34, 'c');
    d.sections.clear();
    for (int i = 0; i < kMaxReportSections; ++i) {
        d.sections.push_back({i, i, std::string(31, 't')});
    }
    d.sorts.assign(4, {88, true});
    int id = add(d);
    ASSERT_NE(id, 0);
    Owned<RptList> stored = query().findById(id);
    ASSERT_TRUE(stored && stored->size() == 1u);
    ReportDefinition back = ReportDefinition::of(*stored->front());
    d.columns[0].textFlag = back.columns[0].textFlag;
    EXPECT_EQ(back, d);
}

TEST_F(ReportDefineTest, PacksNeverContainThemselvesNorNestTooDeep) {
    int a = add(kickers("A"));
    int b = add(kickers("B"));
    int p1 = add(test::packDefinition("P1", {a, b}));
    int p2 = add(test::packDefinition("P2", {p1}));
    int p3 = add(test::packDefinition("P3", {p2}));
    int p4 = add(test::packDefinition("P4", {p3}));
    ASSERT_NE(p4, 0);
    int notListed = query().cached("Overview - Player")->id();
    struct Case {
        int self;
        std::vector<int> members;
        const char* field;
        const char* message;
    };
    const Case cases[] = {
        {p1, {a, p1}, "members[1]", "cannot contain itself"},
        {p1, {a, p2}, "members[1]", "through the report pack \"P2\""},
        {p2, {p4}, "members[0]", "through the report pack \"P4\""},
        {0, {a, 9999}, "members[1]", "No report of the season has the id 9999."},
        {0, {notListed}, "members[0]", "cannot be placed in a report pack"},
        {0, {p4}, "members", "at most 4 deep"},
        {p1, {a, p1 + 100, b}, "members[1]", "has the id"},
        {0, std::vector<int>(kMaxPackMembers + 1, a), "members", "at most 500"},
    };
    for (const Case& c : cases) {
        ReportCheck problem = checkPackMembers(context(), c.self, c.members);
        ASSERT_TRUE(problem) << c.message;
        EXPECT_EQ(problem->field, c.field) << c.message;
        EXPECT_NE(problem->message.find(c.message), std::string::npos) << problem->message;
    }
    // A pack above P1 would be pushed deeper by a pack below it.
    EXPECT_TRUE(checkPackMembers(context(), p1, {a, add(test::packDefinition("P0", {b}))}));
    EXPECT_FALSE(checkPackMembers(context(), p1, {a}));
}

// ------------------------------------------------------------------ storing

TEST_F(ReportDefineTest, NewReportsGetIdsNoReportHeldAndRefusalsLeaveTheFile) {
    int first = add(kickers("First"));
    ASSERT_NE(first, 0);
    ReportChange gone = deleteReport(context(), first);
    ASSERT_TRUE(gone.ok());
    int second = add(kickers("Second"));
    EXPECT_GT(second, first);

    std::vector<std::uint8_t> before = reportFileBytes();
    ReportDefinition bad = kickers("Third");
    bad.columns = columns(65);
    EXPECT_FALSE(addReport(context(), bad).ok());
    EXPECT_FALSE(changeReport(context(), second, bad).ok());
    EXPECT_EQ(reportFileBytes(), before);
}

TEST_F(ReportDefineTest, ChangingKeepsIdAndFlagsAndMayKeepItsOwnName) {
    int id = add(kickers());
    ReportDefinition changed = kickers();
    changed.header = "Kickers again";
    changed.sorts = {{50, false}};
    ReportChange change = changeReport(context(), id, changed);
    ASSERT_TRUE(change.ok()) << change.problem->message;
    const Report* stored = query().cached(id);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->text(kReportHeader), "Kickers again");
    EXPECT_EQ(stored->getValue(kReportDeletable), 1);
    EXPECT_EQ(ReportDefinition::of(*stored).sorts, changed.sorts);

    changed.name = "Running Backs";
    ReportChange clash = changeReport(context(), id, changed);
    ASSERT_FALSE(clash.ok());
    EXPECT_EQ(clash.problem->message, kReportRenamedToUsedMessage);
}

TEST_F(ReportDefineTest, DeletingOnlyWhatMayGoAndPacksDropTheReport) {
    int a = add(kickers("A"));
    int b = add(kickers("B"));
    int p = add(test::packDefinition("P", {a, b, a}));
    ASSERT_TRUE(deleteReport(context(), a).ok());
    EXPECT_EQ(query().cached(a), nullptr);
    EXPECT_EQ(query().cached(p)->packMembers(), std::vector<int>{b});

    std::vector<std::uint8_t> before = reportFileBytes();
    ReportChange fixed = deleteReport(context(), query().cached("NFL Schedule")->id());
    ASSERT_FALSE(fixed.ok());
    EXPECT_EQ(fixed.problem->message, "The report \"NFL Schedule\" cannot be deleted.");
    ReportChange missing = deleteReport(context(), 9999);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.problem->message, kReportMissingMessage);
    EXPECT_EQ(reportFileBytes(), before);
}

}  // namespace
}  // namespace qff
