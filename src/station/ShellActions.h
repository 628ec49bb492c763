#pragma once

#include <QString>
#include <functional>

namespace zep {

class Prompts;

QString helpPagePath(const QString &programDir);

// Opens the help page with the desktop's default application. `open` hands
// the path to the desktop and says whether that worked.
void openHelpPage(const QString &programDir, Prompts &prompts, const std::function<bool(const QString &)> &open);

// Starts the configured start program, detached and without waiting. `start`
// launches the file and says whether that worked.
void startExternalProgram(const QString &path, Prompts &prompts, const std::function<bool(const QString &)> &start);

} // namespace zep
