#pragma once

#include "fields.hpp"
#include "form_window.hpp"
#include "press.hpp"
#include "tally_state.hpp"
#include "usage_window.hpp"

#include <imm.h>

#include <array>
#include <memory>

namespace pelmora::win32 {

// The window "top": every box, button and menu of a settlement. Its text boxes are the
// window fields the tallies read and write; what its commands do is press()'s.
class main_form final : public form_window, public window_fields, public front_end {
public:
    main_form();
    ~main_form() override;

    // Creates and shows the window; false when Windows refuses.
    bool open(int show);

    // Gives each input box and copy button the name a screen reader announces, as in the Qt
    // window (accessible_text_of). Needs COM on this thread.
    void name_controls();

    // Keys the windows take before the dialog manager: Tab and Shift+Tab follow each window's
    // tab order (take_tab); Ctrl+A selects all of a box, which the classic edit control does
    // not. True when taken.
    bool take_key(const MSG &message);
    // The usage window while it exists, for the message loop.
    HWND usage_hwnd() const;

    std::u16string text(field f) const override;
    void set_text(field f, std::u16string_view text) override;
    int orc_check() const override;
    void set_focus(field f) override;
    void show_message(std::u16string_view text) override;

    bool put_on_clipboard(std::u16string_view text) override;
    void end_program() override;
    void show_usage() override;

private:
    LRESULT handle(UINT message, WPARAM w, LPARAM l) override;
    bool on_create();
    HMENU make_menus();
    void on_command(WPARAM w, LPARAM l);
    void release_digits_context();
    // Does with the usage window what usage_step says for its state now and the event.
    void on_usage(usage_event on);

    tally_state m_state;
    std::array<HWND, field_count> m_boxes{};
    HWND m_orc_check = nullptr;
    HIMC m_digits_context = nullptr; // the number boxes' input context
    std::unique_ptr<usage_form> m_usage;
};

} // namespace pelmora::win32
