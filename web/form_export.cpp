// Writes the windows' tables (form/) as one JSON object for the page, at build time:
//   form_export FILE
// The page is built from this, so its controls, texts, colours, tab order, menus, bindings and
// accessible texts are the desktop programs' own data, never a copy made by hand. Texts are
// written with \uXXXX for every code unit outside printable ASCII, so the file is ASCII.

#include "form.hpp"

#include <cstdio>
#include <string>

using namespace pelmora;

namespace {

std::string quoted(std::u16string_view s)
{
    std::string out = "\"";
    for (const char16_t c : s) {
        if (c == u'"' || c == u'\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out + "\"";
}

std::string quoted(const char *s)
{
    if (!s)
        return "null";
    const std::string_view v(s);
    return quoted(std::u16string(v.begin(), v.end()));
}

std::string quoted(const char16_t *s)
{
    return s ? quoted(std::u16string_view(s)) : "null";
}

const char *kind_name(kind k)
{
    switch (k) {
    case kind::frame: return "frame";
    case kind::label: return "label";
    case kind::text_box: return "text_box";
    case kind::button: return "button";
    case kind::check_box: return "check_box";
    case kind::picture: return "picture";
    }
    return "";
}

const char *command_name(command c)
{
    switch (c) {
    case command::leftover_tally: return "leftover_tally";
    case command::sales_tally: return "sales_tally";
    case command::share_division: return "share_division";
    case command::copy: return "copy";
    case command::clear_all: return "clear_all";
    case command::end_program: return "end_program";
    case command::show_usage: return "show_usage";
    }
    return "";
}

std::string flag_list(unsigned flags)
{
    static const std::pair<unsigned, const char *> names[] = {
        {centred, "centred"}, {bold_font, "bold_font"}, {small_font, "small_font"}, {flat, "flat"},
        {digits, "digits"}, {sunken, "sunken"}, {default_button, "default_button"},
    };
    std::string out = "[";
    for (const auto &[bit, name] : names)
        if (flags & bit)
            out += (out.size() > 1 ? "," : "") + quoted(name);
    return out + "]";
}

std::string window_json(const window_row &w)
{
    return "{\"name\":" + quoted(w.name) + ",\"caption\":" + quoted(w.caption)
           + ",\"width\":" + std::to_string(w.width) + ",\"height\":" + std::to_string(w.height)
           + ",\"left\":" + std::to_string(w.left) + ",\"top\":" + std::to_string(w.top)
           + ",\"background\":" + quoted(w.background) + "}";
}

template <typename T, typename F>
std::string list(std::span<T> items, F &&each)
{
    std::string out = "[";
    for (const auto &item : items)
        out += (out.size() > 1 ? ",\n" : "\n") + each(item);
    return out + "]";
}

std::string controls_json(std::span<const control_row> rows, bool main)
{
    return list(rows, [main](const control_row &r) {
        std::string text = quoted(r.text);
        if (main && r.what == kind::text_box)
            text = quoted(start_text(*field_by_name(r.name)));
        std::string out = "{\"name\":" + quoted(r.name) + ",\"kind\":" + quoted(kind_name(r.what))
                          + ",\"container\":" + quoted(r.container) + ",\"text\":" + text
                          + ",\"left\":" + std::to_string(r.left) + ",\"top\":" + std::to_string(r.top)
                          + ",\"width\":" + std::to_string(r.width) + ",\"height\":" + std::to_string(r.height)
                          + ",\"background\":" + quoted(r.background) + ",\"foreground\":" + quoted(r.foreground)
                          + ",\"flags\":" + flag_list(r.flags);
        if (main) {
            const accessible_text said = accessible_text_of(r.name);
            if (!said.name.empty())
                out += ",\"accessible\":{\"name\":" + quoted(said.name) + ",\"description\":"
                       + quoted(said.description) + ",\"label\":" + quoted(said.label) + "}";
        }
        return out + "}";
    });
}

std::string names_json(std::span<const char *const> names)
{
    return list(names, [](const char *n) { return quoted(n); });
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: form_export FILE\n");
        return 2;
    }
    std::string json = "{\"main_window\":" + window_json(main_window);
    json += ",\n\"main_controls\":" + controls_json(main_controls(), true);
    json += ",\n\"main_tab_order\":" + names_json(main_tab_order());
    json += ",\n\"main_menus\":" + list(main_menus(), [](const menu_row &m) {
        return "{\"menu\":" + quoted(m.menu) + ",\"menu_caption\":" + quoted(m.menu_caption)
               + ",\"command\":" + quoted(m.command) + ",\"command_caption\":" + quoted(m.command_caption) + "}";
    });
    // In this order: the page hands a binding's index to the core.
    json += ",\n\"main_bindings\":" + list(main_bindings(), [](const binding_row &b) {
        return "{\"control\":" + quoted(b.control) + ",\"does\":" + quoted(command_name(b.does))
               + ",\"box\":" + quoted(std::string(field_name(b.box)).c_str()) + "}";
    });
    // In field order: the core addresses boxes by these indices.
    json += ",\n\"fields\":" + list(std::span<const field>(all_fields), [](field f) {
        return quoted(std::string(field_name(f)).c_str());
    });
    json += ",\n\"timer1_interval_ms\":" + std::to_string(timer1_interval_ms);
    json += ",\n\"usage_window\":" + window_json(usage_window);
    json += ",\n\"usage_controls\":" + controls_json(usage_controls(), false);
    json += ",\n\"usage_tab_order\":" + names_json(usage_tab_order());
    json += ",\n\"gothic_families\":" + list(gothic_families(), [](const char16_t *f) { return quoted(f); });
    json += ",\n\"standard_point_size\":" + std::to_string(standard_point_size);
    json += ",\n\"small_point_size\":" + std::to_string(small_point_size);
    json += ",\n\"clipboard_refused_report\":" + quoted(clipboard_refused_report);
    json += "}\n";

    std::FILE *out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(json.data(), 1, json.size(), out) != json.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "form_export: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
