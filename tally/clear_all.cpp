#include "tallies.hpp"

namespace pelmora {

void run_clear_all(window_fields &w)
{
    for (field f : {field::uri1, field::uri2, field::uri3, field::uri4, field::uri5, field::uri6,
                    field::uri7, field::uri8, field::uri9, field::syu1, field::syu2, field::syu3,
                    field::syu4, field::card1, field::card2, field::card3, field::card4,
                    field::card5, field::card6, field::card7, field::card8})
        w.set_text(f, u"");
    w.set_text(field::nokori_txt, start_text(field::nokori_txt));
    w.set_text(field::card_txt, u"（カード欄）"); // not quite the text the box opens with
    w.set_text(field::uri_goukei_txt, start_text(field::uri_goukei_txt));
    w.set_text(field::uri_goukei_txt2, start_text(field::uri_goukei_txt2));
    w.set_text(field::nin, u""); // empty, not the "12" the window opens with
    w.set_text(field::bun_txt, start_text(field::bun_txt));
    w.set_focus(field::syu1);
}

} // namespace pelmora
