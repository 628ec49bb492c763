#pragma once

namespace zep {

// Times receptions. Monotonic, so a reception running over midnight or
// across a change of the wall clock still ends after 5 or 30 seconds.
class ReceptionClock {
public:
    virtual ~ReceptionClock() = default;
    // Seconds since some fixed start; never goes back.
    virtual double seconds() const = 0;
};

} // namespace zep
