#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/reports/Format.h"
#include "data02/scoring/Results.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/State.h"

namespace qff::cli {
namespace {

// The data library's week index; nothing when it lies beyond the season.
std::optional<int> seasonWeek(Singleton& season, const std::string& text, int whenAbsent) {
    int week = weekIndexOf(text, whenAbsent);
    return week == kAllWeeks || week < season.pro().weeks() ? std::optional<int>(week)
                                                            : std::nullopt;
}

int weekOutOfSeason(Session& session, Singleton& season) {
    return session.output.fail("the season has weeks 1 to " + std::to_string(season.pro().weeks()));
}

std::string franchiseName(Singleton& season, int id) {
    const Team* team = season.mapFactory().franchises().findFirst(kFranchiseId, id);
    return team ? team->text(kFranchiseName) : "#" + std::to_string(id);
}

nlohmann::json gameRows(Singleton& season, int league, int week) {
    nlohmann::json rows = nlohmann::json::array();
    for (const GameResult& game : results(season, league, week)) {
        bool bye = game.away == kByeId;
        rows.push_back({{"home", game.home},
                        {"home_name", franchiseName(season, game.home)},
                        {"away", bye ? nlohmann::json() : nlohmann::json(game.away)},
                        {"away_name", bye ? "BYE" : franchiseName(season, game.away)},
                        {"home_score", game.homeScore},
                        {"away_score", game.awayScore},
                        {"outcome", outcomeName(game.outcome)}});
    }
    return rows;
}

void printGames(std::ostream& out, const nlohmann::json& rows) {
    for (const auto& row : rows) {
        out << cell(row["home_name"], 30) << numberCell(row["home_score"].get<std::int64_t>(), 7)
            << cell(row["away_name"], 30) << numberCell(row["away_score"].get<std::int64_t>(), 7)
            << row["outcome"].get<std::string>() << '\n';
    }
}

int resultsCommand(int league, const std::string& weekText, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    std::optional<int> week = seasonWeek(season, weekText, 0);
    if (!week) {
        return weekOutOfSeason(session, season);
    }
    if (findLeague(session, season, league) == nullptr) {
        return kExitFailure;
    }
    nlohmann::json rows = gameRows(season, league, *week);
    return session.output.emit(rows, [&](std::ostream& out) { printGames(out, rows); });
}

nlohmann::json standingRow(const StandingRow& row) {
    return {{"franchise", row.franchise},
            {"won", row.won},
            {"lost", row.lost},
            {"tied", row.tied},
            {"record", row.record},
            {"record_text", row.recordText},
            {"points_for", row.pointsFor},
            {"points_against", row.pointsAgainst},
            {"best_week", row.bestWeek},
            {"worst_week", row.worstWeek},
            {"average_week", row.averageWeek}};
}

void printStandings(std::ostream& out, const std::vector<StandingRow>& rows) {
    out << cell("Franchise", 30) << cell("W-L-T", 10) << cell("For", 7) << cell("Against", 9)
        << cell("Best", 6) << cell("Worst", 6) << "Average\n";
    for (const StandingRow& row : rows) {
        out << cell(row.name, 30) << cell(row.recordText, 10) << numberCell(row.pointsFor, 7)
            << numberCell(row.pointsAgainst, 9) << numberCell(row.bestWeek, 6)
            << numberCell(row.worstWeek, 6) << row.averageWeek << '\n';
    }
}

int standingsCommand(int league, const std::string& weekText, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    std::optional<int> week = seasonWeek(season, weekText, kAllWeeks);
    if (!week) {
        return weekOutOfSeason(session, season);
    }
    if (findLeague(session, season, league) == nullptr) {
        return kExitFailure;
    }
    std::vector<StandingRow> rows = standings(season, league, *week);
    nlohmann::json document = nlohmann::json::array();
    for (const StandingRow& row : rows) {
        document.push_back(standingRow(row));
    }
    return session.output.emit(document, [&](std::ostream& out) { printStandings(out, rows); });
}

int closeWeekCommand(int league, const std::string& weekText, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    std::optional<int> week = seasonWeek(season, weekText, 0);
    if (!week) {
        return weekOutOfSeason(session, season);
    }
    if (findLeague(session, season, league) == nullptr) {
        return kExitFailure;
    }
    if (closeWeek(season, *week) != kOk) {
        return session.output.fail("the week flag could not be written: " +
                                   season.seasonState().lastError());
    }
    if (!weekHasNflStatistics(season, *week)) {
        session.output.warn("week " + std::to_string(*week + 1) +
                            " has no NFL statistics; opening the season again recomputes the "
                            "week flags from the statistics and will clear it");
    }
    nlohmann::json rows = gameRows(season, league, *week);
    return session.output.emit(rows, [&](std::ostream& out) {
        out << "Week " << *week + 1 << " closed.\n";
        printGames(out, rows);
    });
}

struct BonusRequest {
    int franchise = 0;
    int value = 0;
    std::string week;
};

int bonusCommand(const BonusRequest& request, Session& session) {
    // Refused before the season is opened, so a mistake changes nothing.
    if (!isBonusInRange(request.value)) {
        return session.output.fail(bonusRangeMessage());
    }
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    std::optional<int> week = seasonWeek(season, request.week, 0);
    if (!week) {
        return weekOutOfSeason(session, season);
    }
    if (findFranchise(session, season, request.franchise) == nullptr) {
        return kExitFailure;
    }
    if (BonusResult stored = storeFranchiseBonus(season, request.franchise, *week, request.value);
        !stored.ok()) {
        return session.output.fail(stored.message);
    }
    nlohmann::json document = {
        {"franchise", request.franchise}, {"week", *week + 1}, {"bonus", request.value}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << franchiseName(season, request.franchise) << ": bonus for week " << *week + 1
            << " is " << request.value << '\n';
    });
}

struct PointsRequest {
    int player = 0;
    std::optional<int> code;
    std::optional<int> league;
    std::string week;
};

bool isPointsItem(int code) {
    return (code >= 1 && code <= kAverageWeek) ||
           (code >= kFirstWeekPoints && code <= kLastWeekPoints);
}

int pointsCommand(const PointsRequest& request, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    std::optional<int> week = seasonWeek(season, request.week, kAllWeeks);
    if (!week) {
        return weekOutOfSeason(session, season);
    }
    const Player* player = season.mapFactory().players().findFirst(kPlayerId, request.player);
    if (player == nullptr) {
        return session.output.fail("no player has the id " + std::to_string(request.player));
    }
    int league = request.league.value_or(season.seasonState().peek(kCurrentLeague));
    if (season.leagueQuery().findOne(kLeagueId, league) == nullptr ||
        season.scoring().selectLeague(league) != kOk) {
        return session.output.fail("no scoring system for the league " + std::to_string(league));
    }
    if (request.code) {
        int value = playerPoints(season, *player, *request.code, *week);
        return session.output.emit(value, [&](std::ostream& out) { out << value << '\n'; });
    }
    std::vector<std::pair<int, int>> values;
    nlohmann::json document = nlohmann::json::object();
    for (int code = kTotalPoints; code <= kLastWeekPoints; ++code) {
        if (isPointsItem(code)) {
            values.emplace_back(code, playerPoints(season, *player, code, *week));
            document[std::to_string(code)] = values.back().second;
        }
    }
    return session.output.emit(document, [&](std::ostream& out) {
        out << player->name() << "  (id " << request.player << ", league " << league << ")\n";
        for (const auto& [code, value] : values) {
            out << cell(std::to_string(code), 5) << value << '\n';
        }
    });
}

void addGameCommands(CLI::App& app, CommandTable& table) {
    struct LeagueWeek {
        int league = 0;
        std::string week;
    };
    auto resultsArgs = std::make_shared<LeagueWeek>();
    CLI::App* resultsCmd =
        app.add_subcommand("results", "Show the games of a week and their scores");
    resultsCmd->add_option("--league", resultsArgs->league, "League id")->required();
    addWeekOption(resultsCmd, resultsArgs->week, WholeSeason::Refused, WeekNeeded::Required);
    table.add(resultsCmd, [resultsArgs](Session& session) {
        return resultsCommand(resultsArgs->league, resultsArgs->week, session);
    });

    auto standingsArgs = std::make_shared<LeagueWeek>();
    CLI::App* standingsCmd = app.add_subcommand("standings", "Show a league's standings");
    standingsCmd->add_option("--league", standingsArgs->league, "League id")->required();
    addWeekOption(standingsCmd, standingsArgs->week, WholeSeason::Allowed, WeekNeeded::Optional);
    table.add(standingsCmd, [standingsArgs](Session& session) {
        return standingsCommand(standingsArgs->league, standingsArgs->week, session);
    });

    auto closeArgs = std::make_shared<LeagueWeek>();
    CLI::App* closeCmd = app.add_subcommand("close-week", "Count a week of play");
    closeCmd->add_option("--league", closeArgs->league, "League whose games to show")->required();
    addWeekOption(closeCmd, closeArgs->week, WholeSeason::Refused, WeekNeeded::Required);
    table.add(closeCmd, [closeArgs](Session& session) {
        return closeWeekCommand(closeArgs->league, closeArgs->week, session);
    });
}

void addPointCommands(CLI::App& app, CommandTable& table) {
    auto bonus = std::make_shared<BonusRequest>();
    CLI::App* bonusCmd = app.add_subcommand("bonus", "Set a franchise's bonus points for a week");
    bonusCmd->add_option("franchise", bonus->franchise, "Franchise id")->required();
    bonusCmd
        ->add_option("value", bonus->value,
                     "Bonus points from -" + std::to_string(kMaxBonusPoints) + " to " +
                         std::to_string(kMaxBonusPoints))
        ->required();
    addWeekOption(bonusCmd, bonus->week, WholeSeason::Refused, WeekNeeded::Required);
    table.add(bonusCmd, [bonus](Session& session) { return bonusCommand(*bonus, session); });

    auto points = std::make_shared<PointsRequest>();
    CLI::App* pointsCmd =
        app.add_subcommand("points", "Show a player's points under a league's scoring");
    pointsCmd->add_option("player", points->player, "Player id")->required();
    pointsCmd->add_option("--code", points->code, "One points code: 1 to 104 or 110 to 126")
        ->check([](const std::string& text) {
            std::optional<int> code = parseInteger(text);
            return code && isPointsItem(*code) ? std::string() : "not a points code: " + text;
        });
    pointsCmd->add_option("--league", points->league, "League id; the current league by default");
    addWeekOption(pointsCmd, points->week, WholeSeason::Allowed, WeekNeeded::Optional);
    table.add(pointsCmd, [points](Session& session) { return pointsCommand(*points, session); });
}

}  // namespace

void addResultsCommands(CLI::App& app, CommandTable& table) {
    addGameCommands(app, table);
    addPointCommands(app, table);
}

}  // namespace qff::cli
