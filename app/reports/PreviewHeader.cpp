#include "app/reports/PreviewHeader.h"

#include <QFile>

#include "ui_PreviewHeader.h"

TformPreviewHeader::TformPreviewHeader(const QString& pagePath, QWidget* parent)
    : QDialog(parent), pagePath_(pagePath), ui(std::make_unique<Ui::TformPreviewHeader>()) {
    ui->setupUi(this);
    connect(ui->buttonClose, &QPushButton::clicked, this, &TformPreviewHeader::accept);
    ui->viewHeader->load(pagePath_);
}

TformPreviewHeader::~TformPreviewHeader() = default;

void TformPreviewHeader::done(int result) {
    QFile::remove(pagePath_);
    QDialog::done(result);
}
