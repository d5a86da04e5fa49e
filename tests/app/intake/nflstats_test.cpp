// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/intake/StatsFetch.h"
#include "data02/intake/StatsServer.h"
#include "data02/intake/StatsWeeks.h"
#include "data02/intake/Statsmerge.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/season/State.h"
#include "data02/storage/Ptsfile.h"
#include "tests/app/support/AppFixture.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "app/intake/DownloadFTP.h"
#include "app/intake/NFLStats.h"
#include "app/intake/StatsSession.h"
#include "app/intake/UpdateRosterResults.h"
#include "app/shell/Main.h"
#include "qff/statsnet/stats_net.h"

namespace fs = std::filesystem;
using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;
using qff::apptest::whenModal;

namespace {

constexpr int kYear = 2004;
constexpr int kWeeksMerged = 2;
constexpr int kLastServedWeek = 5;
// The account of tests/platform/ftp_server.py.
constexpr const char* kUser = "quill";
constexpr const char* kPassword = "ftp-secret-42";
constexpr int kFirstStatisticCode = 9;
constexpr int kLastStatisticCode = 85;

enum Column { kWeekColumn, kAvailableColumn, kDownloadedColumn, kFileNameColumn };

int serverPort() {
    QFile file(QFF_APP_STATS_FTP_STATE "/port");
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("the FTP server is started by ctest's AppStatsFtpServer fixture");
    }
    return QString::fromUtf8(file.readAll()).trimmed().toInt();
}

// A loopback port with a socket bound but not listening: connections are refused.
class RefusingPort {
  public:
    RefusingPort() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            qFatal("cannot bind a loopback socket");
        }
        port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() { close(fd_); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int port() const { return port_; }

  private:
    int fd_;
    int port_ = 0;
};

qff::DemoOptions demoOptions() {
    qff::DemoOptions options;
    options.year = kYear;
    options.weeksMerged = kWeeksMerged;
    return options;
}

template <class T>
T& control(QWidget& parent, const char* name) {
    auto* found = parent.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control named %s", name);
    }
    return *found;
}

QStringList columnTexts(const QTreeWidget& list, int column) {
    QStringList texts;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        texts << list.topLevelItem(row)->text(column);
    }
    return texts;
}

fs::path weekFile(const fs::path& workdir, int week) {
    return workdir / "Download" / ("4_WK" + std::to_string(week) + ".pts");
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Both seasons hold the same figures for every player in those weeks.
void compareWeeks(qff::Singleton& season, qff::Singleton& expected, int firstWeek, int lastWeek) {
    const auto& players = expected.mapFactory().players();
    QVERIFY(players.size() > 0);
    for (const qff::Player* wanted : players.list()) {
        std::vector<int> id{wanted->id()};
        auto found = season.mapFactory().players().selectByValues(qff::kPlayerId, id);
        QCOMPARE(found.size(), std::size_t{1});
        for (int week = firstWeek; week <= lastWeek; ++week) {
            for (int code = kFirstStatisticCode; code <= kLastStatisticCode; ++code) {
                if (found[0]->getValue(code, week - 1) != wanted->getValue(code, week - 1)) {
                    QFAIL(qPrintable(QString("player %1, week %2, code %3 differs")
                                         .arg(wanted->id())
                                         .arg(week)
                                         .arg(code)));
                }
            }
        }
    }
}

}  // namespace

// Every test serves a demo season's statistics from a folder of its own on
// the loopback server, weeks 1 and 2 merged and weeks 1 to 5 offered.
class NflStatsTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void theListShowsWhatTheServerOffers();
    void goDownloadsAndMergesExactlyTheUnmergedWeeks();
    void aWeekTheServerLacksIsNotQueued();
    void withoutAServerOnlyALocalFileCanBeMerged_data();
    void withoutAServerOnlyALocalFileCanBeMerged();
    void aMissingDownloadFolderOffersNoWeek();
    void aServerNamedLaterIsAskedAtOnce();
    void aWeekWithoutMondaysGameIsToldAfterItsMerge();
    void theDownloadShowsEachFilesStatus();
    void cancellingKeepsTheWeeksThatArrived();
    void theRosterUpdateListsThePlayersItAdded_data();
    void theRosterUpdateListsThePlayersItAdded();
    void answeringYesShowsTheReportsOfTheMergedWeek();

  private:
    qff::Singleton& season() { return folder_->context(); }
    void pointAt(int port, const std::string& folder, const std::string& password = kPassword);
    TformNFLStats& showWindow();
    QTreeWidget& list() { return control<QTreeWidget>(*window_, "listStats"); }
    void click(const char* name) {
        QTest::mouseClick(&control<QAbstractButton>(*window_, name), Qt::LeftButton);
    }
    bool weekMerged(int week) { return season().seasonState().weekHasStats(week - 1) != 0; }

    fs::path served_;
    std::unique_ptr<SeasonFolder> folder_;
    std::unique_ptr<TformNFLStats> window_;
    RecordingPrompter prompter_;
};

void NflStatsTest::init() {
    folder_ = std::make_unique<SeasonFolder>(demoOptions());
    QVERIFY(folder_->opened());
    served_ = fs::path(QFF_APP_STATS_FTP_STATE) / "root" / QTest::currentTestFunction();
    fs::remove_all(served_);
    qff::statsnet::PublishOutcome published =
        qff::statsnet::publishStatistics(season(), served_, "");
    QVERIFY2(published.ok, published.error.c_str());
    for (int week = kLastServedWeek + 1; week <= 17; ++week) {
        fs::remove(served_ / qff::publishedArchiveName(kYear, week));
    }
    pointAt(serverPort(), "/" + served_.filename().string());
    prompter_ = RecordingPrompter();
}

void NflStatsTest::cleanup() {
    window_.reset();
    folder_.reset();
    fs::remove_all(served_);
}

void NflStatsTest::pointAt(int port, const std::string& folder, const std::string& password) {
    qff::StatsServerSettings settings;
    settings.host = "127.0.0.1";
    settings.port = port;
    settings.user = kUser;
    settings.password = password;
    settings.folder = folder;
    std::string error;
    QVERIFY2(qff::saveStatsServer(folder_->path(), settings, error), error.c_str());
}

TformNFLStats& NflStatsTest::showWindow() {
    window_ = std::make_unique<TformNFLStats>(season(), prompter_);
    window_->resize(640, 480);
    window_->show();
    if (!QTest::qWaitFor([this] { return window_->serverAsked(); }, 10000)) {
        qFatal("the window never asked the server");
    }
    return *window_;
}

void NflStatsTest::theListShowsWhatTheServerOffers() {
    showWindow();
    QVERIFY(prompter_.told.isEmpty());
    QCOMPARE(list().topLevelItemCount(), 17);
    QCOMPARE(columnTexts(list(), kWeekColumn).first(), QString("1"));
    QCOMPARE(columnTexts(list(), kAvailableColumn),
             QStringList({"Yes", "Yes", "Yes", "Yes", "Yes", "No", "No", "No", "No", "No", "No",
                          "No", "No", "No", "No", "No", "No"}));
    QCOMPARE(columnTexts(list(), kFileNameColumn).mid(3, 3),
             QStringList({"4_wk4.zip", "4_wk5.zip", "NO FTP"}));
    QCOMPARE(list().topLevelItem(0)->toolTip(kWeekColumn), QString("fully merged"));
    QCOMPARE(list().topLevelItem(2)->toolTip(kWeekColumn), QString("not merged"));
    QCOMPARE(control<QLabel>(*window_, "labelMondayMissing").text(),
             QString("= Stats for Monday's game are not available"));
    QVERIFY(control<QRadioButton>(*window_, "radioDownloadUnmerged").isChecked());
    QVERIFY(control<QRadioButton>(*window_, "radioMergeDownloaded").isChecked());
    QVERIFY(control<QGroupBox>(*window_, "groupDownload").isEnabled());
    QVERIFY(control<QCheckBox>(*window_, "checkUpdateRosters").isEnabled());
    QCOMPARE(control<QLabel>(*window_, "labelServer").text(),
             QString("Weeks offered by 127.0.0.1 in its folder /%1.")
                 .arg(QString::fromStdString(served_.filename().string())));
}

void NflStatsTest::goDownloadsAndMergesExactlyTheUnmergedWeeks() {
    SeasonFolder expected(demoOptions());
    for (int week = kWeeksMerged + 1; week <= kLastServedWeek; ++week) {
        QVERIFY(
            qff::StatsMerge(expected.context(), weekFile(expected.path(), week)).run().succeeded());
        fs::remove(weekFile(folder_->path(), week));
    }
    std::string untouched = bytesOf(weekFile(folder_->path(), kLastServedWeek + 1));
    showWindow();
    QCOMPARE(columnTexts(list(), kDownloadedColumn).mid(2, 3), QStringList({"No", "No", "No"}));
    QSignalSpy reports(window_.get(), &TformNFLStats::reportsRequested);
    QSignalSpy changed(window_.get(), &SeasonForm::seasonChanged);
    prompter_.answer = true;
    QStringList statuses;
    whenModal<TformDownloadFTP>([&statuses](TformDownloadFTP& dialog) {
        auto& button = control<QPushButton>(dialog, "btnCancel");
        QTRY_COMPARE_WITH_TIMEOUT(button.text(), QString("&Finished"), 20000);
        statuses = columnTexts(control<QTreeWidget>(dialog, "listFiles"), 1);
        QTest::mouseClick(&button, Qt::LeftButton);
    });
    click("btnGo");

    QCOMPARE(statuses, QStringList({"Success", "Success", "Success"}));
    for (int week = 1; week <= 17; ++week) {
        QCOMPARE(weekMerged(week), week <= kLastServedWeek);
    }
    compareWeeks(season(), expected.context(), kWeeksMerged + 1, kLastServedWeek);
    QCOMPARE(bytesOf(weekFile(folder_->path(), kLastServedWeek + 1)), untouched);
    QCOMPARE(season().seasonState().peek(qff::kCurrentWeek), kLastServedWeek - 1);
    QCOMPARE(columnTexts(list(), kDownloadedColumn).mid(2, 3), QStringList({"Yes", "Yes", "Yes"}));
    QCOMPARE(list().topLevelItem(4)->toolTip(kWeekColumn), QString("fully merged"));
    QCOMPARE(prompter_.asked, QStringList{"Would you like to view reports now?"});
    QCOMPARE(reports.count(), 1);
    QCOMPARE(changed.count(), 1);

    prompter_.asked.clear();
    click("btnGo");
    QCOMPARE(prompter_.told.last(), QString("Every week the server offers is merged already."));
    QVERIFY(prompter_.asked.isEmpty());
}

void NflStatsTest::aWeekTheServerLacksIsNotQueued() {
    showWindow();
    control<QRadioButton>(*window_, "radioDownloadWeek").setChecked(true);
    auto& weeks = control<QComboBox>(*window_, "comboWeek");
    weeks.setCurrentIndex(8);
    click("btnGo");
    QCOMPARE(prompter_.told, QStringList{"NFL Statistics are not available for Week #9."});
    QVERIFY(!weekMerged(9));
    QVERIFY(prompter_.asked.isEmpty());
}

void NflStatsTest::withoutAServerOnlyALocalFileCanBeMerged_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("message");
    const QString noConnection =
        "A connection could not be established to the Quillmar web site.\n\n"
        "Information about available NFL statistics will not be surfaced.";
    QTest::newRow("server down") << "down" << noConnection;
    QTest::newRow("wrong password") << "password" << noConnection;
    QTest::newRow("no server named") << "none"
                                     << "No statistics server has been set up yet.";
    QTest::newRow("damaged settings")
        << "damaged"
        << "The statistics server settings file StatsServer.cfg is damaged: line 1 has no \"=\". "
           "Correct or remove it.";
}

void NflStatsTest::withoutAServerOnlyALocalFileCanBeMerged() {
    QFETCH(QString, setting);
    QFETCH(QString, message);
    RefusingPort down;
    if (setting == "down") {
        pointAt(down.port(), "/" + served_.filename().string());
    } else if (setting == "password") {
        pointAt(serverPort(), "/" + served_.filename().string(), "not-it");
    } else {
        fs::remove(qff::statsServerPath(folder_->path()));
        if (setting == "damaged") {
            std::ofstream(qff::statsServerPath(folder_->path())) << "host\n";
        }
    }
    showWindow();
    QCOMPARE(prompter_.told, QStringList{message});
    QCOMPARE(columnTexts(list(), kAvailableColumn).first(), QString("N/A"));
    QVERIFY(control<QRadioButton>(*window_, "radioDownloadNone").isChecked());
    QVERIFY(!control<QGroupBox>(*window_, "groupDownload").isEnabled());
    QVERIFY(!control<QRadioButton>(*window_, "radioMergeDownloaded").isEnabled());
    QVERIFY(!control<QCheckBox>(*window_, "checkUpdateRosters").isEnabled());
    QVERIFY(control<QRadioButton>(*window_, "radioMergeFile").isChecked());
    QVERIFY(
        control<QLabel>(*window_, "labelServer").text().startsWith(message.split("\n").first()));

    QTest::keyClicks(&control<QLineEdit>(*window_, "editMergeFile"),
                     QString::fromStdString(weekFile(folder_->path(), 3).string()));
    click("btnGo");
    QVERIFY(weekMerged(3));
    QVERIFY(!weekMerged(4));
    QCOMPARE(prompter_.asked, QStringList{"Would you like to view reports now?"});
}

void NflStatsTest::aMissingDownloadFolderOffersNoWeek() {
    pointAt(serverPort(), "/no-such-folder");
    showWindow();
    QCOMPARE(prompter_.told, QStringList{"Failed to locate the Quillmar download directory."});
    QCOMPARE(columnTexts(list(), kAvailableColumn).first(), QString("No"));
    QVERIFY(control<QRadioButton>(*window_, "radioDownloadNone").isChecked());
    QVERIFY(!control<QRadioButton>(*window_, "radioDownloadUnmerged").isEnabled());
    QVERIFY(!control<QCheckBox>(*window_, "checkUpdateRosters").isEnabled());
    control<QRadioButton>(*window_, "radioMergeFile").setChecked(true);
    control<QLineEdit>(*window_, "editMergeFile")
        .setText(QString::fromStdString(weekFile(folder_->path(), 4).string()));
    click("btnGo");
    QVERIFY(weekMerged(4));
}

void NflStatsTest::aServerNamedLaterIsAskedAtOnce() {
    fs::remove(qff::statsServerPath(folder_->path()));
    showWindow();
    window_->reload();
    QCOMPARE(prompter_.told, QStringList{"No statistics server has been set up yet."});
    pointAt(serverPort(), "/" + served_.filename().string());
    window_->reload();
    QCOMPARE(prompter_.told.size(), 1);
    QCOMPARE(columnTexts(list(), kAvailableColumn).first(), QString("Yes"));
    QVERIFY(control<QGroupBox>(*window_, "groupDownload").isEnabled());
    QVERIFY(control<QRadioButton>(*window_, "radioDownloadUnmerged").isChecked());
    QVERIFY(control<QRadioButton>(*window_, "radioMergeDownloaded").isChecked());
    QVERIFY(control<QCheckBox>(*window_, "checkUpdateRosters").isEnabled());
}

// A week file of one runner: no quarterback of Monday's game passed.
void NflStatsTest::aWeekWithoutMondaysGameIsToldAfterItsMerge() {
    const auto& players = season().mapFactory().players().list();
    const qff::Player* runner = *std::find_if(players.begin(), players.end(), [](auto* p) {
        return p->id() < 10000 && p->storedPosition() == qff::kRB;
    });
    constexpr int kRushYards = 25;
    std::vector<qff::PtsRecord> records{{runner->name(),
                                         runner->getValue(qff::kPlayerTeam, qff::kAllWeeks),
                                         qff::kRB,
                                         runner->id(),
                                         6,
                                         {{kRushYards, 87}}}};
    fs::path file = folder_->path() / "one-runner.pts";
    std::string error;
    QCOMPARE(qff::writePtsFile(file, kYear, records, error), 0);
    showWindow();
    control<QRadioButton>(*window_, "radioDownloadNone").setChecked(true);
    control<QRadioButton>(*window_, "radioMergeFile").setChecked(true);
    control<QLineEdit>(*window_, "editMergeFile").setText(QString::fromStdString(file.string()));
    click("btnGo");
    QVERIFY(weekMerged(7));
    QCOMPARE(list().topLevelItem(6)->toolTip(kWeekColumn), QString("Monday missing"));
    QCOMPARE(prompter_.told, QStringList{"You have merged NFL Statistics that did not include\n"
                                         "stats from Monday Night Football.\n\n"
                                         "Complete NFL statistics, including Monday's game,\n"
                                         "is posted each Tuesday morning by 9 a.m. PST."});
    QCOMPARE(prompter_.asked, QStringList{"Would you like to view reports now?"});
}

void NflStatsTest::theDownloadShowsEachFilesStatus() {
    StatsSession session;
    QVERIFY(session.open(folder_->path(), qff::kNoConnectionMessage));
    std::string problem;
    std::optional<qff::WeekMap> map = qff::statsnet::listWeeks(session.ftp(), kYear, problem);
    QVERIFY(map);
    // Week 4's archive turns out damaged, week 5 vanishes after the listing.
    std::ofstream(served_ / "4_wk4.zip", std::ios::trunc) << "not a zip archive";
    fs::remove(served_ / "4_wk5.zip");
    std::string before4 = bytesOf(weekFile(folder_->path(), 4));
    fs::remove(weekFile(folder_->path(), 3));

    TformDownloadFTP dialog(season(), session.ftp(), *map, {3, 4, 5}, "");
    auto& files = control<QTreeWidget>(dialog, "listFiles");
    QCOMPARE(columnTexts(files, 0), QStringList({"4_wk3.zip", "4_wk4.zip", "4_wk5.zip"}));
    QCOMPARE(columnTexts(files, 1), QStringList({"Waiting", "Waiting", "Waiting"}));
    QStringList seen;
    connect(&dialog, &TformDownloadFTP::fileDone,
            [&](int) { seen << columnTexts(files, 1).join(","); });
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(dialog.isFinished(), 20000);
    QCOMPARE(seen, QStringList({"Success,Waiting,Waiting", "Success,Failure,Waiting",
                                "Success,Failure,Failure"}));
    QTRY_COMPARE(control<QPushButton>(dialog, "btnCancel").text(), QString("&Finished"));
    QVERIFY(!files.topLevelItem(1)->text(2).isEmpty());
    QCOMPARE(dialog.downloaded(), std::vector<fs::path>{weekFile(folder_->path(), 3)});
    QVERIFY(fs::exists(weekFile(folder_->path(), 3)));
    QCOMPARE(bytesOf(weekFile(folder_->path(), 4)), before4);
    QVERIFY(!weekMerged(3));
}

void NflStatsTest::cancellingKeepsTheWeeksThatArrived() {
    StatsSession session;
    QVERIFY(session.open(folder_->path(), qff::kNoConnectionMessage));
    std::string problem;
    std::optional<qff::WeekMap> map = qff::statsnet::listWeeks(session.ftp(), kYear, problem);
    QVERIFY(map);
    fs::remove(weekFile(folder_->path(), 3));
    fs::remove(weekFile(folder_->path(), 4));

    TformDownloadFTP dialog(season(), session.ftp(), *map, {3, 4}, "");
    auto& cancel = control<QPushButton>(dialog, "btnCancel");
    connect(&dialog, &TformDownloadFTP::fileDone,
            [&cancel] { QTest::mouseClick(&cancel, Qt::LeftButton); });
    dialog.show();
    QTRY_VERIFY(dialog.isHidden());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(columnTexts(control<QTreeWidget>(dialog, "listFiles"), 1),
             QStringList({"Success", "Waiting"}));
    QCOMPARE(dialog.downloaded(), std::vector<fs::path>{weekFile(folder_->path(), 3)});
    QVERIFY(!fs::exists(weekFile(folder_->path(), 4)));
    QTest::qWait(50);
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_->path() / "Download")) {
        left.push_back(entry.path().filename().string());
    }
    QVERIFY(std::none_of(left.begin(), left.end(), [](const std::string& name) {
        return name.find("partial") != name.npos;
    }));
}

void NflStatsTest::theRosterUpdateListsThePlayersItAdded_data() {
    QTest::addColumn<bool>("fromWindow");
    QTest::newRow("Players menu") << false;
    QTest::newRow("statistics window") << true;
}

// The served roster update brings two players the season lacks and moves a
// known one to another team.
void NflStatsTest::theRosterUpdateListsThePlayersItAdded() {
    QFETCH(bool, fromWindow);
    const auto& players = season().mapFactory().players().list();
    const qff::Player* known = *std::find_if(players.begin(), players.end(),
                                             [](const qff::Player* p) { return p->id() < 10000; });
    int knownId = known->id();
    int movedTo = (known->getValue(qff::kPlayerTeam, qff::kAllWeeks) + 1) % 32;
    std::vector<qff::PtsRecord> records{
        {"Zed Newman", 3, qff::kRB, 9001, qff::kRosterWeek, {}},
        {"Al Newcomer", 4, qff::kQB, 9002, qff::kRosterWeek, {}},
        {known->name(), movedTo, known->storedPosition(), knownId, qff::kRosterWeek, {}},
    };
    std::string error;
    QCOMPARE(qff::writePtsFile(served_ / "Update4.ros", kYear, records, error), 0);

    QStringList listed;
    whenModal<TformUpdateRosterResults>([&listed](TformUpdateRosterResults& results) {
        listed = columnTexts(control<QTreeWidget>(results, "listPlayers"), 0);
        QTest::mouseClick(&control<QPushButton>(results, "btnOk"), Qt::LeftButton);
    });
    if (fromWindow) {
        showWindow();
        control<QRadioButton>(*window_, "radioDownloadNone").setChecked(true);
        control<QCheckBox>(*window_, "checkUpdateRosters").setChecked(true);
        click("btnGo");
        QVERIFY(prompter_.asked.isEmpty());
    } else {
        QVERIFY(updateNflRosters(season(), prompter_, nullptr));
    }
    QCOMPARE(listed, QStringList({"Al Newcomer", "Zed Newman"}));
    QCOMPARE(prompter_.told, QStringList{"2 new players were added to your database."});
    std::vector<int> id{knownId};
    auto moved = season().mapFactory().players().selectByValues(qff::kPlayerId, id);
    QCOMPARE(moved.front()->getValue(qff::kPlayerTeam, qff::kAllWeeks), movedTo);

    prompter_.told.clear();
    listed.clear();
    QVERIFY(updateNflRosters(season(), prompter_, nullptr));
    QCOMPARE(prompter_.told, QStringList{"No new players were added to your database."});
    QVERIFY(listed.isEmpty());
}

// The window hosted by the main window, which switches to the reports once
// the commissioner asks for them, on the week the merge made current.
void NflStatsTest::answeringYesShowsTheReportsOfTheMergedWeek() {
    folder_.reset();
    QTemporaryDir workspace;
    fs::path dir = workspace.path().toStdString();
    std::ofstream(dir / "CurYear.bin") << kYear << "\n";
    {
        auto context = qff::apptest::createContext(dir);
        qff::DemoReport report;
        std::string error;
        QVERIFY2(qff::createDemoSeason(*context, demoOptions(), report, error), error.c_str());
        QCOMPARE(context->preferences().save(), 0);
    }
    prompter_.answer = true;
    TformMain main(dir, prompter_);
    QString error;
    QVERIFY2(main.FormCreate(error), qPrintable(error));
    main.show();
    main.DisplayActivity(2, 13);
    auto* stats = qobject_cast<TformNFLStats*>(main.hostedForm());
    QVERIFY(stats != nullptr);
    QTRY_VERIFY(stats->serverAsked());
    control<QLineEdit>(*stats, "editMergeFile")
        .setText(QString::fromStdString(weekFile(dir, 3).string()));
    QTest::mouseClick(&control<QPushButton>(*stats, "btnGo"), Qt::LeftButton);
    QCOMPARE(prompter_.asked, QStringList{"Would you like to view reports now?"});
    QTRY_COMPARE(main.currentSection(), 3);
    QCOMPARE(main.context()->seasonState().peek(qff::kViewWeek), 2);
    main.closeSeason();
}

QTEST_MAIN(NflStatsTest)
#include "nflstats_test.moc"
