#pragma once

namespace velmora {

// Hands memory the program has freed back to the system. The allocator keeps
// freed blocks for later use; after a flood has filled and emptied the log
// many times they lie scattered through its heap and stay resident, although
// nothing uses them. Costs a walk over the heap: call it when the program is
// quiet, not per packet.
void ReleaseFreeMemory();

}  // namespace velmora
