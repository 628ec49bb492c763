#include "editor/EditorFile.h"

#include "app/Prompts.h"
#include "comm/DateiLesen.h"
#include "comm/WriteTextFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace zep {

EditorFile::EditorFile(QString path) : m_path(std::move(path)) {}

QByteArray EditorFile::digestOf(const QByteArray &bytes) const
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

EditorFile::Opened EditorFile::open()
{
    Opened opened;
    if (!hasPath())
        return opened;
    const FileText read = DateiLesen(m_path);
    opened.bytes = read.text;
    opened.error = read.error;
    m_existed = QFileInfo::exists(m_path);
    m_digest = digestOf(read.text);
    return opened;
}

bool EditorFile::changedOnDisk() const
{
    const bool exists = QFileInfo::exists(m_path);
    if (exists != m_existed)
        return true;
    if (!exists)
        return false;
    const FileText now = DateiLesen(m_path);
    // A file that can no longer be read is not the one that was opened.
    return !now.ok() || digestOf(now.text) != m_digest;
}

bool EditorFile::followMove(const QString &from, const QString &to)
{
    if (!hasPath() || from.isEmpty() || to.isEmpty())
        return false;
    // The old path is gone by now: compared as written, not as resolved.
    if (QDir::cleanPath(QFileInfo(m_path).absoluteFilePath()) != QDir::cleanPath(QFileInfo(from).absoluteFilePath()))
        return false;
    m_path = to;
    return true;
}

void EditorFile::save(const QByteArray &bytes, Prompts &prompts, SaveDone done)
{
    if (!done)
        done = [](SaveOutcome) {};
    if (!hasPath())
        return done(SaveOutcome::Cancelled);
    if (!changedOnDisk())
        return done(write(bytes, prompts));
    const QString what = QFileInfo::exists(m_path) ? QStringLiteral("' wurde geändert, seit sie im Editor geöffnet wurde.")
                                                   : QStringLiteral("' wurde gelöscht, seit sie im Editor geöffnet wurde.");
    // Nobody at the PC keeps the version on disk.
    const std::weak_ptr<char> alive = m_alive;
    prompts.ask({QStringLiteral("Die Datei '") + QDir::toNativeSeparators(m_path) + what + QStringLiteral("\r\r")
                     + QStringLiteral("Soll sie mit dem Text aus dem Editor überschrieben werden?"),
                 title(), PromptIcon::Exclamation, PromptButtons::YesNo, PromptAnswer::No},
                [this, alive, bytes, &prompts, done](PromptAnswer answer) {
                    if (answer != PromptAnswer::Yes || alive.expired())
                        return done(SaveOutcome::Cancelled);
                    done(write(bytes, prompts));
                });
}

EditorFile::SaveOutcome EditorFile::write(const QByteArray &bytes, Prompts &prompts)
{
    if (const auto error = WriteTextFile(m_path, bytes)) {
        prompts.ask({QStringLiteral("Die Datei '") + QDir::toNativeSeparators(m_path)
                         + QStringLiteral("' konnte nicht gespeichert werden: ") + *error
                         + QStringLiteral("\r\rDie Datei ist unverändert geblieben."),
                     title(), PromptIcon::Exclamation});
        return SaveOutcome::Failed;
    }
    m_existed = true;
    m_digest = digestOf(bytes);
    return SaveOutcome::Saved;
}

} // namespace zep
