#pragma once

#include "numbers.hpp"

#include <QString>
#include <QTest>

#include <functional>
#include <string>

// Core texts are UTF-16 strings; QtTest prints QStrings, so compare through them. Code unit
// for code unit: fromUtf16 would drop a leading byte-order mark.
inline QString q(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), static_cast<qsizetype>(s.size()));
}

inline std::u16string u16(const QString &s)
{
    return s.toStdU16String();
}

// The error number a call raises, or 0 when it returns.
inline int error_of(const std::function<void()> &call)
{
    try {
        call();
    } catch (const pelmora::tally_error &e) {
        return e.number();
    }
    return 0;
}
