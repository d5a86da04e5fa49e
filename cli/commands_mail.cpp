#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandTable.h"
#include "data02/league/Rosters.h"
#include "data02/model/Team.h"
#include "data02/publish/Mail.h"
#include "qff/mailer/smtp_transport.h"

namespace qff::cli {
namespace {

namespace fs = std::filesystem;

struct MailArgs {
    int league = 0;
    std::vector<std::string> to;
    std::vector<std::string> cc;
    std::vector<std::string> bcc;
    std::string subject;
    std::optional<std::string> body;
    std::optional<std::string> bodyFile;
    std::vector<std::string> reports;
    std::vector<std::string> files;
    bool zip = false;
};

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// A franchise of the league by id or by name (in any case).
std::optional<int> franchiseOf(Singleton& season, int league, const std::string& given) {
    for (int id : leagueFranchiseIds(season, league)) {
        const Team* franchise = qff::findFranchise(season, id);
        if ((isDigits(given) && std::to_string(id) == given) ||
            lowered(franchise->text(kFranchiseName)) == lowered(given)) {
            return id;
        }
    }
    return std::nullopt;
}

bool addRecipients(Session& session, Singleton& season, const MailArgs& args, int kind,
                   const std::vector<std::string>& given, MailRecipients& recipients) {
    for (const std::string& name : given) {
        const std::optional<int> id = franchiseOf(season, args.league, name);
        if (!id) {
            session.output.fail("no franchise '" + name + "' in league " +
                                std::to_string(args.league));
            return false;
        }
        recipients.emplace(kind, *id);
    }
    return true;
}

// A report page by its path below the working directory or by its file name, with or without
// ".htm"; a name that two pages share is refused rather than guessed.
std::optional<fs::path> reportPage(Session& session, const fs::path& workdir,
                                   const std::string& name) {
    std::vector<fs::path> matches;
    const std::string wanted = lowered(name);
    for (const fs::path& page : attachableReports(workdir)) {
        const std::string path = lowered(page.generic_string());
        const std::string file = lowered(page.filename().string());
        if (path == wanted || file == wanted || file == wanted + ".htm") {
            matches.push_back(page);
        }
    }
    if (matches.size() == 1) {
        return matches.front();
    }
    std::string message = "no report page '" + name + "' below the working directory";
    if (matches.size() > 1) {
        message = "report page '" + name + "' is ambiguous:";
        for (const fs::path& page : matches) {
            message += " " + page.generic_string();
        }
    }
    session.output.fail(message);
    return std::nullopt;
}

std::optional<std::vector<fs::path>> attachments(Session& session, const fs::path& workdir,
                                                 const MailArgs& args) {
    std::vector<fs::path> list;
    for (const std::string& name : args.reports) {
        std::optional<fs::path> page = reportPage(session, workdir, name);
        if (!page) {
            return std::nullopt;
        }
        addAttachment(list, workdir, *page);
    }
    for (const std::string& file : args.files) {
        addAttachment(list, workdir, fs::absolute(file).lexically_normal());
    }
    return list;
}

std::optional<std::string> bodyText(Session& session, const MailArgs& args) {
    if (args.body) {
        return *args.body;
    }
    std::ifstream in(*args.bodyFile, std::ios::binary);
    if (!in) {
        session.output.fail("cannot read the body file '" + *args.bodyFile + "'");
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string unaddressedNames(Singleton& season, const MailRecipients& recipients) {
    std::string names;
    for (const auto& [kind, id] : recipients) {
        const Team* franchise = qff::findFranchise(season, id);
        if (franchise != nullptr && franchiseAddress(*franchise).empty()) {
            names += (names.empty() ? "" : ", ") + franchise->text(kFranchiseName);
        }
    }
    return names;
}

// The window asks whether to go on without the recipients lacking an address; here nobody is
// asked, so nothing is sent and they are named.
bool passesChecks(Session& session, Singleton& season, int league,
                  const MailRecipients& recipients) {
    const MailCheck check = checkMail(season, league, recipients);
    switch (check.outcome) {
        case MailCheck::Outcome::Ready:
            return true;
        case MailCheck::Outcome::Refused:
            session.output.fail(oneLine(check.message));
            return false;
        case MailCheck::Outcome::AskDropUnaddressed:
            session.output.fail("not sent: no EMail address for " +
                                unaddressedNames(season, recipients));
            return false;
    }
    return false;
}

std::optional<MailDraft> draftOf(Session& session, Singleton& season, const MailArgs& args) {
    if (findLeague(session, season, args.league) == nullptr) {
        return std::nullopt;
    }
    MailRecipients recipients;
    if (!addRecipients(session, season, args, kMailTo, args.to, recipients) ||
        !addRecipients(session, season, args, kMailCc, args.cc, recipients) ||
        !addRecipients(session, season, args, kMailBcc, args.bcc, recipients) ||
        !passesChecks(session, season, args.league, recipients)) {
        return std::nullopt;
    }
    std::optional<std::string> body = bodyText(session, args);
    std::optional<std::vector<fs::path>> files = attachments(session, season.workdir(), args);
    if (!body || !files) {
        return std::nullopt;
    }
    fs::path zip;
    if (args.zip) {
        ensureMailAttachDirectory(season.workdir());
        zip = defaultMailZip(season.workdir(), std::time(nullptr));
    }
    return composeMail(season, args.league, recipients, args.subject, *body, std::move(*files),
                       zip);
}

std::string failureOf(const MailRun& run) {
    if (run.status() != MailRun::Status::Sent) {
        return "the mail was not sent";
    }
    std::string message;
    for (const MailParty& party : run.refused()) {
        message += (message.empty() ? "" : ", ") + party.name + " <" + party.address + ">";
    }
    if (!message.empty()) {
        message = "the mail did not reach " + message;
    }
    for (const fs::path& file : run.missingAttachments()) {
        message += std::string(message.empty() ? "" : "; ") + "not attached: " + file.string();
    }
    return message;
}

nlohmann::json documentOf(const MailRun& run) {
    nlohmann::json refused = nlohmann::json::array();
    for (const MailParty& party : run.refused()) {
        refused.push_back(
            {{"franchise", party.franchise}, {"name", party.name}, {"address", party.address}});
    }
    nlohmann::json missing = nlohmann::json::array();
    for (const fs::path& file : run.missingAttachments()) {
        missing.push_back(file.string());
    }
    return {{"sent", run.status() == MailRun::Status::Sent},
            {"refused", refused},
            {"missing", missing},
            {"log", run.log()}};
}

int mailCommand(const MailArgs& args, Session& session) {
    if (!args.body && !args.bodyFile) {
        return session.output.usage("--body or --body-file is required");
    }
    auto context = Context::openSeason(session);
    if (!context) {
        return kExitFailure;
    }
    std::optional<MailDraft> draft = draftOf(session, context->season(), args);
    if (!draft) {
        return kExitFailure;
    }
    mailer::SmtpMailTransport transport;
    // --zip stands for the day's archive in the Attach folder, which is made again.
    MailRun run(std::move(*draft), transport, [] { return MailAnswer::Yes; });
    run.runToEnd();
    const std::string failure = failureOf(run);
    const int shown = session.output.emit(documentOf(run), [&](std::ostream& out) {
        for (const std::string& line : run.log()) {
            out << line << '\n';
        }
    });
    return failure.empty() ? shown : session.output.fail(failure);
}

}  // namespace

void addMailCommands(CLI::App& app, CommandTable& table) {
    auto args = std::make_shared<MailArgs>();
    CLI::App* mail = app.add_subcommand(
        "mail", "Mail the owners of a league's franchises through the SMTP server of the settings");
    mail->add_option("--league", args->league, "League id")->required();
    mail->add_option("--to", args->to, "Franchises (id or name) the mail is addressed to")
        ->required();
    mail->add_option("--cc", args->cc, "Franchises receiving a copy");
    mail->add_option("--bcc", args->bcc, "Franchises receiving a copy without being named");
    mail->add_option("--subject", args->subject, "Subject")->required();
    CLI::Option* body = mail->add_option("--body", args->body, "The mail's text");
    CLI::Option* bodyFile =
        mail->add_option("--body-file", args->bodyFile, "A file holding the mail's text");
    body->excludes(bodyFile);
    mail->add_option("--attach-report", args->reports,
                     "Report pages below the working directory, by path or file name");
    mail->add_option("--attach", args->files, "Other files to attach");
    mail->add_flag("--zip", args->zip,
                   "Pack the attachments into one archive, Attach/M_D_YY.zip, replacing the "
                   "day's earlier one");
    table.add(mail, [args](Session& session) { return mailCommand(*args, session); });
}

}  // namespace qff::cli
