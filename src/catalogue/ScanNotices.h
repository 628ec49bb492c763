#pragma once

#include "catalogue/LegacyFileNames.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace zep {

class Logbook;
class Prompts;
struct ScanOutcome;

// Tells the user what a walk of the monitored directory could not do. The
// directory is walked on every tick, so each situation is told once while it
// lasts and again only after it has gone and come back.
class ScanNotices {
public:
    // `renamed` runs when files were renamed on the user's word, whenever
    // the answer comes: no walk saw them under their new names yet, so the
    // next check must compare.
    ScanNotices(Prompts &prompts, Logbook &logbook, std::function<void(const QString &)> status,
                std::function<void()> renamed = {});

    // Tells, and asks, without waiting for the answers.
    void report(const ScanOutcome &outcome, const QString &root);
    void reportLeftOut(qsizetype count, qsizetype capacity);

    static QString rootUnreadableText(const QString &root);
    static QString leftOutText(qsizetype count, qsizetype capacity);
    static QString legacyQuestionText(const QList<LegacyName> &names);
    static QString legacyLeftText(const LegacyFileNames::Outcome &outcome);

private:
    // The items of `now` not told before; forgets the ones that are gone.
    QStringList fresh(QSet<QString> &told, const QStringList &now);
    void tell(const QString &text, const QString &title, bool critical);
    // Offers to rename names written in Windows-1252; renames on Yes.
    void offerRenaming(const QList<LegacyName> &names);
    void renameLegacy(const QList<LegacyName> &names);

    Prompts &m_prompts;
    Logbook &m_logbook;
    std::function<void(const QString &)> m_status;
    std::function<void()> m_renamed;
    // An answer that comes after the list has gone finds nothing to do.
    std::shared_ptr<char> m_alive = std::make_shared<char>();
    QSet<QString> m_unreadable;
    QSet<QString> m_tooMany;
    QSet<QString> m_clashes;
    QSet<QString> m_unencodable;
    QSet<QString> m_legacy;
    qsizetype m_leftOut = 0;
};

} // namespace zep
