#pragma once

#include "app/ErrorInfo.h"

#include <QString>
#include <optional>

namespace zep {

class cDIBSection;

// Writes photos as JPEG files.
class JpegWriter {
public:
    // The error number both failures carry.
    static constexpr long kErrorNumber = 26001;

    // Writes the 24-bit bitmap to `path` at `quality` (1 to 100). The file is
    // replaced whole or not at all; a replaced file keeps its time stamps
    // and permissions. Returns the error when it failed: "Failed to
    // initialise the IJL library: " or "Failed to save to JPG " and a code.
    static std::optional<ErrorInfo> SaveJPG(const cDIBSection &bitmap, const QString &path, int quality);
};

} // namespace zep
