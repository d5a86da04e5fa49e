#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "data02/diag/Status.h"
#include "data02/storage/Db_file.h"

namespace qff {

class Singleton;

// The preferences record as stored: 2756 bytes in Prefs.db.
struct PrefStruct {
    std::array<std::uint8_t, kPrefsRecordSize> bytes{};
};
static_assert(sizeof(PrefStruct) == kPrefsRecordSize);

enum PrefId {
    kPrefOpenSeason = 8000,
    kPrefMaximised = 8001,
    kPrefWindowTop = 8002,
    kPrefWindowLeft = 8003,
    kPrefWindowHeight = 8004,
    kPrefWindowWidth = 8005,
    kPrefOutlookWidth = 8006,
    kPrefReportBorder = 8007,
    kPrefBackgroundImage = 8008,
    kPrefOnlyPlayersWithPoints = 8009,
    kPrefTopPlayers = 8010,
    kPrefReportColour = 8011,
    kPrefHeaderColour = 8012,
    kPrefBodyColour = 8013,
    kPrefTotalsColour = 8014,
    kPrefByeIsWin = 8015,
    kPrefSeveralGamesAWeek = 8016,
    kPrefEmptyWeeksAtEnd = 8017,
    kPrefDraftSharedPlayers = 8018,
    kPrefRosterLimitQB = 8019,
    kPrefRosterLimitSPE = 8025,
    kPrefMergeWrTe = 8026,
    kPrefAlternateRows = 8027,
    kPrefHeaderTextColour = 8028,
    kPrefBodyTextColour = 8029,
    kPrefTotalsTextColour = 8030,
    kPrefSmtpServer = 8031,
    kPrefMailLogin = 8032,
    kPrefBackupDirectory = 8033,
    kPrefBackupPassword = 8034,
    kPrefBackupViewedReports = 8035,
    kPrefAutoBackup = 8036,
    kPrefDraftTimer = 8037,
    kPrefDraftTimerMinutes = 8038,
    kPrefWarningSound = 8039,
    kPrefTimeUpSound = 8040,
    kPrefSeasonNotice = 8041,
};
inline constexpr int kFirstPrefId = 8000;
inline constexpr int kLastPrefId = 8041;
inline constexpr int kRosterUnrestricted = 99;

// Settings that span seasons, kept in Prefs.db and addressed by identifier.
// set and setText change memory only; save writes.
class Preferences {
  public:
    explicit Preferences(Singleton& context);
    ~Preferences();
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    // Reads Prefs.db. When it does not exist (or is empty) the defaults are
    // used and nothing is created before the first save. A file that exists
    // but cannot be read, or is damaged, is left as it is and never saved over.
    int load();
    // Writes Prefs.db, creating it when it does not exist.
    int save();
    bool isLoaded() const { return loaded_; }
    // Whether Prefs.db holds the preferences, rather than only memory.
    bool isStored() const { return file_.isOpen(); }
    const std::string& lastError() const { return error_; }

    int get(int id) const;
    const char* getText(int id) const;
    int set(int id, int value);
    int setText(int id, std::string_view text);
    static bool isText(int id);
    static bool isKnown(int id);

    void applyDefaults();

  private:
    int fail(std::string reason);
    int createFile();

    Singleton& context_;
    Owned<PrefStruct> record_;
    // The preferences as loaded, so teardown can tell whether any changed.
    std::array<std::uint8_t, kPrefsRecordSize> asLoaded_{};
    DBFile file_;
    bool loaded_ = false;
    std::string error_;
};

}  // namespace qff
