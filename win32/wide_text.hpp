#pragma once

// The tables' UTF-16 texts as Windows' wide strings (wchar_t is 16 bits on Windows), and back.

#include <windows.h>

#include <string>
#include <string_view>

namespace pelmora::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t *wide(const char16_t *text)
{
    return reinterpret_cast<const wchar_t *>(text);
}

inline std::wstring wide(std::u16string_view text)
{
    return {reinterpret_cast<const wchar_t *>(text.data()), text.size()};
}

// The text a window (a box, say) shows.
inline std::u16string window_text(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int got = GetWindowTextW(window, reinterpret_cast<wchar_t *>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

} // namespace pelmora::win32
