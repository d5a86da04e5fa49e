#include "data02/season/Prefs.h"

#include <filesystem>

#include "data02/season/Single.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

enum class FieldType { Int32, Int16, Byte, Flag, Text };

struct Field {
    int id;
    int offset;
    int size;
    FieldType type;
};

constexpr Field kFields[] = {
    {8000, 0, 4, FieldType::Int32},     {8001, 4, 1, FieldType::Byte},
    {8002, 8, 4, FieldType::Int32},     {8003, 12, 4, FieldType::Int32},
    {8004, 16, 4, FieldType::Int32},    {8005, 20, 4, FieldType::Int32},
    {8006, 24, 4, FieldType::Int32},    {8007, 28, 4, FieldType::Int32},
    {8008, 32, 512, FieldType::Text},   {8009, 544, 1, FieldType::Byte},
    {8010, 548, 4, FieldType::Int32},   {8011, 553, 1, FieldType::Flag},
    {8012, 556, 4, FieldType::Int32},   {8013, 560, 4, FieldType::Int32},
    {8014, 564, 4, FieldType::Int32},   {8015, 568, 1, FieldType::Byte},
    {8016, 569, 1, FieldType::Byte},    {8017, 572, 4, FieldType::Int32},
    {8018, 576, 1, FieldType::Byte},    {8019, 577, 1, FieldType::Byte},
    {8020, 578, 1, FieldType::Byte},    {8021, 579, 1, FieldType::Byte},
    {8022, 580, 1, FieldType::Byte},    {8023, 581, 1, FieldType::Byte},
    {8024, 582, 1, FieldType::Byte},    {8025, 583, 1, FieldType::Byte},
    {8026, 616, 1, FieldType::Flag},    {8027, 617, 1, FieldType::Flag},
    {8028, 620, 4, FieldType::Int32},   {8029, 624, 4, FieldType::Int32},
    {8030, 628, 4, FieldType::Int32},   {8031, 632, 257, FieldType::Text},
    {8032, 889, 33, FieldType::Text},   {8033, 922, 257, FieldType::Text},
    {8034, 1179, 33, FieldType::Text},  {8035, 1212, 1, FieldType::Flag},
    {8036, 1214, 2, FieldType::Int16},  {8037, 1216, 1, FieldType::Flag},
    {8038, 1217, 1, FieldType::Byte},   {8039, 1218, 256, FieldType::Text},
    {8040, 1474, 256, FieldType::Text}, {8041, 1730, 1, FieldType::Flag},
};
static_assert(std::size(kFields) == kLastPrefId - kFirstPrefId + 1);

constexpr int kUnreadByte552 = 552;
constexpr int kUnreadByte1731 = 1731;

const Field* fieldOf(int id) {
    if (id < kFirstPrefId || id > kLastPrefId) {
        return nullptr;
    }
    return &kFields[id - kFirstPrefId];
}

}  // namespace

Preferences::Preferences(Singleton& context)
    : context_(context),
      record_(context.memory().make<PrefStruct>(Kind::PrefStruct)),
      file_(context.memory()) {
    applyDefaults();
}

// A folder gains Prefs.db only for preferences that differ from what was
// loaded: defaults alone, or an open season set and restored by a failed
// open, leave it as it was.
Preferences::~Preferences() {
    if (file_.isOpen() || (loaded_ && record_->bytes != asLoaded_)) {
        save();
    }
}

int Preferences::fail(std::string reason) {
    error_ = std::move(reason);
    return 1;
}

bool Preferences::isText(int id) {
    const Field* field = fieldOf(id);
    return field != nullptr && field->type == FieldType::Text;
}

bool Preferences::isKnown(int id) {
    return fieldOf(id) != nullptr;
}

void Preferences::applyDefaults() {
    auto& b = record_->bytes;
    b.fill(0);
    putI32(b, 0, context_.calendarYear() - 1);
    putU8(b, 4, 1);
    putI32(b, 24, 200);
    putI32(b, 548, 25);
    putU8(b, kUnreadByte552, 1);
    putU8(b, 553, 1);
    putI32(b, 556, 0x000000);
    putI32(b, 560, 0xC0C0C0);
    putI32(b, 564, 0x808080);
    putU8(b, 568, 1);
    const std::uint8_t limits[] = {2, 6, 4, 2, 2, 2, 2};
    for (int i = 0; i < 7; ++i) {
        putU8(b, 577 + i, limits[i]);
    }
    putU8(b, 617, 1);
    putI32(b, 620, 0xFFFFFF);
    putI32(b, 628, 0xFFFFFF);
    putU8(b, 1212, 1);
    putU8(b, 1216, 1);
    putU8(b, 1217, 10);
    putText(b, 1218, 256, "Sounds\\Jeopardy.wav");
    putText(b, 1474, 256, "Sounds\\BigBoom.au");
    putU8(b, 1730, 1);
    putU8(b, kUnreadByte1731, 16);
}

int Preferences::load() {
    loaded_ = false;
    file_.closeFile();
    std::filesystem::path path = resolveNoCase(context_.pathOf("Prefs.db"));
    if (!recordFileExists(path)) {
        applyDefaults();
    } else if (file_.openFile(path, record_->bytes) != 0 || !file_.damage().empty()) {
        std::string reason =
            file_.damage().empty() ? file_.lastError() + "." : file_.damageNotice();
        file_.closeFile();
        applyDefaults();
        return fail("Cannot read the preferences in " + path.filename().string() + ": " + reason +
                    " The defaults are used and the file is left as it is.");
    } else if (!file_.hasRecords()) {
        applyDefaults();
        if (file_.addRecord() != 0) {
            return fail("Cannot write Prefs.db: " + file_.lastError());
        }
    }
    asLoaded_ = record_->bytes;
    loaded_ = true;
    error_.clear();
    return 0;
}

// The file is built whole under a temporary name, so a kill never leaves a
// Prefs.db without its record.
int Preferences::createFile() {
    std::filesystem::path path = resolveNoCase(context_.pathOf("Prefs.db"));
    StagedWrite staged = StagedWrite::beside(path, kPartialSuffix);
    if (file_.createFile(staged.temporary(), context_.calendarYear(), kPrefsRecordSize) != 0 ||
        file_.openFile(staged.temporary(), record_->bytes) != 0 || file_.addRecord() != 0) {
        std::string reason = file_.lastError();
        file_.closeFile();
        staged.discard();
        return fail("Cannot create Prefs.db: " + reason);
    }
    file_.closeFile();
    std::error_code ec;
    if (!staged.replaceTarget(ec) || file_.openFile(path, record_->bytes) != 0) {
        return fail("Cannot create Prefs.db: " + (ec ? ec.message() : file_.lastError()));
    }
    return 0;
}

int Preferences::save() {
    if (!loaded_) {
        return fail(error_.empty() ? "The preferences were not loaded, so they are not saved."
                                   : error_);
    }
    if (!file_.isOpen()) {
        return createFile();
    }
    if (file_.writeCurrent() != 0) {
        return fail("Cannot save the preferences: " + file_.lastError());
    }
    return 0;
}

int Preferences::get(int id) const {
    const Field* field = fieldOf(id);
    if (field == nullptr) {
        return 0;
    }
    const auto& b = record_->bytes;
    switch (field->type) {
        case FieldType::Int32:
            return getI32(b, field->offset);
        case FieldType::Int16:
            return getI16(b, field->offset);
        case FieldType::Byte:
        case FieldType::Flag:
            return getU8(b, field->offset);
        case FieldType::Text:
            return 0;
    }
    return 0;
}

const char* Preferences::getText(int id) const {
    const Field* field = fieldOf(id);
    if (field == nullptr || field->type != FieldType::Text) {
        return context_.strBuf().put("");
    }
    return context_.strBuf().put(qff::getText(record_->bytes, field->offset, field->size));
}

int Preferences::set(int id, int value) {
    const Field* field = fieldOf(id);
    if (field == nullptr || field->type == FieldType::Text) {
        return kUnknownIdStatus;
    }
    auto& b = record_->bytes;
    switch (field->type) {
        case FieldType::Int32:
            putI32(b, field->offset, value);
            break;
        case FieldType::Int16:
            putI16(b, field->offset, value);
            break;
        case FieldType::Byte:
            putU8(b, field->offset, static_cast<std::uint8_t>(value));
            break;
        case FieldType::Flag:
            putU8(b, field->offset, value != 0 ? 1 : 0);
            break;
        case FieldType::Text:
            break;
    }
    return 0;
}

int Preferences::setText(int id, std::string_view text) {
    const Field* field = fieldOf(id);
    if (field == nullptr || field->type != FieldType::Text) {
        return kUnknownIdStatus;
    }
    putText(record_->bytes, field->offset, field->size, text);
    return 0;
}

}  // namespace qff
