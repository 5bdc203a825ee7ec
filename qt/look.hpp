#pragma once

#include "form.hpp"

#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QStringList>

class QColor;

namespace pelmora {

// Positions and sizes are designed in twips; 15 twips are one device-independent pixel. Qt
// scales device-independent pixels for high-DPI screens itself.
constexpr int twips(int t) { return px(t, 96); }

// The Japanese proportional gothics the windows are drawn in, best first: "ＭＳ Ｐゴシック" as
// designed, then those a Linux desktop has.
const QStringList &gothicFamilies();

// The window font: the first of those gothics that is installed.
QFont windowFont(qreal pointSize = 9.0, bool bold = false);

// The light standard colours (white boxes, black text), fixed so that a dark desktop theme
// cannot reach the window.
QPalette standardPalette();

// The coin shown in the title bar of both windows.
QIcon windowIcon();

// A colour written "#RRGGBB"; nullptr stands for the fallback.
QColor colour(const char *rgb, const QColor &fallback);

// The built-in "Windows" style paints palette colours as they are (button faces included),
// unlike styles that tint them; the palette and font are set for every window of the program.
void setUpApplicationLook();

} // namespace pelmora
