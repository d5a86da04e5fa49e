#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "data02/diag/Status.h"
#include "data02/league/Listhelp.h"
#include "data02/reports/Format.h"
#include "data02/season/Prefs.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"

namespace qff::cli {
namespace {

struct Label {
    int id;
    const char* text;
};

// Only settings whose meaning the data library names get a label; the others
// are listed by identifier alone rather than with a guess.
constexpr Label kPrefLabels[] = {
    {kPrefOpenSeason, "open season"},           {kPrefMaximised, "window maximised"},
    {kPrefBackgroundImage, "background image"}, {kPrefTopPlayers, "top players"},
    {kPrefByeIsWin, "bye counts as win"},       {kPrefRosterLimitQB, "roster limit QB"},
    {kPrefRosterLimitSPE, "roster limit SPE"},  {kPrefMergeWrTe, "merge WR and TE"},
    {kPrefSmtpServer, "mail server"},           {kPrefMailLogin, "mail login"},
    {kPrefBackupDirectory, "backup folder"},    {kPrefBackupPassword, "backup password"},
    {kPrefAutoBackup, "automatic backup"},      {kPrefDraftTimerMinutes, "draft timer minutes"},
    {kPrefWarningSound, "warning sound"},       {kPrefTimeUpSound, "time-up sound"},
    {kPrefSeasonNotice, "season notice"},
};

// Every identifier the season state has, in order; 9013 does not exist.
constexpr Label kStateLabels[] = {
    {kLastSection, "last section"},
    {kLastActivity, "last activity"},
    {kCurrentLeague, "current league"},
    {kCurrentDivision, "current division"},
    {kCurrentFranchise, "current franchise"},
    {kCurrentNflTeam, "current pro team"},
    {kCurrentWeek, "current week"},
    {kViewWeek, "viewed week"},
    {kLastFranchiseId, "last franchise id"},
    {kLastDivisionId, "last division id"},
    {kLastLeagueId, "last league id"},
    {kLastReportId, "last report id"},
    {kReportInProgress, "report in progress"},
};

constexpr Label kStickyLabels[] = {
    {kStickyBonusFranchise, "bonus franchise"},
    {kStickyEntryTeam, "statistics team"},
    {kStickyEntryPlayer, "statistics player"},
};

constexpr std::size_t kLabelWidth = 22;

const char* labelOf(std::span<const Label> labels, int id) {
    for (const Label& label : labels) {
        if (label.id == id) {
            return label.text;
        }
    }
    return "";
}

// One identified setting as the settings commands list it.
struct Setting {
    int id;
    const char* label;
    nlohmann::json value;
};
using Settings = std::vector<Setting>;

nlohmann::json settingsObject(const Settings& settings) {
    nlohmann::json object = nlohmann::json::object();
    for (const Setting& setting : settings) {
        object[std::to_string(setting.id)] = setting.value;
    }
    return object;
}

// Texts are quoted so an empty or blank-ended text stays visible.
std::string plainValue(const nlohmann::json& value) {
    return value.is_string() ? '"' + value.get<std::string>() + '"' : value.dump();
}

void printSettings(std::ostream& out, const Settings& settings) {
    for (const Setting& setting : settings) {
        out << setting.id << "  " << cell(setting.label, kLabelWidth) << plainValue(setting.value)
            << '\n';
    }
}

int emitSettings(Output& output, const Settings& settings) {
    return output.emit(settingsObject(settings),
                       [&settings](std::ostream& out) { printSettings(out, settings); });
}

Preferences* loadedPreferences(Context& context, Output& output) {
    Preferences& preferences = context.season().preferences();
    if (preferences.load() != kOk) {
        output.fail(preferences.lastError());
        return nullptr;
    }
    return &preferences;
}

Setting prefSetting(const Preferences& preferences, int id) {
    nlohmann::json value = Preferences::isText(id) ? nlohmann::json(preferences.getText(id))
                                                   : nlohmann::json(preferences.get(id));
    return {id, labelOf(kPrefLabels, id), std::move(value)};
}

int listPrefs(Session& session) {
    auto context = Context::open(session);
    Preferences* preferences = context ? loadedPreferences(*context, session.output) : nullptr;
    if (preferences == nullptr) {
        return kExitFailure;
    }
    if (!preferences->isStored() && preferences->save() != kOk) {
        return session.output.fail(preferences->lastError());
    }
    Settings settings;
    for (int id = kFirstPrefId; id <= kLastPrefId; ++id) {
        if (Preferences::isKnown(id)) {
            settings.push_back(prefSetting(*preferences, id));
        }
    }
    return emitSettings(session.output, settings);
}

struct PrefChange {
    std::string id;
    std::string value;
};

int storePref(Preferences& preferences, int id, const std::string& text, int number,
              Output& output) {
    int status =
        Preferences::isText(id) ? preferences.setText(id, text) : preferences.set(id, number);
    if (status != kOk) {
        return output.fail("preference " + std::to_string(id) + " cannot be set");
    }
    if (preferences.save() != kOk) {
        return output.fail(preferences.lastError());
    }
    return emitSettings(output, {prefSetting(preferences, id)});
}

// The arguments are checked before anything is opened, so a mistake changes nothing.
int setPref(const PrefChange& change, Session& session) {
    Output& output = session.output;
    std::optional<int> id = parseInteger(change.id);
    if (!id) {
        return output.usage("a preference is named by its number, not \"" + change.id + "\"");
    }
    if (!Preferences::isKnown(*id)) {
        return output.fail("there is no preference " + change.id + " (they are numbered " +
                           std::to_string(kFirstPrefId) + " to " + std::to_string(kLastPrefId) +
                           ")");
    }
    if (Preferences::isText(*id) && holdsControlCharacter(change.value)) {
        return output.fail(controlCharacterMessage("preference " + change.id));
    }
    std::optional<int> number = parseInteger(change.value);
    if (!Preferences::isText(*id) && !number) {
        return output.usage("preference " + change.id + " takes a whole number, not \"" +
                            change.value + "\"");
    }
    auto context = Context::open(session);
    Preferences* preferences = context ? loadedPreferences(*context, output) : nullptr;
    if (preferences == nullptr) {
        return kExitFailure;
    }
    return storePref(*preferences, *id, change.value, number.value_or(0), output);
}

struct StateRequest {
    std::optional<int> year;
};

std::optional<int> seasonOf(const StateRequest& request, Context& context, Output& output) {
    if (request.year) {
        return request.year;
    }
    Preferences* preferences = loadedPreferences(context, output);
    if (preferences == nullptr) {
        return std::nullopt;
    }
    return preferences->get(kPrefOpenSeason);
}

// Counters are peeked, never read through get, which would hand out a new identifier.
Settings stateValues(const SeasonState& state) {
    Settings settings;
    for (const Label& label : kStateLabels) {
        settings.push_back({label.id, label.text, state.peek(label.id)});
    }
    return settings;
}

// Weeks are shown counted from 1, as the user counts them.
std::vector<int> statisticsWeeks(const SeasonState& state) {
    std::vector<int> weeks;
    for (int week = 0; week < kWeekSlots; ++week) {
        if (state.weekHasStats(week) != 0) {
            weeks.push_back(week + 1);
        }
    }
    return weeks;
}

void printState(std::ostream& out, int year, const Settings& values,
                const std::vector<int>& weeks) {
    out << "season " << year << '\n';
    printSettings(out, values);
    out << "weeks with statistics:";
    for (int week : weeks) {
        out << ' ' << week;
    }
    out << (weeks.empty() ? " none\n" : "\n");
}

int showState(const StateRequest& request, Session& session) {
    Output& output = session.output;
    auto context = Context::open(session);
    std::optional<int> year = context ? seasonOf(request, *context, output) : std::nullopt;
    if (!year) {
        return kExitFailure;
    }
    SeasonState& state = context->season().seasonState();
    if (state.open(*year) != kOk) {
        return output.fail(state.lastError());
    }
    Settings values = stateValues(state);
    std::vector<int> weeks = statisticsWeeks(state);
    nlohmann::json document = {
        {"season", *year}, {"values", settingsObject(values)}, {"statisticsWeeks", weeks}};
    return output.emit(document, [&](std::ostream& out) { printState(out, *year, values, weeks); });
}

int showSticky(Session& session) {
    auto context = Context::open(session);
    if (!context) {
        return kExitFailure;
    }
    const Sticky& sticky = context->season().sticky();
    if (!sticky.isLoaded()) {
        return session.output.fail(sticky.lastError());
    }
    Settings settings;
    for (int id = kFirstStickyId; id <= kLastStickyId; ++id) {
        if (Sticky::isKnown(id)) {
            nlohmann::json value = Sticky::isText(id) ? nlohmann::json(sticky.getText(id))
                                                      : nlohmann::json(sticky.getInt(id));
            settings.push_back({id, labelOf(kStickyLabels, id), std::move(value)});
        }
    }
    return emitSettings(session.output, settings);
}

void addPrefsCommands(CLI::App& app, CommandTable& table) {
    CLI::App* prefs = app.add_subcommand(
        "prefs", "List the preferences, creating Prefs.db with its defaults when missing");
    prefs->require_subcommand(0, 1);
    table.add(prefs, listPrefs);

    auto change = std::make_shared<PrefChange>();
    CLI::App* set = prefs->add_subcommand("set", "Store one preference and save Prefs.db");
    set->add_option("id", change->id, "Preference number, 8000 to 8041")->required();
    set->add_option("value", change->value, "A whole number, or the text of a text preference")
        ->required();
    table.add(set, [change](Session& session) { return setPref(*change, session); });
}

void addStateCommand(CLI::App& app, CommandTable& table) {
    auto request = std::make_shared<StateRequest>();
    CLI::App* state =
        app.add_subcommand("state", "List a season's state and the weeks that have statistics");
    state->add_option("--year", request->year,
                      "Season year (default: the open season of the preferences)");
    table.add(state, [request](Session& session) { return showState(*request, session); });
}

void addStickyCommand(CLI::App& app, CommandTable& table) {
    CLI::App* sticky = app.add_subcommand("sticky", "List the remembered dialog settings");
    table.add(sticky, showSticky);
}

}  // namespace

void addSettingsCommands(CLI::App& app, CommandTable& table) {
    addPrefsCommands(app, table);
    addStateCommand(app, table);
    addStickyCommand(app, table);
}

}  // namespace qff::cli
