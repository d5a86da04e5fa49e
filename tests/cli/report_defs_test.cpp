#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/CliRun.h"

namespace qff::test {
namespace {

namespace fs = std::filesystem;

// Kickers ranked by points, by item names, with the rest of the definition
// as an import file spells it.
nlohmann::json kickers(const std::string& name) {
    return {{"type", "player"},
            {"name", name},
            {"header", "Kickers ranked by points"},
            {"columns",
             {{{"item", "Player Name"}, {"header", "Kicker"}},
              {{"item", "Total Points Scored"}},
              {{"item", 50}}}},
            {"sections", {{{"first", 2}, {"last", 3}, {"title", "Scoring"}}}},
            {"sort", {{{"item", "Total Points Scored"}, {"order", "descending"}}}},
            {"rows", {{"kind", 4}, {"values", {4}}}}};
}

// The demonstration season of 2003, its report file Rpt_03.DB.
class CliReportDefinitions : public CliRun {
  protected:
    void SetUp() override {
        RunResult demo = qff({"demo", "--year", "2003"});
        ASSERT_EQ(demo.status, 0) << demo.err;
    }

    std::string reportFile() const { return readText(dir_ / "Rpt_03.DB"); }

    std::string write(const std::string& name, const std::string& text) const {
        writeText(dir_ / name, text);
        return (dir_ / name).string();
    }

    int importJson(const nlohmann::json& definition) {
        return qffJson({"report", "import", write("definition.json", definition.dump())})["id"];
    }

    std::string runPage(int id) {
        nlohmann::json run =
            qffJson({"report", "--league", "1", std::to_string(id), "--weeks", "2-4"});
        return readText(run["page"].get<std::string>());
    }
};

TEST_F(CliReportDefinitions, ListShowsEveryReportInIdOrder) {
    nlohmann::json list = qffJson({"report", "list"})["reports"];
    ASSERT_GE(list.size(), 37u);
    EXPECT_EQ(list[0]["name"], "Quarterbacks");
    EXPECT_EQ(list[0]["type"], "player");
    EXPECT_EQ(list[0]["deletable"], true);
    for (std::size_t i = 1; i < list.size(); ++i) {
        EXPECT_LT(list[i - 1]["id"].get<int>(), list[i]["id"].get<int>());
    }
    RunResult plain = qff({"report", "list"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_TRUE(plain.out.starts_with("1  player  Quarterbacks\n")) << plain.out;
}

TEST_F(CliReportDefinitions, AnExportedDefinitionImportsUnderANewIdAndRunsToTheSamePage) {
    int original = importJson(kickers("League Kickers"));
    std::string page = runPage(original);

    RunResult exported = qff({"report", "export", std::to_string(original), "shared.json"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    nlohmann::json shared = nlohmann::json::parse(readText(dir_ / "shared.json"));
    EXPECT_EQ(shared["columns"][2]["item"], "Extra Points");
    EXPECT_EQ(shared["sort"][0]["item"], "Total Points Scored");

    RunResult deleted = qff({"report", "delete", std::to_string(original), "--yes"});
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    nlohmann::json imported = qffJson({"report", "import", "shared.json"});
    EXPECT_GT(imported["id"].get<int>(), original);
    EXPECT_EQ(imported["name"], "League Kickers");
    EXPECT_EQ(runPage(imported["id"]), page);

    // To standard output, the same document.
    EXPECT_EQ(qffJson({"report", "export", "League Kickers"}), shared);
}

TEST_F(CliReportDefinitions, PacksImportByMemberNamesAndLoseDeletedMembers) {
    importJson(kickers("Kickers A"));
    int b = importJson(kickers("Kickers B"));
    nlohmann::json pack = {
        {"type", "report pack"}, {"name", "Kicking Pack"}, {"members", {"Kickers A", b}}};
    int packId = importJson(pack);
    RunResult deleted = qff({"report", "delete", "Kickers A", "--yes"});
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    nlohmann::json exported = qffJson({"report", "export", std::to_string(packId)});
    EXPECT_EQ(exported["members"], nlohmann::json::array({"Kickers B"}));
}

TEST_F(CliReportDefinitions, MalformedDefinitionsAreRefusedNamingTheFieldAndNothingIsStored) {
    auto with = [](const std::string& key, nlohmann::json value) {
        nlohmann::json d = kickers("Refused Kickers");
        d[key] = std::move(value);
        return d.dump();
    };
    nlohmann::json tooMany = nlohmann::json::array();
    for (int i = 0; i < 65; ++i) {
        tooMany.push_back({{"item", "Kick Points"}});
    }
    struct Case {
        std::string label;
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {"bad JSON", "{\"type\": \"player\",", "The file is not a JSON report definition."},
        {"not an object", "[1, 2]", "The file does not hold a report definition."},
        {"unknown type", with("type", "sonnet"), "type: The report type must be player (3)"},
        {"fixed type", with("type", "draft day"), "type: The report type must be player (3)"},
        {"no name", nlohmann::json{{"type", "player"}}.dump(), "name: The definition has no"},
        {"too many columns", with("columns", tooMany),
         "columns: The maximum number of columns has been added to this report."},
        {"unknown item", with("columns", {{{"item", "Field Goal Range"}}}),
         "columns[0].item: No data item of player reports is named \"Field Goal Range\"."},
        {"name too long", with("name", std::string(64, 'K')),
         "name: The report name can be at most 63 characters."},
        {"illegal name", with("name", "Kick:ers"), "name: An illegal report name was entered."},
        {"used name", with("name", "Place Kickers"),
         "name: That report name has already been used."},
        {"sort order", with("sort", {{{"item", "Kick Points"}, {"order", "sideways"}}}),
         "sort[0].order: The order must be"},
        {"rows", with("rows", {{"kind", 108}, {"values", {9999}}}),
         "rows.values[0]: The players to include need a franchise of the season."},
        {"self-containing pack",
         nlohmann::json{{"type", "report pack"}, {"name", "Loop"}, {"members", {"Loop"}}}.dump(),
         "members[0]: The report pack cannot contain itself."},
        {"pack of a missing report",
         nlohmann::json{{"type", "report pack"}, {"name", "Gaps"}, {"members", {"Nothing Here"}}}
             .dump(),
         "members[0]: No report of the season is named \"Nothing Here\"."},
        {"pack of a missing id",
         nlohmann::json{{"type", "report pack"}, {"name", "Gaps"}, {"members", {9999}}}.dump(),
         "members[0]: No report of the season has the id 9999."},
    };
    std::string before = reportFile();
    for (const Case& c : cases) {
        RunResult run = qff({"report", "import", write("bad.json", c.file)});
        EXPECT_EQ(run.status, 1) << c.label;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.label << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << c.label;
        EXPECT_EQ(reportFile(), before) << c.label;
    }
}

TEST_F(CliReportDefinitions, DeletingNeedsYesAndADeletableReport) {
    std::string before = reportFile();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"report", "delete", "Quarterbacks"}, 1, "add --yes"},
        {{"report", "delete", "NFL Schedule", "--yes"},
         1,
         "The report \"NFL Schedule\" cannot be deleted."},
        {{"report", "delete", "No Such Report", "--yes"}, 1, "no report is named or numbered"},
        {{"report", "Quarterbacks"}, 2, "--league is required"},
    };
    for (const Case& c : cases) {
        RunResult run = qff(c.args);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(reportFile(), before);
}

}  // namespace
}  // namespace qff::test
