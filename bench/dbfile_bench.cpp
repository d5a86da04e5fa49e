// Scanning and rewriting a full player-sized record file, beside the cost of
// simply reading the same bytes, so the overhead of the slot layer is visible.
#include <benchmark/benchmark.h>

#include "bench/support/BenchReport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "data02/storage/Db_file.h"

namespace {

using qff::DBFile;

constexpr int kRecordSize = qff::kPlayerRecordSize;

class PlayerSizedFile {
  public:
    PlayerSizedFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qff-bench-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        path_ = dir_ / "Plyr_03.DB";
        memory_ = std::make_unique<qff::MyMemory>(dir_ / "mem_log.txt");
        std::vector<std::uint8_t> record(kRecordSize);
        DBFile file(*memory_);
        file.createFile(path_, 2003, kRecordSize);
        file.openFile(path_, record);
        for (int slot = 0; slot < DBFile::kSlots; ++slot) {
            std::fill(record.begin(), record.end(), static_cast<std::uint8_t>(slot));
            file.addRecord();
        }
    }
    ~PlayerSizedFile() {
        memory_.reset();
        std::filesystem::remove_all(dir_);
    }

    const std::filesystem::path& path() const { return path_; }
    qff::MyMemory& memory() { return *memory_; }

  private:
    std::filesystem::path dir_;
    std::filesystem::path path_;
    std::unique_ptr<qff::MyMemory> memory_;
};

PlayerSizedFile& sharedFile() {
    static PlayerSizedFile file;
    return file;
}

void BM_ReadFileBytes(benchmark::State& state) {
    auto& file = sharedFile();
    std::vector<char> bytes(std::filesystem::file_size(file.path()));
    for (auto _ : state) {
        std::FILE* in = std::fopen(file.path().c_str(), "rb");
        std::size_t got = std::fread(bytes.data(), 1, bytes.size(), in);
        std::fclose(in);
        benchmark::DoNotOptimize(got);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMicrosecond);

void BM_ScanAllSlots(benchmark::State& state) {
    auto& file = sharedFile();
    std::vector<std::uint8_t> record(kRecordSize);
    for (auto _ : state) {
        DBFile db(file.memory());
        int records = 0;
        for (int status = db.openFile(file.path(), record); status == 0 && db.hasRecords();
             status = db.readNext()) {
            ++records;
        }
        benchmark::DoNotOptimize(records);
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(file.path())));
}
BENCHMARK(BM_ScanAllSlots)->Unit(benchmark::kMicrosecond);

void BM_RewriteAllSlots(benchmark::State& state) {
    auto& file = sharedFile();
    std::vector<std::uint8_t> record(kRecordSize);
    for (auto _ : state) {
        DBFile db(file.memory());
        db.openFile(file.path(), record);
        for (int slot = 0; slot < DBFile::kSlots; ++slot) {
            db.gotoSlot(slot);
            db.writeCurrent();
        }
    }
}
BENCHMARK(BM_RewriteAllSlots)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return qff::bench::runWithRatio(argc, argv, "BM_ScanAllSlots", "BM_ReadFileBytes",
                                    "scan / raw read ratio (target <= 3)");
}
