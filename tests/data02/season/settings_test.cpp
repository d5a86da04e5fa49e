#include <gtest/gtest.h>

#include <set>

#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
using test::writeText;

constexpr std::size_t kRecordStart = DBFile::kHeaderSize;

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { writeText(dir_ / "CurYear.bin", "2004\n"); }

    std::unique_ptr<Singleton> start() {
        std::string error;
        auto context = Singleton::create(SeasonEnv{dir_.path()}, error);
        EXPECT_TRUE(context) << error;
        return context;
    }

    TempDir dir_;
};

TEST_F(SettingsTest, NewPrefsFileHoldsTheDefaultsAtTheirOffsets) {
    {
        auto context = start();
        ASSERT_EQ(context->preferences().load(), 0);
        ASSERT_EQ(context->preferences().save(), 0);
    }
    auto bytes = readBytes(dir_ / "Prefs.db");
    ASSERT_EQ(bytes.size(), kRecordStart + 2756);
    EXPECT_EQ(getI32(bytes, 80), 2004);
    EXPECT_EQ(getI32(bytes, 84), 2756);
    EXPECT_EQ(bytes[88], 1);
    ConstByteSpan r(bytes.data() + kRecordStart, 2756);
    struct Expect {
        int offset;
        int size;
        int value;
    };
    for (const Expect& e :
         {Expect{0, 4, 2003},       Expect{4, 1, 1},          Expect{24, 4, 200},
          Expect{548, 4, 25},       Expect{552, 1, 1},        Expect{553, 1, 1},
          Expect{556, 4, 0},        Expect{560, 4, 0xC0C0C0}, Expect{564, 4, 0x808080},
          Expect{568, 1, 1},        Expect{577, 1, 2},        Expect{578, 1, 6},
          Expect{579, 1, 4},        Expect{580, 1, 2},        Expect{583, 1, 2},
          Expect{617, 1, 1},        Expect{620, 4, 0xFFFFFF}, Expect{624, 4, 0},
          Expect{628, 4, 0xFFFFFF}, Expect{1212, 1, 1},       Expect{1216, 1, 1},
          Expect{1217, 1, 10},      Expect{1730, 1, 1},       Expect{1731, 1, 16}}) {
        int actual = e.size == 4 ? getI32(r, e.offset) : getU8(r, e.offset);
        EXPECT_EQ(actual, e.value) << "offset " << e.offset;
    }
    EXPECT_EQ(getText(r, 1218, 256), "Sounds\\Jeopardy.wav");
    EXPECT_EQ(getText(r, 1474, 256), "Sounds\\BigBoom.au");
    EXPECT_EQ(getText(r, 632, 257), "");
}

TEST_F(SettingsTest, PreferencesRoundTripThroughTheFile) {
    {
        auto context = start();
        Preferences& prefs = context->preferences();
        ASSERT_EQ(prefs.load(), 0);
        EXPECT_EQ(prefs.set(8038, 15), 0);
        EXPECT_EQ(prefs.setText(8031, "smtp.example.org"), 0);
        EXPECT_EQ(prefs.set(8026, 7), 0);
        EXPECT_EQ(prefs.set(8036, 0x12345), 0);
        EXPECT_EQ(prefs.save(), 0);
    }
    auto context = start();
    Preferences& prefs = context->preferences();
    ASSERT_EQ(prefs.load(), 0);
    EXPECT_EQ(prefs.get(8038), 15);
    EXPECT_STREQ(prefs.getText(8031), "smtp.example.org");
    EXPECT_EQ(prefs.get(8026), 1);
    EXPECT_EQ(prefs.get(8036), 0x2345);
    EXPECT_EQ(prefs.get(8000), 2003);
}

TEST_F(SettingsTest, PreferenceIdentifiersOutsideTheirTableAreRefused) {
    auto context = start();
    Preferences& prefs = context->preferences();
    EXPECT_EQ(prefs.set(7999, 1), kUnknownIdStatus);
    EXPECT_EQ(prefs.set(8042, 1), kUnknownIdStatus);
    EXPECT_EQ(prefs.set(8031, 1), kUnknownIdStatus);
    EXPECT_EQ(prefs.setText(8038, "x"), kUnknownIdStatus);
    EXPECT_EQ(prefs.get(8042), 0);
    EXPECT_EQ(prefs.get(8031), 0);
    EXPECT_STREQ(prefs.getText(8038), "");
}

TEST_F(SettingsTest, LongTextsAreCutAndAlwaysZeroEnded) {
    auto context = start();
    Preferences& prefs = context->preferences();
    ASSERT_EQ(prefs.load(), 0);
    ASSERT_EQ(prefs.setText(8034, std::string(100, 'p')), 0);
    EXPECT_EQ(std::string(prefs.getText(8034)), std::string(32, 'p'));
    ASSERT_EQ(prefs.setText(8032, "short"), 0);
    ASSERT_EQ(prefs.setText(8034, ""), 0);
    EXPECT_STREQ(prefs.getText(8034), "");
    EXPECT_STREQ(prefs.getText(8032), "short");
    ASSERT_EQ(prefs.save(), 0);
    auto bytes = readBytes(dir_ / "Prefs.db");
    EXPECT_EQ(bytes[kRecordStart + 889 + 5], 0);
    EXPECT_EQ(bytes[kRecordStart + 1179], 0);
}

// Files that exist but cannot be used are the user's: nothing may re-create,
// truncate or overwrite them.
struct DamagedSetting {
    const char* label;
    const char* name;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> headerWithRecordSize(int recordSize) {
    std::vector<std::uint8_t> bytes(DBFile::kHeaderSize + 16, 0x77);
    std::fill(bytes.begin(), bytes.begin() + DBFile::kHeaderSize, 0);
    putI32(bytes, 80, 2004);
    putI32(bytes, 84, recordSize);
    bytes[88] = 1;
    return bytes;
}

class DamagedSettingTest : public SettingsTest,
                           public ::testing::WithParamInterface<DamagedSetting> {};

TEST_P(DamagedSettingTest, IsReportedAndLeftAsItWas) {
    const DamagedSetting& damaged = GetParam();
    writeBytes(dir_ / damaged.name, damaged.bytes);
    {
        auto context = start();
        std::string name = damaged.name;
        if (name == "Prefs.db") {
            EXPECT_EQ(context->preferences().load(), 1);
            EXPECT_FALSE(context->preferences().lastError().empty());
            EXPECT_EQ(context->preferences().get(8038), 10);
            EXPECT_EQ(context->preferences().save(), 1);
        } else if (name == "sticky.db") {
            EXPECT_FALSE(context->sticky().isLoaded());
            EXPECT_FALSE(context->sticky().lastError().empty());
            EXPECT_EQ(context->sticky().save(), 1);
        } else {
            EXPECT_EQ(context->seasonState().open(2003), 1);
            EXPECT_FALSE(context->seasonState().lastError().empty());
            EXPECT_NE(context->seasonState().set(kCurrentWeek, 3), 0);
        }
    }
    EXPECT_EQ(readBytes(dir_ / damaged.name), damaged.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedSettingTest,
    ::testing::Values(
        DamagedSetting{"prefs_wrong_size", "Prefs.db", headerWithRecordSize(100)},
        DamagedSetting{"prefs_truncated", "Prefs.db", std::vector<std::uint8_t>(50, 1)},
        DamagedSetting{"sticky_wrong_size", "sticky.db", headerWithRecordSize(263)},
        DamagedSetting{"sticky_truncated", "sticky.db", std::vector<std::uint8_t>(9, 0)},
        DamagedSetting{"prefs_cut", "Prefs.db", headerWithRecordSize(2756)},
        DamagedSetting{"sticky_cut", "sticky.db", headerWithRecordSize(264)},
        DamagedSetting{"state_cut", "State_03.DB", headerWithRecordSize(420)},
        DamagedSetting{"state_wrong_size", "State_03.DB", headerWithRecordSize(421)},
        DamagedSetting{"state_truncated", "State_03.DB", std::vector<std::uint8_t>(3, 0)}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SettingsTest, SettingsThatAreOnlyReadCreateNoFile) {
    {
        auto context = start();
        ASSERT_EQ(context->preferences().load(), 0);
        EXPECT_EQ(context->preferences().get(8038), 10);
        EXPECT_EQ(context->sticky().getInt(10003), 1);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Prefs.db"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "sticky.db"));
}

// What a creation cut off before its header leaves holds nothing to keep.
TEST_F(SettingsTest, EmptySettingsFilesCountAsMissingAndAreReplacedByASave) {
    writeBytes(dir_ / "Prefs.db", {});
    writeBytes(dir_ / "sticky.db", {});
    {
        auto context = start();
        ASSERT_EQ(context->preferences().load(), 0);
        ASSERT_TRUE(context->sticky().isLoaded());
        EXPECT_EQ(context->preferences().get(8038), 10);
        context->preferences().set(8038, 12);
        context->sticky().setInt(10009, 5);
    }
    auto context = start();
    ASSERT_EQ(context->preferences().load(), 0);
    EXPECT_EQ(context->preferences().get(8038), 12);
    EXPECT_EQ(context->sticky().getInt(10009), 5);
}

TEST_F(SettingsTest, MissingStateFileIsCreatedWithOneZeroRecord) {
    auto context = start();
    ASSERT_EQ(context->seasonState().open(2003), 0);
    auto bytes = readBytes(dir_ / "State_03.DB");
    ASSERT_EQ(bytes.size(), kRecordStart + 420);
    EXPECT_EQ(getI32(bytes, 80), 2003);
    EXPECT_EQ(getI32(bytes, 84), 420);
    EXPECT_TRUE(std::all_of(bytes.begin() + kRecordStart, bytes.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST_F(SettingsTest, StateValuesAreWrittenAtTheirOffsetsAtOnce) {
    auto context = start();
    SeasonState& state = context->seasonState();
    ASSERT_EQ(state.open(2003), 0);
    struct Case {
        int id;
        int offset;
        int value;
    };
    const Case cases[] = {{9001, 0, 3},   {9002, 4, 255}, {9003, 8, 12}, {9004, 12, 13},
                          {9005, 16, 14}, {9006, 20, 31}, {9007, 24, 5}, {9008, 28, 256}};
    for (const Case& c : cases) {
        EXPECT_EQ(state.set(c.id, c.value), 0);
    }
    EXPECT_EQ(state.set(kReportInProgress, 1), 0);
    auto bytes = readBytes(dir_ / "State_03.DB");
    for (const Case& c : cases) {
        EXPECT_EQ(getI32(bytes, kRecordStart + c.offset), c.value) << c.id;
        EXPECT_EQ(state.get(c.id), c.value);
    }
    EXPECT_EQ(bytes[kRecordStart + 160], 1);
    EXPECT_EQ(state.get(kReportInProgress), 1);
}

TEST_F(SettingsTest, UnknownStateIdentifiersChangeNothing) {
    auto context = start();
    SeasonState& state = context->seasonState();
    ASSERT_EQ(state.open(2003), 0);
    auto before = readBytes(dir_ / "State_03.DB");
    EXPECT_EQ(state.set(9015, 1), kUnknownIdStatus);
    EXPECT_EQ(state.set(9013, 1), kUnknownIdStatus);
    EXPECT_EQ(state.set(9009, 1), kUnknownIdStatus);
    EXPECT_EQ(state.get(9015), 0);
    EXPECT_EQ(readBytes(dir_ / "State_03.DB"), before);
}

TEST_F(SettingsTest, WeekFlagsReachTheFileWhenTheyChange) {
    auto context = start();
    SeasonState& state = context->seasonState();
    ASSERT_EQ(state.open(2003), 0);
    EXPECT_EQ(state.weeksWithStats(), 0);
    ASSERT_EQ(state.setWeekHasStats(2, 1), 0);
    EXPECT_EQ(state.weeksWithStats(), 3);
    EXPECT_EQ(readBytes(dir_ / "State_03.DB")[kRecordStart + 48 + 2], 1);
    auto before = readBytes(dir_ / "State_03.DB");
    EXPECT_EQ(state.setWeekHasStats(20, 1), 0);
    EXPECT_EQ(state.setWeekHasStats(-1, 1), 0);
    EXPECT_EQ(state.weekHasStats(20), 0);
    EXPECT_EQ(readBytes(dir_ / "State_03.DB"), before);
}

TEST_F(SettingsTest, IdentifiersSkipThoseInUseAndArePersisted) {
    auto context = start();
    SeasonState& state = context->seasonState();
    ASSERT_EQ(state.open(2003), 0);
    std::set<int> franchises{1, 2};
    state.setIdInUse(kLastFranchiseId, [&](int id) { return franchises.count(id) > 0; });
    EXPECT_EQ(state.get(kLastFranchiseId), 3);
    EXPECT_EQ(getI32(readBytes(dir_ / "State_03.DB"), kRecordStart + 32), 3);
    EXPECT_EQ(state.peek(kLastFranchiseId), 3);
    EXPECT_EQ(state.get(kLastDivisionId), 1);
    EXPECT_EQ(state.get(kLastDivisionId), 2);
    EXPECT_EQ(state.get(kLastReportId), 1);
    EXPECT_EQ(state.get(kLastLeagueId), 1);
}

TEST_F(SettingsTest, IdentifiersStayBetweenOneAnd32766) {
    std::vector<std::uint8_t> bytes(kRecordStart + 420, 0);
    putI32(bytes, 80, 2003);
    putI32(bytes, 84, 420);
    bytes[88] = 1;
    putI32(bytes, kRecordStart + 36, 32765);
    putI32(bytes, kRecordStart + 40, -12);
    writeBytes(dir_ / "State_03.DB", bytes);
    auto context = start();
    SeasonState& state = context->seasonState();
    ASSERT_EQ(state.open(2003), 0);
    EXPECT_EQ(state.get(kLastDivisionId), 32766);
    EXPECT_EQ(state.get(kLastDivisionId), 1);
    EXPECT_EQ(state.get(kLastLeagueId), 1);
    state.setIdInUse(kLastReportId, [](int) { return true; });
    EXPECT_EQ(state.get(kLastReportId), 0);
    EXPECT_FALSE(state.lastError().empty());
}

TEST_F(SettingsTest, NewStickyFileHas31TaggedRecords) {
    ASSERT_EQ(start()->sticky().save(), 0);
    auto bytes = readBytes(dir_ / "sticky.db");
    ASSERT_EQ(bytes.size(), kRecordStart + 31 * 264);
    EXPECT_EQ(getI32(bytes, 84), 264);
    for (int slot = 0; slot < 31; ++slot) {
        EXPECT_EQ(bytes[88 + slot], 1);
        EXPECT_EQ(bytes[kRecordStart + slot * 264], slot + 1);
    }
    EXPECT_EQ(bytes[kRecordStart + 124], 1);
}

TEST_F(SettingsTest, RememberedSettingsRoundTripAtTheirPlaces) {
    {
        auto context = start();
        Sticky& sticky = context->sticky();
        ASSERT_TRUE(sticky.isLoaded()) << sticky.lastError();
        EXPECT_EQ(sticky.getInt(10003), 1);
        sticky.setText(10000, "Eastern");
        sticky.setText(kStickyBonusFranchise, "The Rams of Ridgeway");
        sticky.setInt(10008, -5);
        sticky.setInt(10010, 9);
        sticky.setText(10011, std::string(60, 'z'));
        sticky.setInt(10000, 4);
        sticky.setText(10008, "ignored");
    }
    auto bytes = readBytes(dir_ / "sticky.db");
    auto record = [&](int tag) {
        return ConstByteSpan(bytes.data() + kRecordStart + (tag - 1) * 264, 264);
    };
    EXPECT_EQ(getText(record(1), 4, 40), "Eastern");
    EXPECT_EQ(getText(record(4), 4, 40), "The Rams of Ridgeway");
    EXPECT_EQ(getI32(record(5), 44), -5);
    EXPECT_EQ(getU8(record(7), 4), 1);
    auto context = start();
    Sticky& sticky = context->sticky();
    EXPECT_STREQ(sticky.getText(10000), "Eastern");
    EXPECT_STREQ(sticky.getText(kStickyBonusFranchise), "The Rams of Ridgeway");
    EXPECT_EQ(sticky.getInt(10008), -5);
    EXPECT_EQ(sticky.getInt(10010), 1);
    EXPECT_EQ(std::string(sticky.getText(10011)), std::string(39, 'z'));
    EXPECT_EQ(sticky.getInt(10000), -1);
    EXPECT_EQ(sticky.getInt(10012), -1);
}

TEST_F(SettingsTest, StickyRecordsWithForeignTagsAreIgnored) {
    ASSERT_EQ(start()->sticky().save(), 0);
    auto bytes = readBytes(dir_ / "sticky.db");
    bytes[kRecordStart + 2 * 264] = 0;
    bytes[kRecordStart + 3 * 264] = 200;
    putText(bytes, kRecordStart + 3 * 264 + 4, 40, "stray");
    writeBytes(dir_ / "sticky.db", bytes);
    auto context = start();
    EXPECT_TRUE(context->sticky().isLoaded());
    EXPECT_STREQ(context->sticky().getText(10006), "");
}

}  // namespace
}  // namespace qff
