#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "qff/platform/mail_client.h"

namespace qff::platform {

// Header values never carry control characters, so a CR or LF in user data cannot start a
// header of its own.
std::string withoutControlCharacters(std::string_view text);

// Header text as is when it is plain ASCII, otherwise as RFC 2047 encoded words.
std::string encodeHeaderText(std::string_view text);

// An address for the envelope and the headers: no control characters or angle brackets.
std::string cleanAddress(std::string_view address);

// "Display Name <address>", or the bare address when there is no name.
std::string formatMailbox(const MailAddress& mailbox);

// RFC 5322 date, in UTC and independent of the process locale.
std::string formatMailDate(std::chrono::system_clock::time_point time);

}  // namespace qff::platform
