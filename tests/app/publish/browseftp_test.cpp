// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Legqry.h"
#include "data02/publish/Ftpsite.h"
#include "data02/season/State.h"
#include "tests/app/support/AppFixture.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "app/publish/BrowseFTP.h"
#include "app/publish/EnterStr.h"
#include "app/shell/Options.h"

namespace fs = std::filesystem;
using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;
using qff::apptest::whenModal;

namespace {

constexpr int kYear = 2010;
// The account of tests/platform/ftp_server.py.
constexpr const char* kUser = "quill";
constexpr const char* kPassword = "ftp-secret-42";
const QString kBadName =
    "A folder name cannot be \".\" and cannot hold \"/\", \"\\\", \"..\" or control characters.";

int serverPort() {
    QFile file(QFF_APP_FTP_STATE "/port");
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("the FTP server is started by ctest's AppFtpServer fixture");
    }
    return QString::fromUtf8(file.readAll()).trimmed().toInt();
}

QStringList childTexts(const QTreeWidgetItem* node) {
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i) {
        texts << node->child(i)->text(0);
    }
    return texts;
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* node, const QString& name) {
    for (int i = 0; i < node->childCount(); ++i) {
        if (node->child(i)->text(0) == name) {
            return node->child(i);
        }
    }
    qFatal("no folder %s", qPrintable(name));
}

template <class T>
T& control(QWidget& dialog, const char* name) {
    auto* found = dialog.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control named %s", name);
    }
    return *found;
}

// Types a folder name into the prompt the create button opens.
void answerNewFolder(const QString& name) {
    whenModal<TformEnterStr>([name](TformEnterStr& prompt) {
        QCOMPARE(prompt.windowTitle(), QString("New FTP Directory"));
        QTest::keyClicks(&control<QLineEdit>(prompt, "editString"), name);
        prompt.accept();
    });
}

}  // namespace

// The server serves one folder; each test lays out its folders afresh there.
class BrowseFtpTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void listsFoldersAndPreselectsTheStoredLocation();
    void okHandsBackTheChosenLocation();
    void aLocationLongerThanTheFieldIsRefused();
    void createsAndDeletesAFolder();
    void refusesFolderNamesThatLeaveTheParent_data();
    void refusesFolderNamesThatLeaveTheParent();
    void serverRefusalsShowTheServersReply();
    void aWrongPasswordOrNoLeagueGivesNoConnection();
    void optionsBrowseFillsTheLocationField();

  private:
    qff::Singleton& season() { return folder_->context(); }
    qff::League& league() {
        return *season().leagueQuery().findOne(qff::kLeagueId, qff::kDefaultLeagueId);
    }
    bool showBrowser();
    QTreeWidget& tree() { return control<QTreeWidget>(*browser_, "treeDirectories"); }
    QTreeWidgetItem* root() { return tree().topLevelItem(0); }
    void click(const char* name) {
        QTest::mouseClick(&control<QPushButton>(*browser_, name), Qt::LeftButton);
    }

    fs::path served_;
    std::unique_ptr<SeasonFolder> folder_;
    std::unique_ptr<TformBrowseFTP> browser_;
    RecordingPrompter prompter_;
};

void BrowseFtpTest::init() {
    served_ = fs::path(QFF_APP_FTP_STATE) / "root";
    for (const fs::directory_entry& entry : fs::directory_iterator(served_)) {
        fs::remove_all(entry.path());
    }
    fs::create_directories(served_ / "leagues" / "ours");
    fs::create_directories(served_ / "leagues" / "theirs");
    fs::create_directories(served_ / "cgi-bin");
    fs::create_directories(served_ / "Archive");
    std::ofstream(served_ / "index.htm") << "<html></html>";
    std::ofstream(served_ / "Archive" / "old.htm") << "<html></html>";

    folder_ = std::make_unique<SeasonFolder>(kYear);
    QVERIFY(folder_->opened());
    league().setText(qff::kLeagueFtpLocation, "127.0.0.1/leagues");
    league().setText(qff::kLeagueFtpCgi, "127.0.0.1/cgi-bin");
    league().setText(qff::kLeagueFtpUser, kUser);
    league().setText(qff::kLeagueFtpPassword, kPassword);
    league().setValue(qff::kLeagueFtpPort, serverPort());
    QCOMPARE(league().save(), qff::kOk);
    season().seasonState().set(qff::kCurrentLeague, qff::kDefaultLeagueId);
    prompter_ = RecordingPrompter();
}

void BrowseFtpTest::cleanup() {
    browser_.reset();
    folder_.reset();
}

bool BrowseFtpTest::showBrowser() {
    browser_ = std::make_unique<TformBrowseFTP>(season(), prompter_);
    if (!browser_->connectSite(qff::FtpLocationField::WebSite)) {
        qWarning("no logon: %s", qPrintable(browser_->connectError()));
        return false;
    }
    browser_->show();
    return true;
}

void BrowseFtpTest::listsFoldersAndPreselectsTheStoredLocation() {
    QVERIFY(showBrowser());
    QCOMPARE(tree().topLevelItemCount(), 1);
    QCOMPARE(root()->text(0), QString("127.0.0.1/"));
    QVERIFY(root()->isExpanded());
    // Files are no folders; folders come in name order.
    QCOMPARE(childTexts(root()), QStringList({"Archive", "cgi-bin", "leagues"}));
    QTreeWidgetItem* leagues = tree().currentItem();
    QCOMPARE(leagues->text(0), QString("leagues"));
    // Choosing a folder lists it, and a folder with folders inside stays.
    QCOMPARE(childTexts(leagues), QStringList({"ours", "theirs"}));
    QVERIFY(!control<QPushButton>(*browser_, "btnDeleteDir").isEnabled());
    QVERIFY(control<QPushButton>(*browser_, "btnCreateDir").isEnabled());

    QTreeWidgetItem* archive = childNamed(root(), "Archive");
    tree().expandItem(archive);
    QCOMPARE(archive->childCount(), 0);
    tree().setCurrentItem(archive);
    QVERIFY(control<QPushButton>(*browser_, "btnDeleteDir").isEnabled());
    tree().setCurrentItem(root());
    QVERIFY(!control<QPushButton>(*browser_, "btnDeleteDir").isEnabled());
}

void BrowseFtpTest::okHandsBackTheChosenLocation() {
    QVERIFY(showBrowser());
    tree().setCurrentItem(childNamed(tree().currentItem(), "ours"));
    QTest::mouseClick(
        control<QDialogButtonBox>(*browser_, "buttonBox").button(QDialogButtonBox::Ok),
        Qt::LeftButton);
    QCOMPARE(browser_->result(), int(QDialog::Accepted));
    QCOMPARE(browser_->chosenLocation(), QString("127.0.0.1/leagues/ours"));
}

void BrowseFtpTest::aLocationLongerThanTheFieldIsRefused() {
    QString longName(250, 'x');
    fs::create_directories(served_ / "leagues" / longName.toStdString());
    QVERIFY(showBrowser());
    tree().setCurrentItem(childNamed(tree().currentItem(), longName));
    browser_->accept();
    QCOMPARE(prompter_.told,
             QStringList{"The location of this folder is longer than the 256 characters the "
                         "preferences can keep. Please choose a folder nearer the top."});
    QVERIFY(browser_->isVisible());
    QVERIFY(browser_->chosenLocation().isEmpty());
}

void BrowseFtpTest::createsAndDeletesAFolder() {
    QVERIFY(showBrowser());
    QTreeWidgetItem* leagues = tree().currentItem();
    answerNewFolder("season 2025");
    click("btnCreateDir");
    QVERIFY(fs::is_directory(served_ / "leagues" / "season 2025"));
    QTreeWidgetItem* created = tree().currentItem();
    QCOMPARE(created->text(0), QString("season 2025"));
    QCOMPARE(created->parent(), leagues);
    QCOMPARE(childTexts(leagues), QStringList({"ours", "season 2025", "theirs"}));

    prompter_.answer = true;
    click("btnDeleteDir");
    QCOMPARE(prompter_.asked,
             QStringList{"Are you sure you want to delete the following directory from your web "
                         "site?\n\n127.0.0.1/leagues/season 2025"});
    QVERIFY(!fs::exists(served_ / "leagues" / "season 2025"));
    QCOMPARE(tree().currentItem(), leagues);
    QCOMPARE(childTexts(leagues), QStringList({"ours", "theirs"}));
    QCOMPARE(prompter_.told, QStringList());
}

void BrowseFtpTest::refusesFolderNamesThatLeaveTheParent_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("slash") << "a/b";
    QTest::newRow("backslash") << "a\\b";
    QTest::newRow("parent") << "..";
    QTest::newRow("dots inside") << "x..y";
}

void BrowseFtpTest::refusesFolderNamesThatLeaveTheParent() {
    QFETCH(QString, name);
    QVERIFY(showBrowser());
    answerNewFolder(name);
    click("btnCreateDir");
    QCOMPARE(prompter_.told, QStringList{kBadName});
    QCOMPARE(childTexts(tree().currentItem()), QStringList({"ours", "theirs"}));
    int entries = 0;
    for (auto it = fs::recursive_directory_iterator(served_); it != fs::end(it); ++it) {
        ++entries;
    }
    QCOMPARE(entries, 7);
}

void BrowseFtpTest::serverRefusalsShowTheServersReply() {
    QVERIFY(showBrowser());
    answerNewFolder("ours");
    click("btnCreateDir");
    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY2(prompter_.told[0].startsWith("The FTP Directory could not be created.\n\nReason - 5"),
             qPrintable(prompter_.told[0]));

    // A folder holding files only shows empty, but the server keeps it.
    tree().setCurrentItem(childNamed(root(), "Archive"));
    prompter_.answer = true;
    click("btnDeleteDir");
    QCOMPARE(prompter_.told.size(), 2);
    QVERIFY2(prompter_.told[1].startsWith("The FTP Directory could not be deleted.\n\nReason - 5"),
             qPrintable(prompter_.told[1]));
    QVERIFY(fs::exists(served_ / "Archive" / "old.htm"));
    QCOMPARE(tree().currentItem()->text(0), QString("Archive"));
}

void BrowseFtpTest::aWrongPasswordOrNoLeagueGivesNoConnection() {
    league().setText(qff::kLeagueFtpPassword, "wrong");
    TformBrowseFTP wrong(season(), prompter_);
    QVERIFY(!wrong.connectSite(qff::FtpLocationField::WebSite));
    QVERIFY(!wrong.connectError().isEmpty());

    season().seasonState().set(qff::kCurrentLeague, 42);
    TformBrowseFTP none(season(), prompter_);
    QVERIFY(!none.connectSite(qff::FtpLocationField::CgiBin));
}

void BrowseFtpTest::optionsBrowseFillsTheLocationField() {
    TformOptions options(season(), 12, prompter_);
    options.show();
    auto& cgi = control<QLineEdit>(options, "editCgiLocation");
    QCOMPARE(cgi.text(), QString("127.0.0.1/cgi-bin"));
    bool browsed = false;
    whenModal<TformBrowseFTP>([&browsed](TformBrowseFTP& browser) {
        auto& folders = control<QTreeWidget>(browser, "treeDirectories");
        QCOMPARE(folders.currentItem()->text(0), QString("cgi-bin"));
        folders.setCurrentItem(childNamed(folders.topLevelItem(0), "Archive"));
        browser.accept();
        browsed = true;
    });
    QTest::mouseClick(&control<QToolButton>(options, "btnBrowseCgiLocation"), Qt::LeftButton);
    QVERIFY(browsed);
    QCOMPARE(cgi.text(), QString("127.0.0.1/Archive"));
    QCOMPARE(prompter_.told, QStringList());
}

QTEST_MAIN(BrowseFtpTest)
#include "browseftp_test.moc"
