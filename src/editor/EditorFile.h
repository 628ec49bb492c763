#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace zep {

class Prompts;

// The file behind an editor window. It remembers what the file held when it
// was opened, so that a save does not silently overwrite a version written
// meanwhile (a machine's program saved through the round trip, another
// editor window).
class EditorFile {
public:
    struct Opened {
        QByteArray bytes;
        // Why the file could not be read; empty when read or missing.
        QString error;
    };

    explicit EditorFile(QString path = {});

    const QString &path() const { return m_path; }
    // An empty path means "no file": nothing is read or written.
    bool hasPath() const { return !m_path.isEmpty(); }

    Opened open();

    enum class SaveOutcome { Saved, Cancelled, Failed };
    using SaveDone = std::function<void(SaveOutcome)>;
    // Writes whole-or-nothing; asks first when the file changed on disk since
    // it was opened (or last saved), without waiting: `done` gets the outcome
    // once the conversation has ended. On failure the old file stays as it
    // was and the user is told why.
    void save(const QByteArray &bytes, Prompts &prompts, SaveDone done);

    // The file on disk is no longer what was opened.
    bool changedOnDisk() const;

    // The file was moved (a rename of its record) from `from` to `to`: when
    // it is this one, the editor's text belongs to `to` now, and a save
    // writes there instead of bringing the old name back. True when followed.
    bool followMove(const QString &from, const QString &to);

    static QString title() { return QStringLiteral("CNC-Editor"); }

private:
    QByteArray digestOf(const QByteArray &bytes) const;
    SaveOutcome write(const QByteArray &bytes, Prompts &prompts);

    QString m_path;
    bool m_existed = false;
    QByteArray m_digest;
    // An answer that comes after the editor has gone writes nothing.
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace zep
