#include <algorithm>
#include <system_error>
#include <utility>

#include "data02/publish/Mail.h"

namespace qff {

namespace fs = std::filesystem;

namespace {

constexpr const char* kIndent = "    ";

enum Step { kWaitStep = 1, kConnectStep, kAttachStep, kSendStep, kDisconnectStep, kFinishStep };

std::string eventText(const MailEvent& event) {
    switch (event.kind) {
        case MailEventKind::Connected:
            return "Connected to SMTP server";
        case MailEventKind::ConnectionFailed:
            return "Failed to connect to SMTP server";
        case MailEventKind::Disconnected:
            return "Disconnected from SMTP server";
        case MailEventKind::GeneralFailure:
            return "General failure (?\?\?)";
        case MailEventKind::HeaderIncomplete:
            return "Ooops! Mail header is incomplete";
        case MailEventKind::HostResolved:
            return "Mail host has been resolved";
        case MailEventKind::PacketSent:
            return "Mail packet sent...";
        case MailEventKind::SendingStarted:
            return "Starting to send mail...";
        case MailEventKind::MailSent:
            return "Mail has been sent";
        case MailEventKind::StatusText:
            return "Mail status: " + event.text;
        case MailEventKind::RecipientRefused:
            return "Recipient not found - " + event.text;
        case MailEventKind::AuthenticationFailed:
            return "Failed due to missing or invalid UserId";
        case MailEventKind::InvalidHost:
            return "Failed due to invalid SMTP server";
        case MailEventKind::AttachmentEncoding:
            return "Encoding attachment - " + event.text;
        case MailEventKind::AttachmentEncoded:
            return "Attachment is encoded - " + event.text;
        case MailEventKind::ListReply:
            return "Mail list return - " + event.text;
        case MailEventKind::AttachmentMissing:
            return "Mail attachment not found (?\?\?)";
    }
    return {};
}

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

}  // namespace

std::string mailEventLine(const MailEvent& event) {
    return kIndent + eventText(event);
}

MailRun::MailRun(MailDraft draft, MailTransport& transport, ZipExistsQuestion askZipExists)
    : draft_(std::move(draft)), transport_(transport), askZipExists_(std::move(askZipExists)) {
    transport_.setListener([this](const MailEvent& event) { onEvent(event); });
}

// The server is never left connected, whatever the window did.
MailRun::~MailRun() {
    transport_.setListener({});
    if (transport_.connected()) {
        transport_.disconnect();
    }
}

void MailRun::setLogListener(std::function<void(const std::string&)> listener) {
    logListener_ = std::move(listener);
}

void MailRun::runStep() {
    switch (step_) {
        case kWaitStep:
            step_ = kConnectStep;
            break;
        case kConnectStep:
            connectStep();
            break;
        case kAttachStep:
            attachStep();
            break;
        case kSendStep:
            sendStep();
            break;
        case kDisconnectStep:
            disconnectStep();
            break;
        case kFinishStep:
            finish();
            break;
        default:
            break;
    }
}

void MailRun::runToEnd() {
    while (!done()) {
        runStep();
    }
}

void MailRun::cancel() {
    if (transport_.connected()) {
        transport_.disconnect();
    }
    if (done()) {
        return;
    }
    cancelled_ = true;
    status_ = Status::Cancelled;
    step_ = kFinishStep + 1;
}

void MailRun::line(std::string text) {
    log_.push_back(std::move(text));
    if (logListener_) {
        logListener_(log_.back());
    }
}

void MailRun::onEvent(const MailEvent& event) {
    line(mailEventLine(event));
    if (event.kind != MailEventKind::RecipientRefused) {
        return;
    }
    for (const auto* group : {&draft_.to, &draft_.cc, &draft_.bcc}) {
        for (const MailParty& party : *group) {
            if (party.address == event.text) {
                refused_.push_back(party);
                line(kIndent + std::string("Mail status: ") + party.name +
                     " did not receive the mail");
                return;
            }
        }
    }
}

void MailRun::connectStep() {
    line("Connecting to SMTP server...");
    const bool connected = transport_.connect(draft_.host, draft_.userId, draft_.sender.address);
    step_ = connected ? kAttachStep : kFinishStep;
}

void MailRun::attachStep() {
    if (!transport_.connected()) {
        step_ = kFinishStep;
        return;
    }
    step_ = kSendStep;
    if (draft_.attachments.empty()) {
        return;
    }
    line("");
    line("Attaching reports...");
    if (!decideOnExistingZip()) {
        line(kIndent + std::string("Request to cancel mail accepted"));
        cancelled_ = true;
        step_ = kFinishStep;
        return;
    }
    if (draft_.zipName.empty()) {
        attachSeparately();
    } else {
        attachZipped();
    }
}

// False when the user would rather not send at all.
bool MailRun::decideOnExistingZip() {
    if (draft_.zipName.empty() || !fs::exists(draft_.zipName)) {
        return true;
    }
    switch (askZipExists_ ? askZipExists_() : MailAnswer::Cancel) {
        case MailAnswer::Yes: {
            line(kIndent + std::string("Deleting existing ZIP file"));
            std::error_code ec;
            fs::remove(draft_.zipName, ec);
            return true;
        }
        case MailAnswer::No:
            draft_.zipName.clear();
            return true;
        case MailAnswer::Cancel:
            break;
    }
    return false;
}

fs::path MailRun::resolved(const fs::path& entry) const {
    return entry.is_absolute() ? entry : draft_.workdir / entry;
}

void MailRun::attachSeparately() {
    for (const fs::path& entry : draft_.attachments) {
        line(kIndent + std::string("Attaching - ") + entry.string());
        if (isFile(resolved(entry))) {
            toAttach_.push_back(resolved(entry));
        } else {
            missing_.push_back(entry);
            onEvent({MailEventKind::AttachmentMissing, entry.string()});
            line(kIndent + std::string("Mail status: ") + entry.string() + " was not attached");
        }
    }
}

void MailRun::attachZipped() {
    std::vector<fs::path> packed;
    for (const fs::path& entry : draft_.attachments) {
        line(kIndent + std::string("Adding to ZIP - ") + entry.string());
        if (isFile(resolved(entry))) {
            packed.push_back(resolved(entry));
        } else {
            missing_.push_back(entry);
            onEvent({MailEventKind::AttachmentMissing, entry.string()});
            line(kIndent + std::string("Mail status: ") + entry.string() + " was not added");
        }
    }
    if (packed.empty()) {
        return;
    }
    std::string error;
    if (!transport_.packZip(draft_.zipName, packed, draft_.zipPassword, error)) {
        onEvent({MailEventKind::GeneralFailure, error});
        onEvent({MailEventKind::StatusText, error});
        return;
    }
    line(kIndent + std::string("Attaching - ") + draft_.zipName.string());
    toAttach_.push_back(draft_.zipName);
    zipped_ = true;
}

void MailRun::sendStep() {
    step_ = kDisconnectStep;
    if (!transport_.connected()) {
        return;
    }
    line("");
    line("Sending mail...");
    const bool nothingLeftToAttach = !draft_.attachments.empty() && toAttach_.empty();
    if (nothingLeftToAttach) {
        onEvent({MailEventKind::StatusText, "nothing left to attach; the mail was not sent"});
        return;
    }
    sent_ = transport_.send(draft_, toAttach_);
}

void MailRun::disconnectStep() {
    step_ = kFinishStep;
    if (!transport_.connected()) {
        return;
    }
    line("");
    line("Disconnecting from SMTP server...");
    transport_.disconnect();
}

void MailRun::finish() {
    line("");
    line("Finished processing mail request.");
    step_ = kFinishStep + 1;
    if (cancelled_) {
        status_ = Status::Cancelled;
    } else {
        status_ = sent_ ? Status::Sent : Status::NotSent;
    }
}

}  // namespace qff
