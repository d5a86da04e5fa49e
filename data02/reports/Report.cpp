#include "data02/reports/Report.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <set>
#include <utility>

#include "data02/league/Listhelp.h"
#include "data02/model/Mapfact.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {
namespace {

constexpr int kLastPlayerItem = 127;
constexpr int kFirstFranchiseItem = 2000;
constexpr int kLastFranchiseItem = 2115;
constexpr int kNoOwner = -32767;
constexpr int kLastColumn = kMaxReportColumns - 1;

// One entry of an item catalogue: the assistant's name (empty when the item
// is not offered) and the header a new column gets.
struct CatalogueItem {
    bool assigned = false;
    std::string listName;
    std::string header;
};

class Catalogue {
  public:
    Catalogue(int first, int last) : first_(first), items_(last - first + 1) {}

    void add(int code, std::string listName, std::string header) {
        items_[code - first_] = {true, std::move(listName), std::move(header)};
    }
    void addRun(int first, std::initializer_list<std::pair<const char*, const char*>> items) {
        for (const auto& [listName, header] : items) {
            add(first++, listName, header);
        }
    }
    // Touchdown and field goal slots: no list name, headers "TD#1" to "TD#8".
    void addSlots(int first, const std::string& prefix) {
        for (int n = 1; n <= 8; ++n) {
            add(first + n - 1, "", prefix + std::to_string(n));
        }
    }
    void addWeeks(int first) {
        for (int week = 1; week <= 17; ++week) {
            add(first + week - 1, "Points Scored: Week #" + std::to_string(week),
                "Wk" + std::to_string(week));
        }
    }

    const CatalogueItem* find(int code) const {
        if (code < first_ || code >= first_ + static_cast<int>(items_.size())) {
            return nullptr;
        }
        const CatalogueItem& item = items_[code - first_];
        return item.assigned ? &item : nullptr;
    }

    int codeOf(std::string_view listName) const {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (items_[i].assigned && !items_[i].listName.empty() &&
                items_[i].listName == listName) {
                return first_ + static_cast<int>(i);
            }
        }
        return kNoReportItem;
    }

    int first() const { return first_; }

  private:
    int first_;
    std::vector<CatalogueItem> items_;
};

constexpr const char* kPointKinds[] = {"Total Points Scored", "Pass Points", "Rush Points",
                                       "Receive Points",      "Kick Points", "Defensive Points",
                                       "Special Team Points"};
constexpr const char* kPointHeaders[] = {"Total", "Pass", "Rush", "Recv", "Kick", "Def", "Spe"};

Catalogue buildPlayerItems() {
    Catalogue c(1, kLastPlayerItem);
    c.addRun(1, {{"", "ID"},
                 {"Player Name", "Name"},
                 {"NFL Team", "Team"},
                 {"Player Position", "Pos"},
                 {"Bonus Points", "Bonus"},
                 {"Combo = [Tm-Pos] Name ", "Team + Pos + Name"},
                 {"Combo = [Pos] Name", "Pos + Name"},
                 {"Week of Play", "Week"},
                 {"Passes Thrown", "Att"},
                 {"Passes Completed", "Comp"},
                 {"Interceptions Thrown", "Int"},
                 {"Pass Yards", "Yards"}});
    c.addSlots(13, "TD#");
    c.addRun(22, {{"# Pass TD's", "# TDs"},
                  {"Passed Conversions", "Conv"},
                  {"Times Rushed", "Carries"},
                  {"Rush Yards", "Yards"}});
    c.addSlots(26, "TD#");
    c.addRun(35, {{"# Rush TD's", "# TDs"},
                  {"Rushed Conversions", "Conv"},
                  {"Times Received", "Catches"},
                  {"Receiving Yards", "Yards"}});
    c.addSlots(39, "TD#");
    c.addRun(
        48,
        {{"# Received TD's", "# TDs"}, {"Caught Conversions", "Conv"}, {"Extra Points", "PAT"}});
    c.addSlots(51, "FG#");
    c.addRun(60, {{"# Kicked FG's", "# FGs"}, {"Special Team Yards", "Yards"}});
    c.addSlots(62, "TD#");
    c.addRun(71, {{"# Special Team TD's", "# TDs"},
                  {"Interceptions - Def", "Int"},
                  {"Recovered Fumbles", "Fumb"},
                  {"QB Sacks", "Sack"},
                  {"Safeties", "Sfty"},
                  {"Yards Allowed", "Yards"},
                  {"Points Allowed", "Points"}});
    c.addSlots(78, "TD#");
    c.addRun(87, {{"# Defensive TD's", "# TDs"}});
    for (int i = 0; i < 7; ++i) {
        std::string name = kPointKinds[i];
        std::string season = i == 0 ? "Total Points: Season" : name + ": Season";
        c.add(88 + i, name, kPointHeaders[i]);
        c.add(95 + i, season, kPointHeaders[i]);
    }
    c.addRun(102, {{"High Scoring Week", "High WK"},
                   {"Low Scoring Week", "Low WK"},
                   {"Avg Scoring Week", "Avg WK"},
                   {"Pass+Rush+Recv Yards", "Yards"},
                   {"Pass+Rush+Recv TD's", "TDs"},
                   {"Pass+Rush+Recv Conv", "Conv"}});
    c.addWeeks(110);
    return c;
}

constexpr const char* kPositions[] = {"QB", "RB", "WR", "TE", "PK", "DEF", "SPE"};

// A total and the seven positions, for one roster part, by week and by season.
void addPointRuns(Catalogue& c, int first, const std::string& part, const char* totalHeader) {
    c.add(first, "Total Points: " + part, totalHeader);
    c.add(first + 8, "Season Total: " + part, totalHeader);
    for (int i = 0; i < 7; ++i) {
        std::string position = kPositions[i];
        c.add(first + 1 + i, position + " Points: " + part, position);
        c.add(first + 9 + i, "Season " + position + " Pts: " + part, position);
    }
}

constexpr const char* kRawStats[] = {"Pass Yards", "Pass TD's", "Rush Yards",   "Rush TD's",
                                     "Recv Yards", "Recv TD's", "Extra Points", "Kick FG's"};
constexpr const char* kRawHeaders[] = {"Pass", "# TDs", "Rush", "# TDs",
                                       "Recv", "# TDs", "PAT",  "# FGs"};

Catalogue buildFranchiseItems() {
    Catalogue c(kFirstFranchiseItem, kLastFranchiseItem);
    c.addRun(2000, {{"", "ID"},
                    {"", "DivID"},
                    {"", "LeagueID"},
                    {"Franchise Name", "Team Name"},
                    {"Division", "Div"},
                    {"Owner Name", "Owner"},
                    {"Address", "Address"},
                    {"City", "City"},
                    {"State", "ST"},
                    {"Zip", "Zip"},
                    {"Home Phone", "Phone #1"},
                    {"Work Phone", "Phone #2"}});
    c.addRun(2013, {{"Combo = City, ST  Zip", ""},
                    {"Week of Play", "Week"},
                    {"Win Loss Record", "W-L-T"},
                    {"# Games Won", "W"},
                    {"# Games Lost", "L"},
                    {"# Games Tied", "T"},
                    {"High Scoring Week", "High Wk"},
                    {"Low Scoring Week", "Low WK"},
                    {"Average Scoring Week", "Avg WK"},
                    {"Bonus Points", "Bonus"},
                    {"Bonus Points: Season", "Bonus"},
                    {"Points by Oponent", "Against"},
                    {"Points by Oponent: Season", "Against"}});
    addPointRuns(c, 2026, "Active Players", "Active");
    addPointRuns(c, 2042, "Bench Players", "Bench");
    addPointRuns(c, 2058, "All Players", "Total");
    for (int i = 0; i < 8; ++i) {
        std::string stat = kRawStats[i];
        c.add(2074 + i, stat, kRawHeaders[i]);
        c.add(2082 + i, "Bench " + stat, kRawHeaders[i]);
        c.add(2090 + i, stat + ": All Players", kRawHeaders[i]);
    }
    c.addWeeks(2099);
    return c;
}

const Catalogue& playerItems() {
    static const Catalogue items = buildPlayerItems();
    return items;
}

const Catalogue& franchiseItems() {
    static const Catalogue items = buildFranchiseItems();
    return items;
}

// The catalogue a report type takes its columns from; null for the fixed layouts.
const Catalogue* catalogueOf(int type) {
    if (Report::usesPlayerItems(type)) {
        return &playerItems();
    }
    return Report::usesFranchiseItems(type) ? &franchiseItems() : nullptr;
}

// Name and address items show as text; every other item is a number.
int textFlagOf(int code) {
    bool isText = code == kPlayerName || code == kPlayerComboTeamPos || code == kPlayerComboPos ||
                  code == 2003 || (code >= 2005 && code <= 2011);
    return isText ? 0 : 1;
}

struct CategoryRange {
    int first;
    int last;
};

struct CategoryDef {
    const char* name;
    std::vector<CategoryRange> ranges;
};

const std::vector<CategoryDef>& playerCategories() {
    static const std::vector<CategoryDef> categories{
        {"Information & Points", {{1, 8}, {88, 107}}},
        {"Passing", {{9, 23}}},
        {"Rushing", {{24, 36}}},
        {"Receiving", {{37, 49}}},
        {"Kicking", {{50, 60}}},
        {"Defense", {{72, 87}}},
        {"Special Teams", {{61, 71}}},
        {"Weekly Performance", {{110, 126}}},
    };
    return categories;
}

const std::vector<CategoryDef>& franchiseCategories() {
    static const std::vector<CategoryDef> categories{
        {"Information", {{2003, 2014}}},
        {"Record and Misc. Data", {{2015, 2025}}},
        {"Points: Active Players", {{2026, 2041}}},
        {"Points: Bench Players", {{2042, 2057}}},
        {"Points: All Players", {{2058, 2073}}},
        {"Raw Stats: Active Players", {{2074, 2081}}},
        {"Raw Stats: Bench Players", {{2082, 2089}}},
        {"Raw Stats: All Players", {{2090, 2097}}},
        {"Weekly Performance", {{2099, 2115}}},
    };
    return categories;
}

struct BuiltInEntry {
    const char* name;
    int type;
};

constexpr BuiltInEntry kBuiltIns[kBuiltInReportCount] = {
    {"Overview - Player", kPlayerOverview},
    {"Overview - Team", kFranchiseOverview},
    {"Overview - NFL", kNflOverview},
    {"HTH Details - Active Players", kFranchiseReport},
    {"HTH Details - All Players", kFranchiseReport},
    {"Rotisserie Details - Active Players", kFranchiseReport},
    {"Rotisserie Details - All Players", kFranchiseReport},
    {"Draft Day Assistant - By Round", kDraftDayReport},
    {"Draft Day Assistant - By Franchise", kDraftDayReport},
    {"Draft Day Assistant - By Position", kDraftDayReport},
    {"Fantasy Rosters", kFranchiseReport},
    {"Roster Changes - Basic", kFranchiseReport},
    {"Roster Changes - Complex", kFranchiseReport},
    {"Owner Information", kLeagueInformation},
    {"Your Scoring System", kLeagueInformation},
    {"Your Schedule", kLeagueInformation},
    {"NFL Schedule", kLeagueInformation},
    {"Top NFL Players", kPlayerSummary},
    {"Top Franchise Players", kPlayerSummary},
    {"Top Undrafted Players", kPlayerSummary},
    {"Totals by Position", kPlayerSummary},
    {"Totals by NFL Team", kPlayerSummary},
    {"Head to Head Overview", kFranchiseReport},
    {"Head to Head Snapshot", kFranchiseReport},
    {"Draft Day Assistant - Pick Order", kDraftDayReport},
};

constexpr int kSeasonWideReports[] = {2, 10, 13, 14};

struct ColumnDef {
    int code;
    const char* header = nullptr;  // null: the item's default header
};

struct SectionDef {
    const char* title;
    int first;  // 1-based
    int last;
};

struct SortDef {
    int code;
    bool descending;
};

struct Flags {
    int editable;
    int listed;
    int deletable;
    int totalsRow;
};

struct ReportDef {
    const char* name;
    const char* header;
    int type;
    std::vector<int> groups;  // player reports: the position groups of kind 4
    std::vector<SortDef> sorts;
    std::vector<SectionDef> sections;
    std::vector<ColumnDef> columns;
    Flags flags;
};

std::vector<ColumnDef> codes(std::initializer_list<int> list) {
    return {list.begin(), list.end()};
}

const std::vector<ReportDef>& fullDefinitions() {
    using C = std::vector<ColumnDef>;
    static const std::vector<ReportDef> defs{
        {"Quarterbacks",
         "Statistics for all Quarterbacks",
         kPlayerReport,
         {kQB},
         {{88, true}, {12, true}},
         {{"Player Information", 1, 3}, {"Points", 4, 6}, {"Passing Stats", 7, 12}},
         codes({2, 3, 4, 88, 89, 90, 22, 12, 23, 9, 10, 11}),
         {1, 1, 1, 0}},
        {"Running Backs",
         "Statistics for all Running Backs",
         kPlayerReport,
         {kRB},
         {{88, true}, {25, true}},
         {{"Player Information", 1, 3}, {"Points", 4, 6}, {"Rushing Stats", 7, 10}},
         codes({2, 3, 4, 88, 90, 91, 35, 24, 25, 36}),
         {1, 1, 1, 0}},
        {"Pass Receivers",
         "Statistics for all Pass Receivers",
         kPlayerReport,
         {kWR, kTE},
         {{88, true}, {38, true}},
         {{"Player Information", 1, 3}, {"Points", 4, 6}, {"Receiving Stats", 7, 10}},
         codes({2, 3, 4, 88, 91, 90, 48, 37, 38, 49}),
         {1, 1, 1, 0}},
        {"Place Kickers",
         "Statistics for all Place Kickers",
         kPlayerReport,
         {kPK},
         {{88, true}, {50, true}},
         {{"Player Information", 1, 3}, {"Points", 4, 5}, {"Num", 6, 6}},
         codes({2, 3, 4, 88, 92, 50}),
         {1, 1, 1, 0}},
        {"Team Quarterbacks",
         "Statistics for all Team Quarterbacks",
         kPlayerReport,
         {kQB + kUnitOffset},
         {{88, true}, {12, true}},
         {{"Player Information", 1, 1}, {"Points", 2, 4}, {"Passing Stats", 5, 10}},
         codes({2, 88, 89, 90, 22, 12, 23, 9, 10, 11}),
         {1, 1, 1, 0}},
        {"Team Running Backs",
         "Statistics for all Team Running Backs",
         kPlayerReport,
         {kRB + kUnitOffset},
         {{88, true}, {25, true}},
         {{"Player Information", 1, 1}, {"Points", 2, 4}, {"Rushing Stats", 5, 8}},
         codes({2, 88, 90, 91, 35, 24, 25, 36}),
         {1, 1, 1, 0}},
        {"Team Pass Receivers",
         "Statistics for all Team Pass Receivers",
         kPlayerReport,
         {kWR + kUnitOffset, kTE + kUnitOffset},
         {{88, true}, {38, true}},
         {{"Player Information", 1, 1}, {"Points", 2, 4}, {"Receiving Stats", 5, 8}},
         codes({2, 88, 91, 90, 48, 37, 38, 49}),
         {1, 1, 1, 0}},
        {"Team Place Kickers",
         "Statistics for all Team Place Kickers",
         kPlayerReport,
         {kPK + kUnitOffset},
         {{88, true}, {50, true}},
         {{"Player Information", 1, 1}, {"Points", 2, 3}, {"Num", 4, 4}},
         codes({2, 88, 92, 50}),
         {1, 1, 1, 0}},
        {"Defense",
         "Statistics for all Defenses",
         kPlayerReport,
         {kDEF + kUnitOffset},
         {{88, true}},
         {{"", 1, 1}, {"Points", 2, 2}, {"Defensive Stats", 3, 7}, {"Allowed", 8, 9}},
         codes({2, 88, 87, 75, 72, 73, 74, 76, 77}),
         {1, 1, 1, 0}},
        {"Special Teams",
         "Statistics for all Special Teams",
         kPlayerReport,
         {kSPE + kUnitOffset},
         {{88, true}},
         {{"", 1, 1}, {"Points", 2, 2}, {"Special Team Stats", 3, 4}},
         codes({2, 88, 71, 61}),
         {1, 1, 1, 0}},
        {"Standings - By Record",
         "Franchises Ranked By Record",
         kFranchiseReport,
         {},
         {{2015, true}, {2026, true}},
         {{"", 1, 1}, {"Record", 2, 2}, {"Points", 3, 11}, {"Yards", 12, 14}},
         codes(
             {2003, 2015, 2026, 2042, 2027, 2028, 2029, 2030, 2031, 2032, 2033, 2074, 2076, 2078}),
         {1, 1, 1, 0}},
        {"Standings - By Points",
         "Franchises Ranked By Points",
         kFranchiseReport,
         {},
         {{2066, true}, {2026, true}},
         {{"", 1, 1}, {"Totals For The Season", 2, 7}, {"Totals For The Week", 8, 16}},
         codes({2003, 2034, 2050, 2025, 2019, 2020, 2021, 2026, 2042, 2027, 2028, 2029, 2030, 2031,
                2032, 2033}),
         {1, 1, 1, 1}},
        {"Overview - Player",
         "Overview - Player",
         kPlayerOverview,
         {},
         {},
         {{"", 1, 1}, {"Points", 2, 6}, {"Yards", 7, 10}, {"# TDs", 11, 14}},
         C{{8},
           {88},
           {89},
           {90},
           {91},
           {92},
           {105, "Total"},
           {12, "Pass"},
           {25, "Rush"},
           {38, "Recv"},
           {106, "Total"},
           {22, "Pass"},
           {35, "Rush"},
           {48, "Recv"}},
         {1, 0, 0, 1}},
        {"Overview - Team",
         "Overview - Team",
         kFranchiseOverview,
         {},
         {},
         {{"", 1, 1}, {"Record", 2, 2}, {"Yards", 3, 5}, {"Points for Active Players", 6, 13}},
         C{{2014},
           {2015},
           {2074},
           {2076},
           {2078},
           {2026, "Total"},
           {2027},
           {2028},
           {2029},
           {2030},
           {2031},
           {2032},
           {2033}},
         {1, 0, 0, 1}},
        {"Overview - NFL",
         "Overview - NFL",
         kNflOverview,
         {},
         {},
         {{"", 1, 1}, {"Points", 2, 9}, {"Yards", 10, 12}},
         C{{2014},
           {2026, "Total"},
           {2027},
           {2028},
           {2029},
           {2030},
           {2031},
           {2032},
           {2033},
           {2074},
           {2076},
           {2078}},
         {0, 0, 0, 1}},
        {"Totals by Position",
         "Totals by Position",
         kPlayerSummary,
         {},
         {},
         {{"", 1, 1}, {"Points", 2, 6}, {"Yards", 7, 9}},
         C{{4, "Position"}, {88}, {89}, {90}, {91}, {92}, {12, "Pass"}, {25, "Rush"}, {38, "Recv"}},
         {0, 1, 0, 1}},
        {"Totals by NFL Team",
         "Totals by NFL Team",
         kPlayerSummary,
         {},
         {},
         {{"", 1, 1}, {"Points", 2, 8}, {"Yards", 9, 11}},
         C{{3, "NFL Team"},
           {88},
           {89},
           {90},
           {91},
           {92},
           {93},
           {94},
           {12, "Pass"},
           {25, "Rush"},
           {38, "Recv"}},
         {0, 1, 0, 1}},
    };
    return defs;
}

const ReportDef* fullDefinition(std::string_view name) {
    for (const ReportDef& def : fullDefinitions()) {
        if (name == def.name) {
            return &def;
        }
    }
    return nullptr;
}

constexpr const char* kCreationOrder[] = {
    "Quarterbacks",       "Running Backs",         "Pass Receivers",        "Place Kickers",
    "Overview - Player",  "Totals by Position",    "Totals by NFL Team",    "Team Quarterbacks",
    "Team Running Backs", "Team Pass Receivers",   "Team Place Kickers",    "Defense",
    "Special Teams",      "Standings - By Record", "Standings - By Points", "Overview - Team",
    "Overview - NFL",
};

std::size_t columnAt(int i) {
    return static_cast<std::size_t>(Report::kColumnsOffset + i * ReportColumn::kSize);
}

std::size_t sectionAt(int i) {
    return static_cast<std::size_t>(Report::kSectionsOffset + i * ReportSection::kSize);
}

bool isColumnIndex(int i) {
    return i >= 0 && i < kMaxReportColumns;
}

bool isSectionIndex(int i) {
    return i >= 0 && i < kMaxReportSections;
}

bool isFlag(int code) {
    return code == kReportTotalsRow || code == kReportEditable || code == kReportListed ||
           code == kReportDeletable;
}

int flagOffset(int code) {
    switch (code) {
        case kReportEditable:
            return Report::kEditableOffset;
        case kReportListed:
            return Report::kListedOffset;
        case kReportDeletable:
            return Report::kDeletableOffset;
        default:
            return Report::kTotalsRowOffset;
    }
}

int textOffset(int code) {
    return code == kReportName ? Report::kNameOffset : Report::kHeaderOffset;
}

// Every text this program stores ends inside its field, and typed texts
// carry no control characters.
bool isCleanText(ConstByteSpan record, int offset) {
    std::string text = getText(record, static_cast<std::size_t>(offset), Report::kTextSize);
    return text.size() < Report::kTextSize && !holdsControlCharacter(text);
}

// Report ids the season's reports hold, from the cache once it is loaded;
// read off the file before that, leaving unreadable slots out.
std::set<int> idsInUse(Singleton& context, ReportFile& file) {
    if (&file == &context.reportFile() && context.mapFactory().reports().isReady()) {
        std::set<int> ids;
        for (const Report* report : context.mapFactory().reports().list()) {
            ids.insert(report->id());
        }
        return ids;
    }
    std::set<int> ids;
    DBFile& db = file.db();
    for (int slot : db.usedSlots()) {
        if (db.gotoSlot(slot) == 0 && db.readCurrent() == 0) {
            ids.insert(getI32(file.record(), Report::kIdOffset));
        }
    }
    return ids;
}

}  // namespace

Report::Report(ReportFile& file, Singleton& context) : StoredRecord(file), context_(context) {
    clear();
}

void Report::clear() {
    bytes_.fill(0);
    slot_ = -1;
    for (int i = 0; i < kMaxReportSections; ++i) {
        clearSection(i);
    }
    setPlayerNode(PlayerQueryNode());
    setTeamNode(TeamQueryNode());
}

int Report::getValue(int code) const {
    switch (code) {
        case kReportId:
            return getI32(bytes_, kIdOffset);
        case kReportReserved:
            return getI32(bytes_, kReservedOffset);
        case kReportType:
            return getU8(bytes_, kTypeOffset);
        case kReportColumnCount:
            return columnCount();
        case kReportSectionCount:
            return sectionCount();
        default:
            return isFlag(code) ? getU8(bytes_, flagOffset(code)) : -1;
    }
}

int Report::setValue(int code, int value) {
    switch (code) {
        case kReportId:
            putI32(bytes_, kIdOffset, value);
            return kOk;
        case kReportReserved:
            putI32(bytes_, kReservedOffset, value);
            return kOk;
        case kReportType:
            putU8(bytes_, kTypeOffset, static_cast<std::uint8_t>(value));
            return kOk;
        default:
            if (!isFlag(code)) {
                return kUnknownIdStatus;
            }
            putU8(bytes_, flagOffset(code), value != 0 ? 1 : 0);
            return kOk;
    }
}

std::string Report::text(int code) const {
    if (code != kReportName && code != kReportHeader) {
        return {};
    }
    return qff::getText(bytes_, textOffset(code), kTextSize);
}

const char* Report::getText(int code) const {
    return context_.strBuf().put(text(code));
}

int Report::setText(int code, std::string_view text) {
    if (code != kReportName && code != kReportHeader) {
        return kUnknownIdStatus;
    }
    putText(bytes_, textOffset(code), kTextSize, text);
    return kOk;
}

bool Report::columnInUse(int i) const {
    return getI32(bytes_, columnAt(i)) > 0;
}

int Report::columnCount() const {
    int count = 0;
    for (int i = 0; i < kMaxReportColumns; ++i) {
        count += columnInUse(i) ? 1 : 0;
    }
    return count;
}

int Report::sectionCount() const {
    int count = 0;
    for (int i = 0; i < kMaxReportSections; ++i) {
        count += getI32(bytes_, sectionAt(i)) >= 0 ? 1 : 0;
    }
    return count;
}

ReportColumn Report::column(int i) const {
    if (!isColumnIndex(i)) {
        return {};
    }
    std::size_t at = columnAt(i);
    return {getI32(bytes_, at), getU8(bytes_, at + 4),
            qff::getText(bytes_, at + 5, ReportColumn::kHeaderSize)};
}

int Report::setColumn(int i, const ReportColumn& column) {
    if (!isColumnIndex(i)) {
        return kFailed;
    }
    std::size_t at = columnAt(i);
    putI32(bytes_, at, column.code);
    putU8(bytes_, at + 4, static_cast<std::uint8_t>(column.textFlag));
    putText(bytes_, at + 5, ReportColumn::kHeaderSize, column.header);
    return kOk;
}

void Report::clearColumn(int i) {
    std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(columnAt(i)), ReportColumn::kSize, 0);
}

int Report::addColumn(const ReportColumn& column) {
    if (!column.inUse()) {
        return kReportBadEdit;
    }
    int count = columnCount();
    if (count >= kMaxReportColumns) {
        return kReportListFull;
    }
    return setColumn(count, column);
}

int Report::removeColumn(int i) {
    if (!isColumnIndex(i)) {
        return kReportBadEdit;
    }
    auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(columnAt(i));
    auto end = bytes_.begin() + static_cast<std::ptrdiff_t>(columnAt(kMaxReportColumns));
    std::copy(first + ReportColumn::kSize, end, first);
    clearColumn(kLastColumn);
    return kOk;
}

int Report::moveColumnUp(int i) {
    if (i < 1 || i > kLastColumn) {
        return kReportBadEdit;
    }
    return moveColumnDown(i - 1);
}

int Report::moveColumnDown(int i) {
    if (!isColumnIndex(i)) {
        return kReportBadEdit;
    }
    if (i < kLastColumn && columnInUse(i) && columnInUse(i + 1)) {
        auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(columnAt(i));
        std::swap_ranges(first, first + ReportColumn::kSize, first + ReportColumn::kSize);
    }
    return kOk;
}

ReportSection Report::section(int i) const {
    if (!isSectionIndex(i)) {
        return {};
    }
    std::size_t at = sectionAt(i);
    return {getI32(bytes_, at), getI32(bytes_, at + 4),
            qff::getText(bytes_, at + 8, ReportSection::kTitleSize)};
}

int Report::setSection(int i, const ReportSection& section) {
    if (!isSectionIndex(i)) {
        return kFailed;
    }
    std::size_t at = sectionAt(i);
    putI32(bytes_, at, section.first);
    putI32(bytes_, at + 4, section.last);
    putText(bytes_, at + 8, ReportSection::kTitleSize, section.title);
    return kOk;
}

void Report::clearSection(int i) {
    setSection(i, ReportSection{});
}

int Report::addSection(const ReportSection& section) {
    if (!section.inUse()) {
        return kReportBadEdit;
    }
    int count = sectionCount();
    if (count >= kMaxReportSections) {
        return kReportListFull;
    }
    auto saved = bytes_;
    setSection(count, section);
    int status = normaliseSections();
    if (status != kOk) {
        bytes_ = saved;
    }
    return status;
}

int Report::removeSection(int i) {
    if (!isSectionIndex(i)) {
        return kReportBadEdit;
    }
    auto saved = bytes_;
    clearSection(i);
    int status = normaliseSections();
    if (status != kOk) {
        bytes_ = saved;
    }
    return status;
}

// Rewrites the sections as the runs of equally owned columns in column order.
// Later sections win where they overlap earlier ones; columns no section owns
// become untitled entries, except after the last section.
int Report::normaliseSections() {
    std::array<int, kMaxReportColumns> owner;
    owner.fill(kNoOwner);
    std::array<std::string, kMaxReportSections> titles;
    for (int s = 0; s < kMaxReportSections; ++s) {
        ReportSection entry = section(s);
        if (!entry.inUse()) {
            continue;
        }
        for (int p = entry.first; p <= std::min(entry.last, kLastColumn); ++p) {
            owner[p] = s;
        }
        titles[s] = entry.title;
    }
    std::vector<ReportSection> runs;
    for (int p = 0; p < kMaxReportColumns;) {
        int last = p;
        while (last < kLastColumn && owner[last + 1] == owner[p]) {
            ++last;
        }
        bool trailingGap = last == kLastColumn && owner[p] == kNoOwner;
        if (!trailingGap) {
            runs.push_back({p, last, owner[p] == kNoOwner ? std::string() : titles[owner[p]]});
        }
        p = last + 1;
    }
    if (runs.size() > kMaxReportSections) {
        return kReportListFull;
    }
    for (int s = 0; s < kMaxReportSections; ++s) {
        setSection(s, s < static_cast<int>(runs.size()) ? runs[s] : ReportSection{});
    }
    return kOk;
}

PlayerQueryNode Report::playerNode() const {
    PlayerQueryNode node;
    auto first = bytes_.begin() + kPlayerNodeOffset;
    std::copy(first, first + PlayerQueryNode::kSize, node.bytes().begin());
    return node;
}

void Report::setPlayerNode(const PlayerQueryNode& node) {
    std::copy(node.bytes().begin(), node.bytes().end(), bytes_.begin() + kPlayerNodeOffset);
}

TeamQueryNode Report::teamNode() const {
    TeamQueryNode node;
    auto first = bytes_.begin() + kTeamNodeOffset;
    std::copy(first, first + TeamQueryNode::kSize, node.bytes().begin());
    return node;
}

void Report::setTeamNode(const TeamQueryNode& node) {
    std::copy(node.bytes().begin(), node.bytes().end(), bytes_.begin() + kTeamNodeOffset);
}

std::vector<int> Report::packMembers() const {
    return playerNode().values();
}

int Report::setPackMembers(std::span<const int> ids) {
    if (ids.size() > static_cast<std::size_t>(kMaxPackMembers)) {
        return kFailed;
    }
    PlayerQueryNode node = playerNode();
    node.setValues(ids);
    setPlayerNode(node);
    return kOk;
}

bool Report::isReadableRecord(ConstByteSpan record) {
    if (record.size() != kReportRecordSize) {
        return false;
    }
    int type = getU8(record, kTypeOffset);
    return type >= kFranchiseReport && type <= kReportPack && record[kNameOffset] != 0 &&
           isCleanText(record, kNameOffset) && isCleanText(record, kHeaderOffset);
}

int Report::load() {
    return slot_ < 0 ? StoredRecord::load() : loadSlot(slot_);
}

int Report::loadSlot(int slot) {
    if (!file_.isOpen() || file_.db().gotoSlot(slot) != 0 || file_.db().readCurrent() != 0) {
        return kFailed;
    }
    return StoredRecord::load();
}

bool Report::isSeasonReport() const {
    return &file_ == &context_.reportFile() && context_.mapFactory().reports().isReady();
}

Report* Report::cachedCopy() const {
    if (!isSeasonReport() || slot_ < 0) {
        return nullptr;
    }
    for (Report* cached : context_.mapFactory().reports().list()) {
        if (cached->slot() == slot_) {
            return cached;
        }
    }
    return nullptr;
}

void Report::copyFrom(const Report& other) {
    bytes_ = other.bytes_;
    slot_ = other.slot_;
}

int Report::save() {
    int status = writeRecord();
    Report* cached = status == kOk ? cachedCopy() : nullptr;
    if (cached != nullptr) {
        cached->copyFrom(*this);
        context_.mapFactory().reports().rekey(cached);
    }
    return status;
}

int Report::insert() {
    int status = insertRecord();
    if (status != kOk || !isSeasonReport()) {
        return status;
    }
    Owned<Report> cached = context_.memory().makeRecord<Report>(kKind, file_, context_);
    if (!cached) {
        return kNoMemory;
    }
    cached->copyFrom(*this);
    context_.mapFactory().reports().adopt(std::move(cached));
    return kOk;
}

int Report::remove() {
    Report* cached = cachedCopy();
    int status = deleteRecord();
    if (status == kOk && cached != nullptr) {
        context_.mapFactory().reports().forget(cached);
    }
    return status;
}

int Report::assignNewId() {
    if (!file_.isOpen()) {
        return 0;
    }
    std::set<int> taken = idsInUse(context_, file_);
    SeasonState& state = context_.seasonState();
    for (int tries = 0; tries < SeasonState::kLastId; ++tries) {
        int id = state.get(kLastReportId);
        if (id == 0) {
            return 0;
        }
        if (!taken.contains(id)) {
            setValue(kReportId, id);
            return id;
        }
    }
    return 0;
}

std::string Report::columnListName(int code) {
    const Catalogue& items = code <= kLastPlayerItem ? playerItems() : franchiseItems();
    const CatalogueItem* item = items.find(code);
    return item != nullptr ? item->listName : std::string();
}

std::optional<std::string> Report::defaultHeader(int type, int code) {
    const Catalogue* items = catalogueOf(type);
    const CatalogueItem* item = items != nullptr ? items->find(code) : nullptr;
    if (item == nullptr) {
        return std::nullopt;
    }
    return item->header;
}

std::optional<ReportColumn> Report::defaultColumn(int type, int code) {
    std::optional<std::string> header = defaultHeader(type, code);
    if (!header) {
        return std::nullopt;
    }
    return ReportColumn{code, textFlagOf(code), *header};
}

int Report::itemCode(int type, std::string_view listName) {
    if (const Catalogue* items = catalogueOf(type)) {
        return items->codeOf(listName);
    }
    int code = playerItems().codeOf(listName);
    return code != kNoReportItem ? code : franchiseItems().codeOf(listName);
}

bool Report::isWholeSeasonItem(int code) {
    std::string name = columnListName(code);
    return name.starts_with("Season") || name.ends_with("Season");
}

std::vector<ReportItemCategory> Report::itemCategories(int type) {
    const Catalogue* items = catalogueOf(type);
    if (items == nullptr) {
        return {};
    }
    const auto& defs = items == &playerItems() ? playerCategories() : franchiseCategories();
    std::vector<ReportItemCategory> categories;
    for (const CategoryDef& def : defs) {
        ReportItemCategory category{def.name, {}};
        for (const CategoryRange& range : def.ranges) {
            for (int code = range.first; code <= range.last; ++code) {
                const CatalogueItem* item = items->find(code);
                if (item != nullptr && !item->listName.empty()) {
                    category.codes.push_back(code);
                }
            }
        }
        categories.push_back(std::move(category));
    }
    return categories;
}

bool Report::usesPlayerItems(int type) {
    return type == kPlayerReport || type == kPlayerOverview || type == kPlayerSummary;
}

bool Report::usesFranchiseItems(int type) {
    return type == kFranchiseReport || type == kFranchiseOverview || type == kNflOverview;
}

int Report::builtInNumber(std::string_view name) {
    for (int n = 0; n < kBuiltInReportCount; ++n) {
        if (name == kBuiltIns[n].name) {
            return n;
        }
    }
    return -1;
}

std::string Report::builtInName(int number) {
    return number >= 0 && number < kBuiltInReportCount ? kBuiltIns[number].name : "";
}

int Report::builtInType(int number) {
    return number >= 0 && number < kBuiltInReportCount ? kBuiltIns[number].type : 0;
}

bool Report::isSeasonWideReport(std::string_view name) {
    int number = builtInNumber(name);
    return std::find(std::begin(kSeasonWideReports), std::end(kSeasonWideReports), number) !=
           std::end(kSeasonWideReports);
}

std::span<const char* const> Report::fullyDefinedReports() {
    return kCreationOrder;
}

int Report::defineBuiltIn(std::string_view name) {
    const ReportDef* def = fullDefinition(name);
    int number = builtInNumber(name);
    if (def == nullptr && number < 0) {
        return kFailed;
    }
    clear();
    setText(kReportName, name);
    if (def == nullptr) {
        setValue(kReportType, builtInType(number));
        setText(kReportHeader, name);
        setValue(kReportListed, 1);
        return kOk;
    }
    setValue(kReportType, def->type);
    setText(kReportHeader, def->header);
    setValue(kReportEditable, def->flags.editable);
    setValue(kReportListed, def->flags.listed);
    setValue(kReportDeletable, def->flags.deletable);
    setValue(kReportTotalsRow, def->flags.totalsRow);
    for (const ColumnDef& c : def->columns) {
        ReportColumn column =
            defaultColumn(def->type, c.code).value_or(ReportColumn{c.code, 1, ""});
        if (c.header != nullptr) {
            column.header = c.header;
        }
        addColumn(column);
    }
    for (std::size_t s = 0; s < def->sections.size(); ++s) {
        const SectionDef& sd = def->sections[s];
        setSection(static_cast<int>(s), {sd.first - 1, sd.last - 1, sd.title});
    }
    if (def->type == kPlayerReport) {
        PlayerQueryNode node;
        node.setSelectCode(PlayerQueryNode::kByPosition);
        node.setValues(def->groups);
        for (std::size_t i = 0; i < def->sorts.size(); ++i) {
            node.setSortKey(static_cast<int>(i), def->sorts[i].code, def->sorts[i].descending);
        }
        setPlayerNode(node);
    } else if (def->type == kFranchiseReport) {
        TeamQueryNode node;
        node.setSelectCode(kAllFranchises);
        for (std::size_t i = 0; i < def->sorts.size(); ++i) {
            node.setSortKey(static_cast<int>(i), def->sorts[i].code, def->sorts[i].descending);
        }
        setTeamNode(node);
    }
    return kOk;
}

}  // namespace qff
