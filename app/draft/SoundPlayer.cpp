#include "app/draft/SoundPlayer.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent) {}

QtSoundPlayer::~QtSoundPlayer() {
    stop();
}

bool QtSoundPlayer::play(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    stop();
    QMediaPlayer* player = mediaPlayer();
    player->setSource(QUrl::fromLocalFile(path));
    player->play();
    return true;
}

void QtSoundPlayer::stop() {
    if (playing()) {
        player_->stop();
    }
}

void QtSoundPlayer::pause() {
    if (player_ != nullptr && player_->playbackState() == QMediaPlayer::PlayingState) {
        player_->pause();
    }
}

void QtSoundPlayer::resume() {
    if (player_ != nullptr && player_->playbackState() == QMediaPlayer::PausedState) {
        player_->play();
    }
}

bool QtSoundPlayer::playing() const {
    return player_ != nullptr && player_->playbackState() != QMediaPlayer::StoppedState;
}

QMediaPlayer* QtSoundPlayer::mediaPlayer() {
    if (player_ == nullptr) {
        player_ = new QMediaPlayer(this);
        player_->setAudioOutput(new QAudioOutput(player_));
        connect(player_, &QMediaPlayer::errorOccurred, this, &QtSoundPlayer::discardFailedPlayer);
    }
    return player_;
}

// A player whose sound failed waits a second for its pipeline on every later
// stop or new source, and the pick clock's tick must not wait. Throwing it
// away costs nothing; the next sound gets a fresh one.
void QtSoundPlayer::discardFailedPlayer() {
    if (player_ != nullptr) {
        player_->disconnect(this);
        player_->deleteLater();
        player_ = nullptr;
    }
}
