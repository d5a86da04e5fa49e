#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "Cache.h"
#include "Memory.h"
#include "Profile.h"

namespace qff {

class Preferences;
class SeasonState;
class Sticky;

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

    MyMemory& memory() { return *memory_; }
    MyProfile* profile() { return profile_.get(); }
    StrBuf& strBuf() { return *strBuf_; }
    Cache& cache() { return *cache_; }
    Preferences& preferences() { return *preferences_; }
    SeasonState& seasonState() { return *seasonState_; }
    Sticky& sticky() { return *sticky_; }

  private:
    explicit Singleton(SeasonEnv env);
    bool createMembers(std::string& error);

    SeasonEnv env_;
    int calendarYear_ = 0;
    std::unique_ptr<MyProfile> profile_;
    std::unique_ptr<MyMemory> memory_;
    Owned<StrBuf> strBuf_;
    std::unique_ptr<Cache> cache_;
    Owned<Preferences> preferences_;
    Owned<SeasonState> seasonState_;
    Owned<Sticky> sticky_;
};

}  // namespace qff
