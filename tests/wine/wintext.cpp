// What the end-to-end driver cannot learn through X about a Windows program under Wine. Run in
// the program's Wine prefix; TITLE is a top-level window's exact title, as UTF-8.
//
//   wintext client-area TITLE   prints "WIDTH HEIGHT TOP LEFT": the client area in pixels and
//                               where it starts inside the window (with Wine drawing the
//                               caption itself, the X window is the whole window)
//   wintext message TITLE       prints the texts of the window's controls that are not buttons:
//                               for a message box, its message. UTF-8, a line feed after each.
//   wintext active TITLE        exit code 0 when the window is Windows' foreground window, the
//                               one that has the keyboard; 1 when another one is
//   wintext ime TITLE [open]    prints 1 when the input method of the box with the focus is
//                               open, 0 when closed, -1 when there is none; "open" opens it
//                               first, as the user's IME key does. Asks a test build of the
//                               program (pelmora_test_hooks.exe), which alone answers.
//
// These wait up to 10 s for a visible window of that title. Exit code 0 on success.
//
//   wintext clipboard-text      writes the clipboard's 8-bit text (CF_TEXT) as it is, without
//                               its closing NUL: what a program that reads no Unicode pastes
//   wintext clipboard-locale    prints the clipboard's locale (CF_LOCALE) as 4 hex digits
//
// Exit code 1 when the clipboard has no such format.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void print(const std::wstring &w)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    std::fwrite(s.data(), 1, s.size(), stdout);
    std::fputc('\n', stdout);
}

// A window's text through WM_GETTEXT, which reaches into another process.
std::wstring text_of(HWND w)
{
    const LRESULT n = SendMessageW(w, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const LRESULT got = SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

struct search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND w, LPARAM p)
{
    auto *s = reinterpret_cast<search *>(p);
    if (IsWindowVisible(w) && text_of(w) == s->title) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND find_window(const std::wstring &title)
{
    for (int tries = 0; tries < 200; ++tries) {
        search s{title};
        EnumWindows(match, reinterpret_cast<LPARAM>(&s));
        if (s.found)
            return s.found;
        Sleep(50);
    }
    return nullptr;
}

BOOL CALLBACK print_control(HWND w, LPARAM)
{
    wchar_t kind[64] = {};
    GetClassNameW(w, kind, 64);
    if (lstrcmpiW(kind, L"Button") != 0 && IsWindowVisible(w)) {
        const std::wstring text = text_of(w);
        if (!text.empty())
            print(text);
    }
    return TRUE;
}

// The clipboard's data of one format, or nothing; the clipboard may be busy for a moment.
bool clipboard_data(UINT format, std::string &out)
{
    bool open = false;
    for (int tries = 0; tries < 50 && !(open = OpenClipboard(nullptr)); ++tries)
        Sleep(20);
    if (!open)
        return false;
    bool got = false;
    if (HANDLE data = GetClipboardData(format)) {
        if (const void *bytes = GlobalLock(data)) {
            out.assign(static_cast<const char *>(bytes), GlobalSize(data));
            GlobalUnlock(data);
            got = true;
        }
    }
    CloseClipboard();
    return got;
}

int clipboard(const std::wstring &verb)
{
    std::string data;
    if (verb == L"clipboard-text") {
        if (!clipboard_data(CF_TEXT, data))
            return 1;
        std::fwrite(data.data(), 1, data.find('\0') == std::string::npos ? data.size() : data.find('\0'),
                    stdout);
    } else {
        if (!clipboard_data(CF_LOCALE, data) || data.size() < sizeof(LCID))
            return 1;
        LCID locale = 0;
        std::memcpy(&locale, data.data(), sizeof locale);
        std::printf("%04lx\n", static_cast<unsigned long>(locale));
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    _setmode(_fileno(stdout), _O_BINARY); // "\n", not "\r\n"
    if (argc == 2 && (std::wstring(argv[1]) == L"clipboard-text" || std::wstring(argv[1]) == L"clipboard-locale"))
        return clipboard(argv[1]);
    const bool open = argc == 4 && std::wstring(argv[1]) == L"ime" && std::wstring(argv[3]) == L"open";
    if (argc != 3 && !open) {
        std::fprintf(stderr, "usage: wintext client-area|message|active|ime TITLE, wintext ime TITLE open,"
                             " wintext clipboard-text|clipboard-locale\n");
        return 2;
    }
    const std::wstring verb = argv[1];
    const std::wstring title = argv[2]; // Wine gives the UTF-8 arguments as UTF-16
    const HWND w = find_window(title);
    if (!w) {
        std::fprintf(stderr, "wintext: no visible window of that title\n");
        return 1;
    }
    if (verb == L"client-area") {
        RECT window, client;
        POINT origin{0, 0};
        if (!GetWindowRect(w, &window) || !GetClientRect(w, &client) || !ClientToScreen(w, &origin))
            return 1;
        std::printf("%ld %ld %ld %ld\n", client.right, client.bottom, origin.y - window.top,
                    origin.x - window.left);
    } else if (verb == L"message") {
        EnumChildWindows(w, print_control, 0);
    } else if (verb == L"active") {
        return GetForegroundWindow() == w ? 0 : 1;
    } else if (verb == L"ime") {
        // The same name as the program's test hook.
        const UINT probe = RegisterWindowMessageW(L"Pelmora input method probe");
        DWORD_PTR answer = 0;
        if (!probe || !SendMessageTimeoutW(w, probe, open ? 1 : 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
            return 1;
        std::printf("%d\n", static_cast<int>(static_cast<LRESULT>(answer)));
    } else {
        std::fprintf(stderr, "wintext: unknown verb\n");
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
