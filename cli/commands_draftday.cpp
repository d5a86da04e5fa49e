#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/Arguments.h"
#include "cli/DraftDay.h"
#include "data02/league/Draftday.h"
#include "data02/league/Draftorder.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Plyrqry.h"
#include "data02/reports/Format.h"

namespace qff::cli {
namespace {

std::string playerName(Singleton& season, int id) {
    const Player* player = season.playerQuery().findOne(kPlayerId, id);
    return player ? player->text(kPlayerName) : "(no such player)";
}

}  // namespace

nlohmann::json pickRow(Singleton& season, const TrackDraft& pick) {
    int franchise = pick.getValue(kDraftFranchise);
    nlohmann::json row = {{"round", pick.getValue(kDraftRound)},
                          {"pick", pick.getValue(kDraftPick)},
                          {"franchise", franchise},
                          {"franchise_name", franchiseNameOrNote(season, franchise)},
                          {"player", nullptr},
                          {"player_name", nullptr}};
    if (pick.isDrafted()) {
        row["player"] = pick.getValue(kDraftPlayer);
        row["player_name"] = playerName(season, pick.getValue(kDraftPlayer));
    }
    return row;
}

void printPick(std::ostream& out, const nlohmann::json& row) {
    out << cell("Round " + std::to_string(row["round"].get<int>()), 10)
        << cell("Pick " + std::to_string(row["pick"].get<int>()), 9)
        << cell(row["franchise_name"].get<std::string>(), 30)
        << (row["player"].is_null() ? std::string("-")
                                    : row["player_name"].get<std::string>() + " (" +
                                          std::to_string(row["player"].get<int>()) + ")")
        << '\n';
}

namespace {

constexpr const char* kPickHelp = "The pick as ROUND.PICK, both counted from 1, e.g. 3.7";

// "ROUND.PICK", as drafts are commonly written ("3.07" too).
std::optional<PickPlace> parsePickPlace(std::string_view text) {
    std::size_t dot = text.find('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    std::optional<int> round = parseInteger(text.substr(0, dot));
    std::optional<int> pick = parseInteger(text.substr(dot + 1));
    if (!round || !pick) {
        return std::nullopt;
    }
    return PickPlace{*round, *pick};
}

// Opens the season and runs `work` with the league, or says why it cannot.
template <class Work>
int withLeague(Session& session, int leagueId, Work work) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    const League* league = findLeague(session, season, leagueId);
    return league == nullptr ? kExitFailure : work(season, *league);
}

// Names a pick for a command, or tells the user how to name one.
template <class Work>
int withPickPlace(Session& session, const std::string& text, Work work) {
    std::optional<PickPlace> place = parsePickPlace(text);
    if (!place) {
        return session.output.usage("a pick is named ROUND.PICK, e.g. 3.7, not \"" + text + "\"");
    }
    return work(*place);
}

int emitRound(Session& session, Singleton& season, int league, int round, const std::string& done) {
    nlohmann::json rows = nlohmann::json::array();
    for (const TrackDraft* pick : season.draftQuery().roundInOrder(league, round)) {
        rows.push_back(pickRow(season, *pick));
    }
    nlohmann::json document = {{"league", league}, {"round", round}, {"picks", rows}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << done << '\n';
        for (const auto& row : rows) {
            printPick(out, row);
        }
    });
}

struct UndoArgs {
    int league = 0;
    std::string pick;
};

int undoPlace(Session& session, Singleton& season, int league, const TrackDraft* target,
              const std::function<DraftChange()>& undo) {
    nlohmann::json row = target ? pickRow(season, *target) : nlohmann::json();
    DraftChange change = undo();
    if (!change.ok()) {
        return session.output.fail(change.message);
    }
    row["league"] = league;
    return session.output.emit(row, [&](std::ostream& out) {
        out << "Took back pick " << row["pick"].get<int>() << " of round "
            << row["round"].get<int>() << " (" << row["franchise_name"].get<std::string>()
            << "): " << row["player_name"].get<std::string>() << " can be drafted again\n";
    });
}

int undoCommand(const UndoArgs& args, Session& session) {
    return withLeague(session, args.league, [&](Singleton& season, const League&) {
        if (args.pick.empty()) {
            return undoPlace(session, season, args.league, lastDraftedPick(season, args.league),
                             [&] { return undoLastPick(season, args.league); });
        }
        return withPickPlace(session, args.pick, [&](PickPlace place) {
            return undoPlace(session, season, args.league,
                             season.draftQuery().pickAt(args.league, place),
                             [&] { return undoPick(season, args.league, place); });
        });
    });
}

nlohmann::json slotJson(Singleton& season, const DraftSlot& slot) {
    return {{"round", slot.round},
            {"pick", slot.pick},
            {"franchise", slot.franchise == 0 ? nlohmann::json() : nlohmann::json(slot.franchise)},
            {"franchise_name", slot.franchise == 0
                                   ? nlohmann::json()
                                   : nlohmann::json(franchiseNameOrNote(season, slot.franchise))}};
}

void printSlot(std::ostream& out, const char* label, const nlohmann::json& slot) {
    out << cell(label, 14) << cell("Round " + std::to_string(slot["round"].get<int>()), 10)
        << cell("Pick " + std::to_string(slot["pick"].get<int>()), 9)
        << (slot["franchise"].is_null() ? std::string("(no draft order names the franchise)")
                                        : slot["franchise_name"].get<std::string>())
        << '\n';
}

void printStatus(std::ostream& out, const League& league, const nlohmann::json& document) {
    if (document["franchises"] == 0) {
        out << league.text(kLeagueName) << " has no franchises to draft\n";
        return;
    }
    if (document["finished"].get<bool>()) {
        out << "The draft of " << league.text(kLeagueName)
            << " is complete: " << document["picks_made"].get<int>() << " picks in "
            << document["rounds"].get<int>() << " rounds\n";
        return;
    }
    printSlot(out, "On the clock", document["on_the_clock"]);
    const char* label = "Next";
    for (const auto& slot : document["next"]) {
        printSlot(out, label, slot);
        label = "";
    }
    out << "Picks made: " << document["picks_made"].get<int>()
        << ", planned picks left: " << document["picks_planned"].get<int>() << '\n';
}

int statusCommand(int leagueId, Session& session) {
    return withLeague(session, leagueId, [&](Singleton& season, const League& league) {
        DraftStatus status = draftStatus(season, league);
        nlohmann::json next = nlohmann::json::array();
        for (const DraftSlot& slot : status.next) {
            next.push_back(slotJson(season, slot));
        }
        nlohmann::json document = {
            {"league", leagueId},
            {"rounds", status.rounds},
            {"franchises", status.franchises},
            {"picks_made", status.made},
            {"picks_planned", status.planned},
            {"once_per_round", oncePerRound(league)},
            {"finished", status.finished},
            {"on_the_clock",
             status.finished ? nlohmann::json() : slotJson(season, status.onTheClock)},
            {"next", next}};
        return session.output.emit(document,
                                   [&](std::ostream& out) { printStatus(out, league, document); });
    });
}

struct OrderAddArgs {
    int league = 0;
    int round = 0;
    int franchise = 0;
};

int orderAddCommand(const OrderAddArgs& args, Session& session) {
    return withLeague(session, args.league, [&](Singleton& season, const League&) {
        DraftChange change = addToDraftOrder(season, args.league, args.franchise, args.round);
        if (!change.ok()) {
            return session.output.fail(change.message);
        }
        return emitRound(session, season, args.league, args.round,
                         "Added " + franchiseNameOrNote(season, args.franchise) + " to round " +
                             std::to_string(args.round));
    });
}

struct OrderMoveArgs {
    int league = 0;
    std::string pick;
    std::optional<int> to;
    bool up = false;
    bool down = false;
};

int orderMoveCommand(const OrderMoveArgs& args, Session& session) {
    return withLeague(session, args.league, [&](Singleton& season, const League&) {
        return withPickPlace(session, args.pick, [&](PickPlace place) {
            int to = args.to.value_or(place.pick + (args.up ? -1 : 1));
            DraftChange change = moveDraftPickTo(season, args.league, place, to);
            if (!change.ok()) {
                return session.output.fail(change.message);
            }
            return emitRound(session, season, args.league, place.round,
                             "Moved pick " + std::to_string(place.pick) + " of round " +
                                 std::to_string(place.round) + " to place " + std::to_string(to));
        });
    });
}

int orderRemoveCommand(const UndoArgs& args, Session& session) {
    return withLeague(session, args.league, [&](Singleton& season, const League&) {
        return withPickPlace(session, args.pick, [&](PickPlace place) {
            DraftChange change = removeFromDraftOrder(season, args.league, place);
            if (!change.ok()) {
                return session.output.fail(change.message);
            }
            return emitRound(session, season, args.league, place.round,
                             "Removed pick " + std::to_string(place.pick) + " of round " +
                                 std::to_string(place.round));
        });
    });
}

void addUndoAndStatus(CLI::App& draft, CommandTable& table) {
    auto undo = std::make_shared<UndoArgs>();
    CLI::App* undoCommandApp = draft.add_subcommand(
        "undo",
        "Take a drafted player back (the last pick when no pick is named); the pick stays in "
        "the order, empty");
    undoCommandApp->add_option("--league", undo->league, "League id")->required();
    undoCommandApp->add_option("PICK", undo->pick, kPickHelp);
    table.add(undoCommandApp, [undo](Session& session) { return undoCommand(*undo, session); });

    auto league = std::make_shared<int>(0);
    CLI::App* status = draft.add_subcommand(
        "status", "Show who is on the clock: franchise, round and pick, and the next three");
    status->add_option("--league", *league, "League id")->required();
    table.add(status, [league](Session& session) { return statusCommand(*league, session); });
}

void addOrderEdits(CLI::App& order, CommandTable& table) {
    auto add = std::make_shared<OrderAddArgs>();
    CLI::App* addApp = order.add_subcommand("add", "Add a planned pick at the end of a round");
    addApp->add_option("--league", add->league, "League id")->required();
    addApp->add_option("--round", add->round, "Round, counted from 1")->required();
    addApp->add_option("--franchise", add->franchise, "Franchise id")->required();
    table.add(addApp, [add](Session& session) { return orderAddCommand(*add, session); });

    auto move = std::make_shared<OrderMoveArgs>();
    CLI::App* moveApp = order.add_subcommand("move", "Move a pick to another place of its round");
    moveApp->add_option("--league", move->league, "League id")->required();
    moveApp->add_option("PICK", move->pick, kPickHelp)->required();
    CLI::Option_group* where = moveApp->add_option_group("where", "Where the pick goes");
    where->add_option("--to", move->to, "Its new place in the round, counted from 1");
    where->add_flag("--up", move->up, "One place earlier");
    where->add_flag("--down", move->down, "One place later");
    where->require_option(1);
    table.add(moveApp, [move](Session& session) { return orderMoveCommand(*move, session); });

    auto remove = std::make_shared<UndoArgs>();
    CLI::App* removeApp =
        order.add_subcommand("remove", "Take a pick out of its round, with its player if any");
    removeApp->add_option("--league", remove->league, "League id")->required();
    removeApp->add_option("PICK", remove->pick, kPickHelp)->required();
    table.add(removeApp,
              [remove](Session& session) { return orderRemoveCommand(*remove, session); });
}

}  // namespace

void addDraftDayCommands(CLI::App& draft, CLI::App& order, CommandTable& table) {
    addUndoAndStatus(draft, table);
    addOrderEdits(order, table);
}

}  // namespace qff::cli
