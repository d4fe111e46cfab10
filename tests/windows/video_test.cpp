// The video probe's registry reads under Wine in a throwaway prefix, with
// adapter keys the test writes itself.
#include "probes/video.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/windows/registry_value.h"

namespace orva {
namespace {

const std::wstring kDisplayClassKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}";

// Adapter keys of the test's own, numbered far above what the prefix holds.
class AdapterMemoryTest : public ::testing::Test {
protected:
    static std::wstring AdapterKey(const wchar_t* subkey) {
        return kDisplayClassKey + L"\\" + subkey;
    }
};

TEST_F(AdapterMemoryTest, FindsTheStoredSizeOfTheAdapterWithThatDescription) {
    TestRegistryKey other(AdapterKey(L"9100"));
    other.SetText(L"DriverDesc", L"Other Adapter");
    other.SetQword(L"HardwareInformation.qwMemorySize", 2147483648ULL);
    TestRegistryKey adapter(AdapterKey(L"9101"));
    adapter.SetText(L"DriverDesc", L"ORVA Test Adapter");
    adapter.SetQword(L"HardwareInformation.qwMemorySize", 12884901888ULL);

    struct Case {
        std::wstring name;
        std::optional<unsigned long long> memory;
    };
    const Case cases[] = {
        {L"ORVA Test Adapter", 12884901888ULL}, {L"Other Adapter", 2147483648ULL},
        {L"ORVA Test Adapter ", std::nullopt},  {L"orva test adapter", std::nullopt},
        {L"ORVA Test", std::nullopt},           {L"", std::nullopt},
        {L"Wine Adapter", std::nullopt},  // the prefix's own adapter stores no size
    };
    for (const Case& c : cases) {
        const int keysBefore = UniqueRegKey::LiveCount();
        EXPECT_EQ(AdapterMemoryFromClassKey(c.name, L""), c.memory) << c.name;
        EXPECT_EQ(UniqueRegKey::LiveCount(), keysBefore);
    }
}

TEST_F(AdapterMemoryTest, SkipsKeysThatAreNotNumberedOrHoldNoQwordSize) {
    TestRegistryKey unnumbered(AdapterKey(L"Properties9"));
    unnumbered.SetText(L"DriverDesc", L"ORVA Unnumbered");
    unnumbered.SetQword(L"HardwareInformation.qwMemorySize", 1ULL << 30);
    TestRegistryKey noSize(AdapterKey(L"9200"));
    noSize.SetText(L"DriverDesc", L"ORVA Test Adapter");
    TestRegistryKey wrongType(AdapterKey(L"9201"));
    wrongType.SetText(L"DriverDesc", L"ORVA Test Adapter");
    const DWORD oneGibibyte = 0x40000000;
    wrongType.Set(L"HardwareInformation.qwMemorySize", REG_DWORD, &oneGibibyte, sizeof oneGibibyte);
    TestRegistryKey descriptionNotText(AdapterKey(L"9202"));
    const std::wstring bytes = L"ORVA Test Adapter";
    descriptionNotText.Set(L"DriverDesc", REG_BINARY, bytes.c_str(),
                           (bytes.size() + 1) * sizeof(wchar_t));
    descriptionNotText.SetQword(L"HardwareInformation.qwMemorySize", 2ULL << 30);
    TestRegistryKey adapter(AdapterKey(L"9203"));
    adapter.SetText(L"DriverDesc", L"ORVA Test Adapter");
    adapter.SetQword(L"HardwareInformation.qwMemorySize", 6ULL << 30);
    TestRegistryKey later(AdapterKey(L"9204"));
    later.SetText(L"DriverDesc", L"ORVA Test Adapter");
    later.SetQword(L"HardwareInformation.qwMemorySize", 8ULL << 30);

    EXPECT_EQ(AdapterMemoryFromClassKey(L"ORVA Test Adapter", L""), std::optional(6ULL << 30));
    EXPECT_EQ(AdapterMemoryFromClassKey(L"ORVA Unnumbered", L""), std::nullopt);
}

// One DirectX adapter key with the values of a card, and a LastSeen of its own.
struct DirectXAdapter {
    const wchar_t* subkey;
    DWORD vendor;
    DWORD software;
    unsigned long long lastSeen;
    unsigned long long dedicated;
};

// A card swapped for another of the same name leaves its subkey ahead of the
// live one, which the device's Enum key names; a driver that keeps no 64-bit
// figure leaves DirectX's, where every card seen before keeps a subkey too.
TEST_F(AdapterMemoryTest, ReadsEachAdaptersOwnRecords) {
    const std::wstring rtx = L"PCI\\VEN_10DE&DEV_2504&SUBSYS_ORVA0001&REV_A1\\4&ORVA&0&0008";
    TestRegistryKey swapped(AdapterKey(L"9600"));
    swapped.SetText(L"DriverDesc", L"ORVA Test RTX");
    swapped.SetQword(L"HardwareInformation.qwMemorySize", 12ULL << 30);
    TestRegistryKey live(AdapterKey(L"9601"));
    live.SetText(L"DriverDesc", L"ORVA Test RTX");
    live.SetQword(L"HardwareInformation.qwMemorySize", 8ULL << 30);
    TestRegistryKey device(L"SYSTEM\\CurrentControlSet\\Enum\\" + rtx);
    device.SetText(L"Driver", L"{4d36e968-e325-11ce-bfc1-08002be10318}\\9601");

    TestRegistryKey arcDriver(AdapterKey(L"9602"));
    arcDriver.SetText(L"DriverDesc", L"ORVA Test Arc");
    const wchar_t* directX = L"SOFTWARE\\Microsoft\\DirectX";
    constexpr unsigned long long kLastStart = 0x01DB000000000000ULL;
    RegistryValue lastStart(directX, L"LastSeen");
    lastStart.SetRaw(REG_QWORD, &kLastStart, sizeof kLastStart);
    const DirectXAdapter adapters[] = {
        {L"{ORVA-1-SEEN-BEFORE}", 0x8086, 0, kLastStart - 1, 8ULL << 30},
        {L"{ORVA-2-SOFTWARE}", 0x8086, 1, kLastStart, 1ULL << 30},
        {L"{ORVA-3-OTHER-VENDOR}", 0x10DE, 0, kLastStart, 2ULL << 30},
        {L"{ORVA-4-SEEN-NOW}", 0x8086, 0, kLastStart, 16ULL << 30},
    };
    std::vector<std::unique_ptr<TestRegistryKey>> keys;
    for (const DirectXAdapter& a : adapters) {
        keys.push_back(std::make_unique<TestRegistryKey>(std::wstring(directX) + L"\\" + a.subkey));
        keys.back()->SetText(L"Description", L"ORVA Test Arc");
        keys.back()->Set(L"VendorId", REG_DWORD, &a.vendor, sizeof a.vendor);
        keys.back()->Set(L"SoftwareAdapter", REG_DWORD, &a.software, sizeof a.software);
        keys.back()->SetQword(L"LastSeen", a.lastSeen);
        keys.back()->SetQword(L"DedicatedVideoMemory", a.dedicated);
    }

    // As the tool lists them, with "&" written as "&amp;".
    const auto listed = [](const std::string& adapterRam, const std::string& name,
                           const std::string& deviceId) {
        return ListText{"\r\r\n\r\r\nAdapterRAM=" + adapterRam + "\r\r\nName=" + name +
                            "\r\r\nPNPDeviceID=" + deviceId + "\r\r\n\r\r\n\r\r\n",
                        ListEncoding::kOemCodePage};
    };
    EXPECT_EQ(ProbeVideo(listed("4293918720", "ORVA Test RTX",
                                "PCI\\VEN_10DE&amp;DEV_2504&amp;SUBSYS_ORVA0001&amp;REV_A1\\4&amp;"
                                "ORVA&amp;0&amp;0008")),
              L"ORVA Test RTX (8192 MB)");
    EXPECT_EQ(ProbeVideo(listed("2147479552", "ORVA Test Arc", "PCI\\VEN_8086&amp;DEV_56A0")),
              L"ORVA Test Arc (16384 MB)");
}

TEST_F(AdapterMemoryTest, ReadsDescriptionsOfAnyLength) {
    const std::wstring longName = L"ORVA " + std::wstring(300, L'x') + L" 그래픽";
    TestRegistryKey adapter(AdapterKey(L"9300"));
    adapter.SetText(L"DriverDesc", longName);
    adapter.SetQword(L"HardwareInformation.qwMemorySize", 17179869184ULL);
    EXPECT_EQ(AdapterMemoryFromClassKey(longName, L""), std::optional(17179869184ULL));
    EXPECT_EQ(AdapterMemoryFromClassKey(longName.substr(0, 99), L""), std::nullopt);
}

}  // namespace
}  // namespace orva
