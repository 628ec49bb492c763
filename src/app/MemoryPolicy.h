#pragma once

namespace zep {

// Freed memory stays with the program for reuse (up to 64 MB), and blocks
// below 32 MB come from the heap rather than fresh mappings. Large blocks are
// freed and taken again and again — a list of every record at each search,
// a compressor's state for each archived file — and with the allocator's
// defaults each went back to the system and came back page fault by page
// fault, which made a full list a third and a backup half again as slow.
// Called once at start; calling again does nothing.
void keepFreedMemory();

} // namespace zep
