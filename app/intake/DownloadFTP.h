#pragma once

#include <QDialog>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "qff/platform/zip_archiver.h"

class QTreeWidgetItem;

namespace qff {
class Singleton;
class WeekMap;
class WeekFetch;
enum class FetchStatus;
namespace platform {
class FtpClient;
}
}  // namespace qff

namespace Ui {
class TformDownloadFTP;
}

// Fetches the queued weeks' archives one at a time from a session already in
// the statistics server's download folder and unpacks them, showing each
// file's status as it goes. Each file moves one step per timer tick, so the
// window shows every status and "&Cancel" is heard between steps. A week
// lands in "Download" only whole; a failed or cancelled one leaves the files
// there and the season as they were. After the last file the button reads
// "&Finished".
//
//     TformDownloadFTP dialog(season, ftp, map, weeks, archivePassword, this);
//     dialog.exec();
//     for (const auto& file : dialog.downloaded()) { ...merge it... }
class TformDownloadFTP : public QDialog {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kTickInterval{10};

    TformDownloadFTP(qff::Singleton& season, qff::platform::FtpClient& ftp, const qff::WeekMap& map,
                     std::vector<int> weeks, std::string archivePassword,
                     QWidget* parent = nullptr);
    ~TformDownloadFTP() override;

    // The statistics files of the weeks that arrived, in the order fetched.
    const std::vector<std::filesystem::path>& downloaded() const { return downloaded_; }
    bool isFinished() const { return next_ >= weeks_.size() && !fetch_; }

  signals:
    // A file reached Success or Failure; its row in the list.
    void fileDone(int row);

  public slots:
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void tick();
    void startNextFile();
    void transferFile();
    void unpackFile();
    void finishFile();
    void showFinished();
    void showStatus(qff::FetchStatus status, const std::string& message = {});
    QTreeWidgetItem* currentRow() const;
    void closeClick();

    std::unique_ptr<Ui::TformDownloadFTP> ui;
    qff::Singleton& season_;
    qff::platform::FtpClient& ftp_;
    qff::platform::ZipArchiver archiver_;
    std::vector<int> weeks_;
    std::vector<std::string> remoteNames_;
    std::string archivePassword_;
    std::unique_ptr<qff::WeekFetch> fetch_;
    std::size_t next_ = 0;
    std::vector<std::filesystem::path> downloaded_;
    QTimer timer_;
    bool started_ = false;
    bool busy_ = false;
};
