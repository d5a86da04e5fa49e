#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/CommandTable.h"
#include "data02/publish/Website.h"

namespace qff::cli {
namespace {

struct SiteArgs {
    int league = 0;
    std::optional<std::string> homePageTemplate;
};

PublishRequest publishRequest(const SiteArgs& args) {
    PublishRequest request;
    request.league = args.league;
    // The league keeps the name for later runs from anywhere.
    if (args.homePageTemplate) {
        request.homePageTemplate = std::filesystem::absolute(*args.homePageTemplate).string();
    }
    request.builtInTemplateWhenUnset = true;
    return request;
}

int siteCommand(const SiteArgs& args, Session& session) {
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    PublishResult result = publishWebSite(context->season(), publishRequest(args));
    nlohmann::json document = {{"page", nullptr}, {"log", result.log}};
    if (!result.ok || !result.page) {
        if (session.output.json() && !result.log.empty()) {
            session.output.emit(document, {});
        }
        return session.output.fail(oneLine(result.message));
    }
    std::string page = std::filesystem::absolute(*result.page).lexically_normal().string();
    document["page"] = page;
    return session.output.emit(document, [&](std::ostream& out) { out << page << '\n'; });
}

}  // namespace

void addSiteCommands(CLI::App& app, CommandTable& table) {
    auto args = std::make_shared<SiteArgs>();
    CLI::App* site = app.add_subcommand(
        "site", "Build the league's home page, Scratch/index.htm, from its template");
    site->add_option("--league", args->league, "League id")->required();
    site->add_option("--template", args->homePageTemplate,
                     "Home page template; the one the league keeps by default, else a built-in "
                     "one. Kept in the league for later runs");
    table.add(site, [args](Session& session) { return siteCommand(*args, session); });
}

}  // namespace qff::cli
