#pragma once

#include <iosfwd>

namespace qff::cli {

// Parses the command line, runs the command it names and returns the exit status.
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace qff::cli
