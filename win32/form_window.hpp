#pragma once

// A top-level window built from a control table: one child window per row, placed in twips
// scaled to the window's DPI, coloured from the rows. The main window and the usage window
// both derive from it; each adds its own commands.

#include "form.hpp"
#include "paint.hpp"

#include <windows.h>

#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace pelmora::win32 {

// Window classes: the two top-level windows and the frame (a container that paints itself).
inline constexpr wchar_t main_class[] = L"PelmoraMain";
inline constexpr wchar_t usage_class[] = L"PelmoraUsage";
inline constexpr wchar_t frame_class[] = L"PelmoraFrame";

// Registers the three window classes; false (with GetLastError) when Windows refuses.
bool register_classes(HINSTANCE instance);

// Control IDs are the row's index plus this: never 1 or 2 (IDOK, IDCANCEL), which the dialog
// manager sends for Enter and Esc.
inline constexpr int first_control_id = 100;

class form_window {
public:
    form_window(const form_window &) = delete;
    form_window &operator=(const form_window &) = delete;

    // The window; nullptr once Windows has destroyed it.
    HWND hwnd() const { return m_hwnd; }

    // Tab and Shift+Tab in the window follow its table's tab order, which crosses frames as no
    // creation order can, passing over controls that take no focus. True when taken.
    bool take_tab(const MSG &message);

protected:
    form_window(std::span<const control_row> rows, std::span<const char *const> tab_order);
    virtual ~form_window();

    // Creates the window of the class; the controls are made in its WM_CREATE (build()).
    bool create(const wchar_t *window_class, const window_row &window, DWORD style,
                HWND owner, HMENU menu);
    // One child window per row, in table order, each in its container, placed and sized at the
    // window's DPI; then the client area. False when Windows refused a control: WM_CREATE then
    // refuses the window, so that no half-built window shows.
    bool build();

    HWND control(std::string_view name) const;
    const control_row *row_of(HWND control) const;
    const control_row *row_of_id(int id) const;
    // The first control of the tab order that takes the focus; nullptr when none does.
    HWND first_in_tab_order() const;
    // The button that a WM_COMMAND clicks, or nullptr. Enter and Esc come from the dialog
    // manager as IDOK and IDCANCEL, with the focused control or with no window (no control
    // has those IDs): they click the button the table makes the default or the cancel button,
    // and nothing where it makes none, as in the main window.
    const control_row *clicked_button(WPARAM w, LPARAM l) const;
    static bool key_down(int key) { return GetKeyState(key) & 0x8000; }

    // The window's own messages; what it does not handle goes to answer().
    virtual LRESULT handle(UINT message, WPARAM w, LPARAM l) = 0;
    // What every table window answers alike: colours, button faces, background, moves to a
    // screen of another DPI, switches of high contrast, and the focus kept across activations.
    LRESULT answer(UINT message, WPARAM w, LPARAM l);

    // The control that had the focus when the window was last deactivated; it gets it back.
    HWND m_last_focus = nullptr;

private:
    friend bool register_classes(HINSTANCE instance);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK frame_procedure(HWND frame, UINT message, WPARAM w, LPARAM l);
    static form_window *of(HWND window);
    LRESULT colour_of(HDC dc, HWND control);
    colour_pair colours_of(const control_row &row) const;
    // The row with that flag (default_button, cancel_button); nullptr when none has it.
    const control_row *row_with(unsigned flag) const;
    // Everything at the look's DPI: each control placed and sized (unless `made_in_place`) and
    // given its font, the labels fitted to their widths, the caption's small and big icons.
    void lay_out(bool made_in_place);
    // Moved to a screen of that DPI: the window goes where Windows suggests, and everything in
    // it is made, placed and painted anew at the new DPI.
    void change_dpi(UINT dpi, const RECT &suggested);
    // The colours again from the system's answer; everything is repainted when they changed.
    void refresh_colours();
    void repaint_all();

    std::span<const control_row> m_rows;
    std::span<const char *const> m_tab_names;
    std::vector<HWND> m_tab_order; // the controls of m_tab_names that exist
    const window_row *m_window = nullptr;
    HWND m_hwnd = nullptr;
    std::unique_ptr<look> m_look;
    palette m_palette;
    std::vector<HWND> m_controls; // one per row, in table order
    std::vector<int> m_spacing;   // letter spacing per row: labels squeezed to fit their width
};

} // namespace pelmora::win32
