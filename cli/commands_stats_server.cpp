#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#include "cli/CommandTable.h"
#include "cli/StatsNet.h"
#include "data02/intake/StatsServer.h"
#include "data02/reports/Format.h"

namespace qff::cli {
namespace {

namespace fs = std::filesystem;

struct SetRequest {
    std::optional<std::string> host;
    std::optional<int> port;
    std::optional<std::string> user;
    std::optional<std::string> folder;
    std::optional<fs::path> passwordFile;
    std::optional<fs::path> archivePasswordFile;

    bool empty() const {
        return !host && !port && !user && !folder && !passwordFile && !archivePasswordFile;
    }
};

const char* setOrNot(const std::string& secret) {
    return secret.empty() ? "not set" : "set";
}

// Passwords are never shown, only whether there is one.
int showSettings(Session& session, const StatsServerSettings& settings) {
    fs::path file = statsServerPath(session.options.workdir);
    std::error_code ec;
    nlohmann::json document = {
        {"file", file.string()},     {"exists", fs::exists(file, ec)},
        {"host", settings.host},     {"port", settings.port},
        {"user", settings.user},     {"password_set", !settings.password.empty()},
        {"folder", settings.folder}, {"archive_password_set", !settings.archivePassword.empty()}};
    return session.output.emit(document, [&](std::ostream& out) {
        out << "Statistics server (" << file.filename().string() << ")\n"
            << "  " << cell("host", 18) << (settings.host.empty() ? "(not set)" : settings.host)
            << '\n'
            << "  " << cell("port", 18) << settings.port << '\n'
            << "  " << cell("user", 18) << (settings.user.empty() ? "(anonymous)" : settings.user)
            << '\n'
            << "  " << cell("password", 18) << setOrNot(settings.password) << '\n'
            << "  " << cell("download folder", 18) << settings.folder << '\n'
            << "  " << cell("archive password", 18) << setOrNot(settings.archivePassword) << '\n';
    });
}

bool readPassword(Session& session, const std::optional<fs::path>& file, std::string& password) {
    if (!file) {
        return true;
    }
    std::string error;
    std::optional<std::string> read = readPasswordFile(session.options.fileArgument(*file), error);
    if (!read) {
        session.output.fail(error);
        return false;
    }
    password = *read;
    return true;
}

int setCommand(const SetRequest& request, Session& session) {
    if (request.empty()) {
        return session.output.usage("give at least one setting to change");
    }
    std::optional<StatsServerSettings> settings = statsServerSettings(session);
    if (!settings || !readPassword(session, request.passwordFile, settings->password) ||
        !readPassword(session, request.archivePasswordFile, settings->archivePassword)) {
        return kExitFailure;
    }
    settings->host = request.host.value_or(settings->host);
    settings->port = request.port.value_or(settings->port);
    settings->user = request.user.value_or(settings->user);
    settings->folder = request.folder.value_or(settings->folder);
    std::string error;
    if (!saveStatsServer(session.options.workdir, *settings, error)) {
        return session.output.fail(error);
    }
    return showSettings(session, *settings);
}

int showCommand(Session& session) {
    std::optional<StatsServerSettings> settings = statsServerSettings(session);
    return settings ? showSettings(session, *settings) : kExitFailure;
}

}  // namespace

void addStatsServerCommands(CLI::App& app, CommandTable& table) {
    CLI::App* server = app.add_subcommand(
        "stats-server", "Show or change where weekly statistics are downloaded from");
    server->require_subcommand(1);

    CLI::App* show = server->add_subcommand("show", "Show the statistics server settings");
    table.add(show, showCommand);

    auto request = std::make_shared<SetRequest>();
    CLI::App* set = server->add_subcommand(
        "set", "Change statistics server settings; passwords are read from files");
    set->add_option("--host", request->host, "Host name or address of the FTP server");
    set->add_option("--port", request->port, "FTP port")->check(CLI::Range(1, 65535));
    set->add_option("--user", request->user, "User name of the login (empty: anonymous)");
    set->add_option("--folder", request->folder, "Remote folder holding the statistics files");
    set->add_option("--password-file", request->passwordFile,
                    "File whose first line is the login password (an empty file clears it)");
    set->add_option("--archive-password-file", request->archivePasswordFile,
                    "File whose first line is the password of the weekly archives");
    table.add(set, [request](Session& session) { return setCommand(*request, session); });
}

}  // namespace qff::cli
