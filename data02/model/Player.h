#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "data02/diag/Status.h"
#include "data02/storage/Recfile.h"
#include "data02/storage/Statblock.h"
#include "data02/storage/Weeks.h"

namespace qff {

class Singleton;

using PlayerFile = RecordFile<kPlayerRecordSize>;

enum PlayerCode {
    kPlayerId = 1,
    kPlayerName = 2,
    kPlayerTeam = 3,
    kPlayerPosition = 4,
    kPlayerBonus = 5,
    kPlayerComboTeamPos = 6,
    kPlayerComboPos = 7,
    kPlayerWeek = 8,
    kPassYards = 12,
    kRushYards = 25,
    kReceivingYards = 38,
    kPassTdCount = 22,
    kRushTdCount = 35,
    kReceivedTdCount = 48,
    kKickedFgCount = 60,
    kSpecialTdCount = 71,
    kDefensiveTdCount = 87,
    kTotalPoints = 88,
    kFirstSeasonPoints = 95,
    kLastSeasonPoints = 101,
    kHighWeek = 102,
    kLowWeek = 103,
    kAverageWeek = 104,
    kTotalYards = 105,
    kTotalTds = 106,
    kTotalConversions = 107,
    kFirstWeekPoints = 110,
    kLastWeekPoints = 126,
};

enum PositionCode { kQB = 0, kRB = 1, kWR = 2, kTE = 3, kPK = 4, kDEF = 5, kSPE = 6 };
inline constexpr int kUnitOffset = 10;

// What codes of the player record hold and how they sort and show.
enum class ValueKind { Text, Identity, Points, Statistic };
ValueKind playerValueKind(int code);

// Identity of a player: id, NFL team, position and name.
struct PlayerInfo {
    static constexpr int kNameSize = 40;
    int id = 0;
    int team = -1;
    int position = -1;
    std::array<char, kNameSize> name{};
    void clear() { *this = PlayerInfo{}; }
};

// Twenty weekly statistics blocks in their stored layout.
struct PlayerStats {
    std::array<std::uint8_t, kWeekSlots * kStatBlockSize> blocks{};
    ByteSpan week(int w) { return ByteSpan(blocks).subspan(w * kStatBlockSize, kStatBlockSize); }
    ConstByteSpan week(int w) const {
        return ConstByteSpan(blocks).subspan(w * kStatBlockSize, kStatBlockSize);
    }
};

// One NFL player or team unit of the season with its weekly statistics.
class Player {
  public:
    static constexpr Kind kKind = Kind::Player;
    static constexpr Kind kListKind = Kind::PlyrList;
    static constexpr Kind kIntMapKind = Kind::PlyrIntMap;
    static constexpr Kind kStrMapKind = Kind::PlyrStrMap;
    static constexpr std::array<int, 3> kIntIndexCodes{kPlayerId, kPlayerTeam, kPlayerPosition};
    static constexpr std::array<int, 1> kTextIndexCodes{kPlayerName};
    static constexpr int kNameField = 30;
    static constexpr int kTeamOffset = 30;
    static constexpr int kPositionOffset = 31;
    static constexpr int kIdOffset = 32;
    static constexpr int kBlocksOffset = 34;
    static constexpr int kNoField = kNoBlockField;
    static constexpr int kUnknownText = 100;

    Player(PlayerFile& file, Singleton& context);

    int slot() const { return slot_; }
    int id() const { return info_->id; }
    int team() const { return info_->team; }
    // The stored position, without the WR/TE merge.
    int storedPosition() const { return info_->position; }
    std::string name() const;
    bool isUnit() const { return info_->position > 9; }
    const PlayerStats& stats() const { return *stats_; }

    int getValue(int code, int week) const;
    int getPoints(int code, int week) const;
    const char* getText(int code) const;
    std::string text(int code) const;
    int setValue(int code, int value, int week);
    int setText(int code, std::string_view text);

    void clear();
    void clearWeek(int week);
    int load();
    int save();
    int insert();

    // The unit of the player's NFL team and position that the unit totals
    // below change; null for a team unit or when the season has no such unit.
    Player* unit() const;
    void addToUnitTotals(int code, int week);
    void removeFromUnitTotals(int code, int week);

    int indexValue(int code) const { return getValue(code, kAllWeeks); }
    std::string indexText(int code) const { return text(code); }

  private:
    int blockValueOf(int code, int week) const;
    int weekValue(int code, int week) const;
    void changeUnitTotals(int code, int week, int direction);
    void storeInto(ByteSpan record) const;

    PlayerFile& file_;
    Singleton& context_;
    int slot_ = -1;
    Owned<PlayerInfo> info_;
    Owned<PlayerStats> stats_;
};

}  // namespace qff
