#include "data02/reports/Rpt_assist.h"

#include <algorithm>
#include <cctype>

#include "data02/league/Listhelp.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Single.h"

namespace qff {

namespace {

constexpr int kPositionCount = 7;
constexpr int kUnitGroupOffset = 10;

// The position groups of `units`, in the order the page stores them.
std::vector<int> groupsOf(PlayerUnits units) {
    std::vector<int> groups;
    if (units != PlayerUnits::Team) {
        for (int p = 0; p < kPositionCount; ++p) {
            groups.push_back(p);
        }
    }
    if (units != PlayerUnits::Individual) {
        for (int p = 0; p < kPositionCount; ++p) {
            groups.push_back(p + kUnitGroupOffset);
        }
    }
    return groups;
}

std::vector<int> prefixed(int first, std::vector<int> rest) {
    rest.insert(rest.begin(), first);
    return rest;
}

std::vector<int> positionValues(PlayerUnits units, int position) {
    switch (units) {
        case PlayerUnits::Individual:
            return {position};
        case PlayerUnits::Team:
            return {position + kUnitGroupOffset};
        case PlayerUnits::All:
            break;
    }
    return {position, position + kUnitGroupOffset};
}

PlayerUnits unitsOfGroups(const std::vector<int>& values, std::size_t first) {
    if (values.size() > first + kPositionCount) {
        return PlayerUnits::All;
    }
    return values.size() > first && values[first] >= kUnitGroupOffset ? PlayerUnits::Team
                                                                      : PlayerUnits::Individual;
}

int valueAt(const std::vector<int>& values, std::size_t i) {
    return i < values.size() ? values[i] : 0;
}

}  // namespace

std::string reportTypeMark(int type) {
    switch (type) {
        case kPlayerReport:
            return "P";
        case kFranchiseReport:
            return "F";
        case kReportPack:
            return "R";
        default:
            return "";
    }
}

std::string ReportListEntry::caption() const {
    std::string mark = reportTypeMark(type);
    return name + (mark.empty() ? "" : "  (" + mark + ")") + "  " + std::to_string(id);
}

std::vector<ReportListEntry> reportsWithFlag(Singleton& context, int flag, int exceptId) {
    std::vector<ReportListEntry> entries;
    for (const Report* report : context.mapFactory().reports().list()) {
        if (report->getValue(flag) != 0 && report->id() != exceptId) {
            entries.push_back({report->id(), report->type(), report->name()});
        }
    }
    std::ranges::stable_sort(entries, [](const ReportListEntry& a, const ReportListEntry& b) {
        return lowerCase(a.name) < lowerCase(b.name);
    });
    return entries;
}

std::string columnListText(int code) {
    std::string name = Report::columnListName(code);
    return name.empty() ? "ERROR - No str for col #" + std::to_string(code) : name;
}

std::string sectionRangeText(const ReportSection& section) {
    std::string first = std::to_string(section.first + 1);
    return section.last <= section.first ? first : first + " - " + std::to_string(section.last + 1);
}

std::string sectionListText(const ReportSection& section) {
    return section.title.empty() ? kNoSectionTitleEntry : section.title;
}

bool isReportTextKey(char32_t character) {
    return character == U' ' || character == U'-' || character == U'_' ||
           (character < 0x80 && std::isalnum(static_cast<int>(character)) != 0);
}

ReportRows playerRowsOf(const PlayerRowsChoice& choice) {
    ReportRows rows;
    switch (choice.group) {
        case PlayerGroup::AllGroups:
            rows.kind = PlayerQueryNode::kByPosition;
            rows.values = groupsOf(choice.units);
            break;
        case PlayerGroup::Position:
            rows.kind = PlayerQueryNode::kByPosition;
            rows.values = positionValues(choice.units, choice.position);
            break;
        case PlayerGroup::NflTeam:
            if (choice.units == PlayerUnits::All) {
                rows.kind = PlayerQueryNode::kByTeam;
                rows.values = {choice.nflTeam};
            } else {
                rows.kind = kPlayersOfNflTeamByGroup;
                rows.values = prefixed(choice.nflTeam, groupsOf(choice.units));
            }
            break;
        case PlayerGroup::Franchise:
            rows.kind = kPlayersOfFranchise;
            rows.values = prefixed(choice.franchiseId, groupsOf(choice.units));
            rows.rosterPart = choice.rosterPart;
            break;
    }
    return rows;
}

PlayerRowsChoice playerChoiceOf(Singleton& context, const ReportRows& rows) {
    PlayerRowsChoice choice;
    const std::vector<int>& values = rows.values;
    switch (rows.kind) {
        case PlayerQueryNode::kByTeam:
            choice.group = PlayerGroup::NflTeam;
            choice.units = PlayerUnits::All;
            choice.nflTeam = valueAt(values, 0);
            break;
        case PlayerQueryNode::kByPosition:
            if (values.size() > 2) {
                choice.units = unitsOfGroups(values, 0);
                break;
            }
            choice.group = PlayerGroup::Position;
            if (valueAt(values, 0) < kUnitGroupOffset) {
                choice.units = values.size() > 1 ? PlayerUnits::All : PlayerUnits::Individual;
                choice.position = valueAt(values, 0);
            } else {
                choice.units = PlayerUnits::Team;
                choice.position = values[0] - kUnitGroupOffset;
            }
            break;
        case kPlayersOfNflTeamByGroup:
            choice.group = PlayerGroup::NflTeam;
            choice.nflTeam = valueAt(values, 0);
            choice.units = unitsOfGroups(values, 1);
            break;
        case kPlayersOfFranchise:
            choice.units = unitsOfGroups(values, 1);
            if (context.mapFactory().franchises().findFirst(kFranchiseId, valueAt(values, 0))) {
                choice.group = PlayerGroup::Franchise;
                choice.franchiseId = values[0];
                bool known = rows.rosterPart >= kActiveAndBench && rows.rosterPart <= kBenchOnly;
                choice.rosterPart = known ? rows.rosterPart : kActiveAndBench;
            }
            break;
        default:
            break;
    }
    return choice;
}

ReportRows franchiseRowsOf(const FranchiseRowsChoice& choice) {
    switch (choice.group) {
        case FranchiseGroup::One:
            return {kOneFranchise, {choice.id}, kActiveAndBench};
        case FranchiseGroup::Division:
            return {kFranchisesOfDivision, {choice.id}, kActiveAndBench};
        case FranchiseGroup::All:
            break;
    }
    return {kAllFranchises, {}, kActiveAndBench};
}

FranchiseRowsChoice franchiseChoiceOf(const ReportRows& rows) {
    switch (rows.kind) {
        case kOneFranchise:
            return {FranchiseGroup::One, valueAt(rows.values, 0)};
        case kFranchisesOfDivision:
            return {FranchiseGroup::Division, valueAt(rows.values, 0)};
        default:
            return {FranchiseGroup::All, 0};
    }
}

std::vector<ReportSortLevel> packedSortLevels(const SortLevelChoices& choices) {
    std::vector<ReportSortLevel> levels;
    for (const std::optional<ReportSortLevel>& choice : choices) {
        if (choice) {
            levels.push_back(*choice);
        }
    }
    return levels;
}

bool sortsDescendingFirst(const ReportColumn& column) {
    return column.textFlag != 0;
}

std::optional<std::filesystem::path> writeHeaderPreviewPage(Singleton& context,
                                                            const Report& report) {
    ReportGenerator generator(context);
    if (generator.openPage(report.name(), {{kHeaderPreviewFolder}, kHeaderPreviewFile}) != kOk) {
        return std::nullopt;
    }
    generator.writeHeaderPreview(report);
    if (generator.closePage() != kOk) {
        return std::nullopt;
    }
    return generator.pagePath();
}

}  // namespace qff
