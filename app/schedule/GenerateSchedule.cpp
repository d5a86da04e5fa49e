#include "app/schedule/GenerateSchedule.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Divqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Team.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QListWidgetItem>

#include "app/widgets/BusyCursor.h"
#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_GenerateSchedule.h"

TformGenerateSchedule::TformGenerateSchedule(qff::Singleton& season, Prompter& prompter,
                                             QWidget* parent)
    : QDialog(parent), ui(new Ui::TformGenerateSchedule), season_(season), prompter_(prompter) {
    ui->setupUi(this);
    fillLeagues();
    connect(ui->btnOk, &QPushButton::clicked, this, &TformGenerateSchedule::accept);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TformGenerateSchedule::reject);
}

TformGenerateSchedule::~TformGenerateSchedule() = default;

void TformGenerateSchedule::fillLeagues() {
    int current = season_.seasonState().peek(qff::kCurrentLeague);
    for (const qff::League* league : season_.leagueQuery().allLeagues()) {
        int id = league->getValue(qff::kLeagueId);
        auto* item = new QListWidgetItem(qText(league->text(qff::kLeagueName)), ui->lstLeagues);
        item->setData(Qt::UserRole, id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(id == current ? Qt::Checked : Qt::Unchecked);
    }
}

void TformGenerateSchedule::accept() {
    BusyCursor busy;
    for (int row = 0; row < ui->lstLeagues->count(); ++row) {
        const QListWidgetItem* item = ui->lstLeagues->item(row);
        const qff::League* league =
            season_.leagueQuery().findOne(qff::kLeagueId, item->data(Qt::UserRole).toInt());
        if (item->checkState() == Qt::Checked && league != nullptr) {
            generate(*league);
        }
    }
    QDialog::accept();
}

void TformGenerateSchedule::generate(const qff::League& league) {
    int id = league.getValue(qff::kLeagueId);
    QString name = qText(league.text(qff::kLeagueName));
    qff::Schedule& schedule = season_.schedule();
    if (schedule.hasSchedule(id) &&
        !prompter_.ask(this, QString("League \"%1\" already has a schedule.\n\nDo you want to "
                                     "erase it and generate a new one?")
                                 .arg(name))) {
        return;
    }
    qff::GenerationResult result = schedule.generateLeague(id);
    if (result.status != qff::kOk) {
        prompter_.tell(this, Prompter::Icon::Error,
                       QString("The schedule of league \"%1\" could not be generated.").arg(name),
                       qText(schedule.lastError()));
        return;
    }
    generated_ = true;
    tellProblems(result);
}

// Groups the generator cannot schedule are named, so no league is left with
// missing games and nobody told.
void TformGenerateSchedule::tellProblems(const qff::GenerationResult& result) {
    for (const qff::GroupResult& group : result.groups) {
        if (group.outcome == qff::GroupResult::Outcome::TooLarge &&
            group.division == qff::kNoDivision) {
            prompter_.tell(this, Prompter::Icon::Information,
                           QString("NOTE: This generator will only create schedules for for "
                                   "divisions that have %1 or less teams. There are currently %2 "
                                   "teams unassigned to any division.")
                               .arg(qff::Schedule::kMaxGroup)
                               .arg(group.franchises));
        } else if (group.outcome == qff::GroupResult::Outcome::TooLarge) {
            prompter_.tell(this, Prompter::Icon::Information,
                           QString("NOTE: This generator will only create schedules for divisions "
                                   "that have %1 or less teams. Division \"%2\" has %3 teams, so "
                                   "they got no games.")
                               .arg(qff::Schedule::kMaxGroup)
                               .arg(divisionName(group.division))
                               .arg(group.franchises));
        } else if (group.outcome == qff::GroupResult::Outcome::Incomplete) {
            prompter_.tell(
                this, Prompter::Icon::Warning,
                QString("The round robin of %1 could not be completed; some of its "
                        "weeks lack games.")
                    .arg(group.division == qff::kNoDivision
                             ? QString("the teams unassigned to any division")
                             : QString("division \"%1\"").arg(divisionName(group.division))));
        }
    }
}

QString TformGenerateSchedule::divisionName(int division) const {
    const qff::Division* found = season_.divisionQuery().findOne(qff::kDivisionId, division);
    return found ? qText(found->text(qff::kDivisionName)) : QString::number(division);
}
