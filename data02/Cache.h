#pragma once

#include <map>
#include <optional>
#include <tuple>

namespace qff {

// The memo of computed points. A value is keyed by everything it was computed
// from that can differ between two asks: the season, the object, the week,
// the league whose scoring system produced it, and the item code. Keeping the
// league in the key means two leagues with different scoring never share a value.
class Cache {
  public:
    enum class Set { Player, Franchise };

    struct Key {
        int season;
        int id;
        int week;
        int league;
        int code;
    };

    std::optional<int> find(Set set, const Key& key) const;
    void store(Set set, const Key& key, int value);

    void drop(Set set, const Key& key) { map(set).erase(tupleOf(key)); }
    void dropAll(Set set, int season);
    void dropObject(Set set, int season, int id);
    void dropWeek(Set set, int season, int id, int week);
    void clear();

    std::size_t size(Set set) const { return map(set).size(); }

  private:
    using Tuple = std::tuple<int, int, int, int, int>;
    using Map = std::map<Tuple, int>;

    static Tuple tupleOf(const Key& key) {
        return {key.season, key.id, key.week, key.league, key.code};
    }
    static void dropRange(Map& map, const Tuple& from, const Tuple& to);
    Map& map(Set set) { return set == Set::Player ? players_ : franchises_; }
    const Map& map(Set set) const { return set == Set::Player ? players_ : franchises_; }

    Map players_;
    Map franchises_;
};

}  // namespace qff
