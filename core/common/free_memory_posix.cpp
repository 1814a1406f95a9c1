#include "common/free_memory.h"

// Any header of the C library defines __GLIBC__ on glibc; the check below
// must come after one.
#include <cstdlib>

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
