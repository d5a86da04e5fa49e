#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#ifdef QFF_HAS_ARCHIVES
#include "cli/StatsNet.h"
#endif
#include "data02/demo/Demo.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/reports/Format.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/storage/Weeks.h"

namespace qff::cli {
namespace {

nlohmann::json messagesDocument(const std::vector<SeasonMessage>& messages) {
    nlohmann::json list = nlohmann::json::array();
    for (const SeasonMessage& message : messages) {
        nlohmann::json entry = {
            {"type", message.type == SeasonMessage::Type::Status ? "status" : "error"},
            {"text", message.text}};
        if (!message.detail.empty()) {
            entry["detail"] = message.detail;
        }
        list.push_back(entry);
    }
    return list;
}

nlohmann::ordered_json countsDocument(const LoadingResults& r) {
    return {{"players", r.playerCount},      {"franchises", r.franchiseCount},
            {"divisions", r.divisionCount},  {"leagues", r.leagueCount},
            {"draft_records", r.draftCount}, {"reports", r.reportCount}};
}

void printOpenReport(std::ostream& out, int year, const SeasonOpenReport& report) {
    for (const SeasonMessage& message : report.messages) {
        out << (message.type == SeasonMessage::Type::Status ? "" : "! ") << message.text;
        if (!message.detail.empty()) {
            out << " (" << message.detail << ")";
        }
        out << '\n';
    }
    if (!report.opened) {
        return;
    }
    out << "Season " << year << " is open.\n";
    nlohmann::ordered_json counts = countsDocument(report.results);
    for (const auto& [name, count] : counts.items()) {
        std::string label = name;
        std::replace(label.begin(), label.end(), '_', ' ');
        out << "  " << cell(label, 14) << count.get<int>() << '\n';
    }
}

int openCommand(std::optional<int> year, Session& session) {
    SeasonOpenReport report;
    auto context = Context::openSeason(session, year, &report);
    if (!context && report.messages.empty()) {
        return kExitFailure;
    }
    int opened = report.year;
    nlohmann::json document = {{"year", opened},
                               {"opened", report.opened},
                               {"messages", messagesDocument(report.messages)},
                               {"counts", nlohmann::json(countsDocument(report.results))}};
    session.output.emit(document, [&](std::ostream& out) { printOpenReport(out, opened, report); });
    return report.opened ? kExitOk : session.output.fail("the season did not open");
}

int newSeasonCommand(int year, Session& session) {
    auto context = Context::open(session);
    if (!context) {
        return kExitFailure;
    }
    std::string error;
    if (!createSeasonFiles(context->season(), year, error)) {
        return session.output.fail(error);
    }
    Pro table(context->season().strBuf());
    table.setSeason(year);
    nlohmann::json document = {{"year", year},
                               {"created", true},
                               {"team_units", static_cast<int>(table.validTeams().size()) * 7}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << "Created the " << year << " season with the units of " << table.teamCount()
            << " NFL teams.\n";
    });
}

int teamsCommand(int year, Session& session) {
    auto files = FileMemory::open(session);
    if (!files) {
        return kExitFailure;
    }
    StrBuf ring(files->memory());
    Pro table(ring);
    table.setSeason(year);
    nlohmann::json rows = nlohmann::json::array();
    for (int index : table.validTeams()) {
        rows.push_back({{"index", index},
                        {"id", index},
                        {"name", table.teamName(false, index)},
                        {"short_name", table.teamName(true, index)},
                        {"code", table.teamCode(index)},
                        {"abbreviation", table.teamAbbreviation(index)}});
    }
    nlohmann::json document = {{"year", year}, {"weeks", table.weeks()}, {"teams", rows}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << year << ": " << table.teamCount() << " NFL teams, " << table.weeks() << " weeks\n";
        for (const auto& row : rows) {
            out << cell(std::to_string(row["index"].get<int>()), 4)
                << cell(row["name"].get<std::string>(), 24)
                << cell(row["short_name"].get<std::string>(), 6)
                << cell(row["code"].get<std::string>(), 6) << row["abbreviation"].get<std::string>()
                << '\n';
        }
    });
}

struct DemoRequest {
    std::optional<int> year;
    int weeks = 6;
    std::uint32_t seed = 1;
    std::optional<std::filesystem::path> publish;
};

#ifdef QFF_HAS_ARCHIVES
// A demo season can be served at once as a statistics site of its own.
std::optional<statsnet::PublishOutcome> publishDemo(const DemoRequest& request, Singleton& season,
                                                    Session& session) {
    std::optional<StatsServerSettings> settings = statsServerSettings(session);
    if (!settings) {
        return std::nullopt;
    }
    statsnet::PublishOutcome outcome = statsnet::publishStatistics(
        season, session.options.fileArgument(*request.publish), settings->archivePassword);
    if (!outcome.ok) {
        session.output.fail(outcome.error);
        return std::nullopt;
    }
    return outcome;
}
#endif

int demoCommand(const DemoRequest& request, Session& session) {
    auto context = Context::open(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    if (season.preferences().load() != 0) {
        return session.output.fail(season.preferences().lastError());
    }
    DemoOptions options;
    options.year = request.year.value_or(season.calendarYear() - 1);
    options.weeksMerged = request.weeks;
    options.seed = request.seed;
    DemoReport report;
    std::string error;
    if (!createDemoSeason(season, options, report, error)) {
        return session.output.fail("cannot build the demo season: " + error);
    }
    season.preferences().save();
    nlohmann::json document = {{"year", report.year},
                               {"players", report.players},
                               {"franchises", report.franchises},
                               {"weeks_written", report.weeksWritten},
                               {"weeks_merged", report.weeksMerged}};
#ifdef QFF_HAS_ARCHIVES
    std::optional<statsnet::PublishOutcome> published;
    if (request.publish) {
        published = publishDemo(request, season, session);
        if (!published) {
            return kExitFailure;
        }
        document["published"] = publishedDocument(*published);
    }
#endif
    return session.output.emit(document, [&](std::ostream& out) {
        out << "Built the " << report.year << " demo season: " << report.players << " players, "
            << report.franchises << " franchises, " << report.weeksWritten
            << " weekly statistics files, the first " << report.weeksMerged << " merged.\n";
#ifdef QFF_HAS_ARCHIVES
        if (published) {
            printPublished(out, *published);
        }
#endif
    });
}

}  // namespace

void addSeasonCommands(CLI::App& app, CommandTable& table) {
    auto demo = std::make_shared<DemoRequest>();
    CLI::App* demoCommandLine =
        app.add_subcommand("demo", "Build a complete demonstration season in the folder");
    demoCommandLine->add_option("--year", demo->year, "Season year (default: last year)")
        ->check(CLI::Range(1994, 2100));
    demoCommandLine->add_option("--weeks", demo->weeks, "Weeks to merge and close")
        ->check(CLI::Range(0, kWeekSlots));
    demoCommandLine->add_option("--seed", demo->seed, "Seed of the generator");
#ifdef QFF_HAS_ARCHIVES
    demoCommandLine->add_option("--publish", demo->publish,
                                "Also write its statistics site into this folder");
#endif
    table.add(demoCommandLine, [demo](Session& session) { return demoCommand(*demo, session); });

    auto openYear = std::make_shared<std::optional<int>>();
    CLI::App* open = app.add_subcommand("open", "Open a season and show what loading found");
    open->add_option("--year", *openYear, "Season year (default: the season last opened)");
    table.add(open, [openYear](Session& session) { return openCommand(*openYear, session); });

    CLI::App* season = app.add_subcommand("season", "Work with whole seasons");
    season->require_subcommand(1);
    auto newYear = std::make_shared<int>(0);
    CLI::App* create = season->add_subcommand("new", "Create a season's files from nothing");
    create->add_option("--year", *newYear, "Season year")->required();
    table.add(create, [newYear](Session& session) { return newSeasonCommand(*newYear, session); });

    auto teamsYear = std::make_shared<int>(0);
    CLI::App* teams = app.add_subcommand("teams", "List the NFL teams of a season");
    teams->add_option("year", *teamsYear, "Season year")->required();
    table.add(teams, [teamsYear](Session& session) { return teamsCommand(*teamsYear, session); });
}

}  // namespace qff::cli
