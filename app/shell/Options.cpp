#include "app/shell/Options.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QThread>

#include <array>
#include <atomic>

#include "app/publish/BrowseFTP.h"
#include "app/widgets/Prompter.h"
#include "data02/model/Legqry.h"
#include "data02/publish/Ftpsite.h"
#include "data02/season/Single.h"
#include "data02/shell/Optstore.h"
#include "qff/platform/curl_mail_client.h"
#include "ui_Options.h"

namespace {

const char* const kSmtpCaption = "Test Connect To SMTP";
const char* const kSmtpSuccess = "Success! You will be able to send mail to the specified server.";
const char* const kSmtpFailure =
    "Failed to connect. Either the server is invalid or you do not have rights to send mail on "
    "it.";
const char* const kFtpNoConnection =
    "A connection could not be established to your web site.\n\nPlease verify the correctness "
    "of your FTP settings and try again.";
const char* const kBadPort = "Please enter a port number from 1 to 65535.";
const char* const kDamagedStatsServer =
    "%1 Correct or remove it; until then these settings cannot be changed here.";
const char* const kBackgroundImageFilter = "JPEG    (*.jpg);;GIF 87a/89a    (*.gif)";
const char* const kBackupFileFilter = "ZIP File  (*.zip);;All Files  (*.*)";

std::string textOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

// The connection test's outcome: any failure or exception of the client counts as "no".
bool canConnect(qff::platform::MailClient& client, const std::string& server,
                const std::string& user) {
    try {
        if (!client.connect(server, user)) {
            return false;
        }
        client.disconnect();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

TformOptions::TformOptions(qff::Singleton& context, int requestedPage, Prompter& prompter,
                           QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TformOptions>()),
      context_(context),
      prompter_(prompter),
      mailClientFactory_([] { return std::make_unique<qff::platform::CurlMailClient>(); }),
      requestedPage_(requestedPage) {
    ui_->setupUi(this);
    setUpControls();
    showOptions(qff::readOptions(context_));
    showStatsServer();
    connectControls();
    showView(qff::optionsViewFor(-1));
}

void TformOptions::showEvent(QShowEvent* event) {
    // The dialog takes its size from the page it opens with, and hidden tab pages are not
    // measured before they are shown; opening on the widest page and turning to the requested
    // one afterwards keeps every page uncut.
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        showView(qff::optionsViewFor(requestedPage_));
    }
}

TformOptions::~TformOptions() {
    if (smtpTest_ != nullptr) {
        smtpTest_->wait();
        delete smtpTest_;
        QApplication::restoreOverrideCursor();
    }
}

void TformOptions::setMailClientFactory(MailClientFactory factory) {
    mailClientFactory_ = std::move(factory);
}

void TformOptions::setUpControls() {
    ui_->comboBorderWidth->addItem(tr("No Border"));
    for (int width = 1; width <= qff::kMaxReportBorder; ++width) {
        ui_->comboBorderWidth->addItem(QString::number(width));
    }
    for (int count : qff::kTopPlayerChoices) {
        ui_->comboTopPlayers->addItem(QString::number(count), count);
    }
    for (const char* type : qff::kFirewallTypes) {
        ui_->comboFirewallType->addItem(tr(type));
    }
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), this);
    ui_->editFtpPort->setValidator(digits);
    ui_->editFirewallPort->setValidator(digits);
    ui_->editStatsPort->setValidator(digits);
}

void TformOptions::connectControls() {
    const std::array<std::pair<QToolButton*, qff::OptionsPage>, 4> pages{{
        {ui_->btnApplication, qff::OptionsPage::Application},
        {ui_->btnFranchise, qff::OptionsPage::Franchise},
        {ui_->btnInternet, qff::OptionsPage::Internet},
        {ui_->btnBackup, qff::OptionsPage::Backup},
    }};
    for (const auto& [button, page] : pages) {
        connect(button, &QToolButton::clicked, this, [this, page = page] { showPage(page); });
    }
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &TformOptions::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &TformOptions::reject);
    connect(ui_->checkAddColour, &QCheckBox::toggled, this, &TformOptions::updateColourRows);
    connect(ui_->checkMergeWrTe, &QCheckBox::toggled, this, &TformOptions::updateRosterLimits);
    connect(ui_->checkRestrictRosters, &QCheckBox::toggled, this,
            &TformOptions::updateRosterLimits);
    for (QComboBox* selector : {ui_->comboEMailLeague, ui_->comboFtpLeague}) {
        connect(selector, &QComboBox::currentIndexChanged, this,
                [this, selector](int index) { chooseLeague(selector, index); });
    }
    connect(ui_->btnBrowseBackgroundImage, &QToolButton::clicked, this,
            &TformOptions::browseBackgroundImage);
    connect(ui_->btnBrowseBackupDirectory, &QToolButton::clicked, this,
            &TformOptions::browseBackupDirectory);
    connect(ui_->btnBrowseWebSite, &QToolButton::clicked, this,
            [this] { browseFtpSite(qff::FtpLocationField::WebSite, ui_->editWebSite); });
    connect(ui_->btnBrowseCgiLocation, &QToolButton::clicked, this,
            [this] { browseFtpSite(qff::FtpLocationField::CgiBin, ui_->editCgiLocation); });
    connect(ui_->btnTestSmtp, &QPushButton::clicked, this, &TformOptions::testSmtpConnection);
    connect(ui_->btnStatsServer, &QToolButton::clicked, this, &TformOptions::showStatsServerPage);
    for (auto [clear, edit] :
         {std::pair{ui_->checkClearStatsPassword, ui_->editStatsPassword},
          std::pair{ui_->checkClearArchivePassword, ui_->editArchivePassword}}) {
        connect(clear, &QCheckBox::toggled, this, [edit](bool cleared) {
            edit->clear();
            edit->setEnabled(!cleared);
        });
    }
}

void TformOptions::showPage(qff::OptionsPage page) {
    const std::array<QToolButton*, 4> buttons{ui_->btnApplication, ui_->btnFranchise,
                                              ui_->btnInternet, ui_->btnBackup};
    int index = static_cast<int>(page);
    buttons[index]->setChecked(true);
    ui_->stackPages->setCurrentIndex(index);
}

void TformOptions::showView(qff::OptionsView view) {
    showPage(view.page);
    switch (view.tab) {
        case qff::OptionsTab::ReportOptions:
            ui_->tabsApplication->setCurrentWidget(ui_->tabReportOptions);
            break;
        case qff::OptionsTab::HthSchedule:
            ui_->tabsApplication->setCurrentWidget(ui_->tabHthSchedule);
            break;
        case qff::OptionsTab::EMail:
            ui_->tabsInternet->setCurrentWidget(ui_->tabEMail);
            break;
        case qff::OptionsTab::Ftp:
            ui_->tabsInternet->setCurrentWidget(ui_->tabFtp);
            break;
        case qff::OptionsTab::None:
            break;
    }
}

void TformOptions::showOptions(const qff::OptionSettings& options) {
    filling_ = true;
    showApplication(options.application);
    showFranchise(options.franchise);
    fillLeagues(options.internet.league);
    ui_->editSmtpServer->setText(qtext(options.internet.smtpServer));
    ui_->editSmtpUser->setText(qtext(options.internet.smtpUser));
    showLeagueSettings(options.internet);
    showBackup(options.backup);
    filling_ = false;
}

void TformOptions::showApplication(const qff::ApplicationSettings& a) {
    ui_->comboBorderWidth->setCurrentIndex(a.borderWidth);
    ui_->editBackgroundImage->setText(qtext(a.backgroundImage));
    ui_->checkAddColour->setChecked(a.addColour);
    ui_->swatchHeaderColour->setColour(a.headerColour);
    ui_->swatchBodyColour->setColour(a.bodyColour);
    ui_->swatchTotalsColour->setColour(a.totalsColour);
    ui_->swatchHeaderTextColour->setColour(a.headerTextColour);
    ui_->swatchBodyTextColour->setColour(a.bodyTextColour);
    ui_->swatchTotalsTextColour->setColour(a.totalsTextColour);
    ui_->checkAlternateRows->setChecked(a.alternateRows);
    ui_->comboTopPlayers->setCurrentIndex(ui_->comboTopPlayers->findData(a.topPlayers));
    ui_->checkOnlyPlayersWithPoints->setChecked(a.onlyPlayersWithPoints);
    ui_->checkByeIsVictory->setChecked(a.byeIsVictory);
    ui_->checkSeveralGamesAWeek->setChecked(a.severalGamesAWeek);
    ui_->spinEmptyWeeks->setValue(a.emptyWeeks);
    updateColourRows();
}

void TformOptions::showFranchise(const qff::FranchiseSettings& f) {
    ui_->checkMergeWrTe->setChecked(f.mergeWrTe);
    ui_->checkRestrictRosters->setChecked(f.restrictRosters);
    const std::array<QSpinBox*, qff::kIndividualPositions> limits{
        ui_->spinLimitQB, ui_->spinLimitRB,  ui_->spinLimitWR, ui_->spinLimitTE,
        ui_->spinLimitPK, ui_->spinLimitDEF, ui_->spinLimitSPE};
    for (std::size_t i = 0; i < limits.size(); ++i) {
        limits[i]->setValue(f.limits[i]);
    }
    ui_->checkSharedPlayers->setChecked(f.sharedPlayers);
    updateRosterLimits();
}

void TformOptions::showLeagueSettings(const qff::InternetSettings& o) {
    ui_->editName->setText(qtext(o.name));
    ui_->editEMail->setText(qtext(o.email));
    ui_->editFtpUser->setText(qtext(o.ftpUser));
    ui_->editFtpPassword->setText(qtext(o.ftpPassword));
    ui_->editWebSite->setText(qtext(o.webSite));
    ui_->editCgiLocation->setText(qtext(o.cgiLocation));
    ui_->editFtpPort->setText(QString::number(o.ftpPort));
    ui_->checkDisablePasv->setChecked(o.passiveOff);
    ui_->editFirewallHost->setText(qtext(o.firewallHost));
    ui_->editFirewallPort->setText(QString::number(o.firewallPort));
    ui_->editFirewallUser->setText(qtext(o.firewallUser));
    ui_->editFirewallPassword->setText(qtext(o.firewallPassword));
    ui_->comboFirewallType->setCurrentIndex(o.firewallType);
}

void TformOptions::showBackup(const qff::BackupSettings& b) {
    ui_->editBackupDirectory->setText(qtext(b.directory));
    ui_->editBackupPassword->setText(qtext(b.password));
    ui_->checkIncludeViewedReports->setChecked(b.includeViewedReports);
    const std::array<QRadioButton*, qff::kAutoBackupChoices> choices{
        ui_->radioBackupNever, ui_->radioBackupOnMerge, ui_->radioBackupOnDownload};
    choices[b.automatic]->setChecked(true);
}

// The passwords are never shown back: their fields start empty and an empty
// field keeps the stored password.
void TformOptions::showStatsServer() {
    qff::StatsServerLoad load = qff::loadStatsServer(context_.workdir());
    ui_->labelStatsServerProblem->setVisible(!load.ok);
    ui_->groupStatsServer->setEnabled(load.ok);
    if (!load.ok) {
        ui_->labelStatsServerProblem->setText(tr(kDamagedStatsServer).arg(qtext(load.error)));
        return;
    }
    statsServer_ = load.settings;
    ui_->editStatsHost->setText(qtext(load.settings.host));
    ui_->editStatsPort->setText(QString::number(load.settings.port));
    ui_->editStatsUser->setText(qtext(load.settings.user));
    ui_->editStatsFolder->setText(qtext(load.settings.folder));
    ui_->checkClearStatsPassword->setEnabled(!load.settings.password.empty());
    ui_->checkClearArchivePassword->setEnabled(!load.settings.archivePassword.empty());
}

void TformOptions::showStatsServerPage() {
    ui_->btnStatsServer->setChecked(true);
    ui_->stackPages->setCurrentWidget(ui_->pageStatsServer);
}

std::optional<qff::StatsServerSettings> TformOptions::shownStatsServer() {
    auto password = [](const QCheckBox* clear, const QLineEdit* edit, const std::string& stored) {
        return clear->isChecked() ? std::string() : edit->text().isEmpty() ? stored : textOf(edit);
    };
    qff::StatsServerSettings shown = *statsServer_;
    shown.host = textOf(ui_->editStatsHost);
    // An unreadable port is refused below with the other settings.
    shown.port = qff::parsePort(textOf(ui_->editStatsPort)).value_or(0);
    shown.user = textOf(ui_->editStatsUser);
    shown.password =
        password(ui_->checkClearStatsPassword, ui_->editStatsPassword, statsServer_->password);
    shown.folder = textOf(ui_->editStatsFolder);
    shown.archivePassword = password(ui_->checkClearArchivePassword, ui_->editArchivePassword,
                                     statsServer_->archivePassword);
    if (std::optional<std::string> refused = qff::checkStatsServer(shown)) {
        showStatsServerPage();
        prompter_.tell(this, Prompter::Icon::Information, qtext(*refused));
        return std::nullopt;
    }
    return shown;
}

bool TformOptions::storeStatsServer(const qff::StatsServerSettings& settings) {
    if (settings == *statsServer_) {
        return true;
    }
    std::string error;
    if (!qff::saveStatsServer(context_.workdir(), settings, error)) {
        showStatsServerPage();
        prompter_.tell(this, Prompter::Icon::Warning, qtext(error));
        return false;
    }
    statsServer_ = settings;
    return true;
}

void TformOptions::fillLeagues(std::optional<int> current) {
    for (QComboBox* selector : {ui_->comboEMailLeague, ui_->comboFtpLeague}) {
        selector->clear();
        for (const qff::League* league : context_.leagueQuery().allLeagues()) {
            selector->addItem(qtext(league->text(qff::kLeagueName)),
                              league->getValue(qff::kLeagueId));
        }
        selector->setCurrentIndex(current ? selector->findData(*current) : -1);
    }
    // Without a league nothing typed on the Internet page could be stored.
    bool hasLeague = current.has_value();
    for (QWidget* field : std::initializer_list<QWidget*>{
             ui_->editName, ui_->editEMail, ui_->editSmtpServer, ui_->editSmtpUser,
             ui_->editFtpUser, ui_->editFtpPassword, ui_->editWebSite, ui_->btnBrowseWebSite,
             ui_->editCgiLocation, ui_->btnBrowseCgiLocation, ui_->editFtpPort,
             ui_->checkDisablePasv, ui_->groupFirewall}) {
        field->setEnabled(hasLeague);
    }
}

std::optional<int> TformOptions::chosenLeague() const {
    QVariant id = ui_->comboEMailLeague->currentData();
    return id.isValid() ? std::optional(id.toInt()) : std::nullopt;
}

std::optional<int> TformOptions::shownPort(QLineEdit* edit) {
    std::optional<int> port = qff::parsePort(textOf(edit));
    if (!port) {
        showView({qff::OptionsPage::Internet, qff::OptionsTab::Ftp});
        prompter_.tell(this, Prompter::Icon::Information, tr(kBadPort));
        edit->setFocus();
        edit->selectAll();
    }
    return port;
}

std::optional<qff::OptionSettings> TformOptions::shownOptions() {
    qff::OptionSettings o;
    qff::ApplicationSettings& a = o.application;
    a.borderWidth = ui_->comboBorderWidth->currentIndex();
    a.backgroundImage = textOf(ui_->editBackgroundImage);
    a.addColour = ui_->checkAddColour->isChecked();
    a.headerColour = ui_->swatchHeaderColour->colour();
    a.bodyColour = ui_->swatchBodyColour->colour();
    a.totalsColour = ui_->swatchTotalsColour->colour();
    a.headerTextColour = ui_->swatchHeaderTextColour->colour();
    a.bodyTextColour = ui_->swatchBodyTextColour->colour();
    a.totalsTextColour = ui_->swatchTotalsTextColour->colour();
    a.alternateRows = ui_->checkAlternateRows->isChecked();
    a.topPlayers = ui_->comboTopPlayers->currentData().toInt();
    a.onlyPlayersWithPoints = ui_->checkOnlyPlayersWithPoints->isChecked();
    a.byeIsVictory = ui_->checkByeIsVictory->isChecked();
    a.severalGamesAWeek = ui_->checkSeveralGamesAWeek->isChecked();
    a.emptyWeeks = ui_->spinEmptyWeeks->value();

    qff::FranchiseSettings& f = o.franchise;
    f.mergeWrTe = ui_->checkMergeWrTe->isChecked();
    f.restrictRosters = ui_->checkRestrictRosters->isChecked();
    f.limits = {ui_->spinLimitQB->value(), ui_->spinLimitRB->value(), ui_->spinLimitWR->value(),
                ui_->spinLimitTE->value(), ui_->spinLimitPK->value(), ui_->spinLimitDEF->value(),
                ui_->spinLimitSPE->value()};
    f.sharedPlayers = ui_->checkSharedPlayers->isChecked();

    qff::InternetSettings& i = o.internet;
    i.league = chosenLeague();
    i.name = textOf(ui_->editName);
    i.email = textOf(ui_->editEMail);
    i.smtpServer = textOf(ui_->editSmtpServer);
    i.smtpUser = textOf(ui_->editSmtpUser);
    i.ftpUser = textOf(ui_->editFtpUser);
    i.ftpPassword = textOf(ui_->editFtpPassword);
    i.webSite = textOf(ui_->editWebSite);
    i.cgiLocation = textOf(ui_->editCgiLocation);
    i.passiveOff = ui_->checkDisablePasv->isChecked();
    i.firewallHost = textOf(ui_->editFirewallHost);
    i.firewallUser = textOf(ui_->editFirewallUser);
    i.firewallPassword = textOf(ui_->editFirewallPassword);
    i.firewallType = ui_->comboFirewallType->currentIndex();
    if (i.league) {
        std::optional<int> ftpPort = shownPort(ui_->editFtpPort);
        std::optional<int> firewallPort = ftpPort ? shownPort(ui_->editFirewallPort) : ftpPort;
        if (!ftpPort || !firewallPort) {
            return std::nullopt;
        }
        i.ftpPort = *ftpPort;
        i.firewallPort = *firewallPort;
    }

    qff::BackupSettings& b = o.backup;
    b.directory = textOf(ui_->editBackupDirectory);
    b.password = textOf(ui_->editBackupPassword);
    b.includeViewedReports = ui_->checkIncludeViewedReports->isChecked();
    b.automatic = ui_->radioBackupOnMerge->isChecked()      ? 1
                  : ui_->radioBackupOnDownload->isChecked() ? 2
                                                            : 0;
    return o;
}

void TformOptions::accept() {
    if (isTestingSmtp()) {
        return;
    }
    std::optional<qff::OptionSettings> options = shownOptions();
    if (!options) {
        return;
    }
    std::optional<qff::StatsServerSettings> statsServer =
        statsServer_ ? shownStatsServer() : std::nullopt;
    if (statsServer_ && !statsServer) {
        return;
    }
    std::string error;
    if (!qff::storeOptions(context_, *options, error)) {
        prompter_.tell(this, Prompter::Icon::Warning, qtext(error));
        return;
    }
    if (statsServer && !storeStatsServer(*statsServer)) {
        return;
    }
    QDialog::accept();
}

void TformOptions::reject() {
    if (!isTestingSmtp()) {
        QDialog::reject();
    }
}

void TformOptions::chooseLeague(QComboBox* selector, int index) {
    if (filling_ || index < 0) {
        return;
    }
    filling_ = true;
    for (QComboBox* other : {ui_->comboEMailLeague, ui_->comboFtpLeague}) {
        other->setCurrentIndex(index);
    }
    filling_ = false;
    int league = selector->itemData(index).toInt();
    qff::chooseOptionsLeague(context_, league);
    showLeagueSettings(qff::readInternetOptions(context_, league));
}

void TformOptions::updateColourRows() {
    ui_->frameColours->setEnabled(ui_->checkAddColour->isChecked());
}

void TformOptions::updateRosterLimits() {
    bool merged = ui_->checkMergeWrTe->isChecked();
    ui_->labelLimitTE->setVisible(!merged);
    ui_->spinLimitTE->setVisible(!merged);
    ui_->frameRosterLimits->setEnabled(ui_->checkRestrictRosters->isChecked());
}

void TformOptions::browseBackgroundImage() {
    QString file =
        QFileDialog::getOpenFileName(this, tr("Report Background Image"),
                                     ui_->editBackgroundImage->text(), tr(kBackgroundImageFilter));
    if (!file.isEmpty()) {
        ui_->editBackgroundImage->setText(file);
    }
}

void TformOptions::browseBackupDirectory() {
    // Only the folder of the chosen archive is kept; nothing is written now.
    QString file = QFileDialog::getSaveFileName(
        this, tr("Select Backup File"), ui_->editBackupDirectory->text(), tr(kBackupFileFilter),
        nullptr, QFileDialog::DontConfirmOverwrite);
    if (!file.isEmpty()) {
        ui_->editBackupDirectory->setText(QFileInfo(file).absolutePath());
    }
}

// The browser logs on with the league's stored settings, so what the page
// shows is stored first.
void TformOptions::browseFtpSite(qff::FtpLocationField field, QLineEdit* location) {
    std::optional<qff::OptionSettings> options = shownOptions();
    if (!options) {
        return;
    }
    std::string error;
    if (!qff::storeInternetOptions(context_, options->internet, error)) {
        prompter_.tell(this, Prompter::Icon::Warning, qtext(error));
        return;
    }
    TformBrowseFTP browser(context_, prompter_, this);
    if (!browser.connectSite(field)) {
        prompter_.tell(this, Prompter::Icon::Information, tr(kFtpNoConnection),
                       tr("Reason - %1").arg(browser.connectError()));
        return;
    }
    if (browser.exec() == QDialog::Accepted && !browser.chosenLocation().isEmpty()) {
        location->setText(browser.chosenLocation());
    }
}

void TformOptions::testSmtpConnection() {
    std::shared_ptr<qff::platform::MailClient> client = mailClientFactory_();
    std::string server = textOf(ui_->editSmtpServer);
    std::string user = qff::smtpTestUser(textOf(ui_->editSmtpUser));
    auto connected = std::make_shared<std::atomic<bool>>(false);
    setTestingSmtp(true);
    smtpTest_ = QThread::create(
        [client, server, user, connected] { *connected = canConnect(*client, server, user); });
    connect(smtpTest_, &QThread::finished, this,
            [this, connected] { finishSmtpTest(connected->load()); });
    smtpTest_->start();
}

void TformOptions::finishSmtpTest(bool connected) {
    smtpTest_->deleteLater();
    smtpTest_ = nullptr;
    setTestingSmtp(false);
    prompter_.tellTitled(this, tr(kSmtpCaption), Prompter::Icon::Information,
                         tr(connected ? kSmtpSuccess : kSmtpFailure));
}

void TformOptions::setTestingSmtp(bool testing) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui_->buttonBox->button(QDialogButtonBox::Ok),
             ui_->buttonBox->button(QDialogButtonBox::Cancel), ui_->tabReportOptions,
             ui_->tabHthSchedule, ui_->btnTestSmtp}) {
        control->setEnabled(!testing);
    }
    if (testing) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}
