#include "data02/league/Draftpool.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>

#include "data02/model/Drftqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

constexpr std::array<DraftFilterInfo, kDraftFilterCount> kFilters{{
    {"QB", kQB},
    {"RB", kRB},
    {"WR", kWR},
    {"TE", kTE},
    {"PK", kPK},
    {"Team QB", kUnitOffset + kQB},
    {"Team RB", kUnitOffset + kRB},
    {"Team WR", kUnitOffset + kWR},
    {"Team TE", kUnitOffset + kTE},
    {"Team PK", kUnitOffset + kPK},
    {"Team DEF", kUnitOffset + kDEF},
    {"TeamSPE", kUnitOffset + kSPE},
}};

// By the stored position, so the TE box lets tight ends through whether or
// not the preferences count them as wide receivers.
bool passes(const Player& player, DraftFilterSet filters) {
    for (int filter = 0; filter < kDraftFilterCount; ++filter) {
        if (filters.test(filter) && kFilters[filter].position == player.storedPosition()) {
            return true;
        }
    }
    return false;
}

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool beginsWith(const std::string& name, std::string_view text) {
    return name.size() >= text.size() &&
           std::equal(text.begin(), text.end(), name.begin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace

const std::array<DraftFilterInfo, kDraftFilterCount>& draftFilters() {
    return kFilters;
}

PlyrList availablePlayers(Singleton& context, int league, int franchise, DraftFilterSet filters) {
    DraftAvailability availability(context, league, franchise);
    std::vector<std::pair<std::string, Player*>> named;
    for (Player* player : context.mapFactory().players().list()) {
        if (passes(*player, filters) && availability.offers(player->id())) {
            named.emplace_back(player->name(), player);
        }
    }
    std::stable_sort(named.begin(), named.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    PlyrList players;
    players.reserve(named.size());
    for (const auto& entry : named) {
        players.push_back(entry.second);
    }
    return players;
}

QuickKey quickSearchKey(char key) {
    if (std::isalpha(static_cast<unsigned char>(key)) || key == ' ' || key == ',') {
        return QuickKey::Search;
    }
    if (key == '\b' || key == '%' || key == '\'' || key == '\t') {
        return QuickKey::PassOn;
    }
    return QuickKey::Refuse;
}

int quickSearchRow(const PlyrList& players, std::string_view text) {
    for (std::size_t row = 0; row < players.size(); ++row) {
        if (beginsWith(players[row]->name(), text)) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

}  // namespace qff
