#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "data02/diag/Status.h"

namespace qff {

class Singleton;
class Player;
using PlyrList = std::vector<Player*>;

// The team unit (QB to PK) that sums an individual player's statistics of
// his NFL team and position; null for a team unit or a team without one.
Player* summingUnit(const Player& player);

// What a field of a player's week counts, which decides the values it takes.
enum class EntryKind {
    // A number of plays: 0 to 127, what its byte keeps.
    Count,
    // Yards, possibly negative: what a 16-bit field keeps.
    Yards,
    // The length in yards of one touchdown or field goal; 0 is no score.
    Length,
    // Bonus points, which may be negative: what a signed byte keeps.
    Bonus,
};

struct EntryRange {
    int low;
    int high;
};
EntryRange entryRange(EntryKind kind);

// One value of a player's week that is typed in by hand, with the name a
// message gives it.
struct EntryField {
    int code;
    EntryKind kind;
    std::string name;
};

// The fields of a stored position: the team defense its defensive statistics,
// the team special teams its special-team statistics, every individual player
// his offense and special-team statistics; every one of them the bonus
// points. Empty for the QB to PK team units, which carry the sums of their
// team's players, and for positions no player has.
std::vector<EntryField> entryFields(int position);

// Statistic code to value.
using StatValues = std::map<int, int>;

// What reading or entering a player's week came to. A refusal (kBadValue,
// kBadWeek) names the field it is about in `code` where there is one; the
// message says why in words for the user.
struct EntryResult {
    int status = kOk;
    std::string message;
    int code = 0;
    bool ok() const { return status == kOk; }
};

// Every field of the player's position with its stored value of the week.
EntryResult readPlayerWeek(Singleton& context, int playerId, int week, StatValues& values);

// Stores the given values of a player's week; the fields not given keep
// theirs. The lengths of each group of touchdowns or field goals are packed
// from its first slot. An individual player's team unit (QB to PK) loses his
// old values of the week and gains the new ones, so it stays the sum of its
// players. Refused, changing nothing, for a week outside the season, a team
// unit carrying sums, a code the position does not keep, a value outside its
// range, or a unit total its record cannot keep. The player and the unit are
// written together or not at all; when the write fails the player cache is
// read again from the file, so players held from it before are gone.
// Entering the values a week already holds writes nothing.
EntryResult enterPlayerWeek(Singleton& context, int playerId, int week, const StatValues& values);

// The players of an NFL team whose statistics are typed in: its individual
// players and its team defense and special teams, by position, then name.
PlyrList entryPlayers(Singleton& context, int nflTeam);

// The NFL team and player the statistics entry showed last (remembered
// settings 10007 and 10008); -1 and 0 when none is remembered.
struct EntryChoice {
    int nflTeam = -1;
    int playerId = 0;
};
EntryChoice rememberedEntryChoice(Singleton& context);
// Remembers them for the next time and saves the remembered settings.
EntryResult rememberEntryChoice(Singleton& context, EntryChoice choice);

}  // namespace qff
