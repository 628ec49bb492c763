#include "app/Prompts.h"

#include <QDir>

namespace zep {

QString Prompts::proposedPath(const QString &startDir, const QString &suggestedName)
{
    if (suggestedName.isEmpty())
        return startDir;
    if (startDir.isEmpty())
        return suggestedName;
    // Joined by QDir: a folder given without its closing "/" (the home
    // folder, a setting typed by hand) would otherwise give a file beside
    // it, "/home/userRX009.CNC.pdf".
    return QDir(startDir).filePath(suggestedName);
}

bool OneBoxAtATime::ask(Prompts &prompts, const Question &question, AnswerHandler answered)
{
    if (*m_open)
        return false;
    *m_open = true;
    prompts.ask(question, [open = m_open, answered = std::move(answered)](PromptAnswer answer) {
        *open = false;
        if (answered)
            answered(answer);
    });
    return true;
}

} // namespace zep
