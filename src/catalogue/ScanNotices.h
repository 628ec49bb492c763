#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace zep {

class Logbook;
class Prompts;
struct ScanOutcome;

// Tells the user what a walk of the monitored directory could not do. The
// directory is walked on every tick, so each situation is told once while it
// lasts and again only after it has gone and come back.
class ScanNotices {
public:
    ScanNotices(Prompts &prompts, Logbook &logbook, std::function<void(const QString &)> status);

    void report(const ScanOutcome &outcome, const QString &root);
    void reportLeftOut(qsizetype count, qsizetype capacity);

    static QString rootUnreadableText(const QString &root);
    static QString leftOutText(qsizetype count, qsizetype capacity);

private:
    // The items of `now` not told before; forgets the ones that are gone.
    QStringList fresh(QSet<QString> &told, const QStringList &now);
    void tell(const QString &text, const QString &title, bool critical);

    Prompts &m_prompts;
    Logbook &m_logbook;
    std::function<void(const QString &)> m_status;
    QSet<QString> m_unreadable;
    QSet<QString> m_tooMany;
    QSet<QString> m_clashes;
    QSet<QString> m_unencodable;
    qsizetype m_leftOut = 0;
};

} // namespace zep
