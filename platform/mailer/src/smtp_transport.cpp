#include "qff/mailer/smtp_transport.h"

#include <utility>

#include "qff/platform/curl_mail_client.h"
#include "qff/platform/zip_archiver.h"

namespace qff::mailer {

namespace fs = std::filesystem;

namespace {

std::vector<platform::MailAddress> mailboxes(const std::vector<MailParty>& parties) {
    std::vector<platform::MailAddress> result;
    for (const MailParty& party : parties) {
        result.push_back({party.address, party.name});
    }
    return result;
}

platform::MailMessage messageOf(const MailDraft& draft, const std::vector<fs::path>& attachments) {
    platform::MailMessage message;
    message.senderName = draft.sender.name;
    message.to = mailboxes(draft.to);
    message.cc = mailboxes(draft.cc);
    message.bcc = mailboxes(draft.bcc);
    message.subject = draft.subject;
    message.body = draft.body;
    message.attachments = attachments;
    return message;
}

std::size_t recipientCount(const MailDraft& draft) {
    return draft.to.size() + draft.cc.size() + draft.bcc.size();
}

}  // namespace

SmtpMailTransport::SmtpMailTransport()
    : SmtpMailTransport(std::make_unique<platform::CurlMailClient>(),
                        std::make_unique<platform::ZipArchiver>()) {}

SmtpMailTransport::SmtpMailTransport(std::unique_ptr<platform::MailClient> client,
                                     std::unique_ptr<platform::Archiver> archiver)
    : client_(std::move(client)), archiver_(std::move(archiver)) {
    client_->setListener([this](const platform::MailEvent& event) { onClientEvent(event); });
}

SmtpMailTransport::~SmtpMailTransport() {
    client_->setListener({});
}

void SmtpMailTransport::setListener(Listener listener) {
    listener_ = std::move(listener);
}

// The server is reached without logging on: the client names the sender in the envelope, and
// the user id has no part in it.
bool SmtpMailTransport::connect(const std::string& host, const std::string&,
                                const std::string& senderAddress) {
    connecting_ = true;
    connected_ = client_->connect(host, senderAddress);
    connecting_ = false;
    return connected_;
}

bool SmtpMailTransport::connected() const {
    return connected_;
}

bool SmtpMailTransport::send(const MailDraft& draft, const std::vector<fs::path>& attachments) {
    refusedCount_ = 0;
    for (const fs::path& attachment : attachments) {
        report(MailEventKind::AttachmentEncoding, attachment.filename().string());
    }
    const bool sent = client_->send(messageOf(draft, attachments));
    if (sent) {
        for (const fs::path& attachment : attachments) {
            report(MailEventKind::AttachmentEncoded, attachment.filename().string());
        }
    }
    return sent && static_cast<std::size_t>(refusedCount_) < recipientCount(draft);
}

void SmtpMailTransport::disconnect() {
    client_->disconnect();
    connected_ = false;
}

bool SmtpMailTransport::packZip(const fs::path& zip, const std::vector<fs::path>& files,
                                const std::string& password, std::string& error) {
    const platform::ArchiveResult result = archiver_->packFlat(zip, files, password);
    if (!result.ok) {
        error = result.message;
    }
    return result.ok;
}

void SmtpMailTransport::report(MailEventKind kind, std::string text) {
    if (listener_) {
        listener_({kind, std::move(text)});
    }
}

void SmtpMailTransport::onClientEvent(const platform::MailEvent& event) {
    switch (event.kind) {
        case platform::MailEventKind::connected:
            report(MailEventKind::Connected);
            break;
        case platform::MailEventKind::sending:
            report(MailEventKind::SendingStarted);
            break;
        case platform::MailEventKind::sent:
            report(MailEventKind::MailSent);
            break;
        case platform::MailEventKind::recipientRefused:
            ++refusedCount_;
            report(MailEventKind::RecipientRefused, event.address);
            report(MailEventKind::StatusText, event.text);
            break;
        case platform::MailEventKind::failure:
            report(connecting_ ? MailEventKind::ConnectionFailed : MailEventKind::GeneralFailure);
            report(MailEventKind::StatusText, event.text);
            break;
        case platform::MailEventKind::disconnected:
            report(MailEventKind::Disconnected);
            break;
    }
}

}  // namespace qff::mailer
