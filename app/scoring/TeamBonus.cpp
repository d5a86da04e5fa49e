#include "app/scoring/TeamBonus.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/scoring/Results.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QRegularExpressionValidator>
#include <algorithm>

#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "ui_TeamBonus.h"

namespace {

constexpr const char* kNoTeams = "No teams are available for this league.";
constexpr const char* kNoFranchise = "N/A";

}  // namespace

TformTeamBonus::TformTeamBonus(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : QDialog(parent), ui(new Ui::TformTeamBonus), season_(season), prompter_(prompter) {
    ui->setupUi(this);
    // Only digits and a leading minus sign can be typed or pasted.
    ui->editBonus->setValidator(
        new QRegularExpressionValidator(QRegularExpression("-?[0-9]*"), ui->editBonus));
    fillCombo(ComboKind::Weeks, *ui->comboWeek, season_);
    fillCombo(ComboKind::Leagues, *ui->comboLeague, season_);
    shownWeek_ = std::max(ui->comboWeek->currentData().toInt(), 0);
    connect(ui->comboLeague, &QComboBox::activated, this, &TformTeamBonus::comboLeagueChange);
    connect(ui->comboFranchise, &QComboBox::activated, this, &TformTeamBonus::comboFranchiseChange);
    connect(ui->comboWeek, &QComboBox::activated, this, &TformTeamBonus::comboWeekChange);
    connect(ui->editBonus, &QLineEdit::editingFinished, this, &TformTeamBonus::storeBonus);
    connect(ui->btnFinished, &QPushButton::clicked, this, &TformTeamBonus::accept);
    fillFranchises();
}

TformTeamBonus::~TformTeamBonus() = default;

// Closing the dialog in any way keeps what was typed; there is nothing to
// cancel, as every value was stored when it was left.
void TformTeamBonus::done(int result) {
    storeBonus();
    if (shownFranchise_ != 0) {
        qff::BonusResult remembered = qff::rememberBonusFranchise(season_, shownFranchise_);
        if (!remembered.ok()) {
            prompter_.tell(this, Prompter::Icon::Error, QString::fromStdString(remembered.message));
        }
    }
    QDialog::done(result);
}

void TformTeamBonus::comboLeagueChange(int index) {
    storeBonus();
    storeChoice(qff::kCurrentLeague, ui->comboLeague->itemData(index).toInt());
    fillFranchises();
}

void TformTeamBonus::comboFranchiseChange(int index) {
    storeBonus();
    shownFranchise_ = ui->comboFranchise->itemData(index).toInt();
    showBonus();
}

void TformTeamBonus::comboWeekChange(int index) {
    storeBonus();
    shownWeek_ = ui->comboWeek->itemData(index).toInt();
    storeChoice(qff::kCurrentWeek, shownWeek_);
    showBonus();
}

// The franchises of the chosen league by name, starting on the season's
// current franchise when it plays there.
void TformTeamBonus::fillFranchises() {
    QComboBox& combo = *ui->comboFranchise;
    combo.clear();
    int league = ui->comboLeague->currentData().toInt();
    for (const qff::Team* team : season_.teamQuery().leagueFranchises(league)) {
        combo.addItem(QString::fromStdString(team->text(qff::kFranchiseName)), team->id());
    }
    int current = combo.findData(season_.seasonState().peek(qff::kCurrentFranchise));
    combo.setCurrentIndex(std::max(current, 0));
    shownFranchise_ = combo.count() > 0 ? combo.currentData().toInt() : 0;
    showBonus();
    if (combo.count() == 0) {
        prompter_.tell(this, Prompter::Icon::Information, kNoTeams);
    }
}

void TformTeamBonus::showBonus() {
    const qff::Team* team =
        season_.mapFactory().franchises().findFirst(qff::kFranchiseId, shownFranchise_);
    ui->editBonus->setEnabled(team != nullptr);
    ui->editBonus->setText(team == nullptr
                               ? kNoFranchise
                               : QString::number(team->getValue(qff::kFranchiseBonus, shownWeek_)));
}

// Stores what was typed for the franchise and week on show; a refused or
// failed value is replaced by what the franchise file holds.
void TformTeamBonus::storeBonus() {
    if (shownFranchise_ == 0 || !ui->editBonus->isModified()) {
        return;
    }
    // Cleared first: the message below takes the focus, which ends the editing again.
    ui->editBonus->setModified(false);
    int value = qff::readBonusText(ui->editBonus->text().toStdString());
    qff::BonusResult stored = qff::storeFranchiseBonus(season_, shownFranchise_, shownWeek_, value);
    showBonus();
    if (!stored.ok()) {
        prompter_.tell(
            this, stored.status == qff::kBadValue ? Prompter::Icon::Warning : Prompter::Icon::Error,
            QString::fromStdString(stored.message));
    }
}

void TformTeamBonus::storeChoice(int id, int value) {
    qff::SeasonState& state = season_.seasonState();
    if (state.set(id, value) != qff::kOk) {
        prompter_.tell(this, Prompter::Icon::Error, QString::fromStdString(state.lastError()));
    }
}
