#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zep {

// Deletes a set of files all or nothing: a record's program and its photos
// go together or stay together.
//
// Each file is first moved aside to a hidden name in its own folder. Such a
// move is refused exactly where a deletion would be (a read-only disk, a
// folder without rights, a protected file) and can be undone, so when one
// file cannot be moved, those already moved go back and nothing is lost.
// Only when every file is aside, and the caller's own step (deleting the
// record) has succeeded, are they deleted.
//
//     FileRemoval removal;
//     if (auto why = removal.setAside(paths)) ...;    // nothing changed
//     if (!recordDeleted) removal.restore();
//     removal.finish();
//
// A removal that is neither finished nor restored puts its files back when
// it is destroyed.
class FileRemoval {
public:
    FileRemoval() = default;
    ~FileRemoval();
    FileRemoval(const FileRemoval &) = delete;
    FileRemoval &operator=(const FileRemoval &) = delete;

    // Moves every file aside; a path that does not exist is skipped. When
    // one cannot be moved, the others go back and the message names that
    // file and the reason.
    std::optional<QString> setAside(const QStringList &paths);
    // Puts every file back under its name.
    void restore();
    // Deletes the files set aside. Returns the paths (their own names) that
    // could not be deleted; they stay hidden beside where they were.
    QStringList finish();

private:
    struct Moved {
        QString path;
        QString aside;
    };
    QList<Moved> m_moved;
};

} // namespace zep
