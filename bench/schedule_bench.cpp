// Generating a league of 8 divisions of 14 franchises, beside the cost of
// reading the schedule file's bytes, so the generator's own share is visible.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data02/model/Divqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

namespace {

constexpr int kYear = 2003;
constexpr int kDivisions = 8;
constexpr int kFranchisesPerDivision = 14;

class SeasonWithDivisions {
  public:
    SeasonWithDivisions() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qff-bench-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        std::string error;
        context_ = qff::Singleton::create(qff::SeasonEnv{dir_}, error);
        if (!context_ || context_->preferences().load() != 0 ||
            !qff::createSeasonFiles(*context_, kYear, error) ||
            !qff::openSeason(*context_, kYear).opened) {
            std::fprintf(stderr, "cannot prepare the season: %s\n", error.c_str());
            std::exit(1);
        }
        for (int d = 1; d <= kDivisions; ++d) {
            addDivision(d);
            for (int f = 0; f < kFranchisesPerDivision; ++f) {
                addFranchise(d * 100 + f, d);
            }
        }
    }
    ~SeasonWithDivisions() {
        context_.reset();
        std::filesystem::remove_all(dir_);
    }

    qff::Singleton& context() { return *context_; }
    std::filesystem::path schedulePath() const {
        return dir_ / *qff::seasonFileName(qff::SeasonFile::Sched, kYear);
    }

  private:
    void addDivision(int id) {
        auto division = context_->memory().makeRecord<qff::Division>(
            qff::Kind::Division, context_->divisionFile(), *context_);
        division->setValue(qff::kDivisionId, id);
        division->setValue(qff::kDivisionLeague, qff::kDefaultLeagueId);
        context_->mapFactory().add(context_->mapFactory().divisions(), division);
    }

    void addFranchise(int id, int division) {
        auto team = context_->memory().makeRecord<qff::Team>(qff::Kind::Team, context_->teamFile(),
                                                             *context_);
        team->setValue(qff::kFranchiseId, id);
        team->setValue(qff::kFranchiseLeague, qff::kDefaultLeagueId);
        team->setValue(qff::kFranchiseDivision, division);
        team->setText(qff::kFranchiseName, "Franchise " + std::to_string(id));
        context_->mapFactory().add(context_->mapFactory().franchises(), team);
    }

    std::filesystem::path dir_;
    std::unique_ptr<qff::Singleton> context_;
};

SeasonWithDivisions& sharedSeason() {
    static SeasonWithDivisions season;
    return season;
}

void BM_ReadScheduleFileBytes(benchmark::State& state) {
    auto& season = sharedSeason();
    season.context().schedule().generateLeague(qff::kDefaultLeagueId);
    std::vector<char> bytes(std::filesystem::file_size(season.schedulePath()));
    for (auto _ : state) {
        std::FILE* in = std::fopen(season.schedulePath().c_str(), "rb");
        std::size_t got = std::fread(bytes.data(), 1, bytes.size(), in);
        std::fclose(in);
        benchmark::DoNotOptimize(got);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadScheduleFileBytes)->Unit(benchmark::kMicrosecond);

void BM_GenerateEightDivisionsOf14(benchmark::State& state) {
    auto& season = sharedSeason();
    for (auto _ : state) {
        qff::GenerationResult result =
            season.context().schedule().generateLeague(qff::kDefaultLeagueId);
        if (!result.complete()) {
            state.SkipWithError("the generation did not complete");
            break;
        }
    }
}
BENCHMARK(BM_GenerateEightDivisionsOf14)->Unit(benchmark::kMillisecond);

// Prints both figures and the generator's time against its target.
class TargetReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.benchmark_name() == "BM_ReadScheduleFileBytes") {
                readSeconds_ = seconds;
            } else if (run.benchmark_name() == "BM_GenerateEightDivisionsOf14") {
                generateSeconds_ = seconds;
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("reading the schedule file: %.3f ms\n", readSeconds_ * 1e3);
        std::printf("generating 8 divisions of 14: %.3f ms (target < 1000 ms)\n",
                    generateSeconds_ * 1e3);
    }

  private:
    double readSeconds_ = 0;
    double generateSeconds_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TargetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
