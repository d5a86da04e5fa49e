#include "data02/league/Draftorder.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/season/Single.h"
#include "data02/season/Whole.h"

namespace qff {
namespace {

constexpr int kEndOfRound = 99;

std::vector<int> leagueFranchiseIds(Singleton& context, int league) {
    int values[] = {league};
    std::vector<int> ids;
    for (const Team* team :
         context.mapFactory().franchises().selectByValues(kFranchiseLeague, values)) {
        ids.push_back(team->id());
    }
    return ids;
}

// A uniform shuffle that ends whatever the generator returns.
std::vector<int> drawRound(const std::vector<int>& franchises, const DraftRandom& random) {
    std::vector<int> order = franchises;
    for (std::size_t i = order.size(); i > 1; --i) {
        std::swap(order[i - 1], order[random() % i]);
    }
    return order;
}

std::vector<int> reversed(std::vector<int> order) {
    std::reverse(order.begin(), order.end());
    return order;
}

int addPlannedPick(Singleton& context, int league, int franchise, int round, int number) {
    DraftQuery& drafts = context.draftQuery();
    Owned<TrackDraft> pick = drafts.create();
    if (!pick) {
        return kNoMemory;
    }
    pick->setValue(kDraftLeague, league);
    pick->setValue(kDraftFranchise, franchise);
    pick->setValue(kDraftPlayer, 0);
    pick->setValue(kDraftRound, round);
    pick->setValue(kDraftPick, number);
    return drafts.add(pick);
}

int addRound(Singleton& context, int league, int round, const std::vector<int>& order) {
    for (std::size_t i = 0; i < order.size(); ++i) {
        int status = addPlannedPick(context, league, order[i], round, static_cast<int>(i) + 1);
        if (status != kOk) {
            return status;
        }
    }
    return kOk;
}

int deleteLeaguePicks(Singleton& context, int league) {
    MapFactory& caches = context.mapFactory();
    for (TrackDraft* pick : context.draftQuery().leaguePicks(league)) {
        if (int status = caches.remove(caches.drafts(), pick); status != kOk) {
            return status;
        }
    }
    return kOk;
}

std::vector<int> roundOrder(SerpentineKind kind, int round, const std::vector<int>& previous,
                            const std::vector<int>& first, const std::vector<int>& franchises,
                            const DraftRandom& random) {
    if (round == 1 || (kind == SerpentineKind::Random && round % 2 == 1)) {
        return drawRound(franchises, random);
    }
    if (kind == SerpentineKind::True && round > 2) {
        return round % 2 == 1 ? first : reversed(first);
    }
    return reversed(previous);
}

// The league's picks give way to a planned pick per franchise and round.
int replacePicks(Singleton& context, int league, int rounds, SerpentineKind kind,
                 const std::vector<int>& franchises, const DraftRandom& random,
                 std::string& failure) {
    if (int status = deleteLeaguePicks(context, league); status != kOk) {
        failure = "The league's old draft picks could not all be deleted.";
        return status;
    }
    std::vector<int> first;
    std::vector<int> order;
    for (int round = 1; round <= rounds; ++round) {
        order = roundOrder(kind, round, order, first, franchises, random);
        if (round == 1) {
            first = order;
        }
        if (int status = addRound(context, league, round, order); status != kOk) {
            return status;
        }
    }
    return kOk;
}

}  // namespace

DraftOrderLoss draftOrderLoss(Singleton& context, int league) {
    DraftOrderLoss loss;
    for (const TrackDraft* pick : context.draftQuery().leaguePicks(league)) {
        ++loss.picks;
        loss.drafted += pick->isDrafted() ? 1 : 0;
    }
    return loss;
}

DraftOrderResult generateDraftOrder(Singleton& context, int league, SerpentineKind kind,
                                    const DraftRandom& random) {
    DraftChange unknown;
    const League* record = draftLeague(context, league, unknown);
    if (record == nullptr) {
        return {unknown.status, unknown.message, 0};
    }
    std::vector<int> franchises = leagueFranchiseIds(context, league);
    if (franchises.empty()) {
        return {kFailed, "The league has no franchises, so there is no draft order to generate.",
                0};
    }
    int rounds = draftRounds(*record);
    std::string failure;
    int status = runAsWhole(context, "draft order", {SeasonFile::Draft}, [&] {
        return replacePicks(context, league, rounds, kind, franchises, random, failure);
    });
    if (status != kOk) {
        return {status, failure.empty() ? "The draft order could not be stored." : failure, 0};
    }
    return {kOk, {}, rounds * static_cast<int>(franchises.size())};
}

namespace {

DraftChange storeOrder(Singleton& context, const std::function<int()>& work) {
    return storeAsWhole(context, "draft order", {SeasonFile::Draft},
                        "The draft order could not be stored", work);
}

}  // namespace

DraftChange addToDraftOrder(Singleton& context, int league, int franchise, int round) {
    DraftChange change;
    const League* record = draftLeague(context, league, change);
    if (record == nullptr) {
        return change;
    }
    std::string why = franchiseRefusal(context, *record, franchise);
    if (why.empty()) {
        why = roundRefusal(*record, round);
    }
    if (why.empty()) {
        why = oncePerRoundRefusal(context, *record, franchise, round);
    }
    if (!why.empty()) {
        return {kFailed, why};
    }
    return storeOrder(
        context, [&] { return addPlannedPick(context, league, franchise, round, kEndOfRound); });
}

DraftChange removeFromDraftOrder(Singleton& context, int league, PickPlace place) {
    return removeFromDraftOrder(context, league, place.round, std::span<const int>(&place.pick, 1));
}

DraftChange removeFromDraftOrder(Singleton& context, int league, int round,
                                 std::span<const int> picks) {
    DraftChange change;
    if (draftLeague(context, league, change) == nullptr) {
        return change;
    }
    DraftQuery& drafts = context.draftQuery();
    DraftList chosen;
    for (int number : picks) {
        TrackDraft* pick = drafts.pickAt(league, {round, number});
        if (pick == nullptr) {
            return {kFailed, missingPickMessage({round, number})};
        }
        if (std::find(chosen.begin(), chosen.end(), pick) == chosen.end()) {
            chosen.push_back(pick);
        }
    }
    return storeOrder(context, [&] {
        for (TrackDraft* pick : chosen) {
            if (int status = drafts.remove(*pick); status != kOk) {
                return status;
            }
        }
        return kOk;
    });
}

DraftChange moveDraftPickTo(Singleton& context, int league, PickPlace place, int toPlace) {
    DraftChange change;
    if (draftLeague(context, league, change) == nullptr) {
        return change;
    }
    DraftList picks = context.draftQuery().roundInOrder(league, place.round);
    auto from = std::find_if(picks.begin(), picks.end(), [&place](const TrackDraft* p) {
        return p->getValue(kDraftPick) == place.pick;
    });
    if (from == picks.end()) {
        return {kFailed, missingPickMessage(place)};
    }
    int count = static_cast<int>(picks.size());
    if (toPlace < 1 || toPlace > count) {
        return {kFailed, "Round " + std::to_string(place.round) + " has " + std::to_string(count) +
                             (count == 1 ? " pick" : " picks") + "; there is no place " +
                             std::to_string(toPlace) + " in it."};
    }
    auto to = picks.begin() + (toPlace - 1);
    if ((*to)->isDrafted() != (*from)->isDrafted()) {
        return {kFailed, "Picks already made stay ahead of the picks still to be made."};
    }
    if (from == to) {
        return change;
    }
    if (from < to) {
        std::rotate(from, from + 1, to + 1);
    } else {
        std::rotate(to, from, from + 1);
    }
    return storeOrder(context, [&] { return DraftQuery::numberInOrder(picks); });
}

DraftChange moveDraftPick(Singleton& context, int league, int round, int pickNumber, bool up) {
    DraftList picks = context.draftQuery().roundInOrder(league, round);
    auto at = std::find_if(picks.begin(), picks.end(), [pickNumber](const TrackDraft* p) {
        return p->getValue(kDraftPick) == pickNumber;
    });
    if (at == picks.end() || (up && at == picks.begin()) || (!up && at + 1 == picks.end())) {
        return {};
    }
    auto other = up ? at - 1 : at + 1;
    if ((*other)->isDrafted() != (*at)->isDrafted()) {
        return {};
    }
    int toPlace = static_cast<int>(other - picks.begin()) + 1;
    return moveDraftPickTo(context, league, {round, pickNumber}, toPlace);
}

}  // namespace qff
