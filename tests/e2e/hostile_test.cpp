// Hostile and broken input, end to end: the real program under Wine, fed tool
// outputs and registry values that no healthy PC gives (tests/e2e/hostile.sh).
// Whatever comes in, the window shows six rows, the copy button puts a
// six-line report on the clipboard, and the program closes with exit code 0.
//
// When a query's output holds none of its keys (nothing, garbage, UTF-16),
// the program asks WMI instead, and Wine's WMI answers with its own disks and
// video adapter and without a memory type: those rows must then be exactly
// what the program shows with no tool at all.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/window.h"
#include "tests/e2e/program_driver.h"
#include "tests/e2e/running_program.h"
#include "tests/hooks/test_hooks.h"
#include "tests/windows/clipboard_holder.h"
#include "tests/windows/memory_sizes.h"
#include "tests/windows/processor_count.h"
#include "win32/command_runner.h"
#include "tests/windows/registry_value.h"
#include "tests/windows/tool_fixture.h"
#include "win32/handles.h"

namespace orva::e2e {
namespace {

constexpr DWORD kFirstPaintMs = 180000;
// Beyond the tool's bound, for the program's start and the rest of a gathering
// (three WMI queries, emulated several times slower for the 32-bit program);
// less than a second bound.
constexpr double kPaintMarginSeconds = 25;

constexpr const wchar_t* kOsKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const wchar_t* kCpuKey = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr const wchar_t* kBiosKey = L"HARDWARE\\DESCRIPTION\\System\\BIOS";

constexpr const wchar_t* kProductName = L"Windows 10 Pro";
constexpr const wchar_t* kProcessorName = L"Intel(R) Core(TM) i5-9400F CPU @ 2.90GHz";
constexpr const wchar_t* kBoardMaker = L"ASUSTeK COMPUTER INC.";
constexpr const wchar_t* kBoardProduct = L"PRIME B460M-A";
constexpr const wchar_t* kBiosVersion = L"1401";

constexpr std::array<const wchar_t*, kRowCount> kLabels = {L"O  S", L"CPU ", L"RAM",
                                                           L"M.B",  L"VGA",  L"DISK"};
enum Row { kOs, kCpu, kRam, kBoard, kVga, kDisk };

constexpr const wchar_t* kOsFailed = L"운영체제 정보 로딩 실패";
constexpr const wchar_t* kCpuFailed = L"CPU 정보 로딩 실패";
constexpr const wchar_t* kBoardFailed = L"메인보드 정보 로딩 실패";
constexpr const wchar_t* kVgaFailed = L"그래픽카드 정보 로딩 실패";
constexpr const wchar_t* kDiskFailed = L"디스크 정보 로딩 실패";

constexpr const wchar_t* kCopied = L"클립보드 복사 완료!";
constexpr const wchar_t* kNotCopied = L"클립보드 복사 실패!";

// ---- What the registry holds ------------------------------------------------

struct Stored {
    enum Kind { kAsUsual, kMissing, kData } kind = kAsUsual;
    DWORD type = REG_SZ;
    std::string bytes;  // what is stored, and possibly a guard after it
    std::size_t size = 0;
};

Stored Missing() {
    return {Stored::kMissing, REG_NONE, {}, false};
}

Stored Bytes(DWORD type, const void* data, std::size_t size) {
    return {Stored::kData, type, std::string(static_cast<const char*>(data), size), size};
}

// A REG_SZ, with its terminating NUL or without. RegSetValueExW adds the NUL
// that a caller forgot when a NUL follows the data, so a guard follows here.
Stored Text(const std::wstring& text, bool terminated = true) {
    if (terminated) {
        return Bytes(REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    const std::wstring guarded = text + L"!";
    Stored stored = Bytes(REG_SZ, guarded.c_str(), (guarded.size() + 1) * sizeof(wchar_t));
    stored.size = text.size() * sizeof(wchar_t);
    return stored;
}

Stored Dword(DWORD value) {
    return Bytes(REG_DWORD, &value, sizeof value);
}

// Exactly `length` characters: the name, then 'x' up to the length, the last one 'Z'.
std::wstring OfLength(const std::wstring& name, std::size_t length) {
    std::wstring text = name.substr(0, length);
    text.resize(length, L'x');
    text.back() = L'Z';
    return text;
}

struct RegistryCase {
    Stored productName;
    Stored processorName;
    Stored boardMaker;
    Stored boardProduct;
    Stored biosVersion;
};

// The values as the case wants them; the usual ones come back when it ends.
class StoredValues {
public:
    explicit StoredValues(const RegistryCase& registry) {
        Apply(kOsKey, L"ProductName", registry.productName);
        Apply(kCpuKey, L"ProcessorNameString", registry.processorName);
        Apply(kBiosKey, L"BaseBoardManufacturer", registry.boardMaker);
        Apply(kBiosKey, L"BaseBoardProduct", registry.boardProduct);
        Apply(kBiosKey, L"BIOSVersion", registry.biosVersion);
    }

private:
    void Apply(const wchar_t* key, const wchar_t* name, const Stored& stored) {
        if (stored.kind == Stored::kAsUsual) {
            return;
        }
        values_.push_back(std::make_unique<RegistryValue>(key, name));
        if (stored.kind == Stored::kMissing) {
            values_.back()->Delete();
        } else {
            values_.back()->SetRaw(stored.type, stored.bytes.data(), stored.size);
        }
    }

    std::vector<std::unique_ptr<RegistryValue>> values_;
};

void SetUsualText(const wchar_t* key, const wchar_t* name, const std::wstring& text) {
    UniqueRegKey opened;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, opened.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(
        RegSetValueExW(opened.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
        ERROR_SUCCESS);
}

// The PC every case starts from. HARDWARE keys are volatile: they last as long
// as the prefix's wineserver, which this test process keeps alive.
class UsualPc : public ::testing::Environment {
public:
    void SetUp() override {
        SetUsualText(kOsKey, L"ProductName", kProductName);
        SetUsualText(kOsKey, L"CurrentBuildNumber", L"19045");
        SetUsualText(kCpuKey, L"ProcessorNameString", kProcessorName);
        SetUsualText(kBiosKey, L"BaseBoardManufacturer", kBoardMaker);
        SetUsualText(kBiosKey, L"BaseBoardProduct", kBoardProduct);
        SetUsualText(kBiosKey, L"BIOSVersion", kBiosVersion);
        // No system names to stand in for a missing board, whatever the host's firmware says.
        SetUsualText(kBiosKey, L"SystemManufacturer", L"");
        SetUsualText(kBiosKey, L"SystemProductName", L"");
    }
};
const auto* const kUsualPc = ::testing::AddGlobalTestEnvironment(new UsualPc);

// ---- What the tool prints ---------------------------------------------------

struct ToolCase {
    bool installed = true;
    std::string memory;      // wmic-memorychip.txt
    std::string disks;       // wmic-diskdrive.txt
    std::string video;       // wmic-videocontroller.txt
    bool neverEnds = false;  // every run writes its output, then hangs
    int delayMs = 0;         // every run waits this long after writing its output
};

std::string CannedOutput(const char* name) {
    const std::wstring path =
        L"Z:" + Widen(std::string(ORVA_TEST_DATA_DIR) + "/e2e/wmic-" + name + ".txt");
    std::string bytes = ReadWholeFile(path);
    EXPECT_FALSE(bytes.empty()) << Utf8(path);
    return bytes;
}

ToolCase UsualTool() {
    return {true, CannedOutput("memorychip"), CannedOutput("diskdrive"),
            CannedOutput("videocontroller")};
}

// The same bytes every run: xorshift32 from a fixed seed.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    char Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<char>(state_ & 0xFF);
    }
    // Any byte but Ctrl-Z, which ends a text-mode read as end of file does.
    std::string Bytes(std::size_t count) {
        std::string bytes;
        while (bytes.size() < count) {
            const char c = Next();
            if (c != '\x1A') {
                bytes += c;
            }
        }
        return bytes;
    }
    std::string AnyBytes(std::size_t count) {
        std::string bytes(count, '\0');
        for (char& c : bytes) {
            c = Next();
        }
        return bytes;
    }

private:
    std::uint32_t state_;
};

std::string Utf16WithBom(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string Repeat(const std::string& piece, std::size_t totalBytes) {
    std::string text;
    text.reserve(totalBytes + piece.size());
    while (text.size() < totalBytes) {
        text += piece;
    }
    return text;
}

constexpr std::size_t kTwentyMegabytes = 20u << 20;
const std::string kLineEnd = "\r\r\n";  // what the real tool writes into a pipe

// ---- What the rows must show ------------------------------------------------

struct Expect {
    enum Kind { kExact, kFromWmi, kMatching } kind = kExact;
    std::wstring text;
    std::function<bool(const std::wstring&)> matches;
    std::string description;
};

Expect Exact(const std::wstring& text) {
    return {Expect::kExact, text, nullptr, ""};
}
Expect FromWmi() {
    return {Expect::kFromWmi, L"", nullptr, ""};
}
Expect Matching(const char* description, std::function<bool(const std::wstring&)> matches) {
    return {Expect::kMatching, L"", std::move(matches), description};
}

using Rows = std::array<std::wstring, kRowCount>;

std::wstring MemoryRow(const std::wstring& typeText) {
    return MemorySizes() + typeText;
}

std::wstring CpuRow(const std::wstring& name) {
    return name + L" * " + std::to_wstring(LogicalProcessors()) + L" 코어";
}

std::wstring UsualBoardRow() {
    return std::wstring(kBoardMaker) + kBoardProduct + L"(FW.v" + kBiosVersion + L")";
}

constexpr const wchar_t* kUsualVga = L"NVIDIA GeForce GTX 1650 (4095 MB)";
constexpr const wchar_t* kUsualDisk =
    L"Samsung SSD 970 EVO Plus 500GB(465GB), ST2000DM008-2FR102(1863GB)";

// Long texts are cut for failure messages.
std::string Shown(const std::wstring& text) {
    constexpr std::size_t kShownChars = 120;
    if (text.size() <= kShownChars) {
        return Utf8(text);
    }
    return Utf8(text.substr(0, kShownChars)) + "... (" + std::to_string(text.size()) + " chars)";
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Something a font draws: a letter, a digit, a Hangul syllable.
bool HasVisibleCharacter(const std::wstring& text) {
    for (wchar_t c : text) {
        if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ||
            (c >= 0xAC00 && c <= 0xD7A3)) {
            return true;
        }
    }
    return false;
}

bool IsBlank(const std::wstring& text) {
    return text.find_first_not_of(L' ') == std::wstring::npos;
}

// ---- One run of the program -------------------------------------------------

// A sent message waits for the window's thread to answer.
bool Answers(HWND window, DWORD timeoutMs) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, timeoutMs, &ignored) != 0;
}

bool EmptyTheClipboard() {
    const ClipboardGuard clipboard(nullptr);
    return clipboard.opened() && EmptyClipboard();
}

// The report split into its rows; every row must begin with its label.
Rows CheckReport(const std::wstring& report) {
    Rows values;
    std::vector<std::wstring> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = report.find(L"\r\n", start);
        lines.push_back(report.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 2;
    }
    EXPECT_EQ(lines.size(), kRowCount) << "lines in the report:\n" << Shown(report);
    for (std::size_t row = 0; row < kRowCount && row < lines.size(); ++row) {
        const std::wstring& line = lines[row];
        const std::wstring head = std::wstring(kLabels[row]) + L" : ";
        EXPECT_EQ(line.compare(0, head.size(), head), 0)
            << "row " << row << " begins with " << Shown(line);
        EXPECT_EQ(line.find_first_of(L"\r\n"), std::wstring::npos)
            << "a line break inside row " << row << ": " << Shown(line);
        if (line.size() >= head.size()) {
            values[row] = line.substr(head.size());
        }
    }
    return values;
}

// Labels are drawn on every row; a value is drawn when it has something to draw.
void CheckPicture(const Picture& client, const Rows& values) {
    ASSERT_GT(client.width, 0) << "no picture of the window";
    for (int row = 0; row < kRowCount; ++row) {
        const int top = RowY(row);
        EXPECT_GT(CountNearWhite(client, kLabelX, top, kValueX, top + 14), 0)
            << "no label drawn in row " << row;
        const int valuePixels = CountNearWhite(client, kValueX, top, client.width, top + 14);
        if (HasVisibleCharacter(values[row])) {
            EXPECT_GT(valuePixels, 0)
                << "row " << row << " shows nothing of " << Shown(values[row]);
        } else if (IsBlank(values[row])) {
            EXPECT_EQ(valuePixels, 0) << "row " << row << " is empty but shows something";
        }
    }
}

struct Case {
    std::string name;
    RegistryCase registry;
    ToolCase tool;
    std::array<Expect, kRowCount> rows;
};

// What one run of a case showed beyond its rows.
struct Seen {
    std::wstring report;
    std::string trace;      // the program's standard output
    double firstPaint = 0;  // seconds from the window's appearance to the end of its first paint
};

void PrintTiming(const std::string& name, double firstPaint, double whole) {
    std::printf("%s: first paint over after %.1f s, whole run %.1f s\n", name.c_str(), firstPaint,
                whole);
    std::fflush(stdout);
}

// Runs the program on the case's input and returns the rows it reported.
Rows RunCase(const Case& c, const Rows* wmiRows, Seen* seen = nullptr) {
    Rows values;
    SCOPED_TRACE(c.name);
    const ULONGLONG start = GetTickCount64();
    SystemTool tool;
    if (c.tool.installed) {
        std::map<std::wstring, std::string> files = {{L"wmic-memorychip.txt", c.tool.memory},
                                                     {L"wmic-diskdrive.txt", c.tool.disks},
                                                     {L"wmic-videocontroller.txt", c.tool.video}};
        for (const wchar_t* query : {L"memorychip", L"diskdrive", L"videocontroller"}) {
            if (c.tool.neverEnds) {
                files[L"wmic-" + std::wstring(query) + L".hang"] = "";
            }
            if (c.tool.delayMs > 0) {
                files[L"wmic-" + std::wstring(query) + L".delay"] = std::to_string(c.tool.delayMs);
            }
        }
        tool.InstallStandIn(files);
    } else {
        tool.Remove();
    }
    const StoredValues stored(c.registry);

    const RunningProgram program(Widen(c.name));
    EXPECT_NE(program.window(), nullptr) << "no window of class ORVATELMOX appeared";
    if (program.window() == nullptr) {
        return values;
    }
    const ULONGLONG shown = GetTickCount64();
    const double bound = static_cast<double>(kToolTimeLimitMs) / 1000.0;
    if (c.tool.neverEnds) {
        EXPECT_TRUE(Answers(program.window(), 2000)) << "the window hung during the paint";
        EXPECT_TRUE(IsWindowVisible(program.window()));
    }
    EXPECT_TRUE(WaitForFirstReport(program.window(), kFirstPaintMs))
        << "the first paint did not end";
    const double firstPaint = static_cast<double>(GetTickCount64() - start) / 1000.0;
    if (seen != nullptr) {
        seen->firstPaint = static_cast<double>(GetTickCount64() - shown) / 1000.0;
    }
    if (c.tool.neverEnds) {
        EXPECT_GE(firstPaint, bound) << "the tool was ended before its bound";
        EXPECT_LE(firstPaint, bound + kPaintMarginSeconds) << "the paint outlasted the bound";
    }
    const Picture client = SettledPicture(program.window());
    RECT frame{};
    GetWindowRect(program.window(), &frame);
    SaveBitmapFile(CaptureScreen(frame), OutputFolder() + Widen(c.name) + L".bmp");

    EXPECT_TRUE(EmptyTheClipboard());
    program.Click(kCopyButtonId);
    const HWND box = program.WaitForMessageBox();
    EXPECT_NE(box, nullptr) << "no message box";
    bool present = false;
    std::wstring report;
    if (box != nullptr) {
        EXPECT_EQ(ReadMessageBox(box).text, kCopied);
        report = ReadClipboardText(present);
        DismissMessageBox(box);
    }
    EXPECT_TRUE(present) << "no text on the clipboard";
    values = CheckReport(report);
    CheckPicture(client, values);

    for (std::size_t row = 0; row < kRowCount; ++row) {
        const Expect& expect = c.rows[row];
        const std::wstring& value = values[row];
        switch (expect.kind) {
            case Expect::kExact:
                EXPECT_TRUE(value == expect.text) << "row " << row << ": " << Shown(value)
                                                  << "\n  instead of " << Shown(expect.text);
                break;
            case Expect::kFromWmi:
                EXPECT_TRUE(wmiRows != nullptr && value == (*wmiRows)[row])
                    << "row " << row << ": " << Shown(value) << "\n  instead of WMI's "
                    << (wmiRows != nullptr ? Shown((*wmiRows)[row]) : "nothing");
                break;
            case Expect::kMatching:
                EXPECT_TRUE(expect.matches(value))
                    << "row " << row << ": " << Shown(value) << " is not " << expect.description;
                break;
        }
    }

    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    // A gathering that started the stuck tool again ends at the close.
    EXPECT_EQ(program.WaitForExit(), 0u) << "exit code";
    PrintTiming(c.name, firstPaint, static_cast<double>(GetTickCount64() - start) / 1000.0);
    if (c.tool.neverEnds || c.tool.delayMs > 0) {
        EXPECT_TRUE(NoProcessNamed(L"wmic.exe")) << "a run of the tool or its child still runs";
    }
    if (seen != nullptr) {
        seen->report = report;
        seen->trace = program.Output();
    }
    return values;
}

// What the program shows with no tool at all: every command row from WMI.
const Rows& RowsWithoutTool() {
    static const Rows rows = [] {
        Case c;
        c.name = "no-tool";
        c.tool.installed = false;
        c.rows = {
            Exact(kProductName),
            Exact(CpuRow(kProcessorName)),
            Exact(MemoryRow(L"")),  // Wine's WMI knows no memory type
            Exact(UsualBoardRow()),
            Matching("an adapter with its memory",
                     [](const std::wstring& v) {
                         return v != kVgaFailed && v.size() > 8 && v[0] != L' ' &&
                                EndsWith(v, L" MB)");
                     }),
            Matching("Wine's disks with their sizes",
                     [](const std::wstring& v) {
                         return v.rfind(L"Wine Disk Drive(", 0) == 0 && EndsWith(v, L"GB)");
                     }),
        };
        return RunCase(c, nullptr);
    }();
    return rows;
}

TEST(HostileInput, WithoutTheToolEveryCommandRowComesFromWmi) {
    const Rows& rows = RowsWithoutTool();
    std::printf("rows from WMI: %s | %s | %s\n", Utf8(rows[kRam]).c_str(), Utf8(rows[kVga]).c_str(),
                Utf8(rows[kDisk]).c_str());
    EXPECT_FALSE(rows[kDisk].empty());
}

TEST(HostileInput, MissingValuesGiveFailureTextsAndEmptyOutputGivesWmisRows) {
    Case c;
    c.name = "missing-values-empty-output";
    c.registry = {Missing(), Missing(), Missing(), Missing(), Missing()};
    c.tool = {true, "", "", ""};
    c.rows = {Exact(kOsFailed),    Exact(kCpuFailed), Exact(MemoryRow(L"")),
              Exact(kBoardFailed), FromWmi(),         FromWmi()};
    RunCase(c, &RowsWithoutTool());
}

TEST(HostileInput, EmptyValuesGiveEmptyPiecesAndKeysWithoutValuesGiveFailureTexts) {
    Case c;
    c.name = "empty-values-keys-without-values";
    c.registry = {Text(L""), Text(L""), Text(L""), Text(L""), Text(L"", false)};
    c.tool = {true, "SMBIOSMemoryType=" + kLineEnd, "Model=" + kLineEnd + "Size=" + kLineEnd,
              "AdapterRAM=" + kLineEnd + "Name=" + kLineEnd};
    c.rows = {Exact(L""),       Exact(CpuRow(L"")), Exact(MemoryRow(L"")),
              Exact(L"(FW.v)"), Exact(kVgaFailed),  Exact(kDiskFailed)};
    RunCase(c, &RowsWithoutTool());
}

// Values of other types are read as the bytes they are; a DWORD 0x00420041
// holds the UTF-16 letters A and B.
TEST(HostileInput, ValuesOfTheWrongTypeAreReadAsTextAndGarbageAfterKeysGivesFailureTexts) {
    const char binaryName[] = {'I', 0, 'n', 0, 't', 0, 'e', 0, 'l', 0};  // no NUL
    const char oddLength[] = {'P', 0, 'R', 0, 'O'};                      // half a character
    const wchar_t multi[] = L"A05\0B06\0";                               // REG_MULTI_SZ
    Noise noise(20240501);
    Case c;
    c.name = "wrong-types-garbage-around-keys";
    c.registry = {Dword(0x00420041), Bytes(REG_BINARY, binaryName, sizeof binaryName), Dword(0x43),
                  Bytes(REG_BINARY, oddLength, sizeof oddLength),
                  Bytes(REG_MULTI_SZ, multi, sizeof multi)};
    // Each key starts a line, so that no NUL in the garbage before it can drop it.
    c.tool.memory = noise.Bytes(4096) + "\nSMBIOSMemoryType=" + noise.Bytes(4096);
    c.tool.disks =
        noise.Bytes(4096) + "\nModel=" + noise.Bytes(4096) + "\nSize=x" + noise.Bytes(4096);
    c.tool.video = "AdapterRAM=x" + noise.Bytes(4096) + "\nName=" + noise.Bytes(4096);
    c.rows = {Exact(L"AB"),           Exact(CpuRow(L"Intel")), Exact(MemoryRow(L"")),
              Exact(L"CPR(FW.vA05)"), Exact(kVgaFailed),       Exact(kDiskFailed)};
    RunCase(c, &RowsWithoutTool());
}

// 99 characters and the terminating NUL fill the program's 200-byte read.
// NUL bytes in the tool's output are bytes of the value they fall in: a
// memory type code followed by them is no known code, a megabyte of them
// ahead of the list is passed over as any text before the first record is,
// and a row ends at its first NUL.
TEST(HostileInput, ValuesOf99CharactersShowWholeAndNulsStayInTheirValues) {
    const std::wstring os = OfLength(L"Windows 10 Pro for Workstations ", 99);
    const std::wstring cpu = OfLength(L"Intel(R) Core(TM) i9 ", 99);
    const std::wstring maker = OfLength(L"Maker ", 99);
    const std::wstring product = OfLength(L"Product ", 99);
    const std::wstring version = OfLength(L"Version ", 99);
    const std::string nuls(1 << 20, '\0');
    Case c;
    c.name = "99-characters-nuls";
    c.registry = {Text(os), Text(cpu), Text(maker), Text(product), Text(version)};
    c.tool.memory = std::string(4096, '\0') + kLineEnd + "SMBIOSMemoryType=26" + kLineEnd + nuls;
    c.tool.disks = kLineEnd + "Model=Disk" + std::string(1, '\0') + "One" + kLineEnd +
                   "Size=500107862016" + kLineEnd + kLineEnd + "Model=Disk Two" + kLineEnd +
                   "Size=1000204886016" + std::string(3, '\0') + kLineEnd + nuls;
    c.tool.video = nuls + kLineEnd + "AdapterRAM=1073741824" + kLineEnd + "Name=Null" +
                   std::string(1, '\0') + "Adapter" + kLineEnd + nuls;
    c.rows = {Exact(os),
              Exact(CpuRow(cpu)),
              Exact(MemoryRow(L"")),
              Exact(maker + product + L"(FW.v" + version + L")"),
              Exact(L"Null"),
              Exact(L"Disk")};
    RunCase(c, &RowsWithoutTool());
}

// 100 characters and the NUL do not fit: the read fails and the row says so;
// a board value that fails only leaves out its own piece.
TEST(HostileInput, ValuesOf100CharactersFailAndUtf16OutputGivesWmisRows) {
    const ToolCase usual = UsualTool();
    Case c;
    c.name = "100-characters-utf16";
    c.registry = {Text(OfLength(L"Windows 10 Pro ", 100)), Text(OfLength(L"Intel ", 100)),
                  Text(OfLength(L"Maker ", 100)), Text(L"B460M"), Text(OfLength(L"Version ", 100))};
    c.tool = {true, Utf16WithBom(usual.memory), Utf16WithBom(usual.disks),
              Utf16WithBom(usual.video)};
    c.rows = {Exact(kOsFailed),      Exact(kCpuFailed), Exact(MemoryRow(L"")),
              Exact(L"B460M(FW.v)"), FromWmi(),         FromWmi()};
    RunCase(c, &RowsWithoutTool());
}

TEST(HostileInput, ValuesOf2000CharactersFailAndBinaryGarbageGivesWmisRows) {
    Noise noise(7);
    Case c;
    c.name = "2000-characters-garbage";
    c.registry = {Text(OfLength(L"Windows ", 2000)), Text(OfLength(L"Intel ", 2000)),
                  Text(OfLength(L"Maker ", 2000)), Text(OfLength(L"Product ", 2000)),
                  Text(OfLength(L"Version ", 2000))};
    c.tool = {true, noise.AnyBytes(1 << 20), noise.AnyBytes(1 << 20), noise.AnyBytes(1 << 20)};
    for (const std::string* output : {&c.tool.memory, &c.tool.disks, &c.tool.video}) {
        for (const char* key : {"SMBIOSMemoryType=", "Model=", "Name="}) {
            ASSERT_EQ(output->find(key), std::string::npos) << "the garbage holds " << key;
        }
    }
    c.rows = {Exact(kOsFailed),    Exact(kCpuFailed), Exact(MemoryRow(L"")),
              Exact(kBoardFailed), FromWmi(),         FromWmi()};
    RunCase(c, &RowsWithoutTool());
}

// A value stored without its NUL ends where its bytes end; 100 characters
// without a NUL fill the 200-byte read exactly and are shown whole.
TEST(HostileInput, ValuesWithoutTheirNulShowWholeAnd20MegabytesOfOutputAreReadToTheEnd) {
    const std::wstring cpu = OfLength(L"Intel(R) Xeon(R) ", 100);
    const std::wstring product = OfLength(L"Product ", 99);
    Case c;
    c.name = "without-nul-20-megabytes";
    c.registry = {Text(kProductName, false), Text(cpu, false), Text(L"Maker", false),
                  Text(product, false), Text(L"A05", false)};
    // Blank lines before the one module; the two disks before 20 MB of more
    // disks; 20 MB of blank lines before the adapter.
    c.tool.memory = Repeat(kLineEnd, kTwentyMegabytes) + "SMBIOSMemoryType=24" + kLineEnd;
    c.tool.disks =
        "Model=Disk One" + kLineEnd + "Size=500107862016" + kLineEnd + kLineEnd + "Model=Disk Two" +
        kLineEnd + "Size=1000204886016" + kLineEnd + kLineEnd +
        Repeat("Model=More" + kLineEnd + "Size=1" + kLineEnd + kLineEnd, kTwentyMegabytes);
    c.tool.video = Repeat(kLineEnd, kTwentyMegabytes) + "AdapterRAM=1073741824" + kLineEnd +
                   "Name=Big Output Adapter" + kLineEnd;
    c.rows = {Exact(kProductName),
              Exact(CpuRow(cpu)),
              Exact(MemoryRow(L", Type DDR3")),
              Exact(L"Maker" + product + L"(FW.vA05)"),
              Exact(L"Big Output Adapter (1024 MB)"),
              Exact(L"Disk One(465GB), Disk Two(931GB)")};
    RunCase(c, &RowsWithoutTool());
}

// One line of 20 MB: the disk's model. The row holds all of it.
TEST(HostileInput, AModelNameOf20MegabytesIsShownAndCopiedWhole) {
    const std::string model(kTwentyMegabytes, 'M');
    ToolCase tool = UsualTool();
    tool.disks = "Model=" + model + kLineEnd + "Size=500107862016" + kLineEnd;
    Case c;
    c.name = "20-megabyte-line";
    c.tool = tool;
    c.rows = {Exact(kProductName),
              Exact(CpuRow(kProcessorName)),
              Exact(MemoryRow(L", Type DDR4")),
              Exact(UsualBoardRow()),
              Exact(kUsualVga),
              Exact(std::wstring(model.begin(), model.end()) + L"(465GB)")};
    RunCase(c, &RowsWithoutTool());
}

// Line breaks stored in a registry value would split the report's rows.
TEST(HostileInput, LineBreaksInRegistryValuesStayOutOfTheRows) {
    const char binary[] = {'1', 0, '.', 0, '0', 0, '\r', 0, '\n', false};
    Case c;
    c.name = "line-breaks";
    c.registry = {Text(L"Windows\r\n10 Pro"), Text(L"Intel\rCore\n"), Text(L"Maker\r\n"),
                  Text(L"\nBoard"), Bytes(REG_BINARY, binary, sizeof binary)};
    c.tool = UsualTool();
    c.rows = {Exact(L"Windows10 Pro"),
              Exact(CpuRow(L"IntelCore")),
              Exact(MemoryRow(L", Type DDR4")),
              Exact(L"MakerBoard(FW.v1.0)"),
              Exact(kUsualVga),
              Exact(kUsualDisk)};
    RunCase(c, &RowsWithoutTool());
}

// Runs of the tool that write their whole lists and then never end (nor the
// processes they started) hold the first gathering for one bound of 30 s, not
// one each: they run together. Their lists are not used, so those rows come
// from WMI, and nothing of them is left.
TEST(HostileInput, ToolRunsThatNeverEndAreEndedAtOneBoundAndTheirRowsComeFromWmi) {
    Case c;
    c.name = "stuck-tool";
    c.tool = UsualTool();
    c.tool.neverEnds = true;
    c.rows = {Exact(kProductName), Exact(CpuRow(kProcessorName)),
              FromWmi(),           Exact(UsualBoardRow()),
              FromWmi(),           FromWmi()};
    RunCase(c, &RowsWithoutTool());
}

// Three slow runs of the tool take as long as one: the first gathering waits for
// the slowest, and shows and traces exactly what the same lists give at once.
TEST(HostileInput, SlowToolRunsTogetherTakeAsLongAsOneWithTheSameTraceAndReport) {
    constexpr int kRunMs = 6000;
    Case c;
    c.name = "quick-tool";
    c.tool = UsualTool();
    c.rows = {Exact(kProductName),
              Exact(CpuRow(kProcessorName)),
              Exact(MemoryRow(L", Type DDR4")),
              Exact(UsualBoardRow()),
              Exact(kUsualVga),
              Exact(kUsualDisk)};
    Seen quick;
    RunCase(c, nullptr, &quick);
    c.name = "slow-tool";
    c.tool.delayMs = kRunMs;
    Seen slow;
    RunCase(c, nullptr, &slow);
    EXPECT_GE(slow.firstPaint, kRunMs / 1000.0) << "the runs did not wait";
    EXPECT_LT(slow.firstPaint, 2 * kRunMs / 1000.0) << "the runs took turns";
    EXPECT_TRUE(slow.trace == quick.trace) << "the trace differs:\n"
                                           << slow.trace << "\ninstead of\n"
                                           << quick.trace;
    EXPECT_EQ(Utf8(slow.report), Utf8(quick.report));
}

// A Spanish system, where tests/e2e/hostile.sh runs this suite: the ANSI code
// page is 1252, the OEM one 850, and the tool writes the OEM one into a pipe.
// Read as ANSI, the adapter's name would lose its letter and miss the
// driver's record of its memory.
TEST(OemCodePage, TheToolsTextIsReadInTheOemCodePage) {
    ASSERT_EQ(GetACP(), 1252u) << "run under es_ES";
    ASSERT_EQ(GetOEMCP(), 850u) << "run under es_ES";
    const std::wstring name = L"Adaptador de pantalla b\u00E1sico de Microsoft";
    const std::string written = "Adaptador de pantalla b\xA0sico de Microsoft";  // code page 850
    // Wine rebuilds the display adapters' keys when its desktop starts: first
    // the desktop, then the adapter of our own.
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    ASSERT_NE(GetDesktopWindow(), nullptr);
    EnumDisplayDevicesW(nullptr, 0, &device, 0);
    TestRegistryKey adapter(
        L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\9500");
    adapter.SetText(L"DriverDesc", name);
    adapter.SetQword(L"HardwareInformation.qwMemorySize", 268435456ULL);
    Case c;
    c.name = "oem-code-page";
    c.tool = UsualTool();
    c.tool.video = kLineEnd + "AdapterRAM=0" + kLineEnd + "Name=" + written + kLineEnd;
    c.rows = {
        Exact(kProductName),    Exact(CpuRow(kProcessorName)), Exact(MemoryRow(L", Type DDR4")),
        Exact(UsualBoardRow()), Exact(name + L" (256 MB)"),    Exact(kUsualDisk)};
    Seen seen;
    RunCase(c, nullptr, &seen);
    EXPECT_NE(seen.trace.find(written + "\r\r\r\n"), std::string::npos)
        << "the trace does not hold the tool's own bytes:\n"
        << seen.trace;
}

// ---- The clipboard -----------------------------------------------------------

std::wstring UsualReport() {
    const std::array<std::wstring, kRowCount> values = {
        kProductName, CpuRow(kProcessorName), MemoryRow(L", Type DDR4"), UsualBoardRow(), kUsualVga,
        kUsualDisk};
    std::wstring report;
    for (std::size_t row = 0; row < kRowCount; ++row) {
        report += (row == 0 ? L"" : L"\r\n") + std::wstring(kLabels[row]) + L" : " + values[row];
    }
    return report;
}

// Presses the copy button and returns what the message box said.
MessageBoxView Copy(const RunningProgram& program) {
    program.Click(kCopyButtonId);
    const HWND box = program.WaitForMessageBox();
    if (box == nullptr) {
        ADD_FAILURE() << "no message box";
        return MessageBoxView();
    }
    MessageBoxView view = ReadMessageBox(box);
    DismissMessageBox(box);
    for (int i = 0; i < 100 && IsWindow(box); ++i) {
        Sleep(kPollMs);
    }
    return view;
}

TEST(HostileClipboard, HeldByAnotherProgramTheCopySaysSoAndWaitsForAShortHold) {
    SystemTool tool;
    const ToolCase usual = UsualTool();
    tool.InstallStandIn({{L"wmic-memorychip.txt", usual.memory},
                         {L"wmic-diskdrive.txt", usual.disks},
                         {L"wmic-videocontroller.txt", usual.video}});
    const RunningProgram program(L"clipboard-held");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(WaitForFirstReport(program.window(), kFirstPaintMs));
    const std::wstring before = L"복사 전의 내용";
    ASSERT_TRUE(CopyTextToClipboard(nullptr, before));
    bool present = false;
    {
        // Longer than the program waits for it.
        const ClipboardHolder held(5000);
        const MessageBoxView view = Copy(program);
        EXPECT_EQ(view.text, kNotCopied);
        EXPECT_TRUE(view.showsIcon) << "a warning icon";
    }
    EXPECT_EQ(ReadClipboardText(present), before) << "the clipboard changed";
    {
        // Shorter than the program waits for it.
        const ClipboardHolder held(200);
        EXPECT_EQ(Copy(program).text, kCopied);
    }
    EXPECT_EQ(ReadClipboardText(present), UsualReport());
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

// Wine's clipboard takes whatever it is given, so the test build of the
// program (tests/hooks) stands in for one that refuses: its SetClipboardData
// fails on request, and it tells whether the program freed the block that it
// offered, as it must when the clipboard did not take it, and must not when
// the clipboard did.
TEST(HostileClipboard, ThatRefusesTheTextGetsNoFalseSuccessAndNoLeak) {
    using namespace orva::test_hooks;
    SystemTool tool;
    const ToolCase usual = UsualTool();
    tool.InstallStandIn({{L"wmic-memorychip.txt", usual.memory},
                         {L"wmic-diskdrive.txt", usual.disks},
                         {L"wmic-videocontroller.txt", usual.video}});
    const RunningProgram program(L"clipboard-refuses", kTestHooksProgram);
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(WaitForFirstReport(program.window(), kFirstPaintMs));
    const UINT hook = RegisterWindowMessageW(kTestHookMessage);
    auto ask = [&](WPARAM question, LPARAM argument = 0) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(program.window(), hook, question, argument, SMTO_BLOCK, kBoxMs,
                            &answer);
        return static_cast<LRESULT>(answer);
    };
    ASSERT_EQ(ask(kRefuseClipboard, 1), 1) << "the test build could not stand in";
    ASSERT_TRUE(CopyTextToClipboard(nullptr, L"복사 전의 내용"));

    const MessageBoxView refused = Copy(program);
    EXPECT_EQ(refused.text, kNotCopied);
    EXPECT_TRUE(refused.showsIcon) << "a warning icon";
    EXPECT_EQ(ask(kLastClipboardBlockFreed), 1) << "the refused block was not freed";
    bool present = false;
    EXPECT_NE(ReadClipboardText(present), UsualReport());

    ask(kRefuseClipboard, 0);
    EXPECT_EQ(Copy(program).text, kCopied);
    EXPECT_EQ(ask(kLastClipboardBlockFreed), 0) << "the program freed what the clipboard owns";
    EXPECT_EQ(ReadClipboardText(present), UsualReport());
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace
}  // namespace orva::e2e
