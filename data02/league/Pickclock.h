#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qff {

// Two digits are all the draft options allow for the minutes of a pick.
inline constexpr int kMaxMinutesPerPick = 99;

// What a tick of the pick clock asks to be played.
enum class PickSound { None, OneMinuteLeft, TimeUp };

// The clock of one pick on draft day. It owns no timer: whoever runs it
// calls tick() once a second while running() holds. Each tick shows the
// time left, then counts one second down, so the face shows the full time
// for the first second and 00:00 only on the tick that ends the pick.
class PickTimer {
  public:
    // Clamped to 0..kMaxMinutesPerPick; takes effect at the next reset.
    void setMinutesPerPick(int minutes);
    int minutesPerPick() const { return minutesPerPick_; }

    // The full time of a pick on the face, not running.
    void reset();
    // A new pick: the full time, running.
    void start();
    void pause();
    // Runs on with the time left; a pick whose time is up stays ended.
    void resume();

    bool running() const { return running_; }
    bool timeIsUp() const { return timeIsUp_; }
    // The face as "MM:SS": the time the last tick showed, or the full time
    // after a reset ("00:00" before the first one).
    std::string display() const;

    // One second. Not running, it changes nothing and asks for nothing.
    PickSound tick();

  private:
    int minutesPerPick_ = 0;
    int secondsLeft_ = 0;
    int secondsShown_ = 0;
    bool running_ = false;
    bool timeIsUp_ = false;
};

// "MM:SS" of a number of seconds, each part with two digits.
std::string clockFace(int seconds);

// The file a sound setting names, to play it. The settings keep names such
// as "Sounds\Jeopardy.wav": backslashes, and any case, as they were typed.
// A relative name is looked up in the working directory first, then beside
// the program, where the program's own sounds are installed. Empty when
// neither holds a regular file of that name: a device or a pipe would never
// end playing.
std::filesystem::path soundFilePath(std::string_view storedName,
                                    const std::filesystem::path& workdir,
                                    const std::filesystem::path& programDir);

}  // namespace qff
