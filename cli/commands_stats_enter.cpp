#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "data02/intake/Statentry.h"
#include "data02/model/Mapfact.h"
#include "data02/reports/Format.h"

namespace qff::cli {
namespace {

struct EnterRequest {
    std::string player;
    std::string week;
    std::vector<std::string> values;
};

// CODE=VALUE pairs, both whole numbers, each code once.
std::optional<StatValues> parseValues(const std::vector<std::string>& pairs, Session& session) {
    StatValues values;
    for (const std::string& pair : pairs) {
        std::size_t equals = pair.find('=');
        std::optional<int> code = parseInteger(std::string_view(pair).substr(0, equals));
        std::optional<int> value = equals == std::string::npos
                                       ? std::nullopt
                                       : parseInteger(std::string_view(pair).substr(equals + 1));
        if (!code || !value) {
            session.output.usage("a value is given as CODE=VALUE with whole numbers, not \"" +
                                 pair + "\"");
            return std::nullopt;
        }
        if (!values.emplace(*code, *value).second) {
            session.output.usage("code " + std::to_string(*code) + " is given twice");
            return std::nullopt;
        }
    }
    return values;
}

// A player named by his id, or by his exact name when no one else has it.
const Player* resolvePlayer(Singleton& season, const std::string& given, Session& session) {
    RecordCache<Player>& players = season.mapFactory().players();
    if (std::optional<int> id = parseInteger(given)) {
        const Player* player = players.findFirst(kPlayerId, *id);
        if (player == nullptr) {
            session.output.fail("no player has the id " + given);
        }
        return player;
    }
    PlyrList named = players.selectByText(kPlayerName, given);
    if (named.size() == 1) {
        return named.front();
    }
    if (named.empty()) {
        session.output.fail("no player is named " + given);
        return nullptr;
    }
    std::string ids;
    for (const Player* player : named) {
        ids += (ids.empty() ? "" : ", ") + std::to_string(player->id());
    }
    session.output.fail(std::to_string(named.size()) + " players are named " + given + " (ids " +
                        ids + "); give the id of one");
    return nullptr;
}

nlohmann::json valuesDocument(const Player& player, int week, const std::vector<int>& codes) {
    nlohmann::json values = nlohmann::json::object();
    for (int code : codes) {
        values[std::to_string(code)] = player.getValue(code, week);
    }
    return values;
}

// What the week holds now: every field of the player, and the fields his
// team unit sums.
nlohmann::json enteredDocument(const Player& player, int week) {
    std::vector<int> codes;
    std::vector<int> unitCodes;
    for (const EntryField& field : entryFields(player.storedPosition())) {
        codes.push_back(field.code);
        if (field.kind != EntryKind::Bonus) {
            unitCodes.push_back(field.code);
        }
    }
    nlohmann::json document = {{"id", player.id()},
                               {"name", player.name()},
                               {"team", player.text(kPlayerTeam)},
                               {"position", player.text(kPlayerPosition)},
                               {"week", week + 1},
                               {"values", valuesDocument(player, week, codes)},
                               {"unit", nullptr}};
    if (const Player* unit = summingUnit(player)) {
        document["unit"] = {{"id", unit->id()},
                            {"name", unit->name()},
                            {"values", valuesDocument(*unit, week, unitCodes)}};
    }
    return document;
}

// The fields that hold something, and those the command was given.
void printValues(std::ostream& out, int position, const nlohmann::json& values,
                 const StatValues& given) {
    for (const EntryField& field : entryFields(position)) {
        std::string key = std::to_string(field.code);
        if (values.contains(key) && (values[key] != 0 || given.contains(field.code))) {
            out << "  " << cell(key, 5) << cell(field.name, 32) << values[key].get<int>() << '\n';
        }
    }
}

void printEntered(std::ostream& out, const Player& player, const nlohmann::json& document,
                  const StatValues& given) {
    out << "Week " << document["week"].get<int>() << " of " << player.text(kPlayerComboTeamPos)
        << " (id " << player.id() << ") is stored:\n";
    printValues(out, player.storedPosition(), document["values"], given);
    if (!document["unit"].is_null()) {
        out << document["unit"]["name"].get<std::string>() << " (id "
            << document["unit"]["id"].get<int>() << ") now holds:\n";
        printValues(out, player.storedPosition(), document["unit"]["values"], given);
    }
}

int enterCommand(const EnterRequest& request, Session& session) {
    std::optional<StatValues> values = parseValues(request.values, session);
    if (!values) {
        return kExitUsage;
    }
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    const Player* player = resolvePlayer(season, request.player, session);
    if (player == nullptr) {
        return kExitFailure;
    }
    int week = weekIndexOf(request.week);
    EntryResult result = enterPlayerWeek(season, player->id(), week, *values);
    if (!result.ok()) {
        return session.output.fail(result.message);
    }
    nlohmann::json document = enteredDocument(*player, week);
    return session.output.emit(
        document, [&](std::ostream& out) { printEntered(out, *player, document, *values); });
}

}  // namespace

CLI::App* addStatsCommands(CLI::App& app, CommandTable& table) {
    CLI::App* stats = app.add_subcommand("stats", "Weekly NFL statistics of the season");
    stats->require_subcommand(1);
    auto request = std::make_shared<EnterRequest>();
    CLI::App* enter = stats->add_subcommand(
        "enter",
        "Store statistics of one player's week by code (qff player ID shows them); his team "
        "unit's totals follow. Touchdown and field-goal lengths are packed from the first slot");
    enter->add_option("player", request->player, "Player id, or his exact name")->required();
    addWeekOption(enter, request->week, WholeSeason::Refused, WeekNeeded::Required);
    enter->add_option("values", request->values, "CODE=VALUE pairs, e.g. 38=80 39=40")->required();
    table.add(enter, [request](Session& session) { return enterCommand(*request, session); });
    return stats;
}

}  // namespace qff::cli
