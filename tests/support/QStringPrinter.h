#pragma once

#include <QString>
#include <ostream>

// Lets failed expectations show texts instead of UTF-16 code units.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// For the texts streamed into a failure message with <<.
inline std::ostream &operator<<(std::ostream &os, const QString &text)
{
    return os << text.toStdString();
}
