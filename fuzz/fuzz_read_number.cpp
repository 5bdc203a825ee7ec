// read_number against a second, deliberately plain reading: drop the blanks, fold full-width
// forms, take the longest prefix that is a number, and let the C library's strtod in the "C"
// locale turn it into a double. Then to_long and to_short on that value, and on the input's
// first eight bytes taken as a double (NaN, infinities, subnormals, exact halves), must either
// give the value rounded half to even or raise Overflow exactly when that is out of range.

#include "fuzz_support.hpp"

#include <cfenv>
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

// The digits, signs, points and exponent letters a box may hold, folded to ASCII.
char ascii_of(char16_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E)
        c = static_cast<char16_t>(c - 0xFEE0);
    return c < 0x80 ? static_cast<char>(c) : '\x01'; // \x01 fits nowhere in a number
}

bool digit(char c)
{
    return c >= '0' && c <= '9';
}

// The longest prefix of the text that reads as a number, as ASCII for strtod, or "" if none.
std::string number_prefix(std::u16string_view text)
{
    std::string s;
    for (char16_t c : text)
        if (!blank(c))
            s.push_back(ascii_of(c));

    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && digit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && digit(s[i]); ++i)
            ++digits;
    if (digits == 0)
        return "";
    std::string number = s.substr(0, i);
    // An exponent counts only with at least one digit: "1e" and "1e+" read as 1.
    if (i < s.size() && std::string_view("eEdD").find(s[i]) != std::string_view::npos) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const std::size_t exponent_digits = j;
        while (j < s.size() && digit(s[j]))
            ++j;
        if (j > exponent_digits)
            number += "e" + s.substr(i + 1, j - i - 1);
    }
    return number;
}

double reference_value(std::u16string_view text)
{
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const std::string number = number_prefix(text);
    if (number.empty())
        return 0.0;
    return strtod_l(number.c_str(), nullptr, c_locale);
}

// Checks one of to_long / to_short on a value.
template <typename Int, typename Convert>
void check_rounding(double value, Convert convert, const char *name)
{
    const auto r = fuzz::attempt([&] { return convert(value); });
    char what[160];
    std::snprintf(what, sizeof what, "%s(%.17g)", name, value);
    if (std::isnan(value)) {
        fuzz::check(r.error == error_kind::overflow, std::string(what) + " must raise Overflow");
        return;
    }
    // nearbyint rounds to the nearest integer, ties to even, in the default rounding mode.
    const double rounded = std::nearbyint(value);
    const bool fits = rounded >= std::numeric_limits<Int>::min()
                      && rounded <= std::numeric_limits<Int>::max();
    if (!fits) {
        fuzz::check(r.error == error_kind::overflow, std::string(what) + " must raise Overflow");
        return;
    }
    fuzz::check(!r.error, std::string(what) + " raised an error for a value in range");
    fuzz::check(static_cast<double>(*r.value) == rounded,
                std::string(what) + " gave " + std::to_string(*r.value));
}

void check_conversions(double value)
{
    check_rounding<std::int32_t>(value, [](double v) { return to_long(v); }, "to_long");
    check_rounding<std::int16_t>(value, [](double v) { return to_short(v); }, "to_short");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text =
        fuzz::decode(std::string_view(reinterpret_cast<const char *>(data), size));
    const double value = read_number(text);
    const double expected = reference_value(text);
    if (!(value == expected)) {
        char what[200];
        std::snprintf(what, sizeof what, "read_number gave %.17g, expected %.17g for '", value,
                      expected);
        fuzz::fail(what + fuzz::show(text) + "' (number part '" + number_prefix(text) + "')");
    }
    check_conversions(value);

    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        check_conversions(raw);
    }
    return 0;
}
