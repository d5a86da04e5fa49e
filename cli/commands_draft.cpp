#include <ctime>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "cli/DraftDay.h"
#include "data02/league/Draftorder.h"
#include "data02/league/Rosters.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Format.h"

namespace qff::cli {
namespace {

const Team* findFranchise(Session& session, Singleton& season, int league, int franchise) {
    const Team* found = season.teamQuery().findOne(kFranchiseId, franchise);
    if (found == nullptr || found->getValue(kFranchiseLeague, kAllWeeks) != league) {
        session.output.fail("league " + std::to_string(league) + " has no franchise with the id " +
                            std::to_string(franchise));
        return nullptr;
    }
    return found;
}

struct OrderOptions {
    // Optional to the parser, so the order's own subcommands can run without it.
    std::optional<int> league;
    // The default; the flag only makes the choice explicit.
    bool trueKind = false;
    bool random = false;
    std::optional<std::uint32_t> seed;
    bool replace = false;
};

int orderCommand(const OrderOptions& options, Session& session) {
    if (!options.league) {
        return session.output.usage("--league is required to generate a draft order");
    }
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    const League* league = findLeague(session, season, *options.league);
    if (league == nullptr) {
        return kExitFailure;
    }
    DraftOrderLoss loss = draftOrderLoss(season, *options.league);
    if (loss.picks > 0 && !options.replace) {
        return session.output.fail(
            "league \"" + league->text(kLeagueName) + "\" already has " +
            std::to_string(loss.picks) + " draft picks, " + std::to_string(loss.drafted) +
            " of them with a drafted player; a new draft order deletes them all (add --yes to "
            "replace them)");
    }
    std::uint32_t seed = options.seed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
    auto engine = std::make_shared<std::mt19937>(seed);
    SerpentineKind kind = options.random ? SerpentineKind::Random : SerpentineKind::True;
    DraftOrderResult result = generateDraftOrder(season, *options.league, kind, [engine] {
        return static_cast<std::uint32_t>((*engine)());
    });
    if (result.status != kOk) {
        return session.output.fail(result.message);
    }
    nlohmann::json document = {{"league", *options.league},
                               {"kind", options.random ? "random" : "true"},
                               {"seed", seed},
                               {"rounds", draftRounds(*league)},
                               {"picks", result.picks},
                               {"deleted", loss.picks}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << "Generated a " << (options.random ? "random" : "true") << " serpentine order of "
            << result.picks << " picks in " << draftRounds(*league) << " rounds for "
            << league->text(kLeagueName) << " (seed " << seed << ")\n";
    });
}

int showCommand(int leagueId, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    if (findLeague(session, season, leagueId) == nullptr) {
        return kExitFailure;
    }
    DraftList picks = season.draftQuery().leaguePicks(leagueId);
    DraftQuery::sortByField(picks, kDraftPick, false);
    DraftQuery::sortByField(picks, kDraftRound, false);
    nlohmann::json rows = nlohmann::json::array();
    for (const TrackDraft* pick : picks) {
        rows.push_back(pickRow(season, *pick));
    }
    return session.output.emit(rows, [&](std::ostream& out) {
        if (rows.empty()) {
            out << "No draft picks.\n";
        }
        for (const auto& row : rows) {
            printPick(out, row);
        }
    });
}

struct PickOptions {
    int league = 0;
    int round = 0;
    int franchise = 0;
    int player = 0;
};

int pickCommand(const PickOptions& options, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    if (findLeague(session, season, options.league) == nullptr) {
        return kExitFailure;
    }
    DraftChange change =
        recordPick(season, options.league, options.franchise, options.round, options.player);
    if (!change.ok()) {
        return session.output.fail(change.message);
    }
    const TrackDraft* pick =
        findPickOfPlayer(season, options.league, options.franchise, options.player);
    nlohmann::json row = pickRow(season, *pick);
    return session.output.emit(row, [&](std::ostream& out) { printPick(out, row); });
}

nlohmann::json changeJson(Singleton& season, const DraftRosterChange& change) {
    return {{"franchise", change.franchise},
            {"franchise_name", franchiseNameOrNote(season, change.franchise)},
            {"players", change.roster},
            {"replaced", change.replaced},
            {"overflow", change.overflow},
            {"changed", change.changesRoster}};
}

std::string replacedText(Singleton& season, const DraftClosePlan& plan) {
    std::string text;
    for (const DraftRosterChange& change : plan.franchises) {
        if (!change.replaced.empty()) {
            text += (text.empty() ? "" : ", ") + franchiseNameOrNote(season, change.franchise) +
                    " (" + std::to_string(change.replaced.size()) + ")";
        }
    }
    return text;
}

void warnOverflow(Session& session, Singleton& season, const DraftClosePlan& plan) {
    for (const DraftRosterChange& change : plan.franchises) {
        if (!change.overflow.empty()) {
            session.output.warn(franchiseNameOrNote(season, change.franchise) + " drafted " +
                                std::to_string(change.overflow.size()) +
                                " players beyond the 32 roster places; they are left off");
        }
    }
}

int closeCommand(int leagueId, bool replace, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    if (findLeague(session, season, leagueId) == nullptr) {
        return kExitFailure;
    }
    DraftClosePlan plan = planDraftClose(season, leagueId);
    if (plan.weekOnePlayed && !plan.franchises.empty()) {
        return session.output.fail(
            "week 1 already has statistics; the drafted rosters would rewrite played weeks");
    }
    if (plan.replacesPlayers() && !replace) {
        return session.output.fail("closing the draft replaces players on the rosters of " +
                                   replacedText(season, plan) + " (add --yes to replace them)");
    }
    warnOverflow(session, season, plan);
    if (closeDraft(season, plan) != kOk) {
        return session.output.fail("the rosters could not all be written: " +
                                   season.teamFile().db().lastError());
    }
    nlohmann::json franchises = nlohmann::json::array();
    for (const DraftRosterChange& change : plan.franchises) {
        franchises.push_back(changeJson(season, change));
    }
    nlohmann::json document = {
        {"league", leagueId}, {"written", plan.changedCount()}, {"franchises", franchises}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << "Wrote the drafted rosters of " << plan.changedCount() << " franchises ("
            << plan.franchises.size() - plan.changedCount() << " already in place)\n";
    });
}

// "FRANCHISE:PLAYER", both ids.
std::optional<std::pair<int, int>> parsePickName(std::string_view text) {
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::optional<int> franchise = parseInteger(text.substr(0, colon));
    std::optional<int> player = parseInteger(text.substr(colon + 1));
    if (!franchise || !player) {
        return std::nullopt;
    }
    return std::make_pair(*franchise, *player);
}

TradeSide tradeSideOf(const TrackDraft& pick) {
    return {pick.getValue(kDraftFranchise), pick.getValue(kDraftPlayer)};
}

TrackDraft* findTradePick(Session& session, Singleton& season, int league,
                          const std::string& name) {
    std::optional<std::pair<int, int>> parsed = parsePickName(name);
    if (!parsed) {
        session.output.usage("a pick is named FRANCHISE:PLAYER by their ids, not \"" + name + "\"");
        return nullptr;
    }
    auto [franchise, player] = *parsed;
    TrackDraft* pick = player > 0 ? findPickOfPlayer(season, league, franchise, player) : nullptr;
    if (pick == nullptr) {
        session.output.fail("franchise " + std::to_string(franchise) + " of league " +
                            std::to_string(league) + " has not drafted player " +
                            std::to_string(player));
    }
    return pick;
}

int tradeCommand(int leagueId, const std::string& first, const std::string& second,
                 Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    TrackDraft* one = findTradePick(session, season, leagueId, first);
    TrackDraft* two = one ? findTradePick(session, season, leagueId, second) : nullptr;
    if (two == nullptr) {
        return kExitFailure;
    }
    TradeResult result =
        tradeDraftedPlayers(season, leagueId, tradeSideOf(*one), tradeSideOf(*two));
    if (result.status != kOk) {
        return session.output.fail(result.message);
    }
    nlohmann::json document = {{"picks", {pickRow(season, *one), pickRow(season, *two)}},
                               {"message", result.message}};
    return session.output.emit(document, [&](std::ostream& out) { out << result.message << '\n'; });
}

// What the franchise can give in a draft-day trade, by position.
int playersCommand(int leagueId, int franchiseId, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    if (findFranchise(session, season, leagueId, franchiseId) == nullptr) {
        return kExitFailure;
    }
    nlohmann::json rows = nlohmann::json::array();
    for (const Player* player : draftedPlayers(season, leagueId, franchiseId)) {
        rows.push_back({{"id", player->id()},
                        {"name", player->name()},
                        {"team", player->text(kPlayerTeam)},
                        {"position", player->text(kPlayerPosition)}});
    }
    return session.output.emit(rows, [&](std::ostream& out) {
        for (const auto& row : rows) {
            out << cell(std::to_string(row["id"].get<int>()), 7) << cell(row["name"], 30)
                << cell(row["team"], 6) << row["position"].get<std::string>() << '\n';
        }
    });
}

CLI::App* addOrderCommand(CLI::App& draft, CommandTable& table) {
    auto options = std::make_shared<OrderOptions>();
    CLI::App* order = draft.add_subcommand(
        "order", "Generate a serpentine draft order, or change it by hand (add, move, remove)");
    order->add_option("--league", options->league, "League id (required to generate)");
    auto* trueKind = order->add_flag("--true", options->trueKind,
                                     "Round 1 drawn, later rounds repeat it (default)");
    order->add_flag("--random", options->random, "Every odd round drawn afresh")
        ->excludes(trueKind);
    order->add_option("--seed", options->seed, "Seed of the draw, to repeat an order");
    order->add_flag("--yes", options->replace, "Delete the league's existing picks");
    table.add(order, [options](Session& session) { return orderCommand(*options, session); });
    return order;
}

void addPickCommand(CLI::App& draft, CommandTable& table) {
    auto options = std::make_shared<PickOptions>();
    CLI::App* pick = draft.add_subcommand("pick", "Record a drafted player");
    pick->add_option("--league", options->league, "League id")->required();
    pick->add_option("--round", options->round, "Round, counted from 1")->required();
    pick->add_option("--franchise", options->franchise, "Franchise id")->required();
    pick->add_option("PLAYER", options->player, "Player id")->required();
    table.add(pick, [options](Session& session) { return pickCommand(*options, session); });
}

void addShowAndCloseCommands(CLI::App& draft, CommandTable& table) {
    auto league = std::make_shared<int>(0);
    CLI::App* show = draft.add_subcommand("show", "List a league's picks by round and pick");
    show->add_option("--league", *league, "League id")->required();
    table.add(show, [league](Session& session) { return showCommand(*league, session); });

    auto playersLeague = std::make_shared<int>(0);
    auto playersFranchise = std::make_shared<int>(0);
    CLI::App* players = draft.add_subcommand(
        "players", "List a franchise's drafted players by position: what it can trade");
    players->add_option("--league", *playersLeague, "League id")->required();
    players->add_option("--franchise", *playersFranchise, "Franchise id")->required();
    table.add(players, [playersLeague, playersFranchise](Session& session) {
        return playersCommand(*playersLeague, *playersFranchise, session);
    });

    auto closeLeague = std::make_shared<int>(0);
    auto replace = std::make_shared<bool>(false);
    CLI::App* close =
        draft.add_subcommand("close", "Make the drafted players the week-1 rosters (bench)");
    close->add_option("--league", *closeLeague, "League id")->required();
    close->add_flag("--yes", *replace, "Replace players already on the rosters");
    table.add(close, [closeLeague, replace](Session& session) {
        return closeCommand(*closeLeague, *replace, session);
    });
}

void addTradeCommand(CLI::App& app, CommandTable& table) {
    auto league = std::make_shared<int>(0);
    auto picks = std::make_shared<std::vector<std::string>>();
    CLI::App* trade = app.add_subcommand(
        "trade",
        "Swap the players of two draft picks; each pick is FRANCHISE:PLAYER (franchise id and "
        "the id of the player it drafted), e.g. 3:1021");
    trade->add_option("--league", *league, "League id")->required();
    trade->add_option("PICKS", *picks, "PICK_A PICK_B as FRANCHISE:PLAYER")
        ->required()
        ->expected(2);
    table.add(trade, [league, picks](Session& session) {
        return tradeCommand(*league, (*picks)[0], (*picks)[1], session);
    });
}

}  // namespace

void addDraftCommands(CLI::App& app, CommandTable& table) {
    CLI::App* draft = app.add_subcommand("draft", "Draft order, picks and closing the draft");
    draft->require_subcommand(1);
    CLI::App* order = addOrderCommand(*draft, table);
    addShowAndCloseCommands(*draft, table);
    addDraftDayCommands(*draft, *order, table);
    addPickCommand(*draft, table);
    addTradeCommand(app, table);
}

}  // namespace qff::cli
