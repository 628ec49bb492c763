#include "backup/ZipResult.h"

#include <array>

namespace zep::ZipResult {

QString text(int code)
{
    static const std::array<const char *, 22> texts{
        "Unbekannter Fehler!",
        "",
        "The structure of ZIP file is damaged",
        "Old compression method is used",
        "Cannot read from file",
        "Cannot open file",
        "Cannot write to file",
        "Cannot create new file",
        "Error in runtime info function",
        "User break",
        "File already exists",
        "Cannot delete the old zip file",
        "Cannot rename the temporary file",
        "Cannot create the temporary file",
        "Target directory does not exist",
        "Cannot open the temporary zip file",
        "This is the first volume of spanned zip set, the last one is needed",
        "Cannot find a volume of the spanned zip file",
        "",
        "",
        "",
        "",
    };
    if (!isKnown(code))
        return {};
    return QString::fromLatin1(texts[std::size_t(code + 1)]);
}

} // namespace zep::ZipResult
