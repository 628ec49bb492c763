#pragma once

#include <QString>

namespace zep {

class Prompts;

// Creates a directory path level by level, as far as it does not exist yet.
// True when every level exists afterwards. On failure the message "Fehler
// beim Erstellen des Verzeichnisses!" is shown through `errorsTo` when one
// is given, without waiting for it to be read; the backup walk passes none
// and reports the archive instead.
bool MakePath(const QString &path, Prompts *errorsTo = nullptr);

} // namespace zep
