// The floor for the Windows program's start-up: the least a Win32 program with a window like
// Pelmora's does. One top-level window with a caption, a menu bar and a client area of
// Pelmora's size, one edit control, the same message loop; statically linked like pelmora.exe.
#include <windows.h>

namespace {

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    type.lpszClassName = L"PelmoraFloor";
    if (!RegisterClassExW(&type))
        return 1;

    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 1000, L"&Exit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT outer{0, 0, 497, 613}; // Pelmora's client area at 96 DPI
    AdjustWindowRectEx(&outer, style, TRUE, 0);
    HWND window = CreateWindowExW(0, type.lpszClassName, L"Floor", style, 293, 66,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                  bar, instance, nullptr);
    if (!window)
        return 1;
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                96, 24, 49, 18, window, reinterpret_cast<HMENU>(100), instance,
                                nullptr);
    SetFocus(edit);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
