#include <windows.h>

#include <cwchar>

#include "app/layout.h"
#include "app/report.h"
#include "app/window.h"
#include "win32/handles.h"

namespace orva {

namespace {

// The picture's top rows stay above the client area.
constexpr int kBackgroundY = -5;

// Labels bold, values regular; both the same Gulim otherwise.
struct RowFont {
    LONG height;
    LONG weight;
};
constexpr RowFont LabelFont = {13, FW_BOLD};
constexpr RowFont ValueFont = {12, FW_DONTCARE};

UniqueFont CreateRowFont(const RowFont& font) {
    LOGFONTW description{};
    description.lfHeight = font.height;
    description.lfWeight = font.weight;
    description.lfCharSet = HANGUL_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    wcscpy_s(description.lfFaceName, LF_FACESIZE, L"굴림");
    return UniqueFont(CreateFontIndirectW(&description));
}

void DrawBackground(HDC dc) {
    const UniqueMemoryDc memory(CreateCompatibleDC(dc));
    const UniqueBitmap picture(LoadBitmapW(AppInstance, MAKEINTRESOURCEW(IDB_BACKGROUND)));
    if (!memory || !picture) {
        return;
    }
    const SelectGuard selected(memory.get(), picture.get());
    BITMAP size{};
    GetObjectW(picture.get(), sizeof size, &size);
    BitBlt(dc, 0, kBackgroundY, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
}

// One column of white text in its own font, which is gone again afterwards.
template <typename Text>
void DrawColumn(HDC dc, const RowFont& rowFont, int x, const ReportRows& rows, Text text) {
    const UniqueFont font = CreateRowFont(rowFont);
    const SelectGuard selected(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::wstring& line = text(rows[i]);
        TextOutW(dc, x, RowTop(i), line.c_str(), lstrlenW(line.c_str()));
    }
}

void DrawRows(HDC dc, const ReportRows& rows) {
    DrawColumn(dc, LabelFont, kLabelX, rows,
               [](const ReportRow& row) -> const std::wstring& { return row.label; });
    DrawColumn(dc, ValueFont, kValueX, rows,
               [](const ReportRow& row) -> const std::wstring& { return row.value; });
}

}  // namespace

void PaintReport(HWND window, const ShownRows& shown) noexcept {
    const PaintGuard paint(window);
    DrawBackground(paint.dc());
    if (shown) {
        DrawRows(paint.dc(), *shown);
    }
}

}  // namespace orva
