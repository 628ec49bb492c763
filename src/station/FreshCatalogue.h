#pragma once

#include <QString>
#include <optional>

namespace zep {

// `zep --create-database FILE`: a fresh, current catalogue; an existing
// file is never replaced. The reason when none was made.
std::optional<QString> createCatalogueFile(const QString &file);

} // namespace zep
