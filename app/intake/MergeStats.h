#pragma once

#include <QDialog>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <memory>

class Prompter;

namespace qff {
class Singleton;
class StatsMerge;
struct MergeReport;
}  // namespace qff

namespace Ui {
class TformMergeStats;
}

// Merges one weekly statistics file (.pts) or roster-update file (.ros) into
// the open season while it is shown, a slice of records per timer tick so the
// window keeps answering, then tells the merge's messages and closes itself.
// It has no buttons: a merge runs to its end.
//
//     qff::MergeReport report = TformMergeStats::mergeFile(season, prompter, path, this);
//     seasonDataChanged();
//
// The file is opened and checked against the open season when the window is
// created; a file of another season is refused when it is shown, with nothing
// changed.
class TformMergeStats : public QDialog {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kTickInterval{10};
    static constexpr std::chrono::milliseconds kTickBudget{30};

    TformMergeStats(qff::Singleton& season, Prompter& prompter, const std::filesystem::path& file,
                    QWidget* parent = nullptr);
    ~TformMergeStats() override;

    // Shows the window modally over `parent` until the merge is done and
    // returns what it did; the messages have been told by then.
    static qff::MergeReport mergeFile(qff::Singleton& season, Prompter& prompter,
                                      const std::filesystem::path& file, QWidget* parent);

    // What the merge did; complete once the window has closed.
    const qff::MergeReport& report() const;
    bool isMerging() const { return !done_; }
    // How long one tick may merge before the window answers again.
    void setTickBudget(std::chrono::milliseconds budget) { budget_ = budget; }

  signals:
    // After every tick, with the number of records merged so far.
    void stepDone(int progress);

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void tick();
    void mergeSlice();
    void showProgress();
    void finish();
    void tellMessages();

    std::unique_ptr<Ui::TformMergeStats> ui;
    std::unique_ptr<qff::StatsMerge> merge_;
    Prompter& prompter_;
    QTimer timer_;
    std::chrono::milliseconds budget_ = kTickBudget;
    bool started_ = false;
    bool busy_ = false;
    bool done_ = false;
};
