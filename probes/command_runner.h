// Running a command through a pipe, and widening its narrow output.
#pragma once

#include <string>

namespace orva {

// Runs commandLine through the command interpreter with the process console
// hidden and returns everything it wrote to standard output. Throws
// std::runtime_error when the pipe cannot be opened.
std::string RunCommand(const char* commandLine);

// Narrow text in the ANSI code page to UTF-16, up to its first NUL.
std::wstring ToWide(const std::string& text);

// UTF-16 to narrow text in the ANSI code page, every character kept in place
// (embedded NULs too); characters the code page lacks become its default one.
std::string ToNarrow(const std::wstring& text);

// The narrow text of the system folder ("C:\Windows\system32").
std::string SystemDirectory();

}  // namespace orva
