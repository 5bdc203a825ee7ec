#pragma once

class QWidget;

namespace pelmora {

// Tells screen readers what each box and button of the main window is: an input box is
// announced by the label that names it, an output box by the report line it holds, and a
// copy button by the line it copies. Nothing visible changes.
void applyAccessibleNames(QWidget *top);

} // namespace pelmora
