#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "data02/diag/Status.h"
#include "data02/storage/Recfile.h"
#include "data02/storage/Weeks.h"

namespace qff {

class Singleton;

inline constexpr int kScheduleSlots = 512;
inline constexpr int kNflGameSlots = 50;

// Values a head-to-head side can hold besides a franchise id.
inline constexpr int kEmptySide = 0;
inline constexpr int kByeSide = 32767;
inline constexpr int kUnfilledSide = -1;
inline constexpr int kFillerSide = -2;

// One fantasy week of a head-to-head record as stored: 512 games, game i is
// first[i] (home) against second[i] (away).
struct ScheduleFantWeek {
    static constexpr int kSize = 4096;
    std::array<std::int32_t, kScheduleSlots> first{};
    std::array<std::int32_t, kScheduleSlots> second{};

    void read(ConstByteSpan bytes);
    void write(ByteSpan bytes) const;
    bool isEmpty() const;
};
static_assert(sizeof(ScheduleFantWeek) == ScheduleFantWeek::kSize);

// One head-to-head game: home franchise against away franchise or a bye.
struct FantasyGame {
    int home = 0;
    int away = 0;
    bool operator==(const FantasyGame&) const = default;
};

// One game slot of an NFL week. Day 1..7 is Monday..Sunday; above 98 marks
// the home team as off that week.
struct NflGame {
    int day = 0;
    int date1 = 0;
    int date2 = 0;
    int home = 0;
    int away = 0;
};

// One NFL week of record 1 as stored (852 bytes).
struct NflWeek {
    static constexpr int kSize = 852;
    static constexpr int kDatesOffset = 52;
    static constexpr int kDates2Offset = 252;
    static constexpr int kHomeOffset = 452;
    static constexpr int kAwayOffset = 652;
    static constexpr int kOffDay = 98;

    std::array<NflGame, kNflGameSlots> gameSlots{};

    void read(ConstByteSpan bytes);
    // The week's bytes as stored, for the demonstration season that makes its own NFL schedule.
    void write(ByteSpan bytes) const;
    // Slots before the first day code 0; the games and the off teams of the week.
    std::vector<NflGame> used() const;
    std::vector<NflGame> games() const;
    std::vector<int> offTeams() const;
};

// How one group of a league's generation went.
struct GroupResult {
    enum class Outcome { Done, TooLarge, Incomplete };
    // The division generated, or kNoDivision for the league's franchises outside its divisions.
    int division = 0;
    int franchises = 0;
    Outcome outcome = Outcome::Done;
};

struct GenerationResult {
    int status = kOk;
    std::vector<GroupResult> groups;
    bool complete() const;
};

// The season's schedule file: record 1 is the NFL schedule, read only; every
// later record is one league's head-to-head schedule. One league record is
// current at a time; its weeks are held in memory until saved.
class Schedule {
  public:
    static constexpr int kLeagueOffset = 0;
    static constexpr int kWeeksOffset = 4;
    static constexpr int kReservedOffset = 81924;
    static constexpr int kReservedSize = 256;
    static constexpr int kNflWeeksOffset = 4;
    static constexpr int kMaxGroup = 16;
    static_assert(kReservedOffset + kReservedSize == kScheduleRecordSize);
    static_assert(kWeeksOffset + kWeekSlots * ScheduleFantWeek::kSize == kReservedOffset);
    static_assert(kNflWeeksOffset + kWeekSlots * NflWeek::kSize == 17044);

    using Exists = std::function<bool(int franchise)>;

    explicit Schedule(Singleton& context);
    Schedule(const Schedule&) = delete;
    Schedule& operator=(const Schedule&) = delete;

    // Seeds a new schedule file with an empty NFL schedule record.
    static int seedFile(ScheduleFile& file);

    // Opens the season's existing file; nothing creates a missing one.
    int open(int year);
    void close();
    bool isOpen() const { return file_.isOpen(); }
    int season() const { return file_.isOpen() ? file_.year() : 0; }
    const std::string& lastError() const { return error_; }

    // NFL schedule of record 1. An unknown week has no games.
    NflWeek nflWeek(int week) const;
    bool teamIsOff(int team, int week) const;
    // The first game of the week played on a Monday; -1 for both without one.
    std::pair<int, int> firstMondayGame(int week) const;

    // Makes the league's record current, adding an empty one when it has none.
    int selectLeague(int league);
    // The league of the current record; -1 when none is current.
    int currentLeague() const { return league_; }
    // Whether a week of play has a game; never adds a record.
    bool hasSchedule(int league);
    // Empties the league's record and writes it; -1 empties every league.
    int reset(int league);
    // Memory only, on the current record; kFailed for a week outside 0..19.
    int getFantasyWeek(int week, ScheduleFantWeek& out) const;
    int putFantasyWeek(int week, const ScheduleFantWeek& in);
    int save();

    // Opponents of a franchise in a week of the current record, 32767 for a
    // bye; -1 when there are no more.
    int firstOpponent(int week, int franchise);
    int nextOpponent();
    // Every opponent in the league's record, without adding one.
    std::vector<int> opponents(int league, int week, int franchise);
    // The week's used slots in the league's record, without adding one.
    std::vector<FantasyGame> games(int league, int week);

    // Replaces a week of play of the league by `games` after checking them:
    // every side is a franchise of the league, the away side may also be a
    // bye, nobody plays itself and, unless several games a week are allowed,
    // nobody plays twice. Sides of 0 or of franchises that no longer exist are
    // dropped by the clean-up. A refused or failed edit leaves the schedule as
    // it was; lastError() says why.
    int storeWeek(int league, int week, std::span<const FantasyGame> games);
    // Adds one game to a week; the byes its franchises had that week give way.
    int setGame(int league, int week, FantasyGame game);
    int clearWeek(int league, int week);

    // Takes the franchise out of every league's schedule; its opponents get byes.
    int removeFranchise(int franchise);

    // Packs the week so every used slot is (franchise, franchise) or
    // (franchise, bye), dropping sides that name no franchise.
    static void cleanUpWeek(ScheduleFantWeek& week, const Exists& exists);
    void cleanUpWeek(ScheduleFantWeek& week) const;

    // Replaces the league's schedule by a round robin per division and one
    // for the franchises outside its divisions, then writes it.
    GenerationResult generateLeague(int league);
    // Adds one group's round robin to the current record; teams of an odd
    // group get byes.
    GroupResult::Outcome generateGroup(std::span<const int> teams);

  private:
    struct Pair {
        int a;
        int b;
        bool used = false;
        bool blocked = false;
    };

    int fail(std::string reason);
    class Occupancy;

    std::vector<int> leagueSlots();
    int findLeague(int league);
    int load(int league, bool create);
    int addLeague(int league);
    int writeCurrent();
    int resetAll();
    void clearWeeks();
    bool exists(int franchise) const;
    std::string franchiseName(int franchise) const;
    int checkWeek(int league, int week, std::span<const FantasyGame> games);
    int checkSide(const std::set<int>& league, int side);
    std::set<int> idsInRecord() const;
    std::set<int> leagueFranchises(int league) const;
    void dropPoints(const std::set<int>& ids);
    void dropAllPoints();
    int groupWeeks() const;
    GroupResult generateDivision(int division, const std::vector<int>& ids);
    void prepareGroup(std::span<const int> teams);
    bool fillWeek(int week);
    bool search(int week, int slot, int from, Occupancy& occupancy);
    bool copyRound(int week);
    void finishGroup();

    Singleton& context_;
    ScheduleFile file_;
    std::string error_;
    std::array<NflWeek, kWeekSlots> nfl_{};
    int league_ = -1;
    int slot_ = -1;
    std::array<ScheduleFantWeek, kWeekSlots> weeks_{};
    std::array<std::uint8_t, kReservedSize> reserved_{};

    // Generator working data.
    std::vector<int> group_;
    std::array<int, kWeekSlots> firstFree_{};
    std::vector<Pair> pairs_;
    // Starts set and alternates with every generated week of every group.
    bool flipped_ = true;

    // Opponent iteration.
    int position_ = -1;
    int iterWeek_ = -1;
    int iterTeam_ = 0;
};

}  // namespace qff
