// Packing and unpacking a backup-sized tree, measured against plainly copying the same files,
// so that the cost of compression and the archive format shows as one number.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "qff/platform/zip_archiver.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFileCount = 200;
constexpr std::size_t kFileSize = 100 * 1024;

// League exports are text tables, so the sample files are too: compressible, but not trivially.
std::string sampleTable(unsigned seed) {
    std::mt19937 generator(seed);
    std::string text;
    while (text.size() < kFileSize) {
        text += std::to_string(generator() % 100000) + ",team" + std::to_string(generator() % 32) +
                "," + std::to_string(generator() % 400) + "." + std::to_string(generator() % 10) +
                "\n";
    }
    text.resize(kFileSize);
    return text;
}

class BenchTree {
  public:
    BenchTree() {
        std::string pattern = (fs::temp_directory_path() / "qff-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        root_ = pattern;
        for (int i = 0; i < kFileCount; ++i) {
            const fs::path name =
                fs::path("week" + std::to_string(i % 17)) / ("table" + std::to_string(i) + ".csv");
            fs::create_directories((source() / name).parent_path());
            std::ofstream(source() / name, std::ios::binary) << sampleTable(i);
            names_.push_back(name);
        }
    }
    ~BenchTree() { fs::remove_all(root_); }

    fs::path source() const { return root_ / "source"; }
    fs::path scratch(const char* name) const { return root_ / name; }
    const std::vector<fs::path>& names() const { return names_; }

  private:
    fs::path root_;
    std::vector<fs::path> names_;
};

const BenchTree& tree() {
    static const BenchTree instance;
    return instance;
}

void BM_PackAndExtract(benchmark::State& state) {
    qff::platform::ZipArchiver archiver;
    const fs::path archive = tree().scratch("bench.zip");
    const fs::path target = tree().scratch("extracted");
    for (auto _ : state) {
        const bool ok = archiver.packTree(archive, tree().source(), tree().names(), "").ok &&
                        archiver.extractAll(archive, target, "").ok;
        if (!ok) {
            state.SkipWithError("pack or extract failed");
            break;
        }
        state.PauseTiming();
        fs::remove_all(target);
        fs::remove(archive);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PackAndExtract)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_CopyFiles(benchmark::State& state) {
    const fs::path target = tree().scratch("copied");
    for (auto _ : state) {
        fs::copy(tree().source(), target, fs::copy_options::recursive);
        state.PauseTiming();
        fs::remove_all(target);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CopyFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Remembers each benchmark's mean wall time per iteration, to relate them after the run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                secondsPerIteration_[run.run_name.function_name] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatio() const {
        const auto archive = secondsPerIteration_.find("BM_PackAndExtract");
        const auto copy = secondsPerIteration_.find("BM_CopyFiles");
        if (archive == secondsPerIteration_.end() || copy == secondsPerIteration_.end()) {
            return;
        }
        std::printf("pack+extract / copy of %d files of %zu KB: %.1fx (%.1f ms vs %.1f ms)\n",
                    kFileCount, kFileSize / 1024, archive->second / copy->second,
                    archive->second * 1e3, copy->second * 1e3);
    }

  private:
    std::map<std::string, double> secondsPerIteration_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio();
    benchmark::Shutdown();
    return 0;
}
