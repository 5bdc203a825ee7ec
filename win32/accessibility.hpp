#pragma once

#include <windows.h>

#include <string_view>

namespace pelmora::win32 {

// What a screen reader announces for a control: its name and, where not empty, its
// description, set through Microsoft Active Accessibility's dynamic annotation. Needs COM on
// the calling thread; where the service is missing, controls keep their default names (an
// input box: the label created just before it). False when the name was not set.
bool set_accessible_text(HWND control, std::u16string_view name, std::u16string_view description);

// Takes the annotations off again and lets the service go; for when the window goes (the
// annotations live outside the window).
void clear_accessible_texts();

} // namespace pelmora::win32
