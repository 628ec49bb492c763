#pragma once

#include <QByteArray>
#include <QString>

namespace zep::test {

// What a kill in the middle of a save leaves behind: a child process opens
// an AtomicFileWriter on target, writes part of the contents and is killed
// before it commits. Returns the hidden temporary file it left, or an empty
// string when the child could not be run.
QString killWriterMidWrite(const QString &target, const QByteArray &partial);

} // namespace zep::test
