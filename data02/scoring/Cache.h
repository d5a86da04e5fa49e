#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>

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

    // Values are kept in 64 bits, as the sums of points they often are.
    std::optional<std::int64_t> find(Set set, const Key& key) const;
    void store(Set set, const Key& key, std::int64_t value);

    void drop(Set set, const Key& key);
    void dropAll(Set set, int season);
    void dropObject(Set set, int season, int id);
    void dropWeek(Set set, int season, int id, int week);
    void clear();

    std::size_t size(Set set) const;

  private:
    // Values are filed per object, so dropping an object or one of its weeks
    // touches only that object's values, and a lookup is two hash probes.
    using Values = std::unordered_map<std::uint64_t, std::int64_t>;
    using Objects = std::unordered_map<std::uint64_t, Values>;

    static std::uint64_t objectKey(int season, int id);
    static std::uint64_t valueKey(const Key& key);
    static int weekOf(std::uint64_t valueKey);

    Objects& objects(Set set) { return set == Set::Player ? players_ : franchises_; }
    const Objects& objects(Set set) const { return set == Set::Player ? players_ : franchises_; }

    Objects players_;
    Objects franchises_;
};

}  // namespace qff
