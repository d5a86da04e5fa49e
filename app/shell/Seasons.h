#pragma once

#include <QDialog>
#include <memory>
#include <vector>

class Prompter;
class QTreeWidgetItem;

namespace Ui {
class TformSwitchSeasons;
class TformOpenSeason;
class TformNewSeason;
}  // namespace Ui

// Offers, when the open season is not the season of the calendar, to stay,
// to go to the calendar's season or to pick one from the list.
class TformSwitchSeasons : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kPickFromList = 9999;

    TformSwitchSeasons(int openSeason, int calendarSeason, QWidget* parent = nullptr);
    ~TformSwitchSeasons() override;

    // The season chosen at OK, kPickFromList, or 0 when the dialog was closed.
    int answer() const { return answer_; }
    // Whether the box was ticked when OK was pressed.
    bool doNotShowAgain() const { return doNotShowAgain_; }

  public slots:
    void accept() override;

  private:
    std::unique_ptr<Ui::TformSwitchSeasons> ui;
    int openSeason_;
    int calendarSeason_;
    int answer_ = 0;
    bool doNotShowAgain_ = false;
};

// The seasons of the working directory with their NFL team and week counts.
class TformOpenSeason : public QDialog {
    Q_OBJECT

  public:
    TformOpenSeason(const std::vector<int>& years, Prompter& prompter, QWidget* parent = nullptr);
    ~TformOpenSeason() override;

    // 0 when no season was chosen.
    int chosenYear() const { return chosenYear_; }

  public slots:
    void accept() override;

  private:
    void chooseRow(QTreeWidgetItem* row);

    std::unique_ptr<Ui::TformOpenSeason> ui;
    Prompter& prompter_;
    int chosenYear_ = 0;
};

// Asks for the year of a season to create.
class TformNewSeason : public QDialog {
    Q_OBJECT

  public:
    explicit TformNewSeason(int suggestedYear, QWidget* parent = nullptr);
    ~TformNewSeason() override;

    int year() const;

  private:
    std::unique_ptr<Ui::TformNewSeason> ui;
};
