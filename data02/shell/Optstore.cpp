#include "data02/shell/Optstore.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "data02/league/Listhelp.h"
#include "data02/model/Legqry.h"
#include "data02/model/Plyrqry.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/scoring/Results.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {
namespace {

constexpr int kMaxPortDigits = 5;
constexpr std::uint32_t kColourMask = 0xFFFFFF;

int inRangeOr(int value, int low, int high, int fallback) {
    return value >= low && value <= high ? value : fallback;
}

bool flag(const Preferences& prefs, int id) {
    return prefs.get(id) != 0;
}

std::uint32_t colour(const Preferences& prefs, int id) {
    return static_cast<std::uint32_t>(prefs.get(id)) & kColourMask;
}

ApplicationSettings readApplication(const Preferences& prefs) {
    ApplicationSettings a;
    a.borderWidth = inRangeOr(prefs.get(kPrefReportBorder), 0, kMaxReportBorder, 0);
    a.backgroundImage = prefs.getText(kPrefBackgroundImage);
    a.addColour = flag(prefs, kPrefReportColour);
    a.headerColour = colour(prefs, kPrefHeaderColour);
    a.bodyColour = colour(prefs, kPrefBodyColour);
    a.totalsColour = colour(prefs, kPrefTotalsColour);
    a.headerTextColour = colour(prefs, kPrefHeaderTextColour);
    a.bodyTextColour = colour(prefs, kPrefBodyTextColour);
    a.totalsTextColour = colour(prefs, kPrefTotalsTextColour);
    a.alternateRows = flag(prefs, kPrefAlternateRows);
    a.topPlayers = shownTopPlayers(prefs.get(kPrefTopPlayers));
    a.onlyPlayersWithPoints = flag(prefs, kPrefOnlyPlayersWithPoints);
    a.byeIsVictory = flag(prefs, kPrefByeIsWin);
    a.severalGamesAWeek = flag(prefs, kPrefSeveralGamesAWeek);
    a.emptyWeeks = std::clamp(prefs.get(kPrefEmptyWeeksAtEnd), 0, kMaxEmptyWeeks);
    return a;
}

FranchiseSettings readFranchise(const Preferences& prefs) {
    FranchiseSettings f;
    f.mergeWrTe = flag(prefs, kPrefMergeWrTe);
    f.restrictRosters = prefs.get(kPrefRosterLimitQB) != kRosterUnrestricted;
    if (f.restrictRosters) {
        for (int i = 0; i < kIndividualPositions; ++i) {
            f.limits[i] = std::clamp(prefs.get(kPrefRosterLimitQB + i), 0, kMaxRosterLimit);
        }
    }
    f.sharedPlayers = flag(prefs, kPrefDraftSharedPlayers);
    return f;
}

BackupSettings readBackup(const Preferences& prefs) {
    BackupSettings b;
    b.directory = prefs.getText(kPrefBackupDirectory);
    b.password = prefs.getText(kPrefBackupPassword);
    b.includeViewedReports = flag(prefs, kPrefBackupViewedReports);
    b.automatic = inRangeOr(prefs.get(kPrefAutoBackup), 0, kAutoBackupChoices - 1, 0);
    return b;
}

std::optional<int> presetLeague(Singleton& context) {
    int current = context.seasonState().peek(kCurrentLeague);
    if (context.leagueQuery().findOne(kLeagueId, current) != nullptr) {
        return current;
    }
    LeagueList all = context.leagueQuery().allLeagues();
    if (all.empty()) {
        return std::nullopt;
    }
    return all.front()->getValue(kLeagueId);
}

void applyApplication(Preferences& prefs, const ApplicationSettings& a) {
    prefs.set(kPrefReportBorder, a.borderWidth);
    prefs.setText(kPrefBackgroundImage, a.backgroundImage);
    prefs.set(kPrefReportColour, a.addColour);
    prefs.set(kPrefHeaderColour, static_cast<int>(a.headerColour & kColourMask));
    prefs.set(kPrefBodyColour, static_cast<int>(a.bodyColour & kColourMask));
    prefs.set(kPrefTotalsColour, static_cast<int>(a.totalsColour & kColourMask));
    prefs.set(kPrefHeaderTextColour, static_cast<int>(a.headerTextColour & kColourMask));
    prefs.set(kPrefBodyTextColour, static_cast<int>(a.bodyTextColour & kColourMask));
    prefs.set(kPrefTotalsTextColour, static_cast<int>(a.totalsTextColour & kColourMask));
    prefs.set(kPrefAlternateRows, a.alternateRows);
    prefs.set(kPrefTopPlayers, a.topPlayers);
    prefs.set(kPrefOnlyPlayersWithPoints, a.onlyPlayersWithPoints);
    prefs.set(kPrefByeIsWin, a.byeIsVictory);
    prefs.set(kPrefSeveralGamesAWeek, a.severalGamesAWeek);
    prefs.set(kPrefEmptyWeeksAtEnd, a.emptyWeeks);
}

void applyFranchise(Preferences& prefs, const FranchiseSettings& f) {
    prefs.set(kPrefMergeWrTe, f.mergeWrTe);
    for (int i = 0; i < kIndividualPositions; ++i) {
        prefs.set(kPrefRosterLimitQB + i, f.restrictRosters ? f.limits[i] : kRosterUnrestricted);
    }
    prefs.set(kPrefDraftSharedPlayers, f.sharedPlayers);
}

void applyMailServer(Preferences& prefs, const InternetSettings& o) {
    prefs.setText(kPrefSmtpServer, o.smtpServer);
    prefs.setText(kPrefMailLogin, o.smtpUser);
}

void applyLeague(League& league, const InternetSettings& o) {
    league.setText(kLeagueCommissioner, o.name);
    league.setText(kLeagueEmail, o.email);
    league.setText(kLeagueFtpUser, o.ftpUser);
    league.setText(kLeagueFtpPassword, o.ftpPassword);
    league.setText(kLeagueFtpLocation, o.webSite);
    league.setText(kLeagueFtpCgi, o.cgiLocation);
    league.setValue(kLeagueFtpPort, o.ftpPort);
    league.setValue(kLeagueFtpPassiveOff, o.passiveOff);
    league.setText(kLeagueFirewallHost, o.firewallHost);
    league.setValue(kLeagueFirewallPort, o.firewallPort);
    league.setText(kLeagueFirewallUser, o.firewallUser);
    league.setText(kLeagueFirewallPassword, o.firewallPassword);
    league.setValue(kLeagueFirewallType, o.firewallType);
}

void applyBackup(Preferences& prefs, const BackupSettings& b) {
    prefs.setText(kPrefBackupDirectory, b.directory);
    prefs.setText(kPrefBackupPassword, b.password);
    prefs.set(kPrefBackupViewedReports, b.includeViewedReports);
    prefs.set(kPrefAutoBackup, b.automatic);
}

// Every field of a record object as it was, to put back after a failed store.
template <class Record>
class FieldSnapshot {
  public:
    FieldSnapshot() = default;
    FieldSnapshot(const Record& record, int first, int last) {
        for (int code = first; code <= last; ++code) {
            if (Record::isTextCode(code)) {
                fields_.push_back({code, true, record.getText(code), 0});
            } else if (Record::isValueCode(code)) {
                fields_.push_back({code, false, {}, record.getValue(code)});
            }
        }
    }

    void restore(Record& record) const {
        for (const Field& field : fields_) {
            if (field.isText) {
                record.setText(field.code, field.text);
            } else {
                record.setValue(field.code, field.value);
            }
        }
    }

  private:
    // Plain members rather than a variant: GCC 12 at -O2 warns falsely about
    // a std::string inside a moved std::variant.
    struct Field {
        int code;
        bool isText;
        std::string text;
        int value;
    };
    std::vector<Field> fields_;
};

// Preferences speak get/set rather than getValue/setValue.
struct PrefAccess {
    Preferences& prefs;
    static bool isTextCode(int id) { return Preferences::isText(id); }
    static bool isValueCode(int id) { return Preferences::isKnown(id) && !Preferences::isText(id); }
    const char* getText(int id) const { return prefs.getText(id); }
    int getValue(int id) const { return prefs.get(id); }
    void setText(int id, std::string_view text) { prefs.setText(id, text); }
    void setValue(int id, int value) { prefs.set(id, value); }
};

// Stores the options step by step and, when a step fails, puts back what the
// earlier steps changed.
class OptionsStore {
  public:
    explicit OptionsStore(Singleton& context)
        : context_(context),
          prefs_(context.preferences()),
          prefsBefore_(PrefAccess{prefs_}, kFirstPrefId, kLastPrefId) {}

    bool store(const OptionSettings& options, std::string& error) {
        if (storeAll(options, error)) {
            return true;
        }
        rollBack();
        return false;
    }

    bool storeInternetOnly(const InternetSettings& internet, std::string& error) {
        if (storeInternet(internet, error)) {
            return true;
        }
        rollBack();
        return false;
    }

  private:
    bool storeAll(const OptionSettings& options, std::string& error) {
        applyApplication(prefs_, options.application);
        if (!savePrefs(error)) {
            return false;
        }
        bool mergeChanged = flag(prefs_, kPrefMergeWrTe) != options.franchise.mergeWrTe;
        applyFranchise(prefs_, options.franchise);
        if ((mergeChanged && !reloadPlayers(error)) || !savePrefs(error)) {
            return false;
        }
        if (!storeInternet(options.internet, error)) {
            return false;
        }
        applyBackup(prefs_, options.backup);
        return true;
    }

    bool storeInternet(const InternetSettings& internet, std::string& error) {
        League* league =
            internet.league ? context_.leagueQuery().findOne(kLeagueId, *internet.league) : nullptr;
        if (league == nullptr) {
            return true;
        }
        applyMailServer(prefs_, internet);
        if (!savePrefs(error)) {
            return false;
        }
        league_ = league;
        leagueBefore_ = FieldSnapshot<League>(*league, kLeagueId, kLeagueFirewallPassword);
        applyLeague(*league, internet);
        if (league->save() != kOk) {
            error = "The Internet settings of the league \"" + league->text(kLeagueName) +
                    "\" could not be saved.";
            std::string reason = context_.leagueFile().db().lastError();
            if (!reason.empty()) {
                error += " " + reason;
            }
            return false;
        }
        return true;
    }

    bool savePrefs(std::string& error) {
        if (prefs_.save() != kOk) {
            error = prefs_.lastError().empty() ? "The preferences could not be saved."
                                               : prefs_.lastError();
            return false;
        }
        prefsWritten_ = true;
        return true;
    }

    // Players are indexed by position as read, which the merge of wide
    // receivers and tight ends changes; their computed points change with it.
    bool reloadPlayers(std::string& error) {
        if (!context_.playerFile().isOpen()) {
            return true;
        }
        playersReloaded_ = true;
        dropResultsForPreference(context_, kPrefMergeWrTe);
        if (context_.playerQuery().reload(prefs_.get(kPrefOpenSeason)) != kOk) {
            error = "The players could not be reloaded. " + context_.playerFile().lastError();
            return false;
        }
        return true;
    }

    void rollBack() {
        PrefAccess access{prefs_};
        prefsBefore_.restore(access);
        if (prefsWritten_) {
            prefs_.save();
        }
        if (league_ != nullptr) {
            leagueBefore_.restore(*league_);
        }
        if (playersReloaded_) {
            std::string ignored;
            reloadPlayers(ignored);
        }
    }

    Singleton& context_;
    Preferences& prefs_;
    FieldSnapshot<PrefAccess> prefsBefore_;
    League* league_ = nullptr;
    FieldSnapshot<League> leagueBefore_;
    bool prefsWritten_ = false;
    bool playersReloaded_ = false;
};

struct TypedText {
    const char* label;
    const std::string& text;
};

// Every text of the options the user types, by the name the dialog gives it.
std::vector<TypedText> typedTexts(const OptionSettings& o) {
    const InternetSettings& i = o.internet;
    return {{"Background Image", o.application.backgroundImage},
            {"Your Name", i.name},
            {"Your EMail", i.email},
            {"SMTP Server", i.smtpServer},
            {"SMTP User", i.smtpUser},
            {"FTP User", i.ftpUser},
            {"FTP Password", i.ftpPassword},
            {"Web Site", i.webSite},
            {"CGI Location", i.cgiLocation},
            {"Firewall Host", i.firewallHost},
            {"Firewall User", i.firewallUser},
            {"Firewall Password", i.firewallPassword},
            {"Backup Folder", o.backup.directory},
            {"Backup Password", o.backup.password}};
}

// These texts end up in pages, folder names and mail and FTP commands, which
// a control character would break.
std::string refusedText(const OptionSettings& options) {
    for (const TypedText& typed : typedTexts(options)) {
        if (holdsControlCharacter(typed.text)) {
            return controlCharacterMessage(std::string("\"") + typed.label + "\"");
        }
    }
    return {};
}

}  // namespace

OptionSettings readOptions(Singleton& context) {
    const Preferences& prefs = context.preferences();
    OptionSettings options;
    options.application = readApplication(prefs);
    options.franchise = readFranchise(prefs);
    options.internet = readInternetOptions(context, presetLeague(context));
    options.backup = readBackup(prefs);
    return options;
}

InternetSettings readInternetOptions(Singleton& context, std::optional<int> leagueId) {
    InternetSettings o;
    const Preferences& prefs = context.preferences();
    o.smtpServer = prefs.getText(kPrefSmtpServer);
    o.smtpUser = prefs.getText(kPrefMailLogin);
    const League* league = leagueId ? context.leagueQuery().findOne(kLeagueId, *leagueId) : nullptr;
    if (league == nullptr) {
        return o;
    }
    o.league = leagueId;
    o.name = league->text(kLeagueCommissioner);
    o.email = league->text(kLeagueEmail);
    o.ftpUser = league->text(kLeagueFtpUser);
    o.ftpPassword = league->text(kLeagueFtpPassword);
    o.webSite = league->text(kLeagueFtpLocation);
    o.cgiLocation = league->text(kLeagueFtpCgi);
    o.ftpPort = leaguePort(*league, kLeagueFtpPort);
    o.passiveOff = league->getValue(kLeagueFtpPassiveOff) != 0;
    o.firewallHost = league->text(kLeagueFirewallHost);
    o.firewallPort = leaguePort(*league, kLeagueFirewallPort);
    o.firewallUser = league->text(kLeagueFirewallUser);
    o.firewallPassword = league->text(kLeagueFirewallPassword);
    o.firewallType = inRangeOr(league->getValue(kLeagueFirewallType), 0,
                               static_cast<int>(kFirewallTypes.size()) - 1, 0);
    return o;
}

void chooseOptionsLeague(Singleton& context, int league) {
    context.seasonState().set(kCurrentLeague, league);
}

bool storeOptions(Singleton& context, const OptionSettings& options, std::string& error) {
    error = refusedText(options);
    if (!error.empty()) {
        return false;
    }
    OptionsStore store(context);
    return store.store(options, error);
}

bool storeInternetOptions(Singleton& context, const InternetSettings& internet,
                          std::string& error) {
    OptionSettings typed;
    typed.internet = internet;
    error = refusedText(typed);
    if (!error.empty()) {
        return false;
    }
    OptionsStore store(context);
    return store.storeInternetOnly(internet, error);
}

int shownTopPlayers(int stored) {
    bool offered = std::find(kTopPlayerChoices.begin(), kTopPlayerChoices.end(), stored) !=
                   kTopPlayerChoices.end();
    return offered ? stored : kDefaultTopPlayers;
}

int leaguePort(const League& league, int code) {
    return league.getValue(code) & 0xFFFF;
}

std::optional<int> parsePort(std::string_view text) {
    if (text.empty() || text.size() > kMaxPortDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int port = 0;
    std::from_chars(text.data(), text.data() + text.size(), port);
    if (port < kMinPort || port > kMaxPort) {
        return std::nullopt;
    }
    return port;
}

std::string smtpTestUser(std::string_view userId) {
    return userId.empty() ? std::string(kAnonymousSmtpUser) : std::string(userId);
}

OptionsView optionsViewFor(int requestedPage) {
    switch (requestedPage) {
        case 7:
        case 8:
            return {OptionsPage::Franchise, OptionsTab::None};
        case 10:
            return {OptionsPage::Application, OptionsTab::HthSchedule};
        case 12:
            return {OptionsPage::Internet, OptionsTab::Ftp};
        case 14:
            return {OptionsPage::Internet, OptionsTab::EMail};
        case 15:
            return {OptionsPage::Backup, OptionsTab::None};
        default:
            return {OptionsPage::Application, OptionsTab::ReportOptions};
    }
}

}  // namespace qff
