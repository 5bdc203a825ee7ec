#pragma once

// Where the program's text boxes and buttons differ from Windows' own controls.

#include <windows.h>

namespace pelmora::win32 {

// A one-line edit control draws its text at the top of its client area; the boxes of the
// window are taller than a line and show it in the middle, as the Qt window does. This gives
// the edit control a client area one line high, in the middle of the box: the bands above and
// below are painted in the box's colour and still take the box's clicks. Copy and cut put the
// selection on the clipboard as every copy of the program does (put_on_clipboard).
void centre_text_vertically(HWND edit);

// To be called once the box has its size and font, and after either changed: the bands are
// measured again.
void refit_text_box(HWND edit);

// The button class takes a second click soon after the first as a double click, and an
// owner-drawn button then only notifies BN_DOUBLECLICKED: it is neither drawn pressed nor
// clicked. Windows' own push buttons take that click as a press; this gives an owner-drawn
// button the same, so that every click is drawn pressed and sends BN_CLICKED when released,
// however fast the clicks come.
void press_on_every_click(HWND button);

} // namespace pelmora::win32
