#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "data02/league/Rosters.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/reports/Format.h"

namespace qff::cli {
namespace {

const char* reasonName(RosterReason reason) {
    switch (reason) {
        case RosterReason::kUnknownPlayer:
            return "unknown_player";
        case RosterReason::kOnRoster:
            return "on_roster";
        case RosterReason::kPositionFull:
            return "position_full";
        case RosterReason::kHeldElsewhere:
            return "held_elsewhere";
        case RosterReason::kRosterFull:
            return "roster_full";
        case RosterReason::kNotOnRoster:
            return "not_on_roster";
        case RosterReason::kAlreadyActive:
            return "already_active";
        case RosterReason::kAlreadyBenched:
            return "already_benched";
        default:
            return "none";
    }
}

nlohmann::json playerRow(Singleton& season, int id) {
    const Player* player = season.mapFactory().players().findFirst(kPlayerId, id);
    if (player == nullptr) {
        return {{"id", id}, {"name", "(unknown player)"}, {"team", ""}, {"position", ""}};
    }
    return {{"id", id},
            {"name", player->name()},
            {"team", player->text(kPlayerTeam)},
            {"position", player->text(kPlayerPosition)}};
}

void printRow(std::ostream& out, const nlohmann::json& row) {
    out << cell(std::to_string(row["id"].get<int>()), 7) << cell(row["name"], 30)
        << cell(row["team"], 6) << row["position"].get<std::string>() << '\n';
}

// What every roster change prints: the players changed, then one warning per
// player left out; any player left out makes the command fail.
int reportChange(Session& session, Singleton& season, const RosterChange& change,
                 const std::string& verb) {
    if (change.status != kOk) {
        return session.output.fail(change.error);
    }
    nlohmann::json changed = nlohmann::json::array();
    for (int id : change.changed) {
        changed.push_back(playerRow(season, id));
    }
    nlohmann::json refused = nlohmann::json::array();
    for (const RosterRefusal& r : change.refused) {
        refused.push_back(
            {{"id", r.player}, {"reason", reasonName(r.reason)}, {"message", r.message}});
    }
    session.output.emit({{"changed", changed}, {"refused", refused}}, [&](std::ostream& out) {
        for (const auto& row : changed) {
            out << cell(verb, 10);
            printRow(out, row);
        }
    });
    for (const RosterRefusal& r : change.refused) {
        session.output.warn(r.message);
    }
    return change.refused.empty() ? kExitOk : kExitFailure;
}

// A franchise, its players and a week: what every roster change is given.
struct ChangeRequest {
    int franchise = 0;
    std::vector<int> players;
    std::string week;
};

using ChangeAction = RosterChange (*)(Singleton&, const ChangeRequest&);

void addChangeCommand(CLI::App& parent, CommandTable& table, const char* name,
                      const char* description, const std::string& verb, ChangeAction action) {
    auto request = std::make_shared<ChangeRequest>();
    CLI::App* command = parent.add_subcommand(name, description);
    command->add_option("franchise", request->franchise, "Franchise id")->required();
    command->add_option("players", request->players, "Player ids")->required();
    addWeekOption(command, request->week, WholeSeason::Refused, WeekNeeded::Required);
    table.add(command, [request, verb, action](Session& session) {
        auto context = Context::openSeason(session);
        if (!context) {
            return kExitFailure;
        }
        RosterChange change = action(context->season(), *request);
        return reportChange(session, context->season(), change, verb);
    });
}

RosterChange addAction(Singleton& season, const ChangeRequest& r) {
    return addPlayers(season, r.franchise, weekIndexOf(r.week), r.players);
}

RosterChange dropAction(Singleton& season, const ChangeRequest& r) {
    return dropPlayers(season, r.franchise, weekIndexOf(r.week), r.players);
}

RosterChange activateAction(Singleton& season, const ChangeRequest& r) {
    return setActive(season, r.franchise, weekIndexOf(r.week), r.players, true);
}

RosterChange benchAction(Singleton& season, const ChangeRequest& r) {
    return setActive(season, r.franchise, weekIndexOf(r.week), r.players, false);
}

struct DraftableRequest {
    int franchise = 0;
    std::string week;
    std::string position;
    std::string team;
};

// Candidates by position or NFL team (all players without either), ordered
// by position, then name.
PlyrList candidates(Singleton& season, const DraftableRequest& request) {
    PlayerQueryNode node = playerSelection(request.position, request.team);
    node.setSortKey(0, kPlayerPosition, false);
    node.setSortKey(1, kPlayerName, false);
    PlayerQuery& query = season.playerQuery();
    query.clear();
    query.addNode(node);
    Owned<PlyrList> found = query.run();
    PlyrList players = found ? *found : PlyrList{};
    if (!request.team.empty()) {
        int team = season.pro().teamIndex(request.team);
        std::erase_if(players, [team](const Player* p) { return p->team() != team; });
    }
    return players;
}

int draftableCommand(const DraftableRequest& request, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    PlyrList players = candidates(season, request);
    int status = filterDraftable(season, request.franchise, weekIndexOf(request.week), players);
    if (status == kBadWeek) {
        return session.output.fail("week " + request.week + " is not a week of the season");
    }
    if (status != kOk) {
        return session.output.fail("no franchise has the id " + std::to_string(request.franchise));
    }
    nlohmann::json rows = nlohmann::json::array();
    for (const Player* player : players) {
        rows.push_back(playerRow(season, player->id()));
    }
    return session.output.emit(rows, [&](std::ostream& out) {
        for (const auto& row : rows) {
            printRow(out, row);
        }
    });
}

struct SwapRequest {
    std::string week;
    TradeSide one;
    TradeSide two;
};

int swapCommand(const SwapRequest& request, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    TradeResult result =
        tradePlayers(context->season(), weekIndexOf(request.week), request.one, request.two);
    if (result.status != kOk) {
        return session.output.fail(result.message);
    }
    nlohmann::json document = {{"week", weekIndexOf(request.week) + 1},
                               {"traded",
                                {{{"player", request.one.player},
                                  {"from", request.one.franchise},
                                  {"to", request.two.franchise}},
                                 {{"player", request.two.player},
                                  {"from", request.two.franchise},
                                  {"to", request.one.franchise}}}},
                               {"message", result.message}};
    return session.output.emit(document, [&](std::ostream& out) { out << result.message << '\n'; });
}

void addDraftableCommand(CLI::App& app, CommandTable& table) {
    auto request = std::make_shared<DraftableRequest>();
    CLI::App* command =
        app.add_subcommand("draftable", "List the players a franchise may still take in a week");
    command->add_option("franchise", request->franchise, "Franchise id")->required();
    addWeekOption(command, request->week, WholeSeason::Refused, WeekNeeded::Required);
    command->add_option("--position", request->position,
                        "Position, such as QB or \"Wide Receiver\", or a position code");
    command->add_option("--team", request->team, "NFL team by name, short name or code");
    table.add(command, [request](Session& session) { return draftableCommand(*request, session); });
}

void addSwapCommand(CLI::App& app, CommandTable& table) {
    auto request = std::make_shared<SwapRequest>();
    CLI::App* command =
        app.add_subcommand("swap", "Exchange two players between two franchises' rosters");
    addWeekOption(command, request->week, WholeSeason::Refused, WeekNeeded::Required);
    command->add_option("franchise_a", request->one.franchise, "First franchise id")->required();
    command->add_option("player_a", request->one.player, "Player the first franchise gives")
        ->required();
    command->add_option("franchise_b", request->two.franchise, "Second franchise id")->required();
    command->add_option("player_b", request->two.player, "Player the second franchise gives")
        ->required();
    table.add(command, [request](Session& session) { return swapCommand(*request, session); });
}

}  // namespace

void addRosterCommands(CLI::App& app, CommandTable& table) {
    CLI::App& roster = *app.get_subcommand("roster");
    addChangeCommand(roster, table, "add", "Put players on a franchise's bench from a week on",
                     "added", addAction);
    addChangeCommand(roster, table, "drop", "Take players off a franchise's roster from a week on",
                     "dropped", dropAction);
    addChangeCommand(app, table, "activate", "Make rostered players active from a week on",
                     "active", activateAction);
    addChangeCommand(app, table, "bench", "Put rostered players on the bench from a week on",
                     "benched", benchAction);
    addDraftableCommand(app, table);
    addSwapCommand(app, table);
}

}  // namespace qff::cli
