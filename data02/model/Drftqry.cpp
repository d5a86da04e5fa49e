#include "data02/model/Drftqry.h"

#include <algorithm>
#include <tuple>

#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/scoring/Results.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/season/Whole.h"

namespace qff {
namespace {

constexpr int kUnknownDraftValue = -1;

int offsetOf(int code) {
    return code >= kDraftLeague && code <= kDraftPick ? 4 * (code - kDraftLeague) : -1;
}

// Where a pick goes when its round is renumbered.
std::tuple<int, int, int> renumberKey(const TrackDraft* pick) {
    int number = pick->getValue(kDraftPick);
    if (pick->isDrafted()) {
        return {0, number <= 0 ? 1 : 0, number};
    }
    return {1, 0, number};
}

}  // namespace

TrackDraft::TrackDraft(TrackDraftFile& file, Singleton& context)
    : StoredRecord(file), context_(context) {
    clear();
}

int TrackDraft::getValue(int code) const {
    int offset = offsetOf(code);
    return offset < 0 ? kUnknownDraftValue : getI32(bytes_, offset);
}

int TrackDraft::setValue(int code, int value) {
    int offset = offsetOf(code);
    if (offset < 0) {
        return kUnknownIdStatus;
    }
    putI32(bytes_, offset, value);
    return kOk;
}

void TrackDraft::clear() {
    bytes_.fill(0);
    for (int code = kDraftLeague; code <= kDraftPick; ++code) {
        setValue(code, kUnknownDraftValue);
    }
}

int TrackDraft::save() {
    int status = writeRecord();
    if (status == kOk) {
        context_.mapFactory().drafts().rekey(this);
    }
    return status;
}

int TrackDraft::insert() {
    return insertRecord();
}

int TrackDraft::remove() {
    return deleteRecord();
}

DraftList DraftQuery::leaguePicks(int league) const {
    int values[] = {league};
    return context_.mapFactory().drafts().selectByValues(kDraftLeague, values);
}

DraftList DraftQuery::franchisePicks(int franchise) const {
    int values[] = {franchise};
    return context_.mapFactory().drafts().selectByValues(kDraftFranchise, values);
}

DraftList DraftQuery::franchisePicks(int league, int franchise) const {
    DraftList picks = franchisePicks(franchise);
    std::erase_if(picks,
                  [league](const TrackDraft* p) { return p->getValue(kDraftLeague) != league; });
    return picks;
}

DraftList DraftQuery::roundPicks(int league, int round) const {
    DraftList picks = leaguePicks(league);
    std::erase_if(picks,
                  [round](const TrackDraft* p) { return p->getValue(kDraftRound) != round; });
    return picks;
}

DraftList DraftQuery::roundInOrder(int league, int round) const {
    DraftList picks = roundPicks(league, round);
    std::stable_sort(picks.begin(), picks.end(), [](const TrackDraft* a, const TrackDraft* b) {
        return renumberKey(a) < renumberKey(b);
    });
    return picks;
}

TrackDraft* DraftQuery::pickAt(int league, PickPlace place) const {
    for (TrackDraft* pick : roundPicks(league, place.round)) {
        if (pick->getValue(kDraftPick) == place.pick) {
            return pick;
        }
    }
    return nullptr;
}

TrackDraft* DraftQuery::pickOf(int league, int franchise, int round) const {
    for (TrackDraft* pick : franchisePicks(league, franchise)) {
        if (pick->getValue(kDraftRound) == round) {
            return pick;
        }
    }
    return nullptr;
}

bool DraftQuery::isPicked(int league, int player) const {
    DraftList picks = leaguePicks(league);
    return std::any_of(picks.begin(), picks.end(), [player](const TrackDraft* p) {
        return p->getValue(kDraftPlayer) == player;
    });
}

bool DraftQuery::hasPicks(int league) const {
    return context_.mapFactory().drafts().findFirst(kDraftLeague, league) != nullptr;
}

void DraftQuery::sortByField(DraftList& list, int code, bool descending) {
    std::stable_sort(list.begin(), list.end(), [code](const TrackDraft* a, const TrackDraft* b) {
        return a->getValue(code) < b->getValue(code);
    });
    if (descending) {
        std::reverse(list.begin(), list.end());
    }
}

Owned<TrackDraft> DraftQuery::create(std::source_location where) {
    return context_.memory().makeRecord<TrackDraft>(Site(Kind::Draft, where), context_.draftFile(),
                                                    context_);
}

int DraftQuery::add(Owned<TrackDraft>& pick) {
    int league = pick->getValue(kDraftLeague);
    int round = pick->getValue(kDraftRound);
    int status = context_.mapFactory().add(context_.mapFactory().drafts(), pick);
    return status == kOk ? renumberRound(league, round) : status;
}

int DraftQuery::update(TrackDraft& pick) {
    int status = pick.save();
    return status == kOk ? renumberRound(pick.getValue(kDraftLeague), pick.getValue(kDraftRound))
                         : status;
}

int DraftQuery::remove(TrackDraft& pick) {
    int league = pick.getValue(kDraftLeague);
    int round = pick.getValue(kDraftRound);
    int status = context_.mapFactory().remove(context_.mapFactory().drafts(), &pick);
    return status == kOk ? renumberRound(league, round) : status;
}

int DraftQuery::renumberRound(int league, int round) {
    return numberInOrder(roundInOrder(league, round));
}

int DraftQuery::numberInOrder(const DraftList& picks) {
    int number = 0;
    for (TrackDraft* pick : picks) {
        if (pick->getValue(kDraftPick) == ++number) {
            continue;
        }
        pick->setValue(kDraftPick, number);
        if (int status = pick->save(); status != kOk) {
            return status;
        }
    }
    return kOk;
}

int DraftQuery::reload(int year) {
    return context_.mapFactory().reloadDrafts(year);
}

int draftRounds(const League& league) {
    int rounds = league.getValue(kLeagueDraftRounds);
    return rounds >= 1 && rounds <= kMaxDraftRounds ? rounds : kDefaultDraftRounds;
}

bool oncePerRound(const League& league) {
    return league.getValue(kLeagueSeveralPicks) == 0;
}

namespace {

std::string playerText(Singleton& context, int id) {
    const Player* player = context.mapFactory().players().findFirst(kPlayerId, id);
    return player ? player->name() : "Player " + std::to_string(id);
}

std::string roundsText(int rounds) {
    return std::to_string(rounds) + (rounds == 1 ? " round" : " rounds");
}

}  // namespace

DraftAvailability::DraftAvailability(Singleton& context, int league, int franchise)
    : context_(context), shared_(context.preferences().get(kPrefDraftSharedPlayers) != 0) {
    DraftQuery& drafts = context.draftQuery();
    for (const TrackDraft* pick :
         shared_ ? drafts.franchisePicks(league, franchise) : drafts.leaguePicks(league)) {
        if (pick->isDrafted()) {
            holders_.emplace(pick->getValue(kDraftPlayer),
                             Holder{pick->getValue(kDraftFranchise), false});
        }
    }
    const Team* team = shared_ ? context.teamQuery().findOne(kFranchiseId, franchise) : nullptr;
    if (team == nullptr) {
        return;
    }
    TeamRosterStruct roster;
    team->getRoster(0, roster);
    for (int place = 0; place < roster.count(); ++place) {
        holders_.emplace(roster.id(place), Holder{franchise, true});
    }
}

std::string DraftAvailability::refusal(int player) const {
    auto holder = holders_.find(player);
    if (holder == holders_.end()) {
        return {};
    }
    std::string name = playerText(context_, player);
    std::string franchise = franchiseNameOf(context_, holder->second.franchise);
    if (holder->second.rostered) {
        return name + " is already on the roster of " + franchise + ".";
    }
    return shared_ ? franchise + " has already drafted " + name + "."
                   : name + " has already been drafted by " + franchise + ".";
}

bool isOffered(Singleton& context, int league, int franchise, int player) {
    return DraftAvailability(context, league, franchise).offers(player);
}

namespace {

const DBFile& dbOf(Singleton& context, SeasonFile file) {
    return file == SeasonFile::Leg ? context.leagueFile().db() : context.draftFile().db();
}

}  // namespace

DraftChange storeAsWhole(Singleton& context, const std::string& operation,
                         std::initializer_list<SeasonFile> files, const std::string& failure,
                         const std::function<int()>& work) {
    std::string reason;
    int status = runAsWhole(context, operation, files, [&] {
        std::vector<std::string> before;
        for (SeasonFile file : files) {
            before.push_back(dbOf(context, file).lastError());
        }
        int result = work();
        auto earlier = before.begin();
        for (SeasonFile file : files) {
            const std::string& now = dbOf(context, file).lastError();
            if (result != kOk && reason.empty() && now != *earlier++) {
                reason = now;
            }
        }
        return result;
    });
    if (status == kOk) {
        return {};
    }
    return {status, failure + (reason.empty() ? "." : ": " + reason + ".")};
}

std::string franchiseNameOf(Singleton& context, int franchise) {
    const Team* team = context.teamQuery().findOne(kFranchiseId, franchise);
    return team ? team->text(kFranchiseName) : "Franchise " + std::to_string(franchise);
}

const League* draftLeague(Singleton& context, int league, DraftChange& change) {
    const League* record = context.leagueQuery().findOne(kLeagueId, league);
    if (record == nullptr) {
        change = {kFailed, "There is no league with the id " + std::to_string(league) + "."};
    }
    return record;
}

std::string franchiseRefusal(Singleton& context, const League& league, int franchise) {
    const Team* team = context.teamQuery().findOne(kFranchiseId, franchise);
    if (team != nullptr &&
        team->getValue(kFranchiseLeague, kAllWeeks) == league.getValue(kLeagueId)) {
        return {};
    }
    return "League \"" + league.text(kLeagueName) + "\" has no franchise with the id " +
           std::to_string(franchise) + ".";
}

std::string roundRefusal(const League& league, int round) {
    int rounds = draftRounds(league);
    if (round >= 1 && round <= rounds) {
        return {};
    }
    return "There is no round " + std::to_string(round) + ": the league's draft has " +
           roundsText(rounds) + ".";
}

std::string missingPickMessage(PickPlace place) {
    return "Round " + std::to_string(place.round) + " has no pick " + std::to_string(place.pick) +
           ".";
}

std::string oncePerRoundRefusal(Singleton& context, const League& league, int franchise,
                                int round) {
    if (!oncePerRound(league) ||
        context.draftQuery().pickOf(league.getValue(kLeagueId), franchise, round) == nullptr) {
        return {};
    }
    return franchiseNameOf(context, franchise) + " already has a pick in round " +
           std::to_string(round) + ", and teams can only pick once per round.";
}

namespace {

TrackDraft* plannedPickOf(Singleton& context, int league, int franchise, int round) {
    for (TrackDraft* pick : context.draftQuery().franchisePicks(league, franchise)) {
        if (pick->getValue(kDraftRound) == round && !pick->isDrafted()) {
            return pick;
        }
    }
    return nullptr;
}

std::string pickRefusal(Singleton& context, const League& league, int franchise, int round,
                        int player) {
    int id = league.getValue(kLeagueId);
    std::string why = franchiseRefusal(context, league, franchise);
    if (why.empty()) {
        why = roundRefusal(league, round);
    }
    if (why.empty() &&
        (player <= 0 || context.mapFactory().players().findFirst(kPlayerId, player) == nullptr)) {
        why = "No player has the id " + std::to_string(player) + ".";
    }
    if (why.empty()) {
        why = DraftAvailability(context, id, franchise).refusal(player);
    }
    if (why.empty() && plannedPickOf(context, id, franchise, round) == nullptr) {
        why = oncePerRoundRefusal(context, league, franchise, round);
    }
    return why;
}

int storePick(Singleton& context, int league, int franchise, int round, int player) {
    DraftQuery& drafts = context.draftQuery();
    if (TrackDraft* planned = plannedPickOf(context, league, franchise, round)) {
        planned->setValue(kDraftPlayer, player);
        return drafts.update(*planned);
    }
    Owned<TrackDraft> pick = drafts.create();
    if (!pick) {
        return kNoMemory;
    }
    pick->setValue(kDraftLeague, league);
    pick->setValue(kDraftFranchise, franchise);
    pick->setValue(kDraftPlayer, player);
    pick->setValue(kDraftRound, round);
    pick->setValue(kDraftPick, static_cast<int>(drafts.roundPicks(league, round).size()) + 1);
    return drafts.add(pick);
}

}  // namespace

DraftChange recordPick(Singleton& context, int league, int franchise, int round, int player) {
    DraftChange change;
    const League* record = draftLeague(context, league, change);
    if (record == nullptr) {
        return change;
    }
    if (std::string why = pickRefusal(context, *record, franchise, round, player); !why.empty()) {
        return {kFailed, why};
    }
    return storeAsWhole(context, "draft pick", {SeasonFile::Draft}, "The pick could not be stored",
                        [&] { return storePick(context, league, franchise, round, player); });
}

int assignPlayer(Singleton& context, int league, int franchise, int round, int player) {
    return recordPick(context, league, franchise, round, player).status;
}

}  // namespace qff

namespace qff {
namespace {

TeamRosterStruct rosterOf(const std::vector<int>& players) {
    TeamRosterStruct roster;
    for (int player : players) {
        addToRoster(roster, player);
    }
    return roster;
}

std::vector<int> draftedPlayers(Singleton& context, int league, int franchise) {
    std::vector<int> players;
    for (const TrackDraft* pick : context.draftQuery().franchisePicks(league, franchise)) {
        if (pick->isDrafted()) {
            players.push_back(pick->getValue(kDraftPlayer));
        }
    }
    return players;
}

// Compares the rosters in place with the drafted one in every week it goes to.
void compareRosters(const Team& team, const std::vector<int>& weeks, DraftRosterChange& change) {
    TeamRosterStruct drafted = rosterOf(change.roster);
    for (int week : weeks) {
        TeamRosterStruct current;
        team.getRoster(week, current);
        if (current.bytes == drafted.bytes) {
            continue;
        }
        change.changesRoster = true;
        for (int place = 0; place < current.count(); ++place) {
            int id = current.id(place);
            if (std::find(change.roster.begin(), change.roster.end(), id) == change.roster.end() &&
                std::find(change.replaced.begin(), change.replaced.end(), id) ==
                    change.replaced.end()) {
                change.replaced.push_back(id);
            }
        }
    }
}

DraftRosterChange changeFor(Singleton& context, const Team& team, const DraftClosePlan& plan) {
    DraftRosterChange change;
    change.franchise = team.id();
    std::vector<int> players = draftedPlayers(context, plan.league, change.franchise);
    auto split = players.begin() + std::min<std::ptrdiff_t>(players.size(), kRosterPlaces);
    change.roster.assign(players.begin(), split);
    change.overflow.assign(split, players.end());
    compareRosters(team, plan.weeks, change);
    return change;
}

int writeRosters(Singleton& context, const DraftClosePlan& plan, const DraftRosterChange& change) {
    Team* team = context.teamQuery().findOne(kFranchiseId, change.franchise);
    if (team == nullptr) {
        return kNotCached;
    }
    TeamRosterStruct drafted = rosterOf(change.roster);
    for (int week : plan.weeks) {
        team->setRoster(week, drafted);
    }
    int status = team->save();
    dropRosterResults(context, change.franchise, plan.weeks.front());
    return status;
}

}  // namespace

bool DraftClosePlan::replacesPlayers() const {
    return std::any_of(franchises.begin(), franchises.end(),
                       [](const DraftRosterChange& c) { return !c.replaced.empty(); });
}

bool DraftClosePlan::overflows() const {
    return std::any_of(franchises.begin(), franchises.end(),
                       [](const DraftRosterChange& c) { return !c.overflow.empty(); });
}

int DraftClosePlan::changedCount() const {
    return static_cast<int>(
        std::count_if(franchises.begin(), franchises.end(),
                      [](const DraftRosterChange& c) { return c.changesRoster; }));
}

DraftClosePlan planDraftClose(Singleton& context, int league) {
    DraftClosePlan plan;
    plan.league = league;
    SeasonState& state = context.seasonState();
    plan.weekOnePlayed = state.weekHasStats(0) != 0;
    for (int week = 0; week < kWeekSlots; ++week) {
        if (state.weekHasStats(week) == 0) {
            plan.weeks.push_back(week);
        }
    }
    int values[] = {league};
    for (const Team* team :
         context.mapFactory().franchises().selectByValues(kFranchiseLeague, values)) {
        DraftRosterChange change = changeFor(context, *team, plan);
        if (!change.roster.empty()) {
            plan.franchises.push_back(std::move(change));
        }
    }
    return plan;
}

int closeDraft(Singleton& context, const DraftClosePlan& plan) {
    if (plan.weekOnePlayed) {
        return kFailed;
    }
    if (plan.changedCount() == 0) {
        return kOk;
    }
    return runAsWhole(context, "draft close", {SeasonFile::Team}, [&] {
        for (const DraftRosterChange& change : plan.franchises) {
            if (!change.changesRoster) {
                continue;
            }
            if (int status = writeRosters(context, plan, change); status != kOk) {
                return status;
            }
        }
        return kOk;
    });
}

TrackDraft* findPickOfPlayer(Singleton& context, int league, int franchise, int player) {
    for (TrackDraft* pick : context.draftQuery().franchisePicks(league, franchise)) {
        if (pick->getValue(kDraftPlayer) == player) {
            return pick;
        }
    }
    return nullptr;
}

int tradePicks(Singleton& context, TrackDraft& one, TrackDraft& two) {
    return runAsWhole(context, "draft pick trade", {SeasonFile::Draft}, [&] {
        int first = one.getValue(kDraftPlayer);
        one.setValue(kDraftPlayer, two.getValue(kDraftPlayer));
        two.setValue(kDraftPlayer, first);
        int status = one.save();
        return status == kOk ? two.save() : status;
    });
}

}  // namespace qff
