#pragma once

#include "app/Prompts.h"

#include <QString>

namespace zep {

// Where a record's program file is, for the commands that need the file
// itself (edit, send): found once, found twice (names that differ only in
// letter case), or missing. Doubled and missing come with the notice that
// tells the user why nothing happens.
struct ProgramFile {
    enum class State { Found, Doubled, Missing };
    State state = State::Missing;
    QString path;    // the real file when found
    Question notice; // what the user is told when not found

    bool found() const { return state == State::Found; }

    static ProgramFile find(const QString &verzeichnis, const QString &storedName);
};

} // namespace zep
