#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data02/model/Legqry.h"
#include "data02/publish/Website.h"
#include "data02/season/Opening.h"
#include "data02/season/Single.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::SeasonFixture;
using test::writeText;

constexpr int kYear = 2003;
constexpr int kLeague = kDefaultLeagueId;

TEST(StripTemplateTokens, TakesOutOneTokenPerLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"Welcome NAME_OF_YOUR_LEAGUE!\n", "Welcome !\n"},
        {"see [link= standings ] here\n", "see  here\n"},
        {"see [report=\tWeek 1\t] here\n", "see  here\n"},
        {"Owners: LINKS_FOR_OWNERS\n", "Owners: "},
        {"LINKS_FOR_ON_LINE_ROSTERS\n", ""},
        {"RESULTS_FOR_WEEK_HEADER\n", ""},
        {"plain line\n", "plain line\n"},
        {"\n", "\n"},
        {"last line without end", "last line without end"},
        // The text after a token stays, however short.
        {"NAME_OF_YOUR_LEAGUE!", "!"},
        {"NAME_OF_YOUR_LEAGUE!\n", "!\n"},
        {"NAME_OF_YOUR_LEAGUE", ""},
        // The token latest in token order wins; others stay as text.
        {"NAME_OF_YOUR_LEAGUE and LINKS_FOR_OWNERS\n", "NAME_OF_YOUR_LEAGUE and "},
        {"[link= a ] RESULTS_FOR_WEEK_HEADER x\n", "[link= a ]  x\n"},
        {"[report= r ] [link= l ]\n", " [link= l ]\n"},
        {"A NAME_OF_YOUR_LEAGUE B NAME_OF_YOUR_LEAGUE\n", "A  B NAME_OF_YOUR_LEAGUE\n"},
        // An argument runs to the next "]"; without one, to the end of the line.
        {"x [link= a ] b ] y\n", "x  b ] y\n"},
        {"x [link= unclosed\n", "x "},
        {"NAME_OF_YOUR_LEAGUE]\n", "]\n"},
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(stripTemplateTokens(line), expected) << line;
    }
}

class WebsiteTest : public SeasonFixture {
  protected:
    void SetUp() override {
        SeasonFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(openNewSeason(kYear));
    }

    void reopen() { ASSERT_TRUE(openSeason(context(), kYear).opened); }

    League& league() { return *context().leagueQuery().findOne(kLeagueId, kLeague); }

    fs::path scratch() const { return dir_ / kScratchDirectory; }
    fs::path page() const { return scratch() / kHomePageFile; }

    // The template file, written in binary so its line ends stay as given.
    std::string writeTemplate(const std::string& text, const fs::path& path) {
        test::writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
        return path.string();
    }
    std::string writeTemplate(const std::string& text) {
        return writeTemplate(text, dir_ / "home.htm");
    }

    PublishResult publish(const std::string& homeTemplate) {
        PublishRequest request;
        request.league = kLeague;
        request.homePageTemplate = homeTemplate;
        return publishWebSite(context(), request);
    }

    std::vector<std::string> successLog(const std::string& source) const {
        return {">>> Starting generation of Home Page Template", "    Source = " + source,
                "    Dest = " + page().string(), "<<< Finished generation of Home Page Template",
                " "};
    }
};

TEST_F(WebsiteTest, CopiesTheTemplateWithoutItsTokens) {
    std::string source = writeTemplate(
        "<HTML>\r\n"
        "Welcome NAME_OF_YOUR_LEAGUE!\r\n"
        "Go [link= standings ] now\n"
        "Owners: LINKS_FOR_OWNERS\n"
        "</HTML>");
    PublishResult result = publish(source);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.log, successLog(source));
    EXPECT_EQ(result.page, page());
    EXPECT_EQ(readText(page()), "<HTML>\nWelcome !\nGo  now\nOwners: </HTML>");
    EXPECT_FALSE(fs::exists(fs::path(page()) += ".part"));
}

TEST_F(WebsiteTest, KeepsLongLinesWhole) {
    std::string start(3000, 'a');
    std::string end(2000, 'b');
    std::string source = writeTemplate(start + "NAME_OF_YOUR_LEAGUE" + end + "\nnext\n");
    ASSERT_TRUE(publish(source).ok);
    EXPECT_EQ(readText(page()), start + end + "\nnext\n");
}

TEST_F(WebsiteTest, StoresTheTemplateNamesInTheLeague) {
    league().setText(kLeagueOwnerPage, "/templates/owner.htm");
    ASSERT_EQ(league().save(), kOk);
    std::string source = writeTemplate("x\n");
    ASSERT_TRUE(publish(source).ok);
    reopen();
    EXPECT_EQ(league().text(kLeagueHomePage), source);
    EXPECT_EQ(league().text(kLeagueOwnerPage), "/templates/owner.htm");
}

TEST_F(WebsiteTest, UsesTheStoredTemplateUnlessGivenOne) {
    std::string stored = writeTemplate("stored NAME_OF_YOUR_LEAGUE\n", dir_ / "stored.htm");
    league().setText(kLeagueHomePage, stored);
    ASSERT_EQ(league().save(), kOk);
    PublishRequest request;
    request.league = kLeague;
    ASSERT_TRUE(publishWebSite(context(), request).ok);
    EXPECT_EQ(readText(page()), "stored ");
}

TEST_F(WebsiteTest, ReadsATemplateKeptInScratch) {
    fs::create_directory(scratch());
    std::string source = writeTemplate("kept NAME_OF_YOUR_LEAGUE.\n", scratch() / "home.htm");
    PublishResult result = publish(source);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(readText(page()), "kept .\n");
    EXPECT_FALSE(fs::exists(source)) << "Scratch is still emptied";
}

TEST_F(WebsiteTest, EmptiesScratchWithoutFollowingLinks) {
    fs::path outside = dir_ / "outside";
    fs::create_directories(outside / "sub");
    writeText(outside / "keep.txt", "keep");
    writeText(outside / "sub" / "deep.txt", "deep");
    fs::create_directories(scratch() / "old" / ".hidden");
    writeText(scratch() / "old" / ".hidden" / "stale.htm", "stale");
    writeText(scratch() / "stale.htm", "stale");
    fs::create_directory_symlink(outside, scratch() / "linked-dir");
    fs::create_symlink(outside / "keep.txt", scratch() / "linked-file");
    fs::create_directory_symlink(outside, scratch() / "old" / "nested-link");

    ASSERT_TRUE(publish(writeTemplate("page\n")).ok);

    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(scratch())) {
        left.push_back(entry.path());
    }
    EXPECT_EQ(left, std::vector<fs::path>{page()});
    EXPECT_EQ(readText(outside / "keep.txt"), "keep");
    EXPECT_EQ(readText(outside / "sub" / "deep.txt"), "deep");
}

TEST_F(WebsiteTest, PublishingTwiceReplacesTheFirstPage) {
    ASSERT_TRUE(publish(writeTemplate("first\n")).ok);
    writeText(scratch() / "extra.htm", "extra");
    ASSERT_TRUE(publish(writeTemplate("second\n")).ok);
    EXPECT_EQ(readText(page()), "second\n");
    EXPECT_FALSE(fs::exists(scratch() / "extra.htm"));
}

TEST_F(WebsiteTest, AFailedWriteLeavesNoPage) {
    std::string source = writeTemplate(std::string(200000, 'x') + "\n");
    PublishResult result;
    {
        test::FileSizeLimit limit(100000);
        result = publish(source);
    }
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.log.at(3), "    ERROR - Could not write destination file");
    EXPECT_EQ(result.message, "ERROR - Could not write destination file");
    EXPECT_FALSE(result.page);
    EXPECT_TRUE(fs::is_empty(scratch()));
}

TEST_F(WebsiteTest, UnknownLeagueIsLoggedAndChangesNothing) {
    fs::create_directory(scratch());
    writeText(scratch() / "earlier.htm", "earlier");
    PublishRequest request;
    request.league = 77;
    request.homePageTemplate = "/somewhere/home.htm";
    PublishResult result = publishWebSite(context(), request);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.log, (std::vector<std::string>{
                              ">>> Starting generation of Home Page Template",
                              "    Source = /somewhere/home.htm", "    ERROR - League not found",
                              "<<< Finished generation of Home Page Template", " "}));
    EXPECT_EQ(result.message, "ERROR - League not found");
    EXPECT_TRUE(fs::exists(scratch() / "earlier.htm"));
}

// A template may be named before it is written.
TEST_F(WebsiteTest, MissingTemplateIsLoggedButItsNameKept) {
    std::string missing = (dir_ / "missing.htm").string();
    PublishResult result = publish(missing);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.log, (std::vector<std::string>{
                              ">>> Starting generation of Home Page Template",
                              "    Source = " + missing, "    ERROR - Could not open source file",
                              "<<< Finished generation of Home Page Template", " "}));
    EXPECT_FALSE(fs::exists(page()));
    reopen();
    EXPECT_EQ(league().text(kLeagueHomePage), missing);
}

// Opening a FIFO would wait for a writer for good and /dev/zero never ends:
// both are refused at once, before the league keeps their name.
TEST_F(WebsiteTest, OnlyARegularFileOfAtMostOneMebibyteIsATemplate) {
    fs::path fifo = dir_ / "fifo.htm";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string large = writeTemplate(std::string(kMaxTemplateBytes + 1, 'x'), dir_ / "large.htm");
    std::string largest =
        writeTemplate(std::string(kMaxTemplateBytes - 1, 'x') + "\n", dir_ / "largest.htm");
    league().setText(kLeagueHomePage, largest);
    ASSERT_EQ(league().save(), kOk);
    struct Case {
        std::string name;
        std::string message;
    };
    const Case cases[] = {
        {fifo.string(), fifo.string() + " is not a regular file."},
        {"/dev/zero", "/dev/zero is not a regular file."},
        {dir_.path().string(), dir_.path().string() + " is not a regular file."},
        {large, large + " is larger than 1 MiB; a template is at most 1 MiB."},
        {dir_.path().string() + "/home\n.htm",
         "The template file name cannot hold control characters."},
    };
    for (const Case& c : cases) {
        for (bool asOwnerPage : {false, true}) {
            PublishRequest request;
            request.league = kLeague;
            (asOwnerPage ? request.ownerPageTemplate : request.homePageTemplate) = c.name;
            PublishResult result = publishWebSite(context(), request);
            EXPECT_FALSE(result.ok) << c.name;
            EXPECT_EQ(result.message, c.message);
            EXPECT_TRUE(result.log.empty()) << c.name;
            EXPECT_FALSE(fs::exists(scratch())) << c.name;
            reopen();
            EXPECT_EQ(league().text(kLeagueHomePage), largest) << c.name;
            EXPECT_EQ(league().text(kLeagueOwnerPage), "") << c.name;
        }
    }
    ASSERT_TRUE(publish(largest).ok);
    EXPECT_EQ(fs::file_size(page()), kMaxTemplateBytes);
}

TEST_F(WebsiteTest, AStoredTemplateThatIsNoLongerARegularFileIsNotRead) {
    fs::path fifo = dir_ / "stored.htm";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    league().setText(kLeagueHomePage, fifo.string());
    ASSERT_EQ(league().save(), kOk);
    PublishRequest request;
    request.league = kLeague;
    PublishResult result = publishWebSite(context(), request);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "ERROR - Could not open source file");
    EXPECT_FALSE(fs::exists(page()));
}

TEST_F(WebsiteTest, WithoutTemplateGeneratesNothingUnlessBuiltInAsked) {
    fs::create_directory(scratch());
    writeText(scratch() / "earlier.htm", "earlier");
    PublishRequest request;
    request.league = kLeague;
    PublishResult result = publishWebSite(context(), request);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.log.empty());
    EXPECT_TRUE(fs::is_empty(scratch()));

    request.builtInTemplateWhenUnset = true;
    result = publishWebSite(context(), request);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.log, successLog("(built-in template)"));
    std::string html = readText(page());
    EXPECT_EQ(html.find("<HTML>"), 0u);
    for (const char* token :
         {"[link=", "[report=", "NAME_OF_YOUR_LEAGUE", "RESULTS_FOR_WEEK", "LINKS_FOR_"}) {
        EXPECT_EQ(html.find(token), std::string::npos) << token;
    }
    EXPECT_EQ(league().text(kLeagueHomePage), "");
}

TEST_F(WebsiteTest, RefusesANameTheLeagueCannotHold) {
    std::string longName = (dir_ / std::string(300, 'n')).string();
    PublishResult result = publish(longName);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "The template file name does not fit in the league record.");
    EXPECT_TRUE(result.log.empty());
    EXPECT_EQ(league().text(kLeagueHomePage), "");
    reopen();
    EXPECT_EQ(league().text(kLeagueHomePage), "");
    EXPECT_FALSE(fs::exists(scratch()));
}

TEST_F(WebsiteTest, PreparingStoresTheNamesAndEmptiesScratchBeforeAnyPage) {
    std::string source = writeTemplate("Hello NAME_OF_YOUR_LEAGUE\n");
    fs::create_directory(scratch());
    writeText(scratch() / "earlier.htm", "earlier");
    PublishRequest request;
    request.league = kLeague;
    request.homePageTemplate = source;
    request.ownerPageTemplate = "/templates/owner.htm";
    PreparedSite run = prepareWebSite(context(), request);
    ASSERT_TRUE(run.result.ok) << run.result.message;
    EXPECT_TRUE(run.result.log.empty());
    EXPECT_EQ(run.scratch, scratch());
    EXPECT_TRUE(fs::is_empty(scratch()));
    ASSERT_TRUE(run.homePage);
    EXPECT_EQ(run.homePage->source, source);
    reopen();
    EXPECT_EQ(league().text(kLeagueHomePage), source);
    EXPECT_EQ(league().text(kLeagueOwnerPage), "/templates/owner.htm");

    generateHomePage(run);
    ASSERT_TRUE(run.result.ok) << run.result.message;
    EXPECT_EQ(run.result.log, successLog(source));
    EXPECT_EQ(run.result.page, page());
    EXPECT_EQ(readText(page()), "Hello ");
}

TEST_F(WebsiteTest, AFailedPreparationHasNothingToGenerate) {
    PublishRequest request;
    request.league = kLeague;
    request.homePageTemplate = dir_.path().string();
    PreparedSite run = prepareWebSite(context(), request);
    EXPECT_FALSE(run.result.ok);
    generateHomePage(run);
    EXPECT_TRUE(run.result.log.empty());
    EXPECT_FALSE(fs::exists(scratch()));
}

TEST(FullTemplateName, TakesARelativeNameFromTheFolder) {
    const fs::path folder = "/league/work";
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"/templates/home.htm", "/templates/home.htm"},
        {"home.htm", "/league/work/home.htm"},
        {"../templates/home.htm", "/league/templates/home.htm"},
        {"./sub/home.htm", "/league/work/sub/home.htm"},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(fullTemplateName(name, folder), expected) << name;
    }
}

TEST_F(WebsiteTest, FailureMessagesGiveTheReason) {
    const std::string lead = "The Web Site content could not be published.\n\nReason: ";
    std::string missing = (dir_ / "missing.htm").string();
    EXPECT_EQ(publishFailureMessage(publish(missing)),
              lead + "Could not open source file: " + missing + ".");
    EXPECT_EQ(publishFailureMessage(publish(dir_.path().string())),
              lead + dir_.path().string() + " is not a regular file.");
    PublishRequest request;
    request.league = 77;
    request.homePageTemplate = missing;
    EXPECT_EQ(publishFailureMessage(publishWebSite(context(), request)),
              lead + "League not found.");
    PublishResult scratchFailure;
    scratchFailure.ok = false;
    scratchFailure.message = lead + "Could not create the scratch work area on your system.";
    EXPECT_EQ(publishFailureMessage(scratchFailure), scratchFailure.message);
}

}  // namespace
}  // namespace qff
