#include <gtest/gtest.h>

#include "qff/platform/mail_headers.h"

namespace qff::platform {
namespace {

using namespace std::chrono;

TEST(MailHeadersTest, HeaderTextIsEncodedOnlyWhenNeeded) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Week 3 standings", "Week 3 standings"},
        {"Week 3\r\nBcc: x@example.org", "Week 3Bcc: x@example.org"},
        {"Müller", "=?UTF-8?B?TcO8bGxlcg==?="},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(encodeHeaderText(text), expected);
    }
}

TEST(MailHeadersTest, LongTextBecomesSeveralShortEncodedWords) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "Ü";
    }
    const std::string encoded = encodeHeaderText(text);
    std::size_t words = 0;
    std::istringstream stream(encoded);
    for (std::string word; stream >> word; ++words) {
        EXPECT_LE(word.size(), 75u);
        EXPECT_TRUE(word.starts_with("=?UTF-8?B?") && word.ends_with("?="));
    }
    EXPECT_EQ(words, 2u);
}

TEST(MailHeadersTest, MailboxesAreQuotedOrEncoded) {
    const std::vector<std::pair<MailAddress, std::string>> cases = {
        {{"ann@example.org", ""}, "ann@example.org"},
        {{"ann@example.org", "Ann Owner"}, "\"Ann Owner\" <ann@example.org>"},
        {{"ann@example.org", "Owner, \"Ann\""}, "\"Owner, \\\"Ann\\\"\" <ann@example.org>"},
        {{"ann@example.org", "Jörg"}, "=?UTF-8?B?SsO2cmc=?= <ann@example.org>"},
        {{"ann@example.org>\r\nBcc: <x@example.org", ""}, "ann@example.orgBcc:x@example.org"},
    };
    for (const auto& [mailbox, expected] : cases) {
        EXPECT_EQ(formatMailbox(mailbox), expected);
    }
}

TEST(MailHeadersTest, DateIsRfc5322InUtc) {
    const auto time = sys_days{2024y / March / 5} + 13h + 4min + 5s;
    EXPECT_EQ(formatMailDate(time), "Tue, 05 Mar 2024 13:04:05 +0000");
}

}  // namespace
}  // namespace qff::platform
