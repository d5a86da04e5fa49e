#include "data02/storage/Ptsfile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>

#include "data02/model/Player.h"
#include "data02/storage/Statblock.h"

namespace qff {
namespace {

constexpr int kNameSize = 30;
constexpr int kTeamOffset = 30;
constexpr int kPositionOffset = 31;
constexpr int kIdOffset = 32;
constexpr int kWeekOffset = 34;
constexpr int kStoredRecordSize = kStatsRecordSize + 1;

constexpr int kLengthOffset = 80;
constexpr int kYearOffset = 82;
constexpr int kCountOffset = 84;
constexpr int kInUseOffset = 86;
constexpr int kFirstOffset = 88;

// Consecutive codes stored side by side: one field, or a whole slot group.
struct Run {
    int firstCode;
    int offset;
    int size;
    int count;
};

constexpr Run kGeneralLayout[] = {
    {9, 35, 1, 1},  {10, 36, 1, 1}, {23, 37, 1, 1}, {11, 38, 1, 1}, {12, 39, 2, 1}, {13, 41, 1, 8},
    {24, 49, 1, 1}, {36, 50, 1, 1}, {25, 51, 2, 1}, {26, 53, 1, 8}, {37, 61, 1, 1}, {49, 62, 1, 1},
    {38, 63, 2, 1}, {39, 65, 1, 8}, {50, 73, 1, 1}, {51, 74, 1, 8}, {61, 82, 1, 1}, {62, 83, 1, 8},
};

constexpr Run kDefenseLayout[] = {
    {76, 39, 2, 1}, {78, 41, 1, 8}, {72, 53, 1, 1}, {73, 54, 1, 1},
    {74, 55, 1, 1}, {75, 56, 1, 1}, {77, 57, 1, 1},
};

constexpr Run kSpecialTeamsLayout[] = {
    {61, 39, 2, 1},
    {62, 41, 1, 8},
};

constexpr int kPositionTable[] = {0, 1, 2, 4, 5, 6, 10, 11, 12, 14, 15, 16, 3, 13};

std::span<const Run> layoutOf(int position) {
    if (position == kDefenseUnit) {
        return kDefenseLayout;
    }
    if (position == kSpecialTeamsUnit) {
        return kSpecialTeamsLayout;
    }
    return kGeneralLayout;
}

std::optional<BlockField> fileField(int position, int code) {
    for (const Run& run : layoutOf(position)) {
        if (code >= run.firstCode && code < run.firstCode + run.count) {
            return BlockField{run.offset + (code - run.firstCode) * run.size, run.size};
        }
    }
    return std::nullopt;
}

bool encodeValues(const PtsRecord& record, ByteSpan out, std::string& error) {
    for (const auto& [code, value] : record.values) {
        std::optional<BlockField> field = fileField(record.position, code);
        if (!field) {
            error = "position " + std::to_string(record.position) + " has no place for code " +
                    std::to_string(code);
            return false;
        }
        if (field->size == 1) {
            putU8(out, field->offset, static_cast<std::uint8_t>(value));
        } else {
            putI16(out, field->offset, value);
        }
    }
    return true;
}

bool encodeRecord(const PtsRecord& record, ByteSpan out, std::string& error) {
    int fileCode = PtsFile::fileCodeOf(record.position);
    if (fileCode < 0) {
        error = "position " + std::to_string(record.position) + " cannot be written";
        return false;
    }
    std::ranges::fill(out, 0);
    putText(out, 0, kNameSize, record.name);
    putU8(out, kTeamOffset, static_cast<std::uint8_t>(record.team));
    putU8(out, kPositionOffset, static_cast<std::uint8_t>(fileCode));
    putI16(out, kIdOffset, record.id);
    putU8(out, kWeekOffset, static_cast<std::uint8_t>(record.week));
    return encodeValues(record, out, error);
}

std::array<std::uint8_t, DBFile::kVariantHeaderSize> headerFor(int seasonYear, int count) {
    std::array<std::uint8_t, DBFile::kVariantHeaderSize> header{};
    putI16(header, kLengthOffset, kStoredRecordSize);
    putI16(header, kYearOffset, seasonYear);
    putI16(header, kCountOffset, count);
    putI16(header, kInUseOffset, count);
    putI16(header, kFirstOffset, 0);
    return header;
}

}  // namespace

PtsFile::PtsFile(MyMemory& memory, StrBuf& strBuf)
    : record_(memory.allocBytes(kStatsRecordSize)), db_(memory), strBuf_(strBuf), names_(strBuf) {}

int PtsFile::fail(std::string reason) {
    error_ = std::move(reason);
    hasRecord_ = false;
    return kFailed;
}

int PtsFile::track(int status) {
    hasRecord_ = status == kOk;
    return status;
}

int PtsFile::open(const std::filesystem::path& name) {
    close();
    if (!record_) {
        return fail("no memory for the statistics record");
    }
    if (!isStatisticsFileName(name)) {
        return fail(name.filename().string() + " is not a statistics file (.pts or .ros)");
    }
    ByteSpan record(reinterpret_cast<std::uint8_t*>(record_.data()), record_.size());
    if (db_.openFile(name, record) != 0) {
        return fail(db_.lastError());
    }
    names_.setSeason(db_.fileYear());
    error_.clear();
    hasRecord_ = db_.hasRecords();
    count_ = countRecords();
    return kOk;
}

void PtsFile::close() {
    db_.closeFile();
    hasRecord_ = false;
    count_ = 0;
}

int PtsFile::first() {
    return track(db_.readFirst());
}

int PtsFile::next() {
    return track(db_.readNext());
}

// Called right after opening, while the current slot is still the first one.
int PtsFile::countRecords() const {
    if (!hasRecord_) {
        return 0;
    }
    std::error_code ec;
    auto length = static_cast<long long>(std::filesystem::file_size(db_.path(), ec));
    long long stored = ec ? 0 : (length - DBFile::kVariantHeaderSize) / kStoredRecordSize;
    long long fromFirst = std::min<long long>(stored, DBFile::kSlots) - db_.currentSlot();
    return static_cast<int>(std::max(fromFirst, 0LL));
}

int PtsFile::value(int field) const {
    ConstByteSpan record(reinterpret_cast<const std::uint8_t*>(record_.data()), record_.size());
    int position = positionOf(getU8(record, kPositionOffset));
    int team = getI8(record, kTeamOffset);
    switch (field) {
        case kPlayerId:
            if (position == kDefenseUnit || position == kSpecialTeamsUnit) {
                return Pro::unitId(team, position);
            }
            return getI16(record, kIdOffset);
        case kPlayerTeam:
            return team;
        case kPlayerPosition:
            return position;
        case kPlayerWeek:
            return getI8(record, kWeekOffset);
        default:
            break;
    }
    std::optional<BlockField> at = fileField(position, field);
    if (!at) {
        return 0;
    }
    return at->size == 1 ? getI8(record, at->offset) : getI16(record, at->offset);
}

const char* PtsFile::text(int kind) const {
    ConstByteSpan record(reinterpret_cast<const std::uint8_t*>(record_.data()), record_.size());
    switch (kind) {
        case kPlayerName:
            return strBuf_.put(getText(record, 0, kNameSize));
        case kPlayerTeam:
            return names_.teamName(true, value(kPlayerTeam));
        case kPlayerPosition:
            return names_.positionName(true, value(kPlayerPosition));
        default:
            return strBuf_.put("");
    }
}

int PtsFile::positionOf(int fileCode) {
    if (fileCode < 0 || fileCode >= static_cast<int>(std::size(kPositionTable))) {
        return -1;
    }
    return kPositionTable[fileCode];
}

int PtsFile::fileCodeOf(int position) {
    for (int code = 0; code < static_cast<int>(std::size(kPositionTable)); ++code) {
        if (kPositionTable[code] == position) {
            return code;
        }
    }
    return -1;
}

int writePtsFile(const std::filesystem::path& name, int seasonYear,
                 std::span<const PtsRecord> records, std::string& error) {
    if (records.size() > static_cast<std::size_t>(DBFile::kSlots)) {
        error = "a statistics file holds at most " + std::to_string(DBFile::kSlots) + " records";
        return kFailed;
    }
    std::array<std::uint8_t, kStoredRecordSize> slot{};
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!encodeRecord(records[i], ByteSpan(slot).subspan(1), error)) {
            error = "record " + std::to_string(i) + ": " + error;
            return kFailed;
        }
    }
    std::FILE* out = std::fopen(name.c_str(), "wb");
    if (out == nullptr) {
        error = "cannot create " + name.string() + ": " + std::strerror(errno);
        return kFailed;
    }
    auto header = headerFor(seasonYear, static_cast<int>(records.size()));
    bool written = std::fwrite(header.data(), 1, header.size(), out) == header.size();
    for (std::size_t i = 0; written && i < records.size(); ++i) {
        encodeRecord(records[i], ByteSpan(slot).subspan(1), error);
        written = std::fwrite(slot.data(), 1, slot.size(), out) == slot.size();
    }
    bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        error = "cannot write " + name.string();
        return kFailed;
    }
    return kOk;
}

}  // namespace qff
