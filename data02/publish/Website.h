#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qff {

class Singleton;

inline constexpr const char* kScratchDirectory = "Scratch";
inline constexpr const char* kHomePageFile = "index.htm";
// A template is a page's text; anything larger is no template.
inline constexpr std::uintmax_t kMaxTemplateBytes = 1024 * 1024;

// A template line with its placeholder token taken out. `line` holds its
// line end, if any. Only the token latest in token order is taken out; a
// token that ends the line takes the line end with it.
std::string stripTemplateTokens(std::string_view line);

struct PublishRequest {
    int league = 0;
    // Full file names; none keeps the name the league has stored.
    std::optional<std::string> homePageTemplate;
    std::optional<std::string> ownerPageTemplate;
    // Without a home page template nothing is generated, unless the
    // built-in template is asked for.
    bool builtInTemplateWhenUnset = false;
};

struct PublishResult {
    bool ok = true;
    // The status log, line by line.
    std::vector<std::string> log;
    // Why publishing failed, in one message.
    std::string message;
    // The home page, once written in full.
    std::optional<std::filesystem::path> page;
    // The home page template generation started from, as the log names
    // it; empty before.
    std::string source;
};

// A home page template as publishing read it.
struct HomePageTemplate {
    std::string source;
    // None when the file could not be read.
    std::optional<std::vector<std::string>> lines;
};

// Publishing up to the home page itself: the template names checked and
// stored, the template read and the Scratch directory made afresh. When a
// step fails `result` says why and there is nothing to generate.
struct PreparedSite {
    PublishResult result;
    std::filesystem::path scratch;
    // None when no home page template is named and no built-in one asked for.
    std::optional<HomePageTemplate> homePage;
};

// Why a template name given to publish is refused: it holds a control
// character, or names something other than a regular file of at most
// kMaxTemplateBytes. Empty when it may be stored; a missing file may, so a
// template can be named before it is written.
std::string templateProblem(const std::string& name);

// A template name as the league keeps it: a relative name is taken from
// `folder`, so it names the same file wherever the program is started.
// Empty stays empty.
std::string fullTemplateName(const std::string& name, const std::filesystem::path& folder);

// Stores the template names in the league and empties the Scratch directory
// of the working directory, ready for generateHomePage. A template name
// templateProblem refuses stores nothing and empties nothing.
PreparedSite prepareWebSite(Singleton& season, const PublishRequest& request);

// Builds the home page of a prepared run, if it has a template, into its
// Scratch directory; the status log and the outcome go to run.result.
void generateHomePage(PreparedSite& run);

// Both halves at once: the league's home page in Scratch.
PublishResult publishWebSite(Singleton& season, const PublishRequest& request);

// What the commissioner is told of a run that failed, in one message.
std::string publishFailureMessage(const PublishResult& result);

}  // namespace qff
