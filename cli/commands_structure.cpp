#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/CommandTable.h"
#include "cli/StructureFields.h"
#include "data02/league/Draftday.h"
#include "data02/league/Structure.h"
#include "data02/model/Divqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Teamqry.h"

namespace qff::cli {
namespace {

struct AddArgs {
    std::string name;
    std::string shortName;
    std::optional<int> league;
    std::optional<int> division;
};

struct RenameArgs {
    int id = 0;
    std::string name;
    std::string shortName;
};

struct MoveArgs {
    int id = 0;
    std::optional<int> to;
    std::optional<int> toLeague;
    bool yes = false;
};

// One value per field option; an option left out keeps its field.
struct SetArgs {
    int id = 0;
    std::vector<std::optional<std::string>> values;
    // A league's draft settings.
    std::optional<int> rounds;
    std::optional<std::string> oncePerRound;

    DraftSettings draft() const {
        return {rounds, oncePerRound ? std::optional<bool>(*oncePerRound == "on") : std::nullopt};
    }
    bool changesDraft() const { return rounds || oncePerRound; }
};

struct DeleteArgs {
    int id = 0;
    bool yes = false;
};

const char* kindName(StructureKind kind) {
    switch (kind) {
        case StructureKind::League:
            return "league";
        case StructureKind::Division:
            return "division";
        default:
            return "franchise";
    }
}

// The object as the season now holds it: ids, place and names.
nlohmann::json describe(Singleton& season, StructureNode node) {
    nlohmann::json document = {{"kind", kindName(node.kind)}, {"id", node.id}};
    if (node.kind == StructureKind::League) {
        const League& league = *season.leagueQuery().findOne(kLeagueId, node.id);
        addLeagueFields(document, league);
        document["rounds"] = draftRounds(league);
        document["once_per_round"] = oncePerRound(league);
    } else if (node.kind == StructureKind::Division) {
        const Division* division = season.divisionQuery().findOne(kDivisionId, node.id);
        document["name"] = division->text(kDivisionName);
        document["short_name"] = division->text(kDivisionShortName);
        document["league"] = division->getValue(kDivisionLeague);
    } else {
        const Team* team = season.teamQuery().findOne(kFranchiseId, node.id);
        addFranchiseFields(document, *team);
        document["league"] = team->getValue(kFranchiseLeague, kAllWeeks);
        int division = team->getValue(kFranchiseDivision, kAllWeeks);
        document["division"] =
            division == kNoDivision ? nlohmann::json() : nlohmann::json(division);
    }
    return document;
}

int emitObject(Session& session, Singleton& season, StructureNode node, const std::string& verb) {
    nlohmann::json document = describe(season, node);
    return session.output.emit(document, [&](std::ostream& out) {
        out << verb << ' ' << document["kind"].get<std::string>() << ' ' << node.id << " \""
            << document["name"].get<std::string>() << "\"\n";
    });
}

// Opens the season and runs one structure change against it.
template <class Change>
int withSeason(Session& session, Change change) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    return change(context->season());
}

int addCommand(StructureKind kind, const AddArgs& args, Session& session) {
    return withSeason(session, [&](Singleton& season) {
        StructureResult result;
        if (kind == StructureKind::League) {
            result = createLeague(season, args.name);
        } else if (kind == StructureKind::Division) {
            result = createDivision(season, *args.league, args.name, args.shortName);
        } else {
            StructureNode parent = args.division
                                       ? StructureNode{StructureKind::Division, *args.division}
                                       : StructureNode{StructureKind::League, *args.league};
            result = createFranchise(season, parent, args.name);
        }
        if (!result.ok()) {
            return session.output.fail(result.message);
        }
        return emitObject(session, season, {kind, result.id}, "Created");
    });
}

int renameCommand(StructureKind kind, const RenameArgs& args, Session& session) {
    return withSeason(session, [&](Singleton& season) {
        std::vector<FieldText> fields{{nameRow(kind).code, args.name}};
        if (!args.shortName.empty()) {
            fields.push_back({kDivisionShortName, args.shortName});
        }
        StructureResult result = saveProperties(season, {kind, args.id}, fields);
        if (!result.ok()) {
            return session.output.fail(result.message);
        }
        return emitObject(session, season, {kind, args.id}, "Renamed");
    });
}

// A league's draft settings are checked before the fields are stored, and
// the fields are all checked before any is stored, so a refusal stores
// nothing.
int storeSetArgs(Session& session, Singleton& season, StructureKind kind, const SetArgs& args,
                 const std::vector<FieldText>& fields) {
    DraftChange draft =
        args.changesDraft() ? checkDraftSettings(season, args.id, args.draft()) : DraftChange{};
    if (!draft.ok()) {
        return session.output.fail(draft.message);
    }
    if (!fields.empty()) {
        if (StructureResult result = saveProperties(season, {kind, args.id}, fields);
            !result.ok()) {
            return session.output.fail(result.message);
        }
    }
    if (args.changesDraft()) {
        draft = saveDraftSettings(season, args.id, args.draft());
    }
    return draft.ok() ? emitObject(session, season, {kind, args.id}, "Saved")
                      : session.output.fail(draft.message);
}

int setCommand(StructureKind kind, const SetArgs& args, Session& session) {
    std::span<const FieldOption> options = fieldOptions(kind);
    std::vector<FieldText> fields;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (args.values[i]) {
            fields.push_back({options[i].code, *args.values[i]});
        }
    }
    if (fields.empty() && !args.changesDraft()) {
        return session.output.usage(std::string("give at least one field of the ") +
                                    kindName(kind) + " to set");
    }
    return withSeason(session, [&](Singleton& season) {
        return storeSetArgs(session, season, kind, args, fields);
    });
}

std::string countOf(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string moveConsequences(const MovePlan& plan) {
    return "moving it from league " + std::to_string(plan.fromLeague) + " to league " +
           std::to_string(plan.toLeague) + " takes " +
           countOf(plan.franchises.size(), "franchise") + " out of the old league's schedule (" +
           countOf(plan.games, "game") + " become byes for their opponents) and carries " +
           countOf(plan.picks, "draft pick") + " along (add --yes to move)";
}

int moveCommand(StructureKind kind, const MoveArgs& args, Session& session) {
    return withSeason(session, [&](Singleton& season) {
        StructureNode object{kind, args.id};
        StructureNode target =
            args.to && kind == StructureKind::Franchise
                ? StructureNode{StructureKind::Division, *args.to}
                : StructureNode{StructureKind::League, args.to ? *args.to : *args.toLeague};
        std::unique_ptr<DraftPicks> picks = seasonDraftPicks(season);
        MovePlan plan = planMove(season, *picks, object, target);
        if (!plan.check.ok()) {
            return session.output.fail(plan.check.message);
        }
        if (plan.needsConfirmation() && !args.yes) {
            return session.output.fail(moveConsequences(plan));
        }
        StructureResult result = move(season, *picks, object, target);
        if (!result.ok()) {
            return session.output.fail(result.message);
        }
        nlohmann::json document = describe(season, object);
        document["from_league"] = plan.fromLeague;
        document["franchises"] = plan.franchises;
        document["games_removed"] = plan.changesLeague() ? plan.games : 0;
        document["picks_moved"] = plan.changesLeague() ? plan.picks : 0;
        return session.output.emit(document, [&](std::ostream& out) {
            out << "Moved " << kindName(kind) << ' ' << args.id << " \""
                << document["name"].get<std::string>() << "\" to " << kindName(target.kind) << ' '
                << target.id << '\n';
        });
    });
}

std::string deleteConsequences(StructureKind kind, const DeletePlan& plan) {
    std::string losses = countOf(plan.franchises.size(), "franchise");
    if (kind == StructureKind::League) {
        losses = countOf(plan.divisions.size(), "division") + ", " + losses;
    }
    return std::string("deleting ") + kindName(kind) + " \"" + plan.name + "\" destroys " + losses +
           ", " + countOf(plan.picks, "draft pick") + " and " + countOf(plan.games, "game") +
           " of the schedule, whose opponents get byes (add --yes to delete)";
}

int deleteCommand(StructureKind kind, const DeleteArgs& args, Session& session) {
    return withSeason(session, [&](Singleton& season) {
        StructureNode object{kind, args.id};
        std::unique_ptr<DraftPicks> picks = seasonDraftPicks(season);
        DeletePlan plan = planDelete(season, *picks, object);
        if (!plan.check.ok()) {
            return session.output.fail(plan.check.message);
        }
        if (!args.yes) {
            return session.output.fail(deleteConsequences(kind, plan));
        }
        StructureResult result = remove(season, *picks, object);
        if (!result.ok()) {
            return session.output.fail(result.message);
        }
        nlohmann::json document = {{"kind", kindName(kind)},
                                   {"id", args.id},
                                   {"name", plan.name},
                                   {"divisions", plan.divisions},
                                   {"franchises", plan.franchises},
                                   {"games_removed", plan.games},
                                   {"picks_deleted", plan.picks}};
        return session.output.emit(document, [&](std::ostream& out) {
            out << "Deleted " << kindName(kind) << ' ' << args.id << " \"" << plan.name << "\"\n";
        });
    });
}

void addAdd(CLI::App& parent, StructureKind kind, CommandTable& table) {
    auto args = std::make_shared<AddArgs>();
    CLI::App* add = parent.add_subcommand("add", std::string("Create a ") + kindName(kind));
    add->add_option("name", args->name, "Its name; a numbered default name when left out");
    if (kind == StructureKind::Division) {
        add->add_option("--league", args->league, "League the division belongs to")->required();
        add->add_option("--short", args->shortName, "Short name, at most 4 characters");
    } else if (kind == StructureKind::Franchise) {
        CLI::Option_group* place = add->add_option_group("place", "Where the franchise goes");
        place->add_option("--division", args->division, "Division the franchise plays in");
        place->add_option("--league", args->league, "League, for a franchise without division");
        place->require_option(1);
    }
    table.add(add, [kind, args](Session& session) { return addCommand(kind, *args, session); });
}

void addRename(CLI::App& parent, StructureKind kind, CommandTable& table) {
    auto args = std::make_shared<RenameArgs>();
    CLI::App* rename = parent.add_subcommand("rename", std::string("Rename a ") + kindName(kind));
    rename->add_option("id", args->id)->required();
    rename->add_option("new_name", args->name)->required();
    if (kind == StructureKind::Division) {
        rename->add_option("--short", args->shortName, "New short name as well");
    }
    table.add(rename,
              [kind, args](Session& session) { return renameCommand(kind, *args, session); });
}

std::string optionHelp(const PropertyRow& row) {
    return std::string(row.label) + ", at most " + std::to_string(row.maxLength) + " characters" +
           (row.required ? "" : "; \"\" clears it");
}

void addSet(CLI::App& parent, StructureKind kind, CommandTable& table) {
    auto args = std::make_shared<SetArgs>();
    std::span<const FieldOption> options = fieldOptions(kind);
    args->values.resize(options.size());
    CLI::App* set = parent.add_subcommand(
        "set", std::string("Change the fields of a ") + kindName(kind) +
                   " as the setup window does; the fields left out stay as they are");
    set->add_option("id", args->id)->required();
    for (std::size_t i = 0; i < options.size(); ++i) {
        set->add_option(optionNames(options[i]), args->values[i],
                        optionHelp(*propertyRow(kind, options[i].code)));
    }
    if (kind == StructureKind::League) {
        set->add_option("--rounds", args->rounds,
                        "Rounds of the draft: players each franchise drafts, 1 to 32");
        set->add_option("--once-per-round", args->oncePerRound,
                        "Teams can only pick once per round: on or off")
            ->check(CLI::IsMember({"on", "off"}));
    }
    table.add(set, [kind, args](Session& session) { return setCommand(kind, *args, session); });
}

void addMove(CLI::App& parent, StructureKind kind, CommandTable& table) {
    auto args = std::make_shared<MoveArgs>();
    CLI::App* move = parent.add_subcommand("move", std::string("Move a ") + kindName(kind));
    move->add_option("id", args->id)->required();
    if (kind == StructureKind::Franchise) {
        CLI::Option_group* target = move->add_option_group("target", "Where the franchise goes");
        target->add_option("--to", args->to, "Division to move into");
        target->add_option("--to-league", args->toLeague,
                           "League to move into, outside any division");
        target->require_option(1);
    } else {
        move->add_option("--to", args->to, "League to move into")->required();
    }
    move->add_flag("--yes", args->yes, "Confirm a move to another league");
    table.add(move, [kind, args](Session& session) { return moveCommand(kind, *args, session); });
}

void addDelete(CLI::App& parent, StructureKind kind, CommandTable& table) {
    auto args = std::make_shared<DeleteArgs>();
    CLI::App* remove = parent.add_subcommand(
        "delete", std::string("Delete a ") + kindName(kind) + " and everything that depends on it");
    remove->add_option("id", args->id)->required();
    remove->add_flag("--yes", args->yes, "Confirm the deletion");
    table.add(remove,
              [kind, args](Session& session) { return deleteCommand(kind, *args, session); });
}

}  // namespace

void addLeagueStructureCommands(CLI::App& app, CommandTable& table) {
    const StructureKind kinds[] = {StructureKind::League, StructureKind::Division,
                                   StructureKind::Franchise};
    for (StructureKind kind : kinds) {
        CLI::App* parent = app.add_subcommand(
            kindName(kind),
            std::string("Create, rename, change, move and delete a ") + kindName(kind));
        parent->require_subcommand(1);
        addAdd(*parent, kind, table);
        addRename(*parent, kind, table);
        if (kind != StructureKind::Division) {
            addSet(*parent, kind, table);
        }
        if (kind != StructureKind::League) {
            addMove(*parent, kind, table);
        }
        addDelete(*parent, kind, table);
    }
}

}  // namespace qff::cli
