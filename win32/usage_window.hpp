#pragma once

#include "form_window.hpp"

namespace pelmora::win32 {

// The usage window "frmTip": owned by the main window, so it has no task-bar button and goes
// when the main window goes. "OK" hides it, Enter and Esc as its default and cancel button;
// its close box destroys it.
class usage_form final : public form_window {
public:
    usage_form();

    bool open(HWND owner);
    // Shows the window with the focus on the first of its tab order ("OK").
    void show();

private:
    LRESULT handle(UINT message, WPARAM w, LPARAM l) override;
    void dismiss();
};

} // namespace pelmora::win32
