#pragma once

#include <array>
#include <string>
#include <string_view>

#include "data02/storage/Record.h"

namespace qff {

class Singleton;

using LeagueFile = RecordFile<kLeagueRecordSize>;

enum LeagueCode {
    kLeagueId = 12000,
    kLeagueName = 12001,
    kLeagueCommissioner = 12002,
    kLeaguePhone = 12003,
    kLeagueEmail = 12004,
    kLeagueHomePage = 12005,
    kLeagueOwnerPage = 12006,
    kLeagueFlag = 12007,
    kLeagueDraftRounds = 12008,
    kLeagueSeveralPicks = 12009,
    kLeagueFtpPort = 12010,
    kLeagueFtpUser = 12011,
    kLeagueFtpPassword = 12012,
    kLeagueFtpLocation = 12013,
    kLeagueFtpCgi = 12014,
    kLeagueFtpPassiveOff = 12015,
    kLeagueFirewallType = 12016,
    kLeagueFirewallPort = 12017,
    kLeagueFirewallHost = 12018,
    kLeagueFirewallUser = 12019,
    kLeagueFirewallPassword = 12020,
};

inline constexpr int kDefaultLeagueId = 0;
inline constexpr const char* kDefaultLeagueName = "Default League";

// A league: its name, the commissioner's contact details, its publishing
// settings and how many players each franchise drafts.
class League : public StoredRecord<kLeagueRecordSize> {
  public:
    static constexpr Kind kKind = Kind::League;
    static constexpr Kind kListKind = Kind::LeagueList;
    static constexpr Kind kIntMapKind = Kind::LeagueIntMap;
    static constexpr Kind kStrMapKind = Kind::LeagueStrMap;
    static constexpr std::array<int, 1> kIntIndexCodes{kLeagueId};
    static constexpr std::array<int, 1> kTextIndexCodes{kLeagueName};

    League(LeagueFile& file, Singleton& context);

    int getValue(int code) const;
    const char* getText(int code) const;
    std::string text(int code) const;
    int setValue(int code, int value);
    int setText(int code, std::string_view text);
    static bool isTextCode(int code);
    static bool isValueCode(int code);

    // The defaults of a new league.
    void clear();
    int save();
    int insert();
    int remove();

    int indexValue(int code) const { return getValue(code); }
    std::string indexText(int code) const { return text(code); }

    // Seeds a new league file with the Default League.
    static int seedFile(LeagueFile& file, Singleton& context);

  private:
    Singleton& context_;
};

}  // namespace qff

namespace qff {

using LeagueList = std::vector<League*>;

// Looks leagues of the open season up in the league cache.
class LeagueQuery {
  public:
    explicit LeagueQuery(Singleton& context) : context_(context) {}

    League* findOne(int code, int number) const;
    League* findOne(int code, std::string_view text) const;
    // Ascending league id, so the Default League comes first.
    LeagueList allLeagues() const;
    int reload(int year);

  private:
    Singleton& context_;
};

}  // namespace qff
