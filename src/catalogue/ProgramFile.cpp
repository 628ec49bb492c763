#include "catalogue/ProgramFile.h"

#include "app/CatalogueNames.h"

namespace zep {

ProgramFile ProgramFile::find(const QString &verzeichnis, const QString &storedName)
{
    const CatalogueNames::Resolved file = CatalogueNames::resolveStoredName(verzeichnis, storedName);
    ProgramFile result;
    if (file.found()) {
        result.state = State::Found;
        result.path = file.path;
    } else if (file.ambiguous) {
        result.state = State::Doubled;
        result.notice = Question{CatalogueNames::twinsText(storedName), QStringLiteral("Datei doppelt!"),
                                 PromptIcon::Exclamation};
    } else {
        result.notice = Question{QStringLiteral("Die Datei '") + file.shown
                                     + QStringLiteral("' konnte nicht gefunden werden!"),
                                 QStringLiteral("Datei fehlt!"), PromptIcon::Exclamation};
    }
    return result;
}

} // namespace zep
