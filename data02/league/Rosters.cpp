#include "data02/league/Rosters.h"

#include <algorithm>

#include "data02/model/Drftqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Teamqry.h"
#include "data02/scoring/Results.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/Whole.h"
#include "data02/storage/Weeks.h"

namespace qff {
namespace {

Player* findPlayer(Singleton& context, int id) {
    return context.mapFactory().players().findFirst(kPlayerId, id);
}

std::string playerLabel(Singleton& context, int id) {
    const Player* player = findPlayer(context, id);
    return player ? player->name() : "Player " + std::to_string(id);
}

std::string franchiseName(const Team& team) {
    return team.text(kFranchiseName);
}

int placeOf(const TeamRosterStruct& roster, int id) {
    for (int place = 0; place < roster.count(); ++place) {
        if (roster.id(place) == id) {
            return place;
        }
    }
    return -1;
}

// Every week's roster of a franchise as it was, so a save that does not reach
// the file can leave memory as the file still is.
class RosterSnapshot {
  public:
    explicit RosterSnapshot(const Team& team) {
        for (int week = 0; week < kWeekSlots; ++week) {
            team.getRoster(week, weeks_[week]);
        }
    }

    void restore(Singleton& context, Team& team, int fromWeek) const {
        for (int week = 0; week < kWeekSlots; ++week) {
            team.setRoster(week, weeks_[week]);
        }
        dropRosterResults(context, team.id(), fromWeek);
    }

  private:
    std::array<TeamRosterStruct, kWeekSlots> weeks_;
};

std::string saveError(Singleton& context, const Team& team) {
    return "The roster of " + franchiseName(team) +
           " could not be saved: " + context.teamFile().db().lastError();
}

// Saves with the forward copy; on failure memory goes back to the file's state.
bool commitRoster(Singleton& context, Team& team, const TeamRosterStruct& roster, int week) {
    RosterSnapshot before(team);
    if (team.saveRoster(roster, week) == kOk) {
        return true;
    }
    before.restore(context, team, week);
    return false;
}

void commitChange(Singleton& context, Team& team, const TeamRosterStruct& roster, int week,
                  RosterChange& change) {
    if (change.changed.empty() || commitRoster(context, team, roster, week)) {
        return;
    }
    change.status = kFailed;
    change.error = saveError(context, team);
    change.changed.clear();
}

// The franchise a change is about, or null with the change's status set.
Team* changedFranchise(Singleton& context, int franchiseId, int week, RosterChange& change) {
    if (!isWeekSlot(week)) {
        change.status = kBadWeek;
        change.error = "Week " + std::to_string(week + 1) + " is not a week of the season.";
        return nullptr;
    }
    Team* team = findFranchise(context, franchiseId);
    if (team == nullptr) {
        change.status = kFailed;
        change.error = "No franchise has the id " + std::to_string(franchiseId) + ".";
    }
    return team;
}

void refuse(RosterChange& change, int player, RosterReason reason, std::string message) {
    change.refused.push_back(RosterRefusal{player, reason, std::move(message)});
}

std::string rosterFullMessage(Singleton& context, int id) {
    return playerLabel(context, id) +
           " was not added: there is no more room for players in the current roster. The "
           "maximum of " +
           std::to_string(kRosterPlaces) + " players have been drafted.";
}

// One player of an add: checked against the rules as the roster stands now.
bool addOne(Singleton& context, DraftRules& rules, TeamRosterStruct& roster, int id,
            RosterChange& change) {
    const Player* player = findPlayer(context, id);
    if (player == nullptr) {
        refuse(change, id, RosterReason::kUnknownPlayer,
               "No player has the id " + std::to_string(id) + ".");
        return true;
    }
    RosterReason reason = rules.check(*player);
    if (reason != RosterReason::kNone) {
        refuse(change, id, reason, rules.explain(*player, reason));
        return true;
    }
    if (!addToRoster(roster, id)) {
        return false;
    }
    rules.take(*player);
    change.changed.push_back(id);
    return true;
}

}  // namespace

DraftRules::DraftRules(Singleton& context, const Team& franchise, int week, const Team* partner)
    : context_(context), franchise_(franchise), week_(week) {
    for (int position = 0; position < kIndividualPositions; ++position) {
        int limit = context.preferences().get(kPrefRosterLimitQB + position);
        limits_[position] = limit == kRosterUnrestricted ? -1 : limit;
    }
    countRoster();
    if (context.preferences().get(kPrefDraftSharedPlayers) == 0) {
        collectHolders(partner);
    }
}

void DraftRules::countRoster() {
    TeamRosterStruct roster;
    franchise_.getRoster(week_, roster);
    for (int place = 0; place < roster.count(); ++place) {
        const Player* player =
            roster.id(place) > 0 ? findPlayer(context_, roster.id(place)) : nullptr;
        if (player != nullptr) {
            take(*player);
        }
    }
}

void DraftRules::collectHolders(const Team* partner) {
    int league = franchise_.getValue(kFranchiseLeague, kAllWeeks);
    for (const Team* other : context_.teamQuery().leagueFranchises(league)) {
        if (other->id() == franchise_.id() || other == partner) {
            continue;
        }
        TeamRosterStruct roster;
        other->getRoster(week_, roster);
        for (int place = 0; place < roster.count(); ++place) {
            holders_.emplace(roster.id(place), other);
        }
    }
}

int DraftRules::positionOf(const Player& player) const {
    int position = player.getValue(kPlayerPosition, kAllWeeks);
    if (position >= kUnitOffset) {
        position -= kUnitOffset;
    }
    return position >= 0 && position < kIndividualPositions ? position : -1;
}

bool DraftRules::holds(int id) const {
    return std::binary_search(own_.begin(), own_.end(), id);
}

RosterReason DraftRules::check(const Player& player) const {
    if (holds(player.id())) {
        return RosterReason::kOnRoster;
    }
    int position = positionOf(player);
    if (position >= 0 && limits_[position] >= 0 && counts_[position] >= limits_[position]) {
        return RosterReason::kPositionFull;
    }
    return holders_.contains(player.id()) ? RosterReason::kHeldElsewhere : RosterReason::kNone;
}

std::string DraftRules::explain(const Player& player, RosterReason reason) const {
    std::string name = player.name();
    switch (reason) {
        case RosterReason::kOnRoster:
            return name + " is already on the roster of " + franchiseName(franchise_) + ".";
        case RosterReason::kPositionFull: {
            int position = positionOf(player);
            return name + " cannot join " + franchiseName(franchise_) +
                   ": its roster already holds the maximum of " +
                   std::to_string(limits_[position]) + " " +
                   context_.pro().positionName(true, position) + " players.";
        }
        case RosterReason::kHeldElsewhere:
            return name + " is already on the roster of " +
                   franchiseName(*holders_.at(player.id())) + " in the same league.";
        default:
            return {};
    }
}

void DraftRules::take(const Player& player) {
    own_.insert(std::upper_bound(own_.begin(), own_.end(), player.id()), player.id());
    int position = positionOf(player);
    if (position >= 0) {
        ++counts_[position];
    }
}

void DraftRules::release(const Player& player) {
    auto found = std::lower_bound(own_.begin(), own_.end(), player.id());
    if (found == own_.end() || *found != player.id()) {
        return;
    }
    own_.erase(found);
    int position = positionOf(player);
    if (position >= 0) {
        --counts_[position];
    }
}

Team* findFranchise(Singleton& context, int franchiseId) {
    return context.mapFactory().franchises().findFirst(kFranchiseId, franchiseId);
}

int filterDraftable(Singleton& context, int franchiseId, int week, PlyrList& candidates) {
    if (!isWeekSlot(week)) {
        return kBadWeek;
    }
    const Team* team = findFranchise(context, franchiseId);
    if (team == nullptr) {
        return kFailed;
    }
    if (candidates.empty()) {
        return kOk;
    }
    DraftRules rules(context, *team, week);
    std::erase_if(candidates, [&rules](const Player* player) {
        return rules.check(*player) != RosterReason::kNone;
    });
    return kOk;
}

PlyrList draftCandidates(Singleton& context, int franchiseId, int week, int nflTeam) {
    PlayerQueryNode node;
    node.setSelectCode(PlayerQueryNode::kByTeam);
    const int teams[] = {nflTeam};
    node.setValues(teams);
    node.setSortKey(0, kPlayerPosition, false);
    node.setSortKey(1, kPlayerName, false);
    // A query of its own, so the season's shared one keeps its nodes.
    PlayerQuery query(context);
    query.addNode(node);
    Owned<PlyrList> found = query.run();
    PlyrList players = found ? *found : PlyrList{};
    if (franchiseId != 0) {
        filterDraftable(context, franchiseId, week, players);
    }
    return players;
}

RosterChange addPlayers(Singleton& context, int franchiseId, int week,
                        std::span<const int> players) {
    RosterChange change;
    Team* team = changedFranchise(context, franchiseId, week, change);
    if (team == nullptr) {
        return change;
    }
    TeamRosterStruct roster;
    team->getRoster(week, roster);
    DraftRules rules(context, *team, week);
    for (std::size_t i = 0; i < players.size(); ++i) {
        if (!addOne(context, rules, roster, players[i], change)) {
            // A full roster takes no one after this player either.
            for (std::size_t rest = i; rest < players.size(); ++rest) {
                refuse(change, players[rest], RosterReason::kRosterFull,
                       rosterFullMessage(context, players[rest]));
            }
            break;
        }
    }
    commitChange(context, *team, roster, week, change);
    return change;
}

RosterChange dropPlayers(Singleton& context, int franchiseId, int week,
                         std::span<const int> players) {
    RosterChange change;
    Team* team = changedFranchise(context, franchiseId, week, change);
    if (team == nullptr) {
        return change;
    }
    TeamRosterStruct roster;
    team->getRoster(week, roster);
    for (int id : players) {
        if (id > 0 && removeFromRoster(roster, id)) {
            change.changed.push_back(id);
        } else {
            refuse(change, id, RosterReason::kNotOnRoster,
                   playerLabel(context, id) + " is not on the roster of " + franchiseName(*team) +
                       ".");
        }
    }
    commitChange(context, *team, roster, week, change);
    return change;
}

RosterChange setActive(Singleton& context, int franchiseId, int week, std::span<const int> players,
                       bool active) {
    RosterChange change;
    Team* team = changedFranchise(context, franchiseId, week, change);
    if (team == nullptr) {
        return change;
    }
    TeamRosterStruct roster;
    team->getRoster(week, roster);
    for (int id : players) {
        int place = id > 0 ? placeOf(roster, id) : -1;
        if (place < 0) {
            refuse(change, id, RosterReason::kNotOnRoster,
                   playerLabel(context, id) + " is not on the roster of " + franchiseName(*team) +
                       ".");
        } else if (roster.active(place) == active) {
            refuse(change, id,
                   active ? RosterReason::kAlreadyActive : RosterReason::kAlreadyBenched,
                   playerLabel(context, id) +
                       (active ? " is already active." : " is already on the bench."));
        } else {
            roster.setFlag(place, active ? 1 : 0);
            change.changed.push_back(id);
        }
    }
    commitChange(context, *team, roster, week, change);
    return change;
}

namespace {

TradeResult tradeRefused(TradeReason reason, std::string message) {
    return TradeResult{reason == TradeReason::kBadWeek ? kBadWeek : kFailed, reason,
                       std::move(message)};
}

// One franchise of a trade with its roster of the week and the player it gives.
struct Trader {
    Team* team = nullptr;
    int gives = 0;
    TeamRosterStruct roster;
};

TradeResult findTraders(Singleton& context, int week, TradeSide one, TradeSide two, Trader& a,
                        Trader& b) {
    if (!isWeekSlot(week)) {
        return tradeRefused(TradeReason::kBadWeek,
                            "Week " + std::to_string(week + 1) + " is not a week of the season.");
    }
    for (auto [side, trader] : {std::pair{one, &a}, std::pair{two, &b}}) {
        trader->team = findFranchise(context, side.franchise);
        if (trader->team == nullptr) {
            return tradeRefused(TradeReason::kUnknownFranchise,
                                "No franchise has the id " + std::to_string(side.franchise) + ".");
        }
        trader->gives = side.player;
        trader->team->getRoster(week, trader->roster);
    }
    if (a.team == b.team) {
        return tradeRefused(TradeReason::kSameFranchise, "A franchise cannot trade with itself.");
    }
    if (a.team->getValue(kFranchiseLeague, kAllWeeks) !=
        b.team->getValue(kFranchiseLeague, kAllWeeks)) {
        return tradeRefused(TradeReason::kOtherLeague, franchiseName(*a.team) + " and " +
                                                           franchiseName(*b.team) +
                                                           " play in different leagues.");
    }
    return {};
}

TradeResult checkGiver(Singleton& context, const Trader& giver) {
    if (giver.gives <= 0 || placeOf(giver.roster, giver.gives) < 0) {
        return tradeRefused(TradeReason::kNotOnRoster, playerLabel(context, giver.gives) +
                                                           " is not on the roster of " +
                                                           franchiseName(*giver.team) + ".");
    }
    return {};
}

// Whether the receiver may take the giver's player once its own has left.
TradeResult checkReceiver(Singleton& context, int week, const Trader& receiver,
                          const Trader& giver) {
    const Player* incoming = findPlayer(context, giver.gives);
    if (incoming == nullptr) {
        return tradeRefused(TradeReason::kNotOnRoster,
                            "No player has the id " + std::to_string(giver.gives) + ".");
    }
    DraftRules rules(context, *receiver.team, week, giver.team);
    if (const Player* outgoing = findPlayer(context, receiver.gives)) {
        rules.release(*outgoing);
    }
    RosterReason reason = rules.check(*incoming);
    switch (reason) {
        case RosterReason::kNone:
            return {};
        case RosterReason::kOnRoster:
            return tradeRefused(TradeReason::kAlreadyHeld, rules.explain(*incoming, reason));
        case RosterReason::kPositionFull:
            return tradeRefused(TradeReason::kPositionFull, rules.explain(*incoming, reason));
        default:
            return tradeRefused(TradeReason::kHeldElsewhere, rules.explain(*incoming, reason));
    }
}

TradeResult checkTrade(Singleton& context, int week, const Trader& a, const Trader& b) {
    for (const TradeResult& result :
         {checkGiver(context, a), checkGiver(context, b), checkReceiver(context, week, b, a),
          checkReceiver(context, week, a, b)}) {
        if (result.reason != TradeReason::kNone) {
            return result;
        }
    }
    return {};
}

void exchange(Trader& a, Trader& b) {
    removeFromRoster(a.roster, a.gives);
    removeFromRoster(b.roster, b.gives);
    addToRoster(a.roster, b.gives);
    addToRoster(b.roster, a.gives);
}

// Both rosters are written or neither; a failure reloads the franchises.
TradeResult saveTrade(Singleton& context, int week, Trader& a, Trader& b) {
    std::string error = "The trade could not be saved";
    int status = runAsWhole(context, "trade", {SeasonFile::Team}, [&] {
        for (Trader* trader : {&a, &b}) {
            if (trader->team->saveRoster(trader->roster, week) != kOk) {
                error = saveError(context, *trader->team);
                return kFailed;
            }
        }
        return kOk;
    });
    if (status != kOk) {
        return tradeRefused(TradeReason::kSaveFailed, error + ". Nothing was traded.");
    }
    return {};
}

}  // namespace

TradeResult tradePlayers(Singleton& context, int week, TradeSide one, TradeSide two) {
    Trader a;
    Trader b;
    TradeResult result = findTraders(context, week, one, two, a, b);
    if (result.reason == TradeReason::kNone) {
        result = checkTrade(context, week, a, b);
    }
    if (result.reason != TradeReason::kNone) {
        return result;
    }
    exchange(a, b);
    result = saveTrade(context, week, a, b);
    if (result.reason == TradeReason::kNone) {
        result.message = "[ " + playerLabel(context, a.gives) + " ] was traded to " +
                         franchiseName(*b.team) + "\n[ " + playerLabel(context, b.gives) +
                         " ] was traded to " + franchiseName(*a.team);
    }
    return result;
}

PlyrList draftedPlayers(Singleton& context, int league, int franchise) {
    PlyrList players;
    for (const TrackDraft* pick : context.draftQuery().franchisePicks(league, franchise)) {
        if (Player* player =
                pick->isDrafted() ? findPlayer(context, pick->getValue(kDraftPlayer)) : nullptr) {
            players.push_back(player);
        }
    }
    std::stable_sort(players.begin(), players.end(), [](const Player* a, const Player* b) {
        return a->getValue(kPlayerPosition, kAllWeeks) < b->getValue(kPlayerPosition, kAllWeeks);
    });
    return players;
}

namespace {

// A franchise of the league with the pick that holds the player it gives.
struct DraftTrader {
    Team* team = nullptr;
    TrackDraft* pick = nullptr;
};

TradeResult findDraftTrader(Singleton& context, int league, TradeSide side, DraftTrader& trader) {
    trader.team = findFranchise(context, side.franchise);
    if (trader.team == nullptr || trader.team->getValue(kFranchiseLeague, kAllWeeks) != league) {
        return tradeRefused(TradeReason::kUnknownFranchise, "CRITICAL - Team not found");
    }
    trader.pick =
        side.player > 0 ? findPickOfPlayer(context, league, side.franchise, side.player) : nullptr;
    if (trader.pick == nullptr) {
        return tradeRefused(TradeReason::kNotDrafted, "CRITICAL - Draft item not found");
    }
    return {};
}

// Players shared between franchises may still not reach a franchise twice;
// otherwise each is drafted once and a trade only moves him.
std::string sharedTradeRefusal(Singleton& context, int league, TradeSide gives,
                               TradeSide receives) {
    if (context.preferences().get(kPrefDraftSharedPlayers) == 0) {
        return {};
    }
    return DraftAvailability(context, league, receives.franchise).refusal(gives.player);
}

}  // namespace

TradeResult tradeDraftedPlayers(Singleton& context, int league, TradeSide one, TradeSide two) {
    if (one.franchise == two.franchise) {
        return tradeRefused(TradeReason::kSameFranchise, "A franchise cannot trade with itself.");
    }
    DraftTrader a;
    DraftTrader b;
    for (auto [side, trader] : {std::pair{one, &a}, std::pair{two, &b}}) {
        if (TradeResult found = findDraftTrader(context, league, side, *trader);
            found.reason != TradeReason::kNone) {
            return found;
        }
    }
    for (auto [gives, receives] : {std::pair{one, two}, std::pair{two, one}}) {
        if (std::string why = sharedTradeRefusal(context, league, gives, receives); !why.empty()) {
            return tradeRefused(TradeReason::kAlreadyHeld, why);
        }
    }
    if (tradePicks(context, *a.pick, *b.pick) != kOk) {
        return tradeRefused(TradeReason::kSaveFailed, "The trade could not be saved: " +
                                                          context.draftFile().db().lastError() +
                                                          ". Nothing was traded.");
    }
    TradeResult result;
    result.message = "[ " + playerLabel(context, one.player) + " ] was traded to " +
                     franchiseName(*b.team) + "\n\n[ " + playerLabel(context, two.player) +
                     " ] was traded to " + franchiseName(*a.team);
    return result;
}

}  // namespace qff
