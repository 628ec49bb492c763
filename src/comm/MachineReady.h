#pragma once

#include <array>

namespace zep {

// The machine-ready signal of each connection: set when its machine says it
// is ready (a lone XON, a CTS change); the send dialog clears it and waits
// on the one connection it sends to, so another machine's line never starts
// this transfer.
class MachineReady {
public:
    static bool isSet(int connection) { return valid(connection) && flags()[connection]; }
    static void set(int connection)
    {
        if (valid(connection))
            flags()[connection] = true;
    }
    static void clear() { flags().fill(false); }

private:
    static bool valid(int connection) { return connection >= 0 && connection < 5; }
    static std::array<bool, 5> &flags()
    {
        static std::array<bool, 5> values{};
        return values;
    }
};

} // namespace zep
