#include "station/FreshCatalogue.h"

#include "app/ErrorInfo.h"
#include "db/Schema.h"

namespace zep {

std::optional<QString> createCatalogueFile(const QString &file)
{
    ErrorInfo error;
    if (!createFreshDatabase(file, &error))
        return error.description;
    return std::nullopt;
}

} // namespace zep
