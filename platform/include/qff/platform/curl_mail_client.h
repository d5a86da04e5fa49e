#pragma once

#include <memory>

#include "qff/platform/mail_client.h"

namespace qff::platform {

// SMTP over libcurl, with the message built as MIME: a plain-text part plus one part per
// attachment.
class CurlMailClient final : public MailClient {
  public:
    CurlMailClient();
    ~CurlMailClient() override;
    CurlMailClient(const CurlMailClient&) = delete;
    CurlMailClient& operator=(const CurlMailClient&) = delete;

    void setListener(MailListener listener) override;
    bool connect(const std::string& hostAndPort, const std::string& userId) override;
    bool send(const MailMessage& message) override;
    void disconnect() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qff::platform
