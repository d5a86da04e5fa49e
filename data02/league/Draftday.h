#pragma once

#include <optional>
#include <vector>

#include "data02/model/Drftqry.h"

namespace qff {

class Singleton;
class League;

// The latest pick that holds a player, in draft order: the highest round,
// then the highest pick number. Null when no player has been drafted.
TrackDraft* lastDraftedPick(Singleton& context, int league);

// Takes a drafted player back. The pick stays in its round, empty, so its
// franchise is on the clock again, and the player is offered again; removing
// the pick from the order is removeFromDraftOrder. Refused for a missing pick
// or one without a player.
DraftChange undoPick(Singleton& context, int league, PickPlace place);
// Takes back the last drafted pick (lastDraftedPick).
DraftChange undoLastPick(Singleton& context, int league);

// How a league drafts; a setting left empty stays as it is.
struct DraftSettings {
    // Players each franchise drafts, 1 to 32 (league field 12008).
    std::optional<int> rounds;
    // "Teams can only pick once per round" (league field 12009 = 0).
    std::optional<bool> oncePerRound;
};

// Why the settings cannot be stored, else an empty message: rounds outside 1
// to 32 or fewer than a round that holds a drafted player; one pick per round
// while a franchise has several picks in one round.
DraftChange checkDraftSettings(Singleton& context, int league, const DraftSettings& settings);
// Stores the settings in the league after those checks. Fewer rounds delete
// the planned picks of the rounds given up, with the league in one piece.
// Nothing is written when nothing changes.
DraftChange saveDraftSettings(Singleton& context, int league, const DraftSettings& settings);

// One pick of the draft: where it stands and who makes it (0 when no draft
// order names the franchise, so the commissioner chooses one).
struct DraftSlot {
    int round = 0;
    int pick = 0;
    int franchise = 0;
    bool operator==(const DraftSlot&) const = default;
};

// Where a league's draft stands, read from its picks alone, so a draft
// stopped and opened again goes on where it was.
struct DraftStatus {
    int rounds = 0;
    int franchises = 0;
    // Picks of the draft's rounds that hold a player.
    int made = 0;
    // Planned picks of the draft's rounds still to be made.
    int planned = 0;
    // No planned pick is left and every round has a pick per franchise.
    bool finished = false;
    // The first planned pick in round and pick order; without one, the next
    // pick of the first round in which fewer players than franchises have
    // been drafted. Empty when finished.
    DraftSlot onTheClock;
    // Up to three planned picks after it.
    std::vector<DraftSlot> next;
};

DraftStatus draftStatus(Singleton& context, const League& league);

}  // namespace qff
