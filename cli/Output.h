#pragma once

#include <functional>
#include <iosfwd>
#include <string_view>

#include <nlohmann/json.hpp>

namespace qff::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

using PlainPrinter = std::function<void(std::ostream&)>;

// Where a command's results and complaints go, so every command answers in
// the same shape: one JSON document or readable lines on standard output,
// and exactly one line per problem on standard error.
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

  private:
    bool json_;
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace qff::cli
