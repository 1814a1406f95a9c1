#include "common/free_memory.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <string>

#if defined(__linux__)
#include <sys/resource.h>
#endif

namespace velmora {
namespace {

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_OWN_ALLOCATOR 1
#endif
#endif

// The page counts below are glibc's; AddressSanitizer brings its own
// allocator, which the settings do not reach.
#if defined(__GLIBC__) && defined(__linux__) && !defined(VELMORA_OWN_ALLOCATOR)
#define VELMORA_GLIBC_HEAP 1

constexpr std::size_t kMiB = std::size_t{1} << 20;

long Pages(std::size_t size) { return static_cast<long>(size / 4096); }

long PageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// Page faults of allocating a block, writing each of its pages and freeing it.
long FaultsOfBlock(std::size_t size) {
  const long before = PageFaults();
  auto* volatile block = static_cast<char*>(std::malloc(size));
  for (std::size_t at = 0; at < size; at += 4096) block[at] = 1;
  std::free(block);
  return PageFaults() - before;
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string field;
  long kib = 0;
  while (status >> field) {
    if (field == "VmRSS:") {
      status >> kib;
      break;
    }
  }
  return kib;
}

// Transparent huge pages are given on request ("madvise") or always.
bool HugePagesOnRequest() {
  std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  std::getline(setting, modes);
  return modes.find("[madvise]") != std::string::npos ||
         modes.find("[always]") != std::string::npos;
}
#endif

TEST(FreeMemory, ReleaseHandsFreedPagesBack) {
#if !defined(VELMORA_GLIBC_HEAP)
  GTEST_SKIP() << "needs glibc's own allocator";
#else
  const std::size_t size = 16 * kMiB;
  // Whatever the settings, by the second round the block lives in the heap
  // and its pages stay there when it is freed.
  FaultsOfBlock(size);
  FaultsOfBlock(size);
  ASSERT_LT(FaultsOfBlock(size), Pages(size) / 10);
  ReleaseFreeMemory();
  EXPECT_GT(FaultsOfBlock(size), Pages(size) / 2);
#endif
}

// A flood's batches of lines are blocks of a megabyte or more, of changing
// sizes. Larger blocks than the other tests free, so that the allocator's own
// adaptation to freed blocks has not met one of this size yet.
TEST(FreeMemory, KeptBlocksServeSmallerOnesWithoutNewPages) {
#if !defined(VELMORA_GLIBC_HEAP)
  GTEST_SKIP() << "needs glibc's own allocator";
#else
  KeepFreedMemoryForReuse();
  FaultsOfBlock(28 * kMiB);
  // With the allocator's defaults the larger block had a mapping of its own,
  // gone on free, and most pages of the next one faulted.
  EXPECT_LT(FaultsOfBlock(26 * kMiB), Pages(26 * kMiB) / 10);
#endif
}

// After a release the heap's top is room for the next flood on huge pages:
// a 16 MiB block faults 8 times instead of 4096 (a huge page the system
// cannot find at once is 512 small ones, hence the margin). The release
// still hands back what the block used.
TEST(FreeMemory, AReleaseLeavesRoomOnHugePagesAndStillHandsTheMemoryBack) {
#if !defined(VELMORA_GLIBC_HEAP)
  GTEST_SKIP() << "needs glibc's own allocator";
#else
  if (!HugePagesOnRequest()) GTEST_SKIP() << "no transparent huge pages on request here";
  KeepFreedMemoryForReuse();
  ReleaseFreeMemory();
  const long before = ResidentKiB();
  EXPECT_LT(FaultsOfBlock(16 * kMiB), Pages(16 * kMiB) / 2);
  EXPECT_GE(ResidentKiB() - before, 12 * 1024) << "the freed block is kept for the next one";
  ReleaseFreeMemory();
  EXPECT_LT(ResidentKiB() - before, 4 * 1024);
#endif
}

}  // namespace
}  // namespace velmora
