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
//   wintext controls TITLE      prints "NAME LEFT TOP WIDTH HEIGHT" for every control of one of
//                               Pelmora's windows, in table order, from the client area's corner
//
// Against the test build of Pelmora (tests/wine/test_request.hpp), in its process:
//   wintext move TITLE DPI DX DY  a move to a screen of DPI, Windows' suggestion DX, DY pixels
//                               off the window's corner; fails unless the window is then exactly
//                               where suggested, of the size whose client area is the table's,
//                               with caption icons of that DPI's sizes
//   wintext contrast TITLE on|system  high contrast on in a theme of its own (below), or the
//                               system's own answer again, as a live change
//
//   wintext palette             checks the colours every control of both tables is given,
//                               with high contrast on and off, over several themes
//
// The window verbs wait up to 10 s for a visible window of that title. Exit code 0 on success.
//
//   wintext clipboard-text      writes the clipboard's 8-bit text (CF_TEXT) as it is, without
//                               its closing NUL: what a program that reads no Unicode pastes
//   wintext clipboard-locale    prints the clipboard's locale (CF_LOCALE) as 4 hex digits
//
// Exit code 1 when the clipboard has no such format.

#include "palette.hpp"
#include "test_request.hpp"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <tuple>
#include <vector>

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

// ---- Pelmora's own windows: which table a title names, and the controls' places.

const pelmora::window_row *table_of(const std::wstring &title)
{
    for (const pelmora::window_row *window : {&pelmora::main_window, &pelmora::usage_window}) {
        if (title == reinterpret_cast<const wchar_t *>(window->caption))
            return window;
    }
    std::fprintf(stderr, "wintext: not a window of Pelmora\n");
    return nullptr;
}

std::span<const pelmora::control_row> rows_of(const pelmora::window_row &window)
{
    return &window == &pelmora::main_window ? pelmora::main_controls() : pelmora::usage_controls();
}

// Pelmora numbers its controls by table row from here.
constexpr int first_control_id = 100;

struct found_control {
    int id;
    HWND window;
};

BOOL CALLBACK collect_control(HWND w, LPARAM p)
{
    reinterpret_cast<std::vector<found_control> *>(p)->push_back({GetDlgCtrlID(w), w});
    return TRUE;
}

void print_controls(HWND top, std::span<const pelmora::control_row> rows)
{
    std::vector<found_control> found;
    EnumChildWindows(top, collect_control, reinterpret_cast<LPARAM>(&found));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto it = std::find_if(found.begin(), found.end(), [&](const found_control &c) {
            return c.id == first_control_id + static_cast<int>(i);
        });
        if (it == found.end()) {
            std::printf("%s missing\n", rows[i].name);
            continue;
        }
        RECT r{};
        GetWindowRect(it->window, &r);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT *>(&r), 2);
        std::printf("%s %ld %ld %ld %ld\n", rows[i].name, r.left, r.top, r.right - r.left,
                    r.bottom - r.top);
    }
}

// ---- Requests to the test build.

LRESULT send_request(HWND w, const pelmora::win32::test_request &request)
{
    COPYDATASTRUCT data{pelmora::win32::test_request_tag, sizeof request,
                        const_cast<pelmora::win32::test_request *>(&request)};
    return SendMessageW(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

int move(HWND w, const pelmora::window_row &table, UINT dpi, int dx, int dy)
{
    pelmora::win32::test_request request{pelmora::win32::test_action::move_to_dpi, dpi, dx, dy, 0, {}};
    const auto answer = static_cast<std::uint64_t>(send_request(w, request));
    if (!answer) {
        std::fprintf(stderr, "wintext: not a test build of Pelmora\n");
        return 1;
    }
    auto part = [&](int i) { return static_cast<LONG>((answer >> (16 * i)) & 0xFFFF); };
    const RECT suggested{part(0), part(1), part(2), part(3)};
    RECT now{};
    GetWindowRect(w, &now);
    // The size of the window whose client area is the table's at that DPI, by Windows' metrics.
    RECT wanted{0, 0, pelmora::px(table.width, static_cast<int>(dpi)),
                pelmora::px(table.height, static_cast<int>(dpi))};
    AdjustWindowRectExForDpi(&wanted, static_cast<DWORD>(GetWindowLongPtrW(w, GWL_STYLE)),
                             GetMenu(w) != nullptr,
                             static_cast<DWORD>(GetWindowLongPtrW(w, GWL_EXSTYLE)), dpi);
    int failures = 0;
    if (!EqualRect(&now, &suggested)) {
        std::printf("the window is at %ld,%ld %ldx%ld, not where suggested: %ld,%ld %ldx%ld\n",
                    now.left, now.top, now.right - now.left, now.bottom - now.top, suggested.left,
                    suggested.top, suggested.right - suggested.left, suggested.bottom - suggested.top);
        ++failures;
    }
    if (suggested.right - suggested.left != wanted.right - wanted.left
        || suggested.bottom - suggested.top != wanted.bottom - wanted.top) {
        std::printf("the size answered for %u DPI is %ldx%ld, not %ldx%ld\n", dpi,
                    suggested.right - suggested.left, suggested.bottom - suggested.top,
                    wanted.right - wanted.left, wanted.bottom - wanted.top);
        ++failures;
    }
    // Both caption icons at the sizes of the new DPI.
    request.action = pelmora::win32::test_action::icon_sizes;
    const auto icons = static_cast<std::uint64_t>(send_request(w, request));
    for (const auto &[shift, metric, which] :
         {std::tuple{0, SM_CXSMICON, "small"}, std::tuple{16, SM_CXICON, "big"}}) {
        const auto got = static_cast<int>((icons >> shift) & 0xFFFF);
        if (const int want = GetSystemMetricsForDpi(metric, dpi); got != want) {
            std::printf("the %s icon is %d pixels wide, not %d\n", which, got, want);
            ++failures;
        }
    }
    return failures ? 1 : 0;
}

// A dark high-contrast theme whose every colour differs, so that a capture tells which one
// painted what: window, window text, button face, button text, highlight, gray text.
constexpr std::uint32_t probe_theme[6] = {0x000000, 0xFFFF00, 0x000080, 0xFFFFFF, 0x00FFFF, 0x00FF00};

int contrast(HWND w, const std::wstring &how)
{
    pelmora::win32::test_request request{pelmora::win32::test_action::set_contrast, 0, 0, 0, 2, {}};
    if (how == L"on") {
        request.high_contrast = 1;
        std::copy(std::begin(probe_theme), std::end(probe_theme), request.colours);
    } else if (how != L"system") {
        std::fprintf(stderr, "wintext: contrast on|system\n");
        return 2;
    }
    if (!send_request(w, request)) {
        std::fprintf(stderr, "wintext: not a test build of Pelmora\n");
        return 1;
    }
    return 0;
}

// ---- The colours of every control, without a window.

struct theme {
    const char *name;
    bool high_contrast;
    pelmora::win32::system_colours colours;
};

constexpr theme themes[] = {
    {"High Contrast Black", true, {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x1AEBFF, 0x3FF23F}},
    {"High Contrast White", true, {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0x37006E, 0x600000}},
    {"yellow on black", true, {0x000000, 0xFFFF00, 0x000000, 0xFFFF00, 0x00FFFF, 0x00FF00}},
    {"white on navy buttons", true, {0x000000, 0xFFFF00, 0x000080, 0xFFFFFF, 0x00FFFF, 0x00FF00}},
    {"standard", false, {0xFFFFFF, 0x000000, 0xF0F0F0, 0x000000, 0x0078D7, 0x6D6D6D}},
    {"dark, no high contrast", false, {0x202020, 0xFFFFFF, 0x333333, 0xFFFFFF, 0x0078D7, 0x808080}},
};

int check_palettes()
{
    int failures = 0;
    auto fail = [&](const theme &t, const char *window, const char *control, const char *what) {
        std::printf("%s, %s, %s: %s\n", t.name, window, control, what);
        ++failures;
    };
    for (const theme &t : themes) {
        for (const pelmora::window_row *window : {&pelmora::main_window, &pelmora::usage_window}) {
            const auto rows = rows_of(*window);
            const pelmora::win32::palette p =
                pelmora::win32::pick_palette(*window, rows, t.high_contrast, t.colours);
            if (p.controls.size() != rows.size()) {
                fail(t, window->name, "-", "not one colour pair per row");
                continue;
            }
            const auto &c = t.colours;
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const pelmora::control_row &row = rows[i];
                const pelmora::win32::colour_pair got = p.controls[i];
                if (got.text == got.background)
                    fail(t, window->name, row.name, "text in the background's colour");
                if (t.high_contrast) {
                    // Only the theme's colours, in its pairs.
                    const bool window_pair = got.background == c.window && got.text == c.window_text;
                    const bool button_pair = got.background == c.button_face && got.text == c.button_text;
                    if (!window_pair && !button_pair)
                        fail(t, window->name, row.name, "a colour not of the theme's pairs");
                    const bool boxlike = row.what == pelmora::kind::text_box
                                         || row.what == pelmora::kind::picture;
                    const bool buttonlike = row.what == pelmora::kind::button
                                            || row.what == pelmora::kind::frame;
                    if ((boxlike && !window_pair) || (buttonlike && !button_pair))
                        fail(t, window->name, row.name, "not the pair of its kind");
                    continue;
                }
                // Outside high contrast the table's colours hold as given.
                if (const auto back = pelmora::rgb_of(row.background); back && got.background != *back)
                    fail(t, window->name, row.name, "not the table's background");
                if (const auto fore = pelmora::rgb_of(row.foreground); fore && got.text != *fore)
                    fail(t, window->name, row.name, "not the table's text colour");
                if (row.background && !row.foreground && got.text != 0x000000)
                    fail(t, window->name, row.name, "not black on the table's background");
                // What the table leaves open is the system's: never a fixed black on a
                // background of the system's, which a theme may make dark.
                const bool box = row.what == pelmora::kind::text_box;
                if (!row.background && got.background != (box ? c.window : c.button_face))
                    fail(t, window->name, row.name, "not the system's background");
                if (!row.background && !row.foreground
                    && got.text != (box ? c.window_text : c.button_text))
                    fail(t, window->name, row.name, "not the system's text on the system's background");
            }
            if (t.high_contrast && (p.window.background != c.window || p.window.text != c.window_text))
                fail(t, window->name, "window", "not the theme's window colours");
            if (t.high_contrast && p.focus != c.highlight)
                fail(t, window->name, "focus", "not the theme's highlight");
            if (!t.high_contrast && window->background
                && p.window.background != *pelmora::rgb_of(window->background))
                fail(t, window->name, "window", "not the table's background");
        }
    }
    std::printf("%d theme(s), both windows: %d fault(s)\n", static_cast<int>(std::size(themes)),
                failures);
    return failures ? 1 : 0;
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
    if (argc == 2 && std::wstring(argv[1]) == L"palette")
        return check_palettes();
    if (argc == 2 && (std::wstring(argv[1]) == L"clipboard-text" || std::wstring(argv[1]) == L"clipboard-locale"))
        return clipboard(argv[1]);
    const bool open = argc == 4 && std::wstring(argv[1]) == L"ime" && std::wstring(argv[3]) == L"open";
    if (argc < 3) {
        std::fprintf(stderr, "usage: wintext client-area|message|active|ime|controls|move|contrast TITLE ...,"
                             " wintext clipboard-text|clipboard-locale|palette\n");
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
    } else if (verb == L"controls") {
        const pelmora::window_row *table = table_of(title);
        if (!table)
            return 2;
        print_controls(w, rows_of(*table));
    } else if (verb == L"move" && argc == 6) {
        const pelmora::window_row *table = table_of(title);
        if (!table)
            return 2;
        return move(w, *table, static_cast<UINT>(_wtoi(argv[3])), _wtoi(argv[4]), _wtoi(argv[5]));
    } else if (verb == L"contrast" && argc == 4) {
        return contrast(w, argv[3]);
    } else {
        std::fprintf(stderr, "wintext: unknown verb\n");
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
