#include "app/reports/ReportDelete.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_assist.h"
#include "data02/reports/Rpt_define.h"

#include <QListWidgetItem>
#include <QPushButton>

#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_ReportDelete.h"

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

QString deleteQuestion(const QString& name) {
    return QString("Delete the report \"%1\"? This cannot be undone.").arg(name);
}

}  // namespace

TformReportDelete::TformReportDelete(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      season_(season),
      prompter_(prompter),
      ui(std::make_unique<Ui::TformReportDelete>()) {
    ui->setupUi(this);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &TformReportDelete::okClick);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &TformReportDelete::reject);
    connect(ui->listReports, &QListWidget::itemSelectionChanged, this,
            &TformReportDelete::updateOk);
    connect(ui->listReports, &QListWidget::itemDoubleClicked, this,
            &TformReportDelete::reportDoubleClick);
    fillList();
}

TformReportDelete::~TformReportDelete() = default;

void TformReportDelete::fillList() {
    ui->listReports->clear();
    for (const qff::ReportListEntry& entry : qff::reportsWithFlag(season_, qff::kReportDeletable)) {
        auto* item = new QListWidgetItem(qText(entry.caption()), ui->listReports);
        item->setData(kIdRole, entry.id);
        item->setData(kNameRole, qText(entry.name));
    }
    updateOk();
}

void TformReportDelete::updateOk() {
    ui->buttonBox->button(QDialogButtonBox::Ok)
        ->setEnabled(!ui->listReports->selectedItems().isEmpty());
}

// A refusal keeps the dialog open on a list read afresh, so an entry whose
// report has gone meanwhile disappears.
void TformReportDelete::okClick() {
    QList<QListWidgetItem*> selected = ui->listReports->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const QListWidgetItem& item = *selected.front();
    if (!prompter_.ask(this, deleteQuestion(item.data(kNameRole).toString()))) {
        return;
    }
    qff::ReportChange change = qff::deleteReport(season_, item.data(kIdRole).toInt());
    if (!change.ok()) {
        prompter_.tell(this, Prompter::Icon::Error, qText(change.problem->message));
        fillList();
        return;
    }
    deletedType_ = change.type;
    accept();
}

void TformReportDelete::reportDoubleClick(QListWidgetItem* item) {
    item->setSelected(true);
    okClick();
}
