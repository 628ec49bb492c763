#include "station/ShutdownQuestion.h"

#include "app/Prompts.h"

namespace zep {

void askShutdown(Prompts &prompts, std::function<void(ShutdownAction)> answered)
{
    // Nobody there to ask: the station stays, as monitoring is what it is for.
    prompts.ask({QStringLiteral("Wollen Sie die Verzeichnisüberwachung aktiviert lassen?"),
                 QStringLiteral("Wirklich beenden?"), PromptIcon::Question, PromptButtons::YesNoCancel,
                 PromptAnswer::Cancel},
                [answered = std::move(answered)](PromptAnswer answer) {
                    if (!answered)
                        return;
                    switch (answer) {
                    case PromptAnswer::Yes: return answered(ShutdownAction::Minimise);
                    case PromptAnswer::No: return answered(ShutdownAction::Close);
                    default: return answered(ShutdownAction::Cancel);
                    }
                });
}

} // namespace zep
