#include "station/ShutdownQuestion.h"

#include "app/Prompts.h"

namespace zep {

ShutdownAction askShutdown(Prompts &prompts)
{
    switch (prompts.message(QStringLiteral("Wollen Sie die Verzeichnisüberwachung aktiviert lassen?"),
                            QStringLiteral("Wirklich beenden?"), PromptIcon::Question,
                            PromptButtons::YesNoCancel)) {
    case PromptAnswer::Yes: return ShutdownAction::Minimise;
    case PromptAnswer::No: return ShutdownAction::Close;
    default: return ShutdownAction::Cancel;
    }
}

} // namespace zep
