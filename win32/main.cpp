#include "dpi.hpp"
#include "main_window.hpp"
#include "test_hooks.hpp"

#include <objbase.h>

namespace {

using namespace pelmora::win32;

int run(int show)
{
#ifdef PELMORA_TEST_HOOKS
    installed_test_hooks = test_build_hooks();
#endif
    become_dpi_aware();
    if (!register_classes(GetModuleHandleW(nullptr)))
        return 1;
    main_form window;
    if (!window.open(show))
        return 1;
    // COM serves only the screen readers' names: it is brought up once the window shows, so
    // that loading it does not hold the window back.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(com))
        window.name_controls();

    MSG message{};
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) {
            DestroyWindow(window.hwnd()); // ends the program in order, as the close box does
            break;
        }
        if (window.take_key(message))
            continue;
        // The dialog manager gives both windows Enter and Esc (as IDOK and IDCANCEL: each
        // window presses its table's default and cancel button, the main window none).
        if (HWND main = window.hwnd(); main && IsDialogMessageW(main, &message))
            continue;
        if (HWND usage = window.usage_hwnd(); usage && IsDialogMessageW(usage, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    return run(show);
}
