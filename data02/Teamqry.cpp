#include "Teamqry.h"

#include <algorithm>

#include "Mapfact.h"
#include "Single.h"
#include "State.h"

namespace qff {

void TeamQueryNode::clear() {
    bytes_.fill(0);
    for (int i = 0; i < kMaxValues; ++i) {
        putI32(bytes_, kValuesOffset + 4 * i, -1);
    }
    bytes_[kMatchModeOffset] = 255;
}

std::vector<int> TeamQueryNode::values() const {
    std::vector<int> result;
    for (int i = 0; i < kMaxValues; ++i) {
        int value = getI32(bytes_, kValuesOffset + 4 * i);
        if (value < 0) {
            break;
        }
        result.push_back(value);
    }
    return result;
}

void TeamQueryNode::setValues(std::span<const int> values) {
    for (int i = 0; i < kMaxValues; ++i) {
        putI32(bytes_, kValuesOffset + 4 * i, i < static_cast<int>(values.size()) ? values[i] : -1);
    }
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
    if (static_cast<int>(nodes_.size()) >= kMaxNodes) {
        return kFailed;
    }
    Owned<TeamQueryNode> copy = context_.memory().make<TeamQueryNode>(Kind::TeamQueryNode);
    if (!copy) {
        return kNoMemory;
    }
    *copy = node;
    nodes_.push_back(std::move(copy));
    return kOk;
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
