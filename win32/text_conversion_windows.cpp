#include "win32/text_conversion.h"

#include <windows.h>

#include <vector>

namespace orva {

std::wstring ToWide(const std::string& text, unsigned codePage) {
    const int length = static_cast<int>(text.size()) + 1;  // the NUL too
    const int needed = MultiByteToWideChar(codePage, 0, text.c_str(), length, nullptr, 0);
    if (needed <= 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(needed));
    const int written =
        MultiByteToWideChar(codePage, 0, text.c_str(), length, buffer.data(), needed);
    if (written <= 0) {
        return std::wstring();
    }
    return std::wstring(buffer.data());
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return std::string();
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    const int written =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return written == size ? narrow : std::string();
}

}  // namespace orva
