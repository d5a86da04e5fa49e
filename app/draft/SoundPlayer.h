#pragma once

#include <QObject>
#include <QString>

class QMediaPlayer;

// Plays one sound at a time for draft day. A sound is a cue, never needed:
// whatever goes wrong with it is kept from the user, who is busy drafting.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // Starts the sound of the file at `path` in place of any other; false,
    // with nothing played, when no file is there.
    virtual bool play(const QString& path) = 0;
    virtual void stop() = 0;
    virtual void pause() = 0;
    // Plays a paused sound on; nothing else.
    virtual void resume() = 0;
    // Whether a sound is under way, playing or paused.
    virtual bool playing() const = 0;
};

// Plays through the platform's media framework. A machine without an audio
// device, or a file the framework cannot decode, ends the sound silently.
// The framework is loaded with the first sound, so a draft without sounds
// never waits for it.
class QtSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT
  public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    bool play(const QString& path) override;
    void stop() override;
    void pause() override;
    void resume() override;
    bool playing() const override;

  private:
    QMediaPlayer* mediaPlayer();
    void discardFailedPlayer();

    QMediaPlayer* player_ = nullptr;
};
