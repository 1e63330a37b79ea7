// The native side of the Win32 view: dialogs made by the system's dialog manager from the
// module's compiled templates, native controls, message boxes and file dialogs. Knows
// <windows.h> and nothing of the control model; what happens here goes to the backend through
// the bridge's events.
#include "Bridge.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
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
        // From the keyboard through the dialog manager: Enter and Escape.
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
        if (code == EN_CHANGE) g_events->textEdited(token, windowText(control));
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
        if (header.code == LVN_ITEMCHANGED) {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
                !(change.uOldState & LVIS_SELECTED))
                g_events->selected(token, change.iItem);
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

// The grid: a window class of our own that draws the model's cells as a table.
LRESULT CALLBACK gridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(grid, &paint);
        RECT client;
        ::GetClientRect(grid, &client);
        ::FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        Token token = tokenOf(grid);
        if (g_events != nullptr && token != nullptr) {
            HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
            const int rows = g_events->gridRows(token);
            const int columns = g_events->gridColumns(token);
            const int rowHeight = 18;
            const int columnWidth = columns > 0 ? (client.right - client.left) / columns : 0;
            ::SetBkMode(dc, TRANSPARENT);
            for (int r = 0; r < rows && r * rowHeight < client.bottom; ++r)
                for (int c = 0; c < columns; ++c) {
                    RECT cell{c * columnWidth, r * rowHeight, (c + 1) * columnWidth,
                              (r + 1) * rowHeight};
                    ::FrameRect(dc, &cell, reinterpret_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
                    RECT text = cell;
                    ::InflateRect(&text, -3, 0);
                    const std::wstring shown = widen(g_events->cellText(token, r, c));
                    ::DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &text,
                                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
                }
            ::SelectObject(dc, oldFont);
        }
        ::EndPaint(grid, &paint);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        ::RemovePropW(grid, kTokenProp);
        ::RemovePropW(grid, kKindProp);
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

void setProps(HWND window, Token token, Kind kind) {
    ::SetPropW(window, kTokenProp, token);
    ::SetPropW(window, kKindProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(kind) + 1));
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

Native createDialog(Token token, int templateId, Native parent) {
    registerClasses();
    HMODULE module = templateModule();
    if (module == nullptr || ::FindResourceW(module, MAKEINTRESOURCEW(templateId),
                                             reinterpret_cast<LPCWSTR>(RT_DIALOG)) == nullptr)
        return nullptr;
    Sync sync;
    HWND dialog = ::CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), hwnd(parent),
                                       dialogProc, reinterpret_cast<LPARAM>(token));
    if (dialog != nullptr && parent != nullptr) {
        // A page: a control inside the sheet, as the property sheet control makes it.
        LONG_PTR style = ::GetWindowLongPtrW(dialog, GWL_STYLE);
        style &= ~static_cast<LONG_PTR>(WS_POPUP | WS_CAPTION | WS_DISABLED);
        style |= WS_CHILD | DS_CONTROL;
        ::SetWindowLongPtrW(dialog, GWL_STYLE, style);
        ::SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                            ::GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    }
    return dialog;
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

void setReadOnly(Native edit, bool readOnly) {
    Sync sync;
    ::SendMessageW(hwnd(edit), EM_SETREADONLY, readOnly, 0);
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
    if (window != nullptr && ::IsWindowVisible(hwnd(window))) ::SetFocus(hwnd(window));
}

void repaint(Native window) {
    ::InvalidateRect(hwnd(window), nullptr, TRUE);
}

void showTopLevel(Native dialog, bool shown) {
    Sync sync;
    ::ShowWindow(hwnd(dialog), shown ? SW_SHOW : SW_HIDE);
    if (shown) ::UpdateWindow(hwnd(dialog));
}

void runLoop(const bool& done) {
    MSG message;
    while (!done && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
        if (root != nullptr && tokenOf(root) != nullptr && ::IsDialogMessageW(root, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
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
