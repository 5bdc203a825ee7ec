#pragma once

// Which colours every control of a window table is drawn in. Outside Windows' high contrast
// these are the table's own; with high contrast on, the system's colours replace them all, so
// that the user's theme decides what stays readable. The choice is plain data in and out, so
// that it can be checked for every control and any theme; ask_system() alone asks Windows.

#include "form.hpp"

#include <cstdint>
#include <span>
#include <vector>

namespace pelmora::win32 {

// The system colours the windows draw with, as 0xRRGGBB.
struct system_colours {
    std::uint32_t window;      // COLOR_WINDOW: boxes, and the window behind its labels
    std::uint32_t window_text; // COLOR_WINDOWTEXT
    std::uint32_t button_face; // COLOR_BTNFACE: buttons and frames
    std::uint32_t button_text; // COLOR_BTNTEXT
    std::uint32_t highlight;   // COLOR_HIGHLIGHT: the focus mark of a button
    std::uint32_t gray_text;   // COLOR_GRAYTEXT: a disabled button's caption
};

// What the system says about colours: whether high contrast is on, and its colours.
struct system_answer {
    bool high_contrast = false;
    system_colours colours{};
};
system_answer ask_system();

struct colour_pair {
    std::uint32_t background;
    std::uint32_t text; // a frame's caption colour
    bool operator==(const colour_pair &) const = default;
};

struct palette {
    bool high_contrast = false;
    colour_pair window{};              // the client area
    std::vector<colour_pair> controls; // one per row of the table, in table order
    std::uint32_t focus = 0;           // high contrast only: the focus mark's colour
    std::uint32_t disabled_text = 0;
    bool operator==(const palette &) const = default;
};

// The one place that decides the colours of a window and its controls. Outside high contrast,
// a table colour is used as given; a colour the table leaves open is the system's colour of
// that kind of control, and a missing text colour is black only on a background the table
// fixes (on a system background it is the matching system text colour, never a fixed black).
// With high contrast on, boxes, the window and what stands on it take window and window
// text, frames and buttons (and what stands in a frame) button face and button text.
palette pick_palette(const window_row &window, std::span<const control_row> rows,
                     bool high_contrast, const system_colours &system);

} // namespace pelmora::win32
