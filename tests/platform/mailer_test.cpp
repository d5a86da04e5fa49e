#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "qff/mailer/smtp_transport.h"

namespace qff::mailer {
namespace {

namespace fs = std::filesystem;

// Answers as told and reports what a real client would.
class FakeClient : public platform::MailClient {
  public:
    void setListener(platform::MailListener listener) override { listener_ = std::move(listener); }
    bool connect(const std::string& host, const std::string& userId) override {
        calls.push_back("connect " + host + " " + userId);
        if (!connects) {
            emit(platform::MailEventKind::failure, "cannot connect to " + host + ": refused");
            return false;
        }
        emit(platform::MailEventKind::connected, "connected");
        return true;
    }
    bool send(const platform::MailMessage& message) override {
        sent = message;
        emit(platform::MailEventKind::sending, "sending");
        for (const std::string& address : refuse) {
            listener_({platform::MailEventKind::recipientRefused, "550 no such user", address});
        }
        if (!sends) {
            emit(platform::MailEventKind::failure, "cannot send: 554 rejected");
            return false;
        }
        emit(platform::MailEventKind::sent, "sent");
        return true;
    }
    void disconnect() override {
        calls.push_back("disconnect");
        emit(platform::MailEventKind::disconnected, "disconnected");
    }

    std::vector<std::string> calls;
    platform::MailMessage sent;
    bool connects = true;
    bool sends = true;
    std::vector<std::string> refuse;

  private:
    void emit(platform::MailEventKind kind, std::string text) {
        if (listener_) {
            listener_({kind, std::move(text), {}});
        }
    }
    platform::MailListener listener_;
};

class FakeArchiver : public platform::Archiver {
  public:
    platform::ArchiveResult packTree(const fs::path&, const fs::path&, const std::vector<fs::path>&,
                                     std::string_view) override {
        return {false, "unused"};
    }
    platform::ArchiveResult packFlat(const fs::path& archive, const std::vector<fs::path>& files,
                                     std::string_view password) override {
        packed = {archive.string(), std::string(password), std::to_string(files.size())};
        return {ok, ok ? "" : "disk full"};
    }
    platform::ArchiveResult extractAll(const fs::path&, const fs::path&,
                                       std::string_view) override {
        return {false, "unused"};
    }

    std::vector<std::string> packed;
    bool ok = true;
};

class MailerTest : public ::testing::Test {
  protected:
    MailerTest() {
        auto client = std::make_unique<FakeClient>();
        auto archiver = std::make_unique<FakeArchiver>();
        client_ = client.get();
        archiver_ = archiver.get();
        transport_ = std::make_unique<SmtpMailTransport>(std::move(client), std::move(archiver));
        transport_->setListener(
            [this](const MailEvent& event) { lines_.push_back(mailEventLine(event)); });
        draft_.sender = {"pat@example.net", "Pat"};
        draft_.to = {{"hawks@example.net", "Hawks", 1}};
        draft_.bcc = {{"owls@example.net", "Owls", 2}};
        draft_.subject = "Week 1";
        draft_.body = "Hi\r\n";
    }

    FakeClient* client_ = nullptr;
    FakeArchiver* archiver_ = nullptr;
    std::unique_ptr<SmtpMailTransport> transport_;
    std::vector<std::string> lines_;
    MailDraft draft_;
};

TEST_F(MailerTest, ConnectsAsTheSender) {
    ASSERT_TRUE(transport_->connect("mail.example.net:2525", "anonymous", "pat@example.net"));
    EXPECT_TRUE(transport_->connected());
    EXPECT_EQ(client_->calls[0], "connect mail.example.net:2525 pat@example.net");
    transport_->disconnect();
    EXPECT_FALSE(transport_->connected());
    EXPECT_EQ(lines_, (std::vector<std::string>{"    Connected to SMTP server",
                                                "    Disconnected from SMTP server"}));
}

TEST_F(MailerTest, FailedConnectionIsReportedWithItsReason) {
    client_->connects = false;
    EXPECT_FALSE(transport_->connect("mail.example.net", "anonymous", "pat@example.net"));
    EXPECT_FALSE(transport_->connected());
    EXPECT_EQ(lines_, (std::vector<std::string>{
                          "    Failed to connect to SMTP server",
                          "    Mail status: cannot connect to mail.example.net: refused"}));
}

TEST_F(MailerTest, SendsTheDraftAsComposed) {
    ASSERT_TRUE(transport_->connect("h", "u", "pat@example.net"));
    ASSERT_TRUE(transport_->send(draft_, {"/w/Attach/1.zip"}));
    const platform::MailMessage& sent = client_->sent;
    EXPECT_EQ(sent.senderName, "Pat");
    ASSERT_EQ(sent.to.size(), 1u);
    EXPECT_EQ(sent.to[0].address, "hawks@example.net");
    EXPECT_EQ(sent.to[0].displayName, "Hawks");
    EXPECT_TRUE(sent.cc.empty());
    ASSERT_EQ(sent.bcc.size(), 1u);
    EXPECT_EQ(sent.subject, "Week 1");
    EXPECT_EQ(sent.body, "Hi\r\n");
    EXPECT_EQ(sent.attachments, (std::vector<fs::path>{"/w/Attach/1.zip"}));
    const std::vector<std::string> sending(lines_.begin() + 1, lines_.end());
    EXPECT_EQ(sending, (std::vector<std::string>{
                           "    Encoding attachment - 1.zip", "    Starting to send mail...",
                           "    Mail has been sent", "    Attachment is encoded - 1.zip"}));
}

TEST_F(MailerTest, RefusedRecipients) {
    ASSERT_TRUE(transport_->connect("h", "u", "pat@example.net"));
    client_->refuse = {"owls@example.net"};
    EXPECT_TRUE(transport_->send(draft_, {}));
    EXPECT_EQ(lines_[2], "    Recipient not found - owls@example.net");
    EXPECT_EQ(lines_[3], "    Mail status: 550 no such user");

    // Nobody left to receive it: not sent, even when the server took the data.
    client_->refuse = {"hawks@example.net", "owls@example.net"};
    EXPECT_FALSE(transport_->send(draft_, {}));
}

TEST_F(MailerTest, FailedSendIsAGeneralFailure) {
    ASSERT_TRUE(transport_->connect("h", "u", "pat@example.net"));
    client_->sends = false;
    EXPECT_FALSE(transport_->send(draft_, {}));
    EXPECT_EQ(lines_.back(), "    Mail status: cannot send: 554 rejected");
    EXPECT_EQ(lines_[lines_.size() - 2], "    General failure (?\?\?)");
}

TEST_F(MailerTest, PacksWithThePassword) {
    std::string error;
    EXPECT_TRUE(transport_->packZip("/w/1.zip", {"/w/a.htm", "/w/b.htm"}, "s3cret", error));
    EXPECT_EQ(archiver_->packed, (std::vector<std::string>{"/w/1.zip", "s3cret", "2"}));
    archiver_->ok = false;
    EXPECT_FALSE(transport_->packZip("/w/1.zip", {"/w/a.htm"}, "", error));
    EXPECT_EQ(error, "disk full");
}

}  // namespace
}  // namespace qff::mailer
