// Running a tool through a pipe.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "win32/stop_request.h"

namespace orva {

// A normal run of the tool takes 0.1 to 6 s, the first WMI call after a start
// of Windows the longest; one that has not ended in 30 s is stuck.
inline constexpr unsigned long kToolTimeLimitMs = 30000;

// A tool started by StartCommand, running on its own until Finish. Several
// may run at once: each has its own bound, job, pipe and reader.
class RunningCommand {
public:
    struct State;

    explicit RunningCommand(std::unique_ptr<State> state) noexcept;
    RunningCommand(RunningCommand&&) noexcept;
    RunningCommand& operator=(RunningCommand&&) noexcept;
    RunningCommand(const RunningCommand&) = delete;
    RunningCommand& operator=(const RunningCommand&) = delete;
    // A tool that was never finished is ended with all it started.
    ~RunningCommand();

    // Waits for the tool until its bound, counted from its start, or until
    // the stop request is set, and returns exactly the bytes it wrote to
    // standard output. Nothing when it could not be started, its output could
    // not be read, or it has not ended within its bound; stopped when the
    // request ended the wait. Either way it is then ended together with every
    // process it started, and what it wrote so far is discarded. Once only.
    std::variant<std::optional<std::string>, Stopped> Finish(StopRequest stop);

private:
    std::unique_ptr<State> state_;
};

// Starts the program at applicationPath itself (no command interpreter, no
// console window) with commandLine, its whole command line, and returns at
// once. Its standard input and error are NUL; it inherits no other handle.
RunningCommand StartCommand(const std::wstring& applicationPath, const std::wstring& commandLine,
                            unsigned long timeLimitMs);

// Runs the program once for each command line, all at once, each under the
// same bound, and returns what each run's Finish gives, in their order: the
// caller waits for the slowest run, not for their sum. Stopped once the
// request is set, with every run ended.
std::variant<std::vector<std::optional<std::string>>, Stopped> RunTogether(
    const std::wstring& applicationPath, const std::vector<std::wstring>& commandLines,
    unsigned long timeLimitMs, StopRequest stop);

}  // namespace orva
