#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

#include "common/bytes.h"
#include "faulty_file_system.h"
#include "storage/file_system.h"

namespace velmora::testing {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the test ends.
class TempDir {
 public:
  TempDir() {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = std::filesystem::temp_directory_path() /
              ("velmora-store-" + std::to_string(seed) + "-" + std::to_string(++counter));
      std::error_code error;
      if (std::filesystem::create_directory(path_, error)) return;
    }
    ADD_FAILURE() << "no fresh directory under " << std::filesystem::temp_directory_path();
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteRaw(const std::string& path, BytesView bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  Bytes bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// Hand-built record images: a text field is its length byte and characters.
inline void PutText(Bytes& image, std::size_t offset, BytesView text) {
  image[offset] = static_cast<char>(text.size());
  image.replace(offset + 1, text.size(), text);
}

inline void PutInt32(Bytes& image, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) image[offset + i] = static_cast<char>(value >> (8 * i));
}

}  // namespace velmora::testing
