#include "numbers.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

// Reading choices:
// - Blanks are the ASCII space, tab, line feed and carriage return, and the ideographic space
//   U+3000, which a Japanese input method types for the space bar.
// - Full-width ASCII forms (U+FF01..U+FF5E: "１２３", "－", "．", "，") count as their ASCII
//   twins, so a user who left the input method on still gets the number they typed.
// - No hexadecimal "&H" or octal "&O" prefixes: nobody types zeny in hex, and "&H10" reading
//   as 16 would be a surprise. Such text has no number at its start and reads as 0.
// - The strict readers (parse_double, parse_short) take only a plain decimal number: blanks
//   around it, a sign, digits with "," anywhere after the first digit ("1,500", "1,,5" and
//   "2," alike), and a decimal part; no exponent, no currency sign.
// Nothing here depends on the C locale: "." is always the decimal point.

namespace pelmora {

namespace {

char16_t fold(char16_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E)
        return static_cast<char16_t>(c - 0xFEE0);
    return c;
}

bool is_blank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x3000;
}

bool is_digit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Beyond some 770 significant digits only whether anything non-zero follows can change the
// rounding to a double; keeping 800 and a flag for the rest keeps a pasted megabyte cheap.
constexpr std::size_t kept_digits = 800;

// Digits written as: sign, significant digits, times ten to a power.
struct decimal {
    bool negative = false;
    std::string digits;       // from the first non-zero digit, at most kept_digits of them
    long long exponent = 0;
    bool dropped_non_zero = false; // a non-zero digit came after the kept ones
    bool has_digit = false;

    void add_integer_digit(char16_t c)
    {
        has_digit = true;
        if (digits.empty() && c == u'0')
            return; // a leading zero
        if (digits.size() < kept_digits) {
            digits.push_back(static_cast<char>(c));
        } else {
            ++exponent; // no overflow: a text cannot be that long
            dropped_non_zero = dropped_non_zero || c != u'0';
        }
    }
    void add_fraction_digit(char16_t c)
    {
        has_digit = true;
        if (digits.empty() && c == u'0') {
            --exponent; // a leading zero after the point
            return;
        }
        if (digits.size() < kept_digits) {
            digits.push_back(static_cast<char>(c));
            --exponent;
        } else {
            dropped_non_zero = dropped_non_zero || c != u'0';
        }
    }
};

constexpr long long exponent_cap = 1'000'000'000;

// The double nearest to "DIGITSeEXPONENT" (digits without a point, a decimal exponent). Where
// the standard library has the floating-point from_chars, it reads them; libc++ (the library of
// the WebAssembly build) has none yet, and its strtod is the correctly rounded one of its C
// library. The text holds only ASCII digits, "e" and "-", which every locale reads alike. The
// shared corpus compares the builds byte for byte, so the two readers must agree on every case.
double nearest_double(const std::string &text, bool large)
{
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
        value = large ? std::numeric_limits<double>::infinity() : 0.0;
    return value;
#else
    (void)large; // out of range, strtod itself gives an infinity or zero
    return std::strtod(text.c_str(), nullptr);
#endif
}

// The double nearest to the decimal, or an infinity when it is too large for a double.
double to_double(const decimal &d)
{
    std::string buffer = d.digits;
    long long exponent = d.exponent;
    if (d.dropped_non_zero) { // a last digit 1 stands for the non-zero tail
        buffer.push_back('1');
        --exponent;
    }
    const auto last = buffer.find_last_not_of('0');
    if (last == std::string::npos)
        return 0.0;
    exponent += static_cast<long long>(buffer.size() - last - 1);
    buffer.resize(last + 1);

    // Power of ten of the leading digit; far outside a double's range we need not ask.
    const long long leading = exponent + static_cast<long long>(buffer.size()) - 1;
    const double inf = std::numeric_limits<double>::infinity();
    if (leading > 400)
        return d.negative ? -inf : inf;
    if (leading < -400)
        return 0.0;

    buffer.push_back('e');
    buffer += std::to_string(exponent);
    const double value = nearest_double(buffer, leading > 0);
    return d.negative ? -value : value;
}

[[noreturn]] void overflow()
{
    throw tally_error(error_kind::overflow);
}

[[noreturn]] void type_mismatch()
{
    throw tally_error(error_kind::type_mismatch);
}

double round_half_even(double x)
{
    const double down = std::floor(x);
    const double rest = x - down; // exact for every finite double
    if (rest > 0.5)
        return down + 1.0;
    if (rest < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

template <typename Int>
Int round_to(double value)
{
    if (std::isnan(value))
        overflow();
    const double r = round_half_even(value);
    if (r < static_cast<double>(std::numeric_limits<Int>::min())
        || r > static_cast<double>(std::numeric_limits<Int>::max()))
        overflow();
    return static_cast<Int>(r);
}

std::u16string ascii(std::string_view s)
{
    return std::u16string(s.begin(), s.end());
}

} // namespace

namespace {

const char *error_name(error_kind kind)
{
    switch (kind) {
    case error_kind::overflow: return "Overflow";
    case error_kind::type_mismatch: return "Type mismatch";
    case error_kind::clipboard_refused: return "Can't open clipboard";
    }
    return "Run-time error";
}

} // namespace

tally_error::tally_error(error_kind kind) : std::runtime_error(error_name(kind)), m_kind(kind) {}

std::u16string_view tally_error::description() const noexcept
{
    switch (m_kind) {
    case error_kind::overflow: return u"オーバーフローしました。";
    case error_kind::type_mismatch: return u"型が一致しません。";
    case error_kind::clipboard_refused: return u"クリップボードを開けません。";
    }
    return {};
}

std::u16string error_report(const tally_error &e)
{
    return u"実行時エラー '" + int_to_text(e.number()) + u"':\n\n" + std::u16string(e.description());
}

double read_number(std::u16string_view text)
{
    enum class stage { sign, integer, fraction, exponent_sign, exponent };
    decimal d;
    stage at = stage::sign;
    bool exponent_negative = false;
    bool exponent_has_digit = false;
    long long exponent = 0;

    for (const char16_t raw : text) {
        if (is_blank(raw))
            continue;
        const char16_t c = fold(raw);
        bool taken = true;
        switch (at) {
        case stage::sign:
            at = stage::integer;
            if (c == u'+' || c == u'-') {
                d.negative = c == u'-';
                break;
            }
            [[fallthrough]];
        case stage::integer:
            if (is_digit(c))
                d.add_integer_digit(c);
            else if (c == u'.')
                at = stage::fraction;
            else if (d.has_digit && (c == u'e' || c == u'E' || c == u'd' || c == u'D'))
                at = stage::exponent_sign;
            else
                taken = false;
            break;
        case stage::fraction:
            if (is_digit(c))
                d.add_fraction_digit(c);
            else if (d.has_digit && (c == u'e' || c == u'E' || c == u'd' || c == u'D'))
                at = stage::exponent_sign;
            else
                taken = false;
            break;
        case stage::exponent_sign:
            at = stage::exponent;
            if (c == u'+' || c == u'-') {
                exponent_negative = c == u'-';
                break;
            }
            [[fallthrough]];
        case stage::exponent:
            if (is_digit(c)) {
                exponent_has_digit = true;
                if (exponent < exponent_cap)
                    exponent = exponent * 10 + (c - u'0');
            } else {
                taken = false;
            }
            break;
        }
        if (!taken)
            break;
    }

    if (!d.has_digit)
        return 0.0;
    if (exponent_has_digit)
        d.exponent += exponent_negative ? -exponent : exponent;
    return to_double(d);
}

std::int32_t to_long(double value)
{
    return round_to<std::int32_t>(value);
}

std::int16_t to_short(double value)
{
    return round_to<std::int16_t>(value);
}

double parse_double(std::u16string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto at = [&](std::size_t k) { return fold(text[k]); };

    while (i < n && is_blank(text[i]))
        ++i;
    decimal d;
    if (i < n && (at(i) == u'+' || at(i) == u'-')) {
        d.negative = at(i) == u'-';
        ++i;
    }
    if (i < n && is_digit(at(i))) {
        for (; i < n && (is_digit(at(i)) || at(i) == u','); ++i)
            if (at(i) != u',')
                d.add_integer_digit(at(i));
    }
    if (i < n && at(i) == u'.') {
        for (++i; i < n && is_digit(at(i)); ++i)
            d.add_fraction_digit(at(i));
    }
    while (i < n && is_blank(text[i]))
        ++i;
    if (i != n || !d.has_digit)
        type_mismatch();

    const double value = to_double(d);
    if (std::isinf(value))
        overflow();
    return value;
}

std::int16_t parse_short(std::u16string_view text)
{
    return to_short(parse_double(text));
}

std::u16string int_to_text(std::int32_t value)
{
    return ascii(std::to_string(value));
}

std::u16string format_amount(std::int32_t value, std::u16string_view pattern)
{
    if (pattern != money_pattern && pattern != count_pattern)
        throw std::invalid_argument("format_amount: unknown pattern");
    const std::string digits = std::to_string(std::llabs(static_cast<long long>(value)));
    std::u16string out;
    if (value < 0)
        out.push_back(u'-');
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(u',');
        out.push_back(static_cast<char16_t>(digits[i]));
    }
    return out;
}

std::int32_t checked_add(std::int32_t a, std::int32_t b)
{
    const long long sum = static_cast<long long>(a) + b;
    if (sum < std::numeric_limits<std::int32_t>::min() || sum > std::numeric_limits<std::int32_t>::max())
        overflow();
    return static_cast<std::int32_t>(sum);
}

std::int16_t checked_add(std::int16_t a, std::int16_t b)
{
    const int sum = a + b;
    if (sum < std::numeric_limits<std::int16_t>::min() || sum > std::numeric_limits<std::int16_t>::max())
        overflow();
    return static_cast<std::int16_t>(sum);
}

} // namespace pelmora
