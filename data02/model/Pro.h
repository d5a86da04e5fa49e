#pragma once

#include <string_view>
#include <vector>

#include "data02/diag/Memory.h"

namespace qff {

// The fixed knowledge of the NFL: which teams played in a season, how many
// weeks it had, the names of every team and position, and the identifiers of
// team units. Text getters hand out texts of the string ring.
class Pro {
  public:
    static constexpr int kTeamSlots = 50;
    static constexpr int kPositionSlots = 20;
    // Team units take the individual position codes shifted by this much.
    static constexpr int kUnitPositionBase = 10;
    static constexpr int kFirstUnitId = 10000;

    // Starts on year 0, which has the parameters of every unlisted year.
    explicit Pro(StrBuf& strBuf);

    // Sets the year, its weeks and team count, and restarts the team iteration.
    void setSeason(int year);
    int seasonYear() const { return year_; }
    int weeks() const { return weeks_; }
    int teamCount() const { return teamCount_; }
    static int weeksOf(int year);
    static int teamCountOf(int year);

    static bool isValid(int index, int year);
    bool isValid(int index) const { return isValid(index, year_); }
    std::vector<int> validTeams() const;

    // Walk the teams of the season in index order; empty text past the last.
    const char* firstTeamName(bool shortName);
    const char* nextTeamName(bool shortName);

    // Empty text for an index outside the table or an empty slot.
    const char* teamName(bool shortName, int index) const;
    const char* teamCode(int index) const;
    const char* teamAbbreviation(int index) const;

    // The slot whose full name, short name, code or abbreviation is exactly
    // `text`. Some texts name several slots over the years, so a slot that
    // plays in the season wins; otherwise the lowest matching slot; -1 if none.
    int teamIndex(std::string_view text) const;

    // The lowest code whose long or short name is exactly `text`; -1 if none.
    static int positionCode(std::string_view text);
    // Empty text for a code outside 0..kPositionSlots-1.
    const char* positionName(bool shortName, int code) const;
    // The same names as constants, for callers that keep them.
    static std::string_view positionLabel(bool shortName, int code);

    // A team unit's identifier; an individual position code is taken as its unit.
    static int unitId(int team, int position);
    static bool isUnitId(int id) { return id >= kFirstUnitId; }
    static int unitTeam(int id);
    static int unitPosition(int id);

  private:
    // An empty view may carry a null pointer, which must not reach the ring's copy.
    const char* ring(std::string_view text) const {
        return strBuf_.put(text.empty() ? std::string_view("") : text);
    }

    StrBuf& strBuf_;
    int year_ = 0;
    int weeks_ = 0;
    int teamCount_ = 0;
    int cursor_ = 0;
};

}  // namespace qff
