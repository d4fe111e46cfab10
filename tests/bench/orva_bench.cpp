// Timings of one paint's work and of start-up, printed as a table of minimum,
// median and maximum over repeated runs. Figures only: nothing here passes or
// fails, since Wine on a busy machine is noisy. tools/bench runs it in a
// throwaway prefix, where it may replace the system's wmic.exe for a while.
//
//   orva_bench [--quick] [--only ITEMS]   (ITEMS: digits 1 to 5, e.g. 34)
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/report.h"
#include "probes/board.h"
#include "probes/disks.h"
#include "probes/memory.h"
#include "probes/os.h"
#include "probes/processor.h"
#include "probes/video.h"
#include "probes/wmic.h"
#include "res/resource.h"
#include "tests/common/test_kit.h"
#include "win32/command_runner.h"
#include "win32/firmware.h"
#include "win32/handles.h"
#include "win32/system_directory.h"
#include "win32/text_conversion.h"

namespace orva::bench {
namespace {

// ---------------------------------------------------------------- timing

double Seconds() {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

struct Figures {
    std::size_t runs = 0;
    double min = 0;
    double median = 0;
    double max = 0;
};

Figures Summarise(std::vector<double> samples) {
    Figures figures;
    if (samples.empty()) {
        return figures;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    figures.runs = n;
    figures.min = samples.front();
    figures.max = samples.back();
    figures.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return figures;
}

// Runs work once to warm up, then rounds times; seconds per run.
std::vector<double> Time(int rounds, const std::function<void()>& work) {
    work();
    std::vector<double> samples;
    for (int i = 0; i < rounds; ++i) {
        const double start = Seconds();
        work();
        samples.push_back(Seconds() - start);
    }
    return samples;
}

double TimeOnce(const std::function<void()>& work) {
    const double start = Seconds();
    work();
    return Seconds() - start;
}

void PrintHeader(const char* title, const char* unit) {
    std::printf("\n%s\n", title);
    std::printf("  %-52s %5s %10s %10s %10s\n", "", "runs", (std::string("min ") + unit).c_str(),
                (std::string("median ") + unit).c_str(), (std::string("max ") + unit).c_str());
}

void PrintRow(const std::string& what, const Figures& f, double scale, const std::string& note) {
    std::printf("  %-52s %5zu %10.3f %10.3f %10.3f  %s\n", what.c_str(), f.runs, f.min * scale,
                f.median * scale, f.max * scale, note.c_str());
    std::fflush(stdout);
}

std::string Format(const char* format, double value) {
    char text[64] = {};
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// ---------------------------------------------------------------- files

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// The canned tool outputs in the source tree; a Unix path is reached through Z:.
std::wstring DataFolder() {
    const std::string dir = ORVA_TEST_DATA_DIR;
    std::wstring folder(dir.begin(), dir.end());
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    if (!folder.empty() && folder[0] == L'\\') {
        folder = L"Z:" + folder;
    }
    return folder + L"\\e2e\\";
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.good();
}

constexpr const wchar_t* kCannedNames[] = {L"wmic-diskdrive.txt", L"wmic-memorychip.txt",
                                           L"wmic-videocontroller.txt"};
constexpr const wchar_t* kDelayNames[] = {L"wmic-diskdrive.delay", L"wmic-memorychip.delay",
                                          L"wmic-videocontroller.delay"};

// The system's wmic.exe replaced by the stand-in (fake_wmic.exe beside this
// program) printing tests/data/e2e, or taken away; the original comes back
// when this ends.
class SystemTool {
public:
    SystemTool() {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        wbem_ = std::wstring(system) + L"\\wbem\\";
        // A copy left by a run that was killed is the original: keep it.
        if (GetFileAttributesW(Saved().c_str()) != INVALID_FILE_ATTRIBUTES) {
            saved_ = true;
        } else {
            saved_ = MoveFileExW(Tool().c_str(), Saved().c_str(), 0) != FALSE;
        }
    }
    SystemTool(const SystemTool&) = delete;
    SystemTool& operator=(const SystemTool&) = delete;
    ~SystemTool() {
        Remove();
        if (saved_) {
            MoveFileExW(Saved().c_str(), Tool().c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }

    bool InstallStandIn() {
        Remove();
        bool ok =
            CopyFileW((ExeFolder() + L"fake_wmic.exe").c_str(), Tool().c_str(), FALSE) != FALSE;
        for (const wchar_t* name : kCannedNames) {
            ok = CopyFileW((DataFolder() + name).c_str(), (wbem_ + name).c_str(), FALSE) && ok;
        }
        return ok;
    }

    // Every run of the stand-in waits this long after writing its output; 0 for none.
    bool Delay(unsigned long milliseconds) {
        bool ok = true;
        for (const wchar_t* name : kDelayNames) {
            if (milliseconds == 0) {
                DeleteFileW((wbem_ + name).c_str());
            } else {
                ok = WriteBytes(wbem_ + name, std::to_string(milliseconds)) && ok;
            }
        }
        return ok;
    }

    void Remove() {
        DeleteFileW(Tool().c_str());
        for (const wchar_t* name : kCannedNames) {
            DeleteFileW((wbem_ + name).c_str());
        }
        Delay(0);
    }

private:
    std::wstring Tool() const { return wbem_ + L"wmic.exe"; }
    std::wstring Saved() const { return wbem_ + L"wmic.exe.orva-bench-saved"; }

    std::wstring wbem_;
    bool saved_ = false;
};

// Trace lines go to standard output: while the table is gathered, that leads
// to NUL.
class TraceToNull {
public:
    TraceToNull() : saved_(_dup(_fileno(stdout))) {
        std::fflush(stdout);
        const int null = _open("NUL", _O_WRONLY);
        if (saved_ >= 0 && null >= 0) {
            _dup2(null, _fileno(stdout));
        }
        if (null >= 0) {
            _close(null);
        }
    }
    TraceToNull(const TraceToNull&) = delete;
    TraceToNull& operator=(const TraceToNull&) = delete;
    ~TraceToNull() {
        std::fflush(stdout);
        if (saved_ >= 0) {
            _dup2(saved_, _fileno(stdout));
            _close(saved_);
        }
    }

private:
    int saved_;
};

std::string Narrow(const std::wstring& text) {
    return ToUtf8(text);
}

// ---------------------------------------------------------------- items 1 to 3

// What the slow stand-in waits before it ends.
constexpr unsigned long kSlowRunMs = 1000;

struct Options {
    int gatherRounds = 15;
    int slowRounds = 5;
    int ownWorkRounds = 2000;
    int sizeRounds = 11;
    int startRounds = 8;
    int fixedCostRounds = 31;
};

// The figures that the goals speak of, gathered for the closing summary.
struct Summary {
    Figures toolRuns;
    Figures slowToolRuns;
    Figures builtIn;
    Figures ownWork;
    double perMegabyteMin[2] = {};  // 1 MB and 10 MB, above the 1 KB run
    double perMegabyteMedian[2] = {};
    bool sizesMeasured = false;
    Figures bareStart;
    Figures smallRun;
    Figures startWithTool;
    Figures startWithoutTool;
};

std::string DiskRow(const ReportRows& rows) {
    return Narrow(rows[5].value);
}

void BenchGathering(const Options& options, Summary& summary) {
    PrintHeader("One whole gathering of the six rows (CollectReportRows)", "ms");
    ThreadWmi wmi;  // as the program's gathering thread holds one
    SystemTool tool;
    ReportRows rows;
    std::vector<double> withTool;
    std::vector<double> slowRuns;
    std::vector<double> withoutTool;
    {
        const TraceToNull quiet;
        if (!tool.InstallStandIn()) {
            std::printf("  (the stand-in tool could not be put in place)\n");
            return;
        }
        withTool = Time(options.gatherRounds, [&] { rows = GatherRows(wmi.session); });
    }
    const Figures toolFigures = Summarise(withTool);
    PrintRow("1. stand-in tool, three tool runs", toolFigures, 1e3, "DISK: " + DiskRow(rows));
    {
        // Three runs of about one second each: the gathering waits for the
        // slowest when they run together, for their sum when in turn.
        const TraceToNull quiet;
        tool.Delay(kSlowRunMs);
        slowRuns = Time(options.slowRounds, [&] { rows = GatherRows(wmi.session); });
        tool.Delay(0);
    }
    const Figures slowFigures = Summarise(slowRuns);
    PrintRow("1. the same, each tool run about 1 s", slowFigures, 1e3,
             Format("%.2f times one run by medians", slowFigures.median / (kSlowRunMs / 1e3)));
    {
        const TraceToNull quiet;
        tool.Remove();
        withoutTool = Time(options.gatherRounds, [&] { rows = GatherRows(wmi.session); });
    }
    const Figures wmiFigures = Summarise(withoutTool);
    PrintRow("2. no tool: built-in WMI source", wmiFigures, 1e3, "DISK: " + DiskRow(rows));
    struct Query {
        const char* what;
        const ListQuery& query;
    };
    const Query queries[] = {{"   of which the memory query", kMemoryQuery},
                             {"   of which the disk query", kDiskQuery},
                             {"   of which the video query", kVideoQuery}};
    for (const Query& q : queries) {
        std::string text;
        const Figures f =
            Summarise(Time(options.gatherRounds, [&] { text = RunQuery(q.query).bytes; }));
        PrintRow(q.what, f, 1e3, std::to_string(text.size()) + " bytes of list text");
    }
    summary.toolRuns = toolFigures;
    summary.slowToolRuns = slowFigures;
    summary.builtIn = wmiFigures;
}

// The tool's list format writes "&" as "&amp;".
std::string ListedAsTheToolDoes(const std::string& value) {
    std::string listed;
    for (const char c : value) {
        listed += c == '&' ? std::string("&amp;") : std::string(1, c);
    }
    return listed;
}

// Everything of a paint's gathering except the child processes and WMI: the
// registry probes, the system calls, the tool's path and command line,
// parsing and formatting realistic tool output, decoding, and composing the
// report. Trace lines go nowhere.
void BenchOwnWork(const Options& options, Summary& summary) {
    PrintHeader("The program's own work per gathering, without child processes and WMI", "us");
    const std::string disks = ReadBytes(DataFolder() + L"wmic-diskdrive.txt");
    const std::string memory = ReadBytes(DataFolder() + L"wmic-memorychip.txt");
    // The tool lists the device ID after the name, which the registry reads follow.
    std::string video = ReadBytes(DataFolder() + L"wmic-videocontroller.txt");
    const std::string deviceId = "PCI\\VEN_10DE&DEV_1F82&SUBSYS_00000000&REV_A1\\4&1&0&0008";
    const auto nameLine = video.find("Name=");
    video.insert(video.find('\n', nameLine == std::string::npos ? 0 : nameLine) + 1,
                 "PNPDeviceID=" + ListedAsTheToolDoes(deviceId) + "\r\r\n");
    const TraceSink trace = [](const std::string&) {};

    // What a gathering does around the tool run itself.
    const auto around = [](const ListQuery& query, const std::string& output) {
        const std::wstring system = SystemDirectory();
        const std::wstring path = WmicPath(system);
        const std::wstring line = WmicCommandLine(system, query);
        return !path.empty() && !line.empty() && HoldsQueryKey(output, query) ? output
                                                                              : std::string();
    };
    const ReportSources sources = {
        ProbeOs,
        ProbeProcessor,
        ProbeBoard,
        [&] {
            const std::string type = MemoryTypeText(around(kMemoryQuery, memory), trace, [] {
                return ReadFirmwareTable(kRawSmbiosProvider, 0);
            });
            MEMORYSTATUSEX status{};
            status.dwLength = sizeof status;
            GlobalMemoryStatusEx(&status);
            ULONGLONG installed = 0;
            GetPhysicallyInstalledSystemMemory(&installed);
            return ToWide(
                FormatMemoryRow(status.ullTotalPhys,
                                installed != 0 ? std::optional(installed) : std::nullopt, type),
                GetOEMCP());
        },
        [&] { return ToWide(FormatDisksRow(around(kDiskQuery, disks), trace), GetOEMCP()); },
        [&] {
            return ToWide(FormatVideoRow(
                              around(kVideoQuery, video),
                              [](const std::string& name, const std::string& id) {
                                  return StoredMemoryOf(ToWide(name, GetOEMCP()), id);
                              },
                              trace),
                          GetOEMCP());
        },
    };
    SystemTool tool;
    if (!tool.InstallStandIn()) {
        std::printf("  (the stand-in tool could not be put in place)\n");
    }
    std::wstring report;
    const Figures all = Summarise(
        Time(options.ownWorkRounds, [&] { report = ComposeReport(CollectReportRows(sources)); }));
    PrintRow("3. registry, system calls, parsing, formatting", all, 1e6, "");
    summary.ownWork = all;

    // The same work in its parts, to show where it goes.
    struct Part {
        const char* what;
        std::function<void()> work;
    };
    std::wstring sink;
    std::string narrowSink;
    const Part parts[] = {
        {"   ProbeOs + ProbeProcessor", [&] { sink = ProbeOs() + ProbeProcessor(); }},
        {"   ProbeBoard (3 key openings, 4 with no board value)", [&] { sink = ProbeBoard(); }},
        {"   GlobalMemoryStatusEx and GetPhysicallyInstalledSystemMemory",
         [&] {
             MEMORYSTATUSEX status{};
             status.dwLength = sizeof status;
             GlobalMemoryStatusEx(&status);
             ULONGLONG installed = 0;
             GetPhysicallyInstalledSystemMemory(&installed);
         }},
        {"   the tool's path and command line, three times",
         [&] {
             narrowSink = around(kMemoryQuery, memory) + around(kDiskQuery, disks) +
                          around(kVideoQuery, video);
         }},
        {"   parsing and formatting the three outputs",
         [&] {
             narrowSink = MemoryTypeText(memory, trace) + FormatDisksRow(disks, trace) +
                          FormatVideoRow(video, nullptr, trace);
         }},
        {"   SMBIOS table and its memory type (list without key)",
         [&] { narrowSink = SmbiosMemoryTypeText(ReadFirmwareTable(kRawSmbiosProvider, 0)); }},
        {"   StoredMemoryOf (class key, then DirectX)",
         [&] { StoredMemoryOf(L"NVIDIA GeForce GTX 1650", deviceId); }},
    };
    for (const Part& part : parts) {
        PrintRow(part.what, Summarise(Time(options.ownWorkRounds, part.work)), 1e6, "");
    }
    const std::size_t firstBreak = report.find(L"\r\n");
    std::printf("  report: %zu characters, first line \"%s\"\n", report.size(),
                Narrow(report.substr(0, firstBreak)).c_str());
}

// ---------------------------------------------------------------- item 4

// Lines of the length the tool writes, up to size bytes.
std::string ToolLikeOutput(std::size_t size) {
    static const char* const lines[] = {
        "Model=Samsung SSD 970 EVO Plus 500GB\r\n",
        "Size=500105249280\r\n",
        "\r\n",
        "AdapterRAM=4293918720\r\n",
        "Name=NVIDIA GeForce GTX 1650\r\n",
    };
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; text.size() < size; ++i) {
        text += lines[i % (sizeof lines / sizeof lines[0])];
    }
    text.resize(size);
    return text;
}

// The tool started and waited for, with no pipe: its output goes to NUL.
// What any run of it costs at least.
void StartAndWait(const std::wstring& program, const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueFile nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                     OPEN_EXISTING, 0, nullptr));
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.get();
    startup.hStdOutput = nul.get();
    startup.hStdError = nul.get();
    PROCESS_INFORMATION started{};
    if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                       nullptr, nullptr, &startup, &started)) {
        const UniqueKernelHandle process(started.hProcess);
        const UniqueKernelHandle thread(started.hThread);
        WaitForSingleObject(process.get(), INFINITE);
    }
}

constexpr DWORD kSettleMs = 200;

void BenchRunCommand(const Options& options, Summary& summary) {
    PrintHeader("RunCommand on the stand-in tool's output of growing size", "ms");
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"orva-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring tool = folder + L"wmic.exe";
    const std::wstring canned = folder + L"wmic-diskdrive.txt";
    if (!CopyFileW((ExeFolder() + L"fake_wmic.exe").c_str(), tool.c_str(), FALSE)) {
        std::printf("  (fake_wmic.exe must be built beside this program)\n");
        return;
    }
    const std::wstring commandLine = L"\"" + tool + L"\" diskdrive";
    std::size_t got = 0;
    const auto run = [&] {
        got = RunCommand(tool, commandLine, kToolTimeLimitMs).value_or(std::string()).size();
    };

    // The fixed cost against a bare start, in turns, so that both see the same
    // machine; between runs a pause, so that what Wine ends after a run (its
    // console host) does not weigh on the next one.
    WriteBytes(canned, ToolLikeOutput(1024));
    std::vector<double> bare;
    std::vector<double> piped;
    StartAndWait(tool, commandLine);
    run();
    for (int i = 0; i < options.fixedCostRounds; ++i) {
        Sleep(kSettleMs);
        bare.push_back(TimeOnce([&] { StartAndWait(tool, commandLine); }));
        Sleep(kSettleMs);
        piped.push_back(TimeOnce(run));
    }
    const Figures floor = Summarise(bare);
    const Figures small = Summarise(piped);
    PrintRow("   bare start of the tool (CreateProcessW, wait)", floor, 1e3, "(the floor)");
    PrintRow("4. 1 KB", small, 1e3,
             std::string(got == 1024 ? "" : "WRONG LENGTH  ") +
                 Format("%.2f times the bare start by medians, ", small.median / floor.median) +
                 Format("%.2f by minimums", small.min / floor.min));
    summary.bareStart = floor;
    summary.smallRun = small;

    struct Size {
        const char* what;
        std::size_t bytes;
    };
    const Size sizes[] = {{"   1 MB", 1u << 20}, {"   10 MB", 10u << 20}};
    int measured = 0;
    for (const Size& size : sizes) {
        WriteBytes(canned, ToolLikeOutput(size.bytes));
        const Figures f = Summarise(Time(options.sizeRounds, run));
        const double megabytes = static_cast<double>(size.bytes) / (1u << 20);
        // The fixed cost of a run taken away, what each megabyte adds.
        const double byMin = (f.min - small.min) * 1e3 / megabytes;
        const double byMedian = (f.median - small.median) * 1e3 / megabytes;
        summary.perMegabyteMin[measured] = byMin;
        summary.perMegabyteMedian[measured] = byMedian;
        ++measured;
        PrintRow(size.what, f, 1e3,
                 std::string(got == size.bytes ? "" : "WRONG LENGTH  ") +
                     Format("per MB above 1 KB: %.1f ms (min), ", byMin) +
                     Format("%.1f ms (median)", byMedian));
    }
    summary.sizesMeasured = measured == 2;
    DeleteFileW(canned.c_str());
    DeleteFileW(tool.c_str());
    RemoveDirectoryW(folder.c_str());
}

// ---------------------------------------------------------------- item 5

constexpr int kTraceLines = 8;  // two of the memory probe, four of disks, two of video
constexpr double kStartTimeout = 60;

struct StartRun {
    bool ok = false;
    double window = 0;
    double lines[kTraceLines] = {};
    double ready = 0;  // the copy button is enabled: the first report is complete
    double closed = 0;
};

HWND VisibleMainWindow(DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"ORVATELMOX", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

// Starts the program with its standard output on a pipe and stamps, from
// outside, the moments of its start-up.
StartRun StartProgram(const std::wstring& program) {
    StartRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16)) {
        return run;
    }
    const UniqueKernelHandle reader(readEnd);
    UniqueKernelHandle writer(writeEnd);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    std::wstring commandLine = L"\"" + program + L"\"";
    PROCESS_INFORMATION started{};
    const double start = Seconds();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &started)) {
        return run;
    }
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    writer.reset();

    HWND window = nullptr;
    int lines = 0;
    while (lines < kTraceLines && Seconds() - start < kStartTimeout) {
        if (window == nullptr && (window = VisibleMainWindow(started.dwProcessId)) != nullptr) {
            run.window = Seconds() - start;
        }
        DWORD available = 0;
        if (PeekNamedPipe(reader.get(), nullptr, 0, nullptr, &available, nullptr) &&
            available > 0) {
            std::string bytes(available, '\0');
            DWORD read = 0;
            ReadFile(reader.get(), bytes.data(), available, &read, nullptr);
            const double now = Seconds() - start;
            for (DWORD i = 0; i < read && lines < kTraceLines; ++i) {
                if (bytes[i] == '\n') {
                    run.lines[lines++] = now;
                }
            }
        } else if (WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0) {
            break;
        }
    }
    while (window == nullptr && Seconds() - start < kStartTimeout) {
        window = VisibleMainWindow(started.dwProcessId);
        run.window = Seconds() - start;
        Sleep(1);
    }
    // The copy button waits disabled until the first report is complete.
    const HWND copy = window != nullptr ? GetDlgItem(window, IDC_COPYSPEC) : nullptr;
    while (copy != nullptr && lines == kTraceLines && !IsWindowEnabled(copy) &&
           Seconds() - start < kStartTimeout) {
        Sleep(1);
    }
    if (copy != nullptr && IsWindowEnabled(copy)) {
        run.ready = Seconds() - start;
        run.ok = true;
    }
    const double closing = Seconds();
    if (window != nullptr) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.get(), 15000) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        run.ok = false;
    }
    run.closed = Seconds() - closing;
    return run;
}

// A console program that does nothing, as the floor of any process start.
double StartEmptyProcess() {
    const std::wstring program = ExeFolder() + L"fake_wmic.exe";
    return TimeOnce([&] { StartAndWait(program, L"\"" + program + L"\" none"); });
}

Figures PrintStartRuns(const char* title, const std::vector<StartRun>& runs) {
    auto column = [&](const std::function<double(const StartRun&)>& pick) {
        std::vector<double> samples;
        for (const StartRun& run : runs) {
            if (run.ok) {
                samples.push_back(pick(run));
            }
        }
        return Summarise(samples);
    };
    std::printf("  %s (%zu of %zu starts complete)\n", title,
                static_cast<std::size_t>(std::count_if(runs.begin(), runs.end(),
                                                       [](const StartRun& r) { return r.ok; })),
                runs.size());
    PrintRow("   start -> main window visible", column([](const StartRun& r) { return r.window; }),
             1e3, "");
    PrintRow("   start -> memory query done (1st trace line)",
             column([](const StartRun& r) { return r.lines[0]; }), 1e3, "");
    PrintRow("   start -> disk query done (3rd trace line)",
             column([](const StartRun& r) { return r.lines[2]; }), 1e3, "");
    PrintRow("   start -> video query done (7th trace line)",
             column([](const StartRun& r) { return r.lines[6]; }), 1e3, "");
    PrintRow("   start -> last probe done (8th trace line)",
             column([](const StartRun& r) { return r.lines[7]; }), 1e3, "");
    const Figures ready = column([](const StartRun& r) { return r.ready; });
    PrintRow("5. start -> first complete report (copy enabled)", ready, 1e3, "");
    PrintRow("   of which window -> report",
             column([](const StartRun& r) { return r.ready - r.window; }), 1e3, "");
    PrintRow("   WM_CLOSE -> process ended", column([](const StartRun& r) { return r.closed; }),
             1e3, "");
    return ready;
}

void BenchStartUp(const Options& options, Summary& summary) {
    PrintHeader("Start-up of the program, measured from outside", "ms");
    const std::wstring program =
        ExeFolder() + L"ORVA\uC0AC\uC591\uD655\uC778\uD504\uB85C\uADF8\uB7A8.exe";
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("  (the program must be built beside this one)\n");
        return;
    }
    std::vector<double> empty;
    StartEmptyProcess();
    for (int i = 0; i < options.startRounds; ++i) {
        empty.push_back(StartEmptyProcess());
    }
    PrintRow("   an empty console program, start -> exit", Summarise(empty), 1e3, "(the floor)");

    SystemTool tool;
    for (const bool withTool : {true, false}) {
        if (withTool) {
            tool.InstallStandIn();
        } else {
            tool.Remove();
        }
        StartProgram(program);  // warm-up
        std::vector<StartRun> runs;
        for (int i = 0; i < options.startRounds; ++i) {
            runs.push_back(StartProgram(program));
        }
        const Figures ready = PrintStartRuns(
            withTool ? "with the stand-in tool" : "without the tool (built-in source)", runs);
        (withTool ? summary.startWithTool : summary.startWithoutTool) = ready;
    }
}

void PrintSummary(const Summary& summary) {
    std::printf("\nThe goals, in these figures\n");
    if (summary.ownWork.runs > 0) {
        std::printf("  own work per gathering: %.0f us median, %.0f us min (goal: under 1000 us)\n",
                    summary.ownWork.median * 1e6, summary.ownWork.min * 1e6);
    }
    if (summary.slowToolRuns.runs > 0) {
        std::printf(
            "  a gathering of three tool runs of %.1f s each: %.2f times one run by medians, "
            "%.2f by minimums (goal: at most 1.25)\n",
            kSlowRunMs / 1e3, summary.slowToolRuns.median / (kSlowRunMs / 1e3),
            summary.slowToolRuns.min / (kSlowRunMs / 1e3));
    }
    if (summary.toolRuns.runs > 0 && summary.builtIn.runs > 0) {
        std::printf(
            "  built-in source against three tool runs: %.1f times faster by medians, %.1f by "
            "minimums (goal: at least 5)\n",
            summary.toolRuns.median / summary.builtIn.median,
            summary.toolRuns.min / summary.builtIn.min);
    }
    if (summary.bareStart.runs > 0) {
        std::printf(
            "  RunCommand with 1 KB of output against a bare start of the tool: %.2f times by "
            "medians, %.2f by minimums (goal: at most 1.2)\n",
            summary.smallRun.median / summary.bareStart.median,
            summary.smallRun.min / summary.bareStart.min);
    }
    if (summary.sizesMeasured) {
        std::printf(
            "  RunCommand per MB above a 1 KB run: 1 MB %.1f ms, 10 MB %.1f ms by minimums; "
            "%.1f and %.1f by medians (goal: flat)\n",
            summary.perMegabyteMin[0], summary.perMegabyteMin[1], summary.perMegabyteMedian[0],
            summary.perMegabyteMedian[1]);
    }
    if (summary.startWithTool.runs > 0) {
        std::printf(
            "  start-up to the first complete report: %.0f ms median with the tool, %.0f ms "
            "without it\n",
            summary.startWithTool.median * 1e3, summary.startWithoutTool.median * 1e3);
    }
}

}  // namespace
}  // namespace orva::bench

int wmain(int argc, wchar_t** argv) {
    using namespace orva::bench;
    Options options;
    std::wstring only = L"12345";
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--quick") == 0) {
            options = {3, 2, 200, 2, 2, 5};
        } else if (std::wcscmp(argv[i], L"--only") == 0 && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::printf("usage: orva_bench [--quick] [--only ITEMS]\n");
            return 2;
        }
    }
    const auto wanted = [&](wchar_t item) { return only.find(item) != std::wstring::npos; };
    std::printf("ORVA benchmark: %lu logical processors, code page %u\n",
                static_cast<unsigned long>(GetActiveProcessorCount(ALL_PROCESSOR_GROUPS)),
                GetACP());
    Summary summary;
    if (wanted(L'1') || wanted(L'2')) {
        BenchGathering(options, summary);
    }
    if (wanted(L'3')) {
        BenchOwnWork(options, summary);
    }
    if (wanted(L'4')) {
        BenchRunCommand(options, summary);
    }
    if (wanted(L'5')) {
        BenchStartUp(options, summary);
    }
    PrintSummary(summary);
    return 0;
}
