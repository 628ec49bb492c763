#pragma once

#include "comm/LineSettings.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace zep {

// What carries a machine connection's bytes: a device file, a raw TCP socket
// to an Ethernet serial server, or a Telnet connection that also sets the
// server's port (RFC 2217). The port object sits on one of them and the rest
// of the station never learns which.
//
// A line reports a loss with lost() while it is still open, so that whoever
// listens can read what had arrived; the listener then closes it.
class SerialLine : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // False with the reason, in words for the user, in *error.
    virtual bool open(const QString &address, const LineSettings &line, QString *error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Open and carrying data; a network line is open from the moment it
    // starts connecting and ready once the server has taken it.
    virtual bool isReady() const { return isOpen(); }
    // New parameters while open; false when the line refuses them.
    virtual bool apply(const LineSettings &line, QString *error) = 0;
    virtual void setHandshake(int mode) = 0;

    virtual QByteArray readAll() = 0;
    virtual qint64 bytesAvailable() const = 0;
    virtual bool write(const QByteArray &bytes, QString *error) = 0;
    // Bytes taken but not yet on the line.
    virtual qint64 bytesToWrite() const = 0;
    virtual void clearInput() = 0;
    virtual void clearOutput() = 0;
    // Why the line stopped taking data, or empty.
    virtual QString outputError() const = 0;
    // Whether line errors and modem-line changes are reported at all.
    virtual bool reportsLineEvents() const = 0;
    // How long to wait before the attempt-th try (0, 1, ...) to open a lost
    // line again. A device is looked for every 3 seconds; a server on the
    // network is asked again soon at first, then less often.
    virtual int retryPauseMsecs(int attempt) const
    {
        Q_UNUSED(attempt);
        return 3000;
    }

Q_SIGNALS:
    // The line carries data (after isOpen() for a network line).
    void ready();
    void readyRead();
    void bytesWritten();
    // Line errors and modem-line changes, as CommEvent codes in line order.
    void events(const QList<int> &codes);
    void lost(const QString &reason);
};

} // namespace zep
