// What the page calls in the WebAssembly core. The page keeps the real boxes; before a command
// it hands their texts and the check box over, runs the command here on the window-less model
// (the same tallies, the same run_command as the desktop programs), then takes back the texts,
// the messages to show and the focus moves asked for. Every message of a command comes at its
// end (a validation message, or the report of a tally_error), so the page shows them after it.
//
// Texts cross as UTF-16 code units, unchanged: lone surrogates and all.

#include "form.hpp"
#include "memory_fields.hpp"
#include "tallies.hpp"

#include <emscripten/emscripten.h>

#include <memory>
#include <string>

using namespace pelmora;

namespace {

struct settlement {
    memory_fields w;
    tally_state s;
};

std::unique_ptr<settlement> current = std::make_unique<settlement>();

// What the last call that gives a text gave; the page reads it before the next call.
std::u16string result;

const char16_t *give(std::u16string text)
{
    result = std::move(text);
    return result.c_str();
}

bool is_field(int f)
{
    return f >= 0 && static_cast<std::size_t>(f) < field_count;
}

} // namespace

extern "C" {

// A fresh window and a zeroed record, as when the program starts.
EMSCRIPTEN_KEEPALIVE void pelmora_reset()
{
    current = std::make_unique<settlement>();
}

// A box's text as the page shows it: `length` code units at `units`.
EMSCRIPTEN_KEEPALIVE void pelmora_set_text(int f, const char16_t *units, int length)
{
    if (is_field(f) && length >= 0)
        current->w.set_text(static_cast<field>(f), std::u16string_view(units, static_cast<std::size_t>(length)));
}

EMSCRIPTEN_KEEPALIVE void pelmora_set_orc_check(int state)
{
    current->w.set_orc_check(state);
}

// Runs the command of main_bindings()[binding]: 1 when it ran to its end, 0 when a tally_error
// stopped it (reported among the messages), -1 for a command that is the page's own (end,
// usage window) or no binding at all. A copy leaves the text to put on the clipboard for
// pelmora_copied().
EMSCRIPTEN_KEEPALIVE int pelmora_press(int binding)
{
    const auto bindings = main_bindings();
    if (binding < 0 || static_cast<std::size_t>(binding) >= bindings.size())
        return -1;
    const binding_row &b = bindings[static_cast<std::size_t>(binding)];
    memory_fields &w = current->w;
    tally_state &s = current->s;
    w.messages.clear();
    w.focus_requests.clear();
    switch (b.does) {
    case command::leftover_tally: return run_command(w, [&] { run_leftover_tally(w, s); });
    case command::sales_tally: return run_command(w, [&] { run_sales_tally(w, s); });
    case command::share_division: return run_command(w, [&] { run_share_division(w, s); });
    case command::clear_all: return run_command(w, [&] { run_clear_all(w); });
    case command::copy: return run_command(w, [&] { take_copy(w, s, b.box); });
    case command::end_program:
    case command::show_usage: break;
    }
    return -1;
}

// A box's text; its length in code units is pelmora_result_length().
EMSCRIPTEN_KEEPALIVE const char16_t *pelmora_text(int f)
{
    return give(is_field(f) ? current->w.text(static_cast<field>(f)) : std::u16string());
}

EMSCRIPTEN_KEEPALIVE const char16_t *pelmora_copied()
{
    return give(current->s.copy_buf);
}

EMSCRIPTEN_KEEPALIVE int pelmora_result_length()
{
    return static_cast<int>(result.size());
}

EMSCRIPTEN_KEEPALIVE int pelmora_message_count()
{
    return static_cast<int>(current->w.messages.size());
}

EMSCRIPTEN_KEEPALIVE const char16_t *pelmora_message(int i)
{
    const auto &messages = current->w.messages;
    return give(i >= 0 && static_cast<std::size_t>(i) < messages.size() ? messages[static_cast<std::size_t>(i)]
                                                                        : std::u16string());
}

EMSCRIPTEN_KEEPALIVE int pelmora_focus_count()
{
    return static_cast<int>(current->w.focus_requests.size());
}

// The field the command asked the focus for, as an index into the window fields.
EMSCRIPTEN_KEEPALIVE int pelmora_focus(int i)
{
    const auto &moves = current->w.focus_requests;
    return i >= 0 && static_cast<std::size_t>(i) < moves.size() ? static_cast<int>(index_of(moves[static_cast<std::size_t>(i)]))
                                                                : -1;
}

} // extern "C"
