#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "data02/model/Drftqry.h"

namespace qff {

class Singleton;

// True: round 1 is drawn, round 2 reverses it, and later rounds repeat the
// two. Random: every odd round is drawn afresh and each even round reverses
// the one before it.
enum class SerpentineKind { True, Random };

// The source of random values, injected so an order can be reproduced.
using DraftRandom = std::function<std::uint32_t()>;

// What regenerating a league's draft order would destroy.
struct DraftOrderLoss {
    int picks = 0;
    int drafted = 0;
};

DraftOrderLoss draftOrderLoss(Singleton& context, int league);

struct DraftOrderResult {
    int status = 0;
    std::string message;
    int picks = 0;
};

// Replaces every pick of the league (drafted ones included; the caller asks
// first, see draftOrderLoss) by planned picks for each round of its draft.
// Refused with a message when the league is unknown or has no franchises.
DraftOrderResult generateDraftOrder(Singleton& context, int league, SerpentineKind kind,
                                    const DraftRandom& random);

// Adds a planned pick for the franchise at the end of the round. Refused
// when the franchise is not of the league, the round is outside the draft,
// or the franchise has a pick in the round and teams can only pick once per
// round.
DraftChange addToDraftOrder(Singleton& context, int league, int franchise, int round);

// Takes a pick out of the round, planned or drafted; its player, if any, is
// offered again.
DraftChange removeFromDraftOrder(Singleton& context, int league, PickPlace place);
// Takes several picks of a round (by their numbers before any goes) out
// together, or none when one is missing.
DraftChange removeFromDraftOrder(Singleton& context, int league, int round,
                                 std::span<const int> picks);

// Moves a pick to another place (1 = first) of its round; the picks in
// between shift by one. Picks already made stay ahead of the planned ones, so
// a pick moves only among picks of its own kind.
DraftChange moveDraftPickTo(Singleton& context, int league, PickPlace place, int toPlace);

// Exchanges a pick with its neighbour above (or below), as the order's Move
// buttons do: nothing happens at the top (bottom) of the round, next to a
// pick of the other kind, or for a missing pick. Only a failed store is
// refused, with its message.
DraftChange moveDraftPick(Singleton& context, int league, int round, int pickNumber, bool up);

}  // namespace qff
