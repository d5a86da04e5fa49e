#include "cli/Context.h"

#include <system_error>

#include "data02/model/Legqry.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Prefs.h"

namespace qff::cli {
namespace {

constexpr const char* kMemoryReportName = "mem_log.txt";

bool workdirUsable(Session& session) {
    std::error_code ec;
    if (std::filesystem::is_directory(session.options.workdir, ec)) {
        return true;
    }
    session.output.fail("the working directory " + session.options.workdir.string() +
                        " does not exist");
    return false;
}

}  // namespace

MemoryReportRemover::MemoryReportRemover(const GlobalOptions& options)
    : report_(options.workdir / kMemoryReportName), keep_(options.keepLogs) {}

MemoryReportRemover::~MemoryReportRemover() {
    if (!keep_) {
        std::error_code ec;
        std::filesystem::remove(report_, ec);
    }
}

std::unique_ptr<Context> Context::open(Session& session) {
    if (!workdirUsable(session)) {
        return nullptr;
    }
    std::unique_ptr<Context> context(new Context(session.options));
    SeasonEnv env;
    env.workdir = session.options.workdir;
    std::string error;
    context->season_ = Singleton::create(std::move(env), error);
    if (!context->season_) {
        session.output.fail(error);
        return nullptr;
    }
    return context;
}

namespace {

std::string messageLine(const SeasonMessage& message) {
    return message.detail.empty() ? message.text : message.text + " (" + message.detail + ")";
}

}  // namespace

std::unique_ptr<Context> Context::openSeason(Session& session, std::optional<int> year,
                                             SeasonOpenReport* reportOut) {
    std::unique_ptr<Context> context = open(session);
    if (!context) {
        return nullptr;
    }
    Singleton& season = context->season();
    if (season.preferences().load() != 0) {
        session.output.fail(season.preferences().lastError());
        return nullptr;
    }
    int chosen = year.value_or(season.preferences().get(kPrefOpenSeason));
    SeasonOpenReport report = qff::openSeason(season, chosen);
    if (reportOut != nullptr) {
        *reportOut = report;
        return report.opened ? std::move(context) : nullptr;
    }
    // The last message of a failed open says why it failed; every other
    // problem (a damaged file above all) is shown at every run, not once.
    std::size_t warnings = report.opened || report.messages.empty() ? report.messages.size()
                                                                    : report.messages.size() - 1;
    for (std::size_t i = 0; i < warnings; ++i) {
        if (report.messages[i].type == SeasonMessage::Type::Error) {
            session.output.warn(messageLine(report.messages[i]));
        }
    }
    if (!report.opened) {
        std::string reason = report.messages.empty() ? "the season did not open"
                                                     : messageLine(report.messages.back());
        session.output.fail("cannot open the " + std::to_string(chosen) + " season: " + reason);
        return nullptr;
    }
    return context;
}

FileMemory::FileMemory(const GlobalOptions& options)
    : remover_(options), memory_(options.workdir / kMemoryReportName) {}

std::unique_ptr<FileMemory> FileMemory::open(Session& session) {
    if (!workdirUsable(session)) {
        return nullptr;
    }
    return std::unique_ptr<FileMemory>(new FileMemory(session.options));
}

const League* findLeague(Session& session, Singleton& season, int id) {
    const League* found = season.leagueQuery().findOne(kLeagueId, id);
    if (found == nullptr) {
        session.output.fail("no league has the id " + std::to_string(id));
    }
    return found;
}

Team* findFranchise(Session& session, Singleton& season, int id) {
    Team* found = season.teamQuery().findOne(kFranchiseId, id);
    if (found == nullptr) {
        session.output.fail("no franchise has the id " + std::to_string(id));
    }
    return found;
}

std::string franchiseNameOrNote(Singleton& season, int id) {
    const Team* team = season.teamQuery().findOne(kFranchiseId, id);
    return team ? team->text(kFranchiseName) : "(no such franchise)";
}

}  // namespace qff::cli
