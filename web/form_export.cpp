// Writes the windows' tables (form/) as one JSON object for the page, at build time:
//   form_export FILE
// The page is built from this, so its controls, texts, colours, tab order, menus, bindings,
// accessible texts, window rules and the usage window's life are the desktop programs' own data,
// never a copy made by hand. Texts are written with \uXXXX for every code unit outside printable
// ASCII, so the file is ASCII.

#include "form.hpp"
#include "numbers.hpp"

#include <cstdio>
#include <string>
#include <utility>

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

std::string quoted(std::string_view s)
{
    return quoted(std::u16string(s.begin(), s.end()));
}

std::string quoted(const char *s)
{
    return s ? quoted(std::string_view(s)) : "null";
}

std::string quoted(const char16_t *s)
{
    return s ? quoted(std::u16string_view(s)) : "null";
}

// The names the page knows the tables' kinds, and the usage window's states, events and
// actions by.
template <typename E>
using names = std::pair<E, const char *>[];
constexpr names<kind> kind_names = {{kind::frame, "frame"}, {kind::label, "label"}, {kind::text_box, "text_box"},
    {kind::button, "button"}, {kind::check_box, "check_box"}, {kind::picture, "picture"}};
constexpr names<usage_state> state_names = {
    {usage_state::absent, "absent"}, {usage_state::visible, "visible"}, {usage_state::hidden, "hidden"}};
constexpr names<usage_event> event_names = {{usage_event::show, "show"}, {usage_event::button, "button"},
    {usage_event::close_box, "close_box"}, {usage_event::program_end, "program_end"}};
constexpr names<usage_action> action_names = {{usage_action::none, "none"},
    {usage_action::make_and_show, "make_and_show"}, {usage_action::show, "show"}, {usage_action::hide, "hide"},
    {usage_action::destroy, "destroy"}};

template <typename E, std::size_t N>
std::string named(const std::pair<E, const char *> (&table)[N], E value)
{
    for (const auto &[v, name] : table)
        if (v == value)
            return quoted(name);
    return "null";
}

std::string flag_list(unsigned flags)
{
    static const std::pair<unsigned, const char *> names[] = {
        {centred, "centred"}, {bold_font, "bold_font"}, {small_font, "small_font"}, {flat, "flat"},
        {digits, "digits"}, {sunken, "sunken"}, {default_button, "default_button"},
        {cancel_button, "cancel_button"},
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
        std::string out = "{\"name\":" + quoted(r.name) + ",\"kind\":" + named(kind_names, r.what)
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
    // In this order: the page presses a binding by its index; what it does is the core's.
    json += ",\n\"main_bindings\":" + list(main_bindings(), [](const binding_row &b) { return quoted(b.control); });
    // In field order: the core addresses boxes by these indices.
    json += ",\n\"fields\":" + list(std::span<const field>(all_fields), [](field f) { return quoted(field_name(f)); });
    json += ",\n\"timer1_interval_ms\":" + std::to_string(timer1_interval_ms);
    json += ",\n\"timer1_target\":" + quoted(field_name(timer1_target));
    json += ",\n\"message_title\":" + quoted(message_title);
    json += ",\n\"label_squeeze_floor\":" + std::to_string(label_squeeze_floor);
    json += ",\n\"usage_window\":" + window_json(usage_window);
    json += ",\n\"usage_controls\":" + controls_json(usage_controls(), false);
    json += ",\n\"usage_tab_order\":" + names_json(usage_tab_order());
    json += ",\n\"usage_lifecycle\":" + list(usage_lifecycle(), [](const usage_transition &t) {
        return "{\"from\":" + named(state_names, t.from) + ",\"on\":" + named(event_names, t.on)
               + ",\"does\":" + named(action_names, t.does) + "}";
    });
    json += ",\n\"gothic_families\":" + list(gothic_families(), [](const char16_t *f) { return quoted(f); });
    json += ",\n\"standard_point_size\":" + std::to_string(standard_point_size);
    json += ",\n\"small_point_size\":" + std::to_string(small_point_size);
    json += ",\n\"clipboard_refused_report\":" + quoted(error_report(tally_error(error_kind::clipboard_refused)));
    json += "}\n";

    std::FILE *out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(json.data(), 1, json.size(), out) != json.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "form_export: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
