// The real program under Wine in a throwaway prefix set up like a Korean PC
// (tests/e2e/window.sh): registry values written here, the stand-in wmic.exe
// printing tests/data/e2e, and a recording script as the browser.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "app/window.h"
#include "tests/common/test_kit.h"
#include "tests/e2e/program_driver.h"
#include "tests/e2e/running_program.h"
#include "tests/windows/memory_sizes.h"
#include "tests/windows/processor_count.h"
#include "tests/windows/tool_fixture.h"
#include "win32/handles.h"

namespace orva::e2e {
namespace {

constexpr const wchar_t* kHomePage = L"https://www.orva.co.kr";
constexpr const wchar_t* kProductName = L"Windows 10 Pro";
constexpr const wchar_t* kProcessorName = L"Intel(R) Core(TM) i5-9400F CPU @ 2.90GHz";
constexpr const wchar_t* kBoardMaker = L"ASUSTeK COMPUTER INC.";
constexpr const wchar_t* kBoardProduct = L"PRIME B460M-A";
constexpr const wchar_t* kBiosVersion = L"1401";

void SetMachineText(const wchar_t* path, const wchar_t* name, const std::wstring& value) {
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS)
        << path;
    ASSERT_EQ(
        RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
        ERROR_SUCCESS)
        << name;
}

// The PC this run pretends to be. HARDWARE keys are volatile: they last as
// long as the prefix's wineserver, which this test process keeps alive.
class KoreanPc : public ::testing::Environment {
public:
    void SetUp() override {
        const wchar_t* os = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
        SetMachineText(os, L"ProductName", kProductName);
        SetMachineText(os, L"CurrentBuildNumber", L"19045");
        SetMachineText(L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                       L"ProcessorNameString", kProcessorName);
        const wchar_t* bios = L"HARDWARE\\DESCRIPTION\\System\\BIOS";
        SetMachineText(bios, L"BaseBoardManufacturer", kBoardMaker);
        SetMachineText(bios, L"BaseBoardProduct", kBoardProduct);
        SetMachineText(bios, L"BIOSVersion", kBiosVersion);
    }
};
const auto* const kKoreanPc = ::testing::AddGlobalTestEnvironment(new KoreanPc);

// The report this PC should give, row by row in display order. Memory and the
// processor count are the host's own, so they are asked for here too.
std::wstring ExpectedReport(
    const std::wstring& disks =
        L"Samsung SSD 970 EVO Plus 500GB(465GB), ST2000DM008-2FR102(1863GB)") {
    const std::wstring cores = std::to_wstring(LogicalProcessors());
    return std::wstring(L"O  S : ") + kProductName + L"\r\n" + L"CPU  : " + kProcessorName +
           L" * " + cores + L" 코어\r\n" + L"RAM : " + MemorySizes() + L", Type DDR4\r\n" +
           L"M.B : " + kBoardMaker + kBoardProduct + L"(FW.v" + kBiosVersion + L")\r\n" +
           L"VGA : NVIDIA GeForce GTX 1650 (4095 MB)\r\n" + L"DISK : " + disks;
}

bool EmptyTheClipboard() {
    const ClipboardGuard clipboard(nullptr);
    return clipboard.opened() && EmptyClipboard();
}

// The window as the Windows side sees it, plus a .bmp of it for the record.
Picture ShowPicture(const RunningProgram& program) {
    Picture client;
    EXPECT_TRUE(WaitUntilRowsDrawn(program.window(), kStartMs, &client))
        << "the six rows never appeared";
    RECT frame{};
    GetWindowRect(program.window(), &frame);
    SaveBitmapFile(CaptureScreen(frame), OutputFolder() + Widen(TestName()) + L".bmp");
    return client;
}

// Its place on the screens the suite runs on (tests/e2e/window.sh): where
// the work area has room, and on a 1280-pixel screen, where it would stick out.
POINT ExpectedPlace() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    struct Screen {
        LONG width;
        LONG height;
        POINT place;
    };
    const Screen screens[] = {{1600, 900, {618, 300}}, {1280, 720, {580, 300}}};
    for (const Screen& screen : screens) {
        if (work.left == 0 && work.top == 0 && work.right == screen.width &&
            work.bottom == screen.height) {
            return screen.place;
        }
    }
    ADD_FAILURE() << "no place known for a work area of " << work.right - work.left << "x"
                  << work.bottom - work.top;
    return {618, 300};
}

TEST(MainWindow, HasItsClassTitlePlaceAndFrame) {
    const RunningProgram program(L"window");
    const HWND window = program.window();
    ASSERT_NE(window, nullptr) << "no window of class ORVATELMOX appeared";

    EXPECT_EQ(ClassOf(window), L"ORVATELMOX");
    EXPECT_EQ(TextOf(window), std::wstring(L"ORVA사양 확인 프로그램 ") + kHomePage);
    RECT frame{};
    GetWindowRect(window, &frame);
    const POINT place = ExpectedPlace();
    EXPECT_EQ(frame.left, place.x);
    EXPECT_EQ(frame.top, place.y);
    EXPECT_EQ(frame.right - frame.left, 700);
    EXPECT_EQ(frame.bottom - frame.top, 300);

    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
    EXPECT_EQ(style & WS_THICKFRAME, 0) << "sizing border";
    EXPECT_EQ(style & WS_MINIMIZEBOX, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_EQ(GetParent(window), nullptr);
}

TEST(MainWindow, HasBothButtonsWithTheirCaptionsIdentifiersAndPlaces) {
    const RunningProgram program(L"buttons");
    ASSERT_NE(program.window(), nullptr);
    struct Expected {
        int id;
        std::wstring caption;
        RECT place;  // client coordinates
    };
    const Expected buttons[] = {
        {111, std::wstring(L"홈페이지 ") + kHomePage, {20, 210, 670, 240}},
        {123, L"PC사양 복사", {300, 10, 400, 30}},
    };
    const std::vector<HWND> children = ChildrenOf(program.window());
    EXPECT_EQ(children.size(), 2u);
    for (const Expected& expected : buttons) {
        const HWND button = program.Button(expected.id);
        ASSERT_NE(button, nullptr) << "no control with identifier " << expected.id;
        EXPECT_EQ(GetDlgCtrlID(button), expected.id);
        EXPECT_EQ(_wcsicmp(ClassOf(button).c_str(), L"Button"), 0);
        EXPECT_EQ(TextOf(button), expected.caption);
        EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | 0xF),
                  WS_CHILD | WS_VISIBLE)
            << "a plain visible push button";
        RECT place{};
        GetWindowRect(button, &place);
        MapWindowPoints(nullptr, program.window(), reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, expected.place.left) << expected.id;
        EXPECT_EQ(place.top, expected.place.top) << expected.id;
        EXPECT_EQ(place.right, expected.place.right) << expected.id;
        EXPECT_EQ(place.bottom, expected.place.bottom) << expected.id;
    }
}

// The background as the program's resources hold it, read from the program file.
Picture Background() {
    const UniqueModule module(LoadLibraryExW(
        ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    const UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(module.get(), MAKEINTRESOURCEW(136), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP size{};
    GetObjectW(bitmap.get(), sizeof size, &size);
    const UniqueScreenDc screen(GetDC(nullptr));
    return PictureOf(screen.get(), bitmap.get(), size.bmWidth, size.bmHeight);
}

TEST(MainWindow, DrawsTheBackgroundAndWhiteTextOnlyAtTheSixRows) {
    const RunningProgram program(L"picture");
    ASSERT_NE(program.window(), nullptr);
    const Picture client = ShowPicture(program);
    const Picture background = Background();
    ASSERT_EQ(background.width, 686);
    ASSERT_EQ(background.height, 258);
    ASSERT_GE(client.width, 686);
    ASSERT_GE(client.height, 253);

    const RECT buttons[] = {{20, 210, 670, 240}, {300, 10, 400, 30}};
    auto onButton = [&](int x, int y) {
        for (const RECT& r : buttons) {
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                return true;
        }
        return false;
    };
    // Text cells are 13 units high; antialiased edges may reach one more row.
    auto rowAt = [](int y) {
        for (int row = 0; row < kRowCount; ++row) {
            if (y >= RowY(row) && y <= RowY(row) + 13)
                return row;
        }
        return -1;
    };
    int same = 0;
    int strayPixels = 0;
    int firstStrayX = -1;
    int firstStrayY = -1;
    std::vector<int> leftmostLabel(kRowCount, 10000), leftmostValue(kRowCount, 10000);
    std::vector<int> whiteLabel(kRowCount, 0), whiteValue(kRowCount, 0);
    // The picture is drawn 5 units up: client row y shows picture row y + 5.
    for (int y = 0; y < 253; ++y) {
        for (int x = 0; x < 686; ++x) {
            if (onButton(x, y))
                continue;
            const std::uint32_t shown = client.At(x, y);
            if (shown == background.At(x, y + 5)) {
                ++same;
                continue;
            }
            const int row = rowAt(y);
            if (row < 0 || x < kLabelX) {
                if (strayPixels++ == 0) {
                    firstStrayX = x;
                    firstStrayY = y;
                }
                continue;
            }
            const bool label = x < kValueX;
            int& leftmost = label ? leftmostLabel[row] : leftmostValue[row];
            leftmost = std::min(leftmost, x);
            (label ? whiteLabel : whiteValue)[row] += IsNearWhite(shown) ? 1 : 0;
        }
    }
    EXPECT_EQ(strayPixels, 0) << "drawn outside the rows, first at " << firstStrayX << ","
                              << firstStrayY;
    EXPECT_GT(same, 686 * 253 * 8 / 10) << "the background picture is not there";
    for (int row = 0; row < kRowCount; ++row) {
        EXPECT_GT(whiteLabel[row], 10) << "row " << row;
        EXPECT_GT(whiteValue[row], 10) << "row " << row;
        EXPECT_LE(leftmostLabel[row], kLabelX + 2) << "row " << row;
        EXPECT_GE(leftmostValue[row], kValueX) << "row " << row;
        EXPECT_LE(leftmostValue[row], kValueX + 2) << "row " << row;
    }
}

// Whether the process holds a console: only then can another process attach
// to it. This one lets go of its own first.
bool HoldsConsole(DWORD processId) {
    FreeConsole();
    if (!AttachConsole(processId)) {
        return false;
    }
    FreeConsole();
    return true;
}

TEST(CopyButton, PutsTheReportOnTheClipboardAndSaysSo) {
    const RunningProgram program(L"copy");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(WaitUntilRowsDrawn(program.window(), kStartMs));
    EXPECT_FALSE(HoldsConsole(program.id())) << "a console after the first paint";
    ASSERT_TRUE(EmptyTheClipboard());
    program.Click(kCopyButtonId);
    const HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message box";
    const MessageBoxView view = ReadMessageBox(box);
    EXPECT_EQ(view.caption, L"알림");
    EXPECT_EQ(view.text, L"클립보드 복사 완료!");
    EXPECT_FALSE(view.showsIcon);
    EXPECT_EQ(GetWindow(box, GW_OWNER), program.window());

    bool present = false;
    const std::wstring copied = ReadClipboardText(present);
    EXPECT_TRUE(present);
    EXPECT_EQ(copied, ExpectedReport());
    DismissMessageBox(box);
    EXPECT_FALSE(HoldsConsole(program.id())) << "a console after the copy";
}

// Other bytes in one of the stand-in tool's canned outputs while it lasts.
class CannedOutput {
public:
    CannedOutput(const wchar_t* name, const std::string& bytes) {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        path_ = std::wstring(system) + L"\\wbem\\" + name;
        usual_ = ReadWholeFile(path_);
        EXPECT_FALSE(usual_.empty()) << "no canned output " << Utf8(path_);
        WriteBytes(path_, bytes);
    }
    CannedOutput(const CannedOutput&) = delete;
    CannedOutput& operator=(const CannedOutput&) = delete;
    ~CannedOutput() { WriteBytes(path_, usual_); }

private:
    std::wstring path_;
    std::string usual_;
};

// A card reader with no card in it as the second disk: named, without a size.
TEST(CopyButton, NamesADiskWithNoMediumWithoutItsSize) {
    const CannedOutput disks(
        L"wmic-diskdrive.txt",
        "\r\r\n\r\r\nModel=Samsung SSD 870 EVO 500GB\r\r\nSize=500105249280\r\r\n"
        "\r\r\n\r\r\nModel=Generic- SD/MMC USB Device\r\r\nSize=\r\r\n\r\r\n\r\r\n");
    const RunningProgram program(L"card-reader");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(WaitForFirstReport(program.window(), kStartMs));
    ASSERT_TRUE(EmptyTheClipboard());
    program.Click(kCopyButtonId);
    const HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message box";
    bool present = false;
    const std::wstring copied = ReadClipboardText(present);
    DismissMessageBox(box);
    EXPECT_EQ(copied,
              ExpectedReport(L"Samsung SSD 870 EVO 500GB(465GB), Generic- SD/MMC USB Device"));
}

TEST(CopyButton, SaysItFailedWhileAnotherProgramHoldsTheClipboard) {
    const RunningProgram program(L"busy-clipboard");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(WaitForFirstReport(program.window(), kStartMs));
    const std::wstring before = L"복사 전의 내용";
    ASSERT_TRUE(CopyTextToClipboard(nullptr, before));
    {
        const ClipboardGuard held(nullptr);
        ASSERT_TRUE(held.opened());
        program.Click(kCopyButtonId);
        const HWND box = program.WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no message box";
        const MessageBoxView view = ReadMessageBox(box);
        EXPECT_EQ(view.caption, L"알림");
        EXPECT_EQ(view.text, L"클립보드 복사 실패!");
        EXPECT_TRUE(view.showsIcon) << "a warning icon";
        DismissMessageBox(box);
    }
    Sleep(1000);
    EXPECT_TRUE(WindowsOf(program.id(), kMessageBoxClass).empty()) << "a second message box";
    bool present = false;
    EXPECT_EQ(ReadClipboardText(present), before);

    // Once the clipboard is free again the same button works.
    program.Click(kCopyButtonId);
    const HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text, L"클립보드 복사 완료!");
    EXPECT_EQ(ReadClipboardText(present), ExpectedReport());
    DismissMessageBox(box);
}

TEST(HomePageButton, HandsTheAddressToTheShell) {
    const std::wstring log = Environment(L"ORVA_E2E_BROWSER_LOG");
    ASSERT_FALSE(log.empty()) << "ORVA_E2E_BROWSER_LOG names the browser's record";
    DeleteFileW(log.c_str());
    const RunningProgram program(L"homepage");
    ASSERT_NE(program.window(), nullptr);
    program.Click(kHomePageButtonId);
    std::string opened;
    for (const ULONGLONG start = GetTickCount64();
         opened.empty() && GetTickCount64() - start < kBoxMs; Sleep(kPollMs)) {
        opened = ReadWholeFile(log);
    }
    // Wine's browser launcher writes the address in its canonical form, with
    // the root path's slash.
    EXPECT_TRUE(opened == "https://www.orva.co.kr\n" || opened == "https://www.orva.co.kr/\n")
        << opened;
    EXPECT_TRUE(WindowsOf(program.id(), kMessageBoxClass).empty()) << "it copied instead";
}

// A copy of the program in a downloads folder that also holds a DLL named as
// one that the system's user32 loads at run time. Wine takes such a DLL from
// the program's folder where its settings for that program prefer native
// ones; the program allows system libraries the system folder only.
// Keys pressed in order and let go in reverse, as the keyboard gives them to
// whatever window has the focus.
void Press(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs(2 * keys.size());
    std::size_t down = 0;
    for (const WORD key : keys) {
        inputs[down].type = inputs[inputs.size() - 1 - down].type = INPUT_KEYBOARD;
        inputs[down].ki.wVk = inputs[inputs.size() - 1 - down].ki.wVk = key;
        inputs[inputs.size() - 1 - down].ki.dwFlags = KEYEVENTF_KEYUP;
        ++down;
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The program's focus once it is expected (or when waiting for it ends).
HWND WaitForFocus(const RunningProgram& program, HWND expected) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(program.window(), nullptr);
    for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < kBoxMs;
         Sleep(kPollMs)) {
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus == expected) {
            break;
        }
    }
    return info.hwndFocus;
}

TEST(Keyboard, ReachesBothButtonsAndNothingElse) {
    const std::wstring log = Environment(L"ORVA_E2E_BROWSER_LOG");
    DeleteFileW(log.c_str());
    const RunningProgram program(L"keyboard");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(WaitUntilRowsDrawn(program.window(), kStartMs));
    const HWND copy = program.Button(kCopyButtonId);
    const HWND home = program.Button(kHomePageButtonId);
    ASSERT_EQ(WaitForFocus(program, copy), copy) << "the copy button has the focus at first";
    // A click on the picture, away from the buttons.
    POINT picture = {600, 120};
    ClientToScreen(program.window(), &picture);
    SetCursorPos(picture.x, picture.y);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    ASSERT_TRUE(EmptyTheClipboard());

    Press({VK_ESCAPE});
    Press({VK_TAB});  // once it has moved the focus, Escape has been handled
    EXPECT_EQ(WaitForFocus(program, home), home);
    EXPECT_TRUE(WindowsOf(program.id(), kMessageBoxClass).empty()) << "Escape copied";
    EXPECT_TRUE(IsWindow(program.window())) << "Escape closed the window";
    Press({VK_TAB});
    for (const WORD key : {VK_SPACE, VK_RETURN}) {
        ASSERT_EQ(WaitForFocus(program, copy), copy);
        Press({key});
        const HWND box = program.WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "key " << key << " copied nothing";
        EXPECT_EQ(ReadMessageBox(box).text, L"클립보드 복사 완료!");
        bool present = false;
        EXPECT_EQ(ReadClipboardText(present), ExpectedReport());
        DismissMessageBox(box);
        EXPECT_EQ(WaitForFocus(program, copy), copy) << "the focus is back after the box";
        ASSERT_TRUE(EmptyTheClipboard());
    }
    Press({VK_TAB});
    ASSERT_EQ(WaitForFocus(program, home), home);
    Press({VK_SPACE});
    std::string opened;
    for (const ULONGLONG start = GetTickCount64();
         opened.empty() && GetTickCount64() - start < kBoxMs; Sleep(kPollMs)) {
        opened = ReadWholeFile(log);
    }
    EXPECT_NE(opened.find("https://www.orva.co.kr"), std::string::npos) << opened;
    Press({VK_MENU, VK_F4});
    EXPECT_EQ(program.WaitForExit(), 0u) << "Alt+F4 closes the window";
}

std::wstring TextOf(const UniqueBstr& text) {
    return text ? std::wstring(text.get(), SysStringLen(text.get())) : std::wstring();
}

// A screen reader's view, from another process as a reader asks: the client
// object's rows are the lines the copy button puts on the clipboard, in
// their places, then come both buttons as objects of their own.
TEST(ScreenReader, ReadsTheSixRowsAsTheReportHasThemThenBothButtons) {
    const ComInitGuard com(COINIT_APARTMENTTHREADED);
    const RunningProgram program(L"screen-reader");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(WaitUntilRowsDrawn(program.window(), kStartMs));
    ASSERT_TRUE(EmptyTheClipboard());
    program.Click(kCopyButtonId);
    const HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message box";
    bool present = false;
    const std::wstring report = ReadClipboardText(present) + L"\r\n";
    DismissMessageBox(box);
    std::vector<std::wstring> lines;
    for (std::size_t start = 0, end; (end = report.find(L"\r\n", start)) != std::wstring::npos;
         start = end + 2) {
        lines.push_back(report.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 6u) << Utf8(report);

    UniqueCom<IAccessible> client;
    ASSERT_EQ(AccessibleObjectFromWindow(
                  program.window(), static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                  reinterpret_cast<void**>(static_cast<IAccessible**>(client.put()))),
              S_OK);
    long children = 0;
    EXPECT_EQ(client.get()->get_accChildCount(&children), S_OK);
    EXPECT_EQ(children, 8);
    RECT frame{};
    GetWindowRect(program.window(), &frame);
    long above = frame.top;
    for (long id = 1; id <= 6; ++id) {
        SCOPED_TRACE(Utf8(lines[id - 1]));
        VARIANT child;
        V_VT(&child) = VT_I4;
        V_I4(&child) = id;
        UniqueBstr name;
        UniqueBstr value;
        EXPECT_EQ(client.get()->get_accName(child, name.put()), S_OK);
        EXPECT_EQ(TextOf(name), lines[id - 1]);
        EXPECT_EQ(client.get()->get_accValue(child, value.put()), S_OK);
        EXPECT_EQ(TextOf(value), lines[id - 1].substr(lines[id - 1].find(L" : ") + 3));
        VariantGuard role;
        EXPECT_EQ(client.get()->get_accRole(child, role.put()), S_OK);
        EXPECT_EQ(V_VT(&role.get()), VT_I4);
        EXPECT_EQ(V_I4(&role.get()), ROLE_SYSTEM_STATICTEXT);
        long left = 0, top = 0, width = 0, height = 0;
        EXPECT_EQ(client.get()->accLocation(&left, &top, &width, &height, child), S_OK);
        EXPECT_GE(left, frame.left);
        EXPECT_GT(top, above) << "rows from the top down";
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        EXPECT_LE(left + width, frame.right);
        EXPECT_LE(top + height, frame.bottom);
        above = top;
    }
    for (long id = 7; id <= 8; ++id) {
        VARIANT child;
        V_VT(&child) = VT_I4;
        V_I4(&child) = id;
        UniqueCom<IDispatch> button;
        EXPECT_EQ(client.get()->get_accChild(child, button.put()), S_OK) << id;
        EXPECT_TRUE(button) << "child " << id << " is no object";
    }
    // A reader that still holds the object once the window is gone gets errors.
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_TRUE(FAILED(client.get()->get_accChildCount(&children)));
}

TEST(MainWindow, LoadsNoDllPlantedBesideIt) {
    constexpr const wchar_t* kCopy = L"orva-downloaded.exe";
    const TempFolder downloads(L"orva-downloads");
    const std::wstring program = downloads.path() + kCopy;
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"orva_planted.dll").c_str(),
                          (downloads.path() + L"uxtheme.dll").c_str(), FALSE));
    const std::wstring settings = std::wstring(L"Software\\Wine\\AppDefaults\\") + kCopy;
    {
        UniqueRegKey overrides;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (settings + L"\\DllOverrides").c_str(), 0,
                                  nullptr, 0, KEY_SET_VALUE, nullptr, overrides.put(), nullptr),
                  ERROR_SUCCESS);
        const std::wstring nativeFirst = L"native,builtin";
        ASSERT_EQ(RegSetValueExW(overrides.get(), L"uxtheme", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(nativeFirst.c_str()),
                                 static_cast<DWORD>((nativeFirst.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    {
        const RunningProgram run(L"planted-dll", program);
        ASSERT_NE(run.window(), nullptr);
        EXPECT_TRUE(WaitUntilRowsDrawn(run.window(), kStartMs));
        PostMessageW(run.window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(run.WaitForExit(), 0u);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, settings.c_str());
    EXPECT_EQ(GetFileAttributesW((downloads.path() + L"planted.marker").c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "the planted uxtheme.dll was loaded";
}

TEST(MainWindow, ClosingEndsTheProgramWithExitCodeZero) {
    struct Way {
        const wchar_t* name;
        UINT message;
        WPARAM wParam;
    };
    const Way ways[] = {
        {L"close-message", WM_CLOSE, 0},
        {L"close-box", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const Way& way : ways) {
        const RunningProgram program(way.name);
        ASSERT_NE(program.window(), nullptr);
        EXPECT_TRUE(WaitUntilRowsDrawn(program.window(), kStartMs));
        PostMessageW(program.window(), way.message, way.wParam, 0);
        EXPECT_EQ(program.WaitForExit(), 0u) << Utf8(way.name);
    }
}

// A run of the tool that never ends holds the first gathering for its bound.
// Past the system's 5 s the window still answers its hung check and a screen
// reader, offers nothing to copy, and a close ends it at once, tools and all.
TEST(MainWindow, AnswersWhileItsToolRunsAndAClosingEndsItAtOnce) {
    SystemTool tool;
    tool.InstallStandIn({{L"wmic-diskdrive.hang", ""}});
    const ComInitGuard com(COINIT_APARTMENTTHREADED);
    const RunningProgram program(L"stuck-tool");
    ASSERT_NE(program.window(), nullptr);
    Sleep(6000);
    ASSERT_FALSE(WaitForFirstReport(program.window(), 0)) << "the gathering did not wait";

    DWORD_PTR ignored = 0;
    const ULONGLONG asked = GetTickCount64();
    EXPECT_NE(
        SendMessageTimeoutW(program.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored), 0)
        << "the window is hung";
    EXPECT_LT(GetTickCount64() - asked, 1000u);
    // A screen reader's first step, which AccessibleObjectFromWindow takes too.
    DWORD_PTR object = 0;
    EXPECT_NE(
        SendMessageTimeoutW(program.window(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT),
                            SMTO_ABORTIFHUNG, 1000, &object),
        0)
        << "a screen reader got no answer";
    UniqueCom<IAccessible> client;
    long children = 0;
    if (object != 0 && SUCCEEDED(ObjectFromLresult(
                           static_cast<LRESULT>(object), IID_IAccessible, 0,
                           reinterpret_cast<void**>(static_cast<IAccessible**>(client.put()))))) {
        EXPECT_EQ(client.get()->get_accChildCount(&children), S_OK);
    }
    EXPECT_EQ(children, 8);
    EXPECT_FALSE(IsWindowEnabled(program.Button(kCopyButtonId)));
    program.Click(kCopyButtonId);
    EXPECT_EQ(program.WaitForMessageBox(1000), nullptr) << "a copy of nothing was confirmed";

    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(5000), 0u) << "the close waited for the tool";
    EXPECT_TRUE(NoProcessNamed(L"wmic.exe")) << "a run of the tool or its child still runs";
}

// A later gathering whose tool takes 15 s, asked by a repaint while the
// copy's message box is open: the box takes its keys at once, and the window
// shows the last rows all along.
TEST(MainWindow, ShowsItsRowsAndLetsItsBoxAnswerWhileALaterGatheringWaits) {
    SystemTool tool;
    tool.InstallStandIn({});
    const RunningProgram program(L"slow-later-gathering");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(WaitForFirstReport(program.window(), kStartMs));
    tool.InstallStandIn({{L"wmic-diskdrive.delay", "15000"}});
    program.Click(kCopyButtonId);
    const HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);

    RedrawWindow(program.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    const ULONGLONG repainted = GetTickCount64();
    Sleep(500);
    Press({VK_RETURN});
    const ULONGLONG pressed = GetTickCount64();
    while (IsWindow(box) && GetTickCount64() - pressed < 1000) {
        Sleep(kPollMs);
    }
    EXPECT_FALSE(IsWindow(box)) << "the box did not take Return";
    Sleep(static_cast<DWORD>(std::max<LONGLONG>(0, 3000 - (GetTickCount64() - repainted))));
    ASSERT_FALSE(NoProcessNamed(L"wmic.exe", 1)) << "the later gathering is over";
    EXPECT_TRUE(WaitUntilRowsDrawn(program.window(), 1000)) << "the rows are gone meanwhile";
}

// The probes' trace lines for the canned tool output of tests/data/e2e, whose
// lines end in CR CR LF as the real tool's do in a pipe; every CR arrives.
const char* const kTraceOfOnePaint[] = {
    // memory: the first module's code, before and after its CRs go
    "26\r\r\r\r\r\r",
    "26",
    // disks: each of the two blocks, before and after its CRs go
    "Samsung SSD 970 EVO Plus 500GB\r\rSize=500105249280\r\r\r\r\r\r",
    "Samsung SSD 970 EVO Plus 500GBSize=500105249280",
    "ST2000DM008-2FR102\r\rSize=2000396321280\r\r\r\r\r\r",
    "ST2000DM008-2FR102Size=2000396321280",
    // video: the first name, then the memory text still holding its key
    "NVIDIA GeForce GTX 1650\r\r",
    "\r\r\r\rAdapterRAM=4293918720\r\r",
};

std::string Printable(const std::string& text) {
    std::string shown;
    for (char c : text) {
        shown += c == '\r' ? std::string("\\r") : std::string(1, c);
    }
    return shown;
}

TEST(Probes, WriteTheirTraceLinesInRunOrderOnEveryPaint) {
    std::string output;
    {
        const RunningProgram program(L"trace");
        ASSERT_NE(program.window(), nullptr);
        EXPECT_TRUE(WaitUntilRowsDrawn(program.window(), kStartMs));
        PostMessageW(program.window(), WM_CLOSE, 0, 0);
        ASSERT_EQ(program.WaitForExit(), 0u);
        output = program.Output();
    }
    // Standard output is in text mode, so each line ends with CR LF; every
    // byte counts, as anything reading the trace sees them all.
    std::string onePaint;
    for (const char* line : kTraceOfOnePaint) {
        onePaint += std::string(line) + "\r\n";
    }
    const std::size_t paints = std::max<std::size_t>(1, output.size() / onePaint.size());
    std::string expected;
    for (std::size_t i = 0; i < paints; ++i) {
        expected += onePaint;
    }
    EXPECT_EQ(Printable(output), Printable(expected));
}

}  // namespace
}  // namespace orva::e2e
