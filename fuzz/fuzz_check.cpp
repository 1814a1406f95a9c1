#include "fuzz_check.h"

#include <cstdio>
#include <cstdlib>

namespace velmora::fuzz {
namespace {

void PrintAndAbort(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
  std::abort();
}

FailureHandler handler = PrintAndAbort;

}  // namespace

void SetFailureHandler(FailureHandler replacement) { handler = replacement; }

void Fail(const char* what, const char* file, int line) { handler(what, file, line); }

}  // namespace velmora::fuzz
