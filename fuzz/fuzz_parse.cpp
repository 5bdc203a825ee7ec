// The strict readers parse_double and parse_short against a plain grammar written here:
//   blanks, optional sign, [digit, then digits and ","], optional "." and digits, blanks,
// with at least one digit. A text outside it must raise Type mismatch; a text inside it must
// give strtod's value of its digits (Overflow when that is infinite), and parse_short that
// value rounded half to even or Overflow outside -32768..32767.
// Then the round trips the tallies rely on: for an integer taken from the input,
// format_amount gives digits grouped in threes that parse_double reads back to the integer,
// and int_to_text gives plain digits that read_number and parse_short read back.

#include "fuzz_support.hpp"

#include <cmath>
#include <cstring>
#include <locale.h>
#include <stdlib.h>

using namespace pelmora;

namespace {

bool blank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x3000;
}

char16_t folded(char16_t c)
{
    return c >= 0xFF01 && c <= 0xFF5E ? static_cast<char16_t>(c - 0xFEE0) : c;
}

bool digit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The number as ASCII for strtod ("-12.5"), or nothing when the text is not one number.
std::optional<std::string> grammar(std::u16string_view text)
{
    std::size_t i = 0, n = text.size();
    while (i < n && blank(text[i]))
        ++i;
    while (n > i && blank(text[n - 1]))
        --n;
    std::u16string s;
    for (std::size_t k = i; k < n; ++k)
        s.push_back(folded(text[k]));

    std::string number;
    std::size_t k = 0, digits = 0;
    if (k < s.size() && (s[k] == u'+' || s[k] == u'-'))
        number.push_back(static_cast<char>(s[k++]));
    if (k < s.size() && digit(s[k])) {
        for (; k < s.size() && (digit(s[k]) || s[k] == u','); ++k) {
            if (s[k] != u',') {
                number.push_back(static_cast<char>(s[k]));
                ++digits;
            }
        }
    }
    if (k < s.size() && s[k] == u'.') {
        number.push_back('.');
        for (++k; k < s.size() && digit(s[k]); ++k, ++digits)
            number.push_back(static_cast<char>(s[k]));
    }
    if (k != s.size() || digits == 0)
        return std::nullopt;
    return number;
}

std::string what(const char *name, std::u16string_view text)
{
    return std::string(name) + "('" + fuzz::show(text) + "')";
}

void check_strict(std::u16string_view text)
{
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const auto d = fuzz::attempt([&] { return parse_double(text); });
    const auto s = fuzz::attempt([&] { return parse_short(text); });
    const auto number = grammar(text);
    if (!number) {
        fuzz::check(d.error == error_kind::type_mismatch,
                    what("parse_double", text) + " must raise Type mismatch");
        fuzz::check(s.error == error_kind::type_mismatch,
                    what("parse_short", text) + " must raise Type mismatch");
        return;
    }
    const double value = strtod_l(number->c_str(), nullptr, c_locale);
    if (std::isinf(value)) {
        fuzz::check(d.error == error_kind::overflow, what("parse_double", text) + " must raise Overflow");
        fuzz::check(s.error == error_kind::overflow, what("parse_short", text) + " must raise Overflow");
        return;
    }
    fuzz::check(d.value && *d.value == value, what("parse_double", text) + " is not " + *number);
    const double rounded = std::nearbyint(value); // ties to even
    if (rounded < -32768 || rounded > 32767)
        fuzz::check(s.error == error_kind::overflow, what("parse_short", text) + " must raise Overflow");
    else
        fuzz::check(s.value && *s.value == rounded, what("parse_short", text) + " is not rounded " + *number);
}

// "-1,234,567": optional "-", a first group of one to three digits without a leading zero
// (or "0" alone), then groups of exactly three.
bool grouped(std::u16string_view t)
{
    if (!t.empty() && t[0] == u'-')
        t.remove_prefix(1);
    if (t == u"0")
        return true;
    if (t.empty() || t[0] == u'0')
        return false;
    const std::size_t head = (t.size() % 4 == 0) ? 0 : t.size() % 4;
    if (head == 0)
        return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool comma_place = i >= head && (i - head) % 4 == 0;
        if (comma_place ? t[i] != u',' : !digit(t[i]))
            return false;
    }
    return true;
}

void check_round_trip(std::int32_t v)
{
    const std::string name = std::to_string(v);
    for (std::u16string_view pattern : {money_pattern, count_pattern}) {
        const std::u16string text = format_amount(v, pattern);
        fuzz::check(grouped(text), "format_amount(" + name + ") gave '" + fuzz::show(text) + "'");
        const auto back = fuzz::attempt([&] { return parse_double(text); });
        fuzz::check(back.value && *back.value == v,
                    "parse_double does not read format_amount(" + name + ") back");
    }
    const std::u16string plain = int_to_text(v);
    fuzz::check(plain == std::u16string(name.begin(), name.end()),
                "int_to_text(" + name + ") gave '" + fuzz::show(plain) + "'");
    fuzz::check(read_number(plain) == v, "read_number does not read int_to_text(" + name + ") back");
    const auto s = fuzz::attempt([&] { return parse_short(plain); });
    if (v >= -32768 && v <= 32767)
        fuzz::check(s.value && *s.value == v, "parse_short does not read " + name + " back");
    else
        fuzz::check(s.error == error_kind::overflow, "parse_short(" + name + ") must raise Overflow");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text =
        fuzz::decode(std::string_view(reinterpret_cast<const char *>(data), size));
    check_strict(text);

    if (size >= 4) {
        std::int32_t v;
        std::memcpy(&v, data, sizeof v);
        check_round_trip(v);
    }
    // The integer typed, when there is one, so that round trips also see readable numbers.
    const auto typed = fuzz::attempt([&] { return to_long(read_number(text)); });
    if (typed.value)
        check_round_trip(*typed.value);
    return 0;
}
