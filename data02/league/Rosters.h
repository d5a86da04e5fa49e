#pragma once

#include <array>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "data02/diag/Status.h"
#include "data02/model/Player.h"
#include "data02/model/Team.h"

namespace qff {

class Singleton;

inline constexpr int kIndividualPositions = 7;

// Why a player was left out of a roster change; kNone when it went through.
enum class RosterReason {
    kNone,
    kUnknownPlayer,
    kOnRoster,
    kPositionFull,
    kHeldElsewhere,
    kRosterFull,
    kNotOnRoster,
    kAlreadyActive,
    kAlreadyBenched,
};

struct RosterRefusal {
    int player = 0;
    RosterReason reason = RosterReason::kNone;
    std::string message;
};

// What a roster change did. A status other than kOk means nothing was
// stored: kBadWeek for a week outside 0..19, kFailed for an unknown
// franchise or a save that did not reach the file (`error` says which).
struct RosterChange {
    int status = kOk;
    std::string error;
    std::vector<int> changed;
    std::vector<RosterRefusal> refused;
};

// Who a franchise may still take onto its roster of a week: not a player it
// holds, not one of a position at its maximum (preferences 8019 to 8025, 99
// unrestricted, team units counted as their individual position) and, unless
// preference 8018 allows sharing, not one on another roster of its league.
class DraftRules {
  public:
    // A trading partner's roster does not count as holding anyone: the
    // player it gives leaves it.
    DraftRules(Singleton& context, const Team& franchise, int week, const Team* partner = nullptr);

    RosterReason check(const Player& player) const;
    std::string explain(const Player& player, RosterReason reason) const;
    // Counts a player as taken, so later checks of the same change see it.
    void take(const Player& player);
    // Stops counting a player who is leaving the roster.
    void release(const Player& player);

    // The individual position (0 to 6) a player counts under, -1 for none.
    int positionOf(const Player& player) const;
    int count(int position) const { return counts_[position]; }
    // The maximum of a position, or -1 when it is unrestricted.
    int limit(int position) const { return limits_[position]; }

  private:
    void countRoster();
    void collectHolders(const Team* partner);
    bool holds(int id) const;

    Singleton& context_;
    const Team& franchise_;
    int week_;
    std::array<int, kIndividualPositions> counts_{};
    std::array<int, kIndividualPositions> limits_{};
    std::vector<int> own_;
    std::unordered_map<int, const Team*> holders_;
};

// A franchise of the open season by its id, never by its name, which need
// not be unique to whoever typed it.
Team* findFranchise(Singleton& context, int franchiseId);

// Keeps, in their order, the candidates the franchise may draft in the week.
// kFailed for an unknown franchise, kBadWeek for a week outside 0..19.
int filterDraftable(Singleton& context, int franchiseId, int week, PlyrList& candidates);

// The players of an NFL team (team units too) by position, then name, that
// the franchise may still draft in the week; every player of the team when no
// franchise (0) is given.
PlyrList draftCandidates(Singleton& context, int franchiseId, int week, int nflTeam);

// Puts players on the bench of the week, each checked against the rules as
// the roster grows, and stops at 32 players; the roster is then saved with
// its forward copy to later weeks.
RosterChange addPlayers(Singleton& context, int franchiseId, int week,
                        std::span<const int> players);
RosterChange dropPlayers(Singleton& context, int franchiseId, int week,
                         std::span<const int> players);
// Sets the active flag of the players' entries of the week, then saves.
RosterChange setActive(Singleton& context, int franchiseId, int week, std::span<const int> players,
                       bool active);

// One side of an in-season exchange: a franchise and the player it gives.
struct TradeSide {
    int franchise = 0;
    int player = 0;
};

enum class TradeReason {
    kNone,
    kBadWeek,
    kUnknownFranchise,
    kSameFranchise,
    kOtherLeague,
    kNotOnRoster,
    kAlreadyHeld,
    kHeldElsewhere,
    kPositionFull,
    kNotDrafted,
    kSaveFailed,
};

struct TradeResult {
    int status = kOk;
    TradeReason reason = TradeReason::kNone;
    std::string message;
};

// Exchanges two players between the rosters of two franchises of one league
// from the week on (the traded players start on the bench), within the
// roster limits, or refuses with the reason. All or nothing: when the second
// franchise cannot be saved the first is restored.
TradeResult tradePlayers(Singleton& context, int week, TradeSide one, TradeSide two);

// The players a franchise has drafted in a league, ordered by position (pick
// order within one): what it can give in a draft-day trade.
PlyrList draftedPlayers(Singleton& context, int league, int franchise);

// Exchanges the drafted players of two franchises of a league: each keeps
// its pick, so its round, and receives the other's player. Rosters follow
// when the draft closes. Both picks are written or neither.
TradeResult tradeDraftedPlayers(Singleton& context, int league, TradeSide one, TradeSide two);

}  // namespace qff
