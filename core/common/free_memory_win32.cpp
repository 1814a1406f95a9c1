#include <malloc.h>

#include "common/free_memory.h"

namespace velmora {

void ReleaseFreeMemory() { _heapmin(); }

}  // namespace velmora
