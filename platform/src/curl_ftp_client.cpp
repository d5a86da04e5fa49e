#include "qff/platform/curl_ftp_client.h"

#include <cctype>
#include <string_view>

#include "curl_session.h"
#include "ftp_paths.h"
#include "qff/platform/ftp_listing.h"
#include "staged_file.h"

namespace qff::platform {

namespace {

using Components = std::vector<std::string>;

enum class Transfer { none, body };

std::string gatewayName(FirewallType type) {
    switch (type) {
        case FirewallType::userAtHost:
            return "USER user@host";
        case FirewallType::site:
            return "SITE host";
        case FirewallType::open:
            return "OPEN host";
        default:
            return "unknown";
    }
}

std::string hostForUrl(const std::string& host) {
    return host.find(':') == std::string::npos ? host : "[" + host + "]";
}

bool isWordCharacter(std::string_view text, std::size_t at) {
    return at < text.size() && std::isalnum(static_cast<unsigned char>(text[at]));
}

// Masks the secret where it stands as a word of its own, so that a short password does not
// mangle ordinary words of a reply.
void maskSecret(std::string& text, const std::string& secret) {
    if (secret.empty()) {
        return;
    }
    for (std::size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + 1)) {
        const bool standsAlone = (at == 0 || !isWordCharacter(text, at - 1)) &&
                                 !isWordCharacter(text, at + secret.size());
        if (standsAlone) {
            text.replace(at, secret.size(), "****");
        }
    }
}

// Servers without MLSD answer it with one of these.
bool isUnknownCommandReply(long code) {
    return code == 500 || code == 501 || code == 502;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

struct CurlFtpClient::Impl {
    CurlSession session;
    FtpSettings settings;
    bool connected = false;
    Components currentDir;
    int lastResult = 0;
    std::string lastReply;
    std::string lastMethod;

    void begin(const char* method) { lastMethod = method; }

    bool refuse(CURLcode code, std::string reason) {
        lastResult = code;
        lastReply = std::move(reason);
        maskSecrets();
        return false;
    }

    bool finish(CURLcode code) {
        lastResult = code;
        const bool serverRefused = session.responseCode() >= 400;
        if (code != CURLE_OK && !serverRefused) {
            lastReply = session.describe(code);
        } else if (!session.lastReplyLine().empty()) {
            lastReply = session.lastReplyLine();
        }
        maskSecrets();
        return code == CURLE_OK;
    }

    void maskSecrets() {
        maskSecret(lastReply, settings.password);
        maskSecret(lastReply, settings.proxyPassword);
    }

    bool checkRequest(const std::string& path) {
        if (!connected) {
            return refuse(CURLE_COULDNT_CONNECT, "not connected");
        }
        if (hasLineBreak(path)) {
            return refuse(CURLE_URL_MALFORMAT, "refused a path containing a line break");
        }
        return true;
    }

    bool checkSettings() {
        const FtpSettings& s = settings;
        if (s.host.empty()) {
            return refuse(CURLE_URL_MALFORMAT, "cannot connect: no host given");
        }
        for (const std::string* text :
             {&s.host, &s.user, &s.password, &s.proxyHost, &s.proxyUser, &s.proxyPassword}) {
            if (hasLineBreak(*text)) {
                return refuse(CURLE_URL_MALFORMAT,
                              "cannot connect: a setting contains a line break");
            }
        }
        return true;
    }

    bool applyProxy() {
        CURL* handle = session.handle();
        curl_proxytype type = CURLPROXY_HTTP;
        switch (settings.firewallType) {
            case FirewallType::none:
                // An empty proxy also overrides any proxy named in the environment.
                curl_easy_setopt(handle, CURLOPT_PROXY, "");
                return true;
            case FirewallType::socks4:
                type = CURLPROXY_SOCKS4;
                break;
            case FirewallType::socks5:
                type = CURLPROXY_SOCKS5_HOSTNAME;
                break;
            case FirewallType::httpConnect:
                curl_easy_setopt(handle, CURLOPT_HTTPPROXYTUNNEL, 1L);
                break;
            default:
                return refuse(CURLE_COULDNT_CONNECT,
                              "cannot connect: firewall type '" +
                                  gatewayName(settings.firewallType) +
                                  "' is not supported; use none, SOCKS4, SOCKS5 or HTTP CONNECT");
        }
        curl_easy_setopt(handle, CURLOPT_PROXY, settings.proxyHost.c_str());
        curl_easy_setopt(handle, CURLOPT_PROXYPORT, static_cast<long>(settings.proxyPort));
        curl_easy_setopt(handle, CURLOPT_PROXYTYPE, static_cast<long>(type));
        if (!settings.proxyUser.empty()) {
            curl_easy_setopt(handle, CURLOPT_PROXYUSERNAME, settings.proxyUser.c_str());
            curl_easy_setopt(handle, CURLOPT_PROXYPASSWORD, settings.proxyPassword.c_str());
        }
        return true;
    }

    void applyConnectionSettings() {
        CURL* handle = session.handle();
        if (!settings.user.empty()) {
            curl_easy_setopt(handle, CURLOPT_USERNAME, settings.user.c_str());
            curl_easy_setopt(handle, CURLOPT_PASSWORD, settings.password.c_str());
        }
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, settings.connectTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_ACCEPTTIMEOUT_MS, settings.connectTimeoutSeconds * 1000);
        curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, settings.idleTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, settings.idleTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_FTPPORT, settings.passive ? nullptr : "-");
        // One CWD per request with the full path, which the URLs built here always carry.
        curl_easy_setopt(handle, CURLOPT_FTP_FILEMETHOD,
                         static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    }

    std::string baseUrl() const {
        return "ftp://" + hostForUrl(settings.host) + ":" + std::to_string(settings.port) + "/";
    }

    // "%2F" makes the path absolute rather than relative to the login directory.
    std::string absoluteUrl(const Components& components) const {
        std::string url = baseUrl() + "%2F";
        for (std::size_t i = 0; i < components.size(); ++i) {
            char* escaped = curl_easy_escape(session.handle(), components[i].data(),
                                             static_cast<int>(components[i].size()));
            url.append(i > 0 ? "/" : "").append(escaped);
            curl_free(escaped);
        }
        return url;
    }

    std::string directoryUrl(const Components& components) const {
        return absoluteUrl(components) + (components.empty() ? "" : "/");
    }

    CURLcode request(const std::string& url, Transfer transfer, const char* customRequest = nullptr,
                     curl_slist* commands = nullptr, const CurlSession::Sink& sink = {}) {
        CURL* handle = session.handle();
        curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
        curl_easy_setopt(handle, CURLOPT_NOBODY, transfer == Transfer::none ? 1L : 0L);
        curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, customRequest);
        curl_easy_setopt(handle, CURLOPT_QUOTE, commands);
        const CURLcode code = session.perform(sink);
        curl_easy_setopt(handle, CURLOPT_QUOTE, nullptr);
        return code;
    }

    Components resolve(const std::string& path) const {
        return resolveRemotePath(joinRemotePath(currentDir), path);
    }

    bool runCommand(const char* method, const std::string& verb, const std::string& path) {
        begin(method);
        if (!checkRequest(path)) {
            return false;
        }
        const Components target = resolve(path);
        if (target.empty()) {
            return refuse(CURLE_URL_MALFORMAT, "no directory name given");
        }
        curl_slist* commands = curl_slist_append(nullptr, (verb + joinRemotePath(target)).c_str());
        const CURLcode code = request(directoryUrl(currentDir), Transfer::none, nullptr, commands);
        curl_slist_free_all(commands);
        return finish(code);
    }
};

CurlFtpClient::CurlFtpClient() : impl_(std::make_unique<Impl>()) {}

CurlFtpClient::~CurlFtpClient() = default;

bool CurlFtpClient::connect(const FtpSettings& settings) {
    Impl& d = *impl_;
    d.begin("connect");
    d.session.restart();
    d.connected = false;
    d.settings = settings;
    if (!d.checkSettings() || !d.applyProxy()) {
        return false;
    }
    d.applyConnectionSettings();
    if (!d.finish(d.request(d.baseUrl(), Transfer::none))) {
        return false;
    }
    char* entryPath = nullptr;
    curl_easy_getinfo(d.session.handle(), CURLINFO_FTP_ENTRY_PATH, &entryPath);
    d.currentDir = resolveRemotePath("/", entryPath != nullptr ? entryPath : "/");
    d.connected = true;
    return true;
}

bool CurlFtpClient::changeDir(const std::string& path) {
    Impl& d = *impl_;
    d.begin("changeDir");
    if (!d.checkRequest(path)) {
        return false;
    }
    Components target = d.resolve(path);
    // An explicit CWD, because libcurl skips its own when it believes it is there already.
    curl_slist* commands = curl_slist_append(nullptr, ("CWD " + joinRemotePath(target)).c_str());
    const CURLcode code = d.request(d.directoryUrl(target), Transfer::none, nullptr, commands);
    curl_slist_free_all(commands);
    if (!d.finish(code)) {
        return false;
    }
    d.currentDir = std::move(target);
    return true;
}

std::string CurlFtpClient::currentDir() {
    Impl& d = *impl_;
    d.begin("currentDir");
    if (!d.connected) {
        d.refuse(CURLE_COULDNT_CONNECT, "not connected");
        return {};
    }
    d.lastResult = CURLE_OK;
    return joinRemotePath(d.currentDir);
}

bool CurlFtpClient::list(const std::string& path, const FtpItemHandler& onItem) {
    Impl& d = *impl_;
    d.begin("list");
    if (!d.checkRequest(path)) {
        return false;
    }
    const std::string url = d.directoryUrl(d.resolve(path));
    std::string listing;
    const CurlSession::Sink collect = [&listing](const char* data, std::size_t size) {
        listing.append(data, size);
        return true;
    };
    bool machineReadable = true;
    CURLcode code = d.request(url, Transfer::body, "MLSD", nullptr, collect);
    if (code != CURLE_OK && isUnknownCommandReply(d.session.responseCode())) {
        listing.clear();
        machineReadable = false;
        code = d.request(url, Transfer::body, nullptr, nullptr, collect);
    }
    if (!d.finish(code)) {
        return false;
    }
    for (const std::string_view line : splitLines(listing)) {
        const std::optional<FtpItem> item =
            machineReadable ? parseMlsdLine(line) : parseListLine(line);
        if (item) {
            onItem(*item);
        }
    }
    return true;
}

bool CurlFtpClient::getFile(const std::string& remotePath, const std::filesystem::path& localPath) {
    Impl& d = *impl_;
    d.begin("getFile");
    if (!d.checkRequest(remotePath)) {
        return false;
    }
    const Components target = d.resolve(remotePath);
    if (target.empty()) {
        return d.refuse(CURLE_URL_MALFORMAT, "no remote file name given");
    }
    StagedFile staged(localPath);
    if (!staged.isOpen()) {
        return d.refuse(CURLE_WRITE_ERROR, staged.error());
    }
    const CurlSession::Sink save = [&staged](const char* data, std::size_t size) {
        return staged.write(data, size);
    };
    const CURLcode code = d.request(d.absoluteUrl(target), Transfer::body, nullptr, nullptr, save);
    if (code == CURLE_WRITE_ERROR && !staged.error().empty()) {
        return d.refuse(code, staged.error());
    }
    if (!d.finish(code)) {
        return false;
    }
    if (!staged.commit()) {
        return d.refuse(CURLE_WRITE_ERROR, staged.error());
    }
    return true;
}

bool CurlFtpClient::createDir(const std::string& path) {
    return impl_->runCommand("createDir", "MKD ", path);
}

bool CurlFtpClient::deleteDir(const std::string& path) {
    return impl_->runCommand("deleteDir", "RMD ", path);
}

void CurlFtpClient::disconnect() {
    Impl& d = *impl_;
    d.begin("disconnect");
    // libcurl says QUIT from a handle of its own, so the server's farewell is never seen here.
    d.session.restart();
    d.connected = false;
    d.lastResult = CURLE_OK;
    d.lastReply = "disconnected";
}

bool CurlFtpClient::isConnected() const {
    return impl_->connected;
}

int CurlFtpClient::lastResult() const {
    return impl_->lastResult;
}

const std::string& CurlFtpClient::lastReply() const {
    return impl_->lastReply;
}

const std::string& CurlFtpClient::lastMethod() const {
    return impl_->lastMethod;
}

}  // namespace qff::platform
