#pragma once

#include <QString>

namespace zep {

// Where a port's line is: a device file, or an Ethernet serial server as
// "tcp://HOST:PORT" (raw bytes) or "rfc2217://HOST:PORT" (Telnet with the
// COM port control option, which also sets the server's line).
struct LineAddress {
    enum class Kind { Device, RawTcp, Rfc2217 };
    Kind kind = Kind::Device;
    QString path; // a device file
    QString host; // a network address, without brackets for IPv6
    quint16 port = 0;

    // Anything without "://" is a device file. `error` gets a German
    // message for a network address that is malformed, and is cleared
    // otherwise.
    static LineAddress parse(const QString &text, QString *error);
    bool isNetwork() const { return kind != Kind::Device; }
    // "HOST:PORT" as the user wrote it, for messages.
    QString hostAndPort() const;
};

} // namespace zep
