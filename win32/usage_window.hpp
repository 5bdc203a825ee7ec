#pragma once

#include "form_window.hpp"

#include <functional>

namespace pelmora::win32 {

// The usage window "frmTip": owned by the main window, so it has no task-bar button and goes
// when the main window goes. What its button ("OK", Enter and Esc as its default and cancel
// button) and its close box do is the owner's to say (usage_step): the window only reports them.
class usage_form final : public form_window {
public:
    using report = std::function<void(usage_event)>;
    explicit usage_form(report to_owner);

    bool open(HWND owner);
    // Shows the window with the focus on the first of its tab order ("OK").
    void show();
    // Hides the window; the keyboard goes back to the owner.
    void hide();

private:
    LRESULT handle(UINT message, WPARAM w, LPARAM l) override;

    report m_report;
};

} // namespace pelmora::win32
