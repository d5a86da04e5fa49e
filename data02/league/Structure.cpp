#include "data02/league/Structure.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <type_traits>

#include "data02/league/Listhelp.h"
#include "data02/model/Divqry.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

constexpr std::array<PropertyRow, 4> kLeagueRows{{
    {"League Name", kLeagueName, 63, true},
    {"Your Name", kLeagueCommissioner, 32, false},
    {"Your Phone", kLeaguePhone, 19, false},
    {"Your EMail", kLeagueEmail, 128, false},
}};

constexpr std::array<PropertyRow, 2> kDivisionRows{{
    {"Long Name", kDivisionName, 39, true},
    {"Short Name", kDivisionShortName, 4, true},
}};

constexpr std::array<PropertyRow, 9> kFranchiseRows{{
    {"Team Name", kFranchiseName, 39, true},
    {"Owner Name", kOwnerName, 29, false},
    {"Address", kOwnerAddress, 39, false},
    {"City", kOwnerCity, 19, false},
    {"State", kOwnerState, 2, false},
    {"Zip", kOwnerZip, 5, false},
    {"EMail Address", kOwnerEmail, 127, false},
    {"Home Phone", kOwnerHomePhone, 19, false},
    {"Work Phone", kOwnerWorkPhone, 19, false},
}};

// Texts that must differ between objects of a kind.
constexpr std::array<int, 4> kUniqueCodes{kLeagueName, kDivisionName, kDivisionShortName,
                                          kFranchiseName};

// Default short names keep to the editor's four characters; the record would hold five.
constexpr int kDefaultShortNameMax = 4;

StructureResult failure(StructureError error, std::string message, int status = kOk) {
    return {error, status, 0, std::move(message)};
}

StructureResult success(int id) {
    return {StructureError::None, kOk, id, {}};
}

const char* nounOf(StructureKind kind) {
    switch (kind) {
        case StructureKind::League:
            return "league";
        case StructureKind::Division:
            return "division";
        default:
            return "franchise";
    }
}

// Removal messages name a franchise a team, as the editor always did.
const char* removalNounOf(StructureKind kind) {
    return kind == StructureKind::Franchise ? "team" : nounOf(kind);
}

template <class T>
struct KindTraits;

template <>
struct KindTraits<League> {
    static constexpr StructureKind kKind = StructureKind::League;
    static constexpr int kIdCode = kLeagueId;
    static RecordCache<League>& cache(Singleton& c) { return c.mapFactory().leagues(); }
};

template <>
struct KindTraits<Division> {
    static constexpr StructureKind kKind = StructureKind::Division;
    static constexpr int kIdCode = kDivisionId;
    static RecordCache<Division>& cache(Singleton& c) { return c.mapFactory().divisions(); }
};

template <>
struct KindTraits<Team> {
    static constexpr StructureKind kKind = StructureKind::Franchise;
    static constexpr int kIdCode = kFranchiseId;
    static RecordCache<Team>& cache(Singleton& c) { return c.mapFactory().franchises(); }
};

template <class T>
T* findObject(Singleton& context, int id) {
    return KindTraits<T>::cache(context).findFirst(KindTraits<T>::kIdCode, id);
}

StructureResult notFound(StructureKind kind, int id, StructureError error) {
    return failure(error, std::string("no ") + nounOf(kind) + " has the id " + std::to_string(id));
}

int seasonKey(Singleton& context) {
    return context.preferences().get(kPrefOpenSeason);
}

void dropFranchisePoints(Singleton& context, int franchise) {
    context.cache().dropObject(Cache::Set::Franchise, seasonKey(context), franchise);
}

bool isUniqueCode(int code) {
    return std::find(kUniqueCodes.begin(), kUniqueCodes.end(), code) != kUniqueCodes.end();
}

template <class T>
bool nameTaken(Singleton& context, int code, std::string_view text, const T* self) {
    for (const T* other : KindTraits<T>::cache(context).selectByText(code, text)) {
        if (other != self) {
            return true;
        }
    }
    return false;
}

StructureResult duplicateName(StructureKind kind) {
    return failure(StructureError::DuplicateName,
                   std::string("A ") + nounOf(kind) +
                       " with that name already exists. The original name has been restored.");
}

// Checks one value for an object (null while it is being created).
template <class T>
StructureResult checkValue(Singleton& context, const T* self, const FieldText& field) {
    constexpr StructureKind kind = KindTraits<T>::kKind;
    const PropertyRow* row = propertyRow(kind, field.code);
    if (row == nullptr) {
        StructureResult unknown =
            failure(StructureError::UnknownField,
                    "field " + std::to_string(field.code) + " is not a " + nounOf(kind) + " field");
        unknown.code = field.code;
        return unknown;
    }
    StructureResult checked = checkField(*row, field.text);
    if (checked.ok() && isUniqueCode(field.code) &&
        nameTaken(context, field.code, field.text, self)) {
        checked = duplicateName(kind);
    }
    checked.code = checked.ok() ? 0 : field.code;
    return checked;
}

StructureResult checkDefaultLeague(const League* league, const FieldText& field) {
    if (league != nullptr && league->getValue(kLeagueId) == kDefaultLeagueId &&
        field.code == kLeagueName && field.text != kDefaultLeagueName) {
        StructureResult refused =
            failure(StructureError::DefaultLeagueName,
                    std::string("The name of the ") + kDefaultLeagueName + " cannot be changed.");
        refused.code = kLeagueName;
        return refused;
    }
    return success(0);
}

template <class T>
StructureResult checkValues(Singleton& context, const T* self, std::span<const FieldText> fields) {
    for (const FieldText& field : fields) {
        StructureResult checked = checkValue(context, self, field);
        if constexpr (std::is_same_v<T, League>) {
            if (checked.ok()) {
                checked = checkDefaultLeague(self, field);
            }
        }
        if (!checked.ok()) {
            return checked;
        }
    }
    return success(0);
}

template <class T>
StructureResult saveFields(Singleton& context, int id, std::span<const FieldText> fields) {
    constexpr StructureKind kind = KindTraits<T>::kKind;
    T* object = findObject<T>(context, id);
    if (object == nullptr) {
        return notFound(kind, id, StructureError::NotFound);
    }
    StructureResult checked = checkValues(context, object, fields);
    if (!checked.ok()) {
        return checked;
    }
    std::vector<FieldText> previous;
    for (const FieldText& field : fields) {
        previous.push_back({field.code, object->text(field.code)});
        object->setText(field.code, field.text);
    }
    int status = object->save();
    if (status != kOk) {
        for (const FieldText& field : previous) {
            object->setText(field.code, field.text);
        }
        return failure(StructureError::SaveFailed,
                       std::string("the ") + nounOf(kind) +
                           " could not be saved [ rslt = " + std::to_string(status) + " ]",
                       status);
    }
    if constexpr (std::is_same_v<T, Team>) {
        dropFranchisePoints(context, id);
    }
    return success(id);
}

template <class T>
std::vector<FieldText> loadFields(Singleton& context, int id) {
    std::vector<FieldText> fields;
    if (const T* object = findObject<T>(context, id)) {
        for (const PropertyRow& row : propertyRows(KindTraits<T>::kKind)) {
            fields.push_back({row.code, object->text(row.code)});
        }
    }
    return fields;
}

bool holdsValue(const std::vector<FieldText>& stored, const FieldText& cell) {
    return std::any_of(stored.begin(), stored.end(), [&](const FieldText& field) {
        return field.code == cell.code && field.text == cell.text;
    });
}

// Saves what changed, leaving out one refused value after another.
void saveChanged(Singleton& context, StructureNode node, std::vector<FieldText> changed,
                 GridSave& grid) {
    while (!changed.empty()) {
        StructureResult saved = saveProperties(context, node, changed);
        if (saved.ok() || saved.code == 0) {
            grid.saved = saved;
            return;
        }
        grid.refusals.push_back(saved);
        std::erase_if(changed, [&](const FieldText& field) { return field.code == saved.code; });
    }
}

// The first "<prefix><n>" from `start` on that no object's name uses; empty
// when the names grow beyond `maxLength` first.
template <class T>
std::string freeName(Singleton& context, int code, const std::string& prefix, int start,
                     int maxLength) {
    for (int n = start;; ++n) {
        std::string candidate = prefix + std::to_string(n);
        if (static_cast<int>(candidate.size()) > maxLength) {
            return {};
        }
        if (!nameTaken<T>(context, code, candidate, nullptr)) {
            return candidate;
        }
    }
}

StructureResult noIdentifier(Singleton& context, StructureKind kind) {
    return failure(StructureError::NoIdentifier,
                   std::string("no new ") + nounOf(kind) +
                       " identifier is available: " + context.seasonState().lastError());
}

// Adds a filled record through the cache; the cache owns it on success.
template <class T, class File>
StructureResult addObject(Singleton& context, File& file, int id,
                          const std::function<void(T&)>& fill) {
    Owned<T> object = context.memory().makeRecord<T>(T::kKind, file, context);
    if (!object) {
        return failure(StructureError::CacheRefused, "out of memory", kNoMemory);
    }
    object->setValue(KindTraits<T>::kIdCode, id);
    fill(*object);
    int status = context.mapFactory().add(KindTraits<T>::cache(context), object);
    if (status != kOk) {
        return failure(StructureError::CacheRefused,
                       std::string("the new ") + nounOf(KindTraits<T>::kKind) +
                           " could not be stored [ rslt = " + std::to_string(status) + " ]",
                       status);
    }
    return success(id);
}

template <class T>
std::string nameOrDefault(Singleton& context, std::string_view name, const std::string& prefix,
                          int id) {
    const PropertyRow& row = nameRow(KindTraits<T>::kKind);
    return name.empty() ? freeName<T>(context, row.code, prefix, id, row.maxLength)
                        : std::string(name);
}

// Where a franchise placed under `parent` belongs.
struct Place {
    int league = 0;
    int division = kNoDivision;
};

std::optional<Place> placeUnder(Singleton& context, StructureNode parent, StructureResult& result) {
    if (parent.kind == StructureKind::League) {
        if (findObject<League>(context, parent.id) != nullptr) {
            return Place{parent.id, kNoDivision};
        }
    } else if (parent.kind == StructureKind::Division) {
        if (const Division* division = findObject<Division>(context, parent.id)) {
            return Place{division->getValue(kDivisionLeague), parent.id};
        }
    } else {
        result = failure(StructureError::WrongTarget,
                         "a franchise belongs to a league or to a division, not to a franchise");
        return std::nullopt;
    }
    result = notFound(parent.kind, parent.id, StructureError::ParentNotFound);
    return std::nullopt;
}

// "D" and the division's id while that fits the editor's four characters and
// is free, else the first free one counted from 1.
std::string defaultShortName(Singleton& context, int id) {
    std::string name =
        freeName<Division>(context, kDivisionShortName, "D", id, kDefaultShortNameMax);
    return name.empty()
               ? freeName<Division>(context, kDivisionShortName, "D", 1, kDefaultShortNameMax)
               : name;
}

std::vector<int> idsOf(const TeamList& teams) {
    std::vector<int> ids;
    for (const Team* team : teams) {
        ids.push_back(team->id());
    }
    return ids;
}

std::vector<int> divisionFranchises(Singleton& context, int division) {
    int values[] = {division};
    return idsOf(context.mapFactory().franchises().selectByValues(kFranchiseDivision, values));
}

// Head-to-head games of the league in which one of the franchises plays.
int gamesOf(Singleton& context, int league, const std::vector<int>& franchises) {
    std::set<int> ids(franchises.begin(), franchises.end());
    int count = 0;
    for (int week = 0; week < kWeekSlots; ++week) {
        for (const FantasyGame& game : context.schedule().games(league, week)) {
            count += ids.contains(game.home) || ids.contains(game.away) ? 1 : 0;
        }
    }
    return count;
}

// Games and picks of franchises that may lie in different leagues.
void countLosses(Singleton& context, const DraftPicks& picks, const std::vector<int>& franchises,
                 int& games, int& pickCount) {
    std::map<int, std::vector<int>> byLeague;
    for (int id : franchises) {
        int league = findObject<Team>(context, id)->getValue(kFranchiseLeague, kAllWeeks);
        byLeague[league].push_back(id);
        pickCount += picks.franchisePickCount(league, id);
    }
    for (const auto& [league, ids] : byLeague) {
        games += gamesOf(context, league, ids);
    }
}

StructureResult removalFailure(StructureKind kind, int status) {
    std::string noun = removalNounOf(kind);
    if (status == kNotCached) {
        return failure(StructureError::NotCached,
                       "CRITICAL - Failed to delete " + noun + " from MAP FACTORY.", status);
    }
    return failure(
        StructureError::DeleteFailed,
        "CRITICAL - Failed to delete " + noun + " [ rslt = " + std::to_string(status) + " ]",
        status);
}

// The cascade follows only once the franchise itself is gone, so a failed
// deletion leaves its games and picks in place.
StructureResult deleteFranchise(Singleton& context, DraftPicks& picks, int id) {
    Team* team = findObject<Team>(context, id);
    int league = team->getValue(kFranchiseLeague, kAllWeeks);
    int status = context.mapFactory().remove(context.mapFactory().franchises(), team);
    if (status != kOk) {
        return removalFailure(StructureKind::Franchise, status);
    }
    Schedule& schedule = context.schedule();
    if (schedule.isOpen() && schedule.removeFranchise(id) != kOk) {
        return failure(StructureError::ScheduleFailed,
                       "the franchise was deleted but its games were not: " + schedule.lastError());
    }
    status = picks.deleteFranchisePicks(league, id);
    if (status != kOk) {
        return failure(StructureError::DraftPicksFailed,
                       "the franchise was deleted but its draft picks were not [ rslt = " +
                           std::to_string(status) + " ]",
                       status);
    }
    return success(id);
}

template <class T>
StructureResult deleteRecord(Singleton& context, int id) {
    int status =
        context.mapFactory().remove(KindTraits<T>::cache(context), findObject<T>(context, id));
    return status == kOk ? success(id) : removalFailure(KindTraits<T>::kKind, status);
}

StructureResult deleteAll(Singleton& context, DraftPicks& picks, const DeletePlan& plan) {
    for (int franchise : plan.franchises) {
        StructureResult deleted = deleteFranchise(context, picks, franchise);
        if (!deleted.ok()) {
            return deleted;
        }
    }
    for (int division : plan.divisions) {
        StructureResult deleted = deleteRecord<Division>(context, division);
        if (!deleted.ok()) {
            return deleted;
        }
    }
    return success(0);
}

DeletePlan planLeagueDelete(Singleton& context, const DraftPicks& picks, int id) {
    DeletePlan plan;
    const League* league = findObject<League>(context, id);
    if (league == nullptr) {
        plan.check = notFound(StructureKind::League, id, StructureError::NotFound);
        return plan;
    }
    if (id == kDefaultLeagueId) {
        plan.check = failure(StructureError::DefaultLeagueDelete,
                             std::string("The ") + kDefaultLeagueName + " cannot be deleted.");
        return plan;
    }
    plan.name = league->text(kLeagueName);
    for (const Division* division : context.divisionQuery().leagueDivisions(id)) {
        plan.divisions.push_back(division->getValue(kDivisionId));
    }
    int values[] = {id};
    plan.franchises =
        idsOf(context.mapFactory().franchises().selectByValues(kFranchiseLeague, values));
    plan.games = gamesOf(context, id, plan.franchises);
    plan.picks = picks.leaguePickCount(id);
    plan.check = success(id);
    return plan;
}

DeletePlan planDivisionDelete(Singleton& context, const DraftPicks& picks, int id) {
    DeletePlan plan;
    const Division* division = findObject<Division>(context, id);
    if (division == nullptr) {
        plan.check = notFound(StructureKind::Division, id, StructureError::NotFound);
        return plan;
    }
    plan.name = division->text(kDivisionName);
    plan.divisions = {id};
    plan.franchises = divisionFranchises(context, id);
    countLosses(context, picks, plan.franchises, plan.games, plan.picks);
    plan.check = success(id);
    return plan;
}

DeletePlan planFranchiseDelete(Singleton& context, const DraftPicks& picks, int id) {
    DeletePlan plan;
    const Team* team = findObject<Team>(context, id);
    if (team == nullptr) {
        plan.check = notFound(StructureKind::Franchise, id, StructureError::NotFound);
        return plan;
    }
    plan.name = team->text(kFranchiseName);
    plan.franchises = {id};
    countLosses(context, picks, plan.franchises, plan.games, plan.picks);
    plan.check = success(id);
    return plan;
}

StructureResult deleteLeague(Singleton& context, DraftPicks& picks, int id) {
    StructureResult deleted = deleteRecord<League>(context, id);
    if (deleted.ok() && picks.deleteLeaguePicks(id) != kOk) {
        return failure(StructureError::DraftPicksFailed,
                       "the league was deleted but some of its draft picks were not");
    }
    return deleted;
}

MovePlan refusedMove(StructureResult check) {
    MovePlan plan;
    plan.check = std::move(check);
    return plan;
}

MovePlan planDivisionMove(Singleton& context, int id, StructureNode target) {
    const Division* division = findObject<Division>(context, id);
    if (division == nullptr) {
        return refusedMove(notFound(StructureKind::Division, id, StructureError::NotFound));
    }
    if (target.kind != StructureKind::League) {
        return refusedMove(
            failure(StructureError::WrongTarget, "a division can only be moved into a league"));
    }
    if (findObject<League>(context, target.id) == nullptr) {
        return refusedMove(notFound(target.kind, target.id, StructureError::ParentNotFound));
    }
    MovePlan plan;
    plan.check = success(id);
    plan.fromLeague = division->getValue(kDivisionLeague);
    plan.toLeague = target.id;
    plan.toDivision = id;
    plan.franchises = divisionFranchises(context, id);
    return plan;
}

MovePlan planFranchiseMove(Singleton& context, int id, StructureNode target) {
    const Team* team = findObject<Team>(context, id);
    if (team == nullptr) {
        return refusedMove(notFound(StructureKind::Franchise, id, StructureError::NotFound));
    }
    StructureResult check;
    std::optional<Place> place = placeUnder(context, target, check);
    if (!place) {
        return refusedMove(check);
    }
    MovePlan plan;
    plan.check = success(id);
    plan.fromLeague = team->getValue(kFranchiseLeague, kAllWeeks);
    plan.toLeague = place->league;
    plan.toDivision = place->division;
    plan.franchises = {id};
    return plan;
}

// Saves the franchise in its new place; its remembered points go with the old one.
StructureResult placeFranchise(Singleton& context, int id, const MovePlan& plan) {
    Team* team = findObject<Team>(context, id);
    Place before{team->getValue(kFranchiseLeague, kAllWeeks),
                 team->getValue(kFranchiseDivision, kAllWeeks)};
    team->setValue(kFranchiseLeague, plan.toLeague);
    team->setValue(kFranchiseDivision, plan.toDivision);
    int status = team->save();
    if (status != kOk) {
        team->setValue(kFranchiseLeague, before.league);
        team->setValue(kFranchiseDivision, before.division);
        return failure(StructureError::SaveFailed,
                       "the franchise could not be saved [ rslt = " + std::to_string(status) + " ]",
                       status);
    }
    dropFranchisePoints(context, id);
    return success(id);
}

// A franchise that changed league leaves the old league's schedule, and its
// picks follow it.
StructureResult followLeague(Singleton& context, DraftPicks& picks, int id, const MovePlan& plan) {
    Schedule& schedule = context.schedule();
    if (schedule.isOpen() && schedule.removeFranchise(id) != kOk) {
        return failure(StructureError::ScheduleFailed,
                       "the franchise moved but kept its old games: " + schedule.lastError());
    }
    int status = picks.moveFranchisePicks(id, plan.fromLeague, plan.toLeague);
    if (status != kOk) {
        return failure(StructureError::DraftPicksFailed,
                       "the franchise moved but its draft picks did not [ rslt = " +
                           std::to_string(status) + " ]",
                       status);
    }
    return success(id);
}

StructureResult moveDivisionRecord(Singleton& context, int id, int league) {
    Division* division = findObject<Division>(context, id);
    int before = division->getValue(kDivisionLeague);
    division->setValue(kDivisionLeague, league);
    int status = division->save();
    if (status != kOk) {
        division->setValue(kDivisionLeague, before);
        return failure(StructureError::SaveFailed,
                       "the division could not be saved [ rslt = " + std::to_string(status) + " ]",
                       status);
    }
    return success(id);
}

// The picks of the season's draft cache; every change renumbers the rounds
// it touches, so each round stays numbered 1, 2, 3 ...
class CachedDraftPicks : public DraftPicks {
  public:
    explicit CachedDraftPicks(DraftQuery& query) : query_(query) {}

    int franchisePickCount(int league, int franchise) const override {
        return static_cast<int>(query_.franchisePicks(league, franchise).size());
    }
    int leaguePickCount(int league) const override {
        return static_cast<int>(query_.leaguePicks(league).size());
    }
    int deleteFranchisePicks(int league, int franchise) override {
        return removeAll(query_.franchisePicks(league, franchise));
    }
    int deleteLeaguePicks(int league) override { return removeAll(query_.leaguePicks(league)); }
    int moveFranchisePicks(int franchise, int fromLeague, int toLeague) override {
        for (TrackDraft* pick : query_.franchisePicks(fromLeague, franchise)) {
            int status = movePick(*pick, fromLeague, toLeague);
            if (status != kOk) {
                return status;
            }
        }
        return kOk;
    }

  private:
    int removeAll(const DraftList& picks) {
        for (TrackDraft* pick : picks) {
            int status = query_.remove(*pick);
            if (status != kOk) {
                return status;
            }
        }
        return kOk;
    }

    // A pick numbered 0 joins the new league's round after its drafted picks.
    int movePick(TrackDraft& pick, int fromLeague, int toLeague) {
        int round = pick.getValue(kDraftRound);
        pick.setValue(kDraftLeague, toLeague);
        pick.setValue(kDraftPick, 0);
        int status = query_.update(pick);
        return status == kOk ? query_.renumberRound(fromLeague, round) : status;
    }

    DraftQuery& query_;
};

}  // namespace

std::unique_ptr<DraftPicks> seasonDraftPicks(Singleton& context) {
    return std::make_unique<CachedDraftPicks>(context.draftQuery());
}

std::span<const PropertyRow> propertyRows(StructureKind kind) {
    switch (kind) {
        case StructureKind::League:
            return kLeagueRows;
        case StructureKind::Division:
            return kDivisionRows;
        default:
            return kFranchiseRows;
    }
}

const PropertyRow* propertyRow(StructureKind kind, int code) {
    for (const PropertyRow& row : propertyRows(kind)) {
        if (row.code == code) {
            return &row;
        }
    }
    return nullptr;
}

const PropertyRow& nameRow(StructureKind kind) {
    return propertyRows(kind).front();
}

StructureResult checkField(const PropertyRow& row, std::string_view text) {
    std::string label = std::string("\"") + row.label + "\"";
    if (text.empty() && row.required) {
        return failure(StructureError::BlankRequired,
                       "One or more required fields were left blank. They have been restored to "
                       "their original value.");
    }
    if (static_cast<int>(text.size()) > row.maxLength) {
        return failure(StructureError::TooLong,
                       label + " holds at most " + std::to_string(row.maxLength) + " characters.");
    }
    if (holdsControlCharacter(text)) {
        return failure(StructureError::ControlCharacter, controlCharacterMessage(label));
    }
    std::size_t refused = text.find_first_of(kRefusedCharacters);
    if (refused != std::string_view::npos) {
        return failure(StructureError::RefusedCharacter,
                       label + " cannot hold the character '" + text[refused] +
                           "'; none of \" * / : < > ? \\ | is allowed.");
    }
    if (row.code == kLeagueName && isProgramFolder(text)) {
        return failure(StructureError::ProgramFolderName,
                       "\"" + std::string(text) +
                           "\" is the name of one of the program's own folders; choose another "
                           "league name.");
    }
    return success(0);
}

StructureResult saveProperties(Singleton& context, StructureNode node,
                               std::span<const FieldText> fields) {
    switch (node.kind) {
        case StructureKind::League:
            return saveFields<League>(context, node.id, fields);
        case StructureKind::Division:
            return saveFields<Division>(context, node.id, fields);
        default:
            return saveFields<Team>(context, node.id, fields);
    }
}

StructureResult rename(Singleton& context, StructureNode node, std::string_view name) {
    FieldText field{nameRow(node.kind).code, std::string(name)};
    return saveProperties(context, node, std::span(&field, 1));
}

std::vector<FieldText> loadProperties(Singleton& context, StructureNode node) {
    switch (node.kind) {
        case StructureKind::League:
            return loadFields<League>(context, node.id);
        case StructureKind::Division:
            return loadFields<Division>(context, node.id);
        default:
            return loadFields<Team>(context, node.id);
    }
}

GridSave savePropertyGrid(Singleton& context, StructureNode node,
                          std::span<const FieldText> cells) {
    GridSave grid;
    std::vector<FieldText> stored = loadProperties(context, node);
    if (stored.empty()) {
        grid.saved = notFound(node.kind, node.id, StructureError::NotFound);
        return grid;
    }
    const PropertyRow* blankRow = nullptr;
    std::vector<FieldText> changed;
    for (const FieldText& cell : cells) {
        const PropertyRow* row = propertyRow(node.kind, cell.code);
        if (row != nullptr && row->required && cell.text.empty()) {
            blankRow = blankRow != nullptr ? blankRow : row;
        } else if (!holdsValue(stored, cell)) {
            changed.push_back(cell);
        }
    }
    saveChanged(context, node, std::move(changed), grid);
    if (blankRow != nullptr) {
        grid.refusals.push_back(checkField(*blankRow, ""));
        grid.refusals.back().code = blankRow->code;
    }
    grid.stored = loadProperties(context, node);
    return grid;
}

void selectNode(Singleton& context, StructureNode node) {
    SeasonState& state = context.seasonState();
    if (node.kind == StructureKind::League) {
        state.set(kCurrentLeague, node.id);
    } else if (node.kind == StructureKind::Division) {
        if (const Division* division = findObject<Division>(context, node.id)) {
            state.set(kCurrentLeague, division->getValue(kDivisionLeague));
            state.set(kCurrentDivision, node.id);
        }
    } else if (const Team* team = findObject<Team>(context, node.id)) {
        state.set(kCurrentLeague, team->getValue(kFranchiseLeague, kAllWeeks));
        state.set(kCurrentDivision, team->getValue(kFranchiseDivision, kAllWeeks));
        state.set(kCurrentFranchise, node.id);
    }
}

}  // namespace qff

namespace qff {

StructureResult createLeague(Singleton& context, std::string_view name) {
    FieldText field{kLeagueName, std::string(name)};
    if (!name.empty()) {
        StructureResult checked = checkValues<League>(context, nullptr, std::span(&field, 1));
        if (!checked.ok()) {
            return checked;
        }
    }
    int id = context.seasonState().get(kLastLeagueId);
    if (id <= 0) {
        return noIdentifier(context, StructureKind::League);
    }
    std::string chosen = nameOrDefault<League>(context, name, "League ", id);
    StructureResult added =
        addObject<League>(context, context.leagueFile(), id,
                          [&](League& league) { league.setText(kLeagueName, chosen); });
    if (added.ok()) {
        context.seasonState().set(kCurrentLeague, id);
    }
    return added;
}

StructureResult createDivision(Singleton& context, int league, std::string_view name,
                               std::string_view shortName) {
    if (findObject<League>(context, league) == nullptr) {
        return notFound(StructureKind::League, league, StructureError::ParentNotFound);
    }
    std::vector<FieldText> given;
    if (!name.empty()) {
        given.push_back({kDivisionName, std::string(name)});
    }
    if (!shortName.empty()) {
        given.push_back({kDivisionShortName, std::string(shortName)});
    }
    StructureResult checked = checkValues<Division>(context, nullptr, given);
    if (!checked.ok()) {
        return checked;
    }
    int id = context.seasonState().get(kLastDivisionId);
    if (id <= 0) {
        return noIdentifier(context, StructureKind::Division);
    }
    std::string longText = nameOrDefault<Division>(context, name, "Division ", id);
    std::string shortText =
        shortName.empty() ? defaultShortName(context, id) : std::string(shortName);
    if (shortText.empty()) {
        return failure(StructureError::BlankRequired,
                       "every short name from D1 to D999 is taken; give the division one");
    }
    StructureResult added =
        addObject<Division>(context, context.divisionFile(), id, [&](Division& division) {
            division.setValue(kDivisionLeague, league);
            division.setText(kDivisionName, longText);
            division.setText(kDivisionShortName, shortText);
        });
    if (added.ok()) {
        context.seasonState().set(kCurrentLeague, league);
        context.seasonState().set(kCurrentDivision, id);
    }
    return added;
}

StructureResult createFranchise(Singleton& context, StructureNode parent, std::string_view name) {
    StructureResult result;
    std::optional<Place> place = placeUnder(context, parent, result);
    if (!place) {
        return result;
    }
    FieldText field{kFranchiseName, std::string(name)};
    if (!name.empty()) {
        result = checkValues<Team>(context, nullptr, std::span(&field, 1));
        if (!result.ok()) {
            return result;
        }
    }
    int id = context.seasonState().get(kLastFranchiseId);
    if (id <= 0) {
        return noIdentifier(context, StructureKind::Franchise);
    }
    std::string chosen = nameOrDefault<Team>(context, name, "Franchise ", id);
    result = addObject<Team>(context, context.teamFile(), id, [&](Team& team) {
        team.setValue(kFranchiseDivision, place->division);
        team.setValue(kFranchiseLeague, place->league);
        team.setText(kFranchiseName, chosen);
    });
    if (result.ok()) {
        context.seasonState().set(kCurrentLeague, place->league);
        context.seasonState().set(kCurrentDivision, place->division);
        context.seasonState().set(kCurrentFranchise, id);
    }
    return result;
}

MovePlan planMove(Singleton& context, const DraftPicks& picks, StructureNode object,
                  StructureNode target) {
    MovePlan plan;
    switch (object.kind) {
        case StructureKind::League:
            return refusedMove(failure(StructureError::WrongTarget,
                                       "a league cannot be moved; move its divisions and "
                                       "franchises instead"));
        case StructureKind::Division:
            plan = planDivisionMove(context, object.id, target);
            break;
        default:
            plan = planFranchiseMove(context, object.id, target);
            break;
    }
    if (plan.check.ok() && plan.changesLeague()) {
        countLosses(context, picks, plan.franchises, plan.games, plan.picks);
    }
    return plan;
}

StructureResult move(Singleton& context, DraftPicks& picks, StructureNode object,
                     StructureNode target) {
    MovePlan plan = planMove(context, picks, object, target);
    if (!plan.check.ok()) {
        return plan.check;
    }
    if (object.kind == StructureKind::Division) {
        StructureResult moved = moveDivisionRecord(context, object.id, plan.toLeague);
        if (!moved.ok()) {
            return moved;
        }
    }
    for (int franchise : plan.franchises) {
        StructureResult moved = placeFranchise(context, franchise, plan);
        if (moved.ok() && plan.changesLeague()) {
            moved = followLeague(context, picks, franchise, plan);
        }
        if (!moved.ok()) {
            return moved;
        }
    }
    return success(object.id);
}

DeletePlan planDelete(Singleton& context, const DraftPicks& picks, StructureNode object) {
    switch (object.kind) {
        case StructureKind::League:
            return planLeagueDelete(context, picks, object.id);
        case StructureKind::Division:
            return planDivisionDelete(context, picks, object.id);
        default:
            return planFranchiseDelete(context, picks, object.id);
    }
}

StructureResult remove(Singleton& context, DraftPicks& picks, StructureNode object) {
    DeletePlan plan = planDelete(context, picks, object);
    if (!plan.check.ok()) {
        return plan.check;
    }
    StructureResult deleted = deleteAll(context, picks, plan);
    if (deleted.ok() && object.kind == StructureKind::League) {
        deleted = deleteLeague(context, picks, object.id);
    }
    return deleted.ok() ? success(object.id) : deleted;
}

}  // namespace qff
