#include "probes/command_runner.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "probes/win32_handles.h"

namespace orva {

namespace {

constexpr std::size_t kPipeBufferBytes = 64 * 1024;

}  // namespace

std::string RunCommand(const char* commandLine) {
    std::string output;
    // The child inherits this console instead of flashing one of its own.
    AllocConsole();
    ShowWindow(GetConsoleWindow(), SW_HIDE);

    // Only the fixed tool lines run here, by full path and without outside input.
    const UniquePipe pipe(_popen(commandLine, "r"));  // NOLINT(cert-env33-c)
    if (!pipe) {
        throw std::runtime_error("_popen() \xBD\xC7\xC6\xD0!");  // "실패" in code page 949
    }
    // One read of the pipe per 64 KB rather than per 4 KB: each read is a
    // round trip to the system, and long outputs would pay for every one.
    // A refused buffer leaves the runtime's own, which reads the same bytes.
    static_cast<void>(std::setvbuf(pipe.get(), nullptr, _IOFBF, kPipeBufferBytes));
    char chunk[128] = {};
    while (!std::feof(pipe.get())) {
        if (std::fgets(chunk, sizeof chunk, pipe.get()) != nullptr) {
            output.append(chunk, std::strlen(chunk));
        } else if (std::ferror(pipe.get())) {
            break;  // a broken stream never reaches end of file
        }
    }
    return output;
}

std::wstring ToWide(const std::string& text) {
    const int length = static_cast<int>(text.size()) + 1;  // the NUL too
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.c_str(), length, nullptr, 0);
    if (needed <= 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(needed));
    const int written = MultiByteToWideChar(CP_ACP, 0, text.c_str(), length, buffer.data(), needed);
    if (written <= 0) {
        return std::wstring();
    }
    return std::wstring(buffer.data());
}

std::string ToNarrow(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return std::string();
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    const int written =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return written == size ? narrow : std::string();
}

std::string SystemDirectory() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    return ToNarrow(std::wstring(folder, length));
}

}  // namespace orva
