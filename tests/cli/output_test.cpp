#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Output.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "tests/cli/CliRun.h"

namespace qff::cli {
namespace {

// Control bytes in `text` other than line ends.
bool holdsRawControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\n') || byte == 0x7F;
    });
}

TEST(TerminalText, ShowsControlCharactersInCaretNotation) {
    struct Case {
        std::string text;
        LineEnds lineEnds;
        std::string shown;
    };
    const Case cases[] = {
        {"Harbor Hawks", LineEnds::Kept, "Harbor Hawks"},
        {"two\nlines\n", LineEnds::Kept, "two\nlines\n"},
        {"two\nlines\n", LineEnds::Shown, "two^Jlines^J"},
        {"\x1b[2Jwiped", LineEnds::Kept, "^[[2Jwiped"},
        {"over\rwrite", LineEnds::Kept, "over^Mwrite"},
        {"tab\tbell\a", LineEnds::Kept, "tab^Ibell^G"},
        {"del\x7f", LineEnds::Shown, "del^?"},
        {std::string("nul\0", 4), LineEnds::Kept, "nul^@"},
        {"\x1f", LineEnds::Kept, "^_"},
        {"caf\xe9 M\xc3\xbcller", LineEnds::Kept, "caf\xe9 M\xc3\xbcller"},
        {"", LineEnds::Shown, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(terminalText(c.text, c.lineEnds), c.shown) << c.shown;
    }
}

TEST(JsonText, EscapesEveryControlCharacterAndReadsBackTheSame) {
    const std::string texts[] = {"a\x1b[31mb", "del\x7f", "line\nend\r", std::string("\0\x01", 2),
                                 "plain"};
    for (const std::string& text : texts) {
        std::string printed = jsonText({{"name", text}});
        EXPECT_FALSE(holdsRawControl(printed)) << printed;
        EXPECT_EQ(nlohmann::json::parse(printed)["name"], text) << printed;
    }
    EXPECT_NE(jsonText({{"name", "a\x7f"}}).find("a\\u007f"), std::string::npos);
}

TEST(OutputStreams, EveryPathShowsControlCharacters) {
    std::ostringstream out;
    std::ostringstream err;
    Output output(false, out, err);
    output.emit({}, [](std::ostream& plain) { plain << "Evil\x1b]0;x\aRams\n"; });
    output.fail("bad\nname\x1b");
    output.warn("odd\rname");
    output.usage("unknown \x7f");
    EXPECT_EQ(out.str(), "Evil^[]0;x^GRams\n");
    EXPECT_EQ(err.str(),
              "qff: bad^Jname^[\nqff: warning: odd^Mname\nqff: unknown ^? (see qff --help)\n");

    std::ostringstream progress;
    Output watched(false, out, progress);
    watched.progress("Adding \x1b[2J.db  1/2");
    watched.endProgress();
    EXPECT_EQ(progress.str(), "\rAdding ^[[2J.db  1/2\x1b[K\r\x1b[K");
}

// A franchise named with control characters, as an older or hand-made file
// may hold it; qff itself refuses such names.
class CliControlNames : public test::CliRun {
  protected:
    void SetUp() override {
        test::RunResult demo = qff({"demo", "--year", "2003"});
        ASSERT_EQ(demo.status, 0) << demo.err;
        std::string error;
        std::unique_ptr<Singleton> season = Singleton::create(SeasonEnv{dir_.path()}, error);
        ASSERT_TRUE(season) << error;
        ASSERT_EQ(season->preferences().load(), kOk);
        ASSERT_TRUE(openSeason(*season, 2003).opened);
        Team* team = season->mapFactory().franchises().findFirst(kFranchiseId, 1);
        ASSERT_NE(team, nullptr);
        ASSERT_EQ(team->setText(kFranchiseName, kName), kOk);
        ASSERT_EQ(team->save(), kOk);
    }

    static constexpr const char* kName = "Evil\x1b]0;owned\aRams\r";
};

TEST_F(CliControlNames, NeverReachTheTerminalRaw) {
    struct Case {
        std::vector<std::string> args;
        bool nameInJson;
    };
    const Case cases[] = {
        {{"franchises"}, true},
        {{"results", "--league", "1", "--week", "1"}, true},
        {{"standings", "--league", "1"}, false},
        {{"roster", "1", "--week", "1"}, false},
        {{"bonus", "1", "3", "--week", "1"}, false},
    };
    for (const Case& c : cases) {
        test::RunResult plain = qff(c.args);
        EXPECT_EQ(plain.status, 0) << c.args[0] << plain.err;
        EXPECT_FALSE(holdsRawControl(plain.out)) << c.args[0];
        EXPECT_NE(plain.out.find("Evil^[]0;owned^GRams^M"), std::string::npos) << plain.out;
        std::vector<std::string> jsonArgs = c.args;
        jsonArgs.insert(jsonArgs.begin(), "--json");
        test::RunResult json = qff(jsonArgs);
        EXPECT_EQ(json.status, 0) << c.args[0];
        EXPECT_FALSE(holdsRawControl(json.out)) << c.args[0];
        if (c.nameInJson) {
            EXPECT_NE(json.out.find(R"(Evil\u001b]0;owned\u0007Rams\r)"), std::string::npos)
                << json.out;
        }
    }
}

}  // namespace
}  // namespace qff::cli
