// Runs under Wine in a throwaway prefix whose registry the test writes itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "probes/failure_texts.h"
#include "probes/os.h"
#include "probes/processor.h"
#include "probes/registry.h"

namespace orva {
namespace {

constexpr const wchar_t* kOsKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const wchar_t* kCpuKey = L"Hardware\\Description\\System\\CentralProcessor\\0";

// Writes or deletes one value in the chosen registry view, and puts the old
// value back when the test ends so cases do not leak into each other.
class RegistryValue {
public:
    RegistryValue(const wchar_t* path, const wchar_t* name, REGSAM view = KEY_WOW64_64KEY)
        : name_(name) {
        LONG status =
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE | view, nullptr, key_.put(), nullptr);
        EXPECT_EQ(status, ERROR_SUCCESS);
        DWORD size = sizeof saved_;
        saved_status_ = RegQueryValueExW(key_.get(), name, nullptr, &saved_type_, saved_, &size);
        saved_size_ = size;
    }
    ~RegistryValue() {
        if (saved_status_ == ERROR_SUCCESS) {
            RegSetValueExW(key_.get(), name_.c_str(), 0, saved_type_, saved_, saved_size_);
        } else {
            RegDeleteValueW(key_.get(), name_.c_str());
        }
    }
    void SetText(const std::wstring& text) {
        SetRaw(REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    void SetRaw(DWORD type, const void* data, std::size_t size) {
        ASSERT_EQ(RegSetValueExW(key_.get(), name_.c_str(), 0, type, static_cast<const BYTE*>(data),
                                 static_cast<DWORD>(size)),
                  ERROR_SUCCESS);
    }
    void Delete() { RegDeleteValueW(key_.get(), name_.c_str()); }

private:
    UniqueRegKey key_;
    std::wstring name_;
    BYTE saved_[4096] = {};
    DWORD saved_type_ = 0;
    DWORD saved_size_ = 0;
    LONG saved_status_ = ERROR_FILE_NOT_FOUND;
};

TEST(ProbeOs, ReadsTheProductNameAsStored) {
    RegistryValue product(kOsKey, L"ProductName");
    RegistryValue build(kOsKey, L"CurrentBuildNumber");
    build.SetText(L"19045");
    struct Case {
        std::wstring stored;
        std::wstring row;
    };
    const Case cases[] = {
        {L"Windows 10 Pro", L"Windows 10 Pro"},
        {L"  Windows 7 Ultimate  ", L"  Windows 7 Ultimate  "},
        {L"", L""},
        {std::wstring(99, L'W'), std::wstring(99, L'W')},
        {std::wstring(100, L'W'), kOsFailureText},
        {std::wstring(2000, L'W'), kOsFailureText},
        {L"윈도우 10 홈", L"윈도우 10 홈"},
    };
    for (const Case& c : cases) {
        product.SetText(c.stored);
        EXPECT_EQ(ProbeOs(), c.row) << c.stored.size() << " characters";
    }
}

TEST(ProbeOs, ReadsTheSixtyFourBitView) {
    RegistryValue wide(kOsKey, L"ProductName", KEY_WOW64_64KEY);
    RegistryValue narrow(kOsKey, L"ProductName", KEY_WOW64_32KEY);
    wide.SetText(L"Windows 10 Pro (64-bit view)");
    narrow.SetText(L"Windows 10 Pro (32-bit view)");
    EXPECT_EQ(ProbeOs(), L"Windows 10 Pro (64-bit view)");
}

TEST(ProbeOs, NamesWindows11FromTheBuildNumber) {
    RegistryValue product(kOsKey, L"ProductName");
    RegistryValue build(kOsKey, L"CurrentBuildNumber");
    product.SetText(L"Windows 10 Pro");
    build.SetText(L"22631");
    EXPECT_EQ(ProbeOs(), L"Windows 11 Pro");
    build.SetText(L"19045");
    EXPECT_EQ(ProbeOs(), L"Windows 10 Pro");
    build.Delete();
    EXPECT_EQ(ProbeOs(), L"Windows 10 Pro");
}

TEST(ProbeOs, MissingNameGivesTheFailureTextAndClosesTheKey) {
    RegistryValue product(kOsKey, L"ProductName");
    product.Delete();
    const int keysBefore = UniqueRegKey::LiveCount();
    EXPECT_EQ(ProbeOs(), kOsFailureText);
    EXPECT_EQ(UniqueRegKey::LiveCount(), keysBefore);
}

TEST(ProbeOs, ValueWithoutTerminatingNulEndsWithTheDeliveredBytes) {
    RegistryValue product(kOsKey, L"ProductName");
    const wchar_t bytes[] = {L'W', L'i', L'n', L'X'};
    product.SetRaw(REG_SZ, bytes, 3 * sizeof(wchar_t));
    EXPECT_EQ(ProbeOs(), L"Win");
}

TEST(ProbeProcessor, KeepsTheNameAsStoredAndAddsTheMachineCount) {
    RegistryValue name(kCpuKey, L"ProcessorNameString", 0);
    const std::wstring suffix =
        FormatProcessorRow(L"", GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));
    struct Case {
        std::wstring stored;
    };
    const Case cases[] = {
        {L"Intel(R) Core(TM) i5-9400F CPU @ 2.90GHz"},
        {L"AMD Ryzen 7 5800X 8-Core Processor   "},
        {std::wstring(99, L'C')},
    };
    for (const Case& c : cases) {
        name.SetText(c.stored);
        EXPECT_EQ(ProbeProcessor(), c.stored + suffix);
    }
}

TEST(ProbeProcessor, UnreadableNameGivesTheFailureText) {
    RegistryValue name(kCpuKey, L"ProcessorNameString", 0);
    const int keysBefore = UniqueRegKey::LiveCount();
    name.Delete();
    EXPECT_EQ(ProbeProcessor(), kProcessorFailureText);
    name.SetText(std::wstring(100, L'C'));
    EXPECT_EQ(ProbeProcessor(), kProcessorFailureText);
    EXPECT_EQ(UniqueRegKey::LiveCount(), keysBefore);
}

TEST(ProbeProcessor, CountsEveryLogicalProcessor) {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    const std::wstring row = ProbeProcessor();
    const std::wstring expected = L" * " + std::to_wstring(info.dwNumberOfProcessors) + L" 코어";
    ASSERT_GE(row.size(), expected.size());
    EXPECT_EQ(row.substr(row.size() - expected.size()), expected);
}

}  // namespace
}  // namespace orva
