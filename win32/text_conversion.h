// Text between the platform's code pages and UTF-16.
#pragma once

#include <string>

namespace orva {

// Text in the code page to UTF-16, up to its first NUL.
std::wstring ToWide(const std::string& text, unsigned codePage);

// UTF-16 to UTF-8, every character kept in place (embedded NULs too).
std::string ToUtf8(const std::wstring& text);

}  // namespace orva
