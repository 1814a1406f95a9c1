#pragma once

namespace velmora {

// Lets the allocator keep the large blocks the program frees for later use,
// instead of handing each one back to the system at once. A flood fills and
// empties the log many times a second: every batch of lines, the log's text
// and the pixels of each frame are blocks of a megabyte or more. Handed back
// and asked for again, each of their pages is a fresh page fault, and those
// stall the window thread that also reads the port. Call once, before the
// program allocates much; ReleaseFreeMemory still hands the memory back.
// Where the system offers huge pages on request, the heap's top is also
// left as room on huge pages, now and after each release (for the next
// flood): a fault per 2 MiB instead of one per 4 KiB page.
void KeepFreedMemoryForReuse();

// Hands memory the program has freed back to the system. The allocator keeps
// freed blocks for later use; after a flood has filled and emptied the log
// many times they lie scattered through its heap and stay resident, although
// nothing uses them. Costs a walk over the heap: call it when the program is
// quiet, not per packet.
void ReleaseFreeMemory();

}  // namespace velmora
