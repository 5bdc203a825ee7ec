#include "numbers.hpp"
#include "tallies.hpp"

namespace pelmora {

void run_share_division(window_fields &w, tally_state &s)
{
    const std::u16string nin = w.text(field::nin);
    if (nin.empty()) { // blanks alone are not empty: they fail as a number below
        w.show_message(u"割り人数が入力されていません");
        return;
    }
    s.nin_val = parse_short(nin); // stored before the next refusal
    if (parse_double(nin) <= 1) { // the count as typed, before rounding
        w.show_message(u"1人以下は実行できません");
        return;
    }
    if (s.uri_kei1 == 0) { // no sales total yet
        w.show_message(u"｢決定2｣ボタンを押してから｢決定3｣ボタンを押して下さい");
        return;
    }

    s.goukei_val = checked_add(s.uri_kei1, s.uri_kei2);
    s.goukei_fmt = format_amount(s.goukei_val, money_pattern);
    // nin_val is at least 1 here, so the quotient always fits.
    s.bunpai_val = to_long(static_cast<double>(s.goukei_val) / s.nin_val);
    s.bunpai_fmt = format_amount(s.bunpai_val, money_pattern);

    std::u16string line = u"合計金額: [";
    line += s.goukei_fmt;
    line += u"]\u3000[";
    line += int_to_text(s.nin_val);
    line += u"]人割り";
    line += u"\u3000分配金額： ["; // full-width colon, then an ASCII space
    line += s.bunpai_fmt;
    line += u"]";
    w.set_text(field::bun_txt, line);
    w.set_text(field::bunpai_copy, int_to_text(s.bunpai_val)); // plain digits: the game cannot read "1,000"
}

} // namespace pelmora
