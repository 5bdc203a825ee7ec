#include "palette.hpp"

#include "test_hooks.hpp"

#include <windows.h>

#include <optional>
#include <string_view>

namespace pelmora::win32 {

namespace {

constexpr std::uint32_t black = 0x000000;

// A colour of the table, or the system's where the table leaves it open; the text goes with
// it: the table's, black on a table background, the system's text colour on a system one.
colour_pair table_pair(const char *background, const char *text, std::uint32_t system_back,
                       std::uint32_t system_text)
{
    const std::optional<std::uint32_t> back = rgb_of(background);
    const std::optional<std::uint32_t> fore = rgb_of(text);
    return {back.value_or(system_back), fore.value_or(back ? black : system_text)};
}

std::uint32_t system_colour(int index)
{
    const COLORREF c = GetSysColor(index);
    return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

bool is_frame(std::span<const control_row> rows, std::string_view name)
{
    const control_row *container = find_control(rows, name);
    return container && container->what == kind::frame;
}

} // namespace

system_answer ask_system()
{
    system_answer a;
    if (installed_test_hooks.system && installed_test_hooks.system(a))
        return a;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    a.high_contrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)
                      && (contrast.dwFlags & HCF_HIGHCONTRASTON);
    a.colours = {system_colour(COLOR_WINDOW),    system_colour(COLOR_WINDOWTEXT),
                 system_colour(COLOR_BTNFACE),   system_colour(COLOR_BTNTEXT),
                 system_colour(COLOR_HIGHLIGHT), system_colour(COLOR_GRAYTEXT)};
    return a;
}

palette pick_palette(const window_row &window, std::span<const control_row> rows,
                     bool high_contrast, const system_colours &system)
{
    const colour_pair on_window{system.window, system.window_text};
    const colour_pair on_button{system.button_face, system.button_text};
    palette p;
    p.high_contrast = high_contrast;
    p.focus = system.highlight;
    p.disabled_text = system.gray_text;
    p.window = high_contrast ? on_window
                             : table_pair(window.background, nullptr, system.button_face,
                                          system.button_text);
    p.controls.reserve(rows.size());
    for (const control_row &row : rows) {
        if (!high_contrast) {
            const bool box = row.what == kind::text_box;
            p.controls.push_back(table_pair(row.background, row.foreground,
                                            box ? system.window : system.button_face,
                                            box ? system.window_text : system.button_text));
            continue;
        }
        switch (row.what) {
        case kind::frame:
        case kind::button:
            p.controls.push_back(on_button);
            break;
        case kind::label:
        case kind::check_box:
            // Like its container, so that it shows no patch of another colour there.
            p.controls.push_back(is_frame(rows, row.container) ? on_button : on_window);
            break;
        case kind::text_box:
        case kind::picture:
            p.controls.push_back(on_window);
            break;
        }
    }
    return p;
}

} // namespace pelmora::win32
