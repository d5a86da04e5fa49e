#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBox>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/reports/ReportPane.h"
#include "app/reports/Rpt_tree.h"
#include "app/scoring/TeamBonus.h"
#include "app/shell/Loading.h"
#include "app/shell/Main.h"
#include "app/widgets/PageView.h"
#include "app/widgets/Prompter.h"
#include "data02/demo/Demo.h"
#include "data02/league/Structure.h"
#include "data02/model/Player.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/shell/Activities.h"
#include "tests/app/support/AppFixture.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDemoYear = 2003;
constexpr int kDemoWeeks = 17;
constexpr int kDemoFranchises = 12;

using qff::apptest::RecordingPrompter;

void writeCalendarYear(const fs::path& dir, int year) {
    std::ofstream(dir / "CurYear.bin") << year << "\n";
}

// A window on one workspace, created and shown as the program does it.
struct Shell {
    explicit Shell(const fs::path& dir) : window(dir, prompter) {}

    bool start() {
        QString error;
        if (!window.FormCreate(error)) {
            return false;
        }
        window.show();
        QCoreApplication::processEvents();
        return true;
    }
    template <class T>
    T* find(const char* name) {
        return window.findChild<T*>(name);
    }
    bool enabled(const char* command) { return find<QAction>(command)->isEnabled(); }
    QString banner() { return find<QLabel>("lblBanner")->text(); }
    // The status bar's hint of what to do first; empty when none is shown.
    QString hint() {
        auto* label = find<QLabel>("lblFirstSteps");
        return label->isVisibleTo(&window) ? label->text() : QString();
    }
    int stateValue(int id) { return window.context()->seasonState().peek(id); }

    RecordingPrompter prompter;
    TformMain window;
};

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir demo_;

    // A private copy of the demonstration season.
    std::unique_ptr<QTemporaryDir> demoCopy() {
        auto dir = std::make_unique<QTemporaryDir>();
        fs::copy(demo_.path().toStdString(), dir->path().toStdString(),
                 fs::copy_options::recursive);
        return dir;
    }

  private slots:
    void initTestCase() {
        QVERIFY(demo_.isValid());
        fs::path dir = demo_.path().toStdString();
        writeCalendarYear(dir, kDemoYear);
        std::string error;
        auto context = qff::Singleton::create(qff::SeasonEnv{dir}, error);
        QVERIFY2(context, error.c_str());
        context->preferences().load();
        qff::DemoOptions options;
        options.year = kDemoYear;
        options.weeksMerged = 2;
        options.playersPerTeam = 20;
        qff::DemoReport report;
        QVERIFY2(qff::createDemoSeason(*context, options, report, error), error.c_str());
    }

    void anEmptyWorkspaceStartsWithOnlyTheSeasonCommands() {
        QTemporaryDir dir;
        writeCalendarYear(dir.path().toStdString(), kDemoYear);
        Shell shell(dir.path().toStdString());
        QVERIFY(shell.start());
        QVERIFY(!shell.window.seasonIsOpen());
        QVERIFY(shell.prompter.told.isEmpty());
        for (const char* command :
             {"menuOpenSeason", "menuNewSeason", "menuPreferences", "menuExit", "menuAbout"}) {
            QVERIFY2(shell.enabled(command), command);
        }
        for (const char* command : {"menuBackup", "menuManageRosters", "menuSetupLeagues",
                                    "menuViewReports", "menuCloseWeek", "menuFindPlayer"}) {
            QVERIFY2(!shell.enabled(command), command);
        }
        QCOMPARE(shell.window.currentSection(), 0);
        QCOMPARE(shell.banner(), QString("  Let's Get Started!: About This Product"));
        // Nothing of the never-created season appears in the folder.
        QVERIFY(QDir(dir.path()).entryList({"State_*", "Score_*"}, QDir::Files).isEmpty());
    }

    void anEmptyWorkspaceKeepsSayingWhatToDoFirst() {
        QTemporaryDir dir;
        fs::path folder = dir.path().toStdString();
        writeCalendarYear(folder, kDemoYear);
        Shell shell(folder);
        QVERIFY(shell.start());
        const QString first = "First create a season with Season + New, then set up your league.";
        QCOMPARE(shell.hint(), first);
        QVERIFY(
            QTest::qWaitFor([&] { return !shell.window.statusBar()->currentMessage().isEmpty(); }));
        QCOMPARE(shell.hint(), first);

        shell.find<QAction>("menuOpenSeason")->trigger();
        QCOMPARE(shell.prompter.told,
                 QStringList({"There is no season in this working folder yet. Create one with "
                              "Season + New."}));

        std::string error;
        QVERIFY2(qff::createSeasonFiles(*shell.window.context(), kDemoYear, error), error.c_str());
        shell.window.openThisSeason(kDemoYear);
        QCOMPARE(
            shell.hint(),
            QString("Now set up your league with Season + Setup Leagues/Divisions/Franchises."));
        qff::Singleton& season = *shell.window.context();
        int league = season.seasonState().peek(qff::kCurrentLeague);
        QVERIFY(qff::createFranchise(season, {qff::StructureKind::League, league}).ok());
        shell.window.seasonDataChanged();
        QCOMPARE(shell.hint(), QString());
    }

    void anotherSeasonStartsTheViewerAfresh() {
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        shell.window.DisplayActivity(3, 0);
        auto* tree = shell.find<ReportTree>("treeReports");
        QTreeWidgetItem* node = tree->topLevelItem(1)->child(0);
        QVERIFY(ReportTree::isPageNode(node));
        emit tree->reportActivated(node);
        auto* pane = shell.find<ReportPane>("paneReport");
        QVERIFY(QTest::qWaitFor([pane] { return !pane->view()->isLoading(); }));
        QString report = pane->view()->currentPath();
        QVERIFY(report.endsWith(".HTM"));

        std::string error;
        QVERIFY2(qff::createSeasonFiles(*shell.window.context(), 2004, error), error.c_str());
        shell.window.openThisSeason(2004);
        QVERIFY(QTest::qWaitFor([pane] { return !pane->view()->isLoading(); }));
        QVERIFY(pane->view()->currentPath() != report);
        QVERIFY(!pane->history().contains(report));
    }

    // The outlook of Main.ui and the activity table the rest of the program reads must name
    // the same sections, buttons, captions and hidden entries.
    void theOutlookShowsTheActivityTable() {
        QTemporaryDir dir;
        Shell shell(dir.path().toStdString());
        auto* outlook = shell.find<QToolBox>("outlook");
        QCOMPARE(outlook->count(), int(qff::kOutlookSections.size()));
        for (const qff::OutlookSection& section : qff::kOutlookSections) {
            QCOMPARE(outlook->itemText(section.section), QString::fromUtf8(section.caption));
        }
        QSet<QString> named;
        for (const qff::Activity& entry : qff::kActivities) {
            if (entry.caption.empty()) {
                continue;
            }
            QString name = QString("btnActivity%1_%2").arg(entry.section).arg(entry.activity);
            auto* button = shell.find<QPushButton>(name.toLatin1().constData());
            QVERIFY2(button != nullptr, qPrintable(name));
            QCOMPARE(button->text(), QString::fromUtf8(entry.caption));
            QCOMPARE(button->property("section").toInt(), entry.section);
            QCOMPARE(button->property("activity").toInt(), entry.activity);
            QCOMPARE(button->isHidden(), entry.hidden);
            named.insert(name);
        }
        for (QPushButton* button : outlook->findChildren<QPushButton*>()) {
            QVERIFY2(named.contains(button->objectName()), qPrintable(button->objectName()));
        }
    }

    void theDemoSeasonOpensThroughTheLoadingDialog() {
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QStringList statuses;
        connect(&shell.window, &TformMain::loadingStarted, this, [&](TformLoading* dialog) {
            connect(dialog, &TformLoading::stepDone, dialog, [&statuses, dialog] {
                QString status = dialog->findChild<QLabel*>("lblStatus")->text();
                if (statuses.isEmpty() || statuses.last() != status) {
                    statuses.append(status);
                }
            });
        });
        QVERIFY(shell.start());
        QVERIFY(shell.window.seasonIsOpen());
        QCOMPARE(shell.window.openSeason(), kDemoYear);
        QCOMPARE(statuses,
                 QStringList({"Loading Player Database...", "Loading Team Database...",
                              "Loading Division Database...", "Loading League Database...",
                              "Loading Draft Day Database...", "Loading Report Database..."}));
        QVERIFY(shell.prompter.told.isEmpty());
        QCOMPARE(shell.window.leagueCounts().franchises, kDemoFranchises);
        QCOMPARE(shell.find<QLabel>("lblSeasonLoaded")->text(), QString::number(kDemoYear));
        auto* weeks = shell.find<QComboBox>("comboWeek");
        QCOMPARE(weeks->count(), kDemoWeeks + 1);
        QCOMPARE(weeks->itemText(0), QString("1"));
        QCOMPARE(weeks->itemText(kDemoWeeks), QString("All"));
    }

    void theLoadingDialogCannotBeClosedBeforeItsEnd() {
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        qff::Singleton& context = *shell.window.context();
        qff::SeasonOpenReport report;
        QVERIFY(qff::prepareSeason(context, kDemoYear, report));
        TformLoading loading(context, kDemoYear, shell.prompter);
        loading.show();
        QCOMPARE(loading.windowTitle(), QString("Welcome!"));
        QCOMPARE(loading.palette().color(QPalette::Window), QColor(0x30, 0xB7, 0x71));
        loading.close();
        loading.reject();
        QVERIFY(loading.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(loading.finished(), 20000);
        QVERIFY(!loading.isVisible());
        QVERIFY(loading.results().players && loading.results().reports);
    }

    void aFailedFirstOpenAsksNothingAndLeavesNoSeasonOpen() {
        auto dir = demoCopy();
        fs::remove(fs::path(dir->path().toStdString()) / "Sched_03.DB");
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        QVERIFY(!shell.window.seasonIsOpen());
        QCOMPARE(shell.prompter.told,
                 QStringList({"Open Failure: Schedule database unavailable."}));
        QVERIFY(shell.prompter.asked.isEmpty());
        QCOMPARE(shell.window.context()->preferences().get(qff::kPrefOpenSeason), kDemoYear);
        QVERIFY(shell.enabled("menuOpenSeason"));
        QVERIFY(!shell.enabled("menuManageRosters"));
        QVERIFY(!shell.enabled("menuBackup"));
    }

    void aFailedOpenOffersThePreviousSeason_data() {
        QTest::addColumn<bool>("reopen");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void aFailedOpenOffersThePreviousSeason() {
        QFETCH(bool, reopen);
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        shell.window.DisplayActivity(1, 11);
        std::string error;
        QVERIFY2(qff::createSeasonFiles(*shell.window.context(), 2004, error), error.c_str());
        fs::remove(fs::path(dir->path().toStdString()) / "Sched_04.DB");
        shell.prompter.answer = reopen;
        shell.window.openThisSeason(2004);
        QCOMPARE(shell.prompter.asked, QStringList({"Would you like to reopen the 2003 season?"}));
        QCOMPARE(shell.window.seasonIsOpen(), reopen);
        QCOMPARE(shell.window.openSeason(), reopen ? kDemoYear : 0);
        QCOMPARE(shell.enabled("menuBackup"), reopen);
        QVERIFY(shell.enabled("menuOpenSeason"));
        // Without a season only the first section stays reachable.
        QCOMPARE(shell.window.currentSection(), reopen ? 1 : 0);
        QCOMPARE(shell.find<QToolBox>("outlook")->currentIndex(), shell.window.currentSection());
    }

    void showingTheSameActivityAgainKeepsItsForm() {
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        shell.window.DisplayActivity(1, 6);
        QPointer<QWidget> form = shell.window.hostedForm();
        QVERIFY(form);
        QCOMPARE(form->objectName(), QString("TformSetupLeague"));
        shell.window.DisplayActivity(1, 6);
        shell.find<QPushButton>("btnActivity1_6")->click();
        QCOMPARE(shell.window.hostedForm(), form.data());
        shell.window.DisplayActivity(2, 8);
        QVERIFY(!form);
        QCOMPARE(shell.window.hostedForm()->objectName(), QString("TformDraftPlayers"));
        QCOMPARE(shell.stateValue(qff::kLastSection), 2);
        QCOMPARE(shell.stateValue(qff::kLastActivity), 8);
        shell.window.DisplayActivity(2, 0);
        QVERIFY(!shell.window.hostedForm());
    }

    void theBannerAndPaneFollowTheActivity_data() {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("activity");
        QTest::addColumn<QString>("banner");
        QTest::addColumn<QString>("page");
        QTest::newRow("0/0") << 0 << 0 << "  Let's Get Started!: About This Product"
                             << "pageHelp";
        QTest::newRow("1/9") << 1 << 9 << "  Pre Season Tasks: Activate & Bench Players"
                             << "pageActivity";
        QTest::newRow("1/10") << 1 << 10 << "  Pre Season Tasks: Setup Schedule"
                              << "pageActivity";
        QTest::newRow("2/0") << 2 << 0 << "  Weekly Tasks: Introduction"
                             << "pageHelp";
        QTest::newRow("2/16") << 2 << 16 << "  Weekly Tasks: Trade Players"
                              << "pageActivity";
        QTest::newRow("3") << 3 << 0 << "  View Reports"
                           << "pageReport";
    }
    void theBannerAndPaneFollowTheActivity() {
        QFETCH(int, section);
        QFETCH(int, activity);
        QFETCH(QString, banner);
        QFETCH(QString, page);
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        shell.window.DisplayActivity(section, activity);
        QCOMPARE(shell.banner(), banner);
        QCOMPARE(shell.find<QStackedWidget>("stackRight")->currentWidget()->objectName(), page);
        QCOMPARE(shell.enabled("menuPrintReport"), section == 3);
        QCOMPARE(shell.enabled("menuExportReport"), section == 3);
    }

    void franchiseCommandsNeedAFranchise() {
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        const char* commands[] = {"menuManageRosters", "menuActivatePlayers", "menuDraftDay",
                                  "menuEMailReports", "menuBonusPoints"};
        const char* entries[] = {"btnActivity1_7",  "btnActivity1_8", "btnActivity1_9",
                                 "btnActivity1_10", "btnActivity2_8", "btnActivity2_9",
                                 "btnActivity2_14"};
        for (const char* command : commands) {
            QVERIFY2(shell.enabled(command), command);
        }
        std::string error;
        QVERIFY2(qff::createSeasonFiles(*shell.window.context(), 2004, error), error.c_str());
        shell.window.openThisSeason(2004);
        QVERIFY(shell.window.seasonIsOpen());
        QCOMPARE(shell.window.leagueCounts().franchises, 0);
        for (const char* command : commands) {
            QVERIFY2(!shell.enabled(command), command);
        }
        for (const char* entry : entries) {
            QVERIFY2(!shell.find<QPushButton>(entry)->isEnabled(), entry);
        }
        QVERIFY(!shell.find<QMenu>("mnuSchedule")->menuAction()->isEnabled());
        QVERIFY(shell.enabled("menuSetupFranchises"));
        QVERIFY(shell.find<QPushButton>("btnActivity1_6")->isEnabled());
    }

    void theWeekSelectorStoresTheWeeks() {
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        auto* weeks = shell.find<QComboBox>("comboWeek");
        emit weeks->activated(4);
        QCOMPARE(shell.stateValue(qff::kCurrentWeek), 4);
        QCOMPARE(shell.stateValue(qff::kViewWeek), 4);
        emit weeks->activated(kDemoWeeks);
        QCOMPARE(shell.stateValue(qff::kViewWeek), qff::kAllWeeks);
        QCOMPARE(shell.stateValue(qff::kCurrentWeek), 4);
        shell.window.DisplayActivity(3, 0);
        QCOMPARE(weeks->currentText(), QString("All"));
        QCOMPARE(shell.stateValue(qff::kViewWeek), qff::kAllWeeks);
        shell.window.updateWeekControls(kDemoWeeks);
        QCOMPARE(weeks->currentText(), QString("1"));
        QCOMPARE(shell.stateValue(qff::kCurrentWeek), 0);
        QCOMPARE(shell.stateValue(qff::kViewWeek), 0);
    }

    void afterBonusPointsTheViewWeekFollowsTheirWeek_data() {
        QTest::addColumn<bool>("allWeeks");
        QTest::newRow("one week on view") << false;
        QTest::newRow("all weeks on view") << true;
    }
    void afterBonusPointsTheViewWeekFollowsTheirWeek() {
        QFETCH(bool, allWeeks);
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        auto* weeks = shell.find<QComboBox>("comboWeek");
        emit weeks->activated(allWeeks ? kDemoWeeks : 1);
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<TformTeamBonus*>(QApplication::activeModalWidget())) {
                watch.stop();
                auto* week = dialog->findChild<QComboBox*>("comboWeek");
                week->setCurrentIndex(5);
                emit week->activated(5);
                dialog->findChild<QPushButton*>("btnFinished")->click();
            }
        });
        watch.start(10);
        shell.find<QAction>("menuBonusPoints")->trigger();
        QCOMPARE(shell.stateValue(qff::kCurrentWeek), 5);
        QCOMPARE(shell.stateValue(qff::kViewWeek), allWeeks ? qff::kAllWeeks : 5);
        QCOMPARE(weeks->currentText(), QString(allWeeks ? "All" : "6"));
    }

    void theLeagueSelectorStoresTheCurrentLeague() {
        auto dir = demoCopy();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        shell.window.DisplayActivity(3, 0);
        auto* leagues = shell.find<QComboBox>("comboLeague");
        QCOMPARE(leagues->count(), shell.window.leagueCounts().leagues);
        QVERIFY(leagues->isVisibleTo(&shell.window));
        emit leagues->activated(1);
        QCOMPARE(shell.stateValue(qff::kCurrentLeague), leagues->itemData(1).toInt());
    }

    void resettingSchedulesAsksFirst_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void resettingSchedulesAsksFirst() {
        QFETCH(bool, yes);
        auto dir = demoCopy();
        QFile schedule(dir->path() + "/Sched_03.DB");
        QVERIFY(schedule.open(QIODevice::ReadOnly));
        QByteArray before = schedule.readAll();
        schedule.close();
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        shell.prompter.answer = yes;
        shell.find<QAction>("menuScheduleReset")->trigger();
        QCOMPARE(shell.prompter.asked,
                 QStringList({"Are you sure you want to erase head to head schedules for all "
                              "leagues?"}));
        QVERIFY(shell.prompter.told.isEmpty());
        QVERIFY(schedule.open(QIODevice::ReadOnly));
        QCOMPARE(schedule.readAll() != before, yes);
    }

    void enterAnswersNoToAQuestion() {
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                watch.stop();
                defaultButton = box->standardButton(box->defaultButton());
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        watch.start(10);
        Prompter screen;
        QVERIFY(!screen.ask(nullptr, "Are you sure you want to reset your head to head schedule?"));
        QCOMPARE(defaultButton, QMessageBox::No);
    }

    void closingRemembersTheActivityAndLeavesNoMemoryReport() {
        auto dir = demoCopy();
        fs::path folder = dir->path().toStdString();
        {
            Shell shell(folder);
            QVERIFY(shell.start());
            shell.window.DisplayActivity(2, 13);
            shell.window.setWindowState(Qt::WindowNoState);
            shell.window.setGeometry(40, 30, 900, 650);
            shell.window.close();
            QVERIFY(!fs::exists(folder / "mem_log.txt"));
        }
        Shell again(folder);
        QVERIFY(again.start());
        QTRY_COMPARE(again.window.currentSection(), 2);
        QCOMPARE(again.window.currentActivity(), 13);
        QCOMPARE(again.window.hostedForm()->objectName(), QString("TformNFLStats"));
        const qff::Preferences& preferences = again.window.context()->preferences();
        QCOMPARE(preferences.get(qff::kPrefMaximised), 0);
        const std::pair<int, int> placement[] = {{8002, 30}, {8003, 40}, {8004, 650}, {8005, 900}};
        for (auto [id, value] : placement) {
            QCOMPARE(preferences.get(id), value);
        }
    }

    void theSeasonNoticeFollowsItsPreference() {
        auto dir = demoCopy();
        writeCalendarYear(dir->path().toStdString(), kDemoYear + 1);
        Shell shell(dir->path().toStdString());
        QVERIFY(shell.start());
        QVERIFY(shell.window.seasonNoticeDue());
        shell.window.context()->preferences().set(qff::kPrefSeasonNotice, 0);
        QVERIFY(!shell.window.seasonNoticeDue());
    }

    void quitAfterShowTellsWhetherTheSeasonOpened_data() {
        QTest::addColumn<QString>("workspace");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("demo season") << "demo" << 0;
        QTest::newRow("empty workspace") << "empty" << 1;
        QTest::newRow("schedule missing") << "no schedule" << 1;
        QTest::newRow("missing folder") << "missing" << 2;
    }
    void quitAfterShowTellsWhetherTheSeasonOpened() {
        QFETCH(QString, workspace);
        QFETCH(int, exitCode);
        auto dir = workspace == "empty" ? std::make_unique<QTemporaryDir>() : demoCopy();
        QString folder = dir->path();
        if (workspace == "no schedule") {
            QVERIFY(QFile::remove(folder + "/Sched_03.DB"));
        } else if (workspace == "missing") {
            folder += "/missing";
        }
        QProcess quillmar;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        quillmar.setProcessEnvironment(environment);
        quillmar.start(QUILLMAR_PATH, {"--workdir", folder, "--quit-after-show"});
        QVERIFY(quillmar.waitForFinished(60000));
        QCOMPARE(quillmar.exitStatus(), QProcess::NormalExit);
        QCOMPARE(quillmar.exitCode(), exitCode);
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
