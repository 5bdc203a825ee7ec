#include "form.hpp"

#include <algorithm>

namespace pelmora {

namespace {

// One row per control, top to bottom and left to right within each container.
constexpr control_row main_rows[] = {
    {"Frame2", kind::frame, "window", u"残した物", 240, 120, 5655, 1695, "#FFE0C0", "#FF8000", plain},
    {"Label1", kind::label, "Frame2", u"赤い羽毛", 120, 240, 735, 255, "#FFE0C0", nullptr, plain},
    {"syu1", kind::text_box, "Frame2", nullptr, 1200, 240, 735, 270, nullptr, "#FF0000", centred | digits},
    {"Label5", kind::label, "Frame2", u"個", 2040, 360, 255, 255, "#FFE0C0", nullptr, plain},
    {"Label3", kind::label, "Frame2", u"呪われた印", 2400, 240, 975, 255, "#FFE0C0", nullptr, plain},
    {"syu3", kind::text_box, "Frame2", nullptr, 3480, 240, 735, 270, nullptr, "#FF0000", centred | digits},
    {"Label7", kind::label, "Frame2", u"個", 4320, 360, 255, 255, "#FFE0C0", nullptr, plain},
    {"Label2", kind::label, "Frame2", u"青い羽毛", 120, 600, 735, 255, "#FFE0C0", nullptr, plain},
    {"syu2", kind::text_box, "Frame2", nullptr, 1200, 600, 735, 270, nullptr, "#FF0000", centred | digits},
    {"Label6", kind::label, "Frame2", u"個", 2040, 720, 255, 255, "#FFE0C0", nullptr, plain},
    {"Label4", kind::label, "Frame2", u"金の腕輪", 2400, 600, 855, 255, "#FFE0C0", nullptr, plain},
    {"syu4", kind::text_box, "Frame2", nullptr, 3480, 600, 735, 270, nullptr, "#FF0000", centred | digits},
    {"Label8", kind::label, "Frame2", u"個", 4320, 720, 255, 255, "#FFE0C0", nullptr, plain},
    {"Label25", kind::label, "Frame2", u"慰c", 120, 960, 375, 255, "#FFE0C0", nullptr, plain},
    {"card1", kind::text_box, "Frame2", nullptr, 600, 960, 255, 270, nullptr, "#FF0000", centred | digits},
    {"Label27", kind::label, "Frame2", u"保護c", 960, 960, 495, 255, "#FFE0C0", nullptr, plain},
    {"card4", kind::text_box, "Frame2", nullptr, 1440, 960, 255, 270, nullptr, "#FF0000", centred | digits},
    {"Label26", kind::label, "Frame2", u"執行c", 1920, 960, 495, 255, "#FFE0C0", nullptr, plain},
    {"card2", kind::text_box, "Frame2", nullptr, 2520, 960, 255, 270, nullptr, "#FF0000", centred | digits},
    {"Label28", kind::label, "Frame2", u"監視c", 2880, 960, 495, 255, "#FFE0C0", nullptr, plain},
    {"card5", kind::text_box, "Frame2", nullptr, 3360, 960, 255, 270, nullptr, "#FF0000", centred | digits},
    {"Label29", kind::label, "Frame2", u"苦悩c", 120, 1320, 495, 255, "#FFE0C0", nullptr, plain},
    {"card3", kind::text_box, "Frame2", nullptr, 600, 1320, 255, 270, nullptr, "#FF0000", centred | digits},
    {"Label30", kind::label, "Frame2", u"悲c", 960, 1320, 375, 255, "#FFE0C0", nullptr, plain},
    {"card6", kind::text_box, "Frame2", nullptr, 1440, 1320, 255, 270, nullptr, "#FF0000", centred | digits},
    {"Label31", kind::label, "Frame2", u"ﾌﾟﾗｽﾞﾏc", 1800, 1320, 615, 255, "#FFE0C0", nullptr, plain},
    {"card7", kind::text_box, "Frame2", nullptr, 2520, 1320, 255, 270, nullptr, "#FF0000", centred | digits},
    {"Label32", kind::label, "Frame2", u"c帖", 2880, 1320, 375, 255, "#FFE0C0", nullptr, plain},
    {"card8", kind::text_box, "Frame2", nullptr, 3360, 1320, 255, 270, nullptr, "#FF0000", centred | digits},
    {"Label21", kind::label, "Frame2", u"(個数を入力)", 4320, 1320, 1095, 255, "#FFE0C0", "#C04000", plain},
    {"Frame1", kind::frame, "window", u"売上金", 240, 1920, 5655, 2175, "#C0C0FF", "#0000FF", plain},
    {"Label9", kind::label, "Frame1", u"売り1回目：", 120, 240, 975, 255, "#C0C0FF", nullptr, plain},
    {"uri1", kind::text_box, "Frame1", nullptr, 1080, 240, 975, 270, nullptr, "#0000FF", digits},
    {"Label13", kind::label, "Frame1", u"zeny", 2160, 360, 375, 255, "#C0C0FF", nullptr, plain},
    {"Label33", kind::label, "Frame1", u"売り5回目：", 2880, 240, 975, 255, "#C0C0FF", nullptr, plain},
    {"uri6", kind::text_box, "Frame1", nullptr, 3840, 240, 975, 270, nullptr, "#0000FF", digits},
    {"Label37", kind::label, "Frame1", u"zeny", 4920, 360, 375, 255, "#C0C0FF", nullptr, plain},
    {"Label10", kind::label, "Frame1", u"売り2回目：", 120, 600, 975, 255, "#C0C0FF", nullptr, plain},
    {"uri2", kind::text_box, "Frame1", nullptr, 1080, 600, 975, 270, nullptr, "#0000FF", digits},
    {"Label14", kind::label, "Frame1", u"zeny", 2160, 720, 375, 255, "#C0C0FF", nullptr, plain},
    {"Label34", kind::label, "Frame1", u"売り6回目：", 2880, 600, 975, 255, "#C0C0FF", nullptr, plain},
    {"uri7", kind::text_box, "Frame1", nullptr, 3840, 600, 975, 270, nullptr, "#0000FF", digits},
    {"Label38", kind::label, "Frame1", u"zeny", 4920, 720, 375, 255, "#C0C0FF", nullptr, plain},
    {"Label11", kind::label, "Frame1", u"売り3回目：", 120, 960, 975, 255, "#C0C0FF", nullptr, plain},
    {"uri3", kind::text_box, "Frame1", nullptr, 1080, 960, 975, 270, nullptr, "#0000FF", digits},
    {"Label15", kind::label, "Frame1", u"zeny", 2160, 1080, 375, 255, "#C0C0FF", nullptr, plain},
    {"Label35", kind::label, "Frame1", u"売り7回目：", 2880, 960, 975, 255, "#C0C0FF", nullptr, plain},
    {"uri8", kind::text_box, "Frame1", nullptr, 3840, 960, 975, 270, nullptr, "#0000FF", digits},
    {"Label39", kind::label, "Frame1", u"zeny", 4920, 1080, 375, 255, "#C0C0FF", nullptr, plain},
    {"Label12", kind::label, "Frame1", u"売り4回目：", 120, 1320, 975, 255, "#C0C0FF", nullptr, plain},
    {"uri4", kind::text_box, "Frame1", nullptr, 1080, 1320, 975, 270, nullptr, "#0000FF", digits},
    {"Label16", kind::label, "Frame1", u"zeny", 2160, 1440, 375, 255, "#C0C0FF", nullptr, plain},
    {"Label36", kind::label, "Frame1", u"売り8回目：", 2880, 1320, 975, 255, "#C0C0FF", nullptr, plain},
    {"uri9", kind::text_box, "Frame1", nullptr, 3840, 1320, 975, 270, nullptr, "#0000FF", digits},
    {"Label40", kind::label, "Frame1", u"zeny", 4920, 1440, 375, 255, "#C0C0FF", nullptr, plain},
    {"orc_check", kind::check_box, "Frame1", u"残し物オークション", 120, 1680, 1815, 375, "#C0C0FF", nullptr, plain},
    {"uri5", kind::text_box, "Frame1", nullptr, 2040, 1680, 1095, 270, nullptr, "#0000FF", digits},
    {"Label20", kind::label, "Frame1", u"zeny", 3240, 1680, 375, 255, "#C0C0FF", nullptr, plain},
    {"Label41", kind::label, "Frame1", u"(金額を入力)", 4320, 1800, 1215, 255, "#C0C0FF", "#0000C0", plain},
    {"Label24", kind::label, "window", u"★テキスト欄に書かれた文字をコピペしてRO内で貼り付けて下さい。", 360, 4320, 5055, 255, "#FFFFFF", "#FF0000", plain},
    {"Label18", kind::label, "window", u"・残した物\u3000(決定1ボタンを押すと回数、カンマ付金額が表示されます)", 360, 4680, 5415, 255, "#FFFFFF", "#FF8000", plain},
    {"nokori_txt", kind::text_box, "window", nullptr, 360, 5040, 5415, 375, "#FFE0C0", nullptr, flat},
    {"nokori_btn", kind::button, "window", u"決定1", 5880, 5040, 615, 375, "#FFE0C0", nullptr, plain},
    {"copy1", kind::button, "window", u"ｺﾋﾟｰ", 6600, 5040, 495, 375, "#FFE0C0", nullptr, plain},
    {"card_txt", kind::text_box, "window", nullptr, 360, 5520, 5415, 375, "#FFE0C0", nullptr, flat},
    {"copy2", kind::button, "window", u"ｺﾋﾟｰ", 6600, 5520, 495, 375, "#FFE0C0", nullptr, plain},
    {"Label17", kind::label, "window", u"・売上金\u3000(決定2ボタンを押すと回数、カンマ付金額が表示されます)", 360, 6120, 5415, 255, "#FFFFFF", "#0000FF", plain},
    {"uri_goukei_txt", kind::text_box, "window", nullptr, 360, 6480, 5415, 375, "#C0C0FF", nullptr, flat},
    {"uri_kei_btn", kind::button, "window", u"決定2", 5880, 6480, 615, 375, "#C0C0FF", nullptr, plain},
    {"copy3", kind::button, "window", u"ｺﾋﾟｰ", 6600, 6480, 615, 375, "#C0C0FF", nullptr, plain},
    {"uri_goukei_txt2", kind::text_box, "window", nullptr, 360, 6960, 5415, 375, "#C0C0FF", nullptr, flat},
    {"copy4", kind::button, "window", u"ｺﾋﾟｰ", 6600, 6960, 615, 375, "#C0C0FF", nullptr, plain},
    {"Label19", kind::label, "window", u"・合計金額と分配金", 360, 7560, 1695, 255, "#FFFFFF", "#FF0000", plain},
    {"Label22", kind::label, "window", u"分配する人数は？", 2400, 7560, 1575, 255, "#FFFFFF", nullptr, plain},
    {"nin", kind::text_box, "window", nullptr, 3960, 7440, 495, 375, "#FFC0C0", nullptr, centred | bold_font | digits},
    {"Label23", kind::label, "window", u"人", 4560, 7560, 255, 255, "#FFFFFF", nullptr, plain},
    {"bun_txt", kind::text_box, "window", nullptr, 360, 8040, 5415, 375, "#FFC0C0", nullptr, flat},
    {"bun_btn", kind::button, "window", u"決定3", 5880, 8040, 615, 375, "#FFC0C0", nullptr, plain},
    {"copy5", kind::button, "window", u"ｺﾋﾟｰ", 6600, 8040, 615, 375, "#FFC0C0", nullptr, plain},
    {"Label42", kind::label, "window", u"★分配金コピペ用テキストボックス→", 360, 8640, 2895, 255, "#FFFFFF", "#00C000", plain},
    {"bunpai_copy", kind::text_box, "window", nullptr, 3360, 8520, 1575, 390, "#FF8080", "#800000", centred | bold_font},
    {"copy6", kind::button, "window", u"ｺﾋﾟｰ", 5040, 8520, 615, 375, "#FF8080", nullptr, plain},
    {"Label43", kind::label, "window", u"(カンマ付はRO内で金額認識できない為)", 360, 8880, 3135, 255, "#FFFFFF", nullptr, small_font},
};

// Tab goes down each column of a grid before moving right, then through the buttons and
// the output boxes; after "copy6" it wraps to "syu1".
constexpr const char *main_tabs[] = {
    "syu1", "syu2", "syu3", "syu4",
    "card1", "card3", "card4", "card6", "card2", "card7", "card5", "card8",
    "uri1", "uri2", "uri3", "uri4", "uri6", "uri7", "uri8", "uri9", "uri5",
    "nokori_btn", "uri_kei_btn", "nin", "bun_btn",
    "copy1", "copy2", "copy3", "copy4", "copy5",
    "bunpai_copy", "bun_txt", "uri_goukei_txt2", "uri_goukei_txt", "card_txt", "nokori_txt",
    "orc_check", "copy6",
};

constexpr menu_row menu_rows[] = {
    {"file_top", u"ファイル(&F)", "file_close", u"終了(&X)"},
    {"edit_top", u"編集(&E)", "edit_clear", u"全てクリア(&C)"},
    {"help_top", u"使い方(&H)", "help_use", u"使い方を表示(&U)"},
};

constexpr binding_row binding_rows[] = {
    {"nokori_btn", command::leftover_tally, field::nokori_txt},
    {"uri_kei_btn", command::sales_tally, field::uri_goukei_txt},
    {"bun_btn", command::share_division, field::bun_txt},
    {"copy1", command::copy, field::nokori_txt},
    {"copy2", command::copy, field::card_txt},
    {"copy3", command::copy, field::uri_goukei_txt},
    {"copy4", command::copy, field::uri_goukei_txt2},
    {"copy5", command::copy, field::bun_txt},
    {"copy6", command::copy, field::bunpai_copy},
    {"file_close", command::end_program, field::nokori_txt},
    {"edit_clear", command::clear_all, field::nokori_txt},
    {"help_use", command::show_usage, field::nokori_txt},
};

// The white panel holds the icon at its top-left corner and the eight lines of instructions.
constexpr control_row usage_rows[] = {
    {"Picture1", kind::picture, "window", nullptr, 120, 120, 4215, 3435, "#FFFFFF", nullptr, sunken},
    {"Label1", kind::label, "Picture1", u"Pelmora 使い方説明", 360, 180, 3135, 255, "#FFFFFF", "#00C000", plain},
    {"Label2", kind::label, "Picture1", u"1.残す物（報酬、カード、カード帖など）の個数を入力", 120, 600, 3975, 255, "#FFFFFF", nullptr, plain},
    {"Label3", kind::label, "Picture1", u"2.収集品、装備などの売った金額(最大8回)を入力", 120, 960, 3855, 255, "#FFFFFF", nullptr, plain},
    {"Label4", kind::label, "Picture1", u"3.残り品をｵｰｸｼｮﾝした場合はチェックボックスに", 120, 1440, 3855, 255, "#FFFFFF", nullptr, plain},
    {"Label5", kind::label, "Picture1", u"チェックをし、ｵｰｸｼｮﾝの落札金額を入力", 600, 1680, 3255, 255, "#FFFFFF", nullptr, plain},
    {"Label6", kind::label, "Picture1", u"4.決定ボタンの1、2、3を押す", 120, 2040, 3735, 255, "#FFFFFF", nullptr, plain},
    {"Label7", kind::label, "Picture1", u"コピーボタンを押してROに貼付して下さい", 120, 2280, 3735, 255, "#FFFFFF", nullptr, plain},
    // The gap in the name and version is an ideographic space.
    {"Label8", kind::label, "Picture1", u"Pelmora\u3000Ver1.01", 1200, 3000, 2895, 255, "#FFFFFF", "#FF0000", plain},
    {"cmdOK", kind::button, "window", u"OK", 4440, 120, 1215, 375, nullptr, nullptr, default_button | cancel_button},
};

constexpr const char *usage_tabs[] = {"cmdOK", "Picture1"};

constexpr usage_transition usage_transitions[] = {
    {usage_state::absent, usage_event::show, usage_action::make_and_show},
    {usage_state::hidden, usage_event::show, usage_action::show},
    {usage_state::visible, usage_event::show, usage_action::show}, // to the front, as it was
    {usage_state::visible, usage_event::button, usage_action::hide},
    {usage_state::visible, usage_event::close_box, usage_action::destroy},
    {usage_state::visible, usage_event::program_end, usage_action::destroy},
    {usage_state::hidden, usage_event::program_end, usage_action::destroy},
};

// Input boxes and the labels that name them (left) and give their unit (right).
struct input_row {
    const char *box;
    const char *label;
    const char *unit; // nullptr: the card boxes have none
};

constexpr input_row input_rows[] = {
    {"syu1", "Label1", "Label5"},   {"syu2", "Label2", "Label6"},
    {"syu3", "Label3", "Label7"},   {"syu4", "Label4", "Label8"},
    {"card1", "Label25", nullptr},  {"card2", "Label26", nullptr},
    {"card3", "Label29", nullptr},  {"card4", "Label27", nullptr},
    {"card5", "Label28", nullptr},  {"card6", "Label30", nullptr},
    {"card7", "Label31", nullptr},  {"card8", "Label32", nullptr},
    {"uri1", "Label9", "Label13"},  {"uri2", "Label10", "Label14"},
    {"uri3", "Label11", "Label15"}, {"uri4", "Label12", "Label16"},
    {"uri6", "Label33", "Label37"}, {"uri7", "Label34", "Label38"},
    {"uri8", "Label35", "Label39"}, {"uri9", "Label36", "Label40"},
    {"nin", "Label22", "Label23"},
};

struct output_row {
    const char *box;
    const char16_t *holds; // the report line the box holds, as a screen reader says it
    const char *copy;      // the button that copies the box
};

constexpr output_row output_rows[] = {
    {"nokori_txt", u"残した物の報告（報酬）", "copy1"},
    {"card_txt", u"残した物の報告（カード）", "copy2"},
    {"uri_goukei_txt", u"売上金の報告（売り1回目～4回目）", "copy3"},
    {"uri_goukei_txt2", u"売上金の報告（売り5回目～8回目）", "copy4"},
    {"bun_txt", u"合計金額と分配金の報告", "copy5"},
    {"bunpai_copy", u"分配金（カンマなしの数字）", "copy6"},
};

// The designed font first; then Windows' own gothics for installs without it; then the
// gothics of Linux desktops.
constexpr const char16_t *gothics[] = {
    u"ＭＳ Ｐゴシック", u"MS PGothic", u"Meiryo UI", u"Yu Gothic UI", u"IPAPGothic",
    u"IPA Pゴシック", u"VL PGothic", u"TakaoPGothic", u"Noto Sans CJK JP", u"Source Han Sans JP",
};

// A name missing from the table reads as nothing, which the accessibility checks report,
// rather than taking every front-end down at start-up.
std::u16string text_of(const char *control)
{
    const control_row *row = find_control(main_rows, control ? control : "");
    return row && row->text ? row->text : std::u16string();
}

} // namespace

const window_row main_window{"top", u"Pelmora Ver1.01", 7455, 9195, 4395, 990, "#FFFFFF"};
const window_row usage_window{"frmTip", u"使い方説明", 5760, 3750, 2355, 2385, nullptr};

std::span<const control_row> main_controls() { return main_rows; }
std::span<const char *const> main_tab_order() { return main_tabs; }
std::span<const menu_row> main_menus() { return menu_rows; }
std::span<const binding_row> main_bindings() { return binding_rows; }

const binding_row *binding_of(std::string_view control)
{
    for (const binding_row &row : binding_rows)
        if (control == row.control)
            return &row;
    return nullptr;
}
std::span<const control_row> usage_controls() { return usage_rows; }
std::span<const char *const> usage_tab_order() { return usage_tabs; }
std::span<const char16_t *const> gothic_families() { return gothics; }
std::span<const usage_transition> usage_lifecycle() { return usage_transitions; }

usage_action usage_step(usage_state now, usage_event on)
{
    for (const usage_transition &t : usage_transitions)
        if (t.from == now && t.on == on)
            return t.does;
    return usage_action::none; // nothing to do: a button of a hidden window, say
}

window_tables main_tables()
{
    return {&main_window, main_rows, main_tabs, menu_rows, binding_rows};
}

window_tables usage_tables()
{
    return {&usage_window, usage_rows, usage_tabs, {}, {}};
}

const control_row *find_control(std::span<const control_row> table, std::string_view name)
{
    const auto it = std::find_if(table.begin(), table.end(),
                                 [name](const control_row &row) { return row.name == name; });
    return it == table.end() ? nullptr : &*it;
}

accessible_text accessible_text_of(std::string_view control)
{
    for (const input_row &row : input_rows) {
        if (row.box != control)
            continue;
        // The sale labels end in a colon, which is not read out.
        std::u16string name = text_of(row.label);
        if (name.ends_with(u'：'))
            name.pop_back();
        return {name, row.unit ? text_of(row.unit) : std::u16string(), row.label};
    }
    // The auction bid has no label of its own: the check box left of it names it.
    if (control == "uri5")
        return {text_of("orc_check") + u"の落札金額", text_of("Label20")};
    for (const output_row &row : output_rows) {
        // All six copy buttons read "ｺﾋﾟｰ"; the name keeps that word and adds the line.
        if (row.box == control)
            return {row.holds, {}};
        if (row.copy == control)
            return {row.holds + std::u16string(u"を") + text_of(row.copy), {}};
    }
    return {};
}

std::optional<std::uint32_t> rgb_of(const char *colour)
{
    if (!colour || colour[0] != '#')
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 1; i <= 6; ++i) {
        const char c = colour[i];
        const int digit = c >= '0' && c <= '9' ? c - '0'
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                               : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

} // namespace pelmora
