#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "qff/platform/curl_mail_client.h"
#include "tests/platform/test_support.h"

namespace qff::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::readFile;
using testing::runProgram;
using testing::sampleBytes;
using testing::serverPort;
using testing::serverStateDir;
using ::testing::StartsWith;
using testing::TempDir;
using ::testing::UnorderedElementsAre;
using testing::writeFile;

// Must match the address smtp_server.py refuses.
constexpr const char* kRefusedAddress = "refuse@example.org";
constexpr const char* kSender = "commissioner@quillmar.test";

struct ReceivedMessage {
    std::string content;
    std::vector<std::string> recipients;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

// Messages of all tests land in one directory, so each test marks its subject with its name.
std::optional<ReceivedMessage> findReceived(const std::string& marker) {
    for (const auto& entry : fs::directory_iterator(serverStateDir("smtp") / "mail")) {
        if (entry.path().extension() != ".eml") {
            continue;
        }
        std::string content = readFile(entry.path());
        if (content.find(marker) != std::string::npos) {
            fs::path recipients = entry.path();
            recipients.replace_extension(".rcpt");
            return ReceivedMessage{std::move(content), lines(readFile(recipients))};
        }
    }
    return std::nullopt;
}

std::vector<std::string> headerLines(const std::string& content) {
    std::vector<std::string> headers;
    for (std::string line : lines(content)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            break;
        }
        headers.push_back(line);
    }
    return headers;
}

bool hasHeader(const std::string& content, const std::string& name) {
    for (const std::string& line : headerLines(content)) {
        if (strncasecmp(line.c_str(), (name + ":").c_str(), name.size() + 1) == 0) {
            return true;
        }
    }
    return false;
}

class SmtpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        marker_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        client_.setListener([this](const MailEvent& event) { events_.push_back(event); });
        ASSERT_TRUE(client_.connect("127.0.0.1:" + std::to_string(serverPort("smtp")), kSender));
    }

    MailMessage message(const std::vector<MailAddress>& to) const {
        MailMessage message;
        message.senderName = "League Office";
        message.to = to;
        message.subject = "Standings " + marker_;
        message.body = "Week 3 standings are attached.\n" + marker_ + "\n";
        return message;
    }

    ReceivedMessage received() const {
        std::optional<ReceivedMessage> found = findReceived(marker_);
        EXPECT_TRUE(found) << "no message with '" << marker_ << "' was received";
        return found.value_or(ReceivedMessage{});
    }

    // Decodes the received message with an independent MIME parser.
    fs::path decoded(const ReceivedMessage& message) const {
        writeFile(work_ / "message.eml", message.content);
        const fs::path log = work_ / "decode.log";
        const int status = runProgram({"/usr/bin/python3", QFF_TEST_SOURCE_DIR "/decode_mail.py",
                                       (work_ / "message.eml").string(), (work_ / "out").string()},
                                      work_.path(), log);
        EXPECT_EQ(status, 0) << readFile(log);
        return work_ / "out";
    }

    std::string marker_;
    std::vector<MailEvent> events_;
    TempDir work_;
    CurlMailClient client_;
};

TEST_F(SmtpTest, BlindCopiesAreDeliveredButNeverNamed) {
    MailMessage mail = message({{"owner1@example.org", "Ann Owner"}});
    mail.cc = {{"owner2@example.org", ""}};
    mail.bcc = {{"auditor@example.org", "Quiet Auditor"}};

    ASSERT_TRUE(client_.send(mail));
    const ReceivedMessage got = received();
    EXPECT_THAT(got.recipients, UnorderedElementsAre("owner1@example.org", "owner2@example.org",
                                                     "auditor@example.org"));
    EXPECT_THAT(headerLines(got.content),
                ::testing::Contains("To: \"Ann Owner\" <owner1@example.org>"));
    EXPECT_THAT(headerLines(got.content), ::testing::Contains("Cc: owner2@example.org"));
    EXPECT_FALSE(hasHeader(got.content, "Bcc"));
    EXPECT_THAT(got.content, Not(HasSubstr("auditor")));
    EXPECT_THAT(headerLines(got.content),
                ::testing::Contains("From: \"League Office\" <commissioner@quillmar.test>"));
}

TEST_F(SmtpTest, AttachmentsArriveByteIdentical) {
    writeFile(work_ / "league.zip", sampleBytes(300'000, 11));
    writeFile(work_ / "notes.txt", "line one\r\n.\r\nline after a lone dot\n");
    MailMessage mail = message({{"owner1@example.org", ""}});
    mail.attachments = {work_ / "league.zip", work_ / "notes.txt"};

    ASSERT_TRUE(client_.send(mail));
    const fs::path out = decoded(received());
    EXPECT_EQ(readFile(out / "attachments/league.zip"), readFile(work_ / "league.zip"));
    EXPECT_EQ(readFile(out / "attachments/notes.txt"), readFile(work_ / "notes.txt"));
}

TEST_F(SmtpTest, RefusedRecipientIsReportedWhileOthersReceive) {
    MailMessage mail = message({{"owner1@example.org", ""}, {kRefusedAddress, "Gone Owner"}});
    mail.cc = {{"owner2@example.org", ""}};

    ASSERT_TRUE(client_.send(mail));
    EXPECT_THAT(received().recipients,
                UnorderedElementsAre("owner1@example.org", "owner2@example.org"));
    EXPECT_THAT(events_,
                ::testing::Contains(AllOf(Field(&MailEvent::kind, MailEventKind::recipientRefused),
                                          Field(&MailEvent::address, kRefusedAddress),
                                          Field(&MailEvent::text, StartsWith("550")))));
}

TEST_F(SmtpTest, OnlyRefusedRecipientsIsAFailure) {
    ASSERT_FALSE(client_.send(message({{kRefusedAddress, ""}})));
    EXPECT_EQ(events_.back().kind, MailEventKind::failure);
    EXPECT_FALSE(findReceived(marker_));
}

TEST_F(SmtpTest, LineBreaksCannotInjectHeaders) {
    MailMessage mail = message({{"owner1@example.org", "Ann\r\nBcc: injected@example.org"}});
    mail.subject += "\r\nBcc: injected@example.org";
    mail.senderName = "Office\nX-Injected: yes";

    ASSERT_TRUE(client_.send(mail));
    const ReceivedMessage got = received();
    EXPECT_FALSE(hasHeader(got.content, "Bcc"));
    EXPECT_FALSE(hasHeader(got.content, "X-Injected"));
    EXPECT_THAT(got.recipients, ElementsAre("owner1@example.org"));
}

TEST_F(SmtpTest, NonAsciiSubjectAndNamesAreEncoded) {
    MailMessage mail = message({{"owner1@example.org", "Jörg Müller"}});
    mail.subject =
        "Tabelle für Woche 3 – Übersicht mit sehr langem Titel, der umbrochen wird " + marker_;

    ASSERT_TRUE(client_.send(mail));
    const ReceivedMessage got = received();
    for (const std::string& line : headerLines(got.content)) {
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x80; }))
            << line;
    }
    const fs::path out = decoded(got);
    EXPECT_EQ(readFile(out / "subject.txt"), mail.subject);
    EXPECT_EQ(readFile(out / "to.txt"), "Jörg Müller <owner1@example.org>");
}

TEST_F(SmtpTest, EachStepIsReported) {
    ASSERT_TRUE(client_.send(message({{"owner1@example.org", ""}})));
    client_.disconnect();

    std::vector<MailEventKind> kinds;
    for (const MailEvent& event : events_) {
        kinds.push_back(event.kind);
    }
    EXPECT_THAT(kinds, ElementsAre(MailEventKind::connected, MailEventKind::sending,
                                   MailEventKind::sent, MailEventKind::disconnected));
}

TEST_F(SmtpTest, MissingAttachmentFailsBeforeSending) {
    MailMessage mail = message({{"owner1@example.org", ""}});
    mail.attachments = {work_ / "not-there.zip"};

    EXPECT_FALSE(client_.send(mail));
    EXPECT_EQ(events_.back().kind, MailEventKind::failure);
    EXPECT_THAT(events_.back().text, HasSubstr("not-there.zip"));
    EXPECT_FALSE(findReceived(marker_));
}

TEST(SmtpOfflineTest, ConnectionTestToClosedPortReportsFailure) {
    const testing::RefusingPort closed;
    std::vector<MailEvent> events;
    CurlMailClient client;
    client.setListener([&](const MailEvent& event) { events.push_back(event); });

    EXPECT_FALSE(client.connect("127.0.0.1:" + std::to_string(closed.port()), kSender));
    EXPECT_FALSE(client.send({}));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, MailEventKind::failure);
    EXPECT_THAT(events[0].text, HasSubstr(std::to_string(closed.port())));
    EXPECT_THAT(events[1].text, HasSubstr("not connected"));
}

TEST(SmtpOfflineTest, MalformedHostIsRefused) {
    CurlMailClient client;
    for (const char* host : {"", "mail.example.org:", "mail.example.org:99999", "a:b"}) {
        std::vector<MailEvent> events;
        client.setListener([&](const MailEvent& event) { events.push_back(event); });
        EXPECT_FALSE(client.connect(host, kSender)) << host;
        ASSERT_EQ(events.size(), 1u);
        EXPECT_THAT(events[0].text, HasSubstr("is not a host"));
    }
}

}  // namespace
}  // namespace qff::platform
