#include "db/JetErrors.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace zep {

namespace {

struct Text {
    JetErrors::Code code;
    const char *text; // %1, %2: the arguments of make()
};

// clang-format off
const Text kTexts[] = {
    {JetErrors::ReservedError,      "Datenbankfehler: %1"},
    {JetErrors::UpdateWithoutEdit,  "Update oder CancelUpdate ohne AddNew oder Edit."},
    {JetErrors::NoCurrentRecord,    "Kein aktueller Datensatz."},
    {JetErrors::DuplicateKey,       "Die Änderungen wurden nicht übernommen, weil sie doppelte Werte in einem Index oder Primärschlüssel erzeugen würden."},
    {JetErrors::FileNotFound,       "Die Datei '%1' wurde nicht gefunden."},
    {JetErrors::DiskFull,           "Nicht genügend Speicherplatz auf dem Datenträger für '%1'."},
    {JetErrors::ReadOnlyRecordset,  "Aktualisieren nicht möglich. Die Datensatzgruppe ist schreibgeschützt."},
    {JetErrors::NoTransaction,      "Es wurde versucht, eine Transaktion abzuschließen oder zurückzunehmen, die nicht begonnen wurde."},
    {JetErrors::OutOfResources,     "Nicht genügend Systemressourcen."},
    {JetErrors::DiskError,          "Datenträger- oder Netzwerkfehler beim Zugriff auf '%1'."},
    {JetErrors::NotAFile,           "'%1' ist ein Verzeichnis und keine Datenbankdatei."},
    {JetErrors::Corrupt,            "Die Datenbank '%1' ist beschädigt und kann nicht verwendet werden."},
    {JetErrors::CannotWrite,        "Die Datei '%1' kann nicht geöffnet oder beschrieben werden. Sie ist schreibgeschützt, oder Ihnen fehlt die Berechtigung."},
    {JetErrors::Interrupted,        "Der Vorgang wurde abgebrochen."},
    {JetErrors::WrongParameters,    "%1"},
    {JetErrors::SyntaxError,        "Syntaxfehler in der SQL-Anweisung%1."},
    {JetErrors::MissingObject,      "Die Eingabetabelle oder Abfrage '%1' wurde nicht gefunden."},
    {JetErrors::UndefinedFunction,  "Undefinierte Funktion '%1' in Ausdruck."},
    {JetErrors::TableExists,        "Die Tabelle '%1' ist bereits vorhanden."},
    {JetErrors::NoSuchObject,       "Das Objekt '%1' wurde nicht gefunden."},
    {JetErrors::TrailingCharacters, "Zeichen nach dem Ende der SQL-Anweisung gefunden."},
    {JetErrors::FieldTooSmall,      "Das Feld ist zu klein für die Datenmenge, die Sie hinzufügen wollten."},
    {JetErrors::CounterNotWritable, "Das Feld '%1' kann nicht geändert werden; es wird vom Datenbankmodul gezählt."},
    {JetErrors::RecordDeleted,      "Der Datensatz ist gelöscht."},
    {JetErrors::DuplicateField,     "Das Feld '%1' ist mehrfach definiert."},
    {JetErrors::DatabaseExists,     "Die Datenbank '%1' ist bereits vorhanden."},
    {JetErrors::NotSupported,       "Dieser Vorgang wird für diesen Objekttyp nicht unterstützt%1."},
    {JetErrors::Locked,             "Die Datenbank '%1' ist zurzeit gesperrt. Versuchen Sie es später noch einmal."},
    {JetErrors::UnknownField,       "Das Feld '%1' ist in dieser Datensatzgruppe nicht vorhanden."},
    {JetErrors::NullNotAllowed,     "Das Feld '%1' darf keinen Nullwert enthalten."},
    {JetErrors::RuleViolated,       "Ein Wert verletzt eine Gültigkeitsregel: %1"},
    {JetErrors::ValueCountMismatch, "Die Anzahl der Abfragewerte und der Zielfelder ist unterschiedlich."},
    {JetErrors::UnknownFormat,      "Unbekanntes Datenbankformat '%1'."},
    {JetErrors::IndexExists,        "Es gibt bereits einen Index namens '%1'."},
    {JetErrors::ObjectClosed,       "Das Objekt ist ungültig oder nicht mehr festgelegt (die Datenbank ist geschlossen)."},
    {JetErrors::ConversionError,    "Datentypen-Konvertierungsfehler: '%1' passt nicht in das Feld '%2'."},
    {JetErrors::TypeMismatch,       "Datentypen im Kriterienausdruck unverträglich."},
};

// Engine messages of the generic SQLITE_ERROR, matched in order.
struct MessageRule {
    const char *pattern; // capture 1 is the name for %1
    JetErrors::Code code;
};
const MessageRule kMessageRules[] = {
    {"^no such table: (?:main\\.)?(.+)$",          JetErrors::MissingObject},
    {"^no such view: (?:main\\.)?(.+)$",           JetErrors::MissingObject},
    {"^no such column: (.+)$",                     JetErrors::WrongParameters},
    {"^(?:table|view) \"?(.+?)\"? already exists$", JetErrors::TableExists},
    {"^index \"?(.+?)\"? already exists$",         JetErrors::IndexExists},
    {"^duplicate column name: (.+)$",              JetErrors::DuplicateField},
    {"^no such index: (.+)$",                      JetErrors::NoSuchObject},
    {"^no such function: (.+)$",                   JetErrors::UndefinedFunction},
    {"^(?:table \\S+ has \\d+ columns but \\d+ values were supplied|\\d+ values for \\d+ columns)$",
                                                   JetErrors::ValueCountMismatch},
    {"^Cannot add a PRIMARY KEY column$",          JetErrors::NotSupported},
    {"^near \"(.*)\": syntax error$",              JetErrors::SyntaxError},
    {"(?:syntax error|incomplete input|unrecognized token)", JetErrors::SyntaxError},
};
// clang-format on

} // namespace

ErrorInfo JetErrors::make(Code code, const QString &arg, const QString &arg2)
{
    for (const Text &t : kTexts) {
        if (t.code == code) {
            QString text = QString::fromUtf8(t.text);
            text.replace(QLatin1String("%1"), arg).replace(QLatin1String("%2"), arg2);
            return {long(code), text};
        }
    }
    return {long(code), arg};
}

ErrorInfo JetErrors::fromSqlite(int extended, const QString &message, const QString &path)
{
    switch (extended & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return {};
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
        return make(CannotWrite, path);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return make(Locked, path);
    case SQLITE_FULL:
        return make(DiskFull, path);
    case SQLITE_IOERR:
        return make(DiskError, path);
    case SQLITE_NOTADB:
        return make(UnknownFormat, path);
    case SQLITE_CORRUPT:
        return make(Corrupt, path);
    case SQLITE_NOMEM:
        return make(OutOfResources);
    case SQLITE_TOOBIG:
        return make(FieldTooSmall);
    case SQLITE_INTERRUPT:
        return make(Interrupted);
    case SQLITE_MISMATCH:
        return make(TypeMismatch);
    case SQLITE_CONSTRAINT: {
        if (extended == SQLITE_CONSTRAINT_UNIQUE || extended == SQLITE_CONSTRAINT_PRIMARYKEY
            || extended == SQLITE_CONSTRAINT_ROWID)
            return make(DuplicateKey);
        if (extended == SQLITE_CONSTRAINT_NOTNULL) {
            const qsizetype colon = message.lastIndexOf(QLatin1Char(':'));
            return make(NullNotAllowed, message.mid(colon + 1).trimmed());
        }
        return make(RuleViolated, message);
    }
    default:
        break;
    }
    for (const MessageRule &rule : kMessageRules) {
        const QRegularExpression re(QString::fromUtf8(rule.pattern));
        const QRegularExpressionMatch m = re.match(message);
        if (!m.hasMatch())
            continue;
        const QString name = m.captured(1);
        switch (rule.code) {
        case WrongParameters:
            return make(WrongParameters, QStringLiteral("Unbekannter Feldname '%1'. Es wurde ein Parameter erwartet, "
                                                        "aber keiner übergeben.")
                                             .arg(name));
        case SyntaxError:
            return make(SyntaxError, name.isEmpty() ? QString() : QStringLiteral(" bei '%1'").arg(name));
        case NotSupported:
            return make(NotSupported, QStringLiteral(" (eine Zählerspalte kann nicht nachträglich hinzugefügt werden)"));
        default:
            return make(rule.code, name);
        }
    }
    return make(ReservedError, message);
}

} // namespace zep
