// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/intake/Statsmerge.h"
#include "data02/league/Rosters.h"
#include "data02/model/Legqry.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Results.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Ptsfile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "app/schedule/GenerateSchedule.h"
#include "app/scoring/CloseWeek.h"
#include "app/scoring/TeamBonus.h"
#include "app/shell/Main.h"
#include "app/shell/Seasons.h"
#include "app/widgets/ListHelp.h"
#include "tests/app/support/AppFixture.h"
#include "tests/app/support/PropertyGrid.h"

namespace fs = std::filesystem;
using qff::apptest::RecordingPrompter;
using qff::apptest::typeInto;
using Ids = std::vector<int>;

namespace {

constexpr int kYear = 2011;

// The week's players, all of one NFL team. Hawks draft the passer and the
// idle back, Owls the other two; the trade then swaps the backs.
enum WeekPlayer { kPasser = 501, kBackup = 502, kRunner = 503, kIdleBack = 504 };

// Runs `steps` on the next modal dialog of type T while its exec() runs.
template <class T>
void whenModal(std::function<void(T&)> steps) {
    auto* watch = new QTimer;
    QObject::connect(watch, &QTimer::timeout, [watch, steps] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            watch->deleteLater();
            watch->stop();
            steps(*dialog);
        }
    });
    watch->start(10);
}

QTreeWidgetItem* nodeNamed(QTreeWidget& tree, const QString& caption) {
    QList<QTreeWidgetItem*> found = tree.findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

void selectRows(QTreeWidget& list, const Ids& players) {
    list.clearSelection();
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list.topLevelItem(row);
        item->setSelected(std::find(players.begin(), players.end(), playerIdOf(item)) !=
                          players.end());
    }
}

}  // namespace

// A failed check inside a step ends the walk, so later steps never run on a
// half-made season.
#define STEP(call)                        \
    do {                                  \
        call;                             \
        if (QTest::currentTestFailed()) { \
            return;                       \
        }                                 \
    } while (false)

class WeekFlowTest : public QObject {
    Q_OBJECT

  private slots:
    void aCommissionersFirstWeekThroughTheWindows();

  private:
    template <class T>
    T& control(const char* name) {
        return *window_->hostedForm()->findChild<T*>(name);
    }
    QTreeWidget& tree() { return control<QTreeWidget>("treeLeague"); }
    void click(const char* button) {
        QTest::mouseClick(&control<QPushButton>(button), Qt::LeftButton);
    }
    void selectNode(const QString& caption) { tree().setCurrentItem(nodeNamed(tree(), caption)); }
    int selectedId() { return structureNodeOf(tree().currentItem())->id; }
    qff::Singleton& season() { return *window_->context(); }

    void createSeason();
    int addFranchise(const QString& name);
    void setUpLeague();
    void mergeWeekStatistics();
    void draft(const QString& franchise, const Ids& players);
    void activate(const QString& franchise);
    void swapBacks();
    void generateSchedule();
    void penalise(int franchise, int points);
    void closeWeekOne();

    Ids roster(int franchise, int week, bool activeOnly = false);
    qff::GameResult weekOneGame();
    qff::StandingRow standingOf(int franchise);

    QTemporaryDir dir_;
    RecordingPrompter prompter_;
    std::unique_ptr<TformMain> window_;
    int hawks_ = 0;
    int owls_ = 0;
};

void WeekFlowTest::createSeason() {
    whenModal<TformNewSeason>([](TformNewSeason& dialog) {
        dialog.findChild<QSpinBox*>("editYear")->setValue(kYear);
        dialog.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
    });
    window_->findChild<QAction*>("menuNewSeason")->trigger();
}

// Creates a franchise in the selected division and names it.
int WeekFlowTest::addFranchise(const QString& name) {
    click("btnNewFranchise");
    typeInto(control<QTableWidget>("gridProperties"), "Team Name", name);
    click("btnSaveProperties");
    return selectedId();
}

// Two divisions of two franchises in the Default League, Hawks and Owls in
// East; the Hawks' owner gets an e-mail address.
void WeekFlowTest::setUpLeague() {
    window_->DisplayActivity(1, 6);
    const QString divisions[2] = {"East", "West"};
    const QString names[2][2] = {{"Hawks", "Owls"}, {"Bears", "Wolves"}};
    int ids[2][2] = {};
    for (int d = 0; d < 2; ++d) {
        selectNode("Default League");
        click("btnNewDivision");
        typeInto(control<QTableWidget>("gridProperties"), "Long Name", divisions[d]);
        click("btnSaveProperties");
        for (int f = 0; f < 2; ++f) {
            selectNode(divisions[d]);
            ids[d][f] = addFranchise(names[d][f]);
        }
    }
    hawks_ = ids[0][0];
    owls_ = ids[0][1];
    selectNode("Hawks");
    typeInto(control<QTableWidget>("gridProperties"), "EMail Address", "hawks@example.com");
    click("btnSaveProperties");
}

// What `qff merge` does with the week's statistics file.
void WeekFlowTest::mergeWeekStatistics() {
    int team = season().pro().validTeams().front();
    // Yards, then one code per touchdown with its distance. The Hawks' pair
    // outdoes the Owls' in every figure, whatever the scoring counts.
    const std::vector<qff::PtsRecord> records{
        {"Arm, Al",
         team,
         qff::kQB,
         kPasser,
         0,
         {{qff::kPassYards, 310}, {13, 12}, {14, 40}, {15, 7}}},
        {"Bolt, Ben", team, qff::kQB, kBackup, 0, {{qff::kPassYards, 120}, {13, 5}}},
        {"Cart, Cy", team, qff::kRB, kRunner, 0, {{qff::kRushYards, 95}, {26, 3}, {27, 18}}},
        {"Dash, Dee", team, qff::kRB, kIdleBack, 0, {}},
    };
    fs::path file = fs::path(dir_.path().toStdString()) / "week1.pts";
    std::string error;
    QVERIFY2(qff::writePtsFile(file, kYear, records, error) == 0, error.c_str());
    qff::StatsMerge merge(season(), file);
    qff::MergeReport report = merge.run();
    QVERIFY(report.succeeded());
    QCOMPARE(report.newPlayers, 4);
    window_->seasonDataChanged();
}

void WeekFlowTest::draft(const QString& franchise, const Ids& players) {
    selectNode(franchise);
    qff::apptest::chooseData(control<QComboBox>("comboNFLTeams"),
                             season().pro().validTeams().front());
    selectRows(control<QTreeWidget>("listDraftFrom"), players);
    click("btnAddPlayers");
}

void WeekFlowTest::activate(const QString& franchise) {
    selectNode(franchise);
    QTreeWidget& bench = control<QTreeWidget>("listBench");
    bench.selectAll();
    click("btnActivatePlayers");
    QCOMPARE(bench.topLevelItemCount(), 0);
}

// The Hawks give their idle back for the Owls' runner in week 1.
void WeekFlowTest::swapBacks() {
    qff::apptest::chooseData(control<QComboBox>("comboTeam1"), hawks_);
    qff::apptest::chooseData(control<QComboBox>("comboTeam2"), owls_);
    selectRows(control<QTreeWidget>("listTeam1"), {kIdleBack});
    selectRows(control<QTreeWidget>("listTeam2"), {kRunner});
    click("btnTradePlayers");
    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY2(prompter_.told.last().startsWith("[ "), qPrintable(prompter_.told.last()));
}

// Schedule + Generate opens the generator with the current league checked.
void WeekFlowTest::generateSchedule() {
    QVERIFY(!season().schedule().hasSchedule(qff::kDefaultLeagueId));
    whenModal<TformGenerateSchedule>(
        [](TformGenerateSchedule& dialog) { dialog.findChild<QPushButton*>("btnOk")->click(); });
    window_->findChild<QAction*>("menuScheduleGenerate")->trigger();
    QVERIFY(season().schedule().hasSchedule(qff::kDefaultLeagueId));
}

void WeekFlowTest::penalise(int franchise, int points) {
    whenModal<TformTeamBonus>([franchise, points](TformTeamBonus& dialog) {
        qff::apptest::chooseData(*dialog.findChild<QComboBox*>("comboFranchise"), franchise);
        auto* edit = dialog.findChild<QLineEdit*>("editBonus");
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::number(points));
        dialog.findChild<QPushButton*>("btnFinished")->click();
    });
    window_->findChild<QAction*>("menuBonusPoints")->trigger();
}

void WeekFlowTest::closeWeekOne() {
    whenModal<TformCloseWeek>([](TformCloseWeek& dialog) {
        dialog.findChild<QRadioButton*>("radioWeek1")->click();
        dialog.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
    });
    window_->findChild<QAction*>("menuCloseWeek")->trigger();
}

Ids WeekFlowTest::roster(int franchise, int week, bool activeOnly) {
    qff::TeamRosterStruct stored;
    qff::findFranchise(season(), franchise)->getRoster(week, stored);
    Ids ids;
    for (int place = 0; place < stored.count(); ++place) {
        if (!activeOnly || stored.active(place)) {
            ids.push_back(stored.id(place));
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The week-1 game of the Hawks and the Owls, the Hawks at home.
qff::GameResult WeekFlowTest::weekOneGame() {
    for (qff::GameResult game : qff::results(season(), qff::kDefaultLeagueId, 0)) {
        if (game.away == hawks_) {
            std::swap(game.home, game.away);
            std::swap(game.homeScore, game.awayScore);
        }
        if (game.home == hawks_ && game.away == owls_) {
            return game;
        }
    }
    return {};
}

qff::StandingRow WeekFlowTest::standingOf(int franchise) {
    for (const qff::StandingRow& row :
         qff::standings(season(), qff::kDefaultLeagueId, qff::kAllWeeks)) {
        if (row.franchise == franchise) {
            return row;
        }
    }
    return {};
}

void WeekFlowTest::aCommissionersFirstWeekThroughTheWindows() {
    QVERIFY(dir_.isValid());
    std::ofstream(fs::path(dir_.path().toStdString()) / "CurYear.bin") << kYear << "\n";
    window_ = std::make_unique<TformMain>(dir_.path().toStdString(), prompter_);
    QString error;
    QVERIFY2(window_->FormCreate(error), qPrintable(error));
    window_->show();
    QCoreApplication::processEvents();

    STEP(createSeason());
    QVERIFY(window_->seasonIsOpen());
    QCOMPARE(window_->openSeason(), kYear);

    STEP(setUpLeague());
    QCOMPARE(window_->leagueCounts().franchises, 4);
    const qff::Team* hawks = qff::findFranchise(season(), hawks_);
    QCOMPARE(hawks->text(qff::kOwnerEmail), std::string("hawks@example.com"));
    QCOMPARE(
        hawks->getValue(qff::kFranchiseDivision, qff::kAllWeeks),
        qff::findFranchise(season(), owls_)->getValue(qff::kFranchiseDivision, qff::kAllWeeks));

    STEP(mergeWeekStatistics());

    window_->DisplayActivity(2, 8);
    STEP(draft("Hawks", {kPasser, kIdleBack}));
    STEP(draft("Owls", {kBackup, kRunner}));
    window_->DisplayActivity(2, 9);
    STEP(activate("Hawks"));
    STEP(activate("Owls"));
    QCOMPARE(roster(hawks_, 0, true), (Ids{kPasser, kIdleBack}));
    QCOMPARE(roster(owls_, 0, true), (Ids{kBackup, kRunner}));

    window_->DisplayActivity(2, 16);
    STEP(swapBacks());
    QCOMPARE(roster(hawks_, 0), (Ids{kPasser, kRunner}));
    QCOMPARE(roster(owls_, 0), (Ids{kBackup, kIdleBack}));
    // Traded players arrive on the bench.
    window_->DisplayActivity(2, 9);
    STEP(activate("Hawks"));
    STEP(activate("Owls"));
    QCOMPARE(roster(hawks_, 0, true), (Ids{kPasser, kRunner}));

    STEP(generateSchedule());
    qff::GameResult game = weekOneGame();
    QCOMPARE(game.home, hawks_);
    QVERIFY2(game.homeScore > game.awayScore,
             qPrintable(QString("%1 to %2").arg(game.homeScore).arg(game.awayScore)));

    // The merge already counts a week with NFL statistics.
    QCOMPARE(standingOf(hawks_).won, 1);

    STEP(penalise(hawks_, -int(game.homeScore - game.awayScore) - 1));
    STEP(closeWeekOne());
    QCOMPARE(season().seasonState().weekHasStats(0), 1);

    qff::StandingRow hawksRow = standingOf(hawks_);
    qff::StandingRow owlsRow = standingOf(owls_);
    QCOMPARE(hawksRow.won, 0);
    QCOMPARE(hawksRow.lost, 1);
    QCOMPARE(owlsRow.won, 1);
    QCOMPARE(owlsRow.lost, 0);
    // The trade's summary said all there was to say.
    QCOMPARE(prompter_.told.size(), 1);
}

QTEST_MAIN(WeekFlowTest)
#include "weekflow_test.moc"
