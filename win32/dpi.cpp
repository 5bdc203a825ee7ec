#include "dpi.hpp"

namespace pelmora::win32 {

namespace {

// The per-monitor DPI functions came with Windows 10; looked up at run time so that the
// program still starts (at the screen's DPI) where they are missing.
template <typename Function>
Function *user32_function(const char *name)
{
    static const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function *>(reinterpret_cast<void *>(GetProcAddress(user32, name)))
                  : nullptr;
}

UINT screen_dpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

} // namespace

void become_dpi_aware()
{
    using context_function = BOOL WINAPI(DPI_AWARENESS_CONTEXT);
    if (auto *set_context = user32_function<context_function>("SetProcessDpiAwarenessContext"))
        set_context(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

UINT dpi_of(HWND window)
{
    using dpi_function = UINT WINAPI(HWND);
    static auto *const for_window = user32_function<dpi_function>("GetDpiForWindow");
    if (for_window && window) {
        if (const UINT dpi = for_window(window))
            return dpi;
    }
    return screen_dpi();
}

int metric_at(int metric, UINT dpi)
{
    using metric_function = int WINAPI(int, UINT);
    static auto *const for_dpi = user32_function<metric_function>("GetSystemMetricsForDpi");
    if (for_dpi) {
        if (const int value = for_dpi(metric, dpi); value > 0)
            return value;
    }
    return MulDiv(GetSystemMetrics(metric), static_cast<int>(dpi), static_cast<int>(screen_dpi()));
}

SIZE window_size_for(HWND window, int width, int height, UINT dpi)
{
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL menu = GetMenu(window) != nullptr;
    RECT outer{0, 0, width, height};
    using adjust_function = BOOL WINAPI(RECT *, DWORD, BOOL, DWORD, UINT);
    static auto *const adjust_for_dpi = user32_function<adjust_function>("AdjustWindowRectExForDpi");
    if (adjust_for_dpi && adjust_for_dpi(&outer, style, menu, ex_style, dpi))
        return {outer.right - outer.left, outer.bottom - outer.top};
    // Older Windows keep a window's frame as it is on a screen of another DPI.
    RECT frame{}, client{};
    if (GetWindowRect(window, &frame) && GetClientRect(window, &client))
        return {width + (frame.right - frame.left) - client.right,
                height + (frame.bottom - frame.top) - client.bottom};
    AdjustWindowRectEx(&outer, style, menu, ex_style);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void set_client_size(HWND window, int width, int height, UINT dpi)
{
    const SIZE outer = window_size_for(window, width, height, dpi);
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, flags);
    // The estimate misses where the menu bar wraps or the frame is drawn differently: measure
    // the client area as it came out and correct by the difference.
    RECT client{}, frame{};
    if (GetClientRect(window, &client) && GetWindowRect(window, &frame)) {
        const int dx = width - client.right;
        const int dy = height - client.bottom;
        if (dx != 0 || dy != 0)
            SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + dx,
                         frame.bottom - frame.top + dy, flags);
    }
}

} // namespace pelmora::win32
