#include "data02/model/Plyrqry.h"

#include <algorithm>

#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {

void PlayerQueryNode::clear() {
    bytes_.fill(0);
    putValueList(bytes_, kValuesOffset, kMaxValues, {});
    bytes_[kMatchModeOffset] = 255;
}

std::string PlayerQueryNode::text() const {
    return getText(bytes_, kTextOffset, kTextSize);
}

void PlayerQueryNode::setText(std::string_view text) {
    putText(bytes_, kTextOffset, kTextSize, text);
}

std::vector<int> PlayerQueryNode::values() const {
    return getValueList(bytes_, kValuesOffset, kMaxValues);
}

int PlayerQueryNode::value(int i) const {
    return getI32(bytes_, kValuesOffset + 4 * static_cast<std::size_t>(i));
}

void PlayerQueryNode::setValue(int i, int value) {
    putI32(bytes_, kValuesOffset + 4 * static_cast<std::size_t>(i), value);
}

void PlayerQueryNode::setValues(std::span<const int> values) {
    putValueList(bytes_, kValuesOffset, kMaxValues, values);
}

void PlayerQueryNode::setSortKey(int i, int key, bool isDescending) {
    bytes_[kKeysOffset + i] = static_cast<std::uint8_t>(key);
    bytes_[kFlagsOffset + i] = isDescending ? 1 : 0;
}

PlayerQuery::PlayerQuery(Singleton& context) : context_(context) {}

void PlayerQuery::clear() {
    nodes_.clear();
}

int PlayerQuery::addNode(const PlayerQueryNode& node) {
    return addTrackedCopy(nodes_, context_.memory(), Kind::PlayerQueryNode, node, kMaxNodes);
}

const PlayerQueryNode* PlayerQuery::node(int i) const {
    return i >= 0 && i < static_cast<int>(nodes_.size()) ? nodes_[i].get() : nullptr;
}

PlyrList PlayerQuery::select(PlayerQueryNode& node) const {
    const RecordCache<Player>& players = context_.mapFactory().players();
    int code = node.selectCode();
    if (code == PlayerQueryNode::kByTeam || code == PlayerQueryNode::kByPosition) {
        std::string text = node.text();
        if (!text.empty() || node.values().empty()) {
            int value = code == PlayerQueryNode::kByTeam ? context_.pro().teamIndex(text)
                                                         : Pro::positionCode(text);
            std::vector<int> values{value};
            bool merged = context_.preferences().get(kPrefMergeWrTe) != 0;
            if (code == PlayerQueryNode::kByPosition && merged &&
                (value == kWR || value == kWR + kUnitOffset)) {
                values.push_back(value + 1);
            }
            node.setText("");
            node.setValues(values);
        }
    }
    switch (code) {
        case PlayerQueryNode::kById:
        case PlayerQueryNode::kByTeam:
        case PlayerQueryNode::kByPosition:
            return players.selectByValues(code, node.values());
        case PlayerQueryNode::kByName:
            return players.selectByText(kPlayerName, node.text());
        default: {
            PlyrList all;
            if (const auto* byId = players.intIndex(kPlayerId)) {
                for (const auto& [id, player] : *byId) {
                    all.push_back(player);
                }
            }
            return all;
        }
    }
}

Owned<PlyrList> PlayerQuery::run(std::source_location where) {
    PlayerQueryNode all;
    PlayerQueryNode& first = nodes_.empty() ? all : *nodes_.front();
    PlyrList selected = select(first);
    if (selected.empty()) {
        return {};
    }
    for (int k = 0; k < PlayerQueryNode::kSortKeys && selected.size() > 1; ++k) {
        int key = first.sortKey(k);
        if (key < 1 || key > 128) {
            break;
        }
        sortList(selected, k == 0 ? 0 : first.sortKey(k - 1), key, first.descending(k));
    }
    return context_.mapFactory().players().copyList(selected, where);
}

Player* PlayerQuery::findOne(int selectCode, int number) {
    PlayerQueryNode node;
    node.setSelectCode(selectCode);
    std::vector<int> values{number};
    node.setValues(values);
    PlyrList found = select(node);
    return found.empty() ? nullptr : found.front();
}

Player* PlayerQuery::findOne(int selectCode, std::string_view text) {
    PlayerQueryNode node;
    node.setSelectCode(selectCode);
    node.setText(text);
    PlyrList found = select(node);
    return found.empty() ? nullptr : found.front();
}

bool PlayerQuery::lessThan(const Player* a, const Player* b, int key, int week) const {
    switch (playerValueKind(key)) {
        case ValueKind::Text:
            return a->text(key) < b->text(key);
        case ValueKind::Points:
            return a->getPoints(key, week) < b->getPoints(key, week);
        default:
            return a->getValue(key, week) < b->getValue(key, week);
    }
}

int PlayerQuery::sortWeek() const {
    return sortWeek_.value_or(context_.seasonState().peek(kViewWeek));
}

void PlayerQuery::sortList(PlyrList& list, int previousKey, int key, bool descending) const {
    int week = sortWeek();
    sortWithinRuns(
        list, [&](const Player* a, const Player* b) { return lessThan(a, b, key, week); },
        [&](const Player* a, const Player* b) {
            return previousKey == 0 ||
                   (!lessThan(a, b, previousKey, week) && !lessThan(b, a, previousKey, week));
        },
        descending);
}

int PlayerQuery::reload(int year) {
    clear();
    return context_.mapFactory().reloadPlayers(year);
}

}  // namespace qff
