#include "app/gatherer.h"

#include <new>
#include <utility>
#include <variant>

#include "app/report.h"
#include "app/window.h"
#include "win32/wmi.h"

namespace orva {

namespace {

// Time for a stopped gathering to end its tool runs before the program
// ends: far more than that takes, and short enough for a close to look
// instant where a WMI call holds the thread. Runs it could not end die with
// the process, whose jobs end their processes.
constexpr DWORD kStopWaitMs = 250;

}  // namespace

// What the thread uses, kept alive by the thread as long as it runs, so that
// a Gatherer that goes first destroys nothing under it.
struct Gatherer::State {
    UniqueKernelHandle requested{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HWND window = nullptr;
};

namespace {

// The rows reach the window while it takes them, or not at all: a window that
// is gone (or goes while the message waits) answers nothing, and the rows go
// with this thread's stack.
void Hand(HWND window, ReportRows* rows) {
    SendMessageW(window, kRowsGatheredMessage, 0, reinterpret_cast<LPARAM>(rows));
}

DWORD WINAPI Gather(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Gatherer::State>> share(
        static_cast<std::shared_ptr<Gatherer::State>*>(parameter));
    const Gatherer::State& state = **share;
    const ComInitGuard com(COINIT_MULTITHREADED);
    WmiSession wmi;
    const HANDLE waits[] = {state.stop.get(), state.requested.get()};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        try {
            auto gathered = CollectReportRows(wmi, state.stop.get());
            auto* const rows = std::get_if<ReportRows>(&gathered);
            if (rows == nullptr) {
                return 0;  // stopped
            }
            Hand(state.window, rows);
        } catch (const std::bad_alloc&) {
            Hand(state.window, nullptr);  // the window keeps the rows it shows
        }
    }
    return 0;
}

}  // namespace

Gatherer::Gatherer() : state_(std::make_shared<State>()) {}

Gatherer::~Gatherer() {
    Stop();
    if (thread_) {
        WaitForSingleObject(thread_.get(), kStopWaitMs);
    }
}

bool Gatherer::Start(HWND window) {
    if (!state_->requested || !state_->stop) {
        return false;
    }
    state_->window = window;
    auto share = std::make_unique<std::shared_ptr<State>>(state_);
    thread_.reset(CreateThread(nullptr, 0, Gather, share.get(), 0, nullptr));
    if (!thread_) {
        return false;
    }
    static_cast<void>(share.release());  // the thread owns it now
    return true;
}

void Gatherer::Request() const noexcept {
    SetEvent(state_->requested.get());
}

void Gatherer::Stop() const noexcept {
    SetEvent(state_->stop.get());
}

}  // namespace orva
