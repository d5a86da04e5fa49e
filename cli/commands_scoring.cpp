#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/CommandTable.h"
#include "data02/diag/Status.h"
#include "data02/scoring/Scoring.h"
#include "data02/scoring/Scoring_tables.h"

namespace qff::cli {
namespace {

using TableEdit = std::function<TableChange(ScoreTable&)>;

// The season with the league's scoring record current; null after telling why not.
std::unique_ptr<Context> openScoring(Session& session, int league) {
    auto context = Context::openSeason(session);
    if (!context || findLeague(session, context->season(), league) == nullptr) {
        return nullptr;
    }
    ScoringSystem& scoring = context->season().scoring();
    if (scoring.selectLeague(league) != kOk) {
        session.output.fail(scoring.lastError());
        return nullptr;
    }
    return context;
}

nlohmann::json tableDocument(const ScoreTable& table) {
    nlohmann::json runs = nlohmann::json::array();
    for (const TableRun& run : tableRuns(table)) {
        runs.push_back({{"from", run.from}, {"to", run.to}, {"points", run.points}});
    }
    return {{"code", table.code}, {"mode", table.mode}, {"runs", runs}};
}

void printTable(std::ostream& out, const nlohmann::json& table) {
    out << table["code"] << "  mode " << table["mode"] << " ";
    const char* separator = " ";
    for (const auto& run : table["runs"]) {
        out << separator << run["from"] << "\u2013" << run["to"] << ": " << run["points"];
        separator = ", ";
    }
    out << '\n';
}

// Penalties are shown as the amount they subtract, as they are typed.
nlohmann::json valueDocument(const ScoringSystem& scoring, int code) {
    nlohmann::json value = {{"code", code}, {"value", shownValue(scoring, code)}};
    if (isStoredNegated(code)) {
        value["subtracted"] = true;
    }
    return value;
}

void printValue(std::ostream& out, const nlohmann::json& value) {
    out << value["code"] << "  " << value["value"]
        << (value.contains("subtracted") ? "  (subtracted)" : "") << '\n';
}

int showCommand(int league, Session& session) {
    auto context = openScoring(session, league);
    if (!context) {
        return kExitFailure;
    }
    ScoringSystem& scoring = context->season().scoring();
    nlohmann::json values = nlohmann::json::array();
    nlohmann::json tables = nlohmann::json::array();
    for (int code = kFirstScoreItem; code <= kLastScoreItem; ++code) {
        std::string message;
        if (isPointValue(code)) {
            values.push_back(valueDocument(scoring, code));
        } else if (std::optional<ScoreTable> table = readTable(scoring, code, message)) {
            tables.push_back(tableDocument(*table));
        }
    }
    nlohmann::json document = {{"league", league}, {"values", values}, {"tables", tables}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << "Scoring of league " << league << '\n';
        for (const auto& value : values) {
            printValue(out, value);
        }
        for (const auto& table : tables) {
            printTable(out, table);
        }
    });
}

int saved(Session& session, ScoringSystem& scoring, const nlohmann::json& document,
          const PlainPrinter& print) {
    if (scoring.save() != kOk) {
        return session.output.fail(scoring.lastError());
    }
    return session.output.emit(document, print);
}

struct ValueRequest {
    int league = 0;
    int code = 0;
    int value = 0;
};

int setCommand(const ValueRequest& request, Session& session) {
    auto context = openScoring(session, request.league);
    if (!context) {
        return kExitFailure;
    }
    ScoringSystem& scoring = context->season().scoring();
    if (TableChange change = setShownValue(scoring, request.code, request.value); !change.ok()) {
        return session.output.fail(change.message);
    }
    nlohmann::json document = valueDocument(scoring, request.code);
    return saved(session, scoring, document, [&](std::ostream& out) { printValue(out, document); });
}

int tableCommand(int league, int code, const TableEdit& edit, Session& session) {
    auto context = openScoring(session, league);
    if (!context) {
        return kExitFailure;
    }
    ScoringSystem& scoring = context->season().scoring();
    std::string message;
    std::optional<ScoreTable> table = readTable(scoring, code, message);
    if (!table) {
        return session.output.fail(message);
    }
    if (TableChange change = edit(*table); !change.ok()) {
        return session.output.fail(change.message);
    }
    if (TableChange stored = storeTable(scoring, *table); !stored.ok()) {
        return session.output.fail(stored.message);
    }
    nlohmann::json document = tableDocument(*table);
    return saved(session, scoring, document, [&](std::ostream& out) { printTable(out, document); });
}

struct TableRequest {
    int league = 0;
    int code = 0;
    bool none = false;
    std::optional<int> each;
    std::vector<int> every;
};

std::optional<TableChoice> requestedChoice(const TableRequest& request) {
    if (request.none) {
        return TableChoice{};
    }
    if (request.each) {
        return TableChoice{kTableEach, *request.each, 0, 0};
    }
    if (request.every.size() == 2) {
        return TableChoice{kTableEvery, 0, request.every[0], request.every[1]};
    }
    return std::nullopt;
}

int tableChoiceCommand(const TableRequest& request, Session& session) {
    std::optional<TableChoice> choice = requestedChoice(request);
    if (!choice) {
        return session.output.usage("give one of --none, --each P or --every N M");
    }
    return tableCommand(
        request.league, request.code,
        [&](ScoreTable& table) { return applyChoice(table, *choice); }, session);
}

struct RangeRequest {
    int league = 0;
    int code = 0;
    int from = 0;
    int to = 0;
    std::optional<int> points;
};

int rangeAddCommand(const RangeRequest& request, Session& session) {
    if (!request.points) {
        return session.output.fail(kRangeNeedsValues);
    }
    return tableCommand(
        request.league, request.code,
        [&](ScoreTable& table) {
            return addRange(table, request.from, request.to, *request.points);
        },
        session);
}

int rangeDeleteCommand(const RangeRequest& request, Session& session) {
    return tableCommand(
        request.league, request.code,
        [&](ScoreTable& table) { return deleteRange(table, request.from, request.to); }, session);
}

struct CopyRequest {
    int from = 0;
    int to = 0;
};

int copyCommand(const CopyRequest& request, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    if (findLeague(session, season, request.from) == nullptr ||
        findLeague(session, season, request.to) == nullptr) {
        return kExitFailure;
    }
    if (TableChange copied = copyScoring(season.scoring(), request.from, request.to);
        !copied.ok()) {
        return session.output.fail(copied.message);
    }
    nlohmann::json document = {{"from", request.from}, {"to", request.to}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << "League " << request.to << " now scores as league " << request.from << ".\n";
    });
}

void addLeagueOption(CLI::App* command, int& league) {
    command->add_option("--league", league, "League id")->required();
}

void addCodeArgument(CLI::App* command, int& code, const char* what) {
    command->add_option("code", code, what)->required();
}

void addValueCommands(CLI::App& scoring, CommandTable& table) {
    auto showLeague = std::make_shared<int>(0);
    CLI::App* show = scoring.add_subcommand("show", "Show every value and table of a league");
    addLeagueOption(show, *showLeague);
    table.add(show, [showLeague](Session& session) { return showCommand(*showLeague, session); });

    auto value = std::make_shared<ValueRequest>();
    CLI::App* set = scoring.add_subcommand(
        "set", "Set one point value; penalties are given as the amount to subtract");
    addLeagueOption(set, value->league);
    addCodeArgument(set, value->code, "Point value code, 5004 to 5066");
    set->add_option("value", value->value, "Points")->required();
    table.add(set, [value](Session& session) { return setCommand(*value, session); });

    auto copy = std::make_shared<CopyRequest>();
    CLI::App* copyCmd = scoring.add_subcommand("copy", "Give a league the scoring of another");
    copyCmd->add_option("--from", copy->from, "League whose scoring is copied")->required();
    copyCmd->add_option("--to", copy->to, "League that takes it")->required();
    table.add(copyCmd, [copy](Session& session) { return copyCommand(*copy, session); });
}

void addTableCommands(CLI::App& scoring, CommandTable& table) {
    auto choice = std::make_shared<TableRequest>();
    CLI::App* tableCmd = scoring.add_subcommand("table", "Fill a points table in one of its ways");
    addLeagueOption(tableCmd, choice->league);
    addCodeArgument(tableCmd, choice->code, "Table code");
    CLI::Option* none = tableCmd->add_flag("--none", choice->none, "No points");
    CLI::Option* each =
        tableCmd->add_option("--each", choice->each, "P points for every length (TD tables)");
    CLI::Option* every =
        tableCmd->add_option("--every", choice->every, "N points for every M yards")->expected(2);
    none->excludes(each, every);
    each->excludes(every);
    table.add(tableCmd,
              [choice](Session& session) { return tableChoiceCommand(*choice, session); });

    CLI::App* range = scoring.add_subcommand("range", "Add or delete a range of a points table");
    range->require_subcommand(1);
    auto add = std::make_shared<RangeRequest>();
    auto remove = std::make_shared<RangeRequest>();
    CLI::App* addCmd = range->add_subcommand("add", "Give entries FROM to TO the points");
    CLI::App* deleteCmd =
        range->add_subcommand("delete", "Give entries FROM to TO the value of their neighbour");
    for (auto [command, request] : {std::pair{addCmd, add}, std::pair{deleteCmd, remove}}) {
        addLeagueOption(command, request->league);
        addCodeArgument(command, request->code, "Table code");
        command->add_option("from", request->from, "First entry")->required();
        command->add_option("to", request->to, "Last entry")->required();
    }
    addCmd->add_option("points", add->points, "Points of every entry of the range");
    table.add(addCmd, [add](Session& session) { return rangeAddCommand(*add, session); });
    table.add(deleteCmd,
              [remove](Session& session) { return rangeDeleteCommand(*remove, session); });
}

}  // namespace

void addScoringCommands(CLI::App& app, CommandTable& table) {
    CLI::App* scoring = app.add_subcommand("scoring", "Show and change a league's scoring system");
    scoring->require_subcommand(1);
    addValueCommands(*scoring, table);
    addTableCommands(*scoring, table);
}

}  // namespace qff::cli
