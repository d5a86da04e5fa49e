#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "data02/diag/Status.h"
#include "data02/storage/Recfile.h"

namespace qff {

// The stored side of a record object: its image of the record and the slot it
// occupies in its file. Subclasses add typed access by field code.
template <int RecordSize>
class StoredRecord {
  public:
    using File = RecordFile<RecordSize>;

    int slot() const { return slot_; }
    ConstByteSpan bytes() const { return bytes_; }

    // Takes the file's current record and slot.
    int load() {
        if (!file_.isOpen()) {
            return kFailed;
        }
        std::copy(file_.record().begin(), file_.record().end(), bytes_.begin());
        slot_ = file_.db().currentSlot();
        return kOk;
    }

  protected:
    explicit StoredRecord(File& file) : file_(file) {}

    // Rewrites the record in its own slot.
    int writeRecord() {
        if (!file_.isOpen() || file_.db().gotoSlot(slot_) != 0) {
            return kFailed;
        }
        std::copy(bytes_.begin(), bytes_.end(), file_.record().begin());
        return file_.db().writeCurrent();
    }

    // Stores the record in the first free slot and takes that slot.
    int insertRecord() {
        if (!file_.isOpen()) {
            return kFailed;
        }
        std::copy(bytes_.begin(), bytes_.end(), file_.record().begin());
        int status = file_.db().addRecord();
        if (status == 0) {
            slot_ = file_.db().currentSlot();
        }
        return status;
    }

    int deleteRecord() {
        if (!file_.isOpen() || file_.db().gotoSlot(slot_) != 0) {
            return kFailed;
        }
        return file_.db().deleteCurrent();
    }

    File& file_;
    std::array<std::uint8_t, RecordSize> bytes_{};
    int slot_ = -1;
};

}  // namespace qff
