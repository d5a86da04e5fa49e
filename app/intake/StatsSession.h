#pragma once

#include <QString>
#include <filesystem>
#include <memory>
#include <string_view>

#include "data02/intake/StatsServer.h"
#include "qff/platform/ftp_client.h"

// A logon to the statistics server's download folder with the settings
// stored in the working directory, shared by the statistics window and the
// roster update. The logon blocks behind the busy cursor; the session ends
// with the object.
class StatsSession {
  public:
    // Without a client the platform's FTP client is used.
    explicit StatsSession(std::unique_ptr<qff::platform::FtpClient> client = nullptr);
    ~StatsSession();
    StatsSession(const StatsSession&) = delete;
    StatsSession& operator=(const StatsSession&) = delete;

    // Reads the settings, connects and enters the download folder. True on
    // success; otherwise problem() says why, with `noConnection` standing for
    // a server that cannot be reached.
    bool open(const std::filesystem::path& workdir, std::string_view noConnection);
    bool isOpen() const { return open_; }
    // Whether the stored settings differ from those the last open() read.
    bool settingsChanged(const std::filesystem::path& workdir) const;
    // Whether the server answered, even when its download folder did not.
    bool reachedServer() const { return ftp_->isConnected(); }
    const QString& problem() const { return problem_; }
    // What helps the commissioner put the problem right: the server's reply
    // or where the server is named.
    const QString& problemDetail() const { return detail_; }

    qff::platform::FtpClient& ftp() { return *ftp_; }
    const qff::StatsServerSettings& settings() const { return settings_; }

  private:
    bool fail(const QString& problem, const QString& detail);

    std::unique_ptr<qff::platform::FtpClient> ftp_;
    qff::StatsServerSettings settings_;
    QString problem_;
    QString detail_;
    bool settingsRead_ = false;
    bool open_ = false;
};
