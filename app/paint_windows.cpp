#include <windows.h>

#include <cwchar>
#include <optional>
#include <utility>
#include <variant>

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

class GatheringMark {
public:
    explicit GatheringMark(Paints& paints) noexcept : paints_(paints) { paints_.gathering = true; }
    GatheringMark(const GatheringMark&) = delete;
    GatheringMark& operator=(const GatheringMark&) = delete;
    ~GatheringMark() { paints_.gathering = false; }

private:
    Paints& paints_;
};

// A paint that starts no gathering: the rows of the last one, if any.
void PaintWithoutGathering(HWND window, Paints& paints) {
    const PaintGuard paint(window);
    DrawBackground(paint.dc());
    if (paints.shown) {
        DrawRows(paint.dc(), *paints.shown);
    }
    if (paints.gathering) {
        UnionRect(&paints.drawnMeanwhile, &paints.drawnMeanwhile, &paint.area());
    }
}

}  // namespace

void PaintReport(MainWindow& state) noexcept {
    Paints& paints = state.paints;
    const HWND window = state.window();
    try {
        if (paints.gathering || paints.redrawing) {
            PaintWithoutGathering(window, paints);
            return;
        }
        ReportRows rows;
        {
            const PaintGuard paint(window);
            DrawBackground(paint.dc());
            std::variant<ReportRows, WaitStopped> gathered;
            {
                const GatheringMark mark(paints);
                gathered = CollectReportRows(state.wmi(), state);
            }
            auto* const complete = std::get_if<ReportRows>(&gathered);
            if (complete == nullptr) {
                // Stopped for a close: the window goes, with nothing drawn
                // from a cut-short gathering and the last report kept.
                paints.drawnMeanwhile = RECT{};
                return;
            }
            rows = std::move(*complete);
            DrawRows(paint.dc(), rows);
        }
        const std::optional<ReportRows> before = std::exchange(paints.shown, rows);
        ReportText() = ComposeReport(rows);
        AnnounceChangedRows(window, before ? &*before : nullptr, rows);
        // Paints inside the gathering drew older rows, or none: they are
        // drawn again with these.
        if (!IsRectEmpty(&paints.drawnMeanwhile)) {
            const RECT area = paints.drawnMeanwhile;
            paints.drawnMeanwhile = RECT{};
            paints.redrawing = true;
            RedrawWindow(window, &area, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            paints.redrawing = false;
        }
    } catch (...) {
        // Only memory can run out here (the rows contain probe failures); the
        // guards have ended the paint, and ReportText keeps the last report.
        paints.redrawing = false;
    }
}

}  // namespace orva
