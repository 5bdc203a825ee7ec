#pragma once

class QWidget;

namespace pelmora {

// Digits typed into `box` go in directly even when the user's input method (a Japanese one,
// say) is switched on: from each focus-in the box tells the input method it takes no
// composition, until the user presses an input-method key (半角/全角, 変換, Ctrl+Space, ...)
// there, which hands the box back to the input method until the focus leaves.
void switchInputMethodOffOnFocus(QWidget *box);

} // namespace pelmora
