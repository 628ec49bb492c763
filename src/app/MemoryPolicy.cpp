#include "app/MemoryPolicy.h"

#include <malloc.h>

#include <mutex>

namespace zep {

void keepFreedMemory()
{
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
    });
}

} // namespace zep
