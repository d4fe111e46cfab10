// Another program holding the clipboard, for tests of the copy command.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "win32/handles.h"

namespace orva {

// Holds the clipboard open from a thread of its own until told to let go,
// or until holdMs have passed.
class ClipboardHolder {
public:
    explicit ClipboardHolder(DWORD holdMs)
        : holdMs_(holdMs),
          held_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          thread_(CreateThread(nullptr, 0, Hold, this, 0, nullptr)) {
        EXPECT_EQ(WaitForSingleObject(held_.get(), 5000), WAIT_OBJECT_0);
        EXPECT_TRUE(opened_) << "the holder could not open the clipboard";
    }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    ~ClipboardHolder() {
        SetEvent(release_.get());
        WaitForSingleObject(thread_.get(), 5000);
    }

private:
    static DWORD WINAPI Hold(void* context) {
        auto& self = *static_cast<ClipboardHolder*>(context);
        const ClipboardGuard clipboard(nullptr);
        self.opened_ = clipboard.opened();
        SetEvent(self.held_.get());
        WaitForSingleObject(self.release_.get(), self.holdMs_);
        return 0;
    }

    DWORD holdMs_;
    bool opened_ = false;
    UniqueKernelHandle held_;
    UniqueKernelHandle release_;
    UniqueKernelHandle thread_;
};

}  // namespace orva
