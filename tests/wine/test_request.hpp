#pragma once

// What the checks under Wine ask of a test build of the Windows program, for what Wine never
// does itself: a move to a screen of another DPI, and high contrast switched on or off. Sent
// by wintext as WM_COPYDATA to one of the program's windows and answered by test_hook.cpp,
// which the shipped program does not have.

#include <windows.h>

#include <cstdint>

namespace pelmora::win32 {

inline constexpr ULONG_PTR test_request_tag = 0x4d4c4550; // "PELM"

enum class test_action : std::uint32_t {
    // Windows' moves to a screen of `dpi`: WM_GETDPISCALEDSIZE, then WM_DPICHANGED with the
    // size answered, suggested `dx`, `dy` pixels off the window's corner. The answer is the
    // suggested rectangle, 16 bits each: left, top, right, bottom from the lowest bits up.
    move_to_dpi = 1,
    // From now on the program's question about colours is answered with `high_contrast` and
    // `colours` (RGB: window, window text, button face, button text, highlight, gray text),
    // then its windows hear of a change as from Windows; `high_contrast` 2 gives back the
    // system's own answer.
    set_contrast = 2,
    // The widths of the caption's small and big icons, in the low and the next 16 bits (an
    // icon's pixels cannot be read from another process under Wine).
    icon_sizes = 3,
};

struct test_request {
    test_action action;
    std::uint32_t dpi;
    std::int32_t dx, dy;
    std::uint32_t high_contrast;
    std::uint32_t colours[6];
};

} // namespace pelmora::win32
