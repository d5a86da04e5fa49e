#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "data02/league/Listhelp.h"

namespace qff {
namespace {

TEST(SafeFileName, ReplacesWhatAFileNameCannotHold) {
    struct Case {
        std::string text;
        bool colonToo;
        std::string expected;
    };
    const Case cases[] = {
        {"a:b/c", false, "a:b_c"},
        {"a:b/c", true, "a_b_c"},
        {"Week 1 *Top* <QB>?", false, "Week 1 _Top_ _QB__"},
        {"\"quoted\"|piped", true, "_quoted__piped"},
        {"Standings.htm", true, "Standings.htm"},
        {"back\\slash", false, "back_slash"},
        {"../../etc/passwd", false, "______etc_passwd"},
        {"..\\up", false, "___up"},
        {"a..b", false, "a__b"},
        {"a...b", false, "a__.b"},
        {"..", false, "__"},
        {".", false, "_"},
        {"", false, "_"},
        {".hidden", false, ".hidden"},
        {"two\nlines\r", false, "two_lines_"},
        {"\x1b[2Jwiped\x7f", true, "_[2Jwiped_"},
        {std::string("nul\0led", 7), false, "nul_led"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(safeFileName(c.text, c.colonToo), c.expected) << c.text;
    }
}

TEST(ControlCharacters, AreTheBytesBelowBlankAndDelete) {
    const std::pair<std::string, bool> cases[] = {
        {"plain name", false},        {"tab\there", true},    {"line\n", true},
        {"\x1b[31mred", true},        {"bell\a", true},       {"del\x7f", true},
        {"Müller \xe9t\xe9", false},  {"~!@#$%^&*()", false}, {"", false},
        {std::string(1, '\0'), true},
    };
    for (const auto& [text, holds] : cases) {
        EXPECT_EQ(holdsControlCharacter(text), holds) << text;
    }
    EXPECT_EQ(controlCharacterMessage("\"Team Name\""),
              "\"Team Name\" cannot hold control characters.");
}

TEST(SafeFileName, NoSeparatorOrParentStepSurvives) {
    const std::string texts[] = {"a/../b", "....", "x\\..\\..\\y", "/..//../", ". . /. ."};
    for (const std::string& text : texts) {
        std::string name = safeFileName(text, false);
        EXPECT_EQ(name.find('/'), std::string::npos) << text;
        EXPECT_EQ(name.find('\\'), std::string::npos) << text;
        EXPECT_EQ(name.find(".."), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace qff
