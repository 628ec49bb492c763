#pragma once

#include <QByteArray>
#include <QString>

namespace zep {

class Clock;

// A received program that no one has saved yet, kept in the program
// directory so that no program a machine sent is ever lost:
// <prefix><n>_<yyyy-MM-dd_HH-mm-ss>.txt, with _2, _3 … where that exists.
struct RecoveryFile {
    QString path;  // set when written
    QString error; // set when it could not be written

    static RecoveryFile write(const QString &programDir, const QString &prefix, int machineNumber, const Clock &clock,
                              const QByteArray &text);
};

} // namespace zep
