#pragma once

// Where a test build of the program reaches inside it, for what Wine shows or does nowhere
// outside the process (tests/wine/test_hook.cpp sets the hooks; main() installs them in the
// test build alone). The shipped program leaves them empty.

#include "palette.hpp"

#include <windows.h>

namespace pelmora::win32 {

struct test_hooks {
    // Sees each message of a table window before the window does; true when it answered it
    // (with `result`).
    bool (*message)(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT &result) = nullptr;
    // Answers in the system's place what ask_system() asks; false: the system answers.
    bool (*system)(system_answer &answer) = nullptr;
};

inline test_hooks installed_test_hooks;

// The test build's hooks.
test_hooks test_build_hooks();

} // namespace pelmora::win32
