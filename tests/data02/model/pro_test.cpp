#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data02/model/Pro.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::TempDir;

class ProTest : public ::testing::Test {
  protected:
    std::vector<std::string> namesOfSeason(bool shortName) {
        std::vector<std::string> names;
        for (std::string name = pro_.firstTeamName(shortName); !name.empty();
             name = pro_.nextTeamName(shortName)) {
            names.push_back(name);
        }
        return names;
    }

    TempDir dir_;
    MyMemory memory_{dir_ / "mem_log.txt"};
    StrBuf ring_{memory_};
    Pro pro_{ring_};
};

struct SeasonRange {
    int first;
    int last;
    int weeks;
    int teams;
};

TEST_F(ProTest, EverySeasonHasItsWeeksAndAsManyValidSlotsAsTeams) {
    for (const SeasonRange& range :
         {SeasonRange{1980, 1992, 17, 32}, SeasonRange{1993, 1993, 16, 28},
          SeasonRange{1994, 1994, 18, 28}, SeasonRange{1995, 1998, 17, 30},
          SeasonRange{1999, 2001, 17, 31}, SeasonRange{2002, 2030, 17, 32}}) {
        for (int year = range.first; year <= range.last; ++year) {
            SCOPED_TRACE(year);
            pro_.setSeason(year);
            EXPECT_EQ(pro_.seasonYear(), year);
            EXPECT_EQ(pro_.weeks(), range.weeks);
            EXPECT_EQ(pro_.teamCount(), range.teams);
            EXPECT_EQ(Pro::weeksOf(year), range.weeks);
            EXPECT_EQ(Pro::teamCountOf(year), range.teams);
            int valid = 0;
            for (int index = 0; index < Pro::kTeamSlots; ++index) {
                valid += Pro::isValid(index, year) ? 1 : 0;
            }
            EXPECT_EQ(valid, range.teams);
            EXPECT_EQ(static_cast<int>(pro_.validTeams().size()), range.teams);
        }
    }
}

TEST_F(ProTest, NewTableUsesTheParametersOfUnlistedYears) {
    EXPECT_EQ(pro_.seasonYear(), 0);
    EXPECT_EQ(pro_.weeks(), 17);
    EXPECT_EQ(pro_.teamCount(), 32);
    EXPECT_TRUE(pro_.isValid(36));
}

struct Membership {
    int year;
    int index;
    bool valid;
};

TEST_F(ProTest, SlotsAreValidOnlyInTheirSeasons) {
    for (const Membership& m :
         {Membership{1993, 21, true},  Membership{1994, 21, false}, Membership{1993, 28, false},
          Membership{1994, 28, true},  Membership{1995, 4, true},   Membership{1996, 4, false},
          Membership{1998, 4, false},  Membership{1999, 4, true},   Membership{1996, 9, true},
          Membership{1996, 34, false}, Membership{1997, 9, false},  Membership{1997, 34, true},
          Membership{1999, 34, false}, Membership{1999, 35, true},  Membership{2001, 36, false},
          Membership{2002, 36, true},  Membership{2003, 36, true},  Membership{2003, 35, true},
          Membership{2003, 9, false},  Membership{1990, 12, false}, Membership{1990, 4, true},
          Membership{2003, 37, false}, Membership{2003, -1, false}, Membership{2003, 50, false}}) {
        SCOPED_TRACE(testing::Message() << m.year << " slot " << m.index);
        EXPECT_EQ(Pro::isValid(m.index, m.year), m.valid);
        pro_.setSeason(m.year);
        EXPECT_EQ(pro_.isValid(m.index), m.valid);
    }
}

TEST_F(ProTest, IterationOf1993WalksItsTeamsInSlotOrder) {
    pro_.setSeason(1993);
    std::vector<std::string> expected = {
        "Atlanta Falcons",      "Buffalo Bills",        "Chicago Bears",
        "Cincinnati Bengals",   "Cleveland Browns",     "Dallas Cowboys",
        "Denver Broncos",       "Detroit Lions",        "Green Bay Packers",
        "Houston Oilers",       "Indianapolis Colts",   "Kansas City Chiefs",
        "Los Angeles Raiders",  "Los Angeles Rams",     "Miami Dolphins",
        "Minnesota Vikings",    "New England Patriots", "New Orleans Saints",
        "New York Giants",      "New York Jets",        "Philadelphia Eagles",
        "Phoenix Cardinals",    "Pittsburgh Steelers",  "San Diego Chargers",
        "San Francisco 49er's", "Seattle Seahawks",     "Tampa Bay Buccaneers",
        "Washington Redskins"};
    EXPECT_EQ(namesOfSeason(false), expected);
    EXPECT_STREQ(pro_.nextTeamName(false), "");
}

TEST_F(ProTest, IterationFollowsValidTeamsAndRestartsOnFirst) {
    pro_.setSeason(2003);
    std::vector<std::string> expected;
    for (int index : pro_.validTeams()) {
        expected.push_back(pro_.teamName(true, index));
    }
    EXPECT_EQ(namesOfSeason(true), expected);
    EXPECT_EQ(expected.back(), "Hous");
    EXPECT_STREQ(pro_.firstTeamName(true), "Atl");
    EXPECT_STREQ(pro_.nextTeamName(true), "Buff");
    pro_.setSeason(1996);
    EXPECT_STREQ(pro_.nextTeamName(false), "Atlanta Falcons");
}

struct TeamTexts {
    int index;
    const char* name;
    const char* shortName;
    const char* code;
    const char* abbreviation;
};

TEST_F(ProTest, TeamTextsComeFromTheSlotAndAreEmptyOutsideTheTable) {
    for (const TeamTexts& t : {TeamTexts{0, "Atlanta Falcons", "Atl", "atlf", "Atl"},
                               TeamTexts{9, "Houston Oilers", "Hous", "houo", "!!!"},
                               TeamTexts{24, "San Francisco 49er's", "S.F.", "sf49", "SF"},
                               TeamTexts{34, "Tennessee Oilers", "Tenn", "teno", "!!!"},
                               TeamTexts{36, "Houston Texans", "Hous", "hout", "Hou"},
                               TeamTexts{37, "", "", "", ""}, TeamTexts{49, "", "", "", ""},
                               TeamTexts{50, "", "", "", ""}, TeamTexts{1000, "", "", "", ""},
                               TeamTexts{-1, "", "", "", ""}, TeamTexts{-1000, "", "", "", ""}}) {
        SCOPED_TRACE(t.index);
        EXPECT_STREQ(pro_.teamName(false, t.index), t.name);
        EXPECT_STREQ(pro_.teamName(true, t.index), t.shortName);
        EXPECT_STREQ(pro_.teamCode(t.index), t.code);
        EXPECT_STREQ(pro_.teamAbbreviation(t.index), t.abbreviation);
    }
}

struct Lookup {
    int year;
    const char* text;
    int index;
};

TEST_F(ProTest, TeamIndexPrefersASlotOfTheSeason) {
    for (const Lookup& l :
         {Lookup{2003, "Tenn", 35}, Lookup{2003, "Hous", 36}, Lookup{1997, "Tenn", 34},
          Lookup{1995, "Hous", 9}, Lookup{1993, "Tenn", 34}, Lookup{2003, "!!!", 9},
          Lookup{1997, "!!!", 34}, Lookup{2003, "sf49", 24}, Lookup{2003, "S.F.", 24},
          Lookup{2003, "Ten", 35}, Lookup{1993, "Hou", 36}, Lookup{2003, "Atlanta Falcons", 0},
          Lookup{1993, "Ari", 28}, Lookup{2003, "Pho", 21}, Lookup{2003, "atlanta falcons", -1},
          Lookup{2003, "Nowhere", -1}, Lookup{2003, "", -1}}) {
        SCOPED_TRACE(testing::Message() << l.year << " " << l.text);
        pro_.setSeason(l.year);
        EXPECT_EQ(pro_.teamIndex(l.text), l.index);
    }
}

struct PositionLookup {
    const char* text;
    int code;
};

TEST_F(ProTest, PositionCodeMatchesLongOrShortNameExactly) {
    for (const PositionLookup& p :
         {PositionLookup{"", 7}, PositionLookup{"WR", 2}, PositionLookup{"Wide Receiver", 2},
          PositionLookup{"wr", -1}, PositionLookup{"QB", 0}, PositionLookup{"Special Teams", 6},
          PositionLookup{"DEF", 5}, PositionLookup{"Kicker", -1}}) {
        SCOPED_TRACE(p.text);
        EXPECT_EQ(Pro::positionCode(p.text), p.code);
    }
}

struct PositionTexts {
    int code;
    const char* longName;
    const char* shortName;
};

TEST_F(ProTest, PositionNamesRepeatForUnitsAndAreEmptyElsewhere) {
    for (const PositionTexts& p :
         {PositionTexts{0, "Quarter Back", "QB"}, PositionTexts{4, "Place Kicker", "PK"},
          PositionTexts{6, "Special Teams", "SPE"}, PositionTexts{7, "", ""},
          PositionTexts{9, "", ""}, PositionTexts{10, "Quarter Back", "QB"},
          PositionTexts{15, "Defense", "DEF"}, PositionTexts{16, "Special Teams", "SPE"},
          PositionTexts{17, "", ""}, PositionTexts{19, "", ""}, PositionTexts{20, "", ""},
          PositionTexts{-1, "", ""}}) {
        SCOPED_TRACE(p.code);
        EXPECT_STREQ(pro_.positionName(false, p.code), p.longName);
        EXPECT_STREQ(pro_.positionName(true, p.code), p.shortName);
    }
}

struct Unit {
    int team;
    int position;
    int id;
    int unitPosition;
};

TEST_F(ProTest, UnitIdsTakeIndividualPositionsAsTheirUnits) {
    for (const Unit& u :
         {Unit{0, 0, 10010, 10}, Unit{0, 10, 10010, 10}, Unit{36, 16, 10376, 16},
          Unit{36, 6, 10376, 16}, Unit{27, 5, 10285, 15}, Unit{49, 19, 10509, 19}}) {
        SCOPED_TRACE(testing::Message() << u.team << "/" << u.position);
        EXPECT_EQ(Pro::unitId(u.team, u.position), u.id);
        EXPECT_TRUE(Pro::isUnitId(u.id));
        EXPECT_EQ(Pro::unitTeam(u.id), u.team);
        EXPECT_EQ(Pro::unitPosition(u.id), u.unitPosition);
    }
    EXPECT_FALSE(Pro::isUnitId(9999));
    EXPECT_FALSE(Pro::isUnitId(0));
}

}  // namespace
}  // namespace qff
