#include "numbers.hpp"
#include "tallies.hpp"

#include <array>

namespace pelmora {

namespace {

struct sale_row {
    field box;
    std::int32_t tally_state::*amount;
    std::u16string tally_state::*text;
    std::u16string_view label;
};

// Box uri5 is the auction; boxes uri6..uri9 are sales 5 to 8.
constexpr std::array<sale_row, 5> first_group{{
    {field::uri1, &tally_state::uri_val1, &tally_state::uri_fmt1, u"売1:"},
    {field::uri2, &tally_state::uri_val2, &tally_state::uri_fmt2, u"、売2:"},
    {field::uri3, &tally_state::uri_val3, &tally_state::uri_fmt3, u"、売3:"},
    {field::uri4, &tally_state::uri_val4, &tally_state::uri_fmt4, u"、売4:"},
    {field::uri5, &tally_state::uri_val5, &tally_state::uri_fmt5, u"、ｵｰｸ:"},
}};

constexpr std::array<sale_row, 4> second_group{{
    {field::uri6, &tally_state::uri_val6, &tally_state::uri_fmt6, u"売5:"},
    {field::uri7, &tally_state::uri_val7, &tally_state::uri_fmt7, u"、売6:"},
    {field::uri8, &tally_state::uri_val8, &tally_state::uri_fmt8, u"、売7:"},
    {field::uri9, &tally_state::uri_val9, &tally_state::uri_fmt9, u"、売8:"},
}};

constexpr std::size_t auction = 4; // index of uri5 in first_group

template <std::size_t N>
void read_group(const window_fields &w, tally_state &s, const std::array<sale_row, N> &rows)
{
    // Each amount is stored before the next box is read, so an overflow keeps the earlier ones.
    for (const sale_row &r : rows)
        s.*r.amount = to_long(read_number(w.text(r.box)));
    for (const sale_row &r : rows)
        s.*r.text = format_amount(s.*r.amount, money_pattern);
}

// Number of sales of a group to show: up to the highest-numbered positive one.
std::size_t shown_sales(const tally_state &s, const sale_row *rows, std::size_t count)
{
    while (count > 0 && s.*rows[count - 1].amount <= 0)
        --count;
    return count;
}

std::u16string pieces(const tally_state &s, const sale_row *rows, std::size_t count)
{
    std::u16string line;
    for (std::size_t i = 0; i < count; ++i)
        line.append(rows[i].label).append(s.*rows[i].text);
    return line;
}

std::int32_t total(const tally_state &s, const sale_row *rows, std::size_t count)
{
    std::int32_t sum = s.*rows[0].amount;
    for (std::size_t i = 1; i < count; ++i)
        sum = checked_add(sum, s.*rows[i].amount);
    return sum;
}

} // namespace

void run_sales_tally(window_fields &w, tally_state &s)
{
    read_group(w, s, first_group);
    read_group(w, s, second_group);

    // The auction bid alone is no sale; a negative amount counts as entered.
    bool any_sale = false;
    for (std::size_t i = 0; i < auction; ++i)
        any_sale = any_sale || s.*first_group[i].amount != 0;
    for (const sale_row &r : second_group)
        any_sale = any_sale || s.*r.amount != 0;
    if (!any_sale) {
        w.show_message(u"売上金額が入力されていません");
        return;
    }

    const bool with_auction = w.orc_check() == orc_checked;

    s.uri_kei1 = total(s, first_group.data(), with_auction ? auction + 1 : auction);
    const std::size_t first_sales = shown_sales(s, first_group.data(), auction);
    std::u16string line1;
    if (with_auction) {
        // Sale 1 is always shown before the auction piece, even when it is not positive.
        line1 = pieces(s, first_group.data(), first_sales > 0 ? first_sales : 1);
        line1.append(first_group[auction].label).append(s.*first_group[auction].text);
    } else {
        line1 = pieces(s, first_group.data(), first_sales);
    }
    w.set_text(field::uri_goukei_txt, line1);

    s.uri_kei2 = total(s, second_group.data(), second_group.size());
    w.set_text(field::uri_goukei_txt2,
               pieces(s, second_group.data(), shown_sales(s, second_group.data(), second_group.size())));
}

} // namespace pelmora
