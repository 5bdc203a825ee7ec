#include "form.hpp"

#include <algorithm>

// Kept apart from the tables: only the tests call it, and a program need not link it.

namespace pelmora {

namespace {

bool takes_focus(kind what)
{
    return what == kind::text_box || what == kind::button || what == kind::check_box;
}

} // namespace

std::vector<std::string> table_faults(const window_tables &t)
{
    std::vector<std::string> faults;
    const auto fault = [&faults](std::string_view name, std::string_view what) {
        faults.push_back('"' + std::string(name) + "\": " + std::string(what));
    };
    std::vector<std::string_view> names; // controls and menu commands: one namespace
    const auto named_once = [&](const char *name, std::string_view where) {
        if (!name || !*name) {
            faults.push_back(std::string(where) + " without a name");
            return false;
        }
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            fault(name, std::string(where) + " of a name already taken");
            return false;
        }
        names.emplace_back(name);
        return true;
    };

    int defaults = 0, cancels = 0;
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const control_row &row = t.controls[i];
        if (!named_once(row.name, "control"))
            continue;
        if (row.what == kind::text_box && !field_by_name(row.name))
            fault(row.name, "a text box that is no window field");
        if ((row.flags & (default_button | cancel_button)) && row.what != kind::button)
            fault(row.name, "a default or cancel button that is no button");
        defaults += (row.flags & default_button) != 0;
        cancels += (row.flags & cancel_button) != 0;

        // The container: the window, or a frame or panel made before the row.
        int width = t.window->width, height = t.window->height;
        if (!row.container || std::string_view(row.container) != "window") {
            const control_row *box = find_control(t.controls.first(i), row.container ? row.container : "");
            if (!box || (box->what != kind::frame && box->what != kind::picture)) {
                fault(row.name, "its container is no frame or panel above it");
                continue;
            }
            width = box->width;
            height = box->height;
        }
        if (row.left < 0 || row.top < 0 || row.width <= 0 || row.height <= 0
            || row.left + row.width > width || row.top + row.height > height)
            fault(row.name, "reaches outside its container");
    }
    if (defaults > 1 || cancels > 1)
        faults.emplace_back("more than one default or cancel button");

    std::vector<std::string_view> visited;
    for (const char *name : t.tab_order) {
        const control_row *row = find_control(t.controls, name ? name : "");
        if (!row || row->what == kind::label || row->what == kind::frame)
            fault(name ? name : "", "in the tab order, but no control that takes the focus");
        else if (std::find(visited.begin(), visited.end(), name) != visited.end())
            fault(name, "twice in the tab order");
        else
            visited.emplace_back(name);
    }
    for (const control_row &row : t.controls) {
        if (takes_focus(row.what) && std::find(visited.begin(), visited.end(), row.name) == visited.end())
            fault(row.name ? row.name : "", "takes the focus but is not in the tab order");
    }

    std::vector<std::string_view> menus, bound;
    for (const menu_row &row : t.menus) {
        if (!row.menu || std::find(menus.begin(), menus.end(), row.menu) != menus.end()
            || find_control(t.controls, row.menu))
            fault(row.menu ? row.menu : "", "a menu without a name of its own");
        else
            menus.emplace_back(row.menu);
        named_once(row.command, "menu command");
    }
    for (const binding_row &row : t.bindings) {
        const char *name = row.control ? row.control : "";
        const control_row *control = find_control(t.controls, name);
        const bool menu_command = std::any_of(t.menus.begin(), t.menus.end(), [name](const menu_row &m) {
            return m.command && std::string_view(m.command) == name;
        });
        if (!menu_command && (!control || control->what != kind::button))
            fault(name, "bound, but no button or menu command");
        else if (std::find(bound.begin(), bound.end(), name) != bound.end())
            fault(name, "bound twice");
        else
            bound.emplace_back(name);
        const control_row *box = find_control(t.controls, field_name(row.box));
        if (row.does == command::copy && (!box || box->what != kind::text_box))
            fault(name, "copies a box the window does not have");
    }
    if (!t.bindings.empty()) {
        for (const control_row &row : t.controls) {
            if (row.what == kind::button && std::find(bound.begin(), bound.end(), row.name) == bound.end())
                fault(row.name ? row.name : "", "a button that runs no command");
        }
        for (const menu_row &row : t.menus) {
            if (row.command && std::find(bound.begin(), bound.end(), row.command) == bound.end())
                fault(row.command, "a menu command that runs nothing");
        }
    }
    return faults;
}

} // namespace pelmora
