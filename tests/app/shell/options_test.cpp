#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "app/shell/Options.h"
#include "app/widgets/ColourMenu.h"
#include "app/widgets/Prompter.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/shell/Optstore.h"

namespace {

constexpr int kYear = 2010;
constexpr int kSecondLeague = 7;
// 2011-06-15 12:00 UTC, so the calendar season is 2011 wherever the test runs.
constexpr std::time_t kMid2011 = 1308139200;
constexpr int kMessageWaitMs = 60000;

// Keeps the last message a dialog told, and whether the dialog's OK button was usable then.
class MessageCatcher : public Prompter {
  public:
    void tellTitled(QWidget* parent, const QString& caption, Icon, const QString& message,
                    const QString&) override {
        title = caption;
        text = message;
        auto* buttons = parent->findChild<QDialogButtonBox*>("buttonBox");
        okEnabled = buttons != nullptr && buttons->button(QDialogButtonBox::Ok)->isEnabled();
        seen_ = true;
    }
    bool askTitled(QWidget*, const QString&, const QString&) override { return false; }
    bool watched() const override { return false; }

    // Forgets what was told, to wait for the next message.
    void forget() {
        seen_ = false;
        title.clear();
        text.clear();
        okEnabled = false;
    }
    bool seen() const { return seen_; }
    QString title;
    QString text;
    bool okEnabled = false;

  private:
    bool seen_ = false;
};

// A mail client that reports what it was asked and answers when the test lets it.
class HeldMailClient : public qff::platform::MailClient {
  public:
    struct Call {
        std::string hostAndPort;
        std::string userId;
    };

    HeldMailClient(std::shared_future<bool> answer, std::shared_ptr<std::promise<Call>> call)
        : answer_(std::move(answer)), call_(std::move(call)) {}

    void setListener(qff::platform::MailListener) override {}
    bool connect(const std::string& hostAndPort, const std::string& userId) override {
        call_->set_value({hostAndPort, userId});
        return answer_.get();
    }
    bool send(const qff::platform::MailMessage&) override { return false; }
    void disconnect() override {}

  private:
    std::shared_future<bool> answer_;
    std::shared_ptr<std::promise<Call>> call_;
};

// A loopback port that nothing listens on.
int closedPort() {
    int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(socket);
    return ntohs(address.sin_port);
}

template <class T>
T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control named %s", name);
    }
    return found;
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void okStoresWhatTheDialogShows();
    void cancelStoresNothing();
    void unrestrictedRostersStoreNinetyNineAndShowTheSuggestedLimits();
    void topPlayersSevenShowsTwentyFive();
    void withoutALeagueOkStoresTheOtherPages();
    void requestedPageShowsItsPageAndTab_data();
    void requestedPageShowsItsPageAndTab();
    void choosingALeagueShowsItsSettingsAndMakesItCurrent();
    void mergingWrTeHidesTheTeLimit();
    void portFieldsTakeDigitsOnly();
    void anOutOfRangePortKeepsTheDialogOpen();
    void passwordsAreMasked();
    void aFailedLeagueSaveIsReportedAndTheDialogStaysOpen();
    void ftpBrowseWithoutAServerSaysItCannotConnect();
    void colourMenuOffersTheNamedColours();
    void smtpTestReachesTheLoopbackServer();
    void smtpTestFailsOnAClosedPort();
    void smtpTestRunsOffTheGuiThreadAsAnonymous();
    void grabPages();

  private:
    qff::Singleton& context() { return *context_; }
    qff::Preferences& prefs() { return context_->preferences(); }
    qff::League& league(int id) { return *context().leagueQuery().findOne(qff::kLeagueId, id); }
    void addLeague(int id, const char* name, const char* commissioner);
    void removeAllLeagues();
    static void clickOk(QDialog& dialog);
    void expectSmtpOutcome(const QString& server, const char* message);
    MessageCatcher& nextMessage() {
        messages_.forget();
        return messages_;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<qff::Singleton> context_;
    MessageCatcher messages_;
};

void OptionsTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    std::string error;
    context_ = qff::Singleton::create(
        qff::SeasonEnv{dir_->path().toStdString(), [] { return kMid2011; }}, error);
    QVERIFY2(context_, error.c_str());
    QCOMPARE(prefs().load(), 0);
    QVERIFY2(qff::createSeasonFiles(context(), kYear, error), error.c_str());
    QVERIFY(qff::openSeason(context(), kYear).opened);
}

void OptionsTest::cleanup() {
    context_.reset();
    dir_.reset();
}

void OptionsTest::addLeague(int id, const char* name, const char* commissioner) {
    qff::Owned<qff::League> added = context().memory().makeRecord<qff::League>(
        qff::Kind::League, context().leagueFile(), context());
    added->setValue(qff::kLeagueId, id);
    added->setText(qff::kLeagueName, name);
    added->setText(qff::kLeagueCommissioner, commissioner);
    QCOMPARE(context().mapFactory().add(context().mapFactory().leagues(), added), qff::kOk);
}

void OptionsTest::removeAllLeagues() {
    for (qff::League* each : context().leagueQuery().allLeagues()) {
        QCOMPARE(context().mapFactory().remove(context().mapFactory().leagues(), each), qff::kOk);
    }
}

void OptionsTest::clickOk(QDialog& dialog) {
    auto* buttons = child<QDialogButtonBox>(&dialog, "buttonBox");
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

void OptionsTest::okStoresWhatTheDialogShows() {
    TformOptions dialog(context(), -1, messages_);
    dialog.show();
    child<QComboBox>(&dialog, "comboBorderWidth")->setCurrentIndex(4);
    child<QLineEdit>(&dialog, "editBackgroundImage")->setText("/pictures/field.jpg");
    child<QCheckBox>(&dialog, "checkAddColour")->setChecked(true);
    child<TColourSwatch>(&dialog, "swatchBodyColour")->setColour(0x00FF00);
    child<TColourSwatch>(&dialog, "swatchTotalsTextColour")->setColour(0x800080);
    child<QComboBox>(&dialog, "comboTopPlayers")->setCurrentText("100");
    child<QCheckBox>(&dialog, "checkByeIsVictory")->setChecked(false);
    child<QSpinBox>(&dialog, "spinEmptyWeeks")->setValue(3);
    child<QCheckBox>(&dialog, "checkMergeWrTe")->setChecked(true);
    child<QSpinBox>(&dialog, "spinLimitRB")->setValue(5);
    child<QCheckBox>(&dialog, "checkSharedPlayers")->setChecked(true);
    child<QLineEdit>(&dialog, "editName")->setText("Pat Example");
    child<QLineEdit>(&dialog, "editSmtpServer")->setText("mail.example.net");
    child<QLineEdit>(&dialog, "editFtpPassword")->setText("secret");
    child<QLineEdit>(&dialog, "editFtpPort")->setText("40021");
    child<QCheckBox>(&dialog, "checkDisablePasv")->setChecked(true);
    child<QComboBox>(&dialog, "comboFirewallType")->setCurrentIndex(7);
    child<QLineEdit>(&dialog, "editFirewallPort")->setText("65535");
    child<QLineEdit>(&dialog, "editBackupDirectory")->setText("/backups");
    child<QRadioButton>(&dialog, "radioBackupOnDownload")->setChecked(true);
    clickOk(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    qff::OptionSettings stored = qff::readOptions(context());
    QCOMPARE(stored.application.borderWidth, 4);
    QCOMPARE(stored.application.backgroundImage, std::string("/pictures/field.jpg"));
    QCOMPARE(stored.application.bodyColour, 0x00FF00u);
    QCOMPARE(stored.application.totalsTextColour, 0x800080u);
    QCOMPARE(stored.application.topPlayers, 100);
    QVERIFY(!stored.application.byeIsVictory);
    QCOMPARE(stored.application.emptyWeeks, 3);
    QVERIFY(stored.franchise.mergeWrTe);
    QCOMPARE(stored.franchise.limits[1], 5);
    QVERIFY(stored.franchise.sharedPlayers);
    QCOMPARE(stored.internet.smtpServer, std::string("mail.example.net"));
    QCOMPARE(stored.backup.directory, std::string("/backups"));
    QCOMPARE(stored.backup.automatic, 2);
    const qff::League& defaultLeague = league(qff::kDefaultLeagueId);
    QCOMPARE(defaultLeague.text(qff::kLeagueCommissioner), std::string("Pat Example"));
    QCOMPARE(defaultLeague.text(qff::kLeagueFtpPassword), std::string("secret"));
    QCOMPARE(qff::leaguePort(defaultLeague, qff::kLeagueFtpPort), 40021);
    QCOMPARE(qff::leaguePort(defaultLeague, qff::kLeagueFirewallPort), 65535);
    QCOMPARE(defaultLeague.getValue(qff::kLeagueFirewallType), 7);
    QCOMPARE(defaultLeague.getValue(qff::kLeagueFtpPassiveOff), 1);

    TformOptions again(context(), -1, messages_);
    QCOMPARE(child<QComboBox>(&again, "comboTopPlayers")->currentText(), QString("100"));
    QCOMPARE(child<QLineEdit>(&again, "editFirewallPort")->text(), QString("65535"));
    QCOMPARE(child<TColourSwatch>(&again, "swatchBodyColour")->colour(), 0x00FF00u);
    QCOMPARE(child<QRadioButton>(&again, "radioBackupOnDownload")->isChecked(), true);
}

void OptionsTest::cancelStoresNothing() {
    qff::OptionSettings before = qff::readOptions(context());
    TformOptions dialog(context(), -1, messages_);
    dialog.show();
    child<QComboBox>(&dialog, "comboBorderWidth")->setCurrentIndex(9);
    child<QLineEdit>(&dialog, "editName")->setText("Somebody Else");
    auto* buttons = child<QDialogButtonBox>(&dialog, "buttonBox");
    QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(qff::readOptions(context()) == before);
}

void OptionsTest::unrestrictedRostersStoreNinetyNineAndShowTheSuggestedLimits() {
    {
        TformOptions dialog(context(), 7, messages_);
        dialog.show();
        child<QSpinBox>(&dialog, "spinLimitQB")->setValue(1);
        child<QCheckBox>(&dialog, "checkRestrictRosters")->setChecked(false);
        QVERIFY(!child<QSpinBox>(&dialog, "spinLimitQB")->isEnabled());
        clickOk(dialog);
    }
    for (int id = qff::kPrefRosterLimitQB; id <= qff::kPrefRosterLimitSPE; ++id) {
        QCOMPARE(prefs().get(id), qff::kRosterUnrestricted);
    }
    TformOptions dialog(context(), 7, messages_);
    QVERIFY(!child<QCheckBox>(&dialog, "checkRestrictRosters")->isChecked());
    const char* spins[] = {"spinLimitQB", "spinLimitRB",  "spinLimitWR", "spinLimitTE",
                           "spinLimitPK", "spinLimitDEF", "spinLimitSPE"};
    const int shown[] = {2, 6, 4, 2, 2, 2, 2};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(child<QSpinBox>(&dialog, spins[i])->value(), shown[i]);
    }
}

void OptionsTest::topPlayersSevenShowsTwentyFive() {
    prefs().set(qff::kPrefTopPlayers, 7);
    TformOptions dialog(context(), -1, messages_);
    QCOMPARE(child<QComboBox>(&dialog, "comboTopPlayers")->currentText(), QString("25"));
}

void OptionsTest::withoutALeagueOkStoresTheOtherPages() {
    removeAllLeagues();
    TformOptions dialog(context(), 15, messages_);
    dialog.show();
    QCOMPARE(child<QComboBox>(&dialog, "comboEMailLeague")->currentIndex(), -1);
    child<QComboBox>(&dialog, "comboBorderWidth")->setCurrentIndex(2);
    child<QCheckBox>(&dialog, "checkSharedPlayers")->setChecked(true);
    child<QLineEdit>(&dialog, "editBackupPassword")->setText("zip");
    child<QLineEdit>(&dialog, "editSmtpServer")->setText("mail.example.net");
    child<QLineEdit>(&dialog, "editFtpPort")->setText("0");
    clickOk(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(prefs().get(qff::kPrefReportBorder), 2);
    QCOMPARE(prefs().get(qff::kPrefDraftSharedPlayers), 1);
    QCOMPARE(std::string(prefs().getText(qff::kPrefBackupPassword)), std::string("zip"));
    QCOMPARE(std::string(prefs().getText(qff::kPrefSmtpServer)), std::string());
}

void OptionsTest::requestedPageShowsItsPageAndTab_data() {
    QTest::addColumn<int>("requested");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("tab");
    QTest::newRow("default") << -1 << "btnApplication"
                             << "pageApplication"
                             << "tabReportOptions";
    QTest::newRow("schedule") << 10 << "btnApplication"
                              << "pageApplication"
                              << "tabHthSchedule";
    QTest::newRow("roster 7") << 7 << "btnFranchise"
                              << "pageFranchise"
                              << "";
    QTest::newRow("roster 8") << 8 << "btnFranchise"
                              << "pageFranchise"
                              << "";
    QTest::newRow("ftp") << 12 << "btnInternet"
                         << "pageInternet"
                         << "tabFtp";
    QTest::newRow("mail") << 14 << "btnInternet"
                          << "pageInternet"
                          << "tabEMail";
    QTest::newRow("backup") << 15 << "btnBackup"
                            << "pageBackup"
                            << "";
}

void OptionsTest::requestedPageShowsItsPageAndTab() {
    QFETCH(int, requested);
    QFETCH(QString, button);
    QFETCH(QString, page);
    QFETCH(QString, tab);
    TformOptions dialog(context(), requested, messages_);
    dialog.show();
    QVERIFY(child<QToolButton>(&dialog, qPrintable(button))->isChecked());
    QCOMPARE(child<QStackedWidget>(&dialog, "stackPages")->currentWidget()->objectName(), page);
    if (!tab.isEmpty()) {
        QVERIFY(child<QWidget>(&dialog, qPrintable(tab))->isVisible());
    }
}

void OptionsTest::choosingALeagueShowsItsSettingsAndMakesItCurrent() {
    addLeague(kSecondLeague, "Second League", "Sam Second");
    TformOptions dialog(context(), 12, messages_);
    dialog.show();
    auto* ftpLeague = child<QComboBox>(&dialog, "comboFtpLeague");
    QCOMPARE(ftpLeague->count(), 2);
    QCOMPARE(ftpLeague->currentText(), QString("Default League"));
    ftpLeague->setCurrentIndex(ftpLeague->findText("Second League"));
    QCOMPARE(child<QComboBox>(&dialog, "comboEMailLeague")->currentText(),
             QString("Second League"));
    QCOMPARE(child<QLineEdit>(&dialog, "editName")->text(), QString("Sam Second"));
    QCOMPARE(context().seasonState().peek(qff::kCurrentLeague), kSecondLeague);

    child<QLineEdit>(&dialog, "editFtpUser")->setText("second");
    clickOk(dialog);
    QCOMPARE(league(kSecondLeague).text(qff::kLeagueFtpUser), std::string("second"));
    QCOMPARE(league(qff::kDefaultLeagueId).text(qff::kLeagueFtpUser), std::string());
}

void OptionsTest::mergingWrTeHidesTheTeLimit() {
    TformOptions dialog(context(), 8, messages_);
    dialog.show();
    auto* te = child<QSpinBox>(&dialog, "spinLimitTE");
    QVERIFY(te->isVisible());
    child<QCheckBox>(&dialog, "checkMergeWrTe")->setChecked(true);
    QVERIFY(!te->isVisible());
    QVERIFY(!child<QWidget>(&dialog, "labelLimitTE")->isVisible());
}

void OptionsTest::portFieldsTakeDigitsOnly() {
    TformOptions dialog(context(), 12, messages_);
    dialog.show();
    for (const char* name : {"editFtpPort", "editFirewallPort"}) {
        auto* port = child<QLineEdit>(&dialog, name);
        port->clear();
        QTest::keyClicks(port, "2.1x-12345");
        QCOMPARE(port->text(), QString("21123"));
    }
}

void OptionsTest::anOutOfRangePortKeepsTheDialogOpen() {
    TformOptions dialog(context(), -1, messages_);
    dialog.show();
    child<QLineEdit>(&dialog, "editFirewallPort")->setText("70000");
    child<QComboBox>(&dialog, "comboBorderWidth")->setCurrentIndex(6);
    MessageCatcher& catcher = nextMessage();
    clickOk(dialog);
    QVERIFY(catcher.seen());
    QVERIFY(catcher.text.contains("1 to 65535"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(child<QStackedWidget>(&dialog, "stackPages")->currentWidget()->objectName(),
             QString("pageInternet"));
    QCOMPARE(prefs().get(qff::kPrefReportBorder), 0);
}

void OptionsTest::passwordsAreMasked() {
    TformOptions dialog(context(), -1, messages_);
    for (const char* name : {"editFtpPassword", "editFirewallPassword", "editBackupPassword"}) {
        QCOMPARE(child<QLineEdit>(&dialog, name)->echoMode(), QLineEdit::Password);
    }
}

void OptionsTest::aFailedLeagueSaveIsReportedAndTheDialogStaysOpen() {
    TformOptions dialog(context(), 14, messages_);
    dialog.show();
    child<QLineEdit>(&dialog, "editName")->setText("Pat Example");
    child<QComboBox>(&dialog, "comboBorderWidth")->setCurrentIndex(6);
    context().leagueFile().close();
    MessageCatcher& catcher = nextMessage();
    clickOk(dialog);
    QVERIFY(catcher.seen());
    QVERIFY(catcher.text.contains("could not be saved"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(prefs().get(qff::kPrefReportBorder), 0);
    QCOMPARE(league(qff::kDefaultLeagueId).text(qff::kLeagueCommissioner),
             std::string("Enter Your Name Here"));
}

void OptionsTest::ftpBrowseWithoutAServerSaysItCannotConnect() {
    TformOptions dialog(context(), 12, messages_);
    dialog.show();
    child<QLineEdit>(&dialog, "editWebSite")->setText("127.0.0.1/league");
    child<QLineEdit>(&dialog, "editCgiLocation")->setText("127.0.0.1/cgi-bin");
    child<QLineEdit>(&dialog, "editFtpPort")->setText(QString::number(closedPort()));
    for (const char* name : {"btnBrowseWebSite", "btnBrowseCgiLocation"}) {
        MessageCatcher& catcher = nextMessage();
        QTest::mouseClick(child<QToolButton>(&dialog, name), Qt::LeftButton);
        QVERIFY(catcher.seen());
        QCOMPARE(catcher.text, QString("A connection could not be established to your web "
                                       "site.\n\nPlease verify the correctness of your FTP "
                                       "settings and try again."));
    }
    // The browser logs on with what the page showed, so that was stored.
    QCOMPARE(league(qff::kDefaultLeagueId).text(qff::kLeagueFtpLocation),
             std::string("127.0.0.1/league"));
}

void OptionsTest::colourMenuOffersTheNamedColours() {
    TColourMenu menu;
    QStringList texts;
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator()) {
            texts << action->text();
        }
    }
    QCOMPARE(texts, QStringList({"Black", "Dark Gray", "Maroon", "Olive Green", "Green", "Teal",
                                 "Navy Blue", "Purple", "White", "Gray", "Red", "Yellow",
                                 "Lime Green", "Aqua", "Blue", "Fuchsia", "Custom", "Cancel"}));
    QCOMPARE(menu.actions().at(2)->data().value<std::uint32_t>(), 0x000080u);
    QCOMPARE(colourFromBgr(0x000080), QColor(0x80, 0, 0));
    QCOMPARE(bgrFromColour(QColor(0x12, 0x34, 0x56)), 0x563412u);

    TColourSwatch swatch;
    swatch.setColour(0x0000FF);
    QImage shown = swatch.icon().pixmap(swatch.iconSize()).toImage();
    QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::red));
}

void OptionsTest::expectSmtpOutcome(const QString& server, const char* message) {
    TformOptions dialog(context(), 14, messages_);
    dialog.show();
    child<QLineEdit>(&dialog, "editSmtpServer")->setText(server);
    child<QLineEdit>(&dialog, "editSmtpUser")->clear();
    MessageCatcher& catcher = nextMessage();
    QTest::mouseClick(child<QPushButton>(&dialog, "btnTestSmtp"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(catcher.seen(), kMessageWaitMs);
    QCOMPARE(catcher.title, QString("Test Connect To SMTP"));
    QCOMPARE(catcher.text, QString(message));
    QVERIFY(catcher.okEnabled);
    QVERIFY(!dialog.isTestingSmtp());
}

void OptionsTest::smtpTestReachesTheLoopbackServer() {
    QFile portFile(QFF_APP_SMTP_PORT_FILE);
    QVERIFY2(portFile.open(QIODevice::ReadOnly),
             "the SMTP server is started by ctest's AppSmtpServer fixture");
    QString port = QString::fromUtf8(portFile.readAll()).trimmed();
    expectSmtpOutcome("127.0.0.1:" + port,
                      "Success! You will be able to send mail to the specified server.");
}

void OptionsTest::smtpTestFailsOnAClosedPort() {
    expectSmtpOutcome(QString("127.0.0.1:%1").arg(closedPort()),
                      "Failed to connect. Either the server is invalid or you do not have rights "
                      "to send mail on it.");
}

void OptionsTest::smtpTestRunsOffTheGuiThreadAsAnonymous() {
    std::promise<bool> answer;
    auto call = std::make_shared<std::promise<HeldMailClient::Call>>();
    std::future<HeldMailClient::Call> called = call->get_future();
    std::shared_future<bool> shared = answer.get_future().share();

    TformOptions dialog(context(), 14, messages_);
    dialog.setMailClientFactory(
        [shared, call] { return std::make_unique<HeldMailClient>(shared, call); });
    // However the test ends, the connection attempt ends too, so the dialog can close.
    auto release = qScopeGuard([&answer] {
        try {
            answer.set_value(false);
        } catch (const std::future_error&) {
        }
    });
    dialog.show();
    child<QLineEdit>(&dialog, "editSmtpServer")->setText("mail.example.net");
    child<QLineEdit>(&dialog, "editSmtpUser")->clear();
    QTest::mouseClick(child<QPushButton>(&dialog, "btnTestSmtp"), Qt::LeftButton);

    QTRY_VERIFY_WITH_TIMEOUT(called.wait_for(std::chrono::seconds(0)) == std::future_status::ready,
                             kMessageWaitMs);
    HeldMailClient::Call made = called.get();
    QCOMPARE(made.hostAndPort, std::string("mail.example.net"));
    QCOMPARE(made.userId, std::string("anonymous"));
    // The window still answers while the connection is under way, with OK, Cancel and the
    // Application tabs shut and the busy cursor shown.
    QApplication::processEvents();
    auto* buttons = child<QDialogButtonBox>(&dialog, "buttonBox");
    QVERIFY(!buttons->button(QDialogButtonBox::Ok)->isEnabled());
    QVERIFY(!buttons->button(QDialogButtonBox::Cancel)->isEnabled());
    QVERIFY(!child<QWidget>(&dialog, "tabReportOptions")->isEnabled());
    QVERIFY(!child<QWidget>(&dialog, "tabHthSchedule")->isEnabled());
    QVERIFY(QApplication::overrideCursor() != nullptr);
    dialog.reject();
    QVERIFY(dialog.isVisible());

    MessageCatcher& catcher = nextMessage();
    answer.set_value(false);
    QTRY_VERIFY_WITH_TIMEOUT(catcher.seen(), kMessageWaitMs);
    QVERIFY(catcher.okEnabled);
    QVERIFY(catcher.text.startsWith("Failed to connect."));
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(child<QWidget>(&dialog, "tabReportOptions")->isEnabled());
}

// With QFF_SHOTS_DIR set, saves a picture of each page there so the layout can be looked at.
void OptionsTest::grabPages() {
    QString folder = qEnvironmentVariable("QFF_SHOTS_DIR");
    if (folder.isEmpty()) {
        QSKIP("QFF_SHOTS_DIR names no folder for the pictures");
    }
    QVERIFY(QDir().mkpath(folder));
    struct Shot {
        int requested;
        const char* name;
    };
    for (Shot shot : {Shot{-1, "application"}, Shot{10, "hth-schedule"}, Shot{7, "franchise"},
                      Shot{14, "internet-email"}, Shot{12, "internet-ftp"}, Shot{15, "backup"}}) {
        TformOptions dialog(context(), shot.requested, messages_);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.grab().save(folder + "/options-" + shot.name + ".png"));
    }
}

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
