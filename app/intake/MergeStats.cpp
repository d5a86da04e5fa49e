#include "app/intake/MergeStats.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/intake/Statsmerge.h"
#include "data02/season/Single.h"

#include <QCloseEvent>
#include <algorithm>

#include "app/widgets/Prompter.h"
#include "ui_MergeStats.h"

namespace {

// Records merged between two looks at the clock.
constexpr int kRecordsPerSlice = 8;

Prompter::Icon iconOf(qff::MergeMessage::Type type) {
    switch (type) {
        case qff::MergeMessage::Type::Information:
            return Prompter::Icon::Information;
        case qff::MergeMessage::Type::Warning:
            return Prompter::Icon::Warning;
        case qff::MergeMessage::Type::Error:
            return Prompter::Icon::Error;
    }
    return Prompter::Icon::None;
}

}  // namespace

TformMergeStats::TformMergeStats(qff::Singleton& season, Prompter& prompter,
                                 const std::filesystem::path& file, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(new Ui::TformMergeStats),
      merge_(std::make_unique<qff::StatsMerge>(season, file)),
      prompter_(prompter) {
    ui->setupUi(this);
    ui->labelFile->setText(tr("Merging %1 into the %2 season")
                               .arg(QString::fromStdString(file.filename().string()))
                               .arg(merge_->report().season));
    timer_.setInterval(kTickInterval);
    connect(&timer_, &QTimer::timeout, this, &TformMergeStats::tick);
}

TformMergeStats::~TformMergeStats() = default;

qff::MergeReport TformMergeStats::mergeFile(qff::Singleton& season, Prompter& prompter,
                                            const std::filesystem::path& file, QWidget* parent) {
    TformMergeStats dialog(season, prompter, file, parent);
    dialog.exec();
    return dialog.report();
}

const qff::MergeReport& TformMergeStats::report() const {
    return merge_->report();
}

void TformMergeStats::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        // An empty range would turn the bar into a busy indicator.
        ui->progressMerge->setRange(0, std::max(merge_->total(), 1));
        timer_.start();
    }
}

void TformMergeStats::reject() {
    if (done_) {
        QDialog::reject();
    }
}

void TformMergeStats::closeEvent(QCloseEvent* event) {
    if (done_) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

// The messages of the end open their own event loops, in which the timer
// would call again.
void TformMergeStats::tick() {
    if (busy_ || done_) {
        return;
    }
    busy_ = true;
    mergeSlice();
    busy_ = false;
}

void TformMergeStats::mergeSlice() {
    auto start = std::chrono::steady_clock::now();
    bool more = merge_->step(kRecordsPerSlice);
    while (more && std::chrono::steady_clock::now() - start < budget_) {
        more = merge_->step(kRecordsPerSlice);
    }
    showProgress();
    emit stepDone(merge_->progress());
    if (!more) {
        finish();
    }
}

void TformMergeStats::showProgress() {
    ui->progressMerge->setValue(merge_->progress());
    ui->labelStatus->setText(QString::fromStdString(merge_->status()));
    ui->labelPlayer->setText(QString::fromStdString(merge_->playerName()));
}

void TformMergeStats::finish() {
    timer_.stop();
    merge_->finish();
    done_ = true;
    ui->progressMerge->setValue(ui->progressMerge->maximum());
    ui->labelStatus->setText(QString::fromStdString(merge_->status()));
    tellMessages();
    done(report().succeeded() ? QDialog::Accepted : QDialog::Rejected);
}

void TformMergeStats::tellMessages() {
    for (const qff::MergeMessage& message : report().messages) {
        prompter_.tell(this, iconOf(message.type), QString::fromStdString(message.text));
    }
}
