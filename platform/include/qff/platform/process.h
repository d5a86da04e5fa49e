#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qff::platform {

struct ProcessResult {
    bool started = false;
    // The program's exit status; -1 when it was not waited for or did not exit normally.
    int exitCode = -1;
    // Why the program did not start or did not exit normally.
    std::string message;
};

// Runs external programs (the archive tool, mail attachments' helpers) with an argument list
// that reaches the program unchanged: no shell ever sees it, so names with blanks, quotes or
// semicolons are never split or interpreted. A program name without a slash is looked up in
// PATH. The program reads nothing from the terminal: its standard input is /dev/null.
class ProcessRunner {
  public:
    // Starts the program and waits until it ends.
    ProcessResult run(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments) const;

    // Starts the program in a session of its own, its output discarded, and returns at once;
    // it is reaped in the background so it never lingers as a zombie.
    ProcessResult startDetached(const std::filesystem::path& program,
                                const std::vector<std::string>& arguments) const;
};

}  // namespace qff::platform
