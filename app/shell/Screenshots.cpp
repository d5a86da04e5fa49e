#include "app/shell/Screenshots.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/draft/AboutDraftOrder.h"
#include "app/draft/DraftBoard.h"
#include "app/draft/DraftOrder.h"
#include "app/draft/DraftWizard.h"
#include "app/draft/GenerateDraftOrderOptions.h"
#include "app/intake/DownloadFTP.h"
#include "app/intake/EnterPlayerStats.h"
#include "app/intake/MergeStats.h"
#include "app/intake/UpdateRosterResults.h"
#include "app/league/EditTeam.h"
#include "app/league/FindPlayer.h"
#include "app/league/TradePlayers.h"
#include "app/publish/AddressBook.h"
#include "app/publish/AttachReports.h"
#include "app/publish/BrowseFTP.h"
#include "app/publish/DoBackup.h"
#include "app/publish/DoWebSite.h"
#include "app/publish/EnterStr.h"
#include "app/publish/SendMail.h"
#include "app/reports/PreviewHeader.h"
#include "app/reports/ReportDelete.h"
#include "app/reports/ReportIO.h"
#include "app/reports/Rpt_tree.h"
#include "app/schedule/GenerateSchedule.h"
#include "app/scoring/CloseWeek.h"
#include "app/scoring/TeamBonus.h"
#include "app/shell/About.h"
#include "app/shell/Loading.h"
#include "app/shell/Main.h"
#include "app/shell/Options.h"
#include "app/shell/Seasons.h"
#include "app/widgets/Prompter.h"
#include "data02/intake/StatsWeeks.h"
#include "data02/intake/Statsmerge.h"
#include "data02/league/Draftorder.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/publish/Backup.h"
#include "data02/publish/Website.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_assist.h"
#include "data02/reports/Rpt_define.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/shell/Support.h"
#include "data02/storage/Files.h"
#include "qff/statsnet/stats_net.h"

namespace {

constexpr QSize kWindowSize(1100, 760);
constexpr int kLoadingStepShown = 3;
constexpr int kMessageWatchMilliseconds = 200;

struct OptionsView {
    int requestedPage;
    const char* name;
};

constexpr OptionsView kOptionsViews[] = {
    {-1, "options_reports"}, {7, "options_franchise"}, {10, "options_schedule"},
    {12, "options_ftp"},     {14, "options_email"},    {15, "options_backup"},
};

struct View {
    int section;
    int activity;
    const char* name;
};

constexpr View kViews[] = {
    {0, 0, "main_section0"}, {1, 0, "main_section1"},      {1, 6, "main_activity1_6"},
    {2, 0, "main_section2"}, {2, 13, "main_activity2_13"}, {3, 0, "main_section3"},
};

// Forms that must read well on the smallest and a large screen as well.
constexpr View kSizedViews[] = {
    {1, 8, "main_activity1_8"}, {2, 9, "main_activity2_9"}, {2, 13, "main_activity2_13"}};
constexpr QSize kCheckedSizes[] = {{800, 600}, {1280, 1024}};

class Camera {
  public:
    explicit Camera(const QString& folder) : folder_(folder) {}

    void take(QWidget& widget, const QString& name) {
        QApplication::processEvents();
        saved_ = widget.grab().save(QDir(folder_).filePath(name + ".png")) && saved_;
    }

    void takeDialog(QWidget& dialog, const QString& name) {
        dialog.show();
        take(dialog, name);
        dialog.close();
    }

    bool allSaved() const { return saved_; }

    // Nobody is there to answer a message box, so each one is photographed
    // and closed.
    void watchMessages() {
        QObject::connect(&messageWatch_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                take(*box, QString("message_%1").arg(++messages_));
                box->close();
            }
        });
        messageWatch_.start(kMessageWatchMilliseconds);
    }

  private:
    QString folder_;
    bool saved_ = true;
    QTimer messageWatch_;
    int messages_ = 0;
};

QTreeWidgetItem* firstReportNode(const ReportTree& tree) {
    for (int group = 0; group < tree.topLevelItemCount(); ++group) {
        QTreeWidgetItem* root = tree.topLevelItem(group);
        for (int child = 0; child < root->childCount(); ++child) {
            if (ReportTree::isPageNode(root->child(child))) {
                return root->child(child);
            }
        }
    }
    return nullptr;
}

void takeReport(TformMain& window, Camera& camera) {
    window.DisplayActivity(3, 0);
    auto* tree = window.findChild<ReportTree*>("treeReports");
    if (QTreeWidgetItem* node = firstReportNode(*tree)) {
        tree->setCurrentItem(node);
        emit tree->reportActivated(node);
        QApplication::processEvents();
        camera.take(window, "report");
        // The smallest window is where wide report tables must scroll.
        window.resize(window.minimumSize());
        camera.take(window, "report_smallest");
        window.resize(kWindowSize);
    }
}

void takeSizedViews(TformMain& window, Camera& camera) {
    for (QSize size : kCheckedSizes) {
        window.resize(size);
        for (const View& view : kSizedViews) {
            window.DisplayActivity(view.section, view.activity);
            camera.take(window,
                        QString("%1_%2x%3").arg(view.name).arg(size.width()).arg(size.height()));
        }
    }
    window.resize(kWindowSize);
}

void takeOptions(TformMain& window, Camera& camera) {
    for (const OptionsView& view : kOptionsViews) {
        BatchPrompter prompter;
        TformOptions options(*window.context(), view.requestedPage, prompter, &window);
        camera.takeDialog(options, view.name);
    }
}

// The finder with the players of one position listed.
void takeFindPlayer(TformMain& window, Camera& camera) {
    BatchPrompter prompter;
    int chosen = 0;
    TformFindPlayer finder(*window.context(), prompter, &chosen, &window);
    if (auto* search = finder.findChild<QPushButton*>("btnPopulateList")) {
        search->click();
    }
    camera.takeDialog(finder, "find_player");
}

// The trade screens at the smallest window and on a large screen.
void takeTrades(TformMain& window, Camera& camera) {
    for (QSize size : {QSize(800, 600), QSize(1280, 1024)}) {
        window.resize(size);
        window.DisplayActivity(2, 16);
        camera.take(window, QString("main_activity2_16_%1").arg(size.width()));
        BatchPrompter prompter;
        TformTradePlayers trade(*window.context(), prompter, &window);
        trade.resize(size.width() * 3 / 5, size.height() * 3 / 5);
        camera.takeDialog(trade, QString("trade_players_%1").arg(size.width()));
    }
    window.resize(kWindowSize);
}

// Opens the season again so the loading dialog can be caught part way.
void takeLoading(TformMain& window, Camera& camera) {
    QMetaObject::Connection started =
        QObject::connect(&window, &TformMain::loadingStarted, [&camera](TformLoading* dialog) {
            QObject::connect(dialog, &TformLoading::stepDone, dialog, [&camera, dialog](int done) {
                if (done == kLoadingStepShown) {
                    camera.take(*dialog, "loading");
                }
            });
        });
    window.openThisSeason(window.openSeason());
    QObject::disconnect(started);
}

// The league setup form at the smallest and the largest window it must fit,
// and the franchise details dialog it shares its grid with.
void takeLeagueSetup(TformMain& window, Camera& camera) {
    window.DisplayActivity(1, 6);
    for (QSize size : {QSize(800, 600), QSize(1280, 1024)}) {
        window.resize(size);
        camera.take(window, QString("setup_league_%1x%2").arg(size.width()).arg(size.height()));
    }
    window.resize(kWindowSize);
    BatchPrompter prompter;
    TformEditTeam editTeam(*window.context(),
                           window.context()->seasonState().get(qff::kCurrentFranchise), prompter,
                           &window);
    camera.takeDialog(editTeam, "edit_team");
}

void takeDialogs(TformMain& window, Camera& camera) {
    BatchPrompter prompter;
    TformAbout about(VersionInfo::ofThisBuild(), &window);
    camera.takeDialog(about, "about");
    TformNewSeason newSeason(window.context()->calendarYear(), &window);
    camera.takeDialog(newSeason, "new_season");
    TformOpenSeason openSeason(qff::availableSeasons(*window.context()), prompter, &window);
    camera.takeDialog(openSeason, "open_season");
    TformSwitchSeasons notice(window.openSeason(), window.context()->calendarYear(), &window);
    camera.takeDialog(notice, "season_notice");
}

void takeScoringDialogs(TformMain& window, Camera& camera) {
    BatchPrompter prompter;
    TformTeamBonus bonus(*window.context(), prompter, &window);
    camera.takeDialog(bonus, "team_bonus");
    TformCloseWeek closeWeek(*window.context(), prompter, &window);
    camera.takeDialog(closeWeek, "close_week");
}

// The statistics entry as it opens, at the least room it asks for, and
// stretched on a large screen.
void takeEnterStats(TformMain& window, Camera& camera) {
    BatchPrompter prompter;
    TformEnterPlayerStats entry(*window.context(), prompter, &window);
    entry.show();
    camera.take(entry, "enter_stats");
    entry.resize(entry.minimumSizeHint());
    camera.take(entry, "enter_stats_smallest");
    entry.resize(1240, 980);
    camera.take(entry, "enter_stats_large");
    // The team defense comes second to last, before the special teams.
    auto* players = entry.findChild<QTreeWidget*>("listPlayers");
    players->setCurrentItem(players->topLevelItem(players->topLevelItemCount() - 2));
    entry.adjustSize();
    camera.take(entry, "enter_stats_defense");
    entry.hide();
}

// The schedule editor at the smallest and the largest window it must fit,
// and the generator it opens.
void takeSchedule(TformMain& window, Camera& camera) {
    window.DisplayActivity(1, 10);
    for (QSize size : {QSize(800, 600), QSize(1280, 1024)}) {
        window.resize(size);
        camera.take(window, QString("schedule_%1x%2").arg(size.width()).arg(size.height()));
    }
    window.resize(kWindowSize);
    BatchPrompter prompter;
    TformGenerateSchedule generator(*window.context(), prompter, &window);
    camera.takeDialog(generator, "generate_schedule");
}

// The scoring wizard's kinds of page, each at the smallest and the largest
// window: the introduction, the longest core page and both table pages.
void takeScoringWizard(TformMain& window, Camera& camera) {
    constexpr int kSteps[] = {0, 12, 2, 14};
    for (QSize size : {QSize(800, 600), QSize(1280, 1024)}) {
        window.resize(size);
        for (int step : kSteps) {
            // Another activity in between, so each picture starts a fresh wizard.
            window.DisplayActivity(1, 10);
            window.DisplayActivity(1, 11);
            auto* wizard = window.findChild<QWidget*>("TformDefineScoringSystem");
            if (wizard == nullptr) {
                return;
            }
            if (step != 0) {
                wizard->findChild<QCheckBox*>("checkArea")->setChecked(true);
                wizard->findChild<QPushButton*>("btnNext")->click();
                wizard->findChild<QListWidget*>("listAreas")->setCurrentRow(step - 1);
                wizard->findChild<QPushButton*>("btnNext")->click();
            }
            camera.take(window, QString("scoring_wizard_%1_%2").arg(step).arg(size.width()));
        }
    }
    window.resize(kWindowSize);
}

// A web host that is not there: a few folders to show in the browser.
class CannedFtpClient : public qff::platform::FtpClient {
  public:
    bool connect(const qff::platform::FtpSettings&) override { return connected_ = true; }
    bool changeDir(const std::string&) override { return true; }
    std::string currentDir() override { return "/"; }
    bool list(const std::string& path, const qff::platform::FtpItemHandler& onItem) override {
        const std::map<std::string, std::vector<std::string>> folders{
            {"/", {"cgi-bin", "logs", "public"}},
            {"/public", {"images", "league", "old seasons"}},
            {"/public/league", {"2002", "2003"}}};
        auto found = folders.find(path);
        for (const std::string& name : found != folders.end() ? found->second : kNone) {
            onItem({name, 0, true, std::nullopt});
        }
        return true;
    }
    bool getFile(const std::string&, const std::filesystem::path&) override { return false; }
    bool createDir(const std::string&) override { return true; }
    bool deleteDir(const std::string&) override { return true; }
    void disconnect() override { connected_ = false; }
    bool isConnected() const override { return connected_; }
    int lastResult() const override { return 0; }
    const std::string& lastReply() const override { return kNoReply; }
    const std::string& lastMethod() const override { return kNoReply; }

  private:
    inline static const std::vector<std::string> kNone;
    inline static const std::string kNoReply;
    bool connected_ = false;
};

void takeBrowseFtp(TformMain& window, Camera& camera) {
    BatchPrompter prompter;
    TformBrowseFTP browser(*window.context(), prompter, &window,
                           std::make_unique<CannedFtpClient>());
    browser.connectTo({{}, "ftp.example.com/public/league", "ftp.example.com"});
    camera.takeDialog(browser, "browse_ftp");
    TformEnterStr prompt("New FTP Directory", "Name of the new folder:", &window);
    camera.takeDialog(prompt, "enter_str");
}

// The current week merged again, caught half way.
void takeMergeStats(TformMain& window, Camera& camera) {
    qff::Singleton& season = *window.context();
    int year = window.openSeason();
    int week = season.seasonState().get(qff::kCurrentWeek);
    std::filesystem::path file = season.workdir() / "Download" /
                                 (std::to_string(qff::seasonNumber(year).value_or(0)) + "_WK" +
                                  std::to_string(week + 1) + ".pts");
    if (!std::filesystem::exists(file)) {
        return;
    }
    BatchPrompter prompter;
    TformMergeStats merge(season, prompter, file, &window);
    merge.setTickBudget(std::chrono::milliseconds(1));
    auto* bar = merge.findChild<QProgressBar*>("progressMerge");
    bool taken = false;
    QObject::connect(&merge, &TformMergeStats::stepDone, [&](int done) {
        if (!taken && done * 2 >= bar->maximum()) {
            taken = true;
            camera.take(merge, "merge_stats");
        }
    });
    merge.exec();
    window.seasonDataChanged();
}

// A statistics server that is a local folder: its files are listed and copied.
class FolderFtpClient : public qff::platform::FtpClient {
  public:
    explicit FolderFtpClient(std::filesystem::path folder) : folder_(std::move(folder)) {}

    bool connect(const qff::platform::FtpSettings&) override { return true; }
    bool changeDir(const std::string&) override { return true; }
    std::string currentDir() override { return "/"; }
    bool list(const std::string&, const qff::platform::FtpItemHandler& onItem) override {
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            onItem({entry.path().filename().string(), 0, false, std::nullopt});
        }
        return true;
    }
    bool getFile(const std::string& remotePath, const std::filesystem::path& localPath) override {
        std::error_code error;
        return std::filesystem::copy_file(folder_ / remotePath, localPath, error);
    }
    bool createDir(const std::string&) override { return false; }
    bool deleteDir(const std::string&) override { return false; }
    void disconnect() override {}
    bool isConnected() const override { return true; }
    int lastResult() const override { return 0; }
    const std::string& lastReply() const override { return kNoReply; }
    const std::string& lastMethod() const override { return kNoReply; }

  private:
    inline static const std::string kNoReply;
    std::filesystem::path folder_;
};

// The download of the three weeks after the current one, caught after the
// first file and at its end, from the season's own statistics published
// into a folder.
void takeDownloadFtp(TformMain& window, Camera& camera) {
    qff::Singleton& season = *window.context();
    std::filesystem::path served = season.workdir() / "Scratch" / "served";
    if (!qff::statsnet::publishStatistics(season, served, "").ok) {
        return;
    }
    FolderFtpClient ftp(served);
    std::string problem;
    std::optional<qff::WeekMap> map = qff::statsnet::listWeeks(ftp, window.openSeason(), problem);
    if (!map) {
        return;
    }
    int first = season.seasonState().peek(qff::kCurrentWeek) + 2;
    TformDownloadFTP dialog(season, ftp, *map, {first, first + 1, first + 2}, "", &window);
    QObject::connect(&dialog, &TformDownloadFTP::fileDone, [&](int row) {
        if (row == 0) {
            camera.take(dialog, "download_ftp");
        }
    });
    dialog.show();
    while (!dialog.isFinished()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    camera.take(dialog, "download_ftp_finished");
    dialog.close();
    std::filesystem::remove_all(served);
}

// The players of one NFL team's roster as if an update had just added them.
void takeRosterResults(TformMain& window, Camera& camera) {
    qff::PlyrList added;
    for (qff::Player* player : window.context()->mapFactory().players().list()) {
        if (player->getValue(qff::kPlayerTeam, qff::kAllWeeks) == 0 && player->id() < 10000) {
            added.push_back(player);
        }
    }
    TformUpdateRosterResults results(added, &window);
    camera.takeDialog(results, "update_roster_results");
}

// The current league's draft order with the demo's picks made, then as
// generated afresh, at the size it opens with and stretched on a large
// screen, with the chooser and the explanation.
void takeDraftOrder(TformMain& window, Camera& camera) {
    qff::Singleton& season = *window.context();
    BatchPrompter prompter;
    TformDraftOrder drafted(season, prompter, &window);
    camera.takeDialog(drafted, "draft_order_drafted");
    std::uint32_t draw = 0;
    qff::generateDraftOrder(season, season.seasonState().peek(qff::kCurrentLeague),
                            qff::SerpentineKind::True, [&draw] { return draw += 7919; });
    window.seasonDataChanged();
    TformDraftOrder order(season, prompter, &window);
    auto* picks = order.findChild<QTreeWidget*>("listDraftOrder");
    picks->setCurrentItem(picks->topLevelItem(2));
    camera.takeDialog(order, "draft_order");
    order.resize(1240, 980);
    camera.takeDialog(order, "draft_order_large");
    TformGenerateDraftOrderOptions options(season, prompter, &window);
    camera.takeDialog(options, "generate_draft_order");
    TformAboutDraftOrder about(&window);
    camera.takeDialog(about, "about_draft_order");
}

void takeStatsServerOptions(TformMain& window, Camera& camera) {
    BatchPrompter prompter;
    TformOptions options(*window.context(), -1, prompter, &window);
    options.show();
    options.findChild<QToolButton*>("btnStatsServer")->click();
    camera.takeDialog(options, "options_stats_server");
}

// The draft-day activity, and each page of the assistant at the size it
// opens with and on a large screen. The demo league has drafted, so the
// assistant opens on its summary and goes back to the last round.
void takeDraftDay(TformMain& window, Camera& camera) {
    for (QSize size : kCheckedSizes) {
        window.resize(size);
        window.DisplayActivity(1, 7);
        camera.take(window, QString("draft_day_%1x%2").arg(size.width()).arg(size.height()));
    }
    window.resize(kWindowSize);
    for (QSize size : {QSize(), QSize(1240, 980)}) {
        BatchPrompter prompter;
        TformDraftWizard wizard(*window.context(), prompter, &window);
        if (size.isValid()) {
            wizard.resize(size);
        }
        wizard.show();
        QString suffix = size.isValid() ? "_large" : "";
        auto press = [&wizard](const char* name) {
            if (auto* button = wizard.findChild<QPushButton*>(name)) {
                button->click();
            }
        };
        camera.take(wizard, "draft_wizard_options" + suffix);
        press("btnNext");
        camera.take(wizard, "draft_wizard_tasks" + suffix);
        press("btnNext");
        camera.take(wizard, "draft_wizard_finished" + suffix);
        press("btnBack");
        camera.take(wizard, "draft_wizard_franchises" + suffix);
        press("btnSelectPlayer");
        press("btnSelectPlayer");
        camera.take(wizard, "draft_wizard_players" + suffix);
        wizard.hide();
    }
}

// The current league's draft board on the smallest and a large screen.
void takeDraftBoard(TformMain& window, Camera& camera) {
    qff::Singleton& season = *window.context();
    DraftBoard board(season, season.seasonState().peek(qff::kCurrentLeague), &window);
    board.show();
    for (QSize size : kCheckedSizes) {
        board.resize(size);
        camera.take(board, QString("draft_board_%1x%2").arg(size.width()).arg(size.height()));
    }
    board.close();
}

// Two user reports, so the list shows what a commissioner made beside the
// deletable reports of the season, one of them chosen.
void takeReportDelete(TformMain& window, Camera& camera) {
    qff::Singleton& season = *window.context();
    qff::ReportDefinition kickers;
    kickers.type = qff::kPlayerReport;
    kickers.name = "My Kickers";
    kickers.header = "Kickers by points";
    kickers.columns = {*qff::Report::defaultColumn(qff::kPlayerReport, qff::kPlayerName)};
    kickers.rows = qff::playerRowsOf({});
    qff::ReportChange added = qff::addReport(season, kickers);
    qff::ReportDefinition pack;
    pack.type = qff::kReportPack;
    pack.name = "Weekly Pack";
    pack.members = {added.id};
    qff::addReport(season, pack);
    BatchPrompter prompter;
    TformReportDelete dialog(season, prompter, &window);
    auto* list = dialog.findChild<QListWidget*>("listReports");
    if (QList<QListWidgetItem*> found = list->findItems("My Kickers", Qt::MatchStartsWith);
        !found.isEmpty()) {
        list->setCurrentItem(found.front());
    }
    camera.takeDialog(dialog, "report_delete");
    dialog.resize(1240, 980);
    camera.takeDialog(dialog, "report_delete_large");
}

// The backup activity, and the progress dialog as it adds its first file. The
// dialog works on a context of its own that holds no season, so the window's
// season stays open; closing the dialog before its first step changes nothing.
void takeBackup(TformMain& window, Camera& camera) {
    window.DisplayActivity(2, 15);
    camera.take(window, "backup_data");
    qff::SeasonEnv env{window.context()->workdir()};
    std::string error;
    std::unique_ptr<qff::Singleton> spare = qff::Singleton::create(env, error);
    if (!spare) {
        return;
    }
    spare->preferences().load();
    BatchPrompter prompter;
    qff::BackupOptions options{qff::defaultBackupArchive(*spare, std::time(nullptr)), true, true};
    TformDoBackup dialog(spare, env, options, prompter, &window);
    if (!dialog.run().files().empty()) {
        dialog.findChild<QLabel*>("lblFile")->setText(
            QString::fromStdString(dialog.run().files().front().string()));
        dialog.findChild<QProgressBar*>("progressBackup")->setValue(1);
    }
    camera.takeDialog(dialog, "backup_progress");
}

// Selects the first `count` entries of a list of the report assistant.
void selectFirst(QWidget& dialog, const char* list, int count) {
    auto* entries = dialog.findChild<QListWidget*>(list);
    for (int row = 0; row < count && row < entries->count(); ++row) {
        entries->item(row)->setSelected(true);
    }
}

// The report assistant's pages for a new player report, at the size it
// opens with and on a large screen, then cancelled; the area choice of an
// edit and the header preview of a demo report.
void takeReportAssistant(TformMain& window, Camera& camera) {
    qff::Singleton& season = *window.context();
    BatchPrompter prompter;
    for (QSize size : {QSize(), QSize(1240, 980)}) {
        TformReportIO assistant(season, prompter, TformReportIO::Mode::New, &window);
        if (size.isValid()) {
            assistant.resize(size);
        }
        assistant.show();
        QString suffix = size.isValid() ? "_large" : "";
        auto press = [&assistant](const char* name) {
            assistant.findChild<QPushButton*>(name)->click();
        };
        camera.take(assistant, "report_assistant_type" + suffix);
        press("buttonNext");
        assistant.findChild<QLineEdit*>("editReportName")->setText("Kickers by Points");
        assistant.findChild<QLineEdit*>("editReportHeader")->setText("Kickers ranked by points");
        camera.take(assistant, "report_assistant_name" + suffix);
        press("buttonNext");
        camera.take(assistant, "report_assistant_players" + suffix);
        press("buttonNext");
        selectFirst(assistant, "listAvailableItems", 4);
        press("btnColumnAdd");
        camera.take(assistant, "report_assistant_columns" + suffix);
        press("buttonNext");
        camera.take(assistant, "report_assistant_header_intro" + suffix);
        press("buttonNext");
        selectFirst(assistant, "listSectionColumns", 2);
        press("btnSectionAdd");
        camera.take(assistant, "report_assistant_sections" + suffix);
        assistant.findChild<QTabWidget*>("tabHeaders")->setCurrentIndex(1);
        camera.take(assistant, "report_assistant_data_headers" + suffix);
        press("buttonNext");
        camera.take(assistant, "report_assistant_sort" + suffix);
        press("buttonNext");
        camera.take(assistant, "report_assistant_finished" + suffix);
        assistant.reject();
    }
    TformReportIO edit(season, prompter, TformReportIO::Mode::Edit, &window);
    edit.findChild<QListWidget*>("listEditReports")->setCurrentRow(0);
    camera.takeDialog(edit, "report_assistant_edit");
    const qff::Report* quarterbacks = season.reportQuery().cached(std::string_view("Quarterbacks"));
    if (quarterbacks == nullptr) {
        return;
    }
    if (auto page = qff::writeHeaderPreviewPage(season, *quarterbacks)) {
        TformPreviewHeader preview(QString::fromStdString(page->string()), &window);
        preview.show();
        QApplication::processEvents();
        camera.takeDialog(preview, "report_header_preview");
    }
}

// Lets the event loop run for a while, so timers of the dialog on show fire.
void runEvents(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The home page activity with the sample template named, at every size; the
// progress dialog once it logged the page; the page in the viewer.
void takeWebSite(TformMain& window, Camera& camera) {
    qff::Singleton& season = *window.context();
    std::filesystem::path sample = qff::supportFilePath(
        season.workdir(), QCoreApplication::applicationDirPath().toStdString(), "HomePage.htm");
    window.DisplayActivity(2, 12);
    if (auto* edit = window.hostedForm()->findChild<QLineEdit*>("editHomePage")) {
        edit->setText(QString::fromStdString(sample.string()));
    }
    camera.take(window, "main_activity2_12");
    for (QSize size : kCheckedSizes) {
        window.resize(size);
        camera.take(window,
                    QString("main_activity2_12_%1x%2").arg(size.width()).arg(size.height()));
    }
    window.resize(kWindowSize);
    qff::PublishRequest request;
    request.league = season.seasonState().peek(qff::kCurrentLeague);
    request.homePageTemplate = sample.string();
    qff::PreparedSite run = qff::prepareWebSite(season, request);
    if (!run.result.ok) {
        return;
    }
    TformDoWebSite progress(run, &window);
    progress.show();
    runEvents(3 * TformDoWebSite::kWorkMilliseconds - TformDoWebSite::kWorkMilliseconds / 2);
    camera.take(progress, "do_web_site");
    progress.resize(900, 640);
    camera.take(progress, "do_web_site_large");
    progress.close();
    if (run.result.page) {
        window.showPublishedPage(QString::fromStdString(run.result.page->string()));
        runEvents(0);
        camera.take(window, "web_site_published");
    }
}

// Runs `steps` on the modal dialog of type T that the caller opens next,
// once its exec() runs.
template <class T>
void whenOpened(std::function<void(T&)> steps) {
    QTimer::singleShot(0, [steps] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            steps(*dialog);
        }
    });
}

// Selects the first `count` rows of a list of the address book from `first`.
void selectRows(QTreeWidget& list, int first, int count) {
    list.clearSelection();
    for (int row = first; row < first + count && row < list.topLevelItemCount(); ++row) {
        list.topLevelItem(row)->setSelected(true);
    }
}

// The mail page with a mail written to two owners and a copy to a third,
// chosen in the address book, and a report page picked to attach; then a
// sending to a server that is not there, run to its end.
void takeEMail(TformMain& window, Camera& camera) {
    window.DisplayActivity(2, 14);
    QWidget* page = window.hostedForm();
    if (page == nullptr || page->objectName() != "TformEMailReports") {
        return;
    }
    whenOpened<TformAddressBook>([&camera](TformAddressBook& book) {
        auto* teams = book.findChild<QTreeWidget*>("listTeams");
        selectRows(*teams, 0, 2);
        book.findChild<QPushButton*>("btnTo")->click();
        selectRows(*teams, 0, 1);
        book.findChild<QPushButton*>("btnCC")->click();
        selectRows(*teams, 0, 1);
        book.findChild<QPushButton*>("btnBCC")->click();
        camera.take(book, "address_book");
        book.findChild<QPushButton*>("btnOK")->click();
    });
    page->findChild<QPushButton*>("btnTo")->click();
    whenOpened<TformAttachReports>([&camera](TformAttachReports& picker) {
        picker.findChild<QListWidget*>("listReports")->selectAll();
        camera.take(picker, "attach_reports");
        picker.findChild<QPushButton*>("btnOK")->click();
    });
    page->findChild<QPushButton*>("btnAttachReport")->click();
    page->findChild<QLineEdit*>("editSubject")->setText("Week 1 results");
    page->findChild<QPlainTextEdit*>("memoBody")
        ->setPlainText("Hello owners,\n\nthe standings of week 1 are attached.");
    camera.take(window, "main_activity2_14");

    qff::MailDraft draft;
    draft.host = "127.0.0.1:1";
    draft.sender = {"commissioner@league.test", "League Commissioner", 0};
    BatchPrompter prompter;
    TformSendMail sending(draft, TformSendMail::smtpTransport(), prompter, &window);
    sending.show();
    while (!sending.run().done()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    camera.takeDialog(sending, "send_mail");
}

}  // namespace

bool takeScreenshots(TformMain& window, const QString& folder) {
    QDir().mkpath(folder);
    Camera camera(folder);
    camera.watchMessages();
    window.setWindowState(Qt::WindowNoState);
    window.resize(kWindowSize);
    for (const View& view : kViews) {
        window.DisplayActivity(view.section, view.activity);
        camera.take(window, view.name);
    }
    if (window.seasonIsOpen()) {
        takeReport(window, camera);
        takeSizedViews(window, camera);
        takeFindPlayer(window, camera);
        takeLeagueSetup(window, camera);
        takeTrades(window, camera);
        takeLoading(window, camera);
        takeScoringDialogs(window, camera);
        takeEnterStats(window, camera);
        takeSchedule(window, camera);
        takeScoringWizard(window, camera);
        takeBrowseFtp(window, camera);
        takeMergeStats(window, camera);
        takeDownloadFtp(window, camera);
        takeRosterResults(window, camera);
        takeDraftDay(window, camera);
        takeDraftBoard(window, camera);
        takeDraftOrder(window, camera);
        takeReportDelete(window, camera);
        takeReportAssistant(window, camera);
        takeBackup(window, camera);
        takeWebSite(window, camera);
        takeEMail(window, camera);
    }
    takeOptions(window, camera);
    takeStatsServerOptions(window, camera);
    takeDialogs(window, camera);
    return camera.allSaved();
}
