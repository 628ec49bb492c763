#pragma once

#include <QByteArray>

namespace zep::test {

// Bytes that do not compress (a fixed pseudo-random sequence): for an
// archive that must not fit a small disk, or work that must take a while.
inline QByteArray noise(int size, quint32 seed = 1)
{
    QByteArray bytes(size, 0);
    for (char &c : bytes)
        c = char((seed = seed * 1103515245u + 12345u) >> 24);
    return bytes;
}

} // namespace zep::test
