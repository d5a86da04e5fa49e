#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "data02/league/Structure.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/publish/Mail.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "tests/support/SeasonFixture.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

namespace fs = std::filesystem;
using test::SeasonFixture;
using test::TempDir;
using test::writeText;

constexpr int kYear = 2004;
constexpr int kLeague = kDefaultLeagueId;

TEST(MailTexts, FranchiseAndSenderTexts) {
    EXPECT_EQ(franchiseMailText("Hawks", "pat@example.net"), "Hawks < pat@example.net >");
    EXPECT_EQ(franchiseMailText("Franchise 3", ""), "Franchise 3 < No EMail Address >");
    EXPECT_EQ(fromText("Pat", "pat@example.net"), "Pat < pat@example.net >");
    EXPECT_EQ(fromText("Pat", ""), "Pat < No EMail Address >");
    EXPECT_EQ(fromText("", "pat@example.net"), "pat@example.net");
}

TEST(MailTexts, SenderNameRule) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "League Commissioner"},
        {"Enter Your Name Here", "League Commissioner"},
        {"ENTER YOUR NAME HERE", "League Commissioner"},
        {"  enter your name here ", "League Commissioner"},
        {"Pat Quill", "Pat Quill"},
    };
    for (const auto& [stored, sent] : cases) {
        EXPECT_EQ(senderNameToSend(stored), sent) << stored;
    }
}

TEST(MailTexts, PlausibleAddresses) {
    for (const char* good : {"pat@example.net", "a.b+c@mail.example.org", "x@localhost"}) {
        EXPECT_TRUE(isPlausibleAddress(good)) << good;
    }
    for (const char* bad : {"", "pat", "@example.net", "pat@", "pat@@example.net", "a@b@c",
                            "pat @example.net", "pat@exa mple.net", "pat@example.net\r\nBcc: x@y",
                            "<pat@example.net>", "pat,sam@example.net", "pat@.example.net",
                            "pat@example..net", "pat@example.net.", "\"pat\"@example.net"}) {
        EXPECT_FALSE(isPlausibleAddress(bad)) << bad;
    }
    EXPECT_FALSE(isValidSenderAddress(kSampleSenderAddress));
    EXPECT_FALSE(isValidSenderAddress("COMMISSIONER@example.org"));
    EXPECT_FALSE(isValidSenderAddress(""));
    EXPECT_TRUE(isValidSenderAddress("pat@example.net"));
}

TEST(MailFiles, DefaultZipNameIsTodaysInAttach) {
    std::tm day{};
    day.tm_year = 2004 - 1900;
    day.tm_mon = 11;
    day.tm_mday = 8;
    day.tm_hour = 12;
    day.tm_isdst = -1;
    EXPECT_EQ(defaultMailZip("/w", std::mktime(&day)), fs::path("/w/Attach/12_8_04.zip"));
    TempDir dir;
    EXPECT_TRUE(ensureMailAttachDirectory(dir.path()));
    EXPECT_TRUE(fs::is_directory(dir / "Attach"));
}

TEST(MailFiles, PickerListsPagesOutsideSupportAndTemplate) {
    TempDir dir;
    for (const char* file :
         {"Support/Help.htm", "template/home.htm", "L1/Week 1.HTM", "L1/a.txt",
          "Report Site Map.htm", "L1/Sub/Deep.Htm", "L1/page.html", "L1/Support/kept.htm"}) {
        fs::create_directories((dir / file).parent_path());
        writeText(dir / file, "x");
    }
    const std::vector<fs::path> expected{"L1/Sub/Deep.Htm", "L1/Support/kept.htm", "L1/Week 1.HTM",
                                         "Report Site Map.htm"};
    EXPECT_EQ(attachableReports(dir.path()), expected);
}

TEST(MailFiles, AttachmentListedOnce) {
    std::vector<fs::path> list;
    EXPECT_TRUE(addAttachment(list, "/w", "L1/Week 1.HTM"));
    EXPECT_FALSE(addAttachment(list, "/w", "L1/Week 1.HTM"));
    EXPECT_FALSE(addAttachment(list, "/w", "/w/L1/./Week 1.HTM"));
    EXPECT_TRUE(addAttachment(list, "/w", "/home/pat/notes.txt"));
    EXPECT_EQ(list, (std::vector<fs::path>{"L1/Week 1.HTM", "/home/pat/notes.txt"}));
}

class MailSeasonTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
        hawks_ = franchise("Hawks", "hawks@example.net");
        comets_ = franchise("Comets", "comets@example.net");
        giants_ = franchise("Giants", "");
        context().preferences().setText(kPrefSmtpServer, "mail.example.net");
        league().setText(kLeagueCommissioner, "Pat Quill");
        league().setText(kLeagueEmail, "pat@example.net");
    }

    int franchise(const std::string& name, const std::string& address) {
        const StructureResult created =
            createFranchise(context(), {StructureKind::League, kLeague}, name);
        EXPECT_TRUE(created.ok()) << created.message;
        team(created.id).setText(kOwnerEmail, address);
        return created.id;
    }

    Team& team(int id) { return *context().mapFactory().franchises().findFirst(kFranchiseId, id); }
    League& league() { return *context().mapFactory().leagues().findFirst(kLeagueId, kLeague); }

    MailCheck check(const MailRecipients& recipients) {
        return checkMail(context(), kLeague, recipients);
    }

    int hawks_ = 0;
    int comets_ = 0;
    int giants_ = 0;
};

TEST_F(MailSeasonTest, ChecksInOrder) {
    const MailRecipients some{{kMailTo, hawks_}};
    const MailCheck unknown = checkMail(context(), 999, some);
    EXPECT_EQ(unknown.outcome, MailCheck::Outcome::Refused);
    EXPECT_EQ(unknown.icon, MailIcon::Error);
    EXPECT_EQ(unknown.message, "CRITICAL - Unknown league");

    context().preferences().setText(kPrefSmtpServer, "");
    EXPECT_EQ(check({}).message,
              "A SMTP server must be defined before you can send an EMail.\n\nPlease press the "
              "EMail Options button in the upper right, enter your\nSMTP information, and verify "
              "that a connection is available.");
    context().preferences().setText(kPrefSmtpServer, "mail.example.net");
    EXPECT_EQ(check({}).message,
              "At least one recipient must be specified before the mail can be sent.");

    league().setText(kLeagueEmail, kSampleSenderAddress);
    const MailCheck sender = check(some);
    EXPECT_EQ(sender.outcome, MailCheck::Outcome::Refused);
    EXPECT_EQ(sender.icon, MailIcon::Information);
    EXPECT_EQ(sender.message,
              "The address of the person sending the mail is not valid.\n\nPlease press the EMail "
              "Options button in the upper right and enter a valid address.");
    league().setText(kLeagueEmail, "pat@example.net");
    EXPECT_EQ(check(some).outcome, MailCheck::Outcome::Ready);
}

TEST_F(MailSeasonTest, ImplausibleAddressIsRefusedNamingTheFranchise) {
    team(comets_).setText(kOwnerEmail, "comets at example");
    const MailCheck result = check({{kMailTo, hawks_}, {kMailCc, comets_}});
    EXPECT_EQ(result.outcome, MailCheck::Outcome::Refused);
    EXPECT_NE(result.message.find("Comets"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("comets at example"), std::string::npos) << result.message;
}

TEST_F(MailSeasonTest, RecipientsWithoutAddress) {
    EXPECT_EQ(check({{kMailTo, giants_}}).message,
              "None of the recipients have an EMail address.\n\nTo assign an address press the To "
              "button then and edit the Franchise information.");

    MailRecipients recipients{{kMailTo, hawks_}, {kMailTo, giants_}, {kMailCc, comets_}};
    const MailCheck some = check(recipients);
    EXPECT_EQ(some.outcome, MailCheck::Outcome::AskDropUnaddressed);
    EXPECT_EQ(some.message,
              "Some of the mail recipients do not have an EMail address.\n\nWould you like to "
              "send the mail to those with an address?");
    EXPECT_EQ(recipientsText(context(), recipients, kMailTo),
              "Hawks < hawks@example.net >, Giants < No EMail Address >");

    dropUnaddressedRecipients(context(), recipients);
    EXPECT_EQ(check(recipients).outcome, MailCheck::Outcome::Ready);
    EXPECT_EQ(recipientsText(context(), recipients, kMailTo), "Hawks < hawks@example.net >");
    EXPECT_EQ(recipientsText(context(), recipients, kMailCc), "Comets < comets@example.net >");
}

TEST_F(MailSeasonTest, FranchisesInNameOrderAndFromText) {
    EXPECT_EQ(leagueFranchiseIds(context(), kLeague), (std::vector<int>{comets_, giants_, hawks_}));
    EXPECT_EQ(leagueFromText(context(), kLeague), "Pat Quill < pat@example.net >");
    EXPECT_EQ(leagueFromText(context(), 999), "");
}

TEST_F(MailSeasonTest, ComposesTheDraft) {
    league().setText(kLeagueCommissioner, "ENTER YOUR NAME HERE");
    context().preferences().setText(kPrefBackupPassword, "secret");
    const MailRecipients recipients{
        {kMailTo, hawks_}, {kMailCc, comets_}, {kMailBcc, giants_}, {kMailBcc, hawks_}};
    const MailDraft draft = composeMail(context(), kLeague, recipients, "Week 1", "Hi\nall\r\n",
                                        {"L1/Week 1.HTM"}, "/w/Attach/1.zip");
    EXPECT_EQ(draft.host, "mail.example.net");
    EXPECT_EQ(draft.userId, "anonymous");
    EXPECT_EQ(draft.sender.address, "pat@example.net");
    EXPECT_EQ(draft.sender.name, "League Commissioner");
    ASSERT_EQ(draft.to.size(), 1u);
    EXPECT_EQ(draft.to[0].address, "hawks@example.net");
    EXPECT_EQ(draft.to[0].name, "Hawks");
    ASSERT_EQ(draft.cc.size(), 1u);
    EXPECT_EQ(draft.cc[0].franchise, comets_);
    // Giants have no address: left out.
    ASSERT_EQ(draft.bcc.size(), 1u);
    EXPECT_EQ(draft.bcc[0].franchise, hawks_);
    EXPECT_EQ(draft.subject, "Week 1");
    EXPECT_EQ(draft.body, "Hi\r\nall\r\n");
    EXPECT_EQ(draft.workdir, context().workdir());
    EXPECT_EQ(draft.zipName, fs::path("/w/Attach/1.zip"));
    EXPECT_EQ(draft.zipPassword, "secret");

    context().preferences().setText(kPrefMailLogin, "pat");
    EXPECT_EQ(composeMail(context(), kLeague, recipients, "", "", {}, {}).userId, "pat");
}

// Records what the run asks of the server and answers as told.
class FakeTransport : public MailTransport {
  public:
    void setListener(Listener listener) override { listener_ = std::move(listener); }
    bool connect(const std::string& host, const std::string& userId,
                 const std::string& sender) override {
        calls.push_back("connect " + host + " " + userId + " " + sender);
        connected_ = connects;
        emit(connects ? MailEventKind::Connected : MailEventKind::ConnectionFailed);
        return connects;
    }
    bool connected() const override { return connected_; }
    bool send(const MailDraft& draft, const std::vector<fs::path>& attachments) override {
        std::string call = "send " + draft.subject;
        for (const fs::path& file : attachments) {
            call += " [" + file.filename().string() + "]";
        }
        calls.push_back(call);
        for (const std::string& address : refuse) {
            emit(MailEventKind::RecipientRefused, address);
        }
        emit(sends ? MailEventKind::MailSent : MailEventKind::GeneralFailure);
        return sends;
    }
    void disconnect() override {
        calls.push_back("disconnect");
        connected_ = false;
        emit(MailEventKind::Disconnected);
    }
    bool packZip(const fs::path& zip, const std::vector<fs::path>& files,
                 const std::string& password, std::string& error) override {
        std::string call = "pack " + zip.filename().string() + " " + password;
        for (const fs::path& file : files) {
            call += " [" + file.filename().string() + "]";
        }
        calls.push_back(call);
        if (!packs) {
            error = "disk full";
            return false;
        }
        writeText(zip, "zip");
        return true;
    }

    std::vector<std::string> calls;
    bool connects = true;
    bool sends = true;
    bool packs = true;
    std::vector<std::string> refuse;

  private:
    void emit(MailEventKind kind, std::string text = {}) {
        if (listener_) {
            listener_({kind, std::move(text)});
        }
    }

    Listener listener_;
    bool connected_ = false;
};

class MailRunTest : public ::testing::Test {
  protected:
    MailRunTest() {
        draft_.host = "mail.example.net";
        draft_.userId = "anonymous";
        draft_.sender = {"pat@example.net", "Pat"};
        draft_.to = {{"hawks@example.net", "Hawks", 1}};
        draft_.cc = {{"comets@example.net", "Comets", 2}};
        draft_.subject = "Week 1";
        draft_.workdir = dir_.path();
        fs::create_directories(dir_ / "L1");
        writeText(dir_ / "L1/a.htm", "a");
        writeText(dir_ / "L1/b.htm", "b");
    }

    MailRun::Status run(MailAnswer answer = MailAnswer::Yes) {
        MailRun mailRun(draft_, transport_, [&] {
            ++questions_;
            return answer;
        });
        mailRun.runToEnd();
        log_ = mailRun.log();
        refused_ = mailRun.refused();
        missing_ = mailRun.missingAttachments();
        return mailRun.status();
    }

    TempDir dir_;
    MailDraft draft_;
    FakeTransport transport_;
    int questions_ = 0;
    std::vector<std::string> log_;
    std::vector<MailParty> refused_;
    std::vector<fs::path> missing_;
};

TEST_F(MailRunTest, StepsWithoutAttachments) {
    EXPECT_EQ(run(), MailRun::Status::Sent);
    EXPECT_EQ(transport_.calls,
              (std::vector<std::string>{"connect mail.example.net anonymous pat@example.net",
                                        "send Week 1", "disconnect"}));
    EXPECT_EQ(log_, (std::vector<std::string>{
                        "Connecting to SMTP server...", "    Connected to SMTP server", "",
                        "Sending mail...", "    Mail has been sent", "",
                        "Disconnecting from SMTP server...", "    Disconnected from SMTP server",
                        "", "Finished processing mail request."}));
}

TEST_F(MailRunTest, OneStepPerCallStartingWithNothing) {
    MailRun mailRun(draft_, transport_, {});
    mailRun.runStep();
    EXPECT_TRUE(mailRun.log().empty());
    EXPECT_TRUE(transport_.calls.empty());
    for (int step = 2; step <= 6; ++step) {
        EXPECT_FALSE(mailRun.done()) << step;
        mailRun.runStep();
    }
    EXPECT_TRUE(mailRun.done());
    EXPECT_EQ(mailRun.log().back(), "Finished processing mail request.");
}

TEST_F(MailRunTest, FailedConnectionFinishesWithoutSending) {
    transport_.connects = false;
    EXPECT_EQ(run(), MailRun::Status::NotSent);
    EXPECT_EQ(transport_.calls.size(), 1u);
    EXPECT_EQ(log_, (std::vector<std::string>{"Connecting to SMTP server...",
                                              "    Failed to connect to SMTP server", "",
                                              "Finished processing mail request."}));
}

TEST_F(MailRunTest, FailedSendIsNeverSuccess) {
    transport_.sends = false;
    EXPECT_EQ(run(), MailRun::Status::NotSent);
    EXPECT_EQ(transport_.calls.back(), "disconnect");
    EXPECT_EQ(log_[4], "    General failure (?\?\?)");
}

TEST_F(MailRunTest, RefusedRecipientIsNamed) {
    transport_.refuse = {"comets@example.net"};
    EXPECT_EQ(run(), MailRun::Status::Sent);
    ASSERT_EQ(refused_.size(), 1u);
    EXPECT_EQ(refused_[0].name, "Comets");
    EXPECT_EQ(log_[4], "    Recipient not found - comets@example.net");
    EXPECT_EQ(log_[5], "    Mail status: Comets did not receive the mail");
}

TEST_F(MailRunTest, AttachesEachFileAtSendingTime) {
    draft_.attachments = {"L1/a.htm", dir_ / "L1/b.htm", "L1/gone.htm"};
    EXPECT_EQ(run(), MailRun::Status::Sent);
    EXPECT_EQ(transport_.calls[1], "send Week 1 [a.htm] [b.htm]");
    EXPECT_EQ(missing_, (std::vector<fs::path>{"L1/gone.htm"}));
    const std::vector<std::string> attaching(log_.begin() + 2, log_.begin() + 9);
    EXPECT_EQ(attaching, (std::vector<std::string>{
                             "", "Attaching reports...", "    Attaching - L1/a.htm",
                             "    Attaching - " + (dir_ / "L1/b.htm").string(),
                             "    Attaching - L1/gone.htm", "    Mail attachment not found (?\?\?)",
                             "    Mail status: L1/gone.htm was not attached"}));
}

TEST_F(MailRunTest, NothingLeftToAttachIsNotSent) {
    draft_.attachments = {"L1/gone.htm"};
    EXPECT_EQ(run(), MailRun::Status::NotSent);
    EXPECT_EQ(transport_.calls.size(), 2u);
}

TEST_F(MailRunTest, PacksIntoTheZip) {
    draft_.attachments = {"L1/a.htm", "L1/b.htm"};
    draft_.zipName = dir_ / "Attach/1.zip";
    draft_.zipPassword = "secret";
    fs::create_directories(dir_ / "Attach");
    EXPECT_EQ(run(), MailRun::Status::Sent);
    EXPECT_EQ(questions_, 0);
    EXPECT_EQ(transport_.calls[1], "pack 1.zip secret [a.htm] [b.htm]");
    EXPECT_EQ(transport_.calls[2], "send Week 1 [1.zip]");
    for (const std::string& line : log_) {
        EXPECT_EQ(line.find("secret"), std::string::npos) << line;
    }
    const std::vector<std::string> attaching(log_.begin() + 3, log_.begin() + 6);
    EXPECT_EQ(attaching,
              (std::vector<std::string>{"Attaching reports...", "    Adding to ZIP - L1/a.htm",
                                        "    Adding to ZIP - L1/b.htm"}));
    EXPECT_EQ(log_[6], "    Attaching - " + (dir_ / "Attach/1.zip").string());
}

TEST_F(MailRunTest, ZipThatCannotBePackedIsNotSent) {
    draft_.attachments = {"L1/a.htm"};
    draft_.zipName = dir_ / "missing folder/1.zip";
    transport_.packs = false;
    EXPECT_EQ(run(), MailRun::Status::NotSent);
    EXPECT_EQ(transport_.calls.back(), "disconnect");
    EXPECT_EQ(transport_.calls.size(), 3u);
    EXPECT_EQ(log_[5], "    General failure (?\?\?)");
    EXPECT_EQ(log_[6], "    Mail status: disk full");
}

TEST_F(MailRunTest, ExistingZipAnswers) {
    const std::string connect = "connect mail.example.net anonymous pat@example.net";
    struct Case {
        MailAnswer answer;
        MailRun::Status status;
        std::vector<std::string> calls;
        std::string logged;
    };
    const Case cases[] = {
        {MailAnswer::Yes,
         MailRun::Status::Sent,
         {connect, "pack 1.zip  [a.htm]", "send Week 1 [1.zip]", "disconnect"},
         "    Deleting existing ZIP file"},
        {MailAnswer::No,
         MailRun::Status::Sent,
         {connect, "send Week 1 [a.htm]", "disconnect"},
         "    Attaching - L1/a.htm"},
        {MailAnswer::Cancel,
         MailRun::Status::Cancelled,
         {connect, "disconnect"},
         "    Request to cancel mail accepted"},
    };
    draft_.attachments = {"L1/a.htm"};
    draft_.zipName = dir_ / "1.zip";
    for (const Case& c : cases) {
        writeText(dir_ / "1.zip", "old");
        transport_.calls.clear();
        questions_ = 0;
        EXPECT_EQ(run(c.answer), c.status);
        EXPECT_EQ(questions_, 1);
        EXPECT_EQ(transport_.calls, c.calls);
        EXPECT_EQ(log_[4], c.logged);
        EXPECT_EQ(test::readText(dir_ / "1.zip"), c.answer == MailAnswer::Yes ? "zip" : "old");
    }
}

TEST_F(MailRunTest, CancelDisconnects) {
    MailRun mailRun(draft_, transport_, {});
    mailRun.runStep();
    mailRun.runStep();
    mailRun.cancel();
    EXPECT_TRUE(mailRun.done());
    EXPECT_EQ(mailRun.status(), MailRun::Status::Cancelled);
    EXPECT_EQ(transport_.calls.back(), "disconnect");
    mailRun.runStep();
    EXPECT_EQ(transport_.calls.size(), 2u);
}

}  // namespace
}  // namespace qff
