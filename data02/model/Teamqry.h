#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data02/model/Team.h"

namespace qff {

class Singleton;

using TeamList = std::vector<Team*>;

// A franchise selection as report definitions store it.
class TeamQueryNode {
  public:
    static constexpr int kSize = 4196;
    static constexpr int kMaxValues = 1024;
    static constexpr int kSortKeys = 4;

    TeamQueryNode() { clear(); }
    void clear();

    int selectCode() const { return getI16(bytes_, 0); }
    void setSelectCode(int code) { putI16(bytes_, 0, code); }
    std::string text() const { return getText(bytes_, kTextOffset, kTextSize); }
    void setText(std::string_view text) { putText(bytes_, kTextOffset, kTextSize, text); }
    std::vector<int> values() const;
    void setValues(std::span<const int> values);
    int sortKey(int i) const { return getI16(bytes_, kKeysOffset + 2 * i); }
    bool descending(int i) const { return bytes_[kFlagsOffset + i] != 0; }
    void setSortKey(int i, int key, bool descending);

    std::array<std::uint8_t, kSize>& bytes() { return bytes_; }
    const std::array<std::uint8_t, kSize>& bytes() const { return bytes_; }

  private:
    static constexpr int kTextOffset = 2;
    static constexpr int kTextSize = 82;
    static constexpr int kValuesOffset = 84;
    static constexpr int kKeysOffset = 4180;
    static constexpr int kFlagsOffset = 4188;
    static constexpr int kMatchModeOffset = 4192;

    std::array<std::uint8_t, kSize> bytes_{};
};
static_assert(sizeof(TeamQueryNode) == TeamQueryNode::kSize);

// Selects and sorts franchises of the open season from the franchise cache.
class TeamQuery {
  public:
    static constexpr int kMaxNodes = 10;

    explicit TeamQuery(Singleton& context);

    void clear();
    int addNode(const TeamQueryNode& node);
    Owned<TeamList> run(std::source_location where = std::source_location::current());
    Team* findOne(int code, int number) const;
    Team* findOne(int code, std::string_view text) const;
    // Every franchise, ordered by name; of one league when `league` is given.
    TeamList allFranchises() const;
    TeamList leagueFranchises(int league) const;
    void sortList(TeamList& list, int previousKey, int key, bool descending) const;
    int reload(int year);

  private:
    TeamList select(const TeamQueryNode& node) const;
    bool lessThan(const Team* a, const Team* b, int key, int week) const;

    Singleton& context_;
    std::vector<Owned<TeamQueryNode>> nodes_;
};

}  // namespace qff
