#include <gtest/gtest.h>

#include <string>

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
    };
    for (const Case& c : cases) {
        EXPECT_EQ(safeFileName(c.text, c.colonToo), c.expected) << c.text;
    }
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
