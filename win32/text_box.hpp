#pragma once

#include <windows.h>

namespace pelmora::win32 {

// A one-line edit control draws its text at the top of its client area; the boxes of the
// window are taller than a line and show it in the middle, as the Qt window does. This gives
// the edit control a client area one line high, in the middle of the box: the bands above and
// below are painted in the box's colour and still take the box's clicks.
void centre_text_vertically(HWND edit);

// To be called after the box's size or font changed: the bands are measured again.
void refit_text_box(HWND edit);

} // namespace pelmora::win32
