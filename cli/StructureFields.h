#pragma once

#include <span>
#include <string>

#include <nlohmann/json.hpp>

#include "data02/league/Structure.h"

namespace qff {
class League;
class Team;
}  // namespace qff

namespace qff::cli {

// A field of the setup window's property grid as qff names it: the option
// that sets it is "--" + option, and JSON shows it under the option's name
// with underscores.
struct FieldOption {
    int code;
    const char* option;
    // A second name the option answers to, for the field a user looks for first.
    const char* alias = nullptr;
};

// The fields "league set" and "franchise set" change; none for divisions,
// which "division rename" covers.
std::span<const FieldOption> fieldOptions(StructureKind kind);
std::string jsonKey(const FieldOption& field);
// "--home-phone,--phone": the option's names as the command line takes them.
std::string optionNames(const FieldOption& field);

void addLeagueFields(nlohmann::json& document, const League& league);
void addFranchiseFields(nlohmann::json& document, const Team& team);

}  // namespace qff::cli
