// "決定1" on the window-less model, with the twelve count boxes filled from the input and the
// record and output boxes as an earlier run may have left them. Whatever the texts, the command
// either completes or stops with Overflow, never touches a box the user typed in, and leaves
// new values in exactly the fields it stored before it stopped.
//
// Input: setup|syu1|syu2|syu3|syu4|card1|...|card8 (see fuzz_support.hpp for the setup piece
// and for how bytes become text).

#include "fuzz_support.hpp"
#include "tallies.hpp"

using namespace pelmora;
using fuzz::attempt;

namespace {

constexpr std::array reward_boxes{field::syu1, field::syu2, field::syu3, field::syu4};
constexpr std::array reward_counts{&tally_state::syu_val1, &tally_state::syu_val2,
                                   &tally_state::syu_val3, &tally_state::syu_val4};
constexpr std::array reward_texts{&tally_state::syu_fmt1, &tally_state::syu_fmt2,
                                  &tally_state::syu_fmt3, &tally_state::syu_fmt4};
constexpr std::array<std::u16string_view, 4> reward_labels{u"赤羽毛:", u"、青羽毛:", u"、呪印:", u"、金腕輪:"};

constexpr std::array card_boxes{field::card1, field::card2, field::card3, field::card4,
                                field::card5, field::card6, field::card7, field::card8};
constexpr std::array card_counts{&tally_state::card_val1, &tally_state::card_val2,
                                 &tally_state::card_val3, &tally_state::card_val4,
                                 &tally_state::card_val5, &tally_state::card_val6,
                                 &tally_state::card_val7, &tally_state::card_val8};
// The album, last, has no space after its count.
constexpr std::array<std::u16string_view, 8> card_labels{u"慰c", u"執行c", u"苦悩c", u"保護c",
    u"監視c", u"悲c", u"ﾌﾟﾗｽﾞﾏc", u"帖"};
constexpr std::u16string_view no_cards = u"カード等無し";

void stopped(fuzz::scene &e, error_kind kind)
{
    e.w.messages.push_back(error_report(tally_error(kind)));
}

// What the command must leave behind, written from its rules for each way it can stop.
void expect(fuzz::scene &e)
{
    for (std::size_t i = 0; i < 4; ++i) {
        const auto r = attempt([&] { return to_long(read_number(e.w.text(reward_boxes[i]))); });
        if (r.error)
            return stopped(e, *r.error); // earlier counts new, everything else old
        e.s.*reward_counts[i] = *r.value;
    }
    std::u16string line;
    for (std::size_t i = 0; i < 4; ++i) {
        e.s.*reward_texts[i] = format_amount(e.s.*reward_counts[i], count_pattern);
        line += reward_labels[i];
        line += e.s.*reward_texts[i];
    }
    e.w.set_text(field::nokori_txt, line);

    for (std::size_t i = 0; i < 8; ++i) {
        const auto r = attempt([&] { return to_short(read_number(e.w.text(card_boxes[i]))); });
        if (r.error)
            return stopped(e, *r.error); // card_msg, card_kei and card_txt old
        e.s.*card_counts[i] = *r.value;
    }
    std::u16string cards;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::int16_t n = e.s.*card_counts[i];
        if (n > 0)
            cards += std::u16string(card_labels[i]) + int_to_text(n) + (i < 7 ? u" " : u"");
    }
    e.s.card_msg = cards;

    int sum = e.s.card_val1;
    for (std::size_t i = 1; i < 8; ++i) {
        sum += e.s.*card_counts[i];
        if (sum < -32768 || sum > 32767)
            return stopped(e, error_kind::overflow); // card_msg new, card_kei and card_txt old
    }
    e.s.card_kei = static_cast<std::int16_t>(sum);
    if (sum == 0)
        e.s.card_msg = no_cards;
    e.w.set_text(field::card_txt, e.s.card_msg);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto pieces = fuzz::split(data, size);
    fuzz::scene actual;
    fuzz::set_up(actual, pieces[0]);
    fuzz::fill(actual, pieces, {field::syu1, field::syu2, field::syu3, field::syu4, field::card1,
                                field::card2, field::card3, field::card4, field::card5,
                                field::card6, field::card7, field::card8});
    fuzz::scene expected = actual;

    const bool completed = run_command(actual.w, [&] { run_leftover_tally(actual.w, actual.s); });
    expect(expected);
    fuzz::check(completed == expected.w.messages.empty(), "completed, yet a message was due");
    fuzz::compare(actual, expected, "leftover tally");
    return 0;
}
