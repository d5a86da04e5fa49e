#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data02/league/Rosters.h"

namespace qff {

class Singleton;
class League;

inline constexpr std::array<int, 5> kTopPlayerChoices{5, 10, 25, 50, 100};
inline constexpr int kDefaultTopPlayers = 25;
inline constexpr int kMaxReportBorder = 10;
inline constexpr int kMaxEmptyWeeks = 10;
inline constexpr int kMaxRosterLimit = 10;
inline constexpr int kAutoBackupChoices = 3;
inline constexpr int kMinPort = 1;
inline constexpr int kMaxPort = 65535;
inline constexpr const char* kAnonymousSmtpUser = "anonymous";

// QB, RB, WR, TE, PK, DEF, SPE, as preferences 8019 to 8025 hold them.
using RosterLimits = std::array<int, kIndividualPositions>;
// What the roster limits show while rosters are not restricted.
inline constexpr RosterLimits kSuggestedRosterLimits{2, 6, 4, 2, 2, 2, 2};

// In the order the league record stores them (12016).
inline constexpr std::array<const char*, 8> kFirewallTypes{
    "No Firewall", "Socks 4",     "Socks 5",    "Proxy USER",
    "Proxy SITE",  "Proxy PROXY", "Proxy OPEN", "Simple Pipe",
};

// Report appearance and schedule rules. Colours are 0x00BBGGRR.
struct ApplicationSettings {
    int borderWidth = 0;
    std::string backgroundImage;
    bool addColour = false;
    std::uint32_t headerColour = 0;
    std::uint32_t bodyColour = 0;
    std::uint32_t totalsColour = 0;
    std::uint32_t headerTextColour = 0;
    std::uint32_t bodyTextColour = 0;
    std::uint32_t totalsTextColour = 0;
    bool alternateRows = false;
    int topPlayers = kDefaultTopPlayers;
    bool onlyPlayersWithPoints = false;
    bool byeIsVictory = false;
    bool severalGamesAWeek = false;
    int emptyWeeks = 0;

    bool operator==(const ApplicationSettings&) const = default;
};

struct FranchiseSettings {
    bool mergeWrTe = false;
    bool restrictRosters = true;
    RosterLimits limits = kSuggestedRosterLimits;
    bool sharedPlayers = false;

    bool operator==(const FranchiseSettings&) const = default;
};

// The mail server settings and one league's commissioner, FTP and firewall settings.
struct InternetSettings {
    std::optional<int> league;
    std::string name;
    std::string email;
    std::string smtpServer;
    std::string smtpUser;
    std::string ftpUser;
    std::string ftpPassword;
    std::string webSite;
    std::string cgiLocation;
    int ftpPort = 21;
    bool passiveOff = false;
    std::string firewallHost;
    int firewallPort = 1080;
    std::string firewallUser;
    std::string firewallPassword;
    int firewallType = 0;

    bool operator==(const InternetSettings&) const = default;
};

struct BackupSettings {
    std::string directory;
    std::string password;
    bool includeViewedReports = false;
    int automatic = 0;

    bool operator==(const BackupSettings&) const = default;
};

struct OptionSettings {
    ApplicationSettings application;
    FranchiseSettings franchise;
    InternetSettings internet;
    BackupSettings backup;

    bool operator==(const OptionSettings&) const = default;
};

// Everything the options dialog edits, as it shows it, with the Internet settings of the
// current league (the first league when the current one is gone; none without leagues).
OptionSettings readOptions(Singleton& context);
// The Internet settings of one league, or only the mail server settings without a league.
InternetSettings readInternetOptions(Singleton& context, std::optional<int> league);
// Makes the league the current league of the season.
void chooseOptionsLeague(Singleton& context, int league);

// Stores the options in the preferences and the league record, writing the preferences after
// each group and the league last; the backup settings wait for the next preferences write.
// Without a league nothing of the Internet settings is stored. When a write fails, the
// settings in memory and in the preferences file are put back as they were, and `error` says
// what failed. A typed text holding a control character stores nothing at all.
bool storeOptions(Singleton& context, const OptionSettings& options, std::string& error);
// Stores only the Internet settings, as storeOptions does, for the FTP folder browser, which
// logs on with them before the dialog's OK.
bool storeInternetOptions(Singleton& context, const InternetSettings& internet, std::string& error);

// The stored top-players number as the dialog offers it: 25 for any number it does not offer.
int shownTopPlayers(int stored);
// The FTP and firewall ports of a league, as the unsigned 16-bit numbers they are.
int leaguePort(const League& league, int code);
// A port typed by the user: digits only, 1 to 65535.
std::optional<int> parsePort(std::string_view text);
// Who the SMTP connection test logs on as.
std::string smtpTestUser(std::string_view userId);

enum class OptionsPage { Application, Franchise, Internet, Backup };
enum class OptionsTab { ReportOptions, HthSchedule, EMail, Ftp, None };
struct OptionsView {
    OptionsPage page;
    OptionsTab tab;

    bool operator==(const OptionsView&) const = default;
};
// Where the dialog opens for a page requested by its caller (-1 for the default).
OptionsView optionsViewFor(int requestedPage);

}  // namespace qff
