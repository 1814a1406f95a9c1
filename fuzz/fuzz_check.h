#pragma once

namespace velmora::fuzz {

// What a failed property does: the fuzzing build prints it and aborts, so
// that libFuzzer keeps the input as a crash; the replay test throws instead
// and names the corpus file.
using FailureHandler = void (*)(const char* what, const char* file, int line);
void SetFailureHandler(FailureHandler handler);
void Fail(const char* what, const char* file, int line);

}  // namespace velmora::fuzz

// A property every input must keep; more than "no crash".
#define FUZZ_CHECK(condition)                                                \
  do {                                                                       \
    if (!(condition)) ::velmora::fuzz::Fail(#condition, __FILE__, __LINE__); \
  } while (0)
