#pragma once

#include <cstdint>
#include <functional>
#include <string>

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

// Adds a planned pick for the franchise at the end of the round.
int addToDraftOrder(Singleton& context, int league, int franchise, int round);

// Exchanges the pick numbers of a pick and its neighbour above (or below);
// nothing happens at the top (bottom) of the round or for a missing pick.
int moveDraftPick(Singleton& context, int league, int round, int pickNumber, bool up);

}  // namespace qff
