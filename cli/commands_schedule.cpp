#include <array>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CommandTable.h"
#include "data02/model/Divqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Format.h"
#include "data02/schedule/Schedule.h"

namespace qff::cli {
namespace {

constexpr std::array<const char*, 7> kDayNames{"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"};

std::string dayName(int day) {
    return day >= 1 && day <= 7 ? kDayNames[day - 1] : std::to_string(day);
}

std::string nflTeamName(Singleton& season, int team) {
    std::string name = season.pro().teamName(false, team);
    return name.empty() ? "team " + std::to_string(team) : name;
}

// The 0-based weeks to list: the one asked for (counted from 1), else the season's.
std::optional<std::vector<int>> weeksToList(Session& session, Singleton& season,
                                            std::optional<int> week) {
    int weeks = std::min(season.pro().weeks(), kWeekSlots);
    if (week && (*week < 1 || *week > weeks)) {
        session.output.fail("week " + std::to_string(*week) + " is outside the season's " +
                            std::to_string(weeks) + " weeks");
        return std::nullopt;
    }
    std::vector<int> list;
    for (int w = week ? *week - 1 : 0; w < (week ? *week : weeks); ++w) {
        list.push_back(w);
    }
    return list;
}

std::string groupName(Singleton& season, const GroupResult& group) {
    if (group.division == kNoDivision) {
        return "the franchises outside any division";
    }
    const Division* division = season.divisionQuery().findOne(kDivisionId, group.division);
    return "division \"" + (division ? division->text(kDivisionName) : std::string("?")) + "\"";
}

const char* outcomeName(GroupResult::Outcome outcome) {
    switch (outcome) {
        case GroupResult::Outcome::Done:
            return "generated";
        case GroupResult::Outcome::TooLarge:
            return "too_large";
        default:
            return "incomplete";
    }
}

std::string problemText(Singleton& season, const GroupResult& group) {
    if (group.outcome == GroupResult::Outcome::TooLarge) {
        return groupName(season, group) + " has " + std::to_string(group.franchises) +
               " franchises; the generator schedules at most " +
               std::to_string(Schedule::kMaxGroup) + ", so they got no games";
    }
    return "the round robin of " + groupName(season, group) +
           " could not be completed; some of its weeks lack games";
}

int reportGeneration(Session& session, Singleton& season, const League& league,
                     const GenerationResult& result) {
    nlohmann::json groups = nlohmann::json::array();
    for (const GroupResult& group : result.groups) {
        groups.push_back({{"division", group.division},
                          {"franchises", group.franchises},
                          {"outcome", outcomeName(group.outcome)}});
        if (group.outcome != GroupResult::Outcome::Done) {
            session.output.warn(problemText(season, group));
        }
    }
    nlohmann::json document = {{"league", league.getValue(kLeagueId)},
                               {"name", league.text(kLeagueName)},
                               {"complete", result.complete()},
                               {"groups", groups}};
    session.output.emit(document, [&](std::ostream& out) {
        out << "Generated the schedule of " << league.text(kLeagueName) << '\n';
        for (const GroupResult& group : result.groups) {
            out << "  " << cell(groupName(season, group), 40) << group.franchises << " franchises, "
                << outcomeName(group.outcome) << '\n';
        }
    });
    return result.complete() ? kExitOk : kExitFailure;
}

int gameCount(Schedule& schedule, int league) {
    std::size_t games = 0;
    for (int w = 0; w < kWeekSlots; ++w) {
        games += schedule.games(league, w).size();
    }
    return static_cast<int>(games);
}

int generateCommand(int leagueId, bool replace, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    const League* league = findLeague(session, season, leagueId);
    if (league == nullptr) {
        return kExitFailure;
    }
    Schedule& schedule = season.schedule();
    if (!replace && schedule.hasSchedule(leagueId)) {
        return session.output.fail("league \"" + league->text(kLeagueName) + "\" already has " +
                                   std::to_string(gameCount(schedule, leagueId)) +
                                   " games scheduled; generating erases them all (add --yes to "
                                   "replace them)");
    }
    GenerationResult result = schedule.generateLeague(leagueId);
    if (result.status != kOk) {
        return session.output.fail("the schedule could not be generated: " + schedule.lastError());
    }
    return reportGeneration(session, season, *league, result);
}

nlohmann::json sideOf(Singleton& season, int id) {
    if (id == kByeSide) {
        return {{"id", id}, {"name", "BYE"}};
    }
    return {{"id", id}, {"name", franchiseNameOrNote(season, id)}};
}

int emitGames(Session& session, Singleton& season, int leagueId, const std::vector<int>& weeks) {
    nlohmann::json rows = nlohmann::json::array();
    for (int w : weeks) {
        for (const FantasyGame& game : season.schedule().games(leagueId, w)) {
            rows.push_back({{"week", w + 1},
                            {"home", sideOf(season, game.home)},
                            {"away", sideOf(season, game.away)}});
        }
    }
    return session.output.emit(rows, [&](std::ostream& out) {
        if (rows.empty()) {
            out << "No games scheduled.\n";
        }
        for (const auto& row : rows) {
            out << cell("Week " + std::to_string(row["week"].get<int>()), 9)
                << cell(std::to_string(row["home"]["id"].get<int>()), 7)
                << cell(row["home"]["name"], 30) << "v  "
                << (row["away"]["id"] == kByeSide
                        ? std::string("BYE")
                        : std::to_string(row["away"]["id"].get<int>()) + "  " +
                              row["away"]["name"].get<std::string>())
                << '\n';
        }
    });
}

int showCommand(int leagueId, std::optional<int> week, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    std::optional<std::vector<int>> weeks = weeksToList(session, season, week);
    if (!weeks || findLeague(session, season, leagueId) == nullptr) {
        return kExitFailure;
    }
    return emitGames(session, season, leagueId, *weeks);
}

std::optional<int> awaySide(Session& session, const std::string& away) {
    if (away == "bye" || away == "BYE") {
        return kByeSide;
    }
    try {
        std::size_t used = 0;
        int id = std::stoi(away, &used);
        if (used == away.size()) {
            return id;
        }
    } catch (const std::exception&) {
    }
    session.output.fail("the away side must be a franchise id or \"bye\", not \"" + away + "\"");
    return std::nullopt;
}

int setCommand(int leagueId, int week, int home, const std::string& away, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    std::optional<int> awayId = awaySide(session, away);
    if (!awayId || findLeague(session, season, leagueId) == nullptr) {
        return kExitFailure;
    }
    Schedule& schedule = season.schedule();
    if (schedule.setGame(leagueId, week - 1, {home, *awayId}) != kOk) {
        return session.output.fail(schedule.lastError());
    }
    return emitGames(session, season, leagueId, {week - 1});
}

struct ClearChoice {
    std::optional<int> week;
    bool all = false;
    bool confirmed = false;
};

int clearCommand(int leagueId, const ClearChoice& choice, Session& session) {
    if (!choice.all && !choice.week) {
        return session.output.fail(
            "name the week to clear with --week, or clear them all with --all");
    }
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    const League* league = findLeague(session, season, leagueId);
    if (league == nullptr) {
        return kExitFailure;
    }
    std::string what = choice.all ? "every week" : "week " + std::to_string(*choice.week);
    if (!choice.confirmed) {
        return session.output.fail("clearing erases the games of " + what + " of league \"" +
                                   league->text(kLeagueName) + "\" (add --yes to clear them)");
    }
    Schedule& schedule = season.schedule();
    int status =
        choice.all ? schedule.reset(leagueId) : schedule.clearWeek(leagueId, *choice.week - 1);
    if (status != kOk) {
        return session.output.fail(schedule.lastError());
    }
    nlohmann::json document = {
        {"league", leagueId},
        {"cleared", choice.all ? nlohmann::json("all") : nlohmann::json(*choice.week)}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << "Cleared " << what << " of " << league->text(kLeagueName) << '\n';
    });
}

void printNfl(std::ostream& out, const nlohmann::json& document) {
    for (const auto& row : document["games"]) {
        out << cell("Week " + std::to_string(row["week"].get<int>()), 9) << cell(row["day"], 5)
            << cell(row["date"], 7) << cell(row["home"], 24) << "v  "
            << row["away"].get<std::string>() << '\n';
    }
    for (const auto& row : document["off"]) {
        out << cell("Week " + std::to_string(row["week"].get<int>()), 9) << "off  "
            << row["team"].get<std::string>() << '\n';
    }
}

int nflCommand(std::optional<int> week, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    Singleton& season = context->season();
    std::optional<std::vector<int>> weeks = weeksToList(session, season, week);
    if (!weeks) {
        return kExitFailure;
    }
    nlohmann::json games = nlohmann::json::array();
    nlohmann::json off = nlohmann::json::array();
    for (int w : *weeks) {
        NflWeek nfl = season.schedule().nflWeek(w);
        for (const NflGame& game : nfl.games()) {
            games.push_back(
                {{"week", w + 1},
                 {"day", dayName(game.day)},
                 {"date", std::to_string(game.date1) + "-" + std::to_string(game.date2)},
                 {"home", nflTeamName(season, game.home)},
                 {"away", nflTeamName(season, game.away)}});
        }
        for (int team : nfl.offTeams()) {
            off.push_back({{"week", w + 1}, {"team", nflTeamName(season, team)}});
        }
    }
    nlohmann::json document = {{"games", games}, {"off", off}};
    return session.output.emit(document, [&](std::ostream& out) { printNfl(out, document); });
}

}  // namespace

void addScheduleCommands(CLI::App& app, CommandTable& table) {
    CLI::App* schedule = app.add_subcommand("schedule", "Head-to-head and NFL schedules");
    schedule->require_subcommand(1);

    auto league = std::make_shared<int>(0);
    auto replace = std::make_shared<bool>(false);
    CLI::App* generate =
        schedule->add_subcommand("generate", "Replace a league's schedule by round robins");
    generate->add_option("--league", *league, "League id")->required();
    generate->add_flag("--yes", *replace, "Replace a schedule the league already has");
    table.add(generate, [league, replace](Session& session) {
        return generateCommand(*league, *replace, session);
    });

    auto showLeague = std::make_shared<int>(0);
    auto showWeek = std::make_shared<std::optional<int>>();
    CLI::App* show = schedule->add_subcommand("show", "List a league's head-to-head games");
    show->add_option("--league", *showLeague, "League id")->required();
    show->add_option("--week", *showWeek, "Only this week, counted from 1");
    table.add(show, [showLeague, showWeek](Session& session) {
        return showCommand(*showLeague, *showWeek, session);
    });

    auto setLeague = std::make_shared<int>(0);
    auto setWeek = std::make_shared<int>(0);
    auto setHome = std::make_shared<int>(0);
    auto setAway = std::make_shared<std::string>();
    CLI::App* set = schedule->add_subcommand("set", "Add a game to a week of a league's schedule");
    set->add_option("--league", *setLeague, "League id")->required();
    set->add_option("--week", *setWeek, "Week, counted from 1")->required();
    set->add_option("home", *setHome, "Home franchise id")->required();
    set->add_option("away", *setAway, "Away franchise id, or bye")->required();
    table.add(set, [setLeague, setWeek, setHome, setAway](Session& session) {
        return setCommand(*setLeague, *setWeek, *setHome, *setAway, session);
    });

    auto clearLeague = std::make_shared<int>(0);
    auto clearChoice = std::make_shared<ClearChoice>();
    CLI::App* clear = schedule->add_subcommand("clear", "Empty one week or every week of a league");
    clear->add_option("--league", *clearLeague, "League id")->required();
    CLI::Option* clearWeek = clear->add_option("--week", clearChoice->week, "Week, counted from 1");
    CLI::Option* clearAll = clear->add_flag("--all", clearChoice->all, "Every week");
    clearWeek->excludes(clearAll);
    clear->add_flag("--yes", clearChoice->confirmed, "Confirm the games are to be erased");
    table.add(clear, [clearLeague, clearChoice](Session& session) {
        return clearCommand(*clearLeague, *clearChoice, session);
    });

    auto nflWeek = std::make_shared<std::optional<int>>();
    CLI::App* nfl = schedule->add_subcommand("nfl", "List the NFL games and off teams");
    nfl->add_option("--week", *nflWeek, "Only this week, counted from 1");
    table.add(nfl, [nflWeek](Session& session) { return nflCommand(*nflWeek, session); });
}

}  // namespace qff::cli
