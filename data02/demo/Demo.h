#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data02/storage/Ptsfile.h"

namespace qff {

class Singleton;
class Pro;

// What a demonstration season holds. The defaults give one league of two
// divisions of six franchises and about 1,600 players.
struct DemoOptions {
    int year = 2003;
    int weeksMerged = 6;
    std::uint32_t seed = 1;
    int playersPerTeam = 50;
    int leagues = 1;
    int divisionsPerLeague = 2;
    int franchisesPerDivision = 6;
    int rosterSize = 16;
};

// A small deterministic generator, so a seed gives the same season on every
// machine and standard library.
class DemoRandom {
  public:
    explicit DemoRandom(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
    std::uint32_t next();
    // A whole number from low to high inclusive.
    int between(int low, int high);

  private:
    std::uint64_t state_;
};

// A synthetic NFL player before it reaches the player file.
struct DemoPlayer {
    int id;
    std::string name;
    int team;
    int position;
    // 50 to 100: how much of a position's usual figures the player reaches.
    int talent;
};

// Players for every team of the season: per team a fixed mix of positions,
// names drawn from built-in lists, ids counted from 1.
std::vector<DemoPlayer> demoPlayers(int year, const DemoOptions& options);

// Adds players to the open season's player file and cache.
bool addDemoPlayers(Singleton& context, const std::vector<DemoPlayer>& players, std::string& error);

// One week of statistics records for every player whose NFL team plays, in
// the statistics file's terms, with plausible figures for each position; the
// team defense and special-teams units carry their own records.
std::vector<PtsRecord> demoWeekRecords(const Pro& table, const std::vector<DemoPlayer>& players,
                                       int week, const std::vector<bool>& teamPlays,
                                       DemoRandom& random);

// The roster-update record of every player (week 99), which brings the
// players into a season's player file.
std::vector<PtsRecord> demoRosterRecords(const std::vector<DemoPlayer>& players);

// An NFL schedule for every week of the season: each team off once in the
// middle weeks, the others paired, mostly on Sundays with a Thursday and a
// Monday game. Returns, per week, which team indexes play.
std::vector<std::vector<bool>> writeDemoNflSchedule(Singleton& context, int year,
                                                    DemoRandom& random, std::string& error);

// What building a demonstration season did.
struct DemoReport {
    int year = 0;
    int players = 0;
    int franchises = 0;
    int weeksWritten = 0;
    int weeksMerged = 0;
    std::vector<std::string> messages;
};

// Builds a complete season in the working directory from nothing: NFL
// schedule, players (through a roster-update file), weekly statistics files in
// "Download", a league with franchises and owners, rosters, a head-to-head
// schedule, and the first weeks merged. Refuses a season that exists.
bool createDemoSeason(Singleton& context, const DemoOptions& options, DemoReport& report,
                      std::string& error);

// Leagues, divisions and franchises with owners for the open season.
bool addDemoLeagues(Singleton& context, const DemoOptions& options, DemoRandom& random,
                    std::string& error);

}  // namespace qff
