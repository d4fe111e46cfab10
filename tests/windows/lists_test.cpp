// Where the list text of the three queries comes from: the system's tool run
// by its full path, or WMI itself when the tool is missing or writes no list.
#include <windows.h>
#include <wbemcli.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "probes/wmic.h"
#include "win32/system_directory.h"
#include "tests/common/import_patch.h"
#include "tests/common/test_kit.h"
#include "tests/windows/tool_fixture.h"
#include "tests/windows/wmi_fixture.h"
#include "win32/command_runner.h"
#include "win32/handles.h"

namespace orva {
namespace {

bool AllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::wstring& folder) {
        wchar_t saved[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, saved);
        saved_ = saved;
        SetCurrentDirectoryW(folder.c_str());
    }
    ~ScopedCurrentDirectory() { SetCurrentDirectoryW(saved_.c_str()); }

private:
    std::wstring saved_;
};

class ScopedPathFront {
public:
    explicit ScopedPathFront(const std::wstring& folder) {
        const wchar_t* path = _wgetenv(L"PATH");
        saved_ = path != nullptr ? path : L"";
        _wputenv((L"PATH=" + folder + L";" + saved_).c_str());
    }
    ~ScopedPathFront() { _wputenv((L"PATH=" + saved_).c_str()); }

private:
    std::wstring saved_;
};

std::wstring SearchedTool() {
    wchar_t found[MAX_PATH] = {};
    const DWORD length = SearchPathW(nullptr, L"wmic.exe", nullptr, MAX_PATH, found, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(found) : std::wstring();
}

TEST(RunQuery, RunsTheSystemToolByItsFullPath) {
    SystemTool tool;
    tool.InstallStandIn(
        {{L"wmic-diskdrive.txt", "\r\r\n\r\r\nModel=System Disk\r\r\nSize=1000\r\r\n\r\r\n"}});
    const std::string impostor = "Model=Impostor\r\nSize=1\r\n";
    TempFolder current(L"orva-current");
    TempFolder early(L"orva-early-on-path");
    for (const TempFolder* folder : {&current, &early}) {
        CopyFileW((ExeFolder() + L"fake_wmic.exe").c_str(), (folder->path() + L"wmic.exe").c_str(),
                  FALSE);
        WriteBytes(folder->path() + L"wmic-diskdrive.txt", impostor);
    }
    ScopedCurrentDirectory inCurrent(current.path());
    ScopedPathFront onPath(early.path());

    // The trap is live: a search for the bare name finds an impostor.
    const std::wstring found = SearchedTool();
    EXPECT_TRUE(found == current.path() + L"wmic.exe" || found == early.path() + L"wmic.exe")
        << ToUtf8(found);
    const ListText list = RunQuery(kDiskQuery);
    EXPECT_EQ(list.bytes, "\r\r\n\r\r\nModel=System Disk\r\r\nSize=1000\r\r\n\r\r\n");
    EXPECT_EQ(list.encoding, ListEncoding::kOemCodePage) << "the tool writes its OEM code page";
}

TEST(RunQuery, HandsEachCommandLineToTheToolUnchanged) {
    SystemTool tool;
    tool.InstallStandIn({{L"wmic-diskdrive.txt", "Model=d\r\n"},
                         {L"wmic-memorychip.txt", "SMBIOSMemoryType=26\r\n"},
                         {L"wmic-videocontroller.txt", "AdapterRAM=1\r\nName=v\r\n"},
                         {L"wmic-echo.flag", ""}});
    struct Case {
        const ListQuery& query;
        std::string canned;
    };
    const Case cases[] = {
        {kDiskQuery, "Model=d\r\n"},
        {kMemoryQuery, "SMBIOSMemoryType=26\r\n"},
        {kVideoQuery, "AdapterRAM=1\r\nName=v\r\n"},
    };
    const std::string program = ToUtf8(SystemDirectory()) + "\\wbem\\WMIC.exe";
    for (const Case& c : cases) {
        const std::vector<std::string> pieces = SplitString(RunQuery(c.query).bytes, "Line=");
        ASSERT_EQ(pieces.size(), 2u) << c.query.arguments;
        EXPECT_EQ(pieces[0], c.canned);
        EXPECT_EQ(pieces[1], "\"" + program + "\" " + c.query.arguments + "\r\n");
    }
}

TEST(RunQuery, ToolOutputWithoutTheKeyGivesWayToWmi) {
    SystemTool tool;
    struct Case {
        const char* what;
        std::string toolOutput;
    };
    const Case cases[] = {
        {"nothing", ""},
        {"UTF-16 like Wine's tool", std::string("\xFF\xFEM\0o\0d\0e\0l\0=\0W\0", 16)},
        {"the key in another case", "MODEL=x\r\nSIZE=1\r\n"},
        {"an error text", "Invalid query\r\n"},
    };
    const std::string fromWmi = QueryWmiListText(kDiskQuery);
    ASSERT_TRUE(HoldsQueryKey(fromWmi, kDiskQuery));
    for (const Case& c : cases) {
        tool.InstallStandIn({{L"wmic-diskdrive.txt", c.toolOutput}});
        const ListText list = RunQuery(kDiskQuery);
        EXPECT_EQ(list.bytes, fromWmi) << c.what;
        EXPECT_EQ(list.encoding, ListEncoding::kUtf8) << c.what;
    }
}

TEST(RunQuery, WinesOwnToolGivesWayToWmi) {
    const std::wstring system = SystemDirectory();
    ASSERT_NE(GetFileAttributesW(WmicPath(system).c_str()), INVALID_FILE_ATTRIBUTES);
    const std::optional<std::string> output =
        RunCommand(WmicPath(system), WmicCommandLine(system, kDiskQuery), kToolTimeLimitMs);
    ASSERT_TRUE(output.has_value());
    EXPECT_FALSE(HoldsQueryKey(*output, kDiskQuery)) << *output;
    EXPECT_EQ(FirstValue(RunQuery(kDiskQuery).bytes, "Model=", "Size="), "Wine Disk Drive");
}

TEST(RunQuery, WithoutTheToolWmiAnswersAndEveryComObjectIsReleased) {
    SystemTool tool;
    tool.Remove();
    const int owners = LiveComOwners();

    const std::string disks = RunQuery(kDiskQuery).bytes;
    EXPECT_EQ(FirstValue(disks, "Model=", "Size="), "Wine Disk Drive") << disks;
    EXPECT_TRUE(AllDigits(FirstValue(disks, "Size=", "Model="))) << disks;

    const std::string video = RunQuery(kVideoQuery).bytes;
    EXPECT_TRUE(AllDigits(FirstValue(video, "AdapterRAM=", "Name="))) << video;
    EXPECT_FALSE(FirstValue(video, "Name=", "AdapterRAM=").empty()) << video;
    // AdapterRAM comes before Name, as the video parser needs.
    EXPECT_LT(video.find("AdapterRAM="), video.find("Name="));

    // Wine's WMI has no SMBIOSMemoryType: no record, no key, no failure.
    const std::string memory = RunQuery(kMemoryQuery).bytes;
    EXPECT_TRUE(memory.empty() || AllDigits(FirstValue(memory, "SMBIOSMemoryType=", ""))) << memory;

    EXPECT_EQ(LiveComOwners(), owners);
}

class ScopedFolder {
public:
    explicit ScopedFolder(const std::wstring& path)
        : path_(path), made_(CreateDirectoryW(path.c_str(), nullptr) != FALSE) {}
    ~ScopedFolder() {
        if (made_) {
            RemoveDirectoryW(path_.c_str());
        }
    }
    bool made() const { return made_; }

private:
    std::wstring path_;
    bool made_;
};

TEST(RunQuery, AToolThatCannotStartGivesWayToWmi) {
    SystemTool tool;
    tool.Remove();
    const std::string fromWmi = QueryWmiListText(kDiskQuery);
    ASSERT_TRUE(HoldsQueryKey(fromWmi, kDiskQuery));
    EXPECT_EQ(RunQuery(kDiskQuery).bytes, fromWmi) << "no tool";
    const ScopedFolder folder(WmicPath(SystemDirectory()));
    ASSERT_TRUE(folder.made());
    EXPECT_EQ(RunQuery(kDiskQuery).bytes, fromWmi) << "a folder of the tool's name";
}

// Connections to WMI that this process begins while it lives: each begins
// with a locator, made through this program file's import of
// CoCreateInstance. With failing(), no locator can be made: WMI is out of reach.
class WmiConnections {
public:
    explicit WmiConnections(bool failing = false) {
        attempts_ = 0;
        failing_ = failing;
        real_ = reinterpret_cast<CoCreateInstanceFunction>(
            ReplaceImport("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(&Counting)));
    }
    WmiConnections(const WmiConnections&) = delete;
    WmiConnections& operator=(const WmiConnections&) = delete;
    ~WmiConnections() {
        ReplaceImport("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(real_));
    }
    // Attempts so far; -1 when the import could not be watched.
    int attempts() const { return real_ != nullptr ? attempts_.load() : -1; }

private:
    using CoCreateInstanceFunction = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    static HRESULT WINAPI Counting(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID iid,
                                   LPVOID* object) {
        if (IsEqualCLSID(type, CLSID_WbemLocator)) {
            ++attempts_;
            if (failing_) {
                *object = nullptr;
                return REGDB_E_CLASSNOTREG;
            }
        }
        return real_(type, outer, context, iid, object);
    }
    static inline std::atomic<int> attempts_{0};
    static inline bool failing_ = false;
    static inline CoCreateInstanceFunction real_ = nullptr;
};

// The WMI service restarting under this process's connections: after
// Restart(), the next query on a connection fails as the service's RPC does.
// Seen through the program's CoSetProxyBlanket on each new connection.
class WmiServiceRestart {
public:
    WmiServiceRestart() {
        realBlanket_ = reinterpret_cast<BlanketFunction>(
            ReplaceImport("ole32.dll", "CoSetProxyBlanket", reinterpret_cast<void*>(&Watching)));
    }
    WmiServiceRestart(const WmiServiceRestart&) = delete;
    WmiServiceRestart& operator=(const WmiServiceRestart&) = delete;
    ~WmiServiceRestart() {
        ReplaceImport("ole32.dll", "CoSetProxyBlanket", reinterpret_cast<void*>(realBlanket_));
        if (table_ != nullptr) {
            ReplaceMethod(table_, kExecQuerySlot, reinterpret_cast<void*>(realExecQuery_));
        }
    }
    // Whether the seam holds a connection's ExecQuery.
    bool watching() const { return realExecQuery_ != nullptr; }
    void Restart() { restarted_ = true; }

private:
    using BlanketFunction = HRESULT(WINAPI*)(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD,
                                             RPC_AUTH_IDENTITY_HANDLE, DWORD);
    using ExecQueryFunction = HRESULT(STDMETHODCALLTYPE*)(IWbemServices*, BSTR, BSTR, long,
                                                          IWbemContext*, IEnumWbemClassObject**);
    static constexpr std::size_t kExecQuerySlot = 20;  // after IUnknown's 3 and 17 others

    static HRESULT WINAPI Watching(IUnknown* proxy, DWORD authentication, DWORD authorization,
                                   OLECHAR* server, DWORD level, DWORD impersonation,
                                   RPC_AUTH_IDENTITY_HANDLE identity, DWORD capabilities) {
        if (table_ == nullptr) {
            table_ = *reinterpret_cast<void***>(proxy);
            realExecQuery_ = reinterpret_cast<ExecQueryFunction>(
                ReplaceMethod(table_, kExecQuerySlot, reinterpret_cast<void*>(&ExecQuery)));
        }
        return realBlanket_(proxy, authentication, authorization, server, level, impersonation,
                            identity, capabilities);
    }
    static HRESULT STDMETHODCALLTYPE ExecQuery(IWbemServices* services, BSTR language, BSTR query,
                                               long flags, IWbemContext* context,
                                               IEnumWbemClassObject** rows) {
        if (restarted_.exchange(false)) {
            *rows = nullptr;
            return HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
        }
        return realExecQuery_(services, language, query, flags, context, rows);
    }
    static inline BlanketFunction realBlanket_ = nullptr;
    static inline void** table_ = nullptr;
    static inline ExecQueryFunction realExecQuery_ = nullptr;
    static inline std::atomic<bool> restarted_{false};
};

DWORD WINAPI RunWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}

// Runs work on a thread of its own, so in a COM apartment of its own, to its end.
void OnNewThread(const std::function<void()>& work) {
    const HANDLE thread =
        CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()>*>(&work), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

TEST(RunQueries, ConnectsAfreshInTheGatheringAfterTheServiceRestarted) {
    SystemTool tool;
    tool.Remove();
    bool seamWorks = false;
    int attempts[3] = {};
    ReportLists lists[3];
    OnNewThread([&] {
        const WmiConnections connections;
        WmiServiceRestart service;
        ThreadWmi wmi;
        for (int i = 0; i < 3; ++i) {
            if (i == 1) {  // between the first gathering and the second
                seamWorks = service.watching();
                service.Restart();
            }
            const int before = connections.attempts();
            lists[i] = RunReportLists(wmi.session);
            attempts[i] = connections.attempts() - before;
        }
    });
    ASSERT_TRUE(seamWorks);
    EXPECT_EQ(attempts[0], 1);
    EXPECT_EQ(attempts[1], 0) << "one attempt a gathering at most";
    EXPECT_EQ(attempts[2], 1) << "the lost connection is dropped";
    EXPECT_TRUE(HoldsQueryKey(lists[2].disks.bytes, kDiskQuery));
    EXPECT_EQ(lists[2].disks.bytes, lists[0].disks.bytes);
    EXPECT_EQ(lists[2].video.bytes, lists[0].video.bytes);
}

// Two gatherings with WMI out of reach and no tool: each tries to connect
// once, whatever number of queries it has.
TEST(RunQueries, TriesToConnectOnceAGatheringWhenConnectingFails) {
    SystemTool tool;
    tool.Remove();
    int attempts[2] = {};
    ReportLists lists[2];
    OnNewThread([&] {
        const WmiConnections connections(true);
        ThreadWmi wmi;
        for (int i = 0; i < 2; ++i) {
            const int before = connections.attempts();
            lists[i] = RunReportLists(wmi.session);
            attempts[i] = connections.attempts() - before;
        }
    });
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(attempts[i], 1) << "gathering " << i;
        for (const ListText* list : {&lists[i].memory, &lists[i].disks, &lists[i].video}) {
            EXPECT_EQ(list->bytes, "");
        }
    }
}

}  // namespace
}  // namespace orva
