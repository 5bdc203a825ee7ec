#include "look.hpp"

#include "resource.h"
#include "test_hooks.hpp"

#include <cmath>

namespace pelmora::win32 {

namespace {

// The per-monitor DPI functions came with Windows 10; looked up at run time so that the
// program still starts (at the screen's DPI) where they are missing.
template <typename Function>
Function *user32_function(const char *name)
{
    static const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function *>(reinterpret_cast<void *>(GetProcAddress(user32, name)))
                  : nullptr;
}

UINT screen_dpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

HFONT make_font(const std::wstring &family, double points, bool bold, UINT dpi)
{
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    family.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

bool has_family(HDC dc, const wchar_t *family)
{
    HFONT font = make_font(family, standard_point_size, false, 96);
    if (!font)
        return false;
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    const bool same = GetTextFaceW(dc, LF_FACESIZE, face) > 0 && lstrcmpiW(face, family) == 0;
    SelectObject(dc, old);
    DeleteObject(font);
    return same;
}

} // namespace

void become_dpi_aware()
{
    using context_function = BOOL WINAPI(DPI_AWARENESS_CONTEXT);
    if (auto *set_context = user32_function<context_function>("SetProcessDpiAwarenessContext"))
        set_context(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

UINT dpi_of(HWND window)
{
    using dpi_function = UINT WINAPI(HWND);
    static auto *const for_window = user32_function<dpi_function>("GetDpiForWindow");
    if (for_window && window) {
        if (const UINT dpi = for_window(window))
            return dpi;
    }
    return screen_dpi();
}

SIZE window_size_for(HWND window, int width, int height, UINT dpi)
{
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL menu = GetMenu(window) != nullptr;
    RECT outer{0, 0, width, height};
    using adjust_function = BOOL WINAPI(RECT *, DWORD, BOOL, DWORD, UINT);
    static auto *const adjust_for_dpi = user32_function<adjust_function>("AdjustWindowRectExForDpi");
    if (adjust_for_dpi && adjust_for_dpi(&outer, style, menu, ex_style, dpi))
        return {outer.right - outer.left, outer.bottom - outer.top};
    // Older Windows keep a window's frame as it is on a screen of another DPI.
    RECT frame{}, client{};
    if (GetWindowRect(window, &frame) && GetClientRect(window, &client))
        return {width + (frame.right - frame.left) - client.right,
                height + (frame.bottom - frame.top) - client.bottom};
    AdjustWindowRectEx(&outer, style, menu, ex_style);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void set_client_size(HWND window, int width, int height, UINT dpi)
{
    const SIZE outer = window_size_for(window, width, height, dpi);
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, flags);
    // The estimate misses where the menu bar wraps or the frame is drawn differently: measure
    // the client area as it came out and correct by the difference.
    RECT client{}, frame{};
    if (GetClientRect(window, &client) && GetWindowRect(window, &frame)) {
        const int dx = width - client.right;
        const int dy = height - client.bottom;
        if (dx != 0 || dy != 0)
            SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + dx,
                         frame.bottom - frame.top + dy, flags);
    }
}

system_answer ask_system()
{
    system_answer a;
    if (installed_test_hooks.system && installed_test_hooks.system(a))
        return a;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    a.high_contrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)
                      && (contrast.dwFlags & HCF_HIGHCONTRASTON);
    a.colours = {rgb_from(GetSysColor(COLOR_WINDOW)),    rgb_from(GetSysColor(COLOR_WINDOWTEXT)),
                 rgb_from(GetSysColor(COLOR_BTNFACE)),   rgb_from(GetSysColor(COLOR_BTNTEXT)),
                 rgb_from(GetSysColor(COLOR_HIGHLIGHT)), rgb_from(GetSysColor(COLOR_GRAYTEXT))};
    return a;
}

const std::wstring &gothic_family()
{
    static const std::wstring family = [] {
        const auto families = gothic_families();
        std::wstring chosen = wide(families.front()); // none confirmed: let Windows substitute
        if (HDC dc = CreateCompatibleDC(nullptr)) {
            for (const char16_t *name : families) {
                if (has_family(dc, wide(name))) {
                    chosen = wide(name);
                    break;
                }
            }
            DeleteDC(dc);
        }
        return chosen;
    }();
    return family;
}


look::look(UINT dpi) : m_dpi(dpi)
{
    const std::wstring &family = gothic_family();
    m_standard = make_font(family, standard_point_size, false, dpi);
    m_bold = make_font(family, standard_point_size, true, dpi);
    m_small = make_font(family, small_point_size, false, dpi);
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

namespace {

int metric_at(int metric, UINT dpi)
{
    using metric_function = int WINAPI(int, UINT);
    static auto *const for_dpi = user32_function<metric_function>("GetSystemMetricsForDpi");
    if (for_dpi) {
        if (const int value = for_dpi(metric, dpi); value > 0)
            return value;
    }
    return MulDiv(GetSystemMetrics(metric), static_cast<int>(dpi), static_cast<int>(screen_dpi()));
}

} // namespace

int look::small_icon_size() const
{
    return metric_at(SM_CXSMICON, m_dpi);
}

int look::big_icon_size() const
{
    return metric_at(SM_CXICON, m_dpi);
}

int spacing_to_fit(HDC dc, const std::wstring &text, HFONT font, int width)
{
    if (text.empty())
        return 0;
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    const bool measured = GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    if (!measured || size.cx <= width)
        return 0;
    const int letters = static_cast<int>(text.size());
    const int squeeze = (size.cx - width + letters - 1) / letters; // per letter, rounded up
    const long tightest_percent = std::lround(label_squeeze_floor * 100);
    const int most = static_cast<int>(size.cx * (100 - tightest_percent) / (100 * letters));
    return squeeze <= most ? -squeeze : 0;
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
