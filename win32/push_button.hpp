#pragma once

#include <windows.h>

namespace pelmora::win32 {

// The button class takes a second click soon after the first as a double click, and an
// owner-drawn button then only notifies BN_DOUBLECLICKED: it is neither drawn pressed nor
// clicked. Windows' own push buttons take that click as a press; this gives an owner-drawn
// button the same, so that every click is drawn pressed and sends BN_CLICKED when released,
// however fast the clicks come.
void press_on_every_click(HWND button);

} // namespace pelmora::win32
