#pragma once

#include <QString>
#include <optional>

namespace zep {

// Copies a program file onto a target that may exist. The copy is written
// beside the target and renamed over it only when it is complete, so a full
// disk or a vanished source never leaves a half program in place of a
// whole one. Returns the reason when it failed.
std::optional<QString> copyReplacing(const QString &source, const QString &target);

} // namespace zep
