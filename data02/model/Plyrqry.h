#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data02/diag/Memory.h"
#include "data02/model/Player.h"

namespace qff {

class Singleton;

using PlyrList = std::vector<Player*>;

// A player selection as report definitions store it: what to select on, the
// values or text to match and up to four sort keys.
class PlayerQueryNode {
  public:
    static constexpr int kSize = 2096;
    static constexpr int kMaxValues = 500;
    static constexpr int kSortKeys = 4;

    enum Select { kAll = 0, kById = 1, kByName = 2, kByTeam = 3, kByPosition = 4 };

    PlayerQueryNode() { clear(); }
    void clear();

    int selectCode() const { return bytes_[0]; }
    void setSelectCode(int code) { bytes_[0] = static_cast<std::uint8_t>(code); }
    std::string text() const;
    void setText(std::string_view text);
    std::vector<int> values() const;
    void setValues(std::span<const int> values);
    // One stored value, also past the list's end marker, where report
    // selections keep single settings (the roster part at entry 99).
    int value(int i) const;
    void setValue(int i, int value);
    int sortKey(int i) const { return bytes_[kKeysOffset + i]; }
    bool descending(int i) const { return bytes_[kFlagsOffset + i] != 0; }
    void setSortKey(int i, int key, bool descending);

    std::array<std::uint8_t, kSize>& bytes() { return bytes_; }
    const std::array<std::uint8_t, kSize>& bytes() const { return bytes_; }

  private:
    static constexpr int kTextOffset = 1;
    static constexpr int kTextSize = 83;
    static constexpr int kValuesOffset = 84;
    static constexpr int kKeysOffset = 2084;
    static constexpr int kFlagsOffset = 2088;
    static constexpr int kMatchModeOffset = 2092;

    std::array<std::uint8_t, kSize> bytes_{};
};
static_assert(sizeof(PlayerQueryNode) == PlayerQueryNode::kSize);

// Selects and sorts players of the open season from the player cache.
class PlayerQuery {
  public:
    static constexpr int kMaxNodes = 10;

    explicit PlayerQuery(Singleton& context);

    void clear();
    int addNode(const PlayerQueryNode& node);
    // Players selected by the first node (all when none), sorted by its keys;
    // null when nothing matches.
    Owned<PlyrList> run(std::source_location where = std::source_location::current());
    Player* findOne(int selectCode, int number);
    Player* findOne(int selectCode, std::string_view text);
    // Orders a list by `key`; with a previous key, only within runs of equal
    // previous-key values, the runs keeping their places.
    void sortList(PlyrList& list, int previousKey, int key, bool descending) const;
    int reload(int year);

    // Sorting reads values of the season state's view week unless told a week.
    void setSortWeek(std::optional<int> week) { sortWeek_ = week; }

    const PlayerQueryNode* node(int i) const;

  private:
    PlyrList select(PlayerQueryNode& node) const;
    bool lessThan(const Player* a, const Player* b, int key, int week) const;

    int sortWeek() const;

    Singleton& context_;
    std::vector<Owned<PlayerQueryNode>> nodes_;
    std::optional<int> sortWeek_;
};

}  // namespace qff
