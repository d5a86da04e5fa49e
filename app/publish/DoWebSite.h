#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

class QLabel;

namespace qff {
struct PreparedSite;
}

namespace Ui {
class TformDoWebSite;
}

// The progress of one publishing run: a ball that moves down the field while
// the home page is generated, and the generation's status log. It closes by
// itself once the page is done; "Cancel" closes it at once, before the page
// when it is early enough.
class TformDoWebSite : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kWorkMilliseconds = 250;
    static constexpr int kAnimationMilliseconds = 500;
    static constexpr int kSteps = 9;

    // The run must be prepared and outlive the dialog.
    explicit TformDoWebSite(qff::PreparedSite& run, QWidget* parent = nullptr);
    ~TformDoWebSite() override;

    // The step image on show, 1 to kSteps.
    int shownStep() const { return step_; }

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* stepImage(int step) const;
    void workTick();
    void animationTick();
    void stopTimers();

    std::unique_ptr<Ui::TformDoWebSite> ui;
    qff::PreparedSite& run_;
    QTimer workTimer_;
    QTimer animationTimer_;
    int ticks_ = 0;
    int step_ = 1;
    bool working_ = false;
    bool started_ = false;
};
