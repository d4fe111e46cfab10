#include "probes/board.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/failure_texts.h"
#include "app/report.h"

namespace orva {
namespace {

using Piece = std::optional<std::wstring>;

TEST(FormatBoardRow, JoinsMakerProductAndFirmwareWithoutSeparators) {
    struct Case {
        Piece manufacturer;
        Piece product;
        Piece version;
        std::wstring row;
    };
    const Case cases[] = {
        {L"Board Maker Ltd.", L"B100 Pro", L"A05", L"Board Maker Ltd.B100 Pro(FW.vA05)"},
        {L"Maker", L"Model", L"", L"MakerModel(FW.v)"},
        {L"Maker ", L"Model", L"1.0", L"Maker Model(FW.v1.0)"},
        {L"ASUSTeK COMPUTER INC.", L"PRIME B450M-A", L"2006",
         L"ASUSTeK COMPUTER INC.PRIME B450M-A(FW.v2006)"},
        {L" Maker", L"Model ", L" 1 ", L" MakerModel (FW.v 1 )"},
        {L"", L"", L"", L"(FW.v)"},
        {L"삼성전자", L"보드", L"F1", L"삼성전자보드(FW.vF1)"},
        {std::wstring(99, L'M'), std::wstring(99, L'P'), std::wstring(99, L'V'),
         std::wstring(99, L'M') + std::wstring(99, L'P') + L"(FW.v" + std::wstring(99, L'V') +
             L")"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatBoardRow(c.manufacturer, c.product, c.version), c.row);
    }
}

TEST(FormatBoardRow, UnreadableValueAddsNothingButAllThreeUnreadableIsAFailure) {
    struct Case {
        Piece manufacturer;
        Piece product;
        Piece version;
        std::wstring row;
    };
    const Case cases[] = {
        {std::nullopt, L"Model", L"A05", L"Model(FW.vA05)"},
        {L"Maker", std::nullopt, L"A05", L"Maker(FW.vA05)"},
        {L"Maker", L"Model", std::nullopt, L"MakerModel(FW.v)"},
        {std::nullopt, std::nullopt, L"A05", L"(FW.vA05)"},
        {std::nullopt, std::nullopt, L"", L"(FW.v)"},
        {std::nullopt, std::nullopt, std::nullopt, kBoardFailureText},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowValue(kBoardRow,
                           [&] { return FormatBoardRow(c.manufacturer, c.product, c.version); }),
                  c.row);
    }
    EXPECT_EQ(std::wstring(kBoardFailureText), L"메인보드 정보 로딩 실패");
}

// Servers and virtual machines whose firmware has no base board record; the
// system's names are asked for only there.
TEST(FormatBoardRow, SystemNamesStandInWhereNeitherBoardValueHasText) {
    struct Case {
        Piece manufacturer;
        Piece product;
        Piece version;
        Piece systemManufacturer;
        Piece systemProduct;
        std::wstring row;
        bool asked;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, L"P68", L"HP", L"ProLiant DL360 G7",
         L"HPProLiant DL360 G7(FW.vP68)", true},
        {L"", L"", L"rel-1.16", L"Red Hat", std::nullopt, L"Red Hat(FW.vrel-1.16)", true},
        {std::nullopt, L"", std::nullopt, L"", L"KVM", L"KVM(FW.v)", true},
        {L"ASUSTeK Computer INC.", L"P8P67", L"1503", L"System manufacturer",
         L"System Product Name", L"ASUSTeK Computer INC.P8P67(FW.v1503)", false},
        {L"Intel Corporation", L"440BX Desktop Reference Platform", L"6.00", L"VMware, Inc.",
         L"VMware Virtual Platform", L"Intel Corporation440BX Desktop Reference Platform(FW.v6.00)",
         false},
        {L"", L"Model", L"A05", L"HP", L"ProLiant", L"Model(FW.vA05)", false},
        {L"", L"", L"", L"", L"", L"(FW.v)", true},
        {std::nullopt, std::nullopt, std::nullopt, L"", std::nullopt, kBoardFailureText, true},
    };
    for (const Case& c : cases) {
        bool asked = false;
        const auto system = [&] {
            asked = true;
            return SystemNames{c.systemManufacturer, c.systemProduct};
        };
        EXPECT_EQ(
            RowValue(kBoardRow,
                     [&] { return FormatBoardRow(c.manufacturer, c.product, c.version, system); }),
            c.row);
        EXPECT_EQ(asked, c.asked) << c.row;
    }
}

}  // namespace
}  // namespace orva
