// Running a tool through a pipe.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "win32/message_pump.h"

namespace orva {

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

    // Waits for the tool until its bound, counted from its start, answering
    // the thread's messages through the pump, and returns exactly the bytes
    // it wrote to standard output. Nothing when it could not be started, its
    // output could not be read, or it has not ended within its bound; stopped
    // when the pump ended the wait. Either way it is then ended together
    // with every process it started, and what it wrote so far is discarded.
    // Once only.
    std::variant<std::optional<std::string>, WaitStopped> Finish(MessagePump& pump);

private:
    std::unique_ptr<State> state_;
};

// Starts the program at applicationPath itself (no command interpreter, no
// console window) with commandLine, its whole command line, and returns at
// once. Its standard input and error are NUL; it inherits no other handle.
RunningCommand StartCommand(const std::wstring& applicationPath, const std::wstring& commandLine,
                            unsigned long timeLimitMs);

// The system folder ("C:\Windows\system32"), empty if it cannot be had.
std::wstring SystemDirectory();

}  // namespace orva
