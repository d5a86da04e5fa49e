#include "app/draft/PickClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <filesystem>
#include <utility>

#include "app/draft/SoundPlayer.h"

namespace {

constexpr int kSecondMs = 1000;

}  // namespace

PickClock::PickClock(SoundPlayer& sounds, QObject* parent)
    : QObject(parent), sounds_(sounds), ticker_(new QTimer(this)) {
    ticker_->setInterval(kSecondMs);
    connect(ticker_, &QTimer::timeout, this, &PickClock::tick);
}

PickClock::~PickClock() {
    sounds_.stop();
}

void PickClock::setSettings(int minutesPerPick, QString oneMinuteSound, QString timeUpSound) {
    timer_.setMinutesPerPick(minutesPerPick);
    oneMinuteSound_ = std::move(oneMinuteSound);
    timeUpSound_ = std::move(timeUpSound);
}

void PickClock::setAutoTick(bool on) {
    autoTick_ = on;
    followRunning();
}

void PickClock::startPick() {
    // The full time is shown for a whole second, whatever the last pick left.
    ticker_->stop();
    timer_.start();
    emit displayChanged(display());
    followRunning();
}

void PickClock::pause() {
    timer_.pause();
    followRunning();
    sounds_.pause();
}

void PickClock::restart() {
    timer_.resume();
    followRunning();
    if (timer_.running()) {
        sounds_.resume();
    }
}

void PickClock::stop() {
    sounds_.stop();
    timer_.reset();
    followRunning();
    emit displayChanged(display());
}

// The clock is left as stopped; the window hides it besides.
void PickClock::endPick() {
    stop();
}

QString PickClock::display() const {
    return QString::fromStdString(timer_.display());
}

void PickClock::tick() {
    if (ticking_ || !timer_.running()) {
        return;
    }
    ticking_ = true;
    qff::PickSound sound = timer_.tick();
    followRunning();
    emit displayChanged(display());
    if (sound == qff::PickSound::OneMinuteLeft) {
        playSetting(oneMinuteSound_);
    } else if (sound == qff::PickSound::TimeUp) {
        playSetting(timeUpSound_);
        emit timeUp();
    }
    ticking_ = false;
}

void PickClock::playSetting(const QString& storedName) {
    std::filesystem::path file =
        qff::soundFilePath(storedName.toStdString(), QDir::currentPath().toStdString(),
                           QCoreApplication::applicationDirPath().toStdString());
    if (!file.empty()) {
        sounds_.play(QString::fromStdString(file.string()));
    }
}

void PickClock::followRunning() {
    if (autoTick_ && timer_.running()) {
        if (!ticker_->isActive()) {
            ticker_->start();
        }
    } else {
        ticker_->stop();
    }
}
