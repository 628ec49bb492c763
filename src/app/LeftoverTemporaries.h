#pragma once

#include <QString>
#include <QStringList>

namespace zep {

// A write cut short (power cut, crash, kill) leaves the hidden temporary
// file of AtomicFileWriter beside its target. Such files are never
// catalogued, but they would pile up; at start, with the program
// directory's lock held so that no write of ours is running, they go.
//
// Only regular files whose name is exactly the writer's temporary pattern
// are removed; a user's own hidden files, links and directories stay.
// Hidden directories are not entered (nothing of ours is written there) and
// links to directories are not followed. Returns the paths removed; a file
// that cannot be removed is left for the next start.
enum class LeftoverSearch { ThisDirectory, WholeTree };

QStringList removeLeftoverTemporaries(const QString &dir, LeftoverSearch search = LeftoverSearch::WholeTree);

} // namespace zep
