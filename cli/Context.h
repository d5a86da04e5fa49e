#pragma once

#include <filesystem>
#include <memory>

#include <optional>
#include <string>

#include "cli/Output.h"
#include "data02/diag/Memory.h"
#include "data02/season/Opening.h"
#include "data02/season/Single.h"

namespace qff {
class League;
class Team;
}  // namespace qff

namespace qff::cli {

// The options every command shares.
struct GlobalOptions {
    std::filesystem::path workdir = ".";
    bool json = false;
    bool keepLogs = false;

    // A file named on the command line: relative to --workdir unless absolute.
    std::filesystem::path fileArgument(const std::filesystem::path& file) const {
        return file.is_absolute() ? file : workdir / file;
    }
};

// What a command runs with once the command line has been parsed.
struct Session {
    GlobalOptions options;
    Output output;
};

// The memory report is only wanted when diagnosing, so it is deleted once the
// allocator that writes it is gone. Declared before that allocator's owner so
// it is destroyed after it.
class MemoryReportRemover {
  public:
    explicit MemoryReportRemover(const GlobalOptions& options);
    ~MemoryReportRemover();
    MemoryReportRemover(const MemoryReportRemover&) = delete;
    MemoryReportRemover& operator=(const MemoryReportRemover&) = delete;

  private:
    std::filesystem::path report_;
    bool keep_;
};

// The season context created on --workdir, for commands that work with the
// season's settings and records.
class Context {
  public:
    // Null after telling the user why the context could not be created.
    static std::unique_ptr<Context> open(Session& session);
    // The context with a season open: `year`, or the season the preferences
    // name. Null after telling the user why the season did not open; problems
    // that did not stop it are reported as warnings.
    static std::unique_ptr<Context> openSeason(Session& session, std::optional<int> year = {},
                                               SeasonOpenReport* report = nullptr);

    Singleton& season() { return *season_; }

  private:
    explicit Context(const GlobalOptions& options) : remover_(options) {}

    MemoryReportRemover remover_;
    std::unique_ptr<Singleton> season_;
};

// The league or franchise with the id, or null after telling the user that
// no record has it, in the one wording every command uses.
const League* findLeague(Session& session, Singleton& season, int id);
Team* findFranchise(Session& session, Singleton& season, int id);

// The franchise's name for listings that go on without it when it is gone.
std::string franchiseNameOrNote(Singleton& season, int id);

// Tracked memory without the season context, for commands that only read a
// file: the context would load and save the remembered settings, which must
// not happen while such a file is being inspected.
class FileMemory {
  public:
    // Null after telling the user why the working directory cannot be used.
    static std::unique_ptr<FileMemory> open(Session& session);

    MyMemory& memory() { return memory_; }

  private:
    explicit FileMemory(const GlobalOptions& options);

    MemoryReportRemover remover_;
    MyMemory memory_;
};

}  // namespace qff::cli
