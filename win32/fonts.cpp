#include "fonts.hpp"

#include "form.hpp"
#include "wide_text.hpp"

#include <cmath>

namespace pelmora::win32 {

namespace {

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

// Accepted only when GetTextFaceW names the family back.
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

} // namespace

HFONT make_gothic(double points, bool bold, UINT dpi)
{
    return make_font(gothic_family(), points, bold, dpi);
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

} // namespace pelmora::win32
