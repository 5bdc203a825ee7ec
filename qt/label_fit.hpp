#pragma once

class QWidget;

namespace pelmora {

// The layout was drawn for a Japanese font that is narrower than most substitutes. Any label
// under `top` whose text would be cut off at its right edge gets its letters set slightly
// closer, just enough to show the whole text; place, size and point size stay as designed.
void condenseOverflowingLabels(QWidget *top);

} // namespace pelmora
