#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "data02/diag/Memory.h"
#include "data02/diag/Profile.h"
#include "data02/scoring/Cache.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Journal.h"

namespace qff {

class Preferences;
class SeasonState;
class Sticky;
class Pro;
class MapFactory;
class ScoringSystem;
class Schedule;
class PlayerQuery;
class TeamQuery;
class DivisionQuery;
class LeagueQuery;
class DraftQuery;
class ReportQuery;
class ReportGenerator;
template <int RecordSize>
class RecordFile;
using PlayerFile = RecordFile<kPlayerRecordSize>;
using TeamFile = RecordFile<kTeamRecordSize>;
using DivisionFile = RecordFile<kDivisionRecordSize>;
using LeagueFile = RecordFile<kLeagueRecordSize>;
using ScheduleFile = RecordFile<kScheduleRecordSize>;
using TrackDraftFile = RecordFile<kDraftRecordSize>;
using ReportFile = RecordFile<kReportRecordSize>;

// What the season context is created around: the folder holding every data
// file, and the clock that gives the calendar year when CurYear.bin does not.
struct SeasonEnv {
    std::filesystem::path workdir;
    std::function<std::time_t()> clock = [] { return std::time(nullptr); };
    bool profiling = false;
};

// Reads CurYear.bin in workdir: its first line's leading number when it is
// 2002 or more, else the clock's local year.
int calendarSeasonYear(const SeasonEnv& env);

// The context of the open season: owns one instance of every season-wide
// object for its whole life, creating them in a fixed order and releasing
// them in the same order before the allocator writes its report.
class Singleton {
  public:
    // Null with a message in `error` when a member cannot be created.
    static std::unique_ptr<Singleton> create(SeasonEnv env, std::string& error);
    ~Singleton();
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

    const std::filesystem::path& workdir() const { return env_.workdir; }
    std::filesystem::path pathOf(const std::string& name) const { return env_.workdir / name; }
    int calendarYear() const { return calendarYear_; }
    // What playing back work interrupted in an earlier run did; the first
    // season open reports it, later ones find nothing.
    Recovery takeRecovery() { return std::exchange(recovery_, Recovery{}); }

    MyMemory& memory() { return *memory_; }
    MyProfile* profile() { return profile_.get(); }
    StrBuf& strBuf() { return *strBuf_; }
    Cache& cache() { return *cache_; }
    Preferences& preferences() { return *preferences_; }
    SeasonState& seasonState() { return *seasonState_; }
    Sticky& sticky() { return *sticky_; }
    Pro& pro() { return *pro_; }
    MapFactory& mapFactory() { return *mapFactory_; }
    ScoringSystem& scoring() { return *scoring_; }
    Schedule& schedule() { return *schedule_; }
    PlayerFile& playerFile() { return *playerFile_; }
    PlayerQuery& playerQuery() { return *playerQuery_; }
    TeamFile& teamFile() { return *teamFile_; }
    TeamQuery& teamQuery() { return *teamQuery_; }
    DivisionFile& divisionFile() { return *divisionFile_; }
    DivisionQuery& divisionQuery() { return *divisionQuery_; }
    LeagueFile& leagueFile() { return *leagueFile_; }
    LeagueQuery& leagueQuery() { return *leagueQuery_; }
    TrackDraftFile& draftFile() { return *draftFile_; }
    DraftQuery& draftQuery() { return *draftQuery_; }
    ReportFile& reportFile() { return *reportFile_; }
    ReportQuery& reportQuery() { return *reportQuery_; }
    ReportGenerator& reportGenerator() { return *reportGenerator_; }

  private:
    explicit Singleton(SeasonEnv env);
    bool createMembers(std::string& error);
    void connectMembers();
    template <class T, class... Args>
    bool createMember(Owned<T>& member, Site site, const char* what, std::string& error,
                      Args&&... args);

    SeasonEnv env_;
    Recovery recovery_;
    int calendarYear_ = 0;
    std::unique_ptr<MyProfile> profile_;
    std::unique_ptr<MyMemory> memory_;
    Owned<StrBuf> strBuf_;
    std::unique_ptr<Cache> cache_;
    Owned<Preferences> preferences_;
    Owned<SeasonState> seasonState_;
    Owned<Sticky> sticky_;
    Owned<Pro> pro_;
    Owned<MapFactory> mapFactory_;
    Owned<ScoringSystem> scoring_;
    Owned<Schedule> schedule_;
    Owned<PlayerFile> playerFile_;
    Owned<PlayerQuery> playerQuery_;
    Owned<TeamFile> teamFile_;
    Owned<TeamQuery> teamQuery_;
    Owned<DivisionFile> divisionFile_;
    Owned<DivisionQuery> divisionQuery_;
    Owned<LeagueFile> leagueFile_;
    Owned<LeagueQuery> leagueQuery_;
    Owned<TrackDraftFile> draftFile_;
    Owned<DraftQuery> draftQuery_;
    Owned<ReportFile> reportFile_;
    Owned<ReportQuery> reportQuery_;
    Owned<ReportGenerator> reportGenerator_;
};

}  // namespace qff
