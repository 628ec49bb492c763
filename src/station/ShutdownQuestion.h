#pragma once

namespace zep {

class Prompts;

enum class ShutdownAction { Cancel, Minimise, Close };

// "Wirklich beenden?": Yes keeps monitoring in a minimised window, No ends
// the program, Cancel changes nothing.
ShutdownAction askShutdown(Prompts &prompts);

} // namespace zep
