#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "data02/model/Drftqry.h"

namespace qff {

class Singleton;
class Player;
using PlyrList = std::vector<Player*>;

// What the draft-day assistant's pages show, worked out from the picks so
// the window only lays it out.

// The position groups of the franchise page: QB, RB, WR, TE, PK, DEF, SPE.
inline constexpr int kDraftPositionGroups = 7;

// One row of the franchise page: a pick of the round, or a franchise
// without a pick in it.
struct DraftFranchiseRow {
    int franchise = 0;
    std::string name;
    // The pick's number in the round; 0 for a franchise without a pick in it.
    int pick = 0;
    // Players the franchise has drafted in all rounds, and those per group,
    // team units counted under their individual position.
    int drafted = 0;
    std::array<int, kDraftPositionGroups> byGroup{};
    // The pick of the row holds a player.
    bool draftedThisRound = false;
};

// The round's picks in pick order (a franchise with several picks has a row
// for each), then every franchise of the league without a pick in the
// round, by name.
std::vector<DraftFranchiseRow> draftFranchiseRows(Singleton& context, int league, int round);

// A pick of the round that holds a player.
struct DraftedPickRow {
    int pick = 0;
    int franchise = 0;
    std::string franchiseName;
    int player = 0;
    std::string playerName;
    std::string nflTeam;
};

// The round's drafted picks in pick order.
std::vector<DraftedPickRow> draftedInRound(Singleton& context, int league, int round);

// The franchise's picks in the round, in pick order.
DraftList franchiseRoundPicks(Singleton& context, int league, int franchise, int round);
// The players of those picks, by position, then name.
PlyrList franchiseRoundPlayers(Singleton& context, int league, int franchise, int round);

// A line of the finished page: what is counted and how many.
struct DraftCount {
    std::string label;
    int count = 0;
    bool operator==(const DraftCount&) const = default;
};

// The finished page: drafted players per franchise (by name), per round
// (every round of the draft, and any later round that holds a pick) and per
// position drafted ("QB", "Team QB" ...).
struct DraftSummary {
    std::vector<DraftCount> byFranchise;
    std::vector<DraftCount> byRound;
    std::vector<DraftCount> byPosition;
};

DraftSummary draftSummary(Singleton& context, int league);

// One item of the assistant's list of things to do before the draft.
struct DraftTask {
    std::string_view item;
    std::string_view heading;
    std::string_view text;
    // The roster options can be set from the assistant.
    bool offersRosterOptions = false;
};

const std::array<DraftTask, 3>& draftTasks();

// Players per franchise as typed: an empty box is 1, any number is held to
// 1 to 32.
int typedDraftRounds(std::string_view text);

// The pick clock's settings (preferences 8037 to 8040). A sound of an empty
// name is not played.
struct DraftTimerSettings {
    bool useTimer = true;
    int minutesPerPick = 10;
    std::string oneMinuteSound;
    std::string timeUpSound;
    bool operator==(const DraftTimerSettings&) const = default;
};

inline constexpr int kMinPickMinutes = 1;
inline constexpr int kMaxPickMinutes = 99;

// Minutes per pick as typed (two digits): held to 1 to 99, an empty box 1.
int typedPickMinutes(std::string_view text);

DraftTimerSettings readDraftTimerSettings(Singleton& context);
// Stores the settings and writes the preferences; false with the reason when
// a sound name holds a control character (nothing stored) or the write fails.
bool storeDraftTimerSettings(Singleton& context, const DraftTimerSettings& settings,
                             std::string& error);

// The franchises whose rosters closing the draft takes players off, each
// with how many: "Hawks (2), Owls (1)"; empty when it takes none.
std::string replacedRostersText(Singleton& context, const DraftClosePlan& plan);
// One sentence per franchise that drafted more players than a roster holds.
std::vector<std::string> overflowNotes(Singleton& context, const DraftClosePlan& plan);

}  // namespace qff
