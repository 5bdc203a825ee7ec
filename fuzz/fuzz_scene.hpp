#pragma once

// What the fuzz targets and the corpus runner share: fuzz bytes as the UTF-16 texts a user
// could type or paste, the settlement record's fields by name, and a window-less model set up
// as an earlier run could have left it. Standard library only, so that it builds wherever the
// core builds.

#include "fields.hpp"
#include "memory_fields.hpp"
#include "numbers.hpp"
#include "tally_state.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fuzz {

using pelmora::field;

// Characters that end up in number boxes by accident or on purpose: the ideographic space,
// full-width digits and signs, direction marks, byte-order marks, other scripts' digits,
// look-alike minus and blanks, halves of an emoji, and code units that are no characters.
inline constexpr char16_t odd_units[] = {
    0x3000, 0xFF10, 0xFF11, 0xFF15, 0xFF19, 0xFF0B, 0xFF0D, 0xFF0E, 0xFF0C, 0xFF45, 0xFF25,
    0xFF44, 0xFF24, 0x200E, 0x200F, 0x202E, 0x2066, 0xFEFF, 0x00A0, 0x2007, 0x202F, 0x2212,
    0x2012, 0x0660, 0x0669, 0x06F5, 0x0966, 0x00B2, 0x00BD, 0x2460, 0x221E, 0xFF62, 0xFF63,
    0x3001, 0x30FC, 0xFF70, 0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0x0000, 0xFFFE, 0xFFFF, 0x0085,
    0x2028, 0x000B, 0x000C, 0x001F, 0x007F, 0x0301, 0xFF00, 0xFF5F, 0xFF01, 0xFF5E,
};

// Fuzz bytes as UTF-16 code units. A byte stands for the code unit of the same value, so seed
// files stay readable, except for two escapes that together reach every code unit:
//   0xFE k    one of odd_units, chosen by k;
//   0xFF a b  the code unit a + 256 * b, lone surrogates included.
// An escape cut short by the end of the input stands for itself.
inline std::u16string decode(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0xFE && i + 1 < bytes.size()) {
            const auto k = static_cast<unsigned char>(bytes[++i]);
            out.push_back(odd_units[k % std::size(odd_units)]);
        } else if (b == 0xFF && i + 2 < bytes.size()) {
            const auto lo = static_cast<unsigned char>(bytes[i + 1]);
            const auto hi = static_cast<unsigned char>(bytes[i + 2]);
            out.push_back(static_cast<char16_t>(lo | (hi << 8)));
            i += 2;
        } else {
            out.push_back(b);
        }
    }
    return out;
}

// Splits the input at every '|' (a '|' in a box's text is written with the 0xFF escape).
inline std::vector<std::string_view> split(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::string_view> pieces;
    std::string_view all(reinterpret_cast<const char *>(data), size);
    for (;;) {
        const auto bar = all.find('|');
        pieces.push_back(all.substr(0, bar));
        if (bar == std::string_view::npos)
            return pieces;
        all.remove_prefix(bar + 1);
    }
}

// Readable text for a report on stderr: ASCII as is, everything else as \uXXXX.
inline std::string show(std::u16string_view s)
{
    std::string out;
    for (char16_t c : s) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        }
    }
    if (out.size() > 200)
        out = out.substr(0, 200) + "...";
    return out;
}

// Every field of the record, by name, for comparisons that say what differs.
template <typename T>
using member_list = std::vector<std::pair<const char *, T pelmora::tally_state::*>>;

#define FUZZ_MEMBER(m) {#m, &pelmora::tally_state::m}

inline const member_list<std::int32_t> &int32_members()
{
    static const member_list<std::int32_t> list{
        FUZZ_MEMBER(uri_val1), FUZZ_MEMBER(uri_val2), FUZZ_MEMBER(uri_val3),
        FUZZ_MEMBER(uri_val4), FUZZ_MEMBER(uri_val5), FUZZ_MEMBER(uri_val6),
        FUZZ_MEMBER(uri_val7), FUZZ_MEMBER(uri_val8), FUZZ_MEMBER(uri_val9),
        FUZZ_MEMBER(uri_kei1), FUZZ_MEMBER(uri_kei2), FUZZ_MEMBER(syu_val1),
        FUZZ_MEMBER(syu_val2), FUZZ_MEMBER(syu_val3), FUZZ_MEMBER(syu_val4),
        FUZZ_MEMBER(goukei_val), FUZZ_MEMBER(bunpai_val)};
    return list;
}

inline const member_list<std::int16_t> &int16_members()
{
    static const member_list<std::int16_t> list{
        FUZZ_MEMBER(card_val1), FUZZ_MEMBER(card_val2), FUZZ_MEMBER(card_val3),
        FUZZ_MEMBER(card_val4), FUZZ_MEMBER(card_val5), FUZZ_MEMBER(card_val6),
        FUZZ_MEMBER(card_val7), FUZZ_MEMBER(card_val8), FUZZ_MEMBER(card_kei),
        FUZZ_MEMBER(nin_val)};
    return list;
}

inline const member_list<std::u16string> &text_members()
{
    static const member_list<std::u16string> list{
        FUZZ_MEMBER(uri_fmt1), FUZZ_MEMBER(uri_fmt2), FUZZ_MEMBER(uri_fmt3),
        FUZZ_MEMBER(uri_fmt4), FUZZ_MEMBER(uri_fmt5), FUZZ_MEMBER(uri_fmt6),
        FUZZ_MEMBER(uri_fmt7), FUZZ_MEMBER(uri_fmt8), FUZZ_MEMBER(uri_fmt9),
        FUZZ_MEMBER(syu_fmt1), FUZZ_MEMBER(syu_fmt2), FUZZ_MEMBER(syu_fmt3),
        FUZZ_MEMBER(syu_fmt4), FUZZ_MEMBER(card_msg), FUZZ_MEMBER(goukei_fmt),
        FUZZ_MEMBER(bunpai_fmt), FUZZ_MEMBER(copy_buf)};
    return list;
}

#undef FUZZ_MEMBER

// Integers an earlier run might have left: zero, the edges of the width, small and any.
template <typename Int, typename Provider>
Int some_value(Provider &p)
{
    switch (p.template ConsumeIntegralInRange<int>(0, 5)) {
    case 0: return 0;
    case 1: return std::numeric_limits<Int>::max();
    case 2: return std::numeric_limits<Int>::min();
    case 3: return static_cast<Int>(p.template ConsumeIntegralInRange<int>(-3, 3));
    case 4: return static_cast<Int>(p.template ConsumeIntegralInRange<int>(-100000, 100000));
    default: return p.template ConsumeIntegral<Int>();
    }
}

// The window-less model and its settlement record.
struct scene {
    pelmora::memory_fields w;
    pelmora::tally_state s;
};

// A model and a record as earlier use of the window could have left them, chosen by the values
// drawn from p: FuzzedDataProvider, or anything that hands out the same values from the same bytes.
template <typename Provider>
void set_up_from(scene &sc, Provider &p)
{
    sc.w.set_orc_check(p.template ConsumeIntegralInRange<int>(0, 2));
    for (const auto &[name, m] : int32_members())
        sc.s.*m = some_value<std::int32_t>(p);
    for (const auto &[name, m] : int16_members())
        sc.s.*m = some_value<std::int16_t>(p);
    int n = 0;
    for (const auto &[name, m] : text_members())
        if (p.ConsumeBool())
            sc.s.*m = u"old " + std::u16string(name, name + std::char_traits<char>::length(name))
                      + char16_t(u'0' + n++ % 10);
    // Output boxes that a user edited by hand, or emptied.
    for (field f : {field::nokori_txt, field::card_txt, field::uri_goukei_txt,
                    field::uri_goukei_txt2, field::bun_txt, field::bunpai_copy}) {
        switch (p.template ConsumeIntegralInRange<int>(0, 2)) {
        case 0: break;
        case 1: sc.w.set_text(f, u""); break;
        default: sc.w.set_text(f, u"edited " + decode(std::string_view(pelmora::field_name(f))));
        }
    }
}

} // namespace fuzz
