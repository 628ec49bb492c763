#pragma once

#include <QString>

namespace zep {

// An error as the handlers report it: the number the callers test for
// (3078 for a missing table, for example) and a description for the user.
struct ErrorInfo {
    long number = 0;
    QString description;
};

} // namespace zep
