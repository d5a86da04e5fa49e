#include "app/shell/Seasons.h"

#include <QPushButton>

#include "app/widgets/Prompter.h"
#include "data02/model/Pro.h"
#include "ui_NewSeason.h"
#include "ui_OpenSeason.h"
#include "ui_SwitchSeasons.h"

TformSwitchSeasons::TformSwitchSeasons(int openSeason, int calendarSeason, QWidget* parent)
    : QDialog(parent),
      ui(new Ui::TformSwitchSeasons),
      openSeason_(openSeason),
      calendarSeason_(calendarSeason) {
    ui->setupUi(this);
    ui->lblCurrentSeason->setText(
        QString("It has been determined that you are currently using the %1 season.")
            .arg(openSeason));
    ui->lblFeatures->setText(QString("With the %1 season you will be able to check out various "
                                     "product features or analyze player performance.")
                                 .arg(openSeason));
    ui->lblSetup->setText(
        QString("If you are ready to start setting up your league then open the %1 season. To "
                "open the %1 season select a response below or use the menu command Season + "
                "Open.")
            .arg(calendarSeason));
    ui->rbOpenSeason->setText(
        QString("\"I want to access stats for the %1 season\"").arg(openSeason));
    ui->rbCalendarSeason->setText(
        QString("\"Please take me to the %1 season\"").arg(calendarSeason));
    ui->rbPickSeason->setText("\"Let me select a season from a list of available seasons\"");
    connect(ui->btnOK, &QPushButton::clicked, this, &TformSwitchSeasons::accept);
}

TformSwitchSeasons::~TformSwitchSeasons() = default;

void TformSwitchSeasons::accept() {
    answer_ = ui->rbCalendarSeason->isChecked() ? calendarSeason_
              : ui->rbPickSeason->isChecked()   ? kPickFromList
                                                : openSeason_;
    doNotShowAgain_ = ui->chkDoNotShow->isChecked();
    QDialog::accept();
}

TformOpenSeason::TformOpenSeason(const std::vector<int>& years, Prompter& prompter, QWidget* parent)
    : QDialog(parent), ui(new Ui::TformOpenSeason), prompter_(prompter) {
    ui->setupUi(this);
    for (int year : years) {
        auto* row = new QTreeWidgetItem(
            ui->listSeasons, {QString::number(year), QString::number(qff::Pro::teamCountOf(year)),
                              QString::number(qff::Pro::weeksOf(year))});
        row->setData(0, Qt::UserRole, year);
    }
    for (int column = 0; column < ui->listSeasons->columnCount(); ++column) {
        ui->listSeasons->resizeColumnToContents(column);
    }
    if (ui->listSeasons->topLevelItemCount() > 0) {
        ui->listSeasons->setCurrentItem(ui->listSeasons->topLevelItem(0));
    }
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &TformOpenSeason::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &TformOpenSeason::reject);
    connect(ui->listSeasons, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* row) { chooseRow(row); });
}

TformOpenSeason::~TformOpenSeason() = default;

void TformOpenSeason::accept() {
    QTreeWidgetItem* row = ui->listSeasons->currentItem();
    if (row == nullptr || !row->isSelected()) {
        prompter_.tell(this, Prompter::Icon::Information,
                       "Please select a season then press the OK button again.");
        return;
    }
    chooseRow(row);
}

void TformOpenSeason::chooseRow(QTreeWidgetItem* row) {
    chosenYear_ = row->data(0, Qt::UserRole).toInt();
    QDialog::accept();
}

TformNewSeason::TformNewSeason(int suggestedYear, QWidget* parent)
    : QDialog(parent), ui(new Ui::TformNewSeason) {
    ui->setupUi(this);
    ui->editYear->setValue(suggestedYear);
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &TformNewSeason::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &TformNewSeason::reject);
}

TformNewSeason::~TformNewSeason() = default;

int TformNewSeason::year() const {
    return ui->editYear->value();
}
