#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "data02/storage/Db_file.h"
#include "data02/storage/Files.h"

namespace qff {

// A season's record file with its bound record buffer: the container of
// record objects that load from it and save through it.
template <int RecordSize>
class RecordFile {
  public:
    static constexpr int kRecordSize = RecordSize;

    RecordFile(MyMemory& memory, SeasonFile kind, std::filesystem::path workdir)
        : db_(memory), kind_(kind), workdir_(std::move(workdir)) {}
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    DBFile& db() { return db_; }
    const DBFile& db() const { return db_; }
    ByteSpan record() { return buffer_; }
    ConstByteSpan record() const { return buffer_; }
    bool isOpen() const { return db_.isOpen(); }
    const std::string& lastError() const { return error_; }
    int year() const { return year_; }

    std::filesystem::path pathFor(int year) const {
        std::optional<std::string> name = seasonFileName(kind_, year);
        return name ? resolveNoCase(workdir_ / *name) : std::filesystem::path();
    }

    // Opens the season's file. A missing (or empty) file is created and seeded
    // only when `seed` is given; a file that exists but cannot be read is left
    // untouched, and a damaged one opens for reading only.
    int open(int year, const std::function<int(RecordFile&)>& seed = {}) {
        db_.closeFile();
        year_ = year;
        std::filesystem::path path = pathFor(year);
        if (path.empty()) {
            return fail("There is no season " + std::to_string(year) + ".");
        }
        bool exists = recordFileExists(path);
        if (!exists && !seed) {
            std::error_code ec;
            bool empty = std::filesystem::exists(path, ec);
            return fail(path.filename().string() + (empty ? " is empty." : " does not exist."));
        }
        if (!exists && (db_.createFile(path, year, kRecordSize) != 0 ||
                        db_.openFile(path, buffer_) != 0 || seed(*this) != 0)) {
            return fail("Cannot create " + path.filename().string() + ": " + db_.lastError());
        }
        if (exists && db_.openFile(path, buffer_) != 0) {
            return fail(db_.lastError());
        }
        error_.clear();
        return 0;
    }

    void close() { db_.closeFile(); }

    int fail(std::string reason) {
        error_ = std::move(reason);
        return 1;
    }

  private:
    std::array<std::uint8_t, RecordSize> buffer_{};
    DBFile db_;
    SeasonFile kind_;
    std::filesystem::path workdir_;
    int year_ = 0;
    std::string error_;
};

// Season files whose records have no class of their own yet: the loader only
// opens them (creating the report file when missing).
using ScheduleFile = RecordFile<kScheduleRecordSize>;
using ReportFile = RecordFile<kReportRecordSize>;

}  // namespace qff
