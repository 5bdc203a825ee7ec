#include "look.hpp"

#include <QApplication>
#include <QColor>
#include <QFontDatabase>
#include <QStyle>
#include <QStyleFactory>

using namespace Qt::StringLiterals;

namespace pelmora {

const QStringList &gothicFamilies()
{
    static const QStringList families = [] {
        QStringList list;
        for (const char16_t *family : gothic_families())
            list << QString::fromUtf16(family);
        return list;
    }();
    return families;
}

namespace {

// The first gothic of the list that is installed, looked up once in Qt's font database (which
// Qt fills at the first text it lays out in any case). Handed the whole list, Qt would ask
// fontconfig for substitutes of every family that is missing before it reached an installed
// one: a sorting of all fonts for each script, a fifth of the work before the window shows.
const QString &installedGothic()
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString &name : gothicFamilies()) {
            if (installed.contains(name, Qt::CaseInsensitive))
                return name;
        }
        return QString();
    }();
    return family;
}

} // namespace

QFont windowFont(qreal pointSize, bool bold)
{
    QFont f;
    if (const QString &family = installedGothic(); !family.isEmpty())
        f.setFamily(family);
    else
        f.setFamilies(gothicFamilies()); // none installed: let fontconfig find a substitute
    // Lets fontconfig pick any Japanese sans for characters the family lacks.
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

QPalette standardPalette()
{
    const QColor face(0xF0, 0xF0, 0xF0);
    QPalette p(Qt::black, face, Qt::white, QColor(0xA0, 0xA0, 0xA0), QColor(0xC0, 0xC0, 0xC0),
               Qt::black, Qt::white, Qt::white, face);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Midlight, QColor(0xE3, 0xE3, 0xE3));
    p.setColor(QPalette::Shadow, QColor(0x69, 0x69, 0x69));
    p.setColor(QPalette::AlternateBase, QColor(0xF7, 0xF7, 0xF7));
    p.setColor(QPalette::Highlight, QColor(0x00, 0x78, 0xD7));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::PlaceholderText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Link, QColor(0x00, 0x00, 0xFF));
    p.setColor(QPalette::LinkVisited, QColor(0x80, 0x00, 0x80));
    const QColor greyed(0x6D, 0x6D, 0x6D);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, greyed);
    return p;
}

QIcon windowIcon()
{
    QIcon icon;
    icon.addFile(u":/pelmora/icons/pelmora-16.png"_s, QSize(16, 16));
    icon.addFile(u":/pelmora/icons/pelmora-32.png"_s, QSize(32, 32));
    return icon;
}

QColor colour(const char *rgb, const QColor &fallback)
{
    return rgb ? QColor::fromString(QLatin1StringView(rgb)) : fallback;
}

void setUpApplicationLook()
{
    if (QStyle *windows = QStyleFactory::create(u"Windows"_s))
        QApplication::setStyle(windows);
    QApplication::setPalette(standardPalette());
    QApplication::setFont(windowFont());
    QApplication::setWindowIcon(windowIcon());
}

} // namespace pelmora
