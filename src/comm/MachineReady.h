#pragma once

namespace zep {

// The process-wide machine-ready flag: set when a machine signals that it
// is ready (lone XON, CTS change); the send dialog clears it and waits on it.
class MachineReady {
public:
    static bool isSet() { return flag(); }
    static void set() { flag() = true; }
    static void clear() { flag() = false; }

private:
    static bool &flag()
    {
        static bool value = false;
        return value;
    }
};

} // namespace zep
