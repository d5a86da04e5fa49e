// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Structure.h"
#include "data02/model/Legqry.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/publish/Mail.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "qff/platform/zip_archiver.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUuid>
#include <fstream>
#include <memory>
#include <vector>

#include "app/publish/AddressBook.h"
#include "app/publish/AttachReports.h"
#include "app/publish/EMailReports.h"
#include "app/publish/SendMail.h"
#include "app/shell/Options.h"
#include "tests/app/support/AppFixture.h"

using qff::apptest::child;
using qff::apptest::click;
using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;
using qff::apptest::whenModal;

namespace {

constexpr const char* kUnknownLeague = "CRITICAL - Unknown league";
constexpr const char* kNoSmtpServer =
    "A SMTP server must be defined before you can send an EMail.\n\nPlease press the EMail "
    "Options button in the upper right, enter your\nSMTP information, and verify that a "
    "connection is available.";
constexpr const char* kNoRecipient =
    "At least one recipient must be specified before the mail can be sent.";
constexpr const char* kInvalidSender =
    "The address of the person sending the mail is not valid.\n\nPlease press the EMail Options "
    "button in the upper right and enter a valid address.";
constexpr const char* kNoneAddressed =
    "None of the recipients have an EMail address.\n\nTo assign an address press the To button "
    "then and edit the Franchise information.";
constexpr const char* kSomeUnaddressed =
    "Some of the mail recipients do not have an EMail address.\n\nWould you like to send the mail "
    "to those with an address?";

constexpr const char* kSender = "commissioner@league.test";
// The loopback server refuses this one address.
constexpr const char* kRefused = "refuse@example.org";

// Keeps every draft it is given and reports it sent.
class KeepingTransport : public qff::MailTransport {
  public:
    explicit KeepingTransport(std::vector<qff::MailDraft>& sent) : sent_(sent) {}
    void setListener(Listener) override {}
    bool connect(const std::string&, const std::string&, const std::string&) override {
        connected_ = true;
        return true;
    }
    bool connected() const override { return connected_; }
    bool send(const qff::MailDraft& draft, const std::vector<std::filesystem::path>&) override {
        sent_.push_back(draft);
        return true;
    }
    void disconnect() override { connected_ = false; }
    bool packZip(const std::filesystem::path&, const std::vector<std::filesystem::path>&,
                 const std::string&, std::string&) override {
        return false;
    }

  private:
    std::vector<qff::MailDraft>& sent_;
    bool connected_ = false;
};

struct Recipient {
    int franchise;
    const char* button;
};

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

class MailPageTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void checksComeInOrder_data();
    void checksComeInOrder();
    void unknownLeagueIsRefused();
    void recipientsWithoutAddressCanBeLeftOut();
    void noLeavesTheRecipientsAsTheyWere();
    void attachmentsAreListedOnce();
    void newMailEmptiesTheMail();
    void optionsOpenOnTheEMailPage();
    void ccButtonMakesCCTheDefault();
    void otherFilesAreAttachedOnce();
    void anExistingZipFileIsReplacedOnlyWhenConfirmed_data();
    void anExistingZipFileIsReplacedOnlyWhenConfirmed();
    void sendsThroughTheServer();

  private:
    qff::Singleton& context() { return season_->context(); }
    int franchise(int index) const { return franchises_.at(index); }
    void setOwnerEmail(int index, const std::string& address);
    void choose(TformEMailReports& page, const std::vector<Recipient>& recipients);
    void sendAndClose(TformEMailReports& page);
    void readyToSend();

    std::unique_ptr<SeasonFolder> season_;
    std::vector<int> franchises_;
    int league_ = 0;
    RecordingPrompter prompter_;
};

void MailPageTest::init() {
    season_ = std::make_unique<SeasonFolder>(qff::apptest::smallDemo());
    QVERIFY(season_->opened());
    league_ = context().seasonState().peek(qff::kCurrentLeague);
    franchises_ = qff::leagueFranchiseIds(context(), league_);
    QCOMPARE(franchises_.size(), std::size_t{4});
    prompter_ = RecordingPrompter();
}

void MailPageTest::cleanup() {
    season_.reset();
}

void MailPageTest::setOwnerEmail(int index, const std::string& address) {
    qff::StructureResult saved =
        qff::saveProperties(context(), {qff::StructureKind::Franchise, franchise(index)},
                            {{{qff::kOwnerEmail, address}}});
    QVERIFY2(saved.ok(), saved.message.c_str());
}

void MailPageTest::readyToSend() {
    context().preferences().setText(qff::kPrefSmtpServer, "127.0.0.1");
    qff::League* league = context().leagueQuery().findOne(qff::kLeagueId, league_);
    QVERIFY(league != nullptr);
    league->setText(qff::kLeagueEmail, kSender);
}

// Picks each franchise in the address book with the button of its kind.
void MailPageTest::choose(TformEMailReports& page, const std::vector<Recipient>& recipients) {
    std::vector<std::pair<QString, const char*>> rows;
    for (const Recipient& recipient : recipients) {
        const qff::Team* team =
            context().teamQuery().findOne(qff::kFranchiseId, franchise(recipient.franchise));
        rows.emplace_back(QString::fromStdString(qff::franchiseMailText(*team)), recipient.button);
    }
    whenModal<TformAddressBook>([rows](TformAddressBook& book) {
        auto& teams = child<QTreeWidget>(book, "listTeams");
        for (const auto& [text, button] : rows) {
            teams.clearSelection();
            for (int row = 0; row < teams.topLevelItemCount(); ++row) {
                if (teams.topLevelItem(row)->text(0) == text) {
                    teams.topLevelItem(row)->setSelected(true);
                }
            }
            click(book, button);
        }
        click(book, "btnOK");
    });
    click(page, "btnTo");
}

// The sending dialog closes once its run has ended.
void MailPageTest::sendAndClose(TformEMailReports& page) {
    whenModal<TformSendMail>([](TformSendMail& sending) {
        QTRY_VERIFY_WITH_TIMEOUT(sending.run().done(), 60000);
        QCOMPARE(child<QPushButton>(sending, "btnCancel").text(), QString("Ok"));
        click(sending, "btnCancel");
    });
    click(page, "btnSendMail");
}

// Each row breaks one thing the checks look at, with everything before it
// in order; the two recipients have no address unless the row gives them
// one.
void MailPageTest::checksComeInOrder_data() {
    QTest::addColumn<QString>("smtpServer");
    QTest::addColumn<bool>("withRecipients");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("ownerEmail");
    QTest::addColumn<QString>("message");
    const QString server("127.0.0.1");
    const QString sender(kSender);
    QTest::newRow("no server") << QString() << true << QString() << QString()
                               << QString(kNoSmtpServer);
    QTest::newRow("blank server") << QString("   ") << true << sender << QString()
                                  << QString(kNoSmtpServer);
    QTest::newRow("no recipient") << server << false << QString() << QString()
                                  << QString(kNoRecipient);
    QTest::newRow("no sender") << server << true << QString() << QString()
                               << QString(kInvalidSender);
    QTest::newRow("sample sender") << server << true << QString(qff::kSampleSenderAddress)
                                   << QString() << QString(kInvalidSender);
    QTest::newRow("none addressed")
        << server << true << sender << QString() << QString(kNoneAddressed);
    QTest::newRow("implausible address")
        << server << true << sender << QString("owner at example.org")
        << QString("The EMail address of %1 is not valid");
}

void MailPageTest::checksComeInOrder() {
    QFETCH(QString, smtpServer);
    QFETCH(bool, withRecipients);
    QFETCH(QString, sender);
    QFETCH(QString, ownerEmail);
    QFETCH(QString, message);
    context().preferences().setText(qff::kPrefSmtpServer, smtpServer.toStdString());
    context()
        .leagueQuery()
        .findOne(qff::kLeagueId, league_)
        ->setText(qff::kLeagueEmail, sender.toStdString());
    setOwnerEmail(0, ownerEmail.toStdString());
    setOwnerEmail(1, ownerEmail.toStdString());
    std::vector<qff::MailDraft> sent;
    TformEMailReports page(context(), prompter_);
    page.setTransportFactory([&sent] { return std::make_unique<KeepingTransport>(sent); });
    if (withRecipients) {
        choose(page, {{0, "btnTo"}, {1, "btnCC"}});
    }
    click(page, "btnSendMail");
    QCOMPARE(prompter_.told.size(), 1);
    if (message.contains("%1")) {
        QVERIFY2(prompter_.told.constFirst().contains(
                     QString::fromStdString(context()
                                                .teamQuery()
                                                .findOne(qff::kFranchiseId, franchise(0))
                                                ->text(qff::kFranchiseName))),
                 qPrintable(prompter_.told.constFirst()));
    } else {
        QCOMPARE(prompter_.told.constFirst(), message);
    }
    QVERIFY(prompter_.asked.isEmpty());
    QVERIFY(sent.empty());
}

void MailPageTest::unknownLeagueIsRefused() {
    readyToSend();
    qff::StructureResult created = qff::createLeague(context(), "Gone Soon");
    QVERIFY(created.ok());
    TformEMailReports page(context(), prompter_);
    qff::apptest::chooseData(child<QComboBox>(page, "comboLeague"), created.id);
    auto picks = qff::seasonDraftPicks(context());
    QVERIFY(qff::remove(context(), *picks, {qff::StructureKind::League, created.id}).ok());
    click(page, "btnSendMail");
    QCOMPARE(prompter_.told, QStringList({kUnknownLeague}));
}

// Three recipients of whom one has no address: Yes sends to the two.
void MailPageTest::recipientsWithoutAddressCanBeLeftOut() {
    readyToSend();
    setOwnerEmail(1, "");
    std::vector<qff::MailDraft> sent;
    TformEMailReports page(context(), prompter_);
    page.setTransportFactory([&sent] { return std::make_unique<KeepingTransport>(sent); });
    choose(page, {{0, "btnTo"}, {1, "btnTo"}, {2, "btnTo"}});
    QCOMPARE(child<QLineEdit>(page, "editTo").text().count(", "), 2);
    prompter_.answer = true;
    sendAndClose(page);
    QCOMPARE(prompter_.asked, QStringList({kSomeUnaddressed}));
    QVERIFY(prompter_.told.isEmpty());
    QCOMPARE(sent.size(), std::size_t{1});
    QCOMPARE(sent[0].to.size(), std::size_t{2});
    QVERIFY(sent[0].cc.empty() && sent[0].bcc.empty());
    QString to = child<QLineEdit>(page, "editTo").text();
    QCOMPARE(to, QString::fromStdString(qff::recipientsText(
                     context(), {{qff::kMailTo, franchise(0)}, {qff::kMailTo, franchise(2)}},
                     qff::kMailTo)));
    QVERIFY(!to.contains(qff::kNoEMailAddress));
}

void MailPageTest::noLeavesTheRecipientsAsTheyWere() {
    readyToSend();
    setOwnerEmail(1, "");
    std::vector<qff::MailDraft> sent;
    TformEMailReports page(context(), prompter_);
    page.setTransportFactory([&sent] { return std::make_unique<KeepingTransport>(sent); });
    choose(page, {{0, "btnTo"}, {1, "btnCC"}});
    QString to = child<QLineEdit>(page, "editTo").text();
    QString cc = child<QLineEdit>(page, "editCC").text();
    prompter_.answer = false;
    click(page, "btnSendMail");
    QCOMPARE(prompter_.asked, QStringList({kSomeUnaddressed}));
    QVERIFY(sent.empty());
    QCOMPARE(child<QLineEdit>(page, "editTo").text(), to);
    QCOMPARE(child<QLineEdit>(page, "editCC").text(), cc);
}

void MailPageTest::attachmentsAreListedOnce() {
    writeFile(season_->path() / "Reports" / "standings.htm", "<html>standings</html>");
    writeFile(season_->path() / "Support" / "help.htm", "<html>help</html>");
    TformEMailReports page(context(), prompter_);
    for (int pass = 0; pass < 2; ++pass) {
        whenModal<TformAttachReports>([](TformAttachReports& picker) {
            auto& list = child<QListWidget>(picker, "listReports");
            QCOMPARE(list.count(), 1);
            QCOMPARE(list.item(0)->text(), QDir::toNativeSeparators("Reports/standings.htm"));
            list.item(0)->setSelected(true);
            emit list.itemDoubleClicked(list.item(0));
        });
        click(page, "btnAttachReport");
    }
    auto& attachments = child<QListWidget>(page, "listAttachments");
    QCOMPARE(attachments.count(), 1);
    attachments.item(0)->setSelected(true);
    QTest::keyClick(&attachments, Qt::Key_Delete);
    QCOMPARE(attachments.count(), 0);
}

void MailPageTest::newMailEmptiesTheMail() {
    readyToSend();
    TformEMailReports page(context(), prompter_);
    choose(page, {{0, "btnTo"}, {3, "btnCC"}});
    child<QLineEdit>(page, "editSubject").setText("Week 1");
    child<QPlainTextEdit>(page, "memoBody").setPlainText("Scores inside");
    QVERIFY(!child<QLineEdit>(page, "editTo").text().isEmpty());
    click(page, "btnNewMail");
    for (const char* field : {"editTo", "editCC", "editSubject"}) {
        QVERIFY2(child<QLineEdit>(page, field).text().isEmpty(), field);
    }
    QVERIFY(child<QPlainTextEdit>(page, "memoBody").toPlainText().isEmpty());
    QCOMPARE(child<QLineEdit>(page, "editFrom").text(),
             QString::fromStdString(qff::leagueFromText(context(), league_)));
    click(page, "btnSendMail");
    QCOMPARE(prompter_.told, QStringList({kNoRecipient}));
}

// The sender shown afterwards is the one the options left in the league.
void MailPageTest::optionsOpenOnTheEMailPage() {
    readyToSend();
    TformEMailReports page(context(), prompter_);
    QVERIFY(child<QLineEdit>(page, "editFrom").text().contains(kSender));
    qff::League* league = context().leagueQuery().findOne(qff::kLeagueId, league_);
    whenModal<TformOptions>([league](TformOptions& options) {
        QTRY_COMPARE(child<QTabWidget>(options, "tabsInternet").currentWidget()->objectName(),
                     QString("tabEMail"));
        QVERIFY(child<QTabWidget>(options, "tabsInternet").isVisible());
        league->setText(qff::kLeagueEmail, "new.commissioner@league.test");
        options.reject();
    });
    click(page, "btnEMailOptions");
    QVERIFY(child<QLineEdit>(page, "editFrom").text().contains("new.commissioner@league.test"));
}

void MailPageTest::ccButtonMakesCCTheDefault() {
    TformEMailReports page(context(), prompter_);
    for (const char* button : {"btnCC", "btnTo"}) {
        QString defaultButton;
        whenModal<TformAddressBook>([&defaultButton](TformAddressBook& book) {
            for (QPushButton* candidate : book.findChildren<QPushButton*>()) {
                if (candidate->isDefault()) {
                    defaultButton = candidate->objectName();
                }
            }
            click(book, "btnCancel");
        });
        click(page, button);
        QCOMPARE(defaultButton, QString(button));
    }
}

// The file dialogs are closed before anything is checked, so a failure never
// leaves one open; they are closed with done(), as accept() checks the typed
// name against a folder listing that fills in the background.
void MailPageTest::otherFilesAreAttachedOnce() {
    QTemporaryDir elsewhere;
    const QString notes = elsewhere.filePath("notes.txt");
    writeFile(notes.toStdString(), "notes\n");
    TformEMailReports page(context(), prompter_);
    QStringList filters;
    for (int pass = 0; pass < 2; ++pass) {
        whenModal<QFileDialog>([notes, &filters](QFileDialog& dialog) {
            filters = dialog.nameFilters();
            dialog.selectFile(notes);
            static_cast<QDialog&>(dialog).done(QDialog::Accepted);
        });
        click(page, "btnAttachFile");
    }
    QCOMPARE(filters.size(), 4);
    QVERIFY2(filters.filter("*.txt").size() == 1, qPrintable(filters.join('|')));
    auto& attachments = child<QListWidget>(page, "listAttachments");
    QCOMPARE(attachments.count(), 1);
    QCOMPARE(attachments.item(0)->text(), QDir::toNativeSeparators(notes));
}

void MailPageTest::anExistingZipFileIsReplacedOnlyWhenConfirmed_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void MailPageTest::anExistingZipFileIsReplacedOnlyWhenConfirmed() {
    QFETCH(bool, answer);
    QTemporaryDir elsewhere;
    const QString chosen = elsewhere.filePath("season.zip");
    writeFile(chosen.toStdString(), "old");
    TformEMailReports page(context(), prompter_);
    const QString before = child<QLineEdit>(page, "editZipFile").text();
    prompter_.answer = answer;
    whenModal<QFileDialog>([chosen](QFileDialog& dialog) {
        dialog.selectFile(chosen);
        static_cast<QDialog&>(dialog).done(QDialog::Accepted);
    });
    child<QToolButton>(page, "btnBrowseZipFile").click();
    QCOMPARE(prompter_.asked.size(), 1);
    QVERIFY(prompter_.asked.constFirst().contains(QDir::toNativeSeparators(chosen)));
    QCOMPARE(child<QLineEdit>(page, "editZipFile").text(),
             answer ? QDir::toNativeSeparators(chosen) : before);
}

// To, CC and BCC, two report pages packed into one archive, a recipient
// the server refuses and a subject that tries to add a header of its own.
void MailPageTest::sendsThroughTheServer() {
    const QString state(QFF_APP_MAIL_STATE);
    const QString port = readAll(state + "/port").trimmed();
    QVERIFY2(!port.isEmpty(), "the mail server fixture is not running");
    readyToSend();
    context().preferences().setText(qff::kPrefSmtpServer, "127.0.0.1:" + port.toStdString());
    setOwnerEmail(0, "first@owners.test");
    setOwnerEmail(1, kRefused);
    setOwnerEmail(2, "copy@owners.test");
    setOwnerEmail(3, "hidden@owners.test");
    writeFile(season_->path() / "Reports" / "standings.htm", "<html>standings</html>\n");
    writeFile(season_->path() / "Reports" / "Week1" / "scores.htm", "<html>scores</html>\n");
    const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const std::filesystem::path zip = season_->path() / "Attach" / "week.zip";

    TformEMailReports page(context(), prompter_);
    choose(page, {{0, "btnTo"}, {1, "btnTo"}, {2, "btnCC"}, {3, "btnBCC"}});
    child<QLineEdit>(page, "editSubject").setText("Week " + token + "\r\nBcc: sneak@owners.test");
    child<QPlainTextEdit>(page, "memoBody").setPlainText("Hello owners,\nthe week's pages.");
    whenModal<TformAttachReports>([](TformAttachReports& picker) {
        child<QListWidget>(picker, "listReports").selectAll();
        click(picker, "btnOK");
    });
    click(page, "btnAttachReport");
    QCOMPARE(child<QListWidget>(page, "listAttachments").count(), 2);
    child<QLineEdit>(page, "editZipFile").setText(QString::fromStdString(zip.string()));

    QStringList log;
    whenModal<TformSendMail>([&log](TformSendMail& sending) {
        QTRY_VERIFY_WITH_TIMEOUT(sending.run().done(), 60000);
        log = child<QPlainTextEdit>(sending, "memoStatus").toPlainText().split('\n');
        QCOMPARE(sending.run().status(), qff::MailRun::Status::Sent);
        click(sending, "btnCancel");
    });
    click(page, "btnSendMail");
    QVERIFY2(prompter_.told.isEmpty(), qPrintable(prompter_.told.join('|')));
    QVERIFY2(log.contains(QString("    Recipient not found - ") + kRefused),
             qPrintable(log.join('|')));
    QVERIFY(log.contains("    Mail has been sent"));
    QCOMPARE(log.constLast(), QString("Finished processing mail request."));

    QString message;
    QDir mail(state + "/mail");
    for (const QString& name : mail.entryList({"*.eml"}, QDir::Files)) {
        if (readAll(mail.filePath(name)).contains(token)) {
            message = mail.filePath(name);
        }
    }
    QVERIFY2(!message.isEmpty(), "the server holds no such message");
    QString raw = readAll(message);
    QString headers = raw.left(raw.indexOf("\r\n\r\n"));
    const QRegularExpression bccHeader(
        "^Bcc:", QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    QVERIFY2(!bccHeader.match(headers).hasMatch(), qPrintable(headers));
    QVERIFY(!raw.contains("hidden@owners.test"));
    QString envelope = readAll(message.chopped(4) + ".rcpt");
    QCOMPARE(envelope.split('\n', Qt::SkipEmptyParts),
             QStringList({"first@owners.test", "copy@owners.test", "hidden@owners.test"}));

    QTemporaryDir decoded;
    QCOMPARE(QProcess::execute("/usr/bin/python3", {QFF_DECODE_MAIL, message, decoded.path()}), 0);
    QString subject = readAll(decoded.filePath("subject.txt"));
    QVERIFY2(subject.startsWith("Week " + token), qPrintable(subject));
    QVERIFY(!subject.contains('\r') && !subject.contains('\n'));
    QVERIFY(readAll(decoded.filePath("to.txt")).contains("first@owners.test"));
    QVERIFY(readAll(decoded.filePath("to.txt")).contains(kRefused));
    QVERIFY(readAll(decoded.filePath("cc.txt")).contains("copy@owners.test"));
    QVERIFY(raw.contains("Hello owners,"));
    QVERIFY(raw.contains("the week's pages."));
    QDir attachments(decoded.filePath("attachments"));
    QCOMPARE(attachments.entryList(QDir::Files), QStringList({"week.zip"}));

    QTemporaryDir unpacked;
    qff::platform::ZipArchiver archiver;
    qff::platform::ArchiveResult opened = archiver.extractAll(
        attachments.filePath("week.zip").toStdString(), unpacked.path().toStdString(), "");
    QVERIFY2(opened.ok, opened.message.c_str());
    QCOMPARE(readAll(unpacked.filePath("standings.htm")), QString("<html>standings</html>\n"));
    QCOMPARE(readAll(unpacked.filePath("scores.htm")), QString("<html>scores</html>\n"));
}

QTEST_MAIN(MailPageTest)
#include "mailpage_test.moc"
