#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data02/publish/Mail.h"
#include "qff/platform/archiver.h"
#include "qff/platform/mail_client.h"

namespace qff::mailer {

// The mail server and archive behind a sending: the platform's SMTP client and
// ZIP archiver, with the client's reports turned into the events the sending
// log shows. Nothing here talks to the user.
class SmtpMailTransport final : public MailTransport {
  public:
    // Over the curl SMTP client and the in-process ZIP archiver.
    SmtpMailTransport();
    SmtpMailTransport(std::unique_ptr<platform::MailClient> client,
                      std::unique_ptr<platform::Archiver> archiver);
    ~SmtpMailTransport() override;
    SmtpMailTransport(const SmtpMailTransport&) = delete;
    SmtpMailTransport& operator=(const SmtpMailTransport&) = delete;

    void setListener(Listener listener) override;
    bool connect(const std::string& host, const std::string& userId,
                 const std::string& senderAddress) override;
    bool connected() const override;
    bool send(const MailDraft& draft,
              const std::vector<std::filesystem::path>& attachments) override;
    void disconnect() override;
    bool packZip(const std::filesystem::path& zip, const std::vector<std::filesystem::path>& files,
                 const std::string& password, std::string& error) override;

  private:
    void onClientEvent(const platform::MailEvent& event);
    void report(MailEventKind kind, std::string text = {});

    std::unique_ptr<platform::MailClient> client_;
    std::unique_ptr<platform::Archiver> archiver_;
    Listener listener_;
    bool connected_ = false;
    bool connecting_ = false;
    int refusedCount_ = 0;
};

}  // namespace qff::mailer
