#pragma once

#include <memory>
#include <string>
#include <vector>

namespace qff {

class Singleton;

// What the loading of a season found: which record files opened and how many
// records each holds.
struct LoadingResults {
    bool players = false;
    bool franchises = false;
    bool divisions = false;
    bool leagues = false;
    bool reports = false;
    int playerCount = 0;
    int franchiseCount = 0;
    int divisionCount = 0;
    int leagueCount = 0;
    int draftCount = 0;
    int reportCount = 0;
};

// One line of what opening a season shows: a status text while a file loads,
// or a message the user must see.
struct SeasonMessage {
    enum class Type { Status, Error };
    Type type;
    std::string text;
    // Why it happened, when the system knows more than the message says.
    std::string detail;
};

// Loads the season's record files into the caches one step at a time, so a
// window can show each status and stay responsive between steps.
class SeasonLoader {
  public:
    SeasonLoader(Singleton& context, int year);

    bool done() const { return step_ > kLastStep; }
    // Runs the next step and returns what it has to show.
    std::vector<SeasonMessage> runStep();
    int stepCount() const { return kLastStep - kFirstStep + 1; }
    int stepsDone() const { return step_ - kFirstStep; }
    const LoadingResults& results() const { return results_; }

  private:
    static constexpr int kFirstStep = 2;
    static constexpr int kLastStep = 9;

    void load(std::vector<SeasonMessage>& out);
    void validate(std::vector<SeasonMessage>& out);
    void validateRosters(std::vector<SeasonMessage>& out);

    Singleton& context_;
    int year_;
    int step_ = kFirstStep;
    LoadingResults results_;
};

// The outcome of opening a season: every message in the order a user sees
// them, what loading found, and whether the season is open.
struct SeasonOpenReport {
    int year = 0;
    bool opened = false;
    std::vector<SeasonMessage> messages;
    LoadingResults results;
    int previousSeason = 0;
    // The open-season preference before this open, restored when it fails.
    int previousPreference = 0;
};

// The data side of opening a season, before the record files load: the player
// file and the schedule must open first, then the season state, the NFL team
// table and the scoring system follow. Fails with its message, and creates no
// file when the player file is missing, empty or unreadable.
bool prepareSeason(Singleton& context, int year, SeasonOpenReport& report);
// After loading: decides whether the season opened and settles the weeks.
void finishSeason(Singleton& context, int year, SeasonOpenReport& report);
// Opens a season all at once (prepare, every loading step, finish).
SeasonOpenReport openSeason(Singleton& context, int year);

// Writes the settings and releases the season context, which closes every file
// it holds; a new context is created before a season opens again. False with
// the reason when the settings could not be written (the context is released
// all the same).
bool closeSeason(std::unique_ptr<Singleton>& context, std::string& error);

// Years from 1993 to 2100 whose player file exists in the working directory
// and is not empty.
std::vector<int> availableSeasons(const Singleton& context);

// Creates a season's files from nothing: empty franchise, division and draft
// files, the league file with the Default League, an empty schedule, and a
// player file holding the NFL team units of every team of that year. The
// report file is left to the first open, which carries reports over from the
// previous season or creates the built-in ones.
// Refuses when the season's player file already exists (an empty one, left by
// a creation cut short, counts as missing and is replaced).
bool createSeasonFiles(Singleton& context, int year, std::string& error);

}  // namespace qff
