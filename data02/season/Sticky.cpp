#include "data02/season/Sticky.h"

#include <filesystem>
#include <vector>

#include "data02/season/Single.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

enum class SlotType { Text, Int32, Flag };

struct Place {
    int id;
    int tag;
    int offset;
    SlotType type;
};

constexpr int kTextSize = 40;

constexpr Place kPlaces[] = {
    {10000, 1, 4, SlotType::Text},
    {10001, 1, 44, SlotType::Text},
    {10002, 1, 84, SlotType::Text},
    {10003, 1, 124, SlotType::Flag},
    {10004, 2, 4, SlotType::Text},
    {10005, 3, 4, SlotType::Text},
    // Record 4 is zero in every existing file, so the bonus dialog's
    // franchise can live there without disturbing anything already stored.
    {10006, 4, 4, SlotType::Text},
    {10007, 5, 4, SlotType::Text},
    {10008, 5, 44, SlotType::Int32},
    {10009, 6, 4, SlotType::Int32},
    {10010, 7, 4, SlotType::Flag},
    {10011, 7, 5, SlotType::Text},
};
static_assert(std::size(kPlaces) == kLastStickyId - kFirstStickyId + 1);

const Place* placeOf(int id) {
    if (id < kFirstStickyId || id > kLastStickyId) {
        return nullptr;
    }
    return &kPlaces[id - kFirstStickyId];
}

}  // namespace

Sticky::Sticky(Singleton& context) : context_(context), file_(context.memory()) {
    for (auto& record : records_) {
        record = context.memory().make<StickyStruct>(Kind::StickyStruct);
    }
}

// A folder gains sticky.db only for settings someone changed, so a run that
// only read them (or an open that failed) leaves the folder as it was.
Sticky::~Sticky() {
    if (loaded_ && (changed_ || recordFileExists(resolveNoCase(context_.pathOf("sticky.db"))))) {
        save();
    }
}

int Sticky::fail(std::string reason) {
    error_ = std::move(reason);
    return 1;
}

bool Sticky::isText(int id) {
    const Place* place = placeOf(id);
    return place != nullptr && place->type == SlotType::Text;
}

bool Sticky::isKnown(int id) {
    return placeOf(id) != nullptr;
}

int Sticky::createFile(const std::filesystem::path& path) {
    if (file_.createFile(path, context_.calendarYear(), kStickyRecordSize) != 0 ||
        file_.openFile(path, records_[0]->bytes) != 0) {
        return fail("Cannot create sticky.db: " + file_.lastError());
    }
    return 0;
}

int Sticky::load() {
    loaded_ = false;
    changed_ = false;
    std::filesystem::path path = resolveNoCase(context_.pathOf("sticky.db"));
    if (!recordFileExists(path)) {
        applyDefaults();
        loaded_ = true;
        error_.clear();
        return 0;
    }
    if (file_.openFile(path, records_[0]->bytes) != 0 || !file_.damage().empty()) {
        std::string reason =
            file_.damage().empty() ? file_.lastError() + "." : file_.damageNotice();
        file_.closeFile();
        return fail("Cannot read the remembered settings in " + path.filename().string() + ": " +
                    reason + " They are not saved, so the file stays as it is.");
    }
    if (!file_.hasRecords()) {
        applyDefaults();
        if (writeRecords() != 0) {
            file_.closeFile();
            return 1;
        }
    }
    int status = readRecords();
    file_.closeFile();
    loaded_ = status == 0;
    return status;
}

void Sticky::applyDefaults() {
    for (int tag = 1; tag <= kRecords; ++tag) {
        records_[tag]->bytes.fill(0);
        putU8(records_[tag]->bytes, 0, static_cast<std::uint8_t>(tag));
    }
    putU8(records_[1]->bytes, 124, 1);
}

int Sticky::readRecords() {
    for (int status = file_.readFirst(); status == 0; status = file_.readNext()) {
        int tag = getU8(records_[0]->bytes, 0);
        // A record whose tag has no place in memory is ignored.
        if (tag >= 1 && tag <= kRecords) {
            records_[tag]->bytes = records_[0]->bytes;
        }
    }
    error_.clear();
    return 0;
}

int Sticky::writeRecords() {
    std::vector<int> usedSlots;
    for (int slot = 0; slot < DBFile::kSlots; ++slot) {
        if (file_.isSlotUsed(slot)) {
            usedSlots.push_back(slot);
        }
    }
    for (int tag = 1; tag <= kRecords; ++tag) {
        records_[0]->bytes = records_[tag]->bytes;
        auto index = static_cast<std::size_t>(tag - 1);
        bool written = index < usedSlots.size()
                           ? file_.gotoSlot(usedSlots[index]) == 0 && file_.writeCurrent() == 0
                           : file_.addRecord() == 0;
        if (!written) {
            return fail("Cannot write the remembered settings: " + file_.lastError());
        }
    }
    return 0;
}

int Sticky::openCopyOf(const std::filesystem::path& path, const std::filesystem::path& copy) {
    if (!recordFileExists(path)) {
        return createFile(copy);
    }
    std::error_code ec;
    std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec || file_.openFile(copy, records_[0]->bytes) != 0) {
        return fail("Cannot save the remembered settings: " +
                    (ec ? ec.message() : file_.lastError()));
    }
    return 0;
}

// The settings are written into a copy that replaces the file only once
// complete, so a kill never leaves some of them old and some new.
int Sticky::save() {
    if (!loaded_) {
        return fail(error_.empty() ? "The remembered settings were not loaded, so they are "
                                     "not saved."
                                   : error_);
    }
    std::filesystem::path path = resolveNoCase(context_.pathOf("sticky.db"));
    StagedWrite staged = StagedWrite::beside(path, kPartialSuffix);
    if (openCopyOf(path, staged.temporary()) != 0) {
        staged.discard();
        return 1;
    }
    int status = writeRecords();
    file_.closeFile();
    if (status != 0) {
        staged.discard();
        return status;
    }
    if (std::error_code ec; !staged.replaceTarget(ec)) {
        return fail("Cannot save the remembered settings: " + ec.message());
    }
    return 0;
}

int Sticky::getInt(int id) const {
    const Place* place = placeOf(id);
    if (place == nullptr || place->type == SlotType::Text) {
        return -1;
    }
    const auto& b = records_[place->tag]->bytes;
    return place->type == SlotType::Flag ? getU8(b, place->offset) : getI32(b, place->offset);
}

void Sticky::setInt(int id, int value) {
    const Place* place = placeOf(id);
    if (place == nullptr || place->type == SlotType::Text) {
        return;
    }
    changed_ = true;
    auto& b = records_[place->tag]->bytes;
    if (place->type == SlotType::Flag) {
        putU8(b, place->offset, value != 0 ? 1 : 0);
    } else {
        putI32(b, place->offset, value);
    }
}

const char* Sticky::getText(int id) const {
    const Place* place = placeOf(id);
    if (place == nullptr || place->type != SlotType::Text) {
        return context_.strBuf().put("");
    }
    return context_.strBuf().put(
        qff::getText(records_[place->tag]->bytes, place->offset, kTextSize));
}

void Sticky::setText(int id, std::string_view text) {
    const Place* place = placeOf(id);
    if (place == nullptr || place->type != SlotType::Text) {
        return;
    }
    changed_ = true;
    putText(records_[place->tag]->bytes, place->offset, kTextSize, text);
}

}  // namespace qff
