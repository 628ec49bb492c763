#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace zep::test {

// Runs the event loop until `done` holds or `msecs` have passed, and tells
// whether it holds. The short naps between the turns leave the core to the
// threads and processes the test waits for.
template <typename Done> bool runUntil(Done done, int msecs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < msecs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

} // namespace zep::test
