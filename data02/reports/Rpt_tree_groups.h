#pragma once

#include <string>
#include <vector>

#include "data02/reports/Rpt_output.h"

namespace qff {

class Singleton;

// Images of the report tree's nodes: folders closed and open, then every
// node that stands for a page. Player nodes take an image by position.
enum ReportTreeImage { kTreeFolderImage = 0, kTreeOpenFolderImage = 1, kTreePageImage = 2 };

// Position + 4 for a player, position - 6 for a team unit (positions 10
// to 16), so a unit shares the image of its position.
int playerNodeImage(int position);

// One object node of an overview group.
struct TreeObject {
    // Franchise id, player id or NFL team index.
    int id = 0;
    std::string caption;
    int image = kTreePageImage;
};

// The franchises of a league, sorted by name.
std::vector<TreeObject> franchiseOverviewNodes(Singleton& context, int league);

// The NFL teams of the season, in the order of the NFL team table.
std::vector<TreeObject> nflTeamNodes(Singleton& context);

// The players and units of one NFL team, sorted by position, then by name.
std::vector<TreeObject> nflTeamPlayerNodes(Singleton& context, int nflTeam);

// The report an overview node runs: "Overview - Team", "Overview - Player"
// or "Overview - NFL"; empty for a report node.
std::string overviewReportName(ReportNode node);

// What a node of group `group` stands for: a report of groups 1, 3 and 6 to
// 9, an overview object of groups 2, 4 and 5.
ReportNode reportNodeOfGroup(int group);

// Runs the page of a tree node of `group` whose item is `id` (a report id,
// or the object of an overview) over weeks first to last, for the current
// league.
ReportRunResult runTreeNode(Singleton& context, int group, int id, int first, int last);

// Whether the run left a page to show: a report pack met again still writes
// every pack once.
bool reportPageWritten(const ReportRunResult& result);

}  // namespace qff
