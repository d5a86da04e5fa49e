#include "cli/StructureFields.h"

#include <algorithm>
#include <array>

#include "data02/model/Legqry.h"
#include "data02/model/Team.h"

namespace qff::cli {
namespace {

// Named after the grid's captions: "Your Name" is the commissioner's.
constexpr std::array<FieldOption, 4> kLeagueFields{{
    {kLeagueName, "name"},
    {kLeagueCommissioner, "your-name"},
    {kLeaguePhone, "your-phone"},
    {kLeagueEmail, "your-email"},
}};

constexpr std::array<FieldOption, 9> kFranchiseFields{{
    {kFranchiseName, "name"},
    {kOwnerName, "owner"},
    {kOwnerAddress, "address"},
    {kOwnerCity, "city"},
    {kOwnerState, "state"},
    {kOwnerZip, "zip"},
    {kOwnerEmail, "email"},
    {kOwnerHomePhone, "home-phone", "phone"},
    {kOwnerWorkPhone, "work-phone"},
}};

template <class Record>
void addFields(nlohmann::json& document, std::span<const FieldOption> fields,
               const Record& record) {
    for (const FieldOption& field : fields) {
        document[jsonKey(field)] = record.text(field.code);
    }
}

}  // namespace

std::span<const FieldOption> fieldOptions(StructureKind kind) {
    switch (kind) {
        case StructureKind::League:
            return kLeagueFields;
        case StructureKind::Franchise:
            return kFranchiseFields;
        default:
            return {};
    }
}

std::string jsonKey(const FieldOption& field) {
    std::string key = field.option;
    std::replace(key.begin(), key.end(), '-', '_');
    return key;
}

std::string optionNames(const FieldOption& field) {
    std::string names = std::string("--") + field.option;
    return field.alias == nullptr ? names : names + ",--" + field.alias;
}

void addLeagueFields(nlohmann::json& document, const League& league) {
    addFields(document, kLeagueFields, league);
}

void addFranchiseFields(nlohmann::json& document, const Team& team) {
    addFields(document, kFranchiseFields, team);
}

}  // namespace qff::cli
