#pragma once

#include "app/ErrorInfo.h"

#include <QString>

namespace zep {

// The one place where engine results become the error numbers and German
// texts the handlers show. Callers test 3078 (missing table or query); the
// other numbers follow the old engine's where one fits and stay stable.
class JetErrors {
public:
    enum Code : long {
        ReservedError = 3000,
        UpdateWithoutEdit = 3020,
        NoCurrentRecord = 3021,
        DuplicateKey = 3022,
        FileNotFound = 3024,
        DiskFull = 3026,
        ReadOnlyRecordset = 3027,
        NoTransaction = 3034,
        OutOfResources = 3035,
        DiskError = 3043,
        NotAFile = 3044,
        Corrupt = 3049,
        CannotWrite = 3051,
        Interrupted = 3059,
        WrongParameters = 3061,
        SyntaxError = 3075,
        MissingObject = 3078,
        UndefinedFunction = 3085,
        TableExists = 3010,
        NoSuchObject = 3011,
        TrailingCharacters = 3142,
        FieldTooSmall = 3163,
        CounterNotWritable = 3164,
        RecordDeleted = 3167,
        DuplicateField = 3191,
        DatabaseExists = 3204,
        NotSupported = 3251,
        Locked = 3260,
        UnknownField = 3265,
        NullNotAllowed = 3314,
        RuleViolated = 3317,
        ValueCountMismatch = 3346,
        UnknownFormat = 3343,
        IndexExists = 3375,
        ObjectClosed = 3420,
        ConversionError = 3421,
        TypeMismatch = 3464,
    };

    // `arg` fills the text's placeholder (a table, field, index or file name).
    static ErrorInfo make(Code code, const QString &arg = {}, const QString &arg2 = {});

    // Maps an SQLite result (extended code and message) on the file `path`.
    static ErrorInfo fromSqlite(int extendedCode, const QString &message, const QString &path);
};

} // namespace zep
