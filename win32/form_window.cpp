#include "form_window.hpp"

#include "controls.hpp"
#include "dpi.hpp"
#include "fonts.hpp"
#include "resource.h"
#include "test_hooks.hpp"
#include "wide_text.hpp"

#include <algorithm>
#include <utility>

namespace pelmora::win32 {

namespace {

const wchar_t *class_of(kind what)
{
    switch (what) {
    case kind::frame:
    case kind::picture:
        return frame_class;
    case kind::label:
        return L"STATIC";
    case kind::text_box:
        return L"EDIT";
    case kind::button:
    case kind::check_box:
        return L"BUTTON";
    }
    return L"STATIC";
}

DWORD style_of(const control_row &row)
{
    switch (row.what) {
    case kind::frame:
    case kind::picture:
        return 0;
    case kind::label:
        // Labels are one line each; what does not fit is cut off, never wrapped.
        return SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    case kind::text_box:
        return WS_TABSTOP | ES_AUTOHSCROLL | ((row.flags & centred) ? ES_CENTER : ES_LEFT);
    case kind::button:
        // Classic push buttons ignore face colours: these draw themselves (draw_button).
        return WS_TABSTOP | BS_OWNERDRAW;
    case kind::check_box:
        return WS_TABSTOP | BS_AUTOCHECKBOX;
    }
    return 0;
}

DWORD ex_style_of(const control_row &row)
{
    switch (row.what) {
    case kind::frame:
    case kind::picture:
        // The dialog manager looks into a frame for the controls Tab and Enter concern.
        return WS_EX_CONTROLPARENT;
    case kind::text_box:
        return (row.flags & flat) ? 0 : WS_EX_CLIENTEDGE;
    default:
        return 0;
    }
}

} // namespace

bool register_classes(HINSTANCE instance)
{
    const int big = GetSystemMetrics(SM_CXICON);
    const int small = GetSystemMetrics(SM_CXSMICON);
    WNDCLASSEXW top{};
    top.cbSize = sizeof top;
    top.lpfnWndProc = &form_window::procedure;
    top.hInstance = instance;
    top.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    top.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(PELMORA_ICON), IMAGE_ICON, big, big, LR_SHARED));
    top.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(PELMORA_ICON), IMAGE_ICON, small, small, LR_SHARED));
    top.lpszClassName = main_class;
    if (!RegisterClassExW(&top))
        return false;
    top.lpszClassName = usage_class;
    if (!RegisterClassExW(&top))
        return false;

    WNDCLASSEXW frame{};
    frame.cbSize = sizeof frame;
    // Resized frames paint themselves whole: their edge and caption depend on their size.
    frame.style = CS_HREDRAW | CS_VREDRAW;
    frame.lpfnWndProc = &form_window::frame_procedure;
    frame.hInstance = instance;
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.lpszClassName = frame_class;
    return RegisterClassExW(&frame) != 0;
}

form_window::form_window(std::span<const control_row> rows, std::span<const char *const> tab_order)
    : m_rows(rows), m_tab_names(tab_order)
{
}

form_window::~form_window()
{
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

bool form_window::create(const wchar_t *window_class, const window_row &window, DWORD style,
                         HWND owner, HMENU menu)
{
    m_window = &window;
    CreateWindowExW(0, window_class, wide(window.caption), style, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, owner, menu, GetModuleHandleW(nullptr), this);
    if (!m_hwnd) // not made, or not all its controls (WM_CREATE refused it)
        return false;
    SetWindowPos(m_hwnd, nullptr, m_look->px(window.left), m_look->px(window.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool form_window::build()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_look = std::make_unique<look>(dpi_of(m_hwnd));
    const system_answer system = ask_system();
    m_palette = pick_palette(*m_window, m_rows, system.high_contrast, system.colours);
    m_controls.clear();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const control_row &row = m_rows[i];
        HWND parent = std::string_view(row.container) == "window" ? m_hwnd : control(row.container);
        const wchar_t *text = row.what == kind::text_box || !row.text ? L"" : wide(row.text);
        const auto id = static_cast<INT_PTR>(first_control_id + i);
        // Where the table lets two controls overlap by a pixel (a label and the box it names),
        // each paints only where the other is not on top: the pixel looks the same whichever
        // of the two is painted last.
        const DWORD style = style_of(row) | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        const look &l = *m_look;
        HWND h = CreateWindowExW(ex_style_of(row), class_of(row.what), text, style, l.px(row.left),
                                 l.px(row.top), l.px(row.width), l.px(row.height), parent,
                                 reinterpret_cast<HMENU>(id), instance, nullptr);
        if (h && row.what == kind::text_box)
            centre_text_vertically(h);
        else if (h && row.what == kind::button)
            press_on_every_click(h);
        m_controls.push_back(h);
    }
    m_tab_order.clear();
    for (const char *name : m_tab_names) {
        if (HWND h = control(name))
            m_tab_order.push_back(h);
    }
    lay_out(true);
    set_client_size(m_hwnd, m_look->px(m_window->width), m_look->px(m_window->height), m_look->dpi());
    return std::find(m_controls.begin(), m_controls.end(), nullptr) == m_controls.end();
}

void form_window::lay_out(bool made_in_place)
{
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const control_row &row = m_rows[i];
        HWND h = m_controls[i];
        if (!h)
            continue;
        // Not drawn here: everything is repainted once all is in place.
        if (!made_in_place)
            SetWindowPos(h, nullptr, m_look->px(row.left), m_look->px(row.top), m_look->px(row.width),
                         m_look->px(row.height), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(m_look->font(row.flags)), FALSE);
        // After the font: the line the box shows is measured in it.
        if (row.what == kind::text_box)
            refit_text_box(h);
    }
    // No font may cut a caption off, as in the Qt window: long labels are squeezed a little.
    m_spacing.assign(m_rows.size(), 0);
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            const control_row &row = m_rows[i];
            if (row.what == kind::label && row.text)
                m_spacing[i] = spacing_to_fit(dc, wide(row.text), m_look->font(row.flags),
                                              m_look->px(row.width));
        }
        DeleteDC(dc);
    }
    for (const WPARAM which : {ICON_SMALL, ICON_BIG}) {
        const int size = metric_at(which == ICON_SMALL ? SM_CXSMICON : SM_CXICON, m_look->dpi());
        SendMessageW(m_hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(m_look->icon(size)));
    }
}

void form_window::change_dpi(UINT dpi, const RECT &suggested)
{
    // The old look (fonts, brushes, icons) goes only once nothing uses it any more.
    const std::unique_ptr<look> old = std::exchange(m_look, std::make_unique<look>(dpi));
    // Where Windows suggests, as it is: a size of the window's own choice, set from its
    // corner, could put it back on the other screen and make it bounce between the two.
    SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    lay_out(false);
    repaint_all();
}

void form_window::refresh_colours()
{
    const system_answer system = ask_system();
    palette fresh = pick_palette(*m_window, m_rows, system.high_contrast, system.colours);
    if (fresh == m_palette)
        return;
    m_palette = std::move(fresh);
    repaint_all();
}

void form_window::repaint_all()
{
    // The window clips its children, which keep their old pixels when moved, resized or given
    // a font; every one of them, frames and the boxes' edges too, is painted anew.
    RedrawWindow(m_hwnd, nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

HWND form_window::control(std::string_view name) const
{
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        if (m_rows[i].name == name)
            return m_controls[i];
    }
    return nullptr;
}

const control_row *form_window::row_of_id(int id) const
{
    const int index = id - first_control_id;
    if (index < 0 || static_cast<std::size_t>(index) >= m_controls.size())
        return nullptr;
    return &m_rows[static_cast<std::size_t>(index)];
}

const control_row *form_window::row_of(HWND control) const
{
    if (!control)
        return nullptr;
    const control_row *row = row_of_id(GetDlgCtrlID(control));
    return row && m_controls[static_cast<std::size_t>(row - m_rows.data())] == control ? row : nullptr;
}

HWND form_window::first_in_tab_order() const
{
    for (HWND h : m_tab_order) {
        if (GetWindowLongPtrW(h, GWL_STYLE) & WS_TABSTOP)
            return h;
    }
    return nullptr;
}

const control_row *form_window::clicked_button(WPARAM w, LPARAM l) const
{
    const int id = LOWORD(w);
    const control_row *row = nullptr;
    if (id == IDOK || id == IDCANCEL)
        row = row_with(id == IDOK ? default_button : cancel_button);
    else if (HIWORD(w) == BN_CLICKED)
        row = row_of(reinterpret_cast<HWND>(l));
    return row && row->what == kind::button ? row : nullptr;
}

const control_row *form_window::row_with(unsigned flag) const
{
    const auto it = std::find_if(m_rows.begin(), m_rows.end(),
                                 [flag](const control_row &r) { return r.flags & flag; });
    return it == m_rows.end() ? nullptr : &*it;
}

bool form_window::take_tab(const MSG &message)
{
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || m_tab_order.empty()
        || key_down(VK_CONTROL) || key_down(VK_MENU))
        return false;
    HWND focus = GetFocus();
    if (!focus || !IsChild(m_hwnd, focus))
        return false;
    const std::size_t count = m_tab_order.size();
    std::size_t at = count; // not in the order: Tab starts at the first, Shift+Tab at the last
    for (std::size_t i = 0; i < count; ++i) {
        if (m_tab_order[i] == focus)
            at = i;
    }
    const bool back = key_down(VK_SHIFT);
    HWND target = nullptr;
    for (std::size_t step = 1; step <= count && !target; ++step) {
        const std::size_t next = at == count ? (back ? count - step : step - 1)
                                             : (back ? (at + count - step) % count : (at + step) % count);
        HWND h = m_tab_order[next];
        if ((GetWindowLongPtrW(h, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(h) && IsWindowEnabled(h))
            target = h;
    }
    if (!target)
        return true;
    // The keyboard is in use: focus rectangles show from now on, as the dialog manager does.
    SendMessageW(m_hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    SetFocus(target);
    // As in a dialog, a box reached by Tab has all its text selected.
    if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(target, EM_SETSEL, 0, -1);
    return true;
}

form_window *form_window::of(HWND window)
{
    return window ? reinterpret_cast<form_window *>(GetWindowLongPtrW(window, GWLP_USERDATA))
                  : nullptr;
}

colour_pair form_window::colours_of(const control_row &row) const
{
    const auto index = static_cast<std::size_t>(&row - m_rows.data());
    return index < m_palette.controls.size() ? m_palette.controls[index] : m_palette.window;
}

LRESULT form_window::colour_of(HDC dc, HWND control)
{
    const control_row *row = row_of(control);
    if (!row || !m_look)
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    const colour_pair colours = colours_of(*row);
    SetTextColor(dc, colour_ref(colours.text));
    SetBkColor(dc, colour_ref(colours.background));
    if (const auto index = static_cast<std::size_t>(row - m_rows.data()); index < m_spacing.size())
        SetTextCharacterExtra(dc, m_spacing[index]);
    return reinterpret_cast<LRESULT>(m_look->brush(colours.background));
}

LRESULT form_window::answer(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return colour_of(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
    case WM_DRAWITEM: {
        const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(l);
        const control_row *row = row_of(item.hwndItem);
        if (!row || row->what != kind::button || !m_look)
            break;
        draw_button(item, *row, colours_of(*row), m_palette, *m_look);
        return TRUE;
    }
    case WM_ERASEBKGND: {
        if (!m_look)
            break;
        RECT area{};
        GetClientRect(m_hwnd, &area);
        FillRect(reinterpret_cast<HDC>(w), &area, m_look->brush(m_palette.window.background));
        return 1;
    }
    case WM_GETMINMAXINFO: {
        // Windows caps a window at the screen's size; the client area stays whole even on a
        // screen too small for it, as its size is fixed by the layout.
        RECT outer{}, client{};
        if (!m_look || !GetWindowRect(m_hwnd, &outer) || !GetClientRect(m_hwnd, &client))
            break;
        auto &info = *reinterpret_cast<MINMAXINFO *>(l);
        const LONG width = m_look->px(m_window->width) + (outer.right - outer.left) - client.right;
        const LONG height = m_look->px(m_window->height) + (outer.bottom - outer.top) - client.bottom;
        info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, width);
        info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, height);
        return 0;
    }
    case DM_GETDEFID: {
        // What Enter presses, asked by the dialog manager: the table's default button, if any.
        const control_row *row = row_with(default_button);
        return row ? MAKELRESULT(first_control_id + (row - m_rows.data()), DC_HASDEFID) : 0;
    }
    case WM_GETDPISCALEDSIZE: {
        // About to move to a screen of another DPI: the window's size there is the one whose
        // client area is the layout's at that DPI, and Windows suggests a place of that size.
        if (!m_look)
            break;
        const auto dpi = static_cast<UINT>(w);
        const int width = pelmora::px(m_window->width, static_cast<int>(dpi));
        const int height = pelmora::px(m_window->height, static_cast<int>(dpi));
        *reinterpret_cast<SIZE *>(l) = window_size_for(m_hwnd, width, height, dpi);
        return TRUE;
    }
    case WM_DPICHANGED:
        // The new DPI comes with the message (the same for both axes), as GetDpiForWindow
        // does not on Windows 8.1 and early Windows 10.
        if (!m_look)
            break;
        change_dpi(LOWORD(w), *reinterpret_cast<const RECT *>(l));
        return 0;
    case WM_SYSCOLORCHANGE:
        refresh_colours();
        break;
    case WM_SETTINGCHANGE:
        // High contrast switched on or off, or its theme changed.
        if (w == SPI_SETHIGHCONTRAST || w == 0)
            refresh_colours();
        break;
    case WM_ACTIVATE:
        if (LOWORD(w) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(m_hwnd, focus))
                m_last_focus = focus;
            break;
        }
        [[fallthrough]];
    case WM_SETFOCUS:
        // Back from a message box or another program: the control that had the focus gets it.
        if (m_last_focus && IsWindow(m_last_focus) && IsChild(m_hwnd, m_last_focus)) {
            SetFocus(m_last_focus);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, w, l);
}

LRESULT CALLBACK form_window::procedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    form_window *self = of(window);
    if (message == WM_NCCREATE) {
        self = static_cast<form_window *>(reinterpret_cast<CREATESTRUCTW *>(l)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_hwnd = window;
    }
    if (!self)
        return DefWindowProcW(window, message, w, l);
    if (LRESULT result = 0; installed_test_hooks.message
                            && installed_test_hooks.message(window, message, w, l, result))
        return result;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->m_controls.clear();
        return DefWindowProcW(window, message, w, l);
    }
    return self->handle(message, w, l);
}

LRESULT CALLBACK form_window::frame_procedure(HWND frame, UINT message, WPARAM w, LPARAM l)
{
    form_window *top = of(GetAncestor(frame, GA_ROOT));
    if (!top)
        return DefWindowProcW(frame, message, w, l);
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT fills the whole frame
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(frame, &paint);
        if (const control_row *row = top->row_of(frame); dc && row && top->m_look)
            paint_container(frame, dc, *row, top->colours_of(*row), *top->m_look);
        EndPaint(frame, &paint);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        // A frame answers for its children, from their rows.
        return top->colour_of(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
    case WM_COMMAND:
    case WM_DRAWITEM:
        // Commands and button faces are the top window's business.
        return SendMessageW(top->m_hwnd, message, w, l);
    default:
        return DefWindowProcW(frame, message, w, l);
    }
}

} // namespace pelmora::win32
