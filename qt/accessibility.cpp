#include "accessibility.hpp"

#include "form.hpp"

#include <QLabel>
#include <QWidget>

namespace pelmora {

namespace {

QString qText(const std::u16string &text)
{
    return QString::fromStdU16String(text);
}

} // namespace

void applyAccessibleNames(QWidget *top)
{
    for (const control_row &row : main_controls()) {
        const accessible_text said = accessible_text_of(row.name);
        if (said.name.empty())
            continue;
        auto *w = top->findChild<QWidget *>(QLatin1StringView(row.name));
        Q_ASSERT(w);
        w->setAccessibleName(qText(said.name));
        if (!said.description.empty())
            w->setAccessibleDescription(qText(said.description));
        // The buddy ties the box to the label that names it; the labels carry no access key,
        // so no shortcut appears.
        if (said.label)
            top->findChild<QLabel *>(QLatin1StringView(said.label))->setBuddy(w);
    }
}

} // namespace pelmora
