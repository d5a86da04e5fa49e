#pragma once

#include <curl/curl.h>

#include <functional>
#include <string>
#include <string_view>

namespace qff::platform {

// Owns one libcurl easy handle and watches its protocol conversation, so that both clients
// can report the server's last reply and react to individual commands.
class CurlSession {
  public:
    // Receives body data; returning false aborts the transfer.
    using Sink = std::function<bool(const char* data, std::size_t size)>;
    // Sees every command sent (outgoing) and every reply line received.
    using LineObserver = std::function<void(std::string_view line, bool outgoing)>;

    CurlSession();
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    CURL* handle() const { return handle_; }
    // Closes the connection (politely, e.g. with QUIT) and starts over with a fresh handle.
    void restart();
    CURLcode perform(const Sink& sink = {});

    void setLineObserver(LineObserver observer) { observer_ = std::move(observer); }
    const std::string& lastReplyLine() const { return lastReplyLine_; }
    long responseCode() const;
    // libcurl's detailed message for the last failure, or its generic one.
    std::string describe(CURLcode code) const;

  private:
    static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* self);
    static int onDebug(CURL* handle, curl_infotype type, char* data, std::size_t size, void* self);
    void install();
    void observe(std::string_view text, bool outgoing);

    CURL* handle_ = nullptr;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
    const Sink* sink_ = nullptr;
    LineObserver observer_;
    std::string lastReplyLine_;
};

}  // namespace qff::platform
