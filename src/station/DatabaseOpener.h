#pragma once

#include <functional>

namespace zep {

struct MainState;

// Opens CNCPRG.mdb for the load sequence and the first-start set-up and
// brings its schema up to date. Returns false when the program must end; the
// user is then told why, and `toldWhy` runs once the notice has been read
// (the program must not be gone before it could be read).
bool openCatalogueDatabase(MainState &state, std::function<void()> toldWhy);

} // namespace zep
