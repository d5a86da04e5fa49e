#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "data02/diag/Status.h"
#include "data02/storage/Db_file.h"

namespace qff {

class Singleton;

// One remembered-settings record: byte 0 is its tag 1..31, the rest its data.
struct StickyStruct {
    std::array<std::uint8_t, kStickyRecordSize> bytes{};
};
static_assert(sizeof(StickyStruct) == kStickyRecordSize);

inline constexpr int kFirstStickyId = 10000;
inline constexpr int kLastStickyId = 10011;
// The franchise last chosen in the bonus-points dialog, by name.
inline constexpr int kStickyBonusFranchise = 10006;
// The NFL team (by name) and player (by id) last shown in the statistics entry.
inline constexpr int kStickyEntryTeam = 10007;
inline constexpr int kStickyEntryPlayer = 10008;

// Dialog choices remembered across runs, in 31 small records of sticky.db.
class Sticky {
  public:
    static constexpr int kRecords = 31;

    explicit Sticky(Singleton& context);
    ~Sticky();
    Sticky(const Sticky&) = delete;
    Sticky& operator=(const Sticky&) = delete;

    // Reads sticky.db. When it does not exist (or is empty) the defaults are
    // used and nothing is created before a save. A file that exists but cannot
    // be read, or is damaged, is left as it is and will not be saved over.
    int load();
    // Writes sticky.db, creating it when it does not exist.
    int save();
    bool isLoaded() const { return loaded_; }
    const std::string& lastError() const { return error_; }

    int getInt(int id) const;
    void setInt(int id, int value);
    const char* getText(int id) const;
    void setText(int id, std::string_view text);
    static bool isText(int id);
    static bool isKnown(int id);

  private:
    int fail(std::string reason);
    int openCopyOf(const std::filesystem::path& path, const std::filesystem::path& copy);
    int createFile(const std::filesystem::path& path);
    int readRecords();
    int writeRecords();
    void applyDefaults();

    Singleton& context_;
    // Index 0 is the buffer bound to the file; 1..31 hold the records by tag.
    std::array<Owned<StickyStruct>, kRecords + 1> records_;
    DBFile file_;
    bool loaded_ = false;
    bool changed_ = false;
    std::string error_;
};

}  // namespace qff
