#pragma once

#include <string>

#include "data02/demo/Demo.h"

namespace qff::test {

// Builds the demonstration season `options` describes in the context's
// folder; empty when it was built, else why not.
inline std::string buildDemoSeason(Singleton& context, const DemoOptions& options) {
    DemoReport report;
    std::string error;
    return createDemoSeason(context, options, report, error) ? std::string() : error;
}

}  // namespace qff::test
