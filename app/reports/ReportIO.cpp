#include "app/reports/ReportIO.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Divqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_assist.h"
#include "data02/reports/Rpt_define.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <algorithm>
#include <array>

#include "app/reports/PreviewHeader.h"
#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_ReportIO.h"

namespace {

constexpr std::array<const char*, TformReportIO::kFinishedPage + 1> kPageTitles{
    "Define New Report",      "Edit Existing Report", "Report Name", "Players to Include",
    "Franchises to Include",  "Report Pack",          "Report Data", "Data Header Introduction",
    "Data Header Definition", "Sort Order",           "Conclusion"};

constexpr int kDescendingIndex = 1;

int idOf(const QListWidgetItem* item) {
    return item != nullptr ? item->data(Qt::UserRole).toInt() : 0;
}

QListWidgetItem* addEntry(QListWidget& list, const std::string& text, int data) {
    auto* item = new QListWidgetItem(qText(text), &list);
    item->setData(Qt::UserRole, data);
    return item;
}

void selectRowOf(QListWidget& list, int row) {
    if (row >= 0 && row < list.count()) {
        list.setCurrentRow(row);
    }
}

// The tree group a stored report shows under, when it shows at all.
int treeGroupOf(const qff::Report* report) {
    if (report == nullptr || report->getValue(qff::kReportListed) == 0) {
        return 0;
    }
    switch (report->type()) {
        case qff::kFranchiseReport:
        case qff::kPlayerReport:
        case qff::kPlayerSummary:
        case qff::kDraftDayReport:
        case qff::kLeagueInformation:
        case qff::kReportPack:
            return report->type();
        default:
            return 0;
    }
}

bool isOverview(int type) {
    return type == qff::kFranchiseOverview || type == qff::kPlayerOverview ||
           type == qff::kNflOverview;
}

void fillIdCombo(QComboBox& combo, const std::vector<std::pair<std::string, int>>& entries) {
    QSignalBlocker quiet(combo);
    combo.clear();
    for (const auto& [text, id] : entries) {
        combo.addItem(qText(text), id);
    }
}

void selectData(QComboBox& combo, int data) {
    combo.setCurrentIndex(std::max(0, combo.findData(data)));
}

}  // namespace

TformReportIO::TformReportIO(qff::Singleton& season, Prompter& prompter, Mode mode, QWidget* parent)
    : QDialog(parent),
      season_(season),
      prompter_(prompter),
      mode_(mode),
      working_(season.reportQuery().create()),
      dragDrop_(this),
      ui(std::make_unique<Ui::TformReportIO>()) {
    ui->setupUi(this);
    using Kind = HdlDragDrop::Kind;
    dragDrop_.registerPair(ui->listAvailableItems, Kind::ListBox, ui->listSelectedColumns,
                           Kind::ListBox);
    dragDrop_.registerPair(ui->listSelectedColumns, Kind::ListBox, ui->listAvailableItems,
                           Kind::ListBox);
    dragDrop_.registerPair(ui->listPackAvailable, Kind::ListBox, ui->listPackSelected,
                           Kind::ListBox);
    dragDrop_.registerPair(ui->listPackSelected, Kind::ListBox, ui->listPackAvailable,
                           Kind::ListBox);
    for (QWidget* field :
         {static_cast<QWidget*>(ui->editReportName), static_cast<QWidget*>(ui->editReportHeader),
          static_cast<QWidget*>(ui->editSectionTitle)}) {
        filterKeys(field);
    }
    fillFixedLists();
    connectControls();
    if (mode_ == Mode::Edit) {
        fillEditReports();
    }
    showPage(mode_ == Mode::New ? kNewIntroPage : kEditIntroPage);
}

TformReportIO::~TformReportIO() = default;

TformReportIO::Page TformReportIO::page() const {
    return static_cast<Page>(ui->pages->currentIndex());
}

void TformReportIO::filterKeys(QWidget* field) {
    filteredFields_.push_back(field);
    field->installEventFilter(this);
}

// Control keys (Backspace, Enter, Tab, the clipboard's shortcuts) carry no
// printable text and navigation keys none at all, so both pass.
bool TformReportIO::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        std::ranges::find(filteredFields_, watched) != filteredFields_.end()) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        for (char32_t character : text.toUcs4()) {
            if (character >= U' ' && character != 0x7f && !qff::isReportTextKey(character)) {
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TformReportIO::fillFixedLists() {
    QComboBox& positions = *ui->comboPlayersPosition;
    for (int position = qff::kQB; position <= qff::kSPE; ++position) {
        positions.addItem(qText(season_.pro().positionName(false, position)), position);
    }
    std::vector<std::pair<std::string, int>> teams;
    for (int team : season_.pro().validTeams()) {
        teams.emplace_back(season_.pro().teamName(false, team), team);
    }
    std::ranges::stable_sort(teams);
    fillIdCombo(*ui->comboPlayersNflTeam, teams);

    int league = season_.seasonState().peek(qff::kCurrentLeague);
    std::vector<std::pair<std::string, int>> franchises;
    for (const qff::Team* franchise : season_.teamQuery().leagueFranchises(league)) {
        franchises.emplace_back(franchise->text(qff::kFranchiseName), franchise->id());
    }
    fillIdCombo(*ui->comboPlayersFranchise, franchises);
    fillIdCombo(*ui->comboTeamFranchise, franchises);
    std::vector<std::pair<std::string, int>> divisions;
    for (const qff::Division* division : season_.divisionQuery().leagueDivisions(league)) {
        divisions.emplace_back(division->text(qff::kDivisionName),
                               division->getValue(qff::kDivisionId));
    }
    fillIdCombo(*ui->comboTeamDivision, divisions);
    ui->radioPlayersFranchise->setEnabled(!franchises.empty());
    ui->radioTeamOne->setEnabled(!franchises.empty());
    ui->radioTeamDivision->setEnabled(!divisions.empty());
}

void TformReportIO::connectControls() {
    connect(ui->buttonNext, &QPushButton::clicked, this, &TformReportIO::btnNextClick);
    connect(ui->buttonBack, &QPushButton::clicked, this, &TformReportIO::btnBackClick);
    connect(ui->buttonFinished, &QPushButton::clicked, this, &TformReportIO::btnFinishedClick);
    connect(ui->buttonCancel, &QPushButton::clicked, this, &TformReportIO::btnCancelClick);
    connect(ui->listEditReports, &QListWidget::currentRowChanged, this,
            &TformReportIO::chooseEditReport);
    for (QRadioButton* choice : {ui->radioPlayersAllGroups, ui->radioPlayersPosition,
                                 ui->radioPlayersNflTeam, ui->radioPlayersFranchise}) {
        connect(choice, &QRadioButton::toggled, this, &TformReportIO::updatePlayerRows);
    }
    for (QRadioButton* choice : {ui->radioTeamOne, ui->radioTeamDivision, ui->radioTeamAll}) {
        connect(choice, &QRadioButton::toggled, this, &TformReportIO::updateTeamRows);
    }
    connectPackPage();
    connectColumnsPage();
    connectHeaderPage();
    for (int level = 0; level < qff::kMaxReportSortLevels; ++level) {
        auto* combo = findChild<QComboBox*>(QString("comboSortLevel%1").arg(level + 1));
        connect(combo, &QComboBox::activated, this, [this, level] { sortLevelChosen(level); });
    }
    connect(&dragDrop_, &HdlDragDrop::dropped, this, [this](const HdlDragDrop::DropInfo& info) {
        columnsDragDrop(info);
        packDragDrop(info);
    });
}

void TformReportIO::connectPackPage() {
    connect(ui->btnPackAdd, &QPushButton::clicked, this, [this] {
        std::vector<int> ids;
        for (QListWidgetItem* item : ui->listPackAvailable->selectedItems()) {
            ids.push_back(idOf(item));
        }
        addPackMembers(ids);
    });
    connect(ui->btnPackRemove, &QPushButton::clicked, this,
            [this] { removePackMember(ui->listPackSelected->currentRow()); });
    connect(ui->btnPackUp, &QPushButton::clicked, this, [this] { movePackMember(true); });
    connect(ui->btnPackDown, &QPushButton::clicked, this, [this] { movePackMember(false); });
    connect(ui->listPackAvailable, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { addPackMembers({idOf(item)}); });
    connect(ui->listPackSelected, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { removePackMember(ui->listPackSelected->row(item)); });
    connect(ui->listPackAvailable, &QListWidget::itemSelectionChanged, this,
            &TformReportIO::updatePackButtons);
    connect(ui->listPackSelected, &QListWidget::itemSelectionChanged, this,
            &TformReportIO::updatePackButtons);
}

void TformReportIO::connectColumnsPage() {
    connect(ui->listCategories, &QListWidget::currentRowChanged, this,
            &TformReportIO::fillAvailableItems);
    connect(ui->btnColumnAdd, &QPushButton::clicked, this,
            [this] { addColumns(ui->listAvailableItems->selectedItems()); });
    connect(ui->btnColumnRemove, &QPushButton::clicked, this, &TformReportIO::removeColumn);
    connect(ui->btnColumnUp, &QPushButton::clicked, this, [this] { moveColumn(true); });
    connect(ui->btnColumnDown, &QPushButton::clicked, this, [this] { moveColumn(false); });
    connect(ui->listAvailableItems, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { addColumns({item}); });
    connect(ui->listSelectedColumns, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) {
                ui->listSelectedColumns->setCurrentItem(item);
                removeColumn();
            });
    connect(ui->listSelectedColumns, &QListWidget::currentRowChanged, this,
            &TformReportIO::updateColumnButtons);
}

void TformReportIO::connectHeaderPage() {
    connect(ui->btnSectionAdd, &QPushButton::clicked, this, &TformReportIO::addSection);
    connect(ui->btnSectionRemove, &QPushButton::clicked, this, &TformReportIO::removeSection);
    connect(ui->listSections, &QListWidget::currentRowChanged, this,
            &TformReportIO::showSectionTitle);
    connect(ui->editSectionTitle, &QLineEdit::editingFinished, this,
            &TformReportIO::storeSectionTitle);
    connect(ui->listHeaderColumns, &QListWidget::currentRowChanged, this,
            &TformReportIO::showColumnHeader);
    connect(ui->editColumnHeader, &QLineEdit::editingFinished, this,
            &TformReportIO::storeColumnHeader);
    connect(ui->btnPreviewReport, &QPushButton::clicked, this, &TformReportIO::previewReport);
}

// ---- moving between the pages

void TformReportIO::showPage(Page page) {
    loadPage(page);
    ui->pages->setCurrentIndex(page);
    ui->labelTitle->setText(kPageTitles[page]);
    bool onAreaChoice = page == kEditIntroPage;
    if (mode_ == Mode::Edit) {
        ui->buttonNext->setVisible(onAreaChoice);
        ui->buttonNext->setEnabled(editId_ != 0);
        ui->buttonBack->setEnabled(!onAreaChoice);
        ui->buttonFinished->setEnabled(!onAreaChoice);
    } else {
        ui->buttonNext->setEnabled(page != kFinishedPage);
        ui->buttonBack->setEnabled(!history_.empty());
        ui->buttonFinished->setEnabled(page == kFinishedPage);
    }
}

void TformReportIO::btnNextClick() {
    Page from = page();
    if (!storePage(from, true)) {
        return;
    }
    history_.push_back(from);
    showPage(mode_ == Mode::Edit ? areaPage() : nextPage(from));
}

// Going back to the area choice is how an edit is stored part by part.
void TformReportIO::btnBackClick() {
    Page from = page();
    if (!storePage(from, false)) {
        return;
    }
    if (mode_ == Mode::Edit) {
        if (!storeReport()) {
            return;
        }
        history_.clear();
        fillEditReports();
        showPage(kEditIntroPage);
        return;
    }
    if (history_.empty()) {
        return;
    }
    Page to = history_.back();
    history_.pop_back();
    showPage(to);
}

void TformReportIO::btnFinishedClick() {
    if (storePage(page(), false) && storeReport()) {
        accept();
    }
}

// Nothing was stored that the commissioner did not ask for, so there is
// nothing to put back.
void TformReportIO::btnCancelClick() {
    reject();
}

TformReportIO::Page TformReportIO::nextPage(Page page) const {
    switch (page) {
        case kNewIntroPage:
            return kNamePage;
        case kNamePage:
            return rowsPage();
        case kPlayerRowsPage:
        case kTeamRowsPage:
            return kColumnsPage;
        case kColumnsPage:
            return kHeaderIntroPage;
        case kHeaderIntroPage:
            return kHeaderPage;
        case kHeaderPage:
            return kSortOrderPage;
        default:
            return kFinishedPage;
    }
}

TformReportIO::Page TformReportIO::rowsPage() const {
    if (type() == qff::kReportPack) {
        return kReportPackPage;
    }
    return qff::Report::usesFranchiseItems(type()) ? kTeamRowsPage : kPlayerRowsPage;
}

TformReportIO::Page TformReportIO::areaPage() const {
    if (ui->radioAreaRows->isChecked()) {
        return rowsPage();
    }
    if (ui->radioAreaColumns->isChecked()) {
        return kColumnsPage;
    }
    if (ui->radioAreaHeader->isChecked()) {
        return kHeaderPage;
    }
    if (ui->radioAreaSort->isChecked()) {
        return kSortOrderPage;
    }
    return kNamePage;
}

bool TformReportIO::storePage(Page page, bool forward) {
    switch (page) {
        case kNewIntroPage:
            storeNewIntro();
            return true;
        case kEditIntroPage:
            return editId_ != 0;
        case kNamePage:
            return storeName(forward);
        case kPlayerRowsPage:
            storePlayerRows();
            return true;
        case kTeamRowsPage:
            storeTeamRows();
            return true;
        case kReportPackPage:
            storePack();
            return true;
        case kColumnsPage:
            working_->setValue(qff::kReportTotalsRow, ui->checkTotalsRow->isChecked() ? 1 : 0);
            return true;
        case kHeaderPage:
            storeSectionTitle();
            storeColumnHeader();
            return true;
        case kSortOrderPage:
            return storeSortOrder();
        default:
            return true;
    }
}

void TformReportIO::loadPage(Page page) {
    switch (page) {
        case kNewIntroPage:
            loadNewIntro();
            break;
        case kNamePage:
            loadName();
            break;
        case kPlayerRowsPage:
            loadPlayerRows();
            break;
        case kTeamRowsPage:
            loadTeamRows();
            break;
        case kReportPackPage:
            loadPack();
            break;
        case kColumnsPage:
            loadColumns();
            break;
        case kHeaderPage:
            loadHeader();
            break;
        case kSortOrderPage:
            loadSortOrder();
            break;
        default:
            break;
    }
}

bool TformReportIO::storeReport() {
    qff::ReportDefinition definition = qff::ReportDefinition::of(*working_);
    qff::ReportChange change = editId_ == 0 ? qff::addReport(season_, definition)
                                            : qff::changeReport(season_, editId_, definition);
    if (!tell(change)) {
        return false;
    }
    const qff::Report* stored = season_.reportQuery().cached(change.id);
    storedGroup_ = treeGroupOf(stored);
    // The edit goes on from what the season now holds.
    if (editId_ != 0 && stored != nullptr) {
        working_->takeDefinition(*stored);
    }
    return true;
}

bool TformReportIO::tell(const qff::ReportChange& change) {
    if (change.ok()) {
        return true;
    }
    prompter_.tell(this, Prompter::Icon::Information, qText(change.problem->message));
    return false;
}

int TformReportIO::type() const {
    return working_->type();
}

void TformReportIO::rewrite(const qff::ReportDefinition& definition) {
    int id = working_->id();
    definition.writeTo(*working_);
    working_->setValue(qff::kReportId, id);
}

// ---- the intro pages

// A change of type starts the report afresh; the same type keeps what was
// already entered.
void TformReportIO::storeNewIntro() {
    int chosen = qff::kPlayerReport;
    if (ui->radioTypeFranchise->isChecked()) {
        chosen = qff::kFranchiseReport;
    } else if (ui->radioTypePack->isChecked()) {
        chosen = qff::kReportPack;
    }
    if (chosen == type()) {
        return;
    }
    working_->clear();
    working_->setValue(qff::kReportType, chosen);
    for (int flag : {qff::kReportEditable, qff::kReportListed, qff::kReportDeletable}) {
        working_->setValue(flag, 1);
    }
}

void TformReportIO::loadNewIntro() {
    ui->radioTypePlayer->setChecked(type() != qff::kFranchiseReport && type() != qff::kReportPack);
    ui->radioTypeFranchise->setChecked(type() == qff::kFranchiseReport);
    ui->radioTypePack->setChecked(type() == qff::kReportPack);
}

void TformReportIO::fillEditReports() {
    QListWidget& list = *ui->listEditReports;
    QSignalBlocker quiet(list);
    list.clear();
    for (const qff::ReportListEntry& entry : qff::reportsWithFlag(season_, qff::kReportEditable)) {
        QListWidgetItem* item = addEntry(list, entry.caption(), entry.id);
        if (entry.id == editId_) {
            list.setCurrentItem(item);
        }
    }
    relabelAreas();
}

void TformReportIO::chooseEditReport() {
    int id = idOf(ui->listEditReports->currentItem());
    const qff::Report* stored = season_.reportQuery().cached(id);
    if (stored == nullptr) {
        editId_ = 0;
        prompter_.tell(this, Prompter::Icon::Information, qff::kReportMissingMessage);
    } else {
        editId_ = id;
        working_->takeDefinition(*stored);
    }
    relabelAreas();
    ui->buttonNext->setEnabled(editId_ != 0);
}

void TformReportIO::relabelAreas() {
    bool pack = editId_ != 0 && type() == qff::kReportPack;
    bool franchises = editId_ != 0 && qff::Report::usesFranchiseItems(type());
    ui->radioAreaRows->setText(pack         ? "Reports to Include"
                               : franchises ? "Franchises to Include"
                                            : "Players to Include");
    ui->radioAreaColumns->setText(franchises ? "Franchise Data" : "Player Data");
    for (QRadioButton* area : {ui->radioAreaColumns, ui->radioAreaHeader, ui->radioAreaSort}) {
        area->setVisible(!pack);
    }
    ui->radioAreaRows->setEnabled(!isOverview(type()));
    QRadioButton* checked = nullptr;
    for (QRadioButton* area : {ui->radioAreaName, ui->radioAreaRows, ui->radioAreaColumns,
                               ui->radioAreaHeader, ui->radioAreaSort}) {
        if (area->isChecked()) {
            checked = area;
        }
    }
    if (checked == nullptr || checked->isHidden() || !checked->isEnabled()) {
        ui->radioAreaName->setChecked(true);
    }
}

// ---- the name page

bool TformReportIO::storeName(bool forward) {
    std::string name = ui->editReportName->text().toStdString();
    std::string header = ui->editReportHeader->text().toStdString();
    if (mode_ == Mode::New && forward) {
        qff::ReportCheck problem;
        if (name.empty() || (type() != qff::kReportPack && header.empty())) {
            problem = qff::ReportProblem{"name", qff::kReportNameMissingMessage};
        }
        if (!problem) {
            problem = qff::checkReportName(season_, name, 0);
        }
        if (!problem) {
            problem = qff::checkReportHeader(type(), header);
        }
        if (problem) {
            prompter_.tell(this, Prompter::Icon::Information, qText(problem->message));
            return false;
        }
    }
    working_->setText(qff::kReportName, name);
    working_->setText(qff::kReportHeader, type() == qff::kReportPack ? std::string() : header);
    return true;
}

void TformReportIO::loadName() {
    ui->editReportName->setText(qText(working_->name()));
    ui->editReportHeader->setText(qText(working_->text(qff::kReportHeader)));
    bool pack = type() == qff::kReportPack;
    ui->labelReportHeader->setHidden(pack);
    ui->editReportHeader->setHidden(pack);
    ui->editReportName->setFocus();
}

// ---- the rows pages

void TformReportIO::storePlayerRows() {
    qff::PlayerRowsChoice choice;
    if (ui->radioPlayersPosition->isChecked()) {
        choice.group = qff::PlayerGroup::Position;
    } else if (ui->radioPlayersNflTeam->isChecked()) {
        choice.group = qff::PlayerGroup::NflTeam;
    } else if (ui->radioPlayersFranchise->isChecked()) {
        choice.group = qff::PlayerGroup::Franchise;
    }
    choice.units = ui->radioUnitsTeam->isChecked()  ? qff::PlayerUnits::Team
                   : ui->radioUnitsAll->isChecked() ? qff::PlayerUnits::All
                                                    : qff::PlayerUnits::Individual;
    choice.position = ui->comboPlayersPosition->currentData().toInt();
    choice.nflTeam = ui->comboPlayersNflTeam->currentData().toInt();
    choice.franchiseId = ui->comboPlayersFranchise->currentData().toInt();
    choice.rosterPart = ui->comboRosterPart->currentIndex();
    qff::ReportDefinition definition = qff::ReportDefinition::of(*working_);
    definition.rows = qff::playerRowsOf(choice);
    rewrite(definition);
}

void TformReportIO::loadPlayerRows() {
    qff::PlayerRowsChoice choice =
        qff::playerChoiceOf(season_, qff::ReportDefinition::of(*working_).rows);
    ui->radioPlayersAllGroups->setChecked(choice.group == qff::PlayerGroup::AllGroups);
    ui->radioPlayersPosition->setChecked(choice.group == qff::PlayerGroup::Position);
    ui->radioPlayersNflTeam->setChecked(choice.group == qff::PlayerGroup::NflTeam);
    ui->radioPlayersFranchise->setChecked(choice.group == qff::PlayerGroup::Franchise);
    ui->radioUnitsIndividual->setChecked(choice.units == qff::PlayerUnits::Individual);
    ui->radioUnitsTeam->setChecked(choice.units == qff::PlayerUnits::Team);
    ui->radioUnitsAll->setChecked(choice.units == qff::PlayerUnits::All);
    selectData(*ui->comboPlayersPosition, choice.position);
    selectData(*ui->comboPlayersNflTeam, choice.nflTeam);
    selectData(*ui->comboPlayersFranchise, choice.franchiseId);
    ui->comboRosterPart->setCurrentIndex(choice.rosterPart);
    updatePlayerRows();
}

void TformReportIO::updatePlayerRows() {
    ui->comboPlayersPosition->setEnabled(ui->radioPlayersPosition->isChecked());
    ui->comboPlayersNflTeam->setEnabled(ui->radioPlayersNflTeam->isChecked());
    bool franchise = ui->radioPlayersFranchise->isChecked();
    ui->comboPlayersFranchise->setEnabled(franchise);
    ui->comboRosterPart->setEnabled(franchise);
}

void TformReportIO::storeTeamRows() {
    qff::FranchiseRowsChoice choice;
    if (ui->radioTeamOne->isChecked()) {
        choice = {qff::FranchiseGroup::One, ui->comboTeamFranchise->currentData().toInt()};
    } else if (ui->radioTeamDivision->isChecked()) {
        choice = {qff::FranchiseGroup::Division, ui->comboTeamDivision->currentData().toInt()};
    }
    qff::ReportDefinition definition = qff::ReportDefinition::of(*working_);
    definition.rows = qff::franchiseRowsOf(choice);
    rewrite(definition);
}

void TformReportIO::loadTeamRows() {
    qff::FranchiseRowsChoice choice =
        qff::franchiseChoiceOf(qff::ReportDefinition::of(*working_).rows);
    ui->radioTeamOne->setChecked(choice.group == qff::FranchiseGroup::One);
    ui->radioTeamDivision->setChecked(choice.group == qff::FranchiseGroup::Division);
    ui->radioTeamAll->setChecked(choice.group == qff::FranchiseGroup::All);
    if (choice.group == qff::FranchiseGroup::One) {
        selectData(*ui->comboTeamFranchise, choice.id);
    } else if (choice.group == qff::FranchiseGroup::Division) {
        selectData(*ui->comboTeamDivision, choice.id);
    }
    updateTeamRows();
}

void TformReportIO::updateTeamRows() {
    ui->comboTeamFranchise->setEnabled(ui->radioTeamOne->isChecked());
    ui->comboTeamDivision->setEnabled(ui->radioTeamDivision->isChecked());
}

// ---- the report pack page

void TformReportIO::storePack() {
    std::vector<int> members;
    for (int row = 0; row < ui->listPackSelected->count(); ++row) {
        members.push_back(idOf(ui->listPackSelected->item(row)));
    }
    working_->setPackMembers(members);
}

// A member deleted since keeps its place in the stored pack only until the
// pack is stored again from here: the list cannot show it.
void TformReportIO::loadPack() {
    fillPackAvailable();
    QListWidget& selected = *ui->listPackSelected;
    selected.clear();
    for (int id : working_->packMembers()) {
        if (const qff::Report* member = season_.reportQuery().cached(id)) {
            addEntry(selected, qff::ReportListEntry{id, member->type(), member->name()}.caption(),
                     id);
        }
    }
    updatePackButtons();
}

void TformReportIO::fillPackAvailable() {
    QListWidget& list = *ui->listPackAvailable;
    list.clear();
    for (const qff::ReportListEntry& entry :
         qff::reportsWithFlag(season_, qff::kReportListed, editId_)) {
        addEntry(list, entry.caption(), entry.id);
    }
}

// The whole pack is checked with the new members, so a pack that would run
// itself is refused before it is ever stored.
void TformReportIO::addPackMembers(const std::vector<int>& ids) {
    if (ids.empty()) {
        return;
    }
    storePack();
    std::vector<int> members = working_->packMembers();
    members.insert(members.end(), ids.begin(), ids.end());
    if (qff::ReportCheck problem = qff::checkPackMembers(season_, editId_, members)) {
        prompter_.tell(this, Prompter::Icon::Information, qText(problem->message));
        return;
    }
    for (int id : ids) {
        const qff::Report* member = season_.reportQuery().cached(id);
        if (member != nullptr) {
            addEntry(*ui->listPackSelected,
                     qff::ReportListEntry{id, member->type(), member->name()}.caption(), id);
        }
    }
    ui->listPackSelected->setCurrentRow(ui->listPackSelected->count() - 1);
    updatePackButtons();
}

void TformReportIO::removePackMember(int row) {
    delete ui->listPackSelected->takeItem(row);
    updatePackButtons();
}

void TformReportIO::movePackMember(bool up) {
    QListWidget& list = *ui->listPackSelected;
    int row = list.currentRow();
    int target = up ? row - 1 : row + 1;
    if (row < 0 || target < 0 || target >= list.count()) {
        return;
    }
    list.insertItem(target, list.takeItem(row));
    list.setCurrentRow(target);
    updatePackButtons();
}

void TformReportIO::updatePackButtons() {
    const QListWidget& selected = *ui->listPackSelected;
    int row = selected.currentRow();
    ui->btnPackAdd->setEnabled(!ui->listPackAvailable->selectedItems().isEmpty());
    ui->btnPackRemove->setEnabled(row >= 0);
    ui->btnPackUp->setEnabled(row > 0);
    ui->btnPackDown->setEnabled(row >= 0 && row + 1 < selected.count());
}

void TformReportIO::packDragDrop(const HdlDragDrop::DropInfo& info) {
    if (info.source == ui->listPackAvailable && info.target == ui->listPackSelected) {
        QListWidgetItem* dragged = ui->listPackAvailable->item(info.sourceIndex);
        if (dragged == nullptr) {
            return;
        }
        std::vector<int> ids;
        for (QListWidgetItem* item : dragged->isSelected() ? ui->listPackAvailable->selectedItems()
                                                           : QList<QListWidgetItem*>{dragged}) {
            ids.push_back(idOf(item));
        }
        addPackMembers(ids);
    } else if (info.source == ui->listPackSelected && info.target == ui->listPackAvailable) {
        removePackMember(info.sourceIndex);
    }
}

// ---- the columns page

void TformReportIO::loadColumns() {
    ui->checkTotalsRow->setChecked(working_->getValue(qff::kReportTotalsRow) != 0);
    fillCategories();
    fillSelectedColumns(0);
}

void TformReportIO::fillCategories() {
    QListWidget& list = *ui->listCategories;
    {
        QSignalBlocker quiet(list);
        list.clear();
        for (const qff::ReportItemCategory& category : qff::Report::itemCategories(type())) {
            new QListWidgetItem(qText(category.name), &list);
        }
    }
    list.setCurrentRow(0);
    fillAvailableItems();
}

void TformReportIO::fillAvailableItems() {
    QListWidget& list = *ui->listAvailableItems;
    list.clear();
    std::vector<qff::ReportItemCategory> categories = qff::Report::itemCategories(type());
    int row = ui->listCategories->currentRow();
    if (row < 0 || row >= static_cast<int>(categories.size())) {
        return;
    }
    for (int code : categories[static_cast<std::size_t>(row)].codes) {
        std::string name = qff::Report::columnListName(code);
        if (!name.empty()) {
            addEntry(list, name, code);
        }
    }
}

void TformReportIO::fillSelectedColumns(int select) {
    QListWidget& list = *ui->listSelectedColumns;
    {
        QSignalBlocker quiet(list);
        list.clear();
        for (int i = 0; i < working_->columnCount(); ++i) {
            int code = working_->column(i).code;
            addEntry(list, qff::columnListText(code), code);
        }
        selectRowOf(list, std::min(select, list.count() - 1));
    }
    updateColumnButtons();
}

// Items are looked up by the name the list shows, as the catalogue names
// them.
void TformReportIO::addColumns(const QList<QListWidgetItem*>& items) {
    for (const QListWidgetItem* item : items) {
        int code = qff::Report::itemCode(type(), item->text().toStdString());
        std::optional<qff::ReportColumn> column = qff::Report::defaultColumn(type(), code);
        if (!column) {
            continue;
        }
        if (working_->addColumn(*column) == qff::kReportListFull) {
            prompter_.tell(this, Prompter::Icon::Error, qff::kTooManyColumnsMessage);
            break;
        }
    }
    fillSelectedColumns(working_->columnCount() - 1);
}

void TformReportIO::removeColumn() {
    int row = ui->listSelectedColumns->currentRow();
    if (row < 0) {
        return;
    }
    working_->removeColumn(row);
    fillSelectedColumns(row);
}

void TformReportIO::moveColumn(bool up) {
    int row = ui->listSelectedColumns->currentRow();
    if (row < 0) {
        return;
    }
    int result = up ? working_->moveColumnUp(row) : working_->moveColumnDown(row);
    fillSelectedColumns(result == qff::kOk ? (up ? row - 1 : row + 1) : row);
}

void TformReportIO::updateColumnButtons() {
    const QListWidget& selected = *ui->listSelectedColumns;
    int row = selected.currentRow();
    ui->btnColumnAdd->setEnabled(working_->columnCount() < qff::kMaxReportColumns);
    ui->btnColumnRemove->setEnabled(row >= 0);
    ui->btnColumnUp->setEnabled(row > 0);
    ui->btnColumnDown->setEnabled(row >= 0 && row + 1 < selected.count());
}

void TformReportIO::columnsDragDrop(const HdlDragDrop::DropInfo& info) {
    if (info.source == ui->listAvailableItems && info.target == ui->listSelectedColumns) {
        QListWidgetItem* dragged = ui->listAvailableItems->item(info.sourceIndex);
        if (dragged != nullptr) {
            addColumns(dragged->isSelected() ? ui->listAvailableItems->selectedItems()
                                             : QList<QListWidgetItem*>{dragged});
        }
    } else if (info.source == ui->listSelectedColumns && info.target == ui->listAvailableItems) {
        ui->listSelectedColumns->setCurrentRow(info.sourceIndex);
        removeColumn();
    }
}

// ---- the header page

void TformReportIO::loadHeader() {
    QListWidget& columns = *ui->listSectionColumns;
    columns.clear();
    for (int i = 0; i < working_->columnCount(); ++i) {
        addEntry(columns,
                 std::to_string(i + 1) + "\t" + qff::columnListText(working_->column(i).code), i);
    }
    fillSections(0);
    fillHeaderColumns(0);
}

void TformReportIO::fillSections(int select) {
    QListWidget& list = *ui->listSections;
    {
        QSignalBlocker quiet(list);
        list.clear();
        for (int i = 0; i < qff::kMaxReportSections; ++i) {
            qff::ReportSection section = working_->section(i);
            if (section.inUse()) {
                addEntry(list,
                         qff::sectionRangeText(section) + "\t" + qff::sectionListText(section), i);
            }
        }
        selectRowOf(list, std::min(select, list.count() - 1));
    }
    showSectionTitle();
}

void TformReportIO::fillHeaderColumns(int select) {
    QListWidget& list = *ui->listHeaderColumns;
    {
        QSignalBlocker quiet(list);
        list.clear();
        for (int i = 0; i < working_->columnCount(); ++i) {
            addEntry(list, qff::columnListText(working_->column(i).code), i);
        }
        selectRowOf(list, select);
    }
    showColumnHeader();
}

void TformReportIO::addSection() {
    std::vector<int> chosen;
    for (const QListWidgetItem* item : ui->listSectionColumns->selectedItems()) {
        chosen.push_back(idOf(item));
    }
    if (chosen.empty()) {
        prompter_.tell(this, Prompter::Icon::Information, qff::kSectionNeedsColumnsMessage);
        return;
    }
    auto [first, last] = std::ranges::minmax(chosen);
    storeSectionTitle();
    if (working_->sectionCount() >= qff::kMaxReportSections ||
        working_->addSection({first, last, qff::kNewSectionTitle}) == qff::kReportListFull) {
        prompter_.tell(this, Prompter::Icon::Error, qff::kTooManySectionsMessage);
        return;
    }
    int added = 0;
    for (int i = 0; i < qff::kMaxReportSections; ++i) {
        if (working_->section(i).inUse() && working_->section(i).first == first) {
            added = i;
        }
    }
    fillSections(0);
    for (int row = 0; row < ui->listSections->count(); ++row) {
        if (idOf(ui->listSections->item(row)) == added) {
            ui->listSections->setCurrentRow(row);
        }
    }
    ui->editSectionTitle->setFocus();
    ui->editSectionTitle->selectAll();
}

void TformReportIO::removeSection() {
    int row = ui->listSections->currentRow();
    if (row < 0) {
        return;
    }
    working_->removeSection(idOf(ui->listSections->item(row)));
    fillSections(row);
}

void TformReportIO::storeSectionTitle() {
    QListWidgetItem* item = ui->listSections->currentItem();
    if (item == nullptr) {
        return;
    }
    int index = idOf(item);
    qff::ReportSection section = working_->section(index);
    section.title = ui->editSectionTitle->text().toStdString();
    working_->setSection(index, section);
    section = working_->section(index);
    item->setText(qText(qff::sectionRangeText(section) + "\t" + qff::sectionListText(section)));
}

void TformReportIO::showSectionTitle() {
    QListWidgetItem* item = ui->listSections->currentItem();
    ui->editSectionTitle->setEnabled(item != nullptr);
    ui->btnSectionRemove->setEnabled(item != nullptr);
    ui->editSectionTitle->setText(item != nullptr ? qText(working_->section(idOf(item)).title)
                                                  : QString());
}

void TformReportIO::storeColumnHeader() {
    QListWidgetItem* item = ui->listHeaderColumns->currentItem();
    if (item == nullptr) {
        return;
    }
    int index = idOf(item);
    qff::ReportColumn column = working_->column(index);
    column.header = ui->editColumnHeader->text().toStdString();
    working_->setColumn(index, column);
}

void TformReportIO::showColumnHeader() {
    QListWidgetItem* item = ui->listHeaderColumns->currentItem();
    ui->editColumnHeader->setEnabled(item != nullptr);
    ui->editColumnHeader->setText(item != nullptr ? qText(working_->column(idOf(item)).header)
                                                  : QString());
}

void TformReportIO::previewReport() {
    storeSectionTitle();
    storeColumnHeader();
    std::optional<std::filesystem::path> page = qff::writeHeaderPreviewPage(season_, *working_);
    if (!page) {
        prompter_.tell(this, Prompter::Icon::Error, qff::kScratchReportMessage);
        return;
    }
    TformPreviewHeader preview(qText(page->string()), this);
    preview.exec();
}

// ---- the sort order page

bool TformReportIO::storeSortOrder() {
    if (type() == qff::kReportPack ||
        (!qff::Report::usesPlayerItems(type()) && !qff::Report::usesFranchiseItems(type()))) {
        prompter_.tell(this, Prompter::Icon::Information, qff::kInvalidReportTypeMessage);
        return false;
    }
    qff::SortLevelChoices choices;
    for (int level = 0; level < qff::kMaxReportSortLevels; ++level) {
        auto* item = findChild<QComboBox*>(QString("comboSortLevel%1").arg(level + 1));
        auto* order = findChild<QComboBox*>(QString("comboSortOrder%1").arg(level + 1));
        int code = item->currentData().toInt();
        if (code != 0) {
            choices[static_cast<std::size_t>(level)] =
                qff::ReportSortLevel{code, order->currentIndex() == kDescendingIndex};
        }
    }
    qff::ReportDefinition definition = qff::ReportDefinition::of(*working_);
    definition.sorts = qff::packedSortLevels(choices);
    rewrite(definition);
    return true;
}

void TformReportIO::loadSortOrder() {
    std::vector<qff::ReportSortLevel> sorts = qff::ReportDefinition::of(*working_).sorts;
    for (int level = 0; level < qff::kMaxReportSortLevels; ++level) {
        auto* item = findChild<QComboBox*>(QString("comboSortLevel%1").arg(level + 1));
        auto* order = findChild<QComboBox*>(QString("comboSortOrder%1").arg(level + 1));
        item->clear();
        item->addItem(qff::kNoSortLevelEntry, 0);
        for (int i = 0; i < working_->columnCount(); ++i) {
            int code = working_->column(i).code;
            item->addItem(qText(qff::columnListText(code)), code);
        }
        bool stored = level < static_cast<int>(sorts.size());
        int chosen = stored ? item->findText(qText(
                                  qff::columnListText(sorts[static_cast<std::size_t>(level)].code)))
                            : 0;
        item->setCurrentIndex(std::max(0, chosen));
        order->setCurrentIndex(
            stored && sorts[static_cast<std::size_t>(level)].descending ? kDescendingIndex : 0);
    }
}

void TformReportIO::sortLevelChosen(int level) {
    auto* item = findChild<QComboBox*>(QString("comboSortLevel%1").arg(level + 1));
    auto* order = findChild<QComboBox*>(QString("comboSortOrder%1").arg(level + 1));
    int code = item->currentData().toInt();
    for (int i = 0; i < working_->columnCount(); ++i) {
        if (working_->column(i).code == code) {
            order->setCurrentIndex(qff::sortsDescendingFirst(working_->column(i)) ? kDescendingIndex
                                                                                  : 0);
            return;
        }
    }
}
