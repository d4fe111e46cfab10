// The resources inside the built program file, read without running it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/common/test_kit.h"
#include "win32/handles.h"

namespace orva::e2e {
namespace {

constexpr WORD kKorean = MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN);          // 1042
constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 1033

std::wstring ProgramFile() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"ORVA사양확인프로그램.exe";
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) {
    reinterpret_cast<std::vector<std::wstring>*>(list)->push_back(
        IS_INTRESOURCE(name) ? std::to_wstring(reinterpret_cast<ULONG_PTR>(name))
                             : std::wstring(name));
    return TRUE;
}

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        module_.reset(LoadLibraryExW(ProgramFile().c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_) << "cannot load the program file";
    }

    std::vector<WORD> Languages(const wchar_t* type, const wchar_t* name) const {
        std::vector<WORD> languages;
        EnumResourceLanguagesW(module_.get(), type, name, CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }

    std::vector<std::wstring> Names(const wchar_t* type) const {
        std::vector<std::wstring> names;
        EnumResourceNamesW(module_.get(), type, CollectName, reinterpret_cast<LONG_PTR>(&names));
        return names;
    }

    std::string Bytes(const wchar_t* type, const wchar_t* name, WORD language) const {
        HRSRC found = FindResourceExW(module_.get(), type, name, language);
        if (found == nullptr) {
            return std::string();
        }
        HGLOBAL loaded = LoadResource(module_.get(), found);
        const auto* data = static_cast<const char*>(LockResource(loaded));
        return data == nullptr ? std::string()
                               : std::string(data, SizeofResource(module_.get(), found));
    }

    std::wstring String(UINT id) const {
        wchar_t text[256] = {};
        LoadStringW(module_.get(), id, text, 256);
        return text;
    }

    UniqueModule module_;
};

TEST_F(ProgramResources, StringTableHoldsTitleClassNameAndLegalNotice) {
    EXPECT_EQ(String(103), L"ORVA사양 확인 프로그램 https://www.orva.co.kr");
    EXPECT_EQ(String(109), L"ORVATELMOX");
    EXPECT_EQ(String(104), L"Copyright (C) 2026 ORVA");
    // Strings live in blocks of 16: ids 96..111 are block 7.
    EXPECT_EQ(Languages(RT_STRING, MAKEINTRESOURCEW(7)), std::vector<WORD>{kKorean});
}

TEST_F(ProgramResources, IconsAreSingle256PixelImagesWithAlpha) {
    for (const WORD id : {107, 108}) {
        EXPECT_EQ(Languages(RT_GROUP_ICON, MAKEINTRESOURCEW(id)), std::vector<WORD>{kKorean});
        const std::string group = Bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(id), kKorean);
        // GRPICONDIR: reserved, type 1, count; then 14-byte entries.
        ASSERT_GE(group.size(), 6u + 14u) << id;
        WORD count = 0;
        std::memcpy(&count, group.data() + 4, sizeof count);
        EXPECT_EQ(count, 1) << id;
        const auto width = static_cast<unsigned char>(group[6]);
        const auto height = static_cast<unsigned char>(group[7]);
        WORD bits = 0;
        std::memcpy(&bits, group.data() + 6 + 6, sizeof bits);
        EXPECT_EQ(width, 0) << "0 stands for 256";
        EXPECT_EQ(height, 0);
        EXPECT_EQ(bits, 32) << id;
    }
}

TEST_F(ProgramResources, BackgroundIs24BitBottomUp686By258) {
    EXPECT_EQ(Languages(RT_BITMAP, MAKEINTRESOURCEW(136)), std::vector<WORD>{kKorean});
    const std::string bitmap = Bytes(RT_BITMAP, MAKEINTRESOURCEW(136), kKorean);
    ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header{};
    std::memcpy(&header, bitmap.data(), sizeof header);
    EXPECT_EQ(header.biWidth, 686);
    EXPECT_EQ(header.biHeight, 258) << "positive: bottom-up";
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header.biXPelsPerMeter, 2834);
    EXPECT_EQ(header.biYPelsPerMeter, 2834);
}

TEST_F(ProgramResources, ManifestAsksToRunAsTheInvokerInEnglishOnly) {
    EXPECT_EQ(Names(RT_MANIFEST), std::vector<std::wstring>{L"1"});
    EXPECT_EQ(Languages(RT_MANIFEST, MAKEINTRESOURCEW(1)), std::vector<WORD>{kEnglishUs});
    const std::string manifest = Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1), kEnglishUs);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos) << manifest;
}

struct ActivationContextTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle context) noexcept { ReleaseActCtx(context); }
};

// As Windows 10 and Wine lay it out (MinGW's header lacks the last field).
struct CompatibilityElement {
    GUID id;
    ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
    ULONGLONG maxVersionTested;
};
struct CompatibilityInformation {
    DWORD count;
    CompatibilityElement elements[8];
};

// As the loader's parser reads the manifest (Wine's reads it from a file):
// without these, Windows 7 puts the program into a compatibility job of its
// own, where the tool's job cannot be had.
TEST_F(ProgramResources, ManifestDeclaresWindows7To11AsSupportedAndGdiScaling) {
    const std::string manifest = Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1), kEnglishUs);
    ASSERT_FALSE(manifest.empty());
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path =
        std::wstring(temp) + L"orva-" + std::to_wstring(GetCurrentProcessId()) + L".manifest";
    {
        const UniqueFile out(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(out && WriteFile(out.get(), manifest.data(),
                                     static_cast<DWORD>(manifest.size()), &written, nullptr));
    }
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.lpSource = path.c_str();
    const UniqueHandle<ActivationContextTraits> context(CreateActCtxW(&request));
    DeleteFileW(path.c_str());
    ASSERT_TRUE(context) << "the manifest does not parse: " << GetLastError();
    CompatibilityInformation info{};
    SIZE_T size = 0;
    ASSERT_TRUE(QueryActCtxW(0, context.get(), nullptr, CompatibilityInformationInActivationContext,
                             &info, sizeof info, &size))
        << GetLastError();
    std::vector<std::wstring> declared;
    for (DWORD i = 0; i < info.count && i < 8; ++i) {
        wchar_t text[64] = {};
        StringFromGUID2(info.elements[i].id, text, 64);
        if (info.elements[i].type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) {
            declared.push_back(text);
        }
    }
    const std::vector<std::wstring> expected = {
        L"{35138B9A-5D96-4FBD-8E2D-A2440225F93A}",  // Windows 7
        L"{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}",  // Windows 8
        L"{1F676C76-80E1-4239-95BB-83D0F6D0DA78}",  // Windows 8.1
        L"{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}",  // Windows 10 and 11
    };
    EXPECT_EQ(declared, expected);
    // GDI text drawn at the screen's own resolution on scaled screens.
    wchar_t gdiScaling[8] = {};
    EXPECT_TRUE(QueryActCtxSettingsW(0, context.get(),
                                     L"http://schemas.microsoft.com/SMI/2017/WindowsSettings",
                                     L"gdiScaling", gdiScaling, 8, &size) &&
                std::wstring(gdiScaling) == L"true")
        << GetLastError();
}

TEST_F(ProgramResources, HasNoMenuAcceleratorsOrDialogs) {
    EXPECT_TRUE(Names(RT_MENU).empty());
    EXPECT_TRUE(Names(RT_ACCELERATOR).empty());
    EXPECT_TRUE(Names(RT_DIALOG).empty());
}

TEST(ProgramVersion, NamesTheProgramInKoreanAt1001) {
    const std::wstring file = ProgramFile();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0412);
    EXPECT_EQ(translation[1], 0x04b0);

    struct Entry {
        const wchar_t* key;
        const wchar_t* value;
    };
    const Entry entries[] = {
        {L"CompanyName", L"ORVA"},
        {L"FileDescription", L"ORVAPC사양확인프로그램"},
        {L"FileVersion", L"1.0.0.1"},
        {L"InternalName", L"ORVA사양확인프로그램.exe"},
        {L"LegalCopyright", L"Copyright (C) 2026 ORVA"},
        {L"OriginalFilename", L"ORVA사양확인프로그램.exe"},
        {L"ProductName", L"ORVA사양확인프로그램"},
        {L"ProductVersion", L"1.0.0.1"},
    };
    for (const Entry& entry : entries) {
        const std::wstring path = std::wstring(L"\\StringFileInfo\\041204b0\\") + entry.key;
        wchar_t* value = nullptr;
        ASSERT_TRUE(
            VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
            << "missing " << entry.key;
        EXPECT_EQ(std::wstring(value), entry.value);
    }
}

}  // namespace
}  // namespace orva::e2e
