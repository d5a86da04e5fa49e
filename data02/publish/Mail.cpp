#include "data02/publish/Mail.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>

#include "data02/league/Rosters.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/publish/Backup.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/shell/Optstore.h"

namespace qff {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUnknownLeague = "CRITICAL - Unknown league";
constexpr const char* kNoSmtpServer =
    "A SMTP server must be defined before you can send an EMail.\n\nPlease press the EMail "
    "Options button in the upper right, enter your\nSMTP information, and verify that a "
    "connection is available.";
constexpr const char* kNoRecipient =
    "At least one recipient must be specified before the mail can be sent.";
constexpr const char* kInvalidSender =
    "The address of the person sending the mail is not valid.\n\nPlease press the EMail Options "
    "button in the upper right and enter a valid address.";
constexpr const char* kNoRecipientAddress =
    "None of the recipients have an EMail address.\n\nTo assign an address press the To button "
    "then and edit the Franchise information.";
constexpr const char* kSomeWithoutAddress =
    "Some of the mail recipients do not have an EMail address.\n\nWould you like to send the mail "
    "to those with an address?";

std::string trimmed(std::string_view text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!text.empty() && blank(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

League* findLeague(Singleton& context, int league) {
    return context.mapFactory().leagues().findFirst(kLeagueId, league);
}

bool isLocalPartChar(unsigned char c) {
    static constexpr std::string_view kRefused = "()<>[]:;@\\,\"";
    return c > ' ' && c < 0x7f && kRefused.find(static_cast<char>(c)) == std::string_view::npos;
}

bool isHostChar(unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c == '.';
}

bool isPlausibleHost(std::string_view host) {
    if (host.empty() || host.front() == '.' || host.back() == '.' ||
        host.find("..") != std::string_view::npos) {
        return false;
    }
    return std::all_of(host.begin(), host.end(),
                       [](char c) { return isHostChar(static_cast<unsigned char>(c)); });
}

MailCheck refused(MailIcon icon, std::string message) {
    return {MailCheck::Outcome::Refused, icon, std::move(message)};
}

std::string implausibleAddressMessage(const Team& franchise) {
    return "The EMail address of " + franchise.text(kFranchiseName) + " is not valid: \"" +
           franchiseAddress(franchise) +
           "\".\n\nTo correct it press the To button then and edit the Franchise information.";
}

// The first recipient whose address is there but is not an address.
const Team* firstImplausible(Singleton& context, const MailRecipients& recipients) {
    for (const auto& [kind, id] : recipients) {
        const Team* franchise = findFranchise(context, id);
        if (franchise != nullptr && !franchiseAddress(*franchise).empty() &&
            !isPlausibleAddress(franchiseAddress(*franchise))) {
            return franchise;
        }
    }
    return nullptr;
}

bool hasAddress(Singleton& context, int id) {
    const Team* franchise = findFranchise(context, id);
    return franchise != nullptr && isPlausibleAddress(franchiseAddress(*franchise));
}

MailCheck checkRecipientAddresses(Singleton& context, const MailRecipients& recipients) {
    if (const Team* franchise = firstImplausible(context, recipients)) {
        return refused(MailIcon::Information, implausibleAddressMessage(*franchise));
    }
    const auto withAddress =
        std::count_if(recipients.begin(), recipients.end(),
                      [&](const auto& entry) { return hasAddress(context, entry.second); });
    if (withAddress == 0) {
        return refused(MailIcon::Information, kNoRecipientAddress);
    }
    if (static_cast<std::size_t>(withAddress) < recipients.size()) {
        return {MailCheck::Outcome::AskDropUnaddressed, MailIcon::Information, kSomeWithoutAddress};
    }
    return {};
}

std::vector<MailParty> partiesOfKind(Singleton& context, const MailRecipients& recipients,
                                     int kind) {
    std::vector<MailParty> parties;
    const auto [first, last] = recipients.equal_range(kind);
    for (auto it = first; it != last; ++it) {
        const Team* franchise = findFranchise(context, it->second);
        if (franchise != nullptr && isPlausibleAddress(franchiseAddress(*franchise))) {
            parties.push_back(
                {franchiseAddress(*franchise), franchise->text(kFranchiseName), it->second});
        }
    }
    return parties;
}

bool isExcludedFolder(const fs::path& relative) {
    const std::string top = lowered(relative.begin()->string());
    return top == "support" || top == "template";
}

// The body goes out line by line, each line ended as mail lines end.
std::string withMailLineEnds(std::string_view body) {
    std::string result;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') {
            continue;
        }
        if (body[i] == '\n' || body[i] == '\r') {
            result += "\r\n";
        } else {
            result += body[i];
        }
    }
    return result;
}

fs::path comparable(const fs::path& workdir, const fs::path& file) {
    return (file.is_absolute() ? file : workdir / file).lexically_normal();
}

}  // namespace

std::string franchiseMailText(std::string_view name, std::string_view address) {
    return std::string(name) + " < " +
           (address.empty() ? std::string(kNoEMailAddress) : std::string(address)) + " >";
}

std::string franchiseMailText(const Team& franchise) {
    return franchiseMailText(franchise.text(kFranchiseName), franchiseAddress(franchise));
}

std::string senderNameToSend(std::string_view storedName) {
    const std::string name = trimmed(storedName);
    if (name.empty() || lowered(name) == lowered(kSampleCommissionerName)) {
        return kDefaultSenderName;
    }
    return name;
}

std::string fromText(std::string_view storedName, std::string_view address) {
    if (storedName.empty()) {
        return std::string(address);
    }
    return franchiseMailText(storedName, address);
}

std::string leagueFromText(Singleton& context, int league) {
    const League* record = findLeague(context, league);
    if (record == nullptr) {
        return {};
    }
    return fromText(record->text(kLeagueCommissioner), trimmed(record->text(kLeagueEmail)));
}

std::string recipientsText(Singleton& context, const MailRecipients& recipients, int kind) {
    std::string text;
    const auto [first, last] = recipients.equal_range(kind);
    for (auto it = first; it != last; ++it) {
        const Team* franchise = findFranchise(context, it->second);
        if (franchise != nullptr) {
            text += (text.empty() ? "" : ", ") + franchiseMailText(*franchise);
        }
    }
    return text;
}

bool isPlausibleAddress(std::string_view address) {
    const std::size_t at = address.find('@');
    if (at == std::string_view::npos || at == 0 || address.find('@', at + 1) != address.npos) {
        return false;
    }
    const std::string_view local = address.substr(0, at);
    return std::all_of(local.begin(), local.end(),
                       [](char c) { return isLocalPartChar(static_cast<unsigned char>(c)); }) &&
           isPlausibleHost(address.substr(at + 1));
}

bool isValidSenderAddress(std::string_view address) {
    const std::string cleaned = trimmed(address);
    return isPlausibleAddress(cleaned) &&
           lowered(cleaned).find(kSampleSenderAddress) == std::string::npos;
}

std::string franchiseAddress(const Team& franchise) {
    return trimmed(franchise.text(kOwnerEmail));
}

std::vector<int> leagueFranchiseIds(Singleton& context, int league) {
    const int values[] = {league};
    std::vector<const Team*> franchises;
    for (const Team* franchise :
         context.mapFactory().franchises().selectByValues(kFranchiseLeague, values)) {
        franchises.push_back(franchise);
    }
    std::stable_sort(franchises.begin(), franchises.end(), [](const Team* a, const Team* b) {
        return a->text(kFranchiseName) < b->text(kFranchiseName);
    });
    std::vector<int> ids;
    for (const Team* franchise : franchises) {
        ids.push_back(franchise->id());
    }
    return ids;
}

MailCheck checkMail(Singleton& context, int league, const MailRecipients& recipients) {
    const League* record = findLeague(context, league);
    if (record == nullptr) {
        return refused(MailIcon::Error, kUnknownLeague);
    }
    if (trimmed(context.preferences().getText(kPrefSmtpServer)).empty()) {
        return refused(MailIcon::Information, kNoSmtpServer);
    }
    if (recipients.empty()) {
        return refused(MailIcon::Information, kNoRecipient);
    }
    if (!isValidSenderAddress(record->text(kLeagueEmail))) {
        return refused(MailIcon::Information, kInvalidSender);
    }
    return checkRecipientAddresses(context, recipients);
}

void dropUnaddressedRecipients(Singleton& context, MailRecipients& recipients) {
    std::erase_if(recipients,
                  [&](const auto& entry) { return !hasAddress(context, entry.second); });
}

fs::path defaultMailZip(const fs::path& workdir, std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    return workdir / kMailAttachDirectory /
           defaultBackupName(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

bool ensureMailAttachDirectory(const fs::path& workdir) {
    std::error_code ec;
    fs::create_directories(workdir / kMailAttachDirectory, ec);
    return fs::is_directory(workdir / kMailAttachDirectory, ec);
}

std::vector<fs::path> attachableReports(const fs::path& workdir) {
    std::vector<fs::path> pages;
    std::error_code ec;
    fs::recursive_directory_iterator it(workdir, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(workdir);
        if (it.depth() == 0 && it->is_directory(ec) && isExcludedFolder(relative)) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file(ec) && lowered(it->path().extension().string()) == ".htm") {
            pages.push_back(relative);
        }
    }
    std::sort(pages.begin(), pages.end());
    return pages;
}

bool addAttachment(std::vector<fs::path>& list, const fs::path& workdir, const fs::path& file) {
    const fs::path wanted = comparable(workdir, file);
    if (std::any_of(list.begin(), list.end(),
                    [&](const fs::path& entry) { return comparable(workdir, entry) == wanted; })) {
        return false;
    }
    list.push_back(file);
    return true;
}

MailDraft composeMail(Singleton& context, int league, const MailRecipients& recipients,
                      std::string subject, std::string body, std::vector<fs::path> attachments,
                      fs::path zipName) {
    MailDraft draft;
    Preferences& preferences = context.preferences();
    draft.host = trimmed(preferences.getText(kPrefSmtpServer));
    const std::string user = trimmed(preferences.getText(kPrefMailLogin));
    draft.userId = user.empty() ? std::string(kAnonymousSmtpUser) : user;
    if (const League* record = findLeague(context, league)) {
        draft.sender = {trimmed(record->text(kLeagueEmail)),
                        senderNameToSend(record->text(kLeagueCommissioner))};
    }
    draft.to = partiesOfKind(context, recipients, kMailTo);
    draft.cc = partiesOfKind(context, recipients, kMailCc);
    draft.bcc = partiesOfKind(context, recipients, kMailBcc);
    draft.subject = std::move(subject);
    draft.body = withMailLineEnds(body);
    draft.attachments = std::move(attachments);
    draft.workdir = context.workdir();
    draft.zipName = std::move(zipName);
    draft.zipPassword = preferences.getText(kPrefBackupPassword);
    return draft;
}

}  // namespace qff
