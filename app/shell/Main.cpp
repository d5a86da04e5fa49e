#include "app/shell/Main.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QUrl>
#include <algorithm>

#include "app/intake/EnterPlayerStats.h"
#include "app/intake/NFLStats.h"
#include "app/intake/UpdateRosterResults.h"
#include "app/league/FindPlayer.h"
#include "app/publish/BackupData.h"
#include "app/publish/DoBackup.h"
#include "app/publish/Restore.h"
#include "app/reports/ReportDelete.h"
#include "app/reports/ReportPane.h"
#include "app/reports/Rpt_tree.h"
#include "app/schedule/GenerateSchedule.h"
#include "app/scoring/CloseWeek.h"
#include "app/scoring/TeamBonus.h"
#include "app/shell/About.h"
#include "app/shell/HelpPane.h"
#include "app/shell/HostedForms.h"
#include "app/shell/Loading.h"
#include "app/shell/Options.h"
#include "app/shell/Seasons.h"
#include "app/shell/Shell.h"
#include "app/widgets/PageView.h"
#include "app/widgets/Prompter.h"
#include "app/widgets/SeasonForm.h"
#include "data02/model/Legqry.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/publish/Backup.h"
#include "data02/reports/Rpt_output.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/shell/Activities.h"
#include "ui_Main.h"

namespace {

constexpr int kStatisticsActivity = 13;
constexpr int kScheduleActivity = 10;
constexpr int kSwitchMilliseconds = 500;
// Answers above this year name a season.
constexpr int kLastYearBeforeSeasons = 1992;
constexpr const char* kMemoryReportName = "mem_log.txt";
constexpr const char* kFirstSeasonHint =
    "First create a season with Season + New, then set up your league.";
constexpr const char* kNoSeasonHint =
    "No season is open. Open one with Season + Open or create one with Season + New.";
constexpr const char* kSetUpLeagueHint =
    "Now set up your league with Season + Setup Leagues/Divisions/Franchises.";

using qff::kReportSection;

bool hostsForm(int section, int activity) {
    return !qff::hostedForm(section, activity).empty();
}

// A caption as shown: "&&" is a literal ampersand, a single "&" marks the mnemonic.
QString plainCaption(QString text) {
    text.replace("&&", QChar(0x1));
    text.remove('&');
    text.replace(QChar(0x1), '&');
    return text;
}

QString withoutLeadingBlanks(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && text.at(first).isSpace()) {
        ++first;
    }
    return text.mid(first);
}

QString linkText(const char* address) {
    return QString("<a href=\"%1\">%1</a>").arg(address);
}

}  // namespace

TformMain::TformMain(std::filesystem::path workdir, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::TformMain),
      workdir_(std::move(workdir)),
      prompter_(prompter) {
    ui->setupUi(this);
    ui->tabsRight->setTabVisible(ui->tabsRight->indexOf(ui->tabHelp), false);
    ui->mnuEMail->menuAction()->setVisible(false);
    ui->lblWebSiteLink->setText(linkText(kHomePageAddress));
    ui->lblDownloadLink->setText(linkText(kDownloadAddress));
    for (QLabel* link : {ui->lblWebSiteLink, ui->lblDownloadLink}) {
        connect(link, &QLabel::linkActivated, this,
                [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); });
    }
    ui->splitterMain->setStretchFactor(1, 1);
    ui->paneHelp->setWorkdir(QString::fromStdString(workdir_.string()));
    connect(ui->paneHelp->view(), &PageView::statusText, this, &TformMain::showStatusText);
    connect(ui->paneReport, &ReportPane::statusTextChanged, this, &TformMain::showStatusText);
    connect(ui->treeReports, &ReportTree::reportActivated, this, &TformMain::showReport);
    ui->treeReports->setPrompter(prompter_);
    ui->paneHelp->view()->setPrompter(prompter_);
    ui->paneReport->view()->setPrompter(prompter_);
    ui->lblLeague->hide();
    ui->comboLeague->hide();
    // Permanent, so page texts such as "Done" never cover it.
    firstSteps_ = new QLabel(this);
    firstSteps_->setObjectName("lblFirstSteps");
    statusBar()->addPermanentWidget(firstSteps_);
    seasonStatus_ = new QLabel(this);
    seasonStatus_->setObjectName("lblSeasonLoadedStatus");
    statusBar()->addPermanentWidget(seasonStatus_);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        screenWidthClass_ = qff::screenWidthClass(screen->size().width());
    }
    setToolbarIcons();
    wireCommands();
    wireOutlook();
    connect(ui->comboWeek, &QComboBox::activated, this, &TformMain::weekChosen);
    connect(ui->comboLeague, &QComboBox::activated, this, &TformMain::leagueChosen);
    switchTimer_.setInterval(kSwitchMilliseconds);
    connect(&switchTimer_, &QTimer::timeout, this, &TformMain::onSwitchTick);
    selectOutlook(0, 0);
    updateCommandStates();
}

TformMain::~TformMain() {
    closeSeason();
}

void TformMain::setToolbarIcons() {
    const std::pair<QAction*, QStyle::StandardPixmap> icons[] = {
        {ui->menuBackup, QStyle::SP_DialogSaveButton},
        {ui->menuDraftDay, QStyle::SP_FileDialogDetailedView},
        {ui->menuManageRosters, QStyle::SP_FileDialogListView},
        {ui->menuActivatePlayers, QStyle::SP_DialogApplyButton},
        {ui->menuDownloadStats, QStyle::SP_ArrowDown},
        {ui->menuNewReport, QStyle::SP_FileIcon},
        {ui->menuEditReport, QStyle::SP_FileDialogContentsView},
        {ui->menuExit, QStyle::SP_DialogCloseButton},
    };
    for (const auto& [command, icon] : icons) {
        command->setIcon(style()->standardIcon(icon));
    }
}

void TformMain::wireCommands() {
    const std::pair<QAction*, std::pair<int, int>> shows[] = {
        {ui->menuBackup, {2, 15}},          {ui->menuEMailReports, {2, 14}},
        {ui->menuGenerateWebSite, {2, 12}}, {ui->menuDraftDay, {1, 7}},
        {ui->menuDefineScoring, {1, 11}},   {ui->menuSetupLeagues, {1, 6}},
        {ui->menuScheduleEdit, {1, 10}},    {ui->menuManageRosters, {2, 8}},
        {ui->menuTradePlayers, {2, 16}},    {ui->menuActivatePlayers, {2, 9}},
        {ui->menuSetupFranchises, {1, 6}},  {ui->menuDownloadStats, {2, 13}},
    };
    for (const auto& [command, pair] : shows) {
        connect(command, &QAction::triggered, this,
                [this, pair] { DisplayActivity(pair.first, pair.second); });
    }
    connect(ui->menuNewReport, &QAction::triggered, this,
            [this] { runReportAssistant(TformReportIO::Mode::New); });
    connect(ui->menuEditReport, &QAction::triggered, this,
            [this] { runReportAssistant(TformReportIO::Mode::Edit); });
    connect(ui->menuDeleteReport, &QAction::triggered, this, &TformMain::deleteReport);
    connect(ui->menuEnterStats, &QAction::triggered, this, [this] {
        TformEnterPlayerStats dialog(*context_, prompter_, this);
        dialog.exec();
        syncViewWeek();
        seasonDataChanged();
    });
    connect(ui->menuUpdateRosters, &QAction::triggered, this, [this] {
        updateNflRosters(*context_, prompter_, this);
        seasonDataChanged();
    });
    connect(ui->menuCloseWeek, &QAction::triggered, this, [this] {
        TformCloseWeek dialog(*context_, prompter_, this);
        dialog.exec();
        seasonDataChanged();
    });
    connect(ui->menuBonusPoints, &QAction::triggered, this, [this] {
        TformTeamBonus dialog(*context_, prompter_, this);
        dialog.exec();
        syncViewWeek();
        seasonDataChanged();
    });
    connect(ui->menuPrintReport, &QAction::triggered, ui->paneReport, &ReportPane::printReport);
    connect(ui->menuExportReport, &QAction::triggered, ui->paneReport, &ReportPane::exportReport);
    connect(ui->menuFindPlayer, &QAction::triggered, this, [this] {
        TformFindPlayer finder(*context_, prompter_, this);
        finder.exec();
    });
    connect(ui->menuPreferences, &QAction::triggered, this, &TformMain::showOptions);
    connect(ui->menuRestore, &QAction::triggered, this, &TformMain::restoreBackup);
    connect(ui->menuOpenSeason, &QAction::triggered, this, &TformMain::menuOpenSeasonClick);
    connect(ui->menuNewSeason, &QAction::triggered, this, &TformMain::newSeasonClick);
    connect(ui->menuScheduleGenerate, &QAction::triggered, this, &TformMain::generateSchedule);
    connect(ui->menuScheduleReset, &QAction::triggered, this, &TformMain::resetSchedule);
    connect(ui->menuViewReports, &QAction::triggered, this,
            [this] { DisplayActivity(kReportSection, lastActivity_[kReportSection]); });
    connect(ui->menuExit, &QAction::triggered, this, &TformMain::close);
    connect(ui->menuAbout, &QAction::triggered, this, [this] {
        TformAbout about(VersionInfo::ofThisBuild(), this);
        about.exec();
    });
}

void TformMain::wireOutlook() {
    for (QPushButton* button : activityButtons()) {
        int section = button->property("section").toInt();
        int activity = button->property("activity").toInt();
        connect(button, &QPushButton::clicked, this, [this, button, section, activity] {
            // A pressed entry stays pressed when it is clicked again.
            button->setChecked(true);
            DisplayActivity(section, activity);
        });
    }
    connect(ui->outlook, &QToolBox::currentChanged, this,
            [this](int section) { DisplayActivity(section, lastActivity_[section]); });
}

bool TformMain::initGlobals(QString& error) {
    std::string reason;
    context_ = qff::Singleton::create(qff::SeasonEnv{workdir_}, reason);
    if (!context_) {
        error = QString::fromStdString(reason);
        return false;
    }
    qff::Preferences& preferences = context_->preferences();
    if (preferences.load() != qff::kOk) {
        prompter_.tell(this, Prompter::Icon::Warning,
                       QString::fromStdString(preferences.lastError()));
    }
    return true;
}

bool TformMain::FormCreate(QString& error) {
    if (!initGlobals(error)) {
        return false;
    }
    restorePlacement();
    int year = context_->preferences().get(qff::kPrefOpenSeason);
    // A season that was never created is not tried, so a fresh workspace
    // starts quietly and gains no stray files of that year.
    if (seasonExists(year)) {
        openThisSeason(year);
    } else {
        showNoSeason();
    }
    updateCommandStates();
    return true;
}

bool TformMain::seasonExists(int year) const {
    std::vector<int> years = qff::availableSeasons(*context_);
    return std::find(years.begin(), years.end(), year) != years.end();
}

void TformMain::openThisSeason(int year) {
    // Only a season that opened can be offered again; the NFL table may already
    // hold the year of an open that failed.
    int previousSeason = seasonOpen_ ? openSeason_ : 0;
    qff::SeasonOpenReport report;
    if (qff::prepareSeason(*context_, year, report) && loadSeason(year, report)) {
        seasonOpened(year);
    } else {
        seasonFailed(report, previousSeason);
    }
}

bool TformMain::loadSeason(int year, qff::SeasonOpenReport& report) {
    TformLoading loading(*context_, year, prompter_, this);
    emit loadingStarted(&loading);
    loading.exec();
    report.results = loading.results();
    qff::finishSeason(*context_, year, report);
    return report.opened;
}

void TformMain::seasonOpened(int year) {
    seasonOpen_ = true;
    openSeason_ = year;
    checkNumTeams();
    fillWeekSelector(context_->pro().weeks());
    updateWeekControls(context_->seasonState().peek(qff::kViewWeek));
    ui->lblSeasonLoaded->setText(QString::number(year));
    seasonStatus_->setText(QString::number(year));
    statusBar()->clearMessage();
    ui->treeReports->setSeason(context_.get());
    showReportStartPage();
}

void TformMain::showNoSeason() {
    ui->lblSeasonLoaded->setText("(none)");
    seasonStatus_->clear();
    statusBar()->clearMessage();
    showReportStartPage();
}

// The viewer starts afresh with every season, so no page or history entry
// of another season stays reachable.
void TformMain::showReportStartPage() {
    ui->paneReport->clearHistory();
    ui->paneReport->displayReportPage(
        HelpPane::helpPagePath(QString::fromStdString(workdir_.string()), kReportSection, 0));
}

// Until the season has its first franchise the status bar says what to do next.
QString TformMain::firstStepsHint() const {
    if (!seasonOpen_) {
        return qff::availableSeasons(*context_).empty() ? kFirstSeasonHint : kNoSeasonHint;
    }
    return counts_.franchises == 0 ? kSetUpLeagueHint : QString();
}

void TformMain::updateFirstStepsHint() {
    QString hint = context_ ? firstStepsHint() : QString();
    firstSteps_->setText(hint);
    firstSteps_->setVisible(!hint.isEmpty());
}

void TformMain::seasonFailed(const qff::SeasonOpenReport& report, int previousSeason) {
    seasonOpen_ = false;
    openSeason_ = 0;
    showNoSeason();
    ui->comboWeek->clear();
    ui->treeReports->setSeason(nullptr);
    closeHostedForm();
    updateCommandStates();
    for (const qff::SeasonMessage& message : report.messages) {
        prompter_.tell(this, Prompter::Icon::Error, QString::fromStdString(message.text),
                       QString::fromStdString(message.detail));
    }
    if (previousSeason != 0 &&
        prompter_.ask(this,
                      QString("Would you like to reopen the %1 season?").arg(previousSeason))) {
        openThisSeason(previousSeason);
    }
    if (!seasonOpen_ && currentSection_ != 0 && currentSection_ != qff::kNoOutlookPair) {
        DisplayActivity(0, lastActivity_[0]);
    }
}

void TformMain::menuOpenSeasonClick() {
    std::vector<int> years = qff::availableSeasons(*context_);
    if (years.empty()) {
        prompter_.tell(this, Prompter::Icon::Information,
                       "There is no season in this working folder yet. Create one with Season + "
                       "New.");
        return;
    }
    TformOpenSeason dialog(years, prompter_, this);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenYear() == 0) {
        return;
    }
    switchSeason(dialog.chosenYear());
}

void TformMain::switchSeason(int year) {
    if ((currentSection_ == 1 || currentSection_ == 2) && currentActivity_ != 0) {
        closeHostedForm();
    }
    openThisSeason(year);
    int section = currentSection_;
    int activity = qff::activityAfterSeasonSwitch(section, currentActivity_);
    currentSection_ = qff::kNoOutlookPair;
    currentActivity_ = qff::kNoOutlookPair;
    if (section != qff::kNoOutlookPair) {
        DisplayActivity(section, activity);
    }
}

// The calendar's season may never have been created here; going to it
// creates it, as Season + New would.
void TformMain::goToSeason(int year) {
    if (seasonExists(year) || createSeason(year)) {
        switchSeason(year);
    }
}

bool TformMain::createSeason(int year) {
    std::string error;
    if (!qff::createSeasonFiles(*context_, year, error)) {
        prompter_.tell(this, Prompter::Icon::Error,
                       QString("The %1 season could not be created.").arg(year),
                       QString::fromStdString(error));
        return false;
    }
    return true;
}

// The calendar's season, unless it exists; then the season after the last one.
int TformMain::suggestedNewSeason() const {
    std::vector<int> years = qff::availableSeasons(*context_);
    int year = context_->calendarYear();
    if (std::find(years.begin(), years.end(), year) != years.end()) {
        year = years.back() + 1;
    }
    return year;
}

void TformMain::newSeasonClick() {
    TformNewSeason dialog(suggestedNewSeason(), this);
    if (dialog.exec() == QDialog::Accepted && createSeason(dialog.year())) {
        switchSeason(dialog.year());
    }
}

void TformMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstActivation_) {
        firstActivation_ = false;
        QTimer::singleShot(0, this, &TformMain::FormActivate);
    }
}

void TformMain::FormActivate() {
    auto [section, activity] = rememberedActivity();
    DisplayActivity(section, activity);
    if (prompter_.watched() && seasonNoticeDue()) {
        showSeasonNotice();
    }
}

std::pair<int, int> TformMain::rememberedActivity() const {
    if (!seasonOpen_) {
        return {0, lastActivity_[0]};
    }
    const qff::SeasonState& state = context_->seasonState();
    int section = state.peek(qff::kLastSection);
    int activity = state.peek(qff::kLastActivity);
    if (section == kReportSection) {
        return {kReportSection, 0};
    }
    return activityButton(section, activity) != nullptr ? std::pair{section, activity}
                                                        : std::pair{0, 0};
}

bool TformMain::seasonNoticeDue() const {
    return seasonOpen_ && openSeason_ != context_->calendarYear() &&
           context_->preferences().get(qff::kPrefSeasonNotice) != 0;
}

void TformMain::showSeasonNotice() {
    TformSwitchSeasons dialog(openSeason_, context_->calendarYear(), this);
    dialog.exec();
    if (dialog.doNotShowAgain()) {
        context_->preferences().set(qff::kPrefSeasonNotice, 0);
    }
    int answer = dialog.answer();
    if (answer == 0 || answer == openSeason_) {
        return;
    }
    if (answer == TformSwitchSeasons::kPickFromList) {
        menuOpenSeasonClick();
    } else if (answer > kLastYearBeforeSeasons) {
        goToSeason(answer);
    }
}

void TformMain::DisplayActivity(int section, int activity) {
    if (!seasonOpen_ && section != 0) {
        section = 0;
        activity = lastActivity_[0];
    }
    if (section == currentSection_ && activity == currentActivity_) {
        return;
    }
    selectOutlook(section, activity);
    ui->lblBanner->setText(bannerFor(section, activity));
    currentSection_ = section;
    updateCommandStates();
    if (section == kReportSection) {
        fillLeagueSelector();
        refreshReportTree({qff::kFranchiseReport, qff::kPlayerReport, qff::kFranchiseOverviewGroup,
                           qff::kPlayerSummary, qff::kDraftDayReport, qff::kLeagueInformation,
                           qff::kReportPack});
        if (context_->seasonState().peek(qff::kViewWeek) == qff::kAllWeeks) {
            updateWeekControls(qff::kAllWeeks);
        } else {
            updateWeekControls(context_->seasonState().peek(qff::kCurrentWeek));
        }
    }
    showHostedForm(section, activity);
    if (section == kReportSection) {
        ui->stackRight->setCurrentWidget(ui->pageReport);
    } else if (hostsForm(section, activity)) {
        ui->stackRight->setCurrentWidget(ui->pageActivity);
    } else {
        showHelpPage(section, activity);
    }
    runSwitchTimer(activity);
    currentActivity_ = activity;
    lastActivity_[section] = activity;
    if (seasonOpen_) {
        context_->seasonState().set(qff::kLastSection, section);
        context_->seasonState().set(qff::kLastActivity, activity);
    }
}

void TformMain::selectOutlook(int section, int activity) {
    {
        const QSignalBlocker blocker(ui->outlook);
        ui->outlook->setCurrentIndex(section);
    }
    for (QPushButton* button : activityButtons()) {
        if (button->property("section").toInt() == section) {
            button->setChecked(button->property("activity").toInt() == activity);
        }
    }
}

QString TformMain::bannerFor(int section, int activity) const {
    QString text = ui->outlook->itemText(section);
    if (const QPushButton* button = activityButton(section, activity);
        button != nullptr && section != kReportSection) {
        text = withoutLeadingBlanks(text) + ": " + plainCaption(button->text());
    }
    return "  " + withoutLeadingBlanks(text);
}

QList<QPushButton*> TformMain::activityButtons() const {
    QList<QPushButton*> buttons;
    for (QPushButton* button : ui->outlook->findChildren<QPushButton*>()) {
        if (button->property("activity").isValid()) {
            buttons.append(button);
        }
    }
    return buttons;
}

QPushButton* TformMain::activityButton(int section, int activity) const {
    for (QPushButton* button : activityButtons()) {
        if (button->property("section").toInt() == section &&
            button->property("activity").toInt() == activity) {
            return button;
        }
    }
    return nullptr;
}

QString TformMain::activityCaption(int section, int activity) const {
    const qff::Activity* entry = qff::findActivity(section, activity);
    return entry == nullptr ? QString() : plainCaption(QString::fromUtf8(entry->caption));
}

void TformMain::showHelpPage(int section, int activity) {
    ui->paneHelp->showPair(section, activity);
    ui->stackRight->setCurrentWidget(ui->pageHelp);
}

void TformMain::showHostedForm(int section, int activity) {
    closeHostedForm();
    if (!hostsForm(section, activity)) {
        return;
    }
    hosted_ =
        createHostedForm(qff::hostedForm(section, activity), activityCaption(section, activity),
                         *context_, prompter_, ui->panelHost);
    if (auto* form = qobject_cast<SeasonForm*>(hosted_.data())) {
        connect(form, &SeasonForm::seasonChanged, this, [this, form] { seasonDataChanged(form); });
    }
    if (auto* backup = qobject_cast<TformBackupData*>(hosted_.data())) {
        // The backup replaces the form with the season, so it runs once the click is over.
        connect(backup, &TformBackupData::backupRequested, this,
                [this](const qff::BackupOptions& options) {
                    QTimer::singleShot(0, this, [this, options] { runBackup(options); });
                });
    }
    if (auto* stats = qobject_cast<TformNFLStats*>(hosted_.data())) {
        connect(stats, &SeasonForm::seasonChanged, this, &TformMain::syncViewWeek);
        connect(stats, &TformNFLStats::reportsRequested, this, &TformMain::requestReportView);
    }
    ui->layoutHost->addWidget(hosted_);
    hosted_->show();
    hosted_->setFocus();
}

void TformMain::closeHostedForm() {
    if (hosted_) {
        hosted_->close();
        delete hosted_;
    }
}

// While statistics are merged, the statistics form may ask for the reports;
// the switch waits for the next tick so the form is never freed from within.
void TformMain::runSwitchTimer(int activity) {
    if (currentActivity_ == kStatisticsActivity && activity != kStatisticsActivity) {
        switchTimer_.stop();
        switchRequested_ = false;
    }
    if (activity == kStatisticsActivity) {
        switchRequested_ = false;
        switchTimer_.start();
    }
}

void TformMain::requestReportView() {
    switchRequested_ = true;
}

void TformMain::onSwitchTick() {
    if (switchBusy_ || !switchRequested_) {
        return;
    }
    switchBusy_ = true;
    switchRequested_ = false;
    DisplayActivity(kReportSection, lastActivity_[kReportSection]);
    switchBusy_ = false;
}

void TformMain::showStatusText(const QString& text) {
    statusBar()->showMessage(text);
}

void TformMain::fillWeekSelector(int weeks) {
    const QSignalBlocker blocker(ui->comboWeek);
    ui->comboWeek->clear();
    for (int week = 1; week <= weeks; ++week) {
        ui->comboWeek->addItem(QString::number(week));
    }
    ui->comboWeek->addItem("All");
}

void TformMain::updateWeekControls(int week) {
    if (!seasonOpen_) {
        return;
    }
    int selected = qff::storeWeekChoice(context_->seasonState(), week, context_->pro().weeks());
    const QSignalBlocker blocker(ui->comboWeek);
    ui->comboWeek->setCurrentIndex(selected == qff::kAllWeeks ? ui->comboWeek->count() - 1
                                                              : selected);
}

void TformMain::weekChosen(int index) {
    updateWeekControls(index == ui->comboWeek->count() - 1 ? qff::kAllWeeks : index);
}

// After bonus points or statistics of a week were entered, a single week on
// view follows the current week.
void TformMain::syncViewWeek() {
    if (seasonOpen_ && context_->seasonState().peek(qff::kViewWeek) != qff::kAllWeeks) {
        updateWeekControls(context_->seasonState().peek(qff::kCurrentWeek));
    }
}

void TformMain::fillLeagueSelector() {
    const QSignalBlocker blocker(ui->comboLeague);
    ui->comboLeague->clear();
    for (const qff::League* league : context_->leagueQuery().allLeagues()) {
        ui->comboLeague->addItem(QString::fromStdString(league->text(qff::kLeagueName)),
                                 league->getValue(qff::kLeagueId));
    }
    bool several = ui->comboLeague->count() > 1;
    ui->comboLeague->setVisible(several);
    ui->lblLeague->setVisible(several);
    if (several) {
        int current = ui->comboLeague->findData(context_->seasonState().peek(qff::kCurrentLeague));
        ui->comboLeague->setCurrentIndex(std::max(current, 0));
    }
}

void TformMain::leagueChosen(int index) {
    context_->seasonState().set(qff::kCurrentLeague, ui->comboLeague->itemData(index).toInt());
    refreshReportTree({qff::kFranchiseReport, qff::kFranchiseOverviewGroup, qff::kDraftDayReport,
                       qff::kLeagueInformation});
}

// An edit stored part by part is in the season even when the assistant is
// cancelled afterwards; packs list their members by name, so they follow a
// rename.
void TformMain::runReportAssistant(TformReportIO::Mode mode) {
    TformReportIO assistant(*context_, prompter_, mode, this);
    assistant.exec();
    if (int group = assistant.storedGroup(); group != 0) {
        refreshReportTree({group, qff::kReportPack});
    }
}

void TformMain::refreshReportTree(std::initializer_list<int> groups) {
    if (!seasonOpen_) {
        return;
    }
    for (int group : groups) {
        ui->treeReports->refreshGroup(group);
    }
}

// A report of the tree is written for the week on view, or for the whole
// season with "All", into the league chosen beside the tree.
void TformMain::showReport(QTreeWidgetItem* node) {
    if (!seasonOpen_) {
        return;
    }
    if (ui->comboLeague->currentIndex() >= 0) {
        context_->seasonState().set(qff::kCurrentLeague, ui->comboLeague->currentData().toInt());
    }
    int index = ui->comboWeek->currentIndex();
    int weeks = context_->pro().weeks();
    bool oneWeek = index >= 0 && index < weeks;
    updateWeekControls(oneWeek ? index : qff::kAllWeeks);
    QString page = oneWeek ? ui->treeReports->runNode(node, index, index)
                           : ui->treeReports->runNode(node, 0, weeks - 1);
    if (!page.isEmpty()) {
        ui->paneReport->displayReportPage(page);
    }
}

void TformMain::seasonDataChanged(const QObject* origin) {
    checkNumTeams();
    if (auto* form = qobject_cast<SeasonForm*>(hosted_.data()); form != nullptr && form != origin) {
        form->reload();
    }
}

void TformMain::checkNumTeams() {
    counts_ = seasonOpen_ ? qff::countLeagueRecords(*context_) : qff::LeagueCounts{};
    updateCommandStates();
}

QList<QAction*> TformMain::seasonCommands() const {
    return {ui->menuBackup,          ui->menuEMailReports,     ui->menuGenerateWebSite,
            ui->menuCloseWeek,       ui->menuDraftDay,         ui->menuDefineScoring,
            ui->menuSetupLeagues,    ui->menuScheduleGenerate, ui->menuScheduleEdit,
            ui->menuScheduleReset,   ui->menuManageRosters,    ui->menuTradePlayers,
            ui->menuActivatePlayers, ui->menuSetupFranchises,  ui->menuBonusPoints,
            ui->menuFindPlayer,      ui->menuDownloadStats,    ui->menuEnterStats,
            ui->menuUpdateRosters,   ui->menuViewReports,      ui->menuNewReport,
            ui->menuEditReport,      ui->menuDeleteReport};
}

QList<QAction*> TformMain::franchiseCommands() const {
    return {ui->menuManageRosters,        ui->menuTradePlayers, ui->menuActivatePlayers,
            ui->menuBonusPoints,          ui->menuEMailReports, ui->menuDraftDay,
            ui->mnuSchedule->menuAction()};
}

void TformMain::updateCommandStates() {
    bool ready = context_ != nullptr;
    bool open = ready && seasonOpen_;
    bool franchises = open && counts_.franchises > 0;
    for (QAction* command :
         {ui->menuOpenSeason, ui->menuNewSeason, ui->menuPreferences, ui->menuRestore}) {
        command->setEnabled(ready);
    }
    for (QAction* command : seasonCommands()) {
        command->setEnabled(open);
    }
    for (QAction* command : franchiseCommands()) {
        command->setEnabled(franchises);
    }
    bool reportShown = open && currentSection_ == kReportSection;
    ui->menuPrintReport->setEnabled(reportShown);
    ui->menuExportReport->setEnabled(reportShown);
    {
        // Disabling the current section must not move the window to another
        // activity; whoever closed the season decides what is shown next.
        const QSignalBlocker blocker(ui->outlook);
        for (int section = 1; section < ui->outlook->count(); ++section) {
            ui->outlook->setItemEnabled(section, open);
        }
        if (currentSection_ < ui->outlook->count()) {
            ui->outlook->setCurrentIndex(currentSection_);
        }
    }
    for (const qff::Activity& entry : qff::kActivities) {
        if (entry.needsFranchise) {
            activityButton(entry.section, entry.activity)->setEnabled(franchises);
        }
    }
    ui->comboWeek->setEnabled(open);
    updateFirstStepsHint();
}

// Report packs may have dropped the deleted report, so their group follows too.
void TformMain::deleteReport() {
    TformReportDelete dialog(*context_, prompter_, this);
    dialog.exec();
    if (int type = dialog.deletedType(); type != 0) {
        refreshReportTree({type, qff::kReportPack});
    }
}

void TformMain::notAvailableYet(const QAction* command) {
    prompter_.tell(this, Prompter::Icon::Information,
                   QString("%1 is not available yet in this version of Quillmar Fantasy Football.")
                       .arg(plainCaption(command->text())));
}

// The schedule editor, when it is the hosted form, does its own generating
// and resetting.
bool TformMain::runHostedCommand(const char* slot) {
    if (currentActivity_ != kScheduleActivity || !hosted_) {
        return false;
    }
    QByteArray signature = QByteArray(slot) + "()";
    return hosted_->metaObject()->indexOfMethod(signature) >= 0 &&
           QMetaObject::invokeMethod(hosted_, slot);
}

void TformMain::generateSchedule() {
    if (!runHostedCommand("generateSchedule")) {
        TformGenerateSchedule dialog(*context_, prompter_, this);
        dialog.exec();
        seasonDataChanged();
    }
    refreshReportTree({qff::kFranchiseReport, qff::kLeagueInformation});
}

void TformMain::resetSchedule() {
    if (!runHostedCommand("resetSchedule")) {
        QString question =
            counts_.leagues > 1
                ? "Are you sure you want to erase head to head schedules for all leagues?"
                : "Are you sure you want to reset your head to head schedule?";
        if (!prompter_.ask(this, question)) {
            return;
        }
        std::string error;
        if (!qff::resetHeadToHeadSchedules(*context_, error)) {
            prompter_.tell(this, Prompter::Icon::Error,
                           "The head to head schedules could not be reset.",
                           QString::fromStdString(error));
        }
    }
    refreshReportTree({qff::kFranchiseReport, qff::kLeagueInformation});
}

void TformMain::showOptions() {
    TformOptions options(*context_, -1, prompter_, this);
    if (options.exec() == QDialog::Accepted) {
        seasonDataChanged();
    }
}

// The backup closes the season and opens it again in a new context, so every
// view of the old one goes first and the window takes up the new one after.
void TformMain::runBackup(const qff::BackupOptions& options) {
    if (!seasonOpen_) {
        return;
    }
    int year = openSeason_;
    releaseSeasonViews();
    TformDoBackup dialog(context_, qff::SeasonEnv{workdir_}, options, prompter_, this);
    dialog.exec();
    if (dialog.seasonOpen()) {
        seasonOpened(year);
    } else {
        seasonFailed(qff::SeasonOpenReport{}, 0);
    }
    if (dialog.run().status() == qff::BackupRun::Status::Succeeded) {
        showStatusText(QString("Backed up %1 files into %2.")
                           .arg(dialog.run().files().size())
                           .arg(QString::fromStdString(dialog.run().archive().string())));
    }
    showActivityAfresh();
}

void TformMain::restoreBackup() {
    int year = seasonOpen_ ? openSeason_ : 0;
    restoreFromBackup(workdir_, qff::backupDirectory(*context_),
                      context_->preferences().getText(qff::kPrefBackupPassword), prompter_, this,
                      {[this] { closeSeason(); }, [this, year] { reopenAfterRestore(year); }});
}

// The season that was open opens again from the restored files, with the
// preferences the restore may have brought back.
void TformMain::reopenAfterRestore(int year) {
    QString error;
    if (!initGlobals(error)) {
        prompter_.tell(this, Prompter::Icon::Error, error);
        updateCommandStates();
        return;
    }
    if (year == 0 || !seasonExists(year)) {
        year = context_->preferences().get(qff::kPrefOpenSeason);
    }
    if (seasonExists(year)) {
        openThisSeason(year);
    } else {
        seasonFailed(qff::SeasonOpenReport{}, 0);
    }
    updateCommandStates();
    showActivityAfresh();
}

void TformMain::showActivityAfresh() {
    int section = currentSection_;
    int activity = currentActivity_;
    currentSection_ = qff::kNoOutlookPair;
    currentActivity_ = qff::kNoOutlookPair;
    if (section != qff::kNoOutlookPair) {
        DisplayActivity(section, activity);
    }
}

void TformMain::restorePlacement() {
    qff::WindowPlacement placement = qff::storedPlacement(context_->preferences());
    QRect stored(placement.left, placement.top, placement.width, placement.height);
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        onScreen = onScreen || screen->availableGeometry().intersects(stored);
    }
    // A placement from another screen arrangement, or a damaged one, is ignored.
    if (onScreen && stored.width() >= minimumWidth() && stored.height() >= minimumHeight()) {
        setGeometry(stored);
    }
    if (placement.maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    if (placement.outlookWidth > 0) {
        ui->splitterMain->setSizes(
            {placement.outlookWidth, std::max(width() - placement.outlookWidth, 1)});
    }
}

void TformMain::savePlacement() {
    QRect normal = geometry();
    qff::storePlacement(context_->preferences(),
                        {isMaximized(), normal.y(), normal.x(), normal.height(), normal.width(),
                         ui->splitterMain->sizes().value(0)});
}

void TformMain::releaseSeasonViews() {
    switchTimer_.stop();
    closeHostedForm();
    savePlacement();
    if (seasonOpen_) {
        context_->seasonState().set(qff::kLastSection, currentSection_);
        context_->seasonState().set(qff::kLastActivity, currentActivity_);
    }
    ui->treeReports->setSeason(nullptr);
}

void TformMain::closeSeason() {
    if (!context_) {
        return;
    }
    releaseSeasonViews();
    std::string error;
    bool saved = qff::closeSeason(context_, error);
    seasonOpen_ = false;
    std::error_code ec;
    std::filesystem::remove(workdir_ / kMemoryReportName, ec);
    updateCommandStates();
    if (!saved) {
        prompter_.tell(this, Prompter::Icon::Warning, "The preferences could not be saved.",
                       QString::fromStdString(error));
    }
}

void TformMain::closeEvent(QCloseEvent* event) {
    closeSeason();
    event->accept();
}
