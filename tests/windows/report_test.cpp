// The six rows from the machine's own sources, with the stand-in tool in
// place of wmic.exe in the throwaway prefix and registry values of our own.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "app/report.h"
#include "app/failure_texts.h"
#include "tests/windows/memory_sizes.h"
#include "tests/windows/processor_count.h"
#include "tests/windows/registry_value.h"
#include "tests/common/test_kit.h"
#include "tests/windows/tool_fixture.h"

namespace orva {
namespace {

constexpr const wchar_t* kCannedOutputs[] = {L"wmic-diskdrive.txt", L"wmic-memorychip.txt",
                                             L"wmic-videocontroller.txt"};

// The data folder as this program sees it; a Unix path is reached through Z:.
std::wstring DataFolder(const std::wstring& name) {
    const std::string dir = ORVA_TEST_DATA_DIR;
    std::wstring folder(dir.begin(), dir.end());
    for (wchar_t& c : folder) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (!folder.empty() && folder[0] == L'\\') {
        folder = L"Z:" + folder;
    }
    return folder + L"\\" + name + L"\\";
}

// The stand-in tool as the system's wmic.exe, printing the canned outputs
// of one data folder.
class StandInTool {
public:
    explicit StandInTool(const std::wstring& cannedFolder) {
        std::map<std::wstring, std::string> files;
        for (const wchar_t* name : kCannedOutputs) {
            std::ifstream canned((cannedFolder + name).c_str(), std::ios::binary);
            EXPECT_TRUE(canned.good()) << "canned output missing";
            files[name] = std::string(std::istreambuf_iterator<char>(canned), {});
        }
        tool_.InstallStandIn(files);
    }

private:
    SystemTool tool_;
};

// The registry values behind the first, second and fourth rows.
class MachineValues {
public:
    MachineValues() {
        product_.SetText(L"Windows 10 Pro");
        build_.SetText(L"19045");
        processor_.SetText(L"12th Gen Intel(R) Core(TM) i5-12400F");
        manufacturer_.SetText(L"ORVA Board Co. ");
        board_.SetText(L"B660M");
        bios_.SetText(L"1.02");
    }
    void DeleteBoardValues() {
        manufacturer_.Delete();
        board_.Delete();
        bios_.Delete();
        systemManufacturer_.Delete();  // nothing to stand in for the board
        systemProduct_.Delete();
    }

private:
    static constexpr const wchar_t* kOsKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    static constexpr const wchar_t* kBiosKey = L"HARDWARE\\DESCRIPTION\\System\\BIOS";
    RegistryValue product_{kOsKey, L"ProductName"};
    RegistryValue build_{kOsKey, L"CurrentBuildNumber"};
    RegistryValue processor_{L"Hardware\\Description\\System\\CentralProcessor\\0",
                             L"ProcessorNameString", 0};
    RegistryValue manufacturer_{kBiosKey, L"BaseBoardManufacturer"};
    RegistryValue board_{kBiosKey, L"BaseBoardProduct"};
    RegistryValue bios_{kBiosKey, L"BIOSVersion"};
    RegistryValue systemManufacturer_{kBiosKey, L"SystemManufacturer"};
    RegistryValue systemProduct_{kBiosKey, L"SystemProductName"};
};

std::wstring ProcessorRow() {
    return L"12th Gen Intel(R) Core(TM) i5-12400F * " + std::to_wstring(LogicalProcessors()) +
           L" 코어";
}

void ExpectRows(const ReportRows& rows, const std::wstring (&values)[kReportRowCount]) {
    const wchar_t* const labels[kReportRowCount] = {L"O  S", L"CPU ", L"RAM",
                                                    L"M.B",  L"VGA",  L"DISK"};
    for (std::size_t i = 0; i < kReportRowCount; ++i) {
        EXPECT_EQ(rows[i].label, labels[i]);
        EXPECT_EQ(rows[i].value, values[i]) << "row " << i;
    }
}

TEST(CollectReportRows, FillsEveryRowFromItsSource) {
    StandInTool tool(DataFolder(L"report"));
    MachineValues values;
    const std::wstring expected[kReportRowCount] = {
        L"Windows 10 Pro",
        ProcessorRow(),
        MemorySizes() + L", Type DDR4",
        L"ORVA Board Co. B660M(FW.v1.02)",
        L"NVIDIA GeForce RTX 3070 (4095 MB)",
        L"Samsung SSD 980 PRO 1TB(931GB), WDC WD20EZAZ-00GGJB0(1863GB)",
    };
    ThreadWmi wmi;
    ExpectRows(GatherRows(wmi.session), expected);
}

TEST(CollectReportRows, VideoMemoryComesFromTheDriversRecordWhenItNamesTheAdapter) {
    StandInTool tool(DataFolder(L"report"));
    MachineValues values;
    TestRegistryKey adapter(
        L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\9500");
    adapter.SetText(L"DriverDesc", L"NVIDIA GeForce RTX 3070");
    adapter.SetQword(L"HardwareInformation.qwMemorySize", 8589934592ULL);
    ThreadWmi wmi;
    const ReportRows rows = GatherRows(wmi.session);
    EXPECT_EQ(rows[4].value, L"NVIDIA GeForce RTX 3070 (8192 MB)");
}

// An unknown memory type, a disk and an adapter without figures, and no board
// values: each costs its own part and nothing else.
TEST(CollectReportRows, UnusableValuesCostOnlyTheirOwnParts) {
    StandInTool tool(DataFolder(L"report-broken"));
    MachineValues values;
    values.DeleteBoardValues();
    const std::wstring expected[kReportRowCount] = {
        L"Windows 10 Pro",
        ProcessorRow(),
        MemorySizes(),
        kBoardFailureText,
        L"Microsoft Basic Display Adapter",
        L"Samsung SSD 980 PRO 1TB",
    };
    ThreadWmi wmi;
    ExpectRows(GatherRows(wmi.session), expected);
}

}  // namespace
}  // namespace orva
