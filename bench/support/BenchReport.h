#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace qff::bench {

// Prints, after the usual table, how many times slower one benchmark ran than
// another measured in the same run, beside the target it is held to.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter(std::string slow, std::string fast, std::string label)
        : slow_(std::move(slow)), fast_(std::move(fast)), label_(std::move(label)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.benchmark_name() == slow_) {
                slowTime_ = run.GetAdjustedRealTime();
            } else if (run.benchmark_name() == fast_) {
                fastTime_ = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        if (slowTime_ > 0 && fastTime_ > 0) {
            std::printf("%s: %.2f\n", label_.c_str(), slowTime_ / fastTime_);
        }
    }

  private:
    std::string slow_;
    std::string fast_;
    std::string label_;
    double slowTime_ = 0;
    double fastTime_ = 0;
};

// The main of a benchmark program that reports one ratio.
inline int runWithRatio(int argc, char** argv, const char* slow, const char* fast,
                        const char* label) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(slow, fast, label);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace qff::bench
