#include "app/intake/DownloadFTP.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/intake/StatsFetch.h"
#include "data02/intake/StatsWeeks.h"
#include "data02/season/Single.h"

#include <QHeaderView>
#include <QPushButton>
#include <QStyle>

#include "app/widgets/BusyCursor.h"
#include "qff/statsnet/stats_net.h"
#include "ui_DownloadFTP.h"

namespace {

enum Column { kFileColumn, kStatusColumn, kReasonColumn };

QStyle::StandardPixmap pictureOf(qff::FetchStatus status) {
    switch (status) {
        case qff::FetchStatus::Waiting:
            return QStyle::SP_FileIcon;
        case qff::FetchStatus::GettingFile:
        case qff::FetchStatus::Extracting:
            return QStyle::SP_ArrowDown;
        case qff::FetchStatus::Success:
            return QStyle::SP_DialogApplyButton;
        case qff::FetchStatus::Failure:
            return QStyle::SP_MessageBoxCritical;
    }
    return QStyle::SP_FileIcon;
}

}  // namespace

TformDownloadFTP::TformDownloadFTP(qff::Singleton& season, qff::platform::FtpClient& ftp,
                                   const qff::WeekMap& map, std::vector<int> weeks,
                                   std::string archivePassword, QWidget* parent)
    : QDialog(parent),
      ui(new Ui::TformDownloadFTP),
      season_(season),
      ftp_(ftp),
      weeks_(std::move(weeks)),
      archivePassword_(std::move(archivePassword)) {
    ui->setupUi(this);
    ui->listFiles->header()->setSectionResizeMode(kReasonColumn, QHeaderView::Stretch);
    for (int week : weeks_) {
        remoteNames_.push_back(map.remoteName(week));
        auto* row = new QTreeWidgetItem(ui->listFiles);
        row->setText(kFileColumn, QString::fromStdString(remoteNames_.back()));
        row->setText(kStatusColumn, qff::fetchStatusText(qff::FetchStatus::Waiting));
        row->setIcon(kFileColumn, style()->standardIcon(pictureOf(qff::FetchStatus::Waiting)));
    }
    ui->listFiles->resizeColumnToContents(kFileColumn);
    ui->listFiles->setColumnWidth(kStatusColumn,
                                  fontMetrics().horizontalAdvance("Getting File") * 3 / 2);
    timer_.setInterval(kTickInterval);
    connect(&timer_, &QTimer::timeout, this, &TformDownloadFTP::tick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TformDownloadFTP::closeClick);
}

TformDownloadFTP::~TformDownloadFTP() = default;

void TformDownloadFTP::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        if (weeks_.empty()) {
            showFinished();
        } else {
            timer_.start();
        }
    }
}

// Whatever is half way is dropped with its staging folder; the weeks that
// arrived before stay.
void TformDownloadFTP::done(int result) {
    timer_.stop();
    fetch_.reset();
    QDialog::done(result);
}

void TformDownloadFTP::closeClick() {
    if (isFinished()) {
        accept();
    } else {
        reject();
    }
}

void TformDownloadFTP::tick() {
    if (busy_) {
        return;
    }
    busy_ = true;
    if (!fetch_) {
        startNextFile();
    } else if (fetch_->status() == qff::FetchStatus::Waiting) {
        transferFile();
    } else {
        unpackFile();
    }
    busy_ = false;
}

void TformDownloadFTP::startNextFile() {
    fetch_ = std::make_unique<qff::WeekFetch>(season_, weeks_[next_], remoteNames_[next_]);
    showStatus(qff::FetchStatus::GettingFile);
    ui->listFiles->scrollToItem(currentRow());
}

void TformDownloadFTP::transferFile() {
    {
        BusyCursor busy;
        qff::statsnet::transferWeek(ftp_, *fetch_);
    }
    showStatus(fetch_->status(), fetch_->message());
    if (fetch_->status() == qff::FetchStatus::Failure) {
        finishFile();
    }
}

void TformDownloadFTP::unpackFile() {
    {
        BusyCursor busy;
        qff::statsnet::unpackWeek(archiver_, *fetch_, archivePassword_);
    }
    showStatus(fetch_->status(), fetch_->message());
    finishFile();
}

void TformDownloadFTP::finishFile() {
    if (fetch_->status() == qff::FetchStatus::Success) {
        downloaded_.push_back(fetch_->statisticsPath());
    }
    fetch_.reset();
    emit fileDone(static_cast<int>(next_));
    ++next_;
    if (next_ >= weeks_.size()) {
        showFinished();
    }
}

void TformDownloadFTP::showFinished() {
    timer_.stop();
    ui->btnCancel->setText(tr("&Finished"));
}

void TformDownloadFTP::showStatus(qff::FetchStatus status, const std::string& message) {
    QTreeWidgetItem* row = currentRow();
    QString reason = QString::fromStdString(message);
    row->setText(kStatusColumn, qff::fetchStatusText(status));
    row->setIcon(kFileColumn, style()->standardIcon(pictureOf(status)));
    row->setText(kReasonColumn, reason);
    row->setToolTip(kReasonColumn, reason);
}

QTreeWidgetItem* TformDownloadFTP::currentRow() const {
    return ui->listFiles->topLevelItem(static_cast<int>(next_));
}
