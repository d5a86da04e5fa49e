#include "data02/league/Listhelp.h"

#include <algorithm>
#include <cctype>

#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

constexpr std::string_view kUnsafe = "/*?\"<>|\\";

bool isUnsafe(char c, bool colonToo) {
    return kUnsafe.find(c) != std::string_view::npos || isControlCharacter(c) ||
           (colonToo && c == ':');
}

// A dot next to another dot could form "..", so runs of dots become '_'.
void breakDotRuns(std::string& name) {
    for (std::size_t i = 0; i + 1 < name.size(); ++i) {
        if (name[i] == '.' && name[i + 1] == '.') {
            name[i] = '_';
            name[i + 1] = '_';
        }
    }
}

}  // namespace

bool isControlCharacter(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool holdsControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), isControlCharacter);
}

std::string controlCharacterMessage(std::string_view label) {
    return std::string(label) + " cannot hold control characters.";
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string safeFileName(std::string_view text, bool colonToo) {
    std::string name(text);
    for (char& c : name) {
        if (isUnsafe(c, colonToo)) {
            c = '_';
        }
    }
    breakDotRuns(name);
    return name.empty() || name == "." ? "_" : name;
}

namespace {

PlayerQueryNode finderSelection(Singleton& context, PlayerSearch search, int value) {
    PlayerQueryNode node;
    switch (search) {
        case PlayerSearch::ByPosition:
            node.setSelectCode(PlayerQueryNode::kByPosition);
            // By name, so the query applies the WR/TE merge.
            node.setText(context.pro().positionName(false, value));
            node.setSortKey(0, kPlayerName, false);
            node.setSortKey(1, kPlayerTeam, false);
            break;
        case PlayerSearch::ByNflTeam: {
            node.setSelectCode(PlayerQueryNode::kByTeam);
            std::vector<int> team{value};
            node.setValues(team);
            node.setSortKey(0, kPlayerName, false);
            node.setSortKey(1, kPlayerPosition, false);
            break;
        }
        case PlayerSearch::ByName:
            node.setSelectCode(PlayerQueryNode::kAll);
            node.setSortKey(0, kPlayerName, false);
            node.setSortKey(1, kPlayerPosition, true);
            break;
    }
    return node;
}

}  // namespace

Owned<PlyrList> findPlayers(Singleton& context, PlayerSearch search, int value) {
    PlayerQuery& query = context.playerQuery();
    query.clear();
    query.addNode(finderSelection(context, search, value));
    Owned<PlyrList> players = query.run();
    query.clear();
    if (players && search == PlayerSearch::ByNflTeam) {
        std::erase_if(*players, [](const Player* player) { return player->isUnit(); });
        if (players->empty()) {
            return {};
        }
    }
    return players;
}

}  // namespace qff
