#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data02/league/Listhelp.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Team.h"
#include "data02/reports/Rpt_assist.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Single.h"
#include "tests/support/DemoSeason.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

constexpr int kYear = 2003;
constexpr int kKicker = 4;
constexpr int kNflTeam = 3;

class ReportAssistTest : public test::DemoSuite {
  protected:
    static void SetUpTestSuite() {
        buildSuiteDemo({.year = kYear,
                        .weeksMerged = 1,
                        .playersPerTeam = 4,
                        .divisionsPerLeague = 1,
                        .franchisesPerDivision = 2});
    }

    int franchiseId() { return context().mapFactory().franchises().list().front()->id(); }

    int add(const std::string& name, int type) {
        ReportDefinition d;
        d.type = type;
        d.name = name;
        d.header = name;
        if (type == kPlayerReport) {
            d.columns.push_back(*Report::defaultColumn(kPlayerReport, kPlayerName));
            d.rows = playerRowsOf({});
        } else if (type == kFranchiseReport) {
            d.columns.push_back(*Report::defaultColumn(
                kFranchiseReport, Report::itemCategories(kFranchiseReport).front().codes.front()));
            d.rows = franchiseRowsOf({});
        }
        ReportChange change = addReport(context(), d);
        EXPECT_TRUE(change.ok()) << change.problem->message;
        return change.id;
    }
};

std::vector<int> range(int first, int last) {
    std::vector<int> values;
    for (int v = first; v <= last; ++v) {
        values.push_back(v);
    }
    return values;
}

std::vector<int> joined(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Every choice of the players page: what it stores, and that loading what
// it stored gives the same choice back.
TEST_F(ReportAssistTest, PlayerChoicesStoreTheSelectionsAndLoadBack) {
    const int f = franchiseId();
    const std::vector<int> people = range(0, 6);
    const std::vector<int> units = range(10, 16);
    using G = PlayerGroup;
    using U = PlayerUnits;
    struct Case {
        PlayerRowsChoice choice;
        int kind;
        std::vector<int> values;
    };
    const std::vector<Case> cases = {
        {{G::AllGroups, U::Individual}, 4, people},
        {{G::AllGroups, U::Team}, 4, units},
        {{G::AllGroups, U::All}, 4, joined(people, units)},
        {{G::Position, U::Individual, kKicker}, 4, {4}},
        {{G::Position, U::Team, kKicker}, 4, {14}},
        {{G::Position, U::All, kKicker}, 4, {4, 14}},
        {{G::Position, U::Individual, 0}, 4, {0}},
        {{G::NflTeam, U::Individual, 0, kNflTeam}, 109, joined({kNflTeam}, people)},
        {{G::NflTeam, U::Team, 0, kNflTeam}, 109, joined({kNflTeam}, units)},
        {{G::NflTeam, U::All, 0, kNflTeam}, 3, {kNflTeam}},
        {{G::Franchise, U::Individual, 0, 0, f, kActiveOnly}, 108, joined({f}, people)},
        {{G::Franchise, U::Team, 0, 0, f, kBenchOnly}, 108, joined({f}, units)},
        {{G::Franchise, U::All, 0, 0, f, kActiveAndBench}, 108, joined({f}, joined(people, units))},
    };
    for (const Case& c : cases) {
        ReportRows rows = playerRowsOf(c.choice);
        SCOPED_TRACE(testing::Message()
                     << "kind " << c.kind << ", " << c.values.size() << " values");
        EXPECT_EQ(rows.kind, c.kind);
        EXPECT_EQ(rows.values, c.values);
        EXPECT_EQ(rows.rosterPart, c.choice.rosterPart);
        EXPECT_EQ(playerChoiceOf(context(), rows), c.choice);
        EXPECT_FALSE(checkReportRows(context(), kPlayerReport, rows));
    }
}

TEST_F(ReportAssistTest, PlayersOfAFranchiseNoLongerThereFallBackToAllGroups) {
    ReportRows gone{kPlayersOfFranchise, joined({99999}, range(10, 16)), kBenchOnly};
    PlayerRowsChoice choice = playerChoiceOf(context(), gone);
    EXPECT_EQ(choice.group, PlayerGroup::AllGroups);
    EXPECT_EQ(choice.units, PlayerUnits::Team);

    ReportRows oddPart{kPlayersOfFranchise, joined({franchiseId()}, range(0, 6)), 7};
    EXPECT_EQ(playerChoiceOf(context(), oddPart).rosterPart, kActiveAndBench);
}

TEST_F(ReportAssistTest, FranchiseChoicesStoreTheSelectionsAndLoadBack) {
    const std::vector<std::pair<FranchiseRowsChoice, ReportRows>> cases = {
        {{FranchiseGroup::One, 12}, {kOneFranchise, {12}, kActiveAndBench}},
        {{FranchiseGroup::Division, 5}, {kFranchisesOfDivision, {5}, kActiveAndBench}},
        {{FranchiseGroup::All, 0}, {kAllFranchises, {}, kActiveAndBench}},
    };
    for (const auto& [choice, rows] : cases) {
        EXPECT_EQ(franchiseRowsOf(choice), rows);
        EXPECT_EQ(franchiseChoiceOf(rows), choice);
    }
}

TEST(ReportAssistRules, SortLevelsLeftEmptyAreSkippedAndTheRestPackedToTheFront) {
    SortLevelChoices choices{ReportSortLevel{88, true}, std::nullopt, ReportSortLevel{2, false},
                             std::nullopt};
    EXPECT_EQ(packedSortLevels(choices), (std::vector<ReportSortLevel>{{88, true}, {2, false}}));
    EXPECT_TRUE(packedSortLevels({}).empty());
}

TEST(ReportAssistRules, TextItemsSortAscendingFirstAndNumbersDescending) {
    EXPECT_FALSE(sortsDescendingFirst(*Report::defaultColumn(kPlayerReport, kPlayerName)));
    EXPECT_TRUE(sortsDescendingFirst(*Report::defaultColumn(kPlayerReport, 88)));
}

TEST(ReportAssistRules, ListTexts) {
    EXPECT_EQ(columnListText(kPlayerName), Report::columnListName(kPlayerName));
    EXPECT_EQ(columnListText(127), "ERROR - No str for col #127");
    EXPECT_EQ(sectionRangeText({2, 2, "x"}), "3");
    EXPECT_EQ(sectionRangeText({1, 4, "x"}), "2 - 5");
    EXPECT_EQ(sectionListText({1, 4, ""}), "< No header text >");
    EXPECT_EQ(sectionListText({1, 4, "Kicking"}), "Kicking");
    EXPECT_EQ(reportTypeMark(kPlayerReport), "P");
    EXPECT_EQ(reportTypeMark(kFranchiseReport), "F");
    EXPECT_EQ(reportTypeMark(kReportPack), "R");
    EXPECT_EQ(reportTypeMark(kDraftDayReport), "");
}

TEST(ReportAssistRules, OnlyLettersDigitsBlankDashAndUnderscoreMayBeTyped) {
    for (char32_t accepted : {U'a', U'Z', U'0', U'9', U' ', U'-', U'_'}) {
        EXPECT_TRUE(isReportTextKey(accepted)) << static_cast<int>(accepted);
    }
    for (char32_t refused :
         {U'/', U'\\', U':', U'*', U'?', U'"', U'<', U'>', U'|', U'.', U'\t', U'\n', U'\0', U'é'}) {
        EXPECT_FALSE(isReportTextKey(refused)) << static_cast<int>(refused);
    }
}

TEST_F(ReportAssistTest, ListsHoldTheFlaggedReportsByNameIgnoringCase) {
    int zebra = add("zebra kickers", kPlayerReport);
    int alpha = add("Alpha franchises", kFranchiseReport);
    int pack = add("middle Pack", kReportPack);

    std::vector<ReportListEntry> deletable = reportsWithFlag(context(), kReportDeletable);
    std::vector<int> ours;
    for (std::size_t i = 0; i < deletable.size(); ++i) {
        if (i > 0) {
            EXPECT_LE(lowerCase(deletable[i - 1].name), lowerCase(deletable[i].name));
        }
        if (deletable[i].id == alpha || deletable[i].id == pack || deletable[i].id == zebra) {
            ours.push_back(deletable[i].id);
        }
    }
    EXPECT_EQ(ours, (std::vector<int>{alpha, pack, zebra}));
    const Report* pk = context().reportQuery().cached(pack);
    EXPECT_EQ(ReportListEntry({pack, kReportPack, pk->name()}).caption(),
              "middle Pack  (R)  " + std::to_string(pack));
    EXPECT_EQ(ReportListEntry({7, kDraftDayReport, "Draft"}).caption(), "Draft  7");

    std::vector<ReportListEntry> listed = reportsWithFlag(context(), kReportListed, pack);
    EXPECT_GT(listed.size(), deletable.size());
    for (const ReportListEntry& entry : listed) {
        EXPECT_NE(entry.id, pack);
        EXPECT_NE(context().reportQuery().cached(entry.id)->getValue(kReportListed), 0);
    }
}

TEST_F(ReportAssistTest, HeaderPreviewIsWrittenUnderSupportWithTheReportsHeaders) {
    Owned<Report> report = context().reportQuery().create();
    ReportDefinition d;
    d.name = "Preview Me";
    d.header = "Kickers";
    d.columns = {*Report::defaultColumn(kPlayerReport, kPlayerName),
                 *Report::defaultColumn(kPlayerReport, 88)};
    d.sections = {{0, 1, "Kicking Section"}};
    d.writeTo(*report);

    std::optional<std::filesystem::path> page = writeHeaderPreviewPage(context(), *report);
    ASSERT_TRUE(page);
    EXPECT_EQ(*page, dir_ / "support" / "hdr_prvw.htm");
    std::string html = test::readText(*page);
    EXPECT_NE(html.find("<TITLE>Preview Me</TITLE>"), std::string::npos) << html;
    EXPECT_NE(html.find("Kicking Section"), std::string::npos);
    EXPECT_NE(html.find(d.columns[1].header), std::string::npos);
}

TEST_F(ReportAssistTest, HeaderPreviewThatCannotBeWrittenGivesNoPage) {
    test::writeText(dir_ / "support", "a file where the folder belongs");
    Owned<Report> report = context().reportQuery().create();
    EXPECT_FALSE(writeHeaderPreviewPage(context(), *report));
}

}  // namespace
}  // namespace qff
