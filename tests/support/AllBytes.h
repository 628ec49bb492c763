#pragma once

#include <QByteArray>

namespace zep::test {

// Every byte value once, 0 to 255: a program text must pass through whole.
inline QByteArray allBytes()
{
    QByteArray text;
    for (int i = 0; i < 256; ++i)
        text += char(i);
    return text;
}

} // namespace zep::test
