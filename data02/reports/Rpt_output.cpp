#include "data02/reports/Rpt_output.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <system_error>
#include <tuple>
#include <utility>

#include "data02/diag/Status.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Export.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rptqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

namespace fs = std::filesystem;

static_assert(
    [] {
        for (int group = 0; group < kReportGroupCount; ++group) {
            if (kReportTreeGroups[static_cast<std::size_t>(group)].group != group) {
                return false;
            }
        }
        return true;
    }(),
    "the report tree's groups are listed in group order");

constexpr std::array<const char*, 6> kHeadToHeadReports = {
    "HTH Details - All Players",
    "HTH Details - Active Players",
    "Head to Head Overview",
    "Head to Head Snapshot",
    "Your Schedule",
    "Standings - By Record",
};

// Groups whose nodes are reports rather than overview objects.
constexpr const char* kMiscellaneousGroup = "Miscelaneous Reports";
constexpr const char* kSeasonTotalsGroup = "Season Totals";
constexpr std::string_view kWeekMark = " - week ";
constexpr std::string_view kAllWeeksMark = " - all weeks";
constexpr int kSiteMapWeeks = 19;

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

bool startsWord(std::string_view text, std::size_t i) {
    if (i == 0 || (i + 1 < text.size() && text[i + 1] == ']')) {
        return true;
    }
    char before = text[i - 1];
    return before == ' ' || before == ':' || before == '[' || before == '\\';
}

// The first letter and every letter after a blank, ':', '[' or '\', or
// before a ']', in upper case.
std::string capitalised(std::string_view text) {
    std::string result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        if (startsWord(text, i)) {
            result[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(result[i])));
        }
    }
    return result;
}

// The week a lower-case page name is filed under: 0 when it names none,
// -1 when it names one outside the weeks the site map knows.
int weekOfName(std::string_view lower, std::size_t& cut) {
    for (std::size_t at = lower.rfind(kWeekMark); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : lower.rfind(kWeekMark, at - 1)) {
        std::size_t digits = at + kWeekMark.size();
        std::size_t end = digits;
        while (end < lower.size() && std::isdigit(static_cast<unsigned char>(lower[end]))) {
            ++end;
        }
        if (end == digits) {
            continue;
        }
        cut = at;
        std::string_view number = lower.substr(digits, end - digits);
        int week = number.size() > 2 ? kSiteMapWeeks + 1 : std::stoi(std::string(number));
        return week >= 1 && week <= kSiteMapWeeks ? week : -1;
    }
    return 0;
}

struct FiledPage {
    std::string group;
    SiteMapEntry entry;
};

std::optional<FiledPage> filePage(const fs::path& workdir, const fs::path& path,
                                  std::string_view extension) {
    std::string fileName = path.filename().string();
    std::string lower = lowerCase(fileName);
    std::string name = siteMapName(fileName);
    std::string link = percentEncodePath(path.lexically_relative(workdir).generic_string());
    std::size_t cut = 0;
    int week = weekOfName(lower, cut);
    if (week < 0) {
        return std::nullopt;
    }
    if (week > 0) {
        return FiledPage{"Week " + std::to_string(week), {name.substr(0, cut), link}};
    }
    if (std::size_t at = lower.find(kAllWeeksMark); at != std::string::npos) {
        return FiledPage{kSeasonTotalsGroup, {name.substr(0, at), link}};
    }
    return FiledPage{kMiscellaneousGroup, {name.substr(0, lower.find(lowerCase(extension))), link}};
}

bool isReportPage(const fs::directory_entry& entry, std::string_view extension) {
    std::error_code error;
    if (entry.is_symlink(error) || !entry.is_regular_file(error)) {
        return false;
    }
    std::string lower = lowerCase(entry.path().filename().string());
    return lower.find(lowerCase(extension)) != std::string::npos &&
           !lower.ends_with(kPartialSuffix);
}

// The folders that hold report pages: every folder of the working
// directory but the program's own.
std::vector<fs::path> reportFolders(const fs::path& workdir) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(workdir, error), end; !error && it != end; it.increment(error)) {
        std::string lower = lowerCase(it->path().filename().string());
        std::error_code kindError;
        if (!it->is_symlink(kindError) && it->is_directory(kindError) && lower != "support" &&
            lower != "template") {
            folders.push_back(it->path());
        }
    }
    return folders;
}

std::vector<fs::path> reportPages(const fs::path& workdir, std::string_view extension) {
    std::vector<fs::path> pages;
    for (const fs::path& folder : reportFolders(workdir)) {
        std::error_code error;
        for (fs::recursive_directory_iterator
                 it(folder, fs::directory_options::skip_permission_denied, error),
             end;
             !error && it != end; it.increment(error)) {
            if (isReportPage(*it, extension)) {
                pages.push_back(it->path());
            }
        }
    }
    return pages;
}

const League* currentLeague(Singleton& context) {
    return context.leagueQuery().findOne(kLeagueId, context.seasonState().peek(kCurrentLeague));
}

// The overview's object and its name; nothing when it is gone.
std::optional<std::string> overviewObjectName(Singleton& context, const ReportTarget& target) {
    RecordCache<Player>& players = context.mapFactory().players();
    RecordCache<Team>& franchises = context.mapFactory().franchises();
    switch (target.node) {
        case ReportNode::FranchiseOverview:
            if (const Team* team = franchises.findFirst(kFranchiseId, target.franchise)) {
                return team->text(kFranchiseName);
            }
            return std::nullopt;
        case ReportNode::PlayerOverview:
            if (const Player* player = players.findFirst(kPlayerId, target.player)) {
                return player->name();
            }
            return std::nullopt;
        case ReportNode::NflOverview:
            if (context.pro().isValid(target.nflTeam)) {
                return std::string(context.pro().teamName(false, target.nflTeam));
            }
            return std::nullopt;
        default:
            return std::string();
    }
}

int runNode(ReportGenerator& generator, Report& report, const ReportTarget& target, int first,
            int last) {
    Singleton& context = generator.context();
    switch (target.node) {
        case ReportNode::FranchiseOverview:
            return generator.runFranchiseOverview(
                report,
                *context.mapFactory().franchises().findFirst(kFranchiseId, target.franchise));
        case ReportNode::PlayerOverview:
            return generator.runPlayerOverview(
                report, *context.mapFactory().players().findFirst(kPlayerId, target.player));
        case ReportNode::NflOverview:
            return generator.runNflOverview(report, target.nflTeam);
        default:
            return generator.runReport(report, first, last);
    }
}

}  // namespace

std::string reportGroupCaption(int group) {
    return group >= 0 && group < kReportGroupCount
               ? std::string(kReportTreeGroups[static_cast<std::size_t>(group)].caption)
               : "";
}

bool needsHeadToHeadSchedule(std::string_view reportName) {
    return std::find(kHeadToHeadReports.begin(), kHeadToHeadReports.end(), reportName) !=
           kHeadToHeadReports.end();
}

std::vector<TreeReport> treeReports(Singleton& context, int league) {
    Owned<RptList> all = ReportQuery(context).allReports();
    if (!all) {
        return {};
    }
    bool hasFranchises = !context.teamQuery().leagueFranchises(league).empty();
    bool hasSchedule = context.schedule().hasSchedule(league);
    std::vector<TreeReport> shown;
    for (const ReportTreeGroup& tree : kReportTreeGroups) {
        if (!tree.listsReports) {
            continue;
        }
        int group = tree.group;
        for (const Owned<Report>& report : *all) {
            std::string name = report->name();
            if (report->type() == group && report->getValue(kReportListed) != 0 &&
                (group != kFranchiseReport || hasFranchises) &&
                (hasSchedule || !needsHeadToHeadSchedule(name))) {
                shown.push_back({report->id(), name, group});
            }
        }
    }
    return shown;
}

std::string reportFileName(std::string_view reportName, int first, int last, int seasonWeeks,
                           std::optional<std::string_view> overviewObject) {
    std::string name(reportName);
    if (Report::isSeasonWideReport(reportName) || (first == 0 && last == seasonWeeks - 1)) {
        name += " - All Weeks";
    } else if (first == last) {
        name += " - Week " + std::to_string(first + 1);
    } else {
        name += " - Weeks " + std::to_string(first + 1) + " to " + std::to_string(last + 1);
    }
    name += ".HTM";
    std::replace(name.begin(), name.end(), ':', ' ');
    if (overviewObject) {
        name = std::string(*overviewObject) + name.substr(reportName.size());
    }
    return name;
}

PagePath reportPagePath(std::string_view leagueName, std::span<const std::string> groupCaptions,
                        std::string_view reportName, int first, int last, int seasonWeeks,
                        std::optional<std::string_view> overviewObject) {
    PagePath path;
    path.folders.emplace_back(leagueName);
    path.folders.insert(path.folders.end(), groupCaptions.begin(), groupCaptions.end());
    path.fileName = reportFileName(reportName, first, last, seasonWeeks, overviewObject);
    return path;
}

PagePath siteMapPath() {
    return PagePath{{}, reportGroupCaption(kSiteMapGroup) + kSiteMapExtension};
}

std::string siteMapName(std::string_view fileName) {
    std::string lower = lowerCase(fileName);
    if (std::size_t at = lower.find("  "); at != std::string::npos) {
        lower.replace(at, 2, ": ");
    }
    return capitalised(lower);
}

std::vector<SiteMapGroup> siteMapGroups(const fs::path& workdir, std::string_view extension,
                                        int seasonWeeks) {
    std::map<std::string, std::vector<SiteMapEntry>> filed;
    for (const fs::path& page : reportPages(workdir, extension)) {
        if (std::optional<FiledPage> found = filePage(workdir, page, extension)) {
            filed[found->group].push_back(std::move(found->entry));
        }
    }
    std::vector<std::string> order = {kMiscellaneousGroup, kSeasonTotalsGroup};
    for (int week = 1; week <= seasonWeeks; ++week) {
        order.push_back("Week " + std::to_string(week));
    }
    std::vector<SiteMapGroup> groups;
    for (const std::string& title : order) {
        auto found = filed.find(title);
        if (found == filed.end()) {
            continue;
        }
        std::vector<SiteMapEntry>& pages = found->second;
        std::sort(pages.begin(), pages.end(), [](const SiteMapEntry& a, const SiteMapEntry& b) {
            return std::tie(a.name, a.link) < std::tie(b.name, b.link);
        });
        groups.push_back({title, std::move(pages)});
    }
    return groups;
}

ScopedStateValue::ScopedStateValue(SeasonState& state, int id, int value,
                                   std::optional<int> afterwards)
    : state_(state), id_(id), previous_(afterwards.value_or(state.peek(id))) {
    if (state_.peek(id_) != value) {
        state_.set(id_, value);
    }
}

ScopedStateValue::ScopedStateValue(SeasonState& state, int id)
    : state_(state), id_(id), previous_(state.peek(id)) {}

ScopedStateValue::~ScopedStateValue() {
    if (state_.peek(id_) != previous_) {
        state_.set(id_, previous_);
    }
}

std::vector<std::string> nodeCaptions(Singleton& context, const ReportTarget& target,
                                      int reportType) {
    switch (target.node) {
        case ReportNode::FranchiseOverview:
            return {reportGroupCaption(kFranchiseOverviewGroup)};
        case ReportNode::NflOverview:
            return {reportGroupCaption(kNflOverviewGroup)};
        case ReportNode::PlayerOverview: {
            const Player* player =
                context.mapFactory().players().findFirst(kPlayerId, target.player);
            int team = player != nullptr ? player->team() : -1;
            return {reportGroupCaption(kPlayerOverviewGroup), context.pro().teamName(false, team)};
        }
        default:
            return {reportGroupCaption(reportType)};
    }
}

ReportRunResult runReportPage(Singleton& context, Report* report, const ReportTarget& target,
                              int first, int last) {
    ReportRunResult result;
    if (report == nullptr) {
        result.message = kReportNotFoundMessage;
        return result;
    }
    // Selecting a league that does not exist would add a scoring record for it.
    SeasonState& state = context.seasonState();
    const League* league = currentLeague(context);
    if (league == nullptr || context.scoring().selectLeague(league->getValue(kLeagueId)) != kOk) {
        result.message = kNoScoringMessage;
        return result;
    }
    ReportGenerator generator(context);
    if (!generator.readyToRun(*report)) {
        result.message = generator.message();
        return result;
    }
    std::optional<std::string> object = overviewObjectName(context, target);
    if (!object) {
        result.message = kReportNotFoundMessage;
        return result;
    }
    ScopedStateValue viewWeek(state, kViewWeek);
    ScopedStateValue generating(state, kReportInProgress, 1, 0);
    std::optional<std::string_view> overview;
    if (target.node != ReportNode::Report) {
        overview = *object;
    }
    PagePath path = reportPagePath(league->text(kLeagueName), target.captions, report->name(),
                                   first, last, context.pro().weeks(), overview);
    if (generator.openPage(report->name(), path) != kOk) {
        return result;
    }
    result.status = runNode(generator, *report, target, first, last);
    if (generator.closePage() == kOk) {
        result.page = generator.pagePath();
    } else {
        result.status = kFailed;
    }
    result.message = generator.message();
    return result;
}

ReportRunResult writeReportSiteMap(Singleton& context) {
    ReportRunResult result;
    ReportGenerator generator(context);
    if (generator.openPage(kSiteMapTitle, siteMapPath()) != kOk) {
        return result;
    }
    generator.writeSiteMap(kSiteMapExtension);
    if (generator.closePage() == kOk) {
        result.status = kOk;
        result.page = generator.pagePath();
    }
    return result;
}

}  // namespace qff
