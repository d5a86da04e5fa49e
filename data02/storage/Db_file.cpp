#include "data02/storage/Db_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "data02/storage/Files.h"

namespace qff {
namespace {

constexpr int kVariantLengthOffset = 80;
constexpr int kVariantYearOffset = 82;
constexpr int kVariantCountOffset = 84;
constexpr int kVariantInUseOffset = 86;
constexpr int kVariantFirstOffset = 88;
constexpr std::size_t kStreamBuffer = 1 << 16;

struct SeasonFileInfo {
    const char* prefix;
    int recordSize;
};

constexpr SeasonFileInfo kSeasonFiles[] = {
    {"Plyr", kPlayerRecordSize},    {"Team", kTeamRecordSize},   {"Div", kDivisionRecordSize},
    {"Leg", kLeagueRecordSize},     {"Draft", kDraftRecordSize}, {"Rpt", kReportRecordSize},
    {"Sched", kScheduleRecordSize}, {"Score", kScoreRecordSize}, {"State", kStateRecordSize},
};

std::string systemReason() {
    return std::strerror(errno);
}

// "1,813": counts in messages read the way people write them.
std::string countText(long long count) {
    std::string digits = std::to_string(count < 0 ? -count : count);
    std::string text = count < 0 ? "-" : "";
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0) {
            text += ',';
        }
        text += digits[at];
    }
    return text;
}

std::string missingRecordsText(int missing, int used) {
    if (used == 1) {
        return "its only record is missing";
    }
    if (missing == used) {
        return "all " + countText(used) + " of its records are missing";
    }
    return countText(missing) + " of its " + countText(used) +
           (missing == 1 ? " records is missing" : " records are missing");
}

}  // namespace

const char* seasonFilePrefix(SeasonFile file) {
    return kSeasonFiles[static_cast<int>(file)].prefix;
}

int seasonFileRecordSize(SeasonFile file) {
    return kSeasonFiles[static_cast<int>(file)].recordSize;
}

std::optional<std::string> seasonFileName(SeasonFile file, int year) {
    std::optional<int> number = seasonNumber(year);
    if (!number) {
        return std::nullopt;
    }
    char name[32];
    std::snprintf(name, sizeof name, *number < 10 ? "%s_0%d.DB" : "%s_%d.DB",
                  seasonFilePrefix(file), *number);
    return std::string(name);
}

bool isStatisticsFileName(const std::filesystem::path& name) {
    std::string text = name.filename().string();
    return endsWithNoCase(text, ".pts") || endsWithNoCase(text, ".ros");
}

namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return c >= '0' && c <= '9'; });
}

// Season files are named like "Plyr_03.DB": prefix, underscore, season number.
bool isSeasonFileNamed(std::string_view name, std::string_view prefix) {
    constexpr std::string_view kExtension = ".db";
    if (name.size() <= prefix.size() + 1 + kExtension.size() ||
        !equalsNoCase(name.substr(0, prefix.size()), prefix) || name[prefix.size()] != '_' ||
        !endsWithNoCase(name, kExtension)) {
        return false;
    }
    std::size_t digits = name.size() - prefix.size() - 1 - kExtension.size();
    return allDigits(name.substr(prefix.size() + 1, digits));
}

}  // namespace

std::optional<SeasonFile> seasonFileKind(std::string_view name) {
    for (SeasonFile kind : kAllSeasonFiles) {
        if (isSeasonFileNamed(name, seasonFilePrefix(kind))) {
            return kind;
        }
    }
    return std::nullopt;
}

std::optional<int> recordSizeForFileName(std::string_view name) {
    if (equalsNoCase(name, "Prefs.db")) {
        return kPrefsRecordSize;
    }
    if (equalsNoCase(name, "sticky.db")) {
        return kStickyRecordSize;
    }
    if (isStatisticsFileName(std::string(name))) {
        return kStatsRecordSize;
    }
    std::optional<SeasonFile> kind = seasonFileKind(name);
    return kind ? std::optional<int>(seasonFileRecordSize(*kind)) : std::nullopt;
}

bool recordFileExists(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        return false;
    }
    return !std::filesystem::is_regular_file(status) || std::filesystem::file_size(path, ec) != 0;
}

std::string slotRangesText(const std::vector<int>& slots) {
    std::string text;
    for (std::size_t first = 0; first < slots.size();) {
        std::size_t last = first;
        while (last + 1 < slots.size() && slots[last + 1] == slots[last] + 1) {
            ++last;
        }
        if (!text.empty()) {
            text += ' ';
        }
        text += std::to_string(slots[first]);
        if (last > first) {
            text += '-';
            text += std::to_string(slots[last]);
        }
        first = last + 1;
    }
    return text.empty() ? "none" : text;
}

std::vector<int> DBFile::usedSlots() const {
    int end = variant_ ? std::min(slotCount(), kSlots) : kSlots;
    std::vector<int> slots;
    for (int slot = 0; slot < end; ++slot) {
        if (isSlotUsed(slot)) {
            slots.push_back(slot);
        }
    }
    return slots;
}

DBFile::DBFile(MyMemory& memory) : memory_(memory) {}

DBFile::~DBFile() {
    closeFile();
}

int DBFile::fail(std::string reason) {
    error_ = std::move(reason);
    return 1;
}

int DBFile::createFile(const std::filesystem::path& name, int seasonYear, int recordSize) {
    closeFile();
    current_ = -1;
    if (recordSize <= 0) {
        return fail("invalid record size " + std::to_string(recordSize));
    }
    StagedWrite staged = StagedWrite::beside(resolveNoCase(name), kPartialSuffix);
    std::string target = staged.target().string();
    std::FILE* out = std::fopen(staged.temporary().c_str(), "wb");
    if (out == nullptr) {
        return fail("cannot create " + target + ": " + systemReason());
    }
    std::array<std::uint8_t, kHeaderSize> header{};
    putI32(header, kYearOffset, seasonYear);
    putI32(header, kRecordSizeOffset, recordSize);
    bool written = std::fwrite(header.data(), 1, header.size(), out) == header.size();
    bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        std::string reason = systemReason();
        staged.discard();
        return fail("cannot write the header of " + target + ": " + reason);
    }
    std::error_code renameError;
    if (!staged.replaceTarget(renameError)) {
        return fail("cannot create " + target + ": " + renameError.message());
    }
    error_.clear();
    return 0;
}

int DBFile::openFile(const std::filesystem::path& name, ByteSpan boundRecord) {
    closeFile();
    std::filesystem::path target = resolveNoCase(name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(target, ec)) {
        return fail(target.string() + " does not exist");
    }
    // Statistics files are only ever read.
    file_ = std::fopen(target.c_str(), isStatisticsFileName(target) ? "rb" : "r+b");
    if (file_ == nullptr) {
        return fail("cannot open " + target.string() + ": " + systemReason());
    }
    std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
    path_ = target;
    variant_ = isStatisticsFileName(target);
    if (readHeader() != 0 || checkHeader(static_cast<int>(boundRecord.size())) != 0) {
        std::string reason = error_;
        closeFile();
        return fail(reason);
    }
    bound_ = boundRecord;
    scratch_ = memory_.allocBytes(boundRecord.size());
    current_ = 0;
    if (!variant_) {
        findDamage();
    }
    if (!hasRecords()) {
        error_.clear();
        return 0;
    }
    // The records a damaged file still holds stay readable; its first used
    // slot may well be one it lost.
    if (readFirst() != 0 && damage_.empty()) {
        std::string reason = error_;
        closeFile();
        return fail(reason);
    }
    return 0;
}

int DBFile::readHeader() {
    if (std::fseek(file_, 0, SEEK_END) != 0 || (length_ = std::ftell(file_)) < 0 ||
        std::fseek(file_, 0, SEEK_SET) != 0) {
        return fail("cannot read " + path_.string() + ": " + systemReason());
    }
    auto* image = variant_ ? variantHeader_.data() : header_.data();
    std::size_t size = variant_ ? variantHeader_.size() : header_.size();
    position_ = -1;
    if (length_ == 0 && !variant_) {
        return fail(path_.filename().string() + " is empty: it holds no records");
    }
    if (std::fread(image, 1, size, file_) != size) {
        return fail(path_.filename().string() + " is truncated: its header is incomplete");
    }
    return 0;
}

int DBFile::checkHeader(int expectedRecordSize) {
    // A record file's size in its header is only a check: its records are
    // read at the size the program knows, and findDamage judges the header.
    if (!variant_) {
        return 0;
    }
    std::string name = path_.filename().string();
    if (recordSize() != expectedRecordSize) {
        return fail(name + " has records of " + std::to_string(recordSize()) + " bytes where " +
                    std::to_string(expectedRecordSize) + " are expected");
    }
    int count = getI16(variantHeader_, kVariantCountOffset);
    int inUse = getI16(variantHeader_, kVariantInUseOffset);
    int first = getI16(variantHeader_, kVariantFirstOffset);
    if (count < 0 || inUse < 0 || first < 0 || first >= kSlots || inUse > count) {
        return fail(name + " has a damaged header (record counts out of range)");
    }
    if (int status = checkVariantLength(name, count); status != 0) {
        return status;
    }
    if (count > kSlots) {
        return fail(name + " holds " + std::to_string(count) +
                    " records; a statistics file holds " + std::to_string(kSlots) + " at most");
    }
    return 0;
}

// A header that promises more or fewer records than the file holds is a
// damaged or cut file: merging what is there would pass for a whole week.
int DBFile::checkVariantLength(const std::string& name, int count) {
    long long stored = recordSize() + 1;
    long long body = length_ - kVariantHeaderSize;
    if (body == count * stored) {
        return 0;
    }
    return fail(name + " holds " + std::to_string(body / stored) +
                (body % stored == 0 ? "" : " and a part") + " records where its header promises " +
                std::to_string(count));
}

void DBFile::findDamage() {
    if (recordSize() != layoutRecordSize()) {
        addDamage("has a damaged header (it gives records of " + countText(recordSize()) +
                  " bytes where " + countText(layoutRecordSize()) + " are expected)");
    }
    if (std::size_t missing = missingSlots().size(); missing != 0) {
        addDamage("is cut short: " + missingRecordsText(static_cast<int>(missing), usedCount()));
    }
}

void DBFile::addDamage(const std::string& finding) {
    damage_ += (damage_.empty() ? path_.filename().string() + " " : " and ") + finding;
}

void DBFile::checkRecords(const RecordCheck& check) {
    if (!isOpen() || variant_) {
        return;
    }
    ConstByteSpan record(reinterpret_cast<const std::uint8_t*>(scratch_.data()), bound_.size());
    for (int slot : usedSlots()) {
        // A missing record is damage already found; it cannot be read here.
        if (readIntoScratch(slot) && !check.readable(record)) {
            unreadable_.push_back(slot);
        }
    }
    if (std::size_t count = unreadable_.size(); count != 0) {
        addDamage("holds " + countText(static_cast<long long>(count)) + " " +
                  (count == 1 ? check.one : check.many) + " that cannot be read");
    }
}

bool DBFile::isUnreadable(int slot) const {
    return std::ranges::binary_search(unreadable_, slot);
}

std::vector<int> DBFile::lostSlots() const {
    std::vector<int> lost = missingSlots();
    lost.insert(lost.end(), unreadable_.begin(), unreadable_.end());
    std::ranges::sort(lost);
    return lost;
}

std::string DBFile::damageNotice() const {
    if (damage_.empty()) {
        return {};
    }
    std::string name = path_.filename().string();
    return damage_ + ". A damaged file is never written to: run qff repair " + name +
           " to keep its readable records in a new file.";
}

std::vector<int> DBFile::missingSlots() const {
    std::vector<int> missing;
    if (variant_) {
        return missing;
    }
    for (int slot : usedSlots()) {
        if (slotOffset(slot) + layoutRecordSize() > length_) {
            missing.push_back(slot);
        }
    }
    return missing;
}

// A record file is laid out by the record size the program knows; only a
// statistics file is laid out by its header.
long DBFile::layoutRecordSize() const {
    return variant_ ? recordSize() : static_cast<long>(bound_.size());
}

void DBFile::closeFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    scratch_.reset();
    path_.clear();
    if (!bound_.empty()) {
        std::fill(bound_.begin(), bound_.end(), 0);
        bound_ = {};
    }
    header_.fill(0);
    variantHeader_.fill(0);
    variant_ = false;
    length_ = 0;
    position_ = -1;
    current_ = 0;
    damage_.clear();
    unreadable_.clear();
}

bool DBFile::isSlotUsed(int slot) const {
    if (slot < 0 || slot >= kSlots) {
        return false;
    }
    return variant_ || header_[kSlotMapOffset + slot] != 0;
}

int DBFile::recordSize() const {
    return variant_ ? getI16(variantHeader_, kVariantLengthOffset) - 1
                    : getI32(header_, kRecordSizeOffset);
}

int DBFile::fileYear() const {
    return variant_ ? getI16(variantHeader_, kVariantYearOffset) : getI32(header_, kYearOffset);
}

int DBFile::slotCount() const {
    if (variant_) {
        return getI16(variantHeader_, kVariantCountOffset);
    }
    long size = layoutRecordSize();
    return size > 0 && length_ > kHeaderSize ? static_cast<int>((length_ - kHeaderSize) / size) : 0;
}

int DBFile::usedCount() const {
    if (variant_) {
        return getI16(variantHeader_, kVariantInUseOffset);
    }
    return static_cast<int>(std::count_if(header_.begin() + kSlotMapOffset, header_.end(),
                                          [](std::uint8_t b) { return b != 0; }));
}

bool DBFile::hasRecords() const {
    if (variant_) {
        return usedCount() != 0;
    }
    return std::any_of(header_.begin() + kSlotMapOffset, header_.end(),
                       [](std::uint8_t b) { return b != 0; });
}

// Sequential reads already stand where the next one starts; seeking anyway
// would throw the stream's buffer away for every record.
bool DBFile::seekTo(long offset) {
    if (position_ == offset) {
        return true;
    }
    position_ = std::fseek(file_, offset, SEEK_SET) == 0 ? offset : -1;
    return position_ == offset;
}

long DBFile::slotOffset(int slot) const {
    long size = layoutRecordSize();
    return variant_ ? kVariantHeaderSize + slot * (size + 1) : kHeaderSize + slot * size;
}

int DBFile::gotoSlot(int slot) {
    if (!isOpen()) {
        return fail("the file is not open");
    }
    if (slot < 0 || slot >= kSlots) {
        return fail("slot " + std::to_string(slot) + " is outside 0..2047");
    }
    if (!variant_ && !isSlotUsed(slot)) {
        return fail("slot " + std::to_string(slot) + " is free");
    }
    current_ = slot;
    return 0;
}

bool DBFile::readIntoScratch(int slot) {
    long offset = slotOffset(slot) + (variant_ ? 1 : 0);
    long end = offset + static_cast<long>(bound_.size());
    bool complete = end <= length_ && seekTo(offset) &&
                    std::fread(scratch_.data(), 1, bound_.size(), file_) == bound_.size();
    position_ = complete ? end : -1;
    return complete;
}

int DBFile::readCurrent() {
    if (!isOpen() || (!variant_ && !isSlotUsed(current_))) {
        return fail("no record at slot " + std::to_string(current_));
    }
    std::string name = path_.filename().string();
    std::string slot = std::to_string(current_);
    if (isUnreadable(current_)) {
        return failRead(name + " is damaged: the record in slot " + slot + " cannot be read");
    }
    if (!readIntoScratch(current_)) {
        return failRead(name + " is truncated: slot " + slot + " lies past its end");
    }
    std::memcpy(bound_.data(), scratch_.data(), bound_.size());
    return 0;
}

// A failed read leaves no record of an earlier read in the buffer to pass for this one.
int DBFile::failRead(std::string reason) {
    std::fill(bound_.begin(), bound_.end(), 0);
    return fail(std::move(reason));
}

// Every write passes here, so nothing ever lands in a damaged file, least of
// all zeros in the slots of records it lost.
int DBFile::writeAt(long offset, const void* bytes, std::size_t size) {
    if (!damage_.empty()) {
        return fail(damageNotice());
    }
    // A write always seeks: the stream may not switch from reading to writing without it.
    position_ = -1;
    if (std::fseek(file_, offset, SEEK_SET) != 0 || std::fwrite(bytes, 1, size, file_) != size ||
        std::fflush(file_) != 0) {
        std::string reason = systemReason();
        std::clearerr(file_);
        return fail("cannot write " + path_.filename().string() + ": " + reason);
    }
    position_ = offset + static_cast<long>(size);
    length_ = std::max(length_, position_);
    return 0;
}

int DBFile::writeCurrent() {
    if (!isOpen() || variant_) {
        return fail("the file is not open for writing");
    }
    if (current_ < 0 || !isSlotUsed(current_)) {
        return fail("slot " + std::to_string(current_) + " is free");
    }
    std::memcpy(scratch_.data(), bound_.data(), bound_.size());
    return writeAt(slotOffset(current_), scratch_.data(), bound_.size());
}

int DBFile::writeHeader() {
    return variant_ ? writeAt(0, variantHeader_.data(), variantHeader_.size())
                    : writeAt(0, header_.data(), header_.size());
}

int DBFile::extendTo(long offset) {
    if (length_ >= offset) {
        return 0;
    }
    std::vector<std::uint8_t> zeros(static_cast<std::size_t>(offset - length_), 0);
    return writeAt(length_, zeros.data(), zeros.size());
}

int DBFile::addRecord() {
    if (!isOpen() || variant_) {
        return fail("the file is not open for writing");
    }
    auto freeSlot = std::find(header_.begin() + kSlotMapOffset, header_.end(), 0);
    if (freeSlot == header_.end()) {
        return fail(path_.filename().string() + " is full: all " + std::to_string(kSlots) +
                    " slots are in use");
    }
    int slot = static_cast<int>(freeSlot - (header_.begin() + kSlotMapOffset));
    if (extendTo(slotOffset(slot)) != 0) {
        return 1;
    }
    int previous = current_;
    // The record reaches the disk before the slot map marks it, so an add
    // that is cut short leaves a free slot rather than a used slot of garbage.
    *freeSlot = 1;
    current_ = slot;
    if (writeCurrent() != 0 || writeHeader() != 0) {
        *freeSlot = 0;
        current_ = previous;
        return 1;
    }
    return 0;
}

int DBFile::lowestUsedSlotFrom(int slot) const {
    for (int s = std::max(slot, 0); s < kSlots; ++s) {
        if (header_[kSlotMapOffset + s] != 0) {
            return s;
        }
    }
    return -1;
}

int DBFile::highestUsedSlotBelow(int slot) const {
    for (int s = std::min(slot, kSlots) - 1; s >= 0; --s) {
        if (header_[kSlotMapOffset + s] != 0) {
            return s;
        }
    }
    return -1;
}

int DBFile::deleteCurrent() {
    if (!isOpen() || variant_ || !hasRecords() || !isSlotUsed(current_)) {
        return fail("no record at slot " + std::to_string(current_) + " to delete");
    }
    header_[kSlotMapOffset + current_] = 0;
    if (writeHeader() != 0) {
        header_[kSlotMapOffset + current_] = 1;
        return 1;
    }
    int neighbour = lowestUsedSlotFrom(current_ + 1);
    if (neighbour < 0) {
        neighbour = highestUsedSlotBelow(current_);
    }
    if (neighbour >= 0) {
        current_ = neighbour;
    }
    return 0;
}

int DBFile::readFirst() {
    if (!isOpen() || !hasRecords()) {
        return fail("the file has no records");
    }
    int first = variant_ ? getI16(variantHeader_, kVariantFirstOffset) : lowestUsedSlotFrom(0);
    if (gotoSlot(first) != 0) {
        return 1;
    }
    return readCurrent();
}

int DBFile::readNext() {
    if (!isOpen() || !hasRecords() || current_ >= kSlots - 1) {
        return fail("no further record");
    }
    int next = variant_ ? current_ + 1 : lowestUsedSlotFrom(current_ + 1);
    if (next < 0 || next >= kSlots) {
        return fail("no further record");
    }
    current_ = next;
    return readCurrent();
}

}  // namespace qff
