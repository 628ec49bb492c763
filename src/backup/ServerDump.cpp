#include "backup/ServerDump.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace zep {

namespace {

// Debian installs the server's programs here, not on PATH.
const QString kServerBinDir = QStringLiteral("/usr/lib/postgresql/15/bin");

// A dump of a hundred thousand records takes seconds; a server that stops
// answering must not hold the nightly backup for ever.
constexpr int kDumpTimeoutMs = 30 * 60 * 1000;

} // namespace

QString findDumpProgram(const QString &program)
{
    if (!program.isEmpty())
        return QFileInfo(program).isExecutable() ? program : QString();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (!onPath.isEmpty())
        return onPath;
    return QStandardPaths::findExecutable(QStringLiteral("pg_dump"), {kServerBinDir});
}

bool dumpServerCatalogue(const QString &url, const QString &target, const QString &program, QString *error)
{
    const QString pgDump = findDumpProgram(program);
    if (pgDump.isEmpty()) {
        *error = QStringLiteral("Das Programm pg_dump wurde nicht gefunden (")
                 + (program.isEmpty() ? QStringLiteral("weder im PATH noch in ") + kServerBinDir : program)
                 + QStringLiteral("). Bitte das Paket postgresql-client installieren.");
        return false;
    }
    QProcess dump;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("PGCONNECT_TIMEOUT")))
        environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    dump.setProcessEnvironment(environment);
    dump.setProcessChannelMode(QProcess::SeparateChannels);
    dump.setStandardOutputFile(QProcess::nullDevice());
    dump.start(pgDump, {QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
                        QStringLiteral("--file=") + target, QStringLiteral("--dbname=") + url});
    if (!dump.waitForStarted()) {
        *error = QStringLiteral("pg_dump (") + pgDump + QStringLiteral(") konnte nicht gestartet werden: ")
                 + dump.errorString();
        return false;
    }
    if (!dump.waitForFinished(kDumpTimeoutMs)) {
        dump.kill();
        dump.waitForFinished();
        *error = QStringLiteral("pg_dump ist nach 30 Minuten nicht fertig geworden und wurde abgebrochen.");
        return false;
    }
    const QString said = QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
    if (dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        *error = QStringLiteral("pg_dump meldet einen Fehler (Status ") + QString::number(dump.exitCode())
                 + QStringLiteral("): ") + (said.isEmpty() ? QStringLiteral("keine Angabe") : said);
        return false;
    }
    if (!QFileInfo(target).isFile() || QFileInfo(target).size() == 0) {
        *error = QStringLiteral("pg_dump hat keine Sicherung geschrieben.");
        return false;
    }
    return true;
}

} // namespace zep
