#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace qff::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

using PlainPrinter = std::function<void(std::ostream&)>;

enum class LineEnds { Kept, Shown };

// Text as qff lets it reach a terminal. Names and other texts come from
// data files, which may hold control characters that would move the cursor
// or start terminal commands, so each is shown in caret notation: "^[" for
// ESC, "^M" for a carriage return, "^?" for DEL. Line ends stay line ends
// only where the text is meant to have lines.
std::string terminalText(std::string_view text, LineEnds lineEnds);

// A message written for a message box, with its paragraphs joined by blanks,
// as standard error holds one line per problem.
std::string oneLine(std::string_view message);

// A JSON document as qff prints it. Undecodable bytes become U+FFFD and
// control characters are escaped, DEL among them, which JSON would let
// through as it is.
std::string jsonText(const nlohmann::json& document);

// Where a command's results and complaints go, so every command answers in
// the same shape: one JSON document or readable lines on standard output,
// and exactly one line per problem on standard error. Everything passes
// through terminalText or jsonText on its way out.
class Output {
  public:
    Output(bool json, std::ostream& out, std::ostream& err) : json_(json), out_(out), err_(err) {}

    bool json() const { return json_; }

    // Prints `document` when JSON was asked for, else lets `printPlain` write.
    int emit(const nlohmann::json& document, const PlainPrinter& printPlain);
    int fail(std::string_view message);
    // A problem worth knowing that does not stop the command.
    void warn(std::string_view message);
    int usage(std::string_view message);

    // A progress line on standard error, written over the one before; only
    // worth showing where someone watches.
    void progress(std::string_view line);
    void endProgress();

  private:
    bool json_;
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace qff::cli
