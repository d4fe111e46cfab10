// ProbeBoard under Wine in a throwaway prefix whose registry the test writes
// itself. The BIOS key is rebuilt whenever the prefix's wineserver starts; the
// values written here hold while this program's server runs.
#include "probes/board.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/failure_texts.h"
#include "app/report.h"
#include "tests/windows/registry_value.h"

namespace orva {
namespace {

constexpr const wchar_t* kBiosKey = L"HARDWARE\\DESCRIPTION\\System\\BIOS";

// Stored values, or nothing for a value that is missing. The system's are
// missing unless a case names them.
struct BiosValues {
    std::optional<std::wstring> manufacturer;
    std::optional<std::wstring> product;
    std::optional<std::wstring> version;
    std::optional<std::wstring> systemManufacturer = std::nullopt;
    std::optional<std::wstring> systemProduct = std::nullopt;
};

class ProbeBoardTest : public ::testing::Test {
protected:
    void Store(const BiosValues& values) {
        Store(manufacturer_, values.manufacturer);
        Store(product_, values.product);
        Store(version_, values.version);
        Store(systemManufacturer_, values.systemManufacturer);
        Store(systemProduct_, values.systemProduct);
    }

private:
    static void Store(RegistryValue& value, const std::optional<std::wstring>& text) {
        if (text) {
            value.SetText(*text);
        } else {
            value.Delete();
        }
    }

    RegistryValue manufacturer_{kBiosKey, L"BaseBoardManufacturer"};
    RegistryValue product_{kBiosKey, L"BaseBoardProduct"};
    RegistryValue version_{kBiosKey, L"BIOSVersion"};
    RegistryValue systemManufacturer_{kBiosKey, L"SystemManufacturer"};
    RegistryValue systemProduct_{kBiosKey, L"SystemProductName"};
};

TEST_F(ProbeBoardTest, JoinsTheThreeValuesAsStored) {
    struct Case {
        BiosValues stored;
        std::wstring row;
    };
    const Case cases[] = {
        {{L"Board Maker Ltd.", L"B100 Pro", L"A05"}, L"Board Maker Ltd.B100 Pro(FW.vA05)"},
        {{L"Maker ", L"Model", L"1.0"}, L"Maker Model(FW.v1.0)"},
        {{L"Maker", L"Model", L""}, L"MakerModel(FW.v)"},
        {{L"", L"", L""}, L"(FW.v)"},
        {{L"기가바이트", L"B450M DS3H", L"F50"}, L"기가바이트B450M DS3H(FW.vF50)"},
        {{std::nullopt, L"", L"P68", L"HP", L"ProLiant DL360 G7"}, L"HPProLiant DL360 G7(FW.vP68)"},
        {{std::wstring(99, L'M'), std::wstring(99, L'P'), std::wstring(99, L'V')},
         std::wstring(99, L'M') + std::wstring(99, L'P') + L"(FW.v" + std::wstring(99, L'V') +
             L")"},
    };
    for (const Case& c : cases) {
        Store(c.stored);
        EXPECT_EQ(ProbeBoard(), c.row);
    }
}

TEST_F(ProbeBoardTest, UnreadableValuesAddNothingAndCloseEveryKey) {
    struct Case {
        BiosValues stored;
        std::wstring row;
    };
    const Case cases[] = {
        {{std::nullopt, L"Model", L"A05"}, L"Model(FW.vA05)"},
        {{L"Maker", std::nullopt, L"A05"}, L"Maker(FW.vA05)"},
        {{L"Maker", L"Model", std::nullopt}, L"MakerModel(FW.v)"},
        {{std::wstring(100, L'M'), L"Model", L"A05"}, L"Model(FW.vA05)"},
        {{L"Maker", L"Model", std::wstring(300, L'V')}, L"MakerModel(FW.v)"},
        {{std::nullopt, std::nullopt, std::nullopt}, kBoardFailureText},
        {{std::wstring(100, L'M'), std::nullopt, std::wstring(100, L'V')}, kBoardFailureText},
    };
    for (const Case& c : cases) {
        Store(c.stored);
        const int keysBefore = UniqueRegKey::LiveCount();
        EXPECT_EQ(RowValue(kBoardRow, ProbeBoard), c.row);
        EXPECT_EQ(UniqueRegKey::LiveCount(), keysBefore);
    }
}

}  // namespace
}  // namespace orva
