#include "data02/model/Pro.h"

#include <array>
#include <cstdint>

namespace qff {
namespace {

constexpr int kFirstListedYear = 1993;
constexpr int kLastListedYear = 2002;
// One column per listed season, then one shared by every other year.
constexpr int kSeasonColumns = kLastListedYear - kFirstListedYear + 2;

constexpr bool isListed(int year) {
    return year >= kFirstListedYear && year <= kLastListedYear;
}

constexpr int columnOf(int year) {
    return isListed(year) ? year - kFirstListedYear : kSeasonColumns - 1;
}

constexpr int seasonWeeks(int year) {
    if (year == 1993) {
        return 16;
    }
    return year == 1994 ? 18 : 17;
}

constexpr int seasonTeams(int year) {
    if (year == 1993 || year == 1994) {
        return 28;
    }
    if (year >= 1995 && year <= 1998) {
        return 30;
    }
    return year >= 1999 && year <= 2001 ? 31 : 32;
}

struct Years {
    int first = 0;
    int last = -1;
};

constexpr Years kAllListed{kFirstListedYear, kLastListedYear};
constexpr Years kNoYears{};
// Whether a team plays in the years outside the listed seasons.
constexpr bool kPlaysLater = true;
constexpr bool kGoneLater = false;

struct Team {
    std::string_view name;
    std::string_view shortName;
    std::string_view code;
    std::string_view abbreviation;
    Years years = kNoYears;
    Years moreYears = kNoYears;
    bool later = kGoneLater;
};

// Slots are stored by index in existing files, so a team that moved keeps its
// old slot and the new franchise gets a new one.
constexpr std::array<Team, Pro::kTeamSlots> kTeams = {{
    {"Atlanta Falcons", "Atl", "atlf", "Atl", kAllListed, kNoYears, kPlaysLater},
    {"Buffalo Bills", "Buff", "bufb", "Buf", kAllListed, kNoYears, kPlaysLater},
    {"Chicago Bears", "Chi", "chib", "Chi", kAllListed, kNoYears, kPlaysLater},
    {"Cincinnati Bengals", "Cin", "cinb", "Cin", kAllListed, kNoYears, kPlaysLater},
    {"Cleveland Browns", "Clev", "cleb", "Cle", {1993, 1995}, {1999, 2002}, kPlaysLater},
    {"Dallas Cowboys", "Dal", "dalc", "Dal", kAllListed, kNoYears, kPlaysLater},
    {"Denver Broncos", "Denv", "denb", "Den", kAllListed, kNoYears, kPlaysLater},
    {"Detroit Lions", "Det", "detl", "Det", kAllListed, kNoYears, kPlaysLater},
    {"Green Bay Packers", "G.B.", "gbp", "GB", kAllListed, kNoYears, kPlaysLater},
    {"Houston Oilers", "Hous", "houo", "!!!", {1993, 1996}, kNoYears, kGoneLater},
    {"Indianapolis Colts", "Ind", "indc", "Ind", kAllListed, kNoYears, kPlaysLater},
    {"Kansas City Chiefs", "K.C.", "kcc", "KC", kAllListed, kNoYears, kPlaysLater},
    {"Los Angeles Raiders", "Raid", "lard", "LAA", {1993, 1994}, kNoYears, kGoneLater},
    {"Los Angeles Rams", "Rams", "larm", "LAN", {1993, 1994}, kNoYears, kGoneLater},
    {"Miami Dolphins", "Mia", "miad", "Mia", kAllListed, kNoYears, kPlaysLater},
    {"Minnesota Vikings", "Minn", "minv", "Min", kAllListed, kNoYears, kPlaysLater},
    {"New England Patriots", "N.E.", "nep", "NE", kAllListed, kNoYears, kPlaysLater},
    {"New Orleans Saints", "N.O.", "nos", "NO", kAllListed, kNoYears, kPlaysLater},
    {"New York Giants", "Gia", "nyg", "NYG", kAllListed, kNoYears, kPlaysLater},
    {"New York Jets", "Jets", "nyj", "NYJ", kAllListed, kNoYears, kPlaysLater},
    {"Philadelphia Eagles", "Phil", "phie", "Phi", kAllListed, kNoYears, kPlaysLater},
    {"Phoenix Cardinals", "Phnx", "phxc", "Pho", {1993, 1993}, kNoYears, kGoneLater},
    {"Pittsburgh Steelers", "Pitt", "pits", "Pit", kAllListed, kNoYears, kPlaysLater},
    {"San Diego Chargers", "S.D.", "sdc", "SD", kAllListed, kNoYears, kPlaysLater},
    {"San Francisco 49er's", "S.F.", "sf49", "SF", kAllListed, kNoYears, kPlaysLater},
    {"Seattle Seahawks", "Sea", "seas", "Sea", kAllListed, kNoYears, kPlaysLater},
    {"Tampa Bay Buccaneers", "T.B.", "tbb", "TB", kAllListed, kNoYears, kPlaysLater},
    {"Washington Redskins", "Wash", "wasr", "Was", kAllListed, kNoYears, kPlaysLater},
    {"Arizona Cardinals", "Ariz", "aric", "Ari", {1994, 2002}, kNoYears, kPlaysLater},
    {"Carolina Panthers", "Caro", "carp", "Car", {1995, 2002}, kNoYears, kPlaysLater},
    {"Jacksonville Jaguars", "Jack", "jacj", "Jac", {1995, 2002}, kNoYears, kPlaysLater},
    {"Oakland Raiders", "Oak", "oakr", "Oak", {1995, 2002}, kNoYears, kPlaysLater},
    {"Saint Louis Rams", "StL", "slrm", "SL", {1995, 2002}, kNoYears, kPlaysLater},
    {"Baltimore Ravens", "Balt", "balr", "Bal", {1996, 2002}, kNoYears, kPlaysLater},
    {"Tennessee Oilers", "Tenn", "teno", "!!!", {1997, 1998}, kNoYears, kGoneLater},
    {"Tennessee Titans", "Tenn", "tent", "Ten", {1999, 2002}, kNoYears, kPlaysLater},
    {"Houston Texans", "Hous", "hout", "Hou", {2002, 2002}, kNoYears, kPlaysLater},
}};

constexpr bool within(Years years, int year) {
    return year >= years.first && year <= years.last;
}

constexpr bool playsIn(const Team& team, int year) {
    if (!isListed(year)) {
        return team.later;
    }
    return within(team.years, year) || within(team.moreYears, year);
}

using Validity = std::array<std::array<std::uint8_t, Pro::kTeamSlots>, kSeasonColumns>;

// The column of "every other year" is filled from year 0, which is unlisted.
constexpr int yearOfColumn(int column) {
    return column < kSeasonColumns - 1 ? kFirstListedYear + column : 0;
}

constexpr Validity buildValidity() {
    Validity validity{};
    for (int column = 0; column < kSeasonColumns; ++column) {
        for (int slot = 0; slot < Pro::kTeamSlots; ++slot) {
            validity[column][slot] = playsIn(kTeams[slot], yearOfColumn(column)) ? 1 : 0;
        }
    }
    return validity;
}

constexpr Validity kValidity = buildValidity();

constexpr bool everyColumnHasItsTeamCount() {
    for (int column = 0; column < kSeasonColumns; ++column) {
        int count = 0;
        for (std::uint8_t flag : kValidity[column]) {
            count += flag;
        }
        if (count != seasonTeams(yearOfColumn(column))) {
            return false;
        }
    }
    return true;
}
static_assert(everyColumnHasItsTeamCount());

struct PositionNames {
    std::string_view longName;
    std::string_view shortName;
};

// Codes 10..19 are the team units of the same positions.
constexpr std::array<PositionNames, Pro::kUnitPositionBase> kPositions = {{
    {"Quarter Back", "QB"},
    {"Running Back", "RB"},
    {"Wide Receiver", "WR"},
    {"Tight End", "TE"},
    {"Place Kicker", "PK"},
    {"Defense", "DEF"},
    {"Special Teams", "SPE"},
}};

const PositionNames* positionOf(int code) {
    if (code < 0 || code >= Pro::kPositionSlots) {
        return nullptr;
    }
    return &kPositions[code % Pro::kUnitPositionBase];
}

const Team* teamOf(int index) {
    if (index < 0 || index >= Pro::kTeamSlots) {
        return nullptr;
    }
    return &kTeams[index];
}

bool isNamedBy(const Team& team, std::string_view text) {
    return text == team.name || text == team.shortName || text == team.code ||
           text == team.abbreviation;
}

}  // namespace

Pro::Pro(StrBuf& strBuf) : strBuf_(strBuf) {
    setSeason(0);
}

void Pro::setSeason(int year) {
    year_ = year;
    weeks_ = weeksOf(year);
    teamCount_ = teamCountOf(year);
    cursor_ = 0;
}

int Pro::weeksOf(int year) {
    return seasonWeeks(year);
}

int Pro::teamCountOf(int year) {
    return seasonTeams(year);
}

bool Pro::isValid(int index, int year) {
    if (index < 0 || index >= kTeamSlots) {
        return false;
    }
    return kValidity[columnOf(year)][index] != 0;
}

std::vector<int> Pro::validTeams() const {
    std::vector<int> teams;
    for (int index = 0; index < kTeamSlots; ++index) {
        if (isValid(index)) {
            teams.push_back(index);
        }
    }
    return teams;
}

const char* Pro::firstTeamName(bool shortName) {
    cursor_ = 0;
    return nextTeamName(shortName);
}

const char* Pro::nextTeamName(bool shortName) {
    while (cursor_ < kTeamSlots && !isValid(cursor_)) {
        ++cursor_;
    }
    if (cursor_ >= kTeamSlots) {
        return ring("");
    }
    return teamName(shortName, cursor_++);
}

const char* Pro::teamName(bool shortName, int index) const {
    const Team* team = teamOf(index);
    if (team == nullptr) {
        return ring("");
    }
    return ring(shortName ? team->shortName : team->name);
}

const char* Pro::teamCode(int index) const {
    const Team* team = teamOf(index);
    return ring(team == nullptr ? std::string_view() : team->code);
}

const char* Pro::teamAbbreviation(int index) const {
    const Team* team = teamOf(index);
    return ring(team == nullptr ? std::string_view() : team->abbreviation);
}

int Pro::teamIndex(std::string_view text) const {
    if (text.empty()) {
        return -1;
    }
    int firstMatch = -1;
    for (int index = 0; index < kTeamSlots; ++index) {
        if (!isNamedBy(kTeams[index], text)) {
            continue;
        }
        if (isValid(index)) {
            return index;
        }
        if (firstMatch < 0) {
            firstMatch = index;
        }
    }
    return firstMatch;
}

int Pro::positionCode(std::string_view text) {
    for (int code = 0; code < kPositionSlots; ++code) {
        const PositionNames* position = positionOf(code);
        if (text == position->longName || text == position->shortName) {
            return code;
        }
    }
    return -1;
}

const char* Pro::positionName(bool shortName, int code) const {
    return ring(positionLabel(shortName, code));
}

std::string_view Pro::positionLabel(bool shortName, int code) {
    const PositionNames* position = positionOf(code);
    if (position == nullptr) {
        return {};
    }
    return shortName ? position->shortName : position->longName;
}

int Pro::unitId(int team, int position) {
    bool individual = position >= 0 && position < kUnitPositionBase;
    int unitPosition = individual ? position + kUnitPositionBase : position;
    return kFirstUnitId + 10 * team + unitPosition;
}

int Pro::unitTeam(int id) {
    return (id - kFirstUnitId - kUnitPositionBase) / 10;
}

int Pro::unitPosition(int id) {
    return (id - kFirstUnitId) % 10 + kUnitPositionBase;
}

}  // namespace qff
