#pragma once

#include <QString>

#include <cstdio>

namespace zep {

// One line for a command run from a shell: in the terminal's encoding, and
// out at once, so that a caller reading a pipe sees each step as it ends.
inline void printLine(std::FILE *to, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

} // namespace zep
