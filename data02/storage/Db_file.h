#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data02/diag/Memory.h"
#include "data02/storage/Bytes.h"

namespace qff {

// The season's record files. The prefixes and record sizes are part of the
// stored format and never change.
enum class SeasonFile { Plyr, Team, Div, Leg, Draft, Rpt, Sched, Score, State };

inline constexpr int kPlayerRecordSize = 1314;
inline constexpr int kTeamRecordSize = 3136;
inline constexpr int kDivisionRecordSize = 82;
inline constexpr int kLeagueRecordSize = 2700;
inline constexpr int kDraftRecordSize = 308;
inline constexpr int kReportRecordSize = 9396;
inline constexpr int kScheduleRecordSize = 82180;
inline constexpr int kScoreRecordSize = 9536;
inline constexpr int kStateRecordSize = 420;
inline constexpr int kPrefsRecordSize = 2756;
inline constexpr int kStickyRecordSize = 264;
inline constexpr int kStatsRecordSize = 91;

const char* seasonFilePrefix(SeasonFile file);
int seasonFileRecordSize(SeasonFile file);
inline constexpr SeasonFile kAllSeasonFiles[] = {
    SeasonFile::Plyr, SeasonFile::Team,  SeasonFile::Div,   SeasonFile::Leg,   SeasonFile::Draft,
    SeasonFile::Rpt,  SeasonFile::Sched, SeasonFile::Score, SeasonFile::State,
};

// "Plyr_03.DB" for 2003; nullopt for a year before 1900.
std::optional<std::string> seasonFileName(SeasonFile file, int year);

// True for the read-only statistics layout (".pts" and ".ros" in any case).
bool isStatisticsFileName(const std::filesystem::path& name);

// The season file a name like "Plyr_03.DB" names, in any case; nullopt for
// any other name.
std::optional<SeasonFile> seasonFileKind(std::string_view name);

// The record size the program opens a file of this name with ("Plyr_03.DB",
// "Prefs.db", "sticky.db", statistics and roster-update files), in any case;
// nullopt for a name that is none of the program's files.
std::optional<int> recordSizeForFileName(std::string_view name);

// A record file of zero bytes is what a creation cut off before its header
// leaves: it holds nothing, so it counts as missing. Anything else found
// under the name (even a folder) counts as there.
bool recordFileExists(const std::filesystem::path& path);

// "0-3 7 9-12": runs of neighbouring slots keep long lists readable.
std::string slotRangesText(const std::vector<int>& slots);

// What every record of one kind must be for the program to read it as that
// kind. `one` and `many` name the records in messages ("report definition",
// "report definitions").
struct RecordCheck {
    const char* one;
    const char* many;
    bool (*readable)(ConstByteSpan record);
};

// A binary file of fixed-size records in up to 2048 slots, bound to one
// caller-owned record buffer: reads fill the buffer, writes store it.
// Every operation returns 0 on success and 1 on failure; lastError() says why.
// A record file whose records do not all lie where its header says opens for
// reading only: its readable records can be read, every write is refused.
// So does one whose records its kind's RecordCheck cannot read.
class DBFile {
  public:
    static constexpr int kSlots = 2048;
    static constexpr int kHeaderSize = 2136;
    static constexpr int kVariantHeaderSize = 92;
    static constexpr int kYearOffset = 80;
    static constexpr int kRecordSizeOffset = 84;
    static constexpr int kSlotMapOffset = 88;

    explicit DBFile(MyMemory& memory);
    ~DBFile();
    DBFile(const DBFile&) = delete;
    DBFile& operator=(const DBFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    bool isVariant() const { return variant_; }
    const std::filesystem::path& path() const { return path_; }
    const std::string& lastError() const { return error_; }
    // What is wrong with an open record file, empty when nothing is, e.g.
    // "Plyr_03.DB is cut short: 1,813 of its 2,000 records are missing".
    const std::string& damage() const { return damage_; }
    // The damage with what it means and how to repair it, as the user is told.
    std::string damageNotice() const;
    // Used slots whose record lies wholly or partly past the end of the file.
    std::vector<int> missingSlots() const;
    // Only the layer that knows what the records hold can tell garbage from a
    // record: the records failing `check` are marked unreadable, reading them
    // fails, and the file counts as damaged ("Rpt_03.DB holds 20 report
    // definitions that cannot be read").
    void checkRecords(const RecordCheck& check);
    // The slots a repair leaves out: records missing or marked unreadable.
    std::vector<int> lostSlots() const;

    // Writes the header under a temporary name first, so a creation cut off
    // never leaves a partial file under the real name.
    int createFile(const std::filesystem::path& name, int seasonYear, int recordSize);
    int openFile(const std::filesystem::path& name, ByteSpan boundRecord);
    void closeFile();

    bool isSlotUsed(int slot) const;
    int recordSize() const;
    int fileYear() const;
    int slotCount() const;
    int usedCount() const;
    bool hasRecords() const;
    int currentSlot() const { return current_; }
    // The slots holding records; a statistics file has no slot map, so every
    // record it counts is in use.
    std::vector<int> usedSlots() const;

    int gotoSlot(int slot);
    int readCurrent();
    int writeCurrent();
    int addRecord();
    int deleteCurrent();
    int readFirst();
    int readNext();

  private:
    int fail(std::string reason);
    int failRead(std::string reason);
    int readHeader();
    int checkHeader(int expectedRecordSize);
    void findDamage();
    long layoutRecordSize() const;
    int checkVariantLength(const std::string& name, int count);
    long slotOffset(int slot) const;
    bool readIntoScratch(int slot);
    bool isUnreadable(int slot) const;
    void addDamage(const std::string& finding);
    bool seekTo(long offset);
    int writeAt(long offset, const void* bytes, std::size_t size);
    int writeHeader();
    int extendTo(long offset);
    int lowestUsedSlotFrom(int slot) const;
    int highestUsedSlotBelow(int slot) const;

    MyMemory& memory_;
    std::array<std::uint8_t, kHeaderSize> header_{};
    std::array<std::uint8_t, kVariantHeaderSize> variantHeader_{};
    bool variant_ = false;
    OwnedBytes scratch_;
    std::filesystem::path path_;
    ByteSpan bound_;
    std::FILE* file_ = nullptr;
    long length_ = 0;
    long position_ = -1;
    int current_ = 0;
    std::string error_;
    std::string damage_;
    std::vector<int> unreadable_;
};

}  // namespace qff
