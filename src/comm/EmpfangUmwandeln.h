#pragma once

#include <QByteArray>

namespace zep {

class TraceSink;
struct ReceiveSettings;

// The incoming conversion of a finished reception: CR, then LF (so an LF
// that the CR step produced is converted too), then the end code cut off,
// then leftover NULs removed when asked. `text` is replaced by the result,
// which is also returned.
QByteArray EmpfangUmwandeln(QByteArray &text, const ReceiveSettings &settings, bool removeNul,
                            const TraceSink &trace);

} // namespace zep
