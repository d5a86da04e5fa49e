#include "app/scoring/CloseWeek.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Pro.h"
#include "data02/scoring/Results.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "app/widgets/Prompter.h"
#include "ui_CloseWeek.h"

namespace {

constexpr int kWeeksPerRow = 6;

}  // namespace

TformCloseWeek::TformCloseWeek(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      ui(new Ui::TformCloseWeek),
      season_(season),
      prompter_(prompter),
      weeks_(new QButtonGroup(this)) {
    ui->setupUi(this);
    int weeks = season_.pro().weeks();
    // The last week that counts is the one most likely to be closed again.
    int lastCounted = season_.seasonState().weeksWithStats() - 1;
    addWeekButtons(weeks, std::clamp(lastCounted, 0, weeks - 1));
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &TformCloseWeek::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &TformCloseWeek::reject);
}

TformCloseWeek::~TformCloseWeek() = default;

void TformCloseWeek::addWeekButtons(int weeks, int selected) {
    auto* grid = qobject_cast<QGridLayout*>(ui->radioWeekToClose->layout());
    for (int week = 0; week < weeks; ++week) {
        auto* button = new QRadioButton(QString::number(week + 1), ui->radioWeekToClose);
        button->setObjectName(QString("radioWeek%1").arg(week + 1));
        button->setChecked(week == selected);
        weeks_->addButton(button, week);
        grid->addWidget(button, week / kWeeksPerRow, week % kWeeksPerRow);
    }
}

int TformCloseWeek::chosenWeek() const {
    return weeks_->checkedId();
}

void TformCloseWeek::accept() {
    int week = chosenWeek();
    if (qff::closeWeek(season_, week) != qff::kOk) {
        prompter_.tell(this, Prompter::Icon::Error,
                       QString("Week %1 could not be closed.").arg(week + 1),
                       QString::fromStdString(season_.seasonState().lastError()));
        return;
    }
    if (!qff::weekHasNflStatistics(season_, week)) {
        prompter_.tell(this, Prompter::Icon::Information,
                       QString("Week %1 has no NFL statistics yet, so it counts only until the "
                               "season is opened again.")
                           .arg(week + 1));
    }
    QDialog::accept();
}
