#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data02/league/Pickclock.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::TempDir;
using test::writeText;

struct TickCase {
    int minutesPerPick;
    int ticks;
    std::string shown;
    PickSound lastSound;
    bool running;
};

class PickTimerTicks : public testing::TestWithParam<TickCase> {};

TEST_P(PickTimerTicks, ShowsTheTimeBeforeCountingDown) {
    const TickCase& c = GetParam();
    PickTimer timer;
    timer.setMinutesPerPick(c.minutesPerPick);
    timer.start();
    PickSound last = PickSound::None;
    for (int i = 0; i < c.ticks; ++i) {
        last = timer.tick();
    }
    EXPECT_EQ(timer.display(), c.shown);
    EXPECT_EQ(last, c.lastSound);
    EXPECT_EQ(timer.running(), c.running);
}

INSTANTIATE_TEST_SUITE_P(Pick, PickTimerTicks,
                         testing::Values(TickCase{1, 1, "01:00", PickSound::OneMinuteLeft, true},
                                         TickCase{1, 2, "00:59", PickSound::None, true},
                                         TickCase{1, 60, "00:01", PickSound::None, true},
                                         TickCase{1, 61, "00:00", PickSound::TimeUp, false},
                                         TickCase{1, 62, "00:00", PickSound::None, false},
                                         TickCase{10, 1, "10:00", PickSound::None, true},
                                         TickCase{10, 2, "09:59", PickSound::None, true},
                                         TickCase{10, 541, "01:00", PickSound::OneMinuteLeft, true},
                                         TickCase{10, 601, "00:00", PickSound::TimeUp, false},
                                         TickCase{0, 1, "00:00", PickSound::TimeUp, false},
                                         TickCase{-3, 1, "00:00", PickSound::TimeUp, false},
                                         TickCase{150, 1, "99:00", PickSound::None, true}));

TEST(PickTimer, AWholePickWarnsOnceThenEndsOnce) {
    PickTimer timer;
    timer.setMinutesPerPick(3);
    timer.start();
    std::vector<std::pair<int, PickSound>> sounds;
    for (int second = 1; timer.running(); ++second) {
        if (PickSound sound = timer.tick(); sound != PickSound::None) {
            sounds.emplace_back(second, sound);
        }
    }
    std::vector<std::pair<int, PickSound>> expected{{121, PickSound::OneMinuteLeft},
                                                    {181, PickSound::TimeUp}};
    EXPECT_EQ(sounds, expected);
    EXPECT_TRUE(timer.timeIsUp());
}

TEST(PickTimer, ShowsNoTimeUntilFirstReset) {
    PickTimer timer;
    timer.setMinutesPerPick(10);
    EXPECT_EQ(timer.display(), "00:00");
    EXPECT_FALSE(timer.running());
    EXPECT_EQ(timer.tick(), PickSound::None);
    timer.reset();
    EXPECT_EQ(timer.display(), "10:00");
    EXPECT_FALSE(timer.running());
}

TEST(PickTimer, PauseAndResumeKeepTheTimeLeft) {
    PickTimer timer;
    timer.setMinutesPerPick(2);
    timer.start();
    timer.tick();
    timer.tick();
    timer.pause();
    EXPECT_EQ(timer.tick(), PickSound::None);
    EXPECT_EQ(timer.display(), "01:59");
    timer.resume();
    EXPECT_TRUE(timer.running());
    timer.tick();
    EXPECT_EQ(timer.display(), "01:58");
}

TEST(PickTimer, ResetStopsAtTheFullTime) {
    PickTimer timer;
    timer.setMinutesPerPick(2);
    timer.start();
    timer.tick();
    timer.tick();
    timer.reset();
    EXPECT_EQ(timer.display(), "02:00");
    EXPECT_FALSE(timer.running());
    EXPECT_EQ(timer.tick(), PickSound::None);
}

TEST(PickTimer, APickWhoseTimeIsUpDoesNotResume) {
    PickTimer timer;
    timer.setMinutesPerPick(0);
    timer.start();
    ASSERT_EQ(timer.tick(), PickSound::TimeUp);
    timer.resume();
    EXPECT_FALSE(timer.running());
    EXPECT_EQ(timer.tick(), PickSound::None);
    timer.start();
    EXPECT_TRUE(timer.running());
    EXPECT_FALSE(timer.timeIsUp());
}

// Where the sound files are, relative to the working directory and the
// program's folder: "w" the working directory, "p" the program's folder.
struct SoundCase {
    const char* name;
    std::string stored;
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::optional<std::string> found;
};

class SoundFilePath : public testing::TestWithParam<SoundCase> {};

TEST_P(SoundFilePath, FindsTheStoredNameInAnyCase) {
    const SoundCase& c = GetParam();
    TempDir dir;
    for (const std::string& folder : c.folders) {
        std::filesystem::create_directories(dir / folder);
    }
    for (const std::string& file : c.files) {
        std::filesystem::create_directories((dir / file).parent_path());
        writeText(dir / file, "sound");
    }
    std::filesystem::path path = soundFilePath(c.stored, dir / "w", dir / "p");
    EXPECT_EQ(path, c.found ? dir / *c.found : std::filesystem::path());
}

INSTANTIATE_TEST_SUITE_P(
    Stored, SoundFilePath,
    testing::Values(
        SoundCase{"InWorkdir",
                  "Sounds\\Jeopardy.wav",
                  {"w/Sounds/Jeopardy.wav"},
                  {"p"},
                  "w/Sounds/Jeopardy.wav"},
        SoundCase{"AnyCase",
                  "SOUNDS\\jeopardy.WAV",
                  {"w/Sounds/Jeopardy.wav"},
                  {"p"},
                  "w/Sounds/Jeopardy.wav"},
        SoundCase{"BesideProgram",
                  "Sounds\\BigBoom.au",
                  {"p/Sounds/BigBoom.au"},
                  {"w"},
                  "p/Sounds/BigBoom.au"},
        SoundCase{"WorkdirFirst",
                  "Sounds\\BigBoom.au",
                  {"w/Sounds/BigBoom.au", "p/Sounds/BigBoom.au"},
                  {},
                  "w/Sounds/BigBoom.au"},
        SoundCase{
            "Forward", "Sounds/BigBoom.au", {"w/Sounds/BigBoom.au"}, {}, "w/Sounds/BigBoom.au"},
        SoundCase{"Missing", "Sounds\\Jeopardy.wav", {"w/Sounds/Other.wav"}, {"p"}, std::nullopt},
        SoundCase{"Folder", "Sounds\\Jeopardy.wav", {}, {"w/Sounds/Jeopardy.wav"}, std::nullopt},
        SoundCase{"Empty", "", {"w/Sounds/Jeopardy.wav"}, {}, std::nullopt}),
    [](const testing::TestParamInfo<SoundCase>& info) { return info.param.name; });

TEST(SoundFilePath, TakesAnAbsoluteNameAsItIs) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Mine");
    writeText(dir / "Mine" / "Horn.wav", "sound");
    std::filesystem::path other = dir / "Elsewhere";
    EXPECT_EQ(soundFilePath((dir / "mine" / "HORN.wav").string(), other, other),
              dir / "Mine" / "Horn.wav");
    EXPECT_EQ(soundFilePath((dir / "Mine" / "Gone.wav").string(), other, other),
              std::filesystem::path());
}

}  // namespace
}  // namespace qff
