#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <source_location>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "data02/diag/Status.h"

namespace qff {

// Every data-layer allocation is filed under one of these kinds; the numbers
// are the rows of the memory report and must never be renumbered.
enum class Kind : std::uint8_t {
    Unknown,
    Char,
    IntMap,
    StrMap,
    StrList,
    PlayerFile,
    Player,
    PlayerInfo,
    PlayerStats,
    PlayerQuery,
    PlayerQueryNode,
    PlyrList,
    PlyrStrMap,
    PlyrIntMap,
    PlyrSingularIntMap,
    TeamFile,
    Team,
    TeamRosterStruct,
    TeamQuery,
    TeamQueryNode,
    TeamList,
    TeamStrMap,
    TeamIntMap,
    DivisionFile,
    Division,
    DivisionQuery,
    DivisionQueryNode,
    DivList,
    DivStrMap,
    DivIntMap,
    LeagueFile,
    League,
    LeagueQuery,
    LeagueQueryNode,
    LeagueList,
    LeagueStrMap,
    LeagueIntMap,
    DraftFile,
    Draft,
    DraftQuery,
    DraftList,
    DraftIntMap,
    ReportFile,
    Report,
    ReportGenerator,
    ReportQuery,
    ReportQueryNode,
    RptList,
    RptStrMap,
    RptIntMap,
    AddressFile,
    Address,
    AddressQuery,
    AddressQueryNode,
    AddrList,
    AddrStrMap,
    AddrIntMap,
    StrBuf,
    Preferences,
    SeasonState,
    Sticky,
    Pro,
    MapFactory,
    ScoringSystem,
    Schedule,
    ExportHTML,
    SiteStrMap,
    SiteIntMap,
    ScheduleFantWeek,
    PrefStruct,
    StickyStruct,
    StateStruct,
    SiteMapStruct,
};

inline constexpr int kKindCount = 73;
static_assert(static_cast<int>(Kind::SiteMapStruct) == kKindCount - 1);
static_assert(static_cast<int>(Kind::StrBuf) == 57);

// The label of a kind in the report: its name padded with blanks to 19 characters.
std::string kindLabel(Kind kind);

enum class KindFamily { Unknown, Bytes, Object, Record, Block, Container };
KindFamily familyOf(Kind kind);

// Captures the caller's source position at the point where a Kind is passed,
// so allocations are attributed to the line that asked for them.
struct Site {
    Kind kind;
    std::source_location where;
    Site(Kind k, std::source_location loc = std::source_location::current())
        : kind(k), where(loc) {}
};

class MyMemory;

// Sole owner of one tracked allocation; releasing it (explicitly or by going
// out of scope) tells the allocator with the kind it was created under.
template <class T>
class Owned {
  public:
    Owned() = default;
    Owned(T* object, MyMemory* memory, Kind kind, std::source_location site)
        : object_(object), memory_(memory), kind_(kind), site_(site) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept { *this = std::move(other); }
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
            memory_ = other.memory_;
            kind_ = other.kind_;
            site_ = other.site_;
        }
        return *this;
    }
    ~Owned() { reset(site_); }

    void reset(std::source_location where = std::source_location::current());

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    Kind kind() const { return kind_; }

  private:
    T* object_ = nullptr;
    MyMemory* memory_ = nullptr;
    Kind kind_ = Kind::Unknown;
    std::source_location site_;
};

// A raw byte block recorded under the Char kind.
class OwnedBytes {
  public:
    OwnedBytes() = default;
    OwnedBytes(std::byte* bytes, std::size_t size, MyMemory* memory, std::source_location site)
        : bytes_(bytes), size_(size), memory_(memory), site_(site) {}
    OwnedBytes(const OwnedBytes&) = delete;
    OwnedBytes& operator=(const OwnedBytes&) = delete;
    OwnedBytes(OwnedBytes&& other) noexcept { *this = std::move(other); }
    OwnedBytes& operator=(OwnedBytes&& other) noexcept;
    ~OwnedBytes() { reset(site_); }

    void reset(std::source_location where = std::source_location::current());

    std::byte* data() const { return bytes_; }
    std::size_t size() const { return size_; }
    explicit operator bool() const { return bytes_ != nullptr; }

  private:
    std::byte* bytes_ = nullptr;
    std::size_t size_ = 0;
    MyMemory* memory_ = nullptr;
    std::source_location site_;
};

// The tracked allocator: counts allocations per kind, remembers every live
// block and writes the report of counters and unreleased blocks to its log
// when it is destroyed.
class MyMemory {
  public:
    explicit MyMemory(const std::filesystem::path& logPath);
    ~MyMemory();
    MyMemory(const MyMemory&) = delete;
    MyMemory& operator=(const MyMemory&) = delete;

    // Objects, blocks and containers; null for the unknown kind, raw bytes and
    // record kinds (records come from makeRecord).
    template <class T, class... Args>
    Owned<T> make(Site site, Args&&... args) {
        KindFamily family = familyOf(site.kind);
        if (family == KindFamily::Unknown || family == KindFamily::Bytes ||
            family == KindFamily::Record) {
            return {};
        }
        return construct<T>(site, std::forward<Args>(args)...);
    }

    // A record bound to its record file; null for every kind that is not a record kind.
    template <class T, class File, class... Args>
    Owned<T> makeRecord(Site site, File& recordFile, Args&&... args) {
        if (familyOf(site.kind) != KindFamily::Record) {
            return {};
        }
        return construct<T>(site, recordFile, std::forward<Args>(args)...);
    }

    OwnedBytes allocBytes(std::size_t size,
                          std::source_location where = std::source_location::current());

    // Files a block the caller obtained elsewhere; used by the owners above.
    void record(const void* block, Kind kind, std::source_location where) {
        record(block, kind, where.file_name(), static_cast<int>(where.line()));
    }
    void record(const void* block, Kind kind, const char* file, int line);
    // Drops a block from the live set, logging when it was never recorded.
    void forget(const void* block, std::source_location where) {
        forget(block, where.file_name(), static_cast<int>(where.line()));
    }
    void forget(const void* block, const char* file, int line);

    int hits(Kind kind) const { return hits_[static_cast<int>(kind)]; }
    std::size_t liveBlocks() const { return live_.size(); }

  private:
    // The file name is the caller's static source name; it is cut to its
    // base name only when the report is written.
    struct BlockInfo {
        std::int32_t serial;
        Kind kind;
        const char* file;
        std::int32_t line;
    };

    template <class T, class... Args>
    Owned<T> construct(const Site& site, Args&&... args) {
        T* object = new (std::nothrow) T(std::forward<Args>(args)...);
        if (object == nullptr) {
            return {};
        }
        record(object, site.kind, site.where);
        return Owned<T>(object, this, site.kind, site.where);
    }

    void writeLine(const std::string& text);
    void writeReport();

    std::FILE* log_ = nullptr;
    std::int32_t serial_ = 0;
    std::unordered_map<const void*, BlockInfo> live_;
    std::array<std::int32_t, kKindCount> hits_{};
};

template <class T>
void Owned<T>::reset(std::source_location where) {
    if (object_ == nullptr) {
        return;
    }
    memory_->forget(object_, where);
    delete std::exchange(object_, nullptr);
}

// Appends a tracked copy of `item` unless `items` already holds `limit`:
// kFailed then, kNoMemory when the copy cannot be made.
template <class T>
int addTrackedCopy(std::vector<Owned<T>>& items, MyMemory& memory, Kind kind, const T& item,
                   std::size_t limit,
                   std::source_location where = std::source_location::current()) {
    if (items.size() >= limit) {
        return kFailed;
    }
    Owned<T> copy = memory.make<T>(Site(kind, where), item);
    if (!copy) {
        return kNoMemory;
    }
    items.push_back(std::move(copy));
    return kOk;
}

// The ring of scratch strings that text getters return: a text stays valid
// until 255 further calls.
class StrBuf {
  public:
    static constexpr int kBuffers = 256;
    static constexpr int kBufferSize = 256;

    explicit StrBuf(MyMemory& memory);

    char* next();
    // Copies text (cut to fit, always zero-ended) into the next buffer.
    const char* put(std::string_view text);

  private:
    OwnedBytes storage_;
    int index_ = 0;
};

}  // namespace qff
