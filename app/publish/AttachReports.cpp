#include "app/publish/AttachReports.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/publish/Mail.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>

#include "app/widgets/QtText.h"
#include "ui_AttachReports.h"

namespace {

QString shown(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(qText(path.string()));
}

}  // namespace

TformAttachReports::TformAttachReports(std::filesystem::path workdir, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TformAttachReports>()) {
    ui->setupUi(this);
    ui->labelRoot->setText("Root Directory:  " + shown(workdir));
    for (const std::filesystem::path& page : qff::attachableReports(workdir)) {
        auto* item = new QListWidgetItem(shown(page), ui->listReports);
        item->setData(Qt::UserRole, qText(page.string()));
    }
    connect(ui->btnOK, &QPushButton::clicked, this, &TformAttachReports::accept);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TformAttachReports::reject);
    connect(ui->listReports, &QListWidget::itemDoubleClicked, this, &TformAttachReports::accept);
}

TformAttachReports::~TformAttachReports() = default;

std::vector<std::filesystem::path> TformAttachReports::chosenReports() const {
    std::vector<std::filesystem::path> chosen;
    for (int row = 0; row < ui->listReports->count(); ++row) {
        const QListWidgetItem* item = ui->listReports->item(row);
        if (item->isSelected()) {
            chosen.emplace_back(item->data(Qt::UserRole).toString().toStdString());
        }
    }
    return chosen;
}
