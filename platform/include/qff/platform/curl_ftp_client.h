#pragma once

#include <memory>

#include "qff/platform/ftp_client.h"

namespace qff::platform {

// FTP over libcurl. One handle is kept from connect() to disconnect() so that the login is
// reused; paths with line breaks never reach the server.
class CurlFtpClient final : public FtpClient {
  public:
    CurlFtpClient();
    ~CurlFtpClient() override;
    CurlFtpClient(const CurlFtpClient&) = delete;
    CurlFtpClient& operator=(const CurlFtpClient&) = delete;

    bool connect(const FtpSettings& settings) override;
    bool changeDir(const std::string& path) override;
    std::string currentDir() override;
    bool list(const std::string& path, const FtpItemHandler& onItem) override;
    bool getFile(const std::string& remotePath, const std::filesystem::path& localPath) override;
    bool createDir(const std::string& path) override;
    bool deleteDir(const std::string& path) override;
    void disconnect() override;

    bool isConnected() const override;
    int lastResult() const override;
    const std::string& lastReply() const override;
    const std::string& lastMethod() const override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qff::platform
