#include "data02/reports/Rpt_tree_groups.h"

#include "data02/diag/Status.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

// The catalogue numbers of the three overview reports.
constexpr int kPlayerOverviewReport = 0;
constexpr int kFranchiseOverviewReport = 1;
constexpr int kNflOverviewReport = 2;

Owned<Report> firstOf(Owned<RptList> found) {
    if (!found || found->empty()) {
        return {};
    }
    return std::move(found->front());
}

Owned<Report> reportOfNode(Singleton& context, ReportNode node, int id) {
    ReportQuery query(context);
    if (node == ReportNode::Report) {
        return firstOf(query.findById(id));
    }
    return firstOf(query.findByName(overviewReportName(node)));
}

ReportTarget targetOfNode(ReportNode node, int id) {
    ReportTarget target;
    target.node = node;
    switch (node) {
        case ReportNode::FranchiseOverview:
            target.franchise = id;
            break;
        case ReportNode::PlayerOverview:
            target.player = id;
            break;
        case ReportNode::NflOverview:
            target.nflTeam = id;
            break;
        default:
            break;
    }
    return target;
}

}  // namespace

int playerNodeImage(int position) {
    return position >= Pro::kUnitPositionBase ? position - 6 : position + 4;
}

std::vector<TreeObject> franchiseOverviewNodes(Singleton& context, int league) {
    std::vector<TreeObject> nodes;
    for (const Team* team : context.teamQuery().leagueFranchises(league)) {
        nodes.push_back({team->id(), team->text(kFranchiseName)});
    }
    return nodes;
}

std::vector<TreeObject> nflTeamNodes(Singleton& context) {
    std::vector<TreeObject> nodes;
    for (int team : context.pro().validTeams()) {
        nodes.push_back({team, context.pro().teamName(false, team)});
    }
    return nodes;
}

std::vector<TreeObject> nflTeamPlayerNodes(Singleton& context, int nflTeam) {
    PlayerQueryNode byTeam;
    byTeam.setSelectCode(PlayerQueryNode::kByTeam);
    std::vector<int> team{nflTeam};
    byTeam.setValues(team);
    byTeam.setSortKey(0, kPlayerPosition, false);
    byTeam.setSortKey(1, kPlayerName, false);
    PlayerQuery query(context);
    query.addNode(byTeam);
    std::vector<TreeObject> nodes;
    if (Owned<PlyrList> players = query.run()) {
        for (const Player* player : *players) {
            nodes.push_back(
                {player->id(), player->name(), playerNodeImage(player->storedPosition())});
        }
    }
    return nodes;
}

std::string overviewReportName(ReportNode node) {
    switch (node) {
        case ReportNode::FranchiseOverview:
            return Report::builtInName(kFranchiseOverviewReport);
        case ReportNode::PlayerOverview:
            return Report::builtInName(kPlayerOverviewReport);
        case ReportNode::NflOverview:
            return Report::builtInName(kNflOverviewReport);
        default:
            return {};
    }
}

ReportNode reportNodeOfGroup(int group) {
    switch (group) {
        case kFranchiseOverviewGroup:
            return ReportNode::FranchiseOverview;
        case kPlayerOverviewGroup:
            return ReportNode::PlayerOverview;
        case kNflOverviewGroup:
            return ReportNode::NflOverview;
        default:
            return ReportNode::Report;
    }
}

ReportRunResult runTreeNode(Singleton& context, int group, int id, int first, int last) {
    ReportNode node = reportNodeOfGroup(group);
    Owned<Report> report = reportOfNode(context, node, id);
    ReportTarget target = targetOfNode(node, id);
    if (report) {
        target.captions = nodeCaptions(context, target, report->type());
    }
    return runReportPage(context, report.get(), target, first, last);
}

bool reportPageWritten(const ReportRunResult& result) {
    return result.page && (result.status == kOk || result.status == kReportPackRepeated);
}

}  // namespace qff
