#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// The text boxes of the main window, addressed by their control names. An enum rather than
// strings: a misspelt name does not compile, so no command can read a box that isn't there.
enum class field : unsigned char {
    uri1, uri2, uri3, uri4, uri5, uri6, uri7, uri8, uri9,
    syu1, syu2, syu3, syu4,
    card1, card2, card3, card4, card5, card6, card7, card8,
    nin,
    nokori_txt, card_txt, uri_goukei_txt, uri_goukei_txt2, bun_txt, bunpai_copy,
};

inline constexpr std::size_t field_count = static_cast<std::size_t>(field::bunpai_copy) + 1;

inline constexpr std::size_t index_of(field f) { return static_cast<std::size_t>(f); }

// Every field, in declaration order; handy for loops over the whole window.
extern const std::array<field, field_count> all_fields;

// The control name of a field ("uri1", "nokori_txt", ...), ASCII.
std::string_view field_name(field f);

// The field that bears a control name, or nothing for a name that is not a box.
std::optional<field> field_by_name(std::string_view name);

// What a box shows when the window opens.
std::u16string_view start_text(field f);

// The check box "残し物オークション": 0 unchecked, 1 checked, 2 greyed (counts as unchecked).
inline constexpr int orc_unchecked = 0;
inline constexpr int orc_checked = 1;
inline constexpr int orc_greyed = 2;

// What the commands see of the main window. The real window implements it on its controls;
// memory_fields implements it on a table of texts for the tests.
class window_fields {
public:
    virtual ~window_fields() = default;

    virtual std::u16string text(field f) const = 0;
    virtual void set_text(field f, std::u16string_view text) = 0;
    virtual int orc_check() const = 0;
    virtual void set_focus(field f) = 0;
    // A modal box titled "Pelmora" with one OK button; returns once the user pressed OK.
    virtual void show_message(std::u16string_view text) = 0;

protected:
    window_fields() = default;
    window_fields(const window_fields &) = default;
    window_fields &operator=(const window_fields &) = default;
};

} // namespace pelmora
