#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/draft/PickClock.h"
#include "app/draft/SoundPlayer.h"

namespace {

const QString kSounds = QStringLiteral(QFF_SOUNDS_DIR);
const QString kWarning = kSounds + "/Jeopardy.wav";
const QString kTimeUp = kSounds + "/BigBoom.au";

// Keeps every call, in order; a sound plays until stopped.
class RecordingSoundPlayer : public SoundPlayer {
  public:
    bool play(const QString& path) override {
        calls.append("play " + path);
        playing_ = QFileInfo(path).isFile();
        return playing_;
    }
    void stop() override {
        calls.append("stop");
        playing_ = false;
    }
    void pause() override { calls.append("pause"); }
    void resume() override { calls.append("resume"); }
    bool playing() const override { return playing_; }

    QStringList calls;

  private:
    bool playing_ = false;
};

// Runs a clock by hand: no timer ticks it.
struct ManualClock {
    explicit ManualClock(int minutes, const QString& warning = kWarning,
                         const QString& timeUp = kTimeUp)
        : clock(sounds) {
        clock.setAutoTick(false);
        clock.setSettings(minutes, warning, timeUp);
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            clock.tick();
        }
    }

    RecordingSoundPlayer sounds;
    PickClock clock;
};

}  // namespace

class PickClockTest : public QObject {
    Q_OBJECT

  private slots:
    void oneMinuteSoundPlaysOnTheFirstTickOfAOneMinutePick() {
        ManualClock run(1);
        QSignalSpy shown(&run.clock, &PickClock::displayChanged);
        run.clock.startPick();
        QCOMPARE(run.clock.display(), QString("01:00"));
        QVERIFY(run.clock.running());
        QVERIFY(run.sounds.calls.isEmpty());
        run.clock.tick();
        QCOMPARE(run.sounds.calls, QStringList{"play " + kWarning});
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(1).at(0).toString(), QString("01:00"));
        run.clock.tick();
        QCOMPARE(run.clock.display(), QString("00:59"));
    }

    void timeUpPlaysAtZeroAndStopsTheClock() {
        ManualClock run(1);
        QSignalSpy timeUp(&run.clock, &PickClock::timeUp);
        run.clock.startPick();
        run.ticks(60);
        QCOMPARE(run.clock.display(), QString("00:01"));
        QCOMPARE(timeUp.size(), 0);
        run.clock.tick();
        QCOMPARE(run.clock.display(), QString("00:00"));
        QCOMPARE(timeUp.size(), 1);
        QVERIFY(!run.clock.running());
        QCOMPARE(run.sounds.calls.last(), "play " + kTimeUp);
        run.ticks(5);
        QCOMPARE(timeUp.size(), 1);
        QCOMPARE(run.sounds.calls.size(), 2);
    }

    void pauseAndRestartKeepTheTimeAndTheSound() {
        ManualClock run(2);
        run.clock.startPick();
        run.ticks(3);
        run.clock.pause();
        QVERIFY(!run.clock.running());
        run.ticks(10);
        QCOMPARE(run.clock.display(), QString("01:58"));
        run.clock.restart();
        QVERIFY(run.clock.running());
        run.clock.tick();
        QCOMPARE(run.clock.display(), QString("01:57"));
        QCOMPARE(run.sounds.calls, (QStringList{"pause", "resume"}));
    }

    void stoppingResetsTheClock_data() {
        QTest::addColumn<bool>("pickMade");
        QTest::newRow("Stop timer") << false;
        QTest::newRow("pick made") << true;
    }

    void stoppingResetsTheClock() {
        QFETCH(bool, pickMade);
        ManualClock run(2);
        QSignalSpy shown(&run.clock, &PickClock::displayChanged);
        run.clock.startPick();
        run.ticks(70);
        QCOMPARE(run.sounds.calls, QStringList{"play " + kWarning});
        pickMade ? run.clock.endPick() : run.clock.stop();
        QVERIFY(!run.clock.running());
        QCOMPARE(run.clock.display(), QString("02:00"));
        QCOMPARE(shown.last().at(0).toString(), QString("02:00"));
        QCOMPARE(run.sounds.calls.last(), QString("stop"));
        QVERIFY(!run.sounds.playing());
        run.clock.tick();
        QCOMPARE(run.clock.display(), QString("02:00"));
    }

    void aMissingSoundFileIsPassedOverWithoutAWord() {
        ManualClock run(1, "Sounds\\Nowhere.wav", "/no/such/folder/Boom.au");
        QSignalSpy timeUp(&run.clock, &PickClock::timeUp);
        run.clock.startPick();
        run.ticks(61);
        QCOMPARE(timeUp.size(), 1);
        QVERIFY(run.sounds.calls.isEmpty());
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void anEmptySoundNamePlaysNothing() {
        ManualClock run(1, "", "");
        run.clock.startPick();
        run.ticks(61);
        QVERIFY(run.sounds.calls.isEmpty());
    }

    void storedNamesAreFoundInTheWorkingDirectory() {
        QTemporaryDir workdir;
        QVERIFY(QDir(workdir.path()).mkdir("Sounds"));
        QVERIFY(QFile::copy(kWarning, workdir.filePath("Sounds/Jeopardy.wav")));
        QString before = QDir::currentPath();
        QDir::setCurrent(workdir.path());
        ManualClock run(1, "sounds\\JEOPARDY.wav", "Sounds\\BigBoom.au");
        run.clock.startPick();
        run.ticks(61);
        QDir::setCurrent(before);
        QString played = QDir(workdir.path()).canonicalPath() + "/Sounds/Jeopardy.wav";
        QCOMPARE(run.sounds.calls.size(), 1);
        QCOMPARE(QFileInfo(run.sounds.calls.at(0).mid(5)).canonicalFilePath(), played);
    }

    void destroyingTheClockStopsItsSound() {
        RecordingSoundPlayer sounds;
        auto clock = std::make_unique<PickClock>(sounds);
        clock->setAutoTick(false);
        clock->setSettings(0, kWarning, kTimeUp);
        clock->startPick();
        clock->tick();
        QVERIFY(sounds.playing());
        clock.reset();
        QVERIFY(!sounds.playing());
    }

    void aTickStartedWithinATickIsIgnored() {
        ManualClock run(2);
        run.clock.startPick();
        connect(&run.clock, &PickClock::displayChanged, &run.clock, &PickClock::tick);
        run.clock.tick();
        QCOMPARE(run.clock.display(), QString("02:00"));
        run.clock.tick();
        QCOMPARE(run.clock.display(), QString("01:59"));
    }

    void theTimerTicksEachSecond() {
        RecordingSoundPlayer sounds;
        PickClock clock(sounds);
        clock.setSettings(2, kWarning, kTimeUp);
        QSignalSpy shown(&clock, &PickClock::displayChanged);
        clock.startPick();
        QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 3, 3000);
        QCOMPARE(clock.display(), QString("01:59"));
        clock.pause();
        QTest::qWait(1200);
        QCOMPARE(shown.size(), 3);
    }
};

QTEST_MAIN(PickClockTest)
#include "pickclock_test.moc"
