#include "clipboard.hpp"

#include <cstring>
#include <string>

namespace pelmora::win32 {

namespace {

constexpr UINT shift_jis = 932;
constexpr LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);

// The bytes in movable memory, as the clipboard takes them; nullptr when there is no memory.
HGLOBAL global_copy(const void *data, std::size_t bytes)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void *target = memory ? GlobalLock(memory) : nullptr;
    if (!target) {
        if (memory)
            GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(target, data, bytes);
    GlobalUnlock(memory);
    return memory;
}

// Once set, the memory belongs to the clipboard; what was refused is freed here.
bool set_data(UINT format, HGLOBAL memory)
{
    if (memory && SetClipboardData(format, memory))
        return true;
    if (memory)
        GlobalFree(memory);
    return false;
}

// The text in code page 932, with its closing NUL; a letter Shift_JIS lacks becomes "?".
std::string in_shift_jis(const std::wstring &text)
{
    const int bytes = WideCharToMultiByte(shift_jis, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(shift_jis, 0, text.c_str(), -1, out.data(), bytes, nullptr, nullptr);
    return out;
}

} // namespace

bool put_on_clipboard(HWND owner, std::u16string_view text)
{
    // Another program may hold the clipboard for a moment: ask again a few times.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !(open = OpenClipboard(owner)); ++attempt)
        Sleep(20);
    if (!open)
        return false;
    bool done = EmptyClipboard();
    if (done) {
        const std::wstring unicode(reinterpret_cast<const wchar_t *>(text.data()), text.size());
        done = set_data(CF_UNICODETEXT,
                        global_copy(unicode.c_str(), (unicode.size() + 1) * sizeof(wchar_t)));
        // The locale also tells Windows which code page to make the other text forms in.
        set_data(CF_LOCALE, global_copy(&japanese, sizeof japanese));
        const std::string ansi = in_shift_jis(unicode);
        if (done && !ansi.empty())
            set_data(CF_TEXT, global_copy(ansi.data(), ansi.size()));
    }
    CloseClipboard();
    return done;
}

} // namespace pelmora::win32
