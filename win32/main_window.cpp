#include "main_window.hpp"

#include "accessibility.hpp"
#include "tallies.hpp"

#include <imm.h>

#include <cstring>

namespace pelmora::win32 {

namespace {

// Menu commands are numbered from here, one per row of main_menus(); far from the controls.
constexpr int first_menu_id = 1000;
constexpr UINT_PTR timer1_id = 1;

// A copy that the clipboard refused is reported as the run-time error it is.
constexpr char16_t clipboard_refused[] = u"実行時エラー '521':\n\nクリップボードを開けません。";

// Clears the clipboard, then puts the text there as Unicode text. False when refused.
bool put_on_clipboard(HWND owner, const std::u16string &text)
{
    // Another program may hold the clipboard for a moment: ask again a few times.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !(open = OpenClipboard(owner)); ++attempt)
        Sleep(20);
    if (!open)
        return false;
    bool done = EmptyClipboard();
    if (done) {
        const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        void *target = memory ? GlobalLock(memory) : nullptr;
        if (target) {
            std::memcpy(target, text.c_str(), bytes); // with the closing NUL
            GlobalUnlock(memory);
        }
        // Once set, the memory belongs to the clipboard.
        done = target && SetClipboardData(CF_UNICODETEXT, memory);
        if (!done && memory)
            GlobalFree(memory);
    }
    CloseClipboard();
    return done;
}

bool is_edit(HWND window)
{
    wchar_t name[16] = {};
    return window && GetClassNameW(window, name, 16) > 0 && lstrcmpiW(name, L"Edit") == 0;
}

bool key_down(int key)
{
    return GetKeyState(key) & 0x8000;
}

} // namespace

main_form::main_form() : form_window(main_controls()) {}

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
    for (const control_row &row : main_controls()) {
        HWND h = control(row.name);
        if (row.what == kind::text_box) {
            const field f = *field_by_name(row.name);
            m_boxes[index_of(f)] = h;
            // No limit but memory's (0 means about 2^31 characters).
            SendMessageW(h, EM_SETLIMITTEXT, 0, 0);
            set_text(f, start_text(f));
        } else if (row.what == kind::check_box) {
            m_orc_check = h;
            SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
        }
    }
    for (const char *name : main_tab_order())
        m_tab_order.push_back(control(name));

    // Once the window is up, the cursor waits in the first reward box.
    m_last_focus = m_boxes[index_of(field::syu1)];
    SetTimer(hwnd(), timer1_id, timer1_interval_ms, nullptr);
    return true;
}

LRESULT main_form::handle(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_CREATE:
        return on_create() ? 0 : -1;
    case WM_COMMAND:
        on_command(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
        return 0;
    case WM_TIMER:
        if (w != timer1_id)
            break;
        // "Timer1" fires once.
        KillTimer(hwnd(), timer1_id);
        run_command(*this, [this] { set_focus(field::syu1); });
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd());
        return 0;
    case WM_DESTROY:
        clear_accessible_texts();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return answer(message, w, l);
}

void main_form::on_command(int id, int notification, HWND from)
{
    const char *name = nullptr;
    if (!from) {
        // A menu command (IDOK and IDCANCEL from Enter and Esc come with a window: ignored).
        const auto menus = main_menus();
        const int index = id - first_menu_id;
        if (index < 0 || static_cast<std::size_t>(index) >= menus.size())
            return;
        name = menus[static_cast<std::size_t>(index)].command;
    } else {
        const control_row *row = row_of_id(id);
        if (!row)
            return;
        if (row->what == kind::text_box && notification == EN_SETFOCUS && (row->flags & digits)) {
            // Number boxes switch the input method off; the user may switch it on by hand.
            if (HIMC context = ImmGetContext(from)) {
                ImmSetOpenStatus(context, FALSE);
                ImmReleaseContext(from, context);
            }
            return;
        }
        if (row->what != kind::button || notification != BN_CLICKED)
            return;
        name = row->name;
    }
    for (const binding_row &row : main_bindings()) {
        if (std::string_view(row.control) == name)
            return run_binding(row.does, row.box);
    }
}

void main_form::run_binding(command does, field box)
{
    switch (does) {
    case command::leftover_tally:
        run_command(*this, [this] { run_leftover_tally(*this, m_state); });
        return;
    case command::sales_tally:
        run_command(*this, [this] { run_sales_tally(*this, m_state); });
        return;
    case command::share_division:
        run_command(*this, [this] { run_share_division(*this, m_state); });
        return;
    case command::copy:
        copy_box(box);
        return;
    case command::clear_all:
        run_command(*this, [this] { run_clear_all(*this); });
        return;
    case command::end_program:
        // Ending takes the usage window along: Windows destroys owned windows with their owner.
        DestroyWindow(hwnd());
        return;
    case command::show_usage:
        show_usage();
        return;
    }
}

void main_form::copy_box(field box)
{
    run_command(*this, [this, box] {
        if (!put_on_clipboard(hwnd(), take_copy(*this, m_state, box)))
            show_message(clipboard_refused);
    });
}

void main_form::show_usage()
{
    if (!m_usage || !m_usage->hwnd()) {
        // Made on first use, and again after its close box destroyed it.
        m_usage = std::make_unique<usage_form>();
        if (!m_usage->open(hwnd())) {
            m_usage.reset();
            return;
        }
    }
    m_usage->show();
}

HWND main_form::usage_hwnd() const
{
    return m_usage ? m_usage->hwnd() : nullptr;
}

bool main_form::take_key(const MSG &message)
{
    if (message.message != WM_KEYDOWN || key_down(VK_MENU))
        return false;
    HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd(), focus))
        return false;
    if (message.wParam == 'A' && key_down(VK_CONTROL)) {
        if (!is_edit(focus))
            return false;
        SendMessageW(focus, EM_SETSEL, 0, -1);
        return true;
    }
    if (message.wParam != VK_TAB || key_down(VK_CONTROL) || m_tab_order.empty())
        return false;
    const std::size_t count = m_tab_order.size();
    std::size_t at = count; // not in the order: Tab starts at the first, Shift+Tab at the last
    for (std::size_t i = 0; i < count; ++i) {
        if (m_tab_order[i] == focus)
            at = i;
    }
    const bool back = key_down(VK_SHIFT);
    std::size_t next = 0;
    if (at == count)
        next = back ? count - 1 : 0;
    else
        next = back ? (at + count - 1) % count : (at + 1) % count;
    HWND target = m_tab_order[next];
    // The keyboard is in use: focus rectangles show from now on, as the dialog manager does.
    SendMessageW(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    SetFocus(target);
    // As in a dialog, a box reached by Tab has all its text selected.
    if (is_edit(target))
        SendMessageW(target, EM_SETSEL, 0, -1);
    return true;
}

std::u16string main_form::text(field f) const
{
    HWND box = m_boxes[index_of(f)];
    const int length = GetWindowTextLengthW(box);
    if (length <= 0)
        return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(box, buffer.data(), length + 1);
    return {reinterpret_cast<const char16_t *>(buffer.data()),
            static_cast<std::size_t>(got > 0 ? got : 0)};
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
    MessageBoxW(hwnd(), wide(text).c_str(), L"Pelmora", MB_OK);
    // The focus goes back to the control that had it.
    if (focus && IsWindow(focus) && IsChild(hwnd(), focus))
        SetFocus(focus);
}

} // namespace pelmora::win32
