#include "app/scoring/DefineScoringSystem.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/diag/Status.h"
#include "data02/model/Legqry.h"
#include "data02/scoring/Point_sum.h"
#include "data02/scoring/Results.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/shell/Support.h"
#include "data02/storage/Files.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidgetItem>
#include <QSignalBlocker>
#include <string>

#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_DefineScoringSystem.h"

namespace {

constexpr const char* kIntroductionFile = "ScoringIntro.txt";
constexpr std::uintmax_t kIntroductionLimit = 64 * 1024;
constexpr int kEditWidth = 45;

int numberIn(const QLineEdit* edit) {
    return qff::readWholeNumber(edit->text().toStdString());
}

// A long sentence breaks into two lines in a small window instead of being cut.
QLabel* wrappingLabel(std::string_view text, QWidget* parent) {
    auto* label = new QLabel(qText(text), parent);
    label->setWordWrap(true);
    return label;
}

void setNumber(QLineEdit* edit, int value) {
    edit->setText(QString::number(value));
}

}  // namespace

TformDefineScoringSystem::TformDefineScoringSystem(qff::Singleton& season, Prompter& prompter,
                                                   QWidget* parent)
    : SeasonForm(season, prompter, parent), ui(std::make_unique<Ui::TformDefineScoringSystem>()) {
    ui->setupUi(this);
    showIntroduction();
    fillAreas();
    fillLeagues();
    selectShownLeague();
    connectControls();
    arrive();
}

TformDefineScoringSystem::~TformDefineScoringSystem() = default;

void TformDefineScoringSystem::connectControls() {
    connect(ui->lstLeagues, &QListWidget::currentRowChanged, this, [this] { leagueChosen(); });
    connect(ui->btnNext, &QPushButton::clicked, this, [this] { nextClick(); });
    connect(ui->btnBack, &QPushButton::clicked, this, [this] { backClick(); });
    connect(ui->btnAddRange, &QPushButton::clicked, this, [this] { addRangeClick(); });
    connect(ui->btnEditRange, &QPushButton::clicked, this, [this] { editRangeClick(); });
    connect(ui->btnDeleteRange, &QPushButton::clicked, this, [this] { deleteRangeClick(); });
    connect(ui->btnDeleteAll, &QPushButton::clicked, this, [this] { deleteAllClick(); });
    connect(ui->listRanges, &QListWidget::itemDoubleClicked, this, [this] { editRangeClick(); });
    connect(ui->listAreas, &QListWidget::itemDoubleClicked, this, [this] { nextClick(); });
}

// The text is shown only when the whole file could be read, never a part of it.
void TformDefineScoringSystem::showIntroduction() {
    std::filesystem::path file = qff::supportFilePath(
        season().workdir(), QCoreApplication::applicationDirPath().toStdString(),
        kIntroductionFile);
    std::optional<std::string> text = qff::readRegularFile(file, kIntroductionLimit);
    ui->labelIntro->setText(text ? qText(*text).trimmed() : QString());
}

void TformDefineScoringSystem::fillAreas() {
    for (int step = qff::kFirstAreaStep; step <= qff::kLastAreaStep; ++step) {
        ui->listAreas->addItem(qText(qff::scoringStep(step).title));
    }
    ui->listAreas->setCurrentRow(0);
}

void TformDefineScoringSystem::fillLeagues() {
    QSignalBlocker quiet(ui->lstLeagues);
    ui->lstLeagues->clear();
    int wanted =
        shownLeague_ >= 0 ? shownLeague_ : season().seasonState().peek(qff::kCurrentLeague);
    for (const qff::League* league : season().leagueQuery().allLeagues()) {
        int id = league->getValue(qff::kLeagueId);
        auto* item = new QListWidgetItem(qText(league->text(qff::kLeagueName)), ui->lstLeagues);
        item->setData(Qt::UserRole, id);
        if (id == wanted) {
            ui->lstLeagues->setCurrentItem(item);
        }
    }
    if (ui->lstLeagues->currentRow() < 0 && ui->lstLeagues->count() > 0) {
        ui->lstLeagues->setCurrentRow(0);
    }
}

int TformDefineScoringSystem::chosenLeague() const {
    const QListWidgetItem* item = ui->lstLeagues->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

// A league whose record cannot be selected leaves the steps showing the
// record they showed, and the list pointing at its league.
void TformDefineScoringSystem::selectShownLeague() {
    int league = chosenLeague();
    if (league < 0) {
        shownLeague_ = -1;
        return;
    }
    qff::ScoringSystem& scoring = season().scoring();
    if (scoring.selectLeague(league) != qff::kOk) {
        tell(scoring.lastError());
        fillLeagues();
        return;
    }
    shownLeague_ = league;
    season().seasonState().set(qff::kCurrentLeague, league);
}

void TformDefineScoringSystem::leagueChosen() {
    if (chosenLeague() == shownLeague_) {
        return;
    }
    if (!storeStep()) {
        fillLeagues();
        return;
    }
    selectShownLeague();
    loadStep();
}

void TformDefineScoringSystem::reload() {
    storeStep();
    shownLeague_ = -1;
    fillLeagues();
    selectShownLeague();
    loadStep();
}

void TformDefineScoringSystem::closeEvent(QCloseEvent* event) {
    storeStep();
    // Every point worked out under the old values may be stale.
    qff::dropAllPoints(season());
    SeasonForm::closeEvent(event);
}

void TformDefineScoringSystem::nextClick() {
    if (!ui->btnNext->isEnabled() || !storeStep()) {
        return;
    }
    bool fromAreas = path_.current() == qff::kAreaStep;
    path_.next(ui->checkArea->isChecked(), ui->listAreas->currentRow());
    if (fromAreas) {
        ui->checkArea->setChecked(false);
    }
    arrive();
}

void TformDefineScoringSystem::backClick() {
    if (!path_.canGoBack() || !storeStep()) {
        return;
    }
    path_.back();
    arrive();
}

void TformDefineScoringSystem::arrive() {
    const qff::ScoringStep& step = qff::scoringStep(path_.current());
    ui->labelTitle->setText(qText(step.title));
    ui->btnBack->setEnabled(path_.canGoBack());
    ui->btnNext->setEnabled(path_.canGoNext());
    loadStep();
}

void TformDefineScoringSystem::loadStep() {
    const qff::ScoringStep& step = qff::scoringStep(path_.current());
    coreEdits_.clear();
    table_.reset();
    makeShownRecordCurrent();
    switch (step.page) {
        case qff::StepPage::Introduction:
            ui->stackSteps->setCurrentWidget(ui->pageIntro);
            break;
        case qff::StepPage::Core:
            loadCoreLines(step);
            ui->stackSteps->setCurrentWidget(ui->pageCore);
            break;
        case qff::StepPage::Touchdown:
        case qff::StepPage::Yards:
            setTablePageTexts(step);
            loadTable(step);
            ui->stackSteps->setCurrentWidget(ui->pageTable);
            break;
        case qff::StepPage::Conclusion:
            ui->stackSteps->setCurrentWidget(ui->pageConclusion);
            break;
        case qff::StepPage::Areas:
            ui->stackSteps->setCurrentWidget(ui->pageAreas);
            break;
    }
}

bool TformDefineScoringSystem::storeStep() {
    if (shownLeague_ < 0 || (coreEdits_.empty() && !table_)) {
        return true;
    }
    if (!makeShownRecordCurrent()) {
        return false;
    }
    if (table_ && !storeTable()) {
        return false;
    }
    storeCoreLines();
    return saveRecord();
}

// Points worked out elsewhere may have made another league's record current
// since the step was shown.
bool TformDefineScoringSystem::makeShownRecordCurrent() {
    qff::ScoringSystem& scoring = season().scoring();
    if (shownLeague_ < 0 || scoring.league() == shownLeague_) {
        return true;
    }
    if (scoring.selectLeague(shownLeague_) != qff::kOk) {
        tell(scoring.lastError());
        return false;
    }
    return true;
}

bool TformDefineScoringSystem::saveRecord() {
    qff::ScoringSystem& scoring = season().scoring();
    if (scoring.save() != qff::kOk) {
        tell(scoring.lastError());
        return false;
    }
    return true;
}

// Each sentence keeps its own width, so a long one is not cut to fit the
// columns of the others; only the leading words line up.
void TformDefineScoringSystem::loadCoreLines(const qff::ScoringStep& step) {
    QLayoutItem* child = nullptr;
    while ((child = ui->gridCore->takeAt(0)) != nullptr) {
        delete child->widget();
        delete child;
    }
    int row = 0;
    for (const qff::CoreLine& line : step.lines) {
        ui->gridCore->addWidget(new QLabel(qText(line.lead), ui->pageCore), row, 0);
        auto* sentence = new QWidget(ui->pageCore);
        auto* layout = new QHBoxLayout(sentence);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(coreEdit(line.first, sentence));
        layout->addWidget(wrappingLabel(line.middle, sentence), line.second == 0 ? 1 : 0);
        if (line.second != 0) {
            layout->addWidget(coreEdit(line.second, sentence));
            layout->addWidget(wrappingLabel(line.tail, sentence), 1);
        }
        ui->gridCore->addWidget(sentence, row, 1);
        ++row;
    }
}

QLineEdit* TformDefineScoringSystem::coreEdit(int code, QWidget* sentence) {
    auto* edit = new QLineEdit(sentence);
    edit->setObjectName(QString("edit%1").arg(code));
    edit->setMaximumWidth(kEditWidth);
    setNumber(edit, qff::shownValue(season().scoring(), code));
    coreEdits_.emplace_back(code, edit);
    return edit;
}

void TformDefineScoringSystem::storeCoreLines() {
    for (const auto& [code, edit] : coreEdits_) {
        qff::setShownValue(season().scoring(), code, numberIn(edit));
    }
}

void TformDefineScoringSystem::setTablePageTexts(const qff::ScoringStep& step) {
    bool touchdowns = step.page == qff::StepPage::Touchdown;
    ui->widgetTDChoices->setVisible(touchdowns);
    ui->widgetYardChoices->setVisible(!touchdowns);
    ui->radioTDNone->setText(qText(step.words.none));
    ui->labelTDEach->setText(qText(step.words.each));
    ui->labelTDEvery->setText(qText(step.words.every));
    ui->radioYardNone->setText(qText(step.words.none));
    ui->labelYardEvery->setText(qText(step.words.every));
}

void TformDefineScoringSystem::loadTable(const qff::ScoringStep& step) {
    std::string message;
    table_ = qff::readTable(season().scoring(), step.tableCode, message);
    ui->pageTable->setEnabled(table_.has_value());
    if (!table_) {
        tell(message);
        return;
    }
    showTable();
}

// The choices show how the table was built, the list what it holds.
void TformDefineScoringSystem::showTable() {
    qff::TableChoice choice = qff::choiceOf(*table_);
    setNumber(ui->editTDEach, choice.each);
    setNumber(ui->editTDEveryPoints, choice.everyPoints);
    setNumber(ui->editTDEveryYards, choice.everyYards);
    setNumber(ui->editYardPoints, choice.everyPoints);
    setNumber(ui->editYardEvery, choice.everyYards);
    bool touchdowns = onTouchdownPage();
    QRadioButton* chosen = touchdowns ? ui->radioTDNone : ui->radioYardNone;
    if (choice.mode == qff::kTableEach && touchdowns) {
        chosen = ui->radioTDEach;
    } else if (choice.mode == qff::kTableEvery) {
        chosen = touchdowns ? ui->radioTDEvery : ui->radioYardEvery;
    } else if (choice.mode != qff::kTableNotScored) {
        // A table built some other way keeps what it holds.
        chosen = touchdowns ? ui->radioTDRange : ui->radioYardRange;
    }
    chosen->setChecked(true);
    ui->listRanges->clear();
    for (const std::string& line : qff::rangeLines(*table_)) {
        ui->listRanges->addItem(qText(line));
    }
}

std::optional<qff::TableChoice> TformDefineScoringSystem::chosenTableMode() const {
    if (ui->radioTDEach->isChecked() && onTouchdownPage()) {
        return qff::TableChoice{qff::kTableEach, numberIn(ui->editTDEach), 0, 0};
    }
    if (onTouchdownPage() ? ui->radioTDEvery->isChecked() : ui->radioYardEvery->isChecked()) {
        QLineEdit* points = onTouchdownPage() ? ui->editTDEveryPoints : ui->editYardPoints;
        QLineEdit* yards = onTouchdownPage() ? ui->editTDEveryYards : ui->editYardEvery;
        return qff::TableChoice{qff::kTableEvery, 0, numberIn(points), numberIn(yards)};
    }
    if (onTouchdownPage() ? ui->radioTDRange->isChecked() : ui->radioYardRange->isChecked()) {
        return qff::TableChoice{qff::kTableRanges, 0, 0, 0};
    }
    return qff::TableChoice{};
}

bool TformDefineScoringSystem::storeTable() {
    qff::ScoreTable table = *table_;
    if (qff::TableChange change = qff::applyChoice(table, *chosenTableMode()); !change.ok()) {
        tell(change.message);
        return false;
    }
    if (qff::TableChange stored = qff::storeTable(season().scoring(), table); !stored.ok()) {
        tell(stored.message);
        return false;
    }
    table_ = table;
    return true;
}

void TformDefineScoringSystem::addRangeClick() {
    if (!table_) {
        return;
    }
    QLineEdit* edits[] = {ui->editFrom, ui->editTo, ui->editPoints};
    for (const QLineEdit* edit : edits) {
        if (edit->text().trimmed().isEmpty()) {
            tell(std::string(qff::kRangeNeedsValues));
            return;
        }
    }
    if (rangeRefused(qff::addRange(*table_, numberIn(ui->editFrom), numberIn(ui->editTo),
                                   numberIn(ui->editPoints)))) {
        return;
    }
    showTable();
}

void TformDefineScoringSystem::editRangeClick() {
    const QListWidgetItem* item = ui->listRanges->currentItem();
    std::optional<qff::TableRun> run =
        item ? qff::rangeOfLine(item->text().toStdString()) : std::nullopt;
    if (!run) {
        ui->editFrom->clear();
        ui->editTo->clear();
        ui->editPoints->clear();
        return;
    }
    setNumber(ui->editFrom, run->from);
    setNumber(ui->editTo, run->to);
    setNumber(ui->editPoints, run->points);
}

void TformDefineScoringSystem::deleteRangeClick() {
    const QListWidgetItem* item = ui->listRanges->currentItem();
    if (!table_ || !item) {
        return;
    }
    std::optional<qff::TableRun> run = qff::rangeOfLine(item->text().toStdString());
    if (!run) {
        tell(std::string(qff::kRangeLineUnreadable));
        return;
    }
    if (rangeRefused(qff::deleteRange(*table_, run->from, run->to))) {
        return;
    }
    showTable();
}

void TformDefineScoringSystem::deleteAllClick() {
    if (!table_) {
        return;
    }
    qff::deleteAllRanges(*table_);
    showTable();
}

bool TformDefineScoringSystem::rangeRefused(const qff::TableChange& change) {
    if (change.ok()) {
        return false;
    }
    tell(change.message);
    return true;
}

bool TformDefineScoringSystem::onTouchdownPage() const {
    return qff::scoringStep(path_.current()).page == qff::StepPage::Touchdown;
}

void TformDefineScoringSystem::tell(const std::string& message) {
    prompter().tell(this, Prompter::Icon::Information, QString::fromStdString(message));
}
