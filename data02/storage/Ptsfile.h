#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data02/model/Pro.h"
#include "data02/storage/Db_file.h"

namespace qff {

// The week field of every record of a roster-update file.
inline constexpr int kRosterWeek = 99;

// A weekly statistics or roster-update file, read record by record. Values
// come back under the player statistic codes, so callers never see where
// the file keeps them. The file is only ever read.
class PtsFile {
  public:
    PtsFile(MyMemory& memory, StrBuf& strBuf);
    PtsFile(const PtsFile&) = delete;
    PtsFile& operator=(const PtsFile&) = delete;

    // Opens a ".pts" or ".ros" file and reads its first record; 0 on success.
    int open(const std::filesystem::path& name);
    void close();
    bool isOpen() const { return db_.isOpen(); }
    const std::string& lastError() const { return error_; }

    // Iteration over the records in file order; non-zero at the end.
    int first();
    int next();
    // True while the last open, first or next left a record to read.
    bool hasRecord() const { return hasRecord_; }

    int currentSlot() const { return db_.currentSlot(); }
    int fileYear() const { return db_.fileYear(); }
    // How many records the iteration returns, counted from the file's length.
    int recordCount() const { return count_; }

    // A statistic code of the current record; 0 for a code its position lacks.
    int value(int field) const;
    // 2 the name, 3 the NFL team's short name, 4 the position's short name,
    // named as in the file's own season; empty for any other kind.
    const char* text(int kind) const;

    // The player database's position for a file's position code; -1 if none.
    static int positionOf(int fileCode);
    // The file's position code for a database position; -1 if none.
    static int fileCodeOf(int position);

  private:
    int fail(std::string reason);
    int track(int status);
    int countRecords() const;

    // The file writes into the record until it closes, so the record outlives it.
    OwnedBytes record_;
    DBFile db_;
    StrBuf& strBuf_;
    Pro names_;
    bool hasRecord_ = false;
    int count_ = 0;
    std::string error_;
};

// One record to write into a statistics file. Values are statistic codes
// with their numbers; byte fields keep the low 8 bits, word fields 16.
struct PtsRecord {
    std::string name;
    int team = 0;
    int position = 0;
    int id = 0;
    int week = 0;
    std::vector<std::pair<int, int>> values;
};

// Writes a statistics file (or, with week 99 records, a roster-update file)
// for `seasonYear`, replacing any file of that name. Fails, writing nothing,
// for more than 2048 records, a position the file cannot hold or a value
// code that the record's position has no place for. 0 on success.
int writePtsFile(const std::filesystem::path& name, int seasonYear,
                 std::span<const PtsRecord> records, std::string& error);

}  // namespace qff
