#pragma once

// TformActivate: which of a franchise's rostered players count for it in a
// week (active) and which sit on the bench. Only the active flags of the
// week's roster change, through the data layer, and the roster is carried
// forward to later weeks as every roster save is. The lists show each
// player's season points, touchdowns and yards; on a narrow form those
// columns give way to the names.

#include <memory>

#include "app/widgets/DragDrop.h"
#include "app/widgets/SeasonForm.h"

namespace Ui {
class TformActivate;
}

class TformActivate : public SeasonForm {
    Q_OBJECT

  public:
    TformActivate(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformActivate() override;

    void reload() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    enum class Lineup { Active, Bench };

    void connectControls();
    void formShow();
    void treeLeagueChange();
    void comboWeekChange();
    void btnActivatePlayersClick();
    void btnBenchPlayersClick();
    void listsDragDrop(const HdlDragDrop::DropInfo& info);
    void refreshRosters(Lineup which);
    void changePlayerStatus(bool activate);
    void showFiguresIfRoomy();

    int franchiseId() const;
    int week() const;

    std::unique_ptr<Ui::TformActivate> ui_;
    HdlDragDrop dragDrop_;
    bool filling_ = false;
};
