#include "common/free_memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace velmora {

void ReleaseFreeMemory() {
#if defined(__GLIBC__)
  // Also returns the free pages inside the heap, not only its free top.
  malloc_trim(0);
#endif
}

}  // namespace velmora
