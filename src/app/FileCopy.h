#pragma once

#include <QString>
#include <optional>

namespace zep {

// Copies a program file onto a target that may exist. The copy is written
// beside the target under a hidden name and renamed over it only when it is
// complete, so a full disk, a vanished source or a crash never leaves a half
// program in place of a whole one, nor one the directory walk would take
// for a program. Returns the reason when it failed, naming the file
// (source or target) it concerns.
std::optional<QString> copyReplacing(const QString &source, const QString &target);

} // namespace zep
