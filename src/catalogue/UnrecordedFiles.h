#pragma once

#include "catalogue/NeuerEintrag.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace zep {

class Clock;
class Database;
class Prompts;

// Files of the list that have no record: a shop's archive that was in the
// directory before the program watched it, a directory newly chosen in the
// settings, a catalogue restored from an older backup. Their names count as
// known, so no tick would ever catalogue them; this says how many there are
// and offers to catalogue them at once, as NeuerEintrag would, without an
// editor for each.
class UnrecordedFiles {
public:
    struct Context {
        Database &database;
        Prompts &prompts;
        const Clock &clock;
        PendingMachines &pending;
        std::function<void(const QString &)> status;
    };
    enum class Outcome { NoneMissing, Declined, Catalogued, Failed };

    // Asks without waiting; `done` gets the outcome once the conversation has
    // ended. Everything in `context` must outlive it.
    static void offer(const Context &context, const QStringList &listed, std::function<void(Outcome)> done = {});

    static QString questionText(qsizetype count);
    static QString progressText(qsizetype done, qsizetype total);

private:
    static void catalogueAll(const Context &context, const QStringList &missing, std::function<void(Outcome)> done);
};

} // namespace zep
