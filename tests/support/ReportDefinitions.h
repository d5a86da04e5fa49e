#pragma once

#include <string>
#include <utility>
#include <vector>

#include "data02/reports/Rpt_define.h"

namespace qff::test {

// A report pack running `members` in order.
inline ReportDefinition packDefinition(const std::string& name, std::vector<int> members) {
    ReportDefinition definition;
    definition.type = kReportPack;
    definition.name = name;
    definition.members = std::move(members);
    return definition;
}

}  // namespace qff::test
