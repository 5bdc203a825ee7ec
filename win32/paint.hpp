#pragma once

// What a window paints with at its DPI (fonts, brushes, icons), and the painting of frames,
// the usage window's panel and owner-drawn buttons.

#include "form.hpp"
#include "palette.hpp"

#include <windows.h>

#include <map>

namespace pelmora::win32 {

// 0xRRGGBB as a COLORREF.
constexpr COLORREF colour_ref(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The fonts, brushes and icons of one window at one DPI.
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

private:
    UINT m_dpi;
    HFONT m_standard = nullptr;
    HFONT m_bold = nullptr;
    HFONT m_small = nullptr;
    std::map<COLORREF, HBRUSH> m_brushes;
    std::map<int, HICON> m_icons;
};

// A frame: its colour, an etched edge and its caption in the caption colour, cut into the
// top edge. A panel (the usage window's picture box): its colour, a thin sunken edge and the icon.
void paint_container(HWND container, HDC dc, const control_row &row, colour_pair colours, look &l);

// An owner-drawn button: face in its colour, raised or (pressed) sunken edge, the caption, the
// focus rectangle (in high contrast a frame in the highlight colour), and an outline in the
// caption's colour for a default button.
void draw_button(const DRAWITEMSTRUCT &item, const control_row &row, colour_pair colours,
                 const palette &p, look &l);

} // namespace pelmora::win32
