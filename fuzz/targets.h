#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora::fuzz {

// One fuzz target: takes any bytes, checks its properties with FUZZ_CHECK.
using Target = void (*)(const std::uint8_t* data, std::size_t size);

struct NamedTarget {
  const char* name;  // also the folder of its seed corpus: fuzz/corpus/<name>
  Target run;
};

void FuzzCfgFile(const std::uint8_t* data, std::size_t size);
void FuzzOldCmdFile(const std::uint8_t* data, std::size_t size);
void FuzzCmdConfigRecord(const std::uint8_t* data, std::size_t size);
void FuzzEncoder(const std::uint8_t* data, std::size_t size);
void FuzzHexConsole(const std::uint8_t* data, std::size_t size);
void FuzzReceiveLines(const std::uint8_t* data, std::size_t size);
void FuzzPortList(const std::uint8_t* data, std::size_t size);
void FuzzCp1251(const std::uint8_t* data, std::size_t size);
void FuzzCommandFile(const std::uint8_t* data, std::size_t size);

std::span<const NamedTarget> AllTargets();

}  // namespace velmora::fuzz
