#include "press.hpp"

#include "numbers.hpp"
#include "tallies.hpp"

namespace pelmora {

namespace {

[[noreturn]] void refuse_copy()
{
    throw tally_error(error_kind::clipboard_refused);
}

} // namespace

const std::u16string &take_copy(const window_fields &w, tally_state &s, field box)
{
    s.copy_buf = w.text(box);
    return s.copy_buf;
}

bool press(const binding_row &binding, settlement_window w)
{
    return run_command(w.fields, [&] {
        switch (binding.does) {
        case command::leftover_tally: return run_leftover_tally(w.fields, w.state);
        case command::sales_tally: return run_sales_tally(w.fields, w.state);
        case command::share_division: return run_share_division(w.fields, w.state);
        case command::clear_all: return run_clear_all(w.fields);
        case command::end_program: return w.platform.end_program();
        case command::show_usage: return w.platform.show_usage();
        case command::copy:
            if (!w.platform.put_on_clipboard(take_copy(w.fields, w.state, binding.box)))
                refuse_copy();
            return;
        }
    });
}

void fire_timer1(window_fields &w)
{
    run_command(w, [&w] { w.set_focus(timer1_target); });
}

void report_refused_copy(window_fields &w)
{
    run_command(w, refuse_copy);
}

} // namespace pelmora
