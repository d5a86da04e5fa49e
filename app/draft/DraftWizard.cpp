// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Draftday.h"
#include "data02/league/Draftorder.h"
#include "data02/league/Draftpages.h"
#include "data02/league/Draftpool.h"
#include "data02/league/Pickclock.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include "app/draft/DraftWizard.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <algorithm>
#include <array>
#include <set>

#include "app/draft/DraftBoard.h"
#include "app/draft/DraftOrder.h"
#include "app/draft/GenerateDraftOrderOptions.h"
#include "app/draft/PickClock.h"
#include "app/draft/SelectDraftPlayer.h"
#include "app/draft/SoundPlayer.h"
#include "app/league/TradePlayers.h"
#include "app/shell/Options.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_DraftWizard.h"

namespace {

constexpr int kRosterOptionsPage = 7;
constexpr int kFilterColumns = 3;
constexpr const char* kPleaseSelect = "< Please Select >";
constexpr const char* kDraftedMark = "= Drafted this round";
constexpr std::array<int, 3> kPlayerColumns = {qff::kPlayerName, qff::kPlayerTeam, qff::kPlayerId};
// The franchise list: pick, name, drafted, the seven groups, the mark.
constexpr int kNameColumn = 1;
constexpr int kFirstGroupColumn = 3;
constexpr int kMarkColumn = kFirstGroupColumn + qff::kDraftPositionGroups;
constexpr int kPickRole = Qt::UserRole + 1;
constexpr const char* kSoundFilter = "Windows Sound File (*.wav);;CD Audio (*.au);;All Files (*.*)";

constexpr std::array<const char*, 5> kPageTitles = {
    "Draft Day Assistant Options", "Before You Start Drafting...", "Select Franchise",
    "Select NFL Player", "Finished"};

QString numberOrEmpty(int number) {
    return number == 0 ? QString() : QString::number(number);
}

QString playerName(qff::Singleton& season, int id) {
    const qff::Player* player = season.playerQuery().findOne(qff::kPlayerId, id);
    return player == nullptr ? QString("player %1").arg(id) : qText(player->name());
}

QTreeWidgetItem* franchiseItem(const qff::DraftFranchiseRow& row) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, numberOrEmpty(row.pick));
    item->setText(kNameColumn, qText(row.name));
    item->setText(2, QString::number(row.drafted));
    for (int group = 0; group < qff::kDraftPositionGroups; ++group) {
        item->setText(kFirstGroupColumn + group, QString::number(row.byGroup[group]));
    }
    item->setText(kMarkColumn, row.draftedThisRound ? kDraftedMark : "");
    item->setData(0, Qt::UserRole, row.franchise);
    item->setData(0, kPickRole, row.pick);
    return item;
}

void fillCounts(QTreeWidget& list, const std::vector<qff::DraftCount>& counts) {
    list.clear();
    for (const qff::DraftCount& count : counts) {
        list.addTopLevelItem(
            new QTreeWidgetItem({qText(count.label), QString::number(count.count)}));
    }
    list.resizeColumnToContents(0);
}

void fitColumns(QTreeWidget& list) {
    for (int column = 0; column < list.columnCount(); ++column) {
        list.resizeColumnToContents(column);
    }
}

}  // namespace

TformDraftWizard::TformDraftWizard(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TformDraftWizard>()),
      season_(season),
      prompter_(prompter),
      ownSounds_(std::make_unique<QtSoundPlayer>()),
      sounds_(*ownSounds_),
      clock_(std::make_unique<PickClock>(sounds_)) {
    setUp();
}

TformDraftWizard::TformDraftWizard(qff::Singleton& season, Prompter& prompter, SoundPlayer& sounds,
                                   QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TformDraftWizard>()),
      season_(season),
      prompter_(prompter),
      sounds_(sounds),
      clock_(std::make_unique<PickClock>(sounds_)) {
    setUp();
}

void TformDraftWizard::setUp() {
    ui_->setupUi(this);
    ui_->editPlayers->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), this));
    ui_->editMinutes->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), this));
    ui_->editLastName->installEventFilter(this);
    ui_->panelTimer->hide();
    setUpFilters();
    fillLeagues();
    showTimerSettings();
    fillTasks();
    connectControls();
    showPage(kOptionsPage);
}

TformDraftWizard::~TformDraftWizard() = default;

void TformDraftWizard::setUpFilters() {
    auto* grid = new QGridLayout(ui_->panelFilters);
    const auto& filters = qff::draftFilters();
    for (int filter = 0; filter < qff::kDraftFilterCount; ++filter) {
        QString caption = filters[filter].caption;
        auto* box = new QCheckBox(caption, ui_->panelFilters);
        box->setObjectName("check" + QString(caption).remove(' '));
        box->setChecked(true);
        grid->addWidget(box, filter % (qff::kDraftFilterCount / kFilterColumns),
                        filter / (qff::kDraftFilterCount / kFilterColumns));
        connect(box, &QCheckBox::toggled, this, &TformDraftWizard::filterChanged);
        filterBoxes_.push_back(box);
    }
}

void TformDraftWizard::connectControls() {
    connect(ui_->comboLeague, &QComboBox::activated, this, &TformDraftWizard::comboLeagueChange);
    connect(ui_->listTasks, &QListWidget::currentRowChanged, this,
            &TformDraftWizard::listTasksChange);
    connect(ui_->btnRosterOptions, &QPushButton::clicked, this,
            &TformDraftWizard::btnRosterOptionsClick);
    connect(ui_->btnNext, &QPushButton::clicked, this, &TformDraftWizard::btnNextClick);
    connect(ui_->btnBack, &QPushButton::clicked, this, &TformDraftWizard::btnBackClick);
    connect(ui_->btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connectFranchisePage();
    connectPlayerPage();
    connectSounds();
}

void TformDraftWizard::connectSounds() {
    connect(ui_->btnPlayOneMinute, &QPushButton::clicked, this,
            [this] { playSound(*ui_->editOneMinuteSound); });
    connect(ui_->btnPlayTimeUp, &QPushButton::clicked, this,
            [this] { playSound(*ui_->editTimeUpSound); });
    connect(ui_->btnBrowseOneMinute, &QPushButton::clicked, this,
            [this] { browseSound(*ui_->editOneMinuteSound, *ui_->checkOneMinuteSound); });
    connect(ui_->btnBrowseTimeUp, &QPushButton::clicked, this,
            [this] { browseSound(*ui_->editTimeUpSound, *ui_->checkTimeUpSound); });
    connect(clock_.get(), &PickClock::displayChanged, ui_->labelClock, &QLabel::setText);
    connect(ui_->btnPauseTimer, &QPushButton::clicked, clock_.get(), &PickClock::pause);
    connect(ui_->btnRestartTimer, &QPushButton::clicked, clock_.get(), &PickClock::restart);
    connect(ui_->btnStopTimer, &QPushButton::clicked, clock_.get(), &PickClock::stop);
}

void TformDraftWizard::connectFranchisePage() {
    connect(ui_->btnSelectPlayer, &QPushButton::clicked, this,
            &TformDraftWizard::btnSelectPlayerClick);
    connect(ui_->listFranchises, &QTreeWidget::itemDoubleClicked, this,
            &TformDraftWizard::btnSelectPlayerClick);
    connect(ui_->listFranchises, &QTreeWidget::currentItemChanged, this,
            &TformDraftWizard::showNowDrafting);
    connect(ui_->btnDeletePlayers, &QPushButton::clicked, this,
            &TformDraftWizard::btnDeletePlayersClick);
    connect(ui_->btnUndoLastPick, &QPushButton::clicked, this,
            &TformDraftWizard::btnUndoLastPickClick);
    connect(ui_->btnNextRound, &QPushButton::clicked, this, &TformDraftWizard::btnNextRoundClick);
    connect(ui_->btnPrevRound, &QPushButton::clicked, this, &TformDraftWizard::btnPrevRoundClick);
    connect(ui_->btnTradePlayers, &QPushButton::clicked, this,
            &TformDraftWizard::btnTradePlayersClick);
    connect(ui_->btnDraftOrder, &QPushButton::clicked, this, &TformDraftWizard::btnDraftOrderClick);
    connect(ui_->btnDraftBoard, &QPushButton::clicked, this, &TformDraftWizard::btnDraftBoardClick);
}

void TformDraftWizard::connectPlayerPage() {
    connect(ui_->editLastName, &QLineEdit::textEdited, this, &TformDraftWizard::quickSearch);
    connect(ui_->listPlayers, &QTreeWidget::itemSelectionChanged, this, [this] {
        ui_->btnAssignPlayer->setEnabled(!selectedPlayerIds(*ui_->listPlayers).isEmpty());
    });
    connect(ui_->listPlayers, &QTreeWidget::itemDoubleClicked, this,
            &TformDraftWizard::btnAssignPlayerClick);
    connect(ui_->btnAssignPlayer, &QPushButton::clicked, this,
            &TformDraftWizard::btnAssignPlayerClick);
    connect(ui_->btnSelectNewOwner, &QPushButton::clicked, this,
            &TformDraftWizard::btnSelectNewOwnerClick);
    connect(ui_->tabsPlayer, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 0 && filtersChanged_) {
            fillPlayers();
        }
    });
}

const qff::League* TformDraftWizard::league() const {
    return season_.leagueQuery().findOne(qff::kLeagueId, league_);
}

int TformDraftWizard::rounds() const {
    const qff::League* record = league();
    return record == nullptr ? qff::kDefaultDraftRounds : qff::draftRounds(*record);
}

bool TformDraftWizard::tell(const std::string& message) {
    prompter_.tell(this, Prompter::Icon::Error, qText(message));
    return false;
}

void TformDraftWizard::fillLeagues() {
    fillCombo(ComboKind::Leagues, *ui_->comboLeague, season_);
    int current = season_.seasonState().peek(qff::kCurrentLeague);
    ui_->comboLeague->setCurrentIndex(std::max(ui_->comboLeague->findData(current), 0));
    league_ = ui_->comboLeague->currentData().toInt();
    showRounds();
}

void TformDraftWizard::comboLeagueChange() {
    league_ = ui_->comboLeague->currentData().toInt();
    season_.seasonState().set(qff::kCurrentLeague, league_);
    showRounds();
}

void TformDraftWizard::showRounds() {
    ui_->editPlayers->setText(QString::number(rounds()));
}

namespace {

// The file a sound name finds, as the pick clock looks for it; empty when
// there is none.
QString soundFile(const qff::Singleton& season, const QString& name) {
    std::filesystem::path file = qff::soundFilePath(
        name.toStdString(), season.workdir(), QCoreApplication::applicationDirPath().toStdString());
    return QString::fromStdString(file.string());
}

}  // namespace

// A sound that is not there is shown as no sound.
void TformDraftWizard::showTimerSettings() {
    qff::DraftTimerSettings timer = qff::readDraftTimerSettings(season_);
    for (std::string* sound : {&timer.oneMinuteSound, &timer.timeUpSound}) {
        if (soundFile(season_, qText(*sound)).isEmpty()) {
            sound->clear();
        }
    }
    ui_->checkTimer->setChecked(timer.useTimer);
    ui_->editMinutes->setText(QString::number(timer.minutesPerPick));
    ui_->checkOneMinuteSound->setChecked(!timer.oneMinuteSound.empty());
    ui_->editOneMinuteSound->setText(qText(timer.oneMinuteSound));
    ui_->checkTimeUpSound->setChecked(!timer.timeUpSound.empty());
    ui_->editTimeUpSound->setText(qText(timer.timeUpSound));
}

bool TformDraftWizard::storeOptions() {
    int typedRounds = qff::typedDraftRounds(ui_->editPlayers->text().toStdString());
    ui_->editPlayers->setText(QString::number(typedRounds));
    qff::DraftTimerSettings timer;
    timer.useTimer = ui_->checkTimer->isChecked();
    timer.minutesPerPick = qff::typedPickMinutes(ui_->editMinutes->text().toStdString());
    ui_->editMinutes->setText(QString::number(timer.minutesPerPick));
    if (ui_->checkOneMinuteSound->isChecked()) {
        timer.oneMinuteSound = ui_->editOneMinuteSound->text().toStdString();
    }
    if (ui_->checkTimeUpSound->isChecked()) {
        timer.timeUpSound = ui_->editTimeUpSound->text().toStdString();
    }
    std::string error;
    if (!qff::storeDraftTimerSettings(season_, timer, error)) {
        return tell(error);
    }
    useTimer_ = timer.useTimer;
    clock_->setSettings(timer.minutesPerPick, qText(timer.oneMinuteSound),
                        qText(timer.timeUpSound));
    qff::DraftChange change = qff::saveDraftSettings(season_, league_, {typedRounds, {}});
    if (!change.ok()) {
        showRounds();
        return tell(change.message);
    }
    return true;
}

void TformDraftWizard::playSound(const QLineEdit& name) {
    if (sounds_.playing()) {
        sounds_.stop();
        return;
    }
    QString file = soundFile(season_, name.text());
    if (file.isEmpty() || !sounds_.play(file)) {
        prompter_.tell(this, Prompter::Icon::Error, "Sound file does not exist.");
    }
}

void TformDraftWizard::browseSound(QLineEdit& name, QCheckBox& use) {
    QString chosen = QFileDialog::getOpenFileName(
        this, "Browse for a sound file", QString::fromStdString(season_.workdir().string()),
        kSoundFilter);
    if (!chosen.isEmpty()) {
        name.setText(QDir::toNativeSeparators(chosen));
        use.setChecked(true);
    }
}

void TformDraftWizard::fillTasks() {
    for (const qff::DraftTask& task : qff::draftTasks()) {
        ui_->listTasks->addItem(qText(task.item));
    }
    ui_->listTasks->setCurrentRow(0);
    listTasksChange();
}

void TformDraftWizard::listTasksChange() {
    int row = std::max(ui_->listTasks->currentRow(), 0);
    const qff::DraftTask& task = qff::draftTasks()[static_cast<std::size_t>(row)];
    ui_->labelTaskHeading->setText(qText(task.heading));
    ui_->labelTaskHeading->setVisible(!task.heading.empty());
    ui_->labelTaskText->setText(qText(task.text));
    ui_->btnRosterOptions->setVisible(task.offersRosterOptions);
}

void TformDraftWizard::btnRosterOptionsClick() {
    TformOptions options(season_, kRosterOptionsPage, prompter_, this);
    options.exec();
}

void TformDraftWizard::showPage(Page page) {
    ui_->pages->setCurrentIndex(page);
    ui_->labelTitle->setText(kPageTitles[page]);
    bool drafting = page == kFranchisePage || page == kPlayerPage;
    ui_->btnNext->setVisible(!drafting);
    ui_->btnBack->setVisible(!drafting);
    ui_->btnNext->setEnabled(page != kFinishedPage);
    ui_->btnBack->setEnabled(page != kOptionsPage);
    ui_->panelStatus->setVisible(drafting);
    if (page == kFranchisePage) {
        ui_->btnSelectPlayer->setDefault(true);
    } else if (page == kPlayerPage) {
        ui_->btnAssignPlayer->setDefault(true);
    } else {
        ui_->btnNext->setDefault(page != kFinishedPage);
    }
}

void TformDraftWizard::btnNextClick() {
    switch (ui_->pages->currentIndex()) {
        case kOptionsPage:
            if (!storeOptions()) {
                return;
            }
            if (season_.teamQuery().leagueFranchises(league_).empty()) {
                prompter_.tell(this, Prompter::Icon::Error,
                               "The selected league does not have any Franchises.\n\nPlease "
                               "select a league with Franchises then press the Next button "
                               "again.");
                return;
            }
            showPage(kInstructionsPage);
            return;
        case kInstructionsPage:
            enterDraft();
            return;
        default:
            return;
    }
}

void TformDraftWizard::btnBackClick() {
    switch (ui_->pages->currentIndex()) {
        case kInstructionsPage:
            showPage(kOptionsPage);
            return;
        case kFinishedPage:
            showRound(rounds(), onTheClockIn(rounds()));
            return;
        default:
            return;
    }
}

// A draft stopped part way goes on at the pick on the clock.
void TformDraftWizard::enterDraft() {
    const qff::League* record = league();
    if (record == nullptr) {
        return;
    }
    if (!season_.draftQuery().hasPicks(league_)) {
        offerDraftOrder();
        record = league();
    }
    qff::DraftStatus status = qff::draftStatus(season_, *record);
    if (status.finished) {
        round_ = rounds();
        showSummary();
        return;
    }
    showRound(status.onTheClock.round, status.onTheClock.franchise);
}

void TformDraftWizard::offerDraftOrder() {
    if (!prompter_.ask(this, "Would you like to generate a Draft Order for this league?")) {
        return;
    }
    TformGenerateDraftOrderOptions options(season_, prompter_, this);
    if (random_) {
        options.setRandom(random_);
    }
    if (options.exec() != QDialog::Accepted) {
        return;
    }
    if (prompter_.ask(this, "Would you like to view this leagues draft order?")) {
        TformDraftOrder order(season_, prompter_, this);
        order.exec();
    }
}

void TformDraftWizard::showRound(int round, int selectFranchise) {
    round_ = std::clamp(round, 1, rounds());
    franchise_ = 0;
    clock_->endPick();
    ui_->panelTimer->hide();
    fillFranchises(selectFranchise);
    fillDraftedThisRound();
    ui_->labelRound->setText(QString::number(round_));
    ui_->btnPrevRound->setEnabled(round_ > 1);
    showPage(kFranchisePage);
    ui_->listFranchises->setFocus();
}

void TformDraftWizard::fillFranchises(int selectFranchise) {
    QTreeWidget& list = *ui_->listFranchises;
    QSignalBlocker quiet(list);
    list.clear();
    for (const qff::DraftFranchiseRow& row : qff::draftFranchiseRows(season_, league_, round_)) {
        QTreeWidgetItem* item = franchiseItem(row);
        list.addTopLevelItem(item);
        if (row.franchise == selectFranchise && list.currentItem() == nullptr &&
            !row.draftedThisRound) {
            list.setCurrentItem(item);
        }
    }
    fitColumns(list);
    showNowDrafting();
}

void TformDraftWizard::fillDraftedThisRound() {
    QTreeWidget& list = *ui_->listDraftedThisRound;
    list.clear();
    for (const qff::DraftedPickRow& row : qff::draftedInRound(season_, league_, round_)) {
        auto* item = new QTreeWidgetItem({QString::number(row.pick), qText(row.franchiseName),
                                          qText(row.playerName), qText(row.nflTeam)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setData(0, kPickRole, row.pick);
        list.addTopLevelItem(item);
    }
    fitColumns(list);
}

int TformDraftWizard::selectedFranchise() const {
    const QTreeWidgetItem* item = ui_->listFranchises->currentItem();
    return item == nullptr ? 0 : item->data(0, Qt::UserRole).toInt();
}

void TformDraftWizard::showNowDrafting() {
    int franchise = franchise_ != 0 ? franchise_ : selectedFranchise();
    ui_->labelNowDrafting->setText(
        franchise == 0 ? QString(kPleaseSelect) : qText(qff::franchiseNameOf(season_, franchise)));
}

void TformDraftWizard::btnSelectPlayerClick() {
    if (ui_->listFranchises->topLevelItemCount() == 0) {
        return;
    }
    if (ui_->listFranchises->currentItem() == nullptr) {
        ui_->listFranchises->setCurrentItem(ui_->listFranchises->topLevelItem(0));
        return;
    }
    franchise_ = selectedFranchise();
    showPlayerPage();
}

void TformDraftWizard::showPlayerPage() {
    showNowDrafting();
    ui_->editLastName->clear();
    ui_->tabsPlayer->setCurrentIndex(0);
    fillPlayers();
    showPage(kPlayerPage);
    ui_->editLastName->setFocus();
    if (useTimer_) {
        ui_->panelTimer->show();
        clock_->startPick();
    }
}

void TformDraftWizard::filterChanged() {
    filtersChanged_ = true;
}

void TformDraftWizard::fillPlayers() {
    qff::DraftFilterSet filters;
    for (std::size_t filter = 0; filter < filterBoxes_.size(); ++filter) {
        filters.set(filter, filterBoxes_[filter]->isChecked());
    }
    filtersChanged_ = false;
    available_ = qff::availablePlayers(season_, league_, franchise_, filters);
    fillPlayerList(available_, kPlayerColumns, 0, *ui_->listPlayers);
    fitColumns(*ui_->listPlayers);
    ui_->btnAssignPlayer->setEnabled(false);
}

// Letters, space and comma search; a few keys edit without searching; any
// other character is refused. Keys without a character (arrows, Enter) keep
// their usual work.
bool TformDraftWizard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui_->editLastName || event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() != 1 || (!text[0].isPrint() && text[0] != '\t')) {
        return false;
    }
    char key = text[0].unicode() < 128 ? static_cast<char>(text[0].unicode()) : '\0';
    switch (qff::quickSearchKey(key)) {
        case qff::QuickKey::Search:
            searchKeyTyped_ = true;
            return false;
        case qff::QuickKey::PassOn:
            searchKeyTyped_ = false;
            return false;
        case qff::QuickKey::Refuse:
            return true;
    }
    return false;
}

// Escape would end the draft night and write the rosters: only Close does.
void TformDraftWizard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TformDraftWizard::quickSearch() {
    if (!searchKeyTyped_) {
        return;
    }
    searchKeyTyped_ = false;
    int row = qff::quickSearchRow(available_, ui_->editLastName->text().toStdString());
    if (QTreeWidgetItem* item = ui_->listPlayers->topLevelItem(row)) {
        ui_->listPlayers->setCurrentItem(item);
        ui_->listPlayers->scrollToItem(item);
    }
}

void TformDraftWizard::btnAssignPlayerClick() {
    QList<int> players = selectedPlayerIds(*ui_->listPlayers);
    if (franchise_ == 0 || players.isEmpty()) {
        return;
    }
    qff::DraftChange change =
        qff::recordPick(season_, league_, franchise_, round_, players.front());
    if (!change.ok()) {
        tell(change.message);
        return;
    }
    draftChanged();
}

void TformDraftWizard::btnSelectNewOwnerClick() {
    showRound(round_, 0);
}

int TformDraftWizard::onTheClockIn(int round) const {
    const qff::League* record = league();
    qff::DraftStatus status = record ? qff::draftStatus(season_, *record) : qff::DraftStatus{};
    bool inRound = !status.finished && status.onTheClock.round == round;
    return inRound ? status.onTheClock.franchise : 0;
}

void TformDraftWizard::draftChanged() {
    showRound(round_, onTheClockIn(round_));
    refreshBoard();
}

void TformDraftWizard::btnDeletePlayersClick() {
    if (ui_->tabsFranchise->currentWidget() == ui_->tabDraftedThisRound) {
        deleteCheckedPicks();
    } else if (int franchise = selectedFranchise(); franchise != 0) {
        deleteFranchisePicks(franchise);
    }
}

QString TformDraftWizard::deleteQuestion(const qff::TrackDraft& pick,
                                         const QString& franchise) const {
    if (!pick.isDrafted()) {
        return QString(
                   "%1 has not drafted a player in round %2 yet. Take its pick out of the "
                   "round?")
            .arg(franchise)
            .arg(round_);
    }
    return QString("Delete the pick of %1 by %2 in round %3?")
        .arg(playerName(season_, pick.getValue(qff::kDraftPlayer)))
        .arg(franchise)
        .arg(round_);
}

void TformDraftWizard::deleteFranchisePicks(int franchise) {
    qff::DraftList picks = qff::franchiseRoundPicks(season_, league_, franchise, round_);
    QString name = qText(qff::franchiseNameOf(season_, franchise));
    if (picks.size() == 1) {
        if (prompter_.ask(this, deleteQuestion(*picks.front(), name))) {
            deletePicks({picks.front()->getValue(qff::kDraftPick)});
        }
        return;
    }
    if (picks.empty()) {
        prompter_.tell(this, Prompter::Icon::Information,
                       QString("%1 has no pick in round %2.").arg(name).arg(round_));
        return;
    }
    qff::PlyrList players = qff::franchiseRoundPlayers(season_, league_, franchise, round_);
    TformSelectDraftPlayer chooser(name, players, this);
    if (chooser.exec() != QDialog::Accepted) {
        return;
    }
    QList<int> checked = chooser.checkedPlayers();
    std::vector<int> numbers;
    for (const qff::TrackDraft* pick : picks) {
        if (checked.contains(pick->getValue(qff::kDraftPlayer))) {
            numbers.push_back(pick->getValue(qff::kDraftPick));
        }
    }
    deletePicks(numbers);
}

void TformDraftWizard::deleteCheckedPicks() {
    std::vector<int> numbers;
    QTreeWidget& list = *ui_->listDraftedThisRound;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (list.topLevelItem(row)->checkState(0) == Qt::Checked) {
            numbers.push_back(list.topLevelItem(row)->data(0, kPickRole).toInt());
        }
    }
    if (numbers.empty()) {
        prompter_.tell(this, Prompter::Icon::Information,
                       "Check the picks to delete in the list first.");
        return;
    }
    if (prompter_.ask(this, QString("Delete the %1 checked pick(s) of round %2?")
                                .arg(numbers.size())
                                .arg(round_))) {
        deletePicks(numbers);
    }
}

void TformDraftWizard::deletePicks(const std::vector<int>& picks) {
    qff::DraftChange change = qff::removeFromDraftOrder(season_, league_, round_, picks);
    if (!change.ok()) {
        tell(change.message);
    }
    draftChanged();
}

void TformDraftWizard::btnUndoLastPickClick() {
    const qff::TrackDraft* last = qff::lastDraftedPick(season_, league_);
    if (last == nullptr) {
        tell("No player has been drafted in this league yet.");
        return;
    }
    int round = last->getValue(qff::kDraftRound);
    int franchise = last->getValue(qff::kDraftFranchise);
    QString question = QString(
                           "Take back the last pick, %1 by %2 in round %3?\n\nThe pick stays "
                           "in the round for %2 to make again.")
                           .arg(playerName(season_, last->getValue(qff::kDraftPlayer)))
                           .arg(qText(qff::franchiseNameOf(season_, franchise)))
                           .arg(round);
    if (!prompter_.ask(this, question)) {
        return;
    }
    qff::DraftChange change = qff::undoLastPick(season_, league_);
    if (!change.ok()) {
        tell(change.message);
    }
    showRound(round, franchise);
    refreshBoard();
}

void TformDraftWizard::btnNextRoundClick() {
    if (round_ >= rounds()) {
        showSummary();
        return;
    }
    showRound(round_ + 1, onTheClockIn(round_ + 1));
}

void TformDraftWizard::btnPrevRoundClick() {
    showRound(round_ - 1, onTheClockIn(round_ - 1));
}

void TformDraftWizard::btnTradePlayersClick() {
    TformTradePlayers trade(season_, prompter_, this);
    if (trade.exec() == QDialog::Accepted) {
        draftChanged();
    }
}

// The order's changes are stored as they are made, whatever ends the dialog.
void TformDraftWizard::btnDraftOrderClick() {
    TformDraftOrder order(season_, prompter_, this);
    order.exec();
    draftChanged();
}

// A window of the wizard's own, so the modal wizard leaves it usable.
void TformDraftWizard::btnDraftBoardClick() {
    if (board_ == nullptr || board_->league() != league_) {
        board_ = std::make_unique<DraftBoard>(season_, league_, this);
    }
    board_->refresh();
    board_->show();
    board_->raise();
    board_->activateWindow();
}

void TformDraftWizard::refreshBoard() {
    if (board_ != nullptr) {
        board_->refresh();
    }
}

void TformDraftWizard::showSummary() {
    qff::DraftSummary summary = qff::draftSummary(season_, league_);
    fillCounts(*ui_->listByFranchise, summary.byFranchise);
    fillCounts(*ui_->listByRound, summary.byRound);
    fillCounts(*ui_->listByPosition, summary.byPosition);
    showPage(kFinishedPage);
}

void TformDraftWizard::done(int result) {
    if (!closed_) {
        closed_ = true;
        clock_->endPick();
        sounds_.stop();
        closeDraftRosters();
    }
    QDialog::done(result);
}

// The questions and refusals of closing the draft from the command line,
// asked here.
void TformDraftWizard::closeDraftRosters() {
    if (!season_.draftQuery().hasPicks(league_)) {
        return;
    }
    qff::DraftClosePlan plan = qff::planDraftClose(season_, league_);
    if (plan.changedCount() == 0) {
        return;
    }
    if (plan.weekOnePlayed) {
        tell(
            "Week 1 already has statistics; the drafted rosters would rewrite played weeks, so "
            "the rosters were left as they are.");
        return;
    }
    if (plan.replacesPlayers() &&
        !prompter_.ask(this, qText("Closing the draft replaces players on the rosters of " +
                                   qff::replacedRostersText(season_, plan) +
                                   ".\n\nReplace them with the drafted players?"))) {
        return;
    }
    for (const std::string& note : qff::overflowNotes(season_, plan)) {
        prompter_.tell(this, Prompter::Icon::Warning, qText(note));
    }
    if (qff::closeDraft(season_, plan) != qff::kOk) {
        tell("The rosters could not all be written: " + season_.teamFile().db().lastError());
    }
}
