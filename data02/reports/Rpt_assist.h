#pragma once

// What the report assistant's pages show and choose, kept apart from the
// windows so the command line and the tests reach the same rules.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data02/reports/Rpt_define.h"

namespace qff {

class Report;
class Singleton;

inline constexpr const char* kNoSortLevelEntry = "< No sorting at this level >";
inline constexpr const char* kNoSectionTitleEntry = "< No header text >";
inline constexpr const char* kNewSectionTitle = "Needs new header";
inline constexpr const char* kInvalidReportTypeMessage = "CRITICAL - Invalid report type";
inline constexpr const char* kSectionNeedsColumnsMessage =
    "To add a section to the report select one or more data items then press the left facing "
    "arrow.";
inline constexpr const char* kScratchReportMessage = "Could not create scratch report.";
// Where the header preview is written, below the working directory.
inline constexpr const char* kHeaderPreviewFolder = "support";
inline constexpr const char* kHeaderPreviewFile = "hdr_prvw.htm";

// "P" player, "F" franchise, "R" report pack; empty for the other types.
std::string reportTypeMark(int type);

// One report as the assistant's lists show it.
struct ReportListEntry {
    int id = 0;
    int type = 0;
    std::string name;
    // The name, its type mark (when the type has one) and its id, as the
    // lists show them.
    std::string caption() const;
};

// The reports whose flag `flag` (kReportEditable, kReportListed or
// kReportDeletable) is set, sorted by name ignoring case; `exceptId` left out.
std::vector<ReportListEntry> reportsWithFlag(Singleton& context, int flag, int exceptId = 0);

// A column's name in the assistant's lists; "ERROR - No str for col #N" for
// an item without one.
std::string columnListText(int code);
// "N" for a section over one column, "N - M" otherwise, 1-based.
std::string sectionRangeText(const ReportSection& section);
// The section's title, or kNoSectionTitleEntry when it has none.
std::string sectionListText(const ReportSection& section);

// Only letters, digits, blank, "-" and "_" may be typed into the name,
// header and section-title fields. Letters are the unaccented ones: the
// record holds single bytes, and a name is also a page's file name.
bool isReportTextKey(char32_t character);

// ---- players to include

enum class PlayerUnits { Individual, Team, All };
enum class PlayerGroup { AllGroups, Position, NflTeam, Franchise };

// The choices of the players page. `position` is 0 (quarterback) to 6
// (special teams player), `nflTeam` an NFL team index, `franchiseId` a
// franchise id and `rosterPart` a RosterPart.
struct PlayerRowsChoice {
    PlayerGroup group = PlayerGroup::AllGroups;
    PlayerUnits units = PlayerUnits::Individual;
    int position = 0;
    int nflTeam = 0;
    int franchiseId = 0;
    int rosterPart = kActiveAndBench;
    bool operator==(const PlayerRowsChoice&) const = default;
};

ReportRows playerRowsOf(const PlayerRowsChoice& choice);
// The choice that stores `rows`; a franchise no longer in the season falls
// back to all groups, a roster part out of range to active and bench.
PlayerRowsChoice playerChoiceOf(Singleton& context, const ReportRows& rows);

// ---- franchises to include

enum class FranchiseGroup { One, Division, All };

struct FranchiseRowsChoice {
    FranchiseGroup group = FranchiseGroup::All;
    // The franchise's or the division's id.
    int id = 0;
    bool operator==(const FranchiseRowsChoice&) const = default;
};

ReportRows franchiseRowsOf(const FranchiseRowsChoice& choice);
FranchiseRowsChoice franchiseChoiceOf(const ReportRows& rows);

// ---- sort order

// The levels as chosen on the page, left to right; an empty level is
// "no sorting at this level".
using SortLevelChoices = std::array<std::optional<ReportSortLevel>, kMaxReportSortLevels>;
// The chosen levels packed to the front, in order.
std::vector<ReportSortLevel> packedSortLevels(const SortLevelChoices& choices);
// The order an item sorts in when first chosen: ascending for text,
// descending for numbers.
bool sortsDescendingFirst(const ReportColumn& column);

// ---- header preview

// Writes the two header rows of `report` into support/hdr_prvw.htm of the
// working directory, titled with the report's name. The page's path, or
// nothing when it could not be written.
std::optional<std::filesystem::path> writeHeaderPreviewPage(Singleton& context,
                                                            const Report& report);

}  // namespace qff
