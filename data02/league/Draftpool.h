#pragma once

#include <array>
#include <bitset>
#include <string_view>
#include <vector>

namespace qff {

class Singleton;
class Player;
using PlyrList = std::vector<Player*>;

// The position groups the assistant's player page filters on, in the order
// of its check boxes.
enum DraftFilter {
    kFilterQB,
    kFilterRB,
    kFilterWR,
    kFilterTE,
    kFilterPK,
    kFilterTeamQB,
    kFilterTeamRB,
    kFilterTeamWR,
    kFilterTeamTE,
    kFilterTeamPK,
    kFilterTeamDEF,
    kFilterTeamSPE,
    kDraftFilterCount
};

struct DraftFilterInfo {
    const char* caption;
    // The stored position code the filter lets through.
    int position;
};

const std::array<DraftFilterInfo, kDraftFilterCount>& draftFilters();

// A set bit is a checked filter.
using DraftFilterSet = std::bitset<kDraftFilterCount>;
// Every filter checked, as the page opens.
inline DraftFilterSet allDraftFilters() {
    return DraftFilterSet().set();
}

// The players the franchise may draft in the league, of the checked position
// groups, sorted by name (byte by byte, equal names in load order): every
// player the draft still offers it (DraftAvailability). The list borrows the
// cache's players.
PlyrList availablePlayers(Singleton& context, int league, int franchise, DraftFilterSet filters);

// What a key typed into the last-name box does.
enum class QuickKey {
    // A letter, space or comma: added to the box, then searched for.
    Search,
    // Backspace, '%', '\'' and tab: handled by the box, without a search.
    PassOn,
    // Any other key is refused.
    Refuse,
};
QuickKey quickSearchKey(char key);

// The row of the first listed player whose name begins with the text, in any
// mix of case; -1 when none does.
int quickSearchRow(const PlyrList& players, std::string_view text);

}  // namespace qff
