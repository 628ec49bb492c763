#include "catalogue/FileListComposer.h"

#include <QSet>

namespace zep {

ComposedList FileListComposer::compose(const QStringList &walked, const QStringList &old, bool walkComplete,
                                       const QStringList &clashed, qsizetype capacity)
{
    const QSet<QString> clashedSet(clashed.begin(), clashed.end());
    const QSet<QString> oldSet(old.begin(), old.end());
    const QSet<QString> walkedSet(walked.begin(), walked.end());

    QStringList kept; // old names the walk did not see, kept after an incomplete walk
    if (!walkComplete)
        for (const QString &name : old)
            if (!walkedSet.contains(name))
                kept.append(name);

    qsizetype used = kept.size();
    for (const QString &name : walked)
        if (oldSet.contains(name))
            ++used;

    ComposedList out;
    out.entries.reserve(qMin(capacity, walked.size() + kept.size()));
    for (const QString &name : walked) {
        if (oldSet.contains(name)) {
            out.entries.append(name);
        } else if (clashedSet.contains(name)) {
            continue;
        } else if (used < capacity) {
            out.entries.append(name);
            out.added.append(name);
            ++used;
        } else {
            ++out.leftOut;
        }
    }
    out.entries.append(kept);
    return out;
}

} // namespace zep
