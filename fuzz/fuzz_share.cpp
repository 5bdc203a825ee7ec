// "決定3" on the window-less model: the people count from the input, the two sales totals and
// the rest of the record and the output boxes as an earlier run may have left them. The
// command completes, refuses with one of its three messages, or stops with Type mismatch or
// Overflow; the share is the exact quotient rounded half to even, computed here in integers.
//
// Input: setup|nin (see fuzz_support.hpp). Without a second piece "nin" keeps its "12".

#include "fuzz_support.hpp"
#include "tallies.hpp"

using namespace pelmora;
using fuzz::attempt;

namespace {

constexpr std::u16string_view no_count = u"割り人数が入力されていません";
constexpr std::u16string_view too_few = u"1人以下は実行できません";
constexpr std::u16string_view no_total = u"｢決定2｣ボタンを押してから｢決定3｣ボタンを押して下さい";
// The line's fixed pieces; two of them hold the ideographic space U+3000.
constexpr std::array<std::u16string_view, 5> pieces{u"合計金額: [", u"]\u3000[", u"]人割り", u"\u3000分配金額： [", u"]"};

void stopped(fuzz::scene &e, error_kind kind)
{
    e.w.messages.push_back(error_report(tally_error(kind)));
}

// total / people to the nearest integer, a tie going to the even neighbour (people > 0).
std::int32_t share(std::int32_t total, std::int16_t people)
{
    const long long t = total, n = people;
    long long q = t / n; // rounded toward zero
    const long long rest = t % n;
    const long long twice_rest = 2 * (rest < 0 ? -rest : rest);
    if (twice_rest > n || (twice_rest == n && q % 2 != 0))
        q += t < 0 ? -1 : 1;
    return static_cast<std::int32_t>(q);
}

void expect(fuzz::scene &e)
{
    const std::u16string nin = e.w.text(field::nin);
    if (nin.empty()) {
        e.w.messages.emplace_back(no_count);
        return;
    }
    const auto count = attempt([&] { return parse_short(nin); });
    if (count.error)
        return stopped(e, *count.error); // nothing changes
    e.s.nin_val = *count.value;
    if (*attempt([&] { return parse_double(nin); }).value <= 1) {
        e.w.messages.emplace_back(too_few);
        return;
    }
    if (e.s.uri_kei1 == 0) {
        e.w.messages.emplace_back(no_total);
        return;
    }
    const long long total = static_cast<long long>(e.s.uri_kei1) + e.s.uri_kei2;
    if (total < INT32_MIN || total > INT32_MAX)
        return stopped(e, error_kind::overflow);
    e.s.goukei_val = static_cast<std::int32_t>(total);
    e.s.goukei_fmt = format_amount(e.s.goukei_val, money_pattern);
    fuzz::check(e.s.nin_val > 0, "a count of more than 1 rounded to less than 1");
    e.s.bunpai_val = share(e.s.goukei_val, e.s.nin_val);
    e.s.bunpai_fmt = format_amount(e.s.bunpai_val, money_pattern);
    e.w.set_text(field::bun_txt, std::u16string(pieces[0]) + e.s.goukei_fmt
                                     + std::u16string(pieces[1]) + int_to_text(e.s.nin_val)
                                     + std::u16string(pieces[2]) + std::u16string(pieces[3])
                                     + e.s.bunpai_fmt + std::u16string(pieces[4]));
    e.w.set_text(field::bunpai_copy, int_to_text(e.s.bunpai_val));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto input = fuzz::split(data, size);
    fuzz::scene actual;
    fuzz::set_up(actual, input[0]);
    fuzz::fill(actual, input, {field::nin});
    fuzz::scene expected = actual;

    const bool completed = run_command(actual.w, [&] { run_share_division(actual.w, actual.s); });
    expect(expected);
    const auto &m = expected.w.messages;
    const bool error_due = !m.empty() && m[0] != no_count && m[0] != too_few && m[0] != no_total;
    fuzz::check(completed != error_due, "the command's result does not match its end");
    fuzz::compare(actual, expected, "share division");
    return 0;
}
