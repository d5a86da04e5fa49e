#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data02/diag/Status.h"

namespace qff {

class Singleton;

enum class StructureKind { League, Division, Franchise };

// One object of the league structure: a league, a division or a franchise by id.
struct StructureNode {
    StructureKind kind = StructureKind::League;
    int id = 0;
};

// One editable field of a structure object, as the property grids show it.
struct PropertyRow {
    const char* label;
    int code;
    int maxLength;
    bool required;
};

std::span<const PropertyRow> propertyRows(StructureKind kind);
// The row of a field code; null when the kind has no such row.
const PropertyRow* propertyRow(StructureKind kind, int code);
// The row that names an object: league name, division long name, franchise name.
const PropertyRow& nameRow(StructureKind kind);

// Characters no field of the structure may hold, because its texts end up in
// file names of reports and web pages.
inline constexpr std::string_view kRefusedCharacters = "\"*/:<>?\\|";

// Why a change to the league structure was refused or failed.
enum class StructureError {
    None,
    NotFound,
    ParentNotFound,
    UnknownField,
    BlankRequired,
    TooLong,
    RefusedCharacter,
    ControlCharacter,
    ProgramFolderName,
    DuplicateName,
    DefaultLeagueName,
    DefaultLeagueDelete,
    WrongTarget,
    NoIdentifier,
    CacheRefused,
    SaveFailed,
    NotCached,
    DeleteFailed,
    ScheduleFailed,
    DraftPicksFailed,
};

struct StructureResult {
    StructureError error = StructureError::None;
    // The data layer's status behind a failure.
    int status = kOk;
    // The object created or changed.
    int id = 0;
    std::string message;
    // The field whose value was refused; 0 when no single value was.
    int code = 0;
    bool ok() const { return error == StructureError::None; }
};

// A field value to store: empty text clears an optional field.
struct FieldText {
    int code;
    std::string text;
    bool operator==(const FieldText&) const = default;
};

// The draft picks of the season as the structure cascades to them; picks are
// keyed by league and franchise.
class DraftPicks {
  public:
    virtual ~DraftPicks() = default;
    virtual int franchisePickCount(int league, int franchise) const = 0;
    virtual int leaguePickCount(int league) const = 0;
    virtual int deleteFranchisePicks(int league, int franchise) = 0;
    virtual int deleteLeaguePicks(int league) = 0;
    virtual int moveFranchisePicks(int franchise, int fromLeague, int toLeague) = 0;
};

// The season's own picks, from its draft cache.
std::unique_ptr<DraftPicks> seasonDraftPicks(Singleton& context);

// Checks a field value against its row: required, length and characters,
// and that a league's name is none of the program's own folders.
StructureResult checkField(const PropertyRow& row, std::string_view text);

// Stores field values of one object after checking them all: every row's
// rules, unique names, the Default League's fixed name. Nothing is stored
// when one value is refused. The structure editor and the franchise details
// dialog both save through here.
StructureResult saveProperties(Singleton& context, StructureNode node,
                               std::span<const FieldText> fields);
StructureResult rename(Singleton& context, StructureNode node, std::string_view name);

// Every row's stored value, in row order; empty when no such object exists.
std::vector<FieldText> loadProperties(Singleton& context, StructureNode node);

// What saving a property grid did.
struct GridSave {
    // The save of the values that passed; a failure leaves the record as it was.
    StructureResult saved;
    // Why values were kept back, in the order the user hears of them: each
    // refused value, then the blank required fields once.
    std::vector<StructureResult> refusals;
    // Every row's value as the record now holds it, for the grid to show.
    std::vector<FieldText> stored;
};

// Saves the cells of a property grid as the editors do. A blank required
// cell keeps the stored value; a refused value is left out so the record
// keeps its own, and the other values are stored together. Nothing is
// written when no value changed.
GridSave savePropertyGrid(Singleton& context, StructureNode node, std::span<const FieldText> cells);

// Makes the object the season state's selection: a league; a division and
// its league; a franchise with its division and league.
void selectNode(Singleton& context, StructureNode node);

// New objects take their ids from the season state and, when no name is
// given, a default name ("League 3", "Division 3" and "D3", "Franchise 3")
// whose number is the id or the next number that no other object's name
// uses. The new object becomes the season state's selection.
StructureResult createLeague(Singleton& context, std::string_view name = {});
StructureResult createDivision(Singleton& context, int league, std::string_view name = {},
                               std::string_view shortName = {});
// The parent is the franchise's league or its division.
StructureResult createFranchise(Singleton& context, StructureNode parent,
                                std::string_view name = {});

// What moving an object changes, for the caller to confirm before a
// franchise leaves its league: it loses its head-to-head games there, its
// opponents get byes, and its draft picks follow it to the new league.
struct MovePlan {
    StructureResult check;
    int fromLeague = 0;
    int toLeague = 0;
    // The division franchises end in; kNoDivision directly under the league.
    int toDivision = 0;
    std::vector<int> franchises;
    int games = 0;
    int picks = 0;
    bool changesLeague() const { return fromLeague != toLeague; }
    bool needsConfirmation() const { return check.ok() && changesLeague(); }
};

// A division moves into a league, a franchise into a league (leaving its
// division) or into a division.
MovePlan planMove(Singleton& context, const DraftPicks& picks, StructureNode object,
                  StructureNode target);
StructureResult move(Singleton& context, DraftPicks& picks, StructureNode object,
                     StructureNode target);

// What deleting an object destroys.
struct DeletePlan {
    StructureResult check;
    std::string name;
    std::vector<int> divisions;
    std::vector<int> franchises;
    int games = 0;
    int picks = 0;
};

// A league takes its divisions and franchises with it, a division its
// franchises; each franchise takes its draft picks and its games, whose
// opponents get byes. The Default League is never deleted.
DeletePlan planDelete(Singleton& context, const DraftPicks& picks, StructureNode object);
StructureResult remove(Singleton& context, DraftPicks& picks, StructureNode object);

}  // namespace qff
