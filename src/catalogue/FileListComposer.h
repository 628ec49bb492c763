#pragma once

#include <QStringList>

namespace zep {

// Which stored names the file list holds after a walk. The list has a fixed
// capacity; when the tree holds more files, names already listed keep their
// place and new ones fill what is left in walk order, so a file never drops
// out of the list (and comes back as "new") just because another one arrived.
struct ComposedList {
    QStringList entries;
    QStringList added;      // in walk order: the names not in the old list
    qsizetype leftOut = 0; // walked names that did not fit
};

class FileListComposer {
public:
    // A shop's archive easily holds tens of thousands of programs; the list
    // is a set of names in memory and a line each in FileListe.dat.
    static constexpr qsizetype kCapacity = 250000;

    // With an incomplete walk the old names it did not see stay listed: they
    // may well still be there. A name in `clashed` (two files that differ
    // only in letter case) is never added; where it was listed already it
    // keeps its entry, so the record it has does not come back as "new" once
    // the clash is gone.
    static ComposedList compose(const QStringList &walked, const QStringList &old, bool walkComplete,
                                const QStringList &clashed = {}, qsizetype capacity = kCapacity);
};

} // namespace zep
