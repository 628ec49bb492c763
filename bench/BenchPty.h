#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <thread>

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

// Writes everything, as fast as the other end takes it.
inline void writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
    }
}

// The reference: seconds `cat` takes to read `data` from a fresh pty.
inline double catSeconds(const QByteArray &data)
{
    QTemporaryDir dir;
    BenchPty pty;
    const QString out = dir.path() + "/out";
    QProcess cat;
    cat.setStandardOutputFile(out);
    cat.start("cat", {pty.path});
    cat.waitForStarted();
    QThread::msleep(50); // cat is reading before the clock starts
    QElapsedTimer timer;
    timer.start();
    std::thread peer([&] { writeAll(pty.master, data); });
    while (QFileInfo(out).size() < data.size())
        QThread::usleep(200);
    const double secs = timer.nsecsElapsed() / 1e9;
    peer.join();
    cat.kill();
    cat.waitForFinished();
    return secs;
}
