#include "push_button.hpp"

namespace pelmora::win32 {

namespace {

// The button class's own procedure, the same for every button.
WNDPROC button_procedure = nullptr;

LRESULT CALLBACK every_click_procedure(HWND button, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_LBUTTONDBLCLK)
        message = WM_LBUTTONDOWN;
    return CallWindowProcW(button_procedure, button, message, w, l);
}

} // namespace

void press_on_every_click(HWND button)
{
    const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(button, GWLP_WNDPROC));
    if (!button_procedure)
        button_procedure = own;
    if (own && own == button_procedure)
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&every_click_procedure));
}

} // namespace pelmora::win32
