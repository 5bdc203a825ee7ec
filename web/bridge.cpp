// What the page calls in the WebAssembly core. The page keeps the real boxes: it hands their
// texts and the check box over, the call runs on the window-less model (press(), the dispatcher
// of the desktop programs), and the page takes back the texts, the focus move and the messages,
// which come at the end of a command, and does the platform's share that the call recorded.
// Texts cross as UTF-16 code units, unchanged: lone surrogates and all.

#include "memory_fields.hpp"
#include "press.hpp"

#include <emscripten/emscripten.h>

#include <string>

using namespace pelmora;

namespace {

// What only a browser can do, recorded for the page, which does it when pelmora_press() returns
// it, still within the click (a browser writes the clipboard only then). The page's clipboard
// answers later: a refusal comes back through pelmora_copy_refused().
enum class page_work { none, put_on_clipboard, end_program, show_usage };
std::u16string copied; // the text of the last put_on_clipboard, for pelmora_copied()

struct recorded_page final : front_end {
    page_work work = page_work::none;
    bool put_on_clipboard(std::u16string_view text) override
    {
        work = page_work::put_on_clipboard;
        copied = text;
        return true;
    }
    void end_program() override { work = page_work::end_program; }
    void show_usage() override { work = page_work::show_usage; }
};

struct settlement {
    memory_fields w;
    tally_state s;
} current;

// What the last call that gives a text gave; the page reads it before the next call.
std::u16string result;

const char16_t *give(std::u16string text)
{
    result = std::move(text);
    return result.c_str();
}

bool is_field(int f) { return f >= 0 && static_cast<std::size_t>(f) < field_count; }

// The window as a call finds it: the messages and focus moves of the call before are taken.
memory_fields &fields()
{
    current.w.messages.clear();
    current.w.focus_requests.clear();
    return current.w;
}

} // namespace

extern "C" {

// A fresh window and a zeroed record, as when the program starts.
EMSCRIPTEN_KEEPALIVE void pelmora_reset()
{
    current = settlement{};
}

// A box's text as the page shows it: `length` code units at `units`.
EMSCRIPTEN_KEEPALIVE void pelmora_set_text(int f, const char16_t *units, int length)
{
    if (is_field(f) && length >= 0)
        current.w.set_text(static_cast<field>(f), std::u16string_view(units, static_cast<std::size_t>(length)));
}

EMSCRIPTEN_KEEPALIVE void pelmora_set_orc_check(int state)
{
    current.w.set_orc_check(state);
}

EMSCRIPTEN_KEEPALIVE int pelmora_orc_check()
{
    return current.w.orc_check();
}

// Presses main_bindings()[binding]. Returns the page_work the command left for the page; the
// text for the clipboard is pelmora_copied().
EMSCRIPTEN_KEEPALIVE int pelmora_press(int binding)
{
    const auto bindings = main_bindings();
    recorded_page page;
    if (binding >= 0 && static_cast<std::size_t>(binding) < bindings.size())
        press(bindings[static_cast<std::size_t>(binding)], {fields(), current.s, page});
    return static_cast<int>(page.work);
}

EMSCRIPTEN_KEEPALIVE void pelmora_fire_timer1() { fire_timer1(fields()); }

EMSCRIPTEN_KEEPALIVE void pelmora_copy_refused() { report_refused_copy(fields()); }

// A box's text; its length in code units is pelmora_result_length().
EMSCRIPTEN_KEEPALIVE const char16_t *pelmora_text(int f)
{
    return give(is_field(f) ? current.w.text(static_cast<field>(f)) : std::u16string());
}

EMSCRIPTEN_KEEPALIVE const char16_t *pelmora_copied()
{
    return give(copied);
}

EMSCRIPTEN_KEEPALIVE int pelmora_result_length()
{
    return static_cast<int>(result.size());
}

EMSCRIPTEN_KEEPALIVE int pelmora_message_count()
{
    return static_cast<int>(current.w.messages.size());
}

EMSCRIPTEN_KEEPALIVE const char16_t *pelmora_message(int i)
{
    const auto &messages = current.w.messages;
    return give(i >= 0 && i < pelmora_message_count() ? messages[static_cast<std::size_t>(i)] : u"");
}

// Where the call put the focus last, as an index into the window fields; -1: nowhere.
EMSCRIPTEN_KEEPALIVE int pelmora_focus()
{
    const auto &moves = current.w.focus_requests;
    return moves.empty() ? -1 : static_cast<int>(index_of(moves.back()));
}

} // extern "C"
