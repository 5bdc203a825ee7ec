#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora {

// The program's one run-time error. Its numbers are the ones users of such calculators know.
// The tallies raise the first two; a copy that the system clipboard refuses raises the third.
enum class error_kind : int { overflow = 6, type_mismatch = 13, clipboard_refused = 521 };

class tally_error : public std::runtime_error {
public:
    explicit tally_error(error_kind kind);
    error_kind kind() const noexcept { return m_kind; }
    int number() const noexcept { return static_cast<int>(m_kind); }
    // The Japanese description shown to the user: "オーバーフローしました。", "型が一致しません。",
    // "クリップボードを開けません。".
    std::u16string_view description() const noexcept;

private:
    error_kind m_kind;
};

// The text of the message box that reports a tally_error, e.g.
// "実行時エラー '6':\n\nオーバーフローしました。".
std::u16string error_report(const tally_error &e);

// Lenient reading of a typed text: the number at its start, blanks ignored anywhere, 0 when
// there is none. "1,500" reads as 1 (the comma ends the number), "1e3" as 1000.
double read_number(std::u16string_view text);

// Round half to even, then range-check; tally_error overflow outside the type's range.
std::int32_t to_long(double value);
std::int16_t to_short(double value);

// Strict reading of a whole text as one number, "," allowed between digits;
// tally_error type_mismatch for anything else, the empty text included.
double parse_double(std::u16string_view text);
std::int16_t parse_short(std::u16string_view text);

// Plain digits with a leading "-" when negative; no grouping.
std::u16string int_to_text(std::int32_t value);

// The two patterns the program formats with; both group digits in threes.
inline constexpr std::u16string_view money_pattern = u"##,###,##0";
inline constexpr std::u16string_view count_pattern = u"##,##0";

// Digits grouped in threes with ",", "-" in front when negative. The pattern must be one of
// the two above (anything else is a programming error: std::invalid_argument).
std::u16string format_amount(std::int32_t value, std::u16string_view pattern);

// a + b in the width of the result; tally_error overflow when it does not fit.
std::int32_t checked_add(std::int32_t a, std::int32_t b);
std::int16_t checked_add(std::int16_t a, std::int16_t b);

} // namespace pelmora
