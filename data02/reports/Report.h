#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data02/model/Plyrqry.h"
#include "data02/model/Teamqry.h"
#include "data02/storage/Record.h"

namespace qff {

class Singleton;

enum ReportCode {
    kReportId = 6000,
    kReportReserved = 6001,
    kReportType = 6002,
    kReportName = 6003,
    kReportHeader = 6004,
    kReportTotalsRow = 6005,
    // Read-only: the entries in use.
    kReportColumnCount = 6006,
    kReportSectionCount = 6007,
    kReportEditable = 6008,
    kReportListed = 6009,
    kReportDeletable = 6010,
};

enum ReportType {
    kFranchiseReport = 1,
    kFranchiseOverview = 2,
    kPlayerReport = 3,
    kPlayerOverview = 4,
    kNflOverview = 5,
    kPlayerSummary = 6,
    kDraftDayReport = 7,
    kLeagueInformation = 8,
    kReportPack = 9,
};

// Row selections report definitions store. The player kinds 108 and 109 are
// turned into explicit player lists before a run; the franchise kinds are
// `TeamQueryNode` select codes.
enum ReportSelection {
    kPlayersOfFranchise = 108,
    kPlayersOfNflTeamByGroup = 109,
    kOneFranchise = 2000,
    kFranchisesOfDivision = 2001,
    kAllFranchises = 2098,
};

// Where a kind-108 selection keeps which part of the roster it takes.
inline constexpr int kRosterPartValue = 99;
enum RosterPart { kActiveAndBench = 0, kActiveOnly = 1, kBenchOnly = 2 };

// Results of the column and section edits.
inline constexpr int kReportBadEdit = 2;
inline constexpr int kReportListFull = 6;
// What item look-ups give for a code or name without a catalogue entry.
inline constexpr int kNoReportItem = -32767;

inline constexpr int kMaxReportColumns = 64;
inline constexpr int kMaxReportSections = 10;
inline constexpr int kMaxPackMembers = PlayerQueryNode::kMaxValues;

// One data column: the item it shows and its one-line header.
struct ReportColumn {
    static constexpr int kSize = 40;
    static constexpr int kHeaderSize = 35;

    int code = 0;  // 0: empty slot
    // 0 for the name and address items, 1 for every other (numeric) item.
    int textFlag = 0;
    std::string header;

    bool inUse() const { return code > 0; }
    bool operator==(const ReportColumn&) const = default;
};

// A heading over the adjacent columns first..last (0-based).
struct ReportSection {
    static constexpr int kSize = 40;
    static constexpr int kTitleSize = 32;

    int first = -1;  // -1: free entry
    int last = -1;
    std::string title;

    bool inUse() const { return first >= 0; }
    bool operator==(const ReportSection&) const = default;
};

// A group of items the report assistant lists together, codes in code order.
struct ReportItemCategory {
    std::string name;
    std::vector<int> codes;
};

inline constexpr int kBuiltInReportCount = 25;

// One report definition: what a report shows and how its rows are chosen,
// as one record of the season's report file.
class Report : public StoredRecord<kReportRecordSize> {
  public:
    static constexpr Kind kKind = Kind::Report;
    static constexpr Kind kListKind = Kind::RptList;
    static constexpr Kind kIntMapKind = Kind::RptIntMap;
    static constexpr Kind kStrMapKind = Kind::RptStrMap;
    static constexpr std::array<int, 1> kIntIndexCodes{kReportId};
    static constexpr std::array<int, 1> kTextIndexCodes{kReportName};

    static constexpr int kIdOffset = 0;
    static constexpr int kReservedOffset = 4;
    static constexpr int kTypeOffset = 8;
    static constexpr int kNameOffset = 9;
    static constexpr int kHeaderOffset = 73;
    static constexpr int kTextSize = 64;
    static constexpr int kEditableOffset = 137;
    static constexpr int kListedOffset = 138;
    static constexpr int kDeletableOffset = 139;
    static constexpr int kTotalsRowOffset = 140;
    static constexpr int kColumnsOffset = 144;
    static constexpr int kSectionsOffset = 2704;
    static constexpr int kPlayerNodeOffset = 3104;
    static constexpr int kTeamNodeOffset = 5200;
    static_assert(kColumnsOffset + kMaxReportColumns * ReportColumn::kSize == kSectionsOffset);
    static_assert(kSectionsOffset + kMaxReportSections * ReportSection::kSize == kPlayerNodeOffset);
    static_assert(kPlayerNodeOffset + PlayerQueryNode::kSize == kTeamNodeOffset);
    static_assert(kTeamNodeOffset + TeamQueryNode::kSize == kReportRecordSize);

    Report(ReportFile& file, Singleton& context);

    // The cleared report: everything zero, every section free and both
    // selections cleared; no slot.
    void clear();

    // -1 for a key that is not a value key.
    int getValue(int code) const;
    // Flags store 1 for any non-zero value; kUnknownIdStatus for a key that
    // cannot be set (including the read-only counts).
    int setValue(int code, int value);
    // Name and header; empty for any other key.
    std::string text(int code) const;
    const char* getText(int code) const;
    // Cut to 63 characters; kUnknownIdStatus for a key that is not a text key.
    int setText(int code, std::string_view text);

    int type() const { return getValue(kReportType); }
    int id() const { return getValue(kReportId); }
    std::string name() const { return text(kReportName); }
    // Its name is one of the 25 catalogue names.
    bool isBuiltIn() const { return builtInNumber(name()) >= 0; }

    int columnCount() const;
    int sectionCount() const;

    // An empty column (code 0) for an index outside 0 to 63.
    ReportColumn column(int i) const;
    // A plain copy with the header cut to 34 characters; kFailed for a bad index.
    int setColumn(int i, const ReportColumn& column);
    // Appends after the columns in use: kReportBadEdit for an empty entry,
    // kReportListFull when all 64 are in use.
    int addColumn(const ReportColumn& column);
    // Later columns move up one place; sections keep their stored indexes.
    int removeColumn(int i);
    // Swap with the neighbour when both are in use; kReportBadEdit for an
    // index outside 1 to 63 (up) or 0 to 63 (down).
    int moveColumnUp(int i);
    int moveColumnDown(int i);

    // A free section for an index outside 0 to 9.
    ReportSection section(int i) const;
    // A plain copy with the title cut to 31 characters; kFailed for a bad index.
    int setSection(int i, const ReportSection& section);
    // Both normalise the sections afterwards into runs in column order (gaps
    // between sections become untitled entries; a section reaching past the
    // last column ends there). kReportBadEdit for a free entry or a bad index,
    // kReportListFull when the list is full or would need more than ten
    // entries; the report is then unchanged.
    int addSection(const ReportSection& section);
    int removeSection(int i);

    PlayerQueryNode playerNode() const;
    void setPlayerNode(const PlayerQueryNode& node);
    TeamQueryNode teamNode() const;
    void setTeamNode(const TeamQueryNode& node);

    // A report pack's member report ids in output order (the player
    // selection's values).
    std::vector<int> packMembers() const;
    // At most 500; kFailed for more.
    int setPackMembers(std::span<const int> ids);

    // A known type, and a name (not empty) and heading that end inside their
    // fields and hold no control characters: what every record this program
    // writes is, and what garbage almost never is.
    static bool isReadableRecord(ConstByteSpan record);

    // Re-reads the record from its slot; a report without a slot yet takes
    // the file's current record and its slot.
    int load();
    // Reads the record of `slot` and takes that slot.
    int loadSlot(int slot);
    // save, insert and remove keep the season's report cache in step with
    // the season's report file; reports of other files leave it alone.
    // Rewrites the record in its slot.
    int save();
    // Appends as a new record and takes its slot.
    int insert();
    int remove();
    // The same definition and slot as `other`, bound to this report's file.
    void copyFrom(const Report& other);
    // The definition of `other`, keeping this report's slot.
    void takeDefinition(const Report& other) { bytes_ = other.bytes_; }

    int indexValue(int code) const { return getValue(code); }
    std::string indexText(int code) const { return text(code); }

    // Draws the next report id from the season state, skipping ids that
    // reports of the file already hold, and stores it in the record. 0 when
    // no id could be drawn.
    int assignNewId();

    // ---- item catalogues

    // The assistant's name of an item: player items below 128, franchise
    // items from 128 to 2115; empty when the item has none.
    static std::string columnListName(int code);
    // The header a new column of the item gets in a report of `type`; nothing
    // for an item outside the type's catalogue. Combo = City, ST  Zip has an
    // empty header.
    static std::optional<std::string> defaultHeader(int type, int code);
    static std::optional<ReportColumn> defaultColumn(int type, int code);
    // The item of a list name in the type's catalogue; types without one
    // look in the player items first, then the franchise items.
    // kNoReportItem when nothing matches.
    static int itemCode(int type, std::string_view listName);
    // Items that span all weeks of play rather than the reported week.
    static bool isWholeSeasonItem(int code);
    // The assistant's categories of the type's catalogue; none for the
    // fixed layouts.
    static std::vector<ReportItemCategory> itemCategories(int type);
    // Whether `type` lists its columns from the player items (3, 4, 6) or
    // the franchise items (1, 2, 5); neither for the fixed layouts.
    static bool usesPlayerItems(int type);
    static bool usesFranchiseItems(int type);

    // ---- built-in catalogue

    // 0 to 24, or -1 for a name outside the catalogue (exact match).
    static int builtInNumber(std::string_view name);
    // Empty / 0 for a number outside 0 to 24.
    static std::string builtInName(int number);
    static int builtInType(int number);
    // Overview - NFL, Fantasy Rosters, Owner Information and Your Scoring
    // System: their output covers all weeks whatever weeks are chosen.
    static bool isSeasonWideReport(std::string_view name);

    // The catalogue report `name` as first created: the fully defined form
    // for the 17 that have one, else the bare record of its catalogue type.
    // kFailed for a name outside the catalogue and the 17 definitions. The
    // id is left to the caller.
    int defineBuiltIn(std::string_view name);
    // The 17 fully defined reports in the order a new season creates them.
    static std::span<const char* const> fullyDefinedReports();

  private:
    bool isSeasonReport() const;
    // The cache's object of this report's slot; null when there is none.
    Report* cachedCopy() const;
    bool columnInUse(int i) const;
    void clearColumn(int i);
    void clearSection(int i);
    int normaliseSections();

    Singleton& context_;
};

using RptList = std::vector<Owned<Report>>;

inline constexpr RecordCheck kReportRecordCheck{"report definition", "report definitions",
                                                &Report::isReadableRecord};

}  // namespace qff
