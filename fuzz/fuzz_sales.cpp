// "決定2" on the window-less model, with the nine amount boxes filled from the input, the check
// box in any of its three states and the record and output boxes as an earlier run may have
// left them. The command completes, stops at its message about missing sales, or stops with
// Overflow; in each case exactly the fields stored before the stop hold new values.
//
// Input: setup|uri1|uri2|...|uri9 (see fuzz_support.hpp).

#include "fuzz_support.hpp"
#include "tallies.hpp"

using namespace pelmora;
using fuzz::attempt;

namespace {

constexpr std::array boxes{field::uri1, field::uri2, field::uri3, field::uri4, field::uri5,
                           field::uri6, field::uri7, field::uri8, field::uri9};
constexpr std::array amounts{&tally_state::uri_val1, &tally_state::uri_val2,
                             &tally_state::uri_val3, &tally_state::uri_val4,
                             &tally_state::uri_val5, &tally_state::uri_val6,
                             &tally_state::uri_val7, &tally_state::uri_val8,
                             &tally_state::uri_val9};
constexpr std::array texts{&tally_state::uri_fmt1, &tally_state::uri_fmt2, &tally_state::uri_fmt3,
                           &tally_state::uri_fmt4, &tally_state::uri_fmt5, &tally_state::uri_fmt6,
                           &tally_state::uri_fmt7, &tally_state::uri_fmt8, &tally_state::uri_fmt9};
// Indexed like the boxes: uri5 is the auction, uri6..uri9 are sales 5 to 8.
constexpr std::array<std::u16string_view, 9> labels{u"売1:", u"、売2:", u"、売3:", u"、売4:", u"、ｵｰｸ:",
    u"売5:", u"、売6:", u"、売7:", u"、売8:"};
constexpr std::u16string_view no_sales = u"売上金額が入力されていません";

void stopped(fuzz::scene &e, error_kind kind)
{
    e.w.messages.push_back(error_report(tally_error(kind)));
}

// The pieces of boxes `first`, `first + 1`, ... up to and including `last`.
std::u16string line(const tally_state &s, std::size_t first, std::size_t last)
{
    std::u16string out;
    for (std::size_t i = first; i <= last; ++i)
        out += std::u16string(labels[i]) + s.*texts[i];
    return out;
}

// Checked sum of some boxes' amounts, left to right; nothing when a partial sum overflows.
std::optional<std::int32_t> sum(const tally_state &s, std::initializer_list<std::size_t> which)
{
    long long total = 0;
    bool first = true;
    for (std::size_t i : which) {
        total = first ? s.*amounts[i] : total + s.*amounts[i];
        first = false;
        if (total < INT32_MIN || total > INT32_MAX)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(total);
}

// What the command must leave behind, written from its rules, step by step.
void expect(fuzz::scene &e)
{
    auto read = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            const auto r = attempt([&] { return to_long(read_number(e.w.text(boxes[i]))); });
            if (r.error) {
                stopped(e, *r.error);
                return false;
            }
            e.s.*amounts[i] = *r.value;
        }
        for (std::size_t i = from; i < to; ++i)
            e.s.*texts[i] = format_amount(e.s.*amounts[i], money_pattern);
        return true;
    };
    if (!read(0, 5) || !read(5, 9))
        return;

    const tally_state &s = e.s;
    const bool any_sale = s.uri_val1 || s.uri_val2 || s.uri_val3 || s.uri_val4 || s.uri_val6
                          || s.uri_val7 || s.uri_val8 || s.uri_val9;
    if (!any_sale) {
        e.w.messages.emplace_back(no_sales);
        return;
    }

    const bool auction = e.w.orc_check() == orc_checked; // greyed counts as not checked
    const auto kei1 = auction ? sum(s, {0, 1, 2, 3, 4}) : sum(s, {0, 1, 2, 3});
    if (!kei1)
        return stopped(e, error_kind::overflow);
    e.s.uri_kei1 = *kei1;
    std::u16string line1;
    if (s.uri_val4 > 0)
        line1 = line(s, 0, 3);
    else if (s.uri_val3 > 0)
        line1 = line(s, 0, 2);
    else if (s.uri_val2 > 0)
        line1 = line(s, 0, 1);
    else if (s.uri_val1 > 0 || auction)
        line1 = line(s, 0, 0);
    if (auction)
        line1 += line(s, 4, 4);
    e.w.set_text(field::uri_goukei_txt, line1);

    const auto kei2 = sum(s, {5, 6, 7, 8});
    if (!kei2)
        return stopped(e, error_kind::overflow);
    e.s.uri_kei2 = *kei2;
    std::u16string line2;
    if (s.uri_val9 > 0)
        line2 = line(s, 5, 8);
    else if (s.uri_val8 > 0)
        line2 = line(s, 5, 7);
    else if (s.uri_val7 > 0)
        line2 = line(s, 5, 6);
    else if (s.uri_val6 > 0)
        line2 = line(s, 5, 5);
    e.w.set_text(field::uri_goukei_txt2, line2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto pieces = fuzz::split(data, size);
    fuzz::scene actual;
    fuzz::set_up(actual, pieces[0]);
    fuzz::fill(actual, pieces, {field::uri1, field::uri2, field::uri3, field::uri4, field::uri5,
                                field::uri6, field::uri7, field::uri8, field::uri9});
    fuzz::scene expected = actual;

    const bool completed = run_command(actual.w, [&] { run_sales_tally(actual.w, actual.s); });
    expect(expected);
    const bool error_due = !expected.w.messages.empty() && expected.w.messages[0] != no_sales;
    fuzz::check(completed != error_due, "the command's result does not match its end");
    fuzz::compare(actual, expected, "sales tally");
    return 0;
}
