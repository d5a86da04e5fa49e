#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "data02/model/Mapfact.h"
#include "data02/reports/Rpt_define.h"
#include "data02/reports/Rptqry.h"
#include "data02/storage/Files.h"

namespace qff::cli {
namespace {

using nlohmann::json;

// A shared definition is a few kilobytes; anything far larger is no definition.
constexpr std::uintmax_t kDefinitionFileLimit = 1024 * 1024;

struct TypeName {
    int type;
    const char* name;
};

constexpr TypeName kTypeNames[] = {
    {kFranchiseReport, "franchise"}, {kFranchiseOverview, "franchise overview"},
    {kPlayerReport, "player"},       {kPlayerOverview, "player overview"},
    {kNflOverview, "NFL overview"},  {kPlayerSummary, "player summary"},
    {kDraftDayReport, "draft day"},  {kLeagueInformation, "league information"},
    {kReportPack, "report pack"},
};

std::string typeName(int type) {
    for (const TypeName& entry : kTypeNames) {
        if (entry.type == type) {
            return entry.name;
        }
    }
    return "type " + std::to_string(type);
}

// A definition file that does not have the shape of one: which field, and why.
struct ShapeError {
    ReportProblem problem;
};

[[noreturn]] void badShape(std::string field, std::string message) {
    throw ShapeError{{std::move(field), std::move(message)}};
}

// The item's list name where it has one, so another season reads it.
json itemText(int code) {
    std::string name = Report::columnListName(code);
    return name.empty() ? json(code) : json(name);
}

json membersJson(Singleton& season, const std::vector<int>& ids) {
    json members = json::array();
    for (int id : ids) {
        const Report* member = season.reportQuery().cached(id);
        members.push_back(member ? json(member->name()) : json(id));
    }
    return members;
}

json definitionJson(Singleton& season, const ReportDefinition& d) {
    json document = {{"type", typeName(d.type)}, {"name", d.name}, {"header", d.header}};
    if (d.type == kReportPack) {
        document["members"] = membersJson(season, d.members);
        return document;
    }
    document["totals_row"] = d.totalsRow;
    json& columns = document["columns"] = json::array();
    for (const ReportColumn& column : d.columns) {
        columns.push_back({{"item", itemText(column.code)}, {"header", column.header}});
    }
    json& sections = document["sections"] = json::array();
    for (const ReportSection& section : d.sections) {
        sections.push_back(
            {{"first", section.first + 1}, {"last", section.last + 1}, {"title", section.title}});
    }
    json& sort = document["sort"] = json::array();
    for (const ReportSortLevel& level : d.sorts) {
        sort.push_back({{"item", itemText(level.code)},
                        {"order", level.descending ? "descending" : "ascending"}});
    }
    document["rows"] = {{"kind", d.rows.kind}, {"values", d.rows.values}};
    if (d.rows.kind == kPlayersOfFranchise) {
        document["rows"]["roster_part"] = d.rows.rosterPart;
    }
    return document;
}

// ---- reading a definition

const json& member(const json& object, const std::string& key, const std::string& field) {
    auto found = object.find(key);
    if (found == object.end()) {
        badShape(field, "The definition has no \"" + key + "\".");
    }
    return *found;
}

std::string textOf(const json& value, const std::string& field) {
    if (!value.is_string()) {
        badShape(field, "Must be a text.");
    }
    return value.get<std::string>();
}

int numberOf(const json& value, const std::string& field) {
    if (!value.is_number_integer()) {
        badShape(field, "Must be a whole number.");
    }
    return value.get<int>();
}

const json& arrayOf(const json& object, const std::string& key) {
    static const json kNone = json::array();
    auto found = object.find(key);
    if (found == object.end()) {
        return kNone;
    }
    if (!found->is_array()) {
        badShape(key, "Must be a list.");
    }
    return *found;
}

std::string at(const std::string& list, std::size_t i) {
    return list + "[" + std::to_string(i) + "]";
}

int typeOf(const json& value) {
    if (value.is_number_integer()) {
        return value.get<int>();
    }
    std::string text = textOf(value, "type");
    for (const TypeName& entry : kTypeNames) {
        if (text == entry.name) {
            return entry.type;
        }
    }
    badShape("type", "The report type must be player (3), franchise (1) or report pack (9).");
}

// An item by its list name or its code.
int itemOf(int type, const json& value, const std::string& field) {
    std::string text =
        value.is_number_integer() ? std::to_string(value.get<int>()) : textOf(value, field);
    int code = 0;
    if (ReportCheck bad = lookUpReportItem(type, text, field, code)) {
        throw ShapeError{*bad};
    }
    return code;
}

std::vector<ReportColumn> columnsOf(int type, const json& list) {
    std::vector<ReportColumn> columns;
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string field = at("columns", i);
        int code = itemOf(type, member(list[i], "item", field + ".item"), field + ".item");
        auto header = list[i].find("header");
        ReportColumn column = Report::defaultColumn(type, code).value_or(ReportColumn{code, 1, ""});
        if (header != list[i].end()) {
            column.header = textOf(*header, field + ".header");
        }
        columns.push_back(column);
    }
    return columns;
}

std::vector<ReportSection> sectionsOf(const json& list) {
    std::vector<ReportSection> sections;
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string field = at("sections", i);
        int first = numberOf(member(list[i], "first", field + ".first"), field + ".first");
        int last = numberOf(member(list[i], "last", field + ".last"), field + ".last");
        auto title = list[i].find("title");
        sections.push_back(
            {first - 1, last - 1, title == list[i].end() ? "" : textOf(*title, field + ".title")});
    }
    return sections;
}

std::vector<ReportSortLevel> sortsOf(int type, const json& list) {
    std::vector<ReportSortLevel> sorts;
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string field = at("sort", i);
        int code = itemOf(type, member(list[i], "item", field + ".item"), field + ".item");
        auto order = list[i].find("order");
        std::string text = order == list[i].end() ? "ascending" : textOf(*order, field + ".order");
        if (text != "ascending" && text != "descending") {
            badShape(field + ".order", "The order must be \"ascending\" or \"descending\".");
        }
        sorts.push_back({code, text == "descending"});
    }
    return sorts;
}

ReportRows rowsOf(const json& document) {
    auto found = document.find("rows");
    if (found == document.end()) {
        badShape("rows", "The definition has no \"rows\".");
    }
    ReportRows rows;
    rows.kind = numberOf(member(*found, "kind", "rows.kind"), "rows.kind");
    const json& values = arrayOf(*found, "values");
    for (std::size_t i = 0; i < values.size(); ++i) {
        rows.values.push_back(numberOf(values[i], at("rows.values", i)));
    }
    if (auto part = found->find("roster_part"); part != found->end()) {
        rows.rosterPart = numberOf(*part, "rows.roster_part");
    }
    return rows;
}

// Members by name (as exported) or by id. A pack not stored yet has no id,
// so naming itself is the only way it can contain itself.
std::vector<int> membersOf(Singleton& season, const std::string& packName, const json& list) {
    std::vector<int> ids;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].is_number_integer()) {
            ids.push_back(list[i].get<int>());
            continue;
        }
        std::string name = textOf(list[i], at("members", i));
        if (name == packName) {
            badShape(at("members", i), kPackContainsItselfMessage);
        }
        const Report* report = season.reportQuery().cached(name);
        if (report == nullptr) {
            badShape(at("members", i), "No report of the season is named \"" + name + "\".");
        }
        ids.push_back(report->id());
    }
    return ids;
}

ReportDefinition definitionOf(Singleton& season, const json& document) {
    if (!document.is_object()) {
        badShape("", "The file does not hold a report definition.");
    }
    ReportDefinition d;
    d.type = typeOf(member(document, "type", "type"));
    d.name = textOf(member(document, "name", "name"), "name");
    if (auto header = document.find("header"); header != document.end()) {
        d.header = textOf(*header, "header");
    }
    if (d.type == kReportPack) {
        d.members = membersOf(season, d.name, arrayOf(document, "members"));
        return d;
    }
    if (auto totals = document.find("totals_row"); totals != document.end()) {
        if (!totals->is_boolean()) {
            badShape("totals_row", "Must be true or false.");
        }
        d.totalsRow = totals->get<bool>();
    }
    if (!isCreatableReportType(d.type)) {
        return d;
    }
    d.columns = columnsOf(d.type, arrayOf(document, "columns"));
    d.sections = sectionsOf(arrayOf(document, "sections"));
    d.sorts = sortsOf(d.type, arrayOf(document, "sort"));
    d.rows = rowsOf(document);
    return d;
}

// ---- commands

int refuse(Session& session, const ReportProblem& problem) {
    std::string where = problem.field.empty() ? "" : problem.field + ": ";
    return session.output.fail(where + oneLine(problem.message));
}

// By id first when the text is a number, then by name.
const Report* namedReport(Singleton& season, const std::string& text) {
    std::optional<int> id = parseInteger(text);
    const Report* report = id ? season.reportQuery().cached(*id) : nullptr;
    return report ? report : season.reportQuery().cached(text);
}

int listCommand(Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    Owned<RptList> all = season.reportQuery().allReports();
    if (!all) {
        return session.output.fail("the season's reports are not loaded");
    }
    json reports = json::array();
    for (const Owned<Report>& report : *all) {
        reports.push_back({{"id", report->id()},
                           {"name", report->name()},
                           {"type", typeName(report->type())},
                           {"editable", report->getValue(kReportEditable) != 0},
                           {"listed", report->getValue(kReportListed) != 0},
                           {"deletable", report->getValue(kReportDeletable) != 0}});
    }
    return session.output.emit({{"reports", reports}}, [&](std::ostream& out) {
        for (const json& entry : reports) {
            out << entry["id"].get<int>() << "  " << entry["type"].get<std::string>() << "  "
                << entry["name"].get<std::string>() << '\n';
        }
    });
}

struct ExportArgs {
    std::string report;
    std::string file;
};

int exportCommand(const ExportArgs& args, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    const Report* report = namedReport(season, args.report);
    if (report == nullptr) {
        return session.output.fail("no report is named or numbered \"" + args.report + "\"");
    }
    json definition = definitionJson(season, ReportDefinition::of(*report));
    if (args.file.empty()) {
        session.output.emit(definition,
                            [&](std::ostream& out) { out << definition.dump(2) << '\n'; });
        return kExitOk;
    }
    std::filesystem::path path = session.options.fileArgument(args.file);
    StagedWrite staged = StagedWrite::beside(path, kPartialSuffix);
    std::error_code error;
    {
        std::ofstream out(staged.temporary(), std::ios::binary | std::ios::trunc);
        out << definition.dump(2) << '\n';
        if (!out.flush()) {
            staged.discard();
            return session.output.fail("cannot write " + path.string());
        }
    }
    if (!staged.replaceTarget(error)) {
        return session.output.fail("cannot write " + path.string() + ": " + error.message());
    }
    return session.output.emit(
        {{"id", report->id()}, {"name", report->name()}, {"file", path.string()}},
        [&](std::ostream& out) { out << path.string() << '\n'; });
}

int importCommand(const std::string& file, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    std::filesystem::path path = session.options.fileArgument(file);
    std::optional<std::string> text = readRegularFile(path, kDefinitionFileLimit);
    if (!text) {
        return session.output.fail("cannot read " + path.string());
    }
    json document = json::parse(*text, nullptr, false);
    if (document.is_discarded()) {
        return refuse(session, {"", "The file is not a JSON report definition."});
    }
    ReportChange change;
    try {
        change = addReport(season, definitionOf(season, document));
    } catch (const ShapeError& shape) {
        return refuse(session, shape.problem);
    } catch (const json::exception&) {
        return refuse(session, {"", "The file does not hold a report definition."});
    }
    if (!change.ok()) {
        return refuse(session, *change.problem);
    }
    const Report* stored = season.reportQuery().cached(change.id);
    std::string name = stored ? stored->name() : "";
    return session.output.emit(
        {{"id", change.id}, {"name", name}, {"type", typeName(change.type)}},
        [&](std::ostream& out) { out << change.id << "  " << name << '\n'; });
}

struct DeleteArgs {
    std::string report;
    bool confirmed = false;
};

int deleteCommand(const DeleteArgs& args, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    const Report* report = namedReport(season, args.report);
    if (report == nullptr) {
        return session.output.fail("no report is named or numbered \"" + args.report + "\"");
    }
    std::string name = report->name();
    if (!args.confirmed) {
        return session.output.fail("deleting removes the report \"" + name +
                                   "\" for good (add --yes to delete it)");
    }
    ReportChange change = deleteReport(season, report->id());
    if (!change.ok()) {
        return refuse(session, *change.problem);
    }
    return session.output.emit({{"id", change.id}, {"name", name}, {"deleted", true}},
                               [&](std::ostream& out) { out << "deleted " << name << '\n'; });
}

}  // namespace

void addReportDefinitionCommands(CLI::App& report, CommandTable& table) {
    CLI::App* list = report.add_subcommand("list", "List the season's report definitions");
    table.add(list, listCommand);

    auto exported = std::make_shared<ExportArgs>();
    CLI::App* exportCmd = report.add_subcommand(
        "export", "Write a report definition as JSON another season can import");
    exportCmd->add_option("ID", exported->report, "Report id or name")->required();
    exportCmd->add_option("FILE", exported->file, "File to write; standard output without one");
    table.add(exportCmd,
              [exported](Session& session) { return exportCommand(*exported, session); });

    auto file = std::make_shared<std::string>();
    CLI::App* importCmd =
        report.add_subcommand("import", "Add a report from a JSON definition, with a new id");
    importCmd->add_option("FILE", *file, "Definition file")->required();
    table.add(importCmd, [file](Session& session) { return importCommand(*file, session); });

    auto deleted = std::make_shared<DeleteArgs>();
    CLI::App* deleteCmd = report.add_subcommand(
        "delete", "Delete a report its definition allows to be deleted; packs drop it");
    deleteCmd->add_option("ID", deleted->report, "Report id or name")->required();
    deleteCmd->add_flag("--yes", deleted->confirmed, "Confirm the deletion");
    table.add(deleteCmd, [deleted](Session& session) { return deleteCommand(*deleted, session); });
}

}  // namespace qff::cli
