#include "cli/Output.h"

#include <ostream>
#include <sstream>

#include "data02/league/Listhelp.h"

namespace qff::cli {
namespace {

constexpr char kDelete = 0x7F;
// Erases what is left of the line after the cursor.
constexpr std::string_view kClearToLineEnd = "\033[K";

void appendCaret(std::string& shown, char c) {
    shown += '^';
    shown += c == kDelete ? '?' : static_cast<char>(c + '@');
}

}  // namespace

std::string terminalText(std::string_view text, LineEnds lineEnds) {
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        bool keptLineEnd = c == '\n' && lineEnds == LineEnds::Kept;
        if (isControlCharacter(c) && !keptLineEnd) {
            appendCaret(shown, c);
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string oneLine(std::string_view message) {
    std::string line;
    line.reserve(message.size());
    for (std::size_t at = 0; at < message.size(); ++at) {
        if (message[at] != '\n') {
            line += message[at];
        } else if (at == 0 || message[at - 1] != '\n') {
            line += ' ';
        }
    }
    return line;
}

std::string jsonText(const nlohmann::json& document) {
    // Data files may hold text in any single-byte encoding; the document
    // must stay valid UTF-8, so undecodable bytes are replaced.
    std::string text = document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    // DEL only ever appears inside a string, where its escape means the same.
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        escaped += c == kDelete ? std::string_view("\\u007f") : std::string_view(&c, 1);
    }
    return escaped;
}

int Output::emit(const nlohmann::json& document, const PlainPrinter& printPlain) {
    if (json_) {
        out_ << jsonText(document) << '\n';
    } else {
        std::ostringstream plain;
        printPlain(plain);
        out_ << terminalText(plain.str(), LineEnds::Kept);
    }
    return kExitOk;
}

int Output::fail(std::string_view message) {
    err_ << "qff: " << terminalText(message, LineEnds::Shown) << '\n';
    return kExitFailure;
}

void Output::warn(std::string_view message) {
    err_ << "qff: warning: " << terminalText(message, LineEnds::Shown) << '\n';
}

int Output::usage(std::string_view message) {
    err_ << "qff: " << terminalText(message, LineEnds::Shown) << " (see qff --help)\n";
    return kExitUsage;
}

void Output::progress(std::string_view line) {
    err_ << '\r' << terminalText(line, LineEnds::Shown) << kClearToLineEnd << std::flush;
}

void Output::endProgress() {
    err_ << '\r' << kClearToLineEnd << std::flush;
}

}  // namespace qff::cli
