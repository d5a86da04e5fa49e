#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qff::platform {

struct MailAddress {
    std::string address;
    std::string displayName;
};

struct MailMessage {
    std::string senderName;
    std::vector<MailAddress> to;
    std::vector<MailAddress> cc;
    // Delivered to, but never named in the headers.
    std::vector<MailAddress> bcc;
    std::string subject;
    std::string body;
    std::vector<std::filesystem::path> attachments;
};

enum class MailEventKind { connected, sending, sent, recipientRefused, failure, disconnected };

struct MailEvent {
    MailEventKind kind;
    std::string text;
    // The refused address, for recipientRefused only.
    std::string address;
};

using MailListener = std::function<void(const MailEvent&)>;

// Sends mail through one server. Every step and every failure is also reported to the
// listener, so a page can show progress; the options dialog's connection test is connect()
// followed by disconnect().
class MailClient {
  public:
    virtual ~MailClient() = default;

    virtual void setListener(MailListener listener) = 0;
    // hostAndPort is "host" (port 25) or "host:port"; the user id is the sender's address.
    virtual bool connect(const std::string& hostAndPort, const std::string& userId) = 0;
    // A refused recipient is reported while the others still receive the message.
    virtual bool send(const MailMessage& message) = 0;
    virtual void disconnect() = 0;
};

}  // namespace qff::platform
