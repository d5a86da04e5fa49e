#include "data02/season/State.h"

#include <filesystem>

#include "data02/season/Single.h"
#include "data02/storage/Files.h"

namespace qff {

SeasonState::SeasonState(Singleton& context)
    : context_(context),
      record_(context.memory().make<StateStruct>(Kind::StateStruct)),
      file_(context.memory()) {}

int SeasonState::fail(std::string reason) {
    error_ = std::move(reason);
    return 1;
}

int SeasonState::open(int year) {
    std::optional<std::string> name = seasonFileName(SeasonFile::State, year);
    if (!name) {
        return fail("There is no season " + std::to_string(year) + ".");
    }
    std::filesystem::path path = resolveNoCase(context_.pathOf(*name));
    if (!recordFileExists(path) && file_.createFile(path, year, kStateRecordSize) != 0) {
        return fail("Cannot create the season state file " + *name + ": " + file_.lastError());
    }
    // An existing file is the user's data: report it and leave it alone. A
    // damaged one is not used at all, as its state could not be kept.
    if (file_.openFile(path, record_->bytes) != 0 || !file_.damage().empty()) {
        std::string reason = file_.damage().empty() ? file_.lastError() : file_.damageNotice();
        file_.closeFile();
        return fail("Cannot open the season state file " + path.filename().string() + ": " +
                    reason);
    }
    if (!file_.hasRecords()) {
        reset();
        if (file_.addRecord() != 0) {
            return fail("Cannot write the season state file " + *name + ": " + file_.lastError());
        }
    }
    error_.clear();
    return 0;
}

bool SeasonState::isPlainValue(int id) {
    return (id >= kLastSection && id <= kViewWeek) || id == kReportInProgress;
}

int SeasonState::offsetOf(int id) {
    return id == kReportInProgress ? kReportInProgressOffset : (id - kLastSection) * 4;
}

int SeasonState::get(int id) {
    return isCounter(id) ? issueId(id) : storedValue(id);
}

int SeasonState::peek(int id) const {
    return storedValue(id);
}

int SeasonState::storedValue(int id) const {
    if (!isPlainValue(id) && !isCounter(id)) {
        return 0;
    }
    if (id == kReportInProgress) {
        return getU8(record_->bytes, kReportInProgressOffset);
    }
    return getI32(record_->bytes, offsetOf(id));
}

int SeasonState::set(int id, int value) {
    if (!isPlainValue(id)) {
        return kUnknownIdStatus;
    }
    if (id == kReportInProgress) {
        putU8(record_->bytes, kReportInProgressOffset, static_cast<std::uint8_t>(value));
    } else {
        putI32(record_->bytes, offsetOf(id), value);
    }
    return write();
}

int SeasonState::write() {
    if (!file_.isOpen()) {
        return fail("No season state file is open.");
    }
    if (file_.writeCurrent() != 0) {
        return fail("Cannot write the season state: " + file_.lastError());
    }
    return 0;
}

void SeasonState::setIdInUse(int counterId, IdInUse inUse) {
    if (isCounter(counterId)) {
        idInUse_[counterId - kLastFranchiseId] = std::move(inUse);
    }
}

int SeasonState::issueId(int counterId) {
    int offset = offsetOf(counterId);
    int previous = getI32(record_->bytes, offset);
    const IdInUse& inUse = idInUse_[counterId - kLastFranchiseId];
    int candidate = previous;
    // 0 marks an empty slot and 32767 a bye, so identifiers stay within
    // 1..32766 and wrap around rather than reach either.
    for (int tries = 0; tries < kLastId; ++tries) {
        candidate = (candidate >= kFirstId && candidate < kLastId) ? candidate + 1 : kFirstId;
        if (inUse && inUse(candidate)) {
            continue;
        }
        putI32(record_->bytes, offset, candidate);
        if (write() != 0) {
            putI32(record_->bytes, offset, previous);
            return 0;
        }
        return candidate;
    }
    fail("Every identifier from 1 to 32766 is in use.");
    return 0;
}

int SeasonState::weekHasStats(int week) const {
    if (!isWeekSlot(week)) {
        return 0;
    }
    return getU8(record_->bytes, kWeekFlagsOffset + week);
}

int SeasonState::setWeekHasStats(int week, int flag) {
    if (!isWeekSlot(week)) {
        return 0;
    }
    auto value = static_cast<std::uint8_t>(flag);
    if (getU8(record_->bytes, kWeekFlagsOffset + week) == value) {
        return 0;
    }
    putU8(record_->bytes, kWeekFlagsOffset + week, value);
    return write();
}

int SeasonState::weeksWithStats() const {
    for (int week = kWeekSlots - 1; week >= 0; --week) {
        if (weekHasStats(week) != 0) {
            return week + 1;
        }
    }
    return 0;
}

void SeasonState::reset() {
    record_->bytes.fill(0);
}

}  // namespace qff
