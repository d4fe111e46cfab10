// The thread that gathers the report's rows for the main window, so that the
// window's thread never waits for a tool, WMI or this thread.
#pragma once

#include <windows.h>

#include <memory>

#include "win32/handles.h"

namespace orva {

// The two share the window's requests, this thread's answers as messages
// (kRowsGatheredMessage) and the request to stop, nothing else. COM on the
// thread is a multithreaded apartment, so a WMI call waits there alone, and
// its WMI connection is kept from one gathering to the next.
class Gatherer {
public:
    Gatherer();
    Gatherer(const Gatherer&) = delete;
    Gatherer& operator=(const Gatherer&) = delete;
    // Stops the thread and lets it end for a moment at most: one held in a
    // WMI call is left to the end of the process, with all it uses.
    ~Gatherer();

    // Starts the thread, which sends each gathering's rows to window. False
    // when it cannot be started.
    bool Start(HWND window);
    // Asks for a gathering; one asked while another runs follows it.
    void Request() const noexcept;
    // The gathering ends at once, its tool runs with all they started, and
    // nothing of it reaches the window; the thread ends.
    void Stop() const noexcept;

    struct State;

private:
    std::shared_ptr<State> state_;
    UniqueKernelHandle thread_;
};

}  // namespace orva
