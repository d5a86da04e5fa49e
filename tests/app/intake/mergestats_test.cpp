// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/demo/Demo.h"
#include "data02/intake/Statsmerge.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/season/State.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Ptsfile.h"
#include "tests/app/support/AppFixture.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/intake/MergeStats.h"

namespace fs = std::filesystem;
using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;

namespace {

constexpr int kYear = 2003;
// The demo merges weeks 1 and 2; week 3 waits in the Download folder.
constexpr int kWeekThree = 2;
constexpr int kFullFile = 2048;

qff::DemoOptions demoOptions() {
    qff::DemoOptions options;
    options.year = kYear;
    options.weeksMerged = 2;
    options.playersPerTeam = 20;
    return options;
}

std::vector<char> bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

class MergeStatsTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void mergesADemoWeekThroughTheWindow();
    void aFileOfAnotherSeasonIsRefusedAndChangesNothing();
    void aRosterUpdateTellsHowManyPlayersWereAdded();
    void theWindowAnswersWhileAFullFileMerges();

  private:
    qff::Singleton& season() { return folder_->context(); }
    fs::path download(const char* name) const { return folder_->path() / "Download" / name; }
    std::vector<qff::PtsRecord> weekRecords(int week);
    fs::path write(const char* name, int year, const std::vector<qff::PtsRecord>& records);
    void expectWeekMatchesFile(const fs::path& file, int week);

    std::unique_ptr<SeasonFolder> folder_;
    RecordingPrompter prompter_;
};

void MergeStatsTest::init() {
    folder_ = std::make_unique<SeasonFolder>(demoOptions());
    QVERIFY(folder_->opened());
    prompter_.told.clear();
}

void MergeStatsTest::cleanup() {
    folder_.reset();
}

std::vector<qff::PtsRecord> MergeStatsTest::weekRecords(int week) {
    qff::Pro table(season().strBuf());
    table.setSeason(kYear);
    std::vector<bool> everyTeamPlays(qff::Pro::kTeamSlots, true);
    qff::DemoRandom random(week + 1);
    return qff::demoWeekRecords(table, qff::demoPlayers(kYear, demoOptions()), week, everyTeamPlays,
                                random);
}

fs::path MergeStatsTest::write(const char* name, int year,
                               const std::vector<qff::PtsRecord>& records) {
    fs::path file = folder_->path() / name;
    std::string error;
    if (qff::writePtsFile(file, year, records, error) != 0) {
        qFatal("%s", error.c_str());
    }
    return file;
}

// Every figure of every individual player in the file is his figure of the week.
// (Codes the file leaves at 0 may be counted from others, such as touchdowns.)
void MergeStatsTest::expectWeekMatchesFile(const fs::path& file, int week) {
    qff::PtsFile pts(season().memory(), season().strBuf());
    QCOMPARE(pts.open(file), 0);
    int compared = 0;
    for (; pts.hasRecord(); pts.next()) {
        if (pts.value(qff::kPlayerPosition) >= qff::kUnitOffset) {
            continue;
        }
        const qff::Player* player =
            season().playerQuery().findOne(qff::kPlayerId, pts.value(qff::kPlayerId));
        QVERIFY(player != nullptr);
        for (int code = 9; code <= 69; ++code) {
            if (pts.value(code) != 0) {
                QCOMPARE(player->getValue(code, week), pts.value(code));
            }
        }
        ++compared;
    }
    QVERIFY(compared > 100);
}

void MergeStatsTest::mergesADemoWeekThroughTheWindow() {
    fs::path file = download("3_WK3.pts");
    QVERIFY(!season().seasonState().weekHasStats(kWeekThree));
    TformMergeStats dialog(season(), prompter_, file);
    dialog.exec();

    QVERIFY(!dialog.isMerging());
    QVERIFY(dialog.report().succeeded());
    QCOMPARE(dialog.report().weeksMerged, std::vector<int>{kWeekThree});
    auto* bar = dialog.findChild<QProgressBar*>("progressMerge");
    QCOMPARE(bar->maximum(), dialog.report().records);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(!dialog.findChild<QLabel*>("labelPlayer")->text().isEmpty());
    QCOMPARE(prompter_.told, QStringList());
    QVERIFY(season().seasonState().weekHasStats(kWeekThree));
    QCOMPARE(season().seasonState().get(qff::kCurrentWeek), kWeekThree);
    expectWeekMatchesFile(file, kWeekThree);
}

void MergeStatsTest::aFileOfAnotherSeasonIsRefusedAndChangesNothing() {
    fs::path file = write("4_WK3.pts", 2004, weekRecords(kWeekThree));
    fs::path players = folder_->path() / *qff::seasonFileName(qff::SeasonFile::Plyr, kYear);
    fs::path state = folder_->path() / *qff::seasonFileName(qff::SeasonFile::State, kYear);
    std::vector<char> playersBefore = bytesOf(players);
    std::vector<char> stateBefore = bytesOf(state);
    QVERIFY(!playersBefore.empty());

    qff::MergeReport report = TformMergeStats::mergeFile(season(), prompter_, file, nullptr);

    QVERIFY(report.refused);
    QCOMPARE(prompter_.told,
             QStringList{"Merging stats from 2004 into the 2003 season is not allowed."});
    QCOMPARE(bytesOf(players), playersBefore);
    QCOMPARE(bytesOf(state), stateBefore);
    QVERIFY(!season().seasonState().weekHasStats(kWeekThree));
}

void MergeStatsTest::aRosterUpdateTellsHowManyPlayersWereAdded() {
    std::vector<qff::PtsRecord> roster{
        {"Newcomer, Ned", 0, qff::kWR, 9001, qff::kRosterWeek, {}},
        {"Rookie, Rex", 1, qff::kRB, 9002, qff::kRosterWeek, {}},
    };
    qff::MergeReport report = TformMergeStats::mergeFile(
        season(), prompter_, write("Update3.ros", kYear, roster), nullptr);

    QVERIFY(report.succeeded());
    QCOMPARE(prompter_.told, QStringList{"2 new players were added to your database."});
    const qff::Player* rex = season().playerQuery().findOne(qff::kPlayerId, 9002);
    QVERIFY(rex != nullptr);
    QCOMPARE(QString::fromStdString(rex->name()), QString("Rookie, Rex"));
}

// Between two ticks the window's event loop turns, so it repaints and answers.
void MergeStatsTest::theWindowAnswersWhileAFullFileMerges() {
    std::vector<qff::PtsRecord> week = weekRecords(kWeekThree);
    std::vector<qff::PtsRecord> records;
    while (records.size() < kFullFile) {
        records.push_back(week[records.size() % week.size()]);
    }
    fs::path file = write("3_WK3.pts", kYear, records);

    TformMergeStats dialog(season(), prompter_, file);
    // However fast the machine, the file takes many ticks.
    dialog.setTickBudget(std::chrono::milliseconds(1));
    int turns = 0;
    QTimer probe;
    connect(&probe, &QTimer::timeout, [&turns] { ++turns; });
    probe.start(0);
    std::vector<int> progress;
    std::vector<int> turnsAtTick;
    connect(&dialog, &TformMergeStats::stepDone, [&](int done) {
        progress.push_back(done);
        turnsAtTick.push_back(turns);
    });
    dialog.exec();

    QVERIFY(dialog.report().succeeded());
    QCOMPARE(dialog.report().records, kFullFile);
    QVERIFY2(progress.size() > 10, "the merge took few ticks");
    QCOMPARE(progress.back(), kFullFile);
    for (std::size_t i = 1; i < progress.size(); ++i) {
        QVERIFY(progress[i] > progress[i - 1]);
        QVERIFY2(turnsAtTick[i] > turnsAtTick[i - 1], "no event between two ticks");
    }
    auto* bar = dialog.findChild<QProgressBar*>("progressMerge");
    QCOMPARE(bar->maximum(), kFullFile);
    QCOMPARE(bar->value(), kFullFile);
}

QTEST_MAIN(MergeStatsTest)
#include "mergestats_test.moc"
