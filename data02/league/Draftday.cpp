#include "data02/league/Draftday.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "data02/model/Legqry.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

constexpr std::size_t kNextSlots = 3;

std::pair<int, int> placeOf(const TrackDraft& pick) {
    return {pick.getValue(kDraftRound), pick.getValue(kDraftPick)};
}

}  // namespace

TrackDraft* lastDraftedPick(Singleton& context, int league) {
    TrackDraft* last = nullptr;
    for (TrackDraft* pick : context.draftQuery().leaguePicks(league)) {
        if (pick->isDrafted() && (last == nullptr || placeOf(*pick) > placeOf(*last))) {
            last = pick;
        }
    }
    return last;
}

DraftChange undoPick(Singleton& context, int league, PickPlace place) {
    DraftChange change;
    if (draftLeague(context, league, change) == nullptr) {
        return change;
    }
    DraftQuery& drafts = context.draftQuery();
    TrackDraft* pick = drafts.pickAt(league, place);
    if (pick == nullptr) {
        return {kFailed, missingPickMessage(place)};
    }
    if (!pick->isDrafted()) {
        return {kFailed, "Pick " + std::to_string(place.pick) + " of round " +
                             std::to_string(place.round) + " holds no player to take back."};
    }
    return storeAsWhole(context, "draft undo", {SeasonFile::Draft},
                        "The pick could not be taken back", [&] {
                            pick->setValue(kDraftPlayer, 0);
                            return drafts.update(*pick);
                        });
}

DraftChange undoLastPick(Singleton& context, int league) {
    DraftChange change;
    if (draftLeague(context, league, change) == nullptr) {
        return change;
    }
    const TrackDraft* last = lastDraftedPick(context, league);
    if (last == nullptr) {
        return {kFailed, "No player has been drafted in this league yet."};
    }
    return undoPick(context, league, {last->getValue(kDraftRound), last->getValue(kDraftPick)});
}

namespace {

std::string roundsRefusal(Singleton& context, int league, int rounds) {
    if (rounds < 1 || rounds > kMaxDraftRounds) {
        return "A draft has from 1 to " + std::to_string(kMaxDraftRounds) + " rounds, not " +
               std::to_string(rounds) + ".";
    }
    int highest = 0;
    for (const TrackDraft* pick : context.draftQuery().leaguePicks(league)) {
        if (pick->isDrafted()) {
            highest = std::max(highest, pick->getValue(kDraftRound));
        }
    }
    if (highest <= rounds) {
        return {};
    }
    return "Round " + std::to_string(highest) +
           " already holds drafted players, so the draft cannot have fewer than " +
           std::to_string(highest) + " rounds.";
}

std::string severalPicksRefusal(Singleton& context, int league) {
    // Keyed by round first, so the earliest round is the one named.
    std::map<std::pair<int, int>, int> counts;
    for (const TrackDraft* pick : context.draftQuery().leaguePicks(league)) {
        ++counts[{pick->getValue(kDraftRound), pick->getValue(kDraftFranchise)}];
    }
    for (const auto& [key, count] : counts) {
        if (count > 1) {
            return franchiseNameOf(context, key.second) + " has " + std::to_string(count) +
                   " picks in round " + std::to_string(key.first) +
                   "; remove all but one before teams can only pick once per round.";
        }
    }
    return {};
}

DraftList plannedPicksAbove(Singleton& context, int league, int rounds) {
    DraftList picks = context.draftQuery().leaguePicks(league);
    std::erase_if(picks, [rounds](const TrackDraft* p) {
        return p->isDrafted() || p->getValue(kDraftRound) <= rounds;
    });
    return picks;
}

int storeSettings(Singleton& context, League& league, const DraftSettings& settings,
                  const DraftList& givenUp) {
    for (TrackDraft* pick : givenUp) {
        if (int status = context.draftQuery().remove(*pick); status != kOk) {
            return status;
        }
    }
    if (settings.rounds) {
        league.setValue(kLeagueDraftRounds, *settings.rounds);
    }
    if (settings.oncePerRound) {
        league.setValue(kLeagueSeveralPicks, *settings.oncePerRound ? 0 : 1);
    }
    return league.save();
}

bool changesLeague(const League& league, const DraftSettings& settings) {
    return (settings.rounds && *settings.rounds != league.getValue(kLeagueDraftRounds)) ||
           (settings.oncePerRound && *settings.oncePerRound != oncePerRound(league));
}

}  // namespace

DraftChange checkDraftSettings(Singleton& context, int league, const DraftSettings& settings) {
    DraftChange change;
    if (draftLeague(context, league, change) == nullptr) {
        return change;
    }
    std::string why;
    if (settings.rounds) {
        why = roundsRefusal(context, league, *settings.rounds);
    }
    if (why.empty() && settings.oncePerRound.value_or(false)) {
        why = severalPicksRefusal(context, league);
    }
    return why.empty() ? change : DraftChange{kBadValue, why};
}

DraftChange saveDraftSettings(Singleton& context, int league, const DraftSettings& settings) {
    DraftChange change = checkDraftSettings(context, league, settings);
    if (!change.ok()) {
        return change;
    }
    League& record = *context.leagueQuery().findOne(kLeagueId, league);
    DraftList givenUp =
        settings.rounds ? plannedPicksAbove(context, league, *settings.rounds) : DraftList{};
    if (givenUp.empty() && !changesLeague(record, settings)) {
        return change;
    }
    return storeAsWhole(context, "draft settings", {SeasonFile::Leg, SeasonFile::Draft},
                        "The draft settings could not be stored",
                        [&] { return storeSettings(context, record, settings, givenUp); });
}

DraftStatus draftStatus(Singleton& context, const League& league) {
    int id = league.getValue(kLeagueId);
    DraftStatus status;
    status.rounds = draftRounds(league);
    status.franchises = static_cast<int>(context.teamQuery().leagueFranchises(id).size());
    std::vector<DraftSlot> planned;
    std::vector<int> draftedIn(status.rounds + 1, 0);
    for (int round = 1; round <= status.rounds; ++round) {
        for (const TrackDraft* pick : context.draftQuery().roundInOrder(id, round)) {
            if (pick->isDrafted()) {
                ++draftedIn[round];
            } else {
                planned.push_back(
                    {round, pick->getValue(kDraftPick), pick->getValue(kDraftFranchise)});
            }
        }
        status.made += draftedIn[round];
    }
    status.planned = static_cast<int>(planned.size());
    if (!planned.empty()) {
        status.onTheClock = planned.front();
        std::size_t following = std::min(planned.size() - 1, kNextSlots);
        status.next.assign(planned.begin() + 1, planned.begin() + 1 + following);
        return status;
    }
    for (int round = 1; round <= status.rounds; ++round) {
        if (draftedIn[round] < status.franchises) {
            status.onTheClock = {round, draftedIn[round] + 1, 0};
            return status;
        }
    }
    status.finished = true;
    return status;
}

}  // namespace qff
