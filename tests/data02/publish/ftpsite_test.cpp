#include "data02/publish/Ftpsite.h"

#include <gtest/gtest.h>

#include <string>

#include "data02/model/Legqry.h"
#include "data02/season/Opening.h"
#include "data02/season/State.h"
#include "tests/support/SeasonFixture.h"

namespace qff::test {
namespace {

constexpr const char* kBadName =
    "A folder name cannot be \".\" and cannot hold \"/\", \"\\\", \"..\" or control characters.";

TEST(FtpSiteRules, TheHostEndsAtTheFirstSeparator) {
    struct Case {
        const char* location;
        const char* host;
    };
    for (Case c : {Case{"a.b.c/leagues/ours", "a.b.c"}, Case{"a.b.c", "a.b.c"},
                   Case{"a.b.c.d\\dir", "a.b.c.d"}, Case{"localhost/league", "localhost"},
                   Case{"example.com/v1.2/league", "example.com"},
                   Case{"ftp://ftp.example.com/public", "ftp.example.com"},
                   Case{"FTP://127.0.0.1", "127.0.0.1"}, Case{"/public", ""}, Case{"", ""}}) {
        EXPECT_EQ(ftpHostOf(c.location), c.host) << c.location;
    }
}

TEST(FtpSiteRules, FoldersJoinWithOneSeparator) {
    EXPECT_EQ(ftpChildFolder("/", "public"), "/public");
    EXPECT_EQ(ftpChildFolder("/public", "league"), "/public/league");
    EXPECT_EQ(ftpChildFolder("/public/", "league"), "/public/league");
    EXPECT_EQ(ftpLocationOf("a.b.c", "/"), "a.b.c/");
    EXPECT_EQ(ftpLocationOf("a.b.c", "/public/league"), "a.b.c/public/league");
    EXPECT_EQ(ftpLocationOf("a.b.c", "public"), "a.b.c/public");
}

TEST(FtpSiteRules, LocationsCompareAsFolders) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    for (Case c : {Case{"a.b.c/leagues/ours", "a.b.c/leagues/ours", true},
                   Case{"a.b.c/leagues/ours/", "a.b.c//leagues/ours", true},
                   Case{"a.b.c\\leagues\\ours", "A.B.C/leagues/ours", true},
                   Case{"ftp://a.b.c/leagues", "a.b.c/leagues", true},
                   Case{"a.b.c/", "a.b.c", true}, Case{"a.b.c/Leagues", "a.b.c/leagues", false},
                   Case{"a.b.c/leagues/ours", "a.b.c/leagues", false},
                   Case{"a.b.c/leagues", "a.b.d/leagues", false}}) {
        EXPECT_EQ(sameFtpLocation(c.a, c.b), c.same) << c.a << " | " << c.b;
    }
}

TEST(FtpSiteRules, FolderNamesStayInsideTheirParent) {
    struct Case {
        const char* name;
        std::string problem;
    };
    const Case cases[] = {
        {"league 2025", ""},
        {"web.site", ""},
        {".hidden", ""},
        {"", "Please type a name for the new folder."},
        {"   ", "Please type a name for the new folder."},
        {".", kBadName},
        {"..", kBadName},
        {"a..b", kBadName},
        {"public/league", kBadName},
        {"public\\league", kBadName},
        {"/", kBadName},
        {"name\r\nRMD /", kBadName},
        {"tab\there", kBadName},
        {"bell\x7f", kBadName},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ftpFolderNameProblem(c.name), c.problem) << c.name;
    }
}

class FtpSiteTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(2010));
        league_ = context().leagueQuery().findOne(kLeagueId, kDefaultLeagueId);
        ASSERT_NE(league_, nullptr);
        league_->setText(kLeagueFtpLocation, "ftp.example.net/public/league");
        league_->setText(kLeagueFtpCgi, "ftp.example.net\\cgi-bin");
        league_->setText(kLeagueFtpUser, "commish");
        league_->setValue(kLeagueFtpPort, 2121);
        context().seasonState().set(kCurrentLeague, kDefaultLeagueId);
    }

    League* league_ = nullptr;
};

TEST_F(FtpSiteTest, TheCurrentLeagueGivesTheLogonAndTheLocation) {
    std::optional<FtpSite> web = currentLeagueSite(context(), FtpLocationField::WebSite);
    ASSERT_TRUE(web.has_value());
    EXPECT_EQ(web->location, "ftp.example.net/public/league");
    EXPECT_EQ(web->host, "ftp.example.net");
    EXPECT_EQ(web->logon.ftpUser, "commish");
    EXPECT_EQ(web->logon.ftpPort, 2121);

    std::optional<FtpSite> cgi = currentLeagueSite(context(), FtpLocationField::CgiBin);
    ASSERT_TRUE(cgi.has_value());
    EXPECT_EQ(cgi->location, "ftp.example.net\\cgi-bin");
    EXPECT_EQ(cgi->host, "ftp.example.net");
}

TEST_F(FtpSiteTest, WithoutTheCurrentLeagueThereIsNoSite) {
    context().seasonState().set(kCurrentLeague, 42);
    EXPECT_FALSE(currentLeagueSite(context(), FtpLocationField::WebSite).has_value());
}

}  // namespace
}  // namespace qff::test
