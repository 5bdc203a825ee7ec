#include "label_fit.hpp"

#include <QFontMetrics>
#include <QLabel>

namespace pelmora {

namespace {

// Letters closer than this would look squeezed; a label that still does not fit is left as is.
constexpr int tightest_spacing_percent = 85;

bool fits(const QFont &font, const QLabel *label)
{
    return QFontMetrics(font).horizontalAdvance(label->text()) <= label->contentsRect().width();
}

} // namespace

void condenseOverflowingLabels(QWidget *top)
{
    for (QLabel *label : top->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || fits(label->font(), label))
            continue;
        QFont font = label->font();
        for (int percent = 99; percent >= tightest_spacing_percent; --percent) {
            font.setLetterSpacing(QFont::PercentageSpacing, percent);
            if (fits(font, label)) {
                label->setFont(font);
                break;
            }
        }
    }
}

} // namespace pelmora
