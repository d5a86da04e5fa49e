#include "curl_session.h"

namespace qff::platform {

CurlSession::CurlSession() : handle_(curl_easy_init()) {
    install();
}

CurlSession::~CurlSession() {
    // The observer may refer to members of an owner that is already half destroyed.
    observer_ = nullptr;
    curl_easy_cleanup(handle_);
}

void CurlSession::restart() {
    curl_easy_cleanup(handle_);
    handle_ = curl_easy_init();
    install();
}

void CurlSession::install() {
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &CurlSession::onWrite);
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, this);
    // Verbose output goes only to onDebug; it is the one place libcurl shows the commands.
    curl_easy_setopt(handle_, CURLOPT_DEBUGFUNCTION, &CurlSession::onDebug);
    curl_easy_setopt(handle_, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(handle_, CURLOPT_VERBOSE, 1L);
}

CURLcode CurlSession::perform(const Sink& sink) {
    errorBuffer_[0] = '\0';
    lastReplyLine_.clear();
    sink_ = sink ? &sink : nullptr;
    const CURLcode code = curl_easy_perform(handle_);
    sink_ = nullptr;
    return code;
}

long CurlSession::responseCode() const {
    long code = 0;
    curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

std::string CurlSession::describe(CURLcode code) const {
    return errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(code);
}

std::size_t CurlSession::onWrite(char* data, std::size_t size, std::size_t count, void* self) {
    const Sink* sink = static_cast<CurlSession*>(self)->sink_;
    const std::size_t bytes = size * count;
    if (sink == nullptr || (*sink)(data, bytes)) {
        return bytes;
    }
    return 0;
}

int CurlSession::onDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* self) {
    if (type == CURLINFO_HEADER_IN || type == CURLINFO_HEADER_OUT) {
        static_cast<CurlSession*>(self)->observe({data, size}, type == CURLINFO_HEADER_OUT);
    }
    return 0;
}

void CurlSession::observe(std::string_view text, bool outgoing) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            continue;
        }
        if (!outgoing) {
            lastReplyLine_ = line;
        }
        if (observer_) {
            observer_(line, outgoing);
        }
    }
}

}  // namespace qff::platform
