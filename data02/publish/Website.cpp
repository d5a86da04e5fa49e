#include "data02/publish/Website.h"

#include <array>
#include <fstream>
#include <system_error>

#include "data02/diag/Status.h"
#include "data02/league/Listhelp.h"
#include "data02/model/Legqry.h"
#include "data02/season/Single.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

namespace fs = std::filesystem;

// Searched in this order; the first two take an argument up to "]".
constexpr std::array<std::string_view, 6> kTokens{"[link=",
                                                  "[report=",
                                                  "NAME_OF_YOUR_LEAGUE",
                                                  "RESULTS_FOR_WEEK_HEADER",
                                                  "LINKS_FOR_ON_LINE_ROSTERS",
                                                  "LINKS_FOR_OWNERS"};
constexpr std::size_t kArgumentTokens = 2;

// Used when the league names no template of its own.
constexpr std::string_view kBuiltInTemplate = R"(<HTML>
<HEAD>
<TITLE>NAME_OF_YOUR_LEAGUE</TITLE>
</HEAD>
<BODY>
<H1>NAME_OF_YOUR_LEAGUE</H1>
<H2>RESULTS_FOR_WEEK_HEADER</H2>
<P>[report= Weekly Results ]</P>
<P>[link= Standings ]</P>
<H2>Rosters</H2>
LINKS_FOR_ON_LINE_ROSTERS
<H2>Owners</H2>
LINKS_FOR_OWNERS
</BODY>
</HTML>
)";
constexpr const char* kBuiltInSource = "(built-in template)";

constexpr const char* kScratchFailure =
    "The Web Site content could not be published.\n\nReason: Could not create the scratch "
    "work area on your system.";
constexpr const char* kPublishFailure = "The Web Site content could not be published.\n\nReason: ";
constexpr const char* kLogErrorPrefix = "ERROR - ";
constexpr const char* kPageDraftSuffix = ".part";

struct TokenSpan {
    std::size_t begin;
    std::size_t end;
};

std::optional<TokenSpan> latestToken(std::string_view body) {
    for (std::size_t i = kTokens.size(); i-- > 0;) {
        std::size_t at = body.find(kTokens[i]);
        if (at == std::string_view::npos) {
            continue;
        }
        std::size_t end = at + kTokens[i].size();
        if (i < kArgumentTokens) {
            std::size_t close = body.find(']', end);
            end = close == std::string_view::npos ? body.size() : close + 1;
        }
        return TokenSpan{at, end};
    }
    return std::nullopt;
}

// As a template opened as text reads: every line ends in "\n", whatever the
// file used, and a line is never cut however long it is.
std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            lines.emplace_back(text);
            break;
        }
        std::string_view body = text.substr(0, end);
        if (body.ends_with('\r')) {
            body.remove_suffix(1);
        }
        lines.push_back(std::string(body) + '\n');
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::optional<std::vector<std::string>> readTemplateLines(const fs::path& path) {
    std::optional<std::string> text = readRegularFile(path, kMaxTemplateBytes);
    if (!text) {
        return std::nullopt;
    }
    return splitLines(*text);
}

std::string sizeText(std::uintmax_t bytes) {
    return std::to_string(bytes / (1024 * 1024)) + " MiB";
}

// Names the request gives, which publishing would store in the league.
std::string givenTemplateProblem(const PublishRequest& request) {
    for (const std::optional<std::string>& name :
         {request.homePageTemplate, request.ownerPageTemplate}) {
        std::string problem = name ? templateProblem(*name) : std::string();
        if (!problem.empty()) {
            return problem;
        }
    }
    return {};
}

std::optional<HomePageTemplate> chooseTemplate(const std::string& name, bool builtInWhenUnset) {
    if (!name.empty()) {
        return HomePageTemplate{name, readTemplateLines(name)};
    }
    if (builtInWhenUnset) {
        return HomePageTemplate{kBuiltInSource, splitLines(kBuiltInTemplate)};
    }
    return std::nullopt;
}

// A name cut to fit its field would name another file, so such a name is
// not stored; nor is anything kept in memory that the file does not hold.
std::string storeTemplateNames(League& league, const std::string& home, const std::string& owner) {
    std::string oldHome = league.text(kLeagueHomePage);
    std::string oldOwner = league.text(kLeagueOwnerPage);
    league.setText(kLeagueHomePage, home);
    league.setText(kLeagueOwnerPage, owner);
    std::string error;
    if (league.text(kLeagueHomePage) != home || league.text(kLeagueOwnerPage) != owner) {
        error = "The template file name does not fit in the league record.";
    } else if (league.save() != kOk) {
        error = "The league record could not be saved.";
    }
    if (!error.empty()) {
        league.setText(kLeagueHomePage, oldHome);
        league.setText(kLeagueOwnerPage, oldOwner);
    }
    return error;
}

// Symbolic links inside are removed as links; what they point to stays.
bool recreateScratch(const fs::path& scratch) {
    std::error_code error;
    fs::remove_all(scratch, error);
    if (error) {
        return false;
    }
    fs::create_directory(scratch, error);
    return !error;
}

enum class WriteOutcome { Written, NotCreated, NotWritten };

// Written under another name first, so a page that stops half-way is
// never found as the home page.
WriteOutcome writePage(const fs::path& page, const std::vector<std::string>& lines) {
    StagedWrite staged = StagedWrite::beside(page, kPageDraftSuffix);
    std::ofstream out(staged.temporary(), std::ios::binary | std::ios::trunc);
    if (!out) {
        return WriteOutcome::NotCreated;
    }
    for (const std::string& line : lines) {
        out << stripTemplateTokens(line);
    }
    out.close();
    if (out.fail()) {
        staged.discard();
        return WriteOutcome::NotWritten;
    }
    std::error_code error;
    return staged.replaceTarget(error) ? WriteOutcome::Written : WriteOutcome::NotWritten;
}

void logFailure(PublishResult& result, std::string line) {
    result.ok = false;
    result.message = line.substr(line.find_first_not_of(' '));
    result.log.push_back(std::move(line));
}

void beginLog(PublishResult& result, const std::string& source) {
    result.log.push_back(">>> Starting generation of Home Page Template");
    result.log.push_back("    Source = " + source);
}

void endLog(PublishResult& result) {
    result.log.push_back("<<< Finished generation of Home Page Template");
    result.log.push_back(" ");
}

void writeHomePage(const HomePageTemplate& text, const fs::path& scratch, PublishResult& result) {
    beginLog(result, text.source);
    result.source = text.source;
    if (!text.lines) {
        logFailure(result, "    ERROR - Could not open source file");
    } else {
        fs::path page = scratch / kHomePageFile;
        result.log.push_back("    Dest = " + page.string());
        switch (writePage(page, *text.lines)) {
            case WriteOutcome::Written:
                result.page = page;
                break;
            case WriteOutcome::NotCreated:
                logFailure(result, "    ERROR - Could not create destination file");
                break;
            case WriteOutcome::NotWritten:
                logFailure(result, "    ERROR - Could not write destination file");
                break;
        }
    }
    endLog(result);
}

PreparedSite leagueNotFound(const PublishRequest& request) {
    PreparedSite run;
    PublishResult& result = run.result;
    std::string source = request.homePageTemplate.value_or("");
    if (source.empty() && request.builtInTemplateWhenUnset) {
        source = kBuiltInSource;
    }
    beginLog(result, source);
    logFailure(result, "    ERROR - League not found");
    endLog(result);
    return run;
}

PreparedSite failure(std::string message) {
    PreparedSite run;
    run.result.ok = false;
    run.result.message = std::move(message);
    return run;
}

// The log's own wording, read as a sentence.
std::string failureReason(const PublishResult& result) {
    std::string reason = result.message;
    if (reason.starts_with(kLogErrorPrefix)) {
        reason.erase(0, std::string_view(kLogErrorPrefix).size());
        if (!result.source.empty()) {
            reason += ": " + result.source;
        }
    }
    if (!reason.ends_with('.')) {
        reason += '.';
    }
    return reason;
}

}  // namespace

std::string stripTemplateTokens(std::string_view line) {
    std::string_view body = line.ends_with('\n') ? line.substr(0, line.size() - 1) : line;
    std::optional<TokenSpan> token = latestToken(body);
    if (!token) {
        return std::string(line);
    }
    std::string_view rest = line.substr(token->end);
    if (rest == "\n") {
        rest = {};
    }
    return std::string(body.substr(0, token->begin)) + std::string(rest);
}

std::string fullTemplateName(const std::string& name, const fs::path& folder) {
    if (name.empty() || fs::path(name).is_absolute()) {
        return name;
    }
    return (folder / name).lexically_normal().string();
}

std::string templateProblem(const std::string& name) {
    if (holdsControlCharacter(name)) {
        return controlCharacterMessage("The template file name");
    }
    switch (checkReadableFile(name, kMaxTemplateBytes)) {
        case ReadableFile::NotRegular:
            return name + " is not a regular file.";
        case ReadableFile::TooLarge:
            return name + " is larger than " + sizeText(kMaxTemplateBytes) +
                   "; a template is at most " + sizeText(kMaxTemplateBytes) + ".";
        default:
            return {};
    }
}

PreparedSite prepareWebSite(Singleton& season, const PublishRequest& request) {
    League* league = season.leagueQuery().findOne(kLeagueId, request.league);
    if (league == nullptr) {
        return leagueNotFound(request);
    }
    if (std::string problem = givenTemplateProblem(request); !problem.empty()) {
        return failure(problem);
    }
    std::string home = request.homePageTemplate.value_or(league->text(kLeagueHomePage));
    std::string owner = request.ownerPageTemplate.value_or(league->text(kLeagueOwnerPage));
    if (std::string error = storeTemplateNames(*league, home, owner); !error.empty()) {
        return failure(error);
    }
    PreparedSite run;
    // Read before Scratch is emptied, so a template kept there still works.
    run.homePage = chooseTemplate(home, request.builtInTemplateWhenUnset);
    run.scratch = season.workdir() / kScratchDirectory;
    if (!recreateScratch(run.scratch)) {
        return failure(kScratchFailure);
    }
    return run;
}

void generateHomePage(PreparedSite& run) {
    if (run.result.ok && run.homePage) {
        writeHomePage(*run.homePage, run.scratch, run.result);
    }
}

PublishResult publishWebSite(Singleton& season, const PublishRequest& request) {
    PreparedSite run = prepareWebSite(season, request);
    generateHomePage(run);
    return run.result;
}

std::string publishFailureMessage(const PublishResult& result) {
    if (result.message == kScratchFailure) {
        return result.message;
    }
    return std::string(kPublishFailure) + failureReason(result);
}

}  // namespace qff
