// A small native host of the module: a plain window listing the groups and points of a field
// book, with Italian menus that reach every export (HostBook.cpp makes the calls), the dialogs
// shown by the Win32 view. It is what a Windows user meets, for trying the DLL by hand:
//   windows_host.exe [FIELD-BOOK.json]      (default: the bundled sample)
#include "HostBook.h"

#include "gpshost/FileReplace.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using hostfile::narrow;
using hostfile::widen;

HWND g_window = nullptr;
HWND g_list = nullptr;

void fill() {
    ::SendMessageW(g_list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : host::lines()) {
        const std::wstring text = widen(line);
        ::SendMessageW(g_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

int chosenLine() {
    return static_cast<int>(::SendMessageW(g_list, LB_GETCURSEL, 0, 0));
}

void run(int command) {
    const int line = chosenLine();
    const std::string said = host::run(command, line);
    fill();
    ::SendMessageW(g_list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    if (!said.empty())
        ::MessageBoxW(g_window, widen(said).c_str(), L"Libretto GPS", MB_OK | MB_ICONINFORMATION);
}

constexpr int kExit = 1;

HMENU menus() {
    HMENU bar = ::CreateMenu();
    auto popup = [bar](const wchar_t* title,
                       std::initializer_list<std::pair<int, const wchar_t*>> items) {
        HMENU menu = ::CreatePopupMenu();
        for (const auto& [id, text] : items)
            if (id == 0)
                ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            else
                ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), text);
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), title);
    };
    popup(L"&File", {{host::kLayout, L"&Formato esportazione…"},
                     {host::kExportFile, L"&Esporta ASCII…"},
                     {host::kImportFile, L"&Importa…"},
                     {0, nullptr},
                     {kExit, L"E&sci"}});
    popup(L"&Punti", {{host::kEditPoint, L"&Modifica punto…\tInvio"},
                      {host::kShowPoint, L"Mostra &coordinate…"},
                      {host::kNewPoint, L"&Nuovo punto…"},
                      {host::kTransfer, L"&Trasferisci punti grafici…"},
                      {0, nullptr},
                      {host::kSearch, L"&Cerca…"},
                      {host::kRemembered, L"&Ricerca memorizzata"}});
    popup(L"&Gruppi", {{host::kBaseStation, L"&Stazione base…"},
                       {host::kShowBase, L"&Mostra stazione base…"},
                       {host::kMoveBase, L"S&posta stazione base…"},
                       {0, nullptr},
                       {host::kPrint, L"S&tampa gruppi…"}});
    return bar;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g_window = window;
        g_list = ::CreateWindowExW(
            WS_EX_CLIENTEDGE, L"ListBox", L"",
            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 10, 10,
            window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(g_list, WM_SETFONT,
                       reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        fill();
        ::SendMessageW(g_list, LB_SETCURSEL, 1, 0);
        return 0;
    case WM_SIZE:
        ::MoveWindow(g_list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        ::SetFocus(g_list);
        return 0;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == g_list) {
            if (HIWORD(wParam) == LBN_DBLCLK)
                run(host::isPoint(chosenLine()) ? host::kEditPoint : host::kBaseStation);
            return 0;
        }
        if (LOWORD(wParam) == kExit)
            ::DestroyWindow(window);
        else
            run(LOWORD(wParam));
        ::SetFocus(g_list);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::string path = argc > 1 ? narrow(argv[1]) : std::string(GPS_SAMPLE_BOOK);
    ::LocalFree(argv);
    const std::string error = host::open(path);
    if (!error.empty()) {
        ::MessageBoxW(nullptr, widen(error).c_str(), L"Libretto GPS", MB_OK | MB_ICONERROR);
        return 1;
    }

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"GpsWindowsHost";
    ::RegisterClassW(&windowClass);
    const std::wstring title = L"Libretto GPS - " + widen(path);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, title.c_str(),
                                    WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 560, 420,
                                    nullptr, menus(), instance, nullptr);
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    host::close();
    return 0;
}
