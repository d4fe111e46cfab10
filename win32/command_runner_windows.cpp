#include "win32/command_runner.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "win32/handles.h"

namespace orva {

namespace {

// Big enough for any list the tool writes, so it never waits for the reader.
constexpr DWORD kPipeBytes = 64 * 1024;
constexpr DWORD kReadChunkBytes = 64 * 1024;
// An ended tool's pipe closes at once; a reader that is still blocked after
// this (a process outside the job holds the pipe) has its read cancelled.
constexpr DWORD kReaderGraceMs = 2000;

// What the reading thread fills. Shared with the caller, so that a reader
// that cannot be stopped in time never writes into freed memory.
struct PipeReading {
    UniqueKernelHandle pipe;
    std::string output;
    bool complete = false;  // read up to the end of the output
};

// Blocking reads on the thread's own: a pipe from CreatePipe cannot be read
// with a time limit, and the caller must stay free to end the tool.
DWORD WINAPI ReadToEnd(void* parameter) {
    const std::unique_ptr<std::shared_ptr<PipeReading>> share(
        static_cast<std::shared_ptr<PipeReading>*>(parameter));
    PipeReading& reading = **share;
    try {
        std::vector<char> chunk(kReadChunkBytes);
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(reading.pipe.get(), chunk.data(), kReadChunkBytes, &got, nullptr)) {
                // Every write end is closed: the output is all here.
                reading.complete = GetLastError() == ERROR_BROKEN_PIPE;
                return 0;
            }
            reading.output.append(chunk.data(), got);
        }
    } catch (const std::bad_alloc&) {
        return 0;  // the output is lost, the program is not
    }
}

// The attribute list of a child process that may inherit these handles and
// no other (InitializeProcThreadAttributeList ... DeleteProcThreadAttributeList).
class InheritOnlyList {
public:
    explicit InheritOnlyList(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        auto* const list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size)) {
            return;
        }
        list_ = list;
        // The list keeps a pointer to the handles: they live as long as it does.
        if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                       handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
            DeleteProcThreadAttributeList(list_);
            list_ = nullptr;
        }
    }
    InheritOnlyList(const InheritOnlyList&) = delete;
    InheritOnlyList& operator=(const InheritOnlyList&) = delete;
    ~InheritOnlyList() {
        if (list_ != nullptr) {
            DeleteProcThreadAttributeList(list_);
        }
    }
    // Null when the list could not be made.
    LPPROC_THREAD_ATTRIBUTE_LIST get() const noexcept { return list_; }

private:
    std::vector<HANDLE> handles_;
    std::vector<unsigned char> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

// A job whose processes end when its last handle is closed.
UniqueKernelHandle JobThatEndsItsProcesses() {
    UniqueKernelHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                        sizeof limits)) {
        job.reset();
    }
    return job;
}

// The tool's standard output: our read end, and a write end it inherits.
struct OutputPipe {
    UniqueKernelHandle readEnd;
    UniqueKernelHandle writeEnd;
};

std::optional<OutputPipe> MakeOutputPipe() {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    OutputPipe pipe;
    if (!CreatePipe(pipe.readEnd.put(), pipe.writeEnd.put(), &inheritable, kPipeBytes)) {
        pipe.readEnd.release();  // nothing was made: whatever the slots hold is not ours
        pipe.writeEnd.release();
        return std::nullopt;
    }
    SetHandleInformation(pipe.readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    return pipe;
}

// The tool's process, suspended until it is in its job, so that all it starts
// is in there too; its first thread goes to thread. Standard output is
// output, standard input and error NUL. Empty when it cannot be started.
UniqueKernelHandle StartSuspended(const std::wstring& applicationPath,
                                  const std::wstring& commandLine, HANDLE output,
                                  UniqueKernelHandle& thread) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueFile nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                     OPEN_EXISTING, 0, nullptr));
    // Only these two reach the tool, whatever else of ours is inheritable:
    // the pipes of tools started before or after it among them.
    const InheritOnlyList inherited({output, nul.get()});
    if (!nul || inherited.get() == nullptr) {
        return UniqueKernelHandle();
    }
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = nul.get();
    startup.StartupInfo.hStdOutput = output;
    startup.StartupInfo.hStdError = nul.get();
    startup.lpAttributeList = inherited.get();
    std::wstring line = commandLine;  // CreateProcessW may write into it
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(applicationPath.c_str(), line.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                        nullptr, &startup.StartupInfo, &started)) {
        return UniqueKernelHandle();
    }
    thread.reset(started.hThread);
    return UniqueKernelHandle(started.hProcess);
}

// A job that holds the process and ends its processes when its last handle
// is closed; empty where the process cannot be put in one (Windows 7 nests
// no jobs, and the program may run in one).
UniqueKernelHandle JobHolding(HANDLE process) {
    UniqueKernelHandle job = JobThatEndsItsProcesses();
    if (job && !AssignProcessToJobObject(job.get(), process)) {
        job.reset();
    }
    return job;
}

// The thread that reads the pipe in reading to its end; empty when it cannot
// be started.
UniqueKernelHandle StartReader(const std::shared_ptr<PipeReading>& reading) {
    auto share = std::make_unique<std::shared_ptr<PipeReading>>(reading);
    UniqueKernelHandle reader(CreateThread(nullptr, 0, ReadToEnd, share.get(), 0, nullptr));
    if (reader) {
        static_cast<void>(share.release());  // the thread owns it now
    }
    return reader;
}

enum class WaitEnd { kSignaled, kTimedOut, kStopped };

// Waits for the object until the deadline (GetTickCount64's clock) or until
// the stop request is set, whichever comes first.
WaitEnd WaitOrStop(HANDLE object, ULONGLONG deadline, StopRequest stop) {
    const HANDLE objects[] = {object, stop};
    const ULONGLONG now = GetTickCount64();
    const DWORD remaining = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD woke = WaitForMultipleObjects(stop != nullptr ? 2 : 1, objects, FALSE, remaining);
    if (woke == WAIT_OBJECT_0) {
        return WaitEnd::kSignaled;
    }
    return woke == WAIT_OBJECT_0 + 1 ? WaitEnd::kStopped : WaitEnd::kTimedOut;
}

}  // namespace

struct RunningCommand::State {
    UniqueKernelHandle process;
    UniqueKernelHandle job;  // empty where the tool could not be put in one
    UniqueKernelHandle reader;
    std::shared_ptr<PipeReading> reading;
    ULONGLONG deadline = 0;
    bool running = false;  // started, and not finished yet

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    // A tool that was never finished is ended with all it started.
    ~State() {
        if (running) {
            End();
            StopReader();
        }
    }

    // Windows 7 nests no jobs: where this program runs in one, only the tool
    // itself can be ended.
    void End() const {
        if (!job || !TerminateJobObject(job.get(), 1)) {
            TerminateProcess(process.get(), 1);
        }
    }

    // After End: the pipe's last write end is gone, unless a process outside
    // the job holds it.
    void StopReader() const {
        if (WaitForSingleObject(reader.get(), kReaderGraceMs) != WAIT_OBJECT_0) {
            CancelSynchronousIo(reader.get());
            WaitForSingleObject(reader.get(), kReaderGraceMs);
        }
    }
};

RunningCommand::RunningCommand(std::unique_ptr<State> state) noexcept : state_(std::move(state)) {}
RunningCommand::RunningCommand(RunningCommand&&) noexcept = default;
RunningCommand& RunningCommand::operator=(RunningCommand&&) noexcept = default;
RunningCommand::~RunningCommand() = default;

RunningCommand StartCommand(const std::wstring& applicationPath, const std::wstring& commandLine,
                            unsigned long timeLimitMs) {
    auto state = std::make_unique<RunningCommand::State>();
    std::optional<OutputPipe> pipe = MakeOutputPipe();
    if (!pipe) {
        return RunningCommand(std::move(state));
    }
    UniqueKernelHandle thread;
    state->process = StartSuspended(applicationPath, commandLine, pipe->writeEnd.get(), thread);
    if (!state->process) {
        return RunningCommand(std::move(state));
    }
    pipe->writeEnd.reset();  // the tool's is the last write end: its end is the output's end
    state->job = JobHolding(state->process.get());
    state->reading = std::make_shared<PipeReading>();
    state->reading->pipe = std::move(pipe->readEnd);
    state->reader = StartReader(state->reading);
    if (!state->reader) {
        state->End();
        return RunningCommand(std::move(state));
    }
    state->deadline = GetTickCount64() + timeLimitMs;
    state->running = true;
    if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        state->deadline = 0;  // Finish ends it at once
    }
    return RunningCommand(std::move(state));
}

std::variant<std::optional<std::string>, Stopped> RunningCommand::Finish(StopRequest stop) {
    if (!state_ || !state_->running) {
        return std::nullopt;
    }
    State& run = *state_;
    run.running = false;
    const WaitEnd process = WaitOrStop(run.process.get(), run.deadline, stop);
    // All the tool wrote is in the pipe now. What it left running (Wine's
    // console host, which inherits the pipe) would hold the output open.
    if (process == WaitEnd::kSignaled) {
        run.End();
    }
    const WaitEnd reader =
        process == WaitEnd::kSignaled
            ? WaitOrStop(run.reader.get(),
                         std::max(run.deadline, GetTickCount64() + kReaderGraceMs), stop)
            : process;
    if (reader != WaitEnd::kSignaled) {
        run.End();
        run.StopReader();
        // Cut short: never a row from part of a list.
        if (reader == WaitEnd::kStopped) {
            return Stopped{};
        }
        return std::nullopt;
    }
    if (!run.reading->complete) {
        return std::nullopt;
    }
    return std::move(run.reading->output);
}

std::variant<std::vector<std::optional<std::string>>, Stopped> RunTogether(
    const std::wstring& applicationPath, const std::vector<std::wstring>& commandLines,
    unsigned long timeLimitMs, StopRequest stop) {
    std::vector<RunningCommand> runs;
    runs.reserve(commandLines.size());
    for (const std::wstring& line : commandLines) {
        runs.push_back(StartCommand(applicationPath, line, timeLimitMs));
    }
    std::vector<std::optional<std::string>> outputs;
    for (RunningCommand& run : runs) {
        auto finished = run.Finish(stop);
        auto* const output = std::get_if<std::optional<std::string>>(&finished);
        if (output == nullptr) {
            return Stopped{};  // the runs not yet finished end with their owners
        }
        outputs.push_back(std::move(*output));
    }
    return outputs;
}

}  // namespace orva
