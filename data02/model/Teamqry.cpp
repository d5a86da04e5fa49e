#include "data02/model/Teamqry.h"

#include <algorithm>

#include "data02/model/Mapfact.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {

void TeamQueryNode::clear() {
    bytes_.fill(0);
    putValueList(bytes_, kValuesOffset, kMaxValues, {});
    bytes_[kMatchModeOffset] = 255;
}

std::vector<int> TeamQueryNode::values() const {
    return getValueList(bytes_, kValuesOffset, kMaxValues);
}

void TeamQueryNode::setValues(std::span<const int> values) {
    putValueList(bytes_, kValuesOffset, kMaxValues, values);
}

void TeamQueryNode::setSortKey(int i, int key, bool isDescending) {
    putI16(bytes_, kKeysOffset + 2 * i, key);
    bytes_[kFlagsOffset + i] = isDescending ? 1 : 0;
}

TeamQuery::TeamQuery(Singleton& context) : context_(context) {}

void TeamQuery::clear() {
    nodes_.clear();
}

int TeamQuery::addNode(const TeamQueryNode& node) {
    return addTrackedCopy(nodes_, context_.memory(), Kind::TeamQueryNode, node, kMaxNodes);
}

TeamList TeamQuery::allFranchises() const {
    TeamList all;
    if (const auto* byName = context_.mapFactory().franchises().textIndex(kFranchiseName)) {
        for (const auto& [name, team] : *byName) {
            all.push_back(team);
        }
    }
    return all;
}

TeamList TeamQuery::leagueFranchises(int league) const {
    TeamList all = allFranchises();
    std::erase_if(all, [league](const Team* t) {
        return t->getValue(kFranchiseLeague, kAllWeeks) != league;
    });
    return all;
}

TeamList TeamQuery::select(const TeamQueryNode& node) const {
    const RecordCache<Team>& teams = context_.mapFactory().franchises();
    int code = node.selectCode();
    if (code >= kFranchiseId && code <= kFranchiseLeague) {
        return teams.selectByValues(code, node.values());
    }
    if (code == kFranchiseName || code == kOwnerName) {
        return teams.selectByText(code, node.text());
    }
    return allFranchises();
}

Owned<TeamList> TeamQuery::run(std::source_location where) {
    TeamQueryNode all;
    const TeamQueryNode& first = nodes_.empty() ? all : *nodes_.front();
    TeamList selected = select(first);
    if (selected.empty()) {
        return {};
    }
    for (int k = 0; k < TeamQueryNode::kSortKeys && selected.size() > 1; ++k) {
        int key = first.sortKey(k);
        if (key < kFranchiseId || key > 2116) {
            break;
        }
        sortList(selected, k == 0 ? 0 : first.sortKey(k - 1), key, first.descending(k));
    }
    return context_.mapFactory().franchises().copyList(selected, where);
}

Team* TeamQuery::findOne(int code, int number) const {
    return context_.mapFactory().franchises().findFirst(code, number);
}

Team* TeamQuery::findOne(int code, std::string_view text) const {
    return context_.mapFactory().franchises().findFirst(code, text);
}

bool TeamQuery::lessThan(const Team* a, const Team* b, int key, int week) const {
    if (Team::isTextCode(key)) {
        return a->text(key) < b->text(key);
    }
    return a->getValue(key, week) < b->getValue(key, week);
}

void TeamQuery::sortList(TeamList& list, int previousKey, int key, bool descending) const {
    int week = context_.seasonState().peek(kViewWeek);
    sortWithinRuns(
        list, [&](const Team* a, const Team* b) { return lessThan(a, b, key, week); },
        [&](const Team* a, const Team* b) {
            return previousKey == 0 ||
                   (!lessThan(a, b, previousKey, week) && !lessThan(b, a, previousKey, week));
        },
        descending);
}

int TeamQuery::reload(int year) {
    clear();
    return context_.mapFactory().reloadFranchises(year);
}

}  // namespace qff
