// Every seed and every input that once needed a fix, fed to its fuzz target
// in a normal test run, so CI needs no fuzzing time.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "targets.h"

namespace velmora::fuzz {

// Found by argument-dependent lookup: ctest then lists the target's name.
void PrintTo(const NamedTarget& target, std::ostream* out) { *out << target.name; }

namespace {

namespace fs = std::filesystem;

struct PropertyFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void Throw(const char* what, const char* file, int line) {
  throw PropertyFailed(std::string(file) + ":" + std::to_string(line) + ": " + what);
}

std::vector<fs::path> CorpusOf(const std::string& target) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(VELMORA_FUZZ_CORPUS) / target)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Corpus : public ::testing::TestWithParam<NamedTarget> {
 protected:
  void SetUp() override { SetFailureHandler(Throw); }
};

TEST_P(Corpus, EveryInputKeepsTheTargetsProperties) {
  const NamedTarget target = GetParam();
  const std::vector<fs::path> files = CorpusOf(target.name);
  EXPECT_GE(files.size(), 3u) << "each target keeps a few seeds";
  for (const fs::path& file : files) {
    const std::string bytes = Contents(file);
    try {
      target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    } catch (const PropertyFailed& failed) {
      ADD_FAILURE() << file.filename() << ": " << failed.what();
    }
  }
}

// Inputs nobody chose: the empty one, every single byte, and a long run of
// each of a few bytes, so a target that only works on its seeds is noticed.
TEST_P(Corpus, EdgeInputsKeepTheTargetsProperties) {
  const NamedTarget target = GetParam();
  std::vector<std::string> inputs{""};
  for (int byte = 0; byte < 256; ++byte) inputs.emplace_back(1, static_cast<char>(byte));
  for (const char fill : {'\0', '\xFF', '$', '\r', '0', ' '}) inputs.emplace_back(5000, fill);
  for (const std::string& bytes : inputs) {
    try {
      target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    } catch (const PropertyFailed& failed) {
      ADD_FAILURE() << bytes.size() << " bytes of " << int(bytes.empty() ? 0 : bytes[0]) << ": "
                    << failed.what();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Corpus,
                         ::testing::ValuesIn(AllTargets().begin(), AllTargets().end()),
                         [](const ::testing::TestParamInfo<NamedTarget>& tested) {
                           return std::string(tested.param.name);
                         });

}  // namespace
}  // namespace velmora::fuzz
