#pragma once

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/demo/Demo.h"
#include "data02/league/Rosters.h"
#include "data02/league/Structure.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QTreeWidget>
#include <string>
#include <vector>

#include "app/widgets/ListHelp.h"
#include "tests/app/support/AppFixture.h"

namespace qff::apptest {

// The calendar's season, so roster saves leave weeks with statistics alone.
inline constexpr int kRosterYear = 2011;

// An empty season with a few players of two NFL teams and three franchises:
// Hawks and Owls in league North, Bears in league South. The players are
// QBs 101 to 103, RB 201 and WRs 301 to 340 of the first team, TE 401 of the
// second.
class RosterSeason {
  public:
    enum Id { kQb1 = 101, kQb2 = 102, kQb3 = 103, kRb = 201, kFirstWr = 301, kTe = 401 };
    static constexpr int kWideReceivers = 40;

    RosterSeason() : folder_(kRosterYear) {
        Singleton& season = folder_.context();
        teams_ = season.pro().validTeams();
        std::vector<DemoPlayer> players{{kQb1, "Able, Art", teams_[0], kQB, 80},
                                        {kQb2, "Baker, Bo", teams_[0], kQB, 80},
                                        {kQb3, "Cole, Cy", teams_[0], kQB, 80},
                                        {kRb, "Dunn, Dan", teams_[0], kRB, 80},
                                        {kTe, "Eaton, Ed", teams_[1], kTE, 80}};
        for (int i = 0; i < kWideReceivers; ++i) {
            players.push_back(
                {kFirstWr + i, "Wide, No" + std::to_string(100 + i), teams_[0], kWR, 70});
        }
        std::string error;
        ok_ = folder_.opened() && addDemoPlayers(season, players, error);
        north_ = createLeague(season, "North").id;
        south_ = createLeague(season, "South").id;
        hawks_ = createFranchise(season, {StructureKind::League, north_}, "Hawks").id;
        owls_ = createFranchise(season, {StructureKind::League, north_}, "Owls").id;
        bears_ = createFranchise(season, {StructureKind::League, south_}, "Bears").id;
        season.seasonState().set(kCurrentNflTeam, teams_[0]);
        season.seasonState().set(kCurrentWeek, 0);
        selectStructureNode(season, {StructureKind::Franchise, hawks_});
    }

    bool ok() const { return ok_ && hawks_ > 0 && owls_ > 0 && bears_ > 0; }
    Singleton& season() { return folder_.context(); }
    int team(int i) const { return teams_[static_cast<std::size_t>(i)]; }
    int north() const { return north_; }
    int hawks() const { return hawks_; }
    int owls() const { return owls_; }
    int bears() const { return bears_; }

    // The roster ids of a franchise's week as the data layer holds them.
    std::vector<int> roster(int franchise, int week) {
        TeamRosterStruct stored;
        findFranchise(season(), franchise)->getRoster(week, stored);
        std::vector<int> ids;
        for (int place = 0; place < stored.count(); ++place) {
            ids.push_back(stored.id(place));
        }
        return ids;
    }
    std::vector<int> active(int franchise, int week) {
        TeamRosterStruct stored;
        findFranchise(season(), franchise)->getRoster(week, stored);
        std::vector<int> ids;
        for (int place = 0; place < stored.count(); ++place) {
            if (stored.active(place)) {
                ids.push_back(stored.id(place));
            }
        }
        return ids;
    }

    void setLimit(int position, int limit) {
        season().preferences().set(kPrefRosterLimitQB + position, limit);
    }
    void setAllLimits(int limit) {
        for (int position = kQB; position <= kSPE; ++position) {
            setLimit(position, limit);
        }
    }

  private:
    SeasonFolder folder_;
    std::vector<int> teams_;
    bool ok_ = false;
    int north_ = 0;
    int south_ = 0;
    int hawks_ = 0;
    int owls_ = 0;
    int bears_ = 0;
};

// The player ids a list shows, in row order.
inline std::vector<int> shownIds(const QTreeWidget& list) {
    std::vector<int> ids;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        ids.push_back(playerIdOf(list.topLevelItem(row)));
    }
    return ids;
}

inline bool listed(const QTreeWidget& list, int id) {
    std::vector<int> ids = shownIds(list);
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Selects exactly the rows of these players.
inline void choose(QTreeWidget& list, const std::vector<int>& ids) {
    list.clearSelection();
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list.topLevelItem(row);
        if (std::find(ids.begin(), ids.end(), playerIdOf(item)) != ids.end()) {
            item->setSelected(true);
        }
    }
}

inline QTreeWidgetItem* nodeNamed(QTreeWidget& tree, const QString& caption) {
    QList<QTreeWidgetItem*> found = tree.findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

}  // namespace qff::apptest
