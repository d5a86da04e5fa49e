#pragma once

#include <QObject>
#include <QString>

#include "data02/league/Pickclock.h"

class QTimer;
class SoundPlayer;

// The clock of the franchise on the clock: counts each pick down once a
// second, plays the warning sound when one minute is left and the time-up
// sound when none is. Sound names are as the settings keep them
// ("Sounds\Jeopardy.wav"), found in the working directory or beside the
// program; a name that finds no file is passed over without a word.
class PickClock : public QObject {
    Q_OBJECT
  public:
    // `sounds` must outlive the clock.
    explicit PickClock(SoundPlayer& sounds, QObject* parent = nullptr);
    // A sound the clock started must not outlast the window that showed it.
    ~PickClock() override;

    // An empty name plays no sound. Takes effect at the next pick or stop.
    void setSettings(int minutesPerPick, QString oneMinuteSound, QString timeUpSound);
    // Whether a timer ticks the clock each second; off, only tick() does.
    void setAutoTick(bool on);

    // A franchise is on the clock: the full time, shown at once, counting.
    void startPick();
    // Stops counting and pauses the sound.
    void pause();
    // Counts on, with the sound, unless the time is up.
    void restart();
    // Back to the full time, shown, not counting, no sound.
    void stop();
    // The pick is made: no sound, the full time, not counting.
    void endPick();

    bool running() const { return timer_.running(); }
    QString display() const;

    // One second of the clock.
    void tick();

  signals:
    void displayChanged(const QString& text);
    void timeUp();

  private:
    void playSetting(const QString& storedName);
    void followRunning();

    SoundPlayer& sounds_;
    QTimer* ticker_;
    qff::PickTimer timer_;
    QString oneMinuteSound_;
    QString timeUpSound_;
    bool autoTick_ = true;
    // A slow sound start or a slot of displayChanged may run the event loop,
    // which must not run the next second inside this one.
    bool ticking_ = false;
};
