#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TformAboutDraftOrder;
}

// How the serpentine draft order comes about, for the commissioner who
// wonders why a franchise picks where it does.
class TformAboutDraftOrder : public QDialog {
    Q_OBJECT

  public:
    explicit TformAboutDraftOrder(QWidget* parent = nullptr);
    ~TformAboutDraftOrder() override;

  private:
    std::unique_ptr<Ui::TformAboutDraftOrder> ui;
};
