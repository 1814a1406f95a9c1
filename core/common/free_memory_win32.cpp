#include <malloc.h>

#include "common/free_memory.h"

namespace velmora {

// The Windows heap keeps freed blocks by itself; there is nothing to set.
void KeepFreedMemoryForReuse() {}

void ReleaseFreeMemory() { _heapmin(); }

}  // namespace velmora
