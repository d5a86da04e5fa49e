#include "data02/league/Draftpages.h"

#include <algorithm>
#include <map>
#include <set>

#include "data02/league/Listhelp.h"
#include "data02/model/Legqry.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/scoring/Point_sum.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

constexpr int kPlayersPerRoster = 32;

const Player* playerOf(Singleton& context, int id) {
    return context.playerQuery().findOne(kPlayerId, id);
}

// The stored position of a drafted player; -1 when he is not in the season.
int positionOf(Singleton& context, int id) {
    const Player* player = playerOf(context, id);
    return player == nullptr ? -1 : player->getValue(kPlayerPosition, kAllWeeks);
}

// The group a position counts under: team units under their individual one.
int groupOf(int position) {
    int group = position % Pro::kUnitPositionBase;
    return position >= 0 && group < kDraftPositionGroups ? group : -1;
}

struct FranchiseCounts {
    int drafted = 0;
    std::array<int, kDraftPositionGroups> byGroup{};
};

std::map<int, FranchiseCounts> countsByFranchise(Singleton& context, int league) {
    std::map<int, FranchiseCounts> counts;
    for (const TrackDraft* pick : context.draftQuery().leaguePicks(league)) {
        if (!pick->isDrafted()) {
            continue;
        }
        FranchiseCounts& franchise = counts[pick->getValue(kDraftFranchise)];
        ++franchise.drafted;
        int group = groupOf(positionOf(context, pick->getValue(kDraftPlayer)));
        if (group >= 0) {
            ++franchise.byGroup[group];
        }
    }
    return counts;
}

DraftFranchiseRow rowOf(Singleton& context, int franchise,
                        const std::map<int, FranchiseCounts>& counts) {
    DraftFranchiseRow row;
    row.franchise = franchise;
    row.name = franchiseNameOf(context, franchise);
    if (auto found = counts.find(franchise); found != counts.end()) {
        row.drafted = found->second.drafted;
        row.byGroup = found->second.byGroup;
    }
    return row;
}

std::string positionLabel(int position) {
    std::string name(Pro::positionLabel(true, position));
    return position < Pro::kUnitPositionBase ? name : "Team " + name;
}

}  // namespace

std::vector<DraftFranchiseRow> draftFranchiseRows(Singleton& context, int league, int round) {
    std::map<int, FranchiseCounts> counts = countsByFranchise(context, league);
    std::vector<DraftFranchiseRow> rows;
    std::set<int> withPick;
    for (const TrackDraft* pick : context.draftQuery().roundInOrder(league, round)) {
        DraftFranchiseRow row = rowOf(context, pick->getValue(kDraftFranchise), counts);
        row.pick = pick->getValue(kDraftPick);
        row.draftedThisRound = pick->isDrafted();
        withPick.insert(row.franchise);
        rows.push_back(std::move(row));
    }
    for (const Team* team : context.teamQuery().leagueFranchises(league)) {
        if (!withPick.contains(team->id())) {
            rows.push_back(rowOf(context, team->id(), counts));
        }
    }
    return rows;
}

std::vector<DraftedPickRow> draftedInRound(Singleton& context, int league, int round) {
    std::vector<DraftedPickRow> rows;
    for (const TrackDraft* pick : context.draftQuery().roundInOrder(league, round)) {
        if (!pick->isDrafted()) {
            continue;
        }
        DraftedPickRow row;
        row.pick = pick->getValue(kDraftPick);
        row.franchise = pick->getValue(kDraftFranchise);
        row.franchiseName = franchiseNameOf(context, row.franchise);
        row.player = pick->getValue(kDraftPlayer);
        if (const Player* player = playerOf(context, row.player)) {
            row.playerName = player->name();
            row.nflTeam = player->text(kPlayerTeam);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

DraftList franchiseRoundPicks(Singleton& context, int league, int franchise, int round) {
    DraftList picks = context.draftQuery().roundInOrder(league, round);
    std::erase_if(picks, [franchise](const TrackDraft* p) {
        return p->getValue(kDraftFranchise) != franchise;
    });
    return picks;
}

PlyrList franchiseRoundPlayers(Singleton& context, int league, int franchise, int round) {
    PlyrList players;
    for (const TrackDraft* pick : franchiseRoundPicks(context, league, franchise, round)) {
        if (Player* player = pick->isDrafted() ? context.playerQuery().findOne(
                                                     kPlayerId, pick->getValue(kDraftPlayer))
                                               : nullptr) {
            players.push_back(player);
        }
    }
    PlayerQuery& query = context.playerQuery();
    query.sortList(players, 0, kPlayerPosition, false);
    query.sortList(players, kPlayerPosition, kPlayerName, false);
    return players;
}

DraftSummary draftSummary(Singleton& context, int league) {
    DraftSummary summary;
    std::map<int, FranchiseCounts> counts = countsByFranchise(context, league);
    for (const Team* team : context.teamQuery().leagueFranchises(league)) {
        auto found = counts.find(team->id());
        summary.byFranchise.push_back(
            {team->text(kFranchiseName), found == counts.end() ? 0 : found->second.drafted});
    }
    const League* record = context.leagueQuery().findOne(kLeagueId, league);
    std::map<int, int> byRound;
    for (int round = 1; record != nullptr && round <= draftRounds(*record); ++round) {
        byRound[round] = 0;
    }
    std::map<int, int> byPosition;
    for (const TrackDraft* pick : context.draftQuery().leaguePicks(league)) {
        if (pick->isDrafted()) {
            ++byRound[pick->getValue(kDraftRound)];
            if (int position = positionOf(context, pick->getValue(kDraftPlayer)); position >= 0) {
                ++byPosition[position];
            }
        }
    }
    for (const auto& [round, count] : byRound) {
        summary.byRound.push_back({"Round " + std::to_string(round), count});
    }
    for (const auto& [position, count] : byPosition) {
        summary.byPosition.push_back({positionLabel(position), count});
    }
    return summary;
}

const std::array<DraftTask, 3>& draftTasks() {
    static const std::array<DraftTask, 3> kTasks = {{
        {"Establish all Franchises in league", "Franchises cannot be established during the draft.",
         "To set up Franchises exit this dialog then use the menu command Franchise + Setup "
         "Franchises.",
         false},
        {"Download the latest NFL Roster update", "NFL rosters cannot be updated during the draft.",
         "It is possible that the NFL rosters on your system are not 100% up to date. You will "
         "want to update your rosters before you start the draft. To do so use the menu command "
         "Players + Update NFL Rosters.",
         false},
        {"Review options for drafting players", "",
         "There are a number of roster options available to you. When in place they will limit "
         "the players available to you during the draft. To view the options press the button "
         "below.",
         true},
    }};
    return kTasks;
}

int typedDraftRounds(std::string_view text) {
    return std::clamp(readWholeNumber(text), 1, kMaxDraftRounds);
}

int typedPickMinutes(std::string_view text) {
    return std::clamp(readWholeNumber(text), kMinPickMinutes, kMaxPickMinutes);
}

DraftTimerSettings readDraftTimerSettings(Singleton& context) {
    const Preferences& prefs = context.preferences();
    return {prefs.get(kPrefDraftTimer) != 0,
            std::clamp(prefs.get(kPrefDraftTimerMinutes), kMinPickMinutes, kMaxPickMinutes),
            prefs.getText(kPrefWarningSound), prefs.getText(kPrefTimeUpSound)};
}

bool storeDraftTimerSettings(Singleton& context, const DraftTimerSettings& settings,
                             std::string& error) {
    for (const std::string& sound : {settings.oneMinuteSound, settings.timeUpSound}) {
        if (holdsControlCharacter(sound)) {
            error = controlCharacterMessage("Sound file");
            return false;
        }
    }
    Preferences& prefs = context.preferences();
    prefs.set(kPrefDraftTimer, settings.useTimer ? 1 : 0);
    prefs.set(kPrefDraftTimerMinutes,
              std::clamp(settings.minutesPerPick, kMinPickMinutes, kMaxPickMinutes));
    prefs.setText(kPrefWarningSound, settings.oneMinuteSound);
    prefs.setText(kPrefTimeUpSound, settings.timeUpSound);
    if (prefs.save() != kOk) {
        error = "The draft timer settings could not be stored: " + prefs.lastError();
        return false;
    }
    return true;
}

std::string replacedRostersText(Singleton& context, const DraftClosePlan& plan) {
    std::string text;
    for (const DraftRosterChange& change : plan.franchises) {
        if (!change.replaced.empty()) {
            text += (text.empty() ? "" : ", ") + franchiseNameOf(context, change.franchise) + " (" +
                    std::to_string(change.replaced.size()) + ")";
        }
    }
    return text;
}

std::vector<std::string> overflowNotes(Singleton& context, const DraftClosePlan& plan) {
    std::vector<std::string> notes;
    for (const DraftRosterChange& change : plan.franchises) {
        if (!change.overflow.empty()) {
            notes.push_back(franchiseNameOf(context, change.franchise) + " drafted " +
                            std::to_string(change.overflow.size()) + " players beyond the " +
                            std::to_string(kPlayersPerRoster) +
                            " roster places; they are left off the roster.");
        }
    }
    return notes;
}

}  // namespace qff
