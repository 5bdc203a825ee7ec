#include "usage_window.hpp"

#include <utility>

namespace pelmora::win32 {

usage_form::usage_form(report to_owner)
    : form_window(usage_controls(), usage_tab_order()), m_report(std::move(to_owner))
{
}

bool usage_form::open(HWND owner)
{
    // A caption with a close box; neither minimise nor maximise, nor a sizing border.
    return create(usage_class, pelmora::usage_window, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                  owner, nullptr);
}

void usage_form::show()
{
    HWND first = first_in_tab_order();
    m_last_focus = first;
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(first);
}

void usage_form::hide()
{
    ShowWindow(hwnd(), SW_HIDE);
    // The keyboard goes back to the main window, where the user works.
    if (HWND owner = GetWindow(hwnd(), GW_OWNER))
        SetForegroundWindow(owner);
}

LRESULT usage_form::handle(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_CREATE:
        return build() ? 0 : -1;
    case WM_COMMAND:
        // Every button is the window's button, Enter and Esc through its default and cancel button.
        if (clicked_button(w, l)) {
            m_report(usage_event::button);
            return 0;
        }
        break;
    case WM_CLOSE:
        m_report(usage_event::close_box);
        return 0;
    default:
        break;
    }
    return answer(message, w, l);
}

} // namespace pelmora::win32
