#include "memory_fields.hpp"

namespace pelmora {

memory_fields::memory_fields()
{
    for (field f : all_fields)
        m_texts[index_of(f)] = start_text(f);
}

std::u16string memory_fields::text(field f) const
{
    return m_texts.at(index_of(f));
}

void memory_fields::set_text(field f, std::u16string_view text)
{
    m_texts.at(index_of(f)) = text;
}

int memory_fields::orc_check() const
{
    return m_orc_check;
}

void memory_fields::set_orc_check(int state)
{
    m_orc_check = state;
}

void memory_fields::set_focus(field f)
{
    focus_requests.push_back(f);
}

void memory_fields::show_message(std::u16string_view text)
{
    messages.emplace_back(text);
}

} // namespace pelmora
