#include "comm/UnattendedSettings.h"

#include "app/CatalogueNames.h"
#include "app/SettingsStore.h"
#include "comm/PortSettings.h"

#include <QRegularExpression>

namespace zep {

UnattendedSettings::Keys::Keys(int connection)
    : autoSpeichern(PortSettings::section(connection), QStringLiteral("AutoSpeichern"), false,
                    FlagSetting::Form::TrueFalse),
      autoOrdner(PortSettings::section(connection), QStringLiteral("AutoOrdner"), QString()),
      autoEndung(PortSettings::section(connection), QStringLiteral("AutoEndung"), QStringLiteral(".NC")),
      anforderungen(PortSettings::section(connection), QStringLiteral("Anforderungen"), false,
                    FlagSetting::Form::TrueFalse),
      anforderungWartezeit(PortSettings::section(connection), QStringLiteral("AnforderungWartezeit"),
                           kDefaultWaitSeconds, 0, kLongestWaitSeconds),
      anforderungWorte(PortSettings::section(connection), QStringLiteral("AnforderungWorte"),
                       QStringLiteral("ANFORDERUNG,SENDE"))
{
}

UnattendedSettings UnattendedSettings::load(const SettingsStore &s, int connection)
{
    const Keys keys(connection);
    UnattendedSettings u;
    u.autoSpeichern = keys.autoSpeichern.read(s);
    u.autoOrdner = keys.autoOrdner.read(s).trimmed();
    u.autoEndung = keys.autoEndung.read(s).trimmed();
    u.anforderungen = keys.anforderungen.read(s);
    u.anforderungWartezeit = keys.anforderungWartezeit.read(s);
    u.anforderungWorte = keys.anforderungWorte.read(s);
    return u;
}

void UnattendedSettings::save(SettingsStore &s, int connection) const
{
    const Keys keys(connection);
    keys.autoSpeichern.write(s, autoSpeichern);
    keys.autoOrdner.write(s, autoOrdner);
    keys.autoEndung.write(s, autoEndung);
    keys.anforderungen.write(s, anforderungen);
    keys.anforderungWartezeit.write(s, anforderungWartezeit);
    keys.anforderungWorte.write(s, anforderungWorte);
}

QString UnattendedSettings::extension() const
{
    QString e = autoEndung.trimmed();
    if (!e.startsWith(QLatin1Char('.')))
        e.prepend(QLatin1Char('.'));
    e = CatalogueNames::upperKeepLength(e);
    bool usable = e.size() > 1 && CatalogueNames::isStorableFileName(e);
    for (const QChar c : e.mid(1))
        if (c == QLatin1Char('/') || c == QLatin1Char('.') || c.isSpace() || c == QLatin1Char(':'))
            usable = false;
    return usable ? e : QStringLiteral(".NC");
}

QString UnattendedSettings::folderProblem(const QString &folder)
{
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    for (const QString &raw : folder.split(separators, Qt::SkipEmptyParts)) {
        const QString level = raw.trimmed();
        if (level.isEmpty() || level == QLatin1String(".") || level == QLatin1String("..")
            || CatalogueNames::isHiddenName(level) || !CatalogueNames::isStorableFileName(level)
            || level.contains(QLatin1Char(':')))
            return QStringLiteral("Der Ordner '") + folder
                   + QStringLiteral("' ist kein gültiger Ordner im überwachten Verzeichnis.");
    }
    return {};
}

QStringList UnattendedSettings::requestWords() const
{
    QStringList words;
    for (const QString &w : anforderungWorte.split(QLatin1Char(','))) {
        const QString t = CatalogueNames::upperKeepLength(w.trimmed());
        if (!t.isEmpty() && !words.contains(t))
            words << t;
    }
    return words;
}

} // namespace zep
