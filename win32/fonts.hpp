#pragma once

// The fonts the windows are drawn in, and labels fitted to their width in them.

#include <windows.h>

#include <string>

namespace pelmora::win32 {

// A font of the first gothic of gothic_families() that the system really has (Windows
// silently substitutes missing fonts), at that size and DPI.
HFONT make_gothic(double points, bool bold, UINT dpi);

// The letter spacing (SetTextCharacterExtra, negative) that makes a one-line text fit the
// width in the font; 0 when it fits as it is, or when fitting would squeeze the letters closer
// than label_squeeze_floor of their width (such a text is left to be cut off).
int spacing_to_fit(HDC dc, const std::wstring &text, HFONT font, int width);

} // namespace pelmora::win32
