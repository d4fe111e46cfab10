// Registry fixtures for tests that run under Wine in a throwaway prefix.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/handles.h"

namespace orva {

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

// A key of the test's own under HKEY_LOCAL_MACHINE, removed with everything in
// it when the test ends. Volatile, so that it may also sit under keys that
// the system rebuilds at each start.
class TestRegistryKey {
public:
    explicit TestRegistryKey(const std::wstring& path) : path_(path) {
        DWORD disposition = 0;
        const LONG status = RegCreateKeyExW(
            HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
            KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key_.put(), &disposition);
        EXPECT_EQ(status, ERROR_SUCCESS) << "creating the test key";
        EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY)) << "the key was there";
    }
    ~TestRegistryKey() {
        key_.reset();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, path_.c_str());
    }
    TestRegistryKey(const TestRegistryKey&) = delete;
    TestRegistryKey& operator=(const TestRegistryKey&) = delete;

    void SetText(const wchar_t* name, const std::wstring& text) {
        Set(name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    void SetQword(const wchar_t* name, unsigned long long value) {
        Set(name, REG_QWORD, &value, sizeof value);
    }
    void Set(const wchar_t* name, DWORD type, const void* data, std::size_t size) {
        ASSERT_EQ(RegSetValueExW(key_.get(), name, 0, type, static_cast<const BYTE*>(data),
                                 static_cast<DWORD>(size)),
                  ERROR_SUCCESS);
    }

private:
    std::wstring path_;
    UniqueRegKey key_;
};

}  // namespace orva
