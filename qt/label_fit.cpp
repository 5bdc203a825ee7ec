#include "label_fit.hpp"

#include "form.hpp"

#include <QFontMetrics>
#include <QLabel>

#include <cmath>

namespace pelmora {

namespace {

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
        const long tightest = std::lround(label_squeeze_floor * 100);
        for (long percent = 99; percent >= tightest; --percent) {
            font.setLetterSpacing(QFont::PercentageSpacing, percent);
            if (fits(font, label)) {
                label->setFont(font);
                break;
            }
        }
    }
}

} // namespace pelmora
