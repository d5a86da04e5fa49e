#pragma once

#include <QDialog>
#include <memory>

class Prompter;
class QButtonGroup;

namespace qff {
class Singleton;
}

namespace Ui {
class TformCloseWeek;
}

// Counts a week of play by hand: OK flags the chosen week as having its
// statistics and writes the flag at once. No week is ever opened again here.
class TformCloseWeek : public QDialog {
    Q_OBJECT

  public:
    TformCloseWeek(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformCloseWeek() override;

    // The week index chosen.
    int chosenWeek() const;

  public slots:
    void accept() override;

  private:
    void addWeekButtons(int weeks, int selected);

    std::unique_ptr<Ui::TformCloseWeek> ui;
    qff::Singleton& season_;
    Prompter& prompter_;
    QButtonGroup* weeks_;
};
