#pragma once

#include <QString>

namespace zep {

// The result codes of the ZIP layer. Callers rely on these numbers and
// their texts only; 0 is success.
namespace ZipResult {
enum Code {
    Unknown = -1,
    Ok = 0,
    Damaged = 1,
    OldMethod = 2,
    CannotRead = 3,
    CannotOpen = 4,
    CannotWrite = 5,
    CannotCreate = 6,
    RuntimeInfo = 7,
    UserBreak = 8,
    AlreadyExists = 9,
    CannotDeleteOld = 10,
    CannotRename = 11,
    CannotCreateTemporary = 12,
    NoTargetDirectory = 13,
    CannotOpenTemporary = 14,
    FirstVolume = 15,
    VolumeMissing = 16,
    Last = 20
};

// The text for a code (the table's entry code + 1); empty for success,
// for 17 to 20 and for a code outside -1 to 20.
QString text(int code);
// A code outside -1 to 20 is not one of ours: the backup cannot trust
// anything after it.
inline bool isKnown(int code) { return code >= Unknown && code <= Last; }
} // namespace ZipResult

} // namespace zep
