#include "common/free_memory.h"

// Any header of the C library defines __GLIBC__ on glibc; the check below
// must come after one.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace velmora {

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  // Blocks up to this size come from the heap instead of a mapping of their
  // own that is unmapped on free. The default starts at 128 KiB and only
  // rises, up to 32 MiB, as such mappings are freed.
  (void)mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  // The heap's free top is not given back on free; ReleaseFreeMemory does it
  // once the log is quiet.
  (void)mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
}

void ReleaseFreeMemory() {
#if defined(__GLIBC__)
  // Also returns the free pages inside the heap, not only its free top.
  malloc_trim(0);
#endif
}

}  // namespace velmora
