#pragma once

#include <cstdint>
#include <string>

namespace pelmora {

// The settlement record: what the tallies compute and keep between button presses.
// One per main window, zeroed at creation, never reset ("全てクリア" leaves it alone).
struct tally_state {
    std::int32_t uri_val1 = 0, uri_val2 = 0, uri_val3 = 0, uri_val4 = 0, uri_val5 = 0,
                 uri_val6 = 0, uri_val7 = 0, uri_val8 = 0, uri_val9 = 0;
    std::u16string uri_fmt1, uri_fmt2, uri_fmt3, uri_fmt4, uri_fmt5,
                   uri_fmt6, uri_fmt7, uri_fmt8, uri_fmt9;
    std::int32_t uri_kei1 = 0;
    std::int32_t uri_kei2 = 0;

    std::int32_t syu_val1 = 0, syu_val2 = 0, syu_val3 = 0, syu_val4 = 0;
    std::u16string syu_fmt1, syu_fmt2, syu_fmt3, syu_fmt4;
    std::int16_t card_val1 = 0, card_val2 = 0, card_val3 = 0, card_val4 = 0,
                 card_val5 = 0, card_val6 = 0, card_val7 = 0, card_val8 = 0;
    std::u16string card_msg;
    std::int16_t card_kei = 0;

    std::int16_t nin_val = 0;
    std::int32_t goukei_val = 0;
    std::u16string goukei_fmt;
    std::int32_t bunpai_val = 0;
    std::u16string bunpai_fmt;

    std::u16string copy_buf;

    bool operator==(const tally_state &) const = default;
};

} // namespace pelmora
