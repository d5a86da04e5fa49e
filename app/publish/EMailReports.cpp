#include "app/publish/EMailReports.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/publish/Mail.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QUrl>
#include <ctime>

#include "app/publish/AddressBook.h"
#include "app/publish/AttachReports.h"
#include "app/publish/SendMail.h"
#include "app/shell/Options.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_EMailReports.h"

namespace {

// The options dialog's page of a league's mail settings.
constexpr int kEMailOptionsPage = 14;

const QStringList kAttachFilters = {"HTML Document  (*.htm)", "Text File  (*.txt)",
                                    "ZIP File ( *.zip)", "All Files  (*.*)"};
const QStringList kZipFilters = {"ZIP File  (*.zip)", "All Files  (*.*)"};

std::filesystem::path pathOf(const QString& text) {
    return std::filesystem::path(text.toStdString());
}

QString shown(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(qText(path.string()));
}

Prompter::Icon iconOf(qff::MailIcon icon) {
    return icon == qff::MailIcon::Error ? Prompter::Icon::Error : Prompter::Icon::Information;
}

}  // namespace

TformEMailReports::TformEMailReports(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent),
      ui(std::make_unique<Ui::TformEMailReports>()),
      transportFactory_(&TformSendMail::smtpTransport) {
    ui->setupUi(this);
    qff::ensureMailAttachDirectory(season.workdir());
    ui->editZipFile->setText(shown(qff::defaultMailZip(season.workdir(), std::time(nullptr))));
    ui->listAttachments->installEventFilter(this);
    connectControls();
    fillLeagues();
    showSender();
}

TformEMailReports::~TformEMailReports() = default;

void TformEMailReports::connectControls() {
    connect(ui->btnNewMail, &QPushButton::clicked, this, &TformEMailReports::btnNewMailClick);
    connect(ui->comboLeague, &QComboBox::activated, this, &TformEMailReports::comboLeagueChange);
    connect(ui->btnTo, &QPushButton::clicked, this, [this] { chooseRecipients(qff::kMailTo); });
    connect(ui->btnCC, &QPushButton::clicked, this, [this] { chooseRecipients(qff::kMailCc); });
    connect(ui->btnAttachReport, &QPushButton::clicked, this,
            &TformEMailReports::btnAttachReportClick);
    connect(ui->btnAttachFile, &QPushButton::clicked, this, &TformEMailReports::btnAttachFileClick);
    connect(ui->btnBrowseZipFile, &QToolButton::clicked, this,
            &TformEMailReports::btnBrowseZipFileClick);
    connect(ui->btnSendMail, &QPushButton::clicked, this, &TformEMailReports::btnSendMailClick);
    connect(ui->btnEMailOptions, &QPushButton::clicked, this,
            &TformEMailReports::btnEMailOptionsClick);
    connect(ui->listAttachments, &QListWidget::itemDoubleClicked, this,
            &TformEMailReports::attachmentDoubleClick);
}

void TformEMailReports::setTransportFactory(TransportFactory factory) {
    transportFactory_ = std::move(factory);
}

// Franchises may have been renamed or given an address elsewhere.
void TformEMailReports::reload() {
    fillLeagues();
    showSender();
    showRecipients();
}

void TformEMailReports::fillLeagues() {
    QSignalBlocker quiet(ui->comboLeague);
    fillCombo(ComboKind::Leagues, *ui->comboLeague, season());
}

int TformEMailReports::league() const {
    return ui->comboLeague->currentIndex() < 0 ? -1 : ui->comboLeague->currentData().toInt();
}

void TformEMailReports::showSender() {
    ui->editFrom->setText(qText(qff::leagueFromText(season(), league())));
}

void TformEMailReports::showRecipients() {
    ui->editTo->setText(qText(qff::recipientsText(season(), recipients_, qff::kMailTo)));
    ui->editCC->setText(qText(qff::recipientsText(season(), recipients_, qff::kMailCc)));
}

void TformEMailReports::showAttachments() {
    ui->listAttachments->clear();
    for (const std::filesystem::path& file : attachments_) {
        ui->listAttachments->addItem(shown(file));
    }
}

void TformEMailReports::btnNewMailClick() {
    recipients_.clear();
    attachments_.clear();
    ui->editSubject->clear();
    ui->memoBody->clear();
    showRecipients();
    showAttachments();
    showSender();
}

// The recipients belong to the league they were chosen in.
void TformEMailReports::comboLeagueChange() {
    if (league() >= 0) {
        season().seasonState().set(qff::kCurrentLeague, league());
    }
    btnNewMailClick();
}

// The address book lists the current league's franchises; the options
// dialog may have made another league current meanwhile.
void TformEMailReports::chooseRecipients(int defaultKind) {
    if (league() >= 0) {
        season().seasonState().set(qff::kCurrentLeague, league());
    }
    TformAddressBook book(season(), prompter(), this);
    book.setRecipients(recipients_);
    book.setDefaultButton(defaultKind);
    book.exec();
    showRecipients();
}

void TformEMailReports::attach(const std::vector<std::filesystem::path>& files) {
    for (const std::filesystem::path& file : files) {
        qff::addAttachment(attachments_, season().workdir(), file);
    }
    showAttachments();
}

void TformEMailReports::btnAttachReportClick() {
    TformAttachReports picker(season().workdir(), this);
    if (picker.exec() == QDialog::Accepted) {
        attach(picker.chosenReports());
    }
}

void TformEMailReports::btnAttachFileClick() {
    QFileDialog dialog(this, "Attach File");
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(kAttachFilters);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::vector<std::filesystem::path> files;
    for (const QString& file : dialog.selectedFiles()) {
        files.push_back(pathOf(file));
    }
    attach(files);
}

void TformEMailReports::btnBrowseZipFileClick() {
    QFileDialog dialog(this, "Zip All Files");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(kZipFilters);
    dialog.setDefaultSuffix("zip");
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!ui->editZipFile->text().isEmpty()) {
        dialog.selectFile(ui->editZipFile->text());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    QString file = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    if (QFileInfo::exists(file) &&
        !prompter().ask(this, file + " already exists.\nDo you want to replace it?")) {
        return;
    }
    ui->editZipFile->setText(file);
}

// Once the recipients without address are dropped the checks run again on
// those left.
bool TformEMailReports::mailChecked() {
    for (;;) {
        qff::MailCheck check = qff::checkMail(season(), league(), recipients_);
        switch (check.outcome) {
            case qff::MailCheck::Outcome::Ready:
                return true;
            case qff::MailCheck::Outcome::Refused:
                prompter().tell(this, iconOf(check.icon), qText(check.message));
                return false;
            case qff::MailCheck::Outcome::AskDropUnaddressed:
                if (!prompter().ask(this, qText(check.message))) {
                    return false;
                }
                if (!dropUnaddressed()) {
                    return false;
                }
                break;
        }
    }
}

bool TformEMailReports::dropUnaddressed() {
    std::size_t before = recipients_.size();
    qff::dropUnaddressedRecipients(season(), recipients_);
    showRecipients();
    return recipients_.size() < before;
}

void TformEMailReports::btnSendMailClick() {
    if (!mailChecked()) {
        return;
    }
    qff::MailDraft draft =
        qff::composeMail(season(), league(), recipients_, ui->editSubject->text().toStdString(),
                         ui->memoBody->toPlainText().toStdString(), attachments_,
                         pathOf(QDir::fromNativeSeparators(ui->editZipFile->text().trimmed())));
    TformSendMail sending(std::move(draft), transportFactory_(), prompter(), this);
    sending.exec();
}

void TformEMailReports::btnEMailOptionsClick() {
    TformOptions options(season(), kEMailOptionsPage, prompter(), this);
    options.exec();
    showSender();
}

void TformEMailReports::attachmentDoubleClick(QListWidgetItem* item) {
    std::filesystem::path file = attachments_.at(ui->listAttachments->row(item));
    if (file.is_relative()) {
        file = season().workdir() / file;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(qText(file.string())));
}

void TformEMailReports::removeSelectedAttachments() {
    for (int row = ui->listAttachments->count() - 1; row >= 0; --row) {
        if (ui->listAttachments->item(row)->isSelected()) {
            attachments_.erase(attachments_.begin() + row);
        }
    }
    showAttachments();
}

bool TformEMailReports::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->listAttachments && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeSelectedAttachments();
        return true;
    }
    return SeasonForm::eventFilter(watched, event);
}
