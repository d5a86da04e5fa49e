#include "cli/Output.h"

#include <ostream>

namespace qff::cli {

int Output::emit(const nlohmann::json& document, const PlainPrinter& printPlain) {
    if (json_) {
        // Data files may hold text in any single-byte encoding; the document
        // must stay valid UTF-8, so undecodable bytes are replaced.
        out_ << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else {
        printPlain(out_);
    }
    return kExitOk;
}

int Output::fail(std::string_view message) {
    err_ << "qff: " << message << '\n';
    return kExitFailure;
}

void Output::warn(std::string_view message) {
    err_ << "qff: warning: " << message << '\n';
}

int Output::usage(std::string_view message) {
    err_ << "qff: " << message << " (see qff --help)\n";
    return kExitUsage;
}

}  // namespace qff::cli
