#include "app/shell/Pending.h"

#include "ui_Pending.h"

TformPending::TformPending(const QString& formName, const QString& activityCaption, QWidget* parent)
    : QWidget(parent), ui(new Ui::TformPending) {
    ui->setupUi(this);
    setObjectName(formName);
    ui->lblPending->setText(
        QString("%1 is not available yet in this version of Quillmar Fantasy Football.")
            .arg(activityCaption));
}

TformPending::~TformPending() = default;
