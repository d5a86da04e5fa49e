#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data02/reports/Report.h"

namespace qff {

class Singleton;

inline constexpr int kMaxReportSortLevels = 4;
inline constexpr int kMaxReportTextLength = Report::kTextSize - 1;
inline constexpr int kMaxColumnHeaderLength = ReportColumn::kHeaderSize - 1;
inline constexpr int kMaxSectionTitleLength = ReportSection::kTitleSize - 1;
// How many report packs deep a run may go, the outermost pack counted. The
// generator stops expanding packs well beyond this, so every pack a commissioner
// can make runs whole.
inline constexpr int kMaxPackDepth = 4;

inline constexpr const char* kReportNameMissingMessage =
    "The report name, and header, must be entered before you can continue.";
inline constexpr const char* kReportNameUsedMessage = "That report name has already been used.";
inline constexpr const char* kReportNameIllegalMessage =
    "An illegal report name was entered. The following characters are not allowed:\n"
    "/    \\    :    *    ?    \"    <    >    |";
inline constexpr const char* kReportRenamedToUsedMessage =
    "That report name is already assigned to an existing report.";
inline constexpr const char* kTooManyColumnsMessage =
    "The maximum number of columns has been added to this report.";
inline constexpr const char* kTooManySectionsMessage =
    "This report already contains the maximum number of allowed sections.";
inline constexpr const char* kReportMissingMessage = "CRITICAL - Report not found.";
inline constexpr const char* kPackContainsItselfMessage = "The report pack cannot contain itself.";

// One sort level: a column's item and its order.
struct ReportSortLevel {
    int code = 0;
    bool descending = false;
    bool operator==(const ReportSortLevel&) const = default;
};

// Which players or franchises form the rows: the selection kind of the
// player or franchise query node, its values (without the roster part) and,
// for the players of one franchise, which part of the roster.
struct ReportRows {
    int kind = 0;
    std::vector<int> values;
    int rosterPart = kActiveAndBench;
    bool operator==(const ReportRows&) const = default;
};

// What a commissioner defines, free of the record's layout, so it can be
// checked whole before anything is stored: texts are kept at their full
// length and lists at their full size, to be refused rather than cut.
struct ReportDefinition {
    int type = kPlayerReport;
    std::string name;
    std::string header;
    bool totalsRow = false;
    std::vector<ReportColumn> columns;
    std::vector<ReportSection> sections;
    std::vector<ReportSortLevel> sorts;
    ReportRows rows;
    // A report pack's member ids in output order.
    std::vector<int> members;

    static ReportDefinition of(const Report& report);
    // Fills a cleared report with the definition, flags editable, listed and
    // deletable set; id and slot are left to the caller.
    void writeTo(Report& report) const;
    bool operator==(const ReportDefinition&) const = default;
};

// A rule a definition breaks: the field (as "name", "columns[2].item",
// "members[0]") and what the user is told.
struct ReportProblem {
    std::string field;
    std::string message;
};
using ReportCheck = std::optional<ReportProblem>;

// The types a commissioner may create: player, franchise and report pack.
bool isCreatableReportType(int type);

// The item of a list name, or of a code given as digits, in the type's
// column catalogue; a problem naming `field` when there is none.
ReportCheck lookUpReportItem(int type, std::string_view nameOrCode, const std::string& field,
                             int& code);

// The name for a report of id `selfId` (0 for a new report): present, at most
// 63 characters, no character a page file name cannot hold, no name of the
// built-in catalogue, and no other report with the same name or one whose
// page file would be the same on a file system that ignores case.
ReportCheck checkReportName(Singleton& context, std::string_view name, int selfId);
// Present unless the report is a pack; at most 63 characters.
ReportCheck checkReportHeader(int type, std::string_view header);
// At most 64 columns, each an item of the type's catalogue with a header of
// at most 34 characters.
ReportCheck checkReportColumns(int type, const std::vector<ReportColumn>& columns);
// At most 10 sections, each over columns in use, in column order without
// overlapping, with a title of at most 31 characters.
ReportCheck checkReportSections(const std::vector<ReportSection>& sections, int columnCount);
// At most four levels, each on an item of the report's columns.
ReportCheck checkReportSorts(const std::vector<ReportSortLevel>& sorts,
                             const std::vector<ReportColumn>& columns);
// A selection the assistant can make, naming a franchise, division or NFL
// team of the season.
ReportCheck checkReportRows(Singleton& context, int type, const ReportRows& rows);
// At most 500 members, each a listed report of the season, and no pack that
// contains itself, directly or through other packs, or that reaches deeper
// than kMaxPackDepth; packs already stored that contain the pack `selfId`
// count with the new members.
ReportCheck checkPackMembers(Singleton& context, int selfId, const std::vector<int>& members);
// Every rule above that applies to the definition's type, in field order.
ReportCheck checkReportDefinition(Singleton& context, const ReportDefinition& definition,
                                  int selfId);

// What storing or deleting a definition did: the report's id and type when
// it was done, else the problem and nothing stored.
struct ReportChange {
    int id = 0;
    int type = 0;
    ReportCheck problem;
    bool ok() const { return !problem; }
};

// Checks the definition and stores it as a new report with a new id, never
// one a report of the season holds.
ReportChange addReport(Singleton& context, const ReportDefinition& definition);
// Checks and replaces the definition of the editable report `id`, keeping its
// id and flags.
ReportChange changeReport(Singleton& context, int id, const ReportDefinition& definition);
// Deletes the report `id` when its definition allows it, and takes it out of
// every report pack that lists it, so a pack never runs a report that later
// gets the id. All of it is stored or none.
ReportChange deleteReport(Singleton& context, int id);

}  // namespace qff
