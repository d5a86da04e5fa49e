#include <gmock/gmock.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "qff/platform/zip_archiver.h"
#include "tests/cli/CliRun.h"
#include "tests/platform/test_support.h"

namespace qff::test {
namespace {

namespace fs = std::filesystem;
using platform::testing::serverPort;
using platform::testing::serverStateDir;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

// The address the test server refuses.
constexpr const char* kRefused = "refuse@example.org";

struct Received {
    std::string content;
    std::vector<std::string> recipients;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        result.push_back(line);
    }
    return result;
}

std::vector<std::string> headerLines(const std::string& content) {
    std::vector<std::string> headers;
    for (const std::string& line : lines(content)) {
        if (line.empty()) {
            break;
        }
        headers.push_back(line);
    }
    return headers;
}

// The messages of all tests land in one folder; each test's subject carries its name.
std::optional<Received> received(const std::string& marker) {
    for (const auto& entry : fs::directory_iterator(serverStateDir("smtp") / "mail")) {
        if (entry.path().extension() != ".eml") {
            continue;
        }
        std::string content = readText(entry.path());
        if (content.find(marker) != std::string::npos) {
            fs::path recipients = entry.path();
            recipients.replace_extension(".rcpt");
            return Received{std::move(content), lines(readText(recipients))};
        }
    }
    return std::nullopt;
}

// A season of 2004 whose default league has four franchises, two report pages and the
// loopback server as its mail server.
class CliMail : public CliRun {
  protected:
    void SetUp() override {
        marker_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(qff({"season", "new", "--year", "2004"}).status, 0);
        ASSERT_EQ(qff({"prefs", "set", "8000", "2004"}).status, 0);
        ASSERT_EQ(qff({"open"}).status, 0);
        const std::string server = "127.0.0.1:" + std::to_string(serverPort("smtp"));
        ASSERT_EQ(qff({"prefs", "set", "8031", server}).status, 0);
        ASSERT_EQ(qff({"league", "set", "0", "--your-name", "Pat Quill", "--your-email",
                       "pat@example.net"})
                      .status,
                  0);
        for (const auto& [name, address] :
             std::vector<std::pair<std::string, std::string>>{{"Hawks", "hawks@example.net"},
                                                              {"Comets", "comets@example.net"},
                                                              {"Giants", "giants@example.net"},
                                                              {"Owls", kRefused}}) {
            RunResult added = qff({"franchise", "add", "--league", "0", name});
            ASSERT_EQ(added.status, 0) << added.err;
            franchiseIds_.push_back(std::to_string(franchiseIds_.size() + 1));
            ASSERT_EQ(qff({"franchise", "set", franchiseIds_.back(), "--email", address}).status,
                      0);
        }
        place("Default League/Standings - Week 1.HTM", "<p>standings " + marker_ + "</p>");
        place("Default League/Results - Week 1.HTM", "<p>results " + marker_ + "</p>");
    }

    void place(const std::string& relative, const std::string& text) {
        fs::create_directories((dir_ / relative).parent_path());
        writeText(dir_ / relative, text);
    }

    std::vector<std::string> mailArgs(std::vector<std::string> extra) const {
        std::vector<std::string> args{"mail",
                                      "--league",
                                      "0",
                                      "--subject",
                                      "Week 1 " + marker_,
                                      "--body",
                                      "Hello owners,\nthe reports are attached."};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    // Decodes the message with Python's own MIME parser, an independent peer.
    fs::path decoded(const Received& message) const {
        writeText(io_ / "message.eml", message.content);
        const int status = platform::testing::runProgram(
            {"/usr/bin/python3", QFF_PLATFORM_TESTS_DIR "/decode_mail.py",
             (io_ / "message.eml").string(), (io_ / "out").string()},
            io_.path(), io_ / "decode.log");
        EXPECT_EQ(status, 0) << readText(io_ / "decode.log");
        return io_ / "out";
    }

    std::string marker_;
    std::vector<std::string> franchiseIds_;
};

TEST_F(CliMail, SendsToCcAndBlindCopiesWithThePagesPacked) {
    ASSERT_EQ(qff({"prefs", "set", "8034", "s3cret"}).status, 0);
    const RunResult run =
        qff(mailArgs({"--to", "Hawks", "owls", "--cc", "2", "--bcc", "Giants", "--attach-report",
                      "Standings - Week 1", "Results - Week 1.htm", "--zip"}));

    // One recipient was refused: reported by name, and the command fails.
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, AllOf(HasSubstr("Owls"), HasSubstr(kRefused)));
    const std::vector<std::string> log = lines(run.out);
    EXPECT_THAT(log, Contains("    Recipient not found - refuse@example.org"));
    EXPECT_THAT(log, Contains("    Mail status: Owls did not receive the mail"));
    EXPECT_THAT(log, Contains("    Mail has been sent"));
    EXPECT_EQ(log.back(), "Finished processing mail request.");
    EXPECT_THAT(run.out, Not(HasSubstr("s3cret")));

    const std::optional<Received> message = received(marker_);
    ASSERT_TRUE(message);
    EXPECT_THAT(message->recipients, UnorderedElementsAre("hawks@example.net", "comets@example.net",
                                                          "giants@example.net"));
    const std::vector<std::string> headers = headerLines(message->content);
    EXPECT_THAT(headers, Contains("From: \"Pat Quill\" <pat@example.net>"));
    EXPECT_THAT(headers,
                Contains("To: \"Hawks\" <hawks@example.net>, \"Owls\" <refuse@example.org>"));
    EXPECT_THAT(headers, Contains("Cc: \"Comets\" <comets@example.net>"));
    for (const std::string& header : headers) {
        EXPECT_THAT(header, Not(HasSubstr("giants"))) << header;
        EXPECT_THAT(header, Not(HasSubstr("Bcc"))) << header;
    }
    const std::vector<std::string> all = lines(message->content);
    EXPECT_THAT(all, Contains("Hello owners,"));
    EXPECT_THAT(all, Contains("the reports are attached."));

    const fs::path out = decoded(*message);
    std::vector<fs::path> attached;
    for (const auto& entry : fs::directory_iterator(out / "attachments")) {
        attached.push_back(entry.path());
    }
    ASSERT_EQ(attached.size(), 1u);
    EXPECT_EQ(attached[0].extension(), ".zip");
    platform::ZipArchiver archiver;
    std::vector<std::string> names;
    ASSERT_TRUE(archiver.listNames(attached[0], names).ok);
    EXPECT_THAT(names, UnorderedElementsAre("Standings - Week 1.HTM", "Results - Week 1.HTM"));
    TempDir unpacked;
    EXPECT_FALSE(archiver.extractAll(attached[0], unpacked.path(), "").ok);
    ASSERT_TRUE(archiver.extractAll(attached[0], unpacked.path(), "s3cret").ok);
    EXPECT_EQ(readText(unpacked / "Standings - Week 1.HTM"), "<p>standings " + marker_ + "</p>");
    EXPECT_EQ(readText(unpacked / "Results - Week 1.HTM"), "<p>results " + marker_ + "</p>");
    EXPECT_TRUE(fs::exists(dir_ / "Attach" / attached[0].filename()));
}

TEST_F(CliMail, AttachesEachFileOnItsOwnAndKeepsHeadersWhole) {
    writeText(io_ / "notes.txt", "notes " + marker_);
    const RunResult run =
        qff({"mail", "--league", "0", "--to", "1", "--subject",
             "Week 1 " + marker_ + "\r\nBcc: x@y.z", "--body", "see attached", "--attach-report",
             "Default League/Results - Week 1.HTM", "--attach", (io_ / "notes.txt").string()});
    EXPECT_EQ(run.status, 0) << run.err;

    const std::optional<Received> message = received(marker_);
    ASSERT_TRUE(message);
    EXPECT_THAT(message->recipients, UnorderedElementsAre("hawks@example.net"));
    // The subject's line end is gone, and with it the header it tried to start.
    const std::vector<std::string> headers = headerLines(message->content);
    EXPECT_THAT(headers, Contains("Subject: Week 1 " + marker_ + "Bcc: x@y.z"));
    for (const std::string& header : headers) {
        EXPECT_THAT(header, Not(StartsWith("Bcc"))) << header;
    }
    const fs::path out = decoded(*message);
    EXPECT_EQ(readText(out / "attachments/Results - Week 1.HTM"), "<p>results " + marker_ + "</p>");
    EXPECT_EQ(readText(out / "attachments/notes.txt"), "notes " + marker_);
}

TEST_F(CliMail, MissingAttachmentIsReportedAndTheRestSent) {
    const RunResult run = qff(mailArgs({"--to", "Hawks", "--attach-report", "Standings - Week 1",
                                        "--attach", (io_ / "gone.txt").string()}));
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("gone.txt"));
    EXPECT_THAT(lines(run.out), Contains("    Mail attachment not found (?\?\?)"));
    const std::optional<Received> message = received(marker_);
    ASSERT_TRUE(message);
    const fs::path out = decoded(*message);
    EXPECT_TRUE(fs::exists(out / "attachments/Standings - Week 1.HTM"));
    EXPECT_FALSE(fs::exists(out / "attachments/gone.txt"));
}

TEST_F(CliMail, NobodyTakingTheMailIsNoSuccess) {
    const RunResult run = qff(mailArgs({"--to", "Owls"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("the mail was not sent"));
    EXPECT_THAT(lines(run.out), Not(Contains("    Mail has been sent")));
    EXPECT_FALSE(received(marker_));
}

TEST_F(CliMail, RefusedBeforeConnecting) {
    struct Case {
        std::vector<std::string> setup;
        std::vector<std::string> recipients;
        std::string message;
    };
    const Case cases[] = {
        {{"franchise", "set", "3", "--email", "giants at example"}, {"--to", "Giants"}, "Giants"},
        {{"franchise", "set", "3", "--email", ""},
         {"--to", "Giants"},
         "None of the recipients have an EMail address."},
        {{"franchise", "set", "3", "--email", ""},
         {"--to", "Giants", "Hawks"},
         "no EMail address for Giants"},
        {{"league", "set", "0", "--your-email", "commissioner@example.org"},
         {"--to", "Hawks"},
         "The address of the person sending the mail is not valid."},
        {{"prefs", "set", "8031", ""},
         {"--to", "Hawks"},
         "A SMTP server must be defined before you can send an EMail."},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(qff(c.setup).status, 0);
        const RunResult run = qff(mailArgs(c.recipients));
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_THAT(run.err, HasSubstr(c.message));
        EXPECT_THAT(run.out, Not(HasSubstr("Connecting")));
    }
    EXPECT_FALSE(received(marker_));
    EXPECT_NE(qff(mailArgs({"--to", "Nobody"})).status, 0);
}

}  // namespace
}  // namespace qff::test
