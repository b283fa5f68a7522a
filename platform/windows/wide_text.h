#pragma once
// UTF-8 to and from the UTF-16 that the system's wide-character calls take. Windows only.

#include <string>

namespace platform {

// `text` as UTF-16; invalid UTF-8 sequences become U+FFFD.
std::wstring wideText(const std::string& text);

// `text` as UTF-8.
std::string narrowText(const std::wstring& text);

// The system's own wording for error `code`, in UTF-8, without its closing line break; the code
// itself when the system has no wording for it.
std::string systemMessage(unsigned long code);

} // namespace platform
