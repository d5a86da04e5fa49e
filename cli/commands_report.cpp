#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_output.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/State.h"

namespace qff::cli {
namespace {

// Weeks of a run, 0-based and inclusive.
struct WeekRange {
    int first = 0;
    int last = 0;
};

struct ReportArgs {
    std::optional<int> league;
    std::string report;
    std::string week;
    std::string weeks;
    bool season = false;
    std::optional<int> franchise;
    std::optional<int> player;
    std::string nflTeam;
};

struct ReportsArgs {
    int league = 0;
    std::string week;
};

constexpr std::string_view kDefaultWeekNote = "default: the last week with statistics";

// The last week with statistics, else the first week.
int defaultWeek(Singleton& season) {
    return std::max(season.seasonState().weeksWithStats() - 1, 0);
}

std::optional<int> weekIndex(std::string_view text, int weeks) {
    std::optional<int> week = parseInteger(text);
    return week && *week >= 1 && *week <= weeks ? std::optional<int>(*week - 1) : std::nullopt;
}

std::optional<WeekRange> weekRange(Singleton& season, const std::string& week,
                                   const std::string& weeks, bool wholeSeason) {
    int count = season.pro().weeks();
    if (wholeSeason) {
        return WeekRange{0, count - 1};
    }
    if (!week.empty()) {
        std::optional<int> index = weekIndex(week, count);
        return index ? std::optional<WeekRange>({*index, *index}) : std::nullopt;
    }
    if (!weeks.empty()) {
        std::size_t dash = weeks.find('-');
        std::optional<int> first = weekIndex(weeks.substr(0, dash), count);
        std::optional<int> last =
            dash == std::string::npos ? std::nullopt : weekIndex(weeks.substr(dash + 1), count);
        return first && last && *first <= *last ? std::optional<WeekRange>({*first, *last})
                                                : std::nullopt;
    }
    return WeekRange{defaultWeek(season), defaultWeek(season)};
}

int badWeeks(Session& session, Singleton& season) {
    return session.output.fail("the season has weeks 1 to " + std::to_string(season.pro().weeks()) +
                               "; give --week W, --weeks A-B with A <= B, or --season");
}

// The view week a run reads rosters and sort orders at: its week, the last
// week of a range, or the whole season.
int viewWeekOf(Singleton& season, WeekRange range) {
    bool wholeSeason = range.first == 0 && range.last == season.pro().weeks() - 1;
    return wholeSeason && range.first != range.last ? kAllWeeks : range.last;
}

// By id first when the text is a number, then by name.
Owned<Report> findReport(Singleton& season, const std::string& text) {
    ReportQuery query(season);
    Owned<RptList> found;
    if (std::optional<int> id = parseInteger(text)) {
        found = query.findById(*id);
    }
    if (!found || found->empty()) {
        found = query.findByName(text);
    }
    if (!found || found->empty()) {
        return {};
    }
    return std::move(found->front());
}

// The overview object the command line names; a message when it is missing.
std::optional<std::string> chooseOverview(Singleton& season, const ReportArgs& args,
                                          const Report& report, ReportTarget& target) {
    std::string quoted = "the report \"" + report.name() + "\" ";
    switch (Report::builtInNumber(report.name())) {
        case 0:
            if (!args.player) {
                return quoted + "needs --player";
            }
            if (!season.mapFactory().players().findFirst(kPlayerId, *args.player)) {
                return "no player has the id " + std::to_string(*args.player);
            }
            target.node = ReportNode::PlayerOverview;
            target.player = *args.player;
            return std::nullopt;
        case 1:
            if (!args.franchise) {
                return quoted + "needs --franchise";
            }
            if (!season.mapFactory().franchises().findFirst(kFranchiseId, *args.franchise)) {
                return "no franchise has the id " + std::to_string(*args.franchise);
            }
            target.node = ReportNode::FranchiseOverview;
            target.franchise = *args.franchise;
            return std::nullopt;
        case 2: {
            if (args.nflTeam.empty()) {
                return quoted + "needs --nfl-team";
            }
            std::optional<int> index = parseInteger(args.nflTeam);
            target.nflTeam = index ? *index : season.pro().teamIndex(args.nflTeam);
            if (!season.pro().isValid(target.nflTeam)) {
                return "no NFL team of the season is " + args.nflTeam;
            }
            target.node = ReportNode::NflOverview;
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

bool succeeded(const ReportRunResult& result) {
    return result.page && (result.status == kOk || result.status == kReportPackRepeated);
}

std::string failureText(const ReportRunResult& result) {
    if (!result.message.empty()) {
        return result.message;
    }
    return result.page ? "the report could not be generated in full: " + result.page->string()
                       : "the report's page could not be written";
}

void warnAboutRepeatedPack(Session& session, const ReportRunResult& result,
                           const std::string& name) {
    if (result.status == kReportPackRepeated) {
        session.output.warn("the report pack \"" + name +
                            "\" meets a pack again; every pack was written once");
    }
}

int reportCommand(const ReportArgs& args, Session& session) {
    // Required here rather than by the parser, which would ask for them of
    // the definition commands under "report" too.
    if (!args.league) {
        return session.output.usage("--league is required");
    }
    if (args.report.empty()) {
        return session.output.usage("REPORT is required");
    }
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    if (findLeague(session, season, *args.league) == nullptr) {
        return kExitFailure;
    }
    std::optional<WeekRange> range = weekRange(season, args.week, args.weeks, args.season);
    if (!range) {
        return badWeeks(session, season);
    }
    Owned<Report> report = findReport(season, args.report);
    if (!report) {
        return session.output.fail("no report is named or numbered \"" + args.report + "\"");
    }
    ReportTarget target;
    if (std::optional<std::string> problem = chooseOverview(season, args, *report, target)) {
        return session.output.usage(*problem);
    }
    target.captions = nodeCaptions(season, target, report->type());
    SeasonState& state = season.seasonState();
    ScopedStateValue league(state, kCurrentLeague, *args.league);
    ScopedStateValue viewWeek(state, kViewWeek, viewWeekOf(season, *range));
    ReportRunResult result = runReportPage(season, report.get(), target, range->first, range->last);
    if (!succeeded(result)) {
        return session.output.fail(failureText(result));
    }
    warnAboutRepeatedPack(session, result, report->name());
    nlohmann::json document = {{"report", report->name()},
                               {"id", report->id()},
                               {"first_week", range->first + 1},
                               {"last_week", range->last + 1},
                               {"page", result.page->string()}};
    return session.output.emit(document,
                               [&](std::ostream& out) { out << result.page->string() << '\n'; });
}

struct BatchOutcome {
    nlohmann::json pages = nlohmann::json::array();
    nlohmann::json skipped = nlohmann::json::array();
    nlohmann::json failed = nlohmann::json::array();
};

// Built-in pages that cannot be made now (draft pages without picks, say)
// are skipped; any other failure is an error.
void runTreeReport(Singleton& season, Session& session, const TreeReport& node, int week,
                   BatchOutcome& outcome) {
    Owned<RptList> found = ReportQuery(season).findById(node.id);
    Report* report = found && !found->empty() ? found->front().get() : nullptr;
    ReportTarget target;
    target.captions = {reportGroupCaption(node.group)};
    ReportRunResult result = runReportPage(season, report, target, week, week);
    nlohmann::json entry = {{"report", node.name}, {"id", node.id}};
    if (succeeded(result)) {
        warnAboutRepeatedPack(session, result, node.name);
        entry["page"] = result.page->string();
        outcome.pages.push_back(entry);
        return;
    }
    entry["message"] = failureText(result);
    bool builtIn = Report::builtInNumber(node.name) >= 0;
    session.output.warn((builtIn ? "skipped \"" : "failed \"") + node.name +
                        "\": " + entry["message"].get<std::string>());
    (builtIn ? outcome.skipped : outcome.failed).push_back(entry);
}

int reportsCommand(const ReportsArgs& args, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    if (findLeague(session, season, args.league) == nullptr) {
        return kExitFailure;
    }
    std::optional<WeekRange> range = weekRange(season, args.week, "", false);
    if (!range) {
        return badWeeks(session, season);
    }
    SeasonState& state = season.seasonState();
    ScopedStateValue league(state, kCurrentLeague, args.league);
    ScopedStateValue viewWeek(state, kViewWeek, range->first);
    BatchOutcome outcome;
    for (const TreeReport& node : treeReports(season, args.league)) {
        runTreeReport(season, session, node, range->first, outcome);
    }
    ReportRunResult siteMap = writeReportSiteMap(season);
    if (!siteMap.page) {
        return session.output.fail("the site map could not be written");
    }
    nlohmann::json document = {{"week", range->first + 1},
                               {"pages", outcome.pages},
                               {"skipped", outcome.skipped},
                               {"failed", outcome.failed},
                               {"site_map", siteMap.page->string()}};
    session.output.emit(document, [&](std::ostream& out) {
        for (const auto& page : outcome.pages) {
            out << page["page"].get<std::string>() << '\n';
        }
        out << siteMap.page->string() << '\n';
    });
    if (!outcome.failed.empty()) {
        return session.output.fail(std::to_string(outcome.failed.size()) +
                                   " report(s) could not be generated");
    }
    return kExitOk;
}

}  // namespace

void addReportCommands(CLI::App& app, CommandTable& table) {
    auto args = std::make_shared<ReportArgs>();
    CLI::App* report =
        app.add_subcommand("report", "Generate one report's page and print where it is");
    report->require_subcommand(0, 1);
    report->add_option("--league", args->league, "League id (required to generate)");
    report->add_option("REPORT", args->report, "Report name or id (required to generate)");
    CLI::Option* week = addWeekOption(report, args->week, WholeSeason::Refused,
                                      WeekNeeded::Optional, kDefaultWeekNote);
    CLI::Option* weeks = report->add_option("--weeks", args->weeks, "Weeks A-B, counted from 1");
    CLI::Option* wholeSeason = report->add_flag("--season", args->season, "Every week");
    week->excludes(weeks)->excludes(wholeSeason);
    weeks->excludes(wholeSeason);
    CLI::Option* franchise =
        report->add_option("--franchise", args->franchise, "Franchise id (Overview - Team)");
    CLI::Option* player =
        report->add_option("--player", args->player, "Player id (Overview - Player)");
    CLI::Option* nflTeam =
        report->add_option("--nfl-team", args->nflTeam, "NFL team index or name (Overview - NFL)");
    franchise->excludes(player)->excludes(nflTeam);
    player->excludes(nflTeam);
    table.add(report, [args](Session& session) { return reportCommand(*args, session); });
    addReportDefinitionCommands(*report, table);

    auto batch = std::make_shared<ReportsArgs>();
    CLI::App* reports = app.add_subcommand(
        "reports", "Generate every report the league lists for one week, then the site map");
    reports->add_option("--league", batch->league, "League id")->required();
    addWeekOption(reports, batch->week, WholeSeason::Refused, WeekNeeded::Optional,
                  kDefaultWeekNote);
    table.add(reports, [batch](Session& session) { return reportsCommand(*batch, session); });
}

}  // namespace qff::cli
