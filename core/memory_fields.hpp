#pragma once

#include "fields.hpp"

#include <array>
#include <string>
#include <vector>

namespace pelmora {

// The window without a window: a table of texts that starts as the real window does,
// and records the messages shown and the focus moves asked for.
class memory_fields final : public window_fields {
public:
    memory_fields();

    std::u16string text(field f) const override;
    void set_text(field f, std::u16string_view text) override;
    int orc_check() const override;
    void set_focus(field f) override;
    void show_message(std::u16string_view text) override;

    void set_orc_check(int state);

    std::vector<std::u16string> messages;
    std::vector<field> focus_requests;

private:
    std::array<std::u16string, field_count> m_texts;
    int m_orc_check = orc_checked;
};

} // namespace pelmora
