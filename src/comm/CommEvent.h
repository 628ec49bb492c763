#pragma once

namespace zep {

// The event codes a port raises (CommEvent), as the receive handler reads them.
namespace CommEvent {
enum : int {
    Send = 1,
    Receive = 2,
    Cts = 3,
    Dsr = 4,
    Cd = 5,
    Ring = 6,
    Eof = 7,
    Break = 1001,
    Frame = 1004,
    Overrun = 1006,
    RxOver = 1008,
    RxParity = 1009,
    TxFull = 1010,
    Dcb = 1011,
};
}

} // namespace zep
