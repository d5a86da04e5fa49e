#include "data02/league/Pickclock.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "data02/storage/Files.h"

namespace qff {
namespace {

constexpr int kSecondsPerMinute = 60;

std::filesystem::path withSlashes(std::string_view storedName) {
    std::string name(storedName);
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// Every folder on the way may differ in case too ("sounds\jeopardy.wav").
std::filesystem::path resolveEachNoCase(const std::filesystem::path& base,
                                        const std::filesystem::path& relative) {
    std::filesystem::path found = base;
    for (const std::filesystem::path& part : relative) {
        if (!part.empty()) {
            found = resolveNoCase(found / part);
        }
    }
    return found;
}

bool isRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

void PickTimer::setMinutesPerPick(int minutes) {
    minutesPerPick_ = std::clamp(minutes, 0, kMaxMinutesPerPick);
}

void PickTimer::reset() {
    secondsLeft_ = minutesPerPick_ * kSecondsPerMinute;
    secondsShown_ = secondsLeft_;
    running_ = false;
    timeIsUp_ = false;
}

void PickTimer::start() {
    reset();
    running_ = true;
}

void PickTimer::pause() {
    running_ = false;
}

void PickTimer::resume() {
    running_ = !timeIsUp_;
}

std::string PickTimer::display() const {
    return clockFace(secondsShown_);
}

PickSound PickTimer::tick() {
    if (!running_) {
        return PickSound::None;
    }
    secondsShown_ = secondsLeft_;
    if (secondsLeft_ == 0) {
        running_ = false;
        timeIsUp_ = true;
        return PickSound::TimeUp;
    }
    --secondsLeft_;
    return secondsShown_ == kSecondsPerMinute ? PickSound::OneMinuteLeft : PickSound::None;
}

std::string clockFace(int seconds) {
    char face[16];
    std::snprintf(face, sizeof face, "%02d:%02d", seconds / kSecondsPerMinute,
                  seconds % kSecondsPerMinute);
    return face;
}

std::filesystem::path soundFilePath(std::string_view storedName,
                                    const std::filesystem::path& workdir,
                                    const std::filesystem::path& programDir) {
    if (storedName.empty()) {
        return {};
    }
    std::filesystem::path name = withSlashes(storedName);
    if (name.is_absolute()) {
        std::filesystem::path file = resolveEachNoCase(name.root_path(), name.relative_path());
        return isRegularFile(file) ? file : std::filesystem::path();
    }
    for (const std::filesystem::path& base : {workdir, programDir}) {
        std::filesystem::path file = resolveEachNoCase(base, name);
        if (isRegularFile(file)) {
            return file;
        }
    }
    return {};
}

}  // namespace qff
