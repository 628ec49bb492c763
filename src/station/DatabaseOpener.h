#pragma once

namespace zep {

struct MainState;

// Opens CNCPRG.mdb for the load sequence and the first-start set-up and
// brings its schema up to date. Returns false when the program must end; the
// user has then been told why.
bool openCatalogueDatabase(MainState &state);

} // namespace zep
