#pragma once

// The windows of Pelmora as data: every control with its place, texts and colours, the tab
// order, the menus, which control runs which command, the start-up timer, the usage window's
// life, and what screen readers announce. Each front-end (Win32 on Windows, Qt on Linux, the
// web page) builds its windows by looping over these tables and runs their commands through
// press() (commands/press.hpp), so the three cannot drift apart. No toolkit is seen here.

#include "fields.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

enum class kind { frame, label, text_box, button, check_box, picture };

// ("small" and the like are macros in some Windows headers, hence the longer names.)
enum control_flag : unsigned {
    plain = 0,
    centred = 1,     // text boxes: centre the text
    bold_font = 2,   // the people count and the share for pasting stand out
    small_font = 4,  // 8.25 pt instead of 9
    flat = 8,     // output boxes: drawn without a border, since Tab stops at them
    digits = 16,  // number boxes: the input method is switched off whenever they take the focus
    sunken = 32,  // the usage window's white panel: a thin sunken border
    default_button = 64, // pressed by Enter (the usage window's "OK"; the main window has none)
    cancel_button = 128, // pressed by Esc (the usage window's "OK" too)
};

struct control_row {
    const char *name;
    kind what;
    const char *container; // "window" or the name of a frame or panel listed above it
    const char16_t *text;  // text boxes take their start text from the window fields
    int left, top, width, height; // twips, from the container's top-left corner
    const char *background;       // "#RRGGBB"; nullptr: the standard colour of the kind
    const char *foreground;       // text colour, or a frame's caption colour; nullptr: black
    unsigned flags;
};

struct window_row {
    const char *name;
    const char16_t *caption;
    int width, height;  // client area, twips
    int left, top;      // where the client area is first placed on the screen, twips
    const char *background;
};

struct menu_row {
    const char *menu;
    const char16_t *menu_caption;    // "&" marks the access key
    const char *command;
    const char16_t *command_caption;
};

// What a click on a button or a menu command does.
enum class command { leftover_tally, sales_tally, share_division, copy, clear_all, end_program, show_usage };

struct binding_row {
    const char *control; // a button or a menu command
    command does;
    field box; // the box a copy button copies; unused by the other commands
};

// The main window "top".
extern const window_row main_window;
std::span<const control_row> main_controls();
// The controls that take the focus, in the order Tab visits them; after the last it wraps.
std::span<const char *const> main_tab_order();
std::span<const menu_row> main_menus();
std::span<const binding_row> main_bindings();
// The binding of a button or menu command of the main window; nullptr for a name without one.
const binding_row *binding_of(std::string_view control);
// The one-shot start-up timer "Timer1": puts the focus in its target once, this long after the
// main window is made, so that the cursor waits in the first reward box.
inline constexpr int timer1_interval_ms = 200;
inline constexpr field timer1_target = field::syu1;

// The title of every message box.
inline constexpr std::u16string_view message_title = u"Pelmora";

// A label whose text is a little wider than its rectangle in the font a system has is set
// closer, down to this share of its width; one that still does not fit is left as it is.
inline constexpr double label_squeeze_floor = 0.85;

// The usage window "frmTip".
extern const window_row usage_window;
std::span<const control_row> usage_controls();
// The usage window's tab order: "OK" first, so it has the focus when the window appears.
std::span<const char *const> usage_tab_order();

// One window's tables together: what a front-end builds that window from.
struct window_tables {
    const window_row *window;
    std::span<const control_row> controls;
    std::span<const char *const> tab_order;
    std::span<const menu_row> menus;
    std::span<const binding_row> bindings; // empty: every button of the window closes it
};
window_tables main_tables();
window_tables usage_tables();

// What is wrong with a window's tables, one line per fault; empty when nothing is. The
// front-ends look names up as they build, so a misspelt name would only give a missing
// control or a dead command: a text box that is no window field, a container that is not a
// frame or panel above the row, a control reaching outside its container, an unknown,
// duplicate or focus-less name in the tab order, a control that takes the focus but is not in
// it, a binding or menu command named twice or naming nothing, more than one default or
// cancel button.
std::vector<std::string> table_faults(const window_tables &tables);

// Looks a control up by name; nullptr if the table has none of that name.
const control_row *find_control(std::span<const control_row> table, std::string_view name);

// What a screen reader announces for a control of the main window: an input box by the label
// that names it (its unit as the description), an output box by the line it holds, a copy
// button by the line it copies. Empty for controls that announce their own caption.
struct accessible_text {
    std::u16string name;
    std::u16string description;
    const char *label = nullptr; // the label that names an input box, where it has one
};
accessible_text accessible_text_of(std::string_view control);

// The usage window's life. It is made on the first show; its button (OK, and Enter and Esc,
// which press it) hides it; its close box destroys it, so that the next show makes it anew at
// its first place; it goes with the main window. Each front-end asks usage_step what to do
// with its window when one of these happens, and does just that.
enum class usage_state { absent, visible, hidden };
enum class usage_event { show, button, close_box, program_end };
enum class usage_action { none, make_and_show, show, hide, destroy };
struct usage_transition {
    usage_state from;
    usage_event on;
    usage_action does;
};
std::span<const usage_transition> usage_lifecycle();
// What the front-end does with its usage window, which is now in state `now`, when `on` happens.
usage_action usage_step(usage_state now, usage_event on);

// The Japanese proportional gothics the windows are drawn in, best first: the font the
// layout was designed for, then those a Windows or a Linux desktop may have instead.
std::span<const char16_t *const> gothic_families();
inline constexpr double standard_point_size = 9.0;
inline constexpr double small_point_size = 8.25;

// "#RRGGBB" as 0xRRGGBB; nothing for nullptr.
std::optional<std::uint32_t> rgb_of(const char *colour);

// Twips to pixels at a screen's dots per inch (1440 twips an inch), rounded to the nearest.
constexpr int px(int twips, int dpi = 96)
{
    return (twips * dpi + 720) / 1440;
}

} // namespace pelmora
