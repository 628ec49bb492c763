#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace zep {

// Writes a file that may exist so that it is replaced whole or not at all.
// The new contents grow beside the target under a hidden name and are
// renamed over it only when complete and on disk, so a full disk, a name the
// file system refuses or a crash never leaves half a program, or none, where
// a whole one was. A link is followed: its file gets the new contents, the
// link stays.
//
//     AtomicFileWriter out;
//     if (auto e = out.open(target)) ...; if (auto e = out.write(bytes)) ...;
//     if (auto e = out.commit()) ...;
//
// Every step returns the reason when it failed, in words with the target's
// path (SystemError); after a failure the temporary file is gone and the
// target untouched. Destroying a writer that was not committed cancels it.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    std::optional<QString> open(const QString &target);
    std::optional<QString> write(const char *data, qint64 size);
    std::optional<QString> write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    std::optional<QString> commit();
    // As commit(), but the target must not exist yet: a file that appeared
    // under its name meanwhile is never replaced, the new contents are
    // dropped and the reason tells that the file exists (EEXIST).
    std::optional<QString> commitNew();
    void cancel();

    bool isOpen() const { return m_file.isOpen(); }
    // The hidden file the contents grow in while open.
    QString temporaryPath() const { return m_file.isOpen() ? m_file.fileName() : QString(); }

    // Whether a file name (without its directory) is one this writer gives
    // its temporary files: "." + the target's name + "." + 13 base-36 digits
    // + ".zeptmp". A crash can leave such a file behind.
    static bool isTemporaryName(const QString &fileName);
    // Puts the directory entry of `path` (a file or a folder) on disk by
    // syncing the directory that holds it.
    static void syncEntry(const QString &path);

private:
    std::optional<QString> fail(int errnum);
    std::optional<QString> flushAndClose();

    QFile m_file;
    QString m_target; // the real file, with a link followed
};

} // namespace zep
