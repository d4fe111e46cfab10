// The copy command's clipboard half, against Wine's real clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/window.h"
#include "tests/common/test_kit.h"
#include "tests/windows/clipboard_holder.h"
#include "win32/handles.h"

namespace orva {
namespace {

// The clipboard's Unicode text, checked to be NUL-terminated inside its block.
struct ClipboardText {
    bool present = false;
    bool terminated = false;
    std::wstring text;
};

ClipboardText ReadClipboard() {
    ClipboardText result;
    const ClipboardGuard clipboard(nullptr);
    if (!clipboard.opened()) {
        ADD_FAILURE() << "cannot open the clipboard to read it";
        return result;
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) {
        return result;
    }
    const GlobalLockGuard lock(data);
    const auto* chars = static_cast<const wchar_t*>(lock.data());
    if (chars == nullptr) {
        return result;
    }
    const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    const std::size_t length = wcsnlen(chars, capacity);
    result.present = true;
    result.terminated = length < capacity;
    result.text.assign(chars, length);
    return result;
}

class CopyTextToClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_.reset(CreateWindowExW(0, L"STATIC", L"clipboard owner", WS_POPUP, 0, 0, 10, 10,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(owner_);
    }

    UniqueWindow owner_;
};

TEST_F(CopyTextToClipboardTest, PutsTheExactTextWithItsTerminatingNul) {
    const std::wstring cases[] = {
        L"",
        L"O  S : Windows 10 Pro",
        L"O  S : Windows 10 Pro\r\nCPU  : Intel(R) Core(TM) i5 * 6 코어\r\nRAM : 16321 MB  "
        L"(16GB), Type DDR4\r\nM.B : Maker(FW.v1)\r\nVGA : GPU (4095 MB)\r\nDISK : SSD(465GB)",
        L"클립보드 복사 ✓ \t trailing blanks   ",
        std::wstring(100000, L'가'),
    };
    for (const std::wstring& text : cases) {
        const int blocksBefore = UniqueGlobal::LiveCount();
        ASSERT_TRUE(CopyTextToClipboard(owner_.get(), text)) << text.size() << " characters";
        EXPECT_EQ(UniqueGlobal::LiveCount(), blocksBefore) << "the clipboard owns the block";
        const ClipboardText copied = ReadClipboard();
        EXPECT_TRUE(copied.present);
        EXPECT_TRUE(copied.terminated);
        EXPECT_EQ(copied.text, text);
        EXPECT_EQ(GetClipboardOwner(), owner_.get());
    }
}

TEST_F(CopyTextToClipboardTest, TwoCopiesLeaveTheSecondTextAlone) {
    ASSERT_TRUE(CopyTextToClipboard(owner_.get(), L"first\r\nreport"));
    ASSERT_TRUE(CopyTextToClipboard(owner_.get(), L"second"));
    EXPECT_EQ(ReadClipboard().text, L"second");
}

TEST_F(CopyTextToClipboardTest, EmptiesWhatTheClipboardHeldBefore) {
    const UINT otherFormat = RegisterClipboardFormatW(L"ORVA test leftover");
    {
        const ClipboardGuard clipboard(owner_.get());
        ASSERT_TRUE(clipboard.opened());
        ASSERT_TRUE(EmptyClipboard());
        UniqueGlobal leftover(GlobalAlloc(GMEM_MOVEABLE, 4));
        ASSERT_TRUE(leftover);
        if (SetClipboardData(otherFormat, leftover.get()) != nullptr) {
            leftover.release();
        }
    }
    ASSERT_TRUE(IsClipboardFormatAvailable(otherFormat));
    ASSERT_TRUE(CopyTextToClipboard(owner_.get(), L"report"));
    EXPECT_FALSE(IsClipboardFormatAvailable(otherFormat));
    EXPECT_EQ(ReadClipboard().text, L"report");
}

TEST_F(CopyTextToClipboardTest, GivesUpAfterHalfASecondWhileAnotherThreadHoldsIt) {
    ASSERT_TRUE(CopyTextToClipboard(owner_.get(), L"what was there"));
    const int blocksBefore = UniqueGlobal::LiveCount();
    bool copied = true;
    ULONGLONG waited = 0;
    {
        const ClipboardHolder holder(30000);
        const ULONGLONG start = GetTickCount64();
        copied = CopyTextToClipboard(owner_.get(), L"report");
        waited = GetTickCount64() - start;
    }
    EXPECT_FALSE(copied);
    EXPECT_GE(waited, 450u);
    EXPECT_LT(waited, 3000u);
    EXPECT_EQ(UniqueGlobal::LiveCount(), blocksBefore) << "the unused block was not freed";
    EXPECT_EQ(ReadClipboard().text, L"what was there");
}

TEST_F(CopyTextToClipboardTest, WaitsForAHolderThatLetsGoSoon) {
    bool copied = false;
    {
        const ClipboardHolder holder(150);
        copied = CopyTextToClipboard(owner_.get(), L"report after a wait");
    }
    EXPECT_TRUE(copied);
    EXPECT_EQ(ReadClipboard().text, L"report after a wait");
}

}  // namespace
}  // namespace orva
