// The window's accessible object: the six painted rows as static texts a
// screen reader can read (they are no windows of their own), then the two
// buttons. NVDA and JAWS read it directly, Narrator through the proxy that
// Windows makes for a window that answers WM_GETOBJECT so.
#include <windows.h>
#include <oleacc.h>

#include <atomic>
#include <new>
#include <string>
#include <utility>

#include "app/layout.h"
#include "app/report.h"
#include "app/window.h"
#include "win32/handles.h"
#include "win32/system_directory.h"

namespace orva {

namespace {

// Children in reading order: the rows, top first, then the two buttons.
constexpr long kFirstRow = 1;
constexpr long kLastRow = static_cast<long>(kReportRowCount);
constexpr long kCopyChild = kLastRow + 1;
constexpr long kHomePageChild = kLastRow + 2;
constexpr long kChildCount = kHomePageChild;

// oleacc.dll from the system folder, loaded at the first request: a copy of
// it beside the program is never taken, and a PC without a screen reader
// never loads it.
struct Oleacc {
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&AccessibleObjectFromWindow) accessibleObjectFromWindow = nullptr;
};

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const Oleacc& OleaccLibrary() {
    // Kept to the end: proxies of the objects it served may call it until then.
    static const UniqueModule module(
        LoadLibraryExW((SystemDirectory() + L"\\oleacc.dll").c_str(), nullptr, 0));
    static const Oleacc library = [] {
        Oleacc found;
        if (module) {
            Find(module.get(), "LresultFromObject", found.lresultFromObject);
            Find(module.get(), "CreateStdAccessibleObject", found.createStdAccessibleObject);
            Find(module.get(), "AccessibleObjectFromWindow", found.accessibleObjectFromWindow);
        }
        return found;
    }();
    return library;
}

HRESULT SetText(BSTR* out, const std::wstring& text) {
    UniqueBstr copy(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    if (!copy) {
        return E_OUTOFMEMORY;
    }
    *out = copy.release();  // the caller frees it
    return S_OK;
}

// An out-parameter of the caller's, which holds nothing until it is filled.
void Empty(VARIANT* out) {
    V_VT(out) = VT_EMPTY;
}

void SetChildId(VARIANT* out, long child) {
    V_VT(out) = VT_I4;
    V_I4(out) = child;
}

// COM objects end through Release, never through a delete of the interface,
// whose destructor the platform's headers leave non-virtual.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class RowsAccessible final : public IAccessible {
public:
    RowsAccessible(HWND window, const ShownRows& shown, UniqueCom<IAccessible> standard) noexcept
        : window_(window), shown_(shown), standard_(std::move(standard)) {}
    RowsAccessible(const RowsAccessible&) = delete;
    RowsAccessible& operator=(const RowsAccessible&) = delete;

    // The window is gone: every later call fails, as for an object whose
    // program has ended.
    void Disconnect() noexcept {
        window_ = nullptr;
        standard_.reset();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, IID_IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // Readers ask through IAccessible's own methods, not by name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (window_ == nullptr) {
            return CO_E_OBJNOTCONNECTED;
        }
        return standard_ ? standard_.get()->get_accParent(parent) : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (window_ == nullptr) {
            return CO_E_OBJNOTCONNECTED;
        }
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = kChildCount;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &IAccessible::get_accName, RowText::kLine);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, &IAccessible::get_accValue, RowText::kValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Text(child, text, &IAccessible::get_accDescription, RowText::kNone);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return Text(child, text, &IAccessible::get_accHelp, RowText::kNone);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return Text(child, text, &IAccessible::get_accKeyboardShortcut, RowText::kNone);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
        return Text(child, text, &IAccessible::get_accDefaultAction, RowText::kNone);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Number(child, role, &IAccessible::get_accRole, ROLE_SYSTEM_STATICTEXT);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Number(child, state, &IAccessible::get_accState, STATE_SYSTEM_READONLY);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (window_ == nullptr) {
            return CO_E_OBJNOTCONNECTED;
        }
        if (selection == nullptr) {
            return E_POINTER;
        }
        Empty(selection);
        return S_FALSE;  // rows are never selected
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    using TextMethod = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    using NumberMethod = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);
    enum class RowText { kLine, kValue, kNone };

    ~RowsAccessible() = default;

    static long ChildId(const VARIANT& child) { return V_VT(&child) == VT_I4 ? V_I4(&child) : -1; }
    static bool IsRow(long id) { return id >= kFirstRow && id <= kLastRow; }

    HWND Button(long id) const {
        return GetDlgItem(window_, id == kCopyChild ? IDC_COPYSPEC : IDC_HOMEPAGE);
    }
    UniqueCom<IDispatch> ButtonObject(long id) const;
    HRESULT Target(long id, UniqueCom<IAccessible>& target) const;
    HRESULT SetChild(VARIANT* out, long id) const;
    RECT RowRect(long id) const;
    HRESULT Text(const VARIANT& child, BSTR* out, TextMethod other, RowText row) const;
    HRESULT Number(const VARIANT& child, VARIANT* out, NumberMethod other, long row) const;

    HWND window_;                      // null once the window is gone
    const ShownRows& shown_;           // the window's, read only while it lives
    UniqueCom<IAccessible> standard_;  // the system's object for the window's client area
    std::atomic<ULONG> references_{1};
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// The button's own window object, so that a reader moves on to it.
UniqueCom<IDispatch> RowsAccessible::ButtonObject(long id) const {
    UniqueCom<IDispatch> object;
    const HWND button = Button(id);
    const auto fromWindow = OleaccLibrary().accessibleObjectFromWindow;
    if (button == nullptr || fromWindow == nullptr ||
        FAILED(fromWindow(button, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                          reinterpret_cast<void**>(static_cast<IDispatch**>(object.put()))))) {
        object.reset();
    }
    return object;
}

// What answers for the window itself (the system's object) or for a button
// (its own), each asked about itself as CHILDID_SELF.
HRESULT RowsAccessible::Target(long id, UniqueCom<IAccessible>& target) const {
    if (id == CHILDID_SELF) {
        if (!standard_) {
            return E_FAIL;
        }
        standard_.get()->AddRef();
        target.reset(standard_.get());
        return S_OK;
    }
    if (id != kCopyChild && id != kHomePageChild) {
        return E_INVALIDARG;
    }
    const UniqueCom<IDispatch> dispatch = ButtonObject(id);
    if (!dispatch ||
        FAILED(dispatch.get()->QueryInterface(
            IID_IAccessible, reinterpret_cast<void**>(static_cast<IAccessible**>(target.put()))))) {
        return E_FAIL;
    }
    return S_OK;
}

VARIANT Self() {
    VARIANT self;
    SetChildId(&self, CHILDID_SELF);
    return self;
}

HRESULT RowsAccessible::SetChild(VARIANT* out, long id) const {
    if (IsRow(id)) {
        SetChildId(out, id);
        return S_OK;
    }
    UniqueCom<IDispatch> button = ButtonObject(id);
    if (!button) {
        return E_FAIL;
    }
    V_VT(out) = VT_DISPATCH;
    V_DISPATCH(out) = button.release();
    return S_OK;
}

// From the label's left edge to the client area's right one, a row's pitch high.
RECT RowsAccessible::RowRect(long id) const {
    RECT client{};
    GetClientRect(window_, &client);
    const int top = RowTop(static_cast<std::size_t>(id - kFirstRow));
    return {kLabelX, top, client.right, top + kRowPitch};
}

// A row's text from the shown rows, read as they are, so that answering
// never starts a gathering (before the first one they are empty); any
// other child's from what answers for it.
HRESULT RowsAccessible::Text(const VARIANT& child, BSTR* out, TextMethod other, RowText row) const {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    const long id = ChildId(child);
    if (!IsRow(id)) {
        UniqueCom<IAccessible> target;
        const HRESULT found = Target(id, target);
        return FAILED(found) ? found : (target.get()->*other)(Self(), out);
    }
    if (row == RowText::kNone) {
        return S_FALSE;
    }
    if (!shown_) {
        return SetText(out, std::wstring());
    }
    const ReportRow& shown = (*shown_)[static_cast<std::size_t>(id - kFirstRow)];
    return SetText(out, row == RowText::kLine ? ReportLine(shown) : shown.value);
}

HRESULT RowsAccessible::Number(const VARIANT& child, VARIANT* out, NumberMethod other,
                               long row) const {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (out == nullptr) {
        return E_POINTER;
    }
    Empty(out);
    const long id = ChildId(child);
    if (!IsRow(id)) {
        UniqueCom<IAccessible> target;
        const HRESULT found = Target(id, target);
        return FAILED(found) ? found : (target.get()->*other)(Self(), out);
    }
    SetChildId(out, row);
    return S_OK;
}

HRESULT RowsAccessible::get_accChild(VARIANT child, IDispatch** dispatch) {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (dispatch == nullptr) {
        return E_POINTER;
    }
    *dispatch = nullptr;
    const long id = ChildId(child);
    if (IsRow(id)) {
        return S_FALSE;  // a simple element, answered by this object
    }
    if (id != kCopyChild && id != kHomePageChild) {
        return E_INVALIDARG;
    }
    UniqueCom<IDispatch> button = ButtonObject(id);
    if (!button) {
        return E_FAIL;
    }
    *dispatch = button.release();
    return S_OK;
}

HRESULT RowsAccessible::get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (helpFile == nullptr || topic == nullptr) {
        return E_POINTER;
    }
    *helpFile = nullptr;
    *topic = -1;
    const long id = ChildId(child);
    if (IsRow(id)) {
        return S_FALSE;
    }
    UniqueCom<IAccessible> target;
    const HRESULT found = Target(id, target);
    return FAILED(found) ? found : target.get()->get_accHelpTopic(helpFile, Self(), topic);
}

HRESULT RowsAccessible::get_accFocus(VARIANT* focus) {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (focus == nullptr) {
        return E_POINTER;
    }
    Empty(focus);
    const HWND focused = GetFocus();
    if (focused == window_) {
        SetChildId(focus, CHILDID_SELF);
        return S_OK;
    }
    for (const long id : {kCopyChild, kHomePageChild}) {
        if (focused != nullptr && focused == Button(id)) {
            return SetChild(focus, id);
        }
    }
    return S_FALSE;  // the focus is elsewhere
}

HRESULT RowsAccessible::accSelect(long flags, VARIANT child) {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    const long id = ChildId(child);
    if (IsRow(id)) {
        return DISP_E_MEMBERNOTFOUND;
    }
    UniqueCom<IAccessible> target;
    const HRESULT found = Target(id, target);
    return FAILED(found) ? found : target.get()->accSelect(flags, Self());
}

HRESULT RowsAccessible::accDoDefaultAction(VARIANT child) {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    const long id = ChildId(child);
    if (IsRow(id)) {
        return DISP_E_MEMBERNOTFOUND;
    }
    UniqueCom<IAccessible> target;
    const HRESULT found = Target(id, target);
    return FAILED(found) ? found : target.get()->accDoDefaultAction(Self());
}

HRESULT RowsAccessible::accLocation(long* left, long* top, long* width, long* height,
                                    VARIANT child) {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    const long id = ChildId(child);
    if (!IsRow(id)) {
        UniqueCom<IAccessible> target;
        const HRESULT found = Target(id, target);
        return FAILED(found) ? found : target.get()->accLocation(left, top, width, height, Self());
    }
    const RECT row = RowRect(id);
    POINT corner = {row.left, row.top};
    ClientToScreen(window_, &corner);
    *left = corner.x;
    *top = corner.y;
    *width = row.right - row.left;
    *height = row.bottom - row.top;
    return S_OK;
}

// Children in reading order; the window's own siblings are the system's.
HRESULT RowsAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (end == nullptr) {
        return E_POINTER;
    }
    Empty(end);
    const long from = ChildId(start);
    if (from == CHILDID_SELF) {
        if (direction == NAVDIR_FIRSTCHILD) {
            return SetChild(end, kFirstRow);
        }
        if (direction == NAVDIR_LASTCHILD) {
            return SetChild(end, kHomePageChild);
        }
        return standard_ ? standard_.get()->accNavigate(direction, start, end) : S_FALSE;
    }
    if (from < kFirstRow || from > kChildCount || direction == NAVDIR_FIRSTCHILD ||
        direction == NAVDIR_LASTCHILD) {
        return E_INVALIDARG;  // a child has none of its own
    }
    long to = 0;
    if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
        to = from + 1;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
        to = from - 1;
    }
    if (to < kFirstRow || to > kChildCount) {
        return S_FALSE;
    }
    return SetChild(end, to);
}

HRESULT RowsAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (child == nullptr) {
        return E_POINTER;
    }
    Empty(child);
    POINT point = {x, y};
    for (const long id : {kCopyChild, kHomePageChild}) {
        RECT button{};
        if (GetWindowRect(Button(id), &button) && PtInRect(&button, point)) {
            return SetChild(child, id);
        }
    }
    RECT client{};
    GetClientRect(window_, &client);
    ScreenToClient(window_, &point);
    if (!PtInRect(&client, point)) {
        return S_FALSE;
    }
    for (long id = kFirstRow; id <= kLastRow; ++id) {
        const RECT row = RowRect(id);
        if (PtInRect(&row, point)) {
            SetChildId(child, id);
            return S_OK;
        }
    }
    SetChildId(child, CHILDID_SELF);
    return S_OK;
}

}  // namespace

LRESULT AnswerGetObject(MainWindow& state, WPARAM wParam, LPARAM lParam) {
    const HWND window = state.window();
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || state.destroyed) {
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    const Oleacc& oleacc = OleaccLibrary();
    if (oleacc.lresultFromObject == nullptr || oleacc.createStdAccessibleObject == nullptr) {
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    if (!state.accessible) {
        UniqueCom<IAccessible> standard;
        if (FAILED(oleacc.createStdAccessibleObject(
                window, OBJID_CLIENT, IID_IAccessible,
                reinterpret_cast<void**>(static_cast<IAccessible**>(standard.put()))))) {
            standard.reset();  // the rows are read all the same
        }
        state.accessible.reset(new (std::nothrow)
                                   RowsAccessible(window, state.shown, std::move(standard)));
        if (!state.accessible) {
            return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
        }
    }
    return oleacc.lresultFromObject(IID_IAccessible, wParam, state.accessible.get());
}

void DisconnectAccessibleObject(MainWindow& state) noexcept {
    state.destroyed = true;
    if (!state.accessible) {
        return;
    }
    // Only this file makes the window's object.
    static_cast<RowsAccessible*>(state.accessible.get())->Disconnect();
    // Readers in other processes lose their connection now; one in this
    // process keeps the object alive and gets errors from it.
    CoDisconnectObject(state.accessible.get(), 0);
    state.accessible.reset();
}

void AnnounceChangedRows(HWND window, const ReportRows* before, const ReportRows& after) noexcept {
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (before == nullptr || (*before)[i].value != after[i].value) {
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT,
                           kFirstRow + static_cast<LONG>(i));
        }
    }
}

}  // namespace orva
