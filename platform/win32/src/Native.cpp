// The native side of the Win32 view: dialogs made by the system's dialog manager from the
// module's compiled templates, native controls, message boxes and file dialogs. Knows
// <windows.h> and nothing of the control model; what happens here goes to the backend through
// the bridge's events.
#include "Bridge.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace platform::win32::bridge {

namespace {

Events* g_events = nullptr;
int g_sync = 0;
HMODULE g_templates = nullptr;
const wchar_t kTokenProp[] = L"GpsDialogs.Token";
const wchar_t kKindProp[] = L"GpsDialogs.Kind";
const wchar_t kGridClass[] = L"GpsGridCtrl";

std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string narrow(const wchar_t* wide, int length = -1) {
    if (length == 0 || wide == nullptr) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, length, text.data(), n, nullptr, nullptr);
    if (length < 0 && !text.empty()) text.pop_back(); // the terminating NUL
    return text;
}

std::string windowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(window, text.data(), length + 1);
    return narrow(text.data(), got);
}

HWND hwnd(Native window) {
    return static_cast<HWND>(window);
}

Token tokenOf(HWND window) {
    return window != nullptr ? ::GetPropW(window, kTokenProp) : nullptr;
}

Kind kindOf(HWND window) {
    return static_cast<Kind>(reinterpret_cast<INT_PTR>(::GetPropW(window, kKindProp)) - 1);
}

// The model counts characters, the native edit UTF-16 units.
int toUnits(const std::wstring& text, int characters) {
    int at = 0;
    for (int n = 0; n < characters && at < static_cast<int>(text.size()); ++n) {
        const wchar_t unit = text[static_cast<std::size_t>(at)];
        at += unit >= 0xD800 && unit < 0xDC00 && at + 1 < static_cast<int>(text.size()) ? 2 : 1;
    }
    return at;
}

int toCharacters(const std::wstring& text, int units) {
    int characters = 0;
    for (int at = 0; at < units && at < static_cast<int>(text.size()); ++at) {
        const wchar_t unit = text[static_cast<std::size_t>(at)];
        if (!(unit >= 0xDC00 && unit < 0xE000)) ++characters;
    }
    return characters;
}

std::wstring wideText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(0, got)));
    return text;
}

/// An edit's selection in characters: {start, end}.
std::pair<int, int> editSelection(HWND edit) {
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    const std::wstring text = wideText(edit);
    return {toCharacters(text, static_cast<int>(start)), toCharacters(text, static_cast<int>(end))};
}

// --- Balloon tips ---------------------------------------------------------------------------
// An edit's balloon: the edit control's own (EM_SHOWBALLOONTIP) where the common controls have
// it, else a balloon tooltip that the view keeps at the field.

const wchar_t kBalloonProp[] = L"GpsDialogs.Balloon";

struct BalloonShown {
    std::string title;
    std::string text;
};
std::map<HWND, BalloonShown> g_balloons;

void hideBalloon(HWND field) {
    auto found = g_balloons.find(field);
    if (found == g_balloons.end()) return;
    g_balloons.erase(found);
    if (HWND tip = static_cast<HWND>(::RemovePropW(field, kBalloonProp)))
        ::DestroyWindow(tip);
    else
        ::SendMessageW(field, EM_HIDEBALLOONTIP, 0, 0);
}

void showBalloonAt(HWND field, const std::string& title, const std::string& text, int icon) {
    hideBalloon(field);
    if (title.empty() && text.empty()) return;
    const std::wstring wideTitle = widen(title);
    const std::wstring wideBody = widen(text);
    EDITBALLOONTIP native{};
    native.cbStruct = sizeof native;
    native.pszTitle = wideTitle.c_str();
    native.pszText = wideBody.c_str();
    native.ttiIcon = icon;
    // Only an edit box knows the message; a grid's drop-down editor gets the tooltip.
    wchar_t name[32] = {};
    ::GetClassNameW(field, name, 32);
    if (::lstrcmpiW(name, L"Edit") == 0 &&
        ::SendMessageW(field, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&native)) != 0) {
        g_balloons[field] = BalloonShown{title, text};
        return;
    }
    HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_BALLOON | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 ::GetAncestor(field, GA_ROOT), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (tip == nullptr) return;
    std::wstring body = wideBody;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = field;
    tool.uId = reinterpret_cast<UINT_PTR>(field);
    tool.lpszText = body.data();
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 320);
    if (!wideTitle.empty())
        ::SendMessageW(tip, TTM_SETTITLEW, static_cast<WPARAM>(icon),
                       reinterpret_cast<LPARAM>(wideTitle.c_str()));
    // Its point a quarter of the way along the field's lower edge, as the edit's own.
    RECT rect{};
    ::GetWindowRect(field, &rect);
    ::SendMessageW(tip, TTM_TRACKPOSITION, 0,
                   MAKELPARAM(rect.left + (rect.right - rect.left) / 4, rect.bottom - 2));
    ::SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    ::SetPropW(field, kBalloonProp, tip);
    g_balloons[field] = BalloonShown{title, text};
}

HMODULE templateModule() {
    if (g_templates == nullptr) g_templates = ::GetModuleHandleW(L"gpsdialogs.dll");
    return g_templates;
}

// A control's notification, turned into the user action it stands for. Writes of the backend
// (Sync) raise notifications too; those are not the user's.
void command(HWND dialog, WPARAM wParam, LPARAM lParam) {
    if (g_events == nullptr || g_sync > 0) return;
    const int code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control == nullptr) {
        // Enter and Escape reach the model from preTranslate; this is what the dialog manager
        // makes of them where another message loop runs (a message box's owner, say).
        if (LOWORD(wParam) == IDOK) g_events->enter(tokenOf(dialog));
        if (LOWORD(wParam) == IDCANCEL) g_events->escape(tokenOf(dialog));
        return;
    }
    Token token = tokenOf(control);
    if (token == nullptr) return;
    switch (kindOf(control)) {
    case Kind::Button:
        if (code == BN_CLICKED) g_events->clicked(token);
        break;
    case Kind::Edit:
        if (code == EN_CHANGE) {
            const auto [start, end] = editSelection(control);
            g_events->textEdited(token, windowText(control), start, end);
        }
        if (code == EN_SETFOCUS) g_events->focused(token);
        break;
    case Kind::ComboBox:
        if (code == CBN_SELCHANGE)
            g_events->selected(token,
                               static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0)));
        if (code == CBN_SETFOCUS) g_events->focused(token);
        break;
    case Kind::ListBox:
        if (code == LBN_SELCHANGE)
            g_events->selected(token,
                               static_cast<int>(::SendMessageW(control, LB_GETCARETINDEX, 0, 0)));
        if (code == LBN_DBLCLK)
            g_events->doubleClicked(
                token, static_cast<int>(::SendMessageW(control, LB_GETCARETINDEX, 0, 0)));
        if (code == LBN_SETFOCUS) g_events->focused(token);
        break;
    default:
        break;
    }
}

void notify(const NMHDR& header) {
    if (g_events == nullptr || g_sync > 0) return;
    Token token = tokenOf(header.hwndFrom);
    if (token == nullptr) return;
    const Kind kind = kindOf(header.hwndFrom);
    if (kind == Kind::ListView) {
        // A selection that moves is the arrow keys' move; a click on an entry, which the list
        // selected as the button went down, is the click.
        if (header.code == LVN_ITEMCHANGED) {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
                !(change.uOldState & LVIS_SELECTED))
                g_events->moved(token, change.iItem);
        } else if (header.code == NM_CLICK) {
            const int item = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
            if (item >= 0) g_events->selected(token, item);
        } else if (header.code == NM_DBLCLK) {
            g_events->doubleClicked(token, reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        }
    } else if (kind == Kind::Tab && header.code == TCN_SELCHANGE) {
        // The model decides whether the page may be left: the native control goes back to
        // the model's tab until the model says otherwise.
        const int wanted = TabCtrl_GetCurSel(header.hwndFrom);
        g_events->tabSelecting(token, wanted);
    }
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ::SetPropW(dialog, kTokenProp, reinterpret_cast<HANDLE>(lParam));
        ::SetPropW(dialog, kKindProp,
                   reinterpret_cast<HANDLE>(static_cast<INT_PTR>(Kind::Dialog) + 1));
        return FALSE; // the model places the focus
    case WM_COMMAND:
        command(dialog, wParam, lParam);
        return TRUE;
    case WM_NOTIFY:
        notify(*reinterpret_cast<const NMHDR*>(lParam));
        return TRUE;
    case WM_CLOSE:
        if (g_events != nullptr && g_sync == 0) g_events->close(tokenOf(dialog));
        return TRUE; // the model ends the dialog, never the system
    case WM_NCDESTROY:
        ::RemovePropW(dialog, kTokenProp);
        ::RemovePropW(dialog, kKindProp);
        return FALSE;
    default:
        return FALSE;
    }
}

// --- The grid -----------------------------------------------------------------------------------
// A window class of our own. It draws the model's grid (headings, row labels, colours, the
// selection, the focus cell and the mark of a refused row) and turns presses, double clicks,
// the arrows, F2 and typing into the grid's user actions. The in-place editor is a child edit
// box or drop-down list that the model opens and closes (showGridEditor); Enter and Escape in
// it end the edit.

const wchar_t kOldProcProp[] = L"GpsDialogs.OldProc";

struct GridWindow {
    HFONT font = nullptr;
    int rowHeight = 0;      ///< 0: not measured yet
    int topRow = 0;         ///< the first scrollable row shown (a row index)
    int shownFocusRow = -1; ///< the focus row last scrolled into view
    HWND editor = nullptr;
    bool editorDropDown = false;
    int editorRow = -1;
    int editorColumn = -1;
    bool listOpen = false;       ///< the drop-down editor's list is open (a choice in it is a pick)
    unsigned selectAllCount = 0; ///< the model's count when the editor's text was last selected
    wchar_t highSurrogate = 0;
};

GridWindow* gridOf(HWND grid) {
    return reinterpret_cast<GridWindow*>(::GetWindowLongPtrW(grid, GWLP_USERDATA));
}

int rowHeightOf(HWND grid, GridWindow& state) {
    if (state.rowHeight > 0) return state.rowHeight;
    HDC dc = ::GetDC(grid);
    HGDIOBJ old =
        ::SelectObject(dc, state.font != nullptr ? state.font : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(grid, dc);
    state.rowHeight = metrics.tmHeight > 0 ? metrics.tmHeight + 6 : 19;
    return state.rowHeight;
}

/// Where the rows and columns of a grid are on its client area.
struct GridGeometry {
    GridShape shape;
    int rowHeight = 19;
    int headingHeight = 0;
    int top = 0;     ///< the first scrollable row shown
    int visible = 1; ///< scrollable rows that fit
    int clientHeight = 0;

    int columnLeft(int column) const {
        int x = shape.rowHeaderWidth;
        for (int c = 0; c < column && c < static_cast<int>(shape.widths.size()); ++c)
            x += shape.widths[static_cast<std::size_t>(c)];
        return x;
    }
    /// The top of a row, or -1 when it is scrolled out of view.
    int rowTop(int row) const {
        if (row < shape.fixedRows) return headingHeight + row * rowHeight;
        if (row < top) return -1;
        const int y = headingHeight + (shape.fixedRows + row - top) * rowHeight;
        return y < clientHeight ? y : -1;
    }
    bool cellRect(int row, int column, RECT& rect) const {
        const int y = rowTop(row);
        if (y < 0 || column < 0 || column >= shape.columns) return false;
        const int x = columnLeft(column);
        rect = RECT{x, y, x + shape.widths[static_cast<std::size_t>(column)], y + rowHeight};
        return true;
    }
    /// The cell under a point of the client area: false outside the cells.
    bool hit(int x, int y, int& row, int& column) const {
        y -= headingHeight;
        if (y < 0 || x < shape.rowHeaderWidth) return false;
        const int line = y / rowHeight;
        row = line < shape.fixedRows ? line : top + line - shape.fixedRows;
        if (row >= shape.rows) return false;
        for (column = 0; column < shape.columns; ++column)
            if (x < columnLeft(column + 1)) return true;
        return false;
    }
};

GridGeometry geometryOf(HWND grid, GridWindow& state) {
    GridGeometry g;
    Token token = tokenOf(grid);
    if (g_events != nullptr && token != nullptr) g.shape = g_events->gridShape(token);
    g.shape.widths.resize(static_cast<std::size_t>(std::max(0, g.shape.columns)), 0);
    g.rowHeight = rowHeightOf(grid, state);
    bool headings = false;
    for (const std::string& heading : g.shape.headings)
        headings = headings || !heading.empty();
    g.headingHeight = headings ? g.rowHeight : 0;
    RECT client{};
    ::GetClientRect(grid, &client);
    g.clientHeight = client.bottom;
    const int room = client.bottom - g.headingHeight - g.shape.fixedRows * g.rowHeight;
    g.visible = std::max(1, room / g.rowHeight);
    const int scrollable = std::max(0, g.shape.rows - g.shape.fixedRows);
    const int lastTop = g.shape.fixedRows + std::max(0, scrollable - g.visible);
    g.top = std::clamp(state.topRow, g.shape.fixedRows, std::max(g.shape.fixedRows, lastTop));
    return g;
}

void placeEditor(GridWindow& state, const GridGeometry& g) {
    if (state.editor == nullptr) return;
    RECT cell{};
    Sync sync;
    if (!g.cellRect(state.editorRow, state.editorColumn, cell)) {
        ::ShowWindow(state.editor, SW_HIDE);
        return;
    }
    const int height = state.editorDropDown ? g.rowHeight * 9 : cell.bottom - cell.top;
    ::SetWindowPos(state.editor, HWND_TOP, cell.left, cell.top, cell.right - cell.left, height,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

/// Scroll range and position; the focus row comes into view when it has moved.
void updateScroll(HWND grid, GridWindow& state) {
    GridGeometry g = geometryOf(grid, state);
    const int focus = g.shape.focusRow;
    if (focus != state.shownFocusRow && focus >= g.shape.fixedRows) {
        if (focus < g.top)
            g.top = focus;
        else if (focus >= g.top + g.visible)
            g.top = focus - g.visible + 1;
    }
    state.shownFocusRow = focus;
    state.topRow = g.top;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(0, g.shape.rows - g.shape.fixedRows - 1);
    info.nPage = static_cast<UINT>(g.visible);
    info.nPos = g.top - g.shape.fixedRows;
    Sync sync;
    ::SetScrollInfo(grid, SB_VERT, &info, TRUE);
    placeEditor(state, geometryOf(grid, state));
}

void scrollTo(HWND grid, GridWindow& state, int top) {
    state.topRow = top;
    state.shownFocusRow = -2; // a scroll by the user does not follow the focus cell
    GridGeometry g = geometryOf(grid, state);
    state.topRow = g.top;
    state.shownFocusRow = g.shape.focusRow;
    ::SetScrollPos(grid, SB_VERT, g.top - g.shape.fixedRows, TRUE);
    placeEditor(state, g);
    ::InvalidateRect(grid, nullptr, TRUE);
}

void fillCell(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

void drawCellText(HDC dc, const RECT& rect, const std::string& text, unsigned format) {
    RECT inner = rect;
    ::InflateRect(&inner, -3, 0);
    const std::wstring shown = widen(text);
    ::DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &inner,
                format | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void paintGrid(HWND grid, GridWindow& state, HDC dc) {
    RECT client{};
    ::GetClientRect(grid, &client);
    ::FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    Token token = tokenOf(grid);
    if (g_events == nullptr || token == nullptr) return;
    const GridGeometry g = geometryOf(grid, state);
    HGDIOBJ oldFont =
        ::SelectObject(dc, state.font != nullptr ? state.font : ::GetStockObject(DEFAULT_GUI_FONT));
    HPEN lines = ::CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
    HGDIOBJ oldPen = ::SelectObject(dc, lines);
    ::SetBkMode(dc, TRANSPARENT);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    auto frame = [&](const RECT& r) {
        ::MoveToEx(dc, r.left, r.bottom - 1, nullptr);
        ::LineTo(dc, r.right - 1, r.bottom - 1);
        ::LineTo(dc, r.right - 1, r.top - 1);
    };
    if (g.headingHeight > 0) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        RECT corner{0, 0, g.shape.rowHeaderWidth, g.headingHeight};
        fillCell(dc, corner, face);
        frame(corner);
        for (int c = 0; c < g.shape.columns; ++c) {
            RECT r{g.columnLeft(c), 0, g.columnLeft(c + 1), g.headingHeight};
            fillCell(dc, r, face);
            frame(r);
            const auto i = static_cast<std::size_t>(c);
            drawCellText(dc, r, i < g.shape.headings.size() ? g.shape.headings[i] : std::string(),
                         i < g.shape.headingFormats.size() ? g.shape.headingFormats[i] : 0);
        }
    }
    const bool focused = ::GetFocus() == grid;
    for (int row = 0; row < g.shape.rows; ++row) {
        if (row >= g.shape.fixedRows && row < g.top) row = g.top;
        const int y = g.rowTop(row);
        if (y < 0) break;
        if (g.shape.rowHeaderWidth > 0) {
            RECT label{0, y, g.shape.rowHeaderWidth, y + g.rowHeight};
            fillCell(dc, label, face);
            frame(label);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
            drawCellText(dc, label, g_events->gridRowLabel(token, row), DT_CENTER);
        }
        for (int c = 0; c < g.shape.columns; ++c) {
            RECT r{};
            if (!g.cellRect(row, c, r)) continue;
            const GridCellLook look = g_events->gridCell(token, row, c);
            fillCell(dc, r, look.selected ? ::GetSysColor(COLOR_HIGHLIGHT) : look.background);
            frame(r);
            ::SetTextColor(dc,
                           look.selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : look.foreground);
            drawCellText(dc, r, look.text, look.format);
            if (focused && row == g.shape.focusRow && c == g.shape.focusColumn) {
                RECT f = r;
                ::InflateRect(&f, -1, -1);
                ::DrawFocusRect(dc, &f);
            }
        }
        // A refused value: the warning sign at the end of its row.
        if (g.shape.columns > 0 && !g_events->gridRowMessage(token, row).empty()) {
            RECT last{};
            g.cellRect(row, g.shape.columns - 1, last);
            const int size = std::min(16, g.rowHeight - 2);
            auto* icon = static_cast<HICON>(
                ::LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, size, size, LR_SHARED));
            if (icon != nullptr)
                ::DrawIconEx(dc, last.right - size - 2, last.top + (g.rowHeight - size) / 2, icon,
                             size, size, 0, nullptr, DI_NORMAL);
        }
    }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(lines);
    ::SelectObject(dc, oldFont);
}

void closeEditor(HWND grid, GridWindow& state) {
    HWND editor = state.editor;
    if (editor == nullptr) return;
    state.editor = nullptr;
    state.listOpen = false;
    Sync sync;
    const bool hadFocus = ::GetFocus() == editor;
    // It may be the window whose key is ending the edit right now: the system allows that.
    ::DestroyWindow(editor);
    if (hadFocus) ::SetFocus(grid);
}

// Enter and Escape reach the editor (not the dialog's buttons) and end the edit.
LRESULT CALLBACK editorProc(HWND editor, UINT message, WPARAM wParam, LPARAM lParam) {
    auto old = reinterpret_cast<WNDPROC>(::GetPropW(editor, kOldProcProp));
    HWND grid = ::GetParent(editor);
    switch (message) {
    case WM_GETDLGCODE: {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = ::CallWindowProcW(old, editor, message, wParam, lParam);
        const GridWindow* state = gridOf(grid);
        // Tab on a closed drop-down list takes the entry it shows.
        const bool list = state != nullptr && state->editorDropDown;
        if (msg != nullptr && msg->message == WM_KEYDOWN &&
            (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE ||
             (list && msg->wParam == VK_TAB)))
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_TAB) {
            GridWindow* state = gridOf(grid);
            Token token = tokenOf(grid);
            const bool list = state != nullptr && state->editorDropDown;
            if (wParam == VK_TAB && !list) break;
            // An open list takes Enter and Escape itself: the choice in it is the pick.
            const bool dropped = list && ::SendMessageW(editor, CB_GETDROPPEDSTATE, 0, 0) != 0;
            if (dropped) break;
            if (g_events != nullptr && g_sync == 0 && token != nullptr) {
                // A closed drop-down list: Enter and Tab take the entry it shows.
                if (wParam != VK_ESCAPE && list)
                    g_events->gridPicked(
                        token, static_cast<int>(::SendMessageW(editor, CB_GETCURSEL, 0, 0)));
                else
                    g_events->gridEndEdit(token, wParam == VK_RETURN);
            }
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == 27 || wParam == L'\t')
            return 0; // no beep for the keys above
        break;
    case WM_NCDESTROY:
        hideBalloon(editor);
        ::RemovePropW(editor, kOldProcProp);
        ::SetWindowLongPtrW(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        return ::CallWindowProcW(old, editor, message, wParam, lParam);
    default:
        break;
    }
    return ::CallWindowProcW(old, editor, message, wParam, lParam);
}

void openEditor(HWND grid, GridWindow& state, const GridEditorLook& look) {
    Sync sync;
    const bool hadFocus = ::GetFocus() == grid;
    const DWORD style = look.dropDown ? WS_CHILD | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST
                                      : WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL;
    HWND editor = ::CreateWindowExW(0, look.dropDown ? L"ComboBox" : L"Edit", L"", style, 0, 0, 10,
                                    10, grid, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (editor == nullptr) return;
    ::SendMessageW(editor, WM_SETFONT,
                   reinterpret_cast<WPARAM>(
                       state.font != nullptr ? state.font : ::GetStockObject(DEFAULT_GUI_FONT)),
                   FALSE);
    ::SetPropW(editor, kOldProcProp,
               reinterpret_cast<HANDLE>(::SetWindowLongPtrW(
                   editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editorProc))));
    if (look.dropDown) {
        for (const std::string& choice : look.choices) {
            const std::wstring text = widen(choice);
            ::SendMessageW(editor, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
    } else {
        ::SetWindowTextW(editor, widen(look.text).c_str());
        ::SendMessageW(editor, EM_SETSEL, 0, -1);
    }
    state.editor = editor;
    state.listOpen = false;
    state.editorDropDown = look.dropDown;
    state.editorRow = look.row;
    state.editorColumn = look.column;
    // The cell comes into view, then the editor covers it.
    GridGeometry g = geometryOf(grid, state);
    if (look.row >= g.shape.fixedRows && (look.row < g.top || look.row >= g.top + g.visible))
        scrollTo(grid, state, look.row < g.top ? look.row : look.row - g.visible + 1);
    placeEditor(state, geometryOf(grid, state));
    if (hadFocus) ::SetFocus(editor);
}

LRESULT CALLBACK gridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
    GridWindow* state = gridOf(grid);
    Token token = tokenOf(grid);
    const bool user = g_events != nullptr && g_sync == 0 && token != nullptr;
    switch (message) {
    case WM_NCCREATE:
        ::SetWindowLongPtrW(grid, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new GridWindow));
        break;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(grid, GWLP_USERDATA, 0);
        delete state;
        ::RemovePropW(grid, kTokenProp);
        ::RemovePropW(grid, kKindProp);
        break;
    case WM_SETFONT:
        if (state != nullptr) {
            state->font = reinterpret_cast<HFONT>(wParam);
            state->rowHeight = 0;
            if (LOWORD(lParam)) ::InvalidateRect(grid, nullptr, TRUE);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state != nullptr ? state->font : nullptr);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(grid, &paint);
        if (state != nullptr) paintGrid(grid, *state, dc);
        ::EndPaint(grid, &paint);
        return 0;
    }
    case WM_SIZE:
        if (state != nullptr) updateScroll(grid, *state);
        break;
    case WM_GETDLGCODE: {
        // Enter and Escape are the grid's own (to begin, end or cancel a cell's edit), as for
        // a control that asks for every key.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (msg != nullptr && msg->message == WM_KEYDOWN &&
            (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_SETFOCUS:
        if (state != nullptr && state->editor != nullptr && ::IsWindowVisible(state->editor)) {
            ::SetFocus(state->editor);
            return 0;
        }
        if (user) g_events->focused(token);
        ::InvalidateRect(grid, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        ::InvalidateRect(grid, nullptr, FALSE);
        return 0;
    case WM_VSCROLL:
        if (state != nullptr) {
            const GridGeometry g = geometryOf(grid, *state);
            int top = g.top;
            switch (LOWORD(wParam)) {
            case SB_LINEUP:
                --top;
                break;
            case SB_LINEDOWN:
                ++top;
                break;
            case SB_PAGEUP:
                top -= g.visible;
                break;
            case SB_PAGEDOWN:
                top += g.visible;
                break;
            case SB_TOP:
                top = 0;
                break;
            case SB_BOTTOM:
                top = g.shape.rows;
                break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION:
                top = g.shape.fixedRows + HIWORD(wParam);
                break;
            default:
                break;
            }
            scrollTo(grid, *state, top);
        }
        return 0;
    case WM_MOUSEWHEEL:
        if (state != nullptr) {
            const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
            scrollTo(grid, *state, geometryOf(grid, *state).top - 3 * notches);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (state == nullptr) break;
        if (::GetFocus() != grid) ::SetFocus(grid);
        if (!user || !::IsWindow(grid)) return 0;
        int row = -1, column = -1;
        if (geometryOf(grid, *state)
                .hit(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), row,
                     column)) {
            if (message == WM_LBUTTONDOWN)
                g_events->gridClicked(token, row, column);
            else
                g_events->gridDoubleClicked(token, row, column);
        }
        return 0;
    }
    case WM_KEYDOWN: {
        if (!user) break;
        switch (wParam) {
        case VK_UP:
            g_events->gridKey(token, GridKey::Up);
            return 0;
        case VK_DOWN:
            g_events->gridKey(token, GridKey::Down);
            return 0;
        case VK_LEFT:
            g_events->gridKey(token, GridKey::Left);
            return 0;
        case VK_RIGHT:
            g_events->gridKey(token, GridKey::Right);
            return 0;
        case VK_F2:
            g_events->gridKey(token, GridKey::Edit);
            return 0;
        case VK_RETURN:
            g_events->gridKey(token, GridKey::Enter);
            return 0;
        case VK_ESCAPE:
            g_events->gridKey(token, GridKey::Escape);
            return 0;
        default:
            break;
        }
        break;
    }
    case WM_CHAR: {
        if (!user || state == nullptr) break;
        const auto unit = static_cast<wchar_t>(wParam);
        if (unit >= 0xD800 && unit < 0xDC00) {
            state->highSurrogate = unit;
            return 0;
        }
        std::wstring typed;
        if (unit >= 0xDC00 && unit < 0xE000) {
            if (state->highSurrogate == 0) return 0;
            typed = {state->highSurrogate, unit};
        } else if (unit >= 0x20 && unit != 0x7F) {
            typed = {unit};
        }
        state->highSurrogate = 0;
        if (!typed.empty()) {
            g_events->gridTyped(token, narrow(typed.c_str(), static_cast<int>(typed.size())));
            // A drop-down list opened by the key shows the first entry that starts with it.
            GridWindow* now = gridOf(grid);
            if (now != nullptr && now->editor != nullptr && now->editorDropDown)
                for (wchar_t u : typed)
                    ::SendMessageW(now->editor, WM_CHAR, u, lParam);
        }
        return 0;
    }
    case WM_COMMAND: {
        // From the in-place editor.
        HWND from = reinterpret_cast<HWND>(lParam);
        if (!user || state == nullptr || from == nullptr || from != state->editor) return 0;
        switch (HIWORD(wParam)) {
        case EN_CHANGE:
            g_events->gridEditText(token, windowText(from));
            break;
        case CBN_DROPDOWN:
            state->listOpen = true;
            break;
        case CBN_CLOSEUP:
            state->listOpen = false;
            break;
        case CBN_SELENDOK:
            // An entry picked from the open list (a click, or Enter in it). A closed list
            // sends this on every key that changes the entry it shows: no pick.
            if (state->listOpen || ::SendMessageW(from, CB_GETDROPPEDSTATE, 0, 0) != 0)
                g_events->gridPicked(token,
                                     static_cast<int>(::SendMessageW(from, CB_GETCURSEL, 0, 0)));
            break;
        case EN_SETFOCUS:
        case CBN_SETFOCUS:
            g_events->focused(token);
            break;
        default:
            break;
        }
        return 0;
    }
    default:
        break;
    }
    return ::DefWindowProcW(grid, message, wParam, lParam);
}

void registerClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSW grid{};
    grid.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    grid.lpfnWndProc = gridProc;
    grid.hInstance = ::GetModuleHandleW(nullptr);
    grid.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    grid.lpszClassName = kGridClass;
    ::RegisterClassW(&grid);
}

// Every control the model knows reports the focus it gets, however it came (Tab, a click, an
// access key): not every control class tells its dialog.
// An edit tells nobody when its caret or selection moves: it is read again after each key and
// press that may move it.
bool movesCaret(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case EM_SETSEL:
        return true;
    case WM_MOUSEMOVE:
        return (wParam & MK_LBUTTON) != 0;
    default:
        return false;
    }
}

LRESULT CALLBACK focusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        hideBalloon(window);
        ::RemoveWindowSubclass(window, focusProc, 1);
    }
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    if (g_events == nullptr || g_sync != 0) return result;
    if (message == WM_SETFOCUS)
        if (Token token = tokenOf(window)) g_events->focused(token);
    if (movesCaret(message, wParam) && ::IsWindow(window) && kindOf(window) == Kind::Edit)
        if (Token token = tokenOf(window)) {
            const auto [start, end] = editSelection(window);
            g_events->textSelected(token, start, end);
        }
    return result;
}

void setProps(HWND window, Token token, Kind kind) {
    ::SetPropW(window, kTokenProp, token);
    ::SetPropW(window, kKindProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(kind) + 1));
    // A grid reports its focus itself; a dialog hands the focus on to a control.
    if (kind != Kind::Grid && kind != Kind::Dialog) ::SetWindowSubclass(window, focusProc, 1, 0);
}

} // namespace

void setEvents(Events* events) {
    g_events = events;
}

void setTemplateModule(Native module) {
    g_templates = static_cast<HMODULE>(module);
}

Sync::Sync() {
    ++g_sync;
}
Sync::~Sync() {
    --g_sync;
}

void baseUnits(const std::string& face, int pointSize, int weight, bool italic, int& cx, int& cy) {
    HDC dc = ::GetDC(nullptr);
    const int height =
        -::MulDiv(pointSize > 0 ? pointSize : 8, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font = ::CreateFontW(height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, widen(face).c_str());
    HGDIOBJ old = ::SelectObject(dc, font);
    // As the dialog manager measures: the average width of the 52 letters, rounded, and the
    // font's height.
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, kLetters, 52, &extent);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    cx = static_cast<int>((extent.cx / 26 + 1) / 2);
    cy = static_cast<int>(metrics.tmHeight);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, dc);
    if (cx <= 0 || cy <= 0) {
        cx = 6;
        cy = 13;
    }
}

Native createDialog(Token token, int templateId, Native parent, Native owner) {
    registerClasses();
    HMODULE module = templateModule();
    if (module == nullptr || ::FindResourceW(module, MAKEINTRESOURCEW(templateId),
                                             reinterpret_cast<LPCWSTR>(RT_DIALOG)) == nullptr)
        return nullptr;
    Sync sync;
    HWND dialog = ::CreateDialogParamW(module, MAKEINTRESOURCEW(templateId),
                                       hwnd(parent != nullptr ? parent : owner), dialogProc,
                                       reinterpret_cast<LPARAM>(token));
    if (dialog != nullptr && parent != nullptr) {
        // A page: a control inside the sheet, as the property sheet control makes it.
        LONG_PTR style = ::GetWindowLongPtrW(dialog, GWL_STYLE);
        style &= ~static_cast<LONG_PTR>(WS_POPUP | WS_CAPTION | WS_DISABLED);
        style |= WS_CHILD | DS_CONTROL;
        ::SetWindowLongPtrW(dialog, GWL_STYLE, style);
        ::SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                            ::GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        ::SetWindowLongPtrW(dialog, GWLP_ID, templateId); // the page's id is its template's
    }
    return dialog;
}

Native createRuntimeDialog(Token token, Native parent, int id, const std::string& text,
                           unsigned long style, unsigned long exStyle, int x, int y, int width,
                           int height) {
    registerClasses();
    // An empty template: no menu, the dialog class, no title, no controls.
    alignas(4) WORD buffer[16] = {};
    DLGTEMPLATE header{};
    header.style = (style & ~(WS_VISIBLE | DS_SETFONT | WS_POPUP)) | WS_CHILD;
    header.dwExtendedStyle = exStyle;
    std::memcpy(buffer, &header, sizeof header);
    Sync sync;
    HWND dialog = ::CreateDialogIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(buffer), hwnd(parent),
        dialogProc, reinterpret_cast<LPARAM>(token));
    if (dialog == nullptr) return nullptr;
    ::SetWindowLongPtrW(dialog, GWLP_ID, id);
    ::SendMessageW(dialog, WM_SETFONT, ::SendMessageW(hwnd(parent), WM_GETFONT, 0, 0), FALSE);
    ::SetWindowTextW(dialog, widen(text).c_str());
    ::SetWindowPos(dialog, nullptr, x, y, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return dialog;
}

void placeAfter(Native window, Native previous) {
    Sync sync;
    ::SetWindowPos(hwnd(window), previous != nullptr ? hwnd(previous) : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

Look look(Native window) {
    HWND w = hwnd(window);
    Look l;
    l.token = tokenOf(w);
    l.id = static_cast<int>(::GetWindowLongPtrW(w, GWLP_ID));
    wchar_t name[256] = {};
    ::GetClassNameW(w, name, 256);
    l.className = narrow(name);
    l.text = windowText(w);
    RECT r{};
    ::GetWindowRect(w, &r);
    ::MapWindowPoints(nullptr, ::GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    l.x = r.left;
    l.y = r.top;
    l.width = r.right - r.left;
    l.height = r.bottom - r.top;
    l.style = static_cast<unsigned long>(::GetWindowLongPtrW(w, GWL_STYLE));
    l.exStyle = static_cast<unsigned long>(::GetWindowLongPtrW(w, GWL_EXSTYLE));
    l.defaultButton = l.className == "Button" && (l.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    return l;
}

std::vector<Native> children(Native window) {
    std::vector<Native> found;
    for (HWND child = ::GetWindow(hwnd(window), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT))
        found.push_back(child);
    return found;
}

Native focus() {
    return ::GetFocus();
}

std::vector<Native> templateControls(Native dialog) {
    std::vector<Native> controls;
    for (HWND child = ::GetWindow(hwnd(dialog), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT))
        if (tokenOf(child) == nullptr) controls.push_back(child);
    return controls;
}

void bind(Native control, Token token, Kind kind) {
    setProps(hwnd(control), token, kind);
}

Native createControl(Token token, Kind kind, const std::string& className, Native parent, int id,
                     const std::string& text, unsigned long style, unsigned long exStyle, int x,
                     int y, int width, int height) {
    registerClasses();
    std::wstring cls = kind == Kind::Grid ? std::wstring(kGridClass) : widen(className);
    Sync sync;
    HWND created = ::CreateWindowExW(
        exStyle, cls.c_str(), widen(text).c_str(), style, x, y, width, height, hwnd(parent),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (created == nullptr) // a class the system does not know: a plain placeholder
        created = ::CreateWindowExW(exStyle, L"Static", L"", (style & WS_VISIBLE) | WS_CHILD, x, y,
                                    width, height, hwnd(parent),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    ::GetModuleHandleW(nullptr), nullptr);
    if (created != nullptr) {
        setProps(created, token, kind);
        ::SendMessageW(created, WM_SETFONT, ::SendMessageW(hwnd(parent), WM_GETFONT, 0, 0), FALSE);
    }
    return created;
}

void destroy(Native window) {
    Sync sync;
    if (::IsWindow(hwnd(window))) ::DestroyWindow(hwnd(window));
}

void setText(Native window, const std::string& text) {
    if (windowText(hwnd(window)) == text) return;
    Sync sync;
    ::SetWindowTextW(hwnd(window), widen(text).c_str());
}

void setEnabled(Native window, bool enabled) {
    if ((::IsWindowEnabled(hwnd(window)) != FALSE) == enabled) return;
    Sync sync;
    ::EnableWindow(hwnd(window), enabled);
}

void setVisible(Native window, bool visible) {
    const bool shown = (::GetWindowLongPtrW(hwnd(window), GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown == visible) return;
    Sync sync;
    ::ShowWindow(hwnd(window), visible ? SW_SHOWNA : SW_HIDE);
}

void setStyle(Native window, Kind kind, unsigned long style, unsigned long mask,
              unsigned long exStyle, unsigned long exMask) {
    HWND w = hwnd(window);
    Sync sync;
    // Shown, enabled and read-only have calls of their own; a child stays a child.
    mask &= ~static_cast<unsigned long>(WS_VISIBLE | WS_DISABLED | WS_CHILD | WS_POPUP);
    if (kind == Kind::Edit) mask &= ~static_cast<unsigned long>(ES_READONLY);
    const auto oldStyle = static_cast<unsigned long>(::GetWindowLongPtrW(w, GWL_STYLE));
    const auto oldExStyle = static_cast<unsigned long>(::GetWindowLongPtrW(w, GWL_EXSTYLE));
    if (((oldStyle ^ style) & mask) == 0 && ((oldExStyle ^ exStyle) & exMask) == 0) return;
    if (mask != 0) {
        const unsigned long old = oldStyle;
        const unsigned long now = (old & ~mask) | (style & mask);
        if (kind == Kind::Button && ((old ^ now) & BS_TYPEMASK) != 0)
            ::SendMessageW(w, BM_SETSTYLE, now & 0xFFFF, TRUE); // redraws the default frame
        ::SetWindowLongPtrW(w, GWL_STYLE, static_cast<LONG_PTR>(now));
    }
    if (exMask != 0) {
        const unsigned long old = oldExStyle;
        ::SetWindowLongPtrW(w, GWL_EXSTYLE,
                            static_cast<LONG_PTR>((old & ~exMask) | (exStyle & exMask)));
    }
    ::SetWindowPos(w, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void setReadOnly(Native edit, bool readOnly) {
    Sync sync;
    ::SendMessageW(hwnd(edit), EM_SETREADONLY, readOnly, 0);
}

void setEditSelection(Native edit, int start, int end) {
    HWND w = hwnd(edit);
    const std::wstring text = wideText(w);
    const int from = toUnits(text, start), to = toUnits(text, end);
    DWORD shownStart = 0, shownEnd = 0;
    ::SendMessageW(w, EM_GETSEL, reinterpret_cast<WPARAM>(&shownStart),
                   reinterpret_cast<LPARAM>(&shownEnd));
    if (static_cast<int>(shownStart) == std::min(from, to) &&
        static_cast<int>(shownEnd) == std::max(from, to))
        return;
    Sync sync;
    ::SendMessageW(w, EM_SETSEL, static_cast<WPARAM>(from), to);
    ::SendMessageW(w, EM_SCROLLCARET, 0, 0);
}

void showBalloon(Native edit, const std::string& title, const std::string& text, int icon) {
    Sync sync;
    showBalloonAt(hwnd(edit), title, text, icon);
}

bool balloonShown(Native window, std::string& title, std::string& text) {
    auto found = g_balloons.find(hwnd(window));
    if (found == g_balloons.end()) return false;
    if (HWND tip = static_cast<HWND>(::GetPropW(hwnd(window), kBalloonProp));
        tip != nullptr && !::IsWindowVisible(tip))
        return false;
    title = found->second.title;
    text = found->second.text;
    return true;
}

void setCheck(Native button, int check) {
    Sync sync;
    ::SendMessageW(hwnd(button), BM_SETCHECK, static_cast<WPARAM>(check), 0);
}

void setRect(Native window, int x, int y, int width, int height) {
    Sync sync;
    ::SetWindowPos(hwnd(window), nullptr, x, y, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void setItems(Native list, Kind kind, const std::vector<std::string>& items) {
    Sync sync;
    const bool combo = kind == Kind::ComboBox;
    ::SendMessageW(hwnd(list), combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        const std::wstring text = widen(item);
        ::SendMessageW(hwnd(list), combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void setListViewColumns(Native list, const std::vector<std::string>& headings,
                        const std::vector<int>& widths) {
    Sync sync;
    HWND view = hwnd(list);
    while (::SendMessageW(view, LVM_DELETECOLUMN, 0, 0))
        ;
    for (std::size_t i = 0; i < headings.size(); ++i) {
        std::wstring text = widen(headings[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text.data();
        column.cx = i < widths.size() && widths[i] > 0 ? widths[i] : 80;
        column.iSubItem = static_cast<int>(i);
        ::SendMessageW(view, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void setListViewItems(Native list, const std::vector<std::vector<std::string>>& rows) {
    Sync sync;
    HWND view = hwnd(list);
    ::SendMessageW(view, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            std::wstring text = widen(rows[r][c]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = text.data();
            ::SendMessageW(view, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0,
                           reinterpret_cast<LPARAM>(&item));
        }
}

void setSelection(Native list, Kind kind, int index) {
    Sync sync;
    HWND view = hwnd(list);
    if (kind == Kind::ComboBox) {
        ::SendMessageW(view, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else if (kind == Kind::ListBox) {
        ::SendMessageW(view, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else if (kind == Kind::ListView) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(&state));
        if (index >= 0) {
            state.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(&state));
        }
    }
}

void setMultiSelection(Native list, Kind kind, const std::vector<bool>& selected) {
    Sync sync;
    HWND view = hwnd(list);
    for (std::size_t i = 0; i < selected.size(); ++i) {
        if (kind == Kind::ListBox) {
            ::SendMessageW(view, LB_SETSEL, selected[i], static_cast<LPARAM>(i));
        } else if (kind == Kind::ListView) {
            LVITEMW state{};
            state.stateMask = LVIS_SELECTED;
            state.state = selected[i] ? LVIS_SELECTED : 0;
            ::SendMessageW(view, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
        }
    }
}

void setTabs(Native tab, const std::vector<std::string>& labels, int current) {
    Sync sync;
    HWND control = hwnd(tab);
    ::SendMessageW(control, TCM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        std::wstring text = widen(labels[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        ::SendMessageW(control, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    ::SendMessageW(control, TCM_SETCURSEL, static_cast<WPARAM>(current), 0);
}

void setFocus(Native window) {
    Sync sync;
    if (window == nullptr || !::IsWindowVisible(hwnd(window))) return;
    // A grid with its editor open: the editor takes the keys.
    GridWindow* grid = kindOf(hwnd(window)) == Kind::Grid ? gridOf(hwnd(window)) : nullptr;
    if (grid != nullptr && grid->editor != nullptr && ::IsWindowVisible(grid->editor))
        ::SetFocus(grid->editor);
    else
        ::SetFocus(hwnd(window));
}

void repaint(Native window) {
    ::InvalidateRect(hwnd(window), nullptr, TRUE);
}

void gridChanged(Native grid) {
    if (GridWindow* state = gridOf(hwnd(grid));
        state != nullptr && kindOf(hwnd(grid)) == Kind::Grid)
        updateScroll(hwnd(grid), *state);
    ::InvalidateRect(hwnd(grid), nullptr, TRUE);
}

bool gridCellRect(Native grid, int row, int column, int& x, int& y, int& width, int& height) {
    GridWindow* state = kindOf(hwnd(grid)) == Kind::Grid ? gridOf(hwnd(grid)) : nullptr;
    RECT cell{};
    if (state == nullptr || !geometryOf(hwnd(grid), *state).cellRect(row, column, cell))
        return false;
    x = cell.left;
    y = cell.top;
    width = cell.right - cell.left;
    height = cell.bottom - cell.top;
    return true;
}

void showGridEditor(Native grid, const GridEditorLook& look) {
    HWND window = hwnd(grid);
    GridWindow* state = kindOf(window) == Kind::Grid ? gridOf(window) : nullptr;
    if (state == nullptr) return;
    if (!look.active) {
        closeEditor(window, *state);
        return;
    }
    if (state->editor != nullptr &&
        (state->editorDropDown != look.dropDown || state->editorRow != look.row ||
         state->editorColumn != look.column))
        closeEditor(window, *state);
    if (state->editor == nullptr) openEditor(window, *state, look);
    if (state->editor == nullptr) return;
    Sync sync;
    if (look.dropDown) {
        if (::SendMessageW(state->editor, CB_GETCURSEL, 0, 0) != look.choice)
            ::SendMessageW(state->editor, CB_SETCURSEL, static_cast<WPARAM>(look.choice), 0);
    } else if (windowText(state->editor) != look.text) {
        ::SetWindowTextW(state->editor, widen(look.text).c_str());
        const int end = ::GetWindowTextLengthW(state->editor);
        ::SendMessageW(state->editor, EM_SETSEL, static_cast<WPARAM>(end), end);
    }
    // Opened, or its text refused: the whole text selected, so that the next key replaces it,
    // and the keys go to the editor.
    if (look.wholeTextSelected && look.selectAllCount != state->selectAllCount) {
        if (!look.dropDown) ::SendMessageW(state->editor, EM_SETSEL, 0, -1);
        if (::GetFocus() == window) ::SetFocus(state->editor);
    }
    state->selectAllCount = look.selectAllCount;
    std::string title, shown;
    const bool hasBalloon = balloonShown(state->editor, title, shown);
    if (look.balloon.empty() && hasBalloon)
        hideBalloon(state->editor);
    else if (!look.balloon.empty() && (!hasBalloon || shown != look.balloon))
        showBalloonAt(state->editor, "", look.balloon, TTI_WARNING);
}

void showTopLevel(Native dialog, bool shown) {
    Sync sync;
    ::ShowWindow(hwnd(dialog), shown ? SW_SHOW : SW_HIDE);
    if (shown) ::UpdateWindow(hwnd(dialog));
}

void moveTopLevel(Native dialog, int x, int y) {
    Sync sync;
    ::SetWindowPos(hwnd(dialog), nullptr, x, y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void workArea(Native window, int& left, int& top, int& right, int& bottom) {
    HMONITOR monitor = window != nullptr
                           ? ::MonitorFromWindow(hwnd(window), MONITOR_DEFAULTTONEAREST)
                           : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT area{};
    if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info))
        area = info.rcWork;
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    left = area.left;
    top = area.top;
    right = area.right;
    bottom = area.bottom;
}

bool activeClientOrigin(int& x, int& y) {
    HWND active = ::GetActiveWindow();
    if (active == nullptr || !::IsWindowVisible(active)) return false;
    POINT origin{0, 0};
    if (!::ClientToScreen(active, &origin)) return false;
    x = origin.x;
    y = origin.y;
    return true;
}

void runLoop(const bool& done) {
    MSG message;
    while (!done && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (preTranslate(&message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool preTranslate(void* raw) {
    MSG& message = *static_cast<MSG*>(raw);
    HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    Token dialog = root != nullptr ? tokenOf(root) : nullptr;
    if (dialog == nullptr) return false;
    if (message.message == WM_KEYDOWN && g_events != nullptr && g_sync == 0) {
        const bool control = ::GetKeyState(VK_CONTROL) < 0;
        if (message.wParam == VK_TAB && control) {
            // As the property sheet's own message step: the next (previous) page.
            g_events->nextTab(dialog, ::GetKeyState(VK_SHIFT) < 0);
            return true;
        }
        if (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) {
            // The model decides what Enter and Escape do (the default button, a button with the
            // focus, a control that keeps the key), unless the control wants the key itself: an
            // open drop-down list, a grid's editor.
            const LRESULT code = ::SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                                reinterpret_cast<LPARAM>(&message));
            if (!(code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
                if (message.wParam == VK_RETURN)
                    g_events->enter(dialog);
                else
                    g_events->escape(dialog);
                return true;
            }
        }
    }
    return ::IsDialogMessageW(root, &message) != FALSE;
}

int messageBox(Native owner, const std::string& text, const std::string& caption, unsigned type) {
    return ::MessageBoxW(hwnd(owner), widen(text).c_str(), widen(caption).c_str(), type);
}

void beep(unsigned type) {
    ::MessageBeep(type);
}

bool fileDialog(Native owner, bool open, const std::string& title, const std::string& filter,
                const std::string& defaultExtension, const std::string& initialFolder,
                unsigned long flags, std::string& path, int& filterIndex) {
    std::wstring filters = widen(filter);
    for (wchar_t& c : filters)
        if (c == L'|') c = L'\0';
    filters.push_back(L'\0');
    std::wstring file = widen(path);
    file.resize(32768, L'\0');
    const std::wstring caption = widen(title);
    const std::wstring extension = widen(defaultExtension);
    const std::wstring folder = widen(initialFolder);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd(owner);
    ofn.lpstrFilter = filters.size() > 1 ? filters.c_str() : nullptr;
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex > 0 ? filterIndex : 1);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    const BOOL ok = open ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    if (!ok) return false;
    path = narrow(file.c_str());
    return true;
}

bool saveShot(Native dialog, const std::string& fileName) {
    RECT area;
    if (!::GetWindowRect(hwnd(dialog), &area)) return false;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    // From the screen: the system draws the caption and frame there, which PrintWindow omits.
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + imageSize;
    bool ok = false;
    if (FILE* out = ::_wfopen(widen(fileName).c_str(), L"wb")) {
        ok = std::fwrite(&header, sizeof header, 1, out) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
             std::fwrite(bits, imageSize, 1, out) == 1;
        ok = std::fclose(out) == 0 && ok;
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace platform::win32::bridge
