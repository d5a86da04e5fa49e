#include "data02/reports/Rpt_define.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <map>
#include <set>

#include "data02/league/Listhelp.h"
#include "data02/model/Divqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Single.h"
#include "data02/season/Whole.h"

namespace qff {
namespace {

constexpr std::string_view kFileNameBreakers = "/\\:*?\"<>|";
constexpr int kLastPositionGroup = 6;
constexpr int kFirstUnitGroup = 10;
constexpr int kLastUnitGroup = 16;
// Every position group and every team unit: "All players" of a group.
constexpr std::size_t kAllGroupCount = 14;

ReportCheck problem(std::string field, std::string message) {
    return ReportProblem{std::move(field), std::move(message)};
}

std::string indexed(std::string_view list, std::size_t i) {
    return std::string(list) + "[" + std::to_string(i) + "]";
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string typeWord(int type) {
    return Report::usesPlayerItems(type) ? "player" : "franchise";
}

// Two names whose page files a file system that ignores case could not tell
// apart.
std::string pageKey(std::string_view name) {
    return lowerCase(safeFileName(name, true));
}

bool breaksFileName(std::string_view name) {
    return holdsControlCharacter(name) || name.find_first_of(kFileNameBreakers) != name.npos ||
           std::ranges::all_of(name, [](char c) { return c == '.' || c == ' '; });
}

bool isPositionGroup(int code) {
    return (code >= 0 && code <= kLastPositionGroup) ||
           (code >= kFirstUnitGroup && code <= kLastUnitGroup);
}

ReportCheck checkGroups(const std::vector<int>& groups, std::size_t first) {
    if (groups.size() > first + kAllGroupCount) {
        return problem("rows.values",
                       "The players to include can name at most 14 position groups.");
    }
    for (std::size_t i = first; i < groups.size(); ++i) {
        if (!isPositionGroup(groups[i])) {
            return problem(indexed("rows.values", i),
                           "No position group has the code " + std::to_string(groups[i]) + ".");
        }
    }
    return std::nullopt;
}

ReportCheck checkNflTeam(Singleton& context, const std::vector<int>& values) {
    if (values.empty() || !context.pro().isValid(values[0])) {
        return problem("rows.values[0]", "The players to include need an NFL team of the season.");
    }
    return std::nullopt;
}

ReportCheck checkPlayerRows(Singleton& context, const ReportRows& rows) {
    switch (rows.kind) {
        case PlayerQueryNode::kByTeam:
            return checkNflTeam(context, rows.values);
        case PlayerQueryNode::kByPosition:
            if (rows.values.empty()) {
                return problem("rows.values", "The players to include need a position group.");
            }
            return checkGroups(rows.values, 0);
        case kPlayersOfNflTeamByGroup:
            if (ReportCheck team = checkNflTeam(context, rows.values)) {
                return team;
            }
            return checkGroups(rows.values, 1);
        case kPlayersOfFranchise:
            if (rows.values.empty() ||
                !context.mapFactory().franchises().findFirst(kFranchiseId, rows.values[0])) {
                return problem("rows.values[0]",
                               "The players to include need a franchise of the season.");
            }
            if (rows.rosterPart < kActiveAndBench || rows.rosterPart > kBenchOnly) {
                return problem("rows.roster_part",
                               "The roster part must be 0 (active and bench players), 1 (only "
                               "active players) or 2 (only bench players).");
            }
            return checkGroups(rows.values, 1);
        default:
            return problem("rows.kind",
                           "The Report Assistant does not offer the player selection " +
                               std::to_string(rows.kind) + ".");
    }
}

ReportCheck checkFranchiseRows(Singleton& context, const ReportRows& rows) {
    bool one = rows.kind == kOneFranchise;
    bool division = rows.kind == kFranchisesOfDivision;
    if (!one && !division && rows.kind != kAllFranchises) {
        return problem("rows.kind", "The Report Assistant does not offer the franchise selection " +
                                        std::to_string(rows.kind) + ".");
    }
    std::size_t needed = one || division ? 1 : 0;
    if (rows.values.size() != needed) {
        return problem("rows.values", needed == 0 ? "All franchises take no values."
                                                  : "The franchises to include take one id.");
    }
    int id = needed == 0 ? 0 : rows.values[0];
    if (one && !context.mapFactory().franchises().findFirst(kFranchiseId, id)) {
        return problem("rows.values[0]",
                       "No franchise of the season has the id " + std::to_string(id) + ".");
    }
    if (division && !context.mapFactory().divisions().findFirst(kDivisionId, id)) {
        return problem("rows.values[0]",
                       "No division of the season has the id " + std::to_string(id) + ".");
    }
    return std::nullopt;
}

// Entries the sections take once the gaps between them become untitled
// entries of their own, as the report keeps them.
int normalisedEntries(const std::vector<ReportSection>& sections) {
    int entries = 0;
    int next = 0;
    for (const ReportSection& section : sections) {
        entries += section.first > next ? 2 : 1;
        next = section.last + 1;
    }
    return entries;
}

// The member lists of every report pack of the season, with the pack `selfId`
// (0: a pack not stored yet) holding `members`.
using PackGraph = std::map<int, std::vector<int>>;

PackGraph packGraph(Singleton& context, int selfId, const std::vector<int>& members) {
    PackGraph graph;
    for (const Report* report : context.mapFactory().reports().list()) {
        if (report->type() == kReportPack) {
            graph[report->id()] = report->packMembers();
        }
    }
    graph[selfId] = members;
    return graph;
}

// Whether `from` reaches `target` through packs; `seen` guards against
// cycles that a damaged or old file may hold.
bool reaches(const PackGraph& graph, int from, int target, std::set<int>& seen) {
    auto found = graph.find(from);
    if (found == graph.end() || !seen.insert(from).second) {
        return false;
    }
    return std::ranges::any_of(found->second, [&](int member) {
        return member == target || reaches(graph, member, target, seen);
    });
}

// Packs from `pack` down, itself counted.
int depthBelow(const PackGraph& graph, int pack, std::set<int>& path) {
    auto found = graph.find(pack);
    if (found == graph.end() || !path.insert(pack).second) {
        return 0;
    }
    int deepest = 0;
    for (int member : found->second) {
        deepest = std::max(deepest, depthBelow(graph, member, path));
    }
    path.erase(pack);
    return deepest + 1;
}

// Packs above `pack` that contain it, directly or through others.
int depthAbove(const PackGraph& graph, int pack, std::set<int>& path) {
    if (!path.insert(pack).second) {
        return 0;
    }
    int deepest = 0;
    for (const auto& [id, members] : graph) {
        if (std::ranges::find(members, pack) != members.end()) {
            deepest = std::max(deepest, 1 + depthAbove(graph, id, path));
        }
    }
    path.erase(pack);
    return deepest;
}

ReportCheck checkMember(Singleton& context, int selfId, int member, std::size_t i) {
    std::string field = indexed("members", i);
    if (member == selfId) {
        return problem(field, kPackContainsItselfMessage);
    }
    const Report* report = context.reportQuery().cached(member);
    if (report == nullptr) {
        return problem(field, "No report of the season has the id " + std::to_string(member) + ".");
    }
    if (report->getValue(kReportListed) == 0) {
        return problem(field, "The report " + inQuotes(report->name()) +
                                  " cannot be placed in a report pack.");
    }
    return std::nullopt;
}

ReportCheck checkWritable(Singleton& context) {
    const DBFile& db = context.reportFile().db();
    if (!context.reportFile().isOpen() || !context.mapFactory().reports().isReady()) {
        return problem("file", "The season's reports are not loaded.");
    }
    if (!db.damage().empty()) {
        return problem("file", db.damageNotice());
    }
    return std::nullopt;
}

// Runs `work` on the report file as one piece; the file is as it was when
// any of it fails.
ReportCheck storeAsWhole(Singleton& context, const std::string& operation,
                         const std::function<int()>& work) {
    if (runAsWhole(context, operation, {SeasonFile::Rpt}, work) == kOk) {
        return std::nullopt;
    }
    std::string reason = context.reportFile().lastError();
    return problem("file", "The report file could not be written" +
                               (reason.empty() ? std::string(".") : ": " + reason));
}

ReportChange refused(ReportCheck check) {
    ReportChange change;
    change.problem = std::move(check);
    return change;
}

}  // namespace

ReportDefinition ReportDefinition::of(const Report& report) {
    ReportDefinition definition;
    definition.type = report.type();
    definition.name = report.name();
    definition.header = report.text(kReportHeader);
    definition.totalsRow = report.getValue(kReportTotalsRow) != 0;
    for (int i = 0; i < report.columnCount(); ++i) {
        definition.columns.push_back(report.column(i));
    }
    for (int i = 0; i < kMaxReportSections; ++i) {
        if (report.section(i).inUse()) {
            definition.sections.push_back(report.section(i));
        }
    }
    if (definition.type == kReportPack) {
        definition.members = report.packMembers();
    } else if (Report::usesPlayerItems(definition.type)) {
        PlayerQueryNode node = report.playerNode();
        definition.rows = {node.selectCode(), node.values(),
                           node.selectCode() == kPlayersOfFranchise ? node.value(kRosterPartValue)
                                                                    : kActiveAndBench};
        for (int i = 0; i < PlayerQueryNode::kSortKeys && node.sortKey(i) != 0; ++i) {
            definition.sorts.push_back({node.sortKey(i), node.descending(i)});
        }
    } else {
        TeamQueryNode node = report.teamNode();
        definition.rows = {node.selectCode(), node.values(), kActiveAndBench};
        for (int i = 0; i < TeamQueryNode::kSortKeys && node.sortKey(i) != 0; ++i) {
            definition.sorts.push_back({node.sortKey(i), node.descending(i)});
        }
    }
    return definition;
}

void ReportDefinition::writeTo(Report& report) const {
    report.clear();
    report.setValue(kReportType, type);
    report.setText(kReportName, name);
    report.setText(kReportHeader, header);
    for (int flag : {kReportEditable, kReportListed, kReportDeletable}) {
        report.setValue(flag, 1);
    }
    report.setValue(kReportTotalsRow, totalsRow ? 1 : 0);
    for (const ReportColumn& column : columns) {
        ReportColumn stored = column;
        stored.textFlag = Report::defaultColumn(type, column.code).value_or(column).textFlag;
        report.addColumn(stored);
    }
    for (const ReportSection& section : sections) {
        report.addSection(section);
    }
    if (type == kReportPack) {
        report.setPackMembers(members);
    } else if (Report::usesPlayerItems(type)) {
        PlayerQueryNode node;
        node.setSelectCode(rows.kind);
        node.setValues(rows.values);
        if (rows.kind == kPlayersOfFranchise) {
            node.setValue(kRosterPartValue, rows.rosterPart);
        }
        for (std::size_t i = 0; i < sorts.size(); ++i) {
            node.setSortKey(static_cast<int>(i), sorts[i].code, sorts[i].descending);
        }
        report.setPlayerNode(node);
    } else {
        TeamQueryNode node;
        node.setSelectCode(rows.kind);
        node.setValues(rows.values);
        for (std::size_t i = 0; i < sorts.size(); ++i) {
            node.setSortKey(static_cast<int>(i), sorts[i].code, sorts[i].descending);
        }
        report.setTeamNode(node);
    }
}

bool isCreatableReportType(int type) {
    return type == kPlayerReport || type == kFranchiseReport || type == kReportPack;
}

ReportCheck lookUpReportItem(int type, std::string_view nameOrCode, const std::string& field,
                             int& code) {
    code = Report::itemCode(type, nameOrCode);
    int number = 0;
    auto [end, error] =
        std::from_chars(nameOrCode.data(), nameOrCode.data() + nameOrCode.size(), number);
    if (code == kNoReportItem && error == std::errc() &&
        end == nameOrCode.data() + nameOrCode.size()) {
        code = number;
    }
    if (code == kNoReportItem || Report::columnListName(code).empty() ||
        !Report::defaultColumn(type, code)) {
        return problem(field, "No data item of " + typeWord(type) + " reports is named " +
                                  inQuotes(nameOrCode) + ".");
    }
    return std::nullopt;
}

ReportCheck checkReportName(Singleton& context, std::string_view name, int selfId) {
    if (name.empty()) {
        return problem("name", kReportNameMissingMessage);
    }
    if (name.size() > static_cast<std::size_t>(kMaxReportTextLength)) {
        return problem("name", "The report name can be at most 63 characters.");
    }
    if (breaksFileName(name)) {
        return problem("name", kReportNameIllegalMessage);
    }
    const Report* self = selfId != 0 ? context.reportQuery().cached(selfId) : nullptr;
    if (self != nullptr && self->name() == name) {
        return std::nullopt;
    }
    const char* used = selfId != 0 ? kReportRenamedToUsedMessage : kReportNameUsedMessage;
    if (Report::builtInNumber(name) >= 0) {
        return problem("name", used);
    }
    std::string key = pageKey(name);
    for (const Report* report : context.mapFactory().reports().list()) {
        if (report->id() != selfId && pageKey(report->name()) == key) {
            return problem("name", used);
        }
    }
    return std::nullopt;
}

ReportCheck checkReportHeader(int type, std::string_view header) {
    if (header.empty() && type != kReportPack) {
        return problem("header", kReportNameMissingMessage);
    }
    if (header.size() > static_cast<std::size_t>(kMaxReportTextLength)) {
        return problem("header", "The report header can be at most 63 characters.");
    }
    if (holdsControlCharacter(header)) {
        return problem("header", "The report header cannot hold control characters.");
    }
    return std::nullopt;
}

ReportCheck checkReportColumns(int type, const std::vector<ReportColumn>& columns) {
    if (columns.size() > static_cast<std::size_t>(kMaxReportColumns)) {
        return problem("columns", kTooManyColumnsMessage);
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        int code = 0;
        std::string item = indexed("columns", i) + ".item";
        if (ReportCheck bad = lookUpReportItem(type, std::to_string(columns[i].code), item, code)) {
            return bad;
        }
        if (columns[i].header.size() > static_cast<std::size_t>(kMaxColumnHeaderLength)) {
            return problem(
                indexed("columns", i) + ".header",
                "The header of column " + std::to_string(i + 1) + " can be at most 34 characters.");
        }
    }
    return std::nullopt;
}

ReportCheck checkReportSections(const std::vector<ReportSection>& sections, int columnCount) {
    int next = 0;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const ReportSection& s = sections[i];
        if (s.first < next || s.last < s.first || s.last >= columnCount) {
            return problem(indexed("sections", i),
                           "Each section must span columns of the report, in column order and "
                           "without overlapping another.");
        }
        if (s.title.size() > static_cast<std::size_t>(kMaxSectionTitleLength)) {
            return problem(
                indexed("sections", i) + ".title",
                "The title of section " + std::to_string(i + 1) + " can be at most 31 characters.");
        }
        next = s.last + 1;
    }
    if (normalisedEntries(sections) > kMaxReportSections) {
        return problem("sections", kTooManySectionsMessage);
    }
    return std::nullopt;
}

ReportCheck checkReportSorts(const std::vector<ReportSortLevel>& sorts,
                             const std::vector<ReportColumn>& columns) {
    if (sorts.size() > static_cast<std::size_t>(kMaxReportSortLevels)) {
        return problem("sort", "A report can be sorted on at most 4 levels.");
    }
    for (std::size_t i = 0; i < sorts.size(); ++i) {
        bool shown = std::ranges::any_of(
            columns, [&](const ReportColumn& c) { return c.code == sorts[i].code; });
        if (!shown) {
            return problem(indexed("sort", i) + ".item",
                           "Sort level " + std::to_string(i + 1) +
                               " is on an item that is not one of the report's columns.");
        }
    }
    return std::nullopt;
}

ReportCheck checkReportRows(Singleton& context, int type, const ReportRows& rows) {
    if (type == kPlayerReport) {
        return checkPlayerRows(context, rows);
    }
    if (type == kFranchiseReport) {
        return checkFranchiseRows(context, rows);
    }
    return std::nullopt;
}

ReportCheck checkPackMembers(Singleton& context, int selfId, const std::vector<int>& members) {
    if (members.size() > static_cast<std::size_t>(kMaxPackMembers)) {
        return problem("members", "A report pack can hold at most 500 reports.");
    }
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (ReportCheck bad = checkMember(context, selfId, members[i], i)) {
            return bad;
        }
    }
    PackGraph graph = packGraph(context, selfId, members);
    for (std::size_t i = 0; i < members.size(); ++i) {
        std::set<int> seen;
        if (selfId != 0 && reaches(graph, members[i], selfId, seen)) {
            return problem(indexed("members", i),
                           "The report pack would contain itself through the report pack " +
                               inQuotes(context.reportQuery().cached(members[i])->name()) + ".");
        }
    }
    std::set<int> below;
    std::set<int> above;
    if (depthAbove(graph, selfId, above) + depthBelow(graph, selfId, below) > kMaxPackDepth) {
        return problem("members", "Report packs can be nested at most 4 deep.");
    }
    return std::nullopt;
}

ReportCheck checkReportDefinition(Singleton& context, const ReportDefinition& definition,
                                  int selfId) {
    const Report* stored = selfId != 0 ? context.reportQuery().cached(selfId) : nullptr;
    if (stored == nullptr && !isCreatableReportType(definition.type)) {
        return problem("type",
                       "The report type must be player (3), franchise (1) or report pack (9).");
    }
    if (stored != nullptr && stored->type() != definition.type) {
        return problem("type", "The type of an existing report cannot change.");
    }
    if (ReportCheck bad = checkReportName(context, definition.name, selfId)) {
        return bad;
    }
    if (ReportCheck bad = checkReportHeader(definition.type, definition.header)) {
        return bad;
    }
    if (definition.type == kReportPack) {
        return checkPackMembers(context, selfId, definition.members);
    }
    if (ReportCheck bad = checkReportColumns(definition.type, definition.columns)) {
        return bad;
    }
    if (ReportCheck bad =
            checkReportSections(definition.sections, static_cast<int>(definition.columns.size()))) {
        return bad;
    }
    if (ReportCheck bad = checkReportSorts(definition.sorts, definition.columns)) {
        return bad;
    }
    return checkReportRows(context, definition.type, definition.rows);
}

ReportChange addReport(Singleton& context, const ReportDefinition& definition) {
    if (ReportCheck bad = checkWritable(context)) {
        return refused(std::move(bad));
    }
    if (ReportCheck bad = checkReportDefinition(context, definition, 0)) {
        return refused(std::move(bad));
    }
    Report report(context.reportFile(), context);
    definition.writeTo(report);
    ReportCheck failed = storeAsWhole(context, "report definition", [&] {
        return report.assignNewId() == 0 ? kFailed : report.insert();
    });
    if (failed) {
        return refused(std::move(failed));
    }
    return {report.id(), report.type(), std::nullopt};
}

ReportChange changeReport(Singleton& context, int id, const ReportDefinition& definition) {
    if (ReportCheck bad = checkWritable(context)) {
        return refused(std::move(bad));
    }
    const Report* stored = context.reportQuery().cached(id);
    if (stored == nullptr) {
        return refused(problem("id", kReportMissingMessage));
    }
    if (stored->getValue(kReportEditable) == 0) {
        return refused(
            problem("id", "The report " + inQuotes(stored->name()) + " cannot be edited."));
    }
    if (ReportCheck bad = checkReportDefinition(context, definition, id)) {
        return refused(std::move(bad));
    }
    Report edited(context.reportFile(), context);
    definition.writeTo(edited);
    for (int code : {kReportId, kReportEditable, kReportListed, kReportDeletable}) {
        edited.setValue(code, stored->getValue(code));
    }
    Report report(context.reportFile(), context);
    report.copyFrom(*stored);
    report.takeDefinition(edited);
    ReportCheck failed = storeAsWhole(context, "report definition", [&] { return report.save(); });
    return failed ? refused(std::move(failed)) : ReportChange{id, report.type(), std::nullopt};
}

ReportChange deleteReport(Singleton& context, int id) {
    if (ReportCheck bad = checkWritable(context)) {
        return refused(std::move(bad));
    }
    Owned<RptList> found = context.reportQuery().findById(id);
    if (!found || found->empty()) {
        return refused(problem("id", kReportMissingMessage));
    }
    Report& report = *found->front();
    if (report.getValue(kReportDeletable) == 0) {
        return refused(
            problem("id", "The report " + inQuotes(report.name()) + " cannot be deleted."));
    }
    Owned<RptList> all = context.reportQuery().allReports();
    ReportCheck failed = storeAsWhole(context, "report deletion", [&] {
        for (Owned<Report>& pack : *all) {
            std::vector<int> members = pack->packMembers();
            if (pack->type() != kReportPack || std::erase(members, id) == 0) {
                continue;
            }
            pack->setPackMembers(members);
            if (int status = pack->save(); status != kOk) {
                return status;
            }
        }
        return report.remove();
    });
    return failed ? refused(std::move(failed)) : ReportChange{id, report.type(), std::nullopt};
}

}  // namespace qff
