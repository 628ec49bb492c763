#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace zep {

namespace {

QString programName(const QStringList &arguments)
{
    const QString name = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    return name.isEmpty() ? QStringLiteral("zep") : name;
}

} // namespace

QString CommandLine::version()
{
    return QStringLiteral("%1.%2.%3").arg(ZEP_VERSION_MAJOR).arg(ZEP_VERSION_MINOR).arg(ZEP_VERSION_REVISION);
}

QString CommandLine::versionLine()
{
    return QStringLiteral("ZEP ") + version();
}

CommandLine CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ZEP - CNC-Programmverwaltung und DNC-Station"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption programDir(QStringLiteral("program-dir"),
                                        QStringLiteral("Programmverzeichnis (CNCPRG.mdb, FileListe.dat, Logbuch.txt)."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption createDatabase(QStringLiteral("create-database"),
                                            QStringLiteral("Legt eine neue, leere Datenbank an und endet."),
                                            QStringLiteral("FILE"));
    const QCommandLineOption quitAfterStart(QStringLiteral("quit-after-start"),
                                            QStringLiteral("Startet vollständig und endet dann wieder."));
    parser.addOption(programDir);
    parser.addOption(createDatabase);
    parser.addOption(quitAfterStart);
    const QCommandLineOption backup(QStringLiteral("backup"),
                                    QStringLiteral("Erstellt das Backup ohne Fenster (auch neben einem laufenden ZEP) "
                                                   "und endet; Status 0 nur, wenn jedes Archiv geschrieben wurde."));
    parser.addOption(backup);
    const QCommandLineOption copyCatalogue(
        QStringLiteral("copy-catalogue-to"),
        QStringLiteral("Kopiert die Datenbank CNCPRG.mdb des Programmverzeichnisses in einen leeren Katalog auf "
                       "einem PostgreSQL-Server, prüft die Anzahlen und endet."),
        QStringLiteral("postgresql://..."));
    parser.addOption(copyCatalogue);

    const bool parsed = parser.parse(arguments);
    CommandLine line;
    // Asked for help or the version, that is the answer, whatever else is wrong.
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        line.action = Action::Help;
        QString text = parser.helpText();
        // Without an application object the parser knows no program name.
        const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
        text.replace(0, lineEnd, QStringLiteral("Usage: ") + programName(arguments) + QStringLiteral(" [options]"));
        line.text = text;
        return line;
    }
    if (parser.isSet(version)) {
        line.action = Action::Version;
        line.text = versionLine() + QLatin1Char('\n');
        return line;
    }
    if (!parsed) {
        line.action = Action::Error;
        line.text = parser.errorText() + QStringLiteral("\n") + programName(arguments)
                    + QStringLiteral(" --help zeigt die Optionen.\n");
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.action = Action::Error;
        line.text = QStringLiteral("Unerwartetes Argument: ") + parser.positionalArguments().first()
                    + QStringLiteral("\n") + programName(arguments) + QStringLiteral(" --help zeigt die Optionen.\n");
        return line;
    }
    if (parser.isSet(createDatabase)) {
        line.action = Action::CreateDatabase;
        line.databaseFile = parser.value(createDatabase);
        return line;
    }
    if (parser.isSet(copyCatalogue)) {
        line.action = Action::CopyCatalogue;
        line.copyTarget = parser.value(copyCatalogue);
        return line;
    }
    if (parser.isSet(backup)) {
        line.action = Action::Backup;
        return line;
    }
    line.quitAfterStart = parser.isSet(quitAfterStart);
    return line;
}

} // namespace zep
