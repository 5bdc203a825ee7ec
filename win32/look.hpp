#pragma once

// What the Windows program draws with: texts as wide strings, the window's DPI, the fonts and
// brushes of one window at that DPI, and the painting of frames and owner-drawn buttons.

#include "form.hpp"
#include "palette.hpp"

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace pelmora::win32 {

// wchar_t is 16 bits on Windows: the tables' UTF-16 texts pass straight through.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t *wide(const char16_t *text)
{
    return reinterpret_cast<const wchar_t *>(text);
}

inline std::wstring wide(std::u16string_view text)
{
    return {reinterpret_cast<const wchar_t *>(text.data()), text.size()};
}

// Opts the process into per-monitor DPI awareness (the manifest says so too); harmless where
// the system refuses, as older Windows and Wine do.
void become_dpi_aware();

// The DPI a window is drawn at when it is made: its monitor's where Windows tells per window,
// else the screen's. Later changes come with WM_DPICHANGED.
UINT dpi_of(HWND window);

// The outer size of a top-level window whose client area (below the menu bar) is as given, at
// that DPI: from Windows' frame metrics for the DPI where it has them (Windows 10 1607 on),
// else from the frame the window has now.
SIZE window_size_for(HWND window, int width, int height, UINT dpi);

// Sizes a top-level window so that its client area (below the menu bar) is exactly as given.
void set_client_size(HWND window, int width, int height, UINT dpi);

// 0xRRGGBB as a COLORREF, and back.
constexpr COLORREF colour_ref(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
constexpr std::uint32_t rgb_from(COLORREF colour)
{
    return (std::uint32_t{GetRValue(colour)} << 16) | (std::uint32_t{GetGValue(colour)} << 8)
           | GetBValue(colour);
}

// What the system says about colours: whether high contrast is on, and its colours.
struct system_answer {
    bool high_contrast = false;
    system_colours colours{};
};
system_answer ask_system();

// The first gothic of gothic_families() that the system really has: a family is accepted
// only when GetTextFaceW names it back (Windows silently substitutes missing fonts).
const std::wstring &gothic_family();

// The fonts and brushes of one window at one DPI.
class look {
public:
    explicit look(UINT dpi);
    ~look();
    look(const look &) = delete;
    look &operator=(const look &) = delete;

    UINT dpi() const { return m_dpi; }
    int px(int twips) const { return pelmora::px(twips, static_cast<int>(m_dpi)); }
    // The font a control of these flags is drawn in (bold_font, small_font).
    HFONT font(unsigned flags = plain) const;
    // A solid brush of the colour, made once and kept while the look lives.
    HBRUSH brush(COLORREF colour);
    HBRUSH brush(std::uint32_t rgb) { return brush(colour_ref(rgb)); }
    // The program's icon, square, of that many pixels; made once and kept while the look lives.
    HICON icon(int size);
    // The sizes of the caption's small and big icons at this DPI.
    int small_icon_size() const;
    int big_icon_size() const;

private:
    UINT m_dpi;
    HFONT m_standard = nullptr;
    HFONT m_bold = nullptr;
    HFONT m_small = nullptr;
    std::map<COLORREF, HBRUSH> m_brushes;
    std::map<int, HICON> m_icons;
};

// The letter spacing (SetTextCharacterExtra, negative) that makes a one-line text fit the
// width in the font; 0 when it fits as it is, or when fitting would squeeze the letters closer
// than label_squeeze_floor of their width (such a text is left to be cut off).
int spacing_to_fit(HDC dc, const std::wstring &text, HFONT font, int width);

// A frame: its colour, an etched edge and its caption in the caption colour, cut into the
// top edge. A panel (the usage window's picture box): its colour, a thin sunken edge and the icon.
void paint_container(HWND container, HDC dc, const control_row &row, colour_pair colours, look &l);

// An owner-drawn button: face in its colour, raised or (pressed) sunken edge, the caption, the
// focus rectangle (in high contrast a frame in the highlight colour), and an outline in the
// caption's colour for a default button.
void draw_button(const DRAWITEMSTRUCT &item, const control_row &row, colour_pair colours,
                 const palette &p, look &l);

} // namespace pelmora::win32
