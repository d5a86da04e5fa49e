#include "data02/scoring/Cache.h"

namespace qff {

std::uint64_t Cache::objectKey(int season, int id) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(season)) << 32) |
           static_cast<std::uint32_t>(id);
}

std::uint64_t Cache::valueKey(const Key& key) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.week)) << 40) |
           (static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.league) & 0xFFFFFu) << 20) |
           (static_cast<std::uint32_t>(key.code) & 0xFFFFFu);
}

int Cache::weekOf(std::uint64_t valueKey) {
    return static_cast<int>(valueKey >> 40);
}

std::optional<std::int64_t> Cache::find(Set set, const Key& key) const {
    const Objects& all = objects(set);
    auto object = all.find(objectKey(key.season, key.id));
    if (object == all.end()) {
        return std::nullopt;
    }
    auto value = object->second.find(valueKey(key));
    if (value == object->second.end()) {
        return std::nullopt;
    }
    return value->second;
}

void Cache::store(Set set, const Key& key, std::int64_t value) {
    objects(set)[objectKey(key.season, key.id)][valueKey(key)] = value;
}

void Cache::drop(Set set, const Key& key) {
    Objects& all = objects(set);
    auto object = all.find(objectKey(key.season, key.id));
    if (object != all.end()) {
        object->second.erase(valueKey(key));
    }
}

void Cache::dropAll(Set set, int season) {
    std::erase_if(objects(set), [season](const auto& entry) {
        return static_cast<int>(entry.first >> 32) == season;
    });
}

void Cache::dropObject(Set set, int season, int id) {
    objects(set).erase(objectKey(season, id));
}

void Cache::dropWeek(Set set, int season, int id, int week) {
    Objects& all = objects(set);
    auto object = all.find(objectKey(season, id));
    if (object != all.end()) {
        std::erase_if(object->second,
                      [week](const auto& entry) { return weekOf(entry.first) == week; });
    }
}

void Cache::clear() {
    players_.clear();
    franchises_.clear();
}

std::size_t Cache::size(Set set) const {
    std::size_t count = 0;
    for (const auto& [object, values] : objects(set)) {
        count += values.size();
    }
    return count;
}

}  // namespace qff
