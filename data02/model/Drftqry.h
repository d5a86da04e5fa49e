#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <vector>

#include "data02/storage/Record.h"

namespace qff {

class Singleton;
class League;

using TrackDraftFile = RecordFile<kDraftRecordSize>;

enum DraftCode {
    kDraftLeague = 13000,
    kDraftFranchise = 13001,
    kDraftPlayer = 13002,
    kDraftRound = 13003,
    kDraftPick = 13004,
};

inline constexpr int kDefaultDraftRounds = 16;
inline constexpr int kMaxDraftRounds = 32;

// One draft pick: which player a franchise of a league took (or will take)
// with a numbered pick of a round. A player of 0 or less is a planned pick.
class TrackDraft : public StoredRecord<kDraftRecordSize> {
  public:
    static constexpr Kind kKind = Kind::Draft;
    static constexpr Kind kListKind = Kind::DraftList;
    static constexpr Kind kIntMapKind = Kind::DraftIntMap;
    // Picks have no text index; the cache still names a kind for one.
    static constexpr Kind kStrMapKind = Kind::StrMap;
    static constexpr std::array<int, 2> kIntIndexCodes{kDraftLeague, kDraftFranchise};
    static constexpr std::array<int, 0> kTextIndexCodes{};

    static constexpr int kFieldsSize = 20;
    static constexpr int kReservedSize = 288;
    static_assert(kFieldsSize + kReservedSize == kDraftRecordSize);

    TrackDraft(TrackDraftFile& file, Singleton& context);

    // -1 for a code that is not a draft code.
    int getValue(int code) const;
    // kUnknownIdStatus for a code that is not a draft code.
    int setValue(int code, int value);
    bool isDrafted() const { return getValue(kDraftPlayer) > 0; }

    void clear();
    // Rewrites the record and re-files it in the cache; no renumbering.
    int save();
    int insert();
    int remove();

    int indexValue(int code) const { return getValue(code); }
    std::string indexText(int) const { return {}; }

  private:
    Singleton& context_;
};

using DraftList = std::vector<TrackDraft*>;

// Where a pick stands: its round and its number within the round.
struct PickPlace {
    int round = 0;
    int pick = 0;
    bool operator==(const PickPlace&) const = default;
};

// Answers questions about the season's picks from the draft cache, and
// stores picks so that every round stays numbered 1, 2, 3 ...
class DraftQuery {
  public:
    explicit DraftQuery(Singleton& context) : context_(context) {}

    // In the order of the league's (franchise's) pick index: load order, then
    // picks added later.
    DraftList leaguePicks(int league) const;
    DraftList franchisePicks(int franchise) const;
    DraftList franchisePicks(int league, int franchise) const;
    DraftList roundPicks(int league, int round) const;
    TrackDraft* pickOf(int league, int franchise, int round) const;
    // The round in the order its picks are numbered: drafted picks first.
    DraftList roundInOrder(int league, int round) const;
    TrackDraft* pickAt(int league, PickPlace place) const;
    bool isPicked(int league, int player) const;
    bool hasPicks(int league) const;
    // Stable, so equal values keep their order; descending is its exact reverse.
    static void sortByField(DraftList& list, int code, bool descending);

    // A cleared pick of the caller's; null when it cannot be allocated.
    Owned<TrackDraft> create(std::source_location where = std::source_location::current());
    // add/update/remove store the pick and renumber its round. A pick that
    // cannot be stored stays with the caller.
    int add(Owned<TrackDraft>& pick);
    int update(TrackDraft& pick);
    int remove(TrackDraft& pick);
    // Drafted picks first by pick number (unnumbered ones last), then the
    // planned ones by pick number; they become 1, 2, 3 ...
    int renumberRound(int league, int round);
    // Numbers the picks 1, 2, 3 ... in the order given, writing those that change.
    static int numberInOrder(const DraftList& picks);

    int reload(int year);

  private:
    Singleton& context_;
};

// Players each franchise of the league drafts; 16 when the league holds
// a value outside 1 to 32. Reading it never writes the league.
int draftRounds(const League& league);
// "Teams can only pick once per round": the league does not allow several
// picks per round.
bool oncePerRound(const League& league);

// What a change to a league's draft did; when it was refused or failed,
// nothing was stored and the message says why.
struct DraftChange {
    int status = kOk;
    std::string message;
    bool ok() const { return status == kOk; }
};

// Who the draft still offers to one franchise of a league, worked out once
// so a whole player list can be checked. Normally a player goes to one
// franchise of a league; when players may be shared (preference 8018), only
// the franchise that already has him (picked or rostered in week 1) is
// refused.
class DraftAvailability {
  public:
    DraftAvailability(Singleton& context, int league, int franchise);
    bool offers(int player) const { return !holders_.contains(player); }
    // Why the player is not offered; empty when he is.
    std::string refusal(int player) const;

  private:
    // Who holds a player: a franchise by a pick, or its week-1 roster.
    struct Holder {
        int franchise;
        bool rostered;
    };

    Singleton& context_;
    bool shared_;
    std::unordered_map<int, Holder> holders_;
};

bool isOffered(Singleton& context, int league, int franchise, int player);

// Records a player for the franchise in the round: into a planned pick of
// the franchise in the round when it has one, else as a new pick at the end
// of the round. Refused when the franchise is not of the league, the round is
// outside the draft, the player is unknown or not offered, or the franchise
// has already picked in the round and teams can only pick once per round.
// The pick and the renumbering of its round are written as one.
DraftChange recordPick(Singleton& context, int league, int franchise, int round, int player);
int assignPlayer(Singleton& context, int league, int franchise, int round, int player);

// Runs `work`, which changes the season's draft (and league) file, as one
// piece (runAsWhole). A failure says `failure` ("The pick could not be
// stored") and, when a file gave one, the reason.
DraftChange storeAsWhole(Singleton& context, const std::string& operation,
                         std::initializer_list<SeasonFile> files, const std::string& failure,
                         const std::function<int()>& work);

// A franchise's name for messages; "Franchise 7" when there is none of the id.
std::string franchiseNameOf(Singleton& context, int franchise);

// The league by id, or null with the change refused and saying there is none.
const League* draftLeague(Singleton& context, int league, DraftChange& change);
// Why a draft change cannot name the franchise or the round; empty when it
// can.
std::string franchiseRefusal(Singleton& context, const League& league, int franchise);
std::string roundRefusal(const League& league, int round);
// What a change naming a pick the round does not have is told.
std::string missingPickMessage(PickPlace place);
// Why a franchise may not have one more pick in the round, else empty: the
// league's rule of one pick per round.
std::string oncePerRoundRefusal(Singleton& context, const League& league, int franchise, int round);

// What closing the draft would do to one franchise's rosters.
struct DraftRosterChange {
    int franchise = 0;
    // The drafted players that fill the 32 places, in the league's pick order.
    std::vector<int> roster;
    // Drafted players that find no place.
    std::vector<int> overflow;
    // Players of the rosters now in place that the drafted roster replaces.
    std::vector<int> replaced;
    bool changesRoster = false;
};

// What closing the draft of a league would do, for the caller to confirm.
struct DraftClosePlan {
    int league = 0;
    // Week 1 has statistics: its rosters are history and stay as they are.
    bool weekOnePlayed = false;
    // Weeks (0-based) that receive the drafted rosters: week 1 and every
    // later week without statistics.
    std::vector<int> weeks;
    // Every franchise with at least one drafted player.
    std::vector<DraftRosterChange> franchises;

    bool replacesPlayers() const;
    bool overflows() const;
    int changedCount() const;
};

DraftClosePlan planDraftClose(Singleton& context, int league);
// Writes the drafted rosters of the plan's franchises whose rosters change,
// every player on the bench. Refused (kFailed) when week 1 has statistics.
int closeDraft(Singleton& context, const DraftClosePlan& plan);

// The first pick of the franchise in the league that holds the player.
TrackDraft* findPickOfPlayer(Singleton& context, int league, int franchise, int player);

// Swaps the players of two drafted picks, each franchise keeping its pick.
// Both picks are written or neither.
int tradePicks(Singleton& context, TrackDraft& one, TrackDraft& two);

}  // namespace qff
