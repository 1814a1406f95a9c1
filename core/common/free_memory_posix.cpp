#include "common/free_memory.h"

// Any header of the C library defines __GLIBC__ on glibc; the check below
// must come after one.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#endif

namespace velmora {

#if defined(__GLIBC__)
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
// Blocks below this size come from the heap.
constexpr std::size_t kHeapBlockLimit = 32 * kMiB;
// The heap's room: at start-up the window's own allocations take some
// 16 MiB of it; after each release it is room for the next flood, whose
// log text, batches of lines and frame pixels reach 10 to 15 MiB.
constexpr std::size_t kRoom = 24 * kMiB;
constexpr std::uintptr_t kHugePage = 2 * kMiB;
static_assert(kRoom < kHeapBlockLimit, "the room is made by one block from the heap");

bool roomKept = false;
std::uintptr_t roomStart = 0;
std::uintptr_t roomEnd = 0;

// Grows the heap by kRoom, which stays untouched and so takes no memory
// yet, and asks for transparent huge pages on it. What is then allocated
// there faults once per 2 MiB instead of once per 4 KiB page, and takes
// fewer translation misses: on a virtual machine a fault can cost 10 us,
// and the first 2 MB flood of a window faulted some 3000 pages. Where the
// system gives no huge pages on request, nothing changes.
void MakeRoom() {
#if defined(MADV_HUGEPAGE)
  const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
  // Volatile: the pair must not be optimised away.
  void* volatile block = std::malloc(kRoom);
  std::free(block);
  const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
  const std::uintptr_t start = (before + kHugePage - 1) & ~(kHugePage - 1);
  if (after <= start) return;
  if (::madvise(reinterpret_cast<void*>(start), after - start, MADV_HUGEPAGE) != 0) return;
  roomStart = start;
  roomEnd = after;
#endif
}

// What is left of the room below the heap's top after a release goes back
// to small pages: the system would otherwise fill whole huge pages around
// the few blocks that still live there.
void GiveUpRoom() {
#if defined(MADV_NOHUGEPAGE)
  const auto top = reinterpret_cast<std::uintptr_t>(::sbrk(0));
  const std::uintptr_t end = top < roomEnd ? top : roomEnd;
  if (end > roomStart) {
    (void)::madvise(reinterpret_cast<void*>(roomStart), end - roomStart, MADV_NOHUGEPAGE);
  }
  roomStart = roomEnd = 0;
#endif
}

}  // namespace
#endif

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  // Blocks up to this size come from the heap instead of a mapping of their
  // own that is unmapped on free. The default starts at 128 KiB and only
  // rises, up to 32 MiB, as such mappings are freed.
  (void)mallopt(M_MMAP_THRESHOLD, static_cast<int>(kHeapBlockLimit));
  // The heap's free top is not given back on free; ReleaseFreeMemory does it
  // once the log is quiet.
  (void)mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
  if (!roomKept) {
    roomKept = true;
    MakeRoom();
  }
#endif
}

void ReleaseFreeMemory() {
#if defined(__GLIBC__)
  // Also returns the free pages inside the heap, not only its free top.
  malloc_trim(0);
  if (roomKept) {
    GiveUpRoom();
    MakeRoom();
  }
#endif
}

}  // namespace velmora
