#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/storage/Bytes.h"
#include "data02/storage/Db_file.h"
#include "tests/support/TempDir.h"

namespace qff::test {

// 2011-06-15 12:00 UTC: any local time zone still places it in 2011.
inline constexpr std::time_t kMid2011 = 1308139200;

// One record of a hand-built record file and the slot it occupies.
struct SlotRecord {
    int slot;
    std::vector<std::uint8_t> bytes;
};

// A record file in the standard layout: the header with the season year, the
// record size and the slot map, then every slot up to the highest used one.
inline std::vector<std::uint8_t> recordFileBytes(int year, int recordSize,
                                                 const std::vector<SlotRecord>& records) {
    int highest = -1;
    for (const SlotRecord& r : records) {
        highest = std::max(highest, r.slot);
    }
    std::vector<std::uint8_t> file(DBFile::kHeaderSize + (highest + 1) * recordSize, 0);
    putI32(file, DBFile::kYearOffset, year);
    putI32(file, DBFile::kRecordSizeOffset, recordSize);
    for (const SlotRecord& r : records) {
        file[DBFile::kSlotMapOffset + r.slot] = 1;
        std::copy(r.bytes.begin(), r.bytes.end(),
                  file.begin() + DBFile::kHeaderSize + r.slot * recordSize);
    }
    return file;
}

// The bytes of one slot of a record file image.
inline std::vector<std::uint8_t> slotBytes(const std::vector<std::uint8_t>& file, int recordSize,
                                           int slot) {
    auto first = file.begin() + DBFile::kHeaderSize + slot * recordSize;
    return {first, first + recordSize};
}

// Copies text into a record without adding a terminating zero.
inline void putRaw(std::vector<std::uint8_t>& record, std::size_t at, std::string_view text) {
    std::copy(text.begin(), text.end(), record.begin() + static_cast<std::ptrdiff_t>(at));
}

// The texts of the errors a season open reported, in order.
inline std::vector<std::string> errorTexts(const SeasonOpenReport& report) {
    std::vector<std::string> errors;
    for (const SeasonMessage& message : report.messages) {
        if (message.type == SeasonMessage::Type::Error) {
            errors.push_back(message.text);
        }
    }
    return errors;
}

// A season context in a private folder, with the preferences loaded. The
// calendar season year is 2011 unless CurYear.bin names another.
class SeasonFixture : public ::testing::Test {
  protected:
    void SetUp() override { start(); }
    void TearDown() override { context_.reset(); }

    // (Re)creates the context; a non-empty text is written to CurYear.bin first.
    void start(const std::string& curYear = "") {
        context_.reset();
        if (!curYear.empty()) {
            writeText(dir_ / "CurYear.bin", curYear);
        }
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_.path(), [] { return kMid2011; }}, error);
        ASSERT_TRUE(context_) << error;
        ASSERT_EQ(context_->preferences().load(), 0);
    }

    Singleton& context() { return *context_; }

    // Creates the empty season `year` (the Default League alone) and opens it.
    void openNewSeason(int year) {
        std::string error;
        ASSERT_TRUE(createSeasonFiles(context(), year, error)) << error;
        ASSERT_TRUE(openSeason(context(), year).opened);
    }

    std::filesystem::path fileOf(SeasonFile kind, int year) const {
        return dir_ / *seasonFileName(kind, year);
    }

    TempDir dir_;
    std::unique_ptr<Singleton> context_;
};

// A player record of the season's player file, in no cache yet.
inline Owned<Player> makePlayer(Singleton& context, int id, int team, int position,
                                std::string_view name) {
    Owned<Player> p =
        context.memory().makeRecord<Player>(Kind::Player, context.playerFile(), context);
    p->clear();
    p->setValue(kPlayerId, id, 0);
    p->setValue(kPlayerTeam, team, 0);
    p->setValue(kPlayerPosition, position, 0);
    p->setText(kPlayerName, name);
    return p;
}

// The player above, added to the season's player cache and file.
inline Player* addPlayer(Singleton& context, int id, int team, int position,
                         std::string_view name) {
    Owned<Player> p = makePlayer(context, id, team, position, name);
    Player* raw = p.get();
    EXPECT_EQ(context.mapFactory().add(context.mapFactory().players(), p), 0);
    return raw;
}

}  // namespace qff::test
