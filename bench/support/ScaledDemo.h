#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "data02/demo/Demo.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/storage/Db_file.h"

namespace qff::bench {

inline constexpr int kScaledYear = 1994;  // an 18-week season
inline constexpr int kScaledWeeks = 18;

// The demonstration season scaled to about 2,048 players and 32 franchises in
// two leagues, every week merged, in a temporary folder of its own.
class ScaledDemoSeason {
  public:
    explicit ScaledDemoSeason(const std::string& name) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("qff-" + name + "-XXXXXX")).string();
        dir_ = mkdtemp(pattern.data());
        std::ofstream(dir_ / "CurYear.bin") << kScaledYear + 1 << '\n';
        DemoOptions options;
        options.year = kScaledYear;
        options.weeksMerged = kScaledWeeks;
        options.playersPerTeam = (DBFile::kSlots - 28 * 7) / 28;
        options.leagues = 2;
        options.divisionsPerLeague = 4;
        options.franchisesPerDivision = 4;
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_}, error);
        context_->preferences().load();
        DemoReport report;
        if (!createDemoSeason(*context_, options, report, error)) {
            std::fprintf(stderr, "demo season: %s\n", error.c_str());
            std::exit(1);
        }
        // The open season, as the desktop program finds it on its next start.
        context_->preferences().save();
    }
    ~ScaledDemoSeason() {
        context_.reset();
        std::filesystem::remove_all(dir_);
    }
    ScaledDemoSeason(const ScaledDemoSeason&) = delete;
    ScaledDemoSeason& operator=(const ScaledDemoSeason&) = delete;

    Singleton& context() { return *context_; }
    const std::filesystem::path& dir() const { return dir_; }

  private:
    std::filesystem::path dir_;
    std::unique_ptr<Singleton> context_;
};

}  // namespace qff::bench
