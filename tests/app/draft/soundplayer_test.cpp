#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "app/draft/SoundPlayer.h"

namespace {

const QString kSounds = QStringLiteral(QFF_SOUNDS_DIR);
const QString kWarning = kSounds + "/Jeopardy.wav";
const QString kTimeUp = kSounds + "/BigBoom.au";

// The pick clock calls the player inside its one-second tick, so no call may
// hold it up for long, with or without an audio device.
constexpr qint64 kQuickMs = 500;
// Loading the media framework the first time may take a while longer.
constexpr qint64 kFirstSoundMs = 5000;

qint64 timed(const std::function<void()>& call) {
    QElapsedTimer clock;
    clock.start();
    call();
    return clock.elapsed();
}

}  // namespace

class SoundPlayerTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QtSoundPlayer player;
        QVERIFY(timed([&] { player.play(kTimeUp); }) < kFirstSoundMs);
        player.stop();
    }

    void aMissingFileIsNotPlayed() {
        QtSoundPlayer player;
        QVERIFY(!player.play(kSounds + "/Nowhere.wav"));
        QVERIFY(!player.playing());
        QVERIFY(!player.play(kSounds));
        QVERIFY(!player.playing());
    }

    void playPauseResumeAndStopNeverWait_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("wave") << kWarning;
        QTest::newRow("au") << kTimeUp;
    }

    void playPauseResumeAndStopNeverWait() {
        QFETCH(QString, path);
        QtSoundPlayer player;
        bool started = false;
        QVERIFY(timed([&] { started = player.play(path); }) < kQuickMs);
        QVERIFY(started);
        QVERIFY(player.playing());
        QVERIFY(timed([&] { player.pause(); }) < kQuickMs);
        QVERIFY(player.playing());
        QVERIFY(timed([&] { player.resume(); }) < kQuickMs);
        QVERIFY(timed([&] { player.play(path); }) < kQuickMs);
        QVERIFY(timed([&] { player.stop(); }) < kQuickMs);
        QVERIFY(!player.playing());
        QVERIFY(timed([&] { player.stop(); }) < kQuickMs);
    }

    void aSoundEndsByItself() {
        QtSoundPlayer player;
        QVERIFY(player.play(kTimeUp));
        QTRY_VERIFY_WITH_TIMEOUT(!player.playing(), 5000);
    }

    void aFileThatIsNoSoundEndsQuietly() {
        QTemporaryDir dir;
        QString notASound = dir.filePath("Jeopardy.wav");
        QFile file(notASound);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("This is a list of players, not a sound.\n");
        file.close();
        QtSoundPlayer player;
        QVERIFY(player.play(notASound));
        QTRY_VERIFY_WITH_TIMEOUT(!player.playing(), 5000);
        QVERIFY(timed([&] { player.stop(); }) < kQuickMs);
        QVERIFY(timed([&] { player.play(kWarning); }) < kQuickMs);
        QVERIFY(player.playing());
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void destroyingThePlayerWhilePlayingNeverWaits() {
        auto player = std::make_unique<QtSoundPlayer>();
        QVERIFY(player->play(kWarning));
        QVERIFY(timed([&] { player.reset(); }) < kQuickMs);
    }
};

QTEST_MAIN(SoundPlayerTest)
#include "soundplayer_test.moc"
