#include "app/draft/AboutDraftOrder.h"

#include "ui_AboutDraftOrder.h"

TformAboutDraftOrder::TformAboutDraftOrder(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TformAboutDraftOrder>()) {
    ui->setupUi(this);
}

TformAboutDraftOrder::~TformAboutDraftOrder() = default;
