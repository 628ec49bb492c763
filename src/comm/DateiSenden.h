#pragma once

#include "comm/LampState.h"

#include <QString>
#include <functional>

namespace zep {

class Logbook;
class SerialPort;
class SettingsStore;
class TraceSink;

// The request the send dialog's "Abbruch" makes, read by the waits.
struct SendRequests {
    bool cancel = false;
};

struct SendContext {
    const SettingsStore &settings;
    const TraceSink &trace;
    Logbook &logbook;
    SendRequests &requests;
    std::function<void(const QString &)> status;
    std::function<void(int connection, LampColour)> lamp;
    // 0-100 while pieces go out, -1 when the transfer is over.
    std::function<void(int percent)> progress;
};

// What goes out when the port's buffer size cannot be a piece size.
constexpr int kFallbackPieceSize = 256;

// Sends one program file over `port` (connection 0-4) in pieces of the
// port's output buffer size, each written once the previous one has left
// that buffer. Returns the empty text after a normal end or a cancel, else
// the error's description.
QString DateiSenden(const QString &path, SerialPort &port, int connection, SendContext &context);

} // namespace zep
