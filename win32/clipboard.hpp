#pragma once

#include <windows.h>

#include <string_view>

namespace pelmora::win32 {

// Clears the clipboard, then puts the text there: as Unicode text, unchanged, and as 8-bit
// text in Shift_JIS (code page 932) with the Japanese locale beside it. Windows would make the
// 8-bit text in the code page of the input language active at the moment of copying, and an
// English keyboard turns every Japanese letter into "?" for the programs that read 8-bit text
// (the game's chat is one). False when the clipboard was refused.
bool put_on_clipboard(HWND owner, std::u16string_view text);

} // namespace pelmora::win32
