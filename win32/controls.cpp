#include "controls.hpp"

#include "clipboard.hpp"
#include "wide_text.hpp"

namespace pelmora::win32 {

namespace {

// The edit and the button class's own procedures, the same for every control of the class.
WNDPROC edit_procedure = nullptr;
WNDPROC button_procedure = nullptr;

// Gives the control `mine` in place of its class's procedure, which `own` keeps; a control
// whose procedure is not its class's (already subclassed by someone else) is left alone.
bool subclass(HWND control, WNDPROC &own, WNDPROC mine)
{
    const auto now = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
    if (!own)
        own = now;
    return now && now == own && SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mine));
}

int line_height(HWND edit)
{
    HDC dc = GetDC(edit);
    if (!dc)
        return 0;
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(edit, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return metrics.tmHeight;
}

// The bands between the edge (if any) and the one-line client area, in the box's colour,
// which the box's container gives as for the client area.
void paint_bands(HWND edit)
{
    RECT window{}, client{};
    if (!GetWindowRect(edit, &window) || !GetClientRect(edit, &client))
        return;
    MapWindowPoints(edit, nullptr, reinterpret_cast<POINT *>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    RECT inner{0, 0, window.right - window.left, window.bottom - window.top};
    if (GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
        InflateRect(&inner, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    HDC dc = GetWindowDC(edit);
    if (!dc)
        return;
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        GetParent(edit), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &inner, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
    ReleaseDC(edit, dc);
}

// The selected text onto the clipboard as every copy of the program puts it there; nothing
// when nothing is selected, as the edit control does.
void copy_selection(HWND edit)
{
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::u16string text = window_text(edit);
    if (end <= start || start >= text.size())
        return;
    put_on_clipboard(edit, std::u16string_view(text).substr(start, end - start));
}

LRESULT CALLBACK box_procedure(HWND edit, UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_COPY: // Ctrl+C, Ctrl+Insert and the box's menu
    case WM_CUT:  // Ctrl+X, Shift+Delete and the box's menu
        copy_selection(edit);
        if (message == WM_CUT && !(GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY))
            CallWindowProcW(edit_procedure, edit, WM_CLEAR, 0, 0);
        return 0;
    case WM_NCCALCSIZE: {
        const LRESULT result = CallWindowProcW(edit_procedure, edit, message, w, l);
        // Both forms of the message begin with the proposed client rectangle.
        RECT &client = *reinterpret_cast<RECT *>(l);
        const int spare = (client.bottom - client.top) - line_height(edit);
        if (spare > 1) {
            client.top += spare / 2;
            client.bottom -= spare - spare / 2;
        }
        return result;
    }
    case WM_NCHITTEST: {
        // A click in a band is a click in the box.
        const LRESULT hit = CallWindowProcW(edit_procedure, edit, message, w, l);
        return hit == HTNOWHERE || hit == HTBORDER ? HTCLIENT : hit;
    }
    case WM_NCPAINT: {
        const LRESULT result = CallWindowProcW(edit_procedure, edit, message, w, l);
        paint_bands(edit);
        return result;
    }
    default:
        return CallWindowProcW(edit_procedure, edit, message, w, l);
    }
}

LRESULT CALLBACK every_click_procedure(HWND button, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_LBUTTONDBLCLK)
        message = WM_LBUTTONDOWN;
    return CallWindowProcW(button_procedure, button, message, w, l);
}

} // namespace

void centre_text_vertically(HWND edit)
{
    subclass(edit, edit_procedure, box_procedure);
}

void refit_text_box(HWND edit)
{
    SetWindowPos(edit, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void press_on_every_click(HWND button)
{
    subclass(button, button_procedure, every_click_procedure);
}

} // namespace pelmora::win32
