#include <gtest/gtest.h>

#include <string>

#include "data02/shell/Support.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::TempDir;
using test::writeText;

TEST(HelpPageFor, FindsThePageOfAPair) {
    struct Case {
        int section;
        int activity;
        std::string file;
    };
    const Case cases[] = {
        {0, 0, "About.htm"},     {0, 1, "Features.htm"}, {0, 3, "Internet.htm"},
        {0, 4, "Issue.htm"},     {0, 5, "HelpHome.htm"}, {1, 0, "Setup.htm"},
        {1, 6, "Teams.htm"},     {1, 7, "DraftDay.htm"}, {1, 8, "Draft.htm"},
        {1, 10, "Schedule.htm"}, {1, 11, "Scoring.htm"}, {2, 0, "Weekly.htm"},
        {2, 9, "Rosters.htm"},   {2, 13, "Stats.htm"},   {2, 14, "EMail.htm"},
        {2, 15, "Backup.htm"},   {2, 16, "Trade.htm"},   {3, 0, "ViewRpt.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(helpPageFor(c.section, c.activity), c.file) << c.section << "/" << c.activity;
    }
}

TEST(HelpPageFor, TheHomePageActivityHasItsOwnPage) {
    EXPECT_EQ(helpPageFor(2, 12), "WebSite.htm");
}

TEST(HelpPageFor, APairWithoutAPageGetsTheGeneralOne) {
    const int pairs[][2] = {{1, 9}, {2, 8}, {3, 5}, {0, 2}, {-1, 0}, {9, 9}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(helpPageFor(pair[0], pair[1]), kNeedHelpPage) << pair[0] << "/" << pair[1];
    }
}

TEST(HelpPageFor, TheNoPairValueNeverPicksATopicOnlyPage) {
    EXPECT_EQ(helpPageFor(kNoOutlookPair, kNoOutlookPair), kNeedHelpPage);
    EXPECT_EQ(helpPageFor(0, kNoOutlookPair), kNeedHelpPage);
}

TEST(HelpPageForTopic, ComparesWithoutRegardToCase) {
    struct Case {
        std::string topic;
        std::string file;
    };
    const Case cases[] = {
        {"About this product", "About.htm"},
        {"HOW TO RUN A LEAGUE", "4League.htm"},
        {"a letter to team owners", "4Owner.htm"},
        {"How do I establish Franchises?", "Teams.htm"},
        {"viewing REPORTS", "ViewRpt.htm"},
        {"Creating custom reports", "ReportAssistant.htm"},
        {"No such topic", "NeedHelp.htm"},
        {"", "NeedHelp.htm"},
        {"About this product ", "NeedHelp.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(helpPageForTopic(c.topic), c.file) << c.topic;
    }
}

TEST(HelpPages, EveryRowNamesAnHtmlFileAndEveryTopicIsUnique) {
    for (const HelpPage& page : helpPages()) {
        EXPECT_TRUE(page.file.ends_with(".htm")) << page.file;
        if (!page.topic.empty()) {
            EXPECT_EQ(helpPageForTopic(page.topic), page.file) << page.topic;
        }
    }
}

TEST(SupportFilePath, PrefersTheWorkingDirectoryAndFallsBackToTheProgram) {
    TempDir work;
    TempDir program;
    std::filesystem::create_directories(work / "Support");
    std::filesystem::create_directories(program / "Support");
    writeText(work / "Support" / "Mine.htm", "w");
    writeText(program / "Support" / "Mine.htm", "p");
    writeText(program / "Support" / "Shipped.htm", "p");

    EXPECT_EQ(supportFilePath(work.path(), program.path(), "Mine.htm"),
              work / "Support" / "Mine.htm");
    EXPECT_EQ(supportFilePath(work.path(), program.path(), "Shipped.htm"),
              program / "Support" / "Shipped.htm");
    EXPECT_EQ(supportFilePath(work.path(), program.path(), "Missing.htm"),
              work / "Support" / "Missing.htm");
}

TEST(CleanedPagePath, CleansTheFileNameAndKeepsTheFolders) {
    struct Case {
        std::string page;
        bool colonToo;
        std::string expected;
    };
    const Case cases[] = {
        {"/work/L:1/Week: 3.HTM", false, "/work/L:1/Week: 3.HTM"},
        {"/work/L:1/Week: 3.HTM", true, "/work/L:1/Week_ 3.HTM"},
        {"/work/a*b/Top <5>?.htm", false, "/work/a*b/Top _5__.htm"},
        {"/work/Plain.htm", true, "/work/Plain.htm"},
        {"Relative|Name.htm", false, "Relative_Name.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cleanedPagePath(c.page, c.colonToo).string(), c.expected) << c.page;
    }
}

}  // namespace
}  // namespace qff
