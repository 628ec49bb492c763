#include "catalogue/ScanNotices.h"

#include "app/Logbook.h"
#include "app/Prompts.h"
#include "catalogue/DirectoryScan.h"

namespace zep {

namespace {

constexpr int kNamesShown = 20;

QString nameList(const QStringList &names)
{
    QStringList shown = names.mid(0, kNamesShown);
    if (names.size() > kNamesShown)
        shown.append(QStringLiteral("... und %1 weitere").arg(names.size() - kNamesShown));
    return shown.join(QLatin1Char('\r'));
}

} // namespace

ScanNotices::ScanNotices(Prompts &prompts, Logbook &logbook, std::function<void(const QString &)> status,
                         std::function<void()> renamed)
    : m_prompts(prompts), m_logbook(logbook), m_status(std::move(status)), m_renamed(std::move(renamed))
{
}

QStringList ScanNotices::fresh(QSet<QString> &told, const QStringList &now)
{
    const QSet<QString> current(now.begin(), now.end());
    told.intersect(current);
    QStringList out;
    for (const QString &item : now)
        if (!told.contains(item)) {
            told.insert(item);
            out.append(item);
        }
    return out;
}

void ScanNotices::tell(const QString &text, const QString &title, bool critical)
{
    m_prompts.ask({text, title, critical ? PromptIcon::Critical : PromptIcon::Exclamation});
}

QString ScanNotices::rootUnreadableText(const QString &root)
{
    return QStringLiteral("Das Überwachungsverzeichnis") + QStringLiteral("\r\r") + root + QStringLiteral("\r\r")
           + QStringLiteral("ist nicht vorhanden oder kann nicht gelesen werden. Die Dateiliste bleibt, wie sie ist; "
                            "das Verzeichnis wird bei jedem Intervall wieder geprüft.");
}

QString ScanNotices::leftOutText(qsizetype count, qsizetype capacity)
{
    return QStringLiteral("%1 Dateien nicht katalogisiert: die Dateiliste fasst höchstens %2 Dateien!")
        .arg(count)
        .arg(capacity);
}

QString ScanNotices::legacyQuestionText(const QList<LegacyName> &names)
{
    QStringList lines;
    for (const LegacyName &legacy : names)
        lines.append(legacy.shownNow() + QStringLiteral("  →  ") + legacy.shownNew());
    return QStringLiteral("Diese Dateinamen sind in der Zeichenkodierung Windows-1252 geschrieben (von älteren DOS- "
                          "und Windows-Programmen oder einem USB-Stick). So kann der Katalog sie nicht aufnehmen:")
           + QStringLiteral("\r\r") + nameList(lines) + QStringLiteral("\r\r")
           + QStringLiteral("Sollen sie umbenannt werden wie gezeigt, damit sie katalogisiert werden? Eine Datei, "
                            "deren neuer Name schon vergeben ist, bleibt, wie sie ist.");
}

QString ScanNotices::legacyLeftText(const LegacyFileNames::Outcome &outcome)
{
    QString text;
    if (!outcome.taken.isEmpty()) {
        QStringList lines;
        for (const LegacyName &legacy : outcome.taken)
            lines.append(legacy.shownNow() + QStringLiteral("  →  ") + legacy.shownNew());
        text += QStringLiteral("Nicht umbenannt, weil es den neuen Namen dort schon gibt (auch in anderer "
                               "Groß-/Kleinschreibung); beide Dateien bleiben, wie sie sind:")
                + QStringLiteral("\r\r") + nameList(lines);
    }
    if (!outcome.failed.isEmpty()) {
        if (!text.isEmpty())
            text += QStringLiteral("\r\r");
        text += QStringLiteral("Nicht umbenannt:") + QStringLiteral("\r\r") + nameList(outcome.failed);
    }
    return text;
}

void ScanNotices::offerRenaming(const QList<LegacyName> &names)
{
    // The logbook is written in Windows-1252 itself: the reading stands
    // there in the very bytes of the name.
    for (const LegacyName &legacy : names)
        m_logbook.LogbuchSchreiben(QStringLiteral("Dateiname ") + legacy.shownNew()
                                   + QStringLiteral(" in Windows-1252, nicht UTF-8: nicht katalogisiert!"));
    // Nobody at the PC renames nothing: the files stay as they are, told in
    // the logbook.
    const std::weak_ptr<char> alive = m_alive;
    m_prompts.ask({legacyQuestionText(names), QStringLiteral("Dateinamen umbenennen?"), PromptIcon::Question,
                   PromptButtons::YesNo, PromptAnswer::No},
                  [this, alive, names](PromptAnswer answer) {
                      if (answer == PromptAnswer::Yes && !alive.expired())
                          renameLegacy(names);
                  });
}

void ScanNotices::renameLegacy(const QList<LegacyName> &names)
{
    const LegacyFileNames::Outcome outcome = LegacyFileNames::renameAll(names);
    for (const LegacyName &legacy : outcome.renamed)
        m_logbook.LogbuchSchreiben(QStringLiteral("Dateiname ") + legacy.shownNew()
                                   + QStringLiteral(" von Windows-1252 in UTF-8 umbenannt."));
    for (const LegacyName &legacy : outcome.taken)
        m_logbook.LogbuchSchreiben(QStringLiteral("Dateiname ") + legacy.shownNew()
                                   + QStringLiteral(" nicht umbenannt: den Namen gibt es schon."));
    for (const QString &failed : outcome.failed)
        m_logbook.LogbuchSchreiben(QStringLiteral("Datei nicht umbenannt: ") + failed);
    const QString left = legacyLeftText(outcome);
    if (!left.isEmpty())
        tell(left, QStringLiteral("Dateinamen umbenennen"), false);
    if (outcome.any() && m_renamed)
        m_renamed();
}

void ScanNotices::report(const ScanOutcome &outcome, const QString &root)
{
    const QStringList unreadable = fresh(m_unreadable, outcome.unreadable);
    for (const QString &dir : unreadable) {
        if (outcome.rootMissing && dir == outcome.unreadable.first()) {
            tell(rootUnreadableText(root), QStringLiteral("Überwachungsverzeichnis"), false);
            continue;
        }
        m_logbook.LogbuchSchreiben(QStringLiteral("Verzeichnis ") + dir + QStringLiteral(" nicht lesbar!"));
        tell(QStringLiteral("Das Verzeichnis") + QStringLiteral("\r\r") + dir + QStringLiteral("\r\r")
                 + QStringLiteral("kann nicht gelesen werden. Seine Dateien bleiben in der Dateiliste."),
             QStringLiteral("Überwachungsverzeichnis"), false);
    }
    for (const QString &dir : fresh(m_tooMany, outcome.tooManyFolders))
        tell(DirectoryScan::tooManyFoldersText(dir), QStringLiteral("Error!"), true);

    const QStringList clashes = fresh(m_clashes, outcome.clashes);
    if (!clashes.isEmpty()) {
        for (const QString &name : clashes)
            m_logbook.LogbuchSchreiben(QStringLiteral("Dateiname ") + name
                                       + QStringLiteral(" mehrfach (nur Groß-/Kleinschreibung verschieden)!"));
        tell(QStringLiteral("Diese Dateinamen gibt es im Überwachungsverzeichnis mehrfach, nur in Groß-/Kleinschreibung "
                            "verschieden. Ein schon katalogisierter Name bleibt es; ein neuer wird erst katalogisiert, "
                            "wenn nur noch eine Datei des Namens übrig ist:")
                 + QStringLiteral("\r\r") + nameList(clashes),
             QStringLiteral("Dateiname doppelt!"), false);
    }
    const QStringList unencodable = fresh(m_unencodable, outcome.unencodable);
    if (!unencodable.isEmpty()) {
        for (const QString &name : unencodable)
            m_logbook.LogbuchSchreiben(QStringLiteral("Dateiname ") + name
                                       + QStringLiteral(" enthält ungültige Zeichen, nicht katalogisiert!"));
        tell(QStringLiteral("Diese Dateinamen enthalten Zeichen, die der Katalog nicht speichern kann. Die Dateien "
                            "werden nicht katalogisiert; bitte umbenennen:")
                 + QStringLiteral("\r\r") + nameList(unencodable),
             QStringLiteral("Dateiname ungültig!"), false);
    }

    // Asked once for each set of such names, like the notices above; a name
    // the user kept is not asked about again while it stays.
    QList<LegacyName> legacy;
    QStringList keys;
    for (const LegacyName &name : outcome.legacyNames)
        keys.append(name.key());
    const QStringList freshList = fresh(m_legacy, keys);
    const QSet<QString> freshKeys(freshList.begin(), freshList.end());
    for (const LegacyName &name : outcome.legacyNames)
        if (freshKeys.contains(name.key()))
            legacy.append(name);
    if (!legacy.isEmpty())
        offerRenaming(legacy);
}

void ScanNotices::reportLeftOut(qsizetype count, qsizetype capacity)
{
    if (count == m_leftOut)
        return;
    const bool wasFull = m_leftOut > 0;
    m_leftOut = count;
    if (count == 0)
        return;
    m_logbook.LogbuchSchreiben(leftOutText(count, capacity));
    if (m_status)
        m_status(leftOutText(count, capacity));
    // A program a machine just sent may be among them: told in a box once
    // when the list fills up, not only in the status line.
    if (!wasFull)
        tell(leftOutText(count, capacity), QStringLiteral("Dateiliste voll!"), false);
}

} // namespace zep
