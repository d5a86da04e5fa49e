#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace qff::platform {

// How the connection reaches the server. The last three are gateway conventions some old
// firewalls use; they cannot be done here, and connect() fails saying so.
enum class FirewallType { none, socks4, socks5, httpConnect, userAtHost, site, open };

struct FtpSettings {
    std::string host;
    int port = 21;
    std::string user;
    std::string password;
    bool passive = true;
    FirewallType firewallType = FirewallType::none;
    std::string proxyHost;
    int proxyPort = 1080;
    std::string proxyUser;
    std::string proxyPassword;
    long connectTimeoutSeconds = 30;
    // A transfer or reply that makes no progress for this long is abandoned.
    long idleTimeoutSeconds = 60;
};

struct FtpItem {
    std::string name;
    std::uint64_t size = 0;
    bool isDirectory = false;
    // Absent when the server's listing does not give a full date and time.
    std::optional<std::chrono::sys_seconds> modified;
};

using FtpItemHandler = std::function<void(const FtpItem&)>;

// A synchronous FTP session. Every method records lastMethod(), lastResult() (0 on success,
// otherwise libcurl's error number; local refusals use the nearest one) and lastReply() (the
// server's last reply line, or a description of the failure when the server gave none), which
// callers show in their error messages. Remote paths are absolute or relative to currentDir().
class FtpClient {
  public:
    virtual ~FtpClient() = default;

    virtual bool connect(const FtpSettings& settings) = 0;
    virtual bool changeDir(const std::string& path) = 0;
    virtual std::string currentDir() = 0;
    // Calls onItem once per entry; names are bare file names, never paths.
    virtual bool list(const std::string& path, const FtpItemHandler& onItem) = 0;
    // The local file appears only once the whole file has arrived.
    virtual bool getFile(const std::string& remotePath, const std::filesystem::path& localPath) = 0;
    virtual bool createDir(const std::string& path) = 0;
    virtual bool deleteDir(const std::string& path) = 0;
    virtual void disconnect() = 0;

    virtual bool isConnected() const = 0;
    virtual int lastResult() const = 0;
    virtual const std::string& lastReply() const = 0;
    virtual const std::string& lastMethod() const = 0;
};

}  // namespace qff::platform
