// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/publish/Mail.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/publish/SendMail.h"
#include "tests/app/support/AppFixture.h"

using qff::apptest::child;
using qff::apptest::click;
using qff::apptest::RecordingPrompter;

namespace fs = std::filesystem;

namespace {

// What the fake server and archive were asked to do.
struct Calls {
    std::vector<std::vector<fs::path>> sent;
    std::vector<std::vector<fs::path>> packed;
    int disconnects = 0;
};

class FakeTransport : public qff::MailTransport {
  public:
    explicit FakeTransport(Calls& calls) : calls_(calls) {}
    void setListener(Listener listener) override { listener_ = std::move(listener); }
    bool connect(const std::string&, const std::string&, const std::string&) override {
        connected_ = true;
        listener_({qff::MailEventKind::Connected, {}});
        return true;
    }
    bool connected() const override { return connected_; }
    bool send(const qff::MailDraft&, const std::vector<fs::path>& attachments) override {
        calls_.sent.push_back(attachments);
        listener_({qff::MailEventKind::MailSent, {}});
        return true;
    }
    void disconnect() override {
        connected_ = false;
        ++calls_.disconnects;
    }
    bool packZip(const fs::path& zip, const std::vector<fs::path>& files, const std::string&,
                 std::string&) override {
        calls_.packed.push_back(files);
        std::ofstream(zip, std::ios::binary) << "packed";
        return true;
    }

  private:
    Calls& calls_;
    Listener listener_;
    bool connected_ = false;
};

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

QStringList logOf(TformSendMail& dialog) {
    return child<QPlainTextEdit>(dialog, "memoStatus").toPlainText().split('\n');
}

}  // namespace

class SendMailTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void stepsToTheEndAndOffersOk();
    void existingZipFile_data();
    void existingZipFile();
    void cancelStopsTheSending();
    void vanishedAttachmentIsReported();

  private:
    qff::MailDraft draft() const;

    std::unique_ptr<QTemporaryDir> dir_;
    fs::path workdir_;
    fs::path zip_;
    RecordingPrompter prompter_;
    Calls calls_;
};

void SendMailTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    workdir_ = dir_->path().toStdString();
    zip_ = workdir_ / "Attach" / "week.zip";
    fs::create_directories(zip_.parent_path());
    std::ofstream(workdir_ / "standings.htm") << "<html>standings</html>";
    prompter_ = RecordingPrompter();
    calls_ = Calls();
}

qff::MailDraft SendMailTest::draft() const {
    qff::MailDraft mail;
    mail.host = "127.0.0.1";
    mail.userId = "anonymous";
    mail.sender = {"commissioner@league.test", "League Commissioner", 0};
    mail.to = {{"owner@owners.test", "Owner", 1}};
    mail.subject = "Week 1";
    mail.body = "Scores attached.";
    mail.attachments = {"standings.htm"};
    mail.workdir = workdir_;
    mail.zipName = zip_;
    return mail;
}

void SendMailTest::stepsToTheEndAndOffersOk() {
    TformSendMail dialog(draft(), std::make_unique<FakeTransport>(calls_), prompter_);
    QCOMPARE(dialog.windowTitle(), QString("Sending EMail"));
    QCOMPARE(child<QPushButton>(dialog, "btnCancel").text(), QString("Cancel"));
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(dialog.run().done(), 20000);
    QCOMPARE(dialog.run().status(), qff::MailRun::Status::Sent);
    QCOMPARE(child<QPushButton>(dialog, "btnCancel").text(), QString("Ok"));
    for (QLabel* image : dialog.findChildren<QLabel*>(QRegularExpression("^imgStep"))) {
        QVERIFY(image->isHidden());
    }
    QStringList log = logOf(dialog);
    QCOMPARE(log.constFirst(), QString("Connecting to SMTP server..."));
    QVERIFY(log.contains("    Adding to ZIP - standings.htm"));
    QVERIFY(log.contains("    Mail has been sent"));
    QCOMPARE(log.constLast(), QString("Finished processing mail request."));
    QCOMPARE(calls_.sent, (std::vector<std::vector<fs::path>>{{zip_}}));
    QVERIFY(prompter_.asked.isEmpty());
    click(dialog, "btnCancel");
    QVERIFY(!dialog.isVisible());
}

void SendMailTest::existingZipFile_data() {
    QTest::addColumn<Prompter::Answer>("answer");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<bool>("zipped");
    QTest::newRow("Yes replaces it")
        << Prompter::Answer::Yes << QString("    Deleting existing ZIP file") << true << true;
    QTest::newRow("No attaches each file")
        << Prompter::Answer::No << QString("    Attaching - standings.htm") << true << false;
    QTest::newRow("Cancel sends nothing")
        << Prompter::Answer::Cancel << QString("    Request to cancel mail accepted") << false
        << false;
}

void SendMailTest::existingZipFile() {
    QFETCH(Prompter::Answer, answer);
    QFETCH(QString, logged);
    QFETCH(bool, sent);
    QFETCH(bool, zipped);
    std::ofstream(zip_, std::ios::binary) << "old archive";
    prompter_.threeWayAnswer = answer;
    TformSendMail dialog(draft(), std::make_unique<FakeTransport>(calls_), prompter_);
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(dialog.run().done(), 20000);
    QCOMPARE(prompter_.asked, QStringList({qff::kZipExistsQuestion}));
    QVERIFY2(logOf(dialog).contains(logged), qPrintable(logOf(dialog).join('|')));
    QCOMPARE(calls_.sent.size(), std::size_t(sent ? 1 : 0));
    QCOMPARE(calls_.packed.size(), std::size_t(zipped ? 1 : 0));
    QCOMPARE(contentOf(zip_), std::string(zipped ? "packed" : "old archive"));
    if (sent) {
        QCOMPARE(calls_.sent[0], std::vector<fs::path>{zipped ? zip_ : workdir_ / "standings.htm"});
    }
    QCOMPARE(logOf(dialog).constLast(), QString("Finished processing mail request."));
}

// Closing before the first step: nothing is sent and the dialog goes.
void SendMailTest::cancelStopsTheSending() {
    TformSendMail dialog(draft(), std::make_unique<FakeTransport>(calls_), prompter_);
    dialog.show();
    click(dialog, "btnCancel");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.run().status(), qff::MailRun::Status::Cancelled);
    QTest::qWait(3 * TformSendMail::kStepMs);
    QVERIFY(calls_.sent.empty());
}

// Files are read when the mail goes: one deleted after it was listed is
// named in the log and left out, the others still go.
void SendMailTest::vanishedAttachmentIsReported() {
    qff::MailDraft mail = draft();
    mail.zipName.clear();
    mail.attachments = {"standings.htm", "gone.htm"};
    TformSendMail dialog(mail, std::make_unique<FakeTransport>(calls_), prompter_);
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(dialog.run().done(), 20000);
    QStringList log = logOf(dialog);
    QVERIFY(log.contains("    Attaching - gone.htm"));
    QVERIFY2(log.contains("    Mail attachment not found (?\?\?)"), qPrintable(log.join('|')));
    QCOMPARE(calls_.sent, (std::vector<std::vector<fs::path>>{{workdir_ / "standings.htm"}}));
}

QTEST_MAIN(SendMailTest)
#include "sendmail_test.moc"
