// The libFuzzer entry of one target, chosen by VELMORA_FUZZ_TARGET at build
// time (fuzz/CMakeLists.txt builds one program a target).

#include <cstddef>
#include <cstdint>

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velmora::fuzz::VELMORA_FUZZ_TARGET(data, size);
  return 0;
}
