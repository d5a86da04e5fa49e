#include "Cache.h"

#include <climits>

namespace qff {

std::optional<int> Cache::find(Set set, const Key& key) const {
    const Map& m = map(set);
    auto it = m.find(tupleOf(key));
    if (it == m.end()) {
        return std::nullopt;
    }
    return it->second;
}

void Cache::store(Set set, const Key& key, int value) {
    map(set)[tupleOf(key)] = value;
}

void Cache::dropRange(Map& map, const Tuple& from, const Tuple& to) {
    map.erase(map.lower_bound(from), map.upper_bound(to));
}

void Cache::dropAll(Set set, int season) {
    dropRange(map(set), {season, INT_MIN, INT_MIN, INT_MIN, INT_MIN},
              {season, INT_MAX, INT_MAX, INT_MAX, INT_MAX});
}

void Cache::dropObject(Set set, int season, int id) {
    dropRange(map(set), {season, id, INT_MIN, INT_MIN, INT_MIN},
              {season, id, INT_MAX, INT_MAX, INT_MAX});
}

void Cache::dropWeek(Set set, int season, int id, int week) {
    dropRange(map(set), {season, id, week, INT_MIN, INT_MIN}, {season, id, week, INT_MAX, INT_MAX});
}

void Cache::clear() {
    players_.clear();
    franchises_.clear();
}

}  // namespace qff
