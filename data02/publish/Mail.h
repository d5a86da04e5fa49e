#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qff {

class Singleton;
class Team;

// Who a franchise receives a mail as.
enum MailRecipientKind : int { kMailTo = 0, kMailCc = 1, kMailBcc = 2 };

// Recipient kind to franchise id; within a kind the order of insertion is kept.
using MailRecipients = std::multimap<int, int>;

inline constexpr const char* kNoEMailAddress = "No EMail Address";
// The sender name sent when the commissioner's name was left as it came.
inline constexpr const char* kDefaultSenderName = "League Commissioner";
// The name and address a new league holds until the commissioner enters theirs.
inline constexpr const char* kSampleCommissionerName = "Enter Your Name Here";
inline constexpr const char* kSampleSenderAddress = "commissioner@example.org";
inline constexpr const char* kMailAttachDirectory = "Attach";

// "Name < address >", or "Name < No EMail Address >" without an address.
std::string franchiseMailText(std::string_view name, std::string_view address);
std::string franchiseMailText(const Team& franchise);

// The name the mail is sent under: kDefaultSenderName for an empty stored name
// or the sample name in any case.
std::string senderNameToSend(std::string_view storedName);
// The "From:" field: "Name < address >" (kNoEMailAddress without address), or
// just the address when the name is empty.
std::string fromText(std::string_view storedName, std::string_view address);
// fromText of a league's commissioner; empty when the league does not exist.
std::string leagueFromText(Singleton& context, int league);

// A recipient kind's franchises as franchiseMailText, joined by ", ".
std::string recipientsText(Singleton& context, const MailRecipients& recipients, int kind);

// One '@' between a non-empty local part and a host name of letters, digits,
// '-' and '.', nothing that could end or split a header (blanks, control
// characters, angle brackets, commas, quotes, semicolons).
bool isPlausibleAddress(std::string_view address);
// A sender address is valid when it is plausible and is not the sample one.
bool isValidSenderAddress(std::string_view address);

// A franchise's e-mail address, trimmed of surrounding blanks.
std::string franchiseAddress(const Team& franchise);

// The franchises of a league in name order.
std::vector<int> leagueFranchiseIds(Singleton& context, int league);

enum class MailIcon { Error, Information };

// What "Send mail" finds before it composes anything.
struct MailCheck {
    enum class Outcome {
        // Everything is in order: compose and send.
        Ready,
        // Show `message` with `icon` and stop; nothing changes.
        Refused,
        // Ask `message` with Yes and No; Yes: dropUnaddressedRecipients, then
        // check again (and rewrite the To and CC fields); No: stop.
        AskDropUnaddressed,
    };
    Outcome outcome = Outcome::Ready;
    MailIcon icon = MailIcon::Information;
    std::string message;
};

// The checks in the order a commissioner meets them: the league, the SMTP
// server (preference 8031), at least one recipient, the sender address (league
// key 12004), a recipient whose address is there but not plausible (refused,
// naming the franchise), then the recipients without address.
MailCheck checkMail(Singleton& context, int league, const MailRecipients& recipients);
// Removes the recipients whose franchise has no address (or is gone).
void dropUnaddressedRecipients(Singleton& context, MailRecipients& recipients);

// workdir/Attach/M_D_YY.zip for the local date of `now`.
std::filesystem::path defaultMailZip(const std::filesystem::path& workdir, std::time_t now);
// Creates workdir/Attach when it is missing; false when it cannot be made.
bool ensureMailAttachDirectory(const std::filesystem::path& workdir);

// Every ".htm" page (extension in any case) below the working directory except
// its Support and Template folders, relative to it and sorted.
std::vector<std::filesystem::path> attachableReports(const std::filesystem::path& workdir);

// Adds a file to the attachment list unless the list already names it (a
// relative entry is taken relative to the working directory). Returns whether
// it was added.
bool addAttachment(std::vector<std::filesystem::path>& list, const std::filesystem::path& workdir,
                   const std::filesystem::path& file);

struct MailParty {
    std::string address;
    std::string name;
    // The franchise the address belongs to; 0 for the sender.
    int franchise = 0;
};

// Everything one sending needs, taken from the season when "Send mail" is
// pressed, so sending never touches the season.
struct MailDraft {
    // Preference 8031: "host" (port 25) or "host:port".
    std::string host;
    // Preference 8032, "anonymous" when empty.
    std::string userId;
    MailParty sender;
    std::vector<MailParty> to;
    std::vector<MailParty> cc;
    std::vector<MailParty> bcc;
    std::string subject;
    std::string body;
    // As listed on the page: report pages relative to workdir, other files in full.
    std::vector<std::filesystem::path> attachments;
    std::filesystem::path workdir;
    // Empty: every file is attached on its own.
    std::filesystem::path zipName;
    // The archive password of the backup settings; empty for none. Never logged.
    std::string zipPassword;
};

// The draft for recipients that passed checkMail. Recipients without address
// are left out.
MailDraft composeMail(Singleton& context, int league, const MailRecipients& recipients,
                      std::string subject, std::string body,
                      std::vector<std::filesystem::path> attachments,
                      std::filesystem::path zipName);

// What the mail server side tells while it works.
enum class MailEventKind {
    Connected,
    ConnectionFailed,
    Disconnected,
    GeneralFailure,
    HeaderIncomplete,
    HostResolved,
    PacketSent,
    SendingStarted,
    MailSent,
    StatusText,
    RecipientRefused,
    AuthenticationFailed,
    InvalidHost,
    AttachmentEncoding,
    AttachmentEncoded,
    ListReply,
    AttachmentMissing,
};

struct MailEvent {
    MailEventKind kind;
    // The status text, address or file name the log line names, if any.
    std::string text;
};

// The log line of an event, with its four leading blanks.
std::string mailEventLine(const MailEvent& event);

// The mail server and the archive behind a sending, so the sending can be
// tested without either.
class MailTransport {
  public:
    using Listener = std::function<void(const MailEvent&)>;
    virtual ~MailTransport() = default;

    virtual void setListener(Listener listener) = 0;
    virtual bool connect(const std::string& host, const std::string& userId,
                         const std::string& senderAddress) = 0;
    virtual bool connected() const = 0;
    // `attachments` are full paths of files that exist. A refused recipient is
    // reported as an event while the others still receive the mail; true when
    // the server took the mail for at least one recipient.
    virtual bool send(const MailDraft& draft,
                      const std::vector<std::filesystem::path>& attachments) = 0;
    virtual void disconnect() = 0;
    // Packs the files under their bare names into `zip`.
    virtual bool packZip(const std::filesystem::path& zip,
                         const std::vector<std::filesystem::path>& files,
                         const std::string& password, std::string& error) = 0;
};

enum class MailAnswer { Yes, No, Cancel };
// Asked when the ZIP file exists already: Yes replaces it, No attaches every
// file on its own, Cancel ends the sending.
using ZipExistsQuestion = std::function<MailAnswer()>;

inline constexpr const char* kZipExistsQuestion =
    "The attachments ZIP file already exists.\n\nWould you like to overwrite it (attach each file "
    "seperately)?";

// One sending, a step at a time, as the sending dialog's timer drives it:
// nothing, connect, attach, send, disconnect, finish. Every step and every
// event of the transport is logged.
class MailRun {
  public:
    enum class Status { Running, Sent, NotSent, Cancelled };

    // The transport must outlive the run.
    MailRun(MailDraft draft, MailTransport& transport, ZipExistsQuestion askZipExists);
    ~MailRun();
    MailRun(const MailRun&) = delete;
    MailRun& operator=(const MailRun&) = delete;

    void runStep();
    void runToEnd();
    // Disconnects when connected (as "Ok" does once the run is done); a
    // finished run keeps its status. Destroying the run disconnects too.
    void cancel();

    bool done() const { return status_ != Status::Running; }
    Status status() const { return status_; }
    // The next step, 1 to 6; 7 once done.
    int nextStep() const { return step_; }
    // The status memo, line by line.
    const std::vector<std::string>& log() const { return log_; }
    // Called with each line as it is logged.
    void setLogListener(std::function<void(const std::string&)> listener);

    // Recipients the server refused, and attachments that were gone when read.
    const std::vector<MailParty>& refused() const { return refused_; }
    const std::vector<std::filesystem::path>& missingAttachments() const { return missing_; }
    // Whether a file was packed into the draft's ZIP and attached instead.
    bool zipped() const { return zipped_; }

  private:
    void line(std::string text);
    void onEvent(const MailEvent& event);
    void connectStep();
    void attachStep();
    bool decideOnExistingZip();
    void attachSeparately();
    void attachZipped();
    void sendStep();
    void disconnectStep();
    void finish();
    std::filesystem::path resolved(const std::filesystem::path& entry) const;

    MailDraft draft_;
    MailTransport& transport_;
    ZipExistsQuestion askZipExists_;
    std::function<void(const std::string&)> logListener_;
    int step_ = 1;
    Status status_ = Status::Running;
    bool sent_ = false;
    bool cancelled_ = false;
    bool zipped_ = false;
    std::vector<std::filesystem::path> toAttach_;
    std::vector<std::string> log_;
    std::vector<MailParty> refused_;
    std::vector<std::filesystem::path> missing_;
};

}  // namespace qff
