// Running a tool through a pipe, and widening its narrow output.
#pragma once

#include <optional>
#include <string>

namespace orva {

// Starts the program at applicationPath itself (no command interpreter, no
// console window) with commandLine, its whole command line, and returns
// exactly the bytes it wrote to standard output. Its standard input and error
// are NUL. Nothing when it cannot be started, its output cannot be read, or it
// has not ended within timeLimitMs: it is then ended together with every
// process it started, and what it wrote so far is discarded.
std::optional<std::string> RunCommand(const std::wstring& applicationPath,
                                      const std::wstring& commandLine, unsigned long timeLimitMs);

// Narrow text in the ANSI code page to UTF-16, up to its first NUL.
std::wstring ToWide(const std::string& text);

// UTF-16 to narrow text in the ANSI code page, every character kept in place
// (embedded NULs too); characters the code page lacks become its default one.
std::string ToNarrow(const std::wstring& text);

// The system folder ("C:\Windows\system32"), empty if it cannot be had.
std::wstring SystemDirectory();

}  // namespace orva
