#pragma once

// TformDraftPlayers: puts NFL players on a franchise's roster for a week and
// takes them off again, outside the draft. The league tree picks the
// franchise, the middle list is its roster of the week, the right list the
// players of one NFL team it may still take. Every change goes through the
// data layer's roster rules at once and is carried forward to later weeks;
// the franchise, week and NFL team shown are kept in the season state.

#include <memory>

#include "app/widgets/DragDrop.h"
#include "app/widgets/SeasonForm.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class TformDraftPlayers;
}

namespace qff {
struct RosterChange;
}

class TformDraftPlayers : public SeasonForm {
    Q_OBJECT

  public:
    TformDraftPlayers(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformDraftPlayers() override;

    void reload() override;

  private:
    enum class PlayerList { Roster, Available };

    void connectControls();
    void formShow();
    void treeLeagueChange();
    void comboWeekChange();
    void comboNFLTeamsChange();
    void btnAddPlayersClick();
    void btnRemovePlayersClick();
    void btnFindPlayerClick();
    void btnDraftOptionsClick();
    void listsDragDrop(const HdlDragDrop::DropInfo& info);
    void refreshDraftPlayers(PlayerList which);
    void refreshBoth();
    void updateButtons();
    // Tells what the data layer refused, shows the rosters afresh and lets
    // the other windows know when something changed.
    void showChange(const qff::RosterChange& change);
    void selectPlayer(int playerId);

    int franchiseId() const;
    int week() const;
    int nflTeam() const;

    std::unique_ptr<Ui::TformDraftPlayers> ui_;
    HdlDragDrop dragDrop_;
    bool filling_ = false;
};
