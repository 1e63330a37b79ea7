#include "NativeInput.h"

#include "platform/win32/Win32Backend.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace native {

namespace {

HWND hwnd(void* window) {
    return static_cast<HWND>(window);
}

std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                          nullptr, nullptr);
    return text;
}

/// As the view's message loop does: its own step and the dialog manager first, then the
/// window itself.
void deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{window, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    if (platform::win32::preTranslate(&msg)) return;
    ::SendMessageW(window, message, wParam, lParam);
}

} // namespace

const unsigned kReturn = VK_RETURN;
const unsigned kEscape = VK_ESCAPE;
const unsigned kDown = VK_DOWN;
const unsigned kUp = VK_UP;
const unsigned kRight = VK_RIGHT;
const unsigned kF2 = VK_F2;
const unsigned kLeft = VK_LEFT;
const unsigned kTab = VK_TAB;

void click(void* window, int x, int y) {
    ::SendMessageW(hwnd(window), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    if (::IsWindow(hwnd(window))) ::SendMessageW(hwnd(window), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void doubleClick(void* window, int x, int y) {
    click(window, x, y);
    if (!::IsWindow(hwnd(window))) return;
    ::SendMessageW(hwnd(window), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    if (::IsWindow(hwnd(window))) ::SendMessageW(hwnd(window), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void key(void* window, unsigned virtualKey) {
    deliver(hwnd(window), WM_KEYDOWN, virtualKey, 1);
    if (::IsWindow(hwnd(window)))
        deliver(hwnd(window), WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void keyWith(void* window, unsigned virtualKey, bool control, bool shift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), std::begin(held));
    if (control) held[VK_CONTROL] = held[VK_LCONTROL] = 0x80;
    if (shift) held[VK_SHIFT] = held[VK_LSHIFT] = 0x80;
    ::SetKeyboardState(held);
    key(window, virtualKey);
    ::SetKeyboardState(keys);
}

void* focus() {
    return ::GetFocus();
}

int id(void* window) {
    return static_cast<int>(::GetWindowLongPtrW(hwnd(window), GWLP_ID));
}

bool tabItemCentre(void* tab, int index, int& x, int& y) {
    RECT item{};
    if (!::SendMessageW(hwnd(tab), TCM_GETITEMRECT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&item)))
        return false;
    x = (item.left + item.right) / 2;
    y = (item.top + item.bottom) / 2;
    return true;
}

void type(void* window, const std::string& text) {
    for (wchar_t unit : widen(text)) {
        if (!::IsWindow(hwnd(window))) return;
        deliver(hwnd(window), WM_CHAR, unit, 1);
    }
}

void replaceText(void* window, const std::string& text) {
    ::SendMessageW(hwnd(window), EM_SETSEL, 0, -1);
    const std::wstring wide = widen(text);
    ::SendMessageW(hwnd(window), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::vector<int> screenRect(void* window) {
    RECT r{};
    ::GetWindowRect(hwnd(window), &r);
    return {r.left, r.top, r.right, r.bottom};
}

std::vector<int> clientOrigin(void* window) {
    POINT origin{0, 0};
    ::ClientToScreen(hwnd(window), &origin);
    return {origin.x, origin.y};
}

std::vector<int> workArea() {
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return {area.left, area.top, area.right, area.bottom};
}

void* hostWindow(int x, int y, int width, int height) {
    HWND window =
        ::CreateWindowExW(0, L"Static", L"Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width,
                          height, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetActiveWindow(window);
    return window;
}

void closeWindow(void* window) {
    ::DestroyWindow(hwnd(window));
}

std::pair<int, int> selection(void* edit) {
    DWORD start = 0, end = 0;
    ::SendMessageW(hwnd(edit), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

void select(void* edit, int start, int end) {
    ::SendMessageW(hwnd(edit), EM_SETSEL, static_cast<WPARAM>(start), end);
    ::SendMessageW(hwnd(edit), WM_KEYUP, VK_SHIFT, static_cast<LPARAM>(0xC0000001u));
}

std::string text(void* window) {
    const int length = ::GetWindowTextLengthW(hwnd(window));
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd(window), buffer.data(), length + 1);
    buffer.resize(static_cast<std::size_t>(got));
    return narrow(buffer);
}

bool visible(void* window) {
    return window != nullptr && ::IsWindow(hwnd(window)) &&
           (::GetWindowLongPtrW(hwnd(window), GWL_STYLE) & WS_VISIBLE) != 0;
}

void* child(void* parent, const std::string& className) {
    const std::wstring wanted = widen(className);
    for (HWND c = ::GetWindow(hwnd(parent), GW_CHILD); c != nullptr;
         c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        ::GetClassNameW(c, name, 64);
        if (::lstrcmpiW(name, wanted.c_str()) == 0) return c;
    }
    return nullptr;
}

bool covers(void* child, int x, int y) {
    if (!visible(child)) return false;
    RECT area{};
    ::GetWindowRect(hwnd(child), &area);
    ::MapWindowPoints(nullptr, ::GetParent(hwnd(child)), reinterpret_cast<POINT*>(&area), 2);
    return ::PtInRect(&area, POINT{x, y}) != FALSE;
}

bool listViewItemCentre(void* list, int index, int& x, int& y) {
    RECT item{};
    item.left = LVIR_BOUNDS;
    if (!::SendMessageW(hwnd(list), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&item)))
        return false;
    x = (item.left + item.right) / 2;
    y = (item.top + item.bottom) / 2;
    return true;
}

std::vector<std::string> comboItems(void* combo) {
    std::vector<std::string> items;
    const auto count = static_cast<int>(::SendMessageW(hwnd(combo), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = static_cast<int>(::SendMessageW(hwnd(combo), CB_GETLBTEXTLEN, i, 0));
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(hwnd(combo), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(length));
        items.push_back(narrow(item));
    }
    return items;
}

void wheel(void* window, int notches) {
    ::SendMessageW(hwnd(window), WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), 0);
}

int threadWindows() {
    int count = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND, LPARAM counter) -> BOOL {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

void comboShow(void* combo, int index) {
    ::SendMessageW(hwnd(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

} // namespace native
