#pragma once

// TformDraftDay: the Draft Day activity. It tells what the assistant does
// and opens it; the rosters the assistant writes when it closes are then
// shown afresh by every window.

#include <memory>

#include "app/widgets/SeasonForm.h"

namespace Ui {
class TformDraftDay;
}

class TformDraftDay : public SeasonForm {
    Q_OBJECT

  public:
    TformDraftDay(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformDraftDay() override;

  private:
    void showDescription();
    void btnDraftDayClick();

    std::unique_ptr<Ui::TformDraftDay> ui_;
};
