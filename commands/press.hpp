#pragma once

// What every button, menu command and the start-up timer of the main window does, written once
// for the three front-ends. A front-end builds its window from the tables (form.hpp), and on a
// click, a menu command or the timer calls press() or fire_timer1(): nothing more. What only
// the platform can do, it supplies through front_end.

#include "form.hpp"
#include "tally_state.hpp"

#include <string>
#include <string_view>

namespace pelmora {

// The platform's own work for the commands that reach beyond the window's boxes and messages.
class front_end {
public:
    virtual ~front_end() = default;

    // Clears the system clipboard and puts the text there as plain text; false when the system
    // refused (another program holds the clipboard, say).
    virtual bool put_on_clipboard(std::u16string_view text) = 0;
    // "終了": every window closes and the program ends; nothing is asked or saved.
    virtual void end_program() = 0;
    // "使い方を表示": the usage window goes through usage_step(…, usage_event::show).
    virtual void show_usage() = 0;

protected:
    front_end() = default;
    front_end(const front_end &) = default;
    front_end &operator=(const front_end &) = default;
};

// Everything a command works on: the window's boxes, the settlement record and the platform.
struct settlement_window {
    window_fields &fields;
    tally_state &state;
    front_end &platform;
};

// Runs the command a button or menu command is bound to, through run_command: a tally_error
// (a refused clipboard among them) is reported in a message box and the program goes on.
// Returns false when an error stopped the command.
bool press(const binding_row &binding, settlement_window w);

// "Timer1" has fired (once): the focus goes to timer1_target.
void fire_timer1(window_fields &w);

// A copy button: keeps the box's current text (edits included) in copy_buf and returns it
// for the clipboard.
const std::u16string &take_copy(const window_fields &w, tally_state &s, field box);

// Reports a copy that the clipboard refused, as every run-time error is reported. press()
// calls it for a clipboard that refuses at once; a page whose clipboard answers later calls it
// when the refusal comes.
void report_refused_copy(window_fields &w);

} // namespace pelmora
