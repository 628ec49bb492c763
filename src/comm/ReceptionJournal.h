#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zep {

class Clock;

// Every finished reception is on disk before its save dialog opens, so a
// crash, a power cut or a kill while the dialog is open loses no program a
// machine sent. The folder "Empfangen" in the program directory holds one
// file per reception that is still waiting for its dialog's outcome; the
// entry goes when the program was saved, discarded or kept as a recovery
// file. Whatever is still there at the next start was never dealt with.
//
// One file per entry, written whole or not at all (AtomicFileWriter, with
// fsync), named "Empfang_<yyyy-MM-dd_HH-mm-ss-zzz>[_<k>].zep" (k = 2, 3 …
// for further entries of the same millisecond, so their order is kept):
//
//     ZEP-Empfang 1\n
//     Verbindung: <connection 1 to 5>\n
//     Maschine: <machine index, 0 for none>\n
//     Zeit: <yyyy-MM-ddTHH:mm:ss.zzz>\n
//     Laenge: <number of text bytes>\n
//     \n
//     <the text, byte for byte>
//
// A file whose head does not read like that or whose text is not exactly
// the stated length (cut short, or someone else's) is skipped, never fatal.
class ReceptionJournal {
public:
    struct Entry {
        QString id;       // the file's name in the folder
        int connection = 0; // 1 to 5, as the user counts them
        long machine = 0;   // the machine bound to the connection at reception
        QDateTime time;
        QByteArray text;
    };

    struct Added {
        QString id;    // set when written
        QString error; // set when it could not be written
        bool ok() const { return error.isEmpty(); }
    };

    // programDir ends with "/".
    ReceptionJournal(const QString &programDir, const Clock &clock);

    static QString folderName() { return QStringLiteral("Empfangen"); }
    QString directory() const { return m_dir; }

    // On disk (file and folder entry synced) when this returns without error.
    Added add(int connection, long machine, const QByteArray &text);
    // An entry already gone counts as removed. An id that is not one of
    // ours is refused, so nothing outside the journal can be removed.
    std::optional<QString> remove(const QString &id);
    // The readable entries, oldest first; names of our files that could not
    // be read go to skipped when given.
    QList<Entry> entries(QStringList *skipped = nullptr) const;

    static bool isEntryName(const QString &fileName);
    // One entry's file contents, and back; nothing when they do not read as one.
    static QByteArray format(const Entry &entry);
    static std::optional<Entry> parse(const QByteArray &contents);

private:
    QString m_dir; // ends with "/"
    const Clock &m_clock;
};

} // namespace zep
