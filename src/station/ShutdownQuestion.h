#pragma once

#include <functional>

namespace zep {

class Prompts;

enum class ShutdownAction { Cancel, Minimise, Close };

// "Wirklich beenden?": Yes keeps monitoring in a minimised window, No ends
// the program, Cancel changes nothing. Asked without waiting; `answered`
// gets the action once the user has chosen.
void askShutdown(Prompts &prompts, std::function<void(ShutdownAction)> answered);

} // namespace zep
