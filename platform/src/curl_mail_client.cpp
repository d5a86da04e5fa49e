#include "qff/platform/curl_mail_client.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "curl_session.h"
#include "qff/platform/mail_headers.h"

namespace qff::platform {

namespace {

constexpr long kConnectTimeoutSeconds = 30;
constexpr long kReplyTimeoutSeconds = 60;
constexpr int kDefaultSmtpPort = 25;

struct Endpoint {
    std::string host;
    int port = kDefaultSmtpPort;
};

std::optional<int> parsePort(std::string_view text) {
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc{} || end != text.data() + text.size() || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

// "host", "host:port", "[v6]" or "[v6]:port"; a bare IPv6 address has no port.
std::optional<Endpoint> parseEndpoint(std::string_view text) {
    const std::size_t colons = static_cast<std::size_t>(std::count(text.begin(), text.end(), ':'));
    std::size_t portSeparator = std::string_view::npos;
    if (text.starts_with('[')) {
        portSeparator = text.find(':', text.find(']'));
    } else if (colons == 1) {
        portSeparator = text.find(':');
    } else if (colons > 1) {
        return Endpoint{std::string("[").append(text).append("]")};
    }
    Endpoint endpoint{std::string(text.substr(0, portSeparator))};
    if (portSeparator != std::string_view::npos) {
        const std::optional<int> port = parsePort(text.substr(portSeparator + 1));
        if (!port) {
            return std::nullopt;
        }
        endpoint.port = *port;
    }
    if (endpoint.host.empty() || endpoint.host != withoutControlCharacters(endpoint.host)) {
        return std::nullopt;
    }
    return endpoint;
}

std::string joinMailboxes(const std::vector<MailAddress>& mailboxes) {
    std::string joined;
    for (const MailAddress& mailbox : mailboxes) {
        joined += (joined.empty() ? "" : ", ") + formatMailbox(mailbox);
    }
    return joined;
}

// The reply to a command is its last line, the one with a blank after the code.
std::optional<int> finalReplyCode(std::string_view line) {
    if (line.size() < 3 || (line.size() > 3 && line[3] != ' ')) {
        return std::nullopt;
    }
    int code = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + 3, code);
    if (error != std::errc{} || end != line.data() + 3) {
        return std::nullopt;
    }
    return code;
}

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistFree>;

struct MimeFree {
    void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};
using Mime = std::unique_ptr<curl_mime, MimeFree>;

void append(Slist& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (grown != nullptr) {
        list.release();
        list.reset(grown);
    }
}

}  // namespace

struct CurlMailClient::Impl {
    CurlSession session;
    MailListener listener;
    bool connected = false;
    std::string sender;
    std::string pendingRecipient;

    Impl() { watchRecipients(); }

    void emit(MailEventKind kind, std::string text, std::string address = {}) const {
        if (listener) {
            listener({kind, std::move(text), std::move(address)});
        }
    }

    bool fail(std::string text) const {
        emit(MailEventKind::failure, std::move(text));
        return false;
    }

    std::string describeFailure(CURLcode code) const {
        if (session.responseCode() >= 400 && !session.lastReplyLine().empty()) {
            return session.lastReplyLine();
        }
        return session.describe(code);
    }

    // libcurl keeps going past a refused RCPT but does not say which one it was; pairing each
    // RCPT command with its reply does.
    void watchRecipients() {
        session.setLineObserver([this](std::string_view line, bool outgoing) {
            if (outgoing) {
                pendingRecipient.clear();
                if (line.starts_with("RCPT TO:<")) {
                    pendingRecipient = line.substr(9, line.find('>') - 9);
                }
                return;
            }
            const std::optional<int> code = finalReplyCode(line);
            if (!pendingRecipient.empty() && code) {
                if (*code >= 400) {
                    emit(MailEventKind::recipientRefused, std::string(line), pendingRecipient);
                }
                pendingRecipient.clear();
            }
        });
    }

    void applyConnectionSettings(const Endpoint& endpoint) {
        CURL* handle = session.handle();
        const std::string url = "smtp://" + endpoint.host + ":" + std::to_string(endpoint.port);
        curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
        curl_easy_setopt(handle, CURLOPT_PROXY, "");
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, kReplyTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kReplyTimeoutSeconds);
    }

    Slist headersFor(const MailMessage& message) const {
        Slist headers;
        append(headers, "Date: " + formatMailDate(std::chrono::system_clock::now()));
        append(headers, "From: " + formatMailbox({sender, message.senderName}));
        append(headers, "To: " + (message.to.empty() ? std::string("undisclosed-recipients:;")
                                                     : joinMailboxes(message.to)));
        if (!message.cc.empty()) {
            append(headers, "Cc: " + joinMailboxes(message.cc));
        }
        append(headers, "Subject: " + encodeHeaderText(message.subject));
        return headers;
    }

    static Slist envelopeRecipients(const MailMessage& message) {
        Slist recipients;
        for (const auto* group : {&message.to, &message.cc, &message.bcc}) {
            for (const MailAddress& mailbox : *group) {
                append(recipients,
                       std::string("<").append(cleanAddress(mailbox.address)).append(">"));
            }
        }
        return recipients;
    }

    Mime mimeFor(const MailMessage& message) const {
        Mime mime(curl_mime_init(session.handle()));
        curl_mimepart* text = curl_mime_addpart(mime.get());
        curl_mime_data(text, message.body.data(), message.body.size());
        curl_mime_type(text, "text/plain; charset=UTF-8");
        curl_mime_encoder(text, "quoted-printable");
        for (const std::filesystem::path& attachment : message.attachments) {
            curl_mimepart* part = curl_mime_addpart(mime.get());
            curl_mime_filedata(part, attachment.c_str());
            curl_mime_filename(part,
                               withoutControlCharacters(attachment.filename().string()).c_str());
            curl_mime_type(part, "application/octet-stream");
            curl_mime_encoder(part, "base64");
        }
        return mime;
    }

    std::optional<std::string> missingAttachment(const MailMessage& message) const {
        for (const std::filesystem::path& attachment : message.attachments) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(attachment, ec)) {
                return "cannot attach '" + attachment.string() + "': not an existing file";
            }
        }
        return std::nullopt;
    }

    CURLcode transmit(const MailMessage& message) {
        CURL* handle = session.handle();
        Slist headers = headersFor(message);
        Slist recipients = envelopeRecipients(message);
        Mime mime = mimeFor(message);
        const std::string from = "<" + sender + ">";
        curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, nullptr);
        curl_easy_setopt(handle, CURLOPT_MAIL_FROM, from.c_str());
        curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, recipients.get());
        // Spelled with three Ls in libcurl 7.88; newer versions keep this name as an alias.
        curl_easy_setopt(handle, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(handle, CURLOPT_MIMEPOST, mime.get());
        const CURLcode code = session.perform();
        curl_easy_setopt(handle, CURLOPT_MIMEPOST, nullptr);
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, nullptr);
        curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, nullptr);
        return code;
    }
};

CurlMailClient::CurlMailClient() : impl_(std::make_unique<Impl>()) {}

CurlMailClient::~CurlMailClient() = default;

void CurlMailClient::setListener(MailListener listener) {
    impl_->listener = std::move(listener);
}

bool CurlMailClient::connect(const std::string& hostAndPort, const std::string& userId) {
    Impl& d = *impl_;
    d.session.restart();
    d.connected = false;
    const std::optional<Endpoint> endpoint = parseEndpoint(hostAndPort);
    if (!endpoint) {
        return d.fail("cannot connect: '" + withoutControlCharacters(hostAndPort) +
                      "' is not a host or host:port");
    }
    d.sender = cleanAddress(userId);
    if (d.sender.empty()) {
        return d.fail("cannot connect: no sender address given");
    }
    d.applyConnectionSettings(*endpoint);
    // NOOP makes libcurl connect, greet and wait for the answer without sending mail.
    curl_easy_setopt(d.session.handle(), CURLOPT_CUSTOMREQUEST, "NOOP");
    const CURLcode code = d.session.perform();
    if (code != CURLE_OK) {
        return d.fail("cannot connect to " + hostAndPort + ": " + d.describeFailure(code));
    }
    d.connected = true;
    d.emit(MailEventKind::connected, "connected to " + hostAndPort);
    return true;
}

bool CurlMailClient::send(const MailMessage& message) {
    Impl& d = *impl_;
    if (!d.connected) {
        return d.fail("cannot send: not connected");
    }
    if (std::optional<std::string> missing = d.missingAttachment(message)) {
        return d.fail(*missing);
    }
    d.emit(MailEventKind::sending, "sending '" + withoutControlCharacters(message.subject) + "'");
    const CURLcode code = d.transmit(message);
    if (code != CURLE_OK) {
        return d.fail("cannot send '" + withoutControlCharacters(message.subject) +
                      "': " + d.describeFailure(code));
    }
    d.emit(MailEventKind::sent, "sent '" + withoutControlCharacters(message.subject) + "'");
    return true;
}

void CurlMailClient::disconnect() {
    Impl& d = *impl_;
    if (!d.connected) {
        return;
    }
    d.session.restart();
    d.connected = false;
    d.emit(MailEventKind::disconnected, "disconnected");
}

}  // namespace qff::platform
