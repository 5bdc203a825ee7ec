#include "paint.hpp"

#include "fonts.hpp"
#include "resource.h"
#include "wide_text.hpp"

#include <string>

namespace pelmora::win32 {

look::look(UINT dpi) : m_dpi(dpi)
{
    m_standard = make_gothic(standard_point_size, false, dpi);
    m_bold = make_gothic(standard_point_size, true, dpi);
    m_small = make_gothic(small_point_size, false, dpi);
}

look::~look()
{
    for (HFONT font : {m_standard, m_bold, m_small}) {
        if (font)
            DeleteObject(font);
    }
    for (const auto &[colour, brush] : m_brushes)
        DeleteObject(brush);
    for (const auto &[size, icon] : m_icons)
        DestroyIcon(icon);
}

HFONT look::font(unsigned flags) const
{
    HFONT chosen = (flags & small_font) ? m_small : (flags & bold_font) ? m_bold : m_standard;
    // Should a font not be made, the control keeps the system's rather than none.
    return chosen ? chosen : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HBRUSH look::brush(COLORREF colour)
{
    auto it = m_brushes.find(colour);
    if (it == m_brushes.end()) {
        HBRUSH made = CreateSolidBrush(colour);
        if (!made)
            return GetSysColorBrush(COLOR_WINDOW);
        it = m_brushes.emplace(colour, made).first;
    }
    return it->second;
}

HICON look::icon(int size)
{
    auto it = m_icons.find(size);
    if (it == m_icons.end()) {
        // Not shared: a shared icon keeps the size it was first loaded at.
        auto made = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                  MAKEINTRESOURCEW(PELMORA_ICON), IMAGE_ICON,
                                                  size, size, 0));
        if (!made)
            return nullptr;
        it = m_icons.emplace(size, made).first;
    }
    return it->second;
}

void paint_container(HWND container, HDC dc, const control_row &row, colour_pair colours, look &l)
{
    RECT area{};
    GetClientRect(container, &area);
    FillRect(dc, &area, l.brush(colours.background));
    if (row.what != kind::frame) {
        if (row.flags & sunken)
            DrawEdge(dc, &area, BDR_SUNKENOUTER, BF_RECT);
        // The program's icon in the top-left corner, inside the edge, at 16 px scaled.
        const int size = l.px(240);
        if (HICON icon = l.icon(size))
            DrawIconEx(dc, 1, 1, icon, size, size, 0, nullptr, DI_NORMAL);
        return;
    }
    // The edge runs through the middle of the caption's line, as a group box's does.
    HGDIOBJ old_font = SelectObject(dc, l.font());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT edge = area;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    if (row.text && *row.text) {
        const std::wstring caption = wide(row.text);
        RECT text{l.px(120), 0, area.right, metrics.tmHeight};
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        // A little of the background either side keeps the edge off the letters.
        const int gap = l.px(30);
        RECT back{text.left - gap, text.top, text.right + gap, text.bottom};
        FillRect(dc, &back, l.brush(colours.background));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colour_ref(colours.text));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, old_font);
}

void draw_button(const DRAWITEMSTRUCT &item, const control_row &row, colour_pair colours,
                 const palette &p, look &l)
{
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    if (row.flags & default_button) {
        FrameRect(dc, &r, l.brush(colours.text));
        InflateRect(&r, -1, -1);
    }
    FillRect(dc, &r, l.brush(colours.background));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    const std::wstring caption = wide(row.text);
    RECT text = r;
    if (pressed)
        OffsetRect(&text, 1, 1);
    HGDIOBJ old_font = SelectObject(dc, l.font(row.flags));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour_ref((item.itemState & ODS_DISABLED) ? p.disabled_text : colours.text));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old_font);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = r;
        InflateRect(&focus, -3, -3);
        if (p.high_contrast) {
            // A dotted inversion can vanish in a theme's colours; the highlight colour cannot.
            FrameRect(dc, &focus, l.brush(p.focus));
            InflateRect(&focus, -1, -1);
            FrameRect(dc, &focus, l.brush(p.focus));
        } else {
            DrawFocusRect(dc, &focus);
        }
    }
}

} // namespace pelmora::win32
