#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandTable.h"
#include "cli/StatsNet.h"
#include "data02/intake/Statsmerge.h"
#include "data02/model/Player.h"
#include "data02/reports/Format.h"
#include "qff/platform/curl_ftp_client.h"
#include "qff/platform/zip_archiver.h"

namespace qff::cli {
namespace {

namespace fs = std::filesystem;

bool watched() {
    return isatty(STDERR_FILENO) != 0;
}

// The server's own words help the commissioner tell a wrong password from a
// wrong host; a message box has no room for them, standard error has.
std::string withReply(const std::string& message, const platform::FtpClient& ftp) {
    if (message == kNoStatsServerMessage) {
        return message + " Name one with: qff stats-server set --host HOST";
    }
    std::string line = oneLine(message);
    return ftp.lastReply().empty() ? line : line + " (" + ftp.lastReply() + ")";
}

// The problems of one command: every one but the last is a warning, the last
// ends the command.
int finish(Session& session, const std::vector<std::string>& problems) {
    for (std::size_t i = 0; i + 1 < problems.size(); ++i) {
        session.output.warn(problems[i]);
    }
    return problems.empty() ? kExitOk : session.output.fail(problems.back());
}

nlohmann::json availableValue(Availability available) {
    return available == Availability::Unknown ? nlohmann::json()
                                              : nlohmann::json(available == Availability::Yes);
}

nlohmann::json rowsDocument(const std::vector<WeekRow>& rows) {
    nlohmann::json list = nlohmann::json::array();
    for (const WeekRow& row : rows) {
        list.push_back({{"week", row.week},
                        {"available", availableValue(row.available)},
                        {"downloaded", row.downloaded},
                        {"merged", mergeStateText(row.merged)},
                        {"file_name", fileNameText(row)}});
    }
    return list;
}

void printRows(std::ostream& out, const std::vector<WeekRow>& rows) {
    out << cell("Wk", 5) << cell("Available?", 12) << cell("Downloaded?", 13) << cell("Merged", 16)
        << "File Name\n";
    for (const WeekRow& row : rows) {
        out << cell(std::to_string(row.week), 5) << cell(availabilityText(row.available), 12)
            << cell(row.downloaded ? "Yes" : "No", 13) << cell(mergeStateText(row.merged), 16)
            << fileNameText(row) << '\n';
    }
}

// What every statistics command starts from: the open season and the server.
struct StatsRun {
    std::unique_ptr<Context> context;
    StatsServerSettings settings;

    Singleton& season() { return context->season(); }
};

std::optional<StatsRun> openForStats(Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return std::nullopt;
    }
    std::optional<StatsServerSettings> settings = statsServerSettings(session);
    if (!settings) {
        return std::nullopt;
    }
    return StatsRun{std::move(context), std::move(*settings)};
}

// The weeks the server offers; nullopt with `problem` saying why it could not be asked.
std::optional<WeekMap> askServer(platform::FtpClient& ftp, StatsRun& run, std::string& problem) {
    problem = statsnet::enterDownloadFolder(ftp, run.settings, kNoConnectionMessage);
    if (!problem.empty()) {
        return std::nullopt;
    }
    return statsnet::listWeeks(ftp, run.season().playerFile().year(), problem);
}

// The season's week list as the server and the working directory show it.
int listCommand(Session& session) {
    std::optional<StatsRun> run = openForStats(session);
    if (!run) {
        return kExitFailure;
    }
    Singleton& season = run->season();
    platform::CurlFtpClient ftp;
    std::string problem;
    std::optional<WeekMap> map = askServer(ftp, *run, problem);
    std::vector<WeekRow> rows = weekRows(season, map ? &*map : nullptr);
    nlohmann::json document = {{"season", season.playerFile().year()},
                               {"connected", map.has_value()},
                               {"weeks", rowsDocument(rows)}};
    session.output.emit(document, [&](std::ostream& out) { printRows(out, rows); });
    return problem.empty() ? kExitOk : session.output.fail(withReply(problem, ftp));
}

struct DownloadRequest {
    std::optional<int> week;
    bool unmerged = false;
    bool all = false;
    bool merge = false;
    bool rosters = false;

    DownloadChoice choice() const {
        return week ? DownloadChoice::Week : all ? DownloadChoice::All : DownloadChoice::Unmerged;
    }
};

struct WeekOutcome {
    int week = 0;
    std::string remoteName;
    FetchStatus status = FetchStatus::Waiting;
    std::string message;
    fs::path statistics;
    std::optional<MergeReport> merge;
    std::optional<MergeState> state;
};

MergeReport mergeFile(Singleton& season, const fs::path& file, Session& session) {
    StatsMerge merge(season, file);
    while (merge.step()) {
        if (watched()) {
            session.output.progress(merge.status() + "  " + std::to_string(merge.progress()) + '/' +
                                    std::to_string(merge.total()));
        }
    }
    if (watched()) {
        session.output.endProgress();
    }
    const MergeReport& report = merge.finish();
    for (const MergeMessage& message : report.messages) {
        if (message.type == MergeMessage::Type::Warning) {
            session.output.warn(oneLine(message.text));
        }
    }
    return report;
}

// A merge's own messages: its errors are problems of the command.
void collectMergeProblems(const MergeReport& report, std::vector<std::string>& problems) {
    for (const MergeMessage& message : report.messages) {
        if (message.type == MergeMessage::Type::Error) {
            problems.push_back(oneLine(message.text));
        }
    }
}

std::vector<WeekOutcome> downloadWeeks(platform::FtpClient& ftp, Singleton& season,
                                       const WeekMap& map, const std::vector<int>& weeks,
                                       const StatsServerSettings& settings, Session& session) {
    platform::ZipArchiver archiver;
    std::vector<WeekOutcome> outcomes;
    for (int week : weeks) {
        WeekFetch fetch(season, week, map.remoteName(week));
        if (watched()) {
            session.output.progress(
                std::string(fetchStatusText(FetchStatus::GettingFile)) + " " + fetch.remoteName() +
                "  " + std::to_string(outcomes.size() + 1) + '/' + std::to_string(weeks.size()));
        }
        statsnet::fetchWeek(ftp, archiver, fetch, settings.archivePassword);
        outcomes.push_back({week, fetch.remoteName(), fetch.status(), fetch.message(),
                            fetch.statisticsPath(), std::nullopt, std::nullopt});
    }
    if (watched()) {
        session.output.endProgress();
    }
    return outcomes;
}

// Merges every week that arrived; true when one of them lacks Monday's game.
bool mergeWeeks(Singleton& season, std::vector<WeekOutcome>& outcomes, Session& session,
                std::vector<std::string>& problems) {
    bool mondayMissing = false;
    for (WeekOutcome& outcome : outcomes) {
        if (outcome.status != FetchStatus::Success) {
            continue;
        }
        outcome.merge = mergeFile(season, outcome.statistics, session);
        collectMergeProblems(*outcome.merge, problems);
        outcome.state = noteMergedWeek(season, *outcome.merge);
        mondayMissing = mondayMissing || outcome.state == MergeState::MondayMissing;
    }
    return mondayMissing;
}

nlohmann::json weekDocument(const WeekOutcome& outcome) {
    nlohmann::json document = {{"week", outcome.week},
                               {"file_name", outcome.remoteName},
                               {"status", fetchStatusText(outcome.status)},
                               {"message", outcome.message},
                               {"merged", outcome.merge && outcome.merge->succeeded()}};
    if (outcome.state) {
        document["state"] = mergeStateText(*outcome.state);
    }
    return document;
}

void printWeek(std::ostream& out, const WeekOutcome& outcome) {
    out << "Week " << cell(std::to_string(outcome.week), 3) << cell(outcome.remoteName, 14)
        << fetchStatusText(outcome.status) << '\n';
    if (outcome.merge && outcome.merge->succeeded()) {
        out << "  merged " << outcome.statistics.filename().string() << ": "
            << outcome.merge->records << " records, "
            << (outcome.state ? mergeStateText(*outcome.state) : "") << '\n';
    }
}

// What running the roster update did.
struct RosterOutcome {
    bool fetched = false;
    std::optional<MergeReport> merge;
    nlohmann::json added = nlohmann::json::array();
};

RosterOutcome updateRosters(platform::FtpClient& ftp, Singleton& season, Session& session,
                            std::vector<std::string>& problems) {
    RosterOutcome outcome;
    RosterFetch fetch(season);
    if (!statsnet::fetchRosterUpdate(ftp, fetch)) {
        problems.push_back(oneLine(fetch.message()));
        return outcome;
    }
    outcome.fetched = true;
    outcome.merge = mergeFile(season, fetch.localPath(), session);
    collectMergeProblems(*outcome.merge, problems);
    for (const Player* player : rosterUpdateResults(season, *outcome.merge)) {
        outcome.added.push_back({{"id", player->id()},
                                 {"name", player->name()},
                                 {"team", player->text(kPlayerTeam)},
                                 {"position", player->text(kPlayerPosition)}});
    }
    return outcome;
}

nlohmann::json rosterDocument(const RosterOutcome& outcome) {
    nlohmann::json messages = nlohmann::json::array();
    for (const MergeMessage& message :
         outcome.merge ? outcome.merge->messages : std::vector<MergeMessage>{}) {
        messages.push_back(message.text);
    }
    return {{"downloaded", outcome.fetched},
            {"merged", outcome.merge && outcome.merge->succeeded()},
            {"messages", messages},
            {"players_added", outcome.added}};
}

void printRosters(std::ostream& out, const RosterOutcome& outcome) {
    if (!outcome.merge || !outcome.merge->succeeded()) {
        return;
    }
    for (const MergeMessage& message : outcome.merge->messages) {
        out << message.text << '\n';
    }
    if (!outcome.added.empty()) {
        out << "Players Added To Your Database\n";
    }
    for (const auto& row : outcome.added) {
        out << "  " << cell(row["name"], 30) << cell(row["team"], 6)
            << cell(std::to_string(row["id"].get<int>()), 7) << row["position"].get<std::string>()
            << '\n';
    }
}

int downloadCommand(const DownloadRequest& request, Session& session) {
    std::optional<StatsRun> run = openForStats(session);
    if (!run) {
        return kExitFailure;
    }
    Singleton& season = run->season();
    platform::CurlFtpClient ftp;
    std::string problem;
    std::optional<WeekMap> map = askServer(ftp, *run, problem);
    if (!map) {
        return session.output.fail(withReply(problem, ftp));
    }
    DownloadQueue queue =
        queueDownloads(weekRows(season, &*map), request.choice(), request.week.value_or(0));
    if (!queue.message.empty()) {
        return session.output.fail(queue.message);
    }
    std::vector<std::string> problems;
    std::vector<WeekOutcome> outcomes =
        downloadWeeks(ftp, season, *map, queue.weeks, run->settings, session);
    for (const WeekOutcome& outcome : outcomes) {
        if (outcome.status != FetchStatus::Success) {
            problems.push_back(oneLine(outcome.message));
        }
    }
    bool mondayMissing = request.merge && mergeWeeks(season, outcomes, session, problems);
    std::optional<RosterOutcome> rosters;
    if (request.rosters) {
        rosters = updateRosters(ftp, season, session, problems);
    }
    ftp.disconnect();
    nlohmann::json weeks = nlohmann::json::array();
    for (const WeekOutcome& outcome : outcomes) {
        weeks.push_back(weekDocument(outcome));
    }
    nlohmann::json document = {{"season", season.playerFile().year()},
                               {"weeks", weeks},
                               {"monday_missing", mondayMissing}};
    if (rosters) {
        document["rosters"] = rosterDocument(*rosters);
    }
    session.output.emit(document, [&](std::ostream& out) {
        if (outcomes.empty()) {
            out << kAllMergedMessage << '\n';
        }
        for (const WeekOutcome& outcome : outcomes) {
            printWeek(out, outcome);
        }
        if (mondayMissing) {
            out << kMondayMissingMessage << '\n';
        }
        if (rosters) {
            printRosters(out, *rosters);
        }
    });
    return finish(session, problems);
}

int rostersUpdateCommand(Session& session) {
    std::optional<StatsRun> run = openForStats(session);
    if (!run) {
        return kExitFailure;
    }
    platform::CurlFtpClient ftp;
    std::string problem =
        statsnet::enterDownloadFolder(ftp, run->settings, kRosterNoConnectionMessage);
    if (!problem.empty()) {
        return session.output.fail(withReply(problem, ftp));
    }
    std::vector<std::string> problems;
    RosterOutcome outcome = updateRosters(ftp, run->season(), session, problems);
    ftp.disconnect();
    session.output.emit(rosterDocument(outcome),
                        [&](std::ostream& out) { printRosters(out, outcome); });
    return finish(session, problems);
}

int publishCommand(const fs::path& folder, Session& session) {
    std::optional<StatsRun> run = openForStats(session);
    if (!run) {
        return kExitFailure;
    }
    statsnet::PublishOutcome outcome = statsnet::publishStatistics(
        run->season(), session.options.fileArgument(folder), run->settings.archivePassword);
    if (!outcome.ok) {
        return session.output.fail(outcome.error);
    }
    session.output.emit(publishedDocument(outcome),
                        [&](std::ostream& out) { printPublished(out, outcome); });
    for (const std::string& why : outcome.leftOut) {
        session.output.warn("left out: " + why);
    }
    return kExitOk;
}

void addDownloadCommand(CLI::App& stats, CommandTable& table) {
    auto request = std::make_shared<DownloadRequest>();
    CLI::App* download = stats.add_subcommand(
        "download", "Download, unpack and optionally merge weeks of the statistics server");
    CLI::Option* week =
        download->add_option("--week", request->week, "Only this week")->check(CLI::Range(1, 20));
    CLI::Option* unmerged = download->add_flag("--unmerged", request->unmerged,
                                               "Every offered week not fully merged (the default)");
    CLI::Option* all = download->add_flag("--all", request->all, "Every offered week");
    week->excludes(unmerged)->excludes(all);
    unmerged->excludes(all);
    download->add_flag("--merge", request->merge, "Merge the weeks that arrived");
    download->add_flag("--rosters", request->rosters, "Download and merge the NFL roster update");
    table.add(download, [request](Session& session) { return downloadCommand(*request, session); });
}

}  // namespace

void addStatsDownloadCommands(CLI::App& app, CLI::App* stats, CommandTable& table) {
    CLI::App* list = stats->add_subcommand(
        "list", "Which weeks the server offers, which are downloaded and which merged");
    table.add(list, listCommand);
    addDownloadCommand(*stats, table);

    auto folder = std::make_shared<fs::path>();
    CLI::App* publish = stats->add_subcommand(
        "publish", "Write the season's weekly archives and roster update into a folder to serve");
    publish->add_option("folder", *folder, "The folder an FTP server serves")->required();
    table.add(publish, [folder](Session& session) { return publishCommand(*folder, session); });

    CLI::App* rosters = app.add_subcommand("rosters", "NFL rosters of the season");
    rosters->require_subcommand(1);
    CLI::App* update = rosters->add_subcommand(
        "update", "Download the season's roster update from the statistics server and merge it");
    table.add(update, rostersUpdateCommand);
}

}  // namespace qff::cli
