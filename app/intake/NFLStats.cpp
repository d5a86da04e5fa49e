#include "app/intake/NFLStats.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/intake/Statsmerge.h"
#include "data02/season/Single.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <array>

#include "app/intake/DownloadFTP.h"
#include "app/intake/MergeStats.h"
#include "app/intake/UpdateRosterResults.h"
#include "app/widgets/BusyCursor.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "qff/statsnet/stats_net.h"
#include "ui_NFLStats.h"

namespace {

namespace fs = std::filesystem;

enum Column { kWeekColumn, kAvailableColumn, kDownloadedColumn, kFileNameColumn };

constexpr int kPictureSize = 16;
const char* const kServerShown = "Weeks offered by %1 in its folder %2.";
const char* const kChooseFileTitle = "Select File Containing NFL Statistics";
const char* const kChooseFileFilter =
    "NFL Statistics (*.pts *.PTS);;NFL Roster Updates (*.ros *.ROS)";

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A disc: full when the week is merged completely, half when Monday's game
// is missing, an empty ring when the week is not merged.
QPixmap paintMergeState(qff::MergeState state) {
    QPixmap pixmap(kPictureSize, kPictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF disc(2, 2, kPictureSize - 4, kPictureSize - 4);
    const QColor merged(0x2e8b3d);
    painter.setPen(QPen(state == qff::MergeState::NotMerged ? QColor(0x909090) : merged, 1.5));
    painter.setBrush(state == qff::MergeState::FullyMerged ? QBrush(merged) : QBrush());
    painter.drawEllipse(disc);
    if (state == qff::MergeState::MondayMissing) {
        painter.setBrush(QColor(0xd08a10));
        painter.setPen(Qt::NoPen);
        constexpr int kQuarterTurn = 90 * 16;
        painter.drawPie(disc, kQuarterTurn, 2 * kQuarterTurn);
    }
    return pixmap;
}

const QPixmap& mergeStatePicture(qff::MergeState state) {
    static const std::array<QPixmap, 3> pictures{paintMergeState(qff::MergeState::NotMerged),
                                                 paintMergeState(qff::MergeState::MondayMissing),
                                                 paintMergeState(qff::MergeState::FullyMerged)};
    return pictures[static_cast<std::size_t>(state)];
}

}  // namespace

TformNFLStats::TformNFLStats(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent), ui(new Ui::TformNFLStats) {
    ui->setupUi(this);
    ui->imageFullyMerged->setPixmap(mergeStatePicture(qff::MergeState::FullyMerged));
    ui->labelFullyMerged->setText(qtext(qff::kFullyMergedLegend));
    ui->imageMondayMissing->setPixmap(mergeStatePicture(qff::MergeState::MondayMissing));
    ui->labelMondayMissing->setText(qtext(qff::kMondayMissingLegend));
    QHeaderView* header = ui->listStats->header();
    for (int column : {kWeekColumn, kAvailableColumn, kDownloadedColumn}) {
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    fillCombo(ComboKind::Weeks, *ui->comboWeek, season);
    connect(ui->comboWeek, &QComboBox::activated, this,
            [this] { ui->radioDownloadWeek->setChecked(true); });
    connect(ui->editMergeFile, &QLineEdit::textEdited, this,
            [this] { ui->radioMergeFile->setChecked(true); });
    connect(ui->btnBrowseMergeFile, &QToolButton::clicked, this,
            &TformNFLStats::btnBrowseMergeFileClick);
    connect(ui->btnGo, &QPushButton::clicked, this, &TformNFLStats::btnGoClick);
    fillList();
}

TformNFLStats::~TformNFLStats() = default;

// Naming another server in the preferences asks it at once.
void TformNFLStats::reload() {
    if (asked_ && session_.settingsChanged(season().workdir())) {
        askServer();
    } else {
        fillList();
    }
}

// Asking the server waits for the window to be on the screen, so the
// commissioner sees what the busy cursor is for.
void TformNFLStats::showEvent(QShowEvent* event) {
    SeasonForm::showEvent(event);
    if (!shown_) {
        shown_ = true;
        QTimer::singleShot(0, this, &TformNFLStats::askServer);
    }
}

void TformNFLStats::askServer() {
    offerServerChoices();
    if (session_.open(season().workdir(), qff::kNoConnectionMessage)) {
        listServerWeeks();
    } else {
        serverUnusable(session_.reachedServer(), session_.problem(), session_.problemDetail());
    }
    asked_ = true;
}

void TformNFLStats::listServerWeeks() {
    std::string problem;
    {
        BusyCursor busy;
        map_ = qff::statsnet::listWeeks(session_.ftp(), season().playerFile().year(), problem);
    }
    if (!map_) {
        serverUnusable(true, QString::fromStdString(problem), {});
        return;
    }
    ui->labelServer->setText(tr(kServerShown)
                                 .arg(QString::fromStdString(session_.settings().host),
                                      QString::fromStdString(session_.settings().folder)));
    fillList();
    offerAvailableWeeks();
}

// A server that answered without a usable download folder offers no week;
// one that did not answer leaves only a local file to merge. The window
// keeps saying why once the message is gone.
void TformNFLStats::serverUnusable(bool reached, const QString& problem, const QString& detail) {
    ui->labelServer->setText(QString(problem).replace("\n\n", " ") +
                             (detail.isEmpty() ? "" : " " + detail));
    ui->checkUpdateRosters->setEnabled(false);
    if (reached) {
        map_.emplace(season().playerFile().year(), std::vector<std::string>{});
        fillList();
        offerAvailableWeeks();
    } else {
        ui->radioDownloadNone->setChecked(true);
        ui->radioMergeFile->setChecked(true);
        ui->groupDownload->setEnabled(false);
        ui->radioMergeDownloaded->setEnabled(false);
    }
    tell(problem, detail);
}

void TformNFLStats::offerServerChoices() {
    map_.reset();
    ui->labelServer->clear();
    for (QWidget* choice : std::initializer_list<QWidget*>{
             ui->groupDownload, ui->radioDownloadWeek, ui->comboWeek, ui->radioDownloadUnmerged,
             ui->radioDownloadAll, ui->radioMergeDownloaded, ui->checkUpdateRosters}) {
        choice->setEnabled(true);
    }
    ui->radioDownloadUnmerged->setChecked(true);
    ui->radioMergeDownloaded->setChecked(true);
}

void TformNFLStats::offerAvailableWeeks() {
    bool anyAvailable = std::any_of(rows_.begin(), rows_.end(), [](const qff::WeekRow& row) {
        return row.available == qff::Availability::Yes;
    });
    if (!anyAvailable) {
        ui->radioDownloadNone->setChecked(true);
    }
    for (QWidget* choice :
         std::initializer_list<QWidget*>{ui->radioDownloadWeek, ui->comboWeek,
                                         ui->radioDownloadUnmerged, ui->radioDownloadAll}) {
        choice->setEnabled(anyAvailable);
    }
}

void TformNFLStats::fillList() {
    rows_ = qff::weekRows(season(), map_ ? &*map_ : nullptr);
    ui->listStats->clear();
    for (const qff::WeekRow& row : rows_) {
        auto* item = new QTreeWidgetItem(ui->listStats);
        item->setIcon(kWeekColumn, mergeStatePicture(row.merged));
        item->setText(kWeekColumn, QString::number(row.week));
        item->setToolTip(kWeekColumn, qff::mergeStateText(row.merged));
        item->setText(kAvailableColumn, qff::availabilityText(row.available));
        item->setText(kDownloadedColumn, row.downloaded ? "Yes" : "No");
        item->setText(kFileNameColumn, QString::fromStdString(qff::fileNameText(row)));
    }
}

std::optional<qff::DownloadChoice> TformNFLStats::downloadChoice() const {
    if (ui->radioDownloadWeek->isChecked()) {
        return qff::DownloadChoice::Week;
    }
    if (ui->radioDownloadUnmerged->isChecked()) {
        return qff::DownloadChoice::Unmerged;
    }
    if (ui->radioDownloadAll->isChecked()) {
        return qff::DownloadChoice::All;
    }
    return std::nullopt;
}

void TformNFLStats::btnGoClick() {
    std::vector<fs::path> downloaded = downloadChosenWeeks();
    fillList();
    Merged merged;
    if (ui->radioMergeDownloaded->isChecked()) {
        for (const fs::path& file : downloaded) {
            mergeFile(file, merged);
        }
    } else if (ui->radioMergeFile->isChecked() && !ui->editMergeFile->text().trimmed().isEmpty()) {
        mergeFile(ui->editMergeFile->text().trimmed().toStdString(), merged);
    }
    if (merged.mondayMissing) {
        tell(qtext(qff::kMondayMissingMessage));
    }
    bool rostersMerged = ui->checkUpdateRosters->isEnabled() &&
                         ui->checkUpdateRosters->isChecked() &&
                         updateNflRosters(season(), prompter(), session_, this);
    if (merged.any || rostersMerged) {
        fillList();
        emit seasonChanged();
    }
    if (merged.any && prompter().ask(this, qtext(qff::kViewReportsQuestion))) {
        emit reportsRequested();
    }
}

std::vector<fs::path> TformNFLStats::downloadChosenWeeks() {
    std::optional<qff::DownloadChoice> choice = downloadChoice();
    if (!choice || !map_) {
        return {};
    }
    int week = ui->comboWeek->currentData().toInt() + 1;
    qff::DownloadQueue queue = qff::queueDownloads(rows_, *choice, week);
    if (!queue.message.empty()) {
        tell(QString::fromStdString(queue.message));
        return {};
    }
    if (queue.weeks.empty()) {
        tell(qtext(qff::kAllMergedMessage));
        return {};
    }
    TformDownloadFTP dialog(season(), session_.ftp(), *map_, queue.weeks,
                            session_.settings().archivePassword, this);
    dialog.exec();
    return dialog.downloaded();
}

void TformNFLStats::mergeFile(const fs::path& file, Merged& merged) {
    qff::MergeReport report = TformMergeStats::mergeFile(season(), prompter(), file, this);
    merged.any = merged.any || report.succeeded();
    merged.mondayMissing = merged.mondayMissing ||
                           qff::noteMergedWeek(season(), report) == qff::MergeState::MondayMissing;
}

void TformNFLStats::btnBrowseMergeFileClick() {
    QString start = ui->editMergeFile->text();
    if (start.isEmpty()) {
        start = QString::fromStdString(qff::downloadFolder(season().workdir()).string());
    }
    QString file =
        QFileDialog::getOpenFileName(this, tr(kChooseFileTitle), start, tr(kChooseFileFilter));
    if (!file.isEmpty()) {
        ui->editMergeFile->setText(file);
        ui->radioMergeFile->setChecked(true);
    }
}

void TformNFLStats::tell(const QString& text, const QString& detail) {
    prompter().tell(this, Prompter::Icon::Information, text, detail);
}
