#include "main_window.hpp"

#include "accessibility.hpp"
#include "clipboard.hpp"
#include "wide_text.hpp"

#include <imm.h>

namespace pelmora::win32 {

namespace {

// Menu commands are numbered from here, one per row of main_menus(); far from the controls.
constexpr int first_menu_id = 1000;
constexpr UINT_PTR timer1_id = 1;

} // namespace

main_form::main_form() : form_window(main_controls(), main_tab_order()) {}

main_form::~main_form() = default;

bool main_form::open(int show)
{
    HMENU menus = make_menus();
    // A caption with icon and close box; neither minimise nor maximise, nor a sizing border.
    if (!menus || !create(main_class, pelmora::main_window,
                          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, nullptr,
                          menus)) {
        // A window that was made and refused takes its menu bar with it; one never made does not.
        if (menus && IsMenu(menus))
            DestroyMenu(menus);
        return false;
    }
    ShowWindow(hwnd(), show);
    UpdateWindow(hwnd());
    return true;
}

void main_form::name_controls()
{
    for (const control_row &row : main_controls()) {
        const accessible_text said = accessible_text_of(row.name);
        if (!said.name.empty())
            set_accessible_text(control(row.name), said.name, said.description);
    }
}

HMENU main_form::make_menus()
{
    HMENU bar = CreateMenu();
    if (!bar)
        return nullptr;
    const auto rows = main_menus();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        HMENU menu = CreatePopupMenu();
        if (!menu || !AppendMenuW(menu, MF_STRING, first_menu_id + i, wide(rows[i].command_caption))
            || !AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu),
                            wide(rows[i].menu_caption))) {
            if (menu)
                DestroyMenu(menu);
            DestroyMenu(bar);
            return nullptr;
        }
    }
    return bar;
}

bool main_form::on_create()
{
    if (!build())
        return false;
    // The number boxes share an input context of their own, which each switches off when it
    // takes the focus; the other boxes keep the thread's, as the user leaves it.
    m_digits_context = ImmCreateContext();
    for (const control_row &row : main_controls()) {
        HWND h = control(row.name);
        if (row.what == kind::text_box) {
            const std::optional<field> f = field_by_name(row.name);
            if (!f)
                continue; // a box that is no field is left unbound (the table test reports it)
            m_boxes[index_of(*f)] = h;
            // No limit but memory's (0 means about 2^31 characters).
            SendMessageW(h, EM_SETLIMITTEXT, 0, 0);
            set_text(*f, start_text(*f));
            if ((row.flags & digits) && m_digits_context)
                ImmAssociateContext(h, m_digits_context);
        } else if (row.what == kind::check_box) {
            m_orc_check = h;
            SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
        }
    }

    // Once the window is up, the cursor waits in the first reward box.
    m_last_focus = m_boxes[index_of(timer1_target)];
    SetTimer(hwnd(), timer1_id, timer1_interval_ms, nullptr);
    return true;
}

LRESULT main_form::handle(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_CREATE:
        return on_create() ? 0 : -1;
    case WM_COMMAND:
        on_command(w, l);
        return 0;
    case WM_TIMER:
        if (w != timer1_id)
            break;
        KillTimer(hwnd(), timer1_id); // "Timer1" fires once
        fire_timer1(*this);
        return 0;
    case WM_CLOSE:
        end_program();
        return 0;
    case WM_DESTROY:
        clear_accessible_texts();
        release_digits_context();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return answer(message, w, l);
}

void main_form::on_command(WPARAM w, LPARAM l)
{
    const int id = LOWORD(w);
    const auto from = reinterpret_cast<HWND>(l);
    const char *name = nullptr;
    const auto menus = main_menus();
    if (const control_row *row = row_of_id(id); row && row->what == kind::text_box) {
        if (HIWORD(w) == EN_SETFOCUS && (row->flags & digits)) {
            // Number boxes switch the input method off; the user may switch it on by hand.
            if (HIMC context = ImmGetContext(from)) {
                ImmSetOpenStatus(context, FALSE);
                ImmReleaseContext(from, context);
            }
        }
        return;
    } else if (const control_row *button = clicked_button(w, l)) {
        // Enter and Esc press the table's default and cancel button: this window has neither.
        name = button->name;
    } else if (!from && id >= first_menu_id && static_cast<std::size_t>(id - first_menu_id) < menus.size()) {
        name = menus[static_cast<std::size_t>(id - first_menu_id)].command;
    }
    if (const binding_row *b = name ? binding_of(name) : nullptr)
        press(*b, {*this, m_state, *this});
}

bool main_form::put_on_clipboard(std::u16string_view text)
{
    return win32::put_on_clipboard(hwnd(), text);
}

void main_form::end_program()
{
    on_usage(usage_event::program_end);
    DestroyWindow(hwnd());
}

void main_form::show_usage()
{
    on_usage(usage_event::show);
}

void main_form::on_usage(usage_event on)
{
    HWND usage = usage_hwnd();
    const usage_state now = !usage                  ? usage_state::absent
                            : IsWindowVisible(usage) ? usage_state::visible
                                                     : usage_state::hidden;
    switch (usage_step(now, on)) {
    case usage_action::none:
        return;
    case usage_action::make_and_show:
        m_usage = std::make_unique<usage_form>([this](usage_event e) { on_usage(e); });
        if (!m_usage->open(hwnd()))
            return;
        [[fallthrough]];
    case usage_action::show:
        m_usage->show();
        return;
    case usage_action::hide:
        m_usage->hide();
        return;
    case usage_action::destroy:
        // The window goes; the next show makes a new one.
        DestroyWindow(usage);
        return;
    }
}

void main_form::release_digits_context()
{
    if (!m_digits_context)
        return;
    // The boxes go back to the thread's context before theirs is destroyed.
    for (const control_row &row : main_controls()) {
        if (row.what == kind::text_box && (row.flags & digits))
            ImmAssociateContextEx(control(row.name), nullptr, IACE_DEFAULT);
    }
    ImmDestroyContext(m_digits_context);
    m_digits_context = nullptr;
}

HWND main_form::usage_hwnd() const
{
    return m_usage ? m_usage->hwnd() : nullptr;
}

bool main_form::take_key(const MSG &message)
{
    if (m_usage && m_usage->hwnd() && m_usage->take_tab(message))
        return true;
    if (message.message != WM_KEYDOWN || key_down(VK_MENU))
        return false;
    HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd(), focus))
        return false;
    if (message.wParam == 'A' && key_down(VK_CONTROL)) {
        if (!(SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)) // not a box
            return false;
        SendMessageW(focus, EM_SETSEL, 0, -1);
        return true;
    }
    return take_tab(message);
}

std::u16string main_form::text(field f) const
{
    return window_text(m_boxes[index_of(f)]);
}

void main_form::set_text(field f, std::u16string_view text)
{
    HWND box = m_boxes[index_of(f)];
    SetWindowTextW(box, wide(text).c_str());
    // Long report lines show their beginning, as they are read.
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

int main_form::orc_check() const
{
    switch (SendMessageW(m_orc_check, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED: return orc_checked;
    case BST_INDETERMINATE: return orc_greyed;
    default: return orc_unchecked;
    }
}

void main_form::set_focus(field f)
{
    HWND box = m_boxes[index_of(f)];
    m_last_focus = box; // kept should the window not be the active one now
    SetFocus(box);
}

void main_form::show_message(std::u16string_view text)
{
    HWND focus = GetFocus();
    MessageBoxW(hwnd(), wide(text).c_str(), wide(message_title).c_str(), MB_OK);
    // The focus goes back to the control that had it.
    if (focus && IsWindow(focus) && IsChild(hwnd(), focus))
        SetFocus(focus);
}

} // namespace pelmora::win32
