#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "data02/diag/Status.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Weeks.h"

namespace qff {

class Singleton;

// The season state record as stored: 420 bytes in slot 0 of the state file.
struct StateStruct {
    std::array<std::uint8_t, kStateRecordSize> bytes{};
};
static_assert(sizeof(StateStruct) == kStateRecordSize);

enum StateId {
    kLastSection = 9001,
    kLastActivity = 9002,
    kCurrentLeague = 9003,
    kCurrentDivision = 9004,
    kCurrentFranchise = 9005,
    kCurrentNflTeam = 9006,
    kCurrentWeek = 9007,
    kViewWeek = 9008,
    kLastFranchiseId = 9009,
    kLastDivisionId = 9010,
    kLastLeagueId = 9011,
    kLastReportId = 9012,
    kReportInProgress = 9014,
};

// Per-season facts kept between runs: current choices, the identifier
// counters and which weeks have statistics. Every change is written at once.
class SeasonState {
  public:
    static constexpr int kWeekFlagsOffset = 48;
    static constexpr int kReportInProgressOffset = 160;
    static constexpr int kFirstId = 1;
    static constexpr int kLastId = 32766;

    // Tells whether a record of the counter's type already holds an identifier.
    using IdInUse = std::function<bool(int id)>;

    explicit SeasonState(Singleton& context);
    SeasonState(const SeasonState&) = delete;
    SeasonState& operator=(const SeasonState&) = delete;

    // Opens the state file of `year`, creating it only when it does not exist.
    int open(int year);
    bool isOpen() const { return file_.isOpen(); }
    const std::filesystem::path& path() const { return file_.path(); }
    const std::string& lastError() const { return error_; }

    // get hands out a new identifier for the counters 9009..9012; peek only
    // reports what is stored, for any identifier, without writing.
    int get(int id);
    int peek(int id) const;
    int set(int id, int value);
    int weekHasStats(int week) const;
    int setWeekHasStats(int week, int flag);
    int weeksWithStats() const;
    void reset();

    // Identifier counters consult these so a new id never collides with an
    // existing record; the record queries install them when they exist.
    void setIdInUse(int counterId, IdInUse inUse);

  private:
    static bool isPlainValue(int id);
    static bool isCounter(int id) { return id >= kLastFranchiseId && id <= kLastReportId; }
    int storedValue(int id) const;
    static int offsetOf(int id);
    int issueId(int counterId);
    int write();
    int fail(std::string reason);

    Singleton& context_;
    Owned<StateStruct> record_;
    DBFile file_;
    std::array<IdInUse, 4> idInUse_;
    std::string error_;
};

}  // namespace qff
