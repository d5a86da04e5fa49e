#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "data02/model/Player.h"
#include "data02/storage/Record.h"

namespace qff {

class Singleton;
using PlyrList = std::vector<Player*>;

using TeamFile = RecordFile<kTeamRecordSize>;

enum TeamCode {
    kFranchiseId = 2000,
    kFranchiseDivision = 2001,
    kFranchiseLeague = 2002,
    kFranchiseName = 2003,
    kFranchiseDivisionName = 2004,
    kOwnerName = 2005,
    kOwnerAddress = 2006,
    kOwnerCity = 2007,
    kOwnerState = 2008,
    kOwnerZip = 2009,
    kOwnerHomePhone = 2010,
    kOwnerWorkPhone = 2011,
    kOwnerEmail = 2012,
    kOwnerCityLine = 2013,
    kFranchiseBonus = 2022,
};

inline constexpr int kNoDivision = -32767;
inline constexpr int kRosterPlaces = 32;

// One week's roster as stored: 32 player ids packed at the front (-1 empty),
// then one flag per place (0 bench, anything else active).
struct TeamRosterStruct {
    static constexpr int kSize = 96;
    std::array<std::uint8_t, kSize> bytes{};

    TeamRosterStruct() { clear(); }
    void clear();
    int id(int place) const { return getI16(bytes, 2 * place); }
    void setId(int place, int id) { putI16(bytes, 2 * place, id); }
    bool active(int place) const { return bytes[64 + place] != 0; }
    int flag(int place) const { return bytes[64 + place]; }
    void setFlag(int place, int flag) { bytes[64 + place] = static_cast<std::uint8_t>(flag); }
    // Places before the first empty one.
    int count() const;
};
static_assert(sizeof(TeamRosterStruct) == TeamRosterStruct::kSize);

// Adds a player to the bench in the first empty place; false when full.
bool addToRoster(TeamRosterStruct& roster, int id);
// Removes a player, moving later entries up with their flags; false when absent.
bool removeFromRoster(TeamRosterStruct& roster, int id);

// A franchise: owner details, place in the league, weekly rosters and bonuses.
class Team : public StoredRecord<kTeamRecordSize> {
  public:
    static constexpr Kind kKind = Kind::Team;
    static constexpr Kind kListKind = Kind::TeamList;
    static constexpr Kind kIntMapKind = Kind::TeamIntMap;
    static constexpr Kind kStrMapKind = Kind::TeamStrMap;
    static constexpr std::array<int, 3> kIntIndexCodes{kFranchiseId, kFranchiseDivision,
                                                       kFranchiseLeague};
    static constexpr std::array<int, 2> kTextIndexCodes{kFranchiseName, kOwnerName};
    static constexpr int kRostersOffset = 192;
    static constexpr int kBonusOffset = 2112;

    Team(TeamFile& file, Singleton& context);

    int id() const { return getValue(kFranchiseId, kAllWeeks); }
    // The season bonus and computed points are sums that may pass an int;
    // here they keep to an int's range, getTotal gives them in full.
    int getValue(int code, int week) const;
    std::int64_t getTotal(int code, int week) const;
    // Computed point codes (2019..2021, 2024..2073, 2099..2116); 0 for others.
    int getPoints(int code, int week) const;
    // The bonuses of the weeks with statistics.
    std::int64_t seasonBonus() const;
    const char* getText(int code) const;
    std::string text(int code) const;
    int setValue(int code, int value);
    int setBonus(int week, int value);
    int setText(int code, std::string_view text);
    static bool isTextCode(int code);

    void getRoster(int week, TeamRosterStruct& roster) const;
    void setRoster(int week, const TeamRosterStruct& roster);
    bool isOnRoster(int week, int id) const;
    // The week's players (filter 0 all, 1 active, 2 bench) by position, then name.
    Owned<PlyrList> rosterPlayers(
        int filter, int week, std::source_location where = std::source_location::current()) const;

    // Stores a changed roster for a week and carries it forward to later
    // weeks (in the calendar's season only to weeks without statistics).
    int saveRoster(const TeamRosterStruct& roster, int week);

    void clear();
    int save();
    int insert();
    int remove();

    int indexValue(int code) const { return getValue(code, kAllWeeks); }
    std::string indexText(int code) const { return text(code); }

  private:
    Singleton& context_;
};

}  // namespace qff
