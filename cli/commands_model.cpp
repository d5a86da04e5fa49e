#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "data02/league/Listhelp.h"
#include "cli/StructureFields.h"
#include "data02/model/Divqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Format.h"

namespace qff::cli {
namespace {

nlohmann::json playerRow(const Player& player) {
    return {{"id", player.id()},
            {"name", player.name()},
            {"team", player.text(kPlayerTeam)},
            {"position", player.text(kPlayerPosition)}};
}

void printPlayerRows(std::ostream& out, const nlohmann::json& rows, bool withValue) {
    for (const auto& row : rows) {
        out << cell(std::to_string(row["id"].get<int>()), 7) << cell(row["name"], 30)
            << cell(row["team"], 6) << cell(row["position"], 5);
        if (withValue) {
            out << row["value"].get<int>();
        }
        out << '\n';
    }
}

struct PlayersRequest {
    std::string position;
    std::string team;
    int sortCode = 0;
    bool descending = false;
    std::string week;
};

int playersCommand(const PlayersRequest& request, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    PlayerQueryNode node = playerSelection(request.position, request.team);
    if (request.sortCode > 0) {
        node.setSortKey(0, request.sortCode, request.descending);
    }
    int week = weekIndexOf(request.week);
    PlayerQuery& query = season.playerQuery();
    query.clear();
    query.addNode(node);
    query.setSortWeek(week);
    Owned<PlyrList> players = query.run();
    query.setSortWeek(std::nullopt);
    int team = request.team.empty() ? -1 : season.pro().teamIndex(request.team);
    nlohmann::json rows = nlohmann::json::array();
    for (const Player* player : players ? *players : PlyrList{}) {
        if (team >= 0 && player->team() != team) {
            continue;
        }
        nlohmann::json row = playerRow(*player);
        if (request.sortCode > 0) {
            row["value"] = playerValueKind(request.sortCode) == ValueKind::Points
                               ? player->getPoints(request.sortCode, week)
                               : player->getValue(request.sortCode, week);
        }
        rows.push_back(row);
    }
    return session.output.emit(
        rows, [&](std::ostream& out) { printPlayerRows(out, rows, request.sortCode > 0); });
}

struct FindRequest {
    std::string position;
    std::string team;
    bool all = false;
};

// The player finder's lists, as the desktop's "Find NFL Player" window shows them.
int findPlayerCommand(const FindRequest& request, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    Owned<PlyrList> players;
    if (!request.position.empty()) {
        int position = Pro::positionCode(request.position);
        if (position < kQB || position > kSPE) {
            return session.output.fail("not a position of a player: " + request.position);
        }
        players = findPlayers(season, PlayerSearch::ByPosition, position);
    } else if (!request.team.empty()) {
        int team = season.pro().teamIndex(request.team);
        if (team < 0) {
            return session.output.fail("no NFL team is named " + request.team);
        }
        players = findPlayers(season, PlayerSearch::ByNflTeam, team);
    } else {
        players = findPlayers(season, PlayerSearch::ByName);
    }
    nlohmann::json rows = nlohmann::json::array();
    for (const Player* player : players ? *players : PlyrList{}) {
        rows.push_back(playerRow(*player));
    }
    return session.output.emit(rows, [&](std::ostream& out) { printPlayerRows(out, rows, false); });
}

// Every code a player exposes, in code order, with the value of the chosen week.
std::vector<std::pair<int, nlohmann::json>> playerValues(const Player& player, int week) {
    std::vector<std::pair<int, nlohmann::json>> values;
    for (int code = kPlayerId; code <= kLastWeekPoints; ++code) {
        switch (playerValueKind(code)) {
            case ValueKind::Text:
                values.emplace_back(code, player.text(code));
                break;
            case ValueKind::Points:
                values.emplace_back(code, player.getPoints(code, week));
                break;
            default:
                values.emplace_back(code, player.getValue(code, week));
                break;
        }
    }
    return values;
}

int playerCommand(int id, const std::string& weekText, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Player* player = context->season().playerQuery().findOne(PlayerQueryNode::kById, id);
    if (player == nullptr) {
        return session.output.fail("no player has the id " + std::to_string(id));
    }
    int week = weekIndexOf(weekText);
    auto values = playerValues(*player, week);
    nlohmann::json document = nlohmann::json::object();
    for (const auto& [code, value] : values) {
        document[std::to_string(code)] = value;
    }
    return session.output.emit(document, [&](std::ostream& out) {
        out << player->text(kPlayerComboTeamPos) << "  (id " << id << ", "
            << (week == kAllWeeks ? std::string("whole season")
                                  : "week " + std::to_string(week + 1))
            << ")\n";
        for (const auto& [code, value] : values) {
            out << cell(std::to_string(code), 5)
                << (value.is_string() ? value.get<std::string>() : value.dump()) << '\n';
        }
    });
}

int emitNamedRows(Session& session, const nlohmann::json& rows) {
    return session.output.emit(rows, [&](std::ostream& out) {
        for (const auto& row : rows) {
            out << cell(std::to_string(row["id"].get<int>()), 7) << row["name"].get<std::string>();
            if (row.contains("league")) {
                out << "  (league " << row["league"].get<int>() << ")";
            }
            out << '\n';
        }
    });
}

int leaguesCommand(Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    nlohmann::json rows = nlohmann::json::array();
    for (const League* league : context->season().leagueQuery().allLeagues()) {
        nlohmann::json row = {{"id", league->getValue(kLeagueId)},
                              {"rounds", league->getValue(kLeagueDraftRounds)}};
        addLeagueFields(row, *league);
        rows.push_back(row);
    }
    return emitNamedRows(session, rows);
}

int divisionsCommand(std::optional<int> league, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    DivisionQuery& query = context->season().divisionQuery();
    nlohmann::json rows = nlohmann::json::array();
    for (const Division* division :
         league ? query.leagueDivisions(*league) : query.allDivisions()) {
        rows.push_back({{"id", division->getValue(kDivisionId)},
                        {"name", division->text(kDivisionName)},
                        {"short_name", division->text(kDivisionShortName)},
                        {"league", division->getValue(kDivisionLeague)}});
    }
    return emitNamedRows(session, rows);
}

int franchisesCommand(std::optional<int> league, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    TeamQuery& query = context->season().teamQuery();
    nlohmann::json rows = nlohmann::json::array();
    for (const Team* team : league ? query.leagueFranchises(*league) : query.allFranchises()) {
        nlohmann::json row = {{"id", team->id()},
                              {"division", team->getValue(kFranchiseDivision, kAllWeeks)},
                              {"league", team->getValue(kFranchiseLeague, kAllWeeks)}};
        addFranchiseFields(row, *team);
        rows.push_back(row);
    }
    return emitNamedRows(session, rows);
}

// "roster add" and "roster drop" share the command's name, so the franchise
// and week of showing a roster cannot be demanded while parsing.
int rosterCommand(std::optional<int> franchiseId, const std::string& weekText, Session& session) {
    std::optional<WeekChoice> choice = weekText.empty() ? std::nullopt : parseWeek(weekText);
    if (!franchiseId || !choice) {
        return session.output.usage("roster needs a franchise id and --week");
    }
    if (choice->wholeSeason) {
        return session.output.usage("a roster belongs to one week, not to \"all\"");
    }
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    Team* team = findFranchise(session, season, *franchiseId);
    if (team == nullptr) {
        return kExitFailure;
    }
    int week = choice->index;
    TeamRosterStruct roster;
    team->getRoster(week, roster);
    nlohmann::json rows = nlohmann::json::array();
    for (int place = 0; place < roster.count(); ++place) {
        const Player* player =
            season.playerQuery().findOne(PlayerQueryNode::kById, roster.id(place));
        nlohmann::json row = player ? playerRow(*player)
                                    : nlohmann::json{{"id", roster.id(place)},
                                                     {"name", "(unknown player)"},
                                                     {"team", ""},
                                                     {"position", ""}};
        row["active"] = roster.active(place);
        rows.push_back(row);
    }
    return session.output.emit(rows, [&](std::ostream& out) {
        out << team->text(kFranchiseName) << ", week " << week + 1 << '\n';
        for (const auto& row : rows) {
            out << (row["active"].get<bool>() ? "active " : "bench  ");
            printPlayerRows(out, nlohmann::json::array({row}), false);
        }
    });
}

void addPlayerCommands(CLI::App& app, CommandTable& table) {
    auto request = std::make_shared<PlayersRequest>();
    CLI::App* players = app.add_subcommand("players", "List the players of the open season");
    players->add_option("--position", request->position,
                        "Position, such as QB or \"Wide Receiver\"");
    players->add_option("--team", request->team, "NFL team by name, short name or code");
    players->add_option("--sort", request->sortCode, "Statistic code to sort by (1 to 128)")
        ->check(CLI::Range(1, 128));
    players->add_flag("--desc", request->descending, "Sort from the highest value down");
    addWeekOption(players, request->week, WholeSeason::Allowed, WeekNeeded::Optional);
    table.add(players, [request](Session& session) { return playersCommand(*request, session); });

    auto find = std::make_shared<FindRequest>();
    CLI::App* finder = app.add_subcommand(
        "find-player", "List players as the player finder does: by position, NFL team or name");
    CLI::Option* byPosition =
        finder->add_option("--position", find->position, "Position, such as DEF or \"Tight End\"");
    CLI::Option* byTeam =
        finder->add_option("--nfl-team", find->team, "NFL team by name, short name or code");
    CLI::Option* all = finder->add_flag("--all", find->all, "Every player, by name");
    byPosition->excludes(byTeam)->excludes(all);
    byTeam->excludes(all);
    finder->require_option(1);
    table.add(finder, [find](Session& session) { return findPlayerCommand(*find, session); });

    auto id = std::make_shared<int>(0);
    auto week = std::make_shared<std::string>();
    CLI::App* player = app.add_subcommand("player", "Show every statistic code of one player");
    player->add_option("id", *id, "Player id")->required();
    addWeekOption(player, *week, WholeSeason::Allowed, WeekNeeded::Optional);
    table.add(player, [id, week](Session& session) { return playerCommand(*id, *week, session); });
}

void addStructureCommands(CLI::App& app, CommandTable& table) {
    CLI::App* leagues = app.add_subcommand("leagues", "List the leagues of the open season");
    table.add(leagues, leaguesCommand);

    auto divisionLeague = std::make_shared<std::optional<int>>();
    CLI::App* divisions = app.add_subcommand("divisions", "List the divisions");
    divisions->add_option("--league", *divisionLeague, "Only the divisions of this league id");
    table.add(divisions, [divisionLeague](Session& session) {
        return divisionsCommand(*divisionLeague, session);
    });

    auto franchiseLeague = std::make_shared<std::optional<int>>();
    CLI::App* franchises = app.add_subcommand("franchises", "List the franchises");
    franchises->add_option("--league", *franchiseLeague, "Only the franchises of this league id");
    table.add(franchises, [franchiseLeague](Session& session) {
        return franchisesCommand(*franchiseLeague, session);
    });

    auto franchise = std::make_shared<std::optional<int>>();
    auto week = std::make_shared<std::string>();
    CLI::App* roster = app.add_subcommand("roster", "Show a franchise's roster for a week");
    roster->add_option("franchise", *franchise, "Franchise id");
    addWeekOption(roster, *week, WholeSeason::Allowed, WeekNeeded::Optional);
    table.add(roster, [franchise, week](Session& session) {
        return rosterCommand(*franchise, *week, session);
    });
}

}  // namespace

void addModelCommands(CLI::App& app, CommandTable& table) {
    addPlayerCommands(app, table);
    addStructureCommands(app, table);
}

}  // namespace qff::cli
