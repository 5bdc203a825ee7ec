#include "fields.hpp"

#include <algorithm>

namespace pelmora {

namespace {

struct field_info {
    std::string_view name;
    std::u16string_view start;
};

// Indexed by field; the order must follow the enum.
constexpr std::array<field_info, field_count> infos{{
    {"uri1", u""}, {"uri2", u""}, {"uri3", u""}, {"uri4", u""}, {"uri5", u""},
    {"uri6", u""}, {"uri7", u""}, {"uri8", u""}, {"uri9", u""},
    {"syu1", u""}, {"syu2", u""}, {"syu3", u""}, {"syu4", u""},
    {"card1", u""}, {"card2", u""}, {"card3", u""}, {"card4", u""},
    {"card5", u""}, {"card6", u""}, {"card7", u""}, {"card8", u""},
    {"nin", u"12"},
    {"nokori_txt", u"上記｢残した物｣入力後、右の｢決定｣ボタンを押して下さい"},
    {"card_txt", u"（カード等欄）"},
    {"uri_goukei_txt", u"上記｢売上金｣入力後、右の｢決定｣ボタンを押して下さい"},
    {"uri_goukei_txt2", u"売り5回目～8回目用"},
    {"bun_txt", u"｢決定2｣ボタンを押した後、｢決定3｣ボタンを押して下さい"},
    {"bunpai_copy", u""},
}};

constexpr std::array<field, field_count> make_all_fields()
{
    std::array<field, field_count> all{};
    for (std::size_t i = 0; i < field_count; ++i)
        all[i] = static_cast<field>(i);
    return all;
}

} // namespace

const std::array<field, field_count> all_fields = make_all_fields();

std::string_view field_name(field f)
{
    return infos.at(index_of(f)).name;
}

std::optional<field> field_by_name(std::string_view name)
{
    const auto it = std::find_if(infos.begin(), infos.end(),
                                 [&](const field_info &i) { return i.name == name; });
    if (it == infos.end())
        return std::nullopt;
    return static_cast<field>(it - infos.begin());
}

std::u16string_view start_text(field f)
{
    return infos.at(index_of(f)).start;
}

} // namespace pelmora
