#pragma once

// The data headers come first, before Qt's keyword macros.
#include "data02/schedule/WeekRows.h"

#include <memory>
#include <vector>

#include "app/widgets/DragDrop.h"
#include "app/widgets/SeasonForm.h"

namespace Ui {
class TformSchedule;
}

class QListWidgetItem;

// Where the commissioner builds a league's head-to-head schedule one week at
// a time: franchises move between the list and the grid by buttons,
// double-click or dragging, and every change is stored at once. The data
// layer checks each change and refuses what no week may hold.
class TformSchedule : public SeasonForm {
    Q_OBJECT

  public:
    TformSchedule(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformSchedule() override;

    void reload() override;

  public slots:
    // The main window's schedule commands run these while the form is shown.
    void generateSchedule();
    void resetSchedule();
    void clearOneWeek();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void connectControls();
    void fillLeagues();
    void leagueChosen();
    void refresh();
    void showRows();
    void showAvailable();
    void store(const qff::WeekRows& rows);
    void storeDone(int status);
    void addClick();
    void removeClick();
    void moveClick(int step);
    void gridDropped(const HdlDragDrop::DropInfo& info);
    void offerGeneration();
    void openOptions();
    int league() const;
    int week() const;
    std::vector<int> leagueFranchises() const;
    QString nameOf(int side) const;

    std::unique_ptr<Ui::TformSchedule> ui;
    HdlDragDrop* dragDrop_;
    qff::WeekRows rows_;
    bool offered_ = false;
};
