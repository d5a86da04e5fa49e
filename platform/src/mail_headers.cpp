#include "qff/platform/mail_headers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iterator>

namespace qff::platform {

namespace {

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

bool isPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return c < 0x80 && !isControl(c); });
}

bool isUtf8Continuation(unsigned char c) {
    return (c & 0xc0) == 0x80;
}

std::string base64(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            group = (group << 8) | (j < count ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        }
        for (std::size_t j = 0; j < 4; ++j) {
            encoded += j <= count ? kAlphabet[(group >> (18 - 6 * j)) & 0x3f] : '=';
        }
    }
    return encoded;
}

// An encoded word may be at most 75 characters; "=?UTF-8?B?" and "?=" take 12 of them,
// leaving 63 base64 characters, which carry 45 bytes. Words never split a character.
constexpr std::size_t kBytesPerEncodedWord = 45;

std::string quotedPhrase(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string withoutControlCharacters(std::string_view text) {
    std::string clean;
    std::copy_if(text.begin(), text.end(), std::back_inserter(clean),
                 [](unsigned char c) { return !isControl(c); });
    return clean;
}

std::string encodeHeaderText(std::string_view text) {
    const std::string clean = withoutControlCharacters(text);
    if (isPlainAscii(clean)) {
        return clean;
    }
    std::string encoded;
    std::string_view rest = clean;
    while (!rest.empty()) {
        std::size_t length = std::min(kBytesPerEncodedWord, rest.size());
        while (length < rest.size() && length > 1 && isUtf8Continuation(rest[length])) {
            --length;
        }
        encoded.append(encoded.empty() ? "" : " ")
            .append("=?UTF-8?B?")
            .append(base64(rest.substr(0, length)))
            .append("?=");
        rest.remove_prefix(length);
    }
    return encoded;
}

std::string cleanAddress(std::string_view address) {
    std::string clean = withoutControlCharacters(address);
    std::erase_if(clean, [](char c) { return c == '<' || c == '>' || c == ' '; });
    return clean;
}

std::string formatMailbox(const MailAddress& mailbox) {
    const std::string address = cleanAddress(mailbox.address);
    const std::string name = withoutControlCharacters(mailbox.displayName);
    if (name.empty()) {
        return address;
    }
    const std::string phrase = isPlainAscii(name) ? quotedPhrase(name) : encodeHeaderText(name);
    return phrase + " <" + address + ">";
}

std::string formatMailDate(std::chrono::system_clock::time_point time) {
    static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                         "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%s, %02d %s %04d %02d:%02d:%02d +0000",
                  kDays[static_cast<std::size_t>(utc.tm_wday)], utc.tm_mday,
                  kMonths[static_cast<std::size_t>(utc.tm_mon)], utc.tm_year + 1900, utc.tm_hour,
                  utc.tm_min, utc.tm_sec);
    return text.data();
}

}  // namespace qff::platform
