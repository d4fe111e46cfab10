// Many paints of the real window, each with the gathering it asks for: the
// test build orva_testhooks (the program with tests/hooks linked in)
// repaints on request and says what the process holds. From the second
// gathering to the last, nothing may grow: not its owners of handles, not
// the handles and GDI objects that the system counts, not its heap, not its
// memory as Linux sees it. Run by tests/e2e/paints.sh.
#include <windows.h>

#include <wbemcli.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/window.h"
#include "tests/common/test_kit.h"
#include "tests/e2e/program_driver.h"
#include "tests/e2e/running_program.h"
#include "tests/hooks/test_hooks.h"
#include "tests/windows/tool_fixture.h"
#include "win32/handles.h"

namespace orva::e2e {
namespace {

using namespace orva::test_hooks;

constexpr DWORD kPaintMs = 120000;
// Every gathering writes the probes' trace lines: memory 2, disks 4, video 2.
constexpr std::size_t kTraceLinesPerGathering = 8;
// Heap bytes that may come and go between paints without being a leak (none
// did in our runs); a block left behind by every paint would exceed it.
constexpr long kHeapSlackBytes = 1024;
// Wine maps pages of its own during the first few paints (1.6 MB over ten
// paints through WMI, then nothing), so VmRSS is compared over the second
// half of the paints only; a page a paint would exceed this there.
constexpr long kRssSlackKb = 1024;
// Device contexts that Wine may add to its cache over a run, each with its region.
constexpr LRESULT kWineDcCacheSlack = 2;

struct FindTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle search) noexcept { FindClose(search); }
};
using UniqueFind = UniqueHandle<FindTraits>;

int PaintsFromEnvironment(const wchar_t* name, int fallback) {
    const std::wstring value = Environment(name);
    const int count = value.empty() ? 0 : std::wcstol(value.c_str(), nullptr, 10);
    return count >= 2 ? count : fallback;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The Linux process that runs a Windows program under Wine. Wine names it by
// the program's Windows path in /proc/<pid>/cmdline; a 32-bit process run by
// a user-mode emulator keeps the emulator's own arguments there instead
// (emulator, Wine's loader, program). 0 unless exactly one process matches.
long UnixPidOf(const std::wstring& windowsPath) {
    const std::string wanted = Lower(Utf8(windowsPath));
    WIN32_FIND_DATAW found{};
    const UniqueFind search(FindFirstFileW(L"Z:\\proc\\*", &found));
    if (!search) {
        return 0;
    }
    long pid = 0;
    int matches = 0;
    do {
        const long number = std::wcstol(found.cFileName, nullptr, 10);
        if (number <= 0 || std::to_wstring(number) != found.cFileName) {
            continue;
        }
        const std::string commandLine =
            ReadWholeFile(L"Z:\\proc\\" + std::wstring(found.cFileName) + L"\\cmdline");
        std::vector<std::string> arguments;
        for (std::size_t at = 0; at < commandLine.size();) {
            const std::size_t end = std::min(commandLine.find('\0', at), commandLine.size());
            arguments.push_back(Lower(commandLine.substr(at, end - at)));
            at = end + 1;
        }
        const std::size_t program =
            arguments.size() > 2 && arguments[0].find("qemu-") != std::string::npos ? 2 : 0;
        if (program < arguments.size() && arguments[program] == wanted) {
            pid = number;
            ++matches;
        }
    } while (FindNextFileW(search.get(), &found));
    return matches == 1 ? pid : 0;
}

long RssKb(long unixPid) {
    const std::string status =
        ReadWholeFile(L"Z:\\proc\\" + std::to_wstring(unixPid) + L"\\status");
    const std::size_t at = status.find("VmRSS:");
    return at == std::string::npos ? -1 : std::strtol(status.c_str() + at + 6, nullptr, 10);
}

// What the process holds at one moment between paints.
struct Holdings {
    int gatherings = 0;
    double seconds = 0;                // since the second gathering began
    std::map<WPARAM, LRESULT> owners;  // live owners of each kind
    LRESULT openHandles = 0;
    LRESULT gdiObjects = 0;
    std::map<DWORD, LRESULT> gdiByType;
    LRESULT heapBytes = 0;
    long rssKb = 0;
};

class HookedProgram {
public:
    // Started, with its first gathering complete.
    explicit HookedProgram(const std::wstring& name)
        : program_(name, kTestHooksProgram), message_(RegisterWindowMessageW(kTestHookMessage)) {
        WaitForFirstReport(window(), kStartMs);
    }

    HWND window() const { return program_.window(); }
    const RunningProgram& program() const { return program_; }

    // -1 when the program does not answer in time.
    LRESULT Ask(WPARAM question, LPARAM argument = 0, DWORD timeoutMs = kPaintMs) const {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(window(), message_, question, argument, SMTO_BLOCK, timeoutMs,
                                 &answer)) {
            return -1;
        }
        return static_cast<LRESULT>(answer);
    }

    Holdings Take(long unixPid) const {
        Holdings now;
        now.gatherings = static_cast<int>(Ask(kGathered));
        for (WPARAM kind = kFirstLiveOwners; kind <= kLastLiveOwners; ++kind) {
            now.owners[kind] = Ask(kind);
        }
        now.openHandles = Ask(kOpenHandles);
        now.gdiObjects = Ask(kGdiObjects);
        for (DWORD type = OBJ_PEN; type <= OBJ_COLORSPACE; ++type) {
            if (const LRESULT count = Ask(kGdiObjects, static_cast<LPARAM>(type)); count > 0) {
                now.gdiByType[type] = count;
            }
        }
        now.heapBytes = Ask(kHeapBytes);
        now.rssKb = RssKb(unixPid);
        return now;
    }

private:
    RunningProgram program_;
    UINT message_;
};

const char* GdiTypeName(DWORD type) {
    static const char* const names[] = {
        "?",      "pen",      "brush", "dc",     "metadc",    "palette",     "font",      "bitmap",
        "region", "metafile", "memdc", "extpen", "enhmetadc", "enhmetafile", "colorspace"};
    return type < sizeof names / sizeof names[0] ? names[type] : "?";
}

std::string Describe(const Holdings& h) {
    char line[512];
    std::snprintf(
        line, sizeof line,
        "gathering %4d (%6.1f s): %ld open handles, %ld GDI objects, %ld heap bytes, VmRSS "
        "%ld kB; GDI by type:",
        h.gatherings, h.seconds, static_cast<long>(h.openHandles), static_cast<long>(h.gdiObjects),
        static_cast<long>(h.heapBytes), h.rssKb);
    std::string text = line;
    for (const auto& [type, count] : h.gdiByType) {
        text += std::string(" ") + GdiTypeName(type) + "=" + std::to_string(count);
    }
    text += "; live owners:";
    LRESULT owned = 0;
    for (const auto& [kind, count] : h.owners) {
        owned += count;
        if (count != 0) {
            text += std::string(" ") + QuestionName(kind) + "=" + std::to_string(count);
        }
    }
    if (owned == 0) {
        text += " none";
    }
    return text;
}

void Report(const std::string& run, const std::string& line) {
    std::printf("%s: %s\n", run.c_str(), line.c_str());
    std::fflush(stdout);
    const std::string bytes = run + ": " + line + "\r\n";
    const UniqueFile log(CreateFileW((OutputFolder() + L"figures.txt").c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (log) {
        WriteFile(log.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

std::size_t CountLines(const std::string& text) {
    std::size_t lines = 0;
    for (char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

// Starts the program, calls afterFirstGathering, makes it paint and gather
// `gatherings` times in all, and compares what it holds after the second
// gathering with what it holds after the last.
// wineBytesPerGathering: heap that Wine itself keeps for every gathering, allowed.
void PaintAndCompare(
    const std::string& run, int gatherings,
    const std::function<void()>& afterFirstGathering = [] {}, long wineBytesPerGathering = 0) {
    std::vector<Holdings> seen;
    std::string output;
    {
        const HookedProgram program(Widen(run));
        ASSERT_NE(program.window(), nullptr) << "no window of class ORVATELMOX appeared";
        ASSERT_EQ(program.Ask(kGathered), 1);
        afterFirstGathering();
        const long unixPid = UnixPidOf(ProgramPath(kTestHooksProgram));
        ASSERT_GT(unixPid, 0) << "no single Linux process runs " << Utf8(kTestHooksProgram);

        std::vector<int> checkpoints = {1, 2, 10, 50, gatherings / 2, gatherings};
        for (int at = 100; at < gatherings; at += 100) {
            checkpoints.push_back(at);
        }
        const ULONGLONG start = GetTickCount64();
        for (int gathered = 1; gathered <= gatherings; ++gathered) {
            if (gathered > 1) {
                // The paint asks for a gathering, whose rows come a moment later.
                program.Ask(kRepaint);
                const ULONGLONG asked = GetTickCount64();
                while (program.Ask(kGathered) < gathered && GetTickCount64() - asked < kPaintMs) {
                    Sleep(1);
                }
                ASSERT_EQ(program.Ask(kGathered), gathered) << "the repaint gathered nothing";
            }
            if (std::find(checkpoints.begin(), checkpoints.end(), gathered) != checkpoints.end()) {
                seen.push_back(program.Take(unixPid));
                seen.back().seconds =
                    gathered == 1 ? 0 : static_cast<double>(GetTickCount64() - start) / 1000.0;
                Report(run, Describe(seen.back()));
            }
        }
        PostMessageW(program.window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(program.program().WaitForExit(), 0u);
        output = program.program().Output();
    }
    ASSERT_GE(seen.size(), 3u);
    const Holdings& first = seen.front();
    const Holdings& second = seen[1];
    const Holdings& last = seen.back();
    const auto half = std::find_if(seen.begin(), seen.end(), [&](const Holdings& h) {
        return h.gatherings == gatherings / 2;
    });
    ASSERT_NE(half, seen.end());
    char summary[256];
    std::snprintf(summary, sizeof summary,
                  "VmRSS %ld kB after the first gathering, %ld kB after %d; %.2f s a gathering",
                  first.rssKb, last.rssKb, last.gatherings, last.seconds / (last.gatherings - 1));
    Report(run, summary);

    // Between gatherings the program owns what lives as long as its window:
    // the gathering thread with its events, and the WMI connection that
    // thread keeps, set up by the first gathering that asks WMI.
    EXPECT_LE(second.owners.at(kLiveComObjects), 2) << "more kept than a locator and a connection";
    for (const Holdings& h : seen) {
        for (const auto& [kind, count] : h.owners) {
            if (kind != kLiveComObjects && kind != kLiveKernelHandles) {
                EXPECT_EQ(count, 0) << QuestionName(kind) << " owned after " << h.gatherings;
            } else if (h.gatherings > 1) {
                EXPECT_EQ(count, second.owners.at(kind))
                    << QuestionName(kind) << " after gathering " << h.gatherings;
            }
        }
    }
    // Wine keeps a cache of window device contexts, each with a region of its
    // own, and adds one now and then (seen once in 150 paints, at any paint):
    // a few such pairs, not one a paint. Every other count stands still.
    EXPECT_EQ(last.openHandles, second.openHandles) << "kernel handles grew";
    std::map<DWORD, LRESULT> grown;
    for (const auto& [type, count] : last.gdiByType) {
        grown[type] += count;
    }
    for (const auto& [type, count] : second.gdiByType) {
        grown[type] -= count;
    }
    const LRESULT cached = grown[OBJ_DC];
    EXPECT_TRUE(cached >= 0 && cached <= kWineDcCacheSlack && grown[OBJ_REGION] == cached)
        << "device contexts grew by " << cached << ", regions by " << grown[OBJ_REGION];
    grown.erase(OBJ_DC);
    grown.erase(OBJ_REGION);
    for (const auto& [type, count] : grown) {
        EXPECT_EQ(count, 0) << GdiTypeName(type) << " objects changed";
    }
    EXPECT_EQ(last.gdiObjects - second.gdiObjects, 2 * cached) << "GDI objects grew";
    EXPECT_LE(last.heapBytes - second.heapBytes,
              kHeapSlackBytes + wineBytesPerGathering * (last.gatherings - second.gatherings))
        << "the heap grew";
    EXPECT_GT(last.rssKb, 0) << "VmRSS unreadable";
    EXPECT_LE(last.rssKb - half->rssKb, kRssSlackKb) << "the process grew";
    EXPECT_EQ(CountLines(output),
              kTraceLinesPerGathering * static_cast<std::size_t>(last.gatherings))
        << "not every gathering ran every probe";
}

std::map<std::wstring, std::string> CannedOutputs(const char* folder) {
    std::map<std::wstring, std::string> files;
    for (const wchar_t* name :
         {L"wmic-diskdrive.txt", L"wmic-memorychip.txt", L"wmic-videocontroller.txt"}) {
        std::wstring path = L"Z:" + Widen(std::string(ORVA_TEST_DATA_DIR) + "/" + folder + "/");
        files[name] = ReadWholeFile(path + name);
        EXPECT_FALSE(files[name].empty()) << Utf8(path + name);
    }
    return files;
}

// Heap that Wine's own WMI keeps for each video controller query in a process
// of this build, asked here without the program's code: Wine 8's 32-bit side
// keeps about 100 bytes a query (its Direct3D adapter), its 64-bit side none.
long WineBytesPerVideoQuery() {
    ThreadWmi wmi;
    IWbemServices* const services = wmi.session.Services();
    EXPECT_NE(services, nullptr) << "no WMI in the test process";
    if (services == nullptr) {
        return 0;
    }
    const UniqueBstr language(SysAllocString(L"WQL"));
    const UniqueBstr wql(SysAllocString(L"SELECT AdapterRAM, Name FROM Win32_VideoController"));
    const auto query = [&] {
        UniqueCom<IEnumWbemClassObject> rows;
        if (FAILED(services->ExecQuery(language.get(), wql.get(),
                                       WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                       nullptr, rows.put()))) {
            return;
        }
        for (;;) {
            UniqueCom<IWbemClassObject> row;
            ULONG returned = 0;
            if (rows.get()->Next(10000, 1, row.put(), &returned) != WBEM_S_NO_ERROR) {
                return;
            }
            VariantGuard name;
            row.get()->Get(L"Name", 0, name.put(), nullptr, nullptr);
        }
    };
    query();  // Wine's first query loads and keeps what every later one uses
    constexpr int kQueries = 20;
    const LRESULT before = test_hooks::HeapBytes();
    for (int i = 0; i < kQueries; ++i) {
        query();
    }
    const long perQuery = static_cast<long>((test_hooks::HeapBytes() - before) / kQueries);
    Report("wmi", "Wine's own WMI keeps " + std::to_string(perQuery) +
                      " heap bytes a video controller query in this build");
    return perQuery > 0 ? perQuery : 0;
}

// Without the tool every gathering asks WMI through COM: three queries and
// their enumerators on the connection its thread keeps.
TEST(ManyPaints, LeaveNothingBehindWhenEveryRowComesFromWmi) {
    SystemTool tool;
    tool.Remove();
    const long wineBytes = WineBytesPerVideoQuery();
    PaintAndCompare(
        "wmi", PaintsFromEnvironment(L"ORVA_PAINTS_WMI", 1000), [] {}, wineBytes);
}

// With the stand-in tool every gathering starts three tool runs, each with
// its pipe, job and reading thread. The first gathering asks WMI, so that
// loading COM does not count as growth later.
TEST(ManyPaints, LeaveNothingBehindWhenTheToolRunsThreeTimesAPaint) {
    SystemTool tool;
    tool.Remove();
    PaintAndCompare("tool", PaintsFromEnvironment(L"ORVA_PAINTS_TOOL", 150),
                    [&] { tool.InstallStandIn(CannedOutputs("e2e")); });
}

// A WMI call that does not return (a stuck WMI service, a damaged
// repository) holds the gathering thread alone: the window still answers,
// and a close ends the program at once with the call still out.
TEST(HeldWmiCall, LeavesTheWindowAnsweringAndAClosingEndsItAtOnce) {
    SystemTool tool;
    tool.Remove();
    const HookedProgram program(L"held-wmi");
    ASSERT_NE(program.window(), nullptr) << "no window of class ORVATELMOX appeared";
    ASSERT_EQ(program.Ask(kHoldWmi, 1), 0) << "the test build holds no WMI call";
    RedrawWindow(program.window(), nullptr, nullptr, RDW_INVALIDATE);  // a later gathering
    Sleep(6000);  // past the system's 5 s, after which a thread that answers nothing is hung

    DWORD_PTR ignored = 0;
    EXPECT_NE(
        SendMessageTimeoutW(program.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored), 0)
        << "the window is hung";
    EXPECT_EQ(program.Ask(kHoldWmi, 1, 1000), 1) << "no WMI call is out";
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.program().WaitForExit(1000), 0u) << "the close waited for WMI";
}

}  // namespace
}  // namespace orva::e2e
