#include "numbers.hpp"
#include "tallies.hpp"

#include <array>

namespace pelmora {

namespace {

struct reward_row {
    field box;
    std::int32_t tally_state::*count;
    std::u16string tally_state::*text;
    std::u16string_view label; // the separator "、" belongs to the label that follows it
};

constexpr std::array<reward_row, 4> rewards{{
    {field::syu1, &tally_state::syu_val1, &tally_state::syu_fmt1, u"赤羽毛:"},
    {field::syu2, &tally_state::syu_val2, &tally_state::syu_fmt2, u"、青羽毛:"},
    {field::syu3, &tally_state::syu_val3, &tally_state::syu_fmt3, u"、呪印:"},
    {field::syu4, &tally_state::syu_val4, &tally_state::syu_fmt4, u"、金腕輪:"},
}};

struct card_row {
    field box;
    std::int16_t tally_state::*count;
    std::u16string_view label;
};

// card7's label is half-width katakana followed by a Latin "c".
constexpr std::array<card_row, 8> cards{{
    {field::card1, &tally_state::card_val1, u"慰c"},
    {field::card2, &tally_state::card_val2, u"執行c"},
    {field::card3, &tally_state::card_val3, u"苦悩c"},
    {field::card4, &tally_state::card_val4, u"保護c"},
    {field::card5, &tally_state::card_val5, u"監視c"},
    {field::card6, &tally_state::card_val6, u"悲c"},
    {field::card7, &tally_state::card_val7, u"ﾌﾟﾗｽﾞﾏc"},
    {field::card8, &tally_state::card_val8, u"帖"},
}};

} // namespace

void run_leftover_tally(window_fields &w, tally_state &s)
{
    for (const reward_row &r : rewards)
        s.*r.count = to_long(read_number(w.text(r.box)));
    for (const reward_row &r : rewards)
        s.*r.text = format_amount(s.*r.count, count_pattern);

    std::u16string line;
    for (const reward_row &r : rewards)
        line.append(r.label).append(s.*r.text);
    w.set_text(field::nokori_txt, line);

    for (const card_row &c : cards)
        s.*c.count = to_short(read_number(w.text(c.box)));

    s.card_msg.clear();
    for (const card_row &c : cards) {
        if (s.*c.count <= 0)
            continue;
        s.card_msg.append(c.label).append(int_to_text(s.*c.count));
        if (c.box != field::card8)
            s.card_msg.push_back(u' '); // the album ends the line, so no space after it
    }

    // Summed in box order, so a partial sum can overflow even when the whole would fit.
    std::int16_t sum = s.*cards[0].count;
    for (std::size_t i = 1; i < cards.size(); ++i)
        sum = checked_add(sum, s.*cards[i].count);
    s.card_kei = sum;

    // The test is on the sum, not on the pieces: mixed signs that cancel mean "no cards".
    if (s.card_kei == 0)
        s.card_msg = u"カード等無し";
    w.set_text(field::card_txt, s.card_msg);
}

} // namespace pelmora
