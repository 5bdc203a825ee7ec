// Compiled only into the test build of the Windows program: does in the program's process
// what Windows does and Wine does not (see test_request.hpp), and tells what Wine shows nowhere
// outside it, through the program's test hooks (win32/test_hooks.hpp).
#include "test_request.hpp"

#include "test_hooks.hpp"

#include <imm.h>

#include <initializer_list>
#include <optional>

namespace pelmora::win32 {

namespace {

// The DPI a window was last moved to; also how the checks tell this build from the shipped one.
constexpr wchar_t last_dpi[] = L"pelmora test DPI";

// What the program is told about colours instead of the system's answer, once a check set it.
std::optional<system_answer> told_colours;

LRESULT move_to_dpi(HWND window, const test_request &request)
{
    RECT now{};
    GetWindowRect(window, &now);
    // What Windows proposes before asking: the window scaled as a whole, from the DPI it was
    // last moved to (Wine's own answer never changes).
    const auto told = reinterpret_cast<UINT_PTR>(GetPropW(window, last_dpi));
    const UINT old_dpi = told ? static_cast<UINT>(told) : GetDpiForWindow(window);
    SetPropW(window, last_dpi, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(request.dpi)));
    SIZE size{MulDiv(now.right - now.left, static_cast<int>(request.dpi), static_cast<int>(old_dpi)),
              MulDiv(now.bottom - now.top, static_cast<int>(request.dpi), static_cast<int>(old_dpi))};
    SendMessageW(window, WM_GETDPISCALEDSIZE, request.dpi, reinterpret_cast<LPARAM>(&size));
    RECT suggested{now.left + request.dx, now.top + request.dy, now.left + request.dx + size.cx,
                   now.top + request.dy + size.cy};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(request.dpi, request.dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    // What the window made to be painted is painted before the answer (nothing more is).
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    auto part = [](LONG v) { return static_cast<LRESULT>(static_cast<std::uint16_t>(v)); };
    return part(suggested.left) | part(suggested.top) << 16 | part(suggested.right) << 32
           | part(suggested.bottom) << 48;
}

BOOL CALLBACK tell_of_contrast(HWND window, LPARAM)
{
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

LRESULT set_contrast(const test_request &request)
{
    system_answer answer{request.high_contrast == 1,
                         {request.colours[0], request.colours[1], request.colours[2],
                          request.colours[3], request.colours[4], request.colours[5]}};
    told_colours.reset();
    if (request.high_contrast != 2)
        told_colours = answer;
    // As Windows tells every top-level window.
    EnumThreadWindows(GetCurrentThreadId(), tell_of_contrast, 0);
    return 1;
}

LRESULT icon_sizes(HWND window)
{
    LRESULT sizes = 0;
    for (const WPARAM which : {ICON_SMALL, ICON_BIG}) {
        const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
        ICONINFO info{};
        BITMAP bits{};
        if (icon && GetIconInfo(icon, &info)) {
            GetObjectW(info.hbmMask, sizeof bits, &bits);
            DeleteObject(info.hbmMask);
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
        }
        sizes |= static_cast<LRESULT>(bits.bmWidth & 0xFFFF) << (which == ICON_SMALL ? 0 : 16);
    }
    return sizes;
}

LRESULT answer_test_request(HWND window, const COPYDATASTRUCT &data)
{
    if (data.dwData != test_request_tag || data.cbData != sizeof(test_request) || !data.lpData)
        return 0;
    const auto &request = *static_cast<const test_request *>(data.lpData);
    switch (request.action) {
    case test_action::move_to_dpi:
        return move_to_dpi(window, request);
    case test_action::set_contrast:
        return set_contrast(request);
    case test_action::icon_sizes:
        return icon_sizes(window);
    }
    return 0;
}

// Wine shows the state of the input method nowhere outside the process, so wintext asks the
// window with this message: wParam 0 asks whether the input method of the box with the focus
// is open, 1 opens it first, as the user's IME key does. The answer: 1 open, 0 closed, -1
// when no box has the focus or it has no input context.
LRESULT input_method_probe(WPARAM w)
{
    HWND focus = GetFocus();
    wchar_t name[16] = {};
    const bool edit = focus && GetClassNameW(focus, name, 16) > 0 && lstrcmpiW(name, L"Edit") == 0;
    HIMC context = edit ? ImmGetContext(focus) : nullptr;
    if (!context)
        return -1;
    if (w == 1)
        ImmSetOpenStatus(context, TRUE);
    const LRESULT open = ImmGetOpenStatus(context) ? 1 : 0;
    ImmReleaseContext(focus, context);
    return open;
}

bool answer_message(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT &result)
{
    static const UINT probe = RegisterWindowMessageW(L"Pelmora input method probe");
    if (message == WM_COPYDATA)
        result = answer_test_request(window, *reinterpret_cast<const COPYDATASTRUCT *>(l));
    else if (probe && message == probe)
        result = input_method_probe(w);
    else
        return false;
    return true;
}

bool answer_colours(system_answer &answer)
{
    if (told_colours)
        answer = *told_colours;
    return told_colours.has_value();
}

} // namespace

test_hooks test_build_hooks()
{
    return {answer_message, answer_colours};
}

} // namespace pelmora::win32
