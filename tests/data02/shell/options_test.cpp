#include "data02/shell/Optstore.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/State.h"
#include "tests/support/SeasonFixture.h"

namespace qff::test {
namespace {

constexpr int kYear = 2010;
constexpr int kSecondLeague = 7;

// A created and opened season with the Default League and one more league.
class OptionsTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        openCreatedSeason();
    }

    void openCreatedSeason() {
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
        addLeague(kSecondLeague, "Second League");
    }

    void addLeague(int id, const std::string& name) {
        Owned<League> league =
            context().memory().makeRecord<League>(Kind::League, context().leagueFile(), context());
        league->setValue(kLeagueId, id);
        league->setText(kLeagueName, name);
        ASSERT_EQ(context().mapFactory().add(context().mapFactory().leagues(), league), kOk);
    }

    void removeAllLeagues() {
        for (League* league : context().leagueQuery().allLeagues()) {
            ASSERT_EQ(context().mapFactory().remove(context().mapFactory().leagues(), league), kOk);
        }
    }

    // Closes the season and opens it again in a new context, so that only what
    // reached the files is seen.
    void reopen() {
        start();
        ASSERT_TRUE(openSeason(context(), kYear).opened);
    }

    League& league(int id) { return *context().leagueQuery().findOne(kLeagueId, id); }
    Preferences& prefs() { return context().preferences(); }

    static OptionSettings changedOptions(int leagueId) {
        OptionSettings o;
        o.application = {.borderWidth = 3,
                         .backgroundImage = "/pictures/field.jpg",
                         .addColour = true,
                         .headerColour = 0x0000FF,
                         .bodyColour = 0x00FFFF,
                         .totalsColour = 0x808000,
                         .headerTextColour = 0x000080,
                         .bodyTextColour = 0xFF00FF,
                         .totalsTextColour = 0x123456,
                         .alternateRows = false,
                         .topPlayers = 50,
                         .onlyPlayersWithPoints = true,
                         .byeIsVictory = false,
                         .severalGamesAWeek = true,
                         .emptyWeeks = 4};
        o.franchise = {.mergeWrTe = false,
                       .restrictRosters = true,
                       .limits = {1, 3, 5, 0, 1, 2, 10},
                       .sharedPlayers = true};
        o.internet = {.league = leagueId,
                      .name = "Pat Example",
                      .email = "pat@example.net",
                      .smtpServer = "mail.example.net",
                      .smtpUser = "pat",
                      .ftpUser = "ftpuser",
                      .ftpPassword = "secret",
                      .webSite = "ftp.example.net/league",
                      .cgiLocation = "ftp.example.net/cgi",
                      .ftpPort = 40021,
                      .passiveOff = true,
                      .firewallHost = "proxy.example.net",
                      .firewallPort = 65535,
                      .firewallUser = "fwuser",
                      .firewallPassword = "fwpass",
                      .firewallType = 7};
        o.backup = {.directory = "/backups",
                    .password = "zip",
                    .includeViewedReports = false,
                    .automatic = 2};
        return o;
    }
};

TEST_F(OptionsTest, NewPreferencesShowTheirDefaults) {
    OptionSettings o = readOptions(context());
    EXPECT_TRUE(o.franchise.restrictRosters);
    EXPECT_EQ(o.franchise.limits, kSuggestedRosterLimits);
    EXPECT_EQ(o.application.topPlayers, 25);
    EXPECT_EQ(o.application.bodyColour, 0xC0C0C0u);
    EXPECT_TRUE(o.application.addColour);
    EXPECT_EQ(o.internet.league, kDefaultLeagueId);
    EXPECT_EQ(o.internet.ftpPort, 21);
    EXPECT_EQ(o.internet.firewallPort, 1080);
    EXPECT_TRUE(o.backup.includeViewedReports);
}

TEST_F(OptionsTest, StoredOptionsSurviveReopeningTheSeason) {
    OptionSettings wanted = changedOptions(kSecondLeague);
    std::string error;
    ASSERT_TRUE(storeOptions(context(), wanted, error)) << error;
    EXPECT_EQ(readOptions(context()).backup, wanted.backup);

    // The backup settings reach the file with the next preferences write.
    ASSERT_EQ(prefs().save(), kOk);
    chooseOptionsLeague(context(), kSecondLeague);
    reopen();
    EXPECT_EQ(readOptions(context()), wanted);
    EXPECT_EQ(league(kDefaultLeagueId).text(kLeagueCommissioner), "Enter Your Name Here");
}

TEST_F(OptionsTest, UnrestrictedRostersStoreNinetyNineAndShowTheSuggestedLimits) {
    OptionSettings wanted = changedOptions(kDefaultLeagueId);
    wanted.franchise.restrictRosters = false;
    std::string error;
    ASSERT_TRUE(storeOptions(context(), wanted, error)) << error;
    for (int id = kPrefRosterLimitQB; id <= kPrefRosterLimitSPE; ++id) {
        EXPECT_EQ(prefs().get(id), kRosterUnrestricted) << id;
    }
    reopen();
    FranchiseSettings shown = readOptions(context()).franchise;
    EXPECT_FALSE(shown.restrictRosters);
    EXPECT_EQ(shown.limits, (RosterLimits{2, 6, 4, 2, 2, 2, 2}));
}

TEST(OptionsRules, TopPlayersShowAnOfferedNumber) {
    struct Case {
        int stored;
        int shown;
    };
    for (Case c : {Case{5, 5}, Case{10, 10}, Case{25, 25}, Case{50, 50}, Case{100, 100},
                   Case{7, 25}, Case{0, 25}, Case{-5, 25}, Case{1000, 25}}) {
        EXPECT_EQ(shownTopPlayers(c.stored), c.shown) << c.stored;
    }
}

TEST_F(OptionsTest, TopPlayersOutsideTheChoicesReadAsTwentyFive) {
    prefs().set(kPrefTopPlayers, 7);
    EXPECT_EQ(readOptions(context()).application.topPlayers, 25);
}

TEST_F(OptionsTest, WithoutALeagueNothingOfTheInternetSettingsIsStored) {
    removeAllLeagues();
    OptionSettings wanted = changedOptions(kDefaultLeagueId);
    wanted.internet.league.reset();
    std::string error;
    ASSERT_TRUE(storeOptions(context(), wanted, error)) << error;
    reopen();
    OptionSettings stored = readOptions(context());
    EXPECT_FALSE(stored.internet.league.has_value());
    EXPECT_EQ(stored.internet.smtpServer, "");
    EXPECT_EQ(stored.internet.smtpUser, "");
    EXPECT_EQ(stored.application, wanted.application);
    EXPECT_EQ(stored.franchise, wanted.franchise);
}

TEST_F(OptionsTest, ALeagueRemovedMeanwhileStoresNothingOfTheInternetSettings) {
    OptionSettings wanted = changedOptions(kSecondLeague);
    ASSERT_EQ(
        context().mapFactory().remove(context().mapFactory().leagues(), &league(kSecondLeague)),
        kOk);
    std::string error;
    ASSERT_TRUE(storeOptions(context(), wanted, error)) << error;
    EXPECT_EQ(std::string(prefs().getText(kPrefSmtpServer)), "");
}

TEST_F(OptionsTest, ChangingTheWrTeMergeReloadsThePlayers) {
    const auto* byPosition = context().mapFactory().players().intIndex(kPlayerPosition);
    ASSERT_NE(byPosition, nullptr);
    ASSERT_GT(byPosition->count(kTE + kUnitOffset), 0u);

    OptionSettings wanted = readOptions(context());
    wanted.franchise.mergeWrTe = true;
    std::string error;
    ASSERT_TRUE(storeOptions(context(), wanted, error)) << error;
    byPosition = context().mapFactory().players().intIndex(kPlayerPosition);
    EXPECT_EQ(byPosition->count(kTE + kUnitOffset), 0u);
    EXPECT_GT(byPosition->count(kWR + kUnitOffset), 0u);
}

TEST_F(OptionsTest, TheCurrentLeagueIsPresetAndTheFirstStandsInForAMissingOne) {
    chooseOptionsLeague(context(), kSecondLeague);
    EXPECT_EQ(context().seasonState().peek(kCurrentLeague), kSecondLeague);
    EXPECT_EQ(readOptions(context()).internet.league, kSecondLeague);

    chooseOptionsLeague(context(), 99);
    EXPECT_EQ(readOptions(context()).internet.league, kDefaultLeagueId);
}

TEST_F(OptionsTest, AFailedLeagueSaveLeavesPreferencesAndLeagueAsTheyWere) {
    ASSERT_EQ(prefs().save(), kOk);
    OptionSettings before = readOptions(context());
    std::vector<std::uint8_t> prefsFile = readBytes(dir_ / "Prefs.db");
    context().leagueFile().close();

    std::string error;
    EXPECT_FALSE(storeOptions(context(), changedOptions(kDefaultLeagueId), error));
    EXPECT_NE(error.find("Default League"), std::string::npos) << error;
    EXPECT_EQ(readOptions(context()), before);
    EXPECT_EQ(readBytes(dir_ / "Prefs.db"), prefsFile);
}

TEST_F(OptionsTest, AFailedPreferencesSaveIsReportedAndUndone) {
    std::string error;
    context_.reset();
    context_ = Singleton::create(SeasonEnv{dir_.path(), [] { return kMid2011; }}, error);
    ASSERT_TRUE(context_) << error;
    ASSERT_TRUE(openSeason(context(), kYear).opened);
    OptionSettings before = readOptions(context());

    EXPECT_FALSE(storeOptions(context(), changedOptions(kDefaultLeagueId), error));
    EXPECT_NE(error.find("preferences"), std::string::npos) << error;
    EXPECT_EQ(readOptions(context()), before);
}

TEST_F(OptionsTest, TypedTextsWithControlCharactersStoreNothing) {
    ASSERT_EQ(prefs().save(), kOk);
    OptionSettings before = readOptions(context());
    std::vector<std::uint8_t> prefsFile = readBytes(dir_ / "Prefs.db");
    struct Case {
        std::function<void(OptionSettings&)> change;
        std::string message;
    };
    const Case cases[] = {
        {[](OptionSettings& o) { o.application.backgroundImage = "bg\n.jpg"; },
         "\"Background Image\" cannot hold control characters."},
        {[](OptionSettings& o) { o.internet.name = "Pat\x1b[2J"; },
         "\"Your Name\" cannot hold control characters."},
        {[](OptionSettings& o) { o.internet.webSite = "ftp.example.net\r\nDELE x"; },
         "\"Web Site\" cannot hold control characters."},
        {[](OptionSettings& o) { o.backup.directory = "/backups\x7f"; },
         "\"Backup Folder\" cannot hold control characters."},
    };
    for (const Case& c : cases) {
        OptionSettings options = changedOptions(kDefaultLeagueId);
        c.change(options);
        std::string error;
        EXPECT_FALSE(storeOptions(context(), options, error));
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(readOptions(context()), before) << c.message;
        EXPECT_EQ(readBytes(dir_ / "Prefs.db"), prefsFile) << c.message;
    }
}

// The FTP folder browser logs on with what the dialog shows before its OK.
TEST_F(OptionsTest, InternetSettingsAloneAreStoredForTheFtpBrowser) {
    ASSERT_EQ(prefs().save(), kOk);
    ApplicationSettings application = readOptions(context()).application;
    OptionSettings wanted = changedOptions(kSecondLeague);
    std::string error;
    ASSERT_TRUE(storeInternetOptions(context(), wanted.internet, error)) << error;
    reopen();
    chooseOptionsLeague(context(), kSecondLeague);
    OptionSettings stored = readOptions(context());
    EXPECT_EQ(stored.internet, wanted.internet);
    EXPECT_EQ(stored.application, application);

    wanted.internet.ftpUser = "pat\r\nDELE x";
    EXPECT_FALSE(storeInternetOptions(context(), wanted.internet, error));
    EXPECT_EQ(error, "\"FTP User\" cannot hold control characters.");
    EXPECT_EQ(readOptions(context()).internet.ftpUser, "ftpuser");
}

TEST(OptionsRules, PortsAreDigitsFromOneTo65535) {
    struct Case {
        const char* text;
        std::optional<int> port;
    };
    for (Case c : {Case{"21", 21}, Case{"1", 1}, Case{"65535", 65535}, Case{"00080", 80},
                   Case{"0", std::nullopt}, Case{"65536", std::nullopt}, Case{"", std::nullopt},
                   Case{"2.1", std::nullopt}, Case{"-21", std::nullopt},
                   Case{"123456", std::nullopt}, Case{" 21", std::nullopt}}) {
        EXPECT_EQ(parsePort(c.text), c.port) << c.text;
    }
}

TEST(OptionsRules, AnEmptySmtpUserLogsOnAsAnonymous) {
    EXPECT_EQ(smtpTestUser(""), "anonymous");
    EXPECT_EQ(smtpTestUser("pat"), "pat");
}

TEST(OptionsRules, RequestedPagesOpenTheirPageAndTab) {
    struct Case {
        int requested;
        OptionsView view;
    };
    const Case cases[] = {
        {7, {OptionsPage::Franchise, OptionsTab::None}},
        {8, {OptionsPage::Franchise, OptionsTab::None}},
        {10, {OptionsPage::Application, OptionsTab::HthSchedule}},
        {12, {OptionsPage::Internet, OptionsTab::Ftp}},
        {14, {OptionsPage::Internet, OptionsTab::EMail}},
        {15, {OptionsPage::Backup, OptionsTab::None}},
        {-1, {OptionsPage::Application, OptionsTab::ReportOptions}},
        {9, {OptionsPage::Application, OptionsTab::ReportOptions}},
        {13, {OptionsPage::Application, OptionsTab::ReportOptions}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(optionsViewFor(c.requested), c.view) << c.requested;
    }
}

}  // namespace
}  // namespace qff::test
