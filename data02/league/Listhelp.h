#pragma once

#include <string>
#include <string_view>

namespace qff {

// A text made fit to be one file name inside a folder the caller chooses:
// the characters / * ? " < > | and \ become '_', and ':' too when asked. No
// separator and no ".." survive, so the name can never leave that folder; an
// empty or "." text becomes "_". Callers clean only the name they append,
// never a whole path.
std::string safeFileName(std::string_view text, bool colonToo);

}  // namespace qff
