#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

#include "data02/season/Opening.h"

class Prompter;

namespace Ui {
class TformLoading;
}

// Loads the open season's record files one step per timer tick, showing what
// it loads and telling about each file that fails. It closes itself after
// the last step and cannot be closed before.
class TformLoading : public QDialog {
    Q_OBJECT

  public:
    TformLoading(qff::Singleton& context, int year, Prompter& prompter, QWidget* parent = nullptr);
    ~TformLoading() override;

    const qff::LoadingResults& results() const { return loader_.results(); }
    bool finished() const { return finished_; }

  signals:
    void stepDone(int stepsDone);

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private slots:
    void runNextStep();

  private:
    void present(const qff::SeasonMessage& message);

    std::unique_ptr<Ui::TformLoading> ui;
    qff::SeasonLoader loader_;
    Prompter& prompter_;
    QTimer timer_;
    bool finished_ = false;
};
