#pragma once

#include "db/Schema.h"

#include <QString>

#include <functional>

namespace zep {

class Database;
class Prompts;
struct MainState;

// Opens the catalogue (CNCPRG.mdb, or the server the `Datenbank` setting
// names) for the load sequence and the first-start set-up and
// brings its schema up to date. Returns false when the program must end; the
// user is then told why, and `toldWhy` runs once the notice has been read
// (the program must not be gone before it could be read). Otherwise
// `checked` runs once the schema check has ended: at once, or when its
// retry form has been answered. The state must outlive the conversation.
bool openCatalogueDatabase(MainState &state, std::function<void()> checked, std::function<void()> toldWhy);

// Why a catalogue server could not be reached, with the server's (or the
// network's) own words.
QString serverUnreachableText(const MainState &state, const ErrorInfo &error);

// Brings an open catalogue's schema up to date and tells the user what came
// of it: an error in the retry form, where retrying runs the whole check
// again (a failed check has left the file as it was), and an upgrade with a
// notice. `done` gets how it ended, without waiting for the notice to be
// read. The database must outlive the conversation.
void checkCatalogueSchema(Database &database, Prompts &prompts, std::function<void(SchemaCheck)> done = {});

} // namespace zep
