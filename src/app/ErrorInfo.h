#pragma once

#include <QString>

namespace zep {

// An error as the handlers report it: the number the callers test for
// (3078 for a missing table, for example) and a description for the user.
struct ErrorInfo {
    long number = 0;
    QString description;
    // A file error of the system is told in words (see SystemError); its
    // number would mean nothing to the user and stays out of the report.
    bool numberShown = true;
};

} // namespace zep
