// Text inside the program is UTF-8; the system takes UTF-16. These convert
// between the two without any system call, so they can be tested anywhere.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// UTF-8 as UTF-16. A byte that does not start a valid sequence (a stray
// continuation byte, an overlong form, a surrogate, a cut-off sequence)
// becomes U+FFFD, one for each such byte.
std::u16string Utf8ToUtf16(std::string_view text);

// UTF-16 as UTF-8. A surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// True when the text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace velmora
