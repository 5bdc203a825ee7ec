#include "accessibility.hpp"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace pelmora {

namespace {

struct input_row {
    const char *box;
    const char *label; // the label left of the box that names it
    const char *unit;  // the unit label right of it, or nullptr
};

constexpr input_row inputs[] = {
    {"syu1", "Label1", "Label5"},   {"syu2", "Label2", "Label6"},
    {"syu3", "Label3", "Label7"},   {"syu4", "Label4", "Label8"},
    {"card1", "Label25", nullptr},  {"card2", "Label26", nullptr},
    {"card3", "Label29", nullptr},  {"card4", "Label27", nullptr},
    {"card5", "Label28", nullptr},  {"card6", "Label30", nullptr},
    {"card7", "Label31", nullptr},  {"card8", "Label32", nullptr},
    {"uri1", "Label9", "Label13"},  {"uri2", "Label10", "Label14"},
    {"uri3", "Label11", "Label15"}, {"uri4", "Label12", "Label16"},
    {"uri6", "Label33", "Label37"}, {"uri7", "Label34", "Label38"},
    {"uri8", "Label35", "Label39"}, {"uri9", "Label36", "Label40"},
    {"nin", "Label22", "Label23"},
};

struct output_row {
    const char *box;
    const char16_t *holds; // what the box holds, as a screen reader says it
    const char *copy;      // the button that copies the box
};

constexpr output_row outputs[] = {
    {"nokori_txt", u"残した物の報告（報酬）", "copy1"},
    {"card_txt", u"残した物の報告（カード）", "copy2"},
    {"uri_goukei_txt", u"売上金の報告（売り1回目～4回目）", "copy3"},
    {"uri_goukei_txt2", u"売上金の報告（売り5回目～8回目）", "copy4"},
    {"bun_txt", u"合計金額と分配金の報告", "copy5"},
    {"bunpai_copy", u"分配金（カンマなしの数字）", "copy6"},
};

template <typename T>
T *child(QWidget *top, const char *name)
{
    auto *w = top->findChild<T *>(QLatin1StringView(name));
    Q_ASSERT(w);
    return w;
}

} // namespace

void applyAccessibleNames(QWidget *top)
{
    for (const input_row &row : inputs) {
        auto *box = child<QLineEdit>(top, row.box);
        auto *label = child<QLabel>(top, row.label);
        // The buddy ties box and label together for screen readers; the labels carry no
        // access key, so no shortcut appears. The sale labels end in a colon, which is not read.
        label->setBuddy(box);
        QString name = label->text();
        if (name.endsWith(u'：'))
            name.chop(1);
        box->setAccessibleName(name);
        if (row.unit)
            box->setAccessibleDescription(child<QLabel>(top, row.unit)->text());
    }

    // The auction bid has no label of its own: the check box left of it names it.
    auto *bid = child<QLineEdit>(top, "uri5");
    bid->setAccessibleName(child<QCheckBox>(top, "orc_check")->text() + u"の落札金額"_s);
    bid->setAccessibleDescription(child<QLabel>(top, "Label20")->text());

    for (const output_row &row : outputs) {
        const QString holds = QString::fromUtf16(row.holds);
        child<QLineEdit>(top, row.box)->setAccessibleName(holds);
        // All six buttons read "ｺﾋﾟｰ"; the name keeps that word and adds the line.
        auto *copy = child<QPushButton>(top, row.copy);
        copy->setAccessibleName(holds + u"を"_s + copy->text());
    }
}

} // namespace pelmora
