#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data02/model/Plyrqry.h"
#include "data02/season/State.h"
#include "data02/storage/Journal.h"
#include "data02/storage/Ptsfile.h"

namespace qff {

class Singleton;

// Something the merge has to tell the user, in the order a window shows it.
struct MergeMessage {
    enum class Type { Information, Warning, Error };
    Type type;
    std::string text;
};

// A record of the file that was not merged, and why.
struct MergeSkip {
    enum class Reason { Week, Id, Position, Team, DatabaseFull, NotSaved };
    int slot;
    int id;
    std::string name;
    Reason reason;
};

const char* skipReasonText(MergeSkip::Reason reason);

// "Merging stats from <file season> into <open season> season is not allowed."
std::string otherSeasonMessage(int fileYear, int season);

// What one merge did.
struct MergeReport {
    std::filesystem::path file;
    int season = 0;
    int fileYear = 0;
    bool opened = false;
    // The file belongs to another season; nothing was changed.
    bool refused = false;
    bool rosterRecordsSeen = false;
    int records = 0;
    int playersUpdated = 0;
    int newPlayers = 0;
    int skipped = 0;
    // The week made current, when the file held statistics of a week.
    std::optional<int> week;
    std::vector<int> weeksMerged;
    std::vector<int> newPlayerIds;
    std::vector<MergeSkip> skippedRecords;
    std::vector<MergeMessage> messages;
    // Operations that failed; empty after a complete merge.
    std::vector<std::string> failures;
    // A write failed, so everything the merge had written was taken back.
    bool undone = false;

    bool succeeded() const { return opened && !refused && failures.empty(); }
};

// Brings one weekly statistics file or roster-update file into the player
// database of the open season. A window drives it with step() so it stays
// responsive; run() does everything at once. Nothing is written before the
// file has opened and proved to belong to the open season. Every file the
// merge writes is protected by an undo journal first, so a merge that fails
// or is abandoned leaves the season as it was, and one that is killed is taken
// back when the season opens next.
class StatsMerge {
  public:
    static constexpr int kRecordsPerStep = 64;

    // Opens and checks the file; a failure or refusal lands in the report.
    StatsMerge(Singleton& context, std::filesystem::path file);
    // A merge abandoned before finish() is taken back.
    ~StatsMerge();
    StatsMerge(const StatsMerge&) = delete;
    StatsMerge& operator=(const StatsMerge&) = delete;

    // Merges up to `limit` records; false once no record is left to merge.
    bool step(int limit = kRecordsPerStep);
    int progress() const { return progress_; }
    int total() const { return total_; }
    // The label a progress window shows for the work in hand.
    const std::string& status() const { return status_; }
    // The player of the record merged last, for the window to show beside it.
    const std::string& playerName() const { return playerName_; }

    // Settles the current week, saves the team units and reloads the player
    // cache; later calls only return the report.
    const MergeReport& finish();
    MergeReport run();
    const MergeReport& report() const { return report_; }

  private:
    struct Change {
        Player* player = nullptr;
        bool created = false;
    };

    bool prepare(const std::filesystem::path& file);
    bool protectSeasonFiles();
    void settle();
    void undo();
    std::optional<MergeSkip::Reason> check(int week, int id, int position, int team) const;
    void mergeRecord();
    void skip(MergeSkip::Reason reason);
    void startWeek(int week);
    Change findOrCreate(int id);
    Player* create(int id);
    void refresh(Player& player);
    void replaceWeek(Player& player, int week);
    void copyIndividual(Player& player, int week);
    void removeFromUnits(Player& player, int week);
    void copyUnitCodes(Player& player, int week, int firstCode, int lastCode);
    void clearKeepingBonus(Player& player, int week);
    bool save(Player& player);
    void saveUnits();
    void reloadCaches();
    void dropPoints();
    void summarise();
    void fail(std::string text);

    Singleton& context_;
    PtsFile pts_;
    UndoJournal journal_;
    MergeReport report_;
    Owned<PlyrList> units_;
    std::array<bool, kWeekSlots> weekStarted_{};
    std::set<std::pair<int, int>> merged_;
    std::string status_ = "Preparing for the merge...";
    std::string playerName_;
    int highestWeek_ = -1;
    int progress_ = 0;
    int total_ = 0;
    bool changed_ = false;
    bool finished_ = false;
};

}  // namespace qff
