#pragma once

#include <QString>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A raw pseudo-terminal pair: the program opens `path`, the benchmark plays
// the machine on `master`.
struct BenchPty {
    int master = -1, slave = -1;
    QString path;
    BenchPty()
    {
        char name[256] = {};
        openpty(&master, &slave, name, nullptr, nullptr);
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        path = QString::fromLocal8Bit(name);
    }
    ~BenchPty()
    {
        close(slave);
        close(master);
    }
    BenchPty(const BenchPty &) = delete;
    BenchPty &operator=(const BenchPty &) = delete;
};
